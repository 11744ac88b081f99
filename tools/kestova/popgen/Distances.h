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
// on one pair and one locus only. PairTerms holds these terms once, so that a
// bootstrap replicate (loci drawn with replacement, i.e. integer weights per
// locus) costs one pass of additions over the pairs.

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

// Symmetric N x N matrix with a zero diagonal.
class DistanceMatrix {
 public:
  explicit DistanceMatrix(int size = 0) : size_(size), values_(static_cast<size_t>(size) * size, 0.0) {}
  int Size() const { return size_; }
  double operator()(int i, int j) const { return values_[static_cast<size_t>(i) * size_ + j]; }
  void Set(int i, int j, double value) {
    values_[static_cast<size_t>(i) * size_ + j] = value;
    values_[static_cast<size_t>(j) * size_ + i] = value;
  }

 private:
  int size_;
  std::vector<double> values_;
};

// Pairs (i, j), i < j, are numbered j(j-1)/2 + i.
inline size_t PairIndex(int i, int j) {
  return static_cast<size_t>(j) * (j - 1) / 2 + static_cast<size_t>(i);
}

class PairTerms {
 public:
  DistanceKind Kind() const { return kind_; }
  int Samples() const { return samples_; }
  int Loci() const { return loci_; }
  // Terms per locus: term 0 is 1 when the locus is typed in both samples, else
  // 0 (and so are the others); then 1 term (Da, Dmyu, Dsw) or 3 (J_X, J_Y,
  // J_XY for Dst and Fst).
  int Width() const { return width_; }
  const double* Terms(size_t pair) const { return &terms_[pair * loci_ * width_]; }

 private:
  friend PairTerms BuildPairTerms(const DataSet&, const Frequencies&, DistanceKind);
  DistanceKind kind_ = DistanceKind::Da;
  int samples_ = 0;
  int loci_ = 0;
  int width_ = 2;
  std::vector<double> terms_;
};

// Throws PopGenError when a corrected distance needs the unbiased estimate of
// a sample with a single allele copy at a locus typed in another sample.
PairTerms BuildPairTerms(const DataSet& data, const Frequencies& freq, DistanceKind kind);

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
