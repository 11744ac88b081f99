#pragma once
// The hidden lines of a text store: ascending line numbers, no duplicates,
// kept as the items of a sorted list, and the mapping between real line
// numbers and the numbers of the lines that stay visible.

#include <cstdint>

#include "components/base/zrbaselib.h"

class TVisibleLinesList : public TSortedListEx {
  KESTOVA_CLASS(TVisibleLinesList)
 public:
  // Compares line numbers, or, with MinusIndex, an entry's line number less
  // its index with the line number searched for (h - k is non-decreasing, so
  // a search over it counts the hidden lines before a visible number).
  bool MinusIndex = false;
  int CompareItems(void* Item1, void* Item2) override;

  std::int32_t Line(int Index) const;
  bool IsHidden(std::int32_t Line);
  // False when the line already was hidden (or visible).
  bool Hide(std::int32_t Line);
  bool Show(std::int32_t Line);

  // Real minus the hidden lines at or above it.
  std::int32_t RealToVisible(std::int32_t Real);
  // Visible plus the hidden lines h (the k-th counted from 0) with h - k <= Visible.
  std::int32_t VisibleToReal(std::int32_t Visible);
};
