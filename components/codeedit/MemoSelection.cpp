// Tracked positions, the selection and its commands.
#include "components/codeedit/MemoEdit_p.h"
#include "platform/core/Codecs.h"

TMemoPos* TCustomMemoSource::TrackPosition(TMemoPos P) {
  tracked_.push_back(std::make_unique<TMemoPos>(P));
  return tracked_.back().get();
}

void TCustomMemoSource::ReleasePosition(TMemoPos* P) {
  std::erase_if(tracked_, [P](const std::unique_ptr<TMemoPos>& T) { return T.get() == P; });
}

void TCustomMemoSource::RestoreCaret(TMemoPos* P) {
  const TMemoPos to = *P;
  ReleasePosition(P);
  SetCaret(to.Char, to.Line);
}

void TCustomMemoSource::AdjustPositions(int Kind, std::int32_t Count) {
  const TMemoPos at = caret_;
  auto adjust = [&](TMemoPos& P, bool SelStart, bool SelEnd) {
    if (P.Line < at.Line) return;
    // Block corners do not follow edits.
    if ((SelStart || SelEnd) && selectionType_ == stBlock) return;
    const bool onLine = P.Line == at.Line;
    const bool after = onLine && (SelStart ? P.Char >= at.Char : P.Char > at.Char);
    if (after && Kind == 1) P.Char += Count;
    if (after && Kind == 4) P.Char = std::max(P.Char - Count, at.Char);
    if (Kind == 2) {
      if (after) {
        ++P.Line;
        P.Char -= at.Char;
      } else if (P.Line > at.Line) {
        ++P.Line;
      }
    } else if (Kind == 3) {
      if (P.Line == at.Line + 1) {
        P.Char += at.Char;
        --P.Line;
      } else if (onLine && P.Char >= at.Char) {
        P.Char = at.Char;
      } else if (P.Line > at.Line + 1) {
        --P.Line;
      }
    }
    P.Char = std::max(P.Char, 0);
    P.Line = std::max(P.Line, 0);
  };
  adjust(selStart_, true, false);
  adjust(selEnd_, false, true);
  for (auto& p : tracked_) adjust(*p, false, false);
}

void TCustomMemoSource::ResetPositions() {
  TUpdateGuard update(*this, ChangeCode::ResetPositions);
  caret_ = selStart_ = selEnd_ = {};
  for (auto& p : tracked_) *p = {};
  selectionType_ = stNone;
}

void TCustomMemoSource::ToSelectionRelative(std::int32_t& X, std::int32_t& Y) const {
  if (selectionType_ == stNone) return;
  if (selectionType_ == stBlock || Y == selStart_.Line) X -= selStart_.Char;
  Y -= selStart_.Line;
}

void TCustomMemoSource::FromSelectionRelative(std::int32_t& X, std::int32_t& Y) const {
  if (selectionType_ == stNone) return;
  if (selectionType_ == stBlock || Y == 0) X += selStart_.Char;
  Y += selStart_.Line;
}

void TCustomMemoSource::AdjustSelectionType(TSelectionType& Type) {
  if (Type != stNone) {
    if (blockOption_ == bkStreamSel) Type = stStream;
    if (blockOption_ == bkBlockSel) Type = stBlock;
    if (blockOption_ == bkNone) Type = stNone;
  }
  if (OnGetSelectionType) OnGetSelectionType(this, Type);
}

void TCustomMemoSource::SetSelectionType(TSelectionType Type) {
  if (Type == selectionType_) return;
  TUpdateGuard update(*this, ChangeCode::SelectionType);
  AdjustSelectionType(Type);
  selectionType_ = Type;
}

void TCustomMemoSource::SetBlockOption(TBlockOption Value) {
  if (Value == blockOption_) return;
  blockOption_ = Value;
  if (selectionType_ == stStream && Value == bkBlockSel) SetSelectionType(stBlock);
  if (selectionType_ == stBlock && Value == bkStreamSel) SetSelectionType(stStream);
  if (Value == bkNone) SetSelectionType(stNone);
}

void TCustomMemoSource::SetSelection(TSelectionType Type, TMemoPos Start, TMemoPos End) {
  selectionType_ = Type;
  selStart_ = Start;
  selEnd_ = End;
}

void TCustomMemoSource::SetSelectionBounds(TMemoPos Start, TMemoPos End) {
  TUpdateGuard update(*this, ChangeCode::SelectionBounds);
  selStart_ = Start;
  selEnd_ = End;
}

void TCustomMemoSource::SelectRange(TSelectionType Type, TMemoPos Start, TMemoPos End) {
  TUpdateGuard update(*this, ChangeCode::SelectRange);
  SetSelection(Type, Start, End);
}

namespace {
bool Before(TMemoPos A, TMemoPos B) { return A.Line < B.Line || (A.Line == B.Line && A.Char < B.Char); }
}  // namespace

void TCustomMemoSource::ExtendSelection(TSelectionType Type, void (TCustomMemoSource::*Move)()) {
  AdjustSelectionType(Type);
  TUpdateGuard update(*this, ChangeCode::ExtendSelection);
  const TMemoPos old = caret_;
  TMemoPos start = selStart_, end = selEnd_;
  if (selectionType_ != stNone && IsAtSelectionEdge(old.Char, old.Line)) {
    (this->*Move)();
    if (Type == stBlock) {
      const bool endFollowsChar = start.Char == end.Char ? start.Char < caret_.Char : start.Char < old.Char;
      (endFollowsChar ? end : start).Char = caret_.Char;
      const bool endFollowsLine = start.Line == end.Line ? start.Line < caret_.Line : start.Line < old.Line;
      (endFollowsLine ? end : start).Line = caret_.Line;
      if (start.Char > end.Char) std::swap(start.Char, end.Char);
      if (start.Line > end.Line) std::swap(start.Line, end.Line);
    } else {
      (old == start ? start : end) = caret_;
      if (Before(end, start)) std::swap(start, end);
    }
  } else {
    start = end = old;
    (this->*Move)();
    if (caret_.Line == old.Line) {
      (caret_.Char > old.Char ? end : start).Char = caret_.Char;
    } else if (caret_.Line < old.Line) {
      start = caret_;
    } else {
      end = caret_;
    }
  }
  SetSelection(Type, start, end);
}

void TCustomMemoSource::MarkBlockBegin() {
  TUpdateGuard update(*this, ChangeCode::MarkBlockBegin);
  selStart_ = caret_;
  if (selectionType_ == stNone) selectionType_ = stStream;
}

void TCustomMemoSource::MarkBlockEnd() {
  TUpdateGuard update(*this, ChangeCode::MarkBlockEnd);
  selEnd_ = caret_;
  if (selectionType_ == stNone) selectionType_ = stStream;
}

void TCustomMemoSource::SelectAll() {
  if (blockOption_ == bkNone) return;
  TUpdateGuard update(*this, ChangeCode::SelectAll);
  selectionType_ = stNone;
  SetCaret(0, 0);
  MarkBlockBegin();
  CaretToTextEnd();
  MarkBlockEnd();
}

void TCustomMemoSource::SelectLine() {
  TUpdateGuard update(*this, ChangeCode::SelectLine);
  SetSelection(stStream, {0, caret_.Line}, {0, caret_.Line + 1});
}

void TCustomMemoSource::FindWordBounds(std::int32_t Column, std::int32_t Line, int Mode, std::int32_t& Start,
                                       std::int32_t& End) {
  Start = End = 0;
  const std::u32string s = ExpandTabs(LineText(Line));
  const auto len = static_cast<std::int32_t>(s.size());
  if (len == 0) return;
  auto delim = [&](std::int32_t OneBased) {
    const char32_t c = s[static_cast<size_t>(OneBased - 1)];
    return c < 256 && delimiterSet_.test(c);
  };
  const std::int32_t from = std::min(Column + 1, len);
  std::int32_t i = from;
  while (i >= 1 && delim(i)) --i;
  if (i == 0) {
    i = from;
  } else {
    while (i > 1 && !delim(i - 1)) --i;
  }
  while (i <= len && delim(i)) ++i;
  if (i > len) return;
  Start = End = i;
  while (End < len && !delim(End + 1)) ++End;
  if (Mode == 1 && End < len && s[static_cast<size_t>(End)] == U' ') ++End;
  if (Mode == 2)
    while (End < len && delim(End + 1)) ++End;
}

std::u32string TCustomMemoSource::WordAt(std::int32_t Column, std::int32_t Line) {
  std::int32_t start = 0, end = 0;
  FindWordBounds(Column, Line, 0, start, end);
  if (start == 0) return {};
  return ExpandTabs(LineText(Line)).substr(static_cast<size_t>(start - 1), static_cast<size_t>(end - start + 1));
}

void TCustomMemoSource::SelectWord(int Mode) {
  TUpdateGuard update(*this, ChangeCode::SelectWord);
  selectionType_ = stNone;
  std::int32_t start = 0, end = 0;
  FindWordBounds(caret_.Char, caret_.Line, Mode, start, end);
  if (start == 0) return;
  SetCaret(end, caret_.Line);
  SetSelection(stStream, {start - 1, caret_.Line}, {end, caret_.Line});
}

void TCustomMemoSource::SelectToWordEnd() {
  TUpdateGuard update(*this, ChangeCode::SelectWord);
  selectionType_ = stNone;
  std::int32_t start = 0, end = 0;
  const std::int32_t from = caret_.Char;
  FindWordBounds(from, caret_.Line, 1, start, end);
  if (start > from + 1) {
    SetSelection(stStream, {from, caret_.Line}, {start - 1, caret_.Line});
    return;
  }
  if (start == 0) FindWordBounds(from, caret_.Line, 2, start, end);
  if (start == 0) return;
  SetCaret(end, caret_.Line);
  SetSelection(stStream, {from, caret_.Line}, {end, caret_.Line});
}

bool TCustomMemoSource::IsAtSelectionEdge(std::int32_t Char, std::int32_t Line) const {
  const TMemoPos p{Char, Line};
  if (selectionType_ == stStream) return p == selStart_ || p == selEnd_;
  if (selectionType_ == stBlock)
    return (Line == selStart_.Line || Line == selEnd_.Line) && (Char == selStart_.Char || Char == selEnd_.Char);
  return false;
}

void TCustomMemoSource::SelectionSpanOnLine(std::int32_t Line, std::int32_t& From, std::int32_t& To) const {
  From = To = 0;
  if (Line < selStart_.Line || Line > selEnd_.Line) return;
  if (selectionType_ == stBlock) {
    From = selStart_.Char;
    To = selEnd_.Char + 1;
  } else if (selectionType_ == stStream) {
    From = Line == selStart_.Line ? selStart_.Char : 0;
    To = Line == selEnd_.Line ? selEnd_.Char : kMaxInt;
  }
}

bool TCustomMemoSource::InSelection(std::int32_t Char, std::int32_t Line) const {
  std::int32_t from = 0, to = 0;
  SelectionSpanOnLine(Line, from, to);
  return from <= Char && Char < to;
}

void TCustomMemoSource::DeleteSelection() {
  if (selectionType_ == stNone) return;
  TUpdateGuard update(*this, ChangeCode::DeleteSelection);
  const TMemoPos start = selStart_, end = selEnd_;
  const bool block = selectionType_ == stBlock;
  TMemoPos* back = nullptr;
  if (!block && end.Line > start.Line) {
    SetCaret(end.Char, end.Line);
    back = TrackPosition(caret_);
    SetCaret(0, end.Line);
    DeleteChars(ColumnToIndex(LineText(end.Line), end.Char));
    SetCaret(0, start.Line + 1);
    for (std::int32_t line = start.Line + 1; line < end.Line; ++line) {
      DeleteChars(kMaxInt);
      DeleteLineBreak();
    }
    SetCaret(start.Char, start.Line);
    DeleteChars(kMaxInt);
    DeleteLineBreak();
  } else {
    back = TrackPosition(caret_);
    const std::int32_t last = end.Char + (block ? 1 : 0);
    for (std::int32_t line = start.Line; line <= end.Line; ++line) {
      std::int32_t column = start.Char, width = last - start.Char;
      if (options_.Contains(soUseTabCharacter)) {
        std::int32_t index = 0;
        const std::u32string& text = LineText(line);
        column -= TabOffsetAt(*this, text, column, index);
        width = ColumnToIndex(text, last) - ColumnToIndex(text, column);
      }
      SetCaret(column, line);
      DeleteChars(width);
    }
  }
  selectionType_ = stNone;
  RestoreCaret(back);
  if (trackMaxLine_) UpdateMaxLineLength();
}
