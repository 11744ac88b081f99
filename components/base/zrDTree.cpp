#include "components/base/zrDTree.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QTreeWidget>
#include <cstdlib>

#include "components/base/PropAccess.h"
#include "platform/classes/Filer.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/DragManager.h"
#include "platform/controls/InputHooks.h"
#include "platform/core/Streams.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/GraphicsTypeInfo.h"
#include "platform/graphics/ImageList.h"
#include "platform/ui/Screen.h"

KESTOVA_TYPE_INFO(TCheckState, MakeEnumType("TCheckState", {"csUnchecked", "csChecked", "csGrayed", "csNone"}, "zrDTree"))
KESTOVA_TYPE_INFO(TDrawNodeState, MakeEnumType("TDrawNodeState", {"msCut", "msBold", "msDropHilited", "msFocused",
                                                                  "msSelected", "msExpanded"},
                                               "zrDTree"))
KESTOVA_TYPE_INFO(TDrawNodeStates, MakeSetType("TDrawNodeStates", TypeInfos::TDrawNodeState()))
KESTOVA_TYPE_INFO(TZRClickCheckEvent, MakeMethodType("TZRClickCheckEvent", mkProcedure,
                                                     {{{}, "Sender", "TObject"}, {{}, "Node", "TTreeNode"}}))

namespace {

std::unique_ptr<TImageList>& CheckImageSlot() {
  static std::unique_ptr<TImageList> images;
  return images;
}
TCustomZRDrawTreeView*& DraggingSlot() {
  static TCustomZRDrawTreeView* view = nullptr;
  return view;
}

void KeyHook(const TKeyHookEvent& Event, bool& Swallow);
const TKeyHook& KeyHookValue() {
  static const TKeyHook hook(&KeyHook);
  return hook;
}

void KeyHook(const TKeyHookEvent& Event, bool& Swallow) {
  TCustomZRDrawTreeView* view = DraggingSlot();
  if (!view) return;
  const TShiftState shift = KeyDataToShiftState(Event.KeyData);
  const bool down = Event.Msg == WM_KEYDOWN || Event.Msg == WM_SYSKEYDOWN;
  if (Event.VK == VK_ESCAPE && !shift.Contains(ssShift) && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl)) {
    Swallow = true;
    if (down) view->EndDrag(false);
    return;
  }
  if (Event.VK == VK_CONTROL) view->UpdateDragCursor(down);
}

// Artwork of the copy cursors: the arrow with a plus sign (and a second
// page for several nodes).
QCursor MakeCopyCursor(bool Multi) {
  TBitmap bitmap(32, 32);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush()->SetColor(clFuchsia);
  canvas.FillRect({0, 0, 32, 32});
  canvas.Pen()->SetColor(clBlack);
  canvas.Brush()->SetColor(clWhite);
  const Point arrow[] = {{0, 0}, {0, 15}, {4, 11}, {7, 17}, {9, 16}, {6, 10}, {11, 10}};
  canvas.Polygon(arrow);
  if (Multi) canvas.Rectangle(14, 12, 26, 24);
  canvas.Rectangle(12, 14, 24, 26);
  canvas.Brush()->SetColor(clBlack);
  canvas.FillRect({15, 19, 21, 21});
  canvas.FillRect({17, 17, 19, 23});
  QImage image = bitmap.Image().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == 0xFF00FF) image.setPixel(x, y, 0);
  return QCursor(QPixmap::fromImage(image), 0, 0);
}

}  // namespace

// ---- Check states ----

int CheckStateImage(TCheckState State, bool RadioItem) {
  static constexpr int kBox[] = {1, 2, 4, -1};
  const int image = kBox[State];
  return image < 0 || !RadioItem ? image : image + 4;
}

TCheckState CheckStateOfImage(int Image, bool RadioItem) {
  if (Image == -1) return csNone;
  if (RadioItem) Image -= 4;
  return Image == 2 ? csChecked : Image == 4 ? csGrayed : csUnchecked;
}

TImageList* CheckImages() {
  std::unique_ptr<TImageList>& slot = CheckImageSlot();
  if (slot) return slot.get();
  static constexpr std::uint32_t kParts[] = {
      0,
      DFCS_BUTTONCHECK,
      DFCS_BUTTONCHECK | DFCS_CHECKED,
      DFCS_BUTTONCHECK | DFCS_INACTIVE,
      DFCS_BUTTON3STATE | DFCS_CHECKED,
      DFCS_BUTTONRADIO,
      DFCS_BUTTONRADIO | DFCS_CHECKED,
      DFCS_BUTTONRADIO | DFCS_INACTIVE,
      DFCS_BUTTONRADIO | DFCS_INACTIVE | DFCS_CHECKED,
  };
  TBitmap strip(16 * 9, 16);
  TCanvas& canvas = strip.Canvas();
  canvas.Brush()->SetColor(clFuchsia);
  canvas.FillRect({0, 0, 16 * 9, 16});
  for (int i = 1; i < 9; ++i) {
    Rect r{16 * i + 2, 2, 16 * i + 15, 15};
    DrawFrameControl(canvas.Handle(), r, DFC_BUTTON, kParts[i]);
  }
  slot = std::make_unique<TImageList>(16, 16);
  slot->AddMasked(strip, clFuchsia);
  return slot.get();
}

void DrawTreeStartUp() {
  CheckImages();
  AddKeyHook(KeyHookValue());
  // Cursors need the GUI (a program without one has no drag to show).
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  Screen->SetCursors(crTreeDragCopy, MakeCopyCursor(false));
  Screen->SetCursors(crTreeDragMultiCopy, MakeCopyCursor(true));
}

void DrawTreeShutDown() {
  RemoveKeyHook(KeyHookValue());
  CheckImageSlot().reset();
}

int AutoScrollDirections(Point P, int Margin, int ClientWidth, int ClientHeight,
                         const TCustomTreeView::TScrollState& Horz, const TCustomTreeView::TScrollState& Vert) {
  if (P.x == 0 && P.y == 0) return 0;
  int dirs = 0;
  if (P.x < Margin && Horz.Pos > Horz.Min) dirs |= sdLeft;
  if (Horz.Page != 0 && Horz.Pos + Horz.Page - 1 < Horz.Max && P.x > ClientWidth - Margin) dirs |= sdRight;
  if (P.y < Margin && Vert.Pos > Vert.Min) dirs |= sdUp;
  if (Vert.Page != 0 && P.y > ClientHeight - Margin && Vert.Pos + Vert.Page - 1 < Vert.Max) dirs |= sdDown;
  return dirs;
}

int AutoScrollInterval(Point P, int ClientWidth, int ClientHeight) {
  const bool near = P.x >= -25 && P.x < ClientWidth + 25 && P.y >= -25 && P.y < ClientHeight + 25;
  return near ? 100 : 10;
}

// ---- TDrawNode ----

void DescribeTDrawNode(TClassInfo& Info) {
  TClassPublisher<TDrawNode> p(Info);
  p.Property<&TDrawNode::FontColor, &TDrawNode::SetFontColor>("FontColor", TypeInfos::TColor()).Default(clWindowText);
  p.Property<&TDrawNode::FontStyle, &TDrawNode::SetFontStyle>("FontStyle", TypeInfos::TFontStyles()).Default(TFontStyles{});
  p.Property<&TDrawNode::RadioItem, &TDrawNode::SetRadioItem>("RadioItem", TypeInfos::Boolean()).Default(false);
  p.Property<&TDrawNode::StateIndex, &TDrawNode::SetStateIndex>("StateIndex", TypeInfos::Integer()).Default(-1);
  p.Property<&TDrawNode::CheckState, &TDrawNode::SetCheckState>("CheckState", TypeInfos::TCheckState());
  p.Property<&TDrawNode::AllowGrayed, &TDrawNode::SetAllowGrayed>("AllowGrayed", TypeInfos::Boolean()).Default(true);
  p.Property<&TDrawNode::ParentFontStyle, &TDrawNode::SetParentFontStyle>("ParentFontStyle", TypeInfos::Boolean())
      .Default(true);
  p.Property<&TDrawNode::ParentColor, &TDrawNode::SetParentColor>("ParentColor", TypeInfos::Boolean()).Default(true);
  p.Property<&TDrawNode::NodeState, &TDrawNode::SetNodeState>("NodeState", TypeInfos::TDrawNodeStates())
      .Stored<&TDrawNode::IsNodeStateStored>();
  p.Property<&TTreeNode::Text, &TTreeNode::SetText>("Text", TypeInfos::String()).Stored(false);
  p.Property<&TTreeNode::ImageIndex, &TTreeNode::SetImageIndex>("ImageIndex", TypeInfos::Integer()).Stored(false);
  p.Property<&TTreeNode::SelectedIndex, &TTreeNode::SetSelectedIndex>("SelectedIndex", TypeInfos::Integer())
      .Stored(false);
}
KESTOVA_CLASS_INFO_DESCRIBED(TDrawNode, TTreeNode, "zrDTree", nullptr, DescribeTDrawNode)

TDrawNode::TDrawNode(TTreeNodes* AOwner) : TTreeNode(AOwner) {}

TCustomZRDrawTreeView* TDrawNode::View() const { return static_cast<TCustomZRDrawTreeView*>(TreeView()); }

bool TDrawNode::IsNodeStateStored() const { return View()->savingStates_; }

void TDrawNode::SetFontColor(TColor Value) {
  if (Value == fontColor_) return;
  fontColor_ = Value;
  parentColor_ = false;
  Repaint();
}
void TDrawNode::SetFontStyle(TFontStyles Value) {
  if (Value == fontStyle_) return;
  fontStyle_ = Value;
  parentFontStyle_ = false;
  Repaint();
}
void TDrawNode::SetParentColor(bool Value) {
  if (Value) SetFontColor(View()->Font()->Color());
  parentColor_ = Value;
}
void TDrawNode::SetParentFontStyle(bool Value) {
  if (Value) SetFontStyle(View()->Font()->Style());
  parentFontStyle_ = Value;
}

void TDrawNode::ApplyCheckImage() {
  if (ItemId() && View()->checkBoxes_) TTreeNode::SetStateIndex(CheckStateImage(checkState_, radioItem_));
}

void TDrawNode::SetCheckState(TCheckState Value) {
  TCustomZRDrawTreeView* view = View();
  if (Value == csGrayed && !(allowGrayed_ && view->allowGrayed_)) return;
  checkState_ = Value;
  ApplyCheckImage();
  if (!radioItem_ || Value == csUnchecked || !ItemId()) return;
  // One checked radio item among its siblings.
  auto isCheckedSibling = [this](TTreeNode* n) {
    auto* d = dynamic_cast<TDrawNode*>(n);
    return d && d != this && d->ItemId() && d->Parent() == Parent() && d->radioItem_ && d->checkState_ == csChecked;
  };
  TDrawNode* other = nullptr;
  if (view->lastRadio_ && isCheckedSibling(view->lastRadio_)) {
    other = view->lastRadio_;
  } else {
    TTreeNode* first = Parent() ? Parent()->GetFirstChild() : view->Items()->GetFirstNode();
    for (TTreeNode* n = first; n && !other; n = n->getNextSibling())
      if (isCheckedSibling(n)) other = static_cast<TDrawNode*>(n);
  }
  if (other) other->SetCheckState(csUnchecked);
  view->lastRadio_ = this;
}

void TDrawNode::SetStateIndex(int Value) {
  if (Value == stateIndex_) return;
  stateIndex_ = Value;
  if (!View()->checkBoxes_) TTreeNode::SetStateIndex(Value);
}

void TDrawNode::SetRadioItem(bool Value) {
  if (Value == radioItem_) return;
  radioItem_ = Value;
  SetCheckState(checkState_);
}

TDrawNodeStates TDrawNode::NodeState() const { return View()->GetNodeState(const_cast<TDrawNode*>(this)); }
void TDrawNode::SetNodeState(TDrawNodeStates Value) {
  if (ItemId()) View()->SetNodeState(this, Value);
}

// ---- TCustomZRDrawTreeView ----

void DescribeTCustomZRDrawTreeView(TClassInfo& Info) {
  TClassPublisher<TCustomZRDrawTreeView> p(Info);
  p.Property<&TCustomZRDrawTreeView::CheckBoxes, &TCustomZRDrawTreeView::SetCheckBoxes>("CheckBoxes",
                                                                                         TypeInfos::Boolean())
      .Default(false);
  p.Property<&TCustomZRDrawTreeView::AllowGrayed, &TCustomZRDrawTreeView::SetAllowGrayed>("AllowGrayed",
                                                                                           TypeInfos::Boolean())
      .Default(false);
  p.Property<&TCustomZRDrawTreeView::AutoScroll, &TCustomZRDrawTreeView::SetAutoScroll>("AutoScroll",
                                                                                         TypeInfos::Boolean())
      .Default(false);
  p.Property<&TCustomZRDrawTreeView::ExpandOnDrag, &TCustomZRDrawTreeView::SetExpandOnDrag>("ExpandOnDrag",
                                                                                             TypeInfos::Boolean())
      .Default(true);
  p.Property<&TCustomZRDrawTreeView::DragExpandDelay, &TCustomZRDrawTreeView::SetDragExpandDelay>(
       "DragExpandDelay", TypeInfos::Integer())
      .Default(100);
  p.Property<&TCustomZRDrawTreeView::Version, &TCustomZRDrawTreeView::SetVersion>("Version", TypeInfos::String())
      .Stored(false);
  AddMessageHandler<&TCustomZRDrawTreeView::CMFontChanged>(Info, CM_FONTCHANGED);
  AddMessageHandler<&TCustomZRDrawTreeView::WMLButton>(Info, WM_LBUTTONDOWN);
  AddMessageHandler<&TCustomZRDrawTreeView::WMLButton>(Info, WM_LBUTTONDBLCLK);
  AddMessageHandler<&TCustomZRDrawTreeView::WMTimer>(Info, WM_TIMER);
  AddMessageHandler<&TCustomZRDrawTreeView::CMDrag>(Info, CM_DRAG);
}
KESTOVA_CLASS_INFO_DESCRIBED(TCustomZRDrawTreeView, TCustomTreeView, "zrDTree", nullptr,
                             DescribeTCustomZRDrawTreeView)

TCustomZRDrawTreeView::TCustomZRDrawTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}

TCustomZRDrawTreeView::~TCustomZRDrawTreeView() {
  KillDragTimers();
  if (DraggingSlot() == this) DraggingSlot() = nullptr;
  lastRadio_ = nullptr;
}

TCustomZRDrawTreeView* TCustomZRDrawTreeView::DraggingView() { return DraggingSlot(); }

TImageList* TCustomZRDrawTreeView::ActiveStateImages() const {
  return checkBoxes_ ? CheckImages() : customStateImages_;
}

void TCustomZRDrawTreeView::SetStateImages(TImageList* Value) {
  customStateImages_ = Value;
  if (!checkBoxes_) TCustomTreeView::SetStateImages(Value);
}

void TCustomZRDrawTreeView::SetCheckBoxes(bool Value) {
  if (Value == checkBoxes_) return;
  checkBoxes_ = Value;
  if (!ComponentState().Contains(csLoading)) {
    for (TTreeNode* n = Items()->GetFirstNode(); n; n = n->GetNext()) {
      auto* node = static_cast<TDrawNode*>(n);
      if (Value) {
        node->stateIndex_ = node->TTreeNode::StateIndex();
        node->ApplyCheckImage();
      } else {
        node->TTreeNode::SetStateIndex(node->stateIndex_);
      }
    }
  }
  TCustomTreeView::SetStateImages(ActiveStateImages());
}

TTreeNode* TCustomZRDrawTreeView::CreateNode() {
  auto* node = new TDrawNode(Items());
  InitNode(node);
  return node;
}

void TCustomZRDrawTreeView::InitNode(TDrawNode* Node) {
  Node->fontColor_ = Font()->Color();
  Node->fontStyle_ = Font()->Style();
}

void TCustomZRDrawTreeView::NodeInserted(TTreeNode* Node) {
  if (checkBoxes_ && !ComponentState().Contains(csLoading)) Node->TTreeNode::SetStateIndex(1);
}

void TCustomZRDrawTreeView::Delete(TTreeNode* Node) {
  if (Node == editNode_) editNode_ = nullptr;
  if (Node == lastRadio_) lastRadio_ = nullptr;
  TCustomTreeView::Delete(Node);
}

void TCustomZRDrawTreeView::DoClickCheck(TDrawNode* Node) {
  if (OnClickCheck) OnClickCheck(this, Node);
}

void TCustomZRDrawTreeView::ToggleCheck(TDrawNode* Node) {
  if (ReadOnly() || !Node) return;
  const TCheckState state = CheckStateOfImage(Node->TTreeNode::StateIndex(), Node->radioItem_);
  if (!(Node->radioItem_ && state == csChecked)) {
    switch (state) {
      case csUnchecked:
        Node->SetCheckState(allowGrayed_ && Node->allowGrayed_ && !Node->radioItem_ ? csGrayed : csChecked);
        break;
      case csChecked: Node->SetCheckState(csUnchecked); break;
      case csGrayed: Node->SetCheckState(csChecked); break;
      case csNone: break;
    }
  }
  DoClickCheck(Node);
}

void TCustomZRDrawTreeView::WMLButton(TMessage& Message) {
  const int x = LParamX(Message.LParam), y = LParamY(Message.LParam);
  if (checkBoxes_ && GetHitTestInfoAt(x, y).Contains(htOnStateIcon)) {
    if (!Focused()) SetFocus();
    ToggleCheck(static_cast<TDrawNode*>(GetNodeAt(x, y)));
    return;
  }
  InheritedMessage(TCustomZRDrawTreeView::StaticClass(), Message);
}

void TCustomZRDrawTreeView::KeyPress(char32_t& Key) {
  if (Key == U' ' && checkBoxes_ && !IsEditing() && Selected()) {
    ToggleCheck(static_cast<TDrawNode*>(Selected()));
    Key = 0;
    return;
  }
  TCustomTreeView::KeyPress(Key);
}

void TCustomZRDrawTreeView::CMFontChanged(TMessage& Message) {
  InheritedMessage(TCustomZRDrawTreeView::StaticClass(), Message);
  for (TTreeNode* n = Items()->GetFirstNode(); n; n = n->GetNext()) {
    auto* node = static_cast<TDrawNode*>(n);
    if (node->parentFontStyle_) node->SetParentFontStyle(true);
    if (node->parentColor_) node->SetParentColor(true);
  }
}

// ---- Native states ----

TDrawNodeStates TCustomZRDrawTreeView::GetNodeState(TDrawNode* Node) {
  TDrawNodeStates states;
  for (int s = msCut; s <= msExpanded; ++s)
    if (Node->GetState(static_cast<TNodeItemState>(s))) states.Include(static_cast<TDrawNodeState>(s));
  return states;
}
void TCustomZRDrawTreeView::SetNodeStateFlag(TDrawNode* Node, TDrawNodeState State, bool On) {
  Node->SetState(static_cast<TNodeItemState>(State), On);
}
void TCustomZRDrawTreeView::SetNodeState(TDrawNode* Node, TDrawNodeStates States) {
  for (int s = msCut; s <= msExpanded; ++s) {
    const auto state = static_cast<TDrawNodeState>(s);
    if (Node->GetState(static_cast<TNodeItemState>(s)) != States.Contains(state))
      SetNodeStateFlag(Node, state, States.Contains(state));
  }
}

// ---- Stored node attributes ----

bool TCustomZRDrawTreeView::HasNodes() { return Items()->GetFirstNode() != nullptr; }

void TCustomZRDrawTreeView::DefineProperties(TFiler* Filer) {
  TCustomTreeView::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "DrawData", [this](TStream& Stream) { ReadDrawData(Stream); },
      [this](TStream& Stream) { WriteDrawData(Stream, false); }, HasNodes());
}

void TCustomZRDrawTreeView::WriteDrawData(TStream& Stream, bool States) {
  savingStates_ = States;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{savingStates_};
  for (TTreeNode* n = Items()->GetFirstNode(); n; n = n->GetNext()) WriteObjectBinary(Stream, n);
}

void TCustomZRDrawTreeView::ReadDrawData(TStream& Stream) {
  // Entries apply to the nodes in tree order; entries beyond the last node
  // are read into a node outside the tree and dropped.
  TDrawNode spare(Items());
  TTreeNode* node = Items()->GetFirstNode();
  while (Stream.Position() < Stream.Size()) {
    ReadObjectBinary(Stream, node ? node : &spare);
    if (node) node = node->GetNext();
  }
}

void TCustomZRDrawTreeView::DestroyWnd() {
  if (HandleAllocated() && HasNodes()) {
    savedNodes_ = std::make_unique<TMemoryStream>();
    WriteDrawData(*savedNodes_, true);
  }
  KillDragTimers();
  lastRadio_ = nullptr;
  TCustomTreeView::DestroyWnd();
}

void TCustomZRDrawTreeView::CreateWnd() {
  TCustomTreeView::CreateWnd();
  TCustomTreeView::SetStateImages(ActiveStateImages());
  if (savedNodes_) {
    std::unique_ptr<TMemoryStream> saved = std::move(savedNodes_);
    saved->SetPosition(0);
    ReadDrawData(*saved);
  }
}

// ---- Drawing ----

bool TCustomZRDrawTreeView::IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage) {
  if (Target == dtItem) return Stage == cdPrePaint;
  return TCustomTreeView::IsCustomDrawn(Target, Stage);
}

bool TCustomZRDrawTreeView::CustomDrawItem(TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage,
                                           bool& PaintImages) {
  TCanvas& canvas = Canvas();
  auto* node = static_cast<TDrawNode*>(Node);
  canvasChanged_ = false;
  const TNotifyEvent fontChange = canvas.Font()->OnChange, brushChange = canvas.Brush()->OnChange;
  canvas.Font()->OnChange = TNotifyEvent::Of<&TCustomZRDrawTreeView::CanvasChanged>(*this);
  canvas.Brush()->OnChange = TNotifyEvent::Of<&TCustomZRDrawTreeView::CanvasChanged>(*this);
  struct Restore {
    TCanvas& canvas;
    TNotifyEvent font, brush;
    ~Restore() {
      canvas.Font()->OnChange = font;
      canvas.Brush()->OnChange = brush;
    }
  } restore{canvas, fontChange, brushChange};

  const bool selected = State.Contains(cdsSelected);
  // A hot node keeps the hot-tracking colour the view gave it.
  if (!(selected && Focused()) && !State.Contains(cdsHot)) canvas.Font()->SetColor(node->fontColor_);
  TFontStyles style = canvas.Font()->Style();
  for (int s = 0; s < 4; ++s)
    if (node->fontStyle_.Contains(static_cast<TFontStyle>(s))) style.Include(static_cast<TFontStyle>(s));
  canvas.Font()->SetStyle(style);
  if ((selected || State.Contains(cdsMarked)) && (canvasChanged_ || OnCustomDrawItem)) {
    if (Focused() || State.Contains(cdsMarked)) {
      canvas.Brush()->SetColor(clHighlight);
      canvas.Font()->SetColor(clHighlightText);
    } else {
      canvas.Brush()->SetColor(clBtnFace);
    }
  }
  return TCustomTreeView::CustomDrawItem(Node, State, Stage, PaintImages);
}

// ---- Caption editing ----

bool TCustomZRDrawTreeView::CanEdit(TTreeNode* Node) {
  if (withinBeginEdit_) return editNode_ != nullptr;
  return TCustomTreeView::CanEdit(Node);
}

bool TCustomZRDrawTreeView::BeginLabelEdit(TTreeNode* Node) {
  withinBeginEdit_ = true;
  editNode_ = nullptr;
  if (!Dragging() && TCustomTreeView::CanEdit(Node)) editNode_ = static_cast<TDrawNode*>(Node);
  const bool result = TCustomTreeView::BeginLabelEdit(Node);
  withinBeginEdit_ = false;
  if (!result) {
    editNode_ = nullptr;
    return false;
  }
  editWindow_ = EditWindow();
  editWindowProc_ = editWindow_->WindowProc;
  editWindow_->WindowProc = TWndMethod::Of<&TCustomZRDrawTreeView::EditorWndProc>(*this);
  return true;
}

void TCustomZRDrawTreeView::EditorWndProc(TMessage& Message) {
  // The caption behind the editor is drawn again wherever the editor goes.
  if ((Message.Msg == WM_MOVE || Message.Msg == WM_SIZE) && editNode_) {
    const Rect r = editNode_->DisplayRect(true);
    TreeWidget()->viewport()->update(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  editWindowProc_(Message);
}

void TCustomZRDrawTreeView::EndLabelEdit(TTreeNode* Node) {
  if (editWindow_) editWindow_->WindowProc = editWindowProc_;
  editWindow_ = nullptr;
  editNode_ = nullptr;
  TCustomTreeView::EndLabelEdit(Node);
}

// ---- Dragging ----

void TCustomZRDrawTreeView::DoStartDrag(TDragObject*& DragObject) {
  TCustomTreeView::DoStartDrag(DragObject);
  DraggingSlot() = this;
  savedCursor_ = Screen->Cursor();
}

void TCustomZRDrawTreeView::DoEndDrag(TObject* Target, int X, int Y) {
  TCustomTreeView::DoEndDrag(Target, X, Y);
  if (DraggingSlot() == this) DraggingSlot() = nullptr;
  Screen->SetCursor(savedCursor_);
}

void TCustomZRDrawTreeView::UpdateDragCursor(bool CtrlDown) {
  const TCursorValue present = Screen->Cursor();
  const bool dragCursor = present == crDrag || present == crMultiDrag || present == crTreeDragCopy ||
                          present == crTreeDragMultiCopy;
  TCursorValue wanted;
  if (CtrlDown && dragCursor)
    wanted = multiDrag_ ? crTreeDragMultiCopy : crTreeDragCopy;
  else
    wanted = multiDrag_ ? crMultiDrag : crDrag;
  if (wanted == DragCursor()) return;
  SetDragCursor(wanted);
  Screen->SetCursor(wanted);
}

Point TCustomZRDrawTreeView::CursorClientPos() const {
  const Point screen = Screen->CursorPos();
  const QPoint p = TreeWidget()->viewport()->mapFromGlobal(
      QPoint(static_cast<int>(screen.x), static_cast<int>(screen.y)));
  return {p.x(), p.y()};
}

void TCustomZRDrawTreeView::KillDragTimers() {
  if (expandTimerRunning_) KillTimer(kExpandTimer);
  if (scrollTimerRunning_) KillTimer(kScrollTimer);
  expandTimerRunning_ = scrollTimerRunning_ = false;
}

void TCustomZRDrawTreeView::CMDrag(TMessage& Message) {
  InheritedMessage(TCustomZRDrawTreeView::StaticClass(), Message);
  const auto* rec = reinterpret_cast<const TDragRec*>(Message.LParam);
  switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter:
    case dmDragMove: {
      const Point p = DragClientPos(Message);
      if (autoScroll_) CheckAutoScroll(p);
      dragObject_ = rec->Source;
      if (expandTimerRunning_) {
        KillTimer(kExpandTimer);
        expandTimerRunning_ = false;
      }
      if (expandOnDrag_) {
        TTreeNode* node = GetNodeAt(static_cast<int>(p.x), static_cast<int>(p.y));
        if (node && node->HasChildren() && !node->Expanded()) {
          SetTimer(kExpandTimer, dragExpandDelay_);
          expandTimerRunning_ = true;
        }
      }
      break;
    }
    case dmFindTarget:
      break;
    default:
      dragObject_ = nullptr;
      KillDragTimers();
      break;
  }
}

Rect TCustomZRDrawTreeView::ClientItemsRect() const {
  const QWidget* viewport = TreeWidget()->viewport();
  return {0, 0, viewport->width(), viewport->height()};
}

Point TCustomZRDrawTreeView::DragClientPos(TMessage& Message) const {
  const auto* rec = reinterpret_cast<const TDragRec*>(Message.LParam);
  const QPoint q = TreeWidget()->viewport()->mapFromGlobal(rec->Pos);
  return {q.x(), q.y()};
}

void TCustomZRDrawTreeView::CheckAutoScroll(Point P) {
  const int margin = 2 * std::abs(Font()->Size());
  const QWidget* viewport = TreeWidget()->viewport();
  scrollDirections_ = AutoScrollDirections(P, margin, viewport->width(), viewport->height(),
                                           ScrollState(TScrollAxis::Horizontal), ScrollState(TScrollAxis::Vertical));
  if (scrollDirections_ == 0) return;
  SetTimer(kScrollTimer, AutoScrollInterval(P, viewport->width(), viewport->height()));
  scrollTimerRunning_ = true;
}

void TCustomZRDrawTreeView::AutoScrollTick() {
  const Point p = CursorClientPos();
  const int margin = 2 * std::abs(Font()->Size());
  const QWidget* viewport = TreeWidget()->viewport();
  const TScrollState h = ScrollState(TScrollAxis::Horizontal), v = ScrollState(TScrollAxis::Vertical);
  scrollDirections_ = AutoScrollDirections(p, margin, viewport->width(), viewport->height(), h, v);
  if (scrollDirections_ == 0) {
    KillTimer(kScrollTimer);
    scrollTimerRunning_ = false;
    return;
  }
  scrollingByTimer_ = true;
  if (scrollDirections_ & sdLeft) ScrollLine(TScrollAxis::Horizontal, -1);
  if (scrollDirections_ & sdRight) ScrollLine(TScrollAxis::Horizontal, 1);
  if (scrollDirections_ & sdUp) ScrollLine(TScrollAxis::Vertical, -1);
  if (scrollDirections_ & sdDown) ScrollLine(TScrollAxis::Vertical, 1);
  scrollingByTimer_ = false;
  // In pixels the items moved: a line is the view's line height, which the
  // font size only approximates.
  scrollDeltaX_ = ScrollUnit(TScrollAxis::Horizontal) * (h.Pos - ScrollState(TScrollAxis::Horizontal).Pos);
  scrollDeltaY_ = ScrollUnit(TScrollAxis::Vertical) * (v.Pos - ScrollState(TScrollAxis::Vertical).Pos);
}

void TCustomZRDrawTreeView::ExpandTimerTick() {
  KillTimer(kExpandTimer);
  expandTimerRunning_ = false;
  if (!expandOnDrag_) return;
  const Point p = CursorClientPos();
  TTreeNode* node = GetNodeAt(static_cast<int>(p.x), static_cast<int>(p.y));
  if (node && node->HasChildren() && !node->Expanded()) {
    node->Expand(false);
    TreeWidget()->viewport()->repaint();
  }
}

void TCustomZRDrawTreeView::WMTimer(TMessage& Message) {
  if (Message.WParam == kExpandTimer) {
    ExpandTimerTick();
  } else if (Message.WParam == kScrollTimer) {
    AutoScrollTick();
  } else {
    InheritedMessage(TCustomZRDrawTreeView::StaticClass(), Message);
  }
}
