#include "app/TreeResult.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/core/NumberFormat.h"
#include "popgen/Bootstrap.h"
#include "popgen/GenePopReader.h"
#include "popgen/ResultWriter.h"

namespace {

using ::testing::StartsWith;

TStringList Lines(const std::string& text) {
  TStringList lines;
  lines.SetText(text);
  return lines;
}

std::string Records(const TTreeData& tree) {
  std::string text;
  for (const TNodeRecord& r : tree.NodeArray()) text += "(" + std::to_string(r.des1) + "," + std::to_string(r.des2) + ")";
  return text;
}

constexpr const char* kUpgma3 =
    "3 samples\n1 Avon\n2 Big Loch\n3 Conon\n"
    "Branch 4 and 1 0.1\nBranch 4 and 3 0.1\nBranch 5 and 4 0.05\nBranch 5 and 2 0.15\n"
    "Tree: UPGMA\n  indented text\n";

TEST(TreeResultTest, UpgmaThreeTaxa) {
  const auto result = ParseTreeResult(Lines(kUpgma3), {false, 0, true});
  ASSERT_TRUE(result.has_value());
  const TTreeList& list = *result->list;
  EXPECT_TRUE(list.isRooted);
  EXPECT_FALSE(list.isStats());
  EXPECT_EQ(list.MaxStats, -1);
  EXPECT_EQ(list.OTUName(1), "Big Loch");  // the inner blank stays
  const TTreeData& tree = list.Items(0);
  EXPECT_EQ(Records(tree), "(0,2)(3,1)");
  EXPECT_EQ(std::vector<double>(tree.BLen().begin(), tree.BLen().end()), (std::vector<double>{0.1, 0.15, 0.1, 0.05}));
  // Free text from line 9 as it stands, an empty line, the rooted Newick text.
  ASSERT_EQ(result->output.Count(), 4);
  EXPECT_EQ(result->output[0], "Tree: UPGMA");
  EXPECT_EQ(result->output[1], "  indented text");
  EXPECT_EQ(result->output[2], "");
  EXPECT_EQ(result->output[3], "((Avon:0.10000000,Conon:0.10000000):0.05000000,Big_Loch:0.15000000);");
}

TEST(TreeResultTest, NeighbourJoiningFourTaxaWithBootstrap) {
  const std::string text =
      "4 samples\n1 a\n2 b\n3 c\n4 d\n"
      "Branch 5 and 1 0.1 1000\nBranch 5 and 2 0.2 1000\n"
      "Branch 6 and 5 0.05 950\nBranch 6 and 3 0.3 1000\n"
      "Branch 7 and 4 0.4 1000\n"
      "this line is passed over\n"
      "free text at line 12\n";
  const auto result = ParseTreeResult(Lines(text), {true, 1000, false});
  ASSERT_TRUE(result.has_value());
  const TTreeList& list = *result->list;
  EXPECT_FALSE(list.isRooted);
  EXPECT_TRUE(list.isStats());
  EXPECT_EQ(list.MaxStats, 1000);
  const TTreeData& tree = list.Items(0);
  // The last record joins d with the previous internal node over 0, which
  // takes d's support.
  EXPECT_EQ(Records(tree), "(0,1)(4,2)(3,5)");
  EXPECT_EQ(tree.GetBLen(3), 0.4);
  EXPECT_EQ(tree.GetBLen(5), 0);
  EXPECT_EQ(tree.GetStats(4), 950);
  EXPECT_EQ(tree.GetStats(5), 1000);
  ASSERT_EQ(result->output.Count(), 3);
  EXPECT_EQ(result->output[0], "free text at line 12");
  // Basal trifurcation; d keeps its whole branch; 950 of 1000 is 0.9500.
  EXPECT_EQ(result->output[2], "(d:0.40000000,(a:0.10000000,b:0.20000000)0.9500:0.05000000,c:0.30000000);");
}

TEST(TreeResultTest, LineFormsTheReaderAccepts) {
  struct Case {
    const char* name;
    const char* text;
    std::vector<double> blen;
  } cases[] = {
      {"no \"and\": three characters dropped", "2 x\n1 p\n2 q\nXY 1 0.5\nskip\n", {0.5, 0}},
      {"blanks and tabs around the line", "  2 x\t\n1 p\n2 q\n\tNode 3 and 1 0.25  \n", {0.25, 0}},
      {"two blanks before the length", "2 x\n1 p\n2 q\nBranch 3 and 1  0.75\n", {0.75, 0}},
      {"name line without a blank", "2 x\np\n2 q\nBranch 3 and 1 1\n", {1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto result = ParseTreeResult(Lines(c.text), {false, 0, false});
    ASSERT_TRUE(result.has_value());
    const TTreeData& tree = result->list->Items(0);
    EXPECT_EQ(std::vector<double>(tree.BLen().begin(), tree.BLen().end()), c.blen);
    EXPECT_EQ(result->list->OTUName(0), "p");
  }
}

TEST(TreeResultTest, ReadsTheLocaleSeparatorToo) {
  const char previous = DefaultDecimalSeparator();
  SetDefaultDecimalSeparator(',');
  const auto result = ParseTreeResult(Lines("2 x\n1 p\n2 q\nBranch 3 and 1 0,5\n"), {false, 0, false});
  SetDefaultDecimalSeparator(previous);
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->list->Items(0).GetBLen(0), 0.5);
}

TEST(TreeResultTest, DropsMalformedResults) {
  const std::string names3 = "3 s\n1 a\n2 b\n3 c\n";
  struct Case {
    const char* name;
    std::string text;
    TTreeResultOptions options;
  } cases[] = {
      {"number without blank", "3\n1 a\n2 b\n3 c\nBranch 4 and 1 0.1\nBranch 4 and 3 0.1\nBranch 5 and 4 0.05\n"
                               "Branch 5 and 2 0.15\n", {false, 0, true}},
      {"no number", "three s\n", {false, 0, true}},
      {"one taxon", "1 s\n1 a\n", {false, 0, true}},
      {"too many taxa", "16385 s\n", {false, 0, true}},
      {"empty file", "", {false, 0, true}},
      {"lines missing", names3 + "Branch 4 and 1 0.1\nBranch 4 and 3 0.1\nBranch 5 and 4 0.05\n", {false, 0, true}},
      {"child 0", names3 + "Branch 4 and 0 0.1\nBranch 4 and 3 0.1\nBranch 5 and 4 0.05\nBranch 5 and 2 0.15\n",
       {false, 0, true}},
      {"child beyond 2N-2", names3 + "Branch 4 and 1 0.1\nBranch 4 and 3 0.1\nBranch 5 and 5 0.05\n"
                                     "Branch 5 and 2 0.15\n", {false, 0, true}},
      {"later internal node", names3 + "Branch 4 and 1 0.1\nBranch 4 and 5 0.1\nBranch 5 and 3 0.05\n"
                                       "Branch 5 and 2 0.15\n", {false, 0, true}},
      {"child used twice", names3 + "Branch 4 and 1 0.1\nBranch 4 and 1 0.1\nBranch 5 and 4 0.05\n"
                                    "Branch 5 and 2 0.15\n", {false, 0, true}},
      {"length not a number", names3 + "Branch 4 and 1 x\nBranch 4 and 3 0.1\nBranch 5 and 4 0.05\n"
                                       "Branch 5 and 2 0.15\n", {false, 0, true}},
      {"length not finite", names3 + "Branch 4 and 1 nan\nBranch 4 and 3 0.1\nBranch 5 and 4 0.05\n"
                                     "Branch 5 and 2 0.15\n", {false, 0, true}},
      {"support missing", names3 + "Branch 4 and 1 0.1\nBranch 4 and 3 0.1\nBranch 5 and 4 0.05\n"
                                   "Branch 5 and 2 0.15\n", {true, 100, true}},
      {"NJ last child is the centre", "2 x\n1 p\n2 q\nBranch 3 and 2 0.5\n", {false, 0, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(ParseTreeResult(Lines(c.text), c.options).has_value());
  }
  EXPECT_FALSE(ReadTreeResult("/nonexistent/kestova.$$$", {}).has_value());
}

// What the tool writes is read back into the same tree.
TEST(TreeResultTest, ReadsBackWhatTheToolWrites) {
  using namespace popgen;
  const DataSet data = ReadGenePopFile(KESTOVA_SAMPLES_DIR "/trout_microsat.gen");
  const PairTerms terms = BuildPairTerms(data, ComputeFrequencies(data), DistanceKind::Da);
  DistanceMatrix distances;
  ASSERT_FALSE(ComputeDistances(terms, nullptr, distances).has_value());
  for (TreeMethod method : {TreeMethod::NJ, TreeMethod::UPGMA})
    for (bool bootstrap : {false, true}) {
      SCOPED_TRACE(std::string(method == TreeMethod::NJ ? "NJ" : "UPGMA") + (bootstrap ? " bootstrap" : ""));
      const Tree tree = TreeBuilder().Build(distances, method);
      const BootstrapResult boot = bootstrap ? Bootstrap(terms, method, tree, 100) : BootstrapResult{};
      TreeReport report;
      for (const Sample& s : data.samples) report.names.push_back(s.name);
      report.method = method;
      report.tree = &tree;
      report.distances = &distances;
      report.bootstrap = bootstrap ? &boot : nullptr;
      const auto result =
          ParseTreeResult(Lines(WriteTreeResult(report)), {bootstrap, 100, method == TreeMethod::UPGMA});
      ASSERT_TRUE(result.has_value());
      const TTreeList& list = *result->list;
      const TTreeData& read = list.Items(0);
      const int n = tree.taxa;
      ASSERT_EQ(read.NoOfOTUs(), n);
      for (int i = 0; i < n; ++i) EXPECT_EQ(list.OTUName(i), report.names[i]);
      for (int j = 0; j < n - 1; ++j) {
        EXPECT_EQ(read.GetNode(j).des1, tree.joins[j].child[0]);
        EXPECT_EQ(read.GetNode(j).des2, tree.joins[j].child[1]);
        for (int c = 0; c < 2; ++c) {
          const int node = tree.joins[j].child[c];
          EXPECT_NEAR(read.GetBLen(node), tree.joins[j].length[c], 5e-7);
          if (bootstrap) {
            EXPECT_EQ(read.GetStats(node), boot.support[node]);
          }
        }
      }
      EXPECT_EQ(list.isStats(), bootstrap);
      EXPECT_THAT(result->output[0], StartsWith("Data file:"));
    }
}

}  // namespace
