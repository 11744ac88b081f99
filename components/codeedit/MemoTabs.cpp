// Display columns and text indices in lines with tab characters, and the
// caret moves that pass over tabs.
#include "components/codeedit/MemoSource.h"

namespace {
// The character of Text whose display span holds a column: its index, the
// first column of its span and the span's width. Past the end: index
// Text.size(), Start the column, Width 1.
struct TCell {
  std::int32_t Index = 0;
  std::int32_t Start = 0;
  std::int32_t Width = 1;
  bool Tab = false;
  bool InsideTab(std::int32_t Column) const { return Tab && Column > Start; }
};
}  // namespace

static TCell CellAt(const TCustomMemoSource& S, const std::u32string& Text, std::int32_t Column) {
  std::int32_t col = 0;
  int stop = 0;
  for (size_t i = 0; i < Text.size(); ++i) {
    std::int32_t width = 1;
    if (Text[i] == U'\t') {
      while (col >= S.TabStopColumn(stop)) ++stop;
      width = S.TabStopColumn(stop) - col;
    }
    if (Column < col + width) return {static_cast<std::int32_t>(i), col, width, Text[i] == U'\t'};
    col += width;
  }
  return {static_cast<std::int32_t>(Text.size()), Column, 1, false};
}

std::int32_t TCustomMemoSource::DisplayLength(const std::u32string& Text) const {
  return static_cast<std::int32_t>(ExpandTabs(Text).size());
}

std::int32_t TCustomMemoSource::ColumnToIndex(const std::u32string& Text, std::int32_t Column) const {
  if (Column <= 0) return 0;
  const TCell cell = CellAt(*this, Text, Column);
  if (cell.Index >= static_cast<std::int32_t>(Text.size()))
    return static_cast<std::int32_t>(Text.size()) + Column - DisplayLength(Text);
  return cell.InsideTab(Column) ? cell.Index + 1 : cell.Index;
}

std::int32_t TCustomMemoSource::TabSpanAt(std::int32_t Column, std::int32_t Line, bool FromEnd) {
  const TCell cell = CellAt(*this, LineText(Line), Column);
  if (!cell.Tab) return FromEnd ? 0 : 1;
  return FromEnd ? cell.Start + cell.Width - (Column + 1) : Column - cell.Start + 1;
}

void TCustomMemoSource::SnapToTabStop(std::int32_t Line, std::int32_t Column, std::int32_t& Delta) {
  const std::int32_t target = Column + Delta;
  const TCell cell = CellAt(*this, LineText(Line), target);
  if (!cell.InsideTab(target)) return;
  const std::int32_t left = cell.Start, right = cell.Start + cell.Width;
  Delta = (target - left < right - target ? left : right) - Column;
}

std::u32string TCustomMemoSource::GetDisplayLine(std::int32_t Line, bool Special, char32_t TabSymbol,
                                                 char32_t SpaceSymbol) {
  const std::u32string& text = LineText(Line);
  if (!Special || (TabSymbol == 0 && SpaceSymbol == 0)) return ExpandTabs(text);
  std::u32string out;
  int stop = 0;
  for (char32_t c : text) {
    if (c != U'\t') {
      out += c == U' ' && SpaceSymbol != 0 ? SpaceSymbol : c;
      continue;
    }
    const auto col = static_cast<std::int32_t>(out.size());
    while (col >= TabStopColumn(stop)) ++stop;
    const std::int32_t width = TabStopColumn(stop) - col;
    out.append(static_cast<size_t>(width), U' ');
    if (TabSymbol != 0) out[static_cast<size_t>(col + std::max(width / 2 - 1, 0))] = TabSymbol;
  }
  return out;
}

std::string TCustomMemoSource::ExpandedColorData(std::int32_t Line) {
  const std::u32string& text = LineText(Line);
  const std::string colors = LineColorData(Line);
  if (text.find(U'\t') == std::u32string::npos) return colors;
  std::string out;
  std::int32_t col = 0;
  int stop = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char byte = i < colors.size() ? colors[i] : 0;
    std::int32_t width = 1;
    if (text[i] == U'\t') {
      while (col >= TabStopColumn(stop)) ++stop;
      width = TabStopColumn(stop) - col;
    }
    out.append(static_cast<size_t>(width), byte);
    col += width;
  }
  return out;
}

// ---- Caret moves over tabs ----

void TCustomMemoSource::CaretLeftOverTab() {
  if (caret_.Char > 0) {
    const TCell cell = CellAt(*this, LineText(caret_.Line), caret_.Char - 1);
    if (cell.Tab) {
      MoveCaret(0, cell.Start - caret_.Char);
      return;
    }
  }
  MoveCaret(0, -1);
}

void TCustomMemoSource::CaretRightOverTab() {
  const TCell cell = CellAt(*this, LineText(caret_.Line), caret_.Char);
  MoveCaret(0, cell.Tab ? cell.Start + cell.Width - caret_.Char : 1);
}

void TCustomMemoSource::CharLeft() {
  if (options_.Contains(soCursorOnTabs) || options_.Contains(soCursorAlwaysOnTabs))
    CaretLeftOverTab();
  else
    MoveCaret(0, -1);
}

void TCustomMemoSource::CharRight() {
  const bool overTabs = options_.Contains(soCursorOnTabs) || options_.Contains(soCursorAlwaysOnTabs);
  const TCell cell = CellAt(*this, LineText(caret_.Line), caret_.Char);
  if (overTabs && cell.Tab) {
    MoveCaret(0, cell.Start + cell.Width - caret_.Char);
  } else if (options_.Contains(soLimitEOL) && caret_.Char >= DisplayLength(LineText(caret_.Line)) &&
             selectionType_ != stBlock) {
    if (caret_.Line + 1 < LineCount()) MoveCaret(1, -caret_.Char);
  } else {
    MoveCaret(0, 1);
  }
}

// The index of the character inside whose tab expansion Column lies, with
// how far inside it lies; 0 when not inside a tab.
std::int32_t TabOffsetAt(const TCustomMemoSource& S, const std::u32string& Text, std::int32_t Column,
                         std::int32_t& Index) {
  const TCell cell = CellAt(S, Text, Column);
  Index = cell.Index;
  return cell.InsideTab(Column) ? Column - cell.Start : 0;
}
