#pragma once
// The code editor's own small pattern matcher, used by find and replace when
// the search options ask for regular expressions.
//
// Grammar: a literal character; "." any character; "[...]" a set ("[^...]"
// negated, "a-z" ranges, "\" before one of $*+.[]^{}- for that character);
// "^" the start and "$" the end of the line; "{...}" a group; "*" zero or
// more and "+" one or more of the character, set or group before it; "\x"
// the character x itself.
//
// A pattern is compiled once, at construction, into a flat list of items.
// Matching runs over one line at a time, greedy, with a backtracking stack.
// Columns and lengths count characters (code points) of the line, 1-based
// columns.
//
// Without CaseSensitive, literals and the text are compared after ASCII
// upper-casing only (so "é" never matches "É"). Sets hold characters below
// 256; a character from 256 up is never a member.
//
// The results keep a few quirks that searches rely on:
// - a consuming item may match once at the end of the line without taking a
//   character, so "a." matches "xa" at column 2 with length 1;
// - the end of the line itself is never a start position, so on an empty
//   line only "^", "$" and "^$" match (at column 1, length 0).

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "components/base/zrcommon.h"
#include "platform/core/Object.h"

// "%s is invalid mask at (%d)": the pattern and the 1-based character
// position of the offending character, or the length + 1 when the pattern
// ended too early (an open group or set, a trailing backslash, a range
// without its end).
inline constexpr const char* kInvalidMaskText = "%s is invalid mask at (%d)";

class TRegExpr : public TObject {
 public:
  // Compiles Pattern (UTF-8). A malformed pattern raises Exception with
  // kInvalidMaskText.
  TRegExpr(const std::string& Pattern, bool CaseSensitive);
  TRegExpr(const TRegExpr&) = delete;
  TRegExpr& operator=(const TRegExpr&) = delete;

  // Finds the pattern in Text from Column (1-based; clamped to the length;
  // at or below 0: the first character): forward, each start from Column up
  // to the last character; backward, each start from Column down to the
  // first. On a match answers true with Column its start and Length the
  // 0-based end offset of the match (see MatchLine for the length). Without
  // one: false, Column 0, Length 0.
  bool Search(std::u32string_view Text, int& Column, bool Forward, int& Length);
  // The line search's matcher (TSearchMatcher): "$" alone matches at the
  // end (column length + 1, length 0) when searching forward, or backward
  // from the end; otherwise Search, with Length the number of characters
  // matched.
  bool MatchLine(std::u32string_view Text, int& Column, bool Forward, int& Length);
  TSearchMatcher Matcher() { return TSearchMatcher::Of<&TRegExpr::MatchLine>(*this); }

  // The pattern is exactly "^", "$" or "^$".
  static bool IsAnchorOnly(std::string_view Pattern);

  const std::string& Pattern() const { return pattern_; }
  bool CaseSensitive() const { return caseSensitive_; }

  // A compiled item. Kinds: 0 literal (Ch; End marks the item every pattern
  // ends with), 1 any character, 2 set (Ch 1: negated), 3 "^", 4 "$",
  // 5 group open, 6 group close, 7 escape marker, 8 "+" marker, 9 "*"
  // marker. Jump is -1, or the index of the last item of the repeated unit
  // this item belongs to (the unit's marker follows that item).
  struct TItem {
    std::int32_t Jump = -1;
    std::uint8_t Kind = 0;
    char32_t Ch = 0;
    bool End = false;
    TCharSet Set;
  };
  const std::vector<TItem>& Items() const { return items_; }
  // Sequences run by the last Search (a measure of its work).
  std::int64_t Runs() const { return runs_; }

 private:
  void Compile();
  TItem ParseSet(size_t& I) const;
  [[noreturn]] void Fail(size_t Position) const;
  bool MatchSeq(int& P, int A, int Last, int& Length);
  bool MatchUnit(int& P, int First, int Last, int& Length);
  // Does item I accept the character at P (a character past the end reads
  // as 0)?
  bool Accepts(const TItem& Item, int P) const;
  bool TryFrom(int Start, int& Length);

  std::string pattern_;
  std::u32string chars_;
  bool caseSensitive_;
  std::vector<TItem> items_;
  // Entries (text position, item index) to resume from, newest last.
  std::vector<std::pair<int, int>> stack_;
  // Entries already run during this Search: whether a sequence matches from
  // an entry does not depend on where the attempt started, so a second run
  // would fail the same way. This keeps patterns such as "a*a*a*a*b" linear
  // in the entries instead of exponential.
  std::unordered_set<std::int64_t> tried_;
  std::u32string_view text_;
  std::int64_t runs_ = 0;
};
