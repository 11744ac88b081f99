#pragma once
// Text search in string lists (SearchInStrings), as the code editor's text
// store runs its find and replace; freeing a string list with its objects.
//
// Columns count characters (code points), 1-based; lines count from 0. The
// search runs on the UTF-32 forms of the lines and the text, and case-
// insensitive search maps each character to its upper case one to one, so a
// match column is the same in the line as typed.

#include <bitset>
#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/Events.h"
#include "platform/core/StringList.h"

// A set of the characters 0..255; a character above 255 is never in one.
using TCharSet = std::bitset<256>;

// Option bits of SearchInStrings.
inline constexpr uint8_t kSearchCaseSensitive = 1;
inline constexpr uint8_t kSearchWholeWords = 2;
inline constexpr uint8_t kSearchBackwards = 4;

struct TSearchPos {
  int Column = 1;  // 1-based character column
  int Line = 0;    // 0-based line index
  friend bool operator==(const TSearchPos&, const TSearchPos&) = default;
};

// A pattern matcher: searches Line from Position (a character column) in the
// given direction. On a match it sets Position to the match start and
// MatchLength to its length and answers true; otherwise it sets Position to
// 0. For an empty line it answers true, leaving Position, when the pattern
// matches empty text.
using TSearchMatcher = TMethodPointer<bool(std::u32string_view Line, int& Position, bool Forward, int& MatchLength)>;

// Finds Text (or, with a Matcher, the matcher's pattern) in Lines from
// Position, forwards or with kSearchBackwards backwards, and answers whether
// it found one; then Position is the match and MatchLength its length in
// characters (Text's length, or the matcher's). Without a match Position is
// left as it was. An empty Text or an empty list finds nothing.
//
// - Case-insensitive without kSearchCaseSensitive (a matcher decides about
//   case itself).
// - With kSearchWholeWords a match must be a whole word: a maximal run of
//   characters outside Delimiters. A failed candidate moves the search past
//   the word it lies in; a search that runs past the end of a line goes on at
//   the next line.
// - Forward: from Position's column, then each following line from column 1.
// - Backward: matches start at or before Position's column, then each
//   earlier line from its end. Trailing blanks (characters up to U+0020) of a
//   line are ignored.
bool SearchInStrings(std::string_view Text, const TStrings& Lines, uint8_t Options, const TCharSet& Delimiters,
                     TSearchPos& Position, int& MatchLength, const TSearchMatcher& Matcher = nullptr);

// Searches forwards from column 1 of line 0, without the whole-word test.
bool SearchInStringsFromStart(std::string_view Text, const TStrings& Lines, bool CaseSensitive,
                              const TSearchMatcher& Matcher, int& MatchLength, TSearchPos& Position);

// ---- String lists ----

namespace detail {
void FreeStringsObjects(TStrings& List);
}

// Frees every object of List's lines, the last first, then List itself, and
// sets the variable to nullptr. Nothing for nullptr.
template <class L>
requires std::derived_from<L, TStrings>
void FreeStringsAndObjects(L*& List) {
  if (!List) return;
  detail::FreeStringsObjects(*List);
  FreeAndNil(List);
}
template <class L>
requires std::derived_from<L, TStrings>
void FreeStringsAndObjects(std::unique_ptr<L>& List) {
  L* list = List.release();
  FreeStringsAndObjects(list);
}
