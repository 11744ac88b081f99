#include "tree/view/FocusOutline.h"

#include <gtest/gtest.h>

#include <numbers>

#include "platform/graphics/TraceContext.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

// ((A,B),C) with rectangular elbows: the root at (10, 80), (A,B) at (50, 30),
// A (90, 10), B (90, 50), C (90, 110).
// The outlines are drawn for unrooted trees unless a test says otherwise.
struct Unrooted : Placed {
  explicit Unrooted(const std::string& newick, TTreeStyle style = TTreeStyle::tsTraditional,
                    TBranchStyle branches = TBranchStyle::bsRectangular)
      : Placed(newick, style, branches) {
    d.isRooted = false;
  }
};

struct Elbows : Unrooted {
  explicit Elbows(TBranchStyle branches = TBranchStyle::bsRectangular)
      : Unrooted("((A:1,B:2):1,C:4);", TTreeStyle::tsTraditional, branches) {
    Place("A,B,C", 10, 80);
    Place("A,B", 50, 30);
    Place("A", 90, 10);
    Place("B", 90, 50);
    Place("C", 90, 110);
  }
};

// The drawing calls of the outline, without the object and state calls.
std::string Shape(const TTreeDisplay& d, const TTreeFocus& focus) {
  TraceContext trace;
  DrawFocusOutline(trace, d, focus);
  std::string shape;
  for (const std::string& line : trace.Lines()) {
    if (line.starts_with("Set") || line.starts_with("Select") || line.starts_with("Delete") ||
        line.starts_with("ExtCreate") || line.starts_with("Create"))
      continue;
    shape += (shape.empty() ? "" : "\n") + line;
  }
  return shape;
}

TTreeFocus Node(int i) { return {true, false, i}; }
TTreeFocus Branch(int i) { return {false, true, i}; }

TEST(DrawFocusOutline, DrawsWithAnInvertingOnePixelPenAndRestoresTheDevice) {
  const Elbows t;
  for (const auto& [focus, pen] : {std::pair{Node(t.Index("A,B")), "$0000FF"}, {Branch(t.Index("A")), "$00FF00"}}) {
    SCOPED_TRACE(pen);
    TraceContext trace;
    DrawFocusOutline(trace, t.d, focus);
    const std::string text = trace.Text();
    EXPECT_NE(text.find("ExtCreatePen(PS_COSMETIC|PS_SOLID," + std::string(pen) + ")"), std::string::npos) << text;
    EXPECT_NE(text.find("SelectObject(brush#6)"), std::string::npos) << text;  // the null brush
    EXPECT_NE(text.find("SetROP2(R2_NOTXORPEN)"), std::string::npos) << text;
    EXPECT_EQ(trace.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(trace.CurrentPen(), kBlackPen);
    EXPECT_EQ(trace.CurrentBrush(), kWhiteBrush);
    EXPECT_EQ(trace.LiveObjectCount(), 0);
  }
}

TEST(DrawFocusOutline, OutlinesTheFocusedNodeOrBranchInTheTraditionalStyles) {
  struct Row {
    const char* what;
    TBranchStyle branches;
    bool rooted;
    const char* focus;
    bool node;
    const char* shape;
  } rows[] = {
      // A diamond reaching m + 1 = 6 pixels from the node.
      {"node", TBranchStyle::bsRectangular, false, "A,B", true, "Polygon(50,24 56,30 50,36 44,30)"},
      // The horizontal part from x 50 to 90 at y 10, widened by 5.
      {"rectangular branch", TBranchStyle::bsRectangular, false, "A", false, "Polygon(45,5 45,15 95,15 95,5)"},
      {"straight branch", TBranchStyle::bsStraight, false, "C", false, "Polygon(7,73 3,83 93,117 97,107)"},
      // The root: its vertical connector from A,B (y 30) to C (y 110).
      {"root connector", TBranchStyle::bsRectangular, false, "A,B,C", false, "Polygon(5,25 5,115 15,115 15,25)"},
      {"root square", TBranchStyle::bsStraight, false, "A,B,C", false, "Polygon(5,75 5,85 15,85 15,75)"},
      // With the root stub shown: the stub, 25 pixels left of the origin.
      {"root stub", TBranchStyle::bsRectangular, true, "A,B,C", false, "Polygon(-30,75 -30,85 15,85 15,75)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Elbows t(r.branches);
    t.d.isRooted = r.rooted;
    const int i = t.Index(r.focus);
    EXPECT_EQ(Shape(t.d, r.node ? Node(i) : Branch(i)), r.shape);
  }
}

TEST(DrawFocusOutline, TheSpecExampleOfARectangularBranch) {
  // A focused horizontal branch from pixel x 10 to 50 at y 30 is outlined
  // from (5, 25) to (55, 35); an origin moves it with the tree.
  Unrooted t("(A:1,B:1);");
  t.d.Origin = {8, 4};
  t["A,B"]->position = {40 - 8, 200};
  t["A"]->position = {200 - 8, 120 - 4};
  EXPECT_EQ(Shape(t.d, Branch(t.Index("A"))), "Polygon(5,25 5,35 55,35 55,25)");
}

TEST(DrawFocusOutline, CurvedBranchesAreOutlinedAlongTheSampledCurve) {
  Elbows t(TBranchStyle::bsCurved);
  const std::string shape = Shape(t.d, Branch(t.Index("C")));
  // From (10, 80) to (90, 110): J = Ceil(80 / 25 x 3) = 10, so 31 points in
  // each of two Bezier outlines, and two lines across the ends.
  ASSERT_EQ(std::count(shape.begin(), shape.end(), '\n'), 5) << shape;
  EXPECT_TRUE(shape.starts_with("PolyBezier(")) << shape;
  const std::string first = shape.substr(0, shape.find('\n'));
  EXPECT_EQ(std::count(first.begin(), first.end(), ' '), 30) << first;
  EXPECT_NE(shape.find("MoveTo(8,85)\nLineTo(12,75)\nMoveTo(88,115)\nLineTo(92,105)"), std::string::npos) << shape;
  // A branch shorter and flatter than the margin is a segment outline.
  t.Place("A", 53, 28);
  EXPECT_TRUE(Shape(t.d, Branch(t.Index("A"))).starts_with("Polygon(")) << Shape(t.d, Branch(t.Index("A")));
}

TEST(DrawFocusOutline, RadiationAndCircleBranches) {
  // A zero-length radiation branch: a square of side 2m turned by the angle.
  Unrooted r("(A:1,B:1);", TTreeStyle::tsRadiation);
  r.Place("A,B", 100, 100);
  r.Place("A", 100, 100);
  r.Place("B", 50, 100);
  r["A"]->angle = 0;
  EXPECT_EQ(Shape(r.d, Branch(r.Index("A"))), "Polygon(105,95 95,95 95,105 105,105)");
  r["A"]->angle = std::numbers::pi / 4;
  EXPECT_EQ(Shape(r.d, Branch(r.Index("A"))), "Polygon(100,92 92,100 100,108 108,100)");

  // Circle: only the radial part, from where A leaves the root's circle
  // (250, 100) to A (300, 100).
  Unrooted c("(A:1,B:1);", TTreeStyle::tsCircle);
  c.d.CenterShift = {800, 400};
  c.Place("A,B", 200, 50);
  c["A,B"]->extent = 200;
  c["A,B"]->angle = std::numbers::pi / 2;
  c.Place("A", 300, 100);
  c["A"]->extent = 400;
  c["A"]->angle = 0;
  c.Place("B", 100, 100);
  c["B"]->extent = 400;
  c["B"]->angle = std::numbers::pi;
  EXPECT_EQ(Shape(c.d, Branch(c.Index("A"))), "Polygon(245,95 245,105 305,105 305,95)");
  // The root without a stub: two arcs and two end caps.
  const std::string arc = Shape(c.d, Branch(c.Index("A,B")));
  EXPECT_EQ(std::count(arc.begin(), arc.end(), '\n'), 3) << arc;
  EXPECT_TRUE(arc.starts_with("Arc(")) << arc;
  EXPECT_NE(arc.find("\nArc("), std::string::npos) << arc;
  EXPECT_NE(arc.find("\nPolyline("), std::string::npos) << arc;
  // With the stub: a segment outline 25 pixels long into the root.
  c.d.isRooted = true;
  EXPECT_TRUE(Shape(c.d, Branch(c.Index("A,B"))).starts_with("Polygon(")) << Shape(c.d, Branch(c.Index("A,B")));
}

TEST(DrawFocusOutline, DrawsNothingWithoutAVisibleFocus) {
  Elbows t;
  EXPECT_EQ(Shape(t.d, TTreeFocus{}), "");
  EXPECT_EQ(Shape(t.d, Node(99)), "");
  t["A,B"]->hidden = true;
  EXPECT_EQ(Shape(t.d, Node(t.Index("A,B"))), "");
  t["A,B"]->hidden = false;
  t.d.TreePresent = false;
  EXPECT_EQ(Shape(t.d, Node(t.Index("A,B"))), "");
}

}  // namespace
