#pragma once
// The store's Lines: a TStrings over the store's lines through which a
// program reads and writes the text. Each changing operation runs in a safe
// update of its own (caret and selection stay where they were relative to
// the text) and clears undo and redo when it ends: writing through Lines
// cannot be undone.

#include "components/codeedit/MemoSource.h"

class TExternalStrings : public TStrings {
  KESTOVA_CLASS(TExternalStrings)
 public:
  explicit TExternalStrings(TCustomMemoSource& Source) : source_(Source) {}

  // Lines as shown (tabs expanded), objects: the store's own list.
  std::string Get(int Index) const override { return source_.strings_->Get(Index); }
  int GetCount() const override { return source_.strings_->GetCount(); }
  TObject* GetObject(int Index) const override { return source_.strings_->GetObject(Index); }
  void PutObject(int Index, TObject* AObject) override { source_.strings_->PutObject(Index, AObject); }
  void Exchange(int Index1, int Index2) override {}

  // Incoming tabs become SpacesInTab spaces unless tab characters are kept.
  void Put(int Index, const std::string& S) override;
  // While the store loads in bulk: the tab conversion, then (unless trailing
  // blanks are kept) the characters 0..32 trimmed from the end, and nothing
  // else.
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  // Also drops the selection and the hidden lines.
  void Clear() override;
  // Loads in bulk; the caret goes to (0, 0).
  void SetTextStr(std::string_view Text) override;
  void Assign(const TPersistent* Source) override;
  // The stored text (tabs as stored), lines joined by CR LF, no break after
  // the last line.
  std::string GetTextStr() const override;
  // ofWindows without soExcludeReadOnlyLines: GetTextStr. Otherwise every
  // line (read-only lines left out with soExcludeReadOnlyLines) followed by
  // the format's break, CR LF, LF or CR, the last line included.
  void SaveToStream(TStream& Stream) const override;
  void SetUpdateState(bool Updating) override;

 private:
  // Closes an update and then clears undo and redo.
  void EndChange();

  TCustomMemoSource& source_;
};
