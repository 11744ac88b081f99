#pragma once
// Bootstrap over loci and the support of the groups of a tree.
//
// Each replicate draws as many loci as the data hold, with replacement, and
// builds a tree by the same method from the distances of the drawn loci. The
// support of a branch of the reference tree is the number of replicate trees
// that contain its group: for UPGMA the cluster of taxa below the branch, for
// neighbour-joining the split of the taxa that the branch makes (the tree read
// as unrooted). A replicate in which some distance cannot be computed (for
// example the only locus two samples share was not drawn) is drawn again from
// the same random stream, at most kMaxRedraws times in a row.
//
// Work is shared among threads, each with a distance matrix of its own, as
// many as fit in kBootstrapMemory (at least one).
//
// Reproducible: replicate r draws from its own xoshiro256** stream seeded by
// SplitMix64 from the seed and r, so the result depends neither on the number
// of threads nor on their timing.

#include <cstdint>
#include <optional>
#include <vector>

#include "popgen/Distances.h"
#include "popgen/TreeBuild.h"

namespace popgen {

inline constexpr std::uint64_t kBootstrapSeed = 20240601;
inline constexpr int kMaxRedraws = 100;
inline constexpr size_t kBootstrapMemory = size_t{96} << 20;

// xoshiro256** with SplitMix64 seeding; Below() is unbiased (Lemire's method).
class Random {
 public:
  Random(std::uint64_t seed, std::uint64_t stream);
  std::uint64_t Next();
  std::uint32_t Below(std::uint32_t bound);  // 0 <= value < bound; bound > 0

 private:
  std::uint64_t s_[4];
};

// Draws `loci` loci with replacement: weights[l] = how often locus l was drawn.
void DrawLoci(Random& random, int loci, int* weights);

// For every node below the root (0 .. 2N-3), its group as a bit set of taxa,
// `Words(N)` words a group: UPGMA clusters; NJ splits written as the side
// without taxon 0.
int Words(int taxa);
std::vector<std::uint64_t> TreeGroups(const Tree& tree, TreeMethod method);

struct BootstrapResult {
  std::vector<int> support;  // per node 0 .. 2N-3
  int replicates = 0;
  int redrawn = 0;           // replicates drawn again, over all replicates
  // Set when a replicate could not be drawn within kMaxRedraws tries; then
  // `support` is empty. `failedReplicate` counts from 1.
  std::optional<DistanceFailure> failure;
  int failedReplicate = 0;
};

// threads <= 0 uses every core.
BootstrapResult Bootstrap(const PairTerms& terms, TreeMethod method, const Tree& reference, int replicates,
                          std::uint64_t seed = kBootstrapSeed, int threads = 0);

}  // namespace popgen
