#include "platform/classes/IniFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/StoreTesting.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/StringList.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

const std::string kFile =
    "[Packages]\r\n"
    "\"My Tools\",C:\\P\\tools.bpl,1\r\n"
    "Other,C:\\P\\other.bpl,0\r\n"
    "\r\n"
    "[Numbers]\r\n"
    "Decimal=42\r\n"
    "Hex=0x1F\r\n"
    "Dollar=$10\r\n"
    "Word=forty\r\n"
    "Float=2.5\r\n"
    "Comma=2,5\r\n"
    "Bool=1\r\n";

TEST(IniFilesTest, TypedReadsWithDefaults) {
  TTestFolder folder;
  SetFileText(folder.Path("options.ini"), kFile);
  TMemIniFile ini(folder.Path("options.ini"));
  const struct {
    const char* ident;
    int integer;
    double number;
  } cases[] = {
      {"Decimal", 42, 42}, {"Hex", 31, -1},   {"Dollar", 16, -1},  {"Word", -1, -1},
      {"Float", -1, 2.5},  {"Comma", -1, -1}, {"Missing", -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ident);
    EXPECT_EQ(ini.ReadInteger("numbers", c.ident, -1), c.integer);
    EXPECT_EQ(ini.ReadFloat("NUMBERS", c.ident, -1), c.number);
  }
  EXPECT_TRUE(ini.ReadBool("Numbers", "Bool", false));
  EXPECT_TRUE(ini.ReadBool("Numbers", "Missing", true));
  EXPECT_FALSE(ini.ReadBool("Numbers", "Word", false));
  EXPECT_TRUE(ini.ValueExists("Numbers", "word"));
  EXPECT_FALSE(ini.ValueExists("Packages", "Other"));
  EXPECT_TRUE(ini.SectionExists("packages"));

  TFormatSettings comma = FormatSettings();
  comma.DecimalSeparator = ",";
  ScopedFormatSettings pinned(comma);
  EXPECT_EQ(ini.ReadFloat("Numbers", "Comma", -1), 2.5);
  ini.WriteFloat("Numbers", "Written", 0.25);
  EXPECT_EQ(ini.ReadString("Numbers", "Written", ""), "0,25");
}

// The section calls of the package list: raw lines read, erased and written
// back, and kept through every other change and a rewrite of the file.
TEST(IniFilesTest, RawSectionLinesSurviveRewrites) {
  TTestFolder folder;
  SetFileText(folder.Path("options.ini"), kFile);
  {
    TMemIniFile ini(folder.Path("options.ini"));
    ini.WriteInteger("Numbers", "Decimal", 43);
    ini.WriteBool("Layout", "ShowGrid", false);
    ini.UpdateFile();
  }
  TIniFile ini(folder.Path("options.ini"));
  TStringList lines;
  ini.ReadSectionValues("Packages", lines);
  EXPECT_THAT(LinesOf(lines), ElementsAre("\"My Tools\",C:\\P\\tools.bpl,1", "Other,C:\\P\\other.bpl,0"));
  EXPECT_THAT(FileText(folder.Path("options.ini")), HasSubstr("Decimal=43\r\n"));

  ini.EraseSection("Packages");
  lines.SetText("\"New One\",/p/new.so,1\nSecond,/p/second.so,0");
  ini.WriteSectionValues("Packages", lines);
  TMemIniFile reread(folder.Path("options.ini"));
  reread.ReadSectionValues("Packages", lines);
  EXPECT_THAT(LinesOf(lines), ElementsAre("\"New One\",/p/new.so,1", "Second,/p/second.so,0"));
  reread.ReadSections(lines);
  EXPECT_THAT(LinesOf(lines), ElementsAre("Numbers", "Layout", "Packages"));
  reread.ReadSection("Numbers", lines);
  EXPECT_THAT(LinesOf(lines), ElementsAre("Decimal", "Hex", "Dollar", "Word", "Float", "Comma", "Bool"));
}

// TIniFile works on the file: two objects see each other's changes at once;
// a TMemIniFile sees them when it is made, and writes only on UpdateFile.
TEST(IniFilesTest, FileObjectsWriteAtOnceMemoryObjectsOnUpdate) {
  TTestFolder folder;
  const std::string name = folder.Path("shared.ini");
  TIniFile first(name), second(name);
  first.WriteString("S", "a", "1");
  EXPECT_EQ(second.ReadString("S", "a", ""), "1");
  second.WriteString("S", "b", "2");
  first.WriteString("S", "a", "3");
  EXPECT_EQ(FileText(name), "[S]\na=3\nb=2\n");

  TMemIniFile memory(name);
  memory.WriteString("S", "c", "4");
  memory.DeleteKey("S", "a");
  EXPECT_EQ(first.ReadString("S", "c", "none"), "none");
  memory.UpdateFile();
  EXPECT_EQ(first.ReadString("S", "c", "none"), "4");
  EXPECT_FALSE(first.ValueExists("S", "a"));
}

TEST(IniFilesTest, FailedUpdateKeepsTheOldFile) {
  TTestFolder folder;
  const std::string name = folder.Path("options.ini");
  SetFileText(name, kFile);
  TIniFile ini(name);
  {
    TFileSizeLimit limit(kFile.size() + 10);
    EXPECT_THAT([&] { ini.WriteString("Numbers", "Big", std::string(1000, 'x')); },
                ThrowsMessage<EInOutError>(HasSubstr("Cannot write file \"" + name + "\"")));
  }
  EXPECT_EQ(FileText(name), kFile);
  EXPECT_EQ(ini.ReadString("Numbers", "Big", "absent"), "absent");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(IniFilesTest, MissingAndUnreadableFiles) {
  TTestFolder folder;
  TMemIniFile missing(folder.Path("none.ini"));
  EXPECT_EQ(missing.ReadString("S", "k", "default"), "default");
  EXPECT_FALSE(std::filesystem::exists(folder.Path("none.ini")));
  std::filesystem::create_directory(folder.Path("folder.ini"));
  EXPECT_THROW(TMemIniFile(folder.Path("folder.ini")), EInOutError);
  TIniFile onFolder(folder.Path("folder.ini"));
  EXPECT_THROW(onFolder.ReadString("S", "k", ""), EInOutError);
}

}  // namespace
