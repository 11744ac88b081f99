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

// g_a = sum_b |s_a - s_b| y_b over the sizes s (ascending) in one pass:
// with C_a and S_a the sums of y_b and s_b y_b for b <= a and mu the mean
// size, g_a = s_a (2 C_a - 1) + mu - 2 S_a.
void SizeSpreads(const LocusAlleles& locus, const std::vector<double>& y, double* g) {
  double mu = 0;
  for (size_t a = 0; a < y.size(); ++a) mu += locus.codes[a] * y[a];
  double c = 0, sy = 0;
  for (size_t a = 0; a < y.size(); ++a) {
    c += y[a];
    sy += locus.codes[a] * y[a];
    g[a] = locus.codes[a] * (2 * c - 1) + mu - 2 * sy;
  }
}

double Dot(const double* x, const double* y, int count) {
  double sum = 0;
  for (int a = 0; a < count; ++a) sum += x[a] * y[a];
  return sum;
}

template <int Width>
void SumCached(const double* terms, const std::vector<std::pair<int, double>>& drawn, double* sums) {
  double acc[Width] = {};
  for (const auto& [locus, weight] : drawn) {
    const double* t = terms + static_cast<size_t>(locus) * Width;
    for (int k = 0; k < Width; ++k) acc[k] += weight * t[k];
  }
  for (int k = 0; k < Width; ++k) sums[k] = acc[k];
}

// The same sums from terms computed on the spot; loci not typed in both add
// nothing, as their zero terms add nothing in the cached form.
template <int Width>
void SumComputed(const PairTerms& terms, int i, int j, const std::vector<std::pair<int, double>>& drawn,
                 double* sums) {
  double acc[Width] = {};
  double t[Width];
  for (const auto& [locus, weight] : drawn) {
    terms.LocusTerms(i, j, locus, t);
    if (t[0] == 0) continue;
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

PairTerms BuildPairTerms(const DataSet& data, const Frequencies& freq, DistanceKind kind, PairTermCache cache) {
  PairTerms result;
  result.kind_ = kind;
  result.samples_ = static_cast<int>(freq.samples.size());
  result.loci_ = static_cast<int>(freq.loci.size());
  result.width_ = UsesJ(kind) ? 4 : 2;
  const int n = result.samples_;
  const int loci = result.loci_;
  const bool corrected = IsCorrected(kind);

  result.alleles_.resize(loci);
  result.offset_.resize(loci);
  for (int l = 0; l < loci; ++l) {
    result.alleles_[l] = static_cast<int>(freq.loci[l].codes.size());
    result.offset_[l] = result.block_;
    result.block_ += freq.loci[l].codes.size();
  }
  const bool dot = kind != DistanceKind::Dmyu;
  if (dot) result.left_.assign(static_cast<size_t>(n) * result.block_, 0.0);
  if (kind == DistanceKind::Dsw) result.right_.assign(static_cast<size_t>(n) * result.block_, 0.0);
  result.typed_.assign(static_cast<size_t>(n) * loci, 0);
  result.own_.assign(static_cast<size_t>(n) * loci, 0.0);

  // The unbiased estimate needs two allele copies, which matters only where
  // the locus enters some pair.
  for (int l = 0; l < loci; ++l) {
    int typedSamples = 0;
    for (int s = 0; s < n; ++s) typedSamples += freq.samples[s][l].Typed();
    for (int s = 0; s < n; ++s) {
      const SampleLocus& cell = freq.samples[s][l];
      if (!cell.Typed()) continue;
      const size_t at = result.Cell(s, l);
      result.typed_[at] = 1;
      double* left = dot ? &result.left_[s * result.block_ + result.offset_[l]] : nullptr;
      switch (kind) {
        case DistanceKind::Da:
          for (size_t a = 0; a < cell.freq.size(); ++a) left[a] = std::sqrt(cell.freq[a]);
          break;
        case DistanceKind::Dmyu:
          result.own_[at] = MeanSize(freq.loci[l], cell);
          break;
        case DistanceKind::Dsw: {
          double* right = &result.right_[s * result.block_ + result.offset_[l]];
          std::copy(cell.freq.begin(), cell.freq.end(), left);
          SizeSpreads(freq.loci[l], cell.freq, right);
          result.own_[at] = Dot(left, right, result.alleles_[l]);
          break;
        }
        default:
          if (corrected && cell.genes < 2 && typedSamples > 1)
            throw PopGenError(std::string(DistanceCaption(kind)) + " cannot be computed: sample " +
                              SampleText(data, s) + " has a single allele copy typed at locus \"" +
                              data.loci[l].name + "\", too few for the unbiased estimate.");
          std::copy(cell.freq.begin(), cell.freq.end(), left);
          result.own_[at] = Homozygosity(cell, corrected);
      }
    }
  }

  const size_t pairs = n > 1 ? static_cast<size_t>(n) * (n - 1) / 2 : 0;
  const size_t perPair = static_cast<size_t>(loci) * result.width_;
  if (cache == PairTermCache::IfSmall && pairs > 0 && perPair > 0 &&
      pairs <= kPairTermCacheBytes / sizeof(double) / perPair) {
    result.terms_.assign(pairs * perPair, 0.0);
    for (int j = 1; j < n; ++j)
      for (int i = 0; i < j; ++i) {
        double* out = &result.terms_[PairIndex(i, j) * perPair];
        for (int l = 0; l < loci; ++l, out += result.width_) result.LocusTerms(i, j, l, out);
      }
  }
  return result;
}

void PairTerms::LocusTerms(int i, int j, int l, double* out) const {
  const size_t x = Cell(i, l), y = Cell(j, l);
  if (!typed_[x] || !typed_[y]) {
    std::fill(out, out + width_, 0.0);
    return;
  }
  out[0] = 1;
  switch (kind_) {
    case DistanceKind::Da:
      out[1] = Dot(Left(i, l), Left(j, l), alleles_[l]);
      break;
    case DistanceKind::Dmyu: {
      const double diff = own_[x] - own_[y];
      out[1] = diff * diff;
      break;
    }
    case DistanceKind::Dsw:
      out[1] = Dot(Left(i, l), Right(j, l), alleles_[l]) - (own_[x] + own_[y]) / 2;
      break;
    default:
      out[1] = own_[x];
      out[2] = own_[y];
      out[3] = Dot(Left(i, l), Left(j, l), alleles_[l]);
  }
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
  const bool wide = terms.Width() == 4;
  if (out.Size() != n) out = DistanceMatrix(n);
  std::vector<std::pair<int, double>> drawn;
  for (int l = 0; l < terms.Loci(); ++l) {
    const int w = weights ? weights[l] : 1;
    if (w > 0) drawn.emplace_back(l, w);
  }
  double sums[4];
  for (int j = 1; j < n; ++j)
    for (int i = 0; i < j; ++i) {
      if (terms.Cached()) {
        const double* t = terms.Terms(PairIndex(i, j));
        wide ? SumCached<4>(t, drawn, sums) : SumCached<2>(t, drawn, sums);
      } else {
        wide ? SumComputed<4>(terms, i, j, drawn, sums) : SumComputed<2>(terms, i, j, drawn, sums);
      }
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
