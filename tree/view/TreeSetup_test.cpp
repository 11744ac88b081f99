#include "tree/view/TreeSetup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;
using ::testing::ThrowsMessage;

// Three taxa A, B, C (nodes 1..3 of the store) over a tree whose node
// records the test sets.
struct Store {
  TTreeDisplay display;
  Store() {
    display.Nodes.Build(3);
    const char* names[] = {"A", "B", "C"};
    for (int k = 1; k <= 3; ++k) display.Node(k)->name = names[k - 1];
  }
};

TTreeData ThreeTaxa() {
  TTreeData tree(3, true, false, true);
  tree.NodeArray()[0] = {0, 1};
  tree.NodeArray()[1] = {3, 2};
  const double lengths[] = {1, 2, 3, 0.25};
  for (int i = 0; i < 4; ++i) tree.BLen()[i] = lengths[i];
  return tree;
}

TEST(LinkTree, LinksNodesAndCopiesBranchValues) {
  Store s;
  TTreeData tree = ThreeTaxa();
  tree.Stats()[3] = 95;
  LinkTree(s.display, tree);
  EXPECT_EQ(s.display.Root, s.display.Node(5));
  EXPECT_EQ(ShownNewick(s.display, true, false), "((A:1,B:2):0.25,C:3)");
  EXPECT_EQ(s.display.Node(4)->stats, 95);
}

TEST(LinkTree, RefusesTreesThatDoNotFitAndLeavesTheStoreAsItWas) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    const char* what;
    std::function<void(TTreeData&)> spoil;
  } rows[] = {
      {"child out of range", [](TTreeData& t) { t.NodeArray()[0] = {0, 9}; }},
      {"negative child", [](TTreeData& t) { t.NodeArray()[0] = {-1, 1}; }},
      {"child twice", [](TTreeData& t) { t.NodeArray()[1] = {3, 3}; }},
      {"cycle", [](TTreeData& t) { t.NodeArray()[0] = {4, 1}; }},
      {"length not a number", [nan](TTreeData& t) { t.BLen()[0] = nan; }},
      {"infinite support", [inf](TTreeData& t) { t.Stats()[1] = inf; }},
      {"other taxon count", [](TTreeData& t) { t.SetNoOfOTUs(4); }},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Store s;
    LinkTree(s.display, ThreeTaxa());
    TTreeData bad = ThreeTaxa();
    r.spoil(bad);
    EXPECT_THAT([&] { LinkTree(s.display, bad); }, ThrowsMessage<Exception>(kInvalidTreeText));
    EXPECT_EQ(ShownNewick(s.display, true, false), "((A:1,B:2):0.25,C:3)");
  }
}

TEST(MoveRootToEnd, ExchangesTheRootRecordWithTheLastOne) {
  Store s;
  TTreeData tree(3, true, false, false);
  tree.NodeArray()[0] = {4, 2};  // the root is the first record
  tree.NodeArray()[1] = {0, 1};
  tree.BLen()[0] = 1;
  tree.BLen()[1] = 2;
  tree.BLen()[2] = 3;
  LinkTree(s.display, tree);
  TNode* formerRoot = s.display.Node(4);
  TNode* formerLast = s.display.Node(5);
  ASSERT_EQ(s.display.Root, formerRoot);
  EXPECT_EQ(formerLast->blen, 0);  // the tree has no entry for it
  formerLast->blen = 0.25;
  formerLast->stats = 80;

  MoveRootToEnd(s.display);
  EXPECT_EQ(s.display.Root, formerLast);
  EXPECT_EQ(formerLast->index, 5);
  EXPECT_EQ(formerRoot->index, 4);
  EXPECT_EQ(formerLast->des1, formerRoot);
  EXPECT_EQ(formerRoot->anc, formerLast);
  EXPECT_EQ(formerRoot->des1, s.display.Node(1));
  EXPECT_EQ(s.display.Node(1)->anc, formerRoot);
  EXPECT_EQ(ShownNewick(s.display, true, false), "((A:1,B:2):0.25,C:3)");
  EXPECT_EQ(formerRoot->stats, 80);  // the branch block went with the place

  MoveRootToEnd(s.display);  // already last: nothing moves
  EXPECT_EQ(s.display.Root, formerLast);
  EXPECT_EQ(ShownNewick(s.display, true, false), "((A:1,B:2):0.25,C:3)");
}

TEST(StatsPercent, TruncatesTheShareOfTheTotal) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    double stats, total;
    int expected;
  } rows[] = {
      {94.9999999999, 100, 94}, {95, 100, 95}, {-1, 100, -1},  {0.95, 1, 95},
      {3.7, 0, 3},              {-1, 0, -1},   {1e300, 1, 2147483647}, {inf, 100, 2147483647},
      {std::nan(""), 100, -1},  {-1e-14, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.stats << " of " << r.total);
    EXPECT_EQ(StatsPercent(r.stats, r.total), r.expected);
  }
}

TEST(BLenDecimalsFor, ShowsTheFirstSignificantDigit) {
  const std::pair<double, int> rows[] = {{0.5, 2}, {1.5, 1}, {0.05, 3}, {15, 0}, {9.99, 1}, {0, 0}, {-3, 0}};
  for (const auto& [m, decimals] : rows) {
    SCOPED_TRACE(m);
    EXPECT_EQ(BLenDecimalsFor(m), decimals);
  }
}

TEST(SetNodeHeights, TakesTheFirstSourceAvailable) {
  struct Row {
    const char* source;
    std::function<void(TTreeDisplay&)> prepare;
    double ab, root;
  } rows[] = {
      {"branch lengths", [](TTreeDisplay&) {}, 2, 4},
      {"distance matrix",
       [](TTreeDisplay& d) {
         d.DistanceMatrix = std::make_unique<TDistanceMatrix>(TDistanceMatrix{{0}, {2, 0}, {6, 8, 0}});
       },
       1, 3.5},
      {"linearizing host",
       [](TTreeDisplay& d) {
         d.isLinearized = true;
         d.DistanceMatrix = std::make_unique<TDistanceMatrix>(TDistanceMatrix{{0}, {2, 0}, {6, 8, 0}});
         d.LinearizeFunc = [](TTreeData& t) {
           const double lengths[] = {1, 1, 3, 2};
           for (int i = 0; i < 4; ++i) t.BLen()[i] = lengths[i];
         };
       },
       1, 3},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.source);
    auto list = ListFromNewick("((A:1,B:3):2,C:4);");
    TTreeDisplay d;
    LoadDisplay(d, *list);
    r.prepare(d);
    SetNodeHeights(d, false);
    EXPECT_DOUBLE_EQ(Clade(d, "A,B")->height, r.ab);
    EXPECT_DOUBLE_EQ(d.Root->height, r.root);
  }
}

TEST(GetTreeData, WritesTheShownRootOrderAndLengths) {
  auto list = ListFromNewick("((A:1,B:3):2,C:4);");
  TTreeDisplay d;
  LoadDisplay(d, *list);
  SwapNode(d.Root->des1, d.Root->des2);
  TTreeData tree(7, false, true, false);  // any size and flags
  GetTreeData(d, tree, {true, false, true});
  EXPECT_EQ(tree.NoOfOTUs(), 3);
  EXPECT_FALSE(tree.isSE());
  EXPECT_TRUE(tree.isStats());
  TTreeList names;
  names.OTUNames = list->OTUNames;
  auto written = std::make_unique<TTreeData>(3, true, false, true);
  written->Assign(tree);
  names.Add(std::move(written));
  std::string text;
  names.isRooted = true;
  names.OutputNewickTree(0, true, false, 0, text);
  EXPECT_EQ(text, "(C:4.00000000,(A:1.00000000,B:3.00000000):2.00000000);");

  d.isLinearized = true;  // lengths become differences of heights
  SetNodeHeights(d, false);
  GetTreeData(d, tree, {true, true, false});
  EXPECT_FALSE(tree.isSE());
  EXPECT_DOUBLE_EQ(tree.GetBLen(3), d.Root->height - Clade(d, "A,B")->height);
}

TEST(FindMidpointNode, FindsTheBranchHoldingTheMidpointOfTheLongestPath) {
  auto list = ListFromNewick("((A:1,B:9):1,(C:1,D:1):1);");
  TTreeDisplay d;
  LoadDisplay(d, *list);
  EXPECT_EQ(FindMidpointNode(d), Taxon(d, "B"));
}

TEST(SetVSpace, GivesRowsToTaxaAndGroups) {
  auto list = ListFromNewick("(((A,B),C),(D,E));");
  TTreeDisplay d;
  LoadDisplay(d, *list);
  d.PixelsPerOTU4 = 24;
  d.PixelsPerGroupMember4 = 8;
  Clade(d, "A,B,C")->compressed = true;
  SetVSpace(d, d.Root);
  EXPECT_EQ(Clade(d, "A,B,C")->vspace, 24);  // three members of 8 fill one row
  EXPECT_EQ(d.Root->vspace, 72);
  d.PixelsPerGroupMember4 = 12;
  SetVSpace(d, d.Root);
  EXPECT_EQ(Clade(d, "A,B,C")->vspace, 36);
  d.TreePresent = false;  // nothing happens before the tree is set up
  d.PixelsPerOTU4 = 4;
  SetVSpace(d, d.Root);
  EXPECT_EQ(d.Root->vspace, 84);
}

}  // namespace
