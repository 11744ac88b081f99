#include "components/base/zrcommon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/Codecs.h"
#include "testing/ObjectFreedRecorder.h"

namespace {

TCharSet Delimiters(std::string_view chars) {
  TCharSet set;
  for (unsigned char c : chars) set.set(c);
  return set;
}

struct Row {
  const char* what;
  std::vector<std::string> lines;
  const char* text;
  uint8_t options;
  TSearchPos from;
  bool found;
  TSearchPos at;  // where a match is; unused otherwise
};

TEST(SearchInStrings, FindsTextForwardsAndBackwards) {
  const uint8_t back = kSearchBackwards, whole = kSearchWholeWords, cased = kSearchCaseSensitive;
  const Row rows[] = {
      {"any case", {"xABCx"}, "abc", 0, {1, 0}, true, {2, 0}},
      {"case-sensitive miss", {"xABCx"}, "abc", cased, {1, 0}, false, {}},
      {"whole word skips the hit inside a word", {"concat cat"}, "cat", whole, {1, 0}, true, {8, 0}},
      {"a retry past the line end goes on below", {"ab", "b x"}, "b", whole, {1, 0}, true, {1, 1}},
      {"no whole word anywhere", {"ab", "cb"}, "b", whole, {1, 0}, false, {}},
      {"on from the given column", {"abab"}, "ab", 0, {2, 0}, true, {3, 0}},
      {"on to later lines", {"x", "", "yab"}, "AB", 0, {1, 0}, true, {2, 2}},
      {"a start past the end of a line", {"ab", "ab"}, "ab", 0, {9, 0}, true, {1, 1}},
      {"character columns after é", {"café au lait"}, "AU", 0, {1, 0}, true, {6, 0}},
      {"character columns after ß", {"Maß und Ziel"}, "und", whole, {1, 0}, true, {5, 0}},
      {"a character above 255 belongs to the word", {"aβb b"}, "b", whole | cased, {1, 0}, true, {5, 0}},
      {"a text of non-ASCII characters", {"Straße café"}, "CAFÉ", whole, {1, 0}, true, {8, 0}},
      {"trailing blanks count forwards", {"ab   "}, " ", cased, {1, 0}, true, {3, 0}},
      {"backwards from column 1 misses column 5", {"xxxxabc"}, "abc", back, {1, 0}, false, {}},
      {"backwards from the end", {"ab ab", "x"}, "ab", back, {1, 1}, true, {4, 0}},
      {"backwards within the line", {"ab ab ab"}, "AB", back, {5, 0}, true, {4, 0}},
      {"trailing blanks ignored backwards", {"ab   "}, " ", back | cased, {5, 0}, false, {}},
      {"backwards whole word", {"cat concat"}, "cat", back | whole, {10, 0}, true, {1, 0}},
      {"empty text", {"abc"}, "", 0, {1, 0}, false, {}},
      {"no lines", {}, "a", 0, {1, 0}, false, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TStringList lines;
    for (const std::string& line : r.lines) lines.Add(line);
    TSearchPos position = r.from;
    int length = -1;
    EXPECT_EQ(SearchInStrings(r.text, lines, r.options, Delimiters(" ."), position, length), r.found);
    EXPECT_EQ(position, r.found ? r.at : r.from);
    EXPECT_EQ(length, static_cast<int>(Utf8ToUtf32(r.text).size()));  // characters, not bytes
  }
}

// Matches runs of digits, as a pattern matcher would.
struct DigitMatcher {
  std::vector<int> calls;
  bool Match(std::u32string_view line, int& position, bool forward, int& length) {
    calls.push_back(position);
    if (line.empty()) return true;  // the pattern matches empty text
    for (int c = position; c >= 1 && c <= static_cast<int>(line.size()); c += forward ? 1 : -1) {
      if (line[c - 1] >= U'0' && line[c - 1] <= U'9') {
        int end = c;
        while (end < static_cast<int>(line.size()) && line[end] >= U'0' && line[end] <= U'9') ++end;
        int start = c;
        while (start > 1 && line[start - 2] >= U'0' && line[start - 2] <= U'9') --start;
        position = forward ? c : start;
        length = end - position + 1;
        return true;
      }
    }
    position = 0;
    length = 0;
    return false;
  }
};

TEST(SearchInStrings, AMatcherDecidesWhereAndHowLong) {
  DigitMatcher digits;
  const TSearchMatcher matcher = TSearchMatcher::Of<&DigitMatcher::Match>(digits);
  TStringList lines{"größe", "a 123 b"};
  TSearchPos position;
  int length = 0;
  EXPECT_TRUE(SearchInStringsFromStart("[0-9]+", lines, false, matcher, length, position));
  EXPECT_EQ(position, (TSearchPos{3, 1}));
  EXPECT_EQ(length, 3);
  EXPECT_EQ(digits.calls, (std::vector<int>{1, 1}));

  TStringList withEmpty{"x", ""};
  position = {1, 1};
  EXPECT_TRUE(SearchInStrings("^$", withEmpty, 0, TCharSet(), position, length, matcher));
  EXPECT_EQ(position, (TSearchPos{1, 1}));
}

TEST(FreeStringsAndObjects, FreesTheObjectsLastFirstThenTheList) {
  auto* list = new TStringList();
  auto* a = new TObject();
  auto* b = new TObject();
  list->AddObject("a", a);
  list->Add("no object");
  list->AddObject("b", b);
  const void* listAddress = list;
  ObjectFreedRecorder recorder;
  FreeStringsAndObjects(list);
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(recorder.freed, (std::vector<const void*>{b, a, listAddress}));

  FreeStringsAndObjects(list);  // nothing for nullptr
  std::unique_ptr<TStringList> owned = std::make_unique<TStringList>();
  owned->AddObject("c", new TObject());
  FreeStringsAndObjects(owned);
  EXPECT_EQ(owned, nullptr);
  EXPECT_EQ(recorder.freed.size(), 5u);
}

}  // namespace
