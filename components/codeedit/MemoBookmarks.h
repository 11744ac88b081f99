#pragma once
// Keyed positions of a text store, sorted by line, then column.

#include <cstdint>

#include "components/base/zrbaselib.h"

struct TMemoPositionRec {
  std::int32_t Char;
  std::int32_t Line;
  std::int32_t Key;
};

// Owns its records (allocated per entry); sorted by Line, then Char.
class TMemoPositionList : public TSortedListEx {
  KESTOVA_CLASS(TMemoPositionList)
 public:
  TMemoPositionList();
  ~TMemoPositionList() override;
  TMemoPositionRec& Rec(int Index) const { return *static_cast<TMemoPositionRec*>(Items(Index)); }
  int CompareItems(void* Item1, void* Item2) override;
  void Delete(int Index) override;
  void AddRec(const TMemoPositionRec& R);
  void ClearRecs();
  // Puts the records back in order after their fields changed.
  void Resort();
};

// Sorted by Line, then Char, then Key; keys 1..255, 0 means none.
class TMemoBookMarkList : public TMemoPositionList {
  KESTOVA_CLASS(TMemoBookMarkList)
 public:
  int CompareItems(void* Item1, void* Item2) override;
  // The index of the last record with Key, -1 when none.
  int LastIndexOfKey(int Key) const;
};
