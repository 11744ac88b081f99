// Find: the search options' commands, the line search over the store and
// the reports.
#include "components/base/zrcommon.h"
#include "components/codeedit/MemoSearch_p.h"
#include "components/codeedit/ZRRegExpr.h"
#include "platform/core/Codecs.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/DialogService.h"

namespace {

// The store's lines as shown: tabs expanded.
class TExpandedLines : public TStrings {
 public:
  explicit TExpandedLines(const TCustomMemoSource& Source) : source_(Source) {}
  int GetCount() const override { return source_.LineCount(); }
  std::string Get(int Index) const override { return Utf32ToUtf8Lossless(source_.ExpandTabs(source_.LineText(Index))); }
  void Insert(int, const std::string&) override {}
  void Delete(int) override {}
  void Clear() override {}

 private:
  const TCustomMemoSource& source_;
};

bool HasDelimiter(const std::string& Text, const TCharSet256& Delimiters) {
  for (char32_t c : Utf8ToUtf32(Text))
    if (c < 256 && Delimiters.test(c)) return true;
  return false;
}

}  // namespace

std::string SearchReportText(const char* Pattern) {
  return Format(Pattern, {StringReplace(SearchOptions().TextToFind, "&", "&&")});
}

THourGlass::THourGlass() : saved_(Screen->Cursor()), shown_(saved_ != crHourGlass) {
  if (shown_) Screen->SetCursor(crHourGlass);
}

THourGlass::~THourGlass() {
  if (shown_) Screen->SetCursor(saved_);
}

void ShowSearchMessage(const std::string& Message) {
  Dialogs().MessageBox(Message, Application->Title(), TMsgDlgType::mtInformation, TMsgDlgButtons::mbOK);
}

void TCustomMemoSource::FindNext() {
  TSearchOptions& options = SearchOptions();
  options.FirstSearch = true;
  options.InReplace = false;
  options.ShowNotFound = true;
  std::int32_t length = 0;
  FindNextCore(length);
}

void TCustomMemoSource::ReplaceNext() {
  TSearchOptions& options = SearchOptions();
  options.FirstSearch = true;
  options.InReplace = true;
  options.ShowNotFound = true;
  ReplaceCore();
}

void TCustomMemoSource::SearchAgain() {
  TSearchOptions& options = SearchOptions();
  options.ShowNotFound = true;
  if (!HasSelection()) options.Scope = ssGlobal;
  // Nothing has been searched yet: there is nothing to repeat.
  if (options.FirstSearch || options.TextToFind.empty()) return;
  if (options.InReplace) {
    ReplaceCore();
  } else {
    std::int32_t length = 0;
    FindNextCore(length);
  }
}

void TCustomMemoSource::PrepareSearchOptions() {
  TSearchOptions& options = SearchOptions();
  if (options_.Contains(soFindTextAtCursor)) options.TextToFind = Utf32ToUtf8Lossless(WordAtCaret());
  const bool inSelection =
      HasSelection() && (InSelection(caret_.Char, caret_.Line) || IsAtSelectionEdge(caret_.Char, caret_.Line));
  options.Scope = inSelection ? ssSelectedText : ssGlobal;
}

void TCustomMemoSource::ToggleCaseSensitiveSearch() { SearchOptions().CaseSensitive = !SearchOptions().CaseSensitive; }

void TCustomMemoSource::ToggleRegExprSearch() { SearchOptions().RegularExpr = !SearchOptions().RegularExpr; }

bool TCustomMemoSource::DoSearchException(const std::string& Message) {
  bool handled = !UseModalDialogs();
  if (OnSearchException) OnSearchException(this, Message, handled);
  return handled;
}

void TCustomMemoSource::DoBeforeFindReplace(std::int32_t Kind) {
  if (BeforeFindReplaceHook) BeforeFindReplaceHook(Kind);
}

bool TCustomMemoSource::SearchStrings(TStrings& Lines, TSearchPos& Position, int& Length) {
  if (Lines.Count() == 0) return false;
  TSearchOptions& options = SearchOptions();
  const bool forward = options.Direction == sdForward;
  // From the start (or end) of the scope there is no match at the caret to
  // move off, so the two steps below that do so are left out.
  bool fromScope = false;
  if (options.FirstSearch) {
    if (options.Origin == soEntireScope) {
      fromScope = true;
      const int last = Lines.Count() - 1;
      Position = forward ? TSearchPos{1, 0} : TSearchPos{static_cast<int>(Utf8ToUtf32(Lines.Get(last)).size()), last};
    }
    options.FirstSearch = false;
  }
  const std::uint8_t bits = (options.CaseSensitive ? kSearchCaseSensitive : 0) |
                            (options.WholeWordsOnly ? kSearchWholeWords : 0) | (forward ? 0 : kSearchBackwards);
  if (!options.RegularExpr) return SearchInStrings(options.TextToFind, Lines, bits, DelimiterSet(), Position, Length);

  TRegExpr matcher(options.TextToFind, options.CaseSensitive);
  const TSearchPos start = Position;
  // An anchor alone matches where the caret already is.
  if (!fromScope && TRegExpr::IsAnchorOnly(options.TextToFind)) Position.Column += forward ? 1 : -1;
  if (!SearchInStrings(options.TextToFind, Lines, bits, DelimiterSet(), Position, Length, matcher.Matcher()))
    return false;
  if (forward && !fromScope && Length == 0 && Position == start) {
    // An empty match at the caret: step past it, so that the caret, which
    // goes after the match, moves on.
    if (Position.Column <= static_cast<int>(Utf8ToUtf32(Lines.Get(Position.Line)).size())) {
      ++Position.Column;
    } else {
      if (Position.Line + 1 >= Lines.Count()) return false;
      Position = {1, Position.Line + 1};
    }
  }
  return true;
}

bool TCustomMemoSource::FindNextCore(std::int32_t& Length) {
  TSearchOptions& options = SearchOptions();
  TDeselectionGuard keepSelection(*this);
  DoBeforeFindReplace(0);
  const bool inSelection = options.Scope == ssSelectedText;
  if (inSelection && !HasSelection()) {
    if (options.FirstSearch && !DoSearchException(kInvalidBlockText)) RaiseError(kInvalidBlockText);
    return false;
  }
  TUpdateGuard update(*this, ChangeCode::Find);
  if (options.WholeWordsOnly && !options.RegularExpr && HasDelimiter(options.TextToFind, DelimiterSet()))
    options.WholeWordsOnly = false;
  const bool forward = options.Direction == sdForward;
  TExpandedLines expanded(*this);
  TStrings* lines = &expanded;
  std::int32_t x = caret_.Char, y = caret_.Line;
  if (inSelection) {
    if (options.FirstSearch && options.Origin == soFromCursor && !InSelection(x, y) && !IsAtSelectionEdge(x, y)) {
      if (!DoSearchException(kCursorOutsideBlockText)) RaiseError(kCursorOutsideBlockText);
      return false;
    }
    lines = SelectionStrings();
    ToSelectionRelative(x, y);
  }
  // Forward from the character at the caret, backward from the one before.
  TSearchPos position{x + (forward ? 1 : 0), y};
  int length = 0;
  bool found = false;
  try {
    THourGlass wait;
    found = SearchStrings(*lines, position, length);
  } catch (const Exception& error) {
    if (!DoSearchException(error.Message())) ShowSearchMessage(error.Message());
    return false;
  }
  Length = length;
  if (!found) {
    if (options.ShowNotFound) {
      const std::string text = SearchReportText(kNotFoundText);
      if (!DoSearchException(text)) ShowSearchMessage(text);
    }
    return false;
  }
  std::int32_t column = position.Column - 1, line = position.Line;
  if (inSelection) FromSelectionRelative(column, line);
  SetFoundRect({column, line, column + length, line + 1});
  if (options_.Contains(soSelectFoundText) && (!HasSelection() || !inSelection))
    SelectRange(stStream, {column, line}, {column + length, line});
  SetCaret(forward ? column + length : column, line);
  return true;
}
