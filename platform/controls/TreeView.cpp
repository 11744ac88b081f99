// TCustomTreeView: the window (a forwarding QTreeWidget), the delegate that
// draws and edits items, hit tests, expanding and re-creation.

#include "platform/controls/TreeView.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPaintEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTreeWidgetItem>

#include "platform/classes/TypInfoPublish.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/controls/ControlWindow.h"
#include "platform/controls/EditCtrls.h"
#include "platform/controls/HintWindow.h"
#include "platform/controls/Hints.h"
#include "platform/controls/ScrollBars.h"
#include "platform/controls/ScrollBars_p.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/PainterContext.h"
#include "platform/graphics/QtGraphics.h"

namespace {
constexpr int kNodeRole = Qt::UserRole + 1;
constexpr int kLabelMargin = 2;  // pixels either side of a caption
}  // namespace

// The window: mouse events of the viewport (where Qt delivers them) go to
// the control as well, and back to the viewport's handling by default.
class TTreeWindow final : public QTreeWidget, public TControlWindowBase {
 public:
  TTreeWindow(TWinControl* Control, QWidget* Parent) : QTreeWidget(Parent), TControlWindowBase(Control) {}
  QWidget* Widget() override { return this; }
  bool BaseEvent(QEvent* Event) override {
    return Event == viewportEvent_ ? QTreeWidget::viewportEvent(Event) : QTreeWidget::event(Event);
  }
  bool BaseFocusNextPrevChild(bool Next) override { return QTreeWidget::focusNextPrevChild(Next); }
  using QTreeWidget::indexFromItem;

 protected:
  void drawBranches(QPainter* Painter, const QRect& Rect, const QModelIndex& Index) const override {
    auto* view = static_cast<TCustomTreeView*>(Control());
    TTreeNode* node = TCustomTreeView::NodeOfItem(itemFromIndex(Index));
    if (view && node) view->DrawBranches(*Painter, Rect, node);
  }
  bool event(QEvent* Event) override { return TControlWindowBase::Event(Event); }
  bool focusNextPrevChild(bool Next) override { return FocusMoveAllowed() && QTreeWidget::focusNextPrevChild(Next); }
  bool viewportEvent(QEvent* Event) override {
    switch (Event->type()) {
      case QEvent::MouseButtonPress:
        if (auto* view = static_cast<TCustomTreeView*>(Control())) view->contextMenuShown_ = false;
        [[fallthrough]];
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove: {
        QEvent* outer = std::exchange(viewportEvent_, Event);
        const bool result = TControlWindowBase::Event(Event);
        viewportEvent_ = outer;
        return result;
      }
      case QEvent::Paint: {
        auto* view = static_cast<TCustomTreeView*>(Control());
        if (view && !view->PaintControlPrePaint()) return true;
        const bool result = QTreeWidget::viewportEvent(Event);
        if (view && !view->overlay_.Empty()) {
          QPainter painter(viewport());
          view->overlay_.Play(painter, QRectF(static_cast<QPaintEvent*>(Event)->rect()));
        }
        return result;
      }
      case QEvent::ContextMenu:
        // The right press asked for the pop-up already.
        if (auto* view = static_cast<TCustomTreeView*>(Control());
            view && static_cast<QContextMenuEvent*>(Event)->reason() == QContextMenuEvent::Mouse &&
            view->TakeContextMenuRequest()) {
          Event->accept();
          return true;
        }
        return QTreeWidget::viewportEvent(Event);
      case QEvent::Leave:
        if (auto* view = static_cast<TCustomTreeView*>(Control())) view->SetHotNode(nullptr);
        return QTreeWidget::viewportEvent(Event);
      default:
        return QTreeWidget::viewportEvent(Event);
    }
  }

 private:
  QEvent* viewportEvent_ = nullptr;
};

// Draws items through the view and makes the caption editor.
class TTreeItemDelegate final : public QStyledItemDelegate {
 public:
  TTreeItemDelegate(TCustomTreeView* View, QObject* Parent) : QStyledItemDelegate(Parent), view_(View) {}

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    if (TTreeNode* node = NodeOf(Index)) view_->DrawItem(*Painter, Option, node);
  }
  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    const TTreeNode* node = NodeOf(Index);
    const TCustomTreeView::TItemLayout l = node ? view_->Layout(node) : TCustomTreeView::TItemLayout{};
    return {std::max(l.LabelRight - l.StateLeft, 1), view_->ItemHeight()};
  }
  QWidget* createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex& Index) const override {
    TTreeNode* node = NodeOf(Index);
    if (!node || view_->editControl_) return nullptr;
    auto* edit = new TEdit(nullptr);
    edit->SetParent(view_);
    view_->editControl_ = edit;
    view_->editNode_ = node;
    edit->SetText(node->Text());
    if (!view_->BeginLabelEdit(node)) {
      view_->editControl_ = nullptr;
      view_->editNode_ = nullptr;
      edit->Free();
      return nullptr;
    }
    return edit->Handle();
  }
  void setEditorData(QWidget*, const QModelIndex&) const override {}
  void setModelData(QWidget* Editor, QAbstractItemModel*, const QModelIndex& Index) const override {
    if (TTreeNode* node = NodeOf(Index))
      view_->EditorCommitted(node, static_cast<QLineEdit*>(Editor)->text().toStdString());
  }
  void updateEditorGeometry(QWidget*, const QStyleOptionViewItem&, const QModelIndex& Index) const override {
    TTreeNode* node = NodeOf(Index);
    if (!node || !view_->editControl_) return;
    const TCustomTreeView::TItemLayout l = view_->Layout(node);
    const QPoint at = view_->TreeWidget()->viewport()->mapToParent(QPoint(l.LabelLeft, l.Line.top));
    view_->editControl_->SetBounds(at.x(), at.y(), std::max(l.LabelRight - l.LabelLeft, 40) + 8,
                                   l.Line.bottom - l.Line.top);
  }
  void destroyEditor(QWidget*, const QModelIndex&) const override { view_->EditorGone(); }

 private:
  static TTreeNode* NodeOf(const QModelIndex& Index) {
    return reinterpret_cast<TTreeNode*>(Index.data(kNodeRole).value<quintptr>());
  }
  TCustomTreeView* view_;
};

void DescribeTCustomTreeView(TClassInfo& Info) {
  TClassPublisher<TCustomTreeView> p(Info);
  p.Property<&TCustomTreeView::Items, &TCustomTreeView::SetItems>("Items", ClassTypeInfo(TTreeNodes::StaticClass()));
  p.Property<&TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly>("ReadOnly", TypeInfos::Boolean()).Default(false);
  p.Property<&TCustomTreeView::Indent, &TCustomTreeView::SetIndent>("Indent", TypeInfos::Integer()).Default(19);
  p.Property<&TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons>("ShowButtons", TypeInfos::Boolean())
      .Default(true);
  p.Property<&TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot>("ShowRoot", TypeInfos::Boolean()).Default(true);
  p.Property<&TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection>("HideSelection",
                                                                                 TypeInfos::Boolean())
      .Default(true);
  p.Property<&TCustomTreeView::RightClickSelect, &TCustomTreeView::SetRightClickSelect>("RightClickSelect",
                                                                                       TypeInfos::Boolean())
      .Default(false);
  p.Property<&TCustomTreeView::HotTrack, &TCustomTreeView::SetHotTrack>("HotTrack", TypeInfos::Boolean())
      .Default(false);
  p.Property<&TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines>("ShowLines", TypeInfos::Boolean())
      .Default(true);
  p.Property<&TCustomTreeView::ToolTips, &TCustomTreeView::SetToolTips>("ToolTips", TypeInfos::Boolean())
      .Default(true);
  p.Property<&TCustomTreeView::RowSelect, &TCustomTreeView::SetRowSelect>("RowSelect", TypeInfos::Boolean())
      .Default(false);
  p.Property<&TCustomTreeView::AutoExpand, &TCustomTreeView::SetAutoExpand>("AutoExpand", TypeInfos::Boolean())
      .Default(false);
  p.Property<&TCustomTreeView::ChangeDelay, &TCustomTreeView::SetChangeDelay>("ChangeDelay", TypeInfos::Integer())
      .Default(0);
  p.Property<&TCustomTreeView::BorderStyle, &TCustomTreeView::SetBorderStyle>("BorderStyle",
                                                                             TypeInfos::TBorderStyle())
      .Default(bsSingle);
  AddMessageHandler<&TCustomTreeView::CMFontChanged>(Info, CM_FONTCHANGED);
  AddMessageHandler<&TCustomTreeView::WMMouseMove>(Info, WM_MOUSEMOVE);
  AddMessageHandler<&TCustomTreeView::WMSetCursor>(Info, WM_SETCURSOR);
  AddMessageHandler<&TCustomTreeView::CMMouseLeave>(Info, CM_MOUSELEAVE);
  AddMessageHandler<&TCustomTreeView::WMScroll>(Info, WM_HSCROLL);
  AddMessageHandler<&TCustomTreeView::WMScroll>(Info, WM_VSCROLL);
  AddMessageHandler<&TCustomTreeView::WMTimer>(Info, WM_TIMER);
  AddMessageHandler<&TCustomTreeView::CMHintShow>(Info, CM_HINTSHOW);
}
KESTOVA_CLASS_INFO_DESCRIBED(TCustomTreeView, TWinControl, "ComCtrls", nullptr, DescribeTCustomTreeView)
KESTOVA_CLASS_INFO(TTreeView, TCustomTreeView, "ComCtrls", MakeComponent<TTreeView>)

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner), items_(std::make_unique<TTreeNodes>(this)) {
  SetBounds(0, 0, 121, 97);
  // A box of its own, as list boxes are: not the parent's colour.
  SetParentColor(false);
  SetColor(clWindow);
  // ToolTips is on from the start.
  ListenForHints();
}

TCustomTreeView::~TCustomTreeView() {
  if (editControl_) std::exchange(editControl_, nullptr)->Free();
  // Nodes go before the window; derived parts are gone, so the view's
  // Delete is not told.
  if (HandleAllocated()) {
    QTreeWidget* tree = TreeWidget();
    std::vector<TTreeNode*> nodes;
    for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) nodes.push_back(n);
    tree->clear();
    for (TTreeNode* n : nodes) delete n;
  }
}

void TCustomTreeView::SetItems(TTreeNodes* Value) {
  if (Value == items_.get() || !Value) return;
  TMemoryStream stream;
  Value->WriteData(stream);
  stream.SetPosition(0);
  items_->Clear();
  items_->ReadData(stream);
}

TTreeNode* TCustomTreeView::NodeOfItem(QTreeWidgetItem* Item) {
  return Item ? reinterpret_cast<TTreeNode*>(Item->data(0, kNodeRole).value<quintptr>()) : nullptr;
}

QTreeWidget* TCustomTreeView::TreeWidget() const {
  return static_cast<QTreeWidget*>(const_cast<TCustomTreeView*>(this)->Handle());
}

TControlWindowBase* TCustomTreeView::CreateWindowWidget(QWidget* Parent) {
  auto* window = new TTreeWindow(this, Parent);
  window->setFocusPolicy(Qt::StrongFocus);
  return window;
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  QTreeWidget* tree = TreeWidget();
  tree->setColumnCount(1);
  tree->setHeaderHidden(true);
  tree->setUniformRowHeights(true);
  // With kept marks the view sets every mark itself (CurrentItemChanged).
  tree->setSelectionMode(keepMarks_ ? QAbstractItemView::NoSelection : QAbstractItemView::SingleSelection);
  tree->setAutoScroll(false);
  tree->setItemDelegate(new TTreeItemDelegate(this, tree));
  tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tree->header()->setStretchLastSection(false);
  QObject::connect(tree, &QTreeWidget::itemExpanded, tree, [this](QTreeWidgetItem* i) { ItemExpandedByUser(i, true); });
  QObject::connect(tree, &QTreeWidget::itemCollapsed, tree,
                   [this](QTreeWidgetItem* i) { ItemExpandedByUser(i, false); });
  QObject::connect(tree, &QTreeWidget::currentItemChanged, tree,
                   [this](QTreeWidgetItem* c, QTreeWidgetItem* p) { CurrentItemChanged(c, p); });
  QObject::connect(tree->horizontalScrollBar(), &QAbstractSlider::actionTriggered, tree,
                   [this](int action) { ScrollBarAction(TScrollAxis::Horizontal, action); });
  QObject::connect(tree->verticalScrollBar(), &QAbstractSlider::actionTriggered, tree,
                   [this](int action) { ScrollBarAction(TScrollAxis::Vertical, action); });
  // Moves without a button reach the control over the items too.
  tree->viewport()->setMouseTracking(true);
  ApplyOptions();
  if (savedNodes_) {
    std::unique_ptr<TMemoryStream> saved = std::move(savedNodes_);
    saved->SetPosition(0);
    items_->ReadData(*saved);
    recreating_ = false;
  }
}

void TCustomTreeView::DestroyWnd() {
  hotNode_ = nullptr;
  if (HandleAllocated()) {
    if (editControl_) std::exchange(editControl_, nullptr)->Free();
    editNode_ = nullptr;
    if (items_->GetFirstNode()) {
      savedNodes_ = std::make_unique<TMemoryStream>();
      items_->WriteData(*savedNodes_);
      recreating_ = true;
      items_->Clear();
    }
  }
  TWinControl::DestroyWnd();
}

void TCustomTreeView::ApplyOptions() {
  if (!HandleAllocated()) return;
  QTreeWidget* tree = TreeWidget();
  // The top level has a column of its own for its buttons or its lines.
  tree->setRootIsDecorated(showRoot_ && (showButtons_ || showLines_));
  tree->setFrameShape(borderStyle_ == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
  tree->setIndentation(indent_);
  tree->setEditTriggers(readOnly_ ? QAbstractItemView::NoEditTriggers
                                  : QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  tree->setFont(QFontOf(Font()->Data()));
  QPalette pal = tree->palette();
  pal.setColor(QPalette::Base, QColorOf(Color()));
  // The delegate marks the selected caption; the indent before it stays
  // plain.
  pal.setColor(QPalette::Highlight, QColorOf(Color()));
  tree->setPalette(pal);
  tree->doItemsLayout();
}

void TCustomTreeView::CMFontChanged(TMessage& Message) {
  InheritedMessage(TCustomTreeView::StaticClass(), Message);
  ApplyOptions();
}

void TCustomTreeView::SetImages(TImageList* Value) {
  images_ = Value;
  if (HandleAllocated()) TreeWidget()->doItemsLayout();
}
void TCustomTreeView::SetStateImages(TImageList* Value) {
  stateImages_ = Value;
  if (HandleAllocated()) TreeWidget()->doItemsLayout();
}
void TCustomTreeView::SetReadOnly(bool Value) {
  readOnly_ = Value;
  ApplyOptions();
}
void TCustomTreeView::SetHideSelection(bool Value) {
  hideSelection_ = Value;
  Invalidate();
}
void TCustomTreeView::SetShowButtons(bool Value) {
  showButtons_ = Value;
  ApplyOptions();
}
void TCustomTreeView::SetShowRoot(bool Value) {
  showRoot_ = Value;
  ApplyOptions();
}
void TCustomTreeView::SetShowLines(bool Value) {
  showLines_ = Value;
  ApplyOptions();
}
void TCustomTreeView::SetToolTips(bool Value) {
  toolTips_ = Value;
  if (Value) ListenForHints();
}
void TCustomTreeView::SetRowSelect(bool Value) {
  rowSelect_ = Value;
  Invalidate();
}
void TCustomTreeView::SetChangeDelay(int Value) { changeDelay_ = std::max(Value, 0); }
void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
  borderStyle_ = Value == bsNone ? bsNone : bsSingle;
  ApplyOptions();
}
void TCustomTreeView::SetIndent(int Value) {
  indent_ = std::max(Value, 0);
  ApplyOptions();
}

TTreeNode* TCustomTreeView::CreateNode() { return new TTreeNode(items_.get()); }

TTreeNode* TCustomTreeView::Selected() const {
  if (!HandleAllocated()) return nullptr;
  if (keepMarks_) return NodeOfItem(TreeWidget()->currentItem());
  const QList<QTreeWidgetItem*> items = TreeWidget()->selectedItems();
  return items.isEmpty() ? nullptr : NodeOfItem(items.front());
}
void TCustomTreeView::SetSelected(TTreeNode* Value) {
  if (!Value) {
    if (HandleAllocated() && keepMarks_)
      TreeWidget()->setCurrentItem(nullptr);
    else if (HandleAllocated())
      TreeWidget()->clearSelection();
    return;
  }
  TreeWidget()->setCurrentItem(Value->item_);
  Value->item_->setSelected(true);
}
TTreeNode* TCustomTreeView::DropTarget() const {
  for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext())
    if (n->dropTarget_) return n;
  return nullptr;
}
void TCustomTreeView::SetDropTarget(TTreeNode* Value) {
  for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) n->dropTarget_ = n == Value;
  if (HandleAllocated()) TreeWidget()->viewport()->update();
}
TTreeNode* TCustomTreeView::TopItem() const {
  return HandleAllocated() ? NodeOfItem(TreeWidget()->itemAt(0, 0)) : nullptr;
}

// ---- Expanding ----

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  bool allow = true;
  if (OnExpanding) OnExpanding(this, Node, allow);
  return allow;
}
void TCustomTreeView::Expand(TTreeNode* Node) {
  if (OnExpanded) OnExpanded(this, Node);
}
bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  bool allow = true;
  if (OnCollapsing) OnCollapsing(this, Node, allow);
  return allow;
}
void TCustomTreeView::Collapse(TTreeNode* Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}

void TCustomTreeView::SetNodeExpanded(TTreeNode* Node, bool Value) {
  if (!Node->item_ || Node->item_->isExpanded() == Value) return;
  if (Value ? !CanExpand(Node) : !CanCollapse(Node)) return;
  ++expandGuard_;
  Node->item_->setExpanded(Value);
  --expandGuard_;
  if (Value)
    Expand(Node);
  else
    Collapse(Node);
}

// Qt has changed the item already: a veto puts it back.
void TCustomTreeView::ItemExpandedByUser(QTreeWidgetItem* Item, bool Expanded) {
  if (expandGuard_ > 0) return;
  TTreeNode* node = NodeOfItem(Item);
  if (!node) return;
  if (Expanded ? !CanExpand(node) : !CanCollapse(node)) {
    ++expandGuard_;
    Item->setExpanded(!Expanded);
    --expandGuard_;
    return;
  }
  if (Expanded)
    Expand(node);
  else
    Collapse(node);
}

void TCustomTreeView::FullExpand() {
  for (TTreeNode* n = items_->GetFirstNode(); n; n = n->getNextSibling()) n->Expand(true);
}
void TCustomTreeView::FullCollapse() {
  for (TTreeNode* n = items_->GetFirstNode(); n; n = n->getNextSibling()) n->Collapse(true);
}

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  bool allow = true;
  if (OnChanging) OnChanging(this, Node, allow);
  return allow;
}
void TCustomTreeView::Change(TTreeNode* Node) {
  if (OnChange) OnChange(this, Node);
}
void TCustomTreeView::SelectionChanged(TTreeNode* Node, TTreeNode*) {
  if (changeDelay_ <= 0 || !HandleAllocated()) {
    Change(Node);
    return;
  }
  // Each move starts the wait again: a burst reports once.
  changePending_ = true;
  SetTimer(kChangeDelayTimer, changeDelay_);
}

void TCustomTreeView::WMTimer(TMessage& Message) {
  if (Message.WParam != kChangeDelayTimer) {
    InheritedMessage(TCustomTreeView::StaticClass(), Message);
    return;
  }
  KillTimer(kChangeDelayTimer);
  // The node selected now: the one of the last move may be gone.
  if (std::exchange(changePending_, false)) Change(Selected());
}

void TCustomTreeView::CurrentItemChanged(QTreeWidgetItem* Current, QTreeWidgetItem* Previous) {
  if (keepMarks_) {
    if (Previous) Previous->setSelected(false);
    if (Current) Current->setSelected(true);
  }
  if (recreating_) return;
  TTreeNode* node = NodeOfItem(Current);
  TTreeNode* previous = NodeOfItem(Previous);
  if (autoExpand_) AutoExpandTo(node, previous);
  SelectionChanged(node, previous);
}

void TCustomTreeView::AutoExpandTo(TTreeNode* Node, TTreeNode* Previous) {
  auto isAncestorOrSelf = [](const TTreeNode* A, const TTreeNode* Of) {
    for (const TTreeNode* n = Of; n; n = n->Parent())
      if (n == A) return true;
    return false;
  };
  // A node being deleted has no item any more.
  if (Previous && Previous->item_)
    for (TTreeNode* n = Previous; n && !isAncestorOrSelf(n, Node); n = n->Parent()) SetNodeExpanded(n, false);
  if (Node && Node->item_ && Node->HasChildren()) SetNodeExpanded(Node, true);
}

void TCustomTreeView::DrawOverlay(const OverlayJournal::DrawProc& Draw) {
  overlay_.Draw(Draw);
  if (HandleAllocated()) TreeWidget()->viewport()->update();
}

void TCustomTreeView::Delete(TTreeNode* Node) {
  if (Node == editNode_) editNode_ = nullptr;
  if (!recreating_ && OnDeletion) OnDeletion(this, Node);
}

// ---- Editing ----

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
  bool allow = true;
  if (OnEditing) OnEditing(this, Node, allow);
  return allow;
}
void TCustomTreeView::Edit(TTreeNode* Node, std::string& S) {
  if (OnEdited) OnEdited(this, Node, S);
}
bool TCustomTreeView::BeginLabelEdit(TTreeNode* Node) { return !readOnly_ && !Dragging() && CanEdit(Node); }
void TCustomTreeView::EndLabelEdit(TTreeNode*) {}

void TCustomTreeView::EditorCommitted(TTreeNode* Node, const std::string& Text) {
  std::string s = Text;
  Edit(Node, s);
  if (Node->item_) Node->SetText(s);
}

void TCustomTreeView::EditorGone() {
  TWinControl* edit = std::exchange(editControl_, nullptr);
  TTreeNode* node = std::exchange(editNode_, nullptr);
  EndLabelEdit(node);
  if (edit) edit->Free();
}

// ---- Layout and hit tests ----

int TCustomTreeView::ItemHeight() const {
  const QFontMetrics metrics(QFontOf(Font()->Data()));
  int h = metrics.height() + 2;
  if (images_) h = std::max(h, images_->Height() + 1);
  if (stateImages_) h = std::max(h, stateImages_->Height() + 1);
  return h;
}

TCustomTreeView::TItemLayout TCustomTreeView::Layout(const TTreeNode* Node) const {
  TItemLayout l;
  QTreeWidget* tree = TreeWidget();
  const QRect r = tree->visualItemRect(Node->item_);
  l.Line = {0, r.top(), std::max(tree->viewport()->width(), r.right() + 1), r.bottom() + 1};
  l.StateLeft = r.left();
  l.ImageLeft = l.StateLeft + (stateImages_ ? stateImages_->Width() : 0);
  l.LabelLeft = l.ImageLeft + (images_ ? images_->Width() + 1 : 0);
  QFont font = QFontOf(Font()->Data());
  if (Node->bold_) font.setBold(true);
  l.LabelRight = l.LabelLeft + QFontMetrics(font).horizontalAdvance(QString::fromStdString(Node->text_)) +
                 2 * kLabelMargin;
  return l;
}

// The window finds items only within its column; a line spans the view.
QTreeWidgetItem* TCustomTreeView::LineItemAt(int Y) const {
  QTreeWidget* tree = TreeWidget();
  return tree->itemAt(std::max(tree->header()->sectionViewportPosition(0), 0), Y);
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) const {
  const THitTests hit = GetHitTestInfoAt(X, Y);
  const bool line = rowSelect_ && (hit.Contains(htOnIndent) || hit.Contains(htOnRight));
  if (!hit.Contains(htOnItem) && !hit.Contains(htOnButton) && !line) return nullptr;
  return NodeOfItem(LineItemAt(Y));
}

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y) const {
  THitTests hit;
  QTreeWidget* tree = TreeWidget();
  const QWidget* viewport = tree->viewport();
  if (X < 0) hit.Include(htToLeft);
  if (X >= viewport->width()) hit.Include(htToRight);
  if (Y < 0) hit.Include(htAbove);
  if (Y >= viewport->height()) hit.Include(htBelow);
  if (hit != THitTests{}) return hit;
  const TTreeNode* node = NodeOfItem(LineItemAt(Y));
  if (!node) return {htNowhere};
  const TItemLayout l = Layout(node);
  if (X < l.StateLeft) {
    const bool button = showButtons_ && node->HasChildren() && X >= l.StateLeft - tree->indentation() &&
                        (node->Parent() || showRoot_);
    return {button ? htOnButton : htOnIndent};
  }
  if (X < l.ImageLeft) return node->stateIndex_ >= 0 ? THitTests{htOnStateIcon, htOnItem} : THitTests{htOnIndent};
  if (X < l.LabelLeft) return {htOnIcon, htOnItem};
  if (X < l.LabelRight) return {htOnLabel, htOnItem};
  return {htOnRight};
}

TCustomTreeView::TScrollState TCustomTreeView::ScrollState(TScrollAxis Axis) const {
  const QScrollBar* bar = Axis == TScrollAxis::Horizontal ? TreeWidget()->horizontalScrollBar()
                                                          : TreeWidget()->verticalScrollBar();
  TScrollState s;
  s.Min = bar->minimum();
  s.Pos = bar->value();
  if (bar->maximum() > bar->minimum()) {
    s.Page = bar->pageStep();
    s.Max = bar->maximum() + s.Page - 1;
  } else {
    s.Max = bar->minimum();
  }
  return s;
}

void TCustomTreeView::ScrollLine(TScrollAxis Axis, int Delta) {
  Perform(Axis == TScrollAxis::Horizontal ? WM_HSCROLL : WM_VSCROLL, Delta < 0 ? SB_LINEUP : SB_LINEDOWN, 0);
}

int TCustomTreeView::ScrollUnit(TScrollAxis Axis) const {
  if (Axis == TScrollAxis::Horizontal ||
      TreeWidget()->verticalScrollMode() == QAbstractItemView::ScrollPerPixel)
    return 1;
  return ItemHeight();
}

void TCustomTreeView::WMScroll(TMessage& Message) {
  if (!HandleAllocated()) return;
  QScrollBar* bar = Message.Msg == WM_HSCROLL ? TreeWidget()->horizontalScrollBar() : TreeWidget()->verticalScrollBar();
  int pos = bar->value();
  switch (ScrollCode(Message.WParam)) {
    case SB_LINEUP: pos -= bar->singleStep(); break;
    case SB_LINEDOWN: pos += bar->singleStep(); break;
    case SB_PAGEUP: pos -= bar->pageStep(); break;
    case SB_PAGEDOWN: pos += bar->pageStep(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = ScrollPos(Message.WParam); break;
    case SB_TOP: pos = bar->minimum(); break;
    case SB_BOTTOM: pos = bar->maximum(); break;
    default: return;
  }
  ++scrolling_;
  bar->setValue(pos);  // clamped by the bar
  --scrolling_;
}

// The bar has taken the position the user asked for, but not yet its value:
// the scroll message decides, and the bar then shows what it left.
void TCustomTreeView::ScrollBarAction(TScrollAxis Axis, int Action) {
  if (scrolling_ > 0) return;
  QScrollBar* bar = Axis == TScrollAxis::Horizontal ? TreeWidget()->horizontalScrollBar()
                                                    : TreeWidget()->verticalScrollBar();
  const int wanted = bar->sliderPosition();
  int code = ScrollCodeOfAction(Action);
  if (code < 0) return;
  // A move without the thumb held is the wheel's.
  if (code == SB_THUMBTRACK && !bar->isSliderDown()) code = SB_THUMBPOSITION;
  bar->setSliderPosition(bar->value());
  Perform(Axis == TScrollAxis::Horizontal ? WM_HSCROLL : WM_VSCROLL, ScrollWParam(code, wanted), 0);
}

// ---- Mouse ----

void TCustomTreeView::DefaultHandler(TMessage& Message) {
  if (Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_RBUTTONDBLCLK) {
    RightButtonPressed(Message);
    return;
  }
  // The window would select the line of a press on the indent or right
  // of the caption and drop the selection on a press below the items: here
  // the selection stays, or with RowSelect the line's node is selected.
  if (Message.Msg == WM_LBUTTONDOWN && HandleAllocated()) {
    const int x = LParamX(Message.LParam), y = LParamY(Message.LParam);
    const THitTests hit = GetHitTestInfoAt(x, y);
    if (hit.Contains(htOnIndent) || hit.Contains(htOnRight) || hit.Contains(htNowhere)) {
      if (!Focused() && Showing() && Enabled()) SetFocus();
      if (TTreeNode* node = rowSelect_ ? GetNodeAt(x, y) : nullptr) SetSelected(node);
      return;
    }
  }
  TWinControl::DefaultHandler(Message);
}

// The widget class would move the selected node to any pressed item.
void TCustomTreeView::RightButtonPressed(TMessage& Message) {
  if (!HandleAllocated()) return;
  if (!Focused() && Showing() && Enabled()) SetFocus();
  const int x = LParamX(Message.LParam), y = LParamY(Message.LParam);
  if (rightClickSelect_)
    if (TTreeNode* node = GetNodeAt(x, y)) SetSelected(node);
  const QPoint screen = TreeWidget()->viewport()->mapToGlobal(QPoint(x, y));
  contextMenuShown_ = Perform(WM_CONTEXTMENU, 0, PointToLParam(screen.x(), screen.y())) != 0;
}

bool TCustomTreeView::TakeContextMenuRequest() { return std::exchange(contextMenuShown_, false); }

TTreeNode* TCustomTreeView::ItemNodeAt(int X, int Y) const {
  return GetHitTestInfoAt(X, Y).Contains(htOnItem) ? NodeOfItem(LineItemAt(Y)) : nullptr;
}

void TCustomTreeView::SetHotTrack(bool Value) {
  hotTrack_ = Value;
  if (!Value) SetHotNode(nullptr);
}

void TCustomTreeView::SetHotNode(TTreeNode* Node) {
  if (Node == hotNode_) return;
  if (hotNode_) hotNode_->Repaint();
  hotNode_ = Node;
  if (Node) Node->Repaint();
}

void TCustomTreeView::WMMouseMove(TMessage& Message) {
  // A button held means a press in progress (a drag, a selection): nothing
  // is hot meanwhile.
  const bool held = (Message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
  if (hotTrack_ && HandleAllocated())
    SetHotNode(held ? nullptr : ItemNodeAt(LParamX(Message.LParam), LParamY(Message.LParam)));
  InheritedMessage(TCustomTreeView::StaticClass(), Message);
}

void TCustomTreeView::CMHintShow(TMessage& Message) {
  auto& info = *reinterpret_cast<THintInfo*>(Message.LParam);
  QWidget* viewport = HandleAllocated() ? TreeWidget()->viewport() : nullptr;
  const QPoint at = viewport ? viewport->mapFromGlobal(info.CursorPos) : QPoint();
  TTreeNode* node = viewport && toolTips_ && !IsEditing() && GetHitTestInfoAt(at.x(), at.y()).Contains(htOnLabel)
                        ? NodeOfItem(LineItemAt(at.y()))
                        : nullptr;
  const TItemLayout l = node ? Layout(node) : TItemLayout{};
  if (!node || l.LabelRight <= viewport->width()) {
    InheritedMessage(TCustomTreeView::StaticClass(), Message);
    return;
  }
  // The whole caption, its text over the cut one.
  info.HintStr = node->text_;
  info.CursorRect = QRect(viewport->mapToGlobal(QPoint(l.LabelLeft, l.Line.top)),
                          viewport->mapToGlobal(QPoint(l.LabelRight - 1, l.Line.bottom - 1)));
  info.HintPos = viewport->mapToGlobal(QPoint(l.LabelLeft + kLabelMargin - 2 - THintWindow::FrameWidth, l.Line.top));
  Message.Result = 1;
}

void TCustomTreeView::WMSetCursor(TMessage& Message) {
  if (hotTrack_ && HandleAllocated() && Cursor() == crDefault &&
      ItemNodeAt(LParamX(Message.LParam), LParamY(Message.LParam))) {
    ShowWindowCursor(crHandPoint);
    Message.Result = 1;
    return;
  }
  InheritedMessage(TCustomTreeView::StaticClass(), Message);
}

void TCustomTreeView::CMMouseLeave(TMessage& Message) {
  SetHotNode(nullptr);
  InheritedMessage(TCustomTreeView::StaticClass(), Message);
}

// ---- Drawing ----

TCanvas& TCustomTreeView::Canvas() const {
  if (!canvas_) throw EInvalidOperation("Control is not painting");
  return *canvas_;
}

bool TCustomTreeView::IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage) {
  if (Stage != cdPrePaint) return false;
  if (Target == dtItem) return OnCustomDrawItem || OnAdvancedCustomDrawItem;
  return static_cast<bool>(OnCustomDraw);
}

bool TCustomTreeView::CustomDraw(const Rect& ARect, TCustomDrawStage) {
  bool defaultDraw = true;
  if (OnCustomDraw) OnCustomDraw(this, ARect, defaultDraw);
  return defaultDraw;
}

bool TCustomTreeView::PaintControlPrePaint() {
  if (!IsCustomDrawn(dtControl, cdPrePaint)) return true;
  QWidget* viewport = TreeWidget()->viewport();
  QPainter painter(viewport);
  PainterContext dc(painter);
  TCanvas canvas(dc);
  canvas.SetFont(Font());
  canvas.Brush()->SetColor(Color());
  canvas_ = &canvas;
  struct Reset {
    TCanvas*& slot;
    ~Reset() { slot = nullptr; }
  } reset{canvas_};
  return CustomDraw({0, 0, viewport->width(), viewport->height()}, cdPrePaint);
}

bool TCustomTreeView::CustomDrawItem(TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage,
                                     bool& PaintImages) {
  bool defaultDraw = true;
  if (OnCustomDrawItem) OnCustomDrawItem(this, Node, State, defaultDraw);
  if (defaultDraw && OnAdvancedCustomDrawItem) OnAdvancedCustomDrawItem(this, Node, State, Stage, PaintImages, defaultDraw);
  return defaultDraw;
}

TColor TCustomTreeView::LineHighlight(const TTreeNode* Node) const {
  const bool selected = Node->Selected();
  if ((selected && Focused()) || Node->dropTarget_) return clHighlight;
  if (selected && !hideSelection_) return clBtnFace;
  return clNone;
}

void TCustomTreeView::DrawBranches(QPainter& Painter, const QRect& R, TTreeNode* Node) {
  Painter.save();
  struct Restore {
    QPainter& p;
    ~Restore() { p.restore(); }
  } restore{Painter};
  if (rowSelect_ && (Node->Selected() || Node->dropTarget_)) {
    const TColor highlight = LineHighlight(Node);
    Painter.fillRect(R, QColorOf(highlight == clNone ? Color() : highlight));
  }
  const int indent = TreeWidget()->indentation();
  if (indent <= 0) return;
  const int top = R.top(), bottom = R.bottom(), mid = R.top() + R.height() / 2;
  // Dots on the even squares of the viewport, so that the lines of
  // neighbouring lines meet.
  const QColor dots = QColorOf(clGrayText);
  auto vertical = [&](int X, int From, int To) {
    for (int y = From; y <= To; ++y)
      if (((X + y) & 1) == 0) Painter.fillRect(X, y, 1, 1, dots);
  };
  auto horizontal = [&](int From, int To, int Y) {
    for (int x = From; x <= To; ++x)
      if (((x + Y) & 1) == 0) Painter.fillRect(x, Y, 1, 1, dots);
  };
  // Right to left: the node's own column, then one per parent.
  const TTreeNode* n = Node;
  for (int left = R.right() + 1 - indent; left >= R.left() && n; left -= indent, n = n->Parent()) {
    const int x = left + indent / 2;
    if (n == Node) {
      if (showLines_) {
        horizontal(x, left + indent - 1, mid);
        // The very first node has nothing above it.
        if (n->Parent() || n->getPrevSibling()) vertical(x, top, mid);
        if (n->getNextSibling()) vertical(x, mid, bottom);
      }
      if (showButtons_ && n->HasChildren()) {
        constexpr int half = 4;  // a 9-pixel box
        const QRect box(x - half, mid - half, 2 * half + 1, 2 * half + 1);
        Painter.fillRect(box, QColorOf(Color()));
        Painter.setPen(QColorOf(clGrayText));
        Painter.drawRect(box.adjusted(0, 0, -1, -1));
        Painter.setPen(QColorOf(clWindowText));
        Painter.drawLine(x - 2, mid, x + 2, mid);
        if (!n->Expanded()) Painter.drawLine(x, mid - 2, x, mid + 2);
      }
    } else if (showLines_ && n->getNextSibling()) {
      vertical(x, top, bottom);
    }
  }
}

void TCustomTreeView::DrawItem(QPainter& Painter, const QStyleOptionViewItem& Option, TTreeNode* Node) {
  PainterContext dc(Painter);
  TCanvas canvas(dc);
  canvas_ = &canvas;
  struct Reset {
    TCanvas*& slot;
    ~Reset() { slot = nullptr; }
  } reset{canvas_};

  const bool focused = Focused();
  const bool selected = Node->Selected();
  TCustomDrawState state;
  if (selected) state.Include(cdsSelected);
  if (Node->Focused() && focused) state.Include(cdsFocused);
  if (Node->dropTarget_) state.Include(cdsMarked);
  const bool hot = Node == hotNode_;
  if (hot) state.Include(cdsHot);
  canvas.SetFont(Font());
  if (Node->bold_ || hot) {
    TFontStyles style = canvas.Font()->Style();
    if (Node->bold_) style.Include(TFontStyle::fsBold);
    if (hot) style.Include(TFontStyle::fsUnderline);
    canvas.Font()->SetStyle(style);
  }
  canvas.Brush()->SetColor(Color());
  const TColor highlight = LineHighlight(Node);
  if (highlight != clNone) canvas.Brush()->SetColor(highlight);
  if (highlight == clHighlight)
    canvas.Font()->SetColor(clHighlightText);
  else if (hot)
    canvas.Font()->SetColor(clHotLight);
  bool paintImages = true;
  if (IsCustomDrawn(dtItem, cdPrePaint) && !CustomDrawItem(Node, state, cdPrePaint, paintImages)) return;

  const TItemLayout l = Layout(Node);
  const int top = l.Line.top, bottom = l.Line.bottom;
  const Rect label{l.LabelLeft, top, l.LabelRight, bottom};
  // RowSelect: the item's part of the line, under the images; DrawBranches
  // fills the indent.
  if (selected || Node->dropTarget_) canvas.FillRect(rowSelect_ ? Rect{l.StateLeft, top, l.Line.right, bottom} : label);
  if (stateImages_ && Node->stateIndex_ >= 0)
    stateImages_->Draw(canvas, l.StateLeft, top + (bottom - top - stateImages_->Height()) / 2, Node->stateIndex_);
  if (images_ && paintImages) {
    const int index = selected && Node->selectedIndex_ >= 0 ? Node->selectedIndex_ : Node->imageIndex_;
    const int y = top + (bottom - top - images_->Height()) / 2;
    if (Node->cut_)
      images_->DrawStyled(canvas, l.ImageLeft, y, index, dsSelected, itImage, Node->overlayIndex_ + 1);
    else
      images_->DrawStyled(canvas, l.ImageLeft, y, index, dsNormal, itImage, Node->overlayIndex_ + 1);
  }
  canvas.Brush()->SetStyle(TBrushStyle::bsClear);
  const Size extent = canvas.TextExtent(Node->text_);
  canvas.TextOut(l.LabelLeft + kLabelMargin, top + (bottom - top - static_cast<int>(extent.cy)) / 2, Node->text_);
  (void)Option;
}
