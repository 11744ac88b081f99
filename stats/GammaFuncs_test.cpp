#include "stats/GammaFuncs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include <boost/math/special_functions/gamma.hpp>

namespace {

using Real = long double;
constexpr int kN = kGammaShapeCount;
constexpr int kLast = kGammaCategoryCount - 1;

std::string Cell(int k, int j) { return "k=" + std::to_string(k) + " j=" + std::to_string(j); }

class GammaFuncsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { GammaFuncsStartUp(); }
  static void TearDownTestSuite() { GammaFuncsShutDown(); }
};

TEST_F(GammaFuncsTest, GridIsLnAlphaRoundedTo12Decimals) {
  EXPECT_EQ(GammaLnAlpha[0], -3.218875824868L);
  EXPECT_EQ(GammaLnAlpha[kN - 1], 5.358820534561L);
  const Real ln2 = std::log(Real(2));
  for (int j = 0; j < kN; ++j) {
    SCOPED_TRACE(j);
    const Real exact = std::log(Real(4) / 100) + j * ln2 / 8;
    EXPECT_LE(std::fabs(GammaLnAlpha[j] - exact), 5.0001e-13L);
    // Eight steps double the shape.
    if (j + 8 < kN) {
      EXPECT_LE(std::fabs(GammaLnAlpha[j + 8] - GammaLnAlpha[j] - ln2), 1e-12L);
    }
  }
}

TEST_F(GammaFuncsTest, TellingEntriesWithin1e5Relative) {
  struct Entry {
    int k, j;
    Real value;
  };
  const Entry entries[] = {
      {0, 0, 3.62422e-50L},       {1, 0, 2.43218e-42L},       {50, 0, 5.70425e-07L},
      {98, 0, 18.87167807L},      {99, 0, 39.42310254L},      {0, 50, 0.110919575L},
      {50, 50, 0.899648863L},     {99, 50, 3.160733458L},     {0, 99, 0.828967824L},
      {50, 99, 0.999291269L},     {99, 99, 1.190030319L},
  };
  for (const Entry& e : entries) {
    SCOPED_TRACE(Cell(e.k, e.j));
    EXPECT_LE(std::fabs(GammaRates[e.k][e.j] - e.value), 1e-5L * e.value);
  }
}

TEST_F(GammaFuncsTest, ColumnsIncreaseStrictlyAndSumTo100) {
  for (int j = 0; j < kN; ++j) {
    SCOPED_TRACE(j);
    Real sum = 0;
    for (int k = 0; k < kGammaCategoryCount; ++k) {
      EXPECT_GT(GammaRates[k][j], 0) << Cell(k, j);
      if (k > 0) {
        EXPECT_LT(GammaRates[k - 1][j], GammaRates[k][j]) << Cell(k, j);
      }
      sum += GammaRates[k][j];
    }
    EXPECT_NEAR(sum, 100, 5e-8L);
  }
}

// The generator has its own incomplete-gamma inversion; Boost.Math is an
// independent second computation. Entries are stored to 9 decimals (6
// significant digits below 0.0001), and the last category absorbs the
// rounding of the other 99.
TEST_F(GammaFuncsTest, RatesAgreeWithIndependentQuantiles) {
  for (int j = 0; j < kN; ++j) {
    SCOPED_TRACE(j);
    const Real alpha = Real(4) / 100 * std::exp2(Real(j) / 8);
    auto quantile = [alpha](Real p) { return boost::math::gamma_p_inv(alpha, p) / alpha; };
    std::array<Real, kGammaCategoryCount> expected{};
    expected[0] = (quantile(0.01L) + quantile(0.005L)) / 4 + quantile(0.0025L) / 2;
    for (int k = 1; k < kLast; ++k) expected[k] = (quantile(Real(k) / 100) + quantile(Real(k + 1) / 100)) / 2;
    Real sum = 0;
    for (int k = 0; k < kLast; ++k) {
      const Real tolerance = expected[k] < 1e-4L ? 5.0001e-6L * expected[k] : 5.0001e-10L;
      EXPECT_LE(std::fabs(GammaRates[k][j] - expected[k]), tolerance)
          << Cell(k, j) << " table " << double(GammaRates[k][j]) << " expected " << double(expected[k]);
      sum += expected[k];
    }
    EXPECT_NEAR(GammaRates[kLast][j], 100 - sum, 5e-8L);
  }
}

TEST_F(GammaFuncsTest, SplineEndCoefficientsAreExactlyZero) {
  for (int k = 0; k < kGammaCategoryCount; ++k) {
    EXPECT_EQ(GammaRateSplines[k][0], 0) << k;
    EXPECT_EQ(GammaRateSplines[k][kN - 1], 0) << k;
  }
}

// At every inner node the natural spline's coefficients c (one sixth of the
// second derivatives) satisfy
//   h[i-1] c[i-1] + 2 (h[i-1] + h[i]) c[i] + h[i] c[i+1] = s[i] - s[i-1]
// with h the node spacing and s the slopes; together with the zero ends this
// determines the spline.
Real WorstRelativeResidual(const Real* rates, const Real* c) {
  const Real* x = GammaLnAlpha;
  Real worst = 0;
  for (int i = 1; i + 1 < kN; ++i) {
    const Real h0 = x[i] - x[i - 1], h1 = x[i + 1] - x[i];
    const Real s0 = (rates[i] - rates[i - 1]) / h0, s1 = (rates[i + 1] - rates[i]) / h1;
    const Real terms[] = {h0 * c[i - 1], 2 * (x[i + 1] - x[i - 1]) * c[i], h1 * c[i + 1], -s1, s0};
    Real residual = 0, scale = 0;
    for (Real t : terms) {
      residual += t;
      scale += std::fabs(t);
    }
    if (scale > 0) worst = std::max(worst, std::fabs(residual) / scale);
  }
  return worst;
}

TEST_F(GammaFuncsTest, SplineSatisfiesItsEquationsAtEveryInnerNode) {
  for (int k = 0; k < kGammaCategoryCount; ++k) {
    SCOPED_TRACE(k);
    EXPECT_LE(WorstRelativeResidual(GammaRates[k], GammaRateSplines[k]), 1e-17L);
  }
}

TEST_F(GammaFuncsTest, AffineRowGivesZeroCoefficients) {
  struct Line {
    Real intercept, slope;
  };
  for (const Line& line : {Line{0, 1}, Line{2.5L, -3}, Line{100, 1e-3L}, Line{-7, 250}}) {
    SCOPED_TRACE(std::to_string(double(line.intercept)) + " + " + std::to_string(double(line.slope)) + " x");
    std::array<Real, kN> rates{}, c{};
    for (int j = 0; j < kN; ++j) rates[j] = line.intercept + line.slope * GammaLnAlpha[j];
    c.fill(1);
    GammaRateSpline(rates, c);
    for (int j = 0; j < kN; ++j) EXPECT_LE(std::fabs(c[j]), 1e-15L * (std::fabs(line.intercept) + std::fabs(line.slope))) << j;
  }
}

TEST_F(GammaFuncsTest, RowSolvedInPlaceMatchesTable) {
  std::array<Real, kN> row{};
  std::copy(std::begin(GammaRates[50]), std::end(GammaRates[50]), row.begin());
  GammaRateSpline(row, row);
  for (int j = 0; j < kN; ++j) EXPECT_EQ(row[j], GammaRateSplines[50][j]) << j;
}

// Start-up is counted: shut-down releases nothing, surplus shut-downs are
// harmless, and starting again yields the same coefficients.
TEST_F(GammaFuncsTest, StartUpAndShutDownAreCounted) {
  std::array<Real, kN> before{};
  std::copy(std::begin(GammaRateSplines[99]), std::end(GammaRateSplines[99]), before.begin());
  ASSERT_NE(before[1], 0);
  GammaFuncsStartUp();
  GammaFuncsShutDown();
  GammaFuncsShutDown();
  GammaFuncsShutDown();
  for (int j = 0; j < kN; ++j) EXPECT_EQ(GammaRateSplines[99][j], before[j]) << j;
  GammaFuncsStartUp();
  for (int j = 0; j < kN; ++j) EXPECT_EQ(GammaRateSplines[99][j], before[j]) << j;
}

}  // namespace
