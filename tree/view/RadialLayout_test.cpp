#include "tree/view/RadialLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tree/view/TreeLayout.h"
#include "tree/view/TreeSetup.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

double Degrees(double radians) { return radians * 180 / std::numbers::pi; }

struct Laid {
  std::unique_ptr<TTreeList> list;
  TTreeDisplay d;
  FixedTextMeasurer measurer;
  Laid(const std::string& newick, TTreeStyle style) : Laid(ListFromNewick(newick), style) {}
  Laid(std::unique_ptr<TTreeList> source, TTreeStyle style) : list(std::move(source)) {
    LoadDisplay(d, *list);
    d.PixelsPerOTU4 = 24;
    d.TreeStyle = style;
    SetVSpace(d, d.Root);
  }
  void Run() { Layout(d, {d.SBL > 1e-14, false, false}, measurer); }
  TNode* operator[](const std::string& names) { return Clade(d, names); }
};

TEST(LayoutRadiation, OpensTheRootSubtreesByRootingAndStartAngle) {
  struct Row {
    bool rooted, showRoot;
    int startAngle;
    double angleAB, angleCD;
    Point ab, cd;
  } rows[] = {
      // Rooted and shown: both subtrees open to the right, 120 degrees in all.
      {true, true, 0, 30, -30, {693, -400}, {693, 400}},
      {true, false, 0, 90, 270, {0, -800}, {0, 800}},
      {false, true, 0, 90, 270, {0, -800}, {0, 800}},
      {false, true, 3, 0, 180, {800, 0}, {-800, 0}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.rooted << r.showRoot << r.startAngle);
    Laid t("((A:1,B:1):1,(C:1,D:1.0000001):1);", TTreeStyle::tsRadiation);
    t.d.isRooted = r.rooted;
    t.d.ShowRoot = r.showRoot;
    t.d.StartAngle = r.startAngle;
    t.Run();
    EXPECT_NEAR(Degrees(t["A,B"]->angle), r.angleAB, 1e-3);
    EXPECT_NEAR(Degrees(t["C,D"]->angle), r.angleCD, 1e-3);
    if (r.rooted && r.showRoot) EXPECT_NEAR(Degrees(t["A,B"]->sector + t["C,D"]->sector), 60, 1e-3);
    EXPECT_EQ(t["A,B"]->position, r.ab);
    EXPECT_EQ(t["C,D"]->position, r.cd);
    EXPECT_EQ(t.d.Root->position, (Point{0, 0}));
  }
}

TEST(LayoutRadiation, SpreadsChildrenInsideTheirSectorAndDrawsNegativeLengthsAsZero) {
  Laid t("((A:1,B:-0.5):1,C:2);", TTreeStyle::tsRadiation);
  t.Run();
  const TNode* ab = t["A,B"];
  const TNode* a = Taxon(t.d, "A");
  const TNode* b = Taxon(t.d, "B");
  EXPECT_EQ(b->position, ab->position);
  // A takes the counter-clockwise part of the sector, B the clockwise part.
  EXPECT_GT(a->angle, ab->angle);
  EXPECT_LT(b->angle, ab->angle);
  EXPECT_NEAR(std::hypot(double(a->position.x - ab->position.x), double(a->position.y - ab->position.y)),
              t.d.XScale, 1.0);
}

// However deep a cladogram, its levels lie between the root's circle and
// the taxa's, each node no nearer the centre than its ancestor.
// A subtree whose reach is a tiny fraction of its sibling's (unlabelled taxa
// on branches of subnormal length) still gets a share of the sector, though
// the quotients of the shares overflow.
TEST(LayoutRadiation, AReachFarShorterThanItsSiblingsStillGetsAShare) {
  const struct {
    const char* newick;  // C and D get the tiny length, their group none
    double tiny;
  } rows[] = {
      {"((A:1,B:2):0.25,(C:1,D:3):0.75);", 4e-317},
      {"((A:1,B:2):0.25,(C:1,D:3):0.75);", 5e-324},
      {"((A:1,B:2):0.25,(C:1,D:3):0.75);", 1e-300},
      {"((A:1,B:2):1,((C:1,D:3):0.5,E:1):1);", 4e-317},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.newick << " " << row.tiny);
    auto list = ListFromNewick(row.newick);
    TTreeData& tree = list->Items(0);
    ASSERT_TRUE(tree.isBLen());
    const int n = tree.NoOfOTUs();
    for (int k = 0; k < n - 1; ++k) {
      if (tree.GetNode(k).des1 + tree.GetNode(k).des2 == 2 + 3) tree.BLen()[n + k] = 0;  // (C,D)
    }
    for (int taxon : {2, 3}) tree.BLen()[taxon] = row.tiny;
    Laid t(std::move(list), TTreeStyle::tsRadiation);
    for (TNode& node : t.d.Nodes) node.nameWidth = 0;
    EXPECT_NO_THROW(t.Run());
    int notFinite = 0;
    for (const TNode& node : t.d.Nodes) notFinite += !std::isfinite(node.angle) || !std::isfinite(node.sector);
    EXPECT_EQ(notFinite, 0);
    for (const char* name : {"C", "D"}) EXPECT_EQ(Taxon(t.d, name)->position, t["C,D"]->position) << name;
  }
}

// A tree width of 0, or a width of one pixel for branches near the largest
// numbers, leaves a scale too small to measure names in; the tree is still
// laid out.
TEST(LayoutRadiation, AScaleOfNextToNothingStillLaysTheTreeOut) {
  const struct {
    const char* newick;
    int width;
  } rows[] = {
      {"((A:1,B:2):1,(C:1,D:3):1,E:2);", 0},
      {"((A:1e307,B:2e307):1e307,(C:1e307,D:3e307):1e307,E:2e307);", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.newick << " " << row.width);
    Laid t(row.newick, TTreeStyle::tsRadiation);
    t.d.TreeWidthPx = row.width;
    t.d.ScaleRatio = 0;  // none kept
    for (TNode& node : t.d.Nodes) node.nameWidth = node.isOTU ? 48 : 0;
    EXPECT_NO_THROW(t.Run());
    int notFinite = 0;
    for (const TNode& node : t.d.Nodes) notFinite += !std::isfinite(node.angle) || !std::isfinite(node.extent);
    EXPECT_EQ(notFinite, 0);
    if (row.width == 0) {
      EXPECT_EQ(Taxon(t.d, "E")->position, t.d.Root->position);  // every branch drawn as nothing
    }
  }
}

TEST(LayoutCircle, DeepCladogramsStayBetweenTheRootAndTheTaxa) {
  for (int taxa : {100, 1602, 2500, kMaxNoOfOTUs}) {
    SCOPED_TRACE(taxa);
    Laid t(LadderList(taxa), TTreeStyle::tsCircle);
    t.d.Cladogram = true;
    t.Run();
    const double outer = t.d.Radius * 4.0;
    const double inner = t.d.Root->extent;
    int outside = 0;
    int inward = 0;
    for (const TNode& node : t.d.Nodes) {
      if (node.extent < inner || node.extent > outer ||
          std::hypot(double(node.position.x), double(node.position.y)) > outer + 1)
        ++outside;
      if (node.anc && node.extent < node.anc->extent) ++inward;
    }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(inward, 0);
  }
}

TEST(LayoutCircle, LeavesAGapAfterTheLastOfManyTips) {
  struct Row {
    int taxa;
    double step;
  } rows[] = {{18, 20}, {19, 340.0 / 18}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.taxa);
    std::string newick = "(";
    for (int i = 1; i <= r.taxa; ++i) newick += (i > 1 ? ",T" : "T") + std::to_string(i);
    Laid t(newick + ");", TTreeStyle::tsCircle);
    t.Run();
    const double first = Degrees(Taxon(t.d, "T1")->angle);
    EXPECT_NEAR(first, 90, 1e-9);
    EXPECT_NEAR(Degrees(Taxon(t.d, "T2")->angle) - first, -r.step, 1e-9);
    EXPECT_NEAR(Degrees(Taxon(t.d, "T" + std::to_string(r.taxa))->angle) - first, -340, 1e-9);
    // Every tip on the outer circle.
    const Point p = Taxon(t.d, "T1")->position;
    EXPECT_EQ(p, (Point{0, -1200}));
  }
}

TEST(LayoutCircle, PutsNodesAtTheirDistanceFromTheCentre) {
  Laid t("((A:1,B:1.5)50:0,C:2);", TTreeStyle::tsCircle);
  t.Run();
  EXPECT_DOUBLE_EQ(t.d.Root->extent, 240);  // 20 percent of 300 pixels
  EXPECT_DOUBLE_EQ(Taxon(t.d, "C")->extent, 1200);
  EXPECT_DOUBLE_EQ(Taxon(t.d, "A")->extent, 720);  // 480 quarter pixels a unit
  // The zero-length branch draws its node on the root.
  const TNode* ab = t["A,B"];
  EXPECT_TRUE(ab->hidden);
  EXPECT_EQ(ab->position, t.d.Root->position);
  EXPECT_EQ(ab->angle, t.d.Root->angle);
}

}  // namespace
