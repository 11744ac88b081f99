// Tree boxes over several trees: switching, the consensus tree, partition
// lists, value callbacks and copying a subtree.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "tree/view/NTreeBox.h"
#include "tree/view/TreeBoxTesting.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

// Five taxa; A,B in both trees, C,D only in the first, C,E only in the second.
const char* const kTwoTrees = "((A:1,B:2):1,(C:3,D:4):1,E:5);((A:1,B:2):1,(C:3,E:5):1,D:4);";

TEST(TreeBoxTrees, OneTreeHasNoConsensus) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick("((A,B),(C,D));"), true));
  EXPECT_FALSE(box.isConsensus());
  box.SetTreeIndex(0);
  EXPECT_EQ(box.TreeIndex(), 1);
}

TEST(TreeBoxTrees, TheConsensusOfTwoTreesShowsSplitFrequencies) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick(kTwoTrees), false));
  ASSERT_TRUE(box.isConsensus());
  box.SetCondenseValue(30);
  const bool rooted = box.isRooted();
  box.SetTreeIndex(0);
  ASSERT_EQ(box.TreeIndex(), 0);
  EXPECT_EQ(box.MaxStats(), 2);
  EXPECT_EQ(box.StatsName(), "Consensus value");
  EXPECT_TRUE(box.GetisStats());
  EXPECT_EQ(SplitPercent(box.Display(), "A,B"), 100);
  // Of the two conflicting splits of one tree each, one is kept at 50.
  const int cd = SplitPercent(box.Display(), "C,D");
  const int ce = SplitPercent(box.Display(), "C,E");
  EXPECT_EQ(std::max(cd, ce), 50);
  EXPECT_EQ(std::min(cd, ce), -2);  // not in the consensus
  EXPECT_TRUE(box.ShowCondensed());
  EXPECT_TRUE(box.ShowTopologyOnly());
  EXPECT_FALSE(box.isRooted());
  EXPECT_EQ(box.Display().CondenseValue, 50);  // ConsensusValue
  EXPECT_EQ(box.CondenseValue(), 30);           // the regular trees'
  box.RefreshTree();

  box.SetTreeIndex(1);
  EXPECT_FALSE(box.ShowCondensed());
  EXPECT_FALSE(box.ShowTopologyOnly());
  EXPECT_EQ(box.isRooted(), rooted);
  EXPECT_EQ(box.Display().CondenseValue, 30);
  EXPECT_EQ(box.StatsName(), "");
}

TEST(TreeBoxTrees, ThresholdsWhileTheConsensusIsShown) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick(kTwoTrees), false));
  box.SetTreeIndex(0);
  box.SetCondenseValue(150);  // the regular trees' threshold, clamped
  EXPECT_EQ(box.CondenseValue(), 100);
  EXPECT_EQ(box.Display().CondenseValue, 50);
  box.SetConsensusValue(-5);
  EXPECT_EQ(box.ConsensusValue(), 0);
  EXPECT_EQ(box.Display().CondenseValue, 0);
  box.SetTreeIndex(2);
  EXPECT_EQ(box.Display().CondenseValue, 100);
  box.SetConsensusValue(70);  // not shown: the display keeps the regular threshold
  EXPECT_EQ(box.Display().CondenseValue, 100);
  box.SetTreeIndex(0);
  EXPECT_EQ(box.Display().CondenseValue, 70);
}

TEST(TreeBoxTrees, TheConsensusThresholdDecidesWhatIsCollapsed) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick(kTwoTrees), false));
  box.SetTreeIndex(0);
  auto groups = [&] {
    std::string text;
    box.GetNewickTree(text);
    return std::count(text.begin(), text.end(), '(');
  };
  box.SetConsensusValue(100);  // only A,B stands
  EXPECT_EQ(groups(), 2);
  box.SetConsensusValue(50);   // A,B and one of C,D / C,E
  EXPECT_EQ(groups(), 3);
  box.SetConsensusValue(0);    // everything the consensus resolved
  EXPECT_EQ(groups(), 3);
}

TEST(TreeBoxTrees, FrequencyDecimalsFollowTheFrequencies) {
  for (double freq : {1.0, 0.5}) {
    SCOPED_TRACE(freq);
    auto list = ListFromNewick(kTwoTrees);
    list->FreqName = "Frequency";
    list->Items(1).Freq = freq;
    TestBox box;
    ASSERT_TRUE(box.SetTreeList(std::move(list), false));
    EXPECT_EQ(box.FreqDecimals(), freq == 1.0 ? 0 : 8);
    EXPECT_TRUE(box.isFreq());
    EXPECT_DOUBLE_EQ(box.TotalFrequency(), 1 + freq);
  }
}

TEST(TreeBoxTrees, ValuesAreFetchedOnceWhenATreeIsFirstShown) {
  auto list = ListFromNewick(kTwoTrees + std::string("((A:1,C:3):1,(B:2,D:4):1,E:5);"));
  list->ValueName = "Score";
  TestBox box;
  std::vector<int> fetched;
  box.SetValueFunc([&](TTreeData& tree) {
    fetched.push_back(tree.NoOfOTUs());
    return 10.0 * static_cast<double>(fetched.size());
  });
  int stats = 0;
  box.StatsFunc = [&](TTreeData&) { return ++stats; };
  ASSERT_TRUE(box.SetTreeList(std::move(list), false));
  EXPECT_EQ(fetched.size(), 1u);
  EXPECT_EQ(stats, 1);
  EXPECT_TRUE(box.GetisValue());
  box.SetTreeIndex(3);
  box.SetTreeIndex(1);
  box.SetTreeIndex(3);
  EXPECT_EQ(fetched.size(), 2u);
  EXPECT_EQ(stats, 2);
  EXPECT_DOUBLE_EQ(box.TreeList()->Items(2).Value, 20);
  box.SetTreeIndex(0);  // the consensus gets its value too
  EXPECT_EQ(fetched.size(), 3u);
  EXPECT_DOUBLE_EQ(box.ConsensusTree()->Value, 30);
  EXPECT_TRUE(box.GetisValue());
}

TBranchInfoFunc Constant(double value) {
  return [value](TTreeData&) { return value; };
}

TEST(TreeBoxTrees, AValueCallbackWithTheSameCodeIsNotReplaced) {
  TestBox box;
  box.SetValueFunc(Constant(1));
  const TBranchInfoFunc first = box.ValueFunc();
  box.SetValueFunc(Constant(2));  // the same lambda expression
  EXPECT_TRUE(box.ValueFunc() == first);
  box.SetValueFunc([](TTreeData&) { return 3.0; });
  EXPECT_FALSE(box.ValueFunc() == first);
  box.SetValue2Func(nullptr);  // unchanged: no callback
  EXPECT_FALSE(box.Value2Func());
}

TEST(TreeBoxTrees, WithoutValueCallbackTheConsensusHasNoValue) {
  auto list = ListFromNewick(kTwoTrees);
  list->ValueName = "Score";
  list->Items(0).Value = 4.5;
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(std::move(list), false));
  EXPECT_TRUE(box.GetisValue());
  box.SetTreeIndex(0);
  EXPECT_FALSE(box.GetisValue());
  box.SetTreeIndex(1);
  EXPECT_TRUE(box.GetisValue());
}

TEST(TreeBoxTrees, APartitionListShowsItsTopologiesAndTheirConsensus) {
  auto list = ListFromNewick("((A:1,B:1):1,C:1,D:1);((A:1,B:1):1,C:1,D:1);((A:1,C:1):1,B:1,D:1);");
  auto tally = std::make_unique<TPartitionList>(4, 10, 0);
  tally->OTUNames.Assign(list->OTUNames);
  for (int i = 0; i < list->NoOfTrees(); ++i) tally->AddTree(list->Items(i), false);
  TestBox box;
  box.SetPartitionList(std::move(tally));
  ASSERT_EQ(box.NoOfTrees(), 2);
  EXPECT_EQ(box.GetSourceTag(), "PartitionList");
  EXPECT_EQ(box.TreeIndex(), 1);
  EXPECT_EQ(box.StatsName(), "Frequency");
  EXPECT_DOUBLE_EQ(box.TreeList()->Items(0).Freq, 2);
  EXPECT_EQ(SplitPercent(box.Display(), "A,B"), 66);  // 2 of 3 trees
  box.SetTreeIndex(2);
  EXPECT_DOUBLE_EQ(box.TreeList()->Items(1).Freq, 1);
  EXPECT_EQ(SplitPercent(box.Display(), "A,C"), 33);
  ASSERT_TRUE(box.isConsensus());
  box.SetTreeIndex(0);
  EXPECT_EQ(box.MaxStats(), 3);
  EXPECT_EQ(SplitPercent(box.Display(), "A,B"), 66);
  EXPECT_DOUBLE_EQ(box.ConsensusTree()->Freq, 2);  // the consensus is the first topology
}

TEST(TreeBoxTrees, APartitionListWithoutTopologiesShowsItsConsensus) {
  auto list = ListFromNewick("((A,B),C,(D,E));((A,B),D,(C,E));");
  auto tally = std::make_unique<TPartitionList>(5, 0, 0);
  tally->OTUNames.Assign(list->OTUNames);
  for (int i = 0; i < list->NoOfTrees(); ++i) tally->AddTree(list->Items(i), false);
  TestBox box;
  box.SetPartitionList(std::move(tally));
  EXPECT_EQ(box.NoOfTrees(), 0);
  EXPECT_EQ(box.TreeIndex(), 0);
  EXPECT_EQ(box.NoOfOTUs(), 5);
  EXPECT_TRUE(box.ShowCondensed());
  ASSERT_TRUE(box.SetTreeList(ListFromNewick("((A,B),(C,D));"), false));  // replaces the tally
  EXPECT_EQ(box.PartitionList(), nullptr);
  EXPECT_EQ(box.TreeIndex(), 1);
  EXPECT_FALSE(box.isConsensus());

  // Nothing to show at all: no topology and no split.
  auto empty = std::make_unique<TPartitionList>(3, 0, 0);
  box.SetPartitionList(std::move(empty));
  EXPECT_EQ(box.NoOfOTUs(), 0);
  EXPECT_EQ(box.PartitionList(), nullptr);
}

TEST(TreeBoxTrees, SubtreeCopiesGoToAnotherBoxAsARootedTree) {
  auto list = ListFromNewick("((A:1,B:2):0.5,(C:3,(D:4,E:5):0.6):0.7);");
  list->isRooted = true;
  list->DistanceMatrix = CreateDistanceMatrix(5, false).release();
  for (int a = 0; a < 5; ++a)
    for (int b = 0; b <= a; ++b) (*list->DistanceMatrix)[a][b] = 10 * a + b;
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(std::move(list), false));
  TestBox target;
  box.GetSubtree(target);  // nothing focused
  EXPECT_EQ(target.NoOfOTUs(), 0);
  box.FocusOnNode(box["C,D,E"]->index);
  TStringList groups{"D=Pair", "E=Pair", "A=Other"};
  box.SetGroupInfo(&groups);
  TNodeAttrib own;
  own.Caption = "DE";
  box.SetSubtreeAttrib(own, box["D,E"]->index);
  box.Display().Node(box["E"]->index)->marker = {2, 0x0000FF};

  box.GetSubtree(target);
  ASSERT_EQ(target.NoOfOTUs(), 3);
  EXPECT_TRUE(target.isRooted());
  EXPECT_EQ(ShownNewick(target.Display(), true, false), "(C:3,(D:4,E:5):0.6)");
  EXPECT_EQ(target.TreeList()->OTUName(0), "C");
  // Distances between C, D and E, as they were.
  const TDistanceMatrix& m = *target.Display().DistanceMatrix;
  EXPECT_EQ(m[1][0], 32);
  EXPECT_EQ(m[2][1], 43);
  ASSERT_EQ(target.Display().GroupAttrib.size(), 1u);
  EXPECT_EQ(target.Display().GroupAttrib[0]->GroupName, "Pair");
  TNodeAttrib copied;
  EXPECT_TRUE(target.GetSubtreeAttrib(copied, target["D,E"]->index));
  EXPECT_EQ(copied.Caption, "DE");
  EXPECT_EQ(target["E"]->marker, (TNodeMarker{2, 0x0000FF}));
}

// The drawing scale is kept from tree to tree, but a tree whose lengths are
// far longer than the first one's is never drawn wider than the widest tree
// width allowed; it is drawn as if that width had been set.
TEST(TreeBoxTrees, SwitchingTreesKeepsTheWidthWithinItsClamp) {
  auto scaled = [](double s) {
    std::ostringstream text;
    text << "((A:" << s << ",B:" << 2 * s << "):" << s << ",(C:" << 3 * s << ",D:" << s << "):" << s << ");";
    return text.str();
  };
  const struct {
    double first, second;
  } rows[] = {{0.001, 100}, {1e-6, 100}, {1e-6, 1e6}, {1e-9, 1e9}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.first << " then " << row.second);
    TestBox box;
    ASSERT_TRUE(box.SetTreeList(ListFromNewick(scaled(row.first) + scaled(row.second)), false));
    box.RefreshTree();
    box.SetTreeIndex(2);
    ASSERT_NO_THROW(box.RefreshTree());
    EXPECT_EQ(box.TreeWidth(), 32767);

    TestBox widest;
    ASSERT_TRUE(widest.SetTreeList(ListFromNewick(scaled(row.second)), false));
    widest.SetTreeWidth(32767);
    widest.RefreshTree();
    EXPECT_EQ(box.PictureWidth(), widest.PictureWidth());
    EXPECT_DOUBLE_EQ(box.ScaleRatio(), widest.ScaleRatio());
    EXPECT_EQ(box["D"]->position.x, widest["D"]->position.x);
  }
}

// A kept ratio of 0 from another control leaves a tree width of 0 and no
// scale; every style still draws.
TEST(TreeBoxTrees, AScaleRatioOfZeroStillDrawsInEveryStyle) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick("((A:1,B:2):1,(C:1,D:3):1,E:2);"), false));
  box.RefreshTree();
  box.SetScaleRatio(0);
  ASSERT_EQ(box.Display().TreeWidthPx, 0);
  for (TTreeStyle style : {TTreeStyle::tsTraditional, TTreeStyle::tsRadiation, TTreeStyle::tsCircle}) {
    SCOPED_TRACE(static_cast<int>(style));
    box.SetTreeStyle(style);
    EXPECT_NO_THROW(box.RefreshTree());
  }
}

TEST(TreeBoxTrees, TreeSBLOfEveryIndex) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick(kTwoTrees), false));
  EXPECT_DOUBLE_EQ(box.TreeSBL(1), 17);
  EXPECT_DOUBLE_EQ(box.TreeSBL(2), 17);
  EXPECT_DOUBLE_EQ(box.TreeSBL(0), 0);  // the consensus is topology only
  EXPECT_DOUBLE_EQ(box.TreeSBL(3), 0);
  EXPECT_DOUBLE_EQ(box.TreeSBL(-1), 0);
}

}  // namespace
