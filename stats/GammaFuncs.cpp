#include "stats/GammaFuncs.h"

#include <array>

// GammaLnAlpha and GammaRates are defined in the generated GammaRateTable.cpp.

namespace {

constexpr int kN = kGammaShapeCount;

long double splineTable[kGammaCategoryCount][kGammaShapeCount];
int useCount = 0;

}  // namespace

const long double (&GammaRateSplines)[kGammaCategoryCount][kGammaShapeCount] = splineTable;

void GammaRateSpline(std::span<const long double, kGammaShapeCount> rates,
                     std::span<long double, kGammaShapeCount> coefficients) {
  const long double* x = GammaLnAlpha;
  std::array<long double, kN> h{};  // node spacing: the off-diagonals
  std::array<long double, kN> d{};  // diagonal, overwritten by the elimination
  std::array<long double, kN> c{};  // right-hand side, then the solution
  for (int i = 0; i + 1 < kN; ++i) h[i] = x[i + 1] - x[i];
  for (int i = 1; i + 1 < kN; ++i) d[i] = 2 * (x[i + 1] - x[i - 1]);
  // Slope differences without the usual factor 6, so the solution is one
  // sixth of the second derivative.
  for (int i = 1; i + 1 < kN; ++i)
    c[i] = (rates[i + 1] - rates[i]) / h[i] - (rates[i] - rates[i - 1]) / h[i - 1];
  // Natural ends: zero curvature, so rows 1 and 98 need no correction.
  c[0] = 0;
  c[kN - 1] = 0;
  for (int i = 1; i + 2 < kN; ++i) {
    const long double m = h[i] / d[i];
    c[i + 1] -= m * c[i];
    d[i + 1] -= m * h[i];
  }
  for (int i = kN - 2; i >= 1; --i) c[i] = (c[i] - h[i] * c[i + 1]) / d[i];
  // Copied last so that the caller may solve a row in place.
  for (int i = 0; i < kN; ++i) coefficients[i] = c[i];
}

void GammaFuncsStartUp() {
  if (useCount++ > 0) return;
  for (int k = 0; k < kGammaCategoryCount; ++k) GammaRateSpline(GammaRates[k], splineTable[k]);
}

void GammaFuncsShutDown() {
  if (useCount > 0) --useCount;
}
