#include "platform/classes/IniText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;

const std::string kPackages =
    "; written by hand\r\n"
    "[Packages]\r\n"
    "\"My Tools\",C:\\P\\tools.bpl,1\r\n"
    "  ; a note  \r\n"
    "Other,C:\\P\\other.bpl,0\r\n"
    "\r\n"
    "[\\Main_Grid\\Band\\Band0]\r\n"
    "ID = 3\r\n"
    "Visible=1";

TEST(IniTextTest, UnchangedTextIsWrittenByteForByte) {
  for (const std::string& text :
       {kPackages, std::string("\xEF\xBB\xBF[A]\nx=1\n"), std::string("[A]\rx=1\r\r\n\n[B]\n"), std::string(),
        std::string("no section\n= empty name\n[")}) {
    EXPECT_EQ(TIniText(text).Text(), text);
  }
}

TEST(IniTextTest, ReadsSectionsEntriesAndRawLines) {
  const TIniText ini(kPackages);
  EXPECT_THAT(ini.SectionNames(), ElementsAre("Packages", "\\Main_Grid\\Band\\Band0"));
  EXPECT_THAT(ini.SectionLines("packages"), ElementsAre("\"My Tools\",C:\\P\\tools.bpl,1", "Other,C:\\P\\other.bpl,0"));
  EXPECT_THAT(ini.Idents("Packages"), ElementsAre());
  EXPECT_THAT(ini.Idents("\\MAIN_GRID\\band\\Band0"), ElementsAre("ID", "Visible"));
  EXPECT_THAT(ini.SectionLines("\\Main_Grid\\Band\\Band0"), ElementsAre("ID=3", "Visible=1"));
  std::string value;
  EXPECT_TRUE(ini.Find("\\Main_Grid\\Band\\Band0", "id", value));
  EXPECT_EQ(value, "3");
  EXPECT_FALSE(ini.Find("Packages", "Other,C:\\P\\other.bpl,0", value));
  EXPECT_FALSE(ini.SectionExists("Main_Grid"));
}

// Each change touches its own lines only: comments, raw lines, other
// sections and each line's break stay.
TEST(IniTextTest, ChangesRewriteOnlyTheirLines) {
  const struct {
    const char* what;
    std::function<void(TIniText&)> change;
    std::string text;
  } cases[] = {
      {"change a value", [](TIniText& t) { t.SetValue("\\main_grid\\band\\band0", "visible", "0"); },
       "; written by hand\r\n[Packages]\r\n\"My Tools\",C:\\P\\tools.bpl,1\r\n  ; a note  "
       "\r\nOther,C:\\P\\other.bpl,0\r\n"
       "\r\n[\\Main_Grid\\Band\\Band0]\r\nID = 3\r\nVisible=0"},
      {"add a key", [](TIniText& t) { t.SetValue("Packages", "Count", "2"); },
       "; written by hand\r\n[Packages]\r\n\"My Tools\",C:\\P\\tools.bpl,1\r\n  ; a note  "
       "\r\nOther,C:\\P\\other.bpl,0\r\n"
       "Count=2\r\n\r\n[\\Main_Grid\\Band\\Band0]\r\nID = 3\r\nVisible=1"},
      {"add a section", [](TIniText& t) { t.SetValue("New", "a", "b"); }, kPackages + "\r\n\r\n[New]\r\na=b\r\n"},
      {"replace raw lines",
       [](TIniText& t) {
         t.SetSectionLines("PACKAGES", {"Only,C:\\only.bpl,1", "", "  "});
       },
       "; written by hand\r\n[Packages]\r\nOnly,C:\\only.bpl,1\r\n\r\n[\\Main_Grid\\Band\\Band0]\r\nID = 3\r\n"
       "Visible=1"},
      {"erase, then write raw lines",
       [](TIniText& t) {
         t.EraseSection("Packages");
         t.SetSectionLines("Packages", {"A,B,1"});
       },
       "; written by hand\r\n[\\Main_Grid\\Band\\Band0]\r\nID = 3\r\nVisible=1\r\n\r\n[Packages]\r\nA,B,1\r\n"},
      {"delete a key", [](TIniText& t) { EXPECT_TRUE(t.DeleteKey("\\Main_Grid\\Band\\Band0", "ID")); },
       "; written by hand\r\n[Packages]\r\n\"My Tools\",C:\\P\\tools.bpl,1\r\n  ; a note  "
       "\r\nOther,C:\\P\\other.bpl,0\r\n"
       "\r\n[\\Main_Grid\\Band\\Band0]\r\nVisible=1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TIniText ini(kPackages);
    c.change(ini);
    EXPECT_EQ(ini.Text(), c.text);
    EXPECT_EQ(TIniText(ini.Text()).Text(), c.text);
  }
}

TEST(IniTextTest, EraseRemovesEverySectionOfTheName) {
  TIniText ini("[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n");
  EXPECT_TRUE(ini.EraseSection("A"));
  EXPECT_EQ(ini.Text(), "[B]\ny=2\n");
  EXPECT_FALSE(ini.EraseSection("A"));
  EXPECT_FALSE(ini.DeleteKey("B", "missing"));
}

TEST(IniTextTest, TextsThatWouldNotReadBackAreRefused) {
  const struct {
    const char* what;
    std::function<void(TIniText&)> change;
    const char* message;
  } cases[] = {
      {"break in a value", [](TIniText& t) { t.SetValue("S", "Key", "one\ntwo"); },
       "Invalid value for key 'Key' in an INI file"},
      {"CR in a value", [](TIniText& t) { t.SetValue("S", "Key", "one\rtwo"); },
       "Invalid value for key 'Key' in an INI file"},
      {"= in a name", [](TIniText& t) { t.SetValue("S", "a=b", "c"); }, "Invalid key name in an INI file: 'a=b'"},
      {"name like a section", [](TIniText& t) { t.SetValue("S", "[T]", "c"); },
       "Invalid key name in an INI file: '[T]'"},
      {"name like a comment", [](TIniText& t) { t.SetValue("S", ";x", "c"); }, "Invalid key name in an INI file: ';x'"},
      {"break in a section", [](TIniText& t) { t.SetValue("S\n[T]", "k", "v"); },
       "Invalid section name in an INI file: 'S\n[T]'"},
      {"raw line like a section", [](TIniText& t) { t.SetSectionLines("S", {"[T]"}); },
       "Invalid line for section 'S' in an INI file"},
      {"raw line like a comment", [](TIniText& t) { t.SetSectionLines("S", {"; x"}); },
       "Invalid line for section 'S' in an INI file"},
      {"raw line with a break", [](TIniText& t) { t.SetSectionLines("S", {"a\nb"}); },
       "Invalid line for section 'S' in an INI file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TIniText ini("[S]\nx=1\n");
    EXPECT_THAT([&] { c.change(ini); }, ThrowsMessage<EIniFileException>(c.message));
    EXPECT_EQ(ini.Text(), "[S]\nx=1\n");
  }
}

}  // namespace
