#pragma once
// Discrete-gamma rate tables.
//
// For a grid of 100 shape values alpha_j = 0.04 * 2^(j/8) (j = 0..99, eight
// steps double the shape, alpha_99 is about 212.47) the module holds the rates
// of 100 equal-probability rate categories of the gamma distribution with
// shape alpha_j and mean 1, and for each category the coefficients of the
// natural cubic spline through its rates over ln(alpha). With them the rate of
// a category at a shape between two grid points can be interpolated in
// ln(alpha).
//
// All tables are extended precision (long double, 80-bit on this platform),
// indexed from 0, rows contiguous. The logarithms and the rates are constants
// of the program, produced once by stats/tools/gamma_table_generator.cpp from
// accurate gamma quantiles; they are valid at any time. Only the spline
// coefficients are computed, by GammaFuncsStartUp.

#include <span>

inline constexpr int kGammaShapeCount = 100;     // grid points: columns j
inline constexpr int kGammaCategoryCount = 100;  // rate categories: rows k

// GammaLnAlpha[j] = ln(alpha_j) = ln(0.04) + j * ln(2) / 8, rounded to 12
// decimal places: -3.218875824868 at j = 0 up to 5.358820534561 at j = 99.
extern const long double GammaLnAlpha[kGammaShapeCount];

// GammaRates[k][j]: the rate of category k (0 slowest, 99 fastest) at shape
// alpha_j. With Q_j the quantile function of the gamma distribution with shape
// and rate alpha_j (mean 1):
//   k = 0:      (Q_j(0.01) + Q_j(0.005)) / 4 + Q_j(0.0025) / 2
//   k = 1..98:  (Q_j(k/100) + Q_j((k+1)/100)) / 2
//   k = 99:     100 minus the sum of categories 0..98.
// Each entry is stored to 9 decimal places, or to 6 significant digits below
// 0.0001. Every column increases strictly with k and sums to 100 within 5e-8.
extern const long double GammaRates[kGammaCategoryCount][kGammaShapeCount];

// GammaRateSplines[k][j]: one sixth of the second derivative at node j of the
// natural cubic spline through (GammaLnAlpha[j], GammaRates[k][j]),
// j = 0..99; entries 0 and 99 of every row are exactly 0. All zero until
// GammaFuncsStartUp has run; never changed afterwards.
extern const long double (&GammaRateSplines)[kGammaCategoryCount][kGammaShapeCount];

// The module's start-up step: fills GammaRateSplines row by row with
// GammaRateSpline. Counted: only the first call of a balanced series does the
// work (100 tridiagonal solves, no quantiles), later calls only count.
// Not thread-safe; called from the process's start-up on the main thread.
void GammaFuncsStartUp();

// The module's shut-down step: steps the use counter back. Nothing is
// released; the coefficients stay valid. Extra calls do nothing.
void GammaFuncsShutDown();

// One row of the spline pass: writes to `coefficients` one sixth of the second
// derivatives of the natural cubic spline through (GammaLnAlpha[j], rates[j]),
// solved as a tridiagonal system in extended precision; coefficients[0] and
// coefficients[99] are exactly 0. `rates` and `coefficients` may be the same
// array.
void GammaRateSpline(std::span<const long double, kGammaShapeCount> rates,
                     std::span<long double, kGammaShapeCount> coefficients);
