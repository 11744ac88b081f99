#pragma once
// TList: the class library's growable list of untyped pointers.
//
// Index errors raise EListError "List index out of bounds (i)" (through the
// virtual Error) and leave the list unchanged. Descendants may react to
// entries coming and going by overriding Notify, which runs for non-null
// items after they were added, extracted or deleted; Put, Move, Exchange,
// Sort and Pack do not notify, except that Put reports the replaced and the
// new item. The list never owns its items. The destructor releases the array
// only: C++ never reaches a descendant's Notify from the base destructor, so
// a descendant that needs removal notices when it dies clears itself in its
// own destructor.

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/core/Object.h"

enum TListNotification : uint8_t { lnAdded, lnExtracted, lnDeleted };

// What a sorted list does with an item equal to one it holds.
enum TDuplicates : uint8_t { dupIgnore, dupAccept, dupError };

// The binary search of the sorted lists over Count ordered entries.
// CompareAt(i) is < 0 when entry i orders before the value looked for, 0 when
// equal, > 0 after. True when an equal entry exists; Index is then the first
// equal entry when duplicates are accepted, else the first equal entry
// probed; without one, Index is where the value would be inserted.
template <class CompareAt>
bool SortedSearch(int Count, TDuplicates Duplicates, CompareAt&& compareAt, int& Index) {
  int low = 0, high = Count - 1;
  bool found = false;
  while (low <= high) {
    const int middle = low + (high - low) / 2;
    const int c = compareAt(middle);
    if (c < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (c == 0) {
        found = true;
        if (Duplicates != dupAccept) low = middle;
      }
    }
  }
  Index = low;
  return found;
}

// < 0 when Item1 orders before Item2, 0 when equal, > 0 after.
using TListSortCompare = int (*)(void* Item1, void* Item2);

class TList : public TObject {
  KESTOVA_CLASS(TList)
 public:
  // The largest Count and Capacity.
  static constexpr int MaxListSize = 0x7FFFFFFF / 16;

  TList() = default;
  ~TList() override = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;

  int Count() const { return count_; }
  // Growing appends nullptr entries; shrinking deletes entries from the end.
  // Outside 0..MaxListSize: "List count out of bounds (n)".
  void SetCount(int NewCount);
  int Capacity() const { return capacity_; }
  // Below Count or above MaxListSize: "List capacity out of bounds (n)".
  void SetCapacity(int NewCapacity);

  void* Get(int Index) const;
  void* operator[](int Index) const { return Get(Index); }
  void Put(int Index, void* Item);
  // The entries themselves, Count of them; valid until the next change.
  void** List() { return items_.get(); }

  int Add(void* Item);
  void Insert(int Index, void* Item);  // Index 0..Count
  void Delete(int Index);
  // Deletes the first entry holding Item; its index, or -1 when absent.
  int Remove(void* Item);
  // Takes the first entry holding Item out with an lnExtracted notice; Item,
  // or nullptr when absent.
  void* Extract(void* Item);
  void Clear();  // Count and Capacity 0
  void Exchange(int Index1, int Index2);
  // Moves the entry at CurIndex to NewIndex. Both indices are checked before
  // anything changes.
  void Move(int CurIndex, int NewIndex);
  int IndexOf(const void* Item) const;
  void* First() const { return Get(0); }
  void* Last() const { return Get(count_ - 1); }
  // Makes room for one more entry when the list is full.
  TList* Expand();
  // Removes the nullptr entries.
  void Pack();
  // Quicksort with the middle entry as pivot; not stable.
  void Sort(TListSortCompare Compare);

 protected:
  // Raises capacity for the next insertion: by 4 up to 8 entries, by 16 up to
  // 64, then by a quarter.
  virtual void Grow();
  virtual void Notify(void* Item, TListNotification Action) {}
  // Raises EListError with Msg formatted with Data. An override must raise.
  virtual void Error(std::string_view Msg, intptr_t Data) const;

 private:
  [[noreturn]] void Fail(std::string_view Msg, intptr_t Data) const;
  void CheckIndex(int Index) const;
  std::unique_ptr<void*[]> items_;
  int count_ = 0;
  int capacity_ = 0;
};
