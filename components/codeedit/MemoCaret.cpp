// Caret moves: the MoveCaret primitive and the commands built on it.
#include "components/codeedit/MemoEdit_p.h"

void TCustomMemoSource::MoveCaret(std::int32_t LineDelta, std::int32_t CharDelta) {
  if (CaretHook) CaretHook(LineDelta, CharDelta);
  LineDelta = std::max(LineDelta, -caret_.Line);
  CharDelta = std::max(CharDelta, -caret_.Char);
  if (!options_.Contains(soBeyondFileEnd) && caret_.Line + LineDelta >= LineCount())
    LineDelta = LineCount() > 0 ? LineCount() - caret_.Line - 1 : -caret_.Line;
  const std::int32_t target = caret_.Line + LineDelta;
  if (options_.Contains(soLimitEOL)) {
    const std::int32_t length = DisplayLength(LineText(target));
    if (length < caret_.Char + CharDelta) CharDelta = length - caret_.Char;
  }
  if (options_.Contains(soCursorAlwaysOnTabs)) SnapToTabStop(target, caret_.Char, CharDelta);
  if (LineDelta == 0 && CharDelta == 0 && !bookmarkJump_) return;

  TUpdateGuard update(*this, ChangeCode::CaretMove);
  if (LineDelta != 0) TrimTrailingBlanks(false);
  if (TUndoRecord* r = NewUndoRecord(ukCaretMoved)) {
    r->A = LineDelta;
    r->B = CharDelta;
  }
  PlaceCaret(caret_.Char + CharDelta, caret_.Line + LineDelta);
  if (bookmarkJump_) storeState_.Include(ssCaretMoved);
  if (manualPosition_ && !IsLineVisible(caret_.Line)) {
    for (std::int32_t h = caret_.Line - 1; h >= 0; --h)
      if (FoldState(h) == 0) {
        SetFoldState(h, 1);
        break;
      }
  }
}

void TCustomMemoSource::SetCaret(std::int32_t Char, std::int32_t Line) {
  const bool manual = manualPosition_;
  manualPosition_ = true;
  try {
    MoveCaret(std::max(Line, 0) - caret_.Line, std::max(Char, 0) - caret_.Char);
  } catch (...) {
    manualPosition_ = manual;
    throw;
  }
  manualPosition_ = manual;
}

void TCustomMemoSource::CaretToTextEnd() {
  TUpdateGuard update(*this, ChangeCode::CaretMove);
  SetCaret(caret_.Char, std::max(LineCount() - 1, 0));
  LineEnd();
}

void TCustomMemoSource::LineEnd() {
  const std::u32string& text = LineText(caret_.Line);
  const std::u32string kept = keepTrailingBlanks_ ? text : text.substr(0, TrimmedLength(text));
  MoveCaret(0, DisplayLength(kept) - caret_.Char);
}

void TCustomMemoSource::GotoBlockBegin() {
  if (selectionType_ != stNone) SetCaret(selStart_.Char, selStart_.Line);
}

void TCustomMemoSource::GotoBlockEnd() {
  if (selectionType_ != stNone) SetCaret(selEnd_.Char, selEnd_.Line);
}

void TCustomMemoSource::WordRight() {
  TUpdateGuard update(*this, ChangeCode::CaretMove);
  const std::u32string s = ExpandTabs(LineText(caret_.Line));
  const auto len = static_cast<std::int32_t>(s.size());
  auto delim = [&](std::int32_t I) {
    return s[static_cast<size_t>(I)] < 256 && delimiterSet_.test(s[static_cast<size_t>(I)]);
  };
  std::int32_t c = caret_.Char;
  if (c < len) {
    while (c < len && !delim(c)) ++c;
    while (c < len && delim(c)) ++c;
    MoveCaret(0, c - caret_.Char);
  } else if (caret_.Line + 1 < LineCount()) {
    MoveCaret(1, -caret_.Char);
  }
}

void TCustomMemoSource::WordLeft() {
  TUpdateGuard update(*this, ChangeCode::CaretMove);
  if (caret_.Char == 0) {
    if (caret_.Line == 0) return;
    MoveCaret(-1, 0);
    LineEnd();
    return;
  }
  const std::u32string s = ExpandTabs(LineText(caret_.Line));
  auto delim = [&](std::int32_t I) {
    return s[static_cast<size_t>(I)] < 256 && delimiterSet_.test(s[static_cast<size_t>(I)]);
  };
  std::int32_t c = std::min(caret_.Char, static_cast<std::int32_t>(s.size()));
  while (c > 0 && delim(c - 1)) --c;
  while (c > 0 && !delim(c - 1)) --c;
  MoveCaret(0, c - caret_.Char);
}
