// Inserting lists of lines, copying and moving the selection, and the
// clipboard.
#include <QUuid>

#include "components/codeedit/MemoCommands_p.h"
#include "platform/core/Codecs.h"
#include "platform/graphics/Clipboard.h"

namespace {
bool clipboardBlockFlag = false;

// The selected lines as stored (tabs kept).
std::vector<std::u32string> SelectedLines(TCustomMemoSource& S) {
  TRawScope raw(*S.Strings());
  std::vector<std::u32string> lines;
  TStrings* selected = S.SelectionStrings();
  for (int i = 0; i < selected->Count(); ++i) lines.push_back(Utf8ToUtf32Lossless(selected->Get(i)));
  return lines;
}

TStringList ToStrings(const std::vector<std::u32string>& Lines) {
  TStringList list;
  for (const std::u32string& line : Lines) list.Add(Utf32ToUtf8Lossless(line));
  return list;
}

// Lets a move or copy go ahead: false when the caret is inside the
// selection, or for a move when a selected line is read-only.
bool CanMoveOrCopy(const TCustomMemoSource& S, bool Move) {
  if (!S.HasSelection() || S.InSelection(S.CaretChar(), S.CaretLine())) return false;
  if (Move)
    for (std::int32_t line = S.SelectionStart().Line; line <= S.SelectionEnd().Line; ++line)
      if (S.IsLineReadOnly(line)) return false;
  return true;
}

}  // namespace

bool TCustomMemoSource::ClipboardBlockFlag() { return clipboardBlockFlag; }
void TCustomMemoSource::SetClipboardBlockFlag(bool Value) { clipboardBlockFlag = Value; }

void TCustomMemoSource::InsertLinesRaw(const std::vector<std::u32string>& Lines, const std::vector<std::string>* Colors,
                                       bool AsBlock) {
  if (Lines.empty()) return;
  TUpdateGuard update(*this, ChangeCode::InsertLines);
  TNoLimitEOL unlimited(*this);
  const bool colors = Colors && KeepsColors();
  auto insert = [&](size_t I) {
    insertedLength_ = 0;
    if (colors && I < Colors->size())
      InsertTextWithColor(Lines[I], (*Colors)[I]);
    else
      InsertText(Lines[I]);
    return insertedLength_;
  };
  const TMemoPos at = caret_;
  const auto count = static_cast<std::int32_t>(Lines.size());
  if (count == 1) {
    const std::int32_t length = insert(0);
    SetSelection(stStream, at, {at.Char + length, at.Line});
    if (AsBlock)
      MoveCaret(1, 0);
    else
      MoveCaret(0, length);
  } else if (AsBlock) {
    for (std::int32_t i = 0; i < count; ++i) {
      if (i > 0) {
        if (caret_.Line + 1 >= LineCount()) {
          LineEnd();
          InsertLineBreak();
        }
        SetCaret(at.Char, caret_.Line + 1);
      }
      insert(static_cast<size_t>(i));
    }
    SetSelection(stBlock, at, {at.Char + DisplayLength(Lines[0]) - 1, at.Line + count - 1});
    SetCaret(at.Char, at.Line);
  } else {
    while (caret_.Line >= LineCount()) {
      strings_->InsertText(LineCount(), U"");
      MarkTextChanged(LineCount() - 1, kMaxInt);
    }
    InsertLineBreak();
    insert(0);
    SetCaret(0, at.Line + 1);
    insert(Lines.size() - 1);
    for (std::int32_t i = 1; i < count - 1; ++i) {
      SetCaret(0, at.Line + i);
      InsertLineBreak();
      insert(static_cast<size_t>(i));
    }
    const TMemoPos end{DisplayLength(Lines.back()), at.Line + count - 1};
    SetSelection(stStream, at, end);
    SetCaret(end.Char, end.Line);
  }
  if (trackMaxLine_) UpdateMaxLineLength();
}

void TCustomMemoSource::InsertLines(const TStrings& Lines, bool AsBlock) {
  std::vector<std::u32string> lines;
  for (int i = 0; i < Lines.Count(); ++i) lines.push_back(ConvertTabs(Utf8ToUtf32Lossless(Lines[i])));
  InsertLinesRaw(lines, nullptr, AsBlock);
}

void TCustomMemoSource::InsertTextBlock(const std::string& Text) {
  TUpdateGuard update(*this, ChangeCode::InsertTextBlock);
  const TSelectionType type = selectionType_;
  const TMemoPos start = selStart_, end = selEnd_;
  TStringList lines;
  lines.SetText(Text);
  InsertLines(lines, false);
  SetSelection(type, start, end);
}

void TCustomMemoSource::InsertGuid() {
  // The registry form of a GUID is upper case; QUuid writes lower case.
  const std::string guid = QUuid::createUuid().toString(QUuid::WithBraces).toUpper().toStdString();
  InsertTextBlock("['" + guid + "']");
}

void TCustomMemoSource::CopyBlock() {
  if (!HasSelection()) return;
  TUpdateGuard update(*this, ChangeCode::CopyBlock);
  const bool block = selectionType_ == stBlock;
  const TStringList lines = ToStrings(SelectedLines(*this));
  selectionType_ = stNone;
  InsertLines(lines, block);
}

namespace {
bool MoveOrCopy(TCustomMemoSource& S, bool Move) {
  if (!CanMoveOrCopy(S, Move)) return false;
  TCustomMemoSource::TUpdateGuard update(S, ChangeCode::MoveBlock);
  TNoLimitEOL unlimited(S);
  const bool block = S.SelectionType() == stBlock;
  const TStringList lines = ToStrings(SelectedLines(S));
  TMemoPos* caret = S.TrackPosition(S.Caret());
  if (Move) {
    try {
      S.DeleteSelection();
    } catch (...) {
      S.ReleasePosition(caret);
      throw;
    }
  }
  S.RestoreCaret(caret);
  S.InsertLines(lines, block);
  return true;
}
}  // namespace

bool TCustomMemoSource::MoveBlock() { return MoveOrCopy(*this, true); }
bool TCustomMemoSource::CopyBlockToCaret() { return MoveOrCopy(*this, false); }

// ---- Clipboard ----

void TCustomMemoSource::CopyToClipboard() {
  if (HasSelection()) {
    std::string text;
    const std::vector<std::u32string> lines = SelectedLines(*this);
    for (size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? "\r\n" : "") + Utf32ToUtf8Lossless(lines[i]);
    ClipboardService().SetText(text);
    clipboardBlockFlag = selectionType_ == stBlock;
  } else if (options_.Contains(soForceCutCopy)) {
    ClipboardService().SetContent({});
  }
}

void TCustomMemoSource::CutToClipboard() {
  if (!HasSelection() && !options_.Contains(soForceCutCopy)) {
    ClipboardService().SetContent({});
    return;
  }
  TUpdateGuard update(*this, ChangeCode::Cut);
  CopyToClipboard();
  DeleteSelection();
}

void TCustomMemoSource::PasteFromClipboard() {
  OverwriteSelection();
  Clipboard& clipboard = ClipboardService();
  if (!clipboard.OwnsClipboard()) clipboardBlockFlag = false;
  const std::string text = clipboard.AsText();
  TStringList lines;
  lines.SetText(text);
  if (!text.empty() && (text.back() == '\n' || text.back() == '\r')) lines.Add("");
  DoPasteFromClipboard(&lines);
  InsertLines(lines, clipboardBlockFlag);
  if (!options_.Contains(soPersistentBlocks)) ClearSelection();
}

void TCustomMemoSource::DoPasteFromClipboard(TStrings* Strings) {
  if (OnPasteFromClipboard) OnPasteFromClipboard(this, Strings);
}
