// The text form: exact text of every value code, byte-identical round
// trips, edits that read back, and malformed text.
#include "platform/classes/ObjectText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "testing/StreamFixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A stream naming one value of each code, written with the writer's
// primitives.
Bytes EveryValue() {
  TMemoryStream stream;
  TWriter w(stream);
  w.WriteSignature();
  w.WritePrefix(TFilerFlags{ffInherited, ffChildPos}, 2);
  w.WriteStr("TThing");
  w.WriteStr("Thing1");
  auto prop = [&](const char* Name) { w.WriteStr(Name); };
  prop("List"), w.WriteListBegin(), w.WriteInteger(1), w.WriteString("two"), w.WriteListEnd();
  prop("I8"), w.WriteInteger(-5);
  prop("I16"), w.WriteInteger(1000);
  prop("I32"), w.WriteInteger(-100000);
  prop("I64"), w.WriteInteger(-(std::int64_t{1} << 40));
  prop("Ext"), w.WriteFloat(0.1L);
  prop("Str"), w.WriteString("it's\tok");
  prop("Id"), w.WriteIdent("Other.Target");
  prop("No"), w.WriteBoolean(false);
  prop("Yes"), w.WriteBoolean(true);
  prop("Bin"), w.WriteValue(vaBinary), w.Write("\x04\x00\x00\x00\x01\xAB\x00\xFF", 8);
  prop("Set"), w.WriteValue(vaSet), w.WriteStr("a"), w.WriteStr("b"), w.WriteStr("");
  prop("Long"), w.WriteString(std::string(70, 'x'));
  prop("None"), w.WriteIdent("nil");
  prop("Coll"), w.WriteValue(vaCollection), w.WriteListBegin(), prop("V"), w.WriteInteger(1), w.WriteListEnd(),
      w.WriteListBegin(), w.WriteListEnd(), w.WriteListEnd();
  prop("Sgl"), w.WriteSingle(0.1f);
  prop("Cur"), w.WriteCurrency(Currency::FromRaw(-12345678));
  prop("Day"), w.WriteDate(45000.5);
  prop("Wide"), w.WriteString(
                    "\xE2\x82\xAC"
                    "5");
  w.WriteListEnd();
  w.WritePrefix({}, 0), w.WriteStr("TChild"), w.WriteStr(""), w.WriteListEnd(), w.WriteListEnd();
  w.WriteListEnd();
  return stream.Bytes();
}

TEST(ObjectText, EveryValueCodeHasItsTextAndComesBackByteForByte) {
  const Bytes binary = EveryValue();
  const std::string text = StreamToText(binary);
  EXPECT_EQ(text,
            "inherited Thing1: TThing [2]\n"
            "  List = (\n"
            "    1\n"
            "    'two')\n"
            "  I8 = -5\n"
            "  I16 = 1000\n"
            "  I32 = -100000\n"
            "  I64 = -1099511627776\n"
            "  Ext = 0.1\n"
            "  Str = 'it''s'#9'ok'\n"
            "  Id = Other.Target\n"
            "  No = False\n"
            "  Yes = True\n"
            "  Bin = {\n"
            "    01AB00FF}\n"
            "  Set = [a, b]\n"
            "  Long = 'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx' +\n"
            "    'xxxxxx'\n"
            "  None = nil\n"
            "  Coll = <\n"
            "    item\n"
            "      V = 1\n"
            "    end\n"
            "    item\n"
            "    end>\n"
            "  Sgl = 0.1s\n"
            "  Cur = -1234.5678c\n"
            "  Day = 45000.5d\n"
            "  Wide = #8364'5'\n"
            "  object TChild\n"
            "  end\n"
            "end\n");
  EXPECT_EQ(TextToStream(text), binary);
}

TComponent* gOther = nullptr;
TComponent* FindOther(const std::string& Name) { return gOther && Name == gOther->Name() ? gOther : nullptr; }

TEST(ObjectText, FixtureComesBackByteForByteAndAnEditReadsBack) {
  RegisterStreamFixtures();
  TComponent other(nullptr);
  other.SetName("Other");
  auto* target = new TComponent(&other);
  target->SetName("Target");
  TStreamFixture root;
  FillStreamFixture(root, target);
  TMemoryStream binary;
  WriteComponentToStream(binary, &root);
  const std::string text = StreamToText(binary.Bytes());
  for (const char* line :
       {"object Main: TStreamFixture\n", "  Caption = 'Caf'#233\n", "  Options = [foItalic, foShaded]\n",
        "  OnClick = HandleClick\n", "  Data = {\n    0102FF00}\n", "      Buddy = Other.Target\n",
        "    object Button: TStreamFixture\n", "  Count = 7\n", "  Price = -12.3456c\n", "  Shape = shTriangle\n",
        "  Items = <\n    item\n      Value = 4\n      Label = 'four'\n    end\n    item\n    end>\n",
        "  Datum = 'Gr'#252'n'\n", "    Datum = Null\n", "      Datum = 1.5000c\n",
        "  Lines.Strings = (\n    'it''s'\n    ''\n    #224' la carte')\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
  EXPECT_EQ(TextToStream(text), binary.Bytes());

  std::string edited = text;
  edited.replace(edited.find("Count = 7"), 9, "Count = 4242");
  const Bytes changed = TextToStream(edited);
  gOther = &other;
  RegisterFindGlobalComponentProc(&FindOther);
  TStreamFixture copy;
  TMemoryStream in(changed);
  ReadComponentFromStream(in, &copy);
  UnregisterFindGlobalComponentProc(&FindOther);
  EXPECT_EQ(copy.Count, 4242);
  auto* read = static_cast<TStreamFixture*>(copy.FindComponent("Button"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Buddy, target);
  EXPECT_EQ(copy.Data, root.Data);
  EXPECT_TRUE(copy.Lines()->Equals(*root.Lines()));
}

TEST(ObjectText, MalformedTextIsAReadErrorWithItsLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "Line 1: Identifier expected"},
      {"thing A: T\nend\n", "Line 1: 'object' expected"},
      {"object A: T\n  X = 'open\nend\n", "Line 2: Unterminated string"},
      {"object A: T\n  X = {0G}\nend\n", "Line 2: Invalid binary value"},
      {"object A: T\n  X = {012}\nend\n", "Line 2: Invalid binary value"},
      {"object A: T\n  X = 99999999999999999999\nend\n", "Line 2: Invalid number"},
      {"object A: T\n  X = 1.23456c\nend\n", "Line 2: Invalid currency"},
      {"object A: T\n  X = [a,\nend\n", "Line 4: ']' expected"},
      {"object A: T\n  object B: T\n  end\n  X = 1\nend\n", "Line 4: Property after a child object"},
      {"object A: T\n  X = 1\n", "Line 3: Identifier expected"},
      {"object A: T\nend\nextra", "Line 3: End of text expected"},
      {"object A: T\n  X = #1114112\nend\n", "Line 2: Invalid character code"},
      {"object A: T\n  X = 1e99999\nend\n", "Line 2: Invalid number"},
      // A length byte of 240 or more would read as a component prefix.
      {"object A: T" + std::string(239, 'x') + "\nend\n", "Line 1: Identifier too long"},
  };
  for (const auto& [text, message] : cases) {
    try {
      TextToStream(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), message) << text;
    }
  }
  std::string deep = "object A: T\n  X = ";
  for (int i = 0; i < 200; ++i) deep += "(";
  EXPECT_THROW(TextToStream(deep), EReadError);
}

}  // namespace
