#include "popgen/TreeBuild.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "popgen/Bootstrap.h"
#include "popgen/ResultWriter.h"

namespace popgen {
namespace {

// A reference tree given as parent links: node i > taxa hangs below parent[i]
// with length[i]; the root has parent -1. Taxa are nodes 0..taxa-1.
struct ReferenceTree {
  int taxa;
  std::vector<int> parent;
  std::vector<double> length;

  // Path length between two taxa.
  double Path(int a, int b) const {
    std::map<int, double> up;  // a's ancestors with their distance from a
    double sum = 0;
    for (int v = a; v >= 0; v = parent[v]) {
      up[v] = sum;
      sum += length[v];
    }
    sum = 0;
    for (int v = b;; v = parent[v]) {
      if (auto it = up.find(v); it != up.end()) return sum + it->second;
      sum += length[v];
    }
  }

  DistanceMatrix Distances() const {
    DistanceMatrix d(taxa);
    for (int i = 0; i < taxa; ++i)
      for (int j = i + 1; j < taxa; ++j) d.Set(i, j, Path(i, j));
    return d;
  }
};

// The unrooted tree as "split: length" lines, splits as taxon lists without
// taxon 0, in the order of their bits; branches with the same split (the two
// halves at a root) add up.
std::string SplitLengths(const Tree& tree) {
  const std::vector<std::uint64_t> groups = TreeGroups(tree, TreeMethod::NJ);
  std::vector<double> length(2 * tree.taxa - 1, 0.0);
  for (const Join& j : tree.joins)
    for (int c = 0; c < 2; ++c) length[j.child[c]] = j.length[c];
  std::map<std::uint64_t, double> sum;
  for (int v = 0; v < 2 * tree.taxa - 2; ++v) sum[groups[v]] += length[v];
  std::string text;
  for (const auto& [bits, len] : sum) {
    for (int t = 0; t < tree.taxa; ++t)
      if (bits >> t & 1) text += std::to_string(t);
    text += ":" + FormatFixed(len, 6) + " ";
  }
  return text;
}

// The rooted tree as nested text, children ordered by their smallest taxon.
std::string Rooted(const Tree& tree) {
  std::function<std::pair<int, std::string>(int)> walk = [&](int v) -> std::pair<int, std::string> {
    if (v < tree.taxa) return {v, std::to_string(v)};
    const Join& j = tree.joins[v - tree.taxa];
    auto a = walk(j.child[0]), b = walk(j.child[1]);
    a.second += ":" + FormatFixed(j.length[0], 6);
    b.second += ":" + FormatFixed(j.length[1], 6);
    if (b.first < a.first) std::swap(a, b);
    return {a.first, "(" + a.second + "," + b.second + ")"};
  };
  return walk(tree.Nodes() - 1).second;
}

TEST(TreeBuildTest, NeighbourJoiningRecoversAdditiveTrees) {
  struct Case {
    const char* name;
    ReferenceTree tree;
    const char* splits;
  } cases[] = {
      {"three cherries",
       // ((0:2,1:3):1.5,(2:1,3:4):2.5,(4:0.5,5:1.2):0.7)
       {6, {6, 6, 7, 7, 8, 8, 9, 9, 9, -1}, {2, 3, 1, 4, 0.5, 1.2, 1.5, 2.5, 0.7, 0}},
       "1:3.000000 2:1.000000 3:4.000000 23:2.500000 4:0.500000 5:1.200000 45:0.700000 "
       "2345:1.500000 12345:2.000000 "},
      {"caterpillar with a short inner branch",
       // (((0:1,1:1):0.1,2:5):0.2,3:2,4:0.3)
       {5, {5, 5, 6, 7, 7, 6, 7, -1}, {1, 1, 5, 2, 0.3, 0.1, 0.2, 0}},
       "1:1.000000 2:5.000000 3:2.000000 4:0.300000 34:0.200000 234:0.100000 1234:1.000000 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Tree tree = TreeBuilder().Build(c.tree.Distances(), TreeMethod::NJ);
    ASSERT_EQ(tree.joins.size(), static_cast<size_t>(c.tree.taxa - 1));
    // The root join holds the third node at the centre and the centre with 0.
    EXPECT_EQ(tree.joins.back().child[1], 2 * c.tree.taxa - 3);
    EXPECT_EQ(tree.joins.back().length[1], 0);
    EXPECT_EQ(SplitLengths(tree), c.splits);
  }
}

TEST(TreeBuildTest, UpgmaRecoversUltrametricTree) {
  // ((0:1,1:1):2,((2:0.5,3:0.5):1.5,4:2):1): every taxon at height 3.
  const ReferenceTree ref{5, {5, 5, 6, 6, 7, 8, 7, 8, -1}, {1, 1, 0.5, 0.5, 2, 2, 1.5, 1, 0}};
  const Tree tree = TreeBuilder().Build(ref.Distances(), TreeMethod::UPGMA);
  EXPECT_EQ(Rooted(tree), "((0:1.000000,1:1.000000):2.000000,((2:0.500000,3:0.500000):1.500000,4:2.000000):1.000000)");
}

TEST(TreeBuildTest, UpgmaAveragesOverTaxaNotOverClusters) {
  // Not ultrametric. After ((0,1),2) the cluster's distance to 3 is the mean
  // over its three taxa, (3 + 3 + 6) / 3 = 4 < d34 = 4.2, so 3 joins it; the
  // mean of the two clusters' values, (3 + 6) / 2 = 4.5, would join 3 and 4.
  DistanceMatrix d(5);
  const double rows[5][5] = {
      {0, 1, 2, 3, 10}, {1, 0, 2, 3, 10}, {2, 2, 0, 6, 10}, {3, 3, 6, 0, 4.2}, {10, 10, 10, 4.2, 0}};
  for (int i = 0; i < 5; ++i)
    for (int j = i + 1; j < 5; ++j) d.Set(i, j, rows[i][j]);
  EXPECT_EQ(Rooted(TreeBuilder().Build(d, TreeMethod::UPGMA)),
            "((((0:0.500000,1:0.500000):0.500000,2:1.000000):1.000000,3:2.000000):2.275000,4:4.275000)");
}

// The textbook forms: every row sum afresh at each join, and the first pair
// in active order within the tie tolerance of the smallest value. (With four
// nodes left, neighbour-joining ties complementary pairs exactly, so only
// rounding would tell them apart.)
Tree PlainTree(const DistanceMatrix& m, TreeMethod method) {
  const int n = m.Size();
  std::vector<std::vector<double>> d(n, std::vector<double>(n));
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) d[i][j] = m(i, j);
  std::vector<int> active(n), node(n), size(n, 1);
  std::vector<double> height(n, 0.0);
  for (int i = 0; i < n; ++i) active[i] = node[i] = i;
  Tree tree;
  tree.taxa = n;
  const size_t stop = method == TreeMethod::NJ ? 3 : 1;
  while (active.size() > stop) {
    const int r = static_cast<int>(active.size());
    std::vector<double> sum(r, 0.0);
    for (int i = 0; i < r; ++i)
      for (int k = 0; k < r; ++k) sum[i] += d[active[i]][active[k]];
    auto value = [&](int i, int j) {
      const double dij = d[active[i]][active[j]];
      return method == TreeMethod::NJ ? (r - 2) * dij - sum[i] - sum[j] : dij;
    };
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i < r; ++i)
      for (int j = i + 1; j < r; ++j) best = std::min(best, value(i, j));
    int bi = -1, bj = -1;
    for (int i = 0; i < r && bi < 0; ++i)
      for (int j = i + 1; j < r && bi < 0; ++j)
        if (value(i, j) <= best + 1e-12 * std::abs(best)) bi = i, bj = j;
    const int a = active[bi], b = active[bj];
    Join join{{node[a], node[b]}};
    if (method == TreeMethod::NJ) {
      join.length[0] = d[a][b] / 2 + (sum[bi] - sum[bj]) / (2.0 * (r - 2));
      join.length[1] = d[a][b] - join.length[0];
    } else {
      join.length[0] = d[a][b] / 2 - height[a];
      join.length[1] = d[a][b] / 2 - height[b];
      height[a] = d[a][b] / 2;
    }
    for (int k : active)
      if (k != a && k != b)
        d[a][k] = d[k][a] = method == TreeMethod::NJ ? (d[a][k] + d[b][k] - d[a][b]) / 2
                                                     : (size[a] * d[a][k] + size[b] * d[b][k]) / (size[a] + size[b]);
    size[a] += size[b];
    node[a] = n + static_cast<int>(tree.joins.size());
    tree.joins.push_back(join);
    active.erase(active.begin() + bj);
  }
  if (method == TreeMethod::NJ) {
    const int a = active[0], b = active[1], c = active[2];
    tree.joins.push_back(Join{{node[a], node[b]}, {(d[a][b] + d[a][c] - d[b][c]) / 2, (d[a][b] + d[b][c] - d[a][c]) / 2}});
    tree.joins.push_back(Join{{node[c], 2 * n - 3}, {(d[a][c] + d[b][c] - d[a][b]) / 2, 0}});
  }
  return tree;
}

// Random matrices large enough that the builder squeezes its storage several
// times; the trees must be the textbook ones, join by join.
TEST(TreeBuildTest, MatchesThePlainMethodsOnRandomMatrices) {
  Random random(99, 0);
  for (int n : {4, 9, 10, 33, 150}) {
    DistanceMatrix d(n);
    for (int i = 0; i < n; ++i)
      for (int j = i + 1; j < n; ++j) d.Set(i, j, 0.05 + static_cast<double>(random.Next() >> 11) * 0x1.0p-53);
    for (TreeMethod method : {TreeMethod::NJ, TreeMethod::UPGMA}) {
      SCOPED_TRACE(std::to_string(n) + (method == TreeMethod::NJ ? " NJ" : " UPGMA"));
      const Tree expected = PlainTree(d, method);
      DistanceMatrix scratch = d;
      for (const Tree& tree : {TreeBuilder().Build(d, method), TreeBuilder().BuildInPlace(scratch, method)}) {
        ASSERT_EQ(tree.joins.size(), expected.joins.size());
        for (size_t j = 0; j < tree.joins.size(); ++j)
          for (int c = 0; c < 2; ++c) {
            ASSERT_EQ(tree.joins[j].child[c], expected.joins[j].child[c]) << "join " << j;
            EXPECT_NEAR(tree.joins[j].length[c], expected.joins[j].length[c], 1e-9) << "join " << j;
          }
      }
    }
  }
}

TEST(TreeBuildTest, TiesGoToTheFirstPairInActiveOrder) {
  DistanceMatrix star(4);
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) star.Set(i, j, 1);
  const Tree upgma = TreeBuilder().Build(star, TreeMethod::UPGMA);
  // (0,1) first; the new node 4 takes 0's place, so (4,2) comes before (2,3).
  ASSERT_EQ(upgma.joins.size(), 3u);
  EXPECT_EQ(std::make_pair(upgma.joins[0].child[0], upgma.joins[0].child[1]), std::make_pair(0, 1));
  EXPECT_EQ(std::make_pair(upgma.joins[1].child[0], upgma.joins[1].child[1]), std::make_pair(4, 2));
  EXPECT_EQ(std::make_pair(upgma.joins[2].child[0], upgma.joins[2].child[1]), std::make_pair(5, 3));
  const Tree nj = TreeBuilder().Build(star, TreeMethod::NJ);
  EXPECT_EQ(std::make_pair(nj.joins[0].child[0], nj.joins[0].child[1]), std::make_pair(0, 1));
  EXPECT_EQ(std::make_pair(nj.joins[1].child[0], nj.joins[1].child[1]), std::make_pair(4, 2));
  EXPECT_EQ(std::make_pair(nj.joins[2].child[0], nj.joins[2].child[1]), std::make_pair(3, 5));
}

TEST(TreeBuildTest, SmallestTrees) {
  DistanceMatrix two(2);
  two.Set(0, 1, 0.8);
  const Tree nj = TreeBuilder().Build(two, TreeMethod::NJ);
  ASSERT_EQ(nj.joins.size(), 1u);
  EXPECT_EQ(nj.joins[0].length[0], 0.8);
  EXPECT_EQ(nj.joins[0].length[1], 0);
  EXPECT_EQ(Rooted(TreeBuilder().Build(two, TreeMethod::UPGMA)), "(0:0.400000,1:0.400000)");

  DistanceMatrix three(3);
  three.Set(0, 1, 3);
  three.Set(0, 2, 4);
  three.Set(1, 2, 5);
  EXPECT_EQ(SplitLengths(TreeBuilder().Build(three, TreeMethod::NJ)), "1:2.000000 2:3.000000 12:1.000000 ");
}

TEST(TreeBuildTest, CarriesNegativeDistances) {
  DistanceMatrix d(3);
  d.Set(0, 1, -0.2);
  d.Set(0, 2, 0.4);
  d.Set(1, 2, 0.4);
  EXPECT_EQ(Rooted(TreeBuilder().Build(d, TreeMethod::UPGMA)),
            "((0:-0.100000,1:-0.100000):0.300000,2:0.200000)");
}

}  // namespace
}  // namespace popgen
