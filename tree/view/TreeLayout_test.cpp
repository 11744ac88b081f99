#include "tree/view/TreeLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeSetup.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

// A tree laid out with the deterministic measurer: 400 pixels wide, rows of
// 6 pixels (24 quarter pixels).
struct Laid {
  std::unique_ptr<TTreeList> list;
  TTreeDisplay d;
  FixedTextMeasurer measurer;
  explicit Laid(const std::string& newick, TBranchStyle style = TBranchStyle::bsRectangular)
      : Laid(ListFromNewick(newick), style) {}
  explicit Laid(std::unique_ptr<TTreeList> source, TBranchStyle style = TBranchStyle::bsRectangular)
      : list(std::move(source)) {
    LoadDisplay(d, *list);
    d.PixelsPerOTU4 = 24;
    d.BranchStyle = style;
    SetVSpace(d, d.Root);
  }
  void Run() { Layout(d, {d.SBL > 1e-14, false, d.isStats}, measurer); }
  TNode* operator[](const std::string& names) { return Clade(d, names); }
};

TEST(Layout, PlacesTaxaInRowsAndNodesByBranchLength) {
  Laid t("((A:1,B:2):1,C:4);");
  t.Run();
  // MaxLength 4 over 400 pixels: 400 quarter pixels per unit.
  EXPECT_DOUBLE_EQ(t.d.XScale, 400);
  EXPECT_DOUBLE_EQ(t.d.ScaleRatio, 100);
  EXPECT_FALSE(t.d.Cladogram);
  EXPECT_EQ(Positions(t.d, false), "A=800,12 B=1200,36 C=1600,60 4=400,24 5=0,42");
}

TEST(Layout, ZeroBranchesHideTheirNodeAndJoinTheParentsLine) {
  struct Row {
    TBranchStyle style;
    const char* positions;
  } rows[] = {
      // The root's vertical line runs from A to C past the hidden node.
      {TBranchStyle::bsRectangular, "A=800,12 B=800,36 C=1600,60 4=0,24 5=0,36"},
      // Curved: the hidden node takes the root's y.
      {TBranchStyle::bsCurved, "A=800,12 B=800,36 C=1600,60 4=0,36 5=0,36"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.style));
    Laid t("((A:1,B:1.000001)50:0,C:2);", r.style);
    t.Run();
    EXPECT_TRUE(t["A,B"]->hidden);
    EXPECT_EQ(Positions(t.d, false), r.positions);
  }
}

TEST(Layout, CurvedAndStraightBranchesMeetBetweenTheInnermostRows) {
  struct Row {
    TBranchStyle style;
    Coord rootY;
  } rows[] = {{TBranchStyle::bsRectangular, 42}, {TBranchStyle::bsCurved, 48}, {TBranchStyle::bsStraight, 48}};
  for (const Row& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.style));
    Laid t("((A:1,B:1.5):1,C:2);", r.style);
    t.Run();
    EXPECT_EQ(t.d.Root->position.y, r.rootY);
    EXPECT_EQ(t["A,B"]->position.y, 24);
  }
}

TEST(Layout, CladogramsPlaceNodesByLevel) {
  struct Row {
    const char* newick;
    TBranchStyle style;
    const char* clade;
    Coord x;
  } rows[] = {
      {"((A,B),C);", TBranchStyle::bsRectangular, "A,B", 800},
      {"((A,B),C);", TBranchStyle::bsRectangular, "A", 1600},
      // Straight: the level shifts by the rows the node's clade holds.
      {"((A,B),(C,(D,E)));", TBranchStyle::bsStraight, "A,B", 1199},
      {"((A,B),(C,(D,E)));", TBranchStyle::bsRectangular, "A,B", 1066},
      // Curved: on the ellipse from the root (0, 42) to the row of A (1600, 12).
      {"((A,B),C);", TBranchStyle::bsCurved, "A,B", 720},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.newick << " " << static_cast<int>(r.style));
    Laid t(r.newick, r.style);
    t.Run();
    EXPECT_TRUE(t.d.Cladogram);
    EXPECT_EQ(t[r.clade]->position.x, r.x);
  }
}

// Below one quarter pixel a level, the levels share the width exactly: the
// scale never drops to zero, and the tree stays as wide as asked.
TEST(Layout, CladogramScaleNeverDropsToZero) {
  Laid t("(A,(B,(C,(D,(E,F)))));");
  t.d.CladogramWidth = 1;  // 4 quarter pixels over 5 levels
  t.Run();
  EXPECT_EQ(t.d.RootDepth, 5);
  EXPECT_DOUBLE_EQ(t.d.XScale, 0.8);
  EXPECT_EQ(t["F"]->position.x, 4);
}

TEST(Layout, ZeroLengthsGiveACladogram) {
  Laid t("((A:1,B:1):1,C:2);");
  for (TNode& node : t.d.Nodes) node.blen = node.pathUp = node.pathDown = 0;
  Layout(t.d, {true, false, false}, t.measurer);
  EXPECT_TRUE(t.d.Cladogram);
}

TEST(Layout, AKeptScaleRatioMakesTheWidthFollowTheTree) {
  Laid first("((A:1,B:2):1,C:4);");
  first.Run();
  Laid second("((A:2,B:4):2,C:8);");
  second.d.ScaleRatio = first.d.ScaleRatio;
  second.Run();
  EXPECT_EQ(second.d.TreeWidthPx, 800);
  EXPECT_EQ(second["A"]->position.x, 2 * first["A"]->position.x);
}

// Positions are accumulated down the tree and rounded once: a tree 16,383
// levels deep whose branches are each far shorter than a quarter pixel keeps
// its shape, and drawing it ten times wider moves every node ten times as
// far (give or take the rounding of the two).
TEST(Layout, DeepTreesAreRoundedOnceNotPerBranch) {
  for (TTreeStyle style : {TTreeStyle::tsTraditional, TTreeStyle::tsRadiation}) {
    SCOPED_TRACE(static_cast<int>(style));
    Laid narrow(LadderList(kMaxNoOfOTUs));
    Laid wide(LadderList(kMaxNoOfOTUs));
    for (Laid* t : {&narrow, &wide}) {
      t->d.TreeStyle = style;
      t->d.TreeWidthPx = t == &narrow ? 400 : 4000;
      // Labels would change the radiation's sectors with the scale.
      for (TNode& node : t->d.Nodes) node.nameWidth = 0;
      t->Run();
    }
    ASSERT_LT(narrow.d.XScale, 0.5);  // every branch alone rounds to nothing
    Coord worst = 0;
    Coord right = 0;
    for (int k = 1; k <= narrow.d.Nodes.NoOfNodes(); ++k) {
      const Point n = narrow.d.Node(k)->position;
      const Point w = wide.d.Node(k)->position;
      // Rows do not scale with the width; radiation scales both ways.
      const Coord dy = style == TTreeStyle::tsTraditional ? 0 : std::abs(w.y - 10 * n.y);
      worst = std::max({worst, std::abs(w.x - 10 * n.x), dy});
      right = std::max(right, n.x);
    }
    EXPECT_LE(worst, 6);
    if (style == TTreeStyle::tsTraditional) EXPECT_EQ(right, 1600);  // the tree spans its width
  }
}

// The rows of a 16,383-level chain of internal branches that round to zero
// are found once per node, not by walking down the chain from every node.
TEST(Layout, TheVerticalPassIsLinearInTheTaxa) {
  auto list = LadderList(kMaxNoOfOTUs);
  for (int k = kMaxNoOfOTUs; k < 2 * kMaxNoOfOTUs - 2; ++k) list->Items(0).BLen()[k] = 1e-9;
  Laid t(std::move(list));
  const auto start = std::chrono::steady_clock::now();
  t.Run();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  // Every join sits midway between the first taxon and the taxon it adds.
  const Coord first = Taxon(t.d, "T1")->position.y;
  for (int k : {2, 100, 9000, kMaxNoOfOTUs}) {
    const TNode* added = Taxon(t.d, "T" + std::to_string(k));
    EXPECT_EQ(added->anc->position.y, (first + added->position.y) / 2) << k;
  }
}

TEST(Layout, CompressedGroupsGetTheCornersOfTheirTriangle) {
  Laid t("(((A:1,B:1):1,C:2):1,D:3);");
  SetNodeHeights(t.d, false);
  CompressSubtree(t.d, t["A,B,C"]->index);
  SetVSpace(t.d, t.d.Root);
  t.Run();
  const TNode* group = t["A,B,C"];
  EXPECT_EQ(group->position, (Point{533, 16}));
  EXPECT_EQ(group->des1->position, (Point{1600, 4}));
  EXPECT_EQ(group->des2->position, (Point{1600, 28}));
  EXPECT_EQ(t["D"]->position.y, 44);
  EXPECT_EQ(t.d.Root->position.y, 30);
}

TEST(Layout, NothingHappensBeforeTheTreeIsSetUp) {
  Laid t("((A:1,B:2):1,C:4);");
  t.d.TreePresent = false;
  t.Run();
  EXPECT_EQ(t.d.XScale, 0);
}

TEST(MakeScale, ChoosesOneTwoOrFiveTimesAPowerOfTen) {
  struct Row {
    double rootHeight;
    char separator;
    double length;
    const char* text;
  } rows[] = {
      {0.37, '.', 0.05, "0.05"}, {3.9, '.', 1, "1"},    {0.5, '.', 0.1, "0.10"},
      {1.0, '.', 0.2, "0.2"},    {12, '.', 2, "2"},      {0.37, ',', 0.05, "0,05"},
      {0, '.', 0, ""},           {-2, '.', 0, ""},  // a negative height is treated as none
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.rootHeight);
    Laid t("((A:1,B:2):1,C:4);");
    t.d.Root->height = r.rootHeight;
    t.d.TimeInterval = 5;
    MakeScale(t.d, r.separator);
    EXPECT_DOUBLE_EQ(t.d.ScaleLength, r.length);
    EXPECT_EQ(t.d.ScaleText, r.text);
    if (r.length > 0) {
      EXPECT_EQ(t.d.ScaleMinorInterval, r.length);
      EXPECT_EQ(t.d.TimeInterval, 0);
    }
  }
}

TEST(HasScale, NeedsLengthsOutsideACladogram) {
  TTreeDisplay d;
  d.MaxLength = 1;
  EXPECT_TRUE(HasScale(d));
  EXPECT_FALSE(HasTimeScale(d));
  d.TimeInterval = 10;
  EXPECT_TRUE(HasTimeScale(d));
  d.Cladogram = true;
  EXPECT_FALSE(HasScale(d));
  EXPECT_FALSE(HasTimeScale(d));
}

}  // namespace
