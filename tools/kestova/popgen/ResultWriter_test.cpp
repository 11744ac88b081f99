#include "popgen/ResultWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace popgen {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

TEST(FormatFixedTest, Rows) {
  struct Case {
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {0.5, 4, "0.5000"}, {-0.25, 2, "-0.25"}, {-1e-9, 6, "0.000000"}, {123.456789, 6, "123.456789"},
      {1e-7, 6, "0.000000"}, {8e-7, 6, "0.000001"}, {-0.0, 3, "0.000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.text);
  }
}

TEST(ResultWriterTest, UpgmaWithBootstrap) {
  Tree tree;
  tree.taxa = 3;
  tree.joins = {Join{{0, 2}, {0.1, 0.1}}, Join{{3, 1}, {0.05, 0.15}}};
  DistanceMatrix d(3);
  d.Set(0, 1, 0.3);
  d.Set(0, 2, 0.2);
  d.Set(1, 2, 0.3);
  BootstrapResult boot;
  boot.replicates = 1000;
  boot.support = {1000, 1000, 1000, 950};
  TreeReport report;
  report.dataFile = "trout.gen";
  report.names = {"Avon", "Big Loch", "Conon"};
  report.method = TreeMethod::UPGMA;
  report.distance = DistanceKind::FstCorrected;
  report.loci = 8;
  report.tree = &tree;
  report.distances = &d;
  report.bootstrap = &boot;
  const std::vector<std::string> lines = Lines(WriteTreeResult(report));
  const std::vector<std::string> head(lines.begin(), lines.begin() + 8);
  EXPECT_EQ(head, (std::vector<std::string>{
                      "3 samples", "1 Avon", "2 Big Loch", "3 Conon",
                      "Branch 4 and 1 0.100000 1000", "Branch 4 and 3 0.100000 1000",
                      "Branch 5 and 4 0.050000 950", "Branch 5 and 2 0.150000 1000"}));
  const std::vector<std::string> tail(lines.begin() + 8, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{
                      "Data file: trout.gen",
                      "Tree: UPGMA (average linkage)",
                      "Distance: Fst (corrected) (Latter 1972, unbiased homozygosities)",
                      "Samples: 3",
                      "  1 Avon",
                      "  2 Big Loch",
                      "  3 Conon",
                      "Loci: 8",
                      "Bootstrap: 1000 replicates over loci (seed 20240601); support is the number of replicate "
                      "trees with the cluster",
                      "",
                      "Distance matrix (Fst (corrected)):",
                      "1 Avon",
                      "2 Big Loch  0.300000",
                      "3 Conon     0.200000  0.300000",
                  }));
}

TEST(ResultWriterTest, NeighbourJoiningPutsFreeTextAtLine3N) {
  Tree tree;  // 4 taxa: (0,1) -> 4, (4,2) -> 5 the centre, root (3, 5)
  tree.taxa = 4;
  tree.joins = {Join{{0, 1}, {0.1, 0.2}}, Join{{4, 2}, {0.05, -0.01}}, Join{{3, 5}, {0.3, 0}}};
  DistanceMatrix d(4);
  TreeReport report;
  report.names = {"a", "b", "c", "d"};
  report.tree = &tree;
  report.distances = &d;
  report.withMatrix = false;
  const std::vector<std::string> lines = Lines(WriteTreeResult(report));
  // Lines 6..10 are node lines, line 11 the centre's (passed over by readers), 12 on free text.
  EXPECT_EQ(lines[9], "Branch 7 and 4 0.300000");
  EXPECT_EQ(lines[10], "Branch 7 and 6 0.000000");
  EXPECT_EQ(lines[8], "Branch 6 and 3 -0.010000");
  EXPECT_EQ(lines[11], "Data file: ");
  EXPECT_THAT(lines.back(), StartsWith("Bootstrap: none"));
}

TEST(ResultWriterTest, FreeTextSaysHowNamesAndAlleleSizesWereTaken) {
  Tree tree;
  tree.taxa = 2;
  tree.joins = {Join{{0, 1}, {0.1, 0}}};
  DistanceMatrix d(2);
  TreeReport report;
  report.names = {"30_1", "30_2"};
  report.tree = &tree;
  report.distances = &d;
  report.withMatrix = false;
  for (int kind = 0; kind < kDistanceKinds; ++kind) {
    report.distance = static_cast<DistanceKind>(kind);
    for (SampleNames names : {SampleNames::AsRead, SampleNames::MadeUnique}) {
      report.sampleNames = names;
      SCOPED_TRACE(std::string(DistanceCaption(report.distance)) + (names == SampleNames::AsRead ? "" : ", renamed"));
      const std::string text = WriteTreeResult(report);
      const bool sizes = report.distance == DistanceKind::Dmyu || report.distance == DistanceKind::Dsw;
      EXPECT_EQ(text.find("Allele sizes: the allele codes are used as allele sizes.\n") != std::string::npos, sizes);
      EXPECT_THAT(text, HasSubstr("Samples: 2\n  1 30_1\n  2 30_2\n"));
      EXPECT_EQ(text.find(kNamesMadeUniqueText) != std::string::npos, names == SampleNames::MadeUnique);
    }
  }
  GstTable table;
  table.overall = GstRow{"Overall", 2, 0.1875, 0.296875, 0.109375, 0.368421, true};
  EXPECT_THAT(WriteGstResult(table, "x.gen", {"30_1", "30_2"}, SampleNames::MadeUnique, 0),
              HasSubstr(std::string("Samples: 2\n  1 30_1\n  2 30_2\n") + kNamesMadeUniqueText + "\nLoci: 0\n"));
}

TEST(ResultWriterTest, GstTable) {
  GstTable table;
  table.corrected = false;
  table.loci = {GstRow{"Loc1", 2, 0.375, 0.59375, 0.21875, 0.368421, true},
                GstRow{"Mono", 2, 0, 0, 0, 0, false},
                GstRow{"Gone", 0}};
  table.overall = GstRow{"Overall", 2, 0.1875, 0.296875, 0.109375, 0.368421, true};
  const std::string text = WriteGstResult(table, "x.gen", {"a", "b"}, SampleNames::AsRead, 3);
  EXPECT_THAT(text, StartsWith("H/Gst (uncorrected): Nei (1973)\nData file: x.gen\nSamples: 2\n  1 a\n  2 b\nLoci: 3\n\n"
                               "Locus    Samples      H_S      H_T     D_ST     G_ST\n"
                               "Loc1           2   0.3750   0.5938   0.2188   0.3684\n"
                               "Mono           2   0.0000   0.0000   0.0000        -\n"
                               "Gone           0  (not typed in any sample)\n"
                               "Overall        2   0.1875   0.2969   0.1094   0.3684\n"));
  EXPECT_THAT(text, HasSubstr("-: G_ST is not defined where H_T is 0"));
}

}  // namespace
}  // namespace popgen
