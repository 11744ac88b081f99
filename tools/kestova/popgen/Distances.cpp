#include "popgen/Distances.h"

#include <cmath>
#include <cstdlib>

#include "popgen/Error.h"

namespace popgen {
namespace {

bool UsesJ(DistanceKind kind) {
  return kind == DistanceKind::DstCorrected || kind == DistanceKind::DstUncorrected ||
         kind == DistanceKind::FstCorrected || kind == DistanceKind::FstUncorrected;
}

bool IsCorrected(DistanceKind kind) {
  return kind == DistanceKind::DstCorrected || kind == DistanceKind::FstCorrected;
}

std::string SampleText(const DataSet& data, int s) {
  return std::to_string(s + 1) + " (\"" + data.samples[s].name + "\")";
}

// Homozygosity of one sample at one locus, plain or unbiased; per sample so
// that the pairs do not recompute it.
double Homozygosity(const SampleLocus& cell, bool corrected) {
  double sum = 0;
  for (double f : cell.freq) sum += f * f;
  if (!corrected) return sum;
  return (cell.genes * sum - 1) / (cell.genes - 1);
}

double MeanSize(const LocusAlleles& locus, const SampleLocus& cell) {
  double mu = 0;
  for (size_t a = 0; a < locus.codes.size(); ++a) mu += locus.codes[a] * cell.freq[a];
  return mu;
}

double SizeSpread(const LocusAlleles& locus, const std::vector<double>& x, const std::vector<double>& y) {
  double sum = 0;
  for (size_t a = 0; a < x.size(); ++a) {
    if (x[a] == 0) continue;
    for (size_t b = 0; b < y.size(); ++b) sum += std::abs(locus.codes[a] - locus.codes[b]) * x[a] * y[b];
  }
  return sum;
}

template <int Width>
void SumPair(const double* terms, const std::vector<std::pair<int, double>>& drawn, double* sums) {
  double acc[Width] = {};
  for (const auto& [locus, weight] : drawn) {
    const double* t = terms + static_cast<size_t>(locus) * Width;
    for (int k = 0; k < Width; ++k) acc[k] += weight * t[k];
  }
  for (int k = 0; k < Width; ++k) sums[k] = acc[k];
}

}  // namespace

const char* DistanceCaption(DistanceKind kind) {
  static const char* const kCaptions[kDistanceKinds] = {
      "Da", "Dst (corrected)", "Dst (uncorrected)", "Fst (corrected)", "Fst (uncorrected)", "Dmyu", "Dsw"};
  return kCaptions[static_cast<int>(kind)];
}

PairTerms BuildPairTerms(const DataSet& data, const Frequencies& freq, DistanceKind kind) {
  PairTerms result;
  result.kind_ = kind;
  result.samples_ = static_cast<int>(freq.samples.size());
  result.loci_ = static_cast<int>(freq.loci.size());
  result.width_ = UsesJ(kind) ? 4 : 2;
  const int n = result.samples_;
  const int loci = result.loci_;
  const bool corrected = IsCorrected(kind);

  // Per-sample values first; the unbiased estimate needs two allele copies,
  // which matters only where the locus enters some pair.
  std::vector<std::vector<double>> own(n, std::vector<double>(loci, 0.0));
  for (int l = 0; l < loci; ++l) {
    int typedSamples = 0;
    for (int s = 0; s < n; ++s) typedSamples += freq.samples[s][l].Typed();
    for (int s = 0; s < n; ++s) {
      const SampleLocus& cell = freq.samples[s][l];
      if (!cell.Typed()) continue;
      if (UsesJ(kind)) {
        if (corrected && cell.genes < 2 && typedSamples > 1)
          throw PopGenError(std::string(DistanceCaption(kind)) + " cannot be computed: sample " +
                            SampleText(data, s) + " has a single allele copy typed at locus \"" +
                            data.loci[l].name + "\", too few for the unbiased estimate.");
        own[s][l] = Homozygosity(cell, corrected);
      } else if (kind == DistanceKind::Dmyu) {
        own[s][l] = MeanSize(freq.loci[l], cell);
      } else if (kind == DistanceKind::Dsw) {
        own[s][l] = SizeSpread(freq.loci[l], cell.freq, cell.freq);
      }
    }
  }

  const int width = result.width_;
  result.terms_.assign(static_cast<size_t>(n) * (n - 1) / 2 * loci * width, 0.0);
  for (int j = 1; j < n; ++j)
    for (int i = 0; i < j; ++i) {
      double* out = &result.terms_[PairIndex(i, j) * loci * width];
      for (int l = 0; l < loci; ++l, out += width) {
        const SampleLocus& x = freq.samples[i][l];
        const SampleLocus& y = freq.samples[j][l];
        if (!x.Typed() || !y.Typed()) continue;
        out[0] = 1;
        switch (kind) {
          case DistanceKind::Da: {
            double sum = 0;
            for (size_t a = 0; a < x.freq.size(); ++a) sum += std::sqrt(x.freq[a] * y.freq[a]);
            out[1] = sum;
            break;
          }
          case DistanceKind::Dmyu: {
            const double diff = own[i][l] - own[j][l];
            out[1] = diff * diff;
            break;
          }
          case DistanceKind::Dsw:
            out[1] = SizeSpread(freq.loci[l], x.freq, y.freq) - (own[i][l] + own[j][l]) / 2;
            break;
          default: {
            double sum = 0;
            for (size_t a = 0; a < x.freq.size(); ++a) sum += x.freq[a] * y.freq[a];
            out[1] = own[i][l];
            out[2] = own[j][l];
            out[3] = sum;
          }
        }
      }
    }
  return result;
}

std::optional<double> FinishDistance(DistanceKind kind, const double* sums, DistanceFault* fault) {
  auto fail = [&](DistanceFault f) -> std::optional<double> {
    if (fault) *fault = f;
    return std::nullopt;
  };
  const double count = sums[0];
  if (count <= 0) return fail(DistanceFault::NoCommonLocus);
  double d = 0;
  switch (kind) {
    case DistanceKind::Da:
      d = 1 - sums[1] / count;
      break;
    case DistanceKind::Dmyu:
    case DistanceKind::Dsw:
      d = sums[1] / count;
      break;
    case DistanceKind::DstCorrected:
    case DistanceKind::DstUncorrected: {
      const double jx = sums[1] / count, jy = sums[2] / count, jxy = sums[3] / count;
      if (jxy <= 0) return fail(DistanceFault::NoSharedAllele);
      if (jx <= 0 || jy <= 0) return fail(DistanceFault::NoHomozygosity);
      d = -std::log(jxy / std::sqrt(jx * jy));
      break;
    }
    case DistanceKind::FstCorrected:
    case DistanceKind::FstUncorrected: {
      const double jx = sums[1] / count, jy = sums[2] / count, jxy = sums[3] / count;
      // Sums of products of frequencies carry rounding error, so "1" is only
      // reached within it.
      if (1 - jxy <= 1e-12) return fail(DistanceFault::SameFixedAlleles);
      d = ((jx + jy) / 2 - jxy) / (1 - jxy);
      break;
    }
  }
  if (!std::isfinite(d)) return fail(DistanceFault::NotFinite);
  return d;
}

std::optional<DistanceFailure> ComputeDistances(const PairTerms& terms, const int* weights, DistanceMatrix& out) {
  const int n = terms.Samples();
  const int width = terms.Width();
  if (out.Size() != n) out = DistanceMatrix(n);
  std::vector<std::pair<int, double>> drawn;
  for (int l = 0; l < terms.Loci(); ++l) {
    const int w = weights ? weights[l] : 1;
    if (w > 0) drawn.emplace_back(l, w);
  }
  double sums[4];
  for (int j = 1; j < n; ++j)
    for (int i = 0; i < j; ++i) {
      const double* t = terms.Terms(PairIndex(i, j));
      if (width == 2)
        SumPair<2>(t, drawn, sums);
      else
        SumPair<4>(t, drawn, sums);
      DistanceFault fault;
      std::optional<double> d = FinishDistance(terms.Kind(), sums, &fault);
      if (!d) return DistanceFailure{i, j, fault};
      out.Set(i, j, *d);
    }
  return std::nullopt;
}

std::string DescribeFailure(DistanceKind kind, const DistanceFailure& failure, const DataSet& data) {
  std::string text = std::string(DistanceCaption(kind)) + " cannot be computed between samples " +
                     SampleText(data, failure.first) + " and " + SampleText(data, failure.second) + ": ";
  switch (failure.fault) {
    case DistanceFault::NoCommonLocus:
      return text + "no locus is typed in both.";
    case DistanceFault::NoSharedAllele:
      return text + "they share no allele at the loci typed in both, so the logarithm of J_XY = 0 is undefined.";
    case DistanceFault::NoHomozygosity:
      return text + "the unbiased homozygosity of one of them is 0 (every allele copy differs), "
                    "so J_XY / sqrt(J_X J_Y) is undefined.";
    case DistanceFault::SameFixedAlleles:
      return text + "both are fixed for the same allele at every locus typed in both, so 1 - J_XY = 0.";
    case DistanceFault::NotFinite:
      break;
  }
  return text + "the value is not a finite number.";
}

}  // namespace popgen
