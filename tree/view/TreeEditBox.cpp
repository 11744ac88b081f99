#include "tree/view/TreeEditBox.h"

#include <QMouseEvent>

#include "platform/ui/Application.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeEdit.h"
#include "tree/view/TreeFocus.h"
#include "tree/view/TreeSetup.h"

namespace {

constexpr TColor kGrey = 0x808080;
constexpr TColor kRed = 0x0000FF;

// Exactly one of Shift, Alt and Ctrl (the keypad flag aside).
bool OneModifier(Qt::KeyboardModifiers shift) {
  shift &= ~Qt::KeypadModifier;
  return shift == Qt::ShiftModifier || shift == Qt::AltModifier || shift == Qt::ControlModifier;
}

// A pen made for one drawing and deleted afterwards, the previous one
// selected again.
class ScopedPen {
 public:
  ScopedPen(DeviceContext& dc, PenDashStyle style, int width, TColor color)
      : dc_(dc), pen_(dc.CreatePen(style, width, color)), previous_(dc.SelectObject(pen_)) {}
  ~ScopedPen() {
    dc_.SelectObject(previous_);
    dc_.DeleteObject(pen_);
  }

 private:
  DeviceContext& dc_;
  PenHandle pen_;
  PenHandle previous_;
};

}  // namespace

TTreeEditBox::TTreeEditBox(QWidget* parent) : TTreeCustomControl(parent) { setMouseTracking(true); }

bool TTreeEditBox::SetTree(const TTreeData& tree, const std::vector<std::string>& names, bool isRooted) {
  FreeNodes();
  TTreeDisplay& d = Display();
  try {
    BuildNodes(tree.NoOfOTUs());
    for (int i = 1; i <= tree.NoOfOTUs(); ++i) {
      TNode* node = d.Node(i);
      node->name = node->savedName = i <= static_cast<int>(names.size()) ? names[i - 1] : std::string();
    }
    LinkTree(d, tree);
    d.isRooted = isRooted;
    d.NoAutoRoot = true;  // shown as it comes
    d.isSE = tree.isSE();
    d.isStats = tree.isStats();
    InitTree();
    return true;
  } catch (const std::exception&) {
    FreeNodes();
    return false;
  }
}

bool TTreeEditBox::EditingActive() const { return editEnabled_ && TreeStyle() == TTreeStyle::tsTraditional; }

int TTreeEditBox::FindDropTarget(int x, int y) const { return FindClickDropTarget(Display(), FocusedIndex(), x, y); }

void TTreeEditBox::MoveSubtree(int node, int target) {
  TTreeDisplay& d = Display();
  if (node < 1 || node > d.Nodes.NoOfNodes() || target < 1 || target > d.Nodes.NoOfNodes()) return;
  ::MoveSubtree(d, d.Node(node), d.Node(target));
  // Sizes, paths and heights follow the new topology at once.
  SetClusterSizeAndOrder(d.Root);
  if (GetisBranchLength()) SetLongestPaths(d.Root);
  SetNodeHeights(d, GetisSE());
  AssignAttributes(d, Measurer());
}

void TTreeEditBox::InheritedMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), mapToGlobal(QPointF(x, y)), button, button, shift);
  TTreeCustomControl::mousePressEvent(&press);
}

void TTreeEditBox::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  if (!EditingActive() || button != Qt::LeftButton) {
    InheritedMouseDown(button, shift, x, y);
    return;
  }
  if (OneModifier(shift) && BranchFocused()) dropTarget_ = FindDropTarget(x, y);
  if (BranchFocused() && dropTarget_ > 0) {
    const int moved = FocusedIndex();
    MoveSubtree(moved, dropTarget_);
    BranchAt(0, 0);
    dropTarget_ = 0;
    RefreshTree();
    const TNode* F = Display().Node(moved);
    BranchAt(static_cast<int>((F->position.x + Display().Origin.x) / 4),
             static_cast<int>((F->position.y + Display().Origin.y) / 4));
    return;
  }
  BranchAt(x, y);
  if (FocusedIndex() > 0) {
    dragStart_ = QPoint(x, y);
    dragging_ = true;
  }
  // The picture afresh with only the focus mark over it.
  MutableOverlay().Clear();
  if (NodeFocused() || BranchFocused()) DrawFocus();
  update();
  if (FocusedIndex() == 0) NameAt(x, y);
  InheritedMouseDown(button, shift, x, y);
}

void TTreeEditBox::MouseMove(Qt::KeyboardModifiers shift, int x, int y) {
  if (!editEnabled_ || !BranchFocused() || !dragging_) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
    return;
  }
  if (!dragPoint_.isNull()) DrawDragOutline();
  dropTarget_ = FindDragDropTarget(Display(), FocusedIndex(), x - dragStart_.x(), y - dragStart_.y());
  dragPoint_ = QPoint(x, y);
  DrawDragOutline();
}

void TTreeEditBox::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  if (dragging_) {
    DrawDragOutline();
    dragStart_ = dragPoint_ = QPoint();
    dragging_ = false;
  }
  if (ShowSelection() && BranchFocused() && dropTarget_ > 0) MouseDown(button, shift, x, y);
  // A target not dropped onto here must not catch the next plain click.
  dropTarget_ = 0;
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TTreeEditBox::mousePressEvent(QMouseEvent* event) {
  RunGuarded([&] {
    const QPoint p = event->position().toPoint();
    MouseDown(event->button(), event->modifiers(), p.x(), p.y());
  });
}

void TTreeEditBox::mouseMoveEvent(QMouseEvent* event) {
  RunGuarded([&] {
    const QPoint p = event->position().toPoint();
    MouseMove(event->modifiers(), p.x(), p.y());
  });
}

void TTreeEditBox::mouseReleaseEvent(QMouseEvent* event) {
  RunGuarded([&] {
    const QPoint p = event->position().toPoint();
    MouseUp(event->button(), event->modifiers(), p.x(), p.y());
  });
}

// ---- Drawing over the picture ----

void TTreeEditBox::DrawDragOutline() {
  if (dragPoint_.isNull()) return;
  const TTreeDisplay& d = Display();
  if (FocusedIndex() < 1 || FocusedIndex() > d.Nodes.NoOfNodes()) return;
  const TNode& F = *d.Node(FocusedIndex());
  if (!F.anc) return;
  const TNode& A = *F.anc;
  const Coord dx = dragPoint_.x() - dragStart_.x();
  const Coord dy = dragPoint_.y() - dragStart_.y();
  const Point G = GraftPoint(d, F.index, dx, dy);
  const int s = GraftSide(F);
  const Coord h = d.PixelsPerOTU4 / 8;
  const bool target = dropTarget_ > 0;
  MutableOverlay().Draw([&](DeviceContext& dc) {
    dc.SetROP2(R2_NOTXORPEN);
    {
      ScopedPen pen(dc, PS_SOLID, target ? 3 : 1, target ? kRed : kGrey);
      const BrushHandle previous = dc.SelectObject(kNullBrush);
      const Point diamond[4] = {{G.x, G.y - 5}, {G.x - 5, G.y}, {G.x, G.y + 5}, {G.x + 5, G.y}};
      dc.Polygon(diamond);
      dc.SelectObject(previous);
    }
    ScopedPen pen(dc, PS_DOT, 1, kGrey);
    const Coord ax = PixelOf(A.position.x, d.Origin.x) + dx;
    const Coord fy = PixelOf(F.position.y, d.Origin.y) + dy;
    const Coord fx = PixelOf(F.position.x, d.Origin.x) + dx;
    if (d.PixelsPerOTU4 < 40) {
      const Point branch[2] = {{ax, fy}, {fx, fy}};
      dc.Polyline(branch);
    } else {
      const Point branch[3] = {{ax, fy + s * (h - 5)}, {ax, fy}, {fx, fy}};
      dc.Polyline(branch);
    }
    if (!F.isOTU && !F.compressed) DrawDragSubtree(dc, F, dx, dy);
    dc.SetROP2(R2_COPYPEN);
  });
  update();
}

void TTreeEditBox::DrawDragSubtree(DeviceContext& dc, const TNode& top, Coord dx, Coord dy) const {
  const TTreeDisplay& d = Display();
  for (const TNode* node : PreOrder(const_cast<TNode*>(&top), WalkInto::NotIntoCompressed)) {
    if (node->isOTU || node->compressed) continue;
    const Coord x = PixelOf(node->position.x, d.Origin.x) + dx;
    const Point skeleton[4] = {
        {PixelOf(node->des1->position.x, d.Origin.x) + dx, PixelOf(node->des1->position.y, d.Origin.y) + dy},
        {x, PixelOf(node->des1->position.y, d.Origin.y) + dy},
        {x, PixelOf(node->des2->position.y, d.Origin.y) + dy},
        {PixelOf(node->des2->position.x, d.Origin.x) + dx, PixelOf(node->des2->position.y, d.Origin.y) + dy},
    };
    dc.Polyline(skeleton);
  }
}

void TTreeEditBox::DrawFocusElbow(DeviceContext& dc, const TNode& top, bool recursive) const {
  const TTreeDisplay& d = Display();
  // With `recursive` the elbows of the whole subtree, those below first.
  std::vector<TNode*> nodes{const_cast<TNode*>(&top)};
  if (recursive) nodes = PostOrder(const_cast<TNode*>(&top), WalkInto::NotIntoCompressed);
  for (const TNode* node : nodes) {
    if (!node->anc) continue;
    const Coord qx = PixelOf(node->anc->position.x, d.Origin.x);
    const Coord ny = PixelOf(node->position.y, d.Origin.y);
    const Point elbow[3] = {
        {qx, PixelOf(node->anc->position.y, d.Origin.y)}, {qx, ny}, {PixelOf(node->position.x, d.Origin.x), ny}};
    dc.Polyline(elbow);
  }
}

void TTreeEditBox::DrawFocus() {
  // While painting the overlay is played as it is kept.
  if (!editEnabled_ || Painting()) {
    TTreeCustomControl::DrawFocus();
    return;
  }
  const TTreeDisplay& d = Display();
  if (!d.TreePresent || FocusedIndex() < 1 || FocusedIndex() > d.Nodes.NoOfNodes()) return;
  const TNode& node = *d.Node(FocusedIndex());
  MutableOverlay().Draw([&](DeviceContext& dc) {
    ScopedPen pen(dc, PS_DOT, 1, kGrey);
    DrawFocusElbow(dc, node, false);
  });
  update();
}

// ---- Tree operations ----

void TTreeEditBox::RootOnFocusedBranch() {
  if (!editEnabled_) {
    TTreeCustomControl::RootOnFocusedBranch();
    return;
  }
  TTreeDisplay& d = Display();
  if (FocusedIndex() < 1 || FocusedIndex() > d.Nodes.NoOfNodes() || d.isRooted) return;
  TNode* N = d.Node(FocusedIndex());
  if (N == d.Root || !N->anc) return;
  if (N->anc != d.Root) {
    MoveRoot(N, false);
    SetClusterSizeAndOrder(d.Root);
    SetVSpace(d, d.Root);
  }
  // The focused side is always drawn second.
  if (N->anc == d.Root && d.Root->des1 == N) SwapNode(d.Root->des1, d.Root->des2);
  RefreshTree();
}

TTreePictureOptions TTreeEditBox::PictureOptions() const {
  TTreePictureOptions options = TTreeCustomControl::PictureOptions();
  options.DrawOverlappingTaggedNames = true;
  return options;
}
