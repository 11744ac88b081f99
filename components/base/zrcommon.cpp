#include "components/base/zrcommon.h"

#include <algorithm>

#include "components/base/zrbaselib.h"
#include "platform/core/AnsiStrings.h"
#include "platform/core/Codecs.h"

namespace {

struct Search {
  std::u32string text;
  const TCharSet& delimiters;
  const TSearchMatcher& matcher;
  bool upperCase;  // case-insensitive without a matcher: compare upper-cased
  bool wholeWords;
  int& matchLength;

  bool IsDelimiter(char32_t c) const { return c < 256 && delimiters[c]; }

  // The word around a candidate at column c: its first and last column.
  struct Word {
    int start, end;
  };
  Word WordAround(std::u32string_view line, int c) const {
    Word w{c, c};
    const int length = static_cast<int>(line.size());
    while (w.start > 1 && !IsDelimiter(line[w.start - 2])) --w.start;
    while (w.end < length && !IsDelimiter(line[w.end])) ++w.end;
    return w;
  }
  bool IsWholeWord(const Word& w, int c) const { return w.start == c && w.end - w.start + 1 == matchLength; }

  // One attempt at column `column` of `line`; 0 when nothing is found.
  int Find(std::u32string_view line, int column, bool forward) const {
    if (matcher) {
      matcher(line, column, forward, matchLength);
      return column;
    }
    return forward ? PosFrom(text, line, column) : LastPosFrom(text, line, column);
  }

  // The match column in one line, searching forwards from `column`; 0 when
  // the line holds none.
  int Forward(std::u32string_view line, int column) const {
    const int length = static_cast<int>(line.size());
    for (;;) {
      // A column past the end (also after a failed whole-word test) leaves
      // nothing to search on this line.
      if (!(length >= column || (length == 0 && column == 1 && matcher))) return 0;
      column = Find(line, column, true);
      if (!wholeWords || length == 0 || column == 0) return column;
      const Word w = WordAround(line, column);
      if (IsWholeWord(w, column)) return column;
      column = column == w.end ? column + 1 : w.end;
    }
  }

  // The same backwards: matches that start at or before `column`.
  int Backward(std::u32string_view line, int column) const {
    const int length = static_cast<int>(line.size());
    for (;;) {
      if (!(column > 0 || (length == 0 && column == 0 && matcher))) return 0;
      column = Find(line, std::min(column, length), false);
      if (!wholeWords || length == 0 || column == 0) return column;
      const Word w = WordAround(line, column);
      if (IsWholeWord(w, column)) return column;
      column = column == w.start ? column - 1 : w.start - 1;
    }
  }

  std::u32string Prepared(const std::string& line) const {
    std::u32string chars = Utf8ToUtf32(line);
    return upperCase ? UpperCaseChars(chars) : chars;
  }
};

std::u32string_view TrimTrailingBlanks(std::u32string_view s) {
  while (!s.empty() && s.back() <= U' ') s.remove_suffix(1);
  return s;
}

}  // namespace

bool SearchInStrings(std::string_view Text, const TStrings& Lines, uint8_t Options, const TCharSet& Delimiters,
                     TSearchPos& Position, int& MatchLength, const TSearchMatcher& Matcher) {
  const std::u32string text = Utf8ToUtf32(Text);
  MatchLength = static_cast<int>(text.size());
  if (Lines.Count() == 0 || text.empty()) return false;
  const bool caseSensitive = (Options & kSearchCaseSensitive) != 0;
  Search search{caseSensitive || Matcher ? text : UpperCaseChars(text),
                Delimiters,
                Matcher,
                !caseSensitive && !Matcher,
                (Options & kSearchWholeWords) != 0,
                MatchLength};
  int line = Position.Line, column = Position.Column;
  if (Options & kSearchBackwards) {
    for (; line >= 0; --line) {
      if (line < Lines.Count()) {
        const std::u32string chars = search.Prepared(Lines.Get(line));
        column = search.Backward(TrimTrailingBlanks(chars), column);
        if (column != 0) break;
      }
      if (line > 0) column = line - 1 < Lines.Count() ? static_cast<int>(Utf8ToUtf32(Lines.Get(line - 1)).size()) : 0;
    }
  } else {
    for (line = std::max(line, 0); line < Lines.Count(); ++line, column = 1) {
      column = search.Forward(search.Prepared(Lines.Get(line)), column);
      if (column != 0) break;
    }
  }
  if (line < 0 || line >= Lines.Count() || column == 0) return false;
  Position = {column, line};
  return true;
}

bool SearchInStringsFromStart(std::string_view Text, const TStrings& Lines, bool CaseSensitive,
                              const TSearchMatcher& Matcher, int& MatchLength, TSearchPos& Position) {
  Position = {1, 0};
  return SearchInStrings(Text, Lines, CaseSensitive ? kSearchCaseSensitive : 0, TCharSet(), Position, MatchLength,
                         Matcher);
}

void detail::FreeStringsObjects(TStrings& List) {
  for (int i = List.Count() - 1; i >= 0; --i)
    if (TObject* object = List.Objects(i)) object->Free();
}
