// Variant properties in the component stream: the value code of each kind,
// its text, the kind read back, kinds that cannot travel, the default and
// ancestor rules, and damaged values.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/classes/Reader.h"
#include "platform/classes/Variant.h"
#include "platform/classes/Writer.h"
#include "testing/StreamFixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::ThrowsMessage;

Bytes Concat(std::initializer_list<Bytes> Parts) {
  Bytes all;
  for (const Bytes& p : Parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

template <class T>
Bytes Raw(T Value, std::size_t Size = sizeof(T)) {
  Bytes b(Size);
  std::memcpy(b.data(), &Value, Size);
  return b;
}

Bytes WriteRoot(TComponent* Root, TComponent* Ancestor = nullptr) {
  TMemoryStream stream;
  WriteDescendentToStream(stream, Root, Ancestor);
  return stream.Bytes();
}

// A root named "V" of the fixture class whose only stored change is Datum
// (and the font name every fixture writes).
Bytes RootWith(const TVariant& Value) {
  TTypeFixture root;
  root.SetName("V");
  root.Datum = Value;
  return WriteRoot(&root);
}

struct TVariantCase {
  const char* Name;
  TVariant Value;
  Bytes Code;         // the value as written
  const char* Text;   // the value in the text form
  TVarType ReadType;  // the kind read back
};

TEST(FilerVariant, EachKindHasItsValueCodeTextAndKindReadBack) {
  const std::vector<TVariantCase> cases = {
      {"null", Null(), {vaNull}, "Null", varNull},
      {"smallint", std::int16_t{-7}, {vaInt8, 0xF9}, "-7", varInteger},
      {"byte", std::uint8_t{200}, {vaInt16, 200, 0}, "200", varInteger},
      {"integer", std::int32_t{-70000}, {vaInt32, 0x90, 0xEE, 0xFE, 0xFF}, "-70000", varInteger},
      {"small int64", std::int64_t{5}, {vaInt8, 5}, "5", varInteger},
      {"int64", std::int64_t{1} << 40, Concat({{vaInt64}, Raw(std::int64_t{1} << 40)}), "1099511627776", varInt64},
      {"single", 1.5f, {vaSingle, 0, 0, 0xC0, 0x3F}, "1.5s", varSingle},
      {"double", -0.125, Concat({{vaExtended}, Raw(-0.125L, 10)}), "-0.125", varDouble},
      {"currency", Currency::FromRaw(-123456), Concat({{vaCurrency}, Raw(std::int64_t{-123456})}), "-12.3456c",
       varCurrency},
      {"date", TVarDate{45000.25}, Concat({{vaDate}, Raw(45000.25)}), "45000.25d", varDate},
      {"false", false, {vaFalse}, "False", varBoolean},
      {"true", true, {vaTrue}, "True", varBoolean},
      {"string", std::string("it's"), {vaString, 4, 'i', 't', '\'', 's'}, "'it''s'", varString},
      {"long string", std::string(256, 'x'), Concat({{vaLString, 0, 1, 0, 0}, Bytes(256, 'x')}), nullptr, varString},
      // The code follows the text, not the string kind.
      {"ole string",
       TVarOleStr{"Gr\xC3\xBCn"},
       {vaWString, 4, 0, 0, 0, 'G', 0, 'r', 0, 0xFC, 0, 'n', 0},
       "'Gr'#252'n'",
       varOleStr},
      {"ascii ole string", TVarOleStr{"ok"}, {vaString, 2, 'o', 'k'}, "'ok'", varString},
      {"non-ascii string", std::string("\xE2\x82\xAC"), {vaWString, 1, 0, 0, 0, 0xAC, 0x20}, "#8364", varOleStr},
  };
  for (const TVariantCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TMemoryStream code;
    TWriter writer(code);
    writer.WriteVariant(c.Value);
    EXPECT_EQ(code.Bytes(), c.Code);

    const Bytes binary = RootWith(c.Value);
    const std::string text = StreamToText(binary);
    if (c.Text) {
      EXPECT_THAT(text, ::testing::HasSubstr(std::string("  Datum = ") + c.Text + "\n"));
    }
    EXPECT_EQ(TextToStream(text), binary);

    TTypeFixture read;
    TMemoryStream in(binary);
    ReadComponentFromStream(in, &read);
    EXPECT_EQ(VarType(read.Datum), c.ReadType);
    EXPECT_TRUE(read.Datum == c.Value);
    // What was read writes the same bytes again.
    EXPECT_EQ(RootWith(read.Datum), binary);
  }
}

void NoProcedure() {}

TEST(FilerVariant, PointerKindsAreAWriteErrorAndNothingOfThePropertyIsWritten) {
  const std::pair<TVariant, const char*> cases[] = {
      {TVariant(&NoProcedure), "Variant of type $0110 cannot be written to a stream"},
      {TVariant(TTypeFixture::StaticClass()), "Variant of type $0111 cannot be written to a stream"},
      {TVariant(static_cast<TObject*>(nullptr)), "Variant of type $0112 cannot be written to a stream"},
  };
  for (const auto& [value, message] : cases) {
    SCOPED_TRACE(message);
    TTypeFixture root;
    root.Datum = value;
    TMemoryStream stream;
    EXPECT_THAT([&] { WriteComponentToStream(stream, &root); }, ThrowsMessage<EWriteError>(message));
    const std::string written(stream.Bytes().begin(), stream.Bytes().end());
    EXPECT_EQ(written.find("Datum"), std::string::npos);
    TMemoryStream direct;
    TWriter writer(direct);
    EXPECT_THROW(writer.WriteVariant(value), EWriteError);
    EXPECT_EQ(direct.Size(), 0);
  }
}

TEST(FilerVariant, UnassignedIsTheDefaultAndAnAncestorsEqualValueOfTheSameKindIsLeftOut) {
  TTypeFixture root;
  EXPECT_EQ(RootPropNames(WriteRoot(&root)), (std::vector<std::string>{"FontName"}));
  root.Datum = Null();  // Null is a value, not the default
  EXPECT_EQ(RootPropNames(WriteRoot(&root)), (std::vector<std::string>{"FontName", "Datum"}));

  struct TRow {
    const char* Name;
    TVariant Ancestor, Descendant;
    bool Written;
  };
  const std::vector<TRow> rows = {
      {"equal integers", std::int32_t{12}, std::int32_t{12}, false},
      {"both null", Null(), Null(), false},
      {"both unassigned", TVariant(), TVariant(), false},
      {"equal value, other kind", std::int32_t{12}, std::int16_t{12}, true},
      {"number and its text", std::int32_t{12}, std::string("12"), true},
      {"text that is no number", std::int32_t{12}, std::string("abc"), true},
      {"null and unassigned", Null(), TVariant(), true},
      {"cleared", std::int32_t{12}, TVariant(), true},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.Name);
    TTypeFixture ancestor, descendant;
    ancestor.Datum = r.Ancestor;
    descendant.Datum = r.Descendant;
    const Bytes bytes = WriteRoot(&descendant, &ancestor);
    const std::vector<std::string> names = RootPropNames(bytes);
    EXPECT_EQ(std::find(names.begin(), names.end(), "Datum") != names.end(), r.Written);
    // Read over a copy of the ancestor, the descendant's value comes back.
    TTypeFixture target;
    target.Datum = r.Ancestor;
    TMemoryStream in(bytes);
    ReadComponentFromStream(in, &target);
    EXPECT_EQ(VarType(target.Datum), VarType(r.Descendant) == varSmallint ? varInteger : VarType(r.Descendant));
  }
}

TEST(FilerVariant, DamagedValuesAreReadErrors) {
  RegisterTypeFixtures();
  const Bytes whole = RootWith(Currency::FromRaw(5));
  const std::string plain(whole.begin(), whole.end());
  const std::size_t at = plain.find("Datum") + 5;  // the value code
  // Every cut inside the value; the reader must leave no component behind.
  for (std::size_t size = at; size < at + 9; ++size) {
    SCOPED_TRACE(size);
    TMemoryStream in(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)));
    EXPECT_THAT([&] { ReadComponentFromStream(in, nullptr); }, ThrowsMessage<EReadError>("Stream read error"));
  }
  struct TBad {
    const char* Name;
    Bytes Value;
    const char* Message;
  };
  const std::vector<TBad> cases = {
      {"identifier", {vaIdent, 1, 'x'}, "Invalid property value"},
      {"set", {vaSet, 0}, "Invalid property value"},
      {"list", {vaList, vaNull}, "Invalid property value"},
      {"binary", {vaBinary, 0, 0, 0, 0}, "Invalid property value"},
      {"collection", {vaCollection, vaNull}, "Invalid property value"},
      {"extended beyond double", Concat({{vaExtended}, Raw(1e400L, 10)}), "Invalid property value"},
      {"short wide string", {vaWString, 3, 0, 0, 0, 'a', 0}, "Stream read error"},
  };
  for (const TBad& c : cases) {
    SCOPED_TRACE(c.Name);
    Bytes bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(at));
    bytes.insert(bytes.end(), c.Value.begin(), c.Value.end());
    bytes.insert(bytes.end(), {vaNull, vaNull});
    TMemoryStream in(bytes);
    EXPECT_THAT([&] { ReadComponentFromStream(in, nullptr); }, ThrowsMessage<EReadError>(c.Message));
  }
}

}  // namespace
