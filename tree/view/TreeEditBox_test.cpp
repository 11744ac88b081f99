#include "tree/view/TreeEditBox.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/core/NumberFormat.h"
#include "platform/graphics/TraceContext.h"
#include "tree/view/TreeEdit.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;
using ::testing::HasSubstr;
using ::testing::Not;

const char* const kTree = "((A:1,B:2):0.5,((C:1,D:1.5):0.25,E:3):0.75);";

class TreeEditBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { Load(true); }
  void Load(bool rooted) {
    list_ = ListFromNewick(kTree);
    std::vector<std::string> names;
    for (int i = 0; i < list_->NoOfOTUs(); ++i) names.push_back(list_->OTUName(i));
    box_.SetTextMeasurer(std::make_unique<FixedTextMeasurer>());
    ASSERT_TRUE(box_.SetTree(list_->Items(0), names, rooted));
    box_.SetPixelsPerOTU(20);
    box_.SetEditEnabled(true);
    box_.RefreshTree();
    box_.OnMouseDown = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++mouseDowns_; };
    box_.OnMouseMove = [this](QObject*, Qt::KeyboardModifiers, int, int) { ++mouseMoves_; };
  }
  const TTreeDisplay& D() const { return box_.Display(); }
  const TNode* N(const std::string& names) const { return Clade(D(), names); }
  Coord Px(Coord v, Coord origin) const { return RoundHalfEven(static_cast<double>(v + origin) / 4.0); }
  // The middle of the horizontal part of a node's branch.
  QPoint OnBranch(const TNode* p) const {
    return QPoint(static_cast<int>((Px(p->anc->position.x, D().Origin.x) + Px(p->position.x, D().Origin.x)) / 2),
                  static_cast<int>(Px(p->position.y, D().Origin.y)));
  }
  // Presses on `moved`'s branch and drags until its graft point lies on
  // `target`'s branch.
  void Drag(const TNode* moved, const TNode* target) {
    const QPoint start = OnBranch(moved);
    box_.MouseDown(Qt::LeftButton, Qt::NoModifier, start.x(), start.y());
    const Point graft = GraftPoint(D(), moved->index, 0, 0);
    const QPoint onto = OnBranch(target);
    box_.MouseMove(Qt::NoModifier, start.x() + 3, start.y() + 3);  // on the way
    box_.MouseMove(Qt::NoModifier, start.x() + onto.x() - static_cast<int>(graft.x),
                   start.y() + onto.y() - static_cast<int>(graft.y));
  }
  std::string Overlay() const {
    TraceContext trace;
    box_.Overlay().Replay(trace);
    return trace.Text();
  }
  std::vector<double> Lengths() const {
    std::vector<double> lengths;
    for (const TNode& node : D().Nodes) lengths.push_back(node.blen);
    return lengths;
  }

  std::unique_ptr<TTreeList> list_;
  TTreeEditBox box_;
  int mouseDowns_ = 0;
  int mouseMoves_ = 0;
};

TEST_F(TreeEditBoxTest, DraggingABranchOntoAnotherMovesItsSubtree) {
  const std::vector<double> lengths = Lengths();
  const int a = N("A")->index;
  Drag(N("A"), N("E"));
  EXPECT_TRUE(box_.Dragging());
  EXPECT_EQ(box_.DropTarget(), N("E")->index);
  EXPECT_EQ(mouseMoves_, 0);  // no OnMouseMove while dragging
  EXPECT_THAT(Overlay(), HasSubstr("R2_NOTXORPEN"));
  EXPECT_THAT(Overlay(), HasSubstr(",3,$0000FF)"));  // the red diamond of a target
  const QPoint end = box_.DragPoint();
  box_.MouseUp(Qt::LeftButton, Qt::NoModifier, end.x(), end.y());
  EXPECT_FALSE(box_.Dragging());
  EXPECT_TRUE(box_.DragPoint().isNull());
  EXPECT_EQ(ShownNewick(D(), true, false), "(B:2,((C:1,D:1.5):0.25,(A:1,E:3):0.5):0.75)");
  EXPECT_EQ(Lengths(), lengths);  // every node keeps its branch
  EXPECT_TRUE(box_.BranchFocused());
  EXPECT_EQ(box_.FocusedIndex(), a);
  EXPECT_THAT(Overlay(), Not(HasSubstr("R2_NOTXORPEN")));  // the outline is gone
  EXPECT_THAT(Overlay(), HasSubstr("PS_DOT"));             // the dotted focus elbow
}

TEST_F(TreeEditBoxTest, ARefusedDropChangesNothing) {
  const std::string before = ShownNewick(D(), true, false);
  for (const char* onto : {"B", "A,B", "C,D,E"}) {  // sibling, ancestor, sibling of A,B
    SCOPED_TRACE(onto);
    const TNode* moved = std::string(onto) == "C,D,E" ? N("A,B") : N("A");
    Drag(moved, N(onto));
    EXPECT_EQ(box_.DropTarget(), 0);
    EXPECT_THAT(Overlay(), HasSubstr("PS_COSMETIC|PS_SOLID,$808080)"));  // a thin grey diamond
    const QPoint end = box_.DragPoint();
    box_.MouseUp(Qt::LeftButton, Qt::NoModifier, end.x(), end.y());
    EXPECT_EQ(ShownNewick(D(), true, false), before);
  }
}

TEST_F(TreeEditBoxTest, WithoutSelectionADragLeavesNoDropTargetBehind) {
  box_.SetShowSelection(false);
  const std::string before = ShownNewick(D(), true, false);
  Drag(N("A"), N("E"));
  ASSERT_EQ(box_.DropTarget(), N("E")->index);
  const QPoint end = box_.DragPoint();
  box_.MouseUp(Qt::LeftButton, Qt::NoModifier, end.x(), end.y());
  EXPECT_EQ(box_.DropTarget(), 0);
  EXPECT_EQ(ShownNewick(D(), true, false), before);  // nothing is dropped without a selection
  // The next plain click only focuses.
  const QPoint onA = OnBranch(N("A"));
  box_.MouseDown(Qt::LeftButton, Qt::NoModifier, onA.x(), onA.y());
  box_.MouseUp(Qt::LeftButton, Qt::NoModifier, onA.x(), onA.y());
  EXPECT_EQ(ShownNewick(D(), true, false), before);
  EXPECT_TRUE(box_.BranchFocused());
}

TEST_F(TreeEditBoxTest, AModifierClickMovesTheFocusedSubtreeAtOnce) {
  const QPoint onA = OnBranch(N("A"));
  box_.MouseDown(Qt::LeftButton, Qt::NoModifier, onA.x(), onA.y());
  box_.MouseUp(Qt::LeftButton, Qt::NoModifier, onA.x(), onA.y());
  ASSERT_TRUE(box_.BranchFocused());
  const int downs = mouseDowns_;
  const QPoint onC = OnBranch(N("C"));
  box_.MouseDown(Qt::LeftButton, Qt::ShiftModifier, onC.x(), onC.y());
  EXPECT_EQ(ShownNewick(D(), false, false), "(B,(((A,C),D),E))");
  EXPECT_EQ(mouseDowns_, downs);  // the drop click raises no OnMouseDown
  EXPECT_EQ(box_.FocusedIndex(), N("A")->index);

  // Two modifiers: a plain click, which focuses the branch clicked.
  const QPoint onE = OnBranch(N("E"));
  box_.MouseDown(Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, onE.x(), onE.y());
  EXPECT_EQ(ShownNewick(D(), false, false), "(B,(((A,C),D),E))");
  EXPECT_EQ(box_.FocusedIndex(), N("E")->index);
  EXPECT_EQ(mouseDowns_, downs + 1);
}

TEST_F(TreeEditBoxTest, WithEditingOffItIsTheBaseControl) {
  box_.SetEditEnabled(false);
  const QPoint onA = OnBranch(N("A"));
  box_.MouseDown(Qt::LeftButton, Qt::NoModifier, onA.x(), onA.y());
  EXPECT_TRUE(box_.BranchFocused());
  EXPECT_FALSE(box_.Dragging());
  EXPECT_EQ(mouseDowns_, 1);
  box_.MouseMove(Qt::NoModifier, onA.x() + 40, onA.y() + 40);
  EXPECT_EQ(mouseMoves_, 1);
  EXPECT_THAT(Overlay(), HasSubstr("R2_NOTXORPEN"));  // the inverting focus outline
  EXPECT_THAT(Overlay(), Not(HasSubstr("PS_DOT")));
}

TEST_F(TreeEditBoxTest, OtherStylesNeitherDragNorLoseTheElbowMark) {
  box_.SetTreeStyle(TTreeStyle::tsRadiation);
  box_.RefreshTree();
  box_.FocusOnBranch(N("E")->index);
  EXPECT_THAT(Overlay(), HasSubstr("PS_DOT"));
  const QPoint somewhere(10, 10);
  box_.MouseDown(Qt::LeftButton, Qt::NoModifier, somewhere.x(), somewhere.y());
  EXPECT_FALSE(box_.Dragging());
}

TEST_F(TreeEditBoxTest, RootingPutsTheFocusedSideSecond) {
  Load(false);
  const int c = N("C")->index;
  box_.FocusOnBranch(c);
  box_.RootOnFocusedBranch();
  EXPECT_EQ(D().Root->des2->index, c);
  EXPECT_EQ(D().Root->index, D().Nodes.NoOfNodes());
  EXPECT_EQ(box_.FocusedIndex(), c);  // the focus stays
  EXPECT_TRUE(box_.BranchFocused());
  // Rooted trees stay as they are.
  Load(true);
  const std::string before = ShownNewick(D(), true, false);
  box_.FocusOnBranch(N("C")->index);
  box_.RootOnFocusedBranch();
  EXPECT_EQ(ShownNewick(D(), true, false), before);
}

TEST_F(TreeEditBoxTest, TaggedNamesAreDrawnEvenWhereTheyOverlap) {
  EXPECT_TRUE(box_.PictureOptions().DrawOverlappingTaggedNames);
}

}  // namespace
