#include "tree/view/TreePicture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/graphics/TraceContext.h"
#include "platform/ui/DialogService.h"
#include "tree/view/NTreeBox.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeLayout.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

// A tree box that measures with the deterministic measurer.
class Box : public TTreeBox {
 public:
  Box() { SetTextMeasurer(std::make_unique<FixedTextMeasurer>()); }
  // Shows `newick`, rooted as written when `rooted`.
  void Show(const std::string& newick, bool rooted) {
    auto list = ListFromNewick(newick);
    list->isRooted = rooted;
    ASSERT_TRUE(SetTreeList(std::move(list), false));
  }
  TNode* operator[](const std::string& names) const { return Clade(Display(), names); }
  void Attach(TNodeAttrib& attrib, const std::string& clade) {
    attrib.NodeIndex = (*this)[clade]->index;
    Display().AttribList.push_back(&attrib);
    AssignAttributes(Display(), Measurer());
  }
  // Every layer drawn into a trace, with the box's settings unless changed.
  std::vector<std::string> Trace(const TTreePictureOptions& options) const {
    TraceContext trace;
    DrawTreeImage(trace, Display(), options, Measurer());
    EXPECT_EQ(trace.LiveObjectCount(), 0) << "objects left behind";
    return trace.Lines();
  }
  std::vector<std::string> Trace() const { return Trace(PictureOptions()); }
  using TTreeBox::BuildTreeImage;
  // A point of the tree as the picture has it.
  std::string At(const TNode* node, Coord dx = 0, Coord dy = 0) const {
    const Point o = Display().Origin;
    return IntToStr(node->position.x + o.x + dx) + "," + IntToStr(node->position.y + o.y + dy);
  }
};

bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

int CountStarting(const std::vector<std::string>& lines, const std::string& prefix) {
  return static_cast<int>(
      std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return StartsWith(l, prefix); }));
}

// Index of the first line starting with `prefix` at or after `from`; -1 when none.
int Find(const std::vector<std::string>& lines, const std::string& prefix, int from = 0) {
  for (int i = from; i < static_cast<int>(lines.size()); ++i) {
    if (StartsWith(lines[i], prefix)) return i;
  }
  return -1;
}

// The texts written, in order.
std::vector<std::string> Texts(const std::vector<std::string>& lines) {
  std::vector<std::string> texts;
  for (const std::string& l : lines) {
    if (!StartsWith(l, "TextOut(")) continue;
    const std::size_t q = l.find('"');
    texts.push_back(l.substr(q + 1, l.size() - q - 3));
  }
  return texts;
}

// Every stroke as "<colour of the selected pen>|<call>", in order.
std::vector<std::string> Strokes(const std::vector<std::string>& lines) {
  std::map<std::string, std::string> colours;
  std::string pen;
  std::vector<std::string> strokes;
  for (const std::string& l : lines) {
    if (StartsWith(l, "ExtCreatePen(")) {
      const std::size_t arrow = l.find(" -> ");
      const std::size_t close = l.rfind(')', arrow);
      colours[l.substr(arrow + 4)] = l.substr(l.rfind(',', close) + 1, close - l.rfind(',', close) - 1);
    } else if (StartsWith(l, "SelectObject(pen#")) {
      pen = colours[l.substr(13, l.size() - 14)];
    } else if (StartsWith(l, "Polyline(") || StartsWith(l, "PolyBezier(")) {
      strokes.push_back(pen + "|" + l);
    }
  }
  return strokes;
}

// The stroke whose last point is `end`.
std::string StrokeEndingAt(const std::vector<std::string>& lines, const std::string& end) {
  for (const std::string& l : lines) {
    if ((StartsWith(l, "Polyline(") || StartsWith(l, "PolyBezier(")) && l.ends_with(" " + end + ")")) return l;
  }
  return {};
}

int PointCount(const std::string& stroke) {
  return static_cast<int>(std::count(stroke.begin(), stroke.end(), ' ')) + 1;
}

TEST(TreePicture, RefreshRecordsTheTreeWithTheDeviceSettingsAndPaintingPlaysIt) {
  Box box;
  box.Show("((A:1,B:2):1,C:3);", true);
  box.RefreshTree();
  const Picture& picture = box.TreePicture();
  ASSERT_FALSE(picture.IsNull());
  EXPECT_EQ(picture.FramePixels(), (Rect{0, 0, box.PictureWidth(), box.PictureHeight()}));

  TraceContext trace;
  picture.Replay(trace);
  const std::vector<std::string> expected = {
      "SetGraphicsMode(GM_ADVANCED)",
      "SetMapMode(MM_ANISOTROPIC)",
      "SetWindowExt(" + IntToStr(4 * box.PictureWidth()) + "," + IntToStr(4 * box.PictureHeight()) + ")",
      "SetViewportExt(" + IntToStr(box.PictureWidth()) + "," + IntToStr(box.PictureHeight()) + ")",
      "SetBkMode(TRANSPARENT)",
      "SetBkColor($FFFFFF)",
      "SetROP2(R2_COPYPEN)",
      "SetTextAlign(TA_LEFT|TA_BOTTOM)",
  };
  ASSERT_GE(trace.Lines().size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(trace.Lines().begin(), trace.Lines().begin() + expected.size()), expected);
  EXPECT_EQ(Texts(trace.Lines()), (std::vector<std::string>{" A", " B", " C", box.Display().ScaleText}));

  // A later refresh replaces the picture with one of the new layout.
  box.SetTreeWidth(800);
  box.RefreshTree();
  EXPECT_EQ(box.TreePicture().FramePixels().right, box.PictureWidth());

  QImage image(box.PictureWidth(), box.PictureHeight(), QImage::Format_RGB32);
  image.fill(Qt::white);
  box.render(&image);
  int dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
  }
  EXPECT_GT(dark, 100) << "painting played the picture back";
}

TEST(TreePicture, ACoordinateBeyondThirtyTwoBitsFailsTheBuildAndLeavesNoPicture) {
  Box box;
  box.Show("((A:1,B:2):1,C:3);", true);
  box.RefreshTree();
  ASSERT_FALSE(box.TreePicture().IsNull());
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  box["A,B"]->position.x = Coord{1} << 32;  // a branch, not a name
  EXPECT_THROW(box.BuildTreeImage(), EIntOverflow);
  EXPECT_TRUE(box.TreePicture().IsNull());
  EXPECT_EQ(dialogs.Count("message"), 0);
}

TEST(TreePicture, OnlyTheWholeTreeAttributeMakesOneDrawingSet) {
  Box box;
  box.Show("((A:1,B:2):1,C:3);", true);
  box.SetShowScale(false);
  box.RefreshTree();
  const std::vector<std::string> lines = box.Trace();
  const std::vector<std::string> set = {
      "CreateFontIndirect(-44,0,0,400,DEFAULT_PITCH,\"Arial\") -> font#8",
      "CreateFontIndirect(-44,0,0,700,DEFAULT_PITCH,\"Arial\") -> font#9",
      "CreateFontIndirect(-44,0,0,400,DEFAULT_PITCH,\"Arial\") -> font#10",
      "ExtCreatePen(PS_GEOMETRIC|PS_SOLID|PS_ENDCAP_SQUARE|PS_JOIN_MITER,4,$000000) -> pen#11",
      "ExtCreatePen(PS_GEOMETRIC|PS_SOLID|PS_ENDCAP_SQUARE|PS_JOIN_MITER,2,$000000) -> pen#12",
      "CreateBrushIndirect(BS_SOLID,$000000) -> brush#13",
      "SelectObject(font#8)",
      "SelectObject(pen#11)",
      "SelectObject(brush#13)",
  };
  ASSERT_GE(lines.size(), set.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + set.size()), set);
  EXPECT_EQ(CountStarting(lines, "Create") + CountStarting(lines, "ExtCreate"), 6);
  EXPECT_EQ(CountStarting(lines, "DeleteObject("), 6);
  EXPECT_EQ(CountStarting(lines, "SelectObject(pen#"), 2) << "the set's pen and the original one";
}

TEST(TreePicture, RectangularStrokesMeetAtTheParentsCentreLine) {
  Box box;
  box.Show("((A:1,B:2):1,C:3);", true);
  TPenData pen = box.BranchPen();
  pen.Width = 3;
  box.SetBranchPen(pen);
  box.RefreshTree();
  const std::vector<std::string> lines = box.Trace();
  const TNode* A = box["A"];
  const TNode* B = box["B"];
  const TNode* AB = box["A,B"];
  const TNode* root = box.Display().Root;
  // Half a pen width (2w = 6) beyond the parent's y: with square caps the
  // strokes of two children meet exactly at the parent's centre line.
  EXPECT_EQ(
      StrokeEndingAt(lines, box.At(A)),
      "Polyline(" + box.At(AB, 0, -6) + " " + box.At(AB, 0, A->position.y - AB->position.y) + " " + box.At(A) + ")");
  EXPECT_EQ(
      StrokeEndingAt(lines, box.At(B)),
      "Polyline(" + box.At(AB, 0, 6) + " " + box.At(AB, 0, B->position.y - AB->position.y) + " " + box.At(B) + ")");
  EXPECT_EQ(StrokeEndingAt(lines, box.At(AB)), "Polyline(" + box.At(root, 0, -6) + " " +
                                                   box.At(root, 0, AB->position.y - root->position.y) + " " +
                                                   box.At(AB) + ")");
  // The root stub: 25 pixels to the left of the root.
  EXPECT_EQ(StrokeEndingAt(lines, box.At(root)), "Polyline(" + box.At(root, -100) + " " + box.At(root) + ")");
}

// The colours of the strokes drawn, in order.
std::vector<std::string> StrokeColours(const std::vector<std::string>& lines) {
  std::vector<std::string> colours;
  for (const std::string& s : Strokes(lines))
    colours.push_back(s.substr(0, s.find('|')) == "$0000FF" ? "red" : "black");
  return colours;
}

TEST(TreePicture, SubtreeAttributeSwitchesOnEntryAndBackAfterItsTopBranch) {
  TNodeAttrib red;
  red.BranchPen.Color = clRed;
  red.BranchPen.Width = 2;
  red.ShowBracket = false;
  Box box;
  box.Show("((A:1,B:1):1,(C:1,D:1):1);", true);
  box.Attach(red, "A,B");
  box.SetShowScale(false);
  box.SetShowStats(false);
  box.RefreshTree();
  const std::vector<std::string> lines = box.Trace();

  // The branch pen of every drawing set made (it follows the set's fonts).
  std::vector<std::string> sets;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (StartsWith(lines[i], "ExtCreatePen(") && StartsWith(lines[i - 1], "CreateFontIndirect("))
      sets.push_back(lines[i].substr(lines[i].find(','), lines[i].find(" -> ") - lines[i].find(',')));
  }
  EXPECT_EQ(sets, (std::vector<std::string>{",4,$000000)", ",8,$0000FF)", ",4,$000000)"}));

  // A, B and the horizontal part of (A,B) in red; then C, D, (C,D), the
  // stub and the root's vertical piece towards (A,B) in black.
  EXPECT_EQ(StrokeColours(lines),
            (std::vector<std::string>{"red", "red", "red", "black", "black", "black", "black", "black"}));
  const TNode* AB = box["A,B"];
  const TNode* root = box.Display().Root;
  const Coord rows = AB->position.y - root->position.y;
  // The top node's horizontal part starts half the parent's pen width (2)
  // right of the parent; the parent's vertical piece runs from the far edge
  // of that stroke (2 x 2 - 2 x 1 above its row) to half its own pen width
  // short of its own row.
  EXPECT_EQ(StrokeEndingAt(lines, box.At(AB)), "Polyline(" + box.At(root, 4, rows) + " " + box.At(AB) + ")");
  EXPECT_EQ(StrokeEndingAt(lines, box.At(root, 0, -2)),
            "Polyline(" + box.At(root, 0, rows - 2) + " " + box.At(root, 0, -2) + ")");
}

TEST(TreePicture, BranchColouringDecidesWhoseColourTheBranchesTake) {
  struct Row {
    std::uint8_t coloring;
    std::vector<std::string> colours;  // A, B, (A,B), then the rest
  } rows[] = {
      // The whole subtree and its whole leading branch.
      {0, {"red", "red", "red", "black", "black", "black", "black"}},
      // The subtree and the top node's horizontal part; the parent draws the
      // vertical piece.
      {1, {"red", "red", "red", "black", "black", "black", "black", "black"}},
      // Inside only: the leading branch keeps the enclosing colour.
      {2, {"red", "red", "black", "black", "black", "black", "black"}},
      // Only the top node's horizontal part.
      {3, {"black", "black", "red", "black", "black", "black", "black", "black"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(int{r.coloring});
    TNodeAttrib red;
    red.BranchPen.Color = clRed;
    red.ShowBracket = false;
    red.BranchColoring = r.coloring;
    Box box;
    box.Show("((A:1,B:1):1,(C:1,D:1):1);", true);
    box.Attach(red, "A,B");
    box.SetShowScale(false);
    box.SetShowStats(false);
    box.RefreshTree();
    const std::vector<std::string> lines = box.Trace();
    EXPECT_EQ(StrokeColours(lines), r.colours);
    // A horizontal part alone has two points, a whole elbow three.
    EXPECT_EQ(PointCount(StrokeEndingAt(lines, box.At(box["A,B"]))), r.coloring % 2 == 1 ? 2 : 3);
  }
}

TEST(TreePicture, TextColourIsRestoredAndEmphasizedNamesUseTheEmphasisColour) {
  Box box;
  box.Show("((A:1,B:2):1,C:3);", true);
  box["B"]->emphasized = true;
  box.RefreshTree();
  TraceContext trace;
  trace.SetTextColor(clGreen);
  trace.Clear();
  DrawTreeImage(trace, box.Display(), box.PictureOptions(), box.Measurer());
  EXPECT_EQ(trace.GetTextColor(), clGreen);
  const std::vector<std::string>& lines = trace.Lines();
  const int b = Find(lines, "TextOut(", Find(lines, "TextOut(") + 1);
  ASSERT_GT(b, 0);
  EXPECT_NE(lines[b].find("\" B\""), std::string::npos);
  EXPECT_EQ(lines[b - 1], "SetTextColor($0000FF)");
}

TEST(TreePicture, CurvedBranchesAreStraightWhenShortAndSampledOnLongOnes) {
  struct Row {
    Coord dx, dy;
    const char* call;
    int points;
  } rows[] = {
      {7, 400, "Polyline(", 2},                                         // too short
      {400, 7, "Polyline(", 2},                                         // too flat
      {8, 8, "PolyBezier(", 10},                                        // at least three segments
      {900, 200, "PolyBezier(", 301}, {2000, 400, "PolyBezier(", 601},  // at most 200 segments
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.dx);
    Box box;
    box.Show("((A:1,B:2):1,C:3);", true);
    box.SetBranchStyle(TBranchStyle::bsCurved);
    box.RefreshTree();
    TNode* A = box["A"];
    A->position = {A->anc->position.x + r.dx, A->anc->position.y - r.dy};
    const std::string stroke = StrokeEndingAt(box.Trace(), box.At(A));
    EXPECT_TRUE(StartsWith(stroke, r.call)) << stroke;
    EXPECT_EQ(PointCount(stroke), r.points);
    EXPECT_TRUE(StartsWith(stroke, std::string(r.call) + box.At(A->anc) + " "));
  }
}

TEST(TreePicture, ACloseSecondNameIsDroppedButKeepsItsMarker) {
  Box box;
  box.Show("((A:1,B:1):1,C:1);", true);
  box.SetShowScale(false);
  box.SetShowStats(false);
  TFontData font = box.OTU_Font();
  font.Height = -10;
  box.SetOTU_Font(font);
  box.SetPixelsPerOTU(15);
  box["A"]->marker = {1, clBlue};
  box["B"]->marker = {2, clBlue};
  box.RefreshTree();
  EXPECT_EQ(Texts(box.Trace()), (std::vector<std::string>{" A", " B", " C"}));

  struct Row {
    Coord below;  // B's row below A's, quarter pixels
    std::vector<std::string> names;
  } rows[] = {
      {12, {" A", " C"}},  // 3 pixels: B would overwrite A
      // A's cell is 12 pixels (48 quarter pixels) high; a name whose bottom
      // lies within two thirds of that below A's bottom is dropped.
      {31, {" A", " C"}},
      {32, {" A", " B", " C"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.below);
    box["B"]->position.y = box["A"]->position.y + r.below;
    const std::vector<std::string> lines = box.Trace();
    EXPECT_EQ(Texts(lines), r.names);
    EXPECT_EQ(CountStarting(lines, "Ellipse("), 2) << "both markers stay";
  }
}

TEST(TreePicture, HorizontalNamesOnOppositeSidesOfACircleDoNotHideEachOther) {
  struct Row {
    const char* what;
    Coord bx;
    double bAngle;
    std::vector<std::string> names;
  } rows[] = {
      {"same side", -2000, 3.14159, {"A"}},
      {"opposite side", 2000, 0, {"A", " B"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Box box;
    box.Show("((A:1,B:1):1,(C:1,D:1):1);", true);
    box.SetTreeStyle(TTreeStyle::tsCircle);
    box.SetHorzTaxonName(true);
    box.SetShowOTUMarker(false);
    box.SetShowStats(false);
    box.SetShowScale(false);
    box.RefreshTree();
    TNode* A = box["A"];
    TNode* B = box["B"];
    A->position = {-2000, 500};
    A->angle = 3.14159;
    B->position = {r.bx, 512};  // 3 pixels lower
    B->angle = r.bAngle;
    std::vector<std::string> texts = Texts(box.Trace());
    texts.erase(std::remove_if(texts.begin(), texts.end(),
                               [](const std::string& t) {
                                 return t.find('A') == std::string::npos && t.find('B') == std::string::npos;
                               }),
                texts.end());
    EXPECT_EQ(texts, r.names);
  }
}

TEST(TreePicture, SupportValuesFollowTheCutOffAndNeverShowMissingSupport) {
  struct Row {
    const char* what;
    bool rooted;
    int cutoff;
    std::vector<std::string> written;
  } rows[] = {
      {"cut-off 0", true, 0, {"95", "94"}},
      {"at the cut-off", true, 95, {"95"}},
      {"negative cut-off", true, -5, {"95", "94"}},
      {"unrooted root split once", false, 0, {"95"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Box box;
    box.Show("((A:1,B:1):1,((C:1,D:1):1,E:1):1);", r.rooted);
    box.SetShowScale(false);
    box.RefreshTree();
    box["A,B"]->statsPercent = 95;
    box["C,D,E"]->statsPercent = r.rooted ? -1 : 95;
    box["C,D"]->statsPercent = r.rooted ? 94 : -1;
    TTreePictureOptions options = box.PictureOptions();
    options.Flags.isStats = true;
    options.StatsCutoff = r.cutoff;
    std::vector<std::string> texts = Texts(box.Trace(options));
    texts.erase(std::remove_if(texts.begin(), texts.end(), [](const std::string& t) { return t[0] == ' '; }),
                texts.end());
    EXPECT_EQ(texts, r.written);
  }
}

// The two root branches of an unrooted tree are one split: radiation and
// circle write its support once, whatever style was drawn before.
TEST(TreePicture, RadialStylesWriteTheRootSplitsSupportOnce) {
  struct Row {
    const char* newick;
    std::vector<TTreeStyle> styles;  // drawn in turn; the last one is checked
  } rows[] = {
      {"(((A:1,B:2)70:1,E:1)90:1,(C:1,D:3)90:1);", {TTreeStyle::tsCircle}},
      {"(((A:1,B:2)70:1,E:1)90:1,(C:1,D:3)90:1);", {TTreeStyle::tsRadiation, TTreeStyle::tsCircle}},
      {"(((A:1,B:2)70:1,E:1)90:1,(C:1,D:3)90:1);", {TTreeStyle::tsRadiation}},
      {"(((A:1,B:2)70:1,E:1)90:1,(C:1,D:3)90:1);", {TTreeStyle::tsCircle, TTreeStyle::tsRadiation}},
      // Two equal halves tie.
      {"((A:1,B:2)90:0.5,(C:2,D:1)90:0.5);", {TTreeStyle::tsCircle}},
      {"((A:1,B:2)90:0.5,(C:2,D:1)90:0.5);", {TTreeStyle::tsRadiation}},
      {"((A:1,B:2)90:0.5,(C:2,D:1)90:0.5);", {TTreeStyle::tsRadiation, TTreeStyle::tsCircle}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.newick << " styles " << r.styles.size() << " last "
                                    << static_cast<int>(r.styles.back()));
    Box box;
    box.Show(r.newick, false);
    box.SetShowScale(false);
    for (TTreeStyle style : r.styles) {
      box.SetTreeStyle(style);
      box.RefreshTree();
    }
    TTreePictureOptions options = box.PictureOptions();
    options.Flags.isStats = true;
    std::vector<std::string> support;
    for (const std::string& t : Texts(box.Trace(options))) {
      if (!t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        support.push_back(t);
    }
    std::sort(support.begin(), support.end());
    EXPECT_EQ(std::count(support.begin(), support.end(), "90"), 1);
    // Nor does anything else in the picture depend on the styles drawn before.
    Box fresh;
    fresh.Show(r.newick, false);
    fresh.SetShowScale(false);
    fresh.SetTreeStyle(r.styles.back());
    fresh.RefreshTree();
    EXPECT_EQ(box.Trace(options), fresh.Trace(options));
  }
}

TEST(TreePicture, SubtreeImageCoversFourTimesItsPixelSize) {
  TNodeAttrib pictured;
  pictured.Caption = "Clade";
  pictured.Bitmap.Width = 10;
  pictured.Bitmap.Height = 8;
  pictured.Bitmap.Bgr.assign(10 * 8 * 3, 0x80);
  Box box;
  box.Show("((A:1,B:1):1,(C:1,D:1):1);", true);
  box.Attach(pictured, "C,D");
  box.RefreshTree();
  const std::vector<std::string> lines = box.Trace();
  const int image = Find(lines, "StretchDIBits(");
  ASSERT_GE(image, 0);
  EXPECT_TRUE(lines[image].ends_with(",40,32,10x8)")) << lines[image];
  const std::vector<std::string> texts = Texts(lines);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Clade"), texts.end());
}

TEST(TreePicture, LayersComeInTheirOrder) {
  Box box;
  box.Show("((A:1,B:2)90:1,C:3);", true);
  TFontData stats = box.StatsFont(), chars = box.CharStateFont(), scale = box.ScaleFont();
  stats.Height = -9;
  chars.Height = -7;
  scale.Height = -13;
  box.SetStatsFont(stats);
  box.SetCharStateFont(chars);
  box.SetScaleFont(scale);
  box.SetShowBLen(true);
  box.SetShowCharState(true);
  box["C"]->marker = {1, clBlue};
  box["C"]->charState = "G";
  box.RefreshTree();
  TTreePictureOptions options = box.PictureOptions();
  options.Flags.isStats = true;
  const std::vector<std::string> lines = box.Trace(options);
  const int names = Find(lines, "TextOut(");
  const int markers = Find(lines, "Ellipse(");
  const int support = Find(lines, "CreateFontIndirect(-36");
  const int lengths = Find(lines, "CreateFontIndirect(-36", support + 1);
  const int states = Find(lines, "CreateFontIndirect(-28");
  const int bar = Find(lines, "CreateFontIndirect(-52");
  EXPECT_TRUE(names >= 0 && names < markers && markers < support && support < lengths && lengths < states &&
              states < bar)
      << names << " " << markers << " " << support << " " << lengths << " " << states << " " << bar;
  EXPECT_EQ(lines[support + 1], "SelectObject(font#" + lines[support].substr(lines[support].rfind('#') + 1) + ")");
}

TEST(TreePicture, EveryStyleDrawsEveryNameAndGivesBackEveryObject) {
  struct Row {
    const char* what;
    TTreeStyle style;
    TBranchStyle branches;
    bool horizontalNames;
  } rows[] = {
      {"rectangular", TTreeStyle::tsTraditional, TBranchStyle::bsRectangular, false},
      {"curved", TTreeStyle::tsTraditional, TBranchStyle::bsCurved, false},
      {"straight", TTreeStyle::tsTraditional, TBranchStyle::bsStraight, false},
      {"radiation", TTreeStyle::tsRadiation, TBranchStyle::bsRectangular, false},
      {"radiation, horizontal names", TTreeStyle::tsRadiation, TBranchStyle::bsRectangular, true},
      {"circle", TTreeStyle::tsCircle, TBranchStyle::bsRectangular, false},
      {"circle, horizontal names", TTreeStyle::tsCircle, TBranchStyle::bsRectangular, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TNodeAttrib group;
    group.Compressed = true;
    group.Caption = "Group";
    group.MarkerShape = 6;
    group.MarkerColor = clGreen;
    Box box;
    box.Show("(((A:1,B:2)80:1,(C:1,D:1)70:2)90:1,((E:1,F:1)60:1,(G:2,H:1)50:1)40:1);", true);
    box.Attach(group, "G,H");
    for (int k = 1; k <= box.NoOfOTUs(); ++k) box.Display().Node(k)->marker = {static_cast<std::uint8_t>(k), clBlue};
    box["G,H"]->marker = {6, clGreen};
    box.SetTreeStyle(r.style);
    box.SetBranchStyle(r.branches);
    box.SetHorzTaxonName(r.horizontalNames);
    box.SetShowBLen(true);
    box.SetShowCharState(true);
    box.RefreshTree();
    TTreePictureOptions options = box.PictureOptions();
    options.Flags.isStats = true;
    const std::vector<std::string> lines = box.Trace(options);  // checks that no object is left behind
    std::vector<std::string> names;
    for (std::string t : Texts(lines)) {
      if (!t.empty() && t[0] == ' ') t.erase(0, 1);
      if (t.size() == 1 || t == "Group") names.push_back(t);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "C", "D", "E", "F", "Group"}));
    // Markers 1 to 6 on A to F and a filled triangle on the group: two
    // circles and five polygons, and the group's own shape.
    EXPECT_EQ(CountStarting(lines, "Ellipse("), 2);
    EXPECT_EQ(CountStarting(lines, "Polygon("), 6);
    for (const std::string& l : lines) {
      if (StartsWith(l, "Polyline(")) {
        EXPECT_LE(PointCount(l), 601);
      }
    }
  }
}

TEST(TreePicture, TimeAxisOfALinearizedTreeCountsBackFromTheTaxa) {
  struct Row {
    const char* what;
    bool scaleRow, timeRow;
    std::vector<std::string> labels;
  } rows[] = {
      {"scale row", true, false, {"0.0", "0.1", "0.2", "0.3", "Myr"}},
      {"time row only", false, true, {"0", "10", "20", "30", "years"}},
      {"both rows", true, true, {"0.0", "0.1", "0.2", "0.3", "Myr", "0", "10", "20", "30", "years"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Box box;
    box.Show("((A:1,B:1):1,C:2);", true);
    box.SetShowOTUName(false);
    box.SetShowStats(false);
    box.RefreshTree();
    TTreeDisplay& d = box.Display();
    d.ForceLinearized = true;
    d.MaxLength = 0.35;
    d.ScaleLength = 0.1;
    d.ScaleText = "0.1";
    d.ScaleUnit = "Myr";
    d.ShowScale = r.scaleRow;
    d.TimeFactor = 100;
    d.TimeInterval = 10;
    d.TimeText = "10";
    d.TimeUnit = "years";
    d.ShowTimeScale = r.timeRow;
    const std::vector<std::string> lines = box.Trace();
    EXPECT_EQ(Texts(lines), r.labels);
    // Major ticks of the scale row: 0 at the taxa, 0.3 towards the root.
    const Coord right = d.Origin.x + RoundCoord(0.35 * d.XScale);
    if (r.scaleRow) {
      const int zero = Find(lines, "Polyline(" + IntToStr(right) + ",");
      ASSERT_GE(zero, 0);
    }
  }
}

// Measures like the fixed measurer but fails on one text.
class FailingMeasurer : public TextMeasurer {
 public:
  std::int32_t TextWidth(const TFontData& font, std::string_view text) const override {
    if (text == "boom") throw EConvertError("Bad glyph");
    return inner_.TextWidth(font, text);
  }
  std::int32_t TextHeight(const TFontData& font, std::string_view text) const override {
    return inner_.TextHeight(font, text);
  }

 private:
  FixedTextMeasurer inner_;
};

TEST(TreePicture, ANameThatFailsIsReportedOnceAndDrawingGoesOn) {
  Box box;
  box.Show("((A:1,B:2):1,C:3);", true);
  box.SetShowCharState(true);
  box.RefreshTree();
  box["B"]->charState = "boom";
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  TraceContext trace;
  DrawTreeImage(trace, box.Display(), box.PictureOptions(), FailingMeasurer());
  ASSERT_EQ(dialogs.Count("message"), 1);
  EXPECT_EQ(dialogs.Calls()[0].text, std::string("Bad glyph") + kNameErrorSuffix);
  const std::vector<std::string> texts = Texts(trace.Lines());
  EXPECT_EQ(std::count(texts.begin(), texts.end(), " A") + std::count(texts.begin(), texts.end(), " C"), 2);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), " B"), 0);
  EXPECT_NE(std::find(texts.begin(), texts.end(), box.Display().ScaleText), texts.end()) << "later layers drawn";
  EXPECT_EQ(trace.LiveObjectCount(), 0);
}

}  // namespace
