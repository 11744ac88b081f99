// Subtree and group attributes of a tree box.

#include <gtest/gtest.h>

#include "tree/view/NTreeBox.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeBoxTesting.h"

namespace {

using namespace treeview_testing;

const char* const kTree = "(((A:1,B:2):1,(C:3,D:4):1):1,(E:5,F:6):1);";

class TreeBoxAttributesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto list = ListFromNewick(kTree);
    list->isRooted = true;
    ASSERT_TRUE(box_.SetTreeList(std::move(list), false));
  }
  int Index(const std::string& names) const { return box_[names]->index; }
  int Count() const { return static_cast<int>(box_.Display().AttribList.size()); }

  TestBox box_;
};

TEST_F(TreeBoxAttributesTest, SettingTwiceReplacesTheOneAttribute) {
  TNodeAttrib a;
  a.Caption = "ABCD";
  box_.SetSubtreeAttrib(a, Index("A,B,C,D"));
  EXPECT_EQ(a.NodeIndex, Index("A,B,C,D"));  // the caller's object names the node
  a.Caption = "again";
  box_.SetSubtreeAttrib(a, Index("A,B,C,D"));
  EXPECT_EQ(Count(), 2);
  TNodeAttrib read;
  EXPECT_TRUE(box_.GetSubtreeAttrib(read, Index("A,B,C,D")));
  EXPECT_EQ(read.Caption, "again");
  EXPECT_FALSE(box_.GetSubtreeAttrib(read, Index("A,B")));  // inherited
  EXPECT_EQ(read.Caption, "again");
  EXPECT_TRUE(box_.GetSubtreeAttrib(read, box_.Display().Root->index));
  EXPECT_FALSE(box_.GetSubtreeAttrib(read, 99));
}

TEST_F(TreeBoxAttributesTest, TheRootOrZeroSetsTheWholeTreeAttribute) {
  TNodeAttrib a;
  a.BranchPen.Width = 4;
  box_.SetSubtreeAttrib(a, 0);
  EXPECT_EQ(box_.BranchPen().Width, 4);
  a.BranchPen.Width = 2;
  box_.SetSubtreeAttrib(a, box_.Display().Root->index);
  EXPECT_EQ(box_.BranchPen().Width, 2);
  EXPECT_EQ(Count(), 1);
  box_.SetSubtreeAttrib(a, 100);  // outside the tree: ignored
  EXPECT_EQ(Count(), 1);
}

TEST_F(TreeBoxAttributesTest, NestedAttributesTakeTheNameAndMarkerSwitchesOfTheOuterOne) {
  TNodeAttrib inner;
  inner.ShowTaxonName = true;
  box_.SetSubtreeAttrib(inner, Index("A,B"));
  TNodeAttrib outer;
  outer.ShowTaxonName = false;
  outer.OverrideGroups = true;
  box_.SetSubtreeAttrib(outer, Index("A,B,C,D"));
  TNodeAttrib read;
  ASSERT_TRUE(box_.GetSubtreeAttrib(read, Index("A,B")));
  EXPECT_FALSE(read.ShowTaxonName);
  EXPECT_TRUE(read.OverrideGroups);
}

TEST_F(TreeBoxAttributesTest, EachTreeKeepsItsOwnAttributes) {
  auto list = ListFromNewick(std::string(kTree) + "(((A:1,C:3):1,(B:2,D:4):1):1,(E:5,F:6):1);");
  list->isRooted = true;
  ASSERT_TRUE(box_.SetTreeList(std::move(list), false));
  TNodeAttrib a;
  a.Caption = "EF";
  box_.SetSubtreeAttrib(a, Index("E,F"));
  box_.SetTreeIndex(2);
  EXPECT_EQ(Count(), 1);
  TNodeAttrib read;
  EXPECT_FALSE(box_.GetSubtreeAttrib(read, Index("E,F")));
  box_.SetTreeIndex(1);
  EXPECT_EQ(Count(), 2);
  EXPECT_TRUE(box_.GetSubtreeAttrib(read, Index("E,F")));
  EXPECT_EQ(read.Caption, "EF");
}

TEST_F(TreeBoxAttributesTest, ClearingOneOrAll) {
  TNodeAttrib a;
  for (const char* clade : {"A,B,C,D", "A,B", "C,D", "E,F"}) box_.SetSubtreeAttrib(a, Index(clade));
  ASSERT_EQ(Count(), 5);
  box_.ClearSubtreeAttrib(box_.Display().Root->index, false);  // the root has none of its own
  EXPECT_EQ(Count(), 5);
  box_.ClearSubtreeAttrib(Index("A"), false);  // inherited only
  EXPECT_EQ(Count(), 5);
  box_.ClearSubtreeAttrib(Index("A,B,C,D"), false);
  EXPECT_EQ(Count(), 4);
  TNodeAttrib read;
  EXPECT_TRUE(box_.GetSubtreeAttrib(read, Index("A,B")));
  box_.ClearSubtreeAttrib(Index("A,B,C,D"), true);  // those below go too
  EXPECT_EQ(Count(), 2);
  EXPECT_TRUE(box_.GetSubtreeAttrib(read, Index("E,F")));
  box_.ClearAllSubtreeAttrib();
  EXPECT_EQ(Count(), 1);
  for (const TNode& node : box_.Display().Nodes) EXPECT_EQ(node.attrIndex, 0) << node.index;
}

TEST_F(TreeBoxAttributesTest, ACompressedSubtreeIsExpandedWhenItsAttributeGoes) {
  TNodeAttrib a;
  a.Compressed = true;
  a.Caption = "Group";
  box_.SetSubtreeAttrib(a, Index("C,D"));
  EXPECT_TRUE(box_["C,D"]->compressed);
  EXPECT_TRUE(box_["C"]->hidden);
  EXPECT_EQ(box_["C,D"]->name, "Group");
  box_.ClearSubtreeAttrib(Index("C,D"), false);
  EXPECT_FALSE(box_["C,D"]->compressed);
  EXPECT_FALSE(box_["C"]->hidden);
}

TEST_F(TreeBoxAttributesTest, OverwriteDownstreamCopiesTheGraphicSettings) {
  TNodeAttrib outer;
  outer.BranchPen = {0x0000FF, 3, TPenStyle::psDot};
  outer.Caption = "outer";
  box_.SetSubtreeAttrib(outer, Index("A,B,C,D"));
  TNodeAttrib inner;
  inner.Caption = "inner";
  box_.SetSubtreeAttrib(inner, Index("C,D"));
  box_.OverwriteAttribDownstream(Index("A,B,C,D"));
  TNodeAttrib read;
  ASSERT_TRUE(box_.GetSubtreeAttrib(read, Index("C,D")));
  EXPECT_EQ(read.BranchPen, outer.BranchPen);
  EXPECT_EQ(read.Caption, "inner");  // not a graphic setting
}

TEST_F(TreeBoxAttributesTest, MarkersOfASubtree) {
  TNodeAttrib a;
  a.ShowTaxonMarker = false;
  box_.SetSubtreeAttrib(a, Index("A,B"));
  box_.SetTaxonMarkerOfSubtree(Index("A,B,C,D"), {3, 0x00FF00});
  for (const char* taxon : {"A", "B", "C", "D"}) EXPECT_EQ(box_[taxon]->marker, (TNodeMarker{3, 0x00FF00})) << taxon;
  EXPECT_EQ(box_["E"]->marker.Shape, 0);
  // The whole-tree attribute shows markers, so the subtree's own one does too.
  TNodeAttrib read;
  box_.GetSubtreeAttrib(read, Index("A,B"));
  EXPECT_TRUE(read.ShowTaxonMarker);
}

TEST_F(TreeBoxAttributesTest, ReRootingInsideAnAttributedSubtreeDropsItsAttribute) {
  // Unrooted (a basal trifurcation): the box may re-root it.
  ASSERT_TRUE(box_.SetTreeList(ListFromNewick("((A:1,B:2):1,(C:3,D:4):1,(E:5,F:6):1);"), false));
  ASSERT_FALSE(box_.isRooted());
  TNodeAttrib a;
  a.Caption = "AB";
  box_.SetSubtreeAttrib(a, Index("A,B"));
  TNodeAttrib b;
  b.Caption = "EF";
  box_.SetSubtreeAttrib(b, Index("E,F"));
  ASSERT_EQ(Count(), 3);
  box_.FocusOnBranch(Index("A"));
  box_.RootOnFocusedBranch();
  EXPECT_EQ(Count(), 2);
  TNodeAttrib read;
  EXPECT_TRUE(box_.GetSubtreeAttrib(read, Index("E,F")));
  EXPECT_EQ(read.Caption, "EF");
}

TEST_F(TreeBoxAttributesTest, GroupsFromLines) {
  TStringList lines{"A=Apes", "B=Apes", "E=Birds", "nobody=Fish", "C="};
  box_.SetGroupInfo(&lines);
  const auto& groups = box_.Display().GroupAttrib;
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0]->GroupName, "Apes");
  EXPECT_EQ(groups[0]->Caption, "Apes");
  EXPECT_EQ(groups[1]->GroupName, "Birds");
  EXPECT_EQ(box_["A"]->groupIndex, 0);
  EXPECT_EQ(box_["B"]->groupIndex, 0);
  EXPECT_EQ(box_["C"]->groupIndex, -1);
  EXPECT_EQ(box_["E"]->groupIndex, 1);
  EXPECT_LT(box_["A,B"]->attrIndex, 0);  // the group's region starts at its clade

  TNodeAttrib apes;
  box_.GetGroupAttrib(apes, "Apes");
  apes.NameFont.Color = 0x0000FF;
  box_.SetGroupAttrib(apes, "Apes");
  EXPECT_EQ(groups[0]->NameFont.Color, 0x0000FF);
  EXPECT_EQ(groups[0]->GroupName, "Apes");
  box_.SetTaxonMarkerOfGroup("Birds", {5, 0xFF0000});
  EXPECT_EQ(box_["E"]->marker, (TNodeMarker{5, 0xFF0000}));
  EXPECT_EQ(box_["F"]->marker.Shape, 0);
  box_.SetTaxonMarkerOfGroup("unknown", {5, 0});

  box_.SetGroupInfo(nullptr);  // nothing happens
  TStringList none;
  box_.SetGroupInfo(&none);
  EXPECT_EQ(groups.size(), 2u);
}

TEST_F(TreeBoxAttributesTest, SwitchingMarkersOffReachesTheTreesOwnAttributes) {
  TNodeAttrib a;
  box_.SetSubtreeAttrib(a, Index("E,F"));
  box_.SetShowOTUMarker(false);
  TNodeAttrib read;
  box_.GetSubtreeAttrib(read, Index("E,F"));
  EXPECT_FALSE(read.ShowTaxonMarker);
}

}  // namespace
