#include "tree/model/NPartitionList.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "platform/core/Exceptions.h"

namespace {

uint64_t Mix(uint64_t h, uint64_t value) {
  h ^= value + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
  h *= 0xFF51AFD7ED558CCDull;
  return h ^ (h >> 32);
}

uint64_t HashOf(const TPartition& split) {
  uint64_t h = 0;
  for (uint32_t word : split.Bits()) h = Mix(h, word);
  return h;
}

uint64_t HashOf(const std::vector<int32_t>& index) {
  uint64_t h = 0;
  for (int32_t i : index) h = Mix(h, static_cast<uint32_t>(i));
  return h;
}

// Open-addressing table from a key's hash to its position in a list. The
// lists hold no duplicates, so finding the one equal entry gives the same
// answer as a scan in list order, without the scan's cost on large tallies.
// A slot keeps 32 bits of the hash: they choose the slot and pass over most
// other keys without comparing them.
class PositionTable {
 public:
  template <typename Matches>
  int Find(uint64_t hash, Matches matches) const {
    if (slots_.empty()) return -1;
    const uint32_t key = static_cast<uint32_t>(hash);
    for (size_t i = key & Mask();; i = (i + 1) & Mask()) {
      const Slot& slot = slots_[i];
      if (slot.position < 0) return -1;
      if (slot.key == key && matches(slot.position)) return slot.position;
    }
  }

  void Insert(uint64_t hash, int position) {
    if (2 * (count_ + 1) > slots_.size()) Grow();
    Place({static_cast<uint32_t>(hash), position});
    ++count_;
  }

 private:
  struct Slot {
    uint32_t key = 0;
    int32_t position = -1;
  };

  size_t Mask() const { return slots_.size() - 1; }

  void Place(Slot slot) {
    size_t i = slot.key & Mask();
    while (slots_[i].position >= 0) i = (i + 1) & Mask();
    slots_[i] = slot;
  }

  void Grow() {
    std::vector<Slot> old(std::max<size_t>(16, 2 * slots_.size()));
    old.swap(slots_);
    for (const Slot& slot : old)
      if (slot.position >= 0) Place(slot);
  }

  std::vector<Slot> slots_;
  size_t count_ = 0;
};

int CheckedNoOfOTUs(int n) {
  if (n > kMaxNoOfOTUs) throw ERangeError();
  return std::max(0, n);
}

// Weighted mean of `mean` (weight `weight`) and `value` (weight w); the old
// mean when the weights cancel out.
double MeanWith(double mean, double weight, double value, double w) {
  const double total = weight + w;
  return total != 0 ? (mean * weight + w * value) / total : mean;
}

}  // namespace

struct TPartitionList::Lookup {
  PositionTable splits;
  PositionTable topologies;
};

TTopology::TTopology(int NoOfOTUs) : PartitionIndex(std::max(0, NoOfOTUs - 3), 0), NoOfOTUs(NoOfOTUs) {}

TPartitionList::TPartitionList(int NoOfOTUs, int MaxNoOfTopologies, int /*unused*/)
    : n_(CheckedNoOfOTUs(NoOfOTUs)),
      maxNoOfTopologies_(MaxNoOfTopologies),
      workTopology_(n_),
      lookup_(std::make_unique<Lookup>()) {
  workPartitions_.resize(std::max(0, n_ - 3));
  for (TPartition& split : workPartitions_) split.SetSize(n_);
  workLength_.assign(workPartitions_.size(), 0.0);
  workResolving_.assign(workPartitions_.size(), 0);
  workLeafLength_.assign(n_, 0.0);
  leafBLen_.assign(n_, 0.0);
}

TPartitionList::~TPartitionList() = default;

void TPartitionList::SetMaxNoOfTopologies(int n) { maxNoOfTopologies_ = std::max(n, NoOfTopologies()); }

double TPartitionList::TopologyFreq(int i) const {
  return i >= 0 && i < NoOfTopologies() ? topologies_[i].Freq : 0.0;
}

double TPartitionList::TopologyValue(int i) const {
  return i >= 0 && i < NoOfTopologies() ? topologies_[i].Value : 0.0;
}

double TPartitionList::TopologyValue2(int i) const {
  return i >= 0 && i < NoOfTopologies() ? topologies_[i].Value2 : 0.0;
}

double TPartitionList::TotalFrequency() const { return partitions_.empty() ? 0 : treeWeight_; }

std::string TPartitionList::GetOTUName(int i) const {
  return i >= 0 && i < OTUNames.Count() ? OTUNames[i] : std::string();
}

bool TPartitionList::isBLen() const {
  return std::any_of(partitions_.begin(), partitions_.end(),
                     [](const TPartition& split) { return split.BLen > 1e-15; });
}

bool TPartitionList::ExtractSplits(std::span<const TNodeRecord> nodes, const TTreeData* lengths,
                                   const TTreeData* supports) {
  const int n = n_;
  if (n < 2 || static_cast<int>(nodes.size()) != n - 1) return false;
  const int nodeCount = 2 * n - 1;
  const int root = 2 * n - 2;

  // Walk down from the root; a table in which some node is missed or reached
  // twice (a cycle, a shared child, a root elsewhere) is not a tree. Children
  // come after their parent in the walk, so reading it backwards visits them
  // first.
  seen_.assign(nodeCount, 0);
  walk_.clear();
  walk_.push_back(root);
  seen_[root] = 1;
  for (size_t i = 0; i < walk_.size(); ++i) {
    const int v = walk_[i];
    if (v < n) continue;
    for (int child : {nodes[v - n].des1, nodes[v - n].des2}) {
      if (child < 0 || child >= nodeCount || seen_[child]) return false;
      seen_[child] = 1;
      walk_.push_back(child);
    }
  }
  if (static_cast<int>(walk_.size()) != nodeCount) return false;

  const int r1 = nodes[n - 2].des1;
  const int r2 = nodes[n - 2].des2;
  auto length = [lengths](int v) { return lengths ? lengths->GetBLen(v) : 0.0; };

  // The two root branches are one edge: a taxon at the root owns all of it.
  if (lengths) {
    for (int t = 0; t < n; ++t) workLeafLength_[t] = length(t);
    if (r1 < n && r2 >= n) workLeafLength_[r1] += length(r2);
    if (r2 < n && r1 >= n) workLeafLength_[r2] += length(r1);
  }
  if (n < 4) return true;

  // Only one root child yields the root edge's split, and none when the other
  // is a taxon. The skipped child's slot goes to record N-3.
  int kept = -1;
  if (r1 < n) {
    skipped_ = r2;
  } else if (r2 < n) {
    skipped_ = r1;
  } else if (r1 == 2 * n - 3) {
    skipped_ = r1;
    kept = r2;
  } else {
    skipped_ = r2;
    kept = r1;
  }
  kept_ = kept;
  rootBranchIndex_ = skipped_ - n;

  // A node with negative support only resolves a multifurcation: its group
  // is no group of the tree. The two root branches are one edge, which is
  // such a node only when both are.
  auto resolving = [supports](int v) { return supports && supports->GetStats(v) < 0; };
  for (TPartition& split : workPartitions_) split.Reset();
  std::fill(workResolving_.begin(), workResolving_.end(), 0);
  for (size_t i = walk_.size(); i-- > 0;) {
    const int v = walk_[i];
    if (v < n || v == root || v == skipped_) continue;
    const int slot = SlotOfRecord(v - n);
    TPartition& split = workPartitions_[slot];
    for (int child : {nodes[v - n].des1, nodes[v - n].des2}) {
      if (child < n)
        split.SetBit(child, true);
      else
        split.OrWith(workPartitions_[SlotOfRecord(child - n)]);
    }
    workLength_[slot] = length(v) + (v == kept ? length(skipped_) : 0.0);
    workResolving_[slot] = resolving(v) && (v != kept || resolving(skipped_));
  }
  for (TPartition& split : workPartitions_) split.Normalise(n - 1);
  return true;
}

int TPartitionList::FindSplit(const TPartition& split) const {
  return lookup_->splits.Find(HashOf(split), [&](int j) { return partitions_[j].Equal(split); });
}

int TPartitionList::FindTopology(const std::vector<int32_t>& sortedIndex) const {
  return lookup_->topologies.Find(HashOf(sortedIndex),
                                  [&](int t) { return topologies_[t].PartitionIndex == sortedIndex; });
}

int TPartitionList::AppendSplit(const TPartition& split) {
  partitions_.push_back(split);
  const int j = NoOfPartitions() - 1;
  lookup_->splits.Insert(HashOf(split), j);
  return j;
}

void TPartitionList::StoreTopology(double freq, double value) {
  TTopology& topology = topologies_.emplace_back(workTopology_);
  topology.Freq = freq;
  topology.Value = value;
  lookup_->topologies.Insert(HashOf(topology.PartitionIndex), NoOfTopologies() - 1);
}

void TPartitionList::AddLeafLengths(double w) {
  // The weight is that of the trees whose lengths were tallied, so a tally
  // without splits (three taxa) still averages instead of keeping the last.
  const double d = leafWeight_;
  if (d + w > 0)
    for (int t = 0; t < n_; ++t) leafBLen_[t] = (w * workLeafLength_[t] + d * leafBLen_[t]) / (w + d);
  leafWeight_ += w;
}

bool TPartitionList::AddTree(const TTreeData& tree, bool distinct) {
  if (tree.NoOfOTUs() != n_) return false;
  const TTreeData* lengths = tree.isBLen() ? &tree : nullptr;
  if (!ExtractSplits(tree.NodeArray(), lengths, tree.isStats() ? &tree : nullptr)) return false;
  const double w = tree.Freq;
  const bool room = NoOfTopologies() < maxNoOfTopologies_;
  std::vector<int32_t>& index = workTopology_.PartitionIndex;

  // The splits of one tree are distinct, so a split appended for an earlier
  // slot is never met again by a later one.
  bool appended = false;
  for (size_t i = 0; i < workPartitions_.size(); ++i) {
    if (workResolving_[i]) {
      index[i] = -1;  // an unresolved edge of the topology
      continue;
    }
    TPartition& split = workPartitions_[i];
    const int j = FindSplit(split);
    if (j >= 0) {
      index[i] = j;
      if (!distinct) {
        TPartition& held = partitions_[j];
        if (lengths) held.BLen = MeanWith(held.BLen, held.Freq, workLength_[i], w);
        held.Freq += w;
      }
    } else {
      split.Freq = distinct ? 0 : w;
      split.BLen = lengths && !distinct ? workLength_[i] : 0;
      index[i] = AppendSplit(split);
      appended = true;
    }
  }

  if (!distinct) {
    std::sort(index.begin(), index.end());
    const int found = appended ? -1 : FindTopology(index);
    bool stored = false;
    if (found >= 0) {
      topologies_[found].AddFrequency(w);
    } else if (room) {
      StoreTopology(w, tree.Value);
      stored = true;
    }
    if (lengths) AddLeafLengths(w);
    treeWeight_ += w;
    return stored;
  }

  sortedIndex_ = index;
  std::sort(sortedIndex_.begin(), sortedIndex_.end());
  if (!appended && FindTopology(sortedIndex_) >= 0) return false;
  for (size_t i = 0; i < index.size(); ++i) {
    if (index[i] < 0) continue;
    TPartition& held = partitions_[index[i]];
    if (lengths) held.BLen = MeanWith(held.BLen, held.Freq, workLength_[i], w);
    held.Freq += w;
  }
  index.swap(sortedIndex_);
  if (room) StoreTopology(w, tree.Value);
  if (lengths) AddLeafLengths(w);
  treeWeight_ += w;
  return true;
}

int TPartitionList::IndexOfTree(std::span<const TNodeRecord> nodes, std::span<double> values) {
  const int valueCount = std::min(static_cast<int>(values.size()), std::max(0, n_ - 2));
  std::fill_n(values.begin(), valueCount, 0.0);
  if (!ExtractSplits(nodes, nullptr, nullptr)) return -1;

  std::vector<int32_t>& index = workTopology_.PartitionIndex;
  bool known = true;
  for (size_t i = 0; i < workPartitions_.size(); ++i) {
    index[i] = FindSplit(workPartitions_[i]);
    if (index[i] < 0) known = false;
  }

  if (n_ >= 4) {
    auto freqOfSlot = [&](int slot) { return index[slot] >= 0 ? partitions_[index[slot]].Freq : 0.0; };
    for (int k = 0; k < valueCount; ++k) {
      if (n_ + k == skipped_)
        values[k] = kept_ >= 0 ? freqOfSlot(SlotOfRecord(kept_ - n_)) : 0.0;
      else
        values[k] = freqOfSlot(SlotOfRecord(k));
    }
  }
  if (!known) return -1;
  std::sort(index.begin(), index.end());
  return FindTopology(index);
}

std::vector<int> SortSplitOrder(std::span<const double> freq) {
  std::vector<int> order(freq.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  if (order.size() < 2) return order;

  // The quicksort below decides the order of equal frequencies, and with it
  // which of two equally heavy conflicting splits the consensus keeps. Its two
  // parts never overlap, so taking them from a stack instead of recursing
  // gives the same order without deep recursion.
  auto f = [&](int position) { return freq[order[position]]; };
  std::vector<std::pair<int, int>> ranges{{0, static_cast<int>(order.size()) - 1}};
  while (!ranges.empty()) {
    const auto [L, R] = ranges.back();
    ranges.pop_back();
    const double p = f((L + R) / 2);
    int i = L - 1;
    int j = R + 1;
    do {
      do ++i; while (f(i) > p);
      do --j; while (f(j) < p);
      std::swap(order[i], order[j]);
    } while (j > i);
    std::swap(order[i], order[j]);
    if (L < i - 1) ranges.emplace_back(L, i - 1);
    if (j + 1 < R) ranges.emplace_back(j + 1, R);
  }
  return order;
}

namespace {

bool Bit(const uint32_t* words, int t) { return (words[t / 32] >> (t % 32)) & 1u; }

// Active clusters while a tree is built by joins: each cluster is represented
// by its lowest taxon, which stands for the cluster's top node.
class Clusters {
 public:
  Clusters(TTreeData& tree, int n) : nodes_(tree.NodeArray()), n_(n), clusterNode_(n), joined_(n, 0) {
    for (int t = 0; t < n; ++t) clusterNode_[t] = t;
  }

  // The first two active taxa (lowest first); with a split's words, only
  // those on its given side. False when there are fewer than two.
  bool FirstTwo(const uint32_t* split, bool side, int& a, int& b) const {
    a = b = -1;
    for (int t = 0; t < n_; ++t) {
      if (joined_[t] || (split && Bit(split, t) != side)) continue;
      if (a < 0) {
        a = t;
      } else {
        b = t;
        return true;
      }
    }
    return false;
  }

  // Record k joins the clusters of a and b; a then stands for node N+k.
  void Join(int k, int a, int b) {
    nodes_[k] = {static_cast<int16_t>(clusterNode_[a]), static_cast<int16_t>(clusterNode_[b])};
    clusterNode_[a] = n_ + k;
    joined_[b] = 1;
  }

 private:
  TArrayView<TNodeRecord> nodes_;
  int n_;
  std::vector<int> clusterNode_;
  std::vector<uint8_t> joined_;
};

// Fills the N-1 records of `tree` by joining clusters, taking the splits in
// the given order: a split is accepted when one of its sides has become two
// active clusters before a split taken earlier separated them; without such
// a pair, the smallest side of several clusters is resolved from its lowest
// taxa; with neither, the lowest two clusters are joined. Returns for each
// join k the position in `splits` of the split that gave its pair (-1 for
// none), and whether that pair made the split's side whole.
struct JoinSource {
  int split = -1;
  bool whole = false;
};

std::vector<JoinSource> JoinSplits(TTreeData& tree, int n, const std::vector<const TPartition*>& splits) {
  const int P = static_cast<int>(splits.size());
  // Kept by position, so that the pass over the unused splits after each
  // join reads memory front to back.
  const int words = (n + 31) / 32;
  std::vector<uint32_t> bits(static_cast<size_t>(P) * words);
  std::vector<int> count0(P), count1(P);
  std::vector<int> live(P);  // positions of the unused splits, ascending
  for (int r = 0; r < P; ++r) {
    const TPartition& split = *splits[r];
    std::copy(split.Bits().begin(), split.Bits().end(), bits.begin() + static_cast<size_t>(r) * words);
    count1[r] = split.Count();
    count0[r] = n - count1[r];
    live[r] = r;
  }
  auto splitBits = [&](int r) { return bits.data() + static_cast<size_t>(r) * words; };

  std::vector<JoinSource> sources(std::max(0, n - 1));
  Clusters clusters(tree, n);
  for (int k = 0; k <= n - 2; ++k) {
    int taken = -1;
    int remembered = -1;
    bool rememberedSide = false;
    int bound = n;
    for (int r : live) {
      if (count0[r] == 2 || count1[r] == 2) {
        taken = r;
        break;
      }
      if (count0[r] > 1 && count0[r] < bound) {
        remembered = r;
        rememberedSide = false;
        bound = count0[r];
      }
      if (count1[r] > 1 && count1[r] < bound) {
        remembered = r;
        rememberedSide = true;
        bound = count1[r];
      }
    }

    int a = -1, b = -1;
    if (taken >= 0)
      clusters.FirstTwo(splitBits(taken), count1[taken] == 2, a, b);
    else if (remembered >= 0)
      clusters.FirstTwo(splitBits(remembered), rememberedSide, a, b);
    else
      clusters.FirstTwo(nullptr, false, a, b);
    assert(a >= 0 && b > a);
    clusters.Join(k, a, b);
    sources[k] = {taken >= 0 ? taken : remembered, taken >= 0};

    // The taken split is used up. A split that separates the two joined
    // clusters conflicts with the new one and is dropped; the others see one
    // cluster fewer on b's side.
    size_t kept = 0;
    for (int r : live) {
      if (r == taken) continue;
      const uint32_t* split = splitBits(r);
      const bool sideB = Bit(split, b);
      if (Bit(split, a) != sideB) continue;
      if (sideB)
        --count1[r];
      else
        --count0[r];
      live[kept++] = r;
    }
    live.resize(kept);
  }
  return sources;
}

// Which splits agree with every split held by more than half of the total
// weight (those agree with one another, so they form one tree). Splits are
// kept with the last taxon on their 0 side, so each is read as the group of
// its set bits, and two agree when their groups are disjoint or nested.
std::vector<uint8_t> AgreeWithMajority(const std::deque<TPartition>& partitions, double total, int n) {
  const int P = static_cast<int>(partitions.size());
  std::vector<uint8_t> agree(P, 1);
  std::vector<int> majority;
  for (int j = 0; j < P; ++j)
    if (partitions[j].Freq > total / 2 * (1 + 1e-9)) majority.push_back(j);
  if (majority.empty()) return agree;

  // The majority groups as a forest, children before parents: the groups by
  // increasing size; owner[t] is the smallest group holding taxon t.
  std::vector<int> size(majority.size());
  for (size_t m = 0; m < majority.size(); ++m) size[m] = partitions[majority[m]].Count();
  std::vector<int> byGrowingSize(majority.size());
  for (size_t m = 0; m < majority.size(); ++m) byGrowingSize[m] = static_cast<int>(m);
  std::stable_sort(byGrowingSize.begin(), byGrowingSize.end(), [&](int x, int y) { return size[x] < size[y]; });
  std::vector<int> owner(n, -1), parent(majority.size(), -1);
  for (size_t i = byGrowingSize.size(); i-- > 0;) {
    const int m = byGrowingSize[i];
    const TPartition& group = partitions[majority[m]];
    bool first = true;
    for (int t = 0; t < n; ++t) {
      if (!group.GetBit(t)) continue;
      if (first) parent[m] = owner[t];  // the smallest larger group holding it
      first = false;
      owner[t] = m;
    }
  }

  std::vector<int> inside(majority.size());
  for (int j = 0; j < P; ++j) {
    const TPartition& split = partitions[j];
    if (split.Freq > total / 2 * (1 + 1e-9)) continue;
    std::fill(inside.begin(), inside.end(), 0);
    int count = 0;
    for (int t = 0; t < n; ++t) {
      if (!split.GetBit(t)) continue;
      ++count;
      if (owner[t] >= 0) ++inside[owner[t]];
    }
    for (int m : byGrowingSize) {
      if (parent[m] >= 0) inside[parent[m]] += inside[m];
      // Overlapping without either holding the other: they conflict.
      if (inside[m] > 0 && inside[m] < size[m] && inside[m] < count) {
        agree[j] = 0;
        break;
      }
    }
  }
  return agree;
}

}  // namespace

std::unique_ptr<TTreeData> TPartitionList::GetTopologyTree(int i) const {
  if (i < 0 || i >= NoOfTopologies() || n_ < 2) return nullptr;
  const TTopology& topology = topologies_[i];
  const int n = n_;
  if (static_cast<int>(topology.PartitionIndex.size()) != std::max(0, n - 3)) return nullptr;

  auto tree = std::make_unique<TTreeData>(n, true, false, true);
  tree->Freq = topology.Freq;
  tree->Value = topology.Value;
  tree->Value2 = topology.Value2;

  // Unresolved edges (-1) have no split; the others are joined in index order.
  std::vector<const TPartition*> splits;
  for (int32_t j : topology.PartitionIndex) {
    if (j >= NoOfPartitions()) return nullptr;
    if (j >= 0) splits.push_back(&partitions_[j]);
  }
  const std::vector<JoinSource> sources = JoinSplits(*tree, n, splits);
  // The last two joins close the tree; no split belongs to them. A join
  // before them that makes no split whole resolves a multifurcation (-1).
  for (int k = 0; k <= n - 4; ++k) {
    if (sources[k].whole) {
      tree->BLen()[n + k] = splits[sources[k].split]->BLen;
      tree->Stats()[n + k] = splits[sources[k].split]->Freq;
    } else {
      tree->Stats()[n + k] = -1;
    }
  }
  for (int t = 0; t < n; ++t) tree->BLen()[t] = leafBLen_[t];
  return tree;
}

void TPartitionList::BuildConsensusTree(TTreeData& tree) const {
  const int n = n_;
  if (n < 2 || tree.NoOfOTUs() != n) return;
  const int P = NoOfPartitions();

  std::vector<double> freq(P);
  for (int j = 0; j < P; ++j) freq[j] = partitions_[j].Freq;
  // A split of more than half the weight is always kept: the splits that
  // conflict with one are dropped before the walk, so that a lighter split
  // cannot be taken first and push it out.
  const std::vector<uint8_t> agree = AgreeWithMajority(partitions_, TotalFrequency(), n);
  std::vector<const TPartition*> splits;
  for (int j : SortSplitOrder(freq))
    if (agree[j]) splits.push_back(&partitions_[j]);

  const std::vector<JoinSource> sources = JoinSplits(tree, n, splits);
  for (int k = 0; k <= n - 2; ++k) {
    const TPartition* source = sources[k].split >= 0 ? splits[sources[k].split] : nullptr;
    tree.Stats()[k] = source ? source->Freq : -1.0;
    if (tree.isBLen()) tree.BLen()[k] = source ? source->BLen : 0.0;
  }
}
