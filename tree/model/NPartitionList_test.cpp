#include "tree/model/NPartitionList.h"
#include "tree/model/RandomTree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/core/NumberFormat.h"

namespace {

// Builds a tree from compact text over taxon numbers: "((0:1,1:2):0.5,2)".
// Records are numbered as their groups close, so the root is the last record;
// lengths after ":" make a tree with branch lengths.
class TreeParser {
 public:
  explicit TreeParser(std::string_view text) : text_(text) {}

  std::unique_ptr<TTreeData> Parse(double freq, double value) {
    int commas = 0;
    for (char c : text_) commas += c == ',';
    n_ = commas + 1;
    tree_ = std::make_unique<TTreeData>(n_, text_.find(':') != std::string_view::npos, false, false);
    tree_->Freq = freq;
    tree_->Value = value;
    const int root = Node();
    EXPECT_EQ(root, 2 * n_ - 2) << text_;
    return std::move(tree_);
  }

 private:
  int Node() {
    int v;
    if (text_[pos_] == '(') {
      ++pos_;
      const int a = Node();
      Expect(',');
      const int b = Node();
      Expect(')');
      const int k = next_++;
      tree_->NodeArray()[k] = {static_cast<int16_t>(a), static_cast<int16_t>(b)};
      v = n_ + k;
    } else {
      v = StrToInt(Run([](char c) { return IsDigit(c); }));
    }
    if (pos_ < text_.size() && text_[pos_] == ':') {
      ++pos_;
      tree_->BLen()[v] = StrToFloat(Run([](char c) { return IsDigit(c) || c == '.'; }), '.');
    }
    return v;
  }

  static bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

  template <typename Pred>
  std::string_view Run(Pred pred) {
    const size_t start = pos_;
    while (pos_ < text_.size() && pred(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  void Expect(char c) {
    ASSERT_LT(pos_, text_.size());
    ASSERT_EQ(text_[pos_], c) << text_ << " at " << pos_;
    ++pos_;
  }

  std::string_view text_;
  size_t pos_ = 0;
  int n_ = 0;
  int next_ = 0;
  std::unique_ptr<TTreeData> tree_;
};

std::unique_ptr<TTreeData> Tree(std::string_view text, double freq = 1, double value = 0) {
  return TreeParser(text).Parse(freq, value);
}

// The tree as nested groups over taxon numbers, des1 before des2.
std::string Text(const TTreeData& tree, int v = -1) {
  const int n = tree.NoOfOTUs();
  if (v < 0) v = 2 * n - 2;
  if (v < n) return IntToStr(v);
  const TNodeRecord node = tree.GetNode(v - n);
  return "(" + Text(tree, node.des1) + "," + Text(tree, node.des2) + ")";
}

// The held splits in list order as "bits:Freq".
std::string SplitsText(const TPartitionList& list) {
  std::string text;
  for (const TPartition& split : list.Partitions())
    text += (text.empty() ? "" : " ") + split.ToString() + ":" + FloatToStr(split.Freq, '.');
  return text;
}

std::vector<double> Values(std::span<const double> values) { return {values.begin(), values.end()}; }

// Everything the tally holds, keyed by content rather than list order.
struct TallyContent {
  std::map<std::string, std::pair<double, double>> splits;  // bits -> Freq, BLen
  std::map<std::vector<std::string>, double> topologies;    // split bits -> Freq
  std::vector<double> leafBLen;
};

TallyContent Content(const TPartitionList& list) {
  TallyContent content;
  for (const TPartition& split : list.Partitions()) content.splits[split.ToString()] = {split.Freq, split.BLen};
  for (const TTopology& topology : list.Topologies()) {
    std::vector<std::string> key;
    for (int j : topology.PartitionIndex) key.push_back(list.Partitions()[j].ToString());
    std::sort(key.begin(), key.end());
    content.topologies[key] = topology.Freq;
  }
  content.leafBLen = list.LeafBLen();
  return content;
}

void ExpectSameContent(const TallyContent& a, const TallyContent& b) {
  ASSERT_EQ(a.splits.size(), b.splits.size());
  for (const auto& [bits, values] : a.splits) {
    SCOPED_TRACE(bits);
    ASSERT_TRUE(b.splits.count(bits));
    EXPECT_DOUBLE_EQ(values.first, b.splits.at(bits).first);
    EXPECT_NEAR(values.second, b.splits.at(bits).second, 1e-12);
  }
  EXPECT_EQ(a.topologies, b.topologies);
  ASSERT_EQ(a.leafBLen.size(), b.leafBLen.size());
  for (size_t t = 0; t < a.leafBLen.size(); ++t) EXPECT_NEAR(a.leafBLen[t], b.leafBLen[t], 1e-12) << "taxon " << t;
}

// The splits of a tree, each with the last taxon on its 0 side.
std::set<std::string> UnrootedSplits(const TTreeData& tree) {
  TPartitionList list(tree.NoOfOTUs(), 0);
  TTreeData copy(tree.NoOfOTUs(), false, false, false);
  copy.Assign(tree);
  copy.SetIsBLen(false);
  copy.Freq = 1;
  list.AddTree(copy, false);
  std::set<std::string> splits;
  for (const TPartition& split : list.Partitions()) splits.insert(split.ToString());
  return splits;
}

// The same unrooted tree rooted on edge `edge` (0..2N-4), the edge's length
// split `fraction` : 1 - fraction between the root's two branches.
std::unique_ptr<TTreeData> Rerooted(const TTreeData& tree, int edge, double fraction) {
  const int n = tree.NoOfOTUs();
  const int root = 2 * n - 2;
  struct Edge {
    int a, b;
    double length;
  };
  std::vector<Edge> edges;
  const TNodeRecord top = tree.GetNode(n - 2);
  for (int k = 0; k < n - 2; ++k)
    for (int c : {tree.GetNode(k).des1, tree.GetNode(k).des2}) edges.push_back({n + k, c, tree.GetBLen(c)});
  edges.push_back({top.des1, top.des2, tree.GetBLen(top.des1) + tree.GetBLen(top.des2)});
  std::vector<std::vector<std::pair<int, double>>> adjacent(root);
  for (int i = 0; i < static_cast<int>(edges.size()); ++i) {
    if (i == edge) continue;
    adjacent[edges[i].a].push_back({edges[i].b, edges[i].length});
    adjacent[edges[i].b].push_back({edges[i].a, edges[i].length});
  }
  auto result = std::make_unique<TTreeData>(n, true, false, false);
  int next = 0;
  // Post-order numbering away from the new root keeps the root last.
  std::function<int(int, int, double)> build = [&](int v, int from, double length) -> int {
    int id = v;
    if (v >= n) {
      int child[2], c = 0;
      for (auto [w, l] : adjacent[v])
        if (w != from) child[c++] = build(w, v, l);
      const int k = next++;
      result->NodeArray()[k] = {static_cast<int16_t>(child[0]), static_cast<int16_t>(child[1])};
      id = n + k;
    }
    result->BLen()[id] = length;
    return id;
  };
  const Edge& e = edges[edge];
  const int a = build(e.a, e.b, e.length * fraction);
  const int b = build(e.b, e.a, e.length * (1 - fraction));
  result->NodeArray()[n - 2] = {static_cast<int16_t>(a), static_cast<int16_t>(b)};
  result->Freq = tree.Freq;
  result->Value = tree.Value;
  return result;
}

// A random rooted tree over n taxa with lengths in eighths.
std::unique_ptr<TTreeData> RandomTree(int n, std::mt19937& random, double freq) {
  auto tree = std::make_unique<TTreeData>(n, true, false, false);
  RandomTopology(*tree, random);
  for (int v = 0; v < 2 * n - 2; ++v) tree->BLen()[v] = std::uniform_int_distribution<int>(1, 16)(random) / 8.0;
  tree->Freq = freq;
  return tree;
}

// Five taxa: the first two trees are one unrooted topology rooted on two
// different edges; the third moves taxon 2 next to taxon 0.
const char* const kFiveTaxa[] = {"(((0,1),2),(3,4))", "((0,1),(2,(3,4)))", "((0,2),(1,(3,4)))"};

TEST(PartitionListTest, TalliesSplitsAndTopologiesOfEveryTree) {
  TPartitionList list(5, 100);
  std::vector<bool> added;
  for (const char* text : kFiveTaxa) added.push_back(list.AddTree(*Tree(text), false));

  EXPECT_EQ(added, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(SplitsText(list), "11000:2 11100:3 10100:1");
  ASSERT_EQ(list.NoOfTopologies(), 2);
  EXPECT_EQ(list.Topologies()[0].PartitionIndex, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(list.Topologies()[1].PartitionIndex, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(list.TopologyFreq(0), 2);
  EXPECT_EQ(list.TopologyFreq(1), 1);
  EXPECT_EQ(list.TotalFrequency(), 3);
  EXPECT_EQ(list.GetMaxStats(), 3);
  EXPECT_FALSE(list.isBLen());
}

TEST(PartitionListTest, DistinctTallyCountsEachTopologyOnce) {
  TPartitionList list(5, 100);
  std::vector<bool> added;
  for (const char* text : kFiveTaxa) added.push_back(list.AddTree(*Tree(text, 2), true));
  added.push_back(list.AddTree(*Tree(kFiveTaxa[2], 2), true));

  EXPECT_EQ(added, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(SplitsText(list), "11000:2 11100:4 10100:2");
  EXPECT_EQ(list.TopologyFreq(0), 2);
  EXPECT_EQ(list.TopologyFreq(1), 2);
  EXPECT_EQ(list.TotalFrequency(), 4);
}

TEST(PartitionListTest, SameTreeTwice) {
  struct Case {
    const char* name;
    bool distinct;
    std::vector<bool> added;
    double freq;
  };
  const Case cases[] = {
      {"every tree counts", false, {true, false}, 3.0},
      {"distinct topologies", true, {true, false}, 1.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPartitionList list(6, 10);
    auto tree = Tree("(((0,1),2),((3,4),5))", 1.5, 7);
    std::vector<bool> added{list.AddTree(*tree, c.distinct), list.AddTree(*tree, c.distinct)};
    EXPECT_EQ(added, c.added);
    EXPECT_EQ(list.NoOfTopologies(), 1);
    EXPECT_EQ(list.TopologyFreq(0), c.freq);
    EXPECT_EQ(list.TopologyValue(0), 7);
    EXPECT_EQ(list.TotalFrequency(), c.freq);
    for (const TPartition& split : list.Partitions()) EXPECT_EQ(split.Freq, c.freq);
  }
}

TEST(PartitionListTest, ThreeTaxaHaveOneEmptyTopology) {
  TPartitionList list(3, 10);
  EXPECT_TRUE(list.AddTree(*Tree("((0:1,1:1):1,2:2)", 1, 4), false));
  EXPECT_FALSE(list.AddTree(*Tree("((1:3,2:3):1,0:3)", 3, 5), false));
  EXPECT_EQ(list.NoOfPartitions(), 0);
  EXPECT_EQ(list.TotalFrequency(), 0);
  EXPECT_EQ(list.NoOfTopologies(), 1);
  EXPECT_EQ(list.TopologyFreq(0), 4);
  EXPECT_EQ(list.TopologyValue(0), 4);
  // Means over both trees; the root's two branches are one edge.
  EXPECT_THAT(list.LeafBLen(), testing::ElementsAre(3.25, 2.5, 3));
  EXPECT_EQ(list.IndexOfTree(Tree("((0,2),1)")->NodeArray()), 0);
}

TEST(PartitionListTest, MeanLengthsAreWeightedByFrequency) {
  TPartitionList list(5, 10);
  list.AddTree(*Tree("(((0:1,1:1):1,2:1):1,(3:1,4:1):0)", 1), false);
  list.AddTree(*Tree("(((0:3,1:3):3,2:3):3,(3:3,4:3):0)", 3), false);
  EXPECT_EQ(SplitsText(list), "11000:4 11100:4");
  EXPECT_EQ(list.Partitions()[0].BLen, 2.5);
  EXPECT_EQ(list.Partitions()[1].BLen, 2.5);
  EXPECT_THAT(list.LeafBLen(), testing::Each(2.5));
  EXPECT_TRUE(list.isBLen());

  TPartitionList distinct(5, 10);
  distinct.AddTree(*Tree("(((0:1,1:1):1,2:1):1,(3:1,4:1):0)", 1), true);
  distinct.AddTree(*Tree("(((0:3,1:3):3,2:3):3,(3:3,4:3):0)", 3), true);  // same topology: ignored
  distinct.AddTree(*Tree("(((0:5,2:5):5,1:5):5,(3:5,4:5):0)", 3), true);
  EXPECT_EQ(SplitsText(distinct), "11000:1 11100:4 10100:3");
  EXPECT_EQ(distinct.Partitions()[0].BLen, 1);
  EXPECT_EQ(distinct.Partitions()[1].BLen, 4);
  EXPECT_EQ(distinct.Partitions()[2].BLen, 5);
  EXPECT_THAT(distinct.LeafBLen(), testing::Each(4));
}

TEST(PartitionListTest, LengthsComeOnlyFromTreesThatHaveThem) {
  TPartitionList list(5, 10);
  list.AddTree(*Tree("(((0:5,1:5):5,2:5):5,(3:5,4:5):0)"), false);
  list.AddTree(*Tree("((0,2),(1,(3,4)))"), false);
  list.AddTree(*Tree("(((0:1,1:1):1,2:1):1,(3:1,4:1):0)"), false);
  EXPECT_EQ(SplitsText(list), "11000:2 11100:3 10100:1");
  EXPECT_EQ(list.Partitions()[2].BLen, 0);
  EXPECT_THAT(list.LeafBLen(), testing::Each(3));

  // Weightless trees leave the means as they are, without dividing by 0.
  TPartitionList weightless(5, 10);
  weightless.AddTree(*Tree("(((0:5,1:5):5,2:5):5,(3:5,4:5):0)", 0), false);
  weightless.AddTree(*Tree("(((0:1,1:1):1,2:1):1,(3:1,4:1):0)", 0), false);
  EXPECT_EQ(weightless.Partitions()[0].BLen, 5);
  EXPECT_THAT(weightless.LeafBLen(), testing::Each(0));
  EXPECT_EQ(weightless.TotalFrequency(), 0);
}

TEST(PartitionListTest, RootBranchesCountAsOneEdge) {
  struct Case {
    const char* name;
    const char* text;
  };
  // One unrooted tree: {0,1} length 1, {0,1,2} length 2, taxa 1..5 in order.
  const Case cases[] = {
      {"root on the inner edge", "(((0:1,1:2):1,2:3):0.5,(3:4,4:5):1.5)"},
      {"the other child first", "((3:4,4:5):1.5,((0:1,1:2):1,2:3):0.5)"},
      {"taxon 4 at the root", "((((0:1,1:2):1,2:3):2,3:4):4,4:1)"},
      {"taxon 0 at the root", "(0:0.25,(1:2,(2:3,(3:4,4:5):2):1):0.75)"},
      {"root on the leaf edge of taxon 2", "(((0:1,1:2):1,(3:4,4:5):2):1,2:2)"},
  };
  TallyContent first;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPartitionList list(5, 10);
    auto tree = Tree(c.text);
    EXPECT_TRUE(list.AddTree(*tree, false));
    EXPECT_EQ(list.NoOfPartitions(), 2);
    const TallyContent content = Content(list);
    EXPECT_EQ(content.splits.at("11000").second, 1);
    EXPECT_EQ(content.splits.at("11100").second, 2);
    EXPECT_THAT(content.leafBLen, testing::ElementsAre(1, 2, 3, 4, 5));
    // The topology tree keeps every length of the tree.
    EXPECT_DOUBLE_EQ(list.GetTopologyTree(0)->SBL(), tree->SBL());
    if (&c == &cases[0])
      first = content;
    else
      ExpectSameContent(first, content);
  }
}

TEST(PartitionListTest, TallyDoesNotDependOnWhereTreesAreRooted) {
  // With weights of distinct powers of two, splits of equal weight come from
  // the same trees and never conflict, so the consensus keeps the same splits
  // however the trees are rooted. Its rooted shape follows the order in which
  // splits were first seen, which does depend on the rooting.
  std::mt19937 random(20240611);
  const int n = 12;
  std::vector<std::unique_ptr<TTreeData>> trees;
  for (int i = 0; i < 6; ++i) trees.push_back(RandomTree(n, random, double(1 << i)));
  trees.push_back(Rerooted(*trees[0], 3, 0.5));
  trees.back()->Freq = 64;

  for (bool distinct : {false, true}) {
    SCOPED_TRACE(distinct ? "distinct" : "every tree");
    TPartitionList reference(n, 100);
    for (const auto& tree : trees) reference.AddTree(*tree, distinct);
    TTreeData referenceConsensus(n, true, false, true);
    reference.BuildConsensusTree(referenceConsensus);

    for (int edge = 0; edge < 2 * n - 3; edge += 4) {
      SCOPED_TRACE(edge);
      TPartitionList list(n, 100);
      for (const auto& tree : trees) list.AddTree(*Rerooted(*tree, edge % (2 * n - 3), 0.25), distinct);
      ExpectSameContent(Content(reference), Content(list));
      TTreeData consensus(n, true, false, true);
      list.BuildConsensusTree(consensus);
      EXPECT_EQ(UnrootedSplits(consensus), UnrootedSplits(referenceConsensus));
    }
  }
}

TEST(PartitionListTest, TopologyLimitKeepsTallyingSplits) {
  TPartitionList list(5, 1);
  std::vector<bool> added;
  for (const char* text : kFiveTaxa) added.push_back(list.AddTree(*Tree(text), false));
  EXPECT_EQ(added, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(list.NoOfTopologies(), 1);
  EXPECT_EQ(SplitsText(list), "11000:2 11100:3 10100:1");
  // Every split of the third tree is held, its topology is not.
  EXPECT_EQ(list.IndexOfTree(Tree(kFiveTaxa[2])->NodeArray()), -1);

  list.SetMaxNoOfTopologies(0);
  EXPECT_EQ(list.MaxNoOfTopologies(), 1);
  list.SetMaxNoOfTopologies(2);
  EXPECT_TRUE(list.AddTree(*Tree("((0,3),(1,(2,4)))"), false));

  TPartitionList splitsOnly(5, 0);
  for (const char* text : kFiveTaxa) EXPECT_FALSE(splitsOnly.AddTree(*Tree(text), false));
  EXPECT_EQ(splitsOnly.NoOfTopologies(), 0);
  EXPECT_EQ(splitsOnly.TotalFrequency(), 3);
  // With distinct trees a new topology counts even when it is not stored;
  // not stored, it is not recognised again either.
  TPartitionList distinct(5, 0);
  EXPECT_TRUE(distinct.AddTree(*Tree(kFiveTaxa[0]), true));
  EXPECT_TRUE(distinct.AddTree(*Tree(kFiveTaxa[1]), true));
  EXPECT_EQ(distinct.TotalFrequency(), 2);
}

TEST(PartitionListTest, RefusesTreesItCannotRead) {
  auto cycle = Tree("(((0,1),2),(3,4))");
  cycle->NodeArray()[0] = {6, 1};  // record 0 below record 1 below record 0
  auto rootFirst = Tree("(((0,1),2),(3,4))");
  std::swap(rootFirst->NodeArray()[0], rootFirst->NodeArray()[3]);
  auto outOfRange = Tree("(((0,1),2),(3,4))");
  outOfRange->NodeArray()[1] = {5, 9};
  auto sharedChild = Tree("(((0,1),2),(3,4))");
  sharedChild->NodeArray()[2] = {3, 2};
  auto sixTaxa = Tree("((0,1),(2,(3,(4,5))))");
  const struct {
    const char* name;
    const TTreeData* tree;
  } cases[] = {
      {"other number of taxa", sixTaxa.get()},
      {"cycle", cycle.get()},
      {"root not last", rootFirst.get()},
      {"child out of range", outOfRange.get()},
      {"child of two nodes", sharedChild.get()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TPartitionList list(5, 10);
    list.AddTree(*Tree(kFiveTaxa[0], 1), false);
    EXPECT_FALSE(list.AddTree(*c.tree, false));
    EXPECT_FALSE(list.AddTree(*c.tree, true));
    EXPECT_EQ(SplitsText(list), "11000:1 11100:1");
    EXPECT_EQ(list.TopologyFreq(0), 1);
    if (c.tree->NoOfOTUs() == 5) {
      std::vector<double> values(3, 9);
      EXPECT_EQ(list.IndexOfTree(c.tree->NodeArray(), values), -1);
      EXPECT_THAT(values, testing::Each(0));
    }
  }
}

TEST(PartitionListTest, IndexOfTreeFindsTopologyAndSupport) {
  TPartitionList list(5, 10);
  for (const char* text : kFiveTaxa) list.AddTree(*Tree(text), false);
  struct Case {
    const char* text;
    int index;
    std::vector<double> values;  // per record 0..N-3
  };
  const Case cases[] = {
      // Records: (3,4), (0,1), ((0,1),2); the last two are the root's children.
      {"((3,4),((0,1),2))", 0, {3, 2, 3}},
      {"((0,2),(1,(3,4)))", 1, {1, 3, 1}},
      // A root child whose sibling is a taxon gets nothing.
      {"((((0,2),1),3),4)", 1, {1, 3, 0}},
      // {0,3} was never seen.
      {"(((0,3),1),(2,4))", -1, {0, 0, 0}},
      {"((0,2),((1,3),4))", -1, {1, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<double> values(3, 9);
    EXPECT_EQ(list.IndexOfTree(Tree(c.text)->NodeArray(), values), c.index);
    EXPECT_EQ(values, c.values);
    EXPECT_EQ(list.IndexOfTree(Tree(c.text)->NodeArray()), c.index);
  }
}

TEST(PartitionListTest, GettersOutsideTheirRange) {
  TPartitionList list(5, 10);
  list.AddTree(*Tree(kFiveTaxa[0], 1, 3.5), false);
  list.OTUNames.SetText("A\nB");
  EXPECT_EQ(list.TopologyValue(0), 3.5);
  EXPECT_EQ(list.TopologyValue2(0), 0);
  for (int i : {-1, 1}) {
    EXPECT_EQ(list.TopologyFreq(i), 0);
    EXPECT_EQ(list.TopologyValue(i), 0);
    EXPECT_EQ(list.TopologyValue2(i), 0);
    EXPECT_EQ(list.GetTopologyTree(i), nullptr);
  }
  EXPECT_EQ(list.GetOTUName(1), "B");
  EXPECT_EQ(list.GetOTUName(2), "");
  EXPECT_EQ(list.GetOTUName(-1), "");
  EXPECT_EQ(list.GetStatsName(), "Frequency");
  list.StatsName = "Bootstrap";
  EXPECT_EQ(list.GetStatsName(), "Bootstrap");
  EXPECT_THROW(TPartitionList(kMaxNoOfOTUs + 1, 1), ERangeError);
}

TEST(SortSplitOrderTest, EqualFrequenciesKeepTheSortsOwnOrder) {
  struct Case {
    std::vector<double> freq;
    std::vector<int> order;
  };
  const Case cases[] = {
      {{}, {}},
      {{7}, {0}},
      {{5, 5}, {1, 0}},
      {{5, 5, 5}, {2, 1, 0}},
      {{3, 5, 4, 5}, {3, 1, 2, 0}},
      {{2, 3, 1}, {1, 0, 2}},
      {{1, 2, 3, 4}, {3, 2, 1, 0}},
      {{1, 3, 1, 1, 1, 1, 1}, {1, 4, 5, 6, 0, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.freq));
    EXPECT_EQ(SortSplitOrder(c.freq), c.order);
  }
}

TEST(SortSplitOrderTest, LargeInputsComeOutSortedByDecreasingFrequency) {
  std::mt19937 random(7);
  for (int size : {1000, 100000}) {
    std::vector<double> freq(size);
    for (double& f : freq) f = std::uniform_int_distribution<int>(0, size / 100)(random);
    std::vector<int> order = SortSplitOrder(freq);
    ASSERT_EQ(static_cast<int>(order.size()), size);
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end(), [&](int a, int b) { return freq[a] > freq[b]; }));
    std::sort(order.begin(), order.end());
    for (int i = 0; i < size; ++i) ASSERT_EQ(order[i], i);
  }
  // Already sorted and all-equal inputs.
  std::vector<double> ascending(50000), equal(50000, 1.0);
  for (int i = 0; i < 50000; ++i) ascending[i] = i;
  EXPECT_EQ(SortSplitOrder(ascending).front(), 49999);
  EXPECT_EQ(SortSplitOrder(equal).size(), 50000u);
}

struct ConsensusCase {
  const char* name;
  int n;
  std::vector<std::pair<const char*, double>> trees;  // text, weight
  const char* consensus;
  std::vector<double> support;  // per join 0..N-2
};

class ConsensusTest : public testing::TestWithParam<ConsensusCase> {};

TEST_P(ConsensusTest, BuildsTheGreedyConsensus) {
  const ConsensusCase& c = GetParam();
  TPartitionList list(c.n, 0);
  for (const auto& [text, weight] : c.trees) list.AddTree(*Tree(text, weight), false);
  TTreeData tree(c.n, false, false, true);
  tree.Freq = 11;
  list.BuildConsensusTree(tree);
  EXPECT_EQ(Text(tree), c.consensus);
  EXPECT_TRUE(tree.IsValidTopology());
  EXPECT_EQ(std::vector<double>(tree.Stats().begin(), tree.Stats().begin() + c.n - 1), c.support);
  EXPECT_EQ(tree.Freq, 11);
}

INSTANTIATE_TEST_SUITE_P(
    HandWorked, ConsensusTest,
    testing::Values(
        // {3,4} (3 trees) and {0,1} (2) are taken; {0,2} conflicts with {0,1}.
        ConsensusCase{"five_taxa", 5, {{kFiveTaxa[0], 1}, {kFiveTaxa[1], 1}, {kFiveTaxa[2], 1}},
                      "(((0,1),2),(3,4))", {3, 2, -1, -1}},
        // {0,1} and {0,2} weigh the same; the sort puts the one seen second first.
        ConsensusCase{"tie_second_seen_wins", 4, {{"((0,1),(2,3))", 1}, {"((0,2),(1,3))", 1}},
                      "(((0,2),1),3)", {1, -1, -1}},
        ConsensusCase{"tie_other_order", 4, {{"((0,2),(1,3))", 1}, {"((0,1),(2,3))", 1}},
                      "(((0,1),2),3)", {1, -1, -1}},
        // Every split but {0,1,2} weighs 1 and the sort order of those decides:
        // {3,5} first, then {0,1,2} by joining 4 to it, then {1,2}.
        ConsensusCase{"ties_among_three_trees", 6,
                      {{"(((0,1),2),((3,4),5))", 1}, {"(((0,2),1),((3,5),4))", 1}, {"(((1,2),0),((4,5),3))", 1}},
                      "((0,(1,2)),((3,5),4))", {1, 3, 1, -1, -1}},
        // {2,3} and {0,1} are joined first; every other split of the trees that
        // hold them separates the other pair, and so do the cherries of the
        // last tree, which leaves {0,1,4,5} with three clusters a side and no
        // pair: its 0 side is resolved from its lowest taxa 2 and 6, then
        // completed with 7, both with its weight.
        ConsensusCase{"side_without_pair",
                      8,
                      {{"((((((0,1),2),4),5),7),(3,6))", 1},
                       {"((((((0,1),3),5),4),6),(2,7))", 1},
                       {"((((((2,3),0),4),5),6),(1,7))", 1},
                       {"((((((2,3),1),5),4),7),(0,6))", 1},
                       {"(((0,4),(1,5)),((2,6),(3,7)))", 1.5}},
                      "((((0,1),(((2,3),6),7)),4),5)",
                      {2, 2, 1.5, 1.5, -1, -1, -1}},
        // {0,1,2} is in 6 of 10 trees, yet the lighter {2,3} (4) forms a
        // pair first and conflicts with it; a split of more than half the
        // weight is kept all the same, and {2,3} goes. {5,6} and {4,5,6}
        // come first, then {0,1,2} closes {3,4,5,6}, then {0,1}.
        ConsensusCase{"majority_before_lighter_pair",
                      7,
                      {{"(((0,1),2),((3,4),(5,6)))", 2},
                       {"(((0,2),1),((3,5),(4,6)))", 2},
                       {"(((1,2),0),((3,6),(4,5)))", 2},
                       {"((((2,3),0),1),(4,(5,6)))", 1},
                       {"((((2,3),0),1),(5,(4,6)))", 1},
                       {"((((2,3),1),0),(6,(4,5)))", 1},
                       {"((((2,3),1),0),(4,(5,6)))", 1}},
                      "(((0,1),2),(3,(4,(5,6))))",
                      {4, 4, 6, 2, -1, -1}},
        // No split at all: a caterpillar of joins that no split backs.
        ConsensusCase{"no_splits", 5, {}, "((((0,1),2),3),4)", {-1, -1, -1, -1}},
        ConsensusCase{"three_taxa", 3, {{"((1,2),0)", 1}}, "((0,1),2)", {-1, -1}},
        ConsensusCase{"two_taxa", 2, {{"(0,1)", 1}}, "(0,1)", {-1}}),
    [](const testing::TestParamInfo<ConsensusCase>& info) { return info.param.name; });

// Random tree sets whose trees share some groups: whatever the order of the
// lighter splits, each split of more than half the weight is in the consensus.
TEST(ConsensusTreeTest, KeepsEverySplitOfMoreThanHalfTheWeight) {
  std::mt19937 random(2024);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    const int n = std::uniform_int_distribution<int>(5, 12)(random);
    const int count = std::uniform_int_distribution<int>(3, 12)(random);
    // Half the trees are one of two base trees, the rest random.
    const auto base1 = RandomTree(n, random, 1), base2 = RandomTree(n, random, 1);
    TPartitionList list(n, 0);
    std::vector<std::set<std::string>> treeSplits;
    std::vector<double> weights;
    for (int i = 0; i < count; ++i) {
      const int kind = std::uniform_int_distribution<int>(0, 3)(random);
      auto tree = kind == 0 ? Rerooted(*base1, 0, 0.5) : kind == 1 ? Rerooted(*base2, 0, 0.5) : RandomTree(n, random, 1);
      tree->Freq = std::uniform_int_distribution<int>(1, 3)(random);
      list.AddTree(*tree, false);
      treeSplits.push_back(UnrootedSplits(*tree));
      weights.push_back(tree->Freq);
    }
    TTreeData consensus(n, false, false, true);
    list.BuildConsensusTree(consensus);
    ASSERT_TRUE(consensus.IsValidTopology());
    const std::set<std::string> kept = UnrootedSplits(consensus);
    const double total = std::accumulate(weights.begin(), weights.end(), 0.0);
    EXPECT_DOUBLE_EQ(list.TotalFrequency(), total);
    for (const TPartition& split : list.Partitions()) {
      double freq = 0;
      for (size_t i = 0; i < treeSplits.size(); ++i) freq += treeSplits[i].count(split.ToString()) ? weights[i] : 0;
      EXPECT_EQ(split.Freq, freq);
      if (2 * freq > total) {
        EXPECT_TRUE(kept.count(split.ToString())) << split.ToString() << " " << freq << "/" << total;
      }
    }
  }
}

// The tree with the given support values by node number; a node with -1 only
// resolves a multifurcation, as the Newick reader marks it.
std::unique_ptr<TTreeData> WithStats(std::string_view text, std::vector<std::pair<int, double>> stats) {
  auto tree = Tree(text);
  tree->SetIsStats(true);
  for (auto [node, value] : stats) tree->Stats()[node] = value;
  return tree;
}

TEST(ConsensusTreeTest, NodesThatOnlyResolveMultifurcationsAreNoSplits) {
  // (0,1,2,3,4,5) as the reader resolves it: every inner node but the root -1.
  TPartitionList stars(6, 10);
  for (int i = 0; i < 10; ++i)
    stars.AddTree(*WithStats("(((((0,1),2),3),4),5)", {{6, -1}, {7, -1}, {8, -1}, {9, -1}}), false);
  EXPECT_EQ(stars.NoOfPartitions(), 0);
  ASSERT_EQ(stars.NoOfTopologies(), 1);
  TTreeData star(6, false, false, true);
  stars.BuildConsensusTree(star);
  EXPECT_THAT(Values(star.Stats()), testing::ElementsAre(-1, -1, -1, -1, -1, 0, 0, 0, 0, 0));
  auto topology = stars.GetTopologyTree(0);
  ASSERT_NE(topology, nullptr);
  EXPECT_THAT(Values(topology->Stats()), testing::ElementsAre(0, 0, 0, 0, 0, 0, -1, -1, -1, 0));

  // ((0,1),2,3,(4,5)) twice and (0,1),(2,3),(4,5) once: {0,1} and {4,5}
  // are groups of all three, {2,3} of one; the root edge {4,5} is a group
  // although the node beside it at the root only resolves the root.
  TPartitionList list(6, 10);
  for (int i = 0; i < 2; ++i)
    list.AddTree(*WithStats("((((0,1),2),3),(4,5))", {{6, 50}, {7, -1}, {8, -1}, {9, 70}}), false);
  list.AddTree(*WithStats("(((0,1),(2,3)),(4,5))", {{6, 50}, {7, 20}, {8, -1}, {9, 70}}), false);
  EXPECT_EQ(SplitsText(list), "110000:3 111100:3 001100:1");
  EXPECT_EQ(list.TotalFrequency(), 3);
  ASSERT_EQ(list.NoOfTopologies(), 2);
  EXPECT_EQ(list.Topologies()[0].PartitionIndex, (std::vector<int32_t>{-1, 0, 1}));
  EXPECT_EQ(list.Topologies()[1].PartitionIndex, (std::vector<int32_t>{0, 1, 2}));
  auto tree = list.GetTopologyTree(0);
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(UnrootedSplits(*tree), (std::set<std::string>{"110000", "111100"}));
  TTreeData consensus(6, false, false, true);
  list.BuildConsensusTree(consensus);
  EXPECT_EQ(UnrootedSplits(consensus), (std::set<std::string>{"110000", "111100", "001100"}));
}

TEST(ConsensusTreeTest, WritesLengthsAtTheJoinIndex) {
  TPartitionList list(5, 10);
  list.AddTree(*Tree("(((0:1,1:1):1,2:1):1,(3:1,4:1):0)", 1), false);
  list.AddTree(*Tree("(((0:3,1:3):3,2:3):3,(3:3,4:3):0)", 3), false);
  TTreeData tree(5, true, false, true);
  for (double& v : tree.BLen()) v = 9;
  list.BuildConsensusTree(tree);
  EXPECT_EQ(Text(tree), "(((0,1),2),(3,4))");
  // Joins: {0,1} and {0,1,2} (weight 4, mean 2.5), then two closing joins.
  EXPECT_THAT(Values(tree.BLen()), testing::ElementsAre(2.5, 2.5, 0, 0, 9, 9, 9, 9));
  EXPECT_THAT(Values(tree.Stats()), testing::ElementsAre(4, 4, -1, -1, 0, 0, 0, 0));
  EXPECT_EQ(list.IndexOfTree(tree.NodeArray()), 0);
}

TEST(ConsensusTreeTest, LeavesATreeOverOtherTaxaAlone) {
  TPartitionList list(5, 10);
  list.AddTree(*Tree(kFiveTaxa[0]), false);
  auto other = Tree("((0,1),(2,(3,(4,5))))");
  const std::string before = Text(*other);
  list.BuildConsensusTree(*other);
  EXPECT_EQ(Text(*other), before);
  EXPECT_THAT(Values(other->Stats()), testing::Each(0));

  TPartitionList none(0, 10);
  TTreeData two(2, false, false, true);
  none.BuildConsensusTree(two);
  EXPECT_EQ(two.GetNode(0), TNodeRecord{});
}

TEST(TopologyTreeTest, FourTaxaJoinTheSplitThenClose) {
  TPartitionList list(4, 10);
  list.AddTree(*Tree("((0:1,2:2):0.5,(1:3,3:4):0.25)", 1, 7.5), false);
  auto tree = list.GetTopologyTree(0);
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(tree->NoOfOTUs(), 4);
  EXPECT_TRUE(tree->isBLen());
  EXPECT_FALSE(tree->isSE());
  EXPECT_TRUE(tree->isStats());
  EXPECT_EQ(tree->Freq, 1);
  EXPECT_EQ(tree->Value, 7.5);
  EXPECT_EQ(Text(*tree), "(((0,2),1),3)");
  EXPECT_THAT(Values(tree->BLen()), testing::ElementsAre(1, 3, 2, 4, 0.75, 0));
  EXPECT_THAT(Values(tree->Stats()), testing::ElementsAre(0, 0, 0, 0, 1, 0));
}

TEST(TopologyTreeTest, SplitsAreJoinedInIndexOrder) {
  TPartitionList list(5, 10);
  for (const char* text : kFiveTaxa) list.AddTree(*Tree(text), false);
  struct Case {
    int index;
    const char* text;
    std::vector<double> stats;
  };
  const Case cases[] = {
      // {0,1} (weight 2) first, then {0,1,2} (3) through its 1 side.
      {0, "((((0,1),2),3),4)", {0, 0, 0, 0, 0, 2, 3, 0}},
      // {0,1,2} first, its 0 side being the pair; then {0,2}.
      {1, "(((0,2),1),(3,4))", {0, 0, 0, 0, 0, 3, 1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto tree = list.GetTopologyTree(c.index);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(Text(*tree), c.text);
    EXPECT_EQ(Values(tree->Stats()), c.stats);
    EXPECT_EQ(tree->Freq, list.TopologyFreq(c.index));
  }
}

TEST(TopologyTreeTest, EveryTopologyTreeIsFoundAgain) {
  std::mt19937 random(99);
  const int n = 30;
  TPartitionList list(n, 1000);
  for (int i = 0; i < 200; ++i) list.AddTree(*RandomTree(n, random, 1 + i % 3), false);
  ASSERT_EQ(list.NoOfTopologies(), 200);
  for (int i = 0; i < list.NoOfTopologies(); ++i) {
    auto tree = list.GetTopologyTree(i);
    ASSERT_NE(tree, nullptr);
    ASSERT_EQ(list.IndexOfTree(tree->NodeArray()), i);
  }
}

}  // namespace
