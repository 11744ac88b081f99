#include "tree/view/TreeFocus.h"

#include <gtest/gtest.h>

#include <numbers>

#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;
using Kind = TFocusTarget::Kind;

TEST(PixelOf, RoundsQuarterPixelsHalfToEven) {
  struct Row {
    Coord v, origin, pixel;
  } rows[] = {{0, 0, 0}, {2, 0, 0}, {6, 0, 2}, {10, 0, 2}, {14, 0, 4}, {-2, 0, 0}, {-6, 0, -2}, {800, 40, 210}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.v);
    EXPECT_EQ(PixelOf(r.v, r.origin), r.pixel);
  }
}

// ((A,B),C): the root at (10, 80), (A,B) at (110, 50), A (210, 30),
// B (310, 70), C (410, 110): rectangular elbows.
struct Elbows : Placed {
  Elbows() : Placed("((A:1,B:2):1,C:4);") {
    Place("A,B,C", 10, 80);
    Place("A,B", 110, 50);
    Place("A", 210, 30);
    Place("B", 310, 70);
    Place("C", 410, 110);
  }
};

TEST(NodeHitAt, HitsInternalNodesWithinTheToleranceOnly) {
  const Elbows t;
  const int ab = t.Index("A,B"), root = t.Index("A,B,C");
  struct Row {
    Coord x, y;
    int hit;
  } rows[] = {
      {110, 50, ab}, {114, 50, ab}, {115, 50, 0},  {110, 45, 0}, {113, 53, ab},  // distance sqrt(18) < 5
      {10, 80, root}, {210, 30, 0},  // taxa are never nodes
      {60, 50, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.x << "," << r.y);
    EXPECT_EQ(NodeHitAt(t.d, r.x, r.y), r.hit);
  }
}

TEST(NodeHitAt, SkipsHiddenNodesAndNodesAtTheirAncestorsPlace) {
  Elbows t;
  t["A,B"]->hidden = true;
  EXPECT_EQ(NodeHitAt(t.d, 110, 50), 0);
  t["A,B"]->hidden = false;
  t.Place("A,B", 10, 50);  // drawn on the root's vertical line
  EXPECT_EQ(NodeHitAt(t.d, 10, 50), 0);
  // In the circle style what counts is the distance from the centre.
  t.d.TreeStyle = TTreeStyle::tsCircle;
  t["A,B"]->extent = 10;
  t["A,B,C"]->extent = 0;
  EXPECT_EQ(NodeHitAt(t.d, 10, 50), t.Index("A,B"));
  TTreeDisplay empty;
  EXPECT_EQ(NodeHitAt(empty, 0, 0), 0);
}

TEST(BranchHitAt, RectangularBranchesAreHitOnTheirHorizontalPart) {
  const Elbows t;
  const int ab = t.Index("A,B"), c = t.Index("C"), a = t.Index("A");
  struct Row {
    const char* what;
    Coord x, y;
    int hit;
  } rows[] = {
      {"on the branch", 60, 50, ab},
      {"5 above", 60, 45, ab},
      {"6 above", 60, 44, 0},
      {"5 below", 60, 55, ab},
      {"at its node", 110, 50, ab},
      {"past its node, where A's branch starts", 111, 50, 0},
      {"vertical connector of the root", 10, 65, 0},
      {"vertical connector of (A,B)", 110, 40, 0},
      {"left end", 10, 110, c},
      {"A's branch, from its ancestor on", 110, 30, a},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(BranchHitAt(t.d, r.x, r.y), r.hit);
  }
}

TEST(BranchHitAt, ShortRectangularBranchesGetTheToleranceAsWidth) {
  Elbows t;
  t.Place("A", 112, 30);  // 2 pixels long
  EXPECT_EQ(BranchHitAt(t.d, 116, 30), t.Index("A"));
  EXPECT_EQ(BranchHitAt(t.d, 117, 30), 0);
}

TEST(BranchHitAt, StraightSegmentsAreHitAsBoxesOrAlongTheirLine) {
  // Only A's branch (from the root at (100, 100)) is placed where the
  // clicks land; B sits far away.
  struct Row {
    const char* what;
    Coord ax, ay;  // A's pixel position
    Coord x, y;
    bool hit;
  } rows[] = {
      {"steep, 5 beside", 104, 200, 107, 150, true},
      {"steep, 6 beside", 104, 200, 108, 150, false},
      {"steep, past the end", 104, 200, 102, 201, false},
      {"flat, 5 below", 200, 104, 150, 107, true},
      {"flat, 6 below", 200, 104, 150, 108, false},
      {"oblique, on the line", 200, 200, 150, 150, true},
      {"oblique, 5 across", 200, 200, 154, 146, true},
      {"oblique, 7 across", 200, 200, 157, 143, false},
      {"oblique, just past the end", 200, 200, 204, 204, true},
      {"oblique, outside the span", 200, 200, 207, 207, false},
  };
  for (const TTreeStyle style : {TTreeStyle::tsRadiation, TTreeStyle::tsTraditional}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(testing::Message() << static_cast<int>(style) << " " << r.what);
      Placed t("(A:1,B:1);", style, TBranchStyle::bsStraight);
      t.Place("A,B", 100, 100);
      t.Place("A", r.ax, r.ay);
      t.Place("B", 10, 500);
      EXPECT_EQ(BranchHitAt(t.d, r.x, r.y), r.hit ? t.Index("A") : 0);
    }
  }
}

TEST(BranchHitAt, CircleBranchesAreHitOnTheirRadialPartOnly) {
  // Centre (200, 100): the root on a circle of 50 pixels, straight up; A
  // at 100 pixels to the right, B to the left.
  Placed t("(A:1,B:1);", TTreeStyle::tsCircle);
  TNode* root = t["A,B"];
  t.Place("A,B", 200, 50);
  root->extent = 200;
  root->angle = std::numbers::pi / 2;
  t.Place("A", 300, 100);
  t["A"]->extent = 400;
  t["A"]->angle = 0;
  t.Place("B", 100, 100);
  t["B"]->extent = 400;
  t["B"]->angle = std::numbers::pi;
  EXPECT_EQ(BranchHitAt(t.d, 260, 103), t.Index("A"));
  EXPECT_EQ(BranchHitAt(t.d, 251, 100), t.Index("A"));  // where it leaves the root's circle
  EXPECT_EQ(BranchHitAt(t.d, 244, 100), 0);
  EXPECT_EQ(BranchHitAt(t.d, 235, 65), 0);  // on the arc from the root
  EXPECT_EQ(BranchHitAt(t.d, 120, 97), t.Index("B"));
}

TEST(BranchHitAt, CurvedBranchesAreHitAlongTheCurve) {
  struct Row {
    const char* what;
    Coord ax, ay;
    Coord x, y;
    bool hit;
  } rows[] = {
      // From (100, 100) to (200, 160); at x 150 the curve is at y 141.
      {"on the curve", 200, 160, 150, 141, true},
      {"5 above it", 200, 160, 150, 136, true},
      {"6 above it", 200, 160, 150, 135, false},
      {"6 below it", 200, 160, 150, 147, false},
      {"left of the ancestor", 200, 160, 98, 100, false},
      {"at the start", 200, 160, 100, 104, true},
      // A short branch (6 pixels wide) is a box around it.
      {"short, 5 beside", 106, 160, 108, 130, true},
      {"short, 6 beside", 106, 160, 109, 130, false},
      // A steep one (rise 10 times the run) gets a band kept between the
      // branch's ends: near the start only 1 pixel of it is left.
      {"steep, near the start", 120, 300, 101, 102, true},
      {"steep, beyond its end", 120, 300, 101, 95, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Placed t("(A:1,B:1);", TTreeStyle::tsTraditional, TBranchStyle::bsCurved);
    t.Place("A,B", 100, 100);
    t.Place("A", r.ax, r.ay);
    t["B"]->hidden = true;  // out of the way: hidden nodes have no branch to hit
    EXPECT_EQ(BranchHitAt(t.d, r.x, r.y), r.hit ? t.Index("A") : 0);
  }
}

TEST(CurveY, RunsFromStartToEndThroughTheJoin) {
  const Point s{100, 100}, t{200, 160};
  EXPECT_EQ(CurveY(s, t, 100, true), 100);
  EXPECT_EQ(CurveY(s, t, 200, false), 160);
  EXPECT_EQ(CurveY(s, t, 150, OnFirstArc(s, t, 150)), 141);
  // Both arcs meet one third of the way, at y (2 x 100 + 160) / 3 = 120.
  EXPECT_NEAR(CurveY(s, t, 133, true), 120, 1);
  EXPECT_NEAR(CurveY(s, t, 134, false), 120, 1);
  // Upward curves mirror downward ones; outside columns take the ends.
  EXPECT_EQ(CurveY({100, 160}, {200, 100}, 150, false), 119);
  EXPECT_EQ(CurveY(s, t, 90, true), 100);
  EXPECT_EQ(CurveY(s, t, 250, false), 160);
  EXPECT_EQ(CurveY(s, {100, 300}, 100, true), 100);
}

TEST(CurveEndsOf, InACladogramBranchesAlongAnOuterEdgeShareOneCurve) {
  // (((A,B),C),D) in rows 0..3 (quarter pixels 0, 40, 80, 120).
  Placed t("(((A:1,B:1):1,C:1):1,D:1);", TTreeStyle::tsTraditional, TBranchStyle::bsCurved);
  t.Place("A", 300, 0);
  t.Place("B", 300, 10);
  t.Place("C", 300, 20);
  t.Place("D", 300, 30);
  t.Place("A,B", 200, 5);
  t.Place("A,B,C", 100, 12);
  t.Place("A,B,C,D", 0, 21);
  struct Row {
    const char* node;
    const char* S;
    const char* T;
  } cladogram[] = {
      {"A,B,C", "A,B,C,D", "A"},  // top edge: from the root to A
      {"A,B", "A,B,C,D", "A"},
      {"A", "A,B,C,D", "A"},
      {"B", "A,B,C", "B"},  // B starts a new edge below (A,B)
      {"D", "A,B,C,D", "D"},
  };
  t.d.Cladogram = true;
  for (const Row& r : cladogram) {
    SCOPED_TRACE(r.node);
    const TCurveEnds ends = CurveEndsOf(t.d, *t[r.node]);
    EXPECT_EQ(ends.S, t[r.S]);
    EXPECT_EQ(ends.T, t[r.T]);
  }
  t.d.Cladogram = false;
  const TCurveEnds ends = CurveEndsOf(t.d, *t["A,B"]);
  EXPECT_EQ(ends.S, t["A,B,C"]);
  EXPECT_EQ(ends.T, t["A,B"]);
}

TEST(NameHitAt, HitsTheNameRectangleMovedPastMarkerAndCharacterState) {
  // Names "A ", in the deterministic measurer 6 pixels a character: A's
  // name runs from x 210 to 210 + 12 + 5 (half the character-state font).
  Elbows t;
  FixedTextMeasurer measurer;
  AssignAttributes(t.d, measurer);
  const int a = t.Index("A");
  struct Row {
    const char* what;
    bool marker, charState;
    Coord x, y;
    int hit;
  } rows[] = {
      {"left edge", false, false, 210, 30, a},
      {"right edge", false, false, 227, 30, a},
      {"past the right edge", false, false, 228, 30, 0},
      {"half a font height above", false, false, 215, 25, a},
      {"more above", false, false, 215, 24, 0},
      {"below", false, false, 215, 36, 0},
      {"left of the name", false, false, 209, 30, 0},
      // A marker moves the name by 5 x 11 / 4 = 13 pixels.
      {"marker: new left edge", true, false, 223, 30, a},
      {"marker: new right edge", true, false, 240, 30, a},
      {"marker: before it", true, false, 222, 30, 0},
      // "ACG" in the state font: 18 pixels and half its height (5).
      {"state: new left edge", false, true, 233, 30, a},
      {"state: before it", false, true, 232, 30, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    t["A"]->marker.Shape = r.marker ? 1 : 0;
    t["A"]->charState = "ACG";
    EXPECT_EQ(NameHitAt(t.d, r.x, r.y, measurer, r.charState), r.hit);
  }
}

TEST(NameHitAt, OnlyInTheTraditionalStyleWithNamesShown) {
  Elbows t;
  FixedTextMeasurer measurer;
  AssignAttributes(t.d, measurer);
  ASSERT_EQ(NameHitAt(t.d, 215, 30, measurer, false), t.Index("A"));
  t.d.TreeStyle = TTreeStyle::tsRadiation;
  EXPECT_EQ(NameHitAt(t.d, 215, 30, measurer, false), 0);
  t.d.TreeStyle = TTreeStyle::tsTraditional;
  t.d.WholeTree().ShowTaxonName = false;
  EXPECT_EQ(NameHitAt(t.d, 215, 30, measurer, false), 0);
}

TEST(KeyFocusTarget, MovesAlongTheTree) {
  // ((A,B),C): (A,B) is node 4, the root node 5.
  Placed t("((A:1,B:2):1,C:4);");
  const int A = t.Index("A"), C = t.Index("C"), AB = t.Index("A,B"), R = t.Index("A,B,C");
  auto node = [](int i) { return TTreeFocus{true, false, i}; };
  auto branch = [](int i) { return TTreeFocus{false, true, i}; };
  struct Row {
    const char* what;
    TTreeFocus focus;
    TFocusKey key;
    TFocusTarget target;
  } rows[] = {
      {"home", branch(A), TFocusKey::Home, {Kind::Node, R}},
      {"left: node to its branch", node(AB), TFocusKey::Left, {Kind::Branch, AB}},
      {"left on the root", node(R), TFocusKey::Left, {}},
      {"left: branch to its upper end", branch(A), TFocusKey::Left, {Kind::Node, AB}},
      {"up: first descendant's branch", node(R), TFocusKey::Up, {Kind::Branch, AB}},
      {"down: second descendant's branch", node(R), TFocusKey::Down, {Kind::Branch, C}},
      {"up on a taxon", node(A), TFocusKey::Up, {}},
      {"up: branch to its lower end", branch(AB), TFocusKey::Up, {Kind::Node, AB}},
      {"down: branch to its lower end", branch(AB), TFocusKey::Down, {Kind::Node, AB}},
      {"right: branch to its lower end", branch(AB), TFocusKey::Right, {Kind::Node, AB}},
      {"right on a node", node(AB), TFocusKey::Right, {}},
      {"nothing focused", TTreeFocus{}, TFocusKey::Home, {}},
      {"index outside the store", node(99), TFocusKey::Home, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(KeyFocusTarget(t.d, r.focus, r.key), r.target);
  }
}

TEST(KeyFocusTarget, PassesOverHiddenNodes) {
  Placed t("(((A:1,B:2):1,C:4):1,D:1);");
  t["A,B,C"]->hidden = true;
  const int R = t.Index("A,B,C,D");
  EXPECT_EQ(KeyFocusTarget(t.d, {false, true, t.Index("A,B")}, TFocusKey::Left), (TFocusTarget{Kind::Node, R}));
  EXPECT_EQ(KeyFocusTarget(t.d, {true, false, R}, TFocusKey::Up), (TFocusTarget{Kind::Branch, t.Index("A,B")}));
  // Groups are not entered.
  t["A,B,C"]->hidden = false;
  t["A,B,C"]->compressed = true;
  EXPECT_EQ(KeyFocusTarget(t.d, {true, false, t.Index("A,B,C")}, TFocusKey::Up), TFocusTarget{});
}

}  // namespace
