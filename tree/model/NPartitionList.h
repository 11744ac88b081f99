#pragma once
// TPartitionList: the tally of many trees over the same N taxa. It keeps every
// distinct non-trivial split with its summed weight and weighted mean branch
// length, every distinct topology (the sorted indices of its splits) with its
// summed weight and a per-topology Value, and the weighted mean length of each
// taxon's branch; from the tally it rebuilds topology trees and the greedy
// consensus tree. The tree box uses it as a source of trees and as the
// temporary tally behind the consensus of a tree list.
//
// Splits are unrooted: each is stored with the last taxon (N-1) on its 0 side,
// so a split and its complement are one entry, and the two branches at a
// tree's root count as one edge whose length is the sum of both. The tally of
// a tree therefore does not depend on where the tree is rooted.
//
// Invariants: Partitions() holds no split twice, in order of first appearance;
// Topologies() holds no topology twice, in order of first appearance, each with
// its split indices ascending.
//
// Trees are read as TTreeData (NTreeData.h): taxa 0..N-1, record k is node
// N+k, the root in the last record (node 2N-2). A node table that is not such
// a tree is refused (AddTree returns false, IndexOfTree -1) and changes
// nothing.

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/core/StringList.h"
#include "tree/model/NPartition.h"
#include "tree/model/NTreeData.h"

// One stored topology.
struct TTopology {
  explicit TTopology(int NoOfOTUs = 0);

  // Summed weight of the trees with this topology.
  double Freq = 0;
  // The Value of the first tree of this topology that was added.
  double Value = 0;
  // A second value; the tally leaves it 0.
  double Value2 = 0;
  // Indices of its N-3 splits in the tally's split list, ascending (none when
  // N <= 3); -1 (first) for each edge of a tree that only resolves a
  // multifurcation.
  std::vector<int32_t> PartitionIndex;
  int NoOfOTUs = 0;

  void Assign(const TTopology& other) { *this = other; }
  void AddFrequency(double w) { Freq += w; }
};

class TPartitionList {
 public:
  // A tally over NoOfOTUs taxa that stores at most MaxNoOfTopologies
  // topologies (0: splits only). The third argument is not used. Raises
  // ERangeError when NoOfOTUs is above kMaxNoOfOTUs; a negative count is 0.
  TPartitionList(int NoOfOTUs, int MaxNoOfTopologies, int unused = 0);
  ~TPartitionList();
  TPartitionList(const TPartitionList&) = delete;
  TPartitionList& operator=(const TPartitionList&) = delete;

  // Information lines, copied into the tree list the tree box builds.
  TStringList Information;
  // Captions of the topologies' Value and Value2; empty when there are none.
  std::string ValueName;
  std::string Value2Name;
  // Caption of the frequencies.
  std::string FreqName = "Frequency";
  // Caption of the support values; empty means FreqName.
  std::string StatsName;
  // Distances handed on to the tree view; not owned.
  TDistanceMatrix* DistanceMatrix = nullptr;
  TStringList OTUNames;
  bool isRooted = false;

  int NoOfOTUs() const { return n_; }
  int MaxNoOfTopologies() const { return maxNoOfTopologies_; }
  // Never below the number of topologies already stored.
  void SetMaxNoOfTopologies(int n);

  // Tallies one tree of weight tree.Freq. With distinct false every tree
  // counts; with distinct true only the first tree of each topology counts
  // (later ones change nothing). Branch lengths, when the tree has them, feed
  // the splits' and taxa's weighted means; a split first seen in a tree
  // without lengths starts with length 0. Returns true when the tree's
  // topology is new and was stored (or, with distinct true, when it is new,
  // stored or not: beyond MaxNoOfTopologies its splits are still tallied).
  // In a tree with support values, a node whose support is negative (the -1
  // the Newick reader gives the nodes that resolve a multifurcation) has no
  // split: its edge is not tallied (the root edge only when both root
  // children are such nodes). Returns false and changes nothing for a tree
  // over another number of taxa or with a node table that is not a tree
  // rooted in its last record.
  bool AddTree(const TTreeData& tree, bool distinct);

  // Index of the stored topology of the tree given by its N-1 node records;
  // -1 when one of its splits is not held, no stored topology equals it, or
  // the records are not a tree rooted in the last record. When `values` is
  // given, its entries k = 0..N-3 (as many as it holds) receive the Freq of the
  // split of internal node N+k, 0 when unknown; both root children get that of
  // their common edge, and a root child whose sibling is a taxon gets 0.
  int IndexOfTree(std::span<const TNodeRecord> nodes, std::span<double> values = {});

  int NoOfTopologies() const { return static_cast<int>(topologies_.size()); }
  int NoOfPartitions() const { return static_cast<int>(partitions_.size()); }
  const std::deque<TPartition>& Partitions() const { return partitions_; }
  const std::vector<TTopology>& Topologies() const { return topologies_; }
  // Mean length of each taxon's branch (N entries), weighted by the trees
  // with branch lengths that were tallied.
  const std::vector<double>& LeafBLen() const { return leafBLen_; }

  // Fields of stored topology i; 0 outside 0..NoOfTopologies()-1.
  double TopologyFreq(int i) const;
  double TopologyValue(int i) const;
  double TopologyValue2(int i) const;

  // The total weight of the trees tallied (with distinct, of those that
  // counted); 0 when no split is held.
  double TotalFrequency() const;
  // TotalFrequency(); the tree box's support total.
  double GetMaxStats() const { return TotalFrequency(); }
  // StatsName, or FreqName when StatsName is empty.
  std::string GetStatsName() const { return StatsName.empty() ? FreqName : StatsName; }
  // Name i; empty outside the names held.
  std::string GetOTUName(int i) const;
  // Some held split has a mean length above 1e-15.
  bool isBLen() const;

  // A new tree (branch lengths, stats flag, no standard errors) of stored
  // topology i: Freq, Value, Value2 of the topology; node N+k of each split's
  // join carries the split's mean length and its Freq as support; the two
  // closing joins (nodes 2N-3 and the root) carry 0, a join no split makes
  // whole (an unresolved part) carries support -1 and length 0; taxon t has
  // length LeafBLen()[t] and support 0. nullptr when i is outside the stored
  // topologies or the topology cannot be rebuilt.
  std::unique_ptr<TTreeData> GetTopologyTree(int i) const;

  // Fills `tree` (over N taxa; another tree is left untouched) with the fully
  // resolved greedy consensus of all held splits. Every split of more than
  // half of TotalFrequency() is kept, and the splits that conflict with one
  // are dropped first. Of the rest, heaviest first, in the order of
  // SortSplitOrder, a split is accepted when it becomes a pair of active
  // clusters before a heavier conflicting split removed it. Join k builds
  // record k (record N-2 is the root) and writes its values at index k, not
  // at node N+k (the tree box moves them): support := the accepting split's
  // Freq and, when the tree has branch lengths, length := its BLen. A join no
  // split backs (a star part of the consensus, and the last joins) gets
  // support -1, the mark of a node that only resolves a multifurcation, and
  // length 0. Freq, Value and Value2 of the tree are not touched, nor entries
  // N-1..2N-3 of its arrays.
  void BuildConsensusTree(TTreeData& tree) const;

 private:
  struct Lookup;

  bool ExtractSplits(std::span<const TNodeRecord> nodes, const TTreeData* lengths, const TTreeData* supports);
  int FindSplit(const TPartition& split) const;
  int FindTopology(const std::vector<int32_t>& sortedIndex) const;
  int AppendSplit(const TPartition& split);
  void StoreTopology(double freq, double value);
  void AddLeafLengths(double w);
  int SlotOfRecord(int record) const { return record == n_ - 3 ? rootBranchIndex_ : record; }

  int n_ = 0;
  int maxNoOfTopologies_ = 0;
  // Record index of the root child whose edge is not tallied separately.
  int rootBranchIndex_ = 0;
  // Node numbers of that root child and of its internal sibling (-1 when the
  // sibling is a taxon), from the last extraction.
  int skipped_ = -1;
  int kept_ = -1;
  // The splits of the tree being added or looked up: slot k holds the split of
  // record k, except record N-3, which uses the slot of the skipped root child.
  std::vector<TPartition> workPartitions_;
  std::vector<double> workLength_;
  // Slot k's node has negative support: it only resolves a multifurcation.
  std::vector<uint8_t> workResolving_;
  std::vector<double> workLeafLength_;
  TTopology workTopology_;
  std::deque<TPartition> partitions_;
  std::vector<TTopology> topologies_;
  std::vector<double> leafBLen_;
  // Summed weight of the trees whose lengths went into leafBLen_.
  double leafWeight_ = 0;
  // Summed weight of the trees tallied (with distinct, of the first of each
  // topology).
  double treeWeight_ = 0;
  // Scratch for checking and walking a node table.
  std::vector<int32_t> walk_;
  std::vector<int32_t> sortedIndex_;
  std::vector<uint8_t> seen_;
  std::unique_ptr<Lookup> lookup_;
};

// The order in which the consensus considers splits of the given frequencies:
// positions sorted by decreasing frequency with the tally's own quicksort,
// whose handling of equal frequencies is part of the result (frequencies 5, 5
// give 1, 0; 5, 5, 5 give 2, 1, 0; 3, 5, 4, 5 give 3, 1, 2, 0).
std::vector<int> SortSplitOrder(std::span<const double> freq);
