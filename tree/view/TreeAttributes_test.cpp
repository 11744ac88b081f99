#include "tree/view/TreeAttributes.h"

#include <gtest/gtest.h>

#include "tree/view/TreeSetup.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

struct Attributed {
  std::unique_ptr<TTreeList> list;
  TTreeDisplay d;
  FixedTextMeasurer measurer;
  std::vector<std::unique_ptr<TNodeAttrib>> owned;  // lent to AttribList
  explicit Attributed(const std::string& newick) : list(ListFromNewick(newick)) { LoadDisplay(d, *list); }
  TNodeAttrib& Subtree(const std::string& clade) {
    owned.push_back(std::make_unique<TNodeAttrib>());
    owned.back()->NodeIndex = Clade(d, clade)->index;
    d.AttribList.push_back(owned.back().get());
    return *owned.back();
  }
  TNodeAttrib& Group(std::initializer_list<const char*> taxa) {
    const int g = static_cast<int>(d.GroupAttrib.size());
    d.GroupAttrib.push_back(std::make_unique<TNodeAttrib>());
    for (const char* name : taxa) Taxon(d, name)->groupIndex = g;
    return *d.GroupAttrib.back();
  }
  void Assign() { AssignAttributes(d, measurer); }
  TNode* operator[](const std::string& names) { return Clade(d, names); }
};

TEST(AssignAttributes, WithOnlyTheWholeTreeNothingStartsARegion) {
  Attributed t("((A,B)90,(C,Dd)80);");
  t["A,B"]->marker = {3, clRed};
  t.Assign();
  for (const TNode& node : t.d.Nodes) {
    EXPECT_EQ(node.attrIndex, 0) << node.index;
    if (!node.isOTU) EXPECT_EQ(node.marker.Shape, 0) << node.index;
  }
  // Names measured in the name font with a blank: 6 pixels a character.
  EXPECT_EQ(Taxon(t.d, "A")->nameWidth, 4 * 12);
  EXPECT_EQ(Taxon(t.d, "Dd")->nameWidth, 4 * 18);
  EXPECT_EQ(Taxon(t.d, "Dd")->nameHeight, 44);
}

TEST(AssignAttributes, CaptionWidthAddsCaptionBracketMarkerAndPicture) {
  Bitmap24 picture;
  picture.Width = 30;
  picture.Height = 10;
  picture.Bgr.assign(30 * 10 * 3, 0);
  struct Row {
    const char* what;
    bool bracket, compressed;
    std::uint8_t marker;
    int imagePosition;  // -1: no picture
    std::int64_t width;
  } rows[] = {
      // Caption "abcdef " is 42 pixels (c = 168) in a font of height 12.
      {"caption only", false, false, 0, -1, 168 + 24},
      {"picture above, narrower than the caption", false, false, 0, 2, 168 + 24},
      {"picture left of the caption", false, false, 0, 0, 168 + (120 + 24) + 24},
      {"bracket", true, false, 0, -1, (24 + 4) + 168 + 24},
      {"compressed with a marker", true, true, 5, -1, 60 + 168 + 24},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Attributed t("((A,B)90,(C,D)80);");
    TNodeAttrib& attrib = t.Subtree("A,B");
    attrib.Caption = "abcdef";
    attrib.CaptionFont.Height = -12;
    attrib.ShowBracket = r.bracket;
    attrib.Compressed = r.compressed;
    attrib.MarkerShape = r.marker;
    if (r.imagePosition >= 0) {
      attrib.Bitmap = picture;
      attrib.ImagePosition = static_cast<std::uint8_t>(r.imagePosition);
    }
    t.Assign();
    EXPECT_EQ(attrib.CaptionWidth, r.width);
  }
}

TEST(AssignAttributes, ACompressedSubtreeBecomesOneNamedGroup) {
  Attributed t("(((A,B)90,C)70,(D,E)80);");
  TNodeAttrib& attrib = t.Subtree("A,B,C");
  attrib.Compressed = true;
  attrib.Caption = "Clade one";
  attrib.MarkerShape = 2;
  t.Assign();
  TNode* group = t["A,B,C"];
  EXPECT_TRUE(group->compressed);
  EXPECT_EQ(group->name, "Clade one");
  EXPECT_EQ(group->attrIndex, 1);
  EXPECT_EQ(group->nameWidth, 4 * 6 * 10);
  EXPECT_EQ(GetShownMarker(t.d, *group).Shape, 2);
  for (const char* name : {"A", "B", "C"}) EXPECT_TRUE(Taxon(t.d, name)->hidden) << name;
  EXPECT_TRUE(t["A,B"]->hidden);
  EXPECT_FALSE(Taxon(t.d, "D")->hidden);
  t.d.PixelsPerOTU4 = 24;
  t.d.PixelsPerGroupMember4 = 16;
  SetVSpace(t.d, t.d.Root);
  EXPECT_EQ(group->vspace, 48);

  // Spreading again without the attribute expands the group.
  t.d.AttribList.resize(1);
  t.Assign();
  EXPECT_FALSE(group->compressed);
  EXPECT_FALSE(t["A,B"]->hidden);
}

TEST(AssignAttributes, AGroupThatIsNoCladeGetsARegionPerMaximalClade) {
  Attributed t("((A,B)90,(C,D)80);");
  TNodeAttrib& group = t.Group({"A", "B", "C"});
  group.MarkerShape = 4;
  t.Assign();
  EXPECT_EQ(t["A,B"]->groupIndex, 0);
  EXPECT_EQ(t["C,D"]->groupIndex, -1);
  EXPECT_EQ(t["A,B"]->attrIndex, -1);
  EXPECT_EQ(Taxon(t.d, "A")->attrIndex, -1);
  EXPECT_EQ(Taxon(t.d, "C")->attrIndex, -1);
  EXPECT_EQ(Taxon(t.d, "D")->attrIndex, 0);
  // Taxa without a marker of their own take the group's.
  EXPECT_EQ(Taxon(t.d, "C")->marker.Shape, 4);
  EXPECT_EQ(GetShownMarker(t.d, *Taxon(t.d, "C")).Shape, 4);
  EXPECT_EQ(&GetNodeAttrib(t.d, *Taxon(t.d, "C")), &group);
  EXPECT_EQ(Taxon(t.d, "D")->marker.Shape, 0);
}

TEST(AssignAttributes, IndicesOutsideTheListsAreIgnored) {
  Attributed t("((A,B)90,(C,D)80);");
  TNodeAttrib& stray = t.Subtree("A,B");
  stray.NodeIndex = 99;
  Taxon(t.d, "C")->groupIndex = 7;  // no such group
  t.Assign();
  for (const TNode& node : t.d.Nodes) EXPECT_EQ(node.attrIndex, 0) << node.index;
  EXPECT_EQ(Taxon(t.d, "C")->groupIndex, -1);
}

TEST(GetBranchPenWidth, FollowsTheColouringModeUpTheTree) {
  struct Row {
    int coloring;
    int expected;  // pen width for the subtree's top node
  } rows[] = {{0, 5}, {1, 5}, {2, 1}, {3, 5}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.coloring);
    Attributed t("(((A,B)90,C)70,(D,E)80);");
    TNodeAttrib& attrib = t.Subtree("A,B");
    attrib.BranchPen.Width = 5;
    attrib.BranchColoring = static_cast<std::uint8_t>(r.coloring);
    t.Assign();
    EXPECT_EQ(GetBranchPenWidth(t.d, *t["A,B"]), r.expected);
    // Inside the subtree mode 3 uses the enclosing pen.
    EXPECT_EQ(GetBranchPenWidth(t.d, *Taxon(t.d, "A")), r.coloring == 3 ? 1 : 5);
  }
}

}  // namespace
