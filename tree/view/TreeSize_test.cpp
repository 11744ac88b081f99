#include "tree/view/TreeSize.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tree/view/NodeAttrib.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeLayout.h"
#include "tree/view/TreeSetup.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

struct Sized {
  std::unique_ptr<TTreeList> list;
  TTreeDisplay d;
  FixedTextMeasurer measurer;
  TTreeFlags flags;
  explicit Sized(std::unique_ptr<TTreeList> source) : list(std::move(source)) {
    LoadDisplay(d, *list);
    flags = {d.SBL > 1e-14, false, false};
  }
  explicit Sized(const std::string& newick) : Sized(ListFromNewick(newick)) {}
  bool Run() {
    SetVSpace(d, d.Root);
    Layout(d, flags, measurer);
    return ComputeSize(d, flags, measurer);
  }
};

TEST(ComputeSize, TraditionalPictureHoldsTreeLabelsMarginsAndScale) {
  Sized t("((A:1,B:2):1,C:4);");
  t.d.isRooted = false;
  t.d.PixelsPerOTU4 = 24;
  EXPECT_FALSE(t.Run());
  // Right: C at 1600 plus pen (2) and name "C " (48); margins 40 + 40.
  EXPECT_EQ(t.d.PictureWidth, (1650 + 80) / 4);
  // Bottom row 60, margins 2 x (22 + 15), the scale row 24 + 66 + 16.
  EXPECT_EQ(t.d.Origin, (Point{40, 37}));
  EXPECT_EQ(t.d.PictureHeight, (60 + 74 + 106) / 4);
}

TEST(ComputeSize, LeftMarginMakesRoomForTheRootAndSupportLabels) {
  struct Row {
    bool showRoot, showStats;
    Coord originX;
  } rows[] = {
      {true, true, 140},  // the root stub's room already holds the label
      {false, true, 93},  // "95" (48) + pen (2) + 10 left of x = 7
      {false, false, 40},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.showRoot << r.showStats);
    Sized t("(((A:1,B:2)95:0.01,E:1)80:0.01,(C:1,D:1.5)90:3);");
    ASSERT_TRUE(t.d.isRooted);
    t.d.ShowRoot = r.showRoot;
    t.d.ShowStats = r.showStats;
    t.Run();
    ASSERT_EQ(Clade(t.d, "A,B")->position.x, 7);  // 0.02 at 355.6 quarter pixels a unit
    EXPECT_EQ(t.d.Origin.x, r.originX);
  }
}

TEST(ComputeSize, ShrinksRowsOfVeryTallTreesStrictlyEachRound) {
  // 1985 rows of 66 quarter pixels overshoot 32767 pixels by 127 quarter
  // pixels: the computed spacing (16 pixels) equals the current one read in
  // whole pixels, so only a strictly smaller step ends the loop.
  Sized t(LadderList(1985));
  ASSERT_EQ(t.d.PixelsPerOTU4, 66);
  EXPECT_TRUE(t.Run());
  EXPECT_EQ(t.d.PixelsPerOTU4, 64);
  EXPECT_LE(t.d.PictureHeight, 32767);
  EXPECT_EQ(Taxon(t.d, "T1985")->position.y, 1984 * 64 + 32);  // laid out again
}

TEST(ComputeSize, StopsAtOnePixelRowsWhenEvenThoseDoNotFit) {
  Sized t("(((A:1,B:2):1,C:1.5):1,D:4);");
  SetNodeHeights(t.d, false);
  CompressSubtree(t.d, Clade(t.d, "A,B,C")->index);
  t.d.PixelsPerGroupMember4 = 8191 * 4;  // a group of 3 members: 24573 pixels
  t.d.PixelsPerOTU4 = 60;
  EXPECT_TRUE(t.Run());
  EXPECT_EQ(t.d.PixelsPerOTU4, 4);
  EXPECT_GT(t.d.PictureHeight, 32767);
}

TEST(ComputeSize, RadialPicturesKeepEveryLabelInsideAMargin) {
  for (TTreeStyle style : {TTreeStyle::tsRadiation, TTreeStyle::tsCircle}) {
    SCOPED_TRACE(static_cast<int>(style));
    Sized t("((A:1,B:1):1,(C:1,D:1.0000001):1);");
    t.d.TreeStyle = style;
    t.Run();
    EXPECT_EQ(t.d.Origin, (Point{44, 44}));
    Coord minX = 0, minY = 0;
    for (const TNode& node : t.d.Nodes) {
      if (!node.isOTU) continue;
      const Coord u = 11 + 2 + node.nameWidth;
      minX = std::min(minX, node.position.x + RoundCoord(u * std::cos(node.angle)));
      minY = std::min(minY, node.position.y - RoundCoord(u * std::sin(node.angle)));
    }
    EXPECT_EQ(minX, 0);
    EXPECT_EQ(minY, 0);
    if (style == TTreeStyle::tsRadiation) EXPECT_EQ(t.d.CenterShift, t.d.Root->position);
    EXPECT_GT(t.d.PictureWidth, 2 * 44 / 4);
  }
}

// Every node, not only the labels, lies inside the picture: with two taxa
// the circle puts the root off the line through them.
TEST(ComputeSize, RadialPicturesHoldEveryNode) {
  auto twoTaxa = [] {
    auto list = std::make_unique<TTreeList>();
    auto tree = std::make_unique<TTreeData>(2, true, false, true);
    tree->NodeArray()[0] = {0, 1};
    tree->BLen()[0] = 1;
    tree->BLen()[1] = 2;
    list->SetOTUName(0, "A");
    list->SetOTUName(1, "B");
    list->Add(std::move(tree));
    return list;
  };
  const struct {
    TTreeStyle style;
    bool cladogram;
  } rows[] = {{TTreeStyle::tsCircle, false},
              {TTreeStyle::tsCircle, true},
              {TTreeStyle::tsRadiation, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(row.style) << " cladogram " << row.cladogram);
    Sized t(twoTaxa());
    t.d.TreeStyle = row.style;
    t.d.Cladogram = row.cladogram;
    t.Run();
    for (const TNode& node : t.d.Nodes) {
      SCOPED_TRACE(node.index);
      const Point p{node.position.x + t.d.Origin.x, node.position.y + t.d.Origin.y};
      EXPECT_GE(p.x, 0);
      EXPECT_GE(p.y, 0);
      EXPECT_LE(p.x, 4 * t.d.PictureWidth);
      EXPECT_LE(p.y, 4 * t.d.PictureHeight);
    }
  }
}

TEST(SetLabelExtents, CaptionsOfSubtreeAttributesReachBeyondTheirLabels) {
  Sized t("(((A:1,B:2):1,C:1.5):1,D:4);");
  t.d.PixelsPerOTU4 = 24;
  TNodeAttrib captioned;
  captioned.NodeIndex = Clade(t.d, "A,B")->index;
  captioned.Caption = "Group";
  captioned.ShowBracket = false;
  t.d.AttribList.push_back(&captioned);
  AssignAttributes(t.d, t.measurer);
  t.Run();
  const TNode* ab = Clade(t.d, "A,B");
  // B's label: x + pen 2 + 4 x 11 + name 48.
  const Coord bRight = Taxon(t.d, "B")->position.x + 2 + 44 + 48;
  EXPECT_EQ(ab->labelRight, bRight);
  EXPECT_EQ(ab->captionLevel, 1);
  EXPECT_EQ(ab->anc->labelRight, bRight + captioned.CaptionWidth);
  EXPECT_EQ(ab->anc->captionLevel, 2);
  EXPECT_EQ(ab->captionTop, Taxon(t.d, "A")->position.y - 12);
  EXPECT_EQ(ab->captionBottom, Taxon(t.d, "B")->position.y + 12);
  EXPECT_GE(t.d.PictureWidth * 4, bRight + captioned.CaptionWidth + 80);
}

}  // namespace
