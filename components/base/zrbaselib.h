#pragma once
// The component family's base library: sorted lists of untyped item pointers
// and the small routines that every module of the family calls.
//
// Sorted lists never own their items: freeing a list frees only its storage;
// FreeSortedList frees the items too. Items that FreeSortedListItems,
// FreeListItems or FreeListAndItems free must have been stored as TObject
// pointers.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/classes/Interfaces.h"
#include "platform/core/Events.h"
#include "platform/core/Exceptions.h"
#include "platform/core/List.h"
#include "platform/core/Object.h"
#include "platform/core/StrUtils.h"
#include "platform/core/StringList.h"

// Raised as the general exception when a sorted list refuses a duplicate.
inline constexpr const char* kDuplicateItemText = "Can't insert duplicate item";

// The family's emphasis marker: list drawing shows text between two of them
// in the emphasised font.
inline char EmphasisMarker = '~';

// ---- Sorted lists ----

// The pointer list that sorted lists keep their items in.
class TFastList : public TList {
  KESTOVA_CLASS(TFastList)
};

// A key to look items up by: pointer-sized, so that an address or a class
// reference is a key without losing bits.
using TSortKey = intptr_t;

class TSortedListEx;

// Orders untyped item pointers by overridable comparisons and finds them by
// binary search. Invariant: while Sorted, the items are in non-decreasing
// order under CompareItems. A new list is sorted and ignores duplicates.
// Index errors raise the item store's EListError.
class TCustomSortedList : public TObject {
  KESTOVA_CLASS(TCustomSortedList)
 public:
  // Called as (item in the list, key): < 0 when the item orders before the
  // key, 0 when equal, > 0 after.
  using TCompareMethod = TMethodPointer<int(void* Item, TSortKey Key)>;

  TCustomSortedList();
  ~TCustomSortedList() override;
  TCustomSortedList(const TCustomSortedList&) = delete;
  TCustomSortedList& operator=(const TCustomSortedList&) = delete;

  int Count() const { return items_->Count(); }
  void* Items(int Index) const { return items_->Get(Index); }
  // Empties the list without calling Delete.
  void Clear() { items_->Clear(); }

  // Unsorted: appends. Sorted: inserts at the search position; an equal item
  // is ignored (the equal item's index is returned), refused with
  // kDuplicateItemText (list unchanged) or accepted before all equal items,
  // as Duplicates says.
  int Add(void* Item);
  // Sorted: binary search by CompareItems. Unsorted: the first entry holding
  // this very pointer (Index -1 when none).
  bool Search(void* Item, int& Index);
  int IndexOfItem(void* Item);
  // Calls Delete at the item's index; -1 and no Delete when absent.
  int Remove(void* Item);
  // Sorted: binary search by CompareKey. Unsorted: IndexOfKey.
  bool FindKeyIndex(TSortKey Key, int& Index);
  // Unsorted: the first index whose item compares equal to Key, by a linear
  // scan. -1 when none.
  int IndexOfKey(TSortKey Key);
  void* FindKey(TSortKey Key);

  bool Sorted() const { return sorted_; }
  // Turning it on sorts the items only when some pair is out of order (so
  // equal items keep their order when they already are in order); turning it
  // off keeps the order and lets Add append.
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates Value) { duplicates_ = Value; }

  // Finds Key among the items. Index is the first equal item when duplicates
  // are accepted, the first equal item probed otherwise, and the insertion
  // position when nothing is equal.
  bool BinarySearch(TSortKey Key, int& Index, const TCompareMethod& Compare);

  // The default comparisons order by address, three-way.
  virtual int CompareKey(void* Item, TSortKey Key);
  virtual int CompareItems(void* Item1, void* Item2);
  // Removes the entry at Index; the item itself is untouched.
  virtual void Delete(int Index);

 private:
  friend bool SortedListSearch(TSortedListEx* List, void* Item, int& Index);
  int CompareItemWithKey(void* Item, TSortKey Key);

  std::unique_ptr<TFastList> items_;
  TDuplicates duplicates_ = dupIgnore;
  bool sorted_ = true;
};

class TSortedList : public TCustomSortedList {
  KESTOVA_CLASS(TSortedList)
};

// Orders items by a key taken from each item (KeyOf; by default the item
// pointer itself).
class TSortedKeyList : public TSortedList {
  KESTOVA_CLASS(TSortedKeyList)
 public:
  virtual TSortKey KeyOf(void* Item);
  int CompareKey(void* Item, TSortKey Key) override;
  int CompareItems(void* Item1, void* Item2) override;
};

// A sorted list whose CompareItems may read CompareIndex: the index of the
// entry that SortedListSearch is about to compare.
class TSortedListEx : public TSortedList {
  KESTOVA_CLASS(TSortedListEx)
 public:
  int CompareIndex() const { return compareIndex_; }

 private:
  friend bool SortedListSearch(TSortedListEx* List, void* Item, int& Index);
  int compareIndex_ = 0;
};

// The positional search of TSortedListEx lists: a starting point that the
// caller refines by scanning. Unsorted lists: the identity search. Otherwise
// a halving search that stops at the first equal entry probed; without one,
// Index is the last probed entry that ordered before Item (or 0), and the
// upper end is never compared. An empty list gives false and 0.
bool SortedListSearch(TSortedListEx* List, void* Item, int& Index);

// Deletes (through Delete) and frees every item, first to last; the list
// stays. Nothing for nullptr.
void FreeSortedListItems(TCustomSortedList* List);

// FreeSortedListItems, then frees the list and sets the variable to nullptr.
template <class L>
void FreeSortedList(L*& List) {
  if (!List) return;
  FreeSortedListItems(List);
  FreeAndNil(List);
}

// ---- Errors and freeing ----

[[noreturn]] void RaiseError(const std::string& Msg);
[[noreturn]] void RaiseFmtError(std::string_view Fmt, std::initializer_list<FormatArg> Args);
// Every resource string that the family loads for a message passes through
// here; it is returned unchanged.
std::string ResourceText(std::string Text);

// Sets Variable to nullptr and frees Object (nothing for nullptr).
template <class T>
void FreeObject(TObject* Object, T*& Variable) {
  Variable = nullptr;
  if (Object) Object->Free();
}

// Takes out and frees the items, first to last; the list stays. Nothing for
// nullptr.
void FreeListItems(TList* List);

// FreeListItems, frees the list and sets Variable to nullptr. An object that
// is not a TList raises EInvalidCast and is left alone.
template <class T>
void FreeListAndItems(TObject* List, T*& Variable) {
  if (!List) return;
  auto* list = dynamic_cast<TList*>(List);
  if (!list) throw EInvalidCast();
  FreeListItems(list);
  list->Free();
  Variable = nullptr;
}

template <class I>
void ClearInterface(TInterfacePtr<I>& Intf) {
  Intf.reset();
}

// Equal code and data parts.
template <class Signature>
bool MethodsEqual(const TMethodPointer<Signature>& A, const TMethodPointer<Signature>& B) {
  return A == B;
}

// ---- Integers ----

inline int32_t Min(int32_t A, int32_t B) { return A < B ? A : B; }
inline int32_t Max(int32_t A, int32_t B) { return A > B ? A : B; }
// Exchanges A and B when A is the larger.
inline void OrderInts(int32_t& A, int32_t& B) {
  if (A > B) std::swap(A, B);
}
inline void SwapInts(int32_t& A, int32_t& B) { std::swap(A, B); }

// ---- Lists and strings ----

// Makes Dest an entry-by-entry copy of Source (no notices for the copied
// entries); nothing when both are one list.
void CopyListItems(TList* Source, TList* Dest);

std::string ReplaceChar(char From, char To, std::string_view S);

// The name of a file's backup copy: folder and name kept, the extension
// becomes "." + "~" + the old extension, cut to 4 characters ("unit1.pas"
// gives "unit1.~pa"); a name without an extension gets ".~" ("readme" gives
// "readme.~"). The extension is what follows the last "." of the name's
// last path element.
std::string BackupFileName(std::string_view FileName);

// Splits Text at Separator and at line breaks (CR, LF, CR LF) and appends
// the pieces to List; a break at the very end adds no empty line.
void AddSeparatedStrings(std::string_view Text, char Separator, TStrings& List);

// 1-based byte positions, case-sensitive. PosFrom: the first occurrence of
// Sub at or after Start. LastPosFrom: the last occurrence that begins at or
// before Start (it may reach past Start, not past the end). 0 when there is
// none, when Sub or S is empty, when S is shorter than Sub, or when Start
// lies outside 1..length of S.
int PosFrom(std::string_view Sub, std::string_view S, int Start);
int LastPosFrom(std::string_view Sub, std::string_view S, int Start);
// The same over characters (code points): positions are character columns.
int PosFrom(std::u32string_view Sub, std::u32string_view S, int Start);
int LastPosFrom(std::u32string_view Sub, std::u32string_view S, int Start);

using TIndexExchange = TMethodPointer<void(int I, int J)>;
using TIndexCompare = TMethodPointer<int(int I, int J)>;

// Sorts positions Low..High of elements that only the callbacks reach. The
// pivot is a position that follows its element through exchanges; elements
// that compare equal are never exchanged. Not stable.
void IndexQuickSort(int Low, int High, const TIndexExchange& Exchange, const TIndexCompare& Compare);

// ---- Interfaces ----

// Gives the object behind an interface.
class IZRObjectAccess : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::FromString("{6CCD5C87-AE0F-11D3-BCE2-00E07D743236}");
  virtual TObject* GetObject() = 0;
};

// The object behind Intf when it offers IZRObjectAccess, else nullptr. No
// reference is taken or released.
TObject* GetImplementingObject(IInterface* Intf);
// Object = GetImplementingObject(Intf) when that is of AClass or a
// descendant (true); otherwise Object = nullptr and false.
bool InterfaceAsObject(IInterface* Intf, TClass AClass, TObject*& Object);

// UTF-8 to UTF-16; malformed bytes become U+FFFD.
std::u16string StringToOleStrEx(std::string_view S);
