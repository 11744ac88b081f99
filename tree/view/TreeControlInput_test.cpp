// The tree view control driven by mouse and keys (offscreen): focus, the
// outline over the painted picture, and the name editor.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include "platform/graphics/Clipboard.h"
#include "tree/view/NTreeBox.h"
#include "tree/view/TreeFocus.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

class Box : public TTreeBox {
 public:
  explicit Box(const std::string& newick = "((A:1,B:2):1,C:4);") {
    SetTextMeasurer(std::make_unique<FixedTextMeasurer>());
    EXPECT_TRUE(SetTreeList(ListFromNewick(newick), false));
    SetPixelsPerOTU(40);
    OnChange = [this](QObject*) { ++changes; };
    OnKeyDown = [this](QObject*, int&, Qt::KeyboardModifiers) { ++keys; };
    OnMouseDown = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++presses; };
    OnNameClick = [this](QObject*) { ++nameClicks; };
    RefreshTree();
  }
  using TTreeCustomControl::DrawFocus;
  using TTreeCustomControl::NameEditor;

  int changes = 0, keys = 0, presses = 0, nameClicks = 0;

  TNode* operator[](const std::string& names) const { return Clade(Display(), names); }
  int Index(const std::string& names) const { return (*this)[names]->index; }
  QPoint NodePx(const std::string& names) const {
    const Point p = PixelOf(Display(), (*this)[names]->position);
    return {static_cast<int>(p.x), static_cast<int>(p.y)};
  }
  // The middle of the horizontal part of a rectangular branch.
  QPoint BranchPx(const std::string& names) const {
    const QPoint p = NodePx(names), a = PixelOfAnc(names);
    return {(a.x() + p.x()) / 2, p.y()};
  }
  QPoint PixelOfAnc(const std::string& names) const {
    const Point p = PixelOf(Display(), (*this)[names]->anc->position);
    return {static_cast<int>(p.x), static_cast<int>(p.y)};
  }
  QImage Shot() { return grab().toImage(); }
  void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
    QTest::mouseClick(this, button, keys, at);
  }
};

// The part of `after` that differs from `before`; empty when they are equal.
QRect Changed(const QImage& before, const QImage& after) {
  QRect changed;
  for (int y = 0; y < before.height(); ++y)
    for (int x = 0; x < before.width(); ++x)
      if (before.pixel(x, y) != after.pixel(x, y)) changed |= QRect(x, y, 1, 1);
  return changed;
}

TEST(TreeControlMouse, AClickOnANodeFocusesItWithADiamondAroundIt) {
  Box box;
  const QImage clean = box.Shot();
  const QPoint at = box.NodePx("A,B");
  box.Click(at);
  EXPECT_TRUE(box.NodeFocused());
  EXPECT_EQ(box.FocusedIndex(), box.Index("A,B"));
  EXPECT_EQ(box.changes, 1);
  EXPECT_EQ(box.presses, 1);
  // The outline is drawn over the picture and nowhere else: within m + 1 = 6
  // pixels of the node.
  EXPECT_EQ(Changed(clean, box.Shot()), QRect(at.x() - 6, at.y() - 6, 13, 13));
}

TEST(TreeControlMouse, AClickOnEmptySpaceClearsTheFocusAndTheOutline) {
  Box box;
  const QImage clean = box.Shot();
  box.Click(box.NodePx("A,B"));
  box.Click({2, box.height() - 2});
  EXPECT_FALSE(box.NodeFocused());
  EXPECT_FALSE(box.BranchFocused());
  EXPECT_EQ(box.FocusedIndex(), 0);
  EXPECT_TRUE(box.Overlay().Empty());
  EXPECT_EQ(box.Shot(), clean);
  EXPECT_EQ(box.changes, 2);
}

TEST(TreeControlMouse, AClickOnTheFocusedNodeFallsThroughToItsBranch) {
  Box box;
  const int ab = box.Index("A,B");
  box.Click(box.NodePx("A,B"));
  ASSERT_TRUE(box.NodeFocused());
  // Not focused again as a node: the branch test hits the branch ending at
  // the node.
  box.Click(box.NodePx("A,B"));
  EXPECT_TRUE(box.BranchFocused());
  EXPECT_EQ(box.FocusedIndex(), ab);
  EXPECT_EQ(box.changes, 2);
  EXPECT_EQ(box.Overlay().Size(), 1u);  // the diamond is gone, the branch outlined
  // And a click on the node with its branch focused focuses the node.
  box.Click(box.NodePx("A,B"));
  EXPECT_TRUE(box.NodeFocused());
  EXPECT_EQ(box.changes, 3);
}

TEST(TreeControlMouse, BranchesAreHitWithinTheTolerance) {
  Box box;
  const QPoint on = box.BranchPx("C");
  box.Click(on - QPoint(0, 5));
  EXPECT_TRUE(box.BranchFocused());
  EXPECT_EQ(box.FocusedIndex(), box.Index("C"));
  // The focus point is where the click was, in tree coordinates.
  const Point origin = box.Display().Origin;
  EXPECT_EQ(box.FocusPoint(), (Point{4 * on.x() - origin.x, 4 * (on.y() - 5) - origin.y}));
  box.Click(on - QPoint(0, 6));
  EXPECT_FALSE(box.BranchFocused());
  EXPECT_EQ(box.FocusedIndex(), 0);
}

TEST(TreeControlMouse, OtherButtonsAndAHiddenSelectionFocusNothing) {
  Box box;
  box.Click(box.NodePx("A,B"), Qt::RightButton);
  EXPECT_EQ(box.presses, 1);
  EXPECT_EQ(box.FocusedIndex(), 0);
  EXPECT_EQ(box.changes, 0);
  box.SetShowSelection(false);
  box.Click(box.NodePx("A,B"));
  EXPECT_EQ(box.presses, 2);
  EXPECT_EQ(box.FocusedIndex(), 0);
}

TEST(TreeControlMouse, ASecondClickOnTheFocusedRadiationBranchKeepsIt) {
  Box box;
  box.SetTreeStyle(TTreeStyle::tsRadiation);
  box.RefreshTree();
  const QPoint q = box.NodePx("C"), p = box.PixelOfAnc("C");
  const QPoint mid = (p + q) / 2;
  box.Click(mid);
  ASSERT_TRUE(box.BranchFocused());
  ASSERT_EQ(box.FocusedIndex(), box.Index("C"));
  const QImage focused = box.Shot();
  // The branch test alone, hitting the focused branch, changes nothing.
  EXPECT_FALSE(box.BranchAt(mid.x(), mid.y()));
  EXPECT_EQ(box.changes, 1);
  // A click first misses every node, which clears the focus, and then
  // focuses the same branch again: the same outline in the same place.
  box.Click(mid);
  EXPECT_TRUE(box.BranchFocused());
  EXPECT_EQ(box.FocusedIndex(), box.Index("C"));
  EXPECT_EQ(box.changes, 2);
  EXPECT_EQ(box.Overlay().Size(), 1u);
  EXPECT_EQ(box.Shot(), focused);
}

TEST(TreeControlKeys, ArrowsAndHomeMoveTheFocus) {
  Box box;
  box.FocusOnNode(box.Index("A,B"));
  struct Row {
    const char* what;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool node;
    const char* focused;
  } rows[] = {
      {"left: the branch into the node", Qt::Key_Left, {}, false, "A,B"},
      {"left: up the branch to the root", Qt::Key_Left, {}, true, "A,B,C"},
      {"down: the second child's branch", Qt::Key_Down, {}, false, "C"},
      {"ctrl-left: nothing", Qt::Key_Left, Qt::ControlModifier, false, "C"},
      {"shift-right: nothing", Qt::Key_Right, Qt::ShiftModifier, false, "C"},
      {"right: the branch's lower end", Qt::Key_Right, {}, true, "C"},
      {"up on a taxon: nothing", Qt::Key_Up, {}, true, "C"},
      {"home: the root", Qt::Key_Home, {}, true, "A,B,C"},
      {"up: the first child's branch", Qt::Key_Up, {}, false, "A,B"},
  };
  int keys = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    QTest::keyClick(&box, r.key, r.modifiers);
    keys += r.modifiers ? 2 : 1;  // a modifier key is a key press of its own
    EXPECT_EQ(box.keys, keys);
    EXPECT_EQ(box.NodeFocused(), r.node);
    EXPECT_EQ(box.BranchFocused(), !r.node);
    EXPECT_EQ(box.FocusedIndex(), box.Index(r.focused));
    EXPECT_EQ(box.Overlay().Size(), 1u);
  }
  EXPECT_EQ(box.changes, 7);
}

TEST(TreeControlFocus, FocusingTheFocusedNodeAgainDoesNothing) {
  Box box;
  box.FocusOnNode(box.Index("A,B"));
  const QImage focused = box.Shot();
  box.FocusOnNode(box.Index("A,B"));
  EXPECT_EQ(box.changes, 1);
  EXPECT_EQ(box.Overlay().Size(), 1u);
  EXPECT_EQ(box.Shot(), focused);
}

TEST(TreeControlFocus, DrawingTheOutlineTwiceRestoresThePictureExactly) {
  for (const TBranchStyle style : {TBranchStyle::bsRectangular, TBranchStyle::bsCurved, TBranchStyle::bsStraight}) {
    SCOPED_TRACE(static_cast<int>(style));
    Box box;
    box.SetBranchStyle(style);
    box.RefreshTree();
    const QImage clean = box.Shot();
    box.FocusOnBranch(box.Index("C"));
    const QImage outlined = box.Shot();
    EXPECT_NE(outlined, clean);
    box.DrawFocus();
    EXPECT_EQ(box.Shot(), clean);
    box.DrawFocus();
    EXPECT_EQ(box.Shot(), outlined);
    box.ClearFocus();
    EXPECT_EQ(box.Shot(), clean);
  }
}

TEST(TreeControlFocus, ARepaintShowsThePictureAndTheOutlineOnce) {
  Box box;
  box.FocusOnNode(box.Index("A,B"));
  const QImage focused = box.Shot();
  box.RefreshTree();
  EXPECT_EQ(box.Overlay().Size(), 1u);
  EXPECT_EQ(box.Shot(), focused);
  box.repaint();
  EXPECT_EQ(box.Shot(), focused);
}

// ---- The name editor ----

class ShownBox : public Box {
 public:
  ShownBox() {
    show();
    QApplication::setActiveWindow(this);
    EXPECT_TRUE(QTest::qWaitForWindowActive(this));
  }
  // A point on taxon A's name.
  QPoint OnName() const { return NodePx("A") + QPoint(4, 0); }
};

TEST(NameEditor, ADoubleClickOnANameOpensTheEditorWhenEnabled) {
  ShownBox box;
  QTest::mouseDClick(&box, Qt::LeftButton, {}, box.OnName());
  EXPECT_EQ(box.NameFocusedIndex(), box.Index("A"));
  EXPECT_GE(box.nameClicks, 1);
  EXPECT_FALSE(box.NameEditor()->isVisible());

  box.SetEditNameEnabled(true);
  QTest::mouseDClick(&box, Qt::LeftButton, {}, box.OnName());
  QLineEdit* editor = box.NameEditor();
  ASSERT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->text(), "A");
  EXPECT_EQ(editor->selectedText(), "A");
  EXPECT_TRUE(editor->hasFocus());
  EXPECT_GT(editor->x(), box.NodePx("A").x());
}

TEST(NameEditor, TypingRenamesTheTaxonAndWidensTheEditorUpToTheRightEdge) {
  ShownBox box;
  box.SetEditNameEnabled(true);
  QTest::mouseDClick(&box, Qt::LeftButton, {}, box.OnName());
  QLineEdit* editor = box.NameEditor();
  ASSERT_TRUE(editor->isVisible());
  const int index = box.NameFocusedIndex();
  const int opened = editor->width();
  QTest::keyClicks(editor, "Ab");
  EXPECT_EQ(box.Display().Node(index)->name, "Ab");
  EXPECT_EQ(box.TreeList()->OTUName(index - 1), "Ab");
  // "Ab00" is 24 pixels in the deterministic measurer.
  EXPECT_EQ(editor->width(), std::max(opened, 24));
  QTest::keyClicks(editor, std::string(60, 'x').c_str());
  EXPECT_EQ(editor->x() + editor->width(), box.width());

  // Ctrl+Z brings back the name the tree came with.
  QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(editor->text(), "A");
  EXPECT_EQ(editor->selectedText(), "A");
  EXPECT_EQ(box.Display().Node(index)->name, "A");

  // Copying while the editor has the focus copies its selection only.
  TestClipboard clipboard;
  box.CopyImageTo(clipboard);
  EXPECT_EQ(clipboard.Holds(), TestClipboard::Content::Text);
  EXPECT_EQ(clipboard.HeldText(), "A");

  // Esc closes it and clears the name focus.
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(box.NameFocusedIndex(), 0);
  box.CopyImageTo(clipboard);
  EXPECT_EQ(clipboard.Holds(), TestClipboard::Content::Picture);
}

TEST(NameEditor, ClosesWhenAnotherNameIsClicked) {
  ShownBox box;
  box.SetEditNameEnabled(true);
  QTest::mouseDClick(&box, Qt::LeftButton, {}, box.OnName());
  QLineEdit* editor = box.NameEditor();
  ASSERT_TRUE(editor->isVisible());
  // Typing must never go on under another taxon's name.
  box.Click(box.NodePx("C") + QPoint(4, 0));
  EXPECT_EQ(box.NameFocusedIndex(), box.Index("C"));
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(box.Display().Node(box.Index("A"))->name, "A");
  EXPECT_EQ(box.Display().Node(box.Index("C"))->name, "C");
}

}  // namespace
