// TCustomMSTreeView: marks, ranges, the rubber band, the delayed selection
// report and dragging several nodes.

#include <algorithm>

#include "components/base/zrDTree.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/controls/DragManager.h"
#include "platform/graphics/DrawEdge.h"

namespace {

bool IsNavigationKey(std::uint16_t Key) {
  switch (Key) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
    case VK_ADD: case VK_SUBTRACT:
      return true;
    default:
      return false;
  }
}

// The next and previous node a user sees (children of collapsed nodes
// left out).
TTreeNode* NextVisible(TTreeNode* Node) {
  if (Node->Expanded() && Node->Count() > 0) return Node->Item(0);
  for (TTreeNode* n = Node; n; n = n->Parent())
    if (TTreeNode* s = n->getNextSibling()) return s;
  return nullptr;
}
TTreeNode* PrevVisible(TTreeNode* Node) {
  TTreeNode* prev = Node->getPrevSibling();
  if (!prev) return Node->Parent();
  while (prev->Expanded() && prev->Count() > 0) prev = prev->Item(prev->Count() - 1);
  return prev;
}

bool Intersect(const Rect& A, const Rect& B) {
  return std::max(A.left, B.left) < std::min(A.right, B.right) && std::max(A.top, B.top) < std::min(A.bottom, B.bottom);
}

}  // namespace

void DescribeTCustomMSTreeView(TClassInfo& Info) {
  TClassPublisher<TCustomMSTreeView> p(Info);
  p.Property<&TCustomMSTreeView::MultiSelect, &TCustomMSTreeView::SetMultiSelect>("MultiSelect", TypeInfos::Boolean())
      .Default(false);
  p.Property<&TCustomMSTreeView::SelectOnlySiblings, &TCustomMSTreeView::SetSelectOnlySiblings>(
       "SelectOnlySiblings", TypeInfos::Boolean())
      .Default(false);
  AddMessageHandler<&TCustomMSTreeView::WMLButtonDown>(Info, WM_LBUTTONDOWN);
  AddMessageHandler<&TCustomMSTreeView::WMLButtonUp>(Info, WM_LBUTTONUP);
  AddMessageHandler<&TCustomMSTreeView::WMRButtonDown>(Info, WM_RBUTTONDOWN);
  AddMessageHandler<&TCustomMSTreeView::WMScrollMS>(Info, WM_HSCROLL);
  AddMessageHandler<&TCustomMSTreeView::WMScrollMS>(Info, WM_VSCROLL);
  AddMessageHandler<&TCustomMSTreeView::WMMouseMove>(Info, WM_MOUSEMOVE);
  AddMessageHandler<&TCustomMSTreeView::WMTimer>(Info, WM_TIMER);
  AddMessageHandler<&TCustomMSTreeView::WMFocus>(Info, WM_SETFOCUS);
  AddMessageHandler<&TCustomMSTreeView::WMFocus>(Info, WM_KILLFOCUS);
  AddMessageHandler<&TCustomMSTreeView::CMDragMS>(Info, CM_DRAG);
}
KESTOVA_CLASS_INFO_DESCRIBED(TCustomMSTreeView, TCustomZRDrawTreeView, "zrDTree", nullptr, DescribeTCustomMSTreeView)

TCustomMSTreeView::TCustomMSTreeView(TComponent* AOwner) : TCustomZRDrawTreeView(AOwner) {
  SetKeepSelectionMarks(true);
}

TCustomMSTreeView::~TCustomMSTreeView() {
  if (timerRunning_) KillTimer(kSelectionTimer);
  timerRunning_ = false;
}

TTreeNode* TCustomMSTreeView::CreateNode() { return TCustomZRDrawTreeView::CreateNode(); }

// ---- Properties ----

void TCustomMSTreeView::SetMultiSelect(bool Value) {
  if (Value == multiSelect_) return;
  multiSelect_ = Value;
  if (!Value) ClearSelection();
}

void TCustomMSTreeView::SetSelectOnlySiblings(bool Value) {
  if (Value == selectOnlySiblings_) return;
  selectOnlySiblings_ = Value;
  if (Value && Focus()) DropNonSiblings(Focus());
}

void TCustomMSTreeView::DropNonSiblings(TTreeNode* Of) {
  TTreeNode* parent = Of->Parent();
  const std::vector<TDrawNode*> listed = selection_;
  for (TDrawNode* n : listed)
    if (n->Parent() != parent) {
      if (n == anchor_) anchor_ = nullptr;
      Mark(n, false);
    }
  if (anchor_ && anchor_->Parent() != parent) anchor_ = nullptr;
}

// ---- Marks ----

void TCustomMSTreeView::SetNodeStateFlag(TDrawNode* Node, TDrawNodeState State, bool On) {
  if (State == msSelected && On && selectOnlySiblings_) {
    TDrawNode* focus = Focus();
    if (focus && Node->Parent() != focus->Parent()) {
      // Marks stay among siblings: an unmarked selected node moves there.
      if (!Marked(focus)) SetSelected(Node);
      return;
    }
  }
  TCustomZRDrawTreeView::SetNodeStateFlag(Node, State, On);
  if (State != msSelected) return;
  const auto it = std::find(selection_.begin(), selection_.end(), Node);
  if (On && it == selection_.end()) selection_.push_back(Node);
  if (!On && it != selection_.end()) selection_.erase(it);
  if (updateCount_ <= 0) ScheduleSelectionChanged(Node);
}

void TCustomMSTreeView::SetNodeState(TDrawNode* Node, TDrawNodeStates States) {
  if (Marked(Node) != States.Contains(msSelected)) SetNodeStateFlag(Node, msSelected, States.Contains(msSelected));
  TCustomZRDrawTreeView::SetNodeState(Node, States);
}

void TCustomMSTreeView::ClearSelection() {
  anchor_ = nullptr;
  keyExtend_ = false;
  TDrawNode* focus = Focus();
  const std::vector<TDrawNode*> listed = selection_;
  const bool grouped = listed.size() >= 2;
  if (grouped) BeginUpdate();
  for (TDrawNode* n : listed) {
    if (n == focus)
      selection_.erase(std::find(selection_.begin(), selection_.end(), n));
    else
      Mark(n, false);
  }
  if (grouped) EndUpdate();
  ScheduleSelectionChanged(focus);
}

void TCustomMSTreeView::ApplyPendingReset() {
  if (!pendingReset_) return;
  pendingReset_ = false;
  ClearSelection();
  anchor_ = Focus();
}

void TCustomMSTreeView::SelectRange(TDrawNode* Node) {
  TDrawNode* focus = Focus();
  if (!Node || !focus || Node == focus) {
    ApplyPendingReset();
    ScheduleSelectionChanged(Node);
    return;
  }
  const bool focusAbove = directionHint_ != 0 ? directionHint_ == 2
                                              : focus->DisplayRect(false).top < Node->DisplayRect(false).top;
  ApplyPendingReset();
  TTreeNode* beyond = selectOnlySiblings_ ? (focusAbove ? Node->getNextSibling() : Node->getPrevSibling())
                                          : (focusAbove ? NextVisible(Node) : PrevVisible(Node));
  bool state = Marked(beyond);
  ++updateCount_;
  struct Lower {
    int& count;
    ~Lower() { --count; }
  } lower{updateCount_};
  for (TTreeNode* n = Node; n && n != focus; n = focusAbove ? PrevVisible(n) : NextVisible(n)) {
    if (n == anchor_) {
      Mark(n, true);
      state = true;
    } else {
      Mark(n, state);
    }
  }
  ScheduleSelectionChanged(Node);
}

void TCustomMSTreeView::DeleteSelection() {
  TDrawNode* focus = Focus();
  if (focus && Marked(focus) && std::find(selection_.begin(), selection_.end(), focus) == selection_.end())
    selection_.push_back(focus);
  BeginUpdate();
  {
    struct Close {
      TCustomMSTreeView* view;
      ~Close() { view->EndUpdate(); }
    } close{this};
    // Deleting a node takes it and its children out of the list.
    while (!selection_.empty()) Items()->Delete(selection_.back());
  }
  Change(Selected());
  ScheduleSelectionChanged(Selected());
}

// ---- The selection report ----

void TCustomMSTreeView::BeginUpdate() {
  ++updateCount_;
  TCustomZRDrawTreeView::BeginUpdate();
}

void TCustomMSTreeView::EndUpdate() {
  TCustomZRDrawTreeView::EndUpdate();
  if (updateCount_ > 0 && --updateCount_ == 0 && reportDue_) {
    reportDue_ = false;
    ScheduleSelectionChanged(reported_);
  }
}

void TCustomMSTreeView::ScheduleSelectionChanged(TTreeNode* Node) {
  if (ComponentState().Contains(csLoading)) return;
  if (timerRunning_) KillTimer(kSelectionTimer);
  timerRunning_ = false;
  reported_ = Node;
  if (selectionDelay_ <= 0) {
    DoSelectionChanged();
    return;
  }
  SetTimer(kSelectionTimer, selectionDelay_);
  timerRunning_ = true;
}

void TCustomMSTreeView::DoSelectionChanged() {
  if (updateCount_ > 0) {
    reportDue_ = true;
    return;
  }
  if (OnSelectionChanged) OnSelectionChanged(this, reported_);
}

void TCustomMSTreeView::WMTimer(TMessage& Message) {
  if (Message.WParam != kSelectionTimer) {
    InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
    return;
  }
  KillTimer(kSelectionTimer);
  timerRunning_ = false;
  DoSelectionChanged();
}

void TCustomMSTreeView::KillDragTimers() {
  TCustomZRDrawTreeView::KillDragTimers();
  if (timerRunning_) KillTimer(kSelectionTimer);
  timerRunning_ = false;
}

// ---- Native notices ----

void TCustomMSTreeView::ForgetNode(TTreeNode* Node) {
  const auto it = std::find(selection_.begin(), selection_.end(), Node);
  if (it != selection_.end()) selection_.erase(it);
  if (anchor_ == Node) anchor_ = nullptr;
  if (reported_ == Node) reported_ = nullptr;
  if (bandStart_ == Node) bandStart_ = nullptr;
  if (rightClicked_ == Node) rightClicked_ = nullptr;
  if (rightPrevious_ == Node) rightPrevious_ = nullptr;
  if (dropNode_ == Node) dropNode_ = nullptr;
}

void TCustomMSTreeView::Delete(TTreeNode* Node) {
  try {
    ForgetNode(Node);
  } catch (...) {  // a notice of the window: nothing may escape it
  }
  TCustomZRDrawTreeView::Delete(Node);
}

void TCustomMSTreeView::SelectionChanged(TTreeNode* Node, TTreeNode* Previous) {
  try {
    if (selectOnlySiblings_ && Node) DropNonSiblings(Node);
    // The window took the mark of the old selected node.
    if (Previous && !Marked(Previous)) {
      const auto it = std::find(selection_.begin(), selection_.end(), Previous);
      if (it != selection_.end()) selection_.erase(it);
    }
    if (multiSelect_ && keyExtend_ && Previous && Previous->ItemId())
      SelectRange(static_cast<TDrawNode*>(Previous));
    ScheduleSelectionChanged(Node);
  } catch (...) {  // a notice of the window: nothing may escape it
  }
  TCustomZRDrawTreeView::SelectionChanged(Node, Previous);
}

void TCustomMSTreeView::Edit(TTreeNode* Node, std::string& S) {
  editFailed_ = false;
  try {
    TCustomZRDrawTreeView::Edit(Node, S);
  } catch (...) {
    editFailed_ = true;
    throw;
  }
}

// ---- Keys ----

void TCustomMSTreeView::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  keyExtend_ = false;
  if (bandActive_) {
    if (Key == VK_ESCAPE) {
      EndRubberBand();
      Key = 0;
      return;
    }
    if (Key == VK_TAB) {
      Key = 0;
      return;
    }
  }
  if (Shift.Contains(ssCtrl) && Key == VK_MULTIPLY) {
    BeginUpdate();
    filling_ = true;
    struct Close {
      TCustomMSTreeView* view;
      ~Close() {
        view->filling_ = false;
        view->EndUpdate();
      }
    } close{this};
    FullExpand();
    Key = 0;
    return;
  }
  TDrawNode* focus = Focus();
  if (multiSelect_ && IsNavigationKey(Key) && !IsEditing() && !Shift.Contains(ssCtrl) && focus) {
    const bool opens = (Key == VK_RIGHT || Key == VK_ADD) && !focus->Expanded();
    const bool closes = (Key == VK_LEFT || Key == VK_SUBTRACT) && focus->Expanded();
    if (focus->HasChildren() && (opens || closes)) {
      ClearSelection();
    } else if (Shift.Contains(ssShift)) {
      if (!anchor_) anchor_ = focus;
      // The window moves the selected node after this handler; the move's
      // notice marks the range.
      keyExtend_ = true;
      const bool up = Key == VK_PRIOR || Key == VK_HOME || Key == VK_LEFT || Key == VK_UP;
      directionHint_ = up ? 2 : 1;
    } else {
      ClearSelection();
    }
  }
  TCustomZRDrawTreeView::KeyDown(Key, Shift);
}

void TCustomMSTreeView::KeyUp(std::uint16_t& Key, TShiftState Shift) {
  keyExtend_ = false;
  TCustomZRDrawTreeView::KeyUp(Key, Shift);
}

// ---- Mouse ----

void TCustomMSTreeView::WMLButtonDown(TMessage& Message) {
  if (!multiSelect_) {
    InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
    return;
  }
  directionHint_ = 0;
  dragging_ = false;
  keyExtend_ = false;
  clickPending_ = false;
  const int x = LParamX(Message.LParam), y = LParamY(Message.LParam);
  const THitTests hit = GetHitTestInfoAt(x, y);
  TDrawNode* node = static_cast<TDrawNode*>(GetNodeAt(x, y));
  if (!node) origin_ = {x, y};
  const bool ctrl = (Message.WParam & MK_CONTROL) != 0, shift = (Message.WParam & MK_SHIFT) != 0;
  if (!node && !IsEditing()) {
    // Empty space: the window would take a press beside a caption for its
    // line; here it only begins the band.
    ClearSelection();
    if (!Focused()) SetFocus();
  } else if (IsEditing() || !node || hit.Contains(htOnButton)) {
    ClearSelection();
    InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
  } else if (ctrl) {
    EndRubberBand();
    if (!Focused()) SetFocus();
    pendingReset_ = true;
    if (!anchor_) anchor_ = Focus();
    Mark(node, !Marked(node));
    ScheduleSelectionChanged(node);
  } else if (shift) {
    ApplyPendingReset();
    if (!anchor_) anchor_ = Focus();
    if (TDrawNode* previous = Focus()) {
      if (!Focused()) SetFocus();
      // The window's own press is left out: on a marked node it would
      // start a caption edit.
      SetSelected(node);
      SelectRange(previous);
    }
  } else if (CheckBoxes() && hit.Contains(htOnStateIcon)) {
    InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
  } else if (Marked(node) && hit.Contains(htOnItem)) {
    if (!Focused()) SetFocus();
    TDrawNode* remembered = Marked(Focus()) ? Focus() : nullptr;
    if (DragMode() == dmAutomatic) {
      SetSelected(node);
      Mark(remembered, true);
    }
    InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
    if (!multiDragAllowed_) {
      ClearSelection();
      Mark(Focus(), true);
    } else {
      // Whether this was a click or the start of a drag shows when the
      // button comes up: only a click leaves the clicked node alone.
      clickPending_ = true;
      if (DragMode() == dmManual && remembered && remembered != Focus()) Mark(remembered, true);
    }
  } else {
    ClearSelection();
    InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
    Mark(Focus(), true);
  }
  if (!node && !IsEditing() && !Dragging() && !editFailed_) {
    bandStart_ = nullptr;
    for (TTreeNode* n = Items()->GetFirstNode(); n && !bandStart_; n = NextVisible(n)) {
      const Rect line = n->DisplayRect(false);
      if (y >= line.top && y < line.bottom) bandStart_ = static_cast<TDrawNode*>(n);
    }
    band_ = {x, y, x, y};
    bandMouse_ = {x, y};
    bandActive_ = true;
    savedHotTrack_ = HotTrack();
    SetHotTrack(false);
    SetMouseCapture(true);
  }
}

void TCustomMSTreeView::WMLButtonUp(TMessage& Message) {
  EndRubberBand();
  if (clickPending_) {
    clickPending_ = false;
    ClearSelection();
    Mark(Focus(), true);
  }
  InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
}

void TCustomMSTreeView::WMRButtonDown(TMessage& Message) {
  if (!multiSelect_) {
    InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
    return;
  }
  EndRubberBand();
  const int x = LParamX(Message.LParam), y = LParamY(Message.LParam);
  const Rect client = ClientItemsRect();
  if (x < client.left || y < client.top || x >= client.right || y >= client.bottom) return;
  rightClicked_ = RightClickSelect() ? static_cast<TDrawNode*>(GetNodeAt(x, y)) : nullptr;
  rightPrevious_ = Focus();
  if (!rightClicked_ || !rightPrevious_) {
    InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
    return;
  }
  // The pop-up is built for the clicked node; the selection it acts on
  // holds both.
  SetSelected(rightClicked_);
  Mark(rightPrevious_, true);
  struct Restore {
    TCustomMSTreeView* view;
    ~Restore() {
      TDrawNode* clicked = std::exchange(view->rightClicked_, nullptr);
      TDrawNode* previous = std::exchange(view->rightPrevious_, nullptr);
      if (previous) view->SetSelected(previous);
      if (clicked) view->Mark(clicked, true);
    }
  } restore{this};
  InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
}

void TCustomMSTreeView::WMFocus(TMessage& Message) {
  InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
  if (Message.Msg == WM_KILLFOCUS) EndRubberBand();
  if (!selection_.empty()) Invalidate();
}

// ---- Rubber band ----

void TCustomMSTreeView::DrawBand() {
  const Rect band = band_;
  DrawOverlay([band](DeviceContext& dc) { DrawFocusRect(dc, band); });
}

void TCustomMSTreeView::UpdateBand(Point Mouse) {
  const Rect client = ClientItemsRect();
  const Coord width = client.right, height = client.bottom;
  bandMouse_ = Mouse;
  Rect r{std::min(Mouse.x, origin_.x), std::min(Mouse.y, origin_.y), std::max(Mouse.x, origin_.x),
         std::max(Mouse.y, origin_.y)};
  if (origin_.x >= 0)
    r.left = std::max<Coord>(r.left, 0);
  else
    r.right = std::max<Coord>(r.right, 1);
  if (origin_.x < width) r.right = std::min<Coord>(r.right, width - 1);
  if (origin_.y >= 0)
    r.top = std::max<Coord>(r.top, 0);
  else
    r.bottom = std::max<Coord>(r.bottom, 1);
  if (origin_.y < height) r.bottom = std::min<Coord>(r.bottom, height - 1);
  band_ = r;
}

void TCustomMSTreeView::SelectBandNodes() {
  std::vector<TDrawNode*> inside;
  for (TTreeNode* n = Items()->GetFirstNode(); n; n = NextVisible(n))
    if (Intersect(n->DisplayRect(true), band_)) inside.push_back(static_cast<TDrawNode*>(n));
  auto isInside = [&](TDrawNode* n) { return std::find(inside.begin(), inside.end(), n) != inside.end(); };
  TDrawNode* focus = Focus();
  if (focus && !isInside(focus) && Marked(focus)) Mark(focus, false);
  const std::vector<TDrawNode*> listed = selection_;
  for (TDrawNode* n : listed)
    if (n != focus && !isInside(n)) Mark(n, false);
  for (TDrawNode* n : inside)
    if (!Marked(n) || std::find(selection_.begin(), selection_.end(), n) == selection_.end()) Mark(n, true);
  Invalidate();
}

void TCustomMSTreeView::WMMouseMove(TMessage& Message) {
  if (!bandActive_) {
    InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
    return;
  }
  ResetScrollDelta();
  DrawBand();
  // The window is not told: with a button down it would move the selected
  // node along.
  const Point mouse{LParamX(Message.LParam), LParamY(Message.LParam)};
  if (AutoScroll()) CheckAutoScroll(mouse);
  UpdateBand(mouse);
  SelectBandNodes();
  DrawBand();
}

void TCustomMSTreeView::AutoScrollTick() {
  if (!bandActive_) {
    TCustomZRDrawTreeView::AutoScrollTick();
    return;
  }
  DrawBand();
  ResetScrollDelta();
  TCustomZRDrawTreeView::AutoScrollTick();
  origin_.x += ScrollDeltaX();
  origin_.y += ScrollDeltaY();
  UpdateBand(CursorClientPos());
  SelectBandNodes();
  DrawBand();
}

// The user scrolled while drawing the band: its origin stays on the items
// it began at. The scroll timer's own steps move it in AutoScrollTick.
void TCustomMSTreeView::WMScrollMS(TMessage& Message) {
  if (!bandActive_ || ScrollingByTimer()) {
    InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
    return;
  }
  DrawBand();
  const TScrollState h = ScrollState(TScrollAxis::Horizontal), v = ScrollState(TScrollAxis::Vertical);
  InheritedMessage(TCustomMSTreeView::StaticClass(), Message);
  origin_.x += (h.Pos - ScrollState(TScrollAxis::Horizontal).Pos) * ScrollUnit(TScrollAxis::Horizontal);
  origin_.y += (v.Pos - ScrollState(TScrollAxis::Vertical).Pos) * ScrollUnit(TScrollAxis::Vertical);
  UpdateBand(bandMouse_);
  SelectBandNodes();
  DrawBand();
}

void TCustomMSTreeView::EndRubberBand() {
  if (!bandActive_) return;
  DrawBand();
  bandActive_ = false;
  bandStart_ = nullptr;
  SetMouseCapture(false);
  SetHotTrack(savedHotTrack_);
  TCustomZRDrawTreeView::KillDragTimers();
}

// ---- Dragging ----

void TCustomMSTreeView::DoStartDrag(TDragObject*& DragObject) {
  dragging_ = true;
  savedDragCursor_ = DragCursor();
  if (multiDragAllowed_ && (selection_.size() > 1 || (selection_.size() == 1 && selection_.front() != Focus()))) {
    SetDragCursor(crMultiDrag);
    SetMultiDrag(true);
  }
  TCustomZRDrawTreeView::DoStartDrag(DragObject);
}

void TCustomMSTreeView::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  dragging_ = true;
  TCustomZRDrawTreeView::DragOver(Source, X, Y, State, Accept);
}

void TCustomMSTreeView::DoEndDrag(TObject* Target, int X, int Y) {
  SetDragCursor(savedDragCursor_);
  SetMultiDrag(false);
  dragging_ = false;
  if (Target) clickPending_ = false;
  TCustomZRDrawTreeView::DoEndDrag(Target, X, Y);
}

void TCustomMSTreeView::CMDragMS(TMessage& Message) {
  CMDrag(Message);
  TDrawNode* node = nullptr;
  const auto kind = static_cast<TDragMessage>(Message.WParam);
  if (kind == dmFindTarget) return;
  if (kind == dmDragEnter || kind == dmDragMove) {
    const Point p = DragClientPos(Message);
    node = static_cast<TDrawNode*>(GetNodeAt(static_cast<int>(p.x), static_cast<int>(p.y)));
  }
  if (node == dropNode_) return;
  // The drop target is shown by its own state: marked nodes keep their
  // marks and are left alone.
  if (dropNode_ && !Marked(dropNode_)) dropNode_->SetDropTarget(false);
  dropNode_ = node;
  if (node && !Marked(node)) node->SetDropTarget(true);
}
