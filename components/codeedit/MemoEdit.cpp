// The edit primitives: every change of the text, caret moves included, goes
// through these, and each records one undo record.
#include "components/codeedit/MemoEdit_p.h"

size_t TrimmedLength(const std::u32string& Text) {
  size_t end = Text.size();
  while (end > 0 && Text[end - 1] <= 32) --end;
  return end;
}

bool TCustomMemoSource::KeepsColors() const { return parser_ && parser_->KeepsColorData(); }

void TCustomMemoSource::FitColors(TStringItem& Item) const {
  if (KeepsColors()) Item.ColorData.resize(Item.Text.size(), 0);
}

void TCustomMemoSource::ShiftHiddenLines(std::int32_t After, std::int32_t Delta) {
  std::vector<std::int32_t> lines;
  for (int i = 0; i < hiddenLines_->Count(); ++i) lines.push_back(hiddenLines_->Line(i));
  hiddenLines_->Clear();
  for (std::int32_t line : lines) hiddenLines_->Hide(line > After ? line + Delta : line);
}

void TCustomMemoSource::TrimTrailingBlanks(bool KeepCaret) {
  if (keepTrailingBlanks_) return;
  TStringItem* item = LineItem(caret_.Line);
  if (!item) return;
  const size_t end = TrimmedLength(item->Text);
  if (end == item->Text.size()) return;
  // Blanks with a tab among them are trimmed as a recorded deletion, and not
  // at all while undoing: undo would otherwise pad the line with spaces
  // where the tab was, and a later undo that deletes a counted run of
  // characters would take the wrong ones.
  const bool tab = item->Text.find(U'\t', end) != std::u32string::npos;
  if (tab && storeState_.Contains(ssUndoing)) return;
  TUpdateGuard update(*this, ChangeCode::DeleteChars);
  if (KeepCaret || tab) {
    // The caret comes back to its column even past the shortened line: a
    // caret move that trims on its way continues from there, and its record
    // holds the whole move.
    const std::int32_t column = caret_.Char;
    const TStringsOptions options = options_;
    struct TRestore {
      TStringsOptions& options;
      TStringsOptions old;
      ~TRestore() { options = old; }
    } restore{options_, options};
    options_.Exclude(soLimitEOL);
    MoveCaret(0, DisplayLength(item->Text.substr(0, end)) - caret_.Char);
    DeleteChars(static_cast<std::int32_t>(item->Text.size() - end));
    MoveCaret(0, column - caret_.Char);
  } else {
    item->Text.resize(end);
    item->SetParsed(false);
  }
  FitColors(*item);
  LineTextChanged(caret_.Line);
}

std::uint8_t TCustomMemoSource::AttributeAt(std::int32_t Char, std::int32_t Line) {
  if (!LineItem(Line)) return 0;
  if (ForcedAttribute >= 0) return static_cast<std::uint8_t>(ForcedAttribute);
  const std::string colors = ExpandedColorData(Line);
  if (colors.empty()) return 0;
  auto i = static_cast<std::int64_t>(std::min<size_t>(static_cast<size_t>(std::max(Char - 1, 0)), colors.size() - 1));
  while (i >= 0 && colors[static_cast<size_t>(i)] == kUrlStyle) --i;
  return i < 0 ? 0 : static_cast<std::uint8_t>(colors[static_cast<size_t>(i)]);
}

std::int32_t TCustomMemoSource::InsertTextWithColor(const std::u32string& Text, const std::string& Colors) {
  pendingColors_ = Colors;
  havePendingColors_ = true;
  try {
    InsertText(Text);
  } catch (...) {
    havePendingColors_ = false;
    throw;
  }
  havePendingColors_ = false;
  return insertedLength_;
}

bool TCustomMemoSource::InsertText(const std::u32string& Text) {
  if (Text.empty() || IsReadOnly()) return false;
  TUpdateGuard update(*this, ChangeCode::InsertText);
  while (caret_.Line >= LineCount()) {
    strings_->InsertText(LineCount(), U"");
    MarkTextChanged(LineCount() - 1, kMaxInt);
  }
  if (IsLineReadOnly(caret_.Line)) return false;
  const std::int32_t line = caret_.Line;
  TStringItem& item = *LineItem(line);
  const bool keep = KeepsColors();
  const std::uint8_t attr = keep ? AttributeAt(caret_.Char, line) : 0;
  if (keep && keepAttrOnce_) {
    ForcedAttribute = -1;
    keepAttrOnce_ = false;
  }
  FitColors(item);

  const std::u32string shown = ExpandTabs(item.Text);
  const bool padded = static_cast<std::int32_t>(shown.size()) < caret_.Char;
  std::int32_t base = static_cast<std::int32_t>(TrimmedLength(shown));
  if (padded) {
    const auto pad = static_cast<size_t>(caret_.Char - static_cast<std::int32_t>(shown.size()));
    item.Text.append(pad, U' ');
    if (keep) item.ColorData.append(pad, static_cast<char>(attr));
    base = caret_.Char;
  }
  std::string colors;
  if (keep) {
    colors = havePendingColors_ ? pendingColors_ : std::string(Text.size(), static_cast<char>(attr));
    colors.resize(Text.size(), 0);
  }
  std::int32_t index = 0;
  const std::int32_t inside = TabOffsetAt(*this, item.Text, caret_.Char, index);
  std::u32string inserted = Text;
  if (inside > 0) {
    inserted.insert(0, static_cast<size_t>(inside), U' ');
    if (keep) colors.insert(0, static_cast<size_t>(inside), colors.empty() ? 0 : colors[0]);
  }
  const auto n = static_cast<std::int32_t>(inserted.size());
  item.Text.insert(static_cast<size_t>(index), inserted);
  if (keep) item.ColorData.insert(std::min(static_cast<size_t>(index), item.ColorData.size()), colors);
  item.SetParsed(false);
  FitColors(item);

  const std::u32string after = ExpandTabs(item.Text);
  const std::int32_t growth =
      (padded ? static_cast<std::int32_t>(after.size()) : static_cast<std::int32_t>(TrimmedLength(after))) - base;
  insertedLength_ = Text.find(U'\t') != std::u32string::npos ? growth : static_cast<std::int32_t>(Text.size());

  const auto length = static_cast<std::int32_t>(Text.size());
  if (n == length) {
    if (TUndoRecord* r = NewUndoRecord(ukTextInserted)) r->A = n;
  } else {
    // The padding before a tab goes with the text: undo steps back onto it.
    BeginUndoBlock();
    if (TUndoRecord* r = NewUndoRecord(ukCaretMoved)) r->A = 0, r->B = length - n;
    if (TUndoRecord* r = NewUndoRecord(ukTextInserted)) r->A = n;
    if (TUndoRecord* r = NewUndoRecord(ukCaretMoved)) r->A = 0, r->B = n - length;
    EndUndoBlock();
  }
  ShiftBookmarkChars(line, caret_.Char, growth);
  AdjustPositions(1, growth);
  LineTextChanged(line);
  if (trackMaxLine_ && LineDisplayLength(line) > maxLineLength_) {
    maxLineLength_ = LineDisplayLength(line);
    maxLineIndex_ = line;
  }
  return true;
}

void TCustomMemoSource::DeleteChars(std::int32_t Count) {
  const std::int32_t line = caret_.Line;
  if (Count <= 0 || line >= LineCount() || IsReadOnly() || IsLineReadOnly(line)) return;
  if (caret_.Char >= DisplayLength(LineText(line))) return;
  TUpdateGuard update(*this, ChangeCode::DeleteChars);
  std::int32_t index = 0;
  const std::int32_t inside = TabOffsetAt(*this, LineText(line), caret_.Char, index);
  if (inside > 0) {
    // The covered part of the tab becomes spaces; the tab then starts here.
    BeginUndoBlock();
    MoveCaret(0, -inside);
    InsertText(std::u32string(static_cast<size_t>(inside), U' '));
    MoveCaret(0, inside);
  }
  TStringItem& item = *LineItem(line);
  const bool keep = KeepsColors();
  FitColors(item);
  const auto i = static_cast<size_t>(ColumnToIndex(item.Text, caret_.Char));
  const size_t count = std::min(static_cast<size_t>(Count), item.Text.size() - std::min(i, item.Text.size()));
  const std::int32_t width = DisplayLength(item.Text.substr(0, i + count)) - caret_.Char;
  std::u32string deleted = item.Text.substr(i, count);
  std::string deletedColors = keep ? item.ColorData.substr(i, count) : std::string();
  item.Text.erase(i, count);
  if (keep) item.ColorData.erase(i, count);
  item.SetParsed(false);
  FitColors(item);
  if (TUndoRecord* r = NewUndoRecord(ukTextDeleted)) {
    r->SetText(std::move(deleted));
    if (!deletedColors.empty()) r->SetColors(std::move(deletedColors));
  }
  if (LineCount() == 1 && LineText(0).empty()) strings_->Delete(0);
  AdjustPositions(4, width);
  ShiftBookmarkChars(line, caret_.Char + width - 1, -width);
  LineTextChanged(line);
  if (trackMaxLine_ && maxLineIndex_ == line) UpdateMaxLineLength();
  if (inside > 0) EndUndoBlock();
}

void TCustomMemoSource::InsertLineBreak() {
  if (IsReadOnly()) return;
  TUpdateGuard update(*this, ChangeCode::InsertLineBreak);
  if (LineCount() == 0) {
    strings_->InsertText(0, U"");
    MarkTextChanged(0, kMaxInt);
  }
  const std::int32_t line = caret_.Line;
  if (line >= LineCount() || IsLineReadOnly(line)) return;
  if (FoldState(line) == 0) SetFoldState(line, 1);
  strings_->InsertText(line + 1, U"");
  TStringItem& item = *LineItem(line);
  TStringItem& next = *LineItem(line + 1);
  if (item.LineFlags & (lfFoldMember | lfExpanded | lfCollapsed)) next.LineFlags |= lfFoldMember;
  const bool wasEmpty = item.Text.empty();
  const auto i = static_cast<size_t>(ColumnToIndex(item.Text, caret_.Char));
  const bool keep = KeepsColors();
  FitColors(item);
  if (keep && !storeState_.Contains(ssUndoing) && !Importing && !item.ColorData.empty()) {
    ForcedAttribute = static_cast<std::uint8_t>(item.ColorData[std::min(i, item.ColorData.size() - 1)]);
    keepAttrOnce_ = true;
  }
  if (i < item.Text.size()) {
    next.Text = item.Text.substr(i);
    item.Text.resize(i);
    if (keep) {
      next.ColorData = item.ColorData.substr(i);
      item.ColorData.resize(i);
    }
  }
  item.SetParsed(false);
  FitColors(item);
  FitColors(next);

  for (int b = 0; b < bookmarks_->Count(); ++b) {
    TMemoPositionRec& r = bookmarks_->Rec(b);
    if (r.Line > line) {
      ++r.Line;
    } else if (r.Line == line && r.Char >= caret_.Char) {
      ++r.Line;
      r.Char -= caret_.Char;
    }
  }
  bookmarks_->Resort();
  ShiftHiddenLines(line, +1);
  LineTextChanged(line);
  if (caret_.Char == 0 || wasEmpty) {
    std::swap(next.GutterBits, item.GutterBits);
    std::swap(next.LineStyle, item.LineStyle);
    std::swap(next.LineObject, item.LineObject);
  }
  if (trackMaxLine_) {
    if (maxLineIndex_ == line)
      UpdateMaxLineLength();
    else if (maxLineIndex_ > line)
      ++maxLineIndex_;
  }
  NewUndoRecord(ukLineBreakInserted);
  if (!storeState_.Contains(ssUndoing)) TrimTrailingBlanks(true);
  AdjustPositions(2, 0);
  MarkTextChanged(line, kMaxInt);
}

void TCustomMemoSource::DeleteLineBreak() {
  const std::int32_t line = caret_.Line;
  TStringItem* item = LineItem(line);
  if (!item || IsReadOnly()) return;
  const auto i = static_cast<size_t>(ColumnToIndex(item->Text, caret_.Char));
  if (storeState_.Contains(ssUndoing) && i < item->Text.size() && i >= TrimmedLength(item->Text)) item->Text.resize(i);
  if (line >= LineCount() - 1 || LineCount() <= 1 || IsLineReadOnly(line) || IsLineReadOnly(line + 1) ||
      i < item->Text.size())
    return;
  TUpdateGuard update(*this, ChangeCode::DeleteLineBreak);
  if (FoldState(line) == 0) SetFoldState(line, 1);
  if (FoldState(line + 1) == 0) SetFoldState(line + 1, 1);
  TStringItem& next = *LineItem(line + 1);
  const size_t pad = i - item->Text.size();
  if (KeepsColors()) {
    if (item->Text.empty()) item->ColorData.clear();
    FitColors(*item);
    const char last = item->ColorData.empty() ? 0 : item->ColorData.back();
    FitColors(next);
    item->ColorData.append(pad, last);
    item->ColorData += next.ColorData;
  }
  item->Text.append(pad, U' ');
  const std::int32_t joined = DisplayLength(item->Text);
  item->Text += next.Text;
  item->SetParsed(false);
  FitColors(*item);
  item->GutterBits |= next.GutterBits;
  if (item->LineStyle == 0) item->LineStyle = next.LineStyle;
  if (!item->LineObject) item->LineObject = next.LineObject;
  strings_->Delete(line + 1);
  if (LineCount() == 1 && LineText(0).empty()) strings_->Delete(0);

  for (int b = 0; b < bookmarks_->Count(); ++b) {
    TMemoPositionRec& r = bookmarks_->Rec(b);
    if (r.Line == line + 1) {
      r.Line = line;
      r.Char += joined;
    } else if (r.Line > line + 1) {
      --r.Line;
    }
  }
  bookmarks_->Resort();
  ShiftHiddenLines(line, -1);
  NewUndoRecord(ukLineBreakDeleted);
  AdjustPositions(3, 0);
  MarkTextChanged(line, kMaxInt);
  if (trackMaxLine_) UpdateMaxLineLength();
}
