#include "popgen/Distances.h"

#include <cmath>
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "popgen/Error.h"
#include "popgen/GenePopReader.h"

namespace popgen {
namespace {

using ::testing::HasSubstr;

// Two samples, two diploid loci, worked by hand:
//   locus A: X = {100: 3/4, 102: 1/4}, Y = {102: 3/4, 104: 1/4}
//   locus B: X = {120: 1},             Y = {120: 1/4, 130: 3/4}
// Allele codes 100, 102, 104 and 120, 130 are not their ranks, so a
// rank-based allele size gives other Dmyu and Dsw values.
constexpr const char* kTwoSamples =
    "worked example\nA, B\n"
    "pop\nx1 , 100100 120120\nX , 100102 120120\n"
    "pop\ny1 , 102102 120130\nY , 102104 130130\n";

double Distance(const std::string& text, DistanceKind kind, int i = 0, int j = 1) {
  const DataSet data = ReadGenePop(text, "f");
  const PairTerms terms = BuildPairTerms(data, ComputeFrequencies(data), kind);
  DistanceMatrix d;
  auto failure = ComputeDistances(terms, nullptr, d);
  EXPECT_FALSE(failure.has_value());
  return d(i, j);
}

TEST(DistancesTest, HandWorkedValues) {
  // J_X = (5/8 + 1)/2, J_Y = 5/8, J_XY = (3/16 + 1/4)/2; unbiased with 2n = 4:
  // J_X = (1/2 + 1)/2, J_Y = 1/2.
  struct Case {
    DistanceKind kind;
    double expected;
  } cases[] = {
      {DistanceKind::Da, 1 - (std::sqrt(0.1875) + 0.5) / 2},
      {DistanceKind::DstUncorrected, -std::log(0.21875 / std::sqrt(0.8125 * 0.625))},
      {DistanceKind::DstCorrected, -std::log(0.21875 / std::sqrt(0.75 * 0.5))},
      {DistanceKind::FstUncorrected, 0.64},
      {DistanceKind::FstCorrected, 0.52},
      // mean sizes 100.5 / 102.5 and 120 / 127.5; by rank it would be 0.78125
      {DistanceKind::Dmyu, (4 + 56.25) / 2},
      // locus A: 2 - (0.75 + 0.75)/2; locus B: 7.5 - (0 + 3.75)/2; by rank 0.34375
      {DistanceKind::Dsw, (1.25 + 5.625) / 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(DistanceCaption(c.kind));
    EXPECT_NEAR(Distance(kTwoSamples, c.kind), c.expected, 1e-12);
  }
}

TEST(DistancesTest, HaploidLocusCountsOneGenePerIndividual) {
  // X = {1: 2/3, 2: 1/3} from 3 genes, Y = {2: 1} from 2: unbiased J_X =
  // (3 * 5/9 - 1) / 2 = 1/3, J_Y = 1, J_XY = 1/3.
  const std::string text = "h\nM\npop\na , 01\nb , 01\nc , 02\npop\nd , 02\ne , 02\n";
  EXPECT_NEAR(Distance(text, DistanceKind::DstCorrected), -std::log((1.0 / 3) / std::sqrt(1.0 / 3)), 1e-12);
  EXPECT_NEAR(Distance(text, DistanceKind::DstUncorrected), -std::log((1.0 / 3) / std::sqrt(5.0 / 9)), 1e-12);
}

TEST(DistancesTest, LocusNotTypedInASampleLeavesOnlyItsPairs) {
  // Z is untyped at locus B: its pairs use locus A alone, X-Y uses both.
  const std::string text = std::string(kTwoSamples) + "pop\nZ , 100102 000000\n";
  EXPECT_NEAR(Distance(text, DistanceKind::Dmyu, 0, 2), 0.25, 1e-12);  // 100.5 vs 101
  EXPECT_NEAR(Distance(text, DistanceKind::Dmyu, 1, 2), 2.25, 1e-12);  // 102.5 vs 101
  EXPECT_NEAR(Distance(text, DistanceKind::Dmyu, 0, 1), 30.125, 1e-12);
}

TEST(DistancesTest, SamplesSharingNoAllele) {
  const std::string text = "t\nA\npop\nP , 0101\npop\nQ , 0202\n";
  EXPECT_DOUBLE_EQ(Distance(text, DistanceKind::Da), 1.0);
  EXPECT_DOUBLE_EQ(Distance(text, DistanceKind::FstUncorrected), 1.0);
  EXPECT_DOUBLE_EQ(Distance(text, DistanceKind::Dmyu), 1.0);
}

TEST(DistancesTest, UndefinedValuesAreFailuresNamingThePair) {
  struct Case {
    const char* name;
    const char* text;
    DistanceKind kind;
    DistanceFault fault;
    const char* message;
  } cases[] = {
      {"no shared allele", "t\nA\npop\nP , 0101\npop\nQ , 0202\n", DistanceKind::DstUncorrected,
       DistanceFault::NoSharedAllele,
       "Dst (uncorrected) cannot be computed between samples 1 (\"P\") and 2 (\"Q\"): they share no allele"},
      {"no common locus", "t\nA,B\npop\nP , 0101 0000\npop\nQ , 0000 0101\n", DistanceKind::Da,
       DistanceFault::NoCommonLocus, "Da cannot be computed between samples 1 (\"P\") and 2 (\"Q\"): no locus"},
      {"same fixed allele", "t\nA\npop\nP , 0101\npop\nQ , 0101\n", DistanceKind::FstUncorrected,
       DistanceFault::SameFixedAlleles, "both are fixed for the same allele"},
      {"every gene differs", "t\nA\npop\nP , 0102\npop\nQ , 0103\n", DistanceKind::DstCorrected,
       DistanceFault::NoHomozygosity, "unbiased homozygosity of one of them is 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DataSet data = ReadGenePop(c.text, "f");
    const PairTerms terms = BuildPairTerms(data, ComputeFrequencies(data), c.kind);
    DistanceMatrix d;
    auto failure = ComputeDistances(terms, nullptr, d);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->fault, c.fault);
    EXPECT_THAT(DescribeFailure(c.kind, *failure, data), HasSubstr(c.message));
  }
}

TEST(DistancesTest, CorrectedDistanceRefusesASingleAlleleCopy) {
  const DataSet data = ReadGenePop("t\nM\npop\na , 01\npop\nb , 01\nc , 02\n", "f");
  EXPECT_THAT([&] { BuildPairTerms(data, ComputeFrequencies(data), DistanceKind::FstCorrected); },
              ::testing::ThrowsMessage<PopGenError>(HasSubstr("sample 1 (\"a\") has a single allele copy typed "
                                                              "at locus \"M\"")));
}

TEST(DistancesTest, CorrectedValuesMayBeNegative) {
  // Two samples drawn from the same frequencies: the unbiased J exceeds the
  // plain one, so the corrected Fst falls below zero.
  const std::string text = "t\nA\npop\na , 0102\nb , 0102\npop\nc , 0102\nd , 0102\n";
  EXPECT_LT(Distance(text, DistanceKind::FstCorrected), 0);
}

TEST(DistancesTest, WeightsCountLociWithMultiplicity) {
  const DataSet data = ReadGenePop(kTwoSamples, "f");
  const PairTerms terms = BuildPairTerms(data, ComputeFrequencies(data), DistanceKind::Dmyu);
  DistanceMatrix d;
  const int weights[] = {2, 0};
  ASSERT_FALSE(ComputeDistances(terms, weights, d).has_value());
  EXPECT_NEAR(d(0, 1), 4.0, 1e-12);
  const int both[] = {1, 3};
  ASSERT_FALSE(ComputeDistances(terms, both, d).has_value());
  EXPECT_NEAR(d(1, 0), (4 + 3 * 56.25) / 4, 1e-12);
}

// Large data sets recompute the terms in every replicate instead of keeping
// them; both ways must give the same distances to the last bit, or a
// bootstrap would depend on the size of the data.
TEST(DistancesTest, KeptAndRecomputedTermsGiveTheSameDistances) {
  const int weights[] = {0, 3, 1, 0, 2, 1, 1, 0, 2, 0, 1, 1};
  for (const auto& entry : std::filesystem::directory_iterator(KESTOVA_SAMPLES_DIR)) {
    const DataSet data = ReadGenePopFile(entry.path().string());
    ASSERT_LE(data.loci.size(), std::size(weights));
    for (int kind = 0; kind < kDistanceKinds; ++kind) {
      SCOPED_TRACE(entry.path().filename().string() + ", " + DistanceCaption(static_cast<DistanceKind>(kind)));
      const Frequencies freq = ComputeFrequencies(data);
      const PairTerms kept = BuildPairTerms(data, freq, static_cast<DistanceKind>(kind), PairTermCache::IfSmall);
      const PairTerms computed = BuildPairTerms(data, freq, static_cast<DistanceKind>(kind), PairTermCache::Never);
      ASSERT_TRUE(kept.Cached());
      ASSERT_FALSE(computed.Cached());
      for (const int* w : {static_cast<const int*>(nullptr), weights}) {
        DistanceMatrix a, b;
        const auto failA = ComputeDistances(kept, w, a);
        const auto failB = ComputeDistances(computed, w, b);
        ASSERT_EQ(failA.has_value(), failB.has_value());
        if (failA) continue;
        for (int i = 0; i < a.Size(); ++i)
          for (int j = i + 1; j < a.Size(); ++j) EXPECT_EQ(a(i, j), b(i, j)) << i << "," << j;
      }
    }
  }
}

}  // namespace
}  // namespace popgen
