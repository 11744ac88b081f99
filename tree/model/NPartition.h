#pragma once
// TPartition: one split (bipartition) of the taxa of a tree, kept as a bit set
// over the taxa (bit k stands for taxon k), with the summed weight of the trees
// that contain the split and the weighted mean length of its branch. The split
// tally (NPartitionList.h) keeps one per distinct split.
//
// Invariant: bits at or above Size() are always 0. Growing zero-fills the new
// words, shrinking and Complement clear the bits above Size(), and OrWith
// ignores the other set's bits beyond this set's size, so comparing whole
// words (Equal) compares exactly the Size() bits.

#include <cstdint>
#include <string>
#include <vector>

class TPartition {
 public:
  TPartition() = default;

  // Summed weight of the trees containing the split; 0 at construction.
  double Freq = 0;
  // Frequency-weighted mean length of the split's branch; 0 at construction.
  double BLen = 0;

  // Number of bits (taxa); 0 at construction.
  int Size() const { return size_; }
  // ceil(Size() / 32) words; bit k is bit (k mod 32) of word (k div 32).
  const std::vector<uint32_t>& Bits() const { return bits_; }
  int WordCount() const { return static_cast<int>(bits_.size()); }

  // Changes the number of bits; negative n is ignored. Words added are
  // zero-filled, the leading words are kept, and bits at or above n are
  // cleared.
  void SetSize(int n);
  // Sets or clears bit k. A negative k is ignored; k >= Size() first grows the
  // set to k+1 bits (also when clearing).
  void SetBit(int k, bool value);
  // Bit k; false outside 0..Size()-1.
  bool GetBit(int k) const {
    if (k < 0 || k >= size_) return false;
    return (bits_[k / 32] >> (k % 32)) & 1u;
  }
  // Every bit 0 and Freq 0; BLen is kept.
  void Reset();
  // Inverts the Size() bits.
  void Complement();
  // Complements the set when bit k is set (0 <= k < Size()). The tally calls it
  // with the last taxon, so a split and its complement compare equal.
  void Normalise(int k);
  // True when the first WordCount() words of both sets are equal (this set's
  // word count decides; words the other set lacks count as 0). Two empty sets
  // are equal.
  bool Equal(const TPartition& other) const;
  // Word-wise or of the other set's bits into this one, over this set's words.
  void OrWith(const TPartition& other);
  void AddFrequency(double w) { Freq += w; }
  // Size, Freq, BLen and bits of other.
  void Assign(const TPartition& other) { *this = other; }

  // Number of set bits.
  int Count() const;
  // The bits as '0'/'1' characters, taxon 0 first (for tests and messages).
  std::string ToString() const;

 private:
  void ClearBitsAboveSize();

  int size_ = 0;
  std::vector<uint32_t> bits_;
};
