#include "platform/classes/RegIniFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/RegistryStore.h"
#include "platform/classes/StoreTesting.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StringList.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

using RegIniFileTest = TRegistryFileTest;

TEST_F(RegIniFileTest, SectionsAreSubKeysAndNumbersAreTexts) {
  TRegIniFile ini("Software\\Grid");
  ini.WriteInteger("Layout", "BandRowCount", 3);
  ini.WriteBool("Layout", "ShowGrid", true);
  ini.WriteString("Layout\\Band\\Band0", "Caption", "First");
  EXPECT_EQ(ini.CurrentPath(), "Software\\Grid");
  EXPECT_THAT(FileText(RegistryFile()),
              HasSubstr("[Software\\Grid\\Layout]\n\"BandRowCount\"=sz:\"3\"\n\"ShowGrid\"=sz:\"1\"\n"));

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Grid\\Layout", false));
  reg.WriteInteger("AsDword", -7);
  reg.WriteString("Bad", "seven");

  const struct {
    const char* section;
    const char* ident;
    int expected;
  } cases[] = {
      {"Layout", "BandRowCount", 3}, {"layout", "SHOWGRID", 1},       {"Layout", "AsDword", -7},
      {"Layout", "Missing", 42},     {"Missing", "BandRowCount", 42},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.ident);
    EXPECT_EQ(ini.ReadInteger(c.section, c.ident, 42), c.expected);
  }
  EXPECT_TRUE(ini.ReadBool("Layout", "ShowGrid", false));
  EXPECT_TRUE(ini.ReadBool("Layout", "Missing", true));
  EXPECT_EQ(ini.ReadString("Layout\\Band\\Band0", "Caption", ""), "First");
  EXPECT_EQ(ini.ReadString("Layout", "Missing", "default"), "default");
  EXPECT_THAT([&] { ini.ReadInteger("Layout", "Bad", 0); }, ThrowsMessage<EConvertError>(HasSubstr("'seven'")));
  EXPECT_THAT([&] { ini.ReadString("Layout", "AsDword", ""); },
              ThrowsMessage<ERegistryException>("Invalid data type for 'AsDword'"));
  // However a call ends, the file's key is open again.
  EXPECT_EQ(ini.CurrentPath(), "Software\\Grid");
}

TEST_F(RegIniFileTest, ListsErasesAndDeletes) {
  TRegIniFile ini("Software\\Grid");
  ini.WriteString("Columns\\Name", "Width", "80");
  ini.WriteString("Columns\\Name", "Index", "0");
  ini.WriteString("Band", "ID", "1");
  ini.WriteString("Columns", "Count", "1");
  TStringList list;
  ini.ReadSections(list);
  EXPECT_THAT(LinesOf(list), ElementsAre("Columns", "Band"));
  ini.ReadSection("Columns\\Name", list);
  EXPECT_THAT(LinesOf(list), ElementsAre("Width", "Index"));
  ini.ReadSectionValues("Columns\\Name", list);
  EXPECT_THAT(LinesOf(list), ElementsAre("Width=80", "Index=0"));
  ini.ReadSection("Missing", list);
  EXPECT_TRUE(list.Empty());

  ini.DeleteKey("Columns\\Name", "Width");
  ini.ReadSection("Columns\\Name", list);
  EXPECT_THAT(LinesOf(list), ElementsAre("Index"));
  ini.EraseSection("Columns");
  ini.ReadSections(list);
  EXPECT_THAT(LinesOf(list), ElementsAre("Band"));
  EXPECT_FALSE(ini.KeyExists("Columns\\Name"));
}

// The grid stores below the root with sections that start with "\".
TEST_F(RegIniFileTest, SectionsFromTheRoot) {
  TRegIniFile ini("");
  ini.WriteInteger("\\Software\\Grid\\Band\\Band0", "ID", 2);
  EXPECT_EQ(ini.ReadInteger("\\Software\\Grid\\Band\\Band0", "ID", -1), 2);
  EXPECT_TRUE(ini.KeyExists("\\Software\\Grid\\Band"));
  EXPECT_EQ(ini.CurrentPath(), "");
}

TEST_F(RegIniFileTest, WritesOnAReadOnlyHiveRaise) {
  TRegIniFile ini("");
  ini.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_THAT([&] { ini.WriteString("Software", "x", "y"); },
              ThrowsMessage<ERegistryException>("Failed to create key Software"));
  EXPECT_EQ(ini.ReadString("Software", "x", "absent"), "absent");
}

}  // namespace
