// Tab, back tab, block indentation and Enter with automatic indentation.
#include <cstdlib>

#include "components/codeedit/MemoCommands_p.h"

namespace {
std::int32_t SelectedLineCount(const TCustomMemoSource& S) {
  return S.HasSelection() ? std::abs(S.SelectionEnd().Line - S.SelectionStart().Line) + 1 : 0;
}

// Sets the tab string that block indentation uses, and clears it whatever
// happens.
class TTabString {
 public:
  TTabString(std::u32string& Target, std::u32string Value) : target_(Target) { target_ = std::move(Value); }
  ~TTabString() { target_.clear(); }
  TTabString(const TTabString&) = delete;
  TTabString& operator=(const TTabString&) = delete;

 private:
  std::u32string& target_;
};

// Closes an undo block whatever happens.
class TUndoBlockScope {
 public:
  explicit TUndoBlockScope(TCustomMemoSource& Source) : source_(Source) { Source.BeginUndoBlock(); }
  ~TUndoBlockScope() { source_.EndUndoBlock(); }
  TUndoBlockScope(const TUndoBlockScope&) = delete;
  TUndoBlockScope& operator=(const TUndoBlockScope&) = delete;

 private:
  TCustomMemoSource& source_;
};

// Puts the caret, the selection and the options back, whatever happens.
class TCaretScope {
 public:
  explicit TCaretScope(TCustomMemoSource& Source)
      : source_(Source),
        caret_(Source.Caret()),
        type_(Source.SelectionType()),
        start_(Source.SelectionStart()),
        end_(Source.SelectionEnd()) {}
  ~TCaretScope() {
    try {
      source_.SetCaret(caret_.Char, caret_.Line);
    } catch (...) {
    }
    source_.SetSelection(type_, start_, end_);
  }
  TCaretScope(const TCaretScope&) = delete;
  TCaretScope& operator=(const TCaretScope&) = delete;

 private:
  TCustomMemoSource& source_;
  TMemoPos caret_;
  TSelectionType type_;
  TMemoPos start_, end_;
};
}  // namespace

std::int32_t TCustomMemoSource::SmartTabColumn(int K, std::int32_t Column, std::int32_t Line) {
  std::int32_t result = TabStopColumn(K);
  if (!options_.Contains(soSmartTab) || Line <= 0) return result;
  for (std::int32_t above = Line - 1; above >= 0; --above) {
    const std::u32string shown = ExpandTabs(LineText(above));
    if (static_cast<std::int32_t>(shown.size()) <= Column) continue;
    const size_t first = shown.find_first_not_of(U" \t");
    if (first != std::u32string::npos && static_cast<std::int32_t>(first) > Column)
      return static_cast<std::int32_t>(first);
    // The caret goes back first, while the line end does not limit it.
    TNoLimitEOL unlimited(*this);
    TCaretScope back(*this);
    SetCaret(Column, above);
    WordRight();
    if (caret_.Line == above) result = caret_.Char;
    break;
  }
  return result;
}

void TCustomMemoSource::IndentOrTab() {
  TUndoBlockScope undoBlock(*this);
  const std::int32_t lines = SelectedLineCount(*this);
  if (HasSelection() && lines <= 1) DeleteSelection();
  TUpdateGuard update(*this, ChangeCode::Tab);
  const std::int32_t column = caret_.Char;
  int k = 0;
  while (TabStopColumn(k) <= column) ++k;
  const std::int32_t target = SmartTabColumn(k, column, caret_.Line);
  const bool tabs = options_.Contains(soUseTabCharacter);
  const std::u32string text = tabs ? U"\t" : std::u32string(static_cast<size_t>(std::max(target - column, 0)), U' ');
  if (lines >= 2) {
    TTabString tabString(tabString_, text);
    IndentBlock();
  } else if (OverwriteMode()) {
    MoveCaret(0, target - column);
  } else {
    InsertText(text);
    // An inserted tab starts at the caret and reaches the next stop.
    MoveCaret(0, (tabs ? TabStopColumn(k) : target) - column);
  }
}

void TCustomMemoSource::UnindentOrBackTab() {
  if (SelectedLineCount(*this) >= 2) {
    const TMemoPos start = selStart_;
    int k = 0;
    while (TabStopColumn(k) < start.Char) ++k;
    const std::int32_t width = SmartTabColumn(k, start.Char, start.Line) - start.Char;
    TTabString tabString(tabString_, std::u32string(static_cast<size_t>(std::max(width, 0)), U' '));
    UnindentBlock();
    return;
  }
  int k = 0;
  while (TabStopColumn(k) < caret_.Char) ++k;
  MoveCaret(0, (k > 0 ? TabStopColumn(k - 1) : 0) - caret_.Char);
}

void TCustomMemoSource::IndentBlock() {
  TransformSelectedLines(ChangeCode::IndentBlock, [](const TCustomMemoSource& S, std::u32string& T, std::string& C) {
    if (T.empty()) return;
    const std::u32string indent =
        S.tabString_.empty() ? std::u32string(static_cast<size_t>(S.blockIndent_), U' ') : S.tabString_;
    T.insert(0, indent);
    C.insert(0, indent.size(), 0);
  });
}

void TCustomMemoSource::UnindentBlock() {
  TransformSelectedLines(ChangeCode::UnindentBlock, [](const TCustomMemoSource& S, std::u32string& T, std::string& C) {
    const size_t width = S.tabString_.empty() ? static_cast<size_t>(S.blockIndent_) : S.tabString_.size();
    size_t n = 0;
    while (n < width && n < T.size() && T[n] <= 32) ++n;
    T.erase(0, n);
    C.erase(0, std::min(n, C.size()));
  });
}

void TCustomMemoSource::BreakLine() {
  TUpdateGuard update(*this, ChangeCode::BreakLine);
  const std::int32_t line = caret_.Line, column = caret_.Char;
  const bool autoIndent = options_.Contains(soAutoIndent);
  const std::u32string shown = ExpandTabs(LineText(line));
  if (OverwriteMode()) {
    std::int32_t to = 0;
    if (autoIndent) to = column <= FirstNonSpace(shown) ? column : FirstNonSpace(ExpandTabs(LineText(line + 1)));
    std::int32_t result = to;
    if (CaretHook) {
      IndentQuery = true;
      struct TReset {
        bool& b;
        ~TReset() { b = false; }
      } reset{IndentQuery};
      CaretHook(to, result);
    }
    MoveCaret(1, result - column);
    return;
  }
  OverwriteSelection();
  // A read-only line is not split; the line below must not be indented
  // instead.
  if (IsReadOnly() || IsLineReadOnly(caret_.Line)) return;
  const std::int32_t at = caret_.Line, from = caret_.Char;
  const std::u32string before = ExpandTabs(LineText(at));
  const bool keepPrevious = autoIndent && options_.Contains(soUseTabCharacter) && options_.Contains(soUsePrevIndent);
  const std::u32string previous = keepPrevious ? LineText(at) : std::u32string();
  InsertLineBreak();

  std::int32_t indent = 0;
  if (autoIndent) {
    auto nearest = [&] {
      for (std::int32_t l = at; l >= 0; --l) {
        const std::u32string s = ExpandTabs(LineText(l));
        if (!s.empty()) return FirstNonSpace(s);
      }
      return 0;
    };
    if (before.empty() || (from == 0 && before[0] != U' '))
      indent = nearest();
    else if (from > 0)
      indent = from <= FirstNonSpace(before) ? from : nearest();
  }
  SetCaret(0, at + 1);
  if (autoIndent && indent > 0) {
    const auto spaces = static_cast<size_t>(indent);
    std::u32string fill;
    if (!options_.Contains(soUseTabCharacter)) {
      fill.assign(spaces, U' ');
    } else if (keepPrevious) {
      fill = previous.substr(0, static_cast<size_t>(ColumnToIndex(previous, indent)));
      for (char32_t& c : fill)
        if (c != U'\t') c = U' ';
    } else if (options_.Contains(soOptimalFill)) {
      int stops = 0;
      std::int32_t last = 0;
      while (TabStopColumn(stops) <= indent) last = TabStopColumn(stops++);
      fill.assign(static_cast<size_t>(stops), U'\t');
      fill.append(static_cast<size_t>(indent - last), U' ');
    } else {
      fill.assign(spaces, U' ');
    }
    InsertText(fill);
  }
  SetCaret(indent, at + 1);
}
