#include "platform/classes/Registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/PlatformId.h"
#include "platform/classes/RegistryStore.h"
#include "platform/classes/StoreTesting.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StringList.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using ::testing::ThrowsMessage;

constexpr const char* kSettings = "Software\\Kestova (Components)\\Yandrel Report\\Version 4.11";

using RegistryTest = TRegistryFileTest;

TEST_F(RegistryTest, TypedValuesRoundTripThroughTheFile) {
  const uint8_t bytes[] = {0, 1, 2, 0xFE, 0xFF};
  const struct {
    const char* name;
    std::function<void(TRegistry&)> write;
    std::function<void(TRegistry&)> check;
    TRegDataType type;
    int size;
  } cases[] = {
      {"String", [](TRegistry& r) { r.WriteString("String", "Grüße\n\"x\""); },
       [](TRegistry& r) { EXPECT_EQ(r.ReadString("String"), "Grüße\n\"x\""); }, rdString, 12},
      {"Expand", [](TRegistry& r) { r.WriteExpandString("Expand", "%HOME%"); },
       [](TRegistry& r) { EXPECT_EQ(r.ReadString("Expand"), "%HOME%"); }, rdExpandString, 7},
      {"Integer", [](TRegistry& r) { r.WriteInteger("Integer", -2); },
       [](TRegistry& r) { EXPECT_EQ(r.ReadInteger("Integer"), -2); }, rdInteger, 4},
      {"Bool", [](TRegistry& r) { r.WriteBool("Bool", true); }, [](TRegistry& r) { EXPECT_TRUE(r.ReadBool("Bool")); },
       rdInteger, 4},
      {"Float", [](TRegistry& r) { r.WriteFloat("Float", 0.1); },
       [](TRegistry& r) { EXPECT_EQ(r.ReadFloat("Float"), 0.1); }, rdBinary, 8},
      {"Currency", [](TRegistry& r) { r.WriteCurrency("Currency", Currency::FromRaw(-123456789)); },
       [](TRegistry& r) { EXPECT_EQ(r.ReadCurrency("Currency").Raw(), -123456789); }, rdBinary, 8},
      {"Date", [](TRegistry& r) { r.WriteDateTime("Date", 45000.75); },
       [](TRegistry& r) { EXPECT_EQ(r.ReadDate("Date"), 45000.75); }, rdBinary, 8},
      {"Binary", [&](TRegistry& r) { r.WriteBinaryData("Binary", bytes, 5); },
       [&](TRegistry& r) {
         uint8_t buffer[8] = {};
         EXPECT_EQ(r.ReadBinaryData("Binary", buffer, 5), 5);
         EXPECT_EQ(std::memcmp(buffer, bytes, 5), 0);
       },
       rdBinary, 5},
      {"Lines",
       [](TRegistry& r) {
         TStringList lines{"one", "", "two", std::string("th\0ree", 6)};
         r.WriteMultiString("Lines", lines);
       },
       [](TRegistry& r) {
         TStringList lines;
         r.ReadMultiString("Lines", lines);
         EXPECT_THAT(LinesOf(lines), ElementsAre("one", "two", "th"));
       },
       rdUnknown, 12},
  };
  {
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey(kSettings, true));
    for (const auto& c : cases) c.write(writer);
  }
  // A store of its own reads the file as a new process would.
  TRegistryStore fresh(RegistryFile());
  fresh.Read([&](const TRegKeyNode& root) { EXPECT_EQ(root.Find({"Software"})->SubKeys().size(), 1u); });
  TRegistry reader;
  ASSERT_TRUE(reader.OpenKeyReadOnly(kSettings));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.check(reader);
    EXPECT_EQ(reader.GetDataType(c.name), c.type);
    EXPECT_EQ(reader.GetDataSize(c.name), c.size);
  }
}

TEST_F(RegistryTest, WrongTypeOrSizeRaisesTheLibrarysTextNamingTheValue) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Test", true));
  reg.WriteInteger("Count", 5);
  reg.WriteString("Short", "ab");
  reg.WriteString("Long", "a longer text");
  reg.WriteBinaryData("Five", "12345", 5);
  reg.WriteBinaryData("Twenty", "12345678901234567890", 20);
  char buffer[4];
  const struct {
    const char* what;
    std::function<void()> read;
    std::string message;
  } cases[] = {
      {"DWORD as string", [&] { reg.ReadString("Count"); }, "Invalid data type for 'Count'"},
      {"short string as integer", [&] { reg.ReadInteger("Short"); }, "Invalid data type for 'Short'"},
      {"long string as integer", [&] { reg.ReadInteger("Long"); }, "Failed to get data for 'Long'"},
      {"missing integer", [&] { reg.ReadInteger("Missing"); }, "Failed to get data for 'Missing'"},
      {"missing bool", [&] { reg.ReadBool("Missing"); }, "Failed to get data for 'Missing'"},
      {"DWORD as float", [&] { reg.ReadFloat("Count"); }, "Invalid data type for 'Count'"},
      {"5 bytes as float", [&] { reg.ReadFloat("Five"); }, "Invalid data type for 'Five'"},
      {"20 bytes as date", [&] { reg.ReadDateTime("Twenty"); }, "Failed to get data for 'Twenty'"},
      {"binary as string", [&] { reg.ReadString("Five"); }, "Invalid data type for 'Five'"},
      {"buffer too small", [&] { reg.ReadBinaryData("Five", buffer, 4); }, "Invalid data type for 'Five'"},
      {"string as binary", [&] { reg.ReadBinaryData("Short", buffer, 4); }, "Invalid data type for 'Short'"},
      {"string as lines",
       [&] {
         TStringList lines;
         reg.ReadMultiString("Short", lines);
       },
       "Invalid data type for 'Short'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_THAT(c.read, ThrowsMessage<ERegistryException>(c.message));
  }
  // Missing values read as nothing where the library says so.
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_EQ(reg.ReadBinaryData("Missing", buffer, 4), 0);
  EXPECT_EQ(reg.GetDataSize("Missing"), -1);
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Forms\\Main", true));
  reg.WriteBinaryData("WinPos", "abcd", 4);
  reg.WriteBinaryData("winpos", "wxyz", 4);
  TStringList names;
  reg.GetValueNames(names);
  EXPECT_THAT(LinesOf(names), ElementsAre("WinPos"));
  char buffer[4];
  EXPECT_EQ(reg.ReadBinaryData("WINPOS", buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), "wxyz");
  EXPECT_TRUE(reg.OpenKey("\\SOFTWARE\\forms\\MAIN", false));
  EXPECT_EQ(reg.CurrentPath(), "SOFTWARE\\forms\\MAIN");
  ASSERT_TRUE(reg.OpenKey("\\software", false));
  reg.GetKeyNames(names);
  EXPECT_THAT(LinesOf(names), ElementsAre("Forms"));
}

TEST_F(RegistryTest, KeysAndValuesKeepTheirOrder) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Palette", true));
  for (const char* page : {"Standard", "Additional", "System", "Data"}) reg.WriteString(page, "items");
  for (const char* key : {"Zeta", "Alpha", "Mid"}) reg.CreateKey(key);
  reg.WriteString("Additional", "changed");  // in place
  reg.DeleteValue("System");
  reg.WriteString("Samples", "new");
  TRegistry other;  // a second object, and the file read afresh
  ASSERT_TRUE(other.OpenKey("\\Palette", false));
  TStringList names;
  other.GetValueNames(names);
  EXPECT_THAT(LinesOf(names), ElementsAre("Standard", "Additional", "Data", "Samples"));
  other.GetKeyNames(names);
  EXPECT_THAT(LinesOf(names), ElementsAre("Zeta", "Alpha", "Mid"));
  EXPECT_THAT(FileText(RegistryFile()), HasSubstr("[Palette\\Zeta]\n\n[Palette\\Alpha]\n\n[Palette\\Mid]\n"));
}

TEST_F(RegistryTest, DeleteKeyRemovesEverythingBelow) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("A\\B\\C", true));
  reg.WriteInteger("deep", 1);
  ASSERT_TRUE(reg.OpenKey("\\A\\B2", true));
  ASSERT_TRUE(reg.OpenKey("\\Other", true));
  EXPECT_TRUE(reg.DeleteKey("\\a"));
  EXPECT_FALSE(reg.DeleteKey("\\A"));
  for (const char* key : {"\\A", "\\A\\B", "\\A\\B\\C", "\\A\\B2"}) EXPECT_FALSE(reg.KeyExists(key)) << key;
  EXPECT_TRUE(reg.KeyExists("\\Other"));
  EXPECT_THAT(FileText(RegistryFile()), Not(HasSubstr("[A")));
  EXPECT_FALSE(reg.DeleteKey(""));
}

TEST_F(RegistryTest, TwoObjectsSeeEachOthersWrites) {
  TRegistry first, second;
  ASSERT_TRUE(first.OpenKey(kSettings, true));
  ASSERT_TRUE(second.OpenKey(kSettings, false));
  first.WriteString("Shared", "from the first");
  EXPECT_EQ(second.ReadString("Shared"), "from the first");
  second.WriteInteger("Shared", 2);
  EXPECT_EQ(first.GetDataType("Shared"), rdInteger);
  EXPECT_TRUE(second.DeleteKey("\\Software"));
  // The first object's key is gone: it reads nothing and cannot write.
  EXPECT_FALSE(first.ValueExists("Shared"));
  EXPECT_THAT([&] { first.WriteString("x", "y"); }, ThrowsMessage<ERegistryException>("Failed to set data for 'x'"));
}

}  // namespace
