// The store's Lines adapter, loading and saving.
#include <sys/stat.h>

#include "components/base/zrbaselib.h"
#include "components/codeedit/MemoLines_p.h"
#include "platform/classes/AtomicFile.h"
#include "platform/core/Codecs.h"
#include "platform/core/Streams.h"

KESTOVA_CLASS_INFO(TExternalStrings, TStrings, "zrstring", nullptr)

namespace {
using TGuard = TCustomMemoSource::TUpdateGuard;
using TKind = TCustomMemoSource::TUpdateKind;

bool IsTrimmed(char32_t C) { return C <= 32; }
}  // namespace

void TExternalStrings::EndChange() {
  source_.ClearUndo();
  source_.ClearRedo();
}

void TExternalStrings::Put(int Index, const std::string& S) {
  {
    TGuard update(source_, ChangeCode::PutLine, TKind::Safe);
    source_.strings_->PutText(Index, source_.ConvertTabs(Utf8ToUtf32Lossless(S)));
    source_.MarkTextChanged(Index, Index);
  }
  EndChange();
}

void TExternalStrings::Insert(int Index, const std::string& S) {
  std::u32string text = source_.ConvertTabs(Utf8ToUtf32Lossless(S));
  if (source_.quickLoad_) {
    if (!source_.keepTrailingBlanks_) {
      size_t end = text.size();
      while (end > 0 && IsTrimmed(text[end - 1])) --end;
      text.resize(end);
    }
    source_.strings_->InsertText(Index, std::move(text));
    return;
  }
  {
    TGuard update(source_, ChangeCode::InsertTextBlock, TKind::Safe);
    source_.ShiftPositions(Index, +1);
    source_.caret_ = {0, Index};
    source_.strings_->InsertText(Index, std::move(text));
    source_.MarkTextChanged(Index, kMaxInt);
  }
  EndChange();
}

void TExternalStrings::Delete(int Index) {
  {
    TGuard update(source_, ChangeCode::DeleteLine, TKind::Safe);
    source_.ShiftPositions(Index, -1);
    source_.caret_ = {0, Index};
    source_.strings_->Delete(Index);
    source_.MarkTextChanged(Index, kMaxInt);
  }
  EndChange();
}

void TExternalStrings::Clear() {
  {
    TGuard update(source_, ChangeCode::Clear, TKind::Safe);
    source_.strings_->Clear();
    source_.caret_ = source_.selStart_ = source_.selEnd_ = {};
    source_.selectionType_ = stNone;
    source_.safeCaret_ = source_.safeSelStart_ = source_.safeSelEnd_ = {};
    source_.safeSelectionType_ = stNone;
    source_.MarkTextChanged(0, kMaxInt);
    source_.hiddenLines_->Clear();
    source_.UpdateMaxLineLength();
  }
  EndChange();
}

void TExternalStrings::SetTextStr(std::string_view Text) {
  {
    TGuard update(source_, ChangeCode::SetText);
    struct TQuickLoad {
      bool& flag;
      bool old;
      ~TQuickLoad() { flag = old; }
    } quick{source_.quickLoad_, source_.quickLoad_};
    source_.quickLoad_ = true;
    TStrings::SetTextStr(Text);
    source_.UpdateMaxLineLength();
    source_.caret_ = {};
  }
  EndChange();
}

void TExternalStrings::Assign(const TPersistent* Source) {
  TStrings::Assign(Source);
  source_.caret_ = {};
  EndChange();
}

std::string TExternalStrings::GetTextStr() const {
  TRawScope raw(*source_.strings_);
  return source_.strings_->GetTextStr();
}

void TExternalStrings::SaveToStream(TStream& Stream) const {
  const bool exclude = source_.Options().Contains(soExcludeReadOnlyLines);
  std::string bytes;
  if (!exclude && source_.OutFormat == ofWindows) {
    bytes = GetTextStr();
  } else {
    const char* lineBreak = source_.OutFormat == ofWindows ? "\r\n" : source_.OutFormat == ofMac ? "\r" : "\n";
    for (std::int32_t i = 0; i < source_.LineCount(); ++i) {
      if (exclude && source_.IsLineReadOnly(i)) continue;
      bytes += Utf32ToUtf8Lossless(source_.LineText(i));
      bytes += lineBreak;
    }
  }
  Stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TExternalStrings::SetUpdateState(bool Updating) {
  if (Updating) {
    source_.BeginSafeUpdate(ChangeCode::SetText);
    return;
  }
  source_.EndUpdate();
  EndChange();
}

// ---- Loading and saving ----

void TCustomMemoSource::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, TFileMode::fmOpenRead | TFileMode::fmShareDenyWrite);
  LoadFromStream(stream);
}

void TCustomMemoSource::LoadFromStream(TStream& Stream) {
  {
    TUpdateGuard update(*this, ChangeCode::LoadFromStream);
    lines_->LoadFromStream(Stream);
    storeState_ = kRedrawAllState;
    MarkLinesChanged(0, kMaxInt);
    ResetPositions();
    caret_ = {};
  }
  ClearUndo();
  SetModified(false);
}

void TCustomMemoSource::SaveToFile(const std::string& FileName) {
  TStringStream bytes;
  lines_->SaveToStream(bytes);
  // A new file gets the usual mode less the umask; a replaced one keeps its own.
  ReplaceFileAtomically(FileName, bytes.DataString(), S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH);
}

std::string TCustomMemoSource::GetBackupName(const std::string& FileName) {
  std::string name = BackupFileName(FileName);
  if (OnGetBackupName) OnGetBackupName(this, FileName, name);
  return name;
}
