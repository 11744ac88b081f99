// Per-line state of the store: read-only lines, line styles, gutter bits and
// folding. None of these changes the text, so none sets ssTextChanged.
#include "components/codeedit/MemoSource.h"

bool TCustomMemoSource::IsLineReadOnly(std::int32_t Line) const {
  const TStringItem* item = LineItem(Line);
  return item && (item->LineFlags & lfReadOnly) != 0;
}

bool TCustomMemoSource::SetLineFlag(std::int32_t Line, std::int32_t LastLine, int Bit, bool On) {
  TStringItem* item = LineItem(Line);
  if (!item || Bit < 0 || Bit > 7) return false;
  const auto mask = static_cast<std::uint8_t>(1u << Bit);
  if (((item->LineFlags & mask) != 0) == On) return false;
  item->LineFlags = On ? (item->LineFlags | mask) : (item->LineFlags & ~mask);
  TUpdateGuard update(*this, ChangeCode::LineFlags);
  MarkLinesChanged(Line, LastLine);
  storeState_.Include(ssSelectionChanged);
  return true;
}

std::uint8_t TCustomMemoSource::LineStyle(std::int32_t Line) const {
  const TStringItem* item = LineItem(Line);
  return item ? item->LineStyle : 0;
}

void TCustomMemoSource::SetLineStyle(std::int32_t Line, std::uint8_t Style) {
  TStringItem* item = LineItem(Line);
  if (!item || item->LineStyle == Style) return;
  item->LineStyle = Style;
  TUpdateGuard update(*this, ChangeCode::SetLineStyle);
  MarkLinesChanged(Line, Line);
  storeState_.Include(ssSelectionChanged);
}

void TCustomMemoSource::SetTempLineStyle(std::int32_t Line, std::uint8_t Style) {
  ClearTempLineStyle();
  TStringItem* item = LineItem(Line);
  if (!item) return;
  tempStyleLine_ = Line;
  tempStyleOld_ = item->LineStyle;
  item->LineStyle = Style;
}

void TCustomMemoSource::ClearTempLineStyle() {
  if (tempStyleLine_ < 0) return;
  if (TStringItem* item = LineItem(tempStyleLine_)) item->LineStyle = tempStyleOld_;
  tempStyleLine_ = -1;
}

bool TCustomMemoSource::LineGutterBit(std::int32_t Line, int Bit) const {
  const TStringItem* item = LineItem(Line);
  return item && Bit >= 0 && Bit < 16 && (item->GutterBits & (1u << Bit)) != 0;
}

void TCustomMemoSource::RepaintLine(std::int32_t Line) {
  TUpdateGuard update(*this, ChangeCode::RepaintLine);
  MarkLinesChanged(Line, Line);
  storeState_.Include(ssSelectionChanged);
}

int TCustomMemoSource::FoldState(std::int32_t Line) const {
  const TStringItem* item = LineItem(Line);
  if (!item) return 2;
  if (item->LineFlags & lfExpanded) return 1;
  return (item->LineFlags & lfCollapsed) ? 0 : 2;
}

void TCustomMemoSource::SetFoldState(std::int32_t Line, int State) {
  TStringItem* item = LineItem(Line);
  if (!item) return;
  item->LineFlags &= static_cast<std::uint8_t>(~(lfExpanded | lfCollapsed));
  if (State == 1) item->LineFlags |= lfExpanded;
  if (State == 0) item->LineFlags |= lfCollapsed;
  ApplyRegion(Line);
  TUpdateGuard update(*this, ChangeCode::LineFlags);
  MarkLinesChanged(Line, kMaxInt);
  storeState_.Include(ssLineCountChanged);
  storeState_.Include(ssSelectionChanged);
}

// The members of a header's region are the consecutive lines after it that
// carry the member bit. Expanding opens the regions nested in it as well.
void TCustomMemoSource::ApplyRegion(std::int32_t Header) {
  const bool expanded = (LineItem(Header)->LineFlags & lfExpanded) != 0;
  for (std::int32_t line = Header + 1; line < LineCount(); ++line) {
    TStringItem& member = *LineItem(line);
    if (!(member.LineFlags & lfFoldMember)) break;
    if (expanded) {
      hiddenLines_->Show(line);
      if (member.LineFlags & lfCollapsed)
        member.LineFlags = static_cast<std::uint8_t>((member.LineFlags & ~lfCollapsed) | lfExpanded);
    } else {
      hiddenLines_->Hide(line);
    }
  }
}

void TCustomMemoSource::SetLineVisible(std::int32_t Line, bool Visible) {
  TUpdateGuard update(*this, ChangeCode::LineFlags);
  if (!SetLineFlag(Line, kMaxInt, kFoldMemberBit, !Visible)) return;
  // A line is hidden only where no visible, open line stands above it.
  const bool mayHide = !(Line > 0 && IsLineVisible(Line - 1) && FoldState(Line - 1) != 0);
  if (!Visible && !mayHide) return;
  if (Visible)
    hiddenLines_->Show(Line);
  else
    hiddenLines_->Hide(Line);
  storeState_.Include(ssLineCountChanged);
  storeState_.Include(ssSelectionChanged);
}
