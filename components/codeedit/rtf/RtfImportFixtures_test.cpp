// Import of RTF written by another office suite: the fixtures in
// testdata/import were made from their HTML files by make-fixtures.sh.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "components/codeedit/rtf/RtfImportTesting.h"

namespace {

std::string Fixture(const std::string& Name) {
  std::ifstream in(std::string(KESTOVA_RTF_TESTDATA_DIR) + "/import/" + Name, std::ios::binary);
  EXPECT_TRUE(in) << Name;
  std::ostringstream data;
  data << in.rdbuf();
  return data.str();
}

// The suite's body starts with \plain, so text takes font entry 0 unless a
// group names another; \deff is not read.
std::string Body(const std::string& Text, const std::string& Styles = "-") {
  return Text + "|Times New Roman/0 12pt c0 " + Styles + " -1\n";
}

TEST(RtfImportFixtures, PiecesOfEachFixture) {
  struct Case {
    std::string file, pieces;
  } cases[] = {
      {"styles.rtf", Body("Plain ") + Body("bold", "B") + Body(" ") + Body("italic", "I") + Body(" ") +
                         Body("under", "U") + Body(" ") + Body("strike", "S") + Body("\\r\\n") +
                         "red|Courier New/0 18pt c255 - -1\n" + Body(" ") +
                         "marked|Times New Roman/0 12pt c0 - 65535\n" + Body("\\r\\n")},
      // Each \u and \'hh is a piece; the fallbacks are dropped, the blanks
      // after them kept, and the surrogate pair (written around \uc0) joined.
      {"characters.rtf", Body("caf") + Body("\xC3\xA9") + Body(" ") + Body("\xE2\x82\xAC") + Body(" ") +
                             Body("\xD0\x96") + Body("\xD1\x83") + Body("\xD0\xBA") + Body(" ") +
                             Body("\xF0\x9F\x98\x80") + Body(" ") + Body("{a") + Body("}") + Body("\\b") +
                             Body("\\r\\n") + Body("next line") + Body("\\r\\n")},
      {"table.rtf", Body("one") + Body("\\t") + Body("two", "B") + Body("\\t") + Body("\\r\\n") + Body("\\r\\n")},
  };
  for (const Case& c : cases) EXPECT_EQ(RtfPieces(Fixture(c.file)), c.pieces) << c.file;
}

}  // namespace
