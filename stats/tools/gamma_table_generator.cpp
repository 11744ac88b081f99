// Writes stats/GammaRateTable.cpp: the grid logarithms and the discrete-gamma
// category rates that GammaFuncs holds as constants (see stats/GammaFuncs.h
// for the rules). Run once when the rules change, through the
// `gamma_rate_table` target, and commit the output; the program itself never
// computes a quantile.
//
// Usage: gamma_table_generator <output file>
//
// The quantiles come from the inversion of the regularized incomplete gamma
// function below, in extended precision. The test suite checks the result
// against an independent implementation, so this file deliberately uses none.

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "stats/GammaFuncs.h"

namespace {

using Real = long double;

constexpr Real kEpsilon = std::numeric_limits<Real>::epsilon();

// ln P(a, x) and ln Q(a, x) of the regularized incomplete gamma function,
// each computed from the side where it does not cancel.
struct IncompleteGamma {
  Real lnP;
  Real lnQ;
};

IncompleteGamma IncompleteGammaLogs(Real a, Real x) {
  const Real lnX = std::log(x);
  if (x < a + 1) {
    // P = x^a e^-x / Gamma(a+1) * sum_n x^n / ((a+1)...(a+n)); all terms
    // positive, so the sum is accurate.
    Real term = 1, sum = 1;
    for (int n = 1; n < 100000; ++n) {
      term *= x / (a + n);
      sum += term;
      if (term < sum * kEpsilon) break;
    }
    const Real lnP = a * lnX - x - std::lgamma(a + 1) + std::log(sum);
    return {lnP, std::log1p(-std::exp(lnP))};
  }
  // Q = x^a e^-x / Gamma(a) * 1 / (x + 1 - a - 1 (1 - a) / (x + 3 - a - ...)),
  // evaluated by the modified Lentz method.
  constexpr Real kTiny = std::numeric_limits<Real>::min() / kEpsilon;
  Real b = x + 1 - a;
  Real c = 1 / kTiny;
  Real d = 1 / b;
  Real f = d;
  for (int n = 1; n < 100000; ++n) {
    const Real an = -n * (n - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = b + an / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    const Real delta = d * c;
    f *= delta;
    if (std::fabs(delta - 1) < kEpsilon) break;
  }
  const Real lnQ = a * lnX - x - std::lgamma(a) + std::log(f);
  return {std::log1p(-std::exp(lnQ)), lnQ};
}

// x with P(a, x) = p, 0 < p < 1. Newton's method on t = ln x applied to
// ln P (lower half) or ln Q (upper half): both are concave in t because the
// density of ln X is log-concave, so after the first step the iterates
// approach the root from one side; a bracket guards the first steps.
Real IncompleteGammaInverse(Real a, Real p) {
  const bool upper = p > 0.5L;
  const Real target = upper ? std::log1p(-p) : std::log(p);
  // g(t) increases with t in both cases.
  auto g = [&](Real t) {
    const IncompleteGamma v = IncompleteGammaLogs(a, std::exp(t));
    return upper ? target - v.lnQ : v.lnP - target;
  };
  auto slope = [&](Real t) {
    // d/dt of P(a, e^t) is the density of ln X.
    const IncompleteGamma v = IncompleteGammaLogs(a, std::exp(t));
    const Real lnDensity = a * t - std::exp(t) - std::lgamma(a);
    return std::exp(lnDensity - (upper ? v.lnQ : v.lnP));
  };
  Real lo = -std::numeric_limits<Real>::infinity();
  Real hi = std::numeric_limits<Real>::infinity();
  // The small-shape approximation x = (p Gamma(a+1))^(1/a) is close in the
  // lower tail; elsewhere the mean is a fair start.
  Real t = upper ? std::log(a) : std::fmin((std::log(p) + std::lgamma(a + 1)) / a, std::log(a));
  for (int iteration = 0; iteration < 500; ++iteration) {
    const Real value = g(t);
    if (value == 0) return std::exp(t);
    if (value < 0) lo = std::fmax(lo, t);
    else hi = std::fmin(hi, t);
    Real next = t - value / slope(t);
    // Keep the step inside the bracket and of sane size (e^t must not
    // overflow); fall back to bisection when Newton leaves the bracket.
    next = std::fmax(t - 8, std::fmin(t + 8, next));
    if (!(next > lo && next < hi)) next = (std::isfinite(lo) && std::isfinite(hi)) ? (lo + hi) / 2 : next;
    if (std::fabs(next - t) <= 4 * kEpsilon * std::fmax(1, std::fabs(t))) return std::exp(next);
    t = next;
  }
  std::fprintf(stderr, "no convergence: a=%Lg p=%Lg\n", a, p);
  std::exit(1);
}

// Quantile of the gamma distribution with shape and rate alpha (mean 1).
Real Quantile(Real alpha, Real p) { return IncompleteGammaInverse(alpha, p) / alpha; }

// The literal as stored: 9 decimal places, or 6 significant digits below
// 0.0001 (where 9 decimals would lose the value).
std::string Literal(Real value, int decimals) {
  char buffer[64];
  const bool small = decimals == 9 && std::fabs(value) < 1e-4L;
  const auto result = small ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 5)
                            : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

// The value the compiler will see for a literal.
Real Parse(const std::string& text) {
  Real value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

void Append(std::string& out, const std::string& literal, int index, int perLine) {
  out += index % perLine == 0 ? "    " : " ";
  out += literal + "L,";
  if (index % perLine == perLine - 1) out += "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gamma_table_generator <output file>\n");
    return 2;
  }
  std::string out;
  out += "// Generated by stats/tools/gamma_table_generator.cpp (target gamma_rate_table).\n";
  out += "// Do not edit: change the generator and run it again.\n\n";
  out += "#include \"stats/GammaFuncs.h\"\n\n";

  const Real ln2 = std::log(Real(2));
  Real alpha[kGammaShapeCount];
  out += "const long double GammaLnAlpha[kGammaShapeCount] = {\n";
  for (int j = 0; j < kGammaShapeCount; ++j) {
    const Real lnAlpha = std::log(Real(4) / 100) + j * ln2 / 8;
    alpha[j] = std::exp(lnAlpha);
    Append(out, Literal(lnAlpha, 12), j, 5);
  }
  out += "};\n\n";

  Real rates[kGammaCategoryCount][kGammaShapeCount];
  for (int j = 0; j < kGammaShapeCount; ++j) {
    const Real a = alpha[j];
    // Category 0 weighs its upper half by its mean boundary and its lower
    // half by its middle quantile; category 99 takes what makes the column
    // sum to 100, counted over the stored (rounded) values so that the
    // stored column sums to 100 up to the rounding of one entry.
    Real sum = 0;
    for (int k = 0; k < kGammaCategoryCount - 1; ++k) {
      const Real rate =
          k == 0 ? (Quantile(a, 0.01L) + Quantile(a, 0.005L)) / 4 + Quantile(a, 0.0025L) / 2
                 : (Quantile(a, Real(k) / 100) + Quantile(a, Real(k + 1) / 100)) / 2;
      rates[k][j] = Parse(Literal(rate, 9));
      sum += rates[k][j];
    }
    rates[kGammaCategoryCount - 1][j] = 100 - sum;
  }
  out += "const long double GammaRates[kGammaCategoryCount][kGammaShapeCount] = {\n";
  for (int k = 0; k < kGammaCategoryCount; ++k) {
    out += "  {  // category " + std::to_string(k) + "\n";
    for (int j = 0; j < kGammaShapeCount; ++j) Append(out, Literal(rates[k][j], 9), j, 5);
    out += "  },\n";
  }
  out += "};\n";

  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file) != 0) {
    std::fprintf(stderr, "gamma_table_generator: cannot write %s: %s\n", argv[1], std::strerror(errno));
    return 1;
  }
  return 0;
}
