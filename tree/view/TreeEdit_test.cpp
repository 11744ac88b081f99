#include "tree/view/TreeEdit.h"

#include <gtest/gtest.h>

#include "platform/core/NumberFormat.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeLayout.h"
#include "tree/view/TreeSize.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

// A laid-out rectangular tree: ((A,B),((C,D),E)) with rows of 20 pixels.
class TreeEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list_ = ListFromNewick("((A:1,B:2):0.5,((C:1,D:1.5):0.25,E:3):0.75);");
    d_.PixelsPerOTU4 = 80;
    LoadDisplay(d_, *list_);
    AssignAttributes(d_, measurer_);
    Layout(d_, flags_, measurer_);
    ComputeSize(d_, flags_, measurer_);
  }
  TNode* N(const std::string& names) const { return Clade(d_, names); }
  Coord Px(Coord v, Coord origin) const { return RoundHalfEven(v / 4.0 + origin / 4.0); }
  // A click on the middle of the horizontal part of a node's branch.
  Point OnBranch(const TNode* p) const {
    return {(Px(p->anc->position.x, d_.Origin.x) + Px(p->position.x, d_.Origin.x)) / 2,
            Px(p->position.y, d_.Origin.y)};
  }
  // The drag that carries the graft point of `f` onto the middle of p's branch.
  Point DragOnto(const TNode* f, const TNode* p) const {
    const Point graft = GraftPoint(d_, f->index, 0, 0);
    const Point target = OnBranch(p);
    return {target.x - graft.x, target.y - graft.y};
  }

  std::unique_ptr<TTreeList> list_;
  TTreeDisplay d_;
  FixedTextMeasurer measurer_;
  TTreeFlags flags_{true, false, true};
};

TEST_F(TreeEditTest, AClickDropsOnlyOnBranchesWhereTheMoveChangesSomething) {
  const TNode* ab = N("A,B");
  struct Row {
    const char* branch;
    bool accepted;
  } rows[] = {
      {"E", true},       {"C", true},       {"C,D", true},  {"C,D,E", false},  // the sibling
      {"A,B", false},    {"A", false},      {"B", false},                     // the subtree itself
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.branch);
    const TNode* p = N(r.branch);
    const Point at = OnBranch(p);
    EXPECT_EQ(FindClickDropTarget(d_, ab->index, at.x, at.y), r.accepted ? p->index : 0);
  }
  // A node deeper down may not go onto its ancestor's branch.
  const Point onCD = OnBranch(N("C,D"));
  EXPECT_EQ(FindClickDropTarget(d_, N("C")->index, onCD.x, onCD.y), 0);
  // Five pixels beside a branch still hit it, six do not.
  EXPECT_EQ(FindClickDropTarget(d_, ab->index, onCD.x, onCD.y + 5), N("C,D")->index);
  EXPECT_EQ(FindClickDropTarget(d_, ab->index, onCD.x, onCD.y - 6), 0);
}

TEST_F(TreeEditTest, DraggingFindsTheBranchUnderTheGraftPoint) {
  const TNode* a = N("A");
  const TNode* e = N("E");
  Point drag = DragOnto(a, e);
  EXPECT_EQ(FindDragDropTarget(d_, a->index, drag.x, drag.y), e->index);
  EXPECT_EQ(FindDragDropTarget(d_, a->index, drag.x, drag.y + 5), e->index);
  EXPECT_EQ(FindDragDropTarget(d_, a->index, drag.x, drag.y + 6), 0);
  // The sibling's and the ancestor's branches are refused.
  drag = DragOnto(a, N("B"));
  EXPECT_EQ(FindDragDropTarget(d_, a->index, drag.x, drag.y), 0);
  drag = DragOnto(a, N("A,B"));
  EXPECT_EQ(FindDragDropTarget(d_, a->index, drag.x, drag.y), 0);
  // The vertical connector of a branch counts too: C's connector, at the x
  // of its ancestor and 7 pixels below C's row (too far for its horizontal
  // part).
  const TNode* c = N("C");
  const Point graft = GraftPoint(d_, a->index, 0, 0);
  const Point corner{Px(c->anc->position.x, d_.Origin.x), Px(c->position.y, d_.Origin.y) + 7};
  EXPECT_EQ(FindDragDropTarget(d_, a->index, corner.x - graft.x, corner.y - graft.y), c->index);
  // Nothing to drag: the root, or no node.
  EXPECT_EQ(FindDragDropTarget(d_, d_.Root->index, 0, 0), 0);
  EXPECT_EQ(FindDragDropTarget(d_, 0, 0, 0), 0);
}

TEST_F(TreeEditTest, GraftPointLiesHalfARowTowardsTheSibling) {
  const TNode* a = N("A");  // a first descendant: half a row down
  const TNode* b = N("B");  // a second descendant: half a row up
  const Coord h = d_.PixelsPerOTU4 / 8;
  EXPECT_EQ(GraftPoint(d_, a->index, 0, 0),
            (Point{Px(a->anc->position.x, d_.Origin.x), Px(a->position.y, d_.Origin.y) + h}));
  EXPECT_EQ(GraftPoint(d_, b->index, 3, -2),
            (Point{Px(b->anc->position.x, d_.Origin.x) + 3, Px(b->position.y, d_.Origin.y) - h - 2}));
}

TEST_F(TreeEditTest, MovingASubtreeOnlyRelinks) {
  struct Row {
    const char* moved;
    const char* target;
    const char* shown;
  } rows[] = {
      {"A", "D", "(B:2,((C:1,(A:1,D:1.5):0.5):0.25,E:3):0.75)"},
      {"E", "A", "(((A:1,E:3):0.75,B:2):0.5,(C:1,D:1.5):0.25)"},
      {"C,D", "B", "((A:1,((C:1,D:1.5):0.25,B:2):0.75):0.5,E:3)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.moved) + " onto " + r.target);
    SetUp();
    MoveSubtree(d_, N(r.moved), N(r.target));
    EXPECT_EQ(ShownNewick(d_, true, false), r.shown);
    EXPECT_EQ(d_.Root->index, d_.Nodes.NoOfNodes());
  }
}

TEST_F(TreeEditTest, MovingARootChildMakesItsSiblingTheRootAndKeepsTheRootRecordLast) {
  TNode* ab = N("A,B");
  const TNode* oldRoot = d_.Root;
  MoveSubtree(d_, ab, N("E"));
  EXPECT_EQ(ShownNewick(d_, false, false), "((C,D),((A,B),E))");
  EXPECT_EQ(d_.Root, oldRoot);  // the same record, number 2n-1
  EXPECT_EQ(d_.Root->index, 9);
  EXPECT_EQ(d_.Root->anc, nullptr);
}

TEST_F(TreeEditTest, RefusedMovesChangeNothing) {
  const std::string before = ShownNewick(d_, true, false);
  MoveSubtree(d_, N("A"), N("B"));        // onto the sibling
  MoveSubtree(d_, N("A"), N("A,B"));      // onto the ancestor
  MoveSubtree(d_, N("C,D,E"), N("C"));    // into itself
  MoveSubtree(d_, d_.Root, N("C"));       // the root
  EXPECT_EQ(ShownNewick(d_, true, false), before);
}

TEST_F(TreeEditTest, InFocusedSubtreeClimbsToTheFocus) {
  const int cd = N("C,D")->index;
  EXPECT_TRUE(InFocusedSubtree(d_, cd, N("C")));
  EXPECT_TRUE(InFocusedSubtree(d_, cd, N("C,D")));
  EXPECT_FALSE(InFocusedSubtree(d_, cd, N("E")));
  EXPECT_FALSE(InFocusedSubtree(d_, cd, d_.Root));
}

}  // namespace
