#include "platform/core/AnsiStrings.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <string>

namespace {

// Pins the default locale for a test.
class LocaleGuard {
 public:
  explicit LocaleGuard(const QLocale& locale) { QLocale::setDefault(locale); }
  ~LocaleGuard() { QLocale::setDefault(previous_); }

 private:
  QLocale previous_;
};

TEST(AnsiStrings, CaseAndOrderFollowUnicodeAndTheLocale) {
  LocaleGuard english(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(AnsiUpperCase("größe é"), "GRÖSSE É");
  EXPECT_EQ(AnsiLowerCase("ÄÖÜ Ω"), "äöü ω");
  EXPECT_EQ(UpperCaseChars(U"straße é"), U"STRAßE É");  // one code point each
  struct Row {
    const char* a;
    const char* b;
    int text, str;
  } rows[] = {
      {"alpha", "Alpha", 0, 0},  // str: some order, not 0
      {"ÄRGER", "ärger", 0, 0},    {"apple", "Banana", -1, -1},
      {"Äpfel", "Banane", -1, -1},  // by the locale, not by code point
      {"ab", "a\u00ADb", 0, 0},     // an ignorable soft hyphen still makes a difference
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.a) + " / " + r.b);
    const int text = AnsiCompareText(r.a, r.b), str = AnsiCompareStr(r.a, r.b);
    EXPECT_EQ(AnsiCompareText(r.b, r.a), -text);
    EXPECT_EQ(AnsiCompareStr(r.b, r.a), -str);
    EXPECT_NE(str, 0);
    if (r.text != 0) {
      EXPECT_EQ(text, r.text);
      EXPECT_EQ(str, r.str);
    }
  }
  EXPECT_EQ(AnsiCompareText("alpha", "ALPHA"), 0);
  EXPECT_NE(AnsiCompareText("ab", "a\u00ADb"), 0);
  EXPECT_TRUE(AnsiSameText("Größe", "GRÖßE"));
}

TEST(AnsiStrings, MalformedBytesKeepDistinctTextsApart) {
  LocaleGuard english(QLocale(QLocale::English, QLocale::UnitedStates));
  // File names need not be UTF-8; each of these decodes to the same U+FFFD.
  const char* texts[] = {"a\xFF", "a\xFE", "A\xFE", "a\xEF\xBF\xBD", "a\xE9"};
  for (const char* x : texts) {
    for (const char* y : texts) {
      SCOPED_TRACE(testing::PrintToString(std::string(x)) + " / " + testing::PrintToString(std::string(y)));
      const bool same = std::string_view(x) == y;
      const bool sameApartFromCase = same || (x == texts[1] && y == texts[2]) || (x == texts[2] && y == texts[1]);
      EXPECT_EQ(AnsiCompareStr(x, y) == 0, same);
      EXPECT_EQ(AnsiCompareText(x, y) == 0, sameApartFromCase);
      EXPECT_EQ(AnsiCompareText(x, y), -AnsiCompareText(y, x));
    }
  }
}

}  // namespace
