#include "components/codeedit/ZRRegExpr.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/core/Codecs.h"
#include "platform/core/Exceptions.h"

namespace {

using ::testing::ThrowsMessage;

struct MatchRow {
  const char* pattern;
  bool caseSensitive;
  const char* text;
  int column;  // where the search starts (1-based)
  bool forward;
  int foundColumn;  // 0: no match
  int length;
};

// MatchLine, the form the line search calls.
const MatchRow kMatchRows[] = {
    {"ab*c", true, "ac", 1, true, 1, 2},
    {"ab*c", true, "abc", 1, true, 1, 3},
    {"ab*c", true, "abbbc", 1, true, 1, 5},
    {"ab+c", true, "ac", 1, true, 0, 0},
    {"ab+c", true, "xabbc", 1, true, 2, 4},
    {"{ab}+", true, "ababx", 1, true, 1, 4},
    {"{ab}*x", true, "abababx", 1, true, 1, 7},
    {"[a-c]*x", true, "abcx", 1, true, 1, 4},
    {"a.", true, "xa", 1, true, 2, 1},  // the full stop takes the end once, adding nothing
    {"a.", true, "xab", 1, true, 2, 2},
    {"[a-z]+", false, "ABC", 1, true, 1, 3},
    {"[a-z]+", true, "ABC", 1, true, 0, 0},
    {"abc", false, "xABCx", 1, true, 2, 3},
    {"ABC", true, "abc", 1, true, 0, 0},
    {"\xC3\xA9", false, "\xC3\x89", 1, true, 0, 0},  // é and É: upper-casing is ASCII only
    {"\\{a", true, "x{a", 1, true, 2, 2},
    {"\\*", true, "a*b", 1, true, 2, 1},
    {"[\\]]", true, "a]", 1, true, 2, 1},
    {"[^a-c]", true, "abcd", 1, true, 4, 1},
    {"[z-a]", true, "a", 1, true, 0, 0},  // a reversed range adds nothing
    {"[z-a]", true, "z", 1, true, 1, 1},
    {"[^a]", true, "\xCE\xB1", 1, true, 1, 1},  // α is no member of any set
    {".", true, "\xCE\xB1\xCE\xB2", 2, true, 2, 1},
    {"^a", true, "ba", 1, true, 0, 0},
    {"^a", true, "ab", 1, true, 1, 1},
    {"a$", true, "aba", 1, true, 3, 1},
    {"^", true, "abc", 1, true, 1, 0},
    {"^", true, "abc", 2, true, 0, 0},
    {"x*", true, "abc", 2, true, 2, 0},
    {"a*", true, "baab", 2, true, 2, 2},
    {"$", true, "abc", 1, true, 4, 0},
    {"$", true, "abc", 3, false, 4, 0},
    {"$", true, "abc", 2, false, 0, 0},
    {"ab", true, "abxab", 5, false, 4, 2},
    {"ab", true, "abxab", 3, false, 1, 2},
    {"ab", true, "abxab", 4, true, 4, 2},
    {"b", true, "abc", 9, true, 0, 0},  // the column is clamped to the last character
    {"c", true, "abc", 9, true, 3, 1},
    {"a", true, "abc", 0, true, 1, 1},
    // On an empty line only the anchors match, at column 1.
    {"^", true, "", 1, true, 1, 0},
    {"$", true, "", 1, true, 1, 0},
    {"^$", true, "", 0, false, 1, 0},
    {"a*", true, "", 1, true, 0, 0},
    {".", true, "", 1, true, 0, 0},
    {"^$", true, "a", 1, true, 0, 0},
};

TEST(RegExpr, MatchesTheTableOfPatterns) {
  for (const MatchRow& row : kMatchRows) {
    SCOPED_TRACE(std::string(row.pattern) + " in \"" + row.text + "\" from " + std::to_string(row.column) +
                 (row.forward ? " forward" : " backward"));
    TRegExpr matcher(row.pattern, row.caseSensitive);
    const std::u32string text = Utf8ToUtf32(row.text);
    int column = row.column, length = 99;
    EXPECT_EQ(matcher.MatchLine(text, column, row.forward, length), row.foundColumn != 0);
    EXPECT_EQ(column, row.foundColumn);
    EXPECT_EQ(length, row.length);
  }
}

struct ErrorRow {
  const char* pattern;
  const char* message;
};

const ErrorRow kErrorRows[] = {
    {"a**", "a** is invalid mask at (3)"},                                // a second repeat
    {"*a", "*a is invalid mask at (1)"},                                  // nothing to repeat
    {"^*", "^* is invalid mask at (2)"},                                  // an anchor cannot repeat
    {"$+", "$+ is invalid mask at (2)"},                                  //
    {"{a", "{a is invalid mask at (3)"},                                  // open group at the end
    {"a}", "a} is invalid mask at (3)"},                                  // close without open, found at the end
    {"[]", "[] is invalid mask at (2)"},                                  // empty set, at its closing bracket
    {"[abc", "[abc is invalid mask at (5)"},                              // the set never closes
    {"[-a]", "[-a] is invalid mask at (2)"},                              // a range without a start
    {"[a-", "[a- is invalid mask at (4)"},                                // a range without an end
    {"a\\", "a\\ is invalid mask at (3)"},                                // a trailing backslash
    {"\xCE\xB1\xCE\xB2**", "\xCE\xB1\xCE\xB2** is invalid mask at (4)"},  // counted in characters
    {"[\xCE\xB1]", "[\xCE\xB1] is invalid mask at (3)"},                  // no member below 256
};

TEST(RegExpr, MalformedPatternsRaiseWithTheirPosition) {
  for (const ErrorRow& row : kErrorRows) {
    SCOPED_TRACE(row.pattern);
    EXPECT_THAT([&] { TRegExpr matcher(row.pattern, true); }, ThrowsMessage<Exception>(row.message));
  }
}

TEST(RegExpr, RepeatsMarkTheirUnitAndFollowIt) {
  TRegExpr matcher("a{bc}*", true);
  // a, {, b, c, }, *, end: the group's items jump to its close.
  std::string shape;
  for (const auto& item : matcher.Items())
    shape += std::to_string(item.Kind) + ":" + std::to_string(item.Jump) + (item.End ? "E" : "") + " ";
  EXPECT_EQ(shape, "0:-1 5:4 0:4 0:4 6:4 9:-1 0:-1E ");
  EXPECT_TRUE(TRegExpr::IsAnchorOnly("^$"));
  EXPECT_FALSE(TRegExpr::IsAnchorOnly("^a"));
}

TEST(RegExpr, NestedRepeatsDoNotBacktrackExponentially) {
  std::string pattern;
  for (int i = 0; i < 16; ++i) pattern += "a*";
  pattern += "b";
  TRegExpr matcher(pattern, true);
  const std::u32string text(400, U'a');
  for (bool forward : {true, false}) {
    int column = forward ? 1 : 400, length = 0;
    EXPECT_FALSE(matcher.Search(text, column, forward, length));
    // Each resumed entry (position, item) runs once: about 16 x 400^2 / 2
    // sequences, where retrying every entry grows exponentially.
    EXPECT_LE(matcher.Runs(), 2'000'000);
  }
}

}  // namespace
