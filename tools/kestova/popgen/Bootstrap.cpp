#include "popgen/Bootstrap.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace popgen {
namespace {

std::uint64_t SplitMix64(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

// Open-addressing table from a group (its words) to the index of the
// reference group; the groups themselves live in one flat array.
class GroupIndex {
 public:
  explicit GroupIndex(int words) : words_(words) {}

  int Insert(const std::uint64_t* group) {
    if (int found = Find(group); found >= 0) return found;
    if ((count_ + 1) * 2 > static_cast<int>(slots_.size())) Grow();
    const int index = count_++;
    groups_.insert(groups_.end(), group, group + words_);
    Place(index);
    return index;
  }

  int Find(const std::uint64_t* group) const {
    if (slots_.empty()) return -1;
    const size_t mask = slots_.size() - 1;
    for (size_t at = Hash(group) & mask;; at = (at + 1) & mask) {
      const int index = slots_[at];
      if (index < 0) return -1;
      if (std::equal(group, group + words_, &groups_[static_cast<size_t>(index) * words_])) return index;
    }
  }

  int Count() const { return count_; }

 private:
  size_t Hash(const std::uint64_t* group) const {
    std::uint64_t h = 0;
    for (int w = 0; w < words_; ++w) {
      std::uint64_t state = h ^ group[w];
      h = SplitMix64(state);
    }
    return static_cast<size_t>(h);
  }

  void Place(int index) {
    const size_t mask = slots_.size() - 1;
    size_t at = Hash(&groups_[static_cast<size_t>(index) * words_]) & mask;
    while (slots_[at] >= 0) at = (at + 1) & mask;
    slots_[at] = index;
  }

  void Grow() {
    slots_.assign(std::max<size_t>(16, slots_.size() * 2), -1);
    for (int i = 0; i < count_; ++i) Place(i);
  }

  int words_;
  int count_ = 0;
  std::vector<std::uint64_t> groups_;
  std::vector<int> slots_;
};

}  // namespace

Random::Random(std::uint64_t seed, std::uint64_t stream) {
  std::uint64_t state = seed ^ (stream * 0xD1B54A32D192ED03ull);
  for (auto& s : s_) s = SplitMix64(state);
}

std::uint64_t Random::Next() {
  const std::uint64_t result = Rotl(s_[1] * 5, 7) * 9;
  const std::uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = Rotl(s_[3], 45);
  return result;
}

std::uint32_t Random::Below(std::uint32_t bound) {
  std::uint64_t m = (Next() >> 32) * bound;
  std::uint32_t low = static_cast<std::uint32_t>(m);
  if (low < bound) {
    const std::uint32_t threshold = static_cast<std::uint32_t>(-bound) % bound;
    while (low < threshold) {
      m = (Next() >> 32) * bound;
      low = static_cast<std::uint32_t>(m);
    }
  }
  return static_cast<std::uint32_t>(m >> 32);
}

void DrawLoci(Random& random, int loci, int* weights) {
  std::fill(weights, weights + loci, 0);
  for (int draw = 0; draw < loci; ++draw) ++weights[random.Below(static_cast<std::uint32_t>(loci))];
}

int Words(int taxa) { return (taxa + 63) / 64; }

std::vector<std::uint64_t> TreeGroups(const Tree& tree, TreeMethod method) {
  const int n = tree.taxa;
  const int words = Words(n);
  const int below = 2 * n - 2;
  // One extra group for the root, which is built but not returned.
  std::vector<std::uint64_t> groups(static_cast<size_t>(below + 1) * words, 0);
  for (int t = 0; t < n; ++t) groups[static_cast<size_t>(t) * words + t / 64] |= std::uint64_t{1} << (t % 64);
  for (size_t j = 0; j < tree.joins.size(); ++j) {
    std::uint64_t* out = &groups[(n + j) * words];
    for (int c = 0; c < 2; ++c) {
      const std::uint64_t* in = &groups[static_cast<size_t>(tree.joins[j].child[c]) * words];
      for (int w = 0; w < words; ++w) out[w] |= in[w];
    }
  }
  groups.resize(static_cast<size_t>(below) * words);
  if (method == TreeMethod::NJ) {
    const std::uint64_t lastMask = n % 64 == 0 ? ~std::uint64_t{0} : (std::uint64_t{1} << (n % 64)) - 1;
    for (int v = 0; v < below; ++v) {
      std::uint64_t* g = &groups[static_cast<size_t>(v) * words];
      if (g[0] & 1) {
        for (int w = 0; w < words; ++w) g[w] = ~g[w];
        g[words - 1] &= lastMask;
      }
    }
  }
  return groups;
}

BootstrapResult Bootstrap(const PairTerms& terms, TreeMethod method, const Tree& reference, int replicates,
                          std::uint64_t seed, int threads) {
  const int n = reference.taxa;
  const int words = Words(n);
  const int below = 2 * n - 2;
  GroupIndex index(words);
  std::vector<int> nodeGroup(below);
  {
    const std::vector<std::uint64_t> groups = TreeGroups(reference, method);
    for (int v = 0; v < below; ++v) nodeGroup[v] = index.Insert(&groups[static_cast<size_t>(v) * words]);
  }

  BootstrapResult result;
  result.replicates = replicates;
  std::vector<long long> counts(index.Count(), 0);
  std::atomic<int> next{0};
  std::atomic<bool> stop{false};
  std::mutex merge;

  auto work = [&] {
    std::vector<long long> local(index.Count(), 0);
    std::vector<int> seen(index.Count(), -1);
    std::vector<int> weights(terms.Loci());
    DistanceMatrix distances(n);
    TreeBuilder builder;
    int redrawn = 0;
    for (int r; !stop.load(std::memory_order_relaxed) && (r = next.fetch_add(1)) < replicates;) {
      Random random(seed, static_cast<std::uint64_t>(r));
      std::optional<DistanceFailure> failure;
      for (int attempt = 0; attempt <= kMaxRedraws; ++attempt) {
        DrawLoci(random, terms.Loci(), weights.data());
        failure = ComputeDistances(terms, weights.data(), distances);
        if (!failure) break;
        if (attempt < kMaxRedraws) ++redrawn;
      }
      if (failure) {
        std::lock_guard lock(merge);
        if (!result.failure || r + 1 < result.failedReplicate) {
          result.failure = failure;
          result.failedReplicate = r + 1;
        }
        stop = true;
        break;
      }
      const std::vector<std::uint64_t> groups = TreeGroups(builder.BuildInPlace(distances, method), method);
      for (int v = 0; v < below; ++v) {
        const int g = index.Find(&groups[static_cast<size_t>(v) * words]);
        if (g >= 0 && seen[g] != r) {
          seen[g] = r;
          ++local[g];
        }
      }
    }
    std::lock_guard lock(merge);
    for (size_t g = 0; g < local.size(); ++g) counts[g] += local[g];
    result.redrawn += redrawn;
  };

  int workers = threads > 0 ? threads : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  workers = std::min(workers, replicates);
  // Each worker holds one distance matrix.
  const size_t matrixBytes = std::max<size_t>(1, static_cast<size_t>(n) * (n - 1) / 2 * sizeof(double));
  workers = std::max<int>(1, static_cast<int>(std::min<size_t>(workers, kBootstrapMemory / matrixBytes)));
  {
    std::vector<std::jthread> pool;
    for (int t = 1; t < workers; ++t) pool.emplace_back(work);
    work();
  }
  if (result.failure) return result;
  result.support.resize(below);
  for (int v = 0; v < below; ++v) result.support[v] = static_cast<int>(counts[nodeGroup[v]]);
  return result;
}

}  // namespace popgen
