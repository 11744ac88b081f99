#pragma once
// TTreeEditBox: a tree view control whose topology the user edits with the
// mouse. With EditEnabled on and the traditional style, pressing the left
// button on a branch picks its subtree up; dragging shows the subtree's
// rectangular skeleton as a dotted outline, with a diamond at the graft
// point (grey, red and thicker over a branch that would take it); releasing
// there prunes the subtree and regrafts it onto that branch. A click with
// exactly one of Shift, Alt or Ctrl on a branch, while another branch is
// focused, moves the focused subtree there at once. Drops that would change
// nothing or break the tree (onto the subtree itself, its ancestor's or its
// sibling's branch) are refused. Moves only relink nodes: every branch keeps
// its length (TreeEdit.h).
//
// The edit box has no tree source: its node store is filled as for the base
// control (BuildNodes, links, names, InitTree), for example through
// SetTree. With EditEnabled off it behaves as the base control; with it on
// in the radiation or circle style the mouse works as in the base control,
// while the focus mark is a dotted elbow drawn in copy mode and
// RootOnFocusedBranch only moves the root onto the focused branch.
//
// Drawing over the picture (the outline, the elbow) goes through the
// control's overlay journal (platform/ui/Overlay.h), in client pixels.

#include <functional>
#include <string>
#include <vector>

#include "tree/model/NTreeData.h"
#include "tree/view/TreeCustomControl.h"

class DeviceContext;

// A mouse move or release: the modifier keys held (and for a release the
// button), the position in client pixels.
using TMouseMoveEvent = std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;

class TTreeEditBox : public TTreeCustomControl {
  Q_OBJECT

 public:
  explicit TTreeEditBox(QWidget* parent = nullptr);

  // Shows `tree` with the names (1-based taxon i gets names[i-1], empty
  // beyond the list) and its root where it is (never rooted automatically).
  // `isRooted`: the root is a real node (RootOnFocusedBranch then does
  // nothing). False, with nothing shown, when the tree cannot be shown (see
  // TreeSetup.h). The caller refreshes.
  bool SetTree(const TTreeData& tree, const std::vector<std::string>& names, bool isRooted);

  bool EditEnabled() const { return editEnabled_; }
  void SetEditEnabled(bool value) { editEnabled_ = value; }  // no redraw
  bool Dragging() const { return dragging_; }
  int DropTarget() const { return dropTarget_; }
  QPoint DragStart() const { return dragStart_; }
  QPoint DragPoint() const { return dragPoint_; }

  // Raised for every mouse move that is not part of a drag, and for every
  // release.
  TMouseMoveEvent OnMouseMove;
  TMouseDownEvent OnMouseUp;

  // The mouse handling of the edit box, in client pixels.
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
  void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

  // The focused subtree moves onto the branch above node `target` (no
  // check here; FindDropTarget and the drag never offer a refused branch).
  void MoveSubtree(int node, int target);
  // The drop target under a modifier click, 0 when none.
  int FindDropTarget(int x, int y) const;

  void RootOnFocusedBranch() override;
  TTreePictureOptions PictureOptions() const override;

 protected:
  void DrawFocus() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool EditingActive() const;
  // The base control's handling of a press (OnMouseDown and its hit tests).
  void InheritedMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  // Draws the outline of the dragged subtree at DragPoint, inverting; a
  // second draw takes it away.
  void DrawDragOutline();
  void DrawDragSubtree(DeviceContext& dc, const TNode& node, Coord dx, Coord dy) const;
  void DrawFocusElbow(DeviceContext& dc, const TNode& node, bool recursive) const;

  bool editEnabled_ = false;
  bool dragging_ = false;
  int dropTarget_ = 0;
  QPoint dragStart_;
  QPoint dragPoint_;
};
