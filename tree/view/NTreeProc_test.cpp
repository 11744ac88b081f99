#include "tree/view/NTreeProc.h"

#include <gtest/gtest.h>

#include <vector>

#include "tree/view/TreeSetup.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

struct Shown {
  std::unique_ptr<TTreeList> list;
  TTreeDisplay display;
  explicit Shown(const std::string& newick) : list(ListFromNewick(newick)) { LoadDisplay(display, *list); }
  TNode* operator[](const std::string& names) { return Clade(display, names); }
  SplitMap CurrentSplits() {
    TTreeData tree(2, false, false, false);
    GetTreeData(display, tree, {display.SBL > 0, false, true});
    return Splits(tree, *list);
  }
};

TEST(SetLongestPaths, GivesTheLongestPathsThroughEachBranch) {
  Shown t("((A:1,B:2):3,(C:4,D:5):6);");
  struct Row {
    const char* clade;
    double up, down;
  } rows[] = {{"A", 15, 1}, {"B", 16, 2}, {"C", 15, 4}, {"D", 16, 5}, {"A,B", 14, 5}, {"C,D", 11, 11}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.clade);
    EXPECT_DOUBLE_EQ(t[r.clade]->pathUp, r.up);
    EXPECT_DOUBLE_EQ(t[r.clade]->pathDown, r.down);
  }
}

TEST(SetCondensedDepths, FoldsWeakBranchesIntoTheirAncestorsLevel) {
  Shown t("((A,B)90,((C,D)40,E)80);");
  struct Row {
    int threshold;
    int root, ab, cd, cde;
  } rows[] = {{0, 3, 1, 1, 2}, {50, 2, 1, 1, 1}, {95, 1, 1, 1, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.threshold);
    SetCondensedDepths(t.display.Root, r.threshold);
    EXPECT_EQ(t.display.Root->depth, r.root);
    EXPECT_EQ(t["A,B"]->depth, r.ab);
    EXPECT_EQ(t["C,D"]->depth, r.cd);
    EXPECT_EQ(t["C,D,E"]->depth, r.cde);
  }
}

TEST(SetCondensedDepths, NodesWithoutSupportStayAtTheirAncestorsLevel) {
  Shown t("(A,B,C);");  // the node joining A and B is an artefact with support -1
  SetCondensedDepths(t.display.Root, 0);
  EXPECT_EQ(t["A,B"]->statsPercent, -1);
  EXPECT_EQ(t["A,B"]->depth, t.display.Root->depth);
}

TEST(SortByMinOrder, PutsTheSmallerTaxonFirst) {
  Shown t("((A,B),C);");
  SwapNode(t.display.Root->des1, t.display.Root->des2);
  SwapNode(t["A,B"]->des1, t["A,B"]->des2);
  ASSERT_EQ(ShownNewick(t.display, false, false), "(C,(B,A))");
  SortByMinOrder(t.display.Root);
  EXPECT_EQ(ShownNewick(t.display, false, false), "((A,B),C)");
}

TEST(FindOutgroupNode, PicksTheBranchForTheMarkedTaxa) {
  struct Row {
    const char* newick;
    std::vector<std::string> marked;
    const char* expected;  // clade, or "" for the root
  } rows[] = {
      {"(((A,B),(C,D)),((E,F),(G,H)));", {}, ""},
      {"(((A,B),(C,D)),((E,F),(G,H)));", {"A"}, "A"},
      {"(((A,B),(C,D)),((E,F),(G,H)));", {"A", "B", "C", "D"}, "A,B,C,D"},
      {"(((A,B),(C,D)),((E,F),(G,H)));", {"A", "B", "C", "D", "E"}, "G,H"},
      {"(((A,B),(C,D)),((E,F),(G,H)));", {"A", "B", "C", "D", "E", "F", "G", "H"}, ""},
      // The ancestor of A and E holds more than half: root inside it.
      {"((((A,B),(C,D)),E),F);", {"A", "E"}, "C,D"},
      // ... or on the ancestor itself when nothing inside is large enough.
      {"((((A,B),C),(D,E)),F);", {"A", "D"}, "A,B,C,D,E"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.newick);
    Shown t(r.newick);
    for (const auto& name : r.marked) Taxon(t.display, name)->mark = true;
    TNode* found = FindOutgroupNode(t.display.Root);
    EXPECT_EQ(found, *r.expected ? t[r.expected] : t.display.Root);
  }
}

TEST(ChangeRoot, KeepsEverySplitLengthAndSupportOnEveryBranch) {
  const char* newick = "((C:0.3,D:0.4)10:0.001,(A:0.5,(B:0.6,X:0.7)30:0.01)20:0.1,E:0.8);";
  const int nodes = 2 * 6 - 1;
  for (bool midpoint : {false, true}) {
    for (int k = 1; k < nodes; ++k) {
      SCOPED_TRACE(testing::Message() << "node " << k << (midpoint ? " midpoint" : ""));
      Shown t(newick);
      TNode* P = t.display.Node(k);
      const SplitMap before = t.CurrentSplits();
      const double oldLength = P->blen;
      const bool rootChild = P->anc == t.display.Root;
      TNode* root = t.display.Root;
      ChangeRoot(root, P, midpoint);

      EXPECT_EQ(t.display.Root, root);
      EXPECT_EQ(root->index, nodes);
      EXPECT_EQ(t.CurrentSplits(), before);
      if (!rootChild) {
        EXPECT_EQ(P->anc, root);
        EXPECT_NEAR(root->des1->blen + root->des2->blen, oldLength, 1e-12);
      }
      // Path lengths were carried along, not left stale.
      std::vector<std::pair<double, double>> carried;
      for (const TNode& n : t.display.Nodes) carried.emplace_back(n.pathUp, n.pathDown);
      SetLongestPaths(root);
      for (const TNode& n : t.display.Nodes) {
        if (&n == root) continue;
        EXPECT_NEAR(carried[n.index - 1].first, n.pathUp, 1e-12) << n.index;
        EXPECT_NEAR(carried[n.index - 1].second, n.pathDown, 1e-12) << n.index;
      }
    }
  }
}

TEST(ChangeRoot, SupportOfTheOldRootEdgeStaysOnItsSplit) {
  Shown t("(A,(B,C)70,(D,E)80);");
  const SplitMap before = t.CurrentSplits();
  ASSERT_EQ(before.at("D,E").second, 80);
  ChangeRoot(t.display.Root, Taxon(t.display, "D"), false);
  EXPECT_EQ(ShownNewick(t.display, false, true), "(D,((A,(B,C)70)80,E)0)");
  EXPECT_EQ(t.CurrentSplits(), before);
}

TEST(ChangeRoot, SlidesAlongTheRootBranchesWhenTheNodeIsARootChild) {
  struct Row {
    const char* newick;
    const char* node;
    bool midpoint;
    const char* expected;
  } rows[] = {
      // The midpoint of B..C lies on C's branch: C keeps 5.75, its sibling grows.
      {"((A:1,B:1):0.5,C:10);", "A,B", true, "((A:1,B:1):4.75,C:5.75)"},
      // The midpoint lies inside the group of A and B: nothing moves.
      {"((A:1,B:9):0.5,C:1);", "A,B", true, "((A:1,B:9):0.5,C:1)"},
      // Without the midpoint a tenth of the node's branch moves across.
      {"((A:1,B:9):0.5,C:1);", "A,B", false, "((A:1,B:9):0.45,C:1.05)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.newick);
    Shown t(r.newick);
    ChangeRoot(t.display.Root, t[r.node], r.midpoint);
    EXPECT_EQ(ShownNewick(t.display, true, false), r.expected);
  }
}

TEST(ChangeRoot, SplitsABranchInProportionWhenItsMidpointLiesElsewhere) {
  // The longest path runs B..D; C's branch (length 1) has 1 below its upper
  // end and 12 above its lower end, so C keeps 12/13 of it.
  Shown t("((A:1,B:9):1,(C:1,D:1):1);");
  TNode* c = Taxon(t.display, "C");
  TNode* cd = t["C,D"];
  ChangeRoot(t.display.Root, c, false);
  EXPECT_NEAR(c->blen, 12.0 / 13, 1e-12);
  EXPECT_NEAR(cd->blen, 1.0 / 13, 1e-12);
  EXPECT_EQ(cd->anc, t.display.Root);
}

}  // namespace
