#include "components/base/zrbaselib.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/core/Exceptions.h"
#include "testing/ObjectFreedRecorder.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::ThrowsMessage;

// ---- Sorted lists ----

struct Rec {
  TSortKey key;
  std::string tag;
};

// Orders records by their key and counts the deletions it is asked for.
class TRecList : public TSortedKeyList {
 public:
  TSortKey KeyOf(void* Item) override { return static_cast<Rec*>(Item)->key; }
  void Delete(int Index) override {
    ++deletes;
    TSortedKeyList::Delete(Index);
  }
  std::string Tags() const {
    std::string tags;
    for (int i = 0; i < Count(); ++i) tags += static_cast<Rec*>(Items(i))->tag;
    return tags;
  }
  int deletes = 0;
};

TEST(TCustomSortedList, EachDuplicatesPolicy) {
  struct Row {
    TDuplicates policy;
    std::vector<int> returned;
    std::string tags;
    int searchIndex;  // of the first record added
  } rows[] = {
      {dupIgnore, {0, 0, 1}, "ba", 1},
      {dupAccept, {0, 0, 1}, "bca", 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.policy);
    Rec a{5, "a"}, b{3, "b"}, c{5, "c"};
    TRecList list;
    list.SetDuplicates(r.policy);
    std::vector<int> returned{list.Add(&a), list.Add(&b), list.Add(&c)};
    EXPECT_EQ(returned, r.returned);
    EXPECT_EQ(list.Tags(), r.tags);
    int index = -1;
    EXPECT_TRUE(list.Search(&a, index));
    EXPECT_EQ(index, r.searchIndex);
  }
  Rec a{5, "a"}, c{5, "c"};
  TRecList list;
  list.SetDuplicates(dupError);
  list.Add(&a);
  EXPECT_THAT([&] { list.Add(&c); }, ThrowsMessage<Exception>("Can't insert duplicate item"));
  EXPECT_EQ(list.Tags(), "a");
}

TEST(TCustomSortedList, AcceptedDuplicatesGoNewestFirstAndSearchFindsTheLeftmost) {
  Rec x1{7, "1"}, x2{7, "2"}, x3{7, "3"}, low{1, "L"}, high{9, "H"};
  TRecList list;
  list.SetDuplicates(dupAccept);
  for (Rec* r : {&low, &high, &x1, &x2, &x3}) list.Add(r);
  EXPECT_EQ(list.Tags(), "L321H");
  for (Rec* r : {&x1, &x2, &x3}) {
    int index = -1;
    EXPECT_TRUE(list.Search(r, index));
    EXPECT_EQ(index, 1);
  }
  EXPECT_EQ(list.IndexOfKey(7), 1);
}

TEST(TCustomSortedList, UnsortedSearchWantsTheSamePointerWhileKeysCompareValues) {
  Rec a{5, "a"}, b{3, "b"}, c{5, "c"}, twin{3, "t"};
  TRecList list;
  list.SetSorted(false);
  EXPECT_EQ(list.Add(&a), 0);
  EXPECT_EQ(list.Add(&b), 1);
  EXPECT_EQ(list.Add(&c), 2);
  int index = 0;
  EXPECT_FALSE(list.Search(&twin, index));
  EXPECT_EQ(index, -1);
  EXPECT_TRUE(list.Search(&c, index));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(list.IndexOfKey(3), 1);
  EXPECT_EQ(list.IndexOfKey(5), 0);
  EXPECT_EQ(list.FindKey(4), nullptr);
  EXPECT_EQ(list.FindKey(3), &b);
}

TEST(TCustomSortedList, RemoveDeletesOnlyWhatItFinds) {
  Rec a{1, "a"}, b{2, "b"}, absent{2, "x"};
  TRecList list;
  list.Add(&a);
  list.Add(&b);
  list.SetSorted(false);
  EXPECT_EQ(list.Remove(&absent), -1);  // equal key, other pointer
  EXPECT_EQ(list.deletes, 0);
  EXPECT_EQ(list.Remove(&b), 1);
  EXPECT_EQ(list.deletes, 1);
  list.Clear();
  EXPECT_EQ(list.deletes, 1);
  EXPECT_EQ(list.Count(), 0);
}

TEST(TCustomSortedList, SortingAgainKeepsEqualItemsWhenAlreadyInOrder) {
  Rec a{1, "a"}, b{2, "b"}, c{2, "c"}, d{3, "d"}, z{0, "z"};
  TRecList list;
  list.SetSorted(false);
  for (Rec* r : {&a, &b, &c, &d}) list.Add(r);
  list.SetSorted(true);
  EXPECT_EQ(list.Tags(), "abcd");  // a quicksort would exchange b and c
  list.SetSorted(false);
  list.Add(&z);
  list.SetSorted(true);
  EXPECT_EQ(list.Tags().front(), 'z');
  EXPECT_EQ(list.Tags().back(), 'd');
  EXPECT_THAT([&] { list.Items(5); }, ThrowsMessage<EListError>("List index out of bounds (5)"));
}

TEST(TCustomSortedList, KeysAndAddressesBeyond32BitsKeepTheirOrder) {
  // Differences of these cut to 32 bits have the wrong sign or are zero.
  const TSortKey keys[] = {TSortKey{1} << 32, 1, TSortKey{1} << 33, 0x80000000, (TSortKey{1} << 32) + 1};
  std::vector<Rec> recs;
  for (TSortKey k : keys) recs.push_back({k, ""});
  TRecList records;
  TSortedList pointers;
  for (Rec& r : recs) {
    records.Add(&r);
    pointers.Add(reinterpret_cast<void*>(r.key));
  }
  ASSERT_EQ(records.Count(), 5);
  ASSERT_EQ(pointers.Count(), 5);
  for (int i = 0; i + 1 < 5; ++i) {
    EXPECT_LT(static_cast<Rec*>(records.Items(i))->key, static_cast<Rec*>(records.Items(i + 1))->key);
    EXPECT_LT(reinterpret_cast<TSortKey>(pointers.Items(i)), reinterpret_cast<TSortKey>(pointers.Items(i + 1)));
  }
  for (Rec& r : recs) {
    SCOPED_TRACE(r.key);
    EXPECT_EQ(records.FindKey(r.key), &r);
    EXPECT_GE(pointers.IndexOfItem(reinterpret_cast<void*>(r.key)), 0);
  }
}

// Records the entry each comparison was told it is comparing.
class TProbedList : public TSortedListEx {
 public:
  int CompareItems(void* Item1, void* Item2) override {
    probes.push_back(CompareIndex());
    return TSortedListEx::CompareItems(Item1, Item2);
  }
  std::vector<int> probes;
};

TEST(SortedListSearch, GivesAStartingPointNotAnExactAnswer) {
  struct Row {
    std::vector<intptr_t> items;
    intptr_t item;
    bool found;
    int index;
    std::vector<int> probes;
  } rows[] = {
      {{10, 20, 30}, 20, true, 1, {1}},
      {{10, 20, 30}, 30, false, 1, {1}},  // the entry at the upper end is never compared
      {{10, 20, 30}, 5, false, 0, {1}},
      {{10, 20}, 20, false, 0, {0}},
      {{10, 20, 30, 40, 50}, 45, false, 3, {2, 3}},
      {{10, 20, 30, 40, 50}, 10, false, 0, {2, 1}},  // present, but not probed
      {{}, 10, false, 0, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.items) + " " + std::to_string(r.item));
    TProbedList list;
    for (intptr_t v : r.items) list.Add(reinterpret_cast<void*>(v));
    list.probes.clear();
    int index = -1;
    EXPECT_EQ(SortedListSearch(&list, reinterpret_cast<void*>(r.item), index), r.found);
    EXPECT_EQ(index, r.index);
    EXPECT_EQ(list.probes, r.probes);
    if (!r.probes.empty()) {
      EXPECT_EQ(list.CompareIndex(), r.probes.back());
    }
  }
  TProbedList unsorted;
  unsorted.SetSorted(false);
  unsorted.Add(reinterpret_cast<void*>(30));
  unsorted.Add(reinterpret_cast<void*>(10));
  int index = -1;
  EXPECT_TRUE(SortedListSearch(&unsorted, reinterpret_cast<void*>(10), index));
  EXPECT_EQ(index, 1);
}

TEST(FreeSortedList, FreesEveryItemThroughDeleteAndThenTheList) {
  ObjectFreedRecorder recorder;
  auto* list = new TSortedList;
  TObject* first = new TObject;
  TObject* second = new TObject;
  list->SetSorted(false);
  list->Add(first);
  list->Add(second);
  TSortedList* variable = list;
  FreeSortedList(variable);
  EXPECT_EQ(variable, nullptr);
  // The items, the list's item store, the list.
  EXPECT_THAT(recorder.freed, ElementsAre(first, second, testing::_, static_cast<TObject*>(list)));
  TSortedList* none = nullptr;
  FreeSortedList(none);
}

// ---- Routines ----

TEST(PosFrom, SearchesForwardAndBackwardFromAStart) {
  const std::string s = "abXYcdeXYf";  // "XY" at 3 and 8
  struct Row {
    const char* sub;
    int start;
    int pos, lastPos;
  } rows[] = {
      {"XY", 1, 3, 0},  {"XY", 3, 3, 3},  {"XY", 4, 8, 3},   {"XY", 7, 8, 3},          {"XY", 8, 8, 8},
      {"XY", 9, 0, 8},  {"XY", 10, 0, 8}, {"XYf", 10, 0, 8}, {"XY", 0, 0, 0},          {"XY", 11, 0, 0},
      {"XY", -4, 0, 0}, {"", 1, 0, 0},    {"Q", 1, 0, 0},    {"abXYcdeXYfg", 1, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.sub) + " from " + std::to_string(r.start));
    EXPECT_EQ(PosFrom(r.sub, s, r.start), r.pos);
    EXPECT_EQ(LastPosFrom(r.sub, s, r.start), r.lastPos);
  }
  EXPECT_EQ(PosFrom("a", "", 1), 0);
  EXPECT_EQ(LastPosFrom("XY", "XY", 2), 1);
}

TEST(BackupFileName, ReplacesTheExtensionOfTheLastPathElement) {
  const std::pair<const char*, const char*> rows[] = {
      {"/a/unit1.pas", "/a/unit1.~pa"}, {"readme", "readme.~"},  {"x.c", "x.~c"},
      {"x.longext", "x.~lo"},           {"x.", "x.~"},           {"dir.d/name", "dir.d/name.~"},
      {".bashrc", ".~ba"},
  };
  for (const auto& [name, backup] : rows) EXPECT_EQ(BackupFileName(name), backup) << name;
}

TEST(AddSeparatedStrings, AppendsOneLinePerPiece) {
  struct Row {
    const char* text;
    std::vector<std::string> added;
  } rows[] = {
      {"a;b;c", {"a", "b", "c"}},
      {"a;b;", {"a", "b"}},
      {"a;;b", {"a", "", "b"}},
      {"a\r\nb;c", {"a", "b", "c"}},
      {"", {}},
      {";", {""}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    TStringList list{"kept"};
    AddSeparatedStrings(r.text, ';', list);
    std::vector<std::string> expected{"kept"};
    expected.insert(expected.end(), r.added.begin(), r.added.end());
    EXPECT_EQ(list.Lines(), expected);
  }
  EXPECT_EQ(ReplaceChar('x', 'y', "abc"), "abc");
  EXPECT_EQ(ReplaceChar('/', '\\', "a/b/c"), "a\\b\\c");
}

struct Sorting {
  std::vector<int> values;
  std::vector<std::pair<int, int>> exchanges;
  void Exchange(int i, int j) {
    EXPECT_NE(values[i], values[j]) << "equal elements exchanged";
    exchanges.emplace_back(i, j);
    std::swap(values[i], values[j]);
  }
  int Compare(int i, int j) { return values[i] < values[j] ? -1 : values[i] > values[j] ? 1 : 0; }
  void Sort(int low, int high) {
    IndexQuickSort(low, high, TIndexExchange::Of<&Sorting::Exchange>(*this),
                   TIndexCompare::Of<&Sorting::Compare>(*this));
  }
};

TEST(IndexQuickSort, NeverExchangesWhatIsInOrderOrEqual) {
  struct Row {
    const char* what;
    std::vector<int> values;
    int low, high;
  } rows[] = {
      {"empty range", {3, 1}, 1, 0},
      {"one position", {3, 1}, 0, 0},
      {"sorted", {1, 2, 3, 4, 5, 6, 7, 8, 9}, 0, 8},
      {"all equal", {4, 4, 4, 4, 4}, 0, 4},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Sorting s{r.values, {}};
    s.Sort(r.low, r.high);
    EXPECT_TRUE(s.exchanges.empty());
    EXPECT_EQ(s.values, r.values);
  }
}

TEST(IndexQuickSort, SortsLikeStdSort) {
  std::mt19937 random(16);
  for (int n : {2, 3, 7, 50, 1000}) {
    for (int spread : {2, n}) {
      SCOPED_TRACE(std::to_string(n) + " values in 0.." + std::to_string(spread));
      Sorting s;
      for (int i = 0; i < n; ++i) s.values.push_back(std::uniform_int_distribution<int>(0, spread)(random));
      std::vector<int> expected = s.values;
      std::sort(expected.begin(), expected.end());
      s.Sort(0, n - 1);
      EXPECT_EQ(s.values, expected);
    }
  }
  Sorting reversed{{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, {}};
  reversed.Sort(2, 7);  // only the inner positions
  EXPECT_THAT(reversed.values, ElementsAre(9, 8, 2, 3, 4, 5, 6, 7, 1, 0));
}

TEST(FreeListAndItems, FreesAPointerListAndRefusesAnythingElse) {
  ObjectFreedRecorder recorder;
  auto* list = new TList;
  TObject* item = new TObject;
  list->Add(item);
  list->Add(nullptr);
  TList* variable = list;
  FreeListAndItems(list, variable);
  EXPECT_EQ(variable, nullptr);
  EXPECT_THAT(recorder.freed, ElementsAre(item, static_cast<TObject*>(list)));

  TComponent notAList(nullptr);
  TComponent* other = &notAList;
  EXPECT_THAT([&] { FreeListAndItems(other, other); }, ThrowsMessage<EInvalidCast>("Invalid class typecast"));
  EXPECT_EQ(other, &notAList);
  TObject* none = nullptr;
  FreeObject(none, none);
  EXPECT_EQ(none, nullptr);
}

TEST(CopyListItems, MakesTheDestinationAnEqualList) {
  TList source, dest;
  for (intptr_t v : {1, 2, 3}) source.Add(reinterpret_cast<void*>(v));
  for (intptr_t v : {7, 8, 9, 10, 11}) dest.Add(reinterpret_cast<void*>(v));
  CopyListItems(&source, &dest);
  ASSERT_EQ(dest.Count(), 3);
  EXPECT_EQ(dest[2], reinterpret_cast<void*>(3));
  CopyListItems(&dest, &dest);
  EXPECT_EQ(dest.Count(), 3);
}

struct Host : TObject {
  void Click(TObject*) {}
  void Press(TObject*) {}
};

TEST(MethodsEqual, NeedsEqualCodeAndData) {
  Host a, b;
  const auto aClick = TNotifyEvent::Of<&Host::Click>(a);
  EXPECT_TRUE(MethodsEqual(aClick, TNotifyEvent::Of<&Host::Click>(a)));
  EXPECT_FALSE(MethodsEqual(aClick, TNotifyEvent::Of<&Host::Click>(b)));
  EXPECT_FALSE(MethodsEqual(aClick, TNotifyEvent::Of<&Host::Press>(a)));
  EXPECT_TRUE(aClick.SameCode(TNotifyEvent::Of<&Host::Click>(b)));
}

// ---- Interfaces ----

class TAccessible : public TInterfacedObject, public IZRObjectAccess {
  KESTOVA_CLASS(TAccessible)
 public:
  TObject* GetObject() override { return this; }
};
KESTOVA_CLASS_INFO(TAccessible, TInterfacedObject, "Tests", nullptr)

class TSilent : public TInterfacedObject {};

TEST(InterfaceAsObject, AnswersOnlyForTheClassAndItsAncestors) {
  TInterfacePtr<IZRObjectAccess> access(new TAccessible);
  TInterfacePtr<IInterface> silent(new TSilent);
  struct Row {
    const char* what;
    IInterface* intf;
    TClass cls;
    bool result;
  } rows[] = {
      {"its class", access.get(), TAccessible::StaticClass(), true},
      {"an ancestor", access.get(), TInterfacedObject::StaticClass(), true},
      {"a foreign class", access.get(), TComponent::StaticClass(), false},
      {"no object access", silent.get(), TObject::StaticClass(), false},
      {"nil", nullptr, TObject::StaticClass(), false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TObject sentinel;
    TObject* object = &sentinel;
    EXPECT_EQ(InterfaceAsObject(r.intf, r.cls, object), r.result);
    EXPECT_EQ(object, r.result ? GetImplementingObject(access.get()) : nullptr);
  }
  EXPECT_EQ(GetImplementingObject(silent.get()), nullptr);
  EXPECT_EQ(static_cast<TInterfacedObject*>(GetImplementingObject(access.get()))->RefCount(), 1);
  TInterfacePtr<IInterface> held = access;
  ClearInterface(held);
  EXPECT_FALSE(held);
  EXPECT_EQ(IZRObjectAccess::IID.ToString(), "{6CCD5C87-AE0F-11D3-BCE2-00E07D743236}");
}

TEST(StringToOleStrEx, ConvertsUtf8ToUtf16) {
  EXPECT_EQ(StringToOleStrEx(""), u"");
  EXPECT_EQ(StringToOleStrEx("Größe 5 €"), u"Größe 5 €");
  EXPECT_EQ(StringToOleStrEx("\xF0\x9F\x8C\xB3"), u"\U0001F333");  // a surrogate pair
  EXPECT_EQ(StringToOleStrEx("a\xFF"), u"a\uFFFD");
}

TEST(RaiseFmtError, RaisesTheGeneralExceptionWithTheFormattedText) {
  EXPECT_THAT([] { RaiseFmtError("Item %d of %s", {3, "list"}); }, ThrowsMessage<Exception>("Item 3 of list"));
  EXPECT_EQ(ResourceText("unchanged"), "unchanged");
}

}  // namespace
