#include "tree/view/TreeNameEditor.h"

#include <gtest/gtest.h>

#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

// ((A,B),C) with A at pixel (210, 30) past an origin of (40, 40); names in
// the deterministic measurer (6 pixels a character at the default height
// of 11).
struct Named {
  std::unique_ptr<TTreeList> list = ListFromNewick("((A:1,B:2):1,C:4);");
  TTreeDisplay d;
  FixedTextMeasurer measurer;
  Named() {
    LoadDisplay(d, *list);
    d.Origin = {40, 40};
    Clade(d, "A")->position = {800, 80};
    AssignAttributes(d, measurer);
  }
  TNode& A() const { return *Clade(d, "A"); }
};

TEST(NameEditorPlace, OpensOverTheNameWhereItIsDrawn) {
  struct Row {
    const char* what;
    bool marker, charState;
    Coord controlWidth;
    Coord left, width;
  } rows[] = {
      // A blank (6) past the node (210); as wide as "A " and the font
      // height: (48 + 44) / 4.
      {"plain", false, false, 1000, 216, 23},
      {"past a marker (5 x 11 / 4)", true, false, 1000, 229, 23},
      {"past the character state (18 + 5)", false, true, 1000, 239, 23},
      {"cut at the right edge", false, false, 230, 216, 14},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Named t;
    t.A().marker.Shape = r.marker ? 1 : 0;
    t.A().charState = "ACG";
    const TNameEditorPlace place = NameEditorPlace(t.d, t.A().index, t.measurer, r.charState, clRed, r.controlWidth);
    EXPECT_EQ(place.Left, r.left);
    EXPECT_EQ(place.Top, 25);  // the row at 30, half the font height above
    EXPECT_EQ(place.Width, r.width);
    EXPECT_EQ(place.Text, "A");
  }
}

TEST(NameEditorPlace, TakesTheNameFontAndTheEmphasisColour) {
  Named t;
  TNode& a = t.A();
  t.d.WholeTree().NameFont.Color = clBlue;
  TNameEditorPlace place = NameEditorPlace(t.d, a.index, t.measurer, false, clRed, 1000);
  EXPECT_EQ(place.Font.Color, clBlue);
  a.emphasized = true;
  a.name.clear();
  place = NameEditorPlace(t.d, a.index, t.measurer, false, clRed, 1000);
  EXPECT_EQ(place.Font.Color, clRed);
  EXPECT_EQ(place.Text, " ");  // an empty name still gives the editor a character
  EXPECT_THROW(NameEditorPlace(t.d, 99, t.measurer, false, clRed, 1000), ERangeError);
}

TEST(WidenedNameEditorWidth, WidensToTheTextButNotPastTheRightEdge) {
  struct Row {
    Coord left, width, text, control, widened;
  } rows[] = {
      {100, 50, 40, 400, 50},   // wide enough: unchanged
      {100, 50, 80, 400, 80},   // widens to the text
      {100, 50, 500, 400, 300}, // up to the control's right edge
      {100, 50, 50, 400, 50},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(WidenedNameEditorWidth(r.left, r.width, r.text, r.control), r.widened);
  }
  EXPECT_EQ(NameEditorWidthText("Abc"), "Abc00");
}

}  // namespace
