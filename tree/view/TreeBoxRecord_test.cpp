// The binary record of a whole tree view.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>

#include "tree/view/AttribImage.h"
#include "tree/view/NTreeBox.h"
#include "tree/view/TreeBoxTesting.h"

namespace {

using namespace treeview_testing;

const char* const kTrees =
    "((A:1,B:2)80:1,(C:3,D:4)60:1,E:5);((A:1,B:2)70:1,(C:3,E:5)90:1,D:4);";

std::vector<uint8_t> Png() {
  QImage image(6, 4, QImage::Format_RGB888);
  image.fill(qRgb(10, 200, 30));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return {bytes.begin(), bytes.end()};
}

// A view with something of everything the record holds.
void Decorate(TestBox& box) {
  ASSERT_TRUE(box.SetTreeList(ListFromNewick(kTrees), true));
  box.FocusOnBranch(box["C"]->index);
  box.RootOnFocusedBranch();
  box.FocusOnNode(box["A,B"]->index);
  box.SwapChildren();
  TNodeAttrib a;
  a.Caption = "Pair";
  a.BranchPen = {0x0000FF, 2, TPenStyle::psDash};
  SetAttribImage(a, Png(), 0);
  box.SetSubtreeAttrib(a, box["A,B"]->index);
  TStringList groups{"C=Left", "D=Left", "E=Right"};
  box.SetGroupInfo(&groups);
  TFontData stats = box.StatsFont();
  stats.SetSize(11);
  stats.Style = {TFontStyle::fsItalic};
  box.SetStatsFont(stats);
  box.SetShowBLen(true);
  box.SetShowScale(false);
  box.SetPixelsPerOTU(24);
  box.SetStatsPosition(TBranchInfoPosition::bipBelowBranch);
  box.SetHorzTaxonName(true);
  box.RefreshTree();
  box.SetTreeWidth(500);
  box.RefreshTree();
}

std::vector<uint8_t> RecordOf(TTreeBox& box) {
  TMemoryStream s;
  box.WriteToFile(s);
  return s.Bytes();
}

bool ReadInto(TTreeBox& box, const std::vector<uint8_t>& bytes, int version = 2) {
  TMemoryStream s(bytes);
  return box.ReadFromFile(s, version);
}

TEST(TreeViewRecord, AViewComesBackAsItWas) {
  TestBox written;
  Decorate(written);
  TestBox read;
  ASSERT_TRUE(read.SetTreeList(ListFromNewick("((X,Y),Z);"), true));  // replaced
  ASSERT_TRUE(ReadInto(read, RecordOf(written)));
  EXPECT_EQ(read.GetSourceTag(), "VTS");
  EXPECT_EQ(read.ReadVersion, 12);
  EXPECT_EQ(read.NoOfTrees(), 2);
  EXPECT_EQ(ShownNewick(read.Display(), true, true), ShownNewick(written.Display(), true, true));
  EXPECT_EQ(read.StatsFont(), written.StatsFont());
  EXPECT_EQ(read.OTU_Font(), written.OTU_Font());
  EXPECT_TRUE(read.ShowBLen());
  EXPECT_FALSE(read.ShowScale());
  EXPECT_TRUE(read.HorzTaxonName());
  EXPECT_EQ(read.PixelsPerOTU(), 24);
  EXPECT_EQ(read.StatsPosition(), TBranchInfoPosition::bipBelowBranch);
  EXPECT_EQ(read.Display().TreeWidthPx, written.Display().TreeWidthPx);
  TNodeAttrib pair;
  ASSERT_TRUE(read.GetSubtreeAttrib(pair, read["A,B"]->index));
  EXPECT_EQ(pair.Caption, "Pair");
  EXPECT_EQ(pair.BranchPen.Style, TPenStyle::psDash);
  EXPECT_EQ(pair.Bitmap.Width, 6);
  ASSERT_EQ(read.Display().GroupAttrib.size(), 2u);
  EXPECT_EQ(read["D"]->groupIndex, 0);
  EXPECT_EQ(read["E"]->groupIndex, 1);
  // The second tree was never shown: it is rooted when first shown, as it
  // would have been in the written view.
  read.SetTreeIndex(2);
  written.SetTreeIndex(2);
  EXPECT_EQ(ShownNewick(read.Display(), true, false), ShownNewick(written.Display(), true, false));
}

TEST(TreeViewRecord, NoAutomaticRootingWhenReading) {
  TestBox written;
  ASSERT_TRUE(written.SetTreeList(ListFromNewick(kTrees), false));  // left where it was read
  const std::string shown = ShownNewick(written.Display(), true, false);
  TestBox read;
  ASSERT_TRUE(ReadInto(read, RecordOf(written)));
  EXPECT_EQ(ShownNewick(read.Display(), true, false), shown);
}

TEST(TreeViewRecord, TheConsensusViewComesBack) {
  TestBox written;
  ASSERT_TRUE(written.SetTreeList(ListFromNewick(kTrees), true));
  written.SetTreeIndex(0);
  written.RefreshTree();
  TestBox read;
  ASSERT_TRUE(ReadInto(read, RecordOf(written)));
  EXPECT_EQ(read.TreeIndex(), 0);
  EXPECT_TRUE(read.ShowCondensed());
  ASSERT_TRUE(read.ConsensusTree());
  EXPECT_EQ(*read.ConsensusTree(), *written.ConsensusTree());
  EXPECT_EQ(SplitPercent(read.Display(), "A,B"), 100);
  EXPECT_EQ(ShownNewick(read.Display(), false, true), ShownNewick(written.Display(), false, true));
  read.SetTreeIndex(1);
  EXPECT_FALSE(read.ShowCondensed());
}

TEST(TreeViewRecord, WidthsComeBackAsWritten) {
  // The second tree is ten times shorter than the first, so that with the
  // first one's scale its width is a tenth of the cladogram's.
  const char* const trees = "((A:10,B:20):10,(C:30,D:40):10,E:50);((A:1,B:2):1,(C:3,D:4):1,E:5);";
  struct Row {
    const char* what;
    int index;
    bool topologyOnly;
  } rows[] = {
      {"first tree with lengths", 1, false},
      {"second tree with lengths", 2, false},
      {"second tree as topology only", 2, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TestBox written;
    ASSERT_TRUE(written.SetTreeList(ListFromNewick(trees), true));
    written.SetTreeWidth(400);
    written.RefreshTree();
    written.SetTreeIndex(r.index);
    written.RefreshTree();
    written.SetShowTopologyOnly(r.topologyOnly);
    written.RefreshTree();
    TestBox read;
    ASSERT_TRUE(ReadInto(read, RecordOf(written)));
    EXPECT_EQ(read.Display().TreeWidthPx, written.Display().TreeWidthPx);
    EXPECT_EQ(read.Display().CladogramWidth, written.Display().CladogramWidth);
    EXPECT_EQ(read.TreeWidth(), written.TreeWidth());
  }
  // Older records kept the widths in quarter pixels: they are still read in pixels.
  TestBox old;
  ASSERT_TRUE(old.SetTreeList(ListFromNewick(trees), true));
  old.SetTreeWidth(400);
  old.RefreshTree();
  old.WriteVersion = 11;
  old.Display().TreeWidthPx *= 4;
  old.Display().CladogramWidth *= 4;
  TestBox read;
  ASSERT_TRUE(ReadInto(read, RecordOf(old)));
  EXPECT_EQ(read.Display().TreeWidthPx, 400);
  EXPECT_EQ(read.Display().CladogramWidth, 400);
}

// Replaces the first occurrence of `from` in the record by `to`.
std::vector<uint8_t> WithDouble(std::vector<uint8_t> bytes, double from, double to) {
  const uint8_t* f = reinterpret_cast<const uint8_t*>(&from);
  const auto at = std::search(bytes.begin(), bytes.end(), f, f + sizeof from);
  EXPECT_NE(at, bytes.end()) << from;
  if (at != bytes.end()) std::memcpy(&*at, &to, sizeof to);
  return bytes;
}

// Replaces a field of the view's display fields in its record: ScaleRatio
// (found as the Double right before TreeWidthPx and CladogramWidth) or a
// field `after` bytes after it.
template <typename T>
std::vector<uint8_t> WithDisplayField(std::vector<uint8_t> bytes, const TestBox& box, size_t after, T to) {
  uint8_t field[16];
  const double ratio = box.ScaleRatio();
  const int32_t widths[2] = {box.Display().TreeWidthPx, box.Display().CladogramWidth};
  std::memcpy(field, &ratio, 8);
  std::memcpy(field + 8, widths, 8);
  const auto at = std::search(bytes.begin(), bytes.end(), field, field + 16);
  EXPECT_NE(at, bytes.end());
  if (at != bytes.end()) std::memcpy(&*(at + static_cast<long>(after)), &to, sizeof to);
  return bytes;
}
std::vector<uint8_t> WithRatio(std::vector<uint8_t> bytes, const TestBox& box, double to) {
  return WithDisplayField(std::move(bytes), box, 0, to);
}
// StartAngle follows the ratio and five Int32.
constexpr size_t kStartAngleAfterRatio = 8 + 20;
// ScaleLength follows the ratio, eight Int32, a Byte, two Int32, three
// reserved Doubles, BLenCutoff and a Byte.
constexpr size_t kScaleLengthAfterRatio = 8 + 32 + 1 + 8 + 24 + 8 + 1;

TEST(TreeViewRecord, WhatIsReadCanBeDrawnAndWrittenBack) {
  auto list = ListFromNewick(kTrees);
  list->Items(0).Freq = 3.25;  // values found nowhere else in the record
  list->Items(1).Freq = 5.75;
  TestBox written;
  ASSERT_TRUE(written.SetTreeList(std::move(list), true));
  written.SetTreeWidth(400);
  written.RefreshTree();
  const double ratio = written.ScaleRatio();
  const std::vector<uint8_t> good = RecordOf(written);
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    bool readable;
  } rows[] = {
      {"as written", good, true},
      {"the widest picture", WithRatio(good, written, ratio * 32000 / 400), true},
      {"a ratio wider than any picture", WithRatio(good, written, ratio * 1e6), false},
      {"a ratio that overflows the width", WithRatio(good, written, 1e300), false},
      {"a scale bar of the tree's length", WithDisplayField(good, written, kScaleLengthAfterRatio, 11.0), true},
      {"a scale bar wider than any picture", WithDisplayField(good, written, kScaleLengthAfterRatio, 1e6), false},
      {"a scale bar that overflows", WithDisplayField(good, written, kScaleLengthAfterRatio, 7e161), false},
      {"a start angle of many turns", WithDisplayField(good, written, kStartAngleAfterRatio, int32_t{-12 * 1000 + 5}), true},
      {"a start angle that overflows", WithDisplayField(good, written, kStartAngleAfterRatio, int32_t{1610612736}), false},
      {"an infinite frequency", WithDouble(good, 3.25, inf), false},
      {"a frequency that is no number", WithDouble(good, 5.75, std::nan("")), false},
      {"frequencies whose sum overflows", WithDouble(WithDouble(good, 3.25, 1e308), 5.75, 1e308), false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TestBox read;
    const bool readable = ReadInto(read, r.bytes);
    EXPECT_EQ(readable, r.readable);
    if (!readable) {
      EXPECT_FALSE(read.TreePresent());
      continue;
    }
    for (TTreeStyle style : {TTreeStyle::tsTraditional, TTreeStyle::tsRadiation, TTreeStyle::tsCircle}) {
      read.SetTreeStyle(style);
      for (bool topologyOnly : {false, true}) {
        read.SetShowTopologyOnly(topologyOnly);
        EXPECT_NO_THROW(read.RefreshTree());
      }
    }
    TestBox again;
    EXPECT_TRUE(ReadInto(again, RecordOf(read)));
  }
}

TEST(TreeViewRecord, ThePicturesOfAViewShareOneBudget) {
  // A BMP header of 4000 x 3000 pixels (36 MB decoded) with hardly a pixel.
  std::vector<uint8_t> bmp;
  {
    QImage image(4000, 3000, QImage::Format_RGB888);
    image.fill(Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "BMP"));
    bmp.assign(bytes.begin(), bytes.begin() + 64);
  }
  for (int pictures : {1, 2}) {
    SCOPED_TRACE(pictures);
    TestBox written;
    ASSERT_TRUE(written.SetTreeList(ListFromNewick(kTrees), true));
    const char* clades[] = {"A,B", "C,D"};
    for (int i = 0; i < pictures; ++i) {
      TNodeAttrib a;
      a.Bitmap = {1, 1, {0, 0, 0}};
      a.JPEGImage = bmp;  // stored as it is
      a.ImageKind = 1;
      written.SetSubtreeAttrib(a, written[clades[i]]->index);
    }
    TestBox read;
    EXPECT_EQ(ReadInto(read, RecordOf(written)), pictures == 1);
  }
}

TEST(TreeViewRecord, NothingIsWrittenWithoutTrees) {
  TestBox empty;
  EXPECT_TRUE(RecordOf(empty).empty());
}

TEST(TreeViewRecord, APartitionListIsWrittenWithAllItsTopologies) {
  auto list = ListFromNewick("((A:1,B:2):1,C:3,D:4);((A:1,C:3):1,B:2,D:4);");
  auto tally = std::make_unique<TPartitionList>(4, 10, 0);
  tally->OTUNames.Assign(list->OTUNames);
  for (int i = 0; i < list->NoOfTrees(); ++i) tally->AddTree(list->Items(i), false);
  TestBox written;
  written.SetPartitionList(std::move(tally));
  ASSERT_EQ(written.NoOfTrees(), 2);
  TestBox read;
  ASSERT_TRUE(ReadInto(read, RecordOf(written)));
  read.SetTreeIndex(2);
  EXPECT_EQ(SplitPercent(read.Display(), "A,C"), 50);
}

TEST(TreeViewRecord, AnOlderRecordLacksTheFieldsOfLaterVersions) {
  struct Field {
    const char* name;
    int since;
    std::function<bool(TestBox&)> kept;
  } fields[] = {
      {"ForceLinearized", 2, [](TestBox& b) { return b.ForceLinearized(); }},
      {"ShowRoot", 3, [](TestBox& b) { return !b.ShowRoot(); }},
      {"groups", 6, [](TestBox& b) { return b["E"]->groupIndex == 0; }},
      {"UseGroupAttrib", 8, [](TestBox& b) { return !b.UseGroupAttrib(); }},
      {"OverrideGroups", 11, [](TestBox& b) {
         TNodeAttrib a;
         b.GetSubtreeAttrib(a, b["A,B"]->index);
         return a.OverrideGroups;
       }},
  };
  for (int version : {0, 1, 2, 3, 5, 6, 7, 8, 10, 11, 12}) {
    SCOPED_TRACE("version " + std::to_string(version));
    TestBox written;
    ASSERT_TRUE(written.SetTreeList(ListFromNewick(kTrees), false));
    written.SetForceLinearized(true);
    written.SetShowRoot(false);
    written.SetUseGroupAttrib(false);
    TStringList groups{"E=Alone"};
    written.SetGroupInfo(&groups);
    TNodeAttrib a;
    a.OverrideGroups = true;
    a.Caption = "AB";
    written.SetSubtreeAttrib(a, written["A,B"]->index);
    written.WriteVersion = version;
    TestBox read;
    ASSERT_TRUE(ReadInto(read, RecordOf(written)));
    EXPECT_EQ(read.ReadVersion, version);
    TNodeAttrib ab;
    EXPECT_TRUE(read.GetSubtreeAttrib(ab, read["A,B"]->index));
    EXPECT_EQ(ab.Caption, "AB");
    for (const Field& f : fields) {
      SCOPED_TRACE(f.name);
      EXPECT_EQ(f.kept(read), version >= f.since);
    }
  }
}

// Offsets into the record of a view of kTrees without consensus, groups or
// subtree attributes besides one on A,B, and with the default fonts.
struct Layout {
  size_t attributes;    // field 30 (A)
  size_t firstTree;     // field 40: the tree index of the first subtree attribute
  size_t groupIndices;  // field 41
  size_t groupCount;    // field 42
};

Layout LayoutOf(const std::vector<uint8_t>& bytes, int n) {
  // Fields 30 to 33: A = 2, five zeros, version 12, A again.
  const int32_t pattern[8] = {2, 0, 0, 0, 0, 0, 12, 2};
  const uint8_t* p = reinterpret_cast<const uint8_t*>(pattern);
  const auto at = std::search(bytes.begin(), bytes.end(), p, p + sizeof pattern);
  EXPECT_NE(at, bytes.end());
  const size_t attributes = static_cast<size_t>(at - bytes.begin());
  const size_t font = 4 + 5 + 4 + 4 + 1;  // "Arial"
  const size_t tail = 2 + 9 + 3 * font + 1;  // fields 44 to 47
  Layout l;
  l.attributes = attributes;
  l.firstTree = attributes + 32 + 2 + 9 + 9 + font + 5;
  l.groupCount = bytes.size() - tail - 4;
  l.groupIndices = l.groupCount - 4 * static_cast<size_t>(n);
  return l;
}

TEST(TreeViewRecord, BadCountsAndIndicesFailWithAnEmptyView) {
  TestBox written;
  auto list = ListFromNewick(kTrees);
  list->Items(0).Freq = 0;  // no consensus tree
  list->Items(1).Freq = 0;
  ASSERT_TRUE(written.SetTreeList(std::move(list), true));
  ASSERT_FALSE(written.isConsensus());
  TNodeAttrib a;
  written.SetSubtreeAttrib(a, written["A,B"]->index);
  const std::vector<uint8_t> good = RecordOf(written);
  const Layout l = LayoutOf(good, 5);
  TMemoryStream listRecord;
  written.TreeList()->WriteToFile(listRecord);
  const size_t treeIndex = 8 + listRecord.Bytes().size() + 4;

  auto with = [&](size_t at, int32_t value) {
    std::vector<uint8_t> bytes = good;
    std::memcpy(&bytes[at], &value, 4);
    return bytes;
  };
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
  } rows[] = {
      {"more trees than the list", with(0, 3)},
      {"negative tree count", with(0, -1)},
      {"one taxon", with(4, 1)},
      {"too many taxa", with(4, 20000)},
      {"consensus flags without a tree", with(8 + listRecord.Bytes().size(), 2)},
      {"consensus flags out of range", with(8 + listRecord.Bytes().size(), 9)},
      {"tree index beyond the trees", with(treeIndex, 3)},
      {"tree index 0 without consensus", with(treeIndex, 0)},
      {"no attribute count", with(l.attributes + 28, 0)},
      {"attribute count beyond the record", with(l.attributes + 28, 1 << 30)},
      {"subtree attribute of tree 3", with(l.firstTree, 3)},
      {"subtree attribute of no node", with(l.firstTree + 8, 0)},
      {"subtree attribute beyond the nodes", with(l.firstTree + 8, 10)},
      {"group index without group", with(l.groupIndices, 0)},
      {"group index below -1", with(l.groupIndices + 8, -2)},
      {"negative group count", with(l.groupCount, -1)},
      {"cut short", std::vector<uint8_t>(good.begin(), good.end() - 3)},
      {"only zeros", std::vector<uint8_t>(good.size(), 0)},
      {"nothing", {}},
  };
  auto at = [&](size_t offset) {
    int32_t v;
    std::memcpy(&v, &good[offset], 4);
    return v;
  };
  // The offsets hold what the rows change.
  ASSERT_EQ(at(treeIndex), 1);
  ASSERT_EQ(at(l.attributes + 28), 2);
  ASSERT_EQ(at(l.firstTree), 1);
  ASSERT_EQ(at(l.firstTree + 4), -11);
  ASSERT_EQ(at(l.firstTree + 8), written["A,B"]->index);
  ASSERT_EQ(at(l.groupIndices), -1);
  ASSERT_EQ(at(l.groupCount), 0);
  {
    TestBox check;
    ASSERT_TRUE(ReadInto(check, good)) << "the unchanged record reads";
  }
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TestBox read;
    ASSERT_TRUE(read.SetTreeList(ListFromNewick("((X,Y),Z);"), true));
    EXPECT_FALSE(ReadInto(read, r.bytes));
    EXPECT_EQ(read.NoOfOTUs(), 0);
    EXPECT_EQ(read.TreeList(), nullptr);
    EXPECT_FALSE(read.TreePresent());
  }
}

}  // namespace
