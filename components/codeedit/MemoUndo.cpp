// Recording changes, undo, redo and the save point.
#include "components/codeedit/MemoUndo.h"

#include "components/codeedit/MemoSource.h"

namespace {
bool ChangesText(const TUndoRecord& R) { return R.Kind != ukCaretMoved && R.Kind != ukColorReplaced; }

// Switches the recording side for the life of the scope.
class TSideSwitch {
 public:
  explicit TSideSwitch(bool& Side) : side_(Side) { side_ = !side_; }
  ~TSideSwitch() { side_ = !side_; }
  TSideSwitch(const TSideSwitch&) = delete;
  TSideSwitch& operator=(const TSideSwitch&) = delete;

 private:
  bool& side_;
};
}  // namespace

void TCustomMemoSource::ClearUndo() {
  undoList_->ClearRecords();
  redoList_->ClearRecords();
}

void TCustomMemoSource::ClearRedo() { redoList_->ClearRecords(); }

TUndoRecord* TCustomMemoSource::NewUndoRecord(std::uint8_t Kind) {
  if (!allowUndo_) return nullptr;
  TrimUndo();
  TUndoRecord& r = (redoSide_ ? redoList_ : undoList_)->AddRecord();
  r.Kind = static_cast<TUndoKind>(Kind);
  r.FirstOfUpdate = firstRecord_;
  r.Code = static_cast<std::uint8_t>(changeCode_ & 0xFF);
  r.InUndoBlock = undoBlock_ > 0;
  firstRecord_ = false;
  return &r;
}

void TCustomMemoSource::TrimUndo() {
  if (redoSide_ || !allowUndo_ || undoLimit_ <= 0) return;
  TUndoList& list = *undoList_;
  if (list.Count() - 100 <= undoLimit_) return;
  std::int32_t n = list.Count() - undoLimit_ - 1;
  while (n > 0 && list.Record(n).InUndoBlock) --n;
  if (n <= 0) return;
  savePoint_ = savePoint_ - n - 1;
  if (savePoint_ < 0) {
    savePoint_ = -1;
    bool changes = false;
    for (std::int32_t i = 0; i <= n && !changes; ++i) changes = ChangesText(list.Record(i));
    forceModified_ = changes;
  }
  list.DeleteFirst(n);
}

void TCustomMemoSource::BeginUndoBlock() { ++undoBlock_; }

void TCustomMemoSource::EndUndoBlock() {
  if (undoBlock_ <= 0) return;
  if (--undoBlock_ > 0 || !allowUndo_) return;
  if (TUndoRecord* r = NewUndoRecord(ukCaretMoved)) r->A = r->B = 0;
}

bool TCustomMemoSource::CanUndo() const { return (redoSide_ ? redoList_ : undoList_)->Count() > 0; }

void TCustomMemoSource::ApplyReverse(const TUndoRecord& R) {
  switch (R.Kind) {
    case ukCaretMoved:
      MoveCaret(-R.A, -R.B);
      break;
    case ukTextInserted:
      DeleteChars(R.A);
      break;
    case ukLineBreakInserted:
      DeleteLineBreak();
      break;
    case ukLineBreakDeleted:
      InsertLineBreak();
      break;
    case ukTextDeleted:
      if (KeepsColors() && !R.ColorsOr().empty())
        InsertTextWithColor(R.TextOr(), R.ColorsOr());
      else
        InsertText(R.TextOr());
      break;
    case ukColorReplaced: {
      TStringItem* item = LineItem(R.A);
      if (!KeepsColors() || R.ColorsOr().empty() || !item) break;
      const size_t from = static_cast<size_t>(std::max(R.B - 1, 0));
      if (item->ColorData.size() < from + R.ColorsOr().size()) item->ColorData.resize(from + R.ColorsOr().size(), 0);
      if (TUndoRecord* back = NewUndoRecord(ukColorReplaced)) {
        back->A = R.A;
        back->B = R.B;
        back->SetColors(item->ColorData.substr(from, R.ColorsOr().size()));
      }
      item->ColorData.replace(from, R.ColorsOr().size(), R.ColorsOr());
      FitColors(*item);
      const bool urls = highlightUrls_;
      highlightUrls_ = false;
      LineTextChanged(R.A);
      highlightUrls_ = urls;
      break;
    }
  }
}

void TCustomMemoSource::Undo() {
  if (!CanUndo() || IsReadOnly()) return;
  {
    TSideSwitch side(redoSide_);
    RunUndo();
  }
  if (modified_) SetModified(ComputeModified());
}

void TCustomMemoSource::Redo() {
  TSideSwitch side(redoSide_);
  Undo();
}

// Reverts the newest records of the list being undone (the one opposite to
// the recording side) while they belong to the same update or change code.
void TCustomMemoSource::RunUndo() {
  TUndoList& list = *(redoSide_ ? undoList_ : redoList_);
  manualPosition_ = true;
  const std::uint8_t code = list.Last().Code;
  // Recorded caret moves are replayed whole. They are relative, and lines
  // trimmed without a record since may be shorter now: a move limited to
  // the line end would put the undone text in the wrong column.
  struct TReset {
    TCustomMemoSource& s;
    TStringsOptions options;
    ~TReset() {
      s.manualPosition_ = false;
      s.selectionType_ = stNone;
      s.options_ = options;
    }
  };
  TUpdateGuard update(*this, code);
  TReset reset{*this, options_};
  options_.Exclude(soLimitEOL);
  storeState_.Include(ssUndoing);
  while (list.Count() > 0) {
    firstRecord_ = true;
    TUndoRecord r = list.Last();
    if (r.Code != code && !r.InUndoBlock) break;
    ApplyReverse(r);
    if (&list == undoList_.get() && list.Count() == savePoint_ + 1) {
      savePoint_ = -1;
      forceModified_ = true;
    }
    list.DeleteLast();
    if (r.FirstOfUpdate && !r.InUndoBlock && !options_.Contains(soGroupUndo)) break;
  }
}

bool TCustomMemoSource::ComputeModified() const {
  if (forceModified_) return true;
  for (std::int32_t i = undoList_->Count() - 1; i > savePoint_; --i)
    if (ChangesText(undoList_->Record(i))) return true;
  return false;
}

void TCustomMemoSource::SetModified(bool Value) {
  if (modified_ == Value) return;
  TUpdateGuard update(*this, ChangeCode::SetModified);
  modified_ = Value;
  if (Value) return;
  savePoint_ = -1;
  for (std::int32_t i = undoList_->Count() - 1; i >= 0; --i)
    if (ChangesText(undoList_->Record(i))) {
      savePoint_ = i;
      break;
    }
}

void TCustomMemoSource::SetModified(bool Value, bool Force) {
  forceModified_ = Force ? Value : forceModified_;
  SetModified(Value);
}
