#include "platform/core/List.h"

#include <algorithm>
#include <string>

#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

KESTOVA_CLASS_INFO(TList, TObject, "Classes", &MakeObject<TList>)

void TList::Error(std::string_view Msg, intptr_t Data) const { throw EListError(Format(Msg, {Data})); }

void TList::Fail(std::string_view Msg, intptr_t Data) const {
  Error(Msg, Data);
  // Error must not return; when an override does, the list still must not go on.
  throw EListError(Format(Msg, {Data}));
}

void TList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= count_) Fail(kListIndexErrorText, Index);
}

void TList::Grow() {
  const int delta = capacity_ > 64 ? capacity_ / 4 : capacity_ > 8 ? 16 : 4;
  SetCapacity(std::min(capacity_ + delta, MaxListSize));
}

void TList::SetCapacity(int NewCapacity) {
  if (NewCapacity < count_ || NewCapacity > MaxListSize) Fail(kListCapacityErrorText, NewCapacity);
  if (NewCapacity == capacity_) return;
  std::unique_ptr<void*[]> items;
  if (NewCapacity > 0) {
    items = std::make_unique<void*[]>(NewCapacity);
    std::copy_n(items_.get(), count_, items.get());
  }
  items_ = std::move(items);
  capacity_ = NewCapacity;
}

void TList::SetCount(int NewCount) {
  if (NewCount < 0 || NewCount > MaxListSize) Fail(kListCountErrorText, NewCount);
  if (NewCount > capacity_) SetCapacity(NewCount);
  if (NewCount > count_) {
    std::fill(items_.get() + count_, items_.get() + NewCount, nullptr);
    count_ = NewCount;
  } else {
    for (int i = count_ - 1; i >= NewCount; --i) Delete(i);
  }
}

void* TList::Get(int Index) const {
  CheckIndex(Index);
  return items_[Index];
}

void TList::Put(int Index, void* Item) {
  CheckIndex(Index);
  void* old = items_[Index];
  if (old == Item) return;
  items_[Index] = Item;
  if (old) Notify(old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

int TList::Add(void* Item) {
  const int index = count_;
  Insert(index, Item);
  return index;
}

void TList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > count_) Fail(kListIndexErrorText, Index);
  if (count_ == capacity_) Grow();
  // A list at its limit, or a Grow override that added nothing.
  if (count_ == capacity_) Fail(kListCapacityErrorText, count_ + 1);
  std::copy_backward(items_.get() + Index, items_.get() + count_, items_.get() + count_ + 1);
  items_[Index] = Item;
  ++count_;
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
  CheckIndex(Index);
  void* item = items_[Index];
  std::copy(items_.get() + Index + 1, items_.get() + count_, items_.get() + Index);
  --count_;
  if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
  const int index = IndexOf(Item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* Item) {
  const int index = IndexOf(Item);
  if (index < 0) return nullptr;
  std::copy(items_.get() + index + 1, items_.get() + count_, items_.get() + index);
  --count_;
  if (Item) Notify(Item, lnExtracted);
  return Item;
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(items_[Index1], items_[Index2]);
}

void TList::Move(int CurIndex, int NewIndex) {
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  void** base = items_.get();
  if (CurIndex < NewIndex)
    std::rotate(base + CurIndex, base + CurIndex + 1, base + NewIndex + 1);
  else if (CurIndex > NewIndex)
    std::rotate(base + NewIndex, base + CurIndex, base + CurIndex + 1);
}

int TList::IndexOf(const void* Item) const {
  for (int i = 0; i < count_; ++i)
    if (items_[i] == Item) return i;
  return -1;
}

TList* TList::Expand() {
  if (count_ == capacity_) Grow();
  return this;
}

void TList::Pack() {
  void** end = std::remove(items_.get(), items_.get() + count_, nullptr);
  count_ = static_cast<int>(end - items_.get());
}

namespace {
void QuickSort(void** items, int low, int high, TListSortCompare compare) {
  // Sorts the smaller side by recursion and loops on the larger, so the
  // stack stays logarithmic whatever the input.
  while (low < high) {
    int i = low, j = high;
    void* pivot = items[low + (high - low) / 2];
    while (i <= j) {
      while (compare(items[i], pivot) < 0) ++i;
      while (compare(items[j], pivot) > 0) --j;
      if (i <= j) {
        std::swap(items[i], items[j]);
        ++i;
        --j;
      }
    }
    if (j - low < high - i) {
      QuickSort(items, low, j, compare);
      low = i;
    } else {
      QuickSort(items, i, high, compare);
      high = j;
    }
  }
}
}  // namespace

void TList::Sort(TListSortCompare Compare) {
  if (count_ > 1) QuickSort(items_.get(), 0, count_ - 1, Compare);
}
