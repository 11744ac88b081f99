#include "components/codeedit/MemoSource.h"

#include <algorithm>
#include <exception>

#include "components/codeedit/MemoLines_p.h"

namespace {
std::vector<TCustomMemoSource*>& Sources() {
  static std::vector<TCustomMemoSource*> list;
  return list;
}
TCustomMemoSource* lastActiveSource = nullptr;
}  // namespace

const std::vector<TCustomMemoSource*>& SourceList() { return Sources(); }
TCustomMemoSource* LastActiveSource() { return lastActiveSource; }
void SetLastActiveSource(TCustomMemoSource* Source) { lastActiveSource = Source; }

TCustomMemoSource::TCustomMemoSource(TComponent* AOwner)
    : TComponent(AOwner),
      listeners_(std::make_unique<TNotifierList>()),
      hiddenLines_(std::make_unique<TVisibleLinesList>()),
      undoList_(std::make_unique<TUndoList>()),
      redoList_(std::make_unique<TUndoList>()),
      bookmarks_(std::make_unique<TMemoBookMarkList>()) {
  Sources().push_back(this);
  strings_ = std::make_unique<TInternalStrings>(StringItemClass());
  strings_->GetStringHook = TGetStringHook::Of<&TCustomMemoSource::ExpandTabs>(*this);
  lines_ = std::make_unique<TExternalStrings>(*this);
  for (int c = 0; c <= 32; ++c) delimiterSet_.set(c);
  SetTabStops("9,17");
  templates_ = std::make_unique<TMemoCodeTemplates>(this);
}

TCustomMemoSource::~TCustomMemoSource() {
  destroying_ = true;
  TellListenersOfRemoval();
  std::erase(Sources(), this);
  if (lastActiveSource == this) lastActiveSource = nullptr;
  if (parser_) parser_->RemoveNotifier(TNotifierMethod::Of<&TCustomMemoSource::RecolourPending>(*this));
}

void TCustomMemoSource::BeforeDestruction() {
  destroying_ = true;
  TellListenersOfRemoval();
  TComponent::BeforeDestruction();
}

void TCustomMemoSource::TellListenersOfRemoval() {
  if (listenersTold_) return;
  listenersTold_ = true;
  NotifyListenersOfRemoval(this, listeners_.get());
}

TStrings* TCustomMemoSource::Lines() const { return lines_.get(); }

void TCustomMemoSource::SetLines(const TStrings* Value) { lines_->Assign(Value); }

// ---- Update protocol ----

TCustomMemoSource::TUpdateGuard::TUpdateGuard(TCustomMemoSource& Source, std::int32_t Code, TUpdateKind Kind)
    : source_(Source), exceptions_(std::uncaught_exceptions()) {
  if (Kind == TUpdateKind::Safe)
    Source.BeginSafeUpdate(Code);
  else
    Source.BeginUpdate(Code);
}

TCustomMemoSource::TUpdateGuard::~TUpdateGuard() noexcept(false) {
  if (std::uncaught_exceptions() == exceptions_) {
    source_.EndUpdate();
    return;
  }
  try {
    source_.EndUpdate();
  } catch (...) {
  }
}

void TCustomMemoSource::BeginUpdate(std::int32_t Code) {
  if (updateCount_ > 0) {
    ++updateCount_;
    return;
  }
  oldLineCount_ = LineCount();
  storeState_ = {};
  oldFoundRect_ = foundRect_;
  foundRect_ = {};
  changedRange_ = {kMaxInt, -kMaxInt};
  stateChangedLine_ = -1;
  changeCode_ = Code;
  oldModified_ = modified_;
  oldSelStart_ = selStart_;
  oldSelEnd_ = selEnd_;
  oldSelectionType_ = selectionType_;
  oldCaret_ = caret_;
  ++updateCount_;
  firstRecord_ = true;
  ClearTempLineStyle();
}

void TCustomMemoSource::BeginSafeUpdate(std::int32_t Code) {
  if (updateCount_ == 0) {
    safeSelectionType_ = selectionType_;
    safeSelStart_ = selStart_;
    safeSelEnd_ = selEnd_;
    safeCaret_ = caret_;
    safeUpdate_ = true;
  }
  BeginUpdate(Code);
}

namespace {
bool SelectionEmpty(TSelectionType Type, TMemoPos Start, TMemoPos End) {
  if (Type == stStream) return End.Line < Start.Line || (End.Line == Start.Line && End.Char <= Start.Char);
  return End.Line < Start.Line || End.Char < Start.Char;
}
}  // namespace

void TCustomMemoSource::EndUpdate() {
  if (safeUpdate_ && updateCount_ == 1) {
    selectionType_ = safeSelectionType_;
    selStart_ = safeSelStart_;
    selEnd_ = safeSelEnd_;
    caret_ = safeCaret_;
    safeUpdate_ = false;
  }
  if (updateCount_ <= 0) return;
  if (--updateCount_ > 0) return;

  if (caret_ != oldCaret_) storeState_.Include(ssCaretMoved);
  if (selectionType_ != stNone && SelectionEmpty(selectionType_, selStart_, selEnd_)) selectionType_ = stNone;
  if ((storeState_.Contains(ssCaretMoved) || storeState_.Contains(ssTextChanged)) && !storeState_.Contains(ssUndoing))
    ClearRedo();

  bool selectionChanged = false;
  if (selectionType_ != oldSelectionType_) {
    selectionChanged = true;
  } else if (selectionType_ != stNone) {
    if (selStart_ != oldSelStart_ || selEnd_ != oldSelEnd_) {
      selectionChanged = true;
    } else if (!options_.Contains(soPersistentBlocks) && storeState_.Contains(ssCaretMoved) && keepSelection_ == 0) {
      selectionType_ = stNone;
      selectionChanged = true;
    }
  }
  if (selectionChanged) {
    storeState_.Include(ssSelectionChanged);
    const bool sameShape =
        selectionType_ == oldSelectionType_ &&
        (selectionType_ != stBlock || (selStart_.Char == oldSelStart_.Char && selEnd_.Char == oldSelEnd_.Char));
    if (sameShape) {
      if (selStart_.Line != oldSelStart_.Line) {
        MarkLinesChanged(oldSelStart_.Line, oldSelStart_.Line);
        MarkLinesChanged(selStart_.Line, selStart_.Line);
      }
      if (selEnd_.Line != oldSelEnd_.Line) {
        MarkLinesChanged(oldSelEnd_.Line, oldSelEnd_.Line);
        MarkLinesChanged(selEnd_.Line, selEnd_.Line);
      }
    } else {
      MarkLinesChanged(std::min(oldSelStart_.Line, selStart_.Line), std::max(oldSelEnd_.Line, selEnd_.Line));
    }
  }

  if (foundRect_ != oldFoundRect_) {
    storeState_.Include(ssFoundChanged);
    if (foundRect_.Empty())
      MarkLinesChanged(oldFoundRect_.Top, oldFoundRect_.Bottom);
    else if (oldFoundRect_.Empty())
      MarkLinesChanged(foundRect_.Top, foundRect_.Bottom);
    else
      MarkLinesChanged(std::min(foundRect_.Top, oldFoundRect_.Top), std::max(foundRect_.Bottom, oldFoundRect_.Bottom));
  }
  if (LineCount() != oldLineCount_) storeState_.Include(ssLineCountChanged);
  if (storeState_.Contains(ssTextChanged)) {
    modified_ = true;
    firstUnparsed_ = std::min(firstUnparsed_, changedRange_.First);
  }
  if (storeState_.Contains(ssReparseAll)) {
    firstUnparsed_ = 0;
    changedRange_ = {0, kMaxInt};
  }
  if (modified_ != oldModified_) storeState_.Include(ssModifiedChanged);
  if (!storeState_.Empty()) NotifyListeners(changedRange_.First, changedRange_.Last);
}

void TCustomMemoSource::MarkTextChanged(std::int32_t First, std::int32_t Last) {
  storeState_.Include(ssTextChanged);
  MarkLinesChanged(First, Last);
}

void TCustomMemoSource::MarkLinesChanged(std::int32_t First, std::int32_t Last) {
  changedRange_.First = std::min(changedRange_.First, First);
  changedRange_.Last = std::max(changedRange_.Last, Last);
}

void TCustomMemoSource::AddListener(bool NotifyNow, const TNotifierMethod& Method) {
  listeners_->AddNotifier(Method);
  if (auto* listener = dynamic_cast<TComponent*>(Method.Object())) listener->FreeNotification(this);
  if (!NotifyNow) return;
  TUpdateGuard update(*this, ChangeCode::AddListener);
  MarkLinesChanged(0, kMaxInt);
  storeState_ = kRedrawAllState;
}

void TCustomMemoSource::RemoveListener(const TNotifierMethod& Method) { listeners_->RemoveNotifier(Method); }

void TCustomMemoSource::NotifyListeners(std::int32_t First, std::int32_t Last) {
  TLineRange range{First, Last};
  listeners_->Notify(this, &range, static_cast<std::int32_t>(storeState_.Bits()));
}

void TCustomMemoSource::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  listeners_->RemoveNotifiersOf(AComponent);
  if (AComponent == parser_) parser_ = nullptr;
  if (AComponent == activeEditor_) activeEditor_ = nullptr;
}

void TCustomMemoSource::SetActiveEditor(TComponent* Editor) {
  activeEditor_ = Editor;
  if (Editor) Editor->FreeNotification(this);
}

// ---- Caret and selection ----

void TCustomMemoSource::ShiftPositions(std::int32_t Line, std::int32_t Delta) {
  for (TMemoPos* pos : {&caret_, &selStart_, &selEnd_, &safeCaret_, &safeSelStart_, &safeSelEnd_}) {
    if (Delta < 0 && pos->Line == Line)
      *pos = {0, Line};
    else if (pos->Line >= Line + (Delta < 0 ? 1 : 0))
      pos->Line += Delta;
  }
  for (auto& pos : tracked_)
    if (pos->Line >= Line + (Delta < 0 ? 1 : 0)) pos->Line = std::max(pos->Line + Delta, 0);
}

// ---- Names ----

bool TCustomMemoSource::SetObjectName(const std::string& Name) {
  if (Name == objectName_) return true;
  previousName_ = objectName_;
  TUpdateGuard update(*this, ChangeCode::Rename);
  objectName_ = Name;
  storeState_.Include(ssNameChanged);
  return true;
}

void TCustomMemoSource::Loaded() {
  TComponent::Loaded();
  {
    TUpdateGuard update(*this, ChangeCode::Loaded);
    modified_ = false;
    caret_ = {};
  }
  ClearUndo();
}
