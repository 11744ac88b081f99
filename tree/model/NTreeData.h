#pragma once
// TTreeData: one binary tree over N taxa, the unit of exchange between the
// tree model, the Newick reader and writer, the tree view and the main window.
//
// Node numbering (used by everything that touches trees):
// - taxa (leaves) are nodes 0..N-1, in the order of the tree list's names;
// - the internal node held in NodeArray entry i is node N+i (i = 0..N-2);
// - the root is the internal node that is no node's child; every tree the
//   program builds keeps it in the last record, node 2N-2;
// - BLen, SE and Stats are indexed by node number 0..2N-3: entry k belongs to
//   the branch from node k's parent down to node k; the root has no entry.
//
// Limits: N is at least 2 (smaller requests become 2) and at most
// kMaxNoOfOTUs, because node numbers are stored as signed 16-bit values.

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/core/Exceptions.h"

class TStream;

inline constexpr int kMaxNoOfOTUs = 16384;

inline constexpr const char* kSetBLenWithoutBLenText = "Error: Attempting to set BLen when BLen = nil.";

// One internal node: its two children, as node numbers.
struct TNodeRecord {
  int16_t des1 = 0;
  int16_t des2 = 0;
  bool operator==(const TNodeRecord&) const = default;
};

// A fixed-size view of one of a tree's arrays, for filling records and values
// in place. Indexing outside 0..Count()-1 raises ERangeError; the view of an
// absent array has Count() 0.
template <typename T>
class TArrayView {
 public:
  TArrayView() = default;
  TArrayView(T* data, int count) : data_(data), count_(count) {}
  // A view of mutable values reads as a view of constant ones.
  template <typename U>
    requires std::is_convertible_v<U*, T*>
  TArrayView(const TArrayView<U>& other) : data_(other.begin()), count_(other.Count()) {}
  int Count() const { return count_; }
  bool Present() const { return count_ > 0; }
  T& operator[](int index) const {
    if (static_cast<unsigned>(index) >= static_cast<unsigned>(count_)) throw ERangeError();
    return data_[index];
  }
  T* begin() const { return data_; }
  T* end() const { return data_ + count_; }

 private:
  T* data_ = nullptr;
  int count_ = 0;
};

class TTreeData {
 public:
  // N := NoOfOTUs (2 when below 2); every array zero-filled; BLen and SE only
  // when asked for; Stats always. Raises ERangeError when NoOfOTUs is above
  // kMaxNoOfOTUs.
  TTreeData(int NoOfOTUs, bool isBLen, bool isSE, bool isStats);

  // Frequency or weight of the tree, and two per-tree scores whose captions
  // the tree list holds. 0 at creation.
  double Freq = 0;
  double Value = 0;
  double Value2 = 0;

  int NoOfOTUs() const { return noOfOTUs_; }
  // Ignored when n is below 2 or equal to N. Otherwise every array is resized
  // to the new N, keeping its leading entries and zero-filling new ones.
  // Raises ERangeError when n is above kMaxNoOfOTUs.
  void SetNoOfOTUs(int n);

  // The arrays, filled in place by the tree model, the tree view and the main
  // window: N-1 node records, 2N-2 lengths, errors and support values.
  TArrayView<TNodeRecord> NodeArray() { return {nodes_.data(), static_cast<int>(nodes_.size())}; }
  TArrayView<const TNodeRecord> NodeArray() const { return {nodes_.data(), static_cast<int>(nodes_.size())}; }
  TArrayView<double> BLen() { return {blen_.data(), static_cast<int>(blen_.size())}; }
  TArrayView<const double> BLen() const { return {blen_.data(), static_cast<int>(blen_.size())}; }
  TArrayView<double> SE() { return {se_.data(), static_cast<int>(se_.size())}; }
  TArrayView<const double> SE() const { return {se_.data(), static_cast<int>(se_.size())}; }
  TArrayView<double> Stats() { return {stats_.data(), static_cast<int>(stats_.size())}; }
  TArrayView<const double> Stats() const { return {stats_.data(), static_cast<int>(stats_.size())}; }

  // Record i (0..N-2); a record with both children 0 outside that range.
  TNodeRecord GetNode(int i) const;
  // 0 outside 0..2N-3, and for an absent array.
  double GetBLen(int i) const;
  double GetSE(int i) const;
  double GetStats(int i) const;
  // Ignored outside 0..2N-3. SetBLen raises Exception(kSetBLenWithoutBLenText)
  // when the tree has no branch lengths; SetSE ignores the call when the tree
  // has no standard errors.
  void SetBLen(int i, double value);
  void SetSE(int i, double value);
  void SetStats(int i, double value);

  // Presence of the length and error arrays: switching on allocates a zeroed
  // array, switching off frees it.
  bool isBLen() const { return !blen_.empty(); }
  void SetIsBLen(bool value);
  bool isSE() const { return !se_.empty(); }
  void SetIsSE(bool value);
  // The tree carries support values. Changing the flag zero-fills Stats;
  // setting the value it already has does nothing.
  bool isStats() const { return isStats_; }
  void SetIsStats(bool value);
  // Sum of the branch lengths; 0 without branch lengths.
  double SBL() const;

  // Copies other into this tree when both have the same N (flags, records,
  // the three values and every array); returns false and changes nothing
  // otherwise.
  bool Assign(const TTreeData& other);

  // True when the node table is one tree: every child is a node number in
  // 0..2N-2, no node is a child twice, the one node that is nobody's child is
  // internal, and every node can be reached from it.
  bool IsValidTopology() const;

  // The binary tree record at the stream's position: Freq, Value, Value2,
  // the node records (des1, des2 as signed 16-bit), then BLen and SE when
  // present, then Stats; little-endian. The record carries no count or flags:
  // the caller creates the tree with the right N and flags first.
  // Writing always writes Stats. Reading reads Stats with version 2 or above,
  // and with older versions only when isStats is set. A short transfer raises
  // EInOutError; a node table that is not a tree raises ERangeError. Either
  // leaves the tree partly filled.
  void WriteToFile(TStream& F) const;
  void ReadFromFile(TStream& F, int version);

  bool operator==(const TTreeData&) const = default;

 private:
  int noOfOTUs_ = 2;
  std::vector<TNodeRecord> nodes_;
  std::vector<double> blen_;
  std::vector<double> se_;
  std::vector<double> stats_;
  bool isStats_ = false;
};

// Matrix and error helpers shared by the tree model and the tree view.

// Distances between taxa as rows of doubles: row i holds n entries in a
// square matrix, i+1 (columns 0..i) in a lower-triangular one.
using TDistanceMatrix = std::vector<std::vector<double>>;

// A zero-filled matrix of n rows (none when n <= 0). An allocation failure
// raises Exception with the out-of-memory text and help context 4523; no
// partly built matrix reaches the caller.
std::unique_ptr<TDistanceMatrix> CreateDistanceMatrix(int n, bool square);
// Releases the matrix; the caller's pointer is emptied.
void FreeDistanceMatrix(std::unique_ptr<TDistanceMatrix>& matrix);

// Releases what the holder refers to and leaves it empty; nothing happens for
// an empty holder.
template <typename T>
void FreeMemAndNil(std::unique_ptr<T>& block) {
  block.reset();
}
template <typename T>
void FreeMemAndNil(std::vector<T>& block) {
  std::vector<T>().swap(block);
}

// The name trimmed of outer blanks and control characters, with every
// remaining blank made "_".
std::string BlanksToUnderscores(const std::string& name);

// Raises Exception(message, context); a negative context raises
// "Unexpected error encountered." with help context 4523 instead.
[[noreturn]] void RaiseWithHelpContext(int context, const std::string& message);
