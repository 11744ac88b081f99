#include "tree/model/NPartition.h"

#include <algorithm>
#include <bit>

namespace {
int WordsFor(int bits) { return (bits + 31) / 32; }
}  // namespace

void TPartition::SetSize(int n) {
  if (n < 0 || n == size_) return;
  bits_.resize(WordsFor(n), 0u);
  size_ = n;
  ClearBitsAboveSize();
}

void TPartition::SetBit(int k, bool value) {
  if (k < 0) return;
  if (k >= size_) SetSize(k + 1);
  const uint32_t mask = 1u << (k % 32);
  if (value)
    bits_[k / 32] |= mask;
  else
    bits_[k / 32] &= ~mask;
}

void TPartition::Reset() {
  std::fill(bits_.begin(), bits_.end(), 0u);
  Freq = 0;
}

void TPartition::Complement() {
  for (uint32_t& word : bits_) word = ~word;
  ClearBitsAboveSize();
}

void TPartition::Normalise(int k) {
  if (GetBit(k)) Complement();
}

bool TPartition::Equal(const TPartition& other) const {
  const size_t common = std::min(bits_.size(), other.bits_.size());
  for (size_t i = 0; i < common; ++i)
    if (bits_[i] != other.bits_[i]) return false;
  for (size_t i = common; i < bits_.size(); ++i)
    if (bits_[i] != 0) return false;
  return true;
}

void TPartition::OrWith(const TPartition& other) {
  const size_t common = std::min(bits_.size(), other.bits_.size());
  for (size_t i = 0; i < common; ++i) bits_[i] |= other.bits_[i];
  ClearBitsAboveSize();
}

int TPartition::Count() const {
  int count = 0;
  for (uint32_t word : bits_) count += std::popcount(word);
  return count;
}

std::string TPartition::ToString() const {
  std::string text(size_, '0');
  for (int k = 0; k < size_; ++k)
    if (GetBit(k)) text[k] = '1';
  return text;
}

void TPartition::ClearBitsAboveSize() {
  if (size_ % 32 != 0 && !bits_.empty()) bits_.back() &= (1u << (size_ % 32)) - 1u;
}
