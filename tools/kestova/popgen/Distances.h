#pragma once
// Genetic distances between samples, computed from per-locus terms.
//
// With allele frequencies x, y of samples X, Y at a locus and J_X, J_Y, J_XY
// the means over the loci typed in both samples of sum x^2, sum y^2, sum xy:
//   Da                 1 - mean over loci of sum sqrt(x y)        (Nei, Tajima and Tateno 1983)
//   Dst (uncorrected)  -ln(J_XY / sqrt(J_X J_Y))                 (Nei 1972)
//   Dst (corrected)    the same with the unbiased per-locus
//                      (2n sum x^2 - 1) / (2n - 1), 2n the allele
//                      copies typed (n for haploid loci)         (Nei 1978)
//   Fst (uncorrected)  ((J_X + J_Y)/2 - J_XY) / (1 - J_XY)        (Latter 1972)
//   Fst (corrected)    the same with the unbiased J_X, J_Y
//   Dmyu               mean over loci of (mu_X - mu_Y)^2, mu the mean allele
//                      size                                      (Goldstein et al. 1995)
//   Dsw                mean over loci of sum_ij |s_i - s_j| x_i y_j minus half
//                      the same sums within X and within Y        (Shriver et al. 1995)
// Allele sizes are the allele codes. Corrected values may be negative.
//
// Every distance is a function of weighted sums over loci of terms that depend
// on one pair and one locus only. A bootstrap replicate (loci drawn with
// replacement, i.e. integer weights per locus) sums these terms again with
// other weights. PairTerms keeps, per sample and locus, what the terms are
// made from (each term is a dot product over the alleles of the locus, or
// less), and for small data sets the terms themselves, so that a replicate
// costs one pass of additions; for large ones it recomputes them, which keeps
// the memory to the size of the data. Both ways give the same values.

#include <optional>
#include <string>
#include <vector>

#include "popgen/DataSet.h"
#include "popgen/Frequencies.h"

namespace popgen {

// In the order of the command-line options -d0 .. -d6.
enum class DistanceKind { Da, DstCorrected, DstUncorrected, FstCorrected, FstUncorrected, Dmyu, Dsw };
inline constexpr int kDistanceKinds = 7;

// "Da", "Dst (corrected)", "Dst (uncorrected)", "Fst (corrected)",
// "Fst (uncorrected)", "Dmyu", "Dsw".
const char* DistanceCaption(DistanceKind kind);

// Symmetric N x N matrix with a zero diagonal. Only the pairs i < j are
// stored, row by row (row i holds columns i+1 .. N-1), which halves the
// memory and is the layout the tree builder works in.
class DistanceMatrix {
 public:
  explicit DistanceMatrix(int size = 0)
      : size_(size), values_(size > 1 ? static_cast<size_t>(size) * (size - 1) / 2 : 0, 0.0) {}
  int Size() const { return size_; }
  double operator()(int i, int j) const {
    if (i == j) return 0;
    return i < j ? values_[Index(i, j)] : values_[Index(j, i)];
  }
  void Set(int i, int j, double value) {
    if (i != j) values_[i < j ? Index(i, j) : Index(j, i)] = value;
  }
  // Position of (i, j), i < j, in the row-by-row triangle of `size` columns.
  static size_t Index(int size, int i, int j) {
    return static_cast<size_t>(i) * (2 * static_cast<size_t>(size) - i - 1) / 2 + static_cast<size_t>(j - i - 1);
  }

 private:
  friend class TreeBuilder;
  size_t Index(int i, int j) const { return Index(size_, i, j); }

  int size_;
  std::vector<double> values_;
};

// Pairs (i, j), i < j, are numbered j(j-1)/2 + i.
inline size_t PairIndex(int i, int j) {
  return static_cast<size_t>(j) * (j - 1) / 2 + static_cast<size_t>(i);
}

// Whether PairTerms keeps every pair's terms: only when they take at most
// kPairTermCacheBytes (samples * (samples - 1) / 2 * loci * Width() doubles).
enum class PairTermCache { IfSmall, Never };
inline constexpr size_t kPairTermCacheBytes = size_t{32} << 20;

class PairTerms {
 public:
  DistanceKind Kind() const { return kind_; }
  int Samples() const { return samples_; }
  int Loci() const { return loci_; }
  // Terms per locus: term 0 is 1 when the locus is typed in both samples, else
  // 0 (and so are the others); then 1 term (Da, Dmyu, Dsw) or 3 (J_X, J_Y,
  // J_XY for Dst and Fst).
  int Width() const { return width_; }
  bool Cached() const { return !terms_.empty(); }
  // The terms of pair (i, j), i < j, at locus l into out[0 .. Width()-1].
  void LocusTerms(int i, int j, int l, double* out) const;
  // Cached() only: the terms of a pair, Loci() x Width() values.
  const double* Terms(size_t pair) const { return &terms_[pair * loci_ * width_]; }

 private:
  friend PairTerms BuildPairTerms(const DataSet&, const Frequencies&, DistanceKind, PairTermCache);
  size_t Cell(int sample, int locus) const { return static_cast<size_t>(sample) * loci_ + locus; }
  const double* Left(int sample, int locus) const { return &left_[sample * block_ + offset_[locus]]; }
  const double* Right(int sample, int locus) const {
    return &(right_.empty() ? left_ : right_)[sample * block_ + offset_[locus]];
  }

  DistanceKind kind_ = DistanceKind::Da;
  int samples_ = 0;
  int loci_ = 0;
  int width_ = 2;
  std::vector<int> alleles_;      // per locus
  std::vector<size_t> offset_;    // per locus, where it starts in a sample's block
  size_t block_ = 0;              // alleles over all loci
  std::vector<char> typed_;       // per sample and locus
  std::vector<double> own_;       // per sample and locus: J, mean size or spread
  // Per sample, a block of per-allele values; a pair's locus term is
  // Left(i) . Right(j): Da sqrt(x) . sqrt(y); Dst, Fst x . y; Dsw x . g(y)
  // with g(y)_a = sum_b |s_a - s_b| y_b. Right is Left where empty.
  std::vector<double> left_, right_;
  std::vector<double> terms_;     // pair-major, empty when not kept
};

// Throws PopGenError when a corrected distance needs the unbiased estimate of
// a sample with a single allele copy at a locus typed in another sample.
PairTerms BuildPairTerms(const DataSet& data, const Frequencies& freq, DistanceKind kind,
                         PairTermCache cache = PairTermCache::IfSmall);

enum class DistanceFault {
  NoCommonLocus,     // no locus typed in both samples
  NoSharedAllele,    // Dst: J_XY = 0, the logarithm is undefined
  NoHomozygosity,    // corrected Dst: an unbiased J is 0 or below
  SameFixedAlleles,  // Fst: 1 - J_XY = 0
  NotFinite,         // any other value that is not a finite number
};

struct DistanceFailure {
  int first = 0;
  int second = 0;
  DistanceFault fault = DistanceFault::NotFinite;
};

// The distance from the weighted sums of one pair's terms (Width() values).
std::optional<double> FinishDistance(DistanceKind kind, const double* sums, DistanceFault* fault = nullptr);

// Fills `out` (resized to Samples()) with the distances of loci weighted by
// `weights` (one multiplicity per locus; nullptr = every locus once). Returns
// the first pair, in pair order, whose distance cannot be computed.
std::optional<DistanceFailure> ComputeDistances(const PairTerms& terms, const int* weights, DistanceMatrix& out);

// One sentence for the user, naming the distance and both samples.
std::string DescribeFailure(DistanceKind kind, const DistanceFailure& failure, const DataSet& data);

}  // namespace popgen
