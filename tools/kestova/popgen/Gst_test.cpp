#include "popgen/Gst.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "popgen/Error.h"
#include "popgen/GenePopReader.h"

namespace popgen {
namespace {

using ::testing::HasSubstr;

// The two-sample fixture of the distance tests; see there for frequencies.
// Observed heterozygosity: locus A 1/2 in both samples; locus B 0 and 1/2.
constexpr const char* kTwoSamples =
    "worked example\nA, B\n"
    "pop\nx1 , 100100 120120\nX , 100102 120120\n"
    "pop\ny1 , 102102 120130\nY , 102104 130130\n";

struct Expected {
  double hs, ht, gst;
};

void ExpectRow(const GstRow& row, const Expected& e) {
  EXPECT_NEAR(row.hs, e.hs, 1e-12);
  EXPECT_NEAR(row.ht, e.ht, 1e-12);
  EXPECT_NEAR(row.dst, e.ht - e.hs, 1e-12);
  EXPECT_TRUE(row.gstDefined);
  EXPECT_NEAR(row.gst, e.gst, 1e-12);
}

TEST(GstTest, HandWorkedBothForms) {
  const DataSet data = ReadGenePop(kTwoSamples, "f");
  const Frequencies freq = ComputeFrequencies(data);
  struct Case {
    bool corrected;
    Expected a, b, overall;
  } cases[] = {
      // H_S = mean(1 - sum x^2), H_T = 1 - sum xbar^2
      {false, {0.375, 0.59375, 0.21875 / 0.59375}, {0.1875, 0.46875, 0.6}, {0.28125, 0.53125, 0.25 / 0.53125}},
      // n~ = 2, s = 2: H_S = 2 (1 - msp2 - H_O/4), H_T = 1 - sum xbar^2 + H_S/4 - H_O/8
      {true, {0.5, 0.65625, 0.15625 / 0.65625}, {0.25, 0.5, 0.5}, {0.375, 0.578125, 0.203125 / 0.578125}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.corrected ? "corrected" : "uncorrected");
    const GstTable table = ComputeGst(data, freq, c.corrected);
    ASSERT_EQ(table.loci.size(), 2u);
    EXPECT_EQ(table.loci[0].samples, 2);
    ExpectRow(table.loci[0], c.a);
    ExpectRow(table.loci[1], c.b);
    ExpectRow(table.overall, c.overall);
  }
}

TEST(GstTest, HaploidLocusTakesNoObservedHeterozygosity) {
  // X = {1: 2/3, 2: 1/3} (n = 3), Y = {2: 1} (n = 2): n~ = 2.4, mean sum x^2 = 7/9,
  // sum xbar^2 = 5/9.
  const DataSet data = ReadGenePop("h\nM\npop\na , 01\nb , 01\nc , 02\npop\nd , 02\ne , 02\n", "f");
  const GstTable table = ComputeGst(data, ComputeFrequencies(data), true);
  const double hs = 2.4 / 1.4 * (1 - 7.0 / 9);
  const double ht = 1 - 5.0 / 9 + hs / (2.4 * 2);
  ExpectRow(table.loci[0], {hs, ht, (ht - hs) / ht});
}

TEST(GstTest, UntypedAndMonomorphicLoci) {
  // Locus B is typed nowhere and left out of the means; locus C has no
  // diversity, so its G_ST is undefined.
  const DataSet data = ReadGenePop("t\nA,B,C\npop\na , 0102 0000 0303\npop\nb , 0101 0000 0303\n", "f");
  const GstTable table = ComputeGst(data, ComputeFrequencies(data), false);
  EXPECT_EQ(table.loci[1].samples, 0);
  EXPECT_FALSE(table.loci[2].gstDefined);
  EXPECT_NEAR(table.overall.hs, (0.25 + 0) / 2, 1e-12);  // H_S 0.25 at A, 0 at C
  EXPECT_TRUE(table.overall.gstDefined);
}

TEST(GstTest, CorrectedNeedsMoreThanOneIndividual) {
  const DataSet data = ReadGenePop("t\nL\npop\na , 0102\npop\nb , 0101\n", "f");
  EXPECT_THAT([&] { ComputeGst(data, ComputeFrequencies(data), true); },
              ::testing::ThrowsMessage<PopGenError>(HasSubstr("at locus \"L\"")));
}

}  // namespace
}  // namespace popgen
