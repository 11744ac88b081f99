#include "crashreport/zorStrings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>

#include "crashreport/zorStrings_p.h"

namespace zor {
namespace {

TEST(ZorNumbers, HexPaddedPutsDollarAndFillByFillKind) {
  struct Row {
    uint64_t value;
    int64_t minimum;
    char fill;
    const char* expected;
  } rows[] = {
      {6700, 1, '0', "$1a2c"}, {255, 4, '0', "$00ff"}, {255, 4, ' ', "  $ff"}, {255, -4, ' ', "$ff  "},
      {255, 1, '0', "$ff"},    {0, 1, '0', "$0"},      {255, 4, 'a', "$aaff"}, {255, -4, '0', "$ff00"},
      {255, 0, ' ', "$ff"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.expected);
    EXPECT_EQ(HexPadded(static_cast<uint32_t>(r.value), r.minimum, r.fill), r.expected);
    EXPECT_EQ(HexPadded64(r.value, r.minimum, r.fill), r.expected);
  }
  EXPECT_EQ(HexPadded64(0x1'0000'00ffULL, 1, '0'), "$1000000ff");
  EXPECT_EQ(HexText64(0x1'0000'00ffULL), "1000000ff");
  EXPECT_EQ(HexText64(0xabc), "abc");
}

TEST(ZorNumbers, DecimalPaddedKeepsMinusFirstForDigitFills) {
  struct Row {
    std::string result;
    const char* expected;
  } rows[] = {
      {DecimalPadded(-5, 3, '0'), "-05"},
      {DecimalPadded(-5, 3, ' '), " -5"},
      {DecimalPadded(7, -3, '*'), "7**"},
      {DecimalPadded(uint32_t(0xFFFFFFFF), 1, '0'), "4294967295"},
      {DecimalPadded(INT32_MIN, 1, '0'), "-2147483648"},
      {DecimalPadded(12345, 3, '0'), "12345"},
      {DecimalPadded64(-42, 6, '0'), "-00042"},
      {DecimalPadded64(INT64_MIN, 0, ' '), "-9223372036854775808"},
      {PaddedCopy("-x", 4, '9'), "-99x"},
      {DecimalText(0), "0"},
      {HexText(0), "0"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.expected);
    EXPECT_EQ(r.result, r.expected);
  }
}

TEST(ZorNumbers, ParseNumberNegatesCountsNonDigitsAsZeroAndWraps) {
  struct Row {
    bool hexadecimal;
    const char* text;
    int32_t expected;
  } rows[] = {
      {true, "-1f", -31},
      {true, "FF", 255},
      {false, "-120", -120},
      {false, "1x2", 102},  // a byte that is no digit adds 0
      {false, "", 0},
      {false, "-", 0},
      {true, "1-0", 256},   // only a leading "-" negates
      {true, "100000000", 0},     // wraps modulo 2^32
      {false, "4294967297", 1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(ParseNumber(r.hexadecimal, r.text, std::strlen(r.text)), r.expected);
  }
  EXPECT_EQ(ParseNumber(true, nullptr, 4), 0);
  EXPECT_EQ(ParseNumber(false, "123456", 3), 123);  // only n bytes count
}

TEST(ZorSizeText, UnitsTwoTruncatedDecimalsAndSeparator) {
  struct Row {
    int64_t bytes;
    char separator;
    const char* expected;
  } rows[] = {
      {0, '.', "0 Bytes"},
      {1023, '.', "1023 Bytes"},
      {1024, '.', "1.00 KB"},
      {1535, '.', "1.49 KB"},
      {1536, '.', "1.50 KB"},
      {1536, ',', "1,50 KB"},
      {1048575, '.', "1023.99 KB"},
      {1048576, ',', "1,00 MB"},
      {1073741823, '.', "1023.99 MB"},
      {1073741824, '.', "1.00 GB"},
      {1073741824, ',', "1,00 GB"},
      {-1536, '.', "1.50 KB"},
      {-1023, '.', "1023 Bytes"},
      {INT64_MIN, '.', "8589934592.00 GB"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.expected);
    EXPECT_EQ(SizeText(r.bytes, r.separator), r.expected);
  }
}

TEST(ZorLocale, DecimalCharComesFromTheNamedLocale) {
  EXPECT_EQ(detail::DecimalCharOfLocale("C"), '.');
  EXPECT_EQ(detail::DecimalCharOfLocale("no_such_locale.UTF-8"), ',');
  // The test run names C.UTF-8 in the environment.
  EXPECT_EQ(LocaleDecimalChar(), detail::DecimalCharOfLocale(""));
  EXPECT_EQ(SizeText(1536), std::string("1") + LocaleDecimalChar() + "50 KB");
}

TEST(ZorLists, ItemsCountsAndNormalizing) {
  EXPECT_EQ(ItemCount("a||b", '|'), 3u);
  EXPECT_EQ(ItemCount("", '|'), 0u);
  EXPECT_EQ(ItemCount("|", '|'), 2u);
  struct Row {
    const char* list;
    size_t n;
    const char* expected;
  } items[] = {
      {"a||b", 1, "a"}, {"a||b", 2, ""}, {"a||b", 3, "b"}, {"a||b", 4, ""},
      {"a||b", 0, ""},  {"", 1, ""},     {"solo", 1, "solo"},
  };
  for (const auto& r : items) {
    SCOPED_TRACE(std::string(r.list) + " #" + std::to_string(r.n));
    EXPECT_EQ(ItemOf(r.list, r.n, '|'), r.expected);
  }
  struct Normalize {
    const char* in;
    char sep;
    const char* expected;
  } lists[] = {
      {"a||b", '|', "a|b"},
      {" |a | \t b||  |c| ", '|', "a|b|c"},
      {"a b , c", ',', "a b,c"},
      {",, ,\n", ',', ""},
      {"", ',', ""},
  };
  for (const auto& r : lists) {
    SCOPED_TRACE(r.in);
    std::string s = r.in;
    NormalizeList(s, r.sep);
    EXPECT_EQ(s, r.expected);
  }
}

TEST(ZorLists, HasItemNeedsSeparatorsOrEndsOnBothSides) {
  struct Row {
    const char* list;
    const char* item;
    bool exact, noCase;
  } rows[] = {
      {"modules|processes", "PROCESSES", false, true},
      {"modules|processes", "processes", true, true},
      {"modules|processes", "process", false, false},
      {"modules|processes", "odules", false, false},
      {"modules|processes", "MODULES", false, true},
      {"modules|processes", "", false, false},
      {"a|b|c", "b", true, true},
      {"Ärger|x", "ärger", false, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.list) + " / " + r.item);
    EXPECT_EQ(HasItemExact(r.list, r.item, '|'), r.exact);
    EXPECT_EQ(HasItemNoCase(r.list, r.item, '|'), r.noCase);
  }
}

TEST(ZorSearch, FindForwardBackwardAndBounds) {
  const std::string s = "abcabcab";
  struct Row {
    const char* sub;
    size_t from, to;
    size_t expected;
  } rows[] = {
      {"ab", 1, SIZE_MAX, 1}, {"ab", 2, SIZE_MAX, 4}, {"ab", SIZE_MAX, 1, 7}, {"ab", 6, 1, 4},
      {"ab", 4, 1, 4},        {"ab", 3, 1, 1},        {"ab", 2, 3, 0},        {"ab", 0, 5, 0},
      {"ab", 5, 0, 0},        {"", 1, 9, 0},          {"abcabcabc", 1, 9, 0}, {"cab", 8, 1, 6},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.sub) + " " + std::to_string(r.from) + ".." + std::to_string(r.to));
    EXPECT_EQ(FindExact(r.sub, s, r.from, r.to), r.expected);
  }
  EXPECT_EQ(FindNoCase("AB", s, SIZE_MAX, 1), 7u);
  EXPECT_EQ(FindExact("AB", s, 1, SIZE_MAX), 0u);
  // Zero-terminated forms and missing arguments.
  EXPECT_EQ(FindInBuffer("c", "abcabc", 0, 100, 0, false, 0), 2);
  EXPECT_EQ(FindInBuffer("c", "abcabc", 0, 0, 100, false, 0), 5);
  EXPECT_EQ(FindInBuffer(nullptr, "abc", 1, 9, 0, false, 3), -1);
  EXPECT_EQ(FindInBuffer("abc", "ab", 0, 9, 0, false, 0), -1);
  // Positions count bytes of UTF-8 text.
  EXPECT_EQ(FindExact("x", "äx", 1, SIZE_MAX), 3u);
  EXPECT_TRUE(StartsWithNoCase("Hello", "HEL"));
  EXPECT_FALSE(StartsWithExact("Hello", "HEL"));
  EXPECT_TRUE(StartsWithExact("", ""));
  EXPECT_FALSE(StartsWithExact("ab", "abc"));
}

TEST(ZorSearch, FindCharOfSetClampsAndRunsBothWays) {
  CharSet set;
  set.set('|').set(',');
  EXPECT_EQ(FindCharOfSet(set, "a,b|c", 1, 99), 2u);
  EXPECT_EQ(FindCharOfSet(set, "a,b|c", 99, 1), 4u);
  EXPECT_EQ(FindCharOfSet(set, "a,b|c", 3, 3), 0u);
  EXPECT_EQ(FindCharOfSet(set, "", 1, 5), 0u);
  EXPECT_EQ(FindCharOfSet(set, "abc", 0, 0), 0u);
}

TEST(ZorReplace, ExactNoCaseAndRescan) {
  struct Row {
    const char* text;
    const char* find;
    const char* with;
    bool ignoreCase, rescan;
    const char* expected;
    bool found;
  } rows[] = {
      {"a%lf%b%Lf%", "%LF%", "\r\n", true, false, "a\r\nb\r\n", true},
      {"a%lf%b", "%LF%", "\r\n", false, false, "a%lf%b", false},
      {"a    b  c", "  ", " ", false, true, "a b c", true},
      {"a    b  c", "  ", " ", false, false, "a  b c", true},
      {"xyz", "y", "long", false, false, "xlongz", true},
      {"aaa", "a", "", false, true, "", true},
      {"abab", "ab", "b", false, true, "bb", true},
      {"aabb", "ab", "a", false, true, "aa", true},  // each result joins the next match
      {"aabb", "ab", "a", false, false, "aab", true},
      {"text", "", "x", false, false, "text", false},
      // A longer `with` is rescanned from its second byte: its tail joins the
      // text after it.
      {"abb", "ab", "bba", false, true, "bbbba", true},
      {"abb", "ab", "bba", false, false, "bbab", true},
      {"abbb", "AB", "xxa", true, true, "xxxxxxa", true},
      // With rescan that could never end (with contains find), rescan is ignored.
      {"aa", "a", "a", false, true, "aa", true},
      {"aa", "a", "ba", false, true, "baba", true},
      {"ÄÖ", "ä", "a", true, false, "aÖ", true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.text) + " / " + r.find);
    std::string s = r.text;
    EXPECT_EQ(ReplaceInString(s, r.find, r.with, r.ignoreCase, r.rescan), r.found);
    EXPECT_EQ(s, r.expected);
  }
  std::string s = "x%LF%";
  EXPECT_TRUE(ReplaceNoCase(s, "%lf%", "\r\n", false));
  EXPECT_EQ(s, "x\r\n");
  EXPECT_FALSE(ReplaceExact(s, "%lf%", "", false));
}

TEST(ZorCase, RulesApplyToWholeUtf8Characters) {
  struct Row {
    const char* text;
    const char* upper;
    const char* lower;
  } rows[] = {
      {"abc XYZ", "ABC XYZ", "abc xyz"},
      {"äöü ÄÖÜ", "ÄÖÜ ÄÖÜ", "äöü äöü"},
      {"ÀŠŸ é", "ÀŠŸ é", "ÀŠŸ é"},  // these two map ASCII and ä ö ü only
      {"×÷ß", "×÷ß", "×÷ß"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(UpperString(r.text), r.upper);
    EXPECT_EQ(LowerString(r.text), r.lower);
  }
  // The case table: whole characters, never single bytes of one.
  struct Fold {
    const char* a;
    const char* b;
    bool equal;
  } folds[] = {
      {"ÀŠŸ", "àšÿ", true},   {"ŒŽÞ", "œžþ", true},    {"×", "÷", false},  {"×", "×", true},
      {"ÀBC", "àbc", true},   {"Ÿ", "ÿ", true},        {"ß", "ß", true},   {"é", "É", true},
      {"Ä", "a", false},      {"abc", "abd", false},   {"ab", "abc", false},
  };
  for (const auto& f : folds) {
    SCOPED_TRACE(std::string(f.a) + " ~ " + f.b);
    EXPECT_EQ(EqualNoCase(f.a, f.b), f.equal);
    EXPECT_EQ(EqualNoCase(f.b, f.a), f.equal);
  }
  EXPECT_EQ(LowerChar(U'À'), U'à');
  EXPECT_EQ(LowerChar(U'Ÿ'), U'ÿ');
  EXPECT_EQ(LowerChar(U'×'), U'×');
  EXPECT_EQ(LowerChar(U'ä'), U'ä');
  EXPECT_EQ(UpperChar(U'ü'), U'Ü');
  EXPECT_EQ(UpperChar(U'é'), U'é');
  // A lone byte of a multi-byte character is never case-mapped.
  EXPECT_EQ(LowerString("\xC4x"), "\xC4x");
  EXPECT_EQ(FindNoCase("ÿ", "xŸ", 1, SIZE_MAX), 2u);
  EXPECT_EQ(FindNoCase("\xC3", "xŸ", 1, SIZE_MAX), 0u);  // Ÿ lowers to C3 BF, but a lone C3 is no ÿ
}

TEST(ZorTrim, TrimRemoveAndRanges) {
  std::string s = "\t\x01 a b \r\n";
  TrimBlanks(s);
  EXPECT_EQ(s, "a b");
  EXPECT_EQ(TrimmedCopy(" \x7F "), "\x7F");
  EXPECT_EQ(TrimmedCopy("  "), "");
  s = "a-b-c";
  EXPECT_TRUE(RemoveChar(s, '-'));
  EXPECT_EQ(s, "abc");
  EXPECT_FALSE(RemoveChar(s, '-'));
  CharSet set;
  set.set('a').set('c');
  EXPECT_TRUE(RemoveChars(s, set));
  EXPECT_EQ(s, "b");
  struct Row {
    std::string result;
    const char* expected;
  } rows[] = {
      {DeletedCopy("abcdef", 2, 3), "aef"}, {DeletedCopy("abcdef", 5, 99), "abcd"},
      {DeletedCopy("abc", 0, 1), "abc"},    {DeletedCopy("abc", 4, 1), "abc"},
      {RightPart("abcdef", 2), "ef"},       {RightPart("ab", 5), "ab"},
      {RightPart("ab", -1), ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.expected);
    EXPECT_EQ(r.result, r.expected);
  }
  s = "abcdef";
  KeepRange(s, 2, 3);
  EXPECT_EQ(s, "bcd");
  KeepRange(s, 9, 1);
  EXPECT_EQ(s, "");
  EXPECT_EQ(BoolSign(true), '+');
  EXPECT_EQ(BoolSign(false), '-');
  EXPECT_EQ(CharsLength("abc"), 3u);
  EXPECT_EQ(CharsLength(nullptr), 0u);
}

TEST(ZorOther, ScramblingErrorTextsAndUtf16) {
  static constexpr auto kScrambled = ScrambledText("hidden");
  EXPECT_NE(kScrambled.View(), "hidden");
  EXPECT_EQ(UnscrambleText(kScrambled.View()), "hidden");
  EXPECT_EQ(UnscrambleText(UnscrambleText("any\x80text")), "any\x80text");

  EXPECT_EQ(SystemErrorText(2), "No such file or directory");
  for (uint32_t code : {0x40000000u, 0xC0000005u, 2100u, 2999u, 100000u}) {
    SCOPED_TRACE(code);
    const std::string text = SystemErrorText(code);
    EXPECT_EQ(text.substr(text.rfind(' ') + 1), HexPadded(code, 1, '0'));
    EXPECT_EQ(text.find('\n'), std::string::npos);
  }

  EXPECT_EQ(AnsiToUtf16Bytes("A", false), std::string("A\0", 2));
  EXPECT_EQ(AnsiToUtf16Bytes("Aé", true), std::string("A\0\xE9\0\0\0", 6));
  EXPECT_EQ(AnsiToUtf16Bytes("€", false), std::string("\xAC\x20", 2));
  EXPECT_EQ(AnsiToUtf16Bytes("\xF0\x9F\x98\x80", false), std::string("\x3D\xD8\x00\xDE", 4));
  EXPECT_EQ(AnsiToUtf16Bytes("\xFF", false), std::string("\xFD\xFF", 2));
  EXPECT_EQ(AnsiToUtf16Bytes("\xC0\x80", false), std::string("\xFD\xFF\xFD\xFF", 4));
  EXPECT_EQ(AnsiToUtf16Bytes("", true), std::string("\0\0", 2));
}

}  // namespace
}  // namespace zor
