// Golden bytes of each value code, and the reader taking them back.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Written(const std::function<void(TWriter&)>& Write) {
  TMemoryStream stream;
  TWriter writer(stream);
  Write(writer);
  return stream.Bytes();
}

Bytes Ld(long double Value) {
  Bytes b(10);
  std::memcpy(b.data(), &Value, 10);
  return b;
}

struct TValueCase {
  const char* Name;
  std::function<void(TWriter&)> Write;
  Bytes Expected;
  std::function<void(TReader&)> Check;
};

TEST(FilerValues, EachCodeHasItsGoldenBytesAndReadsBack) {
  const Bytes extended = [] {
    Bytes b{5};
    const Bytes v = Ld(1.5L);
    b.insert(b.end(), v.begin(), v.end());
    return b;
  }();
  const std::vector<TValueCase> cases = {
      {"null",
       [](TWriter& w) { w.WriteListEnd(); },
       {0},
       [](TReader& r) {
         EXPECT_TRUE(r.EndOfList());
         r.ReadListEnd();
       }},
      {"list", [](TWriter& w) { w.WriteListBegin(); }, {1}, [](TReader& r) { r.ReadListBegin(); }},
      {"int8",
       [](TWriter& w) { w.WriteInteger(-128); },
       {2, 0x80},
       [](TReader& r) { EXPECT_EQ(r.ReadInteger(), -128); }},
      {"int16",
       [](TWriter& w) { w.WriteInteger(300); },
       {3, 0x2C, 0x01},
       [](TReader& r) { EXPECT_EQ(r.ReadInteger(), 300); }},
      {"int32",
       [](TWriter& w) { w.WriteInteger(-70000); },
       {4, 0x90, 0xEE, 0xFE, 0xFF},
       [](TReader& r) { EXPECT_EQ(r.ReadInteger(), -70000); }},
      {"extended", [](TWriter& w) { w.WriteFloat(1.5L); }, extended,
       [](TReader& r) { EXPECT_EQ(r.ReadFloat(), 1.5L); }},
      {"string",
       [](TWriter& w) { w.WriteString("Hi"); },
       {6, 2, 'H', 'i'},
       [](TReader& r) { EXPECT_EQ(r.ReadString(), "Hi"); }},
      {"ident",
       [](TWriter& w) { w.WriteIdent("shBox"); },
       {7, 5, 's', 'h', 'B', 'o', 'x'},
       [](TReader& r) { EXPECT_EQ(r.ReadIdent(), "shBox"); }},
      {"false", [](TWriter& w) { w.WriteBoolean(false); }, {8}, [](TReader& r) { EXPECT_FALSE(r.ReadBoolean()); }},
      {"true", [](TWriter& w) { w.WriteIdent("True"); }, {9}, [](TReader& r) { EXPECT_TRUE(r.ReadBoolean()); }},
      {"lstring", [](TWriter& w) { w.WriteString(std::string(256, 'x')); },
       [] {
         Bytes b{12, 0x00, 0x01, 0, 0};
         b.insert(b.end(), 256, 'x');
         return b;
       }(),
       [](TReader& r) { EXPECT_EQ(r.ReadString(), std::string(256, 'x')); }},
      {"nil", [](TWriter& w) { w.WriteIdent("nil"); }, {13}, [](TReader& r) { EXPECT_EQ(r.ReadIdent(), "nil"); }},
      {"single",
       [](TWriter& w) { w.WriteSingle(1.0f); },
       {15, 0x00, 0x00, 0x80, 0x3F},
       [](TReader& r) { EXPECT_EQ(r.ReadSingle(), 1.0f); }},
      {"currency",
       [](TWriter& w) { w.WriteCurrency(Currency::FromRaw(12345)); },
       {16, 0x39, 0x30, 0, 0, 0, 0, 0, 0},
       [](TReader& r) { EXPECT_EQ(r.ReadCurrency().Raw(), 12345); }},
      {"date",
       [](TWriter& w) { w.WriteDate(2.0); },
       {17, 0, 0, 0, 0, 0, 0, 0, 0x40},
       [](TReader& r) { EXPECT_EQ(r.ReadDate(), 2.0); }},
      // "é" is U+00E9: non-ASCII text goes as UTF-16.
      {"wstring",
       [](TWriter& w) { w.WriteString("a\xC3\xA9"); },
       {18, 2, 0, 0, 0, 'a', 0, 0xE9, 0},
       [](TReader& r) { EXPECT_EQ(r.ReadString(), "a\xC3\xA9"); }},
      {"int64",
       [](TWriter& w) { w.WriteInteger(std::int64_t{1} << 32); },
       {19, 0, 0, 0, 0, 1, 0, 0, 0},
       [](TReader& r) { EXPECT_EQ(r.ReadInt64(), std::int64_t{1} << 32); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const Bytes bytes = Written(c.Write);
    EXPECT_EQ(bytes, c.Expected);
    TMemoryStream stream(bytes);
    TReader reader(stream);
    c.Check(reader);
    EXPECT_EQ(stream.Position(), stream.Size());
  }
}

TEST(FilerValues, ReaderRejectsWrongTypesAndShortData) {
  struct TBad {
    Bytes Data;
    std::function<void(TReader&)> Read;
    const char* Message;
  };
  const std::vector<TBad> cases = {
      {{}, [](TReader& r) { r.ReadValue(); }, "Stream read error"},
      {{4, 1, 2}, [](TReader& r) { r.ReadInteger(); }, "Stream read error"},
      {{12, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}, [](TReader& r) { r.ReadString(); }, "Stream read error"},
      {{12, 0xFF, 0xFF, 0xFF, 0xFF}, [](TReader& r) { r.ReadString(); }, "Stream read error"},
      {{18, 3, 0, 0, 0, 'a', 0}, [](TReader& r) { r.ReadString(); }, "Stream read error"},
      {{6, 1, 'a'}, [](TReader& r) { r.ReadInteger(); }, "Invalid property value"},
      {{20}, [](TReader& r) { r.ReadValue(); }, "Invalid stream format"},
      // A float where a currency is read: NaN has no currency value.
      {{5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}, [](TReader& r) { r.ReadCurrency(); }, "Invalid property value"},
      {{'T', 'P', 'F', '1'}, [](TReader& r) { r.ReadSignature(); }, "Invalid stream format"},
  };
  for (const auto& c : cases) {
    TMemoryStream stream(c.Data);
    TReader reader(stream);
    try {
      c.Read(reader);
      ADD_FAILURE() << "no error for " << c.Message;
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
}

TEST(FilerValues, DeepListsAreRefused) {
  Bytes data(kMaxFilerDepth + 5, vaList);
  TMemoryStream stream(data);
  TReader reader(stream);
  EXPECT_THROW(reader.SkipValue(), EReadError);
}

}  // namespace
