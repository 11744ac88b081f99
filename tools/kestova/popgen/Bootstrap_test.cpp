#include "popgen/Bootstrap.h"

#include <numeric>
#include <set>

#include <gtest/gtest.h>

#include "popgen/GenePopReader.h"

namespace popgen {
namespace {

struct Fixture {
  DataSet data;
  PairTerms terms;
  Tree tree;
};

Fixture Make(const std::string& text, DistanceKind kind, TreeMethod method) {
  Fixture f;
  f.data = ReadGenePop(text, "f");
  f.terms = BuildPairTerms(f.data, ComputeFrequencies(f.data), kind);
  DistanceMatrix d;
  EXPECT_FALSE(ComputeDistances(f.terms, nullptr, d).has_value());
  f.tree = TreeBuilder().Build(d, method);
  return f;
}

// Loci 1 and 3 group A with B, locus 2 groups A with C.
constexpr const char* kConflicting =
    "t\nL1,L2,L3\n"
    "pop\nA , 0101 0101 0303\n"
    "pop\nB , 0101 0202 0303\n"
    "pop\nC , 0202 0101 0404\n"
    "pop\nD , 0202 0202 0404\n"
    "pop\nE , 0102 0102 0304\n";

TEST(RandomTest, StreamsAreReproducibleAndDistinct) {
  Random a(kBootstrapSeed, 7), b(kBootstrapSeed, 7), c(kBootstrapSeed, 8);
  std::set<std::uint32_t> values;
  bool differs = false;
  for (int i = 0; i < 100; ++i) {
    const std::uint32_t x = a.Below(20);
    EXPECT_EQ(x, b.Below(20));
    differs |= x != c.Below(20);
    EXPECT_LT(x, 20u);
    values.insert(x);
  }
  EXPECT_TRUE(differs);
  EXPECT_GT(values.size(), 15u);
  int weights[20];
  DrawLoci(a, 20, weights);
  EXPECT_EQ(std::accumulate(weights, weights + 20, 0), 20);
}

TEST(BootstrapTest, IdenticalLociSupportEveryGroupFully) {
  const char* text =
      "t\nL1,L2,L3\n"
      "pop\nA , 0101 0101 0101\npop\nB , 0102 0102 0102\n"
      "pop\nC , 0303 0303 0303\npop\nD , 0304 0304 0304\n";
  for (TreeMethod method : {TreeMethod::NJ, TreeMethod::UPGMA}) {
    SCOPED_TRACE(method == TreeMethod::NJ ? "NJ" : "UPGMA");
    const Fixture f = Make(text, DistanceKind::Da, method);
    const BootstrapResult result = Bootstrap(f.terms, method, f.tree, 50);
    ASSERT_FALSE(result.failure.has_value());
    EXPECT_EQ(result.support, std::vector<int>(6, 50));
  }
}

TEST(BootstrapTest, ConflictingLociGivePartialSupportIndependentOfThreads) {
  for (TreeMethod method : {TreeMethod::NJ, TreeMethod::UPGMA}) {
    SCOPED_TRACE(method == TreeMethod::NJ ? "NJ" : "UPGMA");
    const Fixture f = Make(kConflicting, DistanceKind::Da, method);
    const BootstrapResult one = Bootstrap(f.terms, method, f.tree, 300, kBootstrapSeed, 1);
    const BootstrapResult many = Bootstrap(f.terms, method, f.tree, 300, kBootstrapSeed, 4);
    EXPECT_EQ(one.support, many.support);
    ASSERT_EQ(one.support.size(), 8u);
    for (int taxon = 0; taxon < 5; ++taxon) EXPECT_EQ(one.support[taxon], 300);
    bool partial = false;
    for (int v = 5; v < 8; ++v) {
      EXPECT_LE(one.support[v], 300);
      partial |= one.support[v] > 0 && one.support[v] < 300;
    }
    EXPECT_TRUE(partial);
    EXPECT_NE(one.support, Bootstrap(f.terms, method, f.tree, 300, kBootstrapSeed + 1, 1).support);
  }
}

TEST(BootstrapTest, RedrawsReplicatesWithoutACommonLocus) {
  // C shares only locus L1 with the others; a replicate without L1 is drawn again.
  const char* text = "t\nL1,L2\npop\nA , 0101 0101\npop\nB , 0102 0202\npop\nC , 0202 0000\n";
  const Fixture f = Make(text, DistanceKind::Da, TreeMethod::NJ);
  const BootstrapResult result = Bootstrap(f.terms, TreeMethod::NJ, f.tree, 200);
  EXPECT_FALSE(result.failure.has_value());
  EXPECT_GT(result.redrawn, 0);
  EXPECT_EQ(result.support, std::vector<int>(4, 200));  // three taxa: only trivial splits
}

TEST(BootstrapTest, GivesUpWhenNoDrawCanWork) {
  // B and C share no typed locus at all, so every draw fails.
  const DataSet data = ReadGenePop("t\nL1,L2\npop\nA , 0101 0101\npop\nB , 0101 0000\npop\nC , 0000 0101\n", "f");
  const PairTerms terms = BuildPairTerms(data, ComputeFrequencies(data), DistanceKind::Da);
  Tree star;
  star.taxa = 3;
  star.joins = {Join{{0, 1}, {1, 1}}, Join{{2, 3}, {1, 0}}};
  const BootstrapResult result = Bootstrap(terms, TreeMethod::NJ, star, 20, kBootstrapSeed, 3);
  ASSERT_TRUE(result.failure.has_value());
  EXPECT_EQ(result.failedReplicate, 1);
  EXPECT_EQ(result.failure->fault, DistanceFault::NoCommonLocus);
  EXPECT_TRUE(result.support.empty());
}

TEST(TreeGroupsTest, SplitsAreWrittenWithoutTaxonZero) {
  Tree tree;  // ((0,1),(2,3)) over 4 taxa, joins 4 = (0,1), 5 = (2,3), root (4,5)
  tree.taxa = 4;
  tree.joins = {Join{{0, 1}}, Join{{2, 3}}, Join{{4, 5}}};
  const std::vector<std::uint64_t> clusters = TreeGroups(tree, TreeMethod::UPGMA);
  EXPECT_EQ(clusters, (std::vector<std::uint64_t>{1, 2, 4, 8, 3, 12}));
  const std::vector<std::uint64_t> splits = TreeGroups(tree, TreeMethod::NJ);
  EXPECT_EQ(splits, (std::vector<std::uint64_t>{14, 2, 4, 8, 12, 12}));
}

}  // namespace
}  // namespace popgen
