#include "components/base/zrbaselib.h"

#include <algorithm>

#include "platform/core/Codecs.h"
#include "platform/core/Exceptions.h"

KESTOVA_CLASS_INFO(TFastList, TList, "zrbaselib", &MakeObject<TFastList>)
KESTOVA_CLASS_INFO(TCustomSortedList, TObject, "zrbaselib", nullptr)
KESTOVA_CLASS_INFO(TSortedList, TCustomSortedList, "zrbaselib", &MakeObject<TSortedList>)
KESTOVA_CLASS_INFO(TSortedKeyList, TSortedList, "zrbaselib", &MakeObject<TSortedKeyList>)
KESTOVA_CLASS_INFO(TSortedListEx, TSortedList, "zrbaselib", &MakeObject<TSortedListEx>)

namespace {
// Pointer-sized keys compared three-way: a difference would be cut to 32
// bits and overflow, so binary search would miss items that are present.
int ThreeWay(TSortKey a, TSortKey b) { return a < b ? -1 : a > b ? 1 : 0; }

TSortKey KeyOfPointer(const void* p) { return reinterpret_cast<TSortKey>(p); }

// The list whose order a running sort follows, one per thread.
thread_local TCustomSortedList* SortingList = nullptr;

int SortedListCompare(void* a, void* b) { return SortingList ? SortingList->CompareItems(a, b) : 0; }

// Takes entry 0 out (through the list's own Delete) and frees its item, until
// the list is empty.
template <class L>
void FreeItemsFirstToLast(L* list) {
  if (!list) return;
  while (list->Count() > 0) {
    void* item = list->Items(0);
    list->Delete(0);
    if (item) static_cast<TObject*>(item)->Free();
  }
}

// A pointer list answers Items as the sorted lists do.
struct PointerListItems {
  TList* list;
  int Count() const { return list ? list->Count() : 0; }
  void* Items(int index) const { return list->Get(index); }
  void Delete(int index) const { list->Delete(index); }
};
}  // namespace

// ---- Sorted lists ----

TCustomSortedList::TCustomSortedList() : items_(std::make_unique<TFastList>()) {}

TCustomSortedList::~TCustomSortedList() = default;

int TCustomSortedList::CompareKey(void* Item, TSortKey Key) { return ThreeWay(KeyOfPointer(Item), Key); }

int TCustomSortedList::CompareItems(void* Item1, void* Item2) {
  return ThreeWay(KeyOfPointer(Item1), KeyOfPointer(Item2));
}

int TCustomSortedList::CompareItemWithKey(void* Item, TSortKey Key) {
  return CompareItems(Item, reinterpret_cast<void*>(Key));
}

void TCustomSortedList::Delete(int Index) { items_->Delete(Index); }

bool TCustomSortedList::BinarySearch(TSortKey Key, int& Index, const TCompareMethod& Compare) {
  void* const* items = items_->List();
  return SortedSearch(
      Count(), duplicates_, [&](int i) { return Compare(items[i], Key); }, Index);
}

bool TCustomSortedList::Search(void* Item, int& Index) {
  if (sorted_)
    return BinarySearch(KeyOfPointer(Item), Index, TCompareMethod::Of<&TCustomSortedList::CompareItemWithKey>(*this));
  Index = items_->IndexOf(Item);
  return Index >= 0;
}

int TCustomSortedList::IndexOfItem(void* Item) {
  int index;
  return Search(Item, index) ? index : -1;
}

int TCustomSortedList::Add(void* Item) {
  if (!sorted_) return items_->Add(Item);
  int index;
  if (Search(Item, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) RaiseError(ResourceText(kDuplicateItemText));
  }
  items_->Insert(index, Item);
  return index;
}

int TCustomSortedList::Remove(void* Item) {
  int index;
  if (!Search(Item, index)) return -1;
  Delete(index);
  return index;
}

bool TCustomSortedList::FindKeyIndex(TSortKey Key, int& Index) {
  if (sorted_) return BinarySearch(Key, Index, TCompareMethod::Of<&TCustomSortedList::CompareKey>(*this));
  Index = IndexOfKey(Key);
  return Index >= 0;
}

int TCustomSortedList::IndexOfKey(TSortKey Key) {
  if (!sorted_) {
    for (int i = 0; i < Count(); ++i)
      if (CompareKey(items_->List()[i], Key) == 0) return i;
    return -1;
  }
  int index;
  return FindKeyIndex(Key, index) ? index : -1;
}

void* TCustomSortedList::FindKey(TSortKey Key) {
  const int index = IndexOfKey(Key);
  return index < 0 ? nullptr : Items(index);
}

void TCustomSortedList::SetSorted(bool Value) {
  if (Value == sorted_) return;
  sorted_ = Value;
  if (!Value) return;
  for (int i = Count() - 2; i >= 0; --i) {
    if (CompareItems(items_->List()[i], items_->List()[i + 1]) > 0) {
      TCustomSortedList* const outer = std::exchange(SortingList, this);
      items_->Sort(&SortedListCompare);
      SortingList = outer;
      return;
    }
  }
}

TSortKey TSortedKeyList::KeyOf(void* Item) { return KeyOfPointer(Item); }

int TSortedKeyList::CompareKey(void* Item, TSortKey Key) { return ThreeWay(KeyOf(Item), Key); }

int TSortedKeyList::CompareItems(void* Item1, void* Item2) { return ThreeWay(KeyOf(Item1), KeyOf(Item2)); }

bool SortedListSearch(TSortedListEx* List, void* Item, int& Index) {
  if (!List->Sorted()) {
    Index = List->items_->IndexOf(Item);
    return Index >= 0;
  }
  int low = 0, high = List->Count() - 1;
  bool found = false;
  while (low <= high) {
    const int middle = low + (high - low) / 2;
    List->compareIndex_ = middle;
    const int c = List->CompareItems(List->items_->List()[middle], Item);
    if (c < 0) {
      low = middle;
    } else {
      high = middle;
      if (c == 0) {
        found = true;
        low = middle;
        break;
      }
    }
    if (high - low <= 1) break;
  }
  Index = low;
  return found;
}

void FreeSortedListItems(TCustomSortedList* List) { FreeItemsFirstToLast(List); }

// ---- Errors and freeing ----

void RaiseError(const std::string& Msg) { throw Exception(Msg); }

void RaiseFmtError(std::string_view Fmt, std::initializer_list<FormatArg> Args) { throw Exception(Format(Fmt, Args)); }

std::string ResourceText(std::string Text) { return Text; }

void FreeListItems(TList* List) {
  PointerListItems items{List};
  FreeItemsFirstToLast(&items);
}

// ---- Lists and strings ----

void CopyListItems(TList* Source, TList* Dest) {
  if (Source == Dest) return;
  Dest->SetCount(Source->Count());
  std::copy_n(Source->List(), Source->Count(), Dest->List());
}

std::string BackupFileName(std::string_view FileName) {
  const size_t nameStart = FileName.rfind('/') == std::string_view::npos ? 0 : FileName.rfind('/') + 1;
  const size_t dot = FileName.rfind('.');
  if (dot == std::string_view::npos || dot < nameStart) return std::string(FileName) + ".~";
  std::string extension = "." "~" + std::string(FileName.substr(dot + 1));
  extension.resize(std::min<size_t>(extension.size(), 4));
  return std::string(FileName.substr(0, dot)) + extension;
}

std::string ReplaceChar(char From, char To, std::string_view S) {
  std::string out(S);
  std::replace(out.begin(), out.end(), From, To);
  return out;
}

void AddSeparatedStrings(std::string_view Text, char Separator, TStrings& List) {
  TStringList lines;
  lines.SetText(ReplaceChar(Separator, '\n', Text));
  List.AddStrings(lines);
}

namespace {
// PosFrom (Last = false) and LastPosFrom over bytes or characters.
template <class View>
int SearchFrom(View sub, View s, int start, bool last) {
  if (sub.empty() || s.empty() || s.size() < sub.size() || start < 1 || static_cast<size_t>(start) > s.size()) return 0;
  const size_t found = last ? s.rfind(sub, start - 1) : s.find(sub, start - 1);
  return found == View::npos ? 0 : static_cast<int>(found) + 1;
}
}  // namespace

int PosFrom(std::string_view Sub, std::string_view S, int Start) { return SearchFrom(Sub, S, Start, false); }
int LastPosFrom(std::string_view Sub, std::string_view S, int Start) { return SearchFrom(Sub, S, Start, true); }
int PosFrom(std::u32string_view Sub, std::u32string_view S, int Start) { return SearchFrom(Sub, S, Start, false); }
int LastPosFrom(std::u32string_view Sub, std::u32string_view S, int Start) { return SearchFrom(Sub, S, Start, true); }

void IndexQuickSort(int Low, int High, const TIndexExchange& Exchange, const TIndexCompare& Compare) {
  while (Low < High) {
    int i = Low, j = High;
    int pivot = Low + (High - Low) / 2;
    do {
      while (Compare(i, pivot) < 0) ++i;
      while (Compare(j, pivot) > 0) --j;
      if (i <= j) {
        if (i != j) {
          if (Compare(i, j) != 0) Exchange(i, j);
          // The pivot is a position: it follows its element.
          if (pivot == i)
            pivot = j;
          else if (pivot == j)
            pivot = i;
        }
        ++i;
        --j;
      }
    } while (i <= j);
    if (Low < j) IndexQuickSort(Low, j, Exchange, Compare);
    Low = i;
  }
}

// ---- Interfaces ----

TObject* GetImplementingObject(IInterface* Intf) {
  // A cast, not Supports: asking must not take or drop a reference.
  auto* access = dynamic_cast<IZRObjectAccess*>(Intf);
  return access ? access->GetObject() : nullptr;
}

bool InterfaceAsObject(IInterface* Intf, TClass AClass, TObject*& Object) {
  Object = GetImplementingObject(Intf);
  if (Object && Object->InheritsFrom(AClass)) return true;
  Object = nullptr;
  return false;
}

std::u16string StringToOleStrEx(std::string_view S) { return Utf8ToUtf16(S); }
