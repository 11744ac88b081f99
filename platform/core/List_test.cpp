#include "platform/core/List.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

std::vector<intptr_t> Values(const TList& list) {
  std::vector<intptr_t> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(reinterpret_cast<intptr_t>(list[i]));
  return out;
}

void Fill(TList& list, std::initializer_list<intptr_t> values) {
  for (intptr_t v : values) list.Add(P(v));
}

// Records every notice as "+10", "-10" or "x10".
class RecordingList : public TList {
 public:
  std::vector<std::string> notices;

 protected:
  void Notify(void* Item, TListNotification Action) override {
    const char mark = Action == lnAdded ? '+' : Action == lnDeleted ? '-' : 'x';
    notices.push_back(mark + std::to_string(reinterpret_cast<intptr_t>(Item)));
  }
};

TEST(TList, MoveChecksBothIndicesBeforeChangingAnything) {
  struct Row {
    int from, to;
    std::vector<intptr_t> after;  // empty: raises
    int badIndex;
  } rows[] = {
      {0, 2, {20, 30, 10}, 0}, {2, 0, {30, 10, 20}, 0}, {1, 1, {10, 20, 30}, 0},
      {0, 3, {}, 3},           {3, 0, {}, 3},           {-1, 1, {}, -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.from) + " -> " + std::to_string(r.to));
    TList list;
    Fill(list, {10, 20, 30});
    if (r.after.empty()) {
      EXPECT_THAT([&] { list.Move(r.from, r.to); },
                  ThrowsMessage<EListError>("List index out of bounds (" + std::to_string(r.badIndex) + ")"));
      EXPECT_THAT(Values(list), ElementsAre(10, 20, 30));
    } else {
      list.Move(r.from, r.to);
      EXPECT_EQ(Values(list), r.after);
    }
  }
}

TEST(TList, NotifiesNonNullItemsThatComeAndGo) {
  RecordingList list;
  list.Add(P(1));
  list.Add(nullptr);
  list.Insert(0, P(2));
  list.Put(1, P(3));  // replaces 1
  list.Exchange(0, 2);
  list.Move(0, 1);
  EXPECT_EQ(list.Extract(P(2)), P(2));
  EXPECT_EQ(list.Extract(P(99)), nullptr);
  list.Add(P(4));
  list.Pack();
  list.SetCount(3);  // appends one nullptr
  list.SetCount(0);
  EXPECT_THAT(list.notices, ElementsAre("+1", "+2", "-1", "+3", "x2", "+4", "-4", "-3"));
  EXPECT_EQ(list.Count(), 0);
}

TEST(TList, RangeErrorsLeaveTheListAlone) {
  TList list;
  Fill(list, {1, 2});
  struct Row {
    const char* what;
    std::function<void()> call;
    std::string message;
  } rows[] = {
      {"get", [&] { list.Get(2); }, "List index out of bounds (2)"},
      {"insert", [&] { list.Insert(3, nullptr); }, "List index out of bounds (3)"},
      {"delete", [&] { list.Delete(-1); }, "List index out of bounds (-1)"},
      {"exchange", [&] { list.Exchange(0, 5); }, "List index out of bounds (5)"},
      {"capacity", [&] { list.SetCapacity(1); }, "List capacity out of bounds (1)"},
      {"count", [&] { list.SetCount(-1); }, "List count out of bounds (-1)"},
      {"last of empty", [] { TList().Last(); }, "List index out of bounds (-1)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_THAT(r.call, ThrowsMessage<EListError>(r.message));
    EXPECT_THAT(Values(list), ElementsAre(1, 2));
  }
}

TEST(TList, GrowsByFourThenSixteenThenAQuarter) {
  TList list;
  std::vector<int> capacities;
  for (int i = 0; i < 100; ++i) {
    list.Add(P(i));
    if (capacities.empty() || capacities.back() != list.Capacity()) capacities.push_back(list.Capacity());
  }
  EXPECT_THAT(capacities, ElementsAre(4, 8, 12, 28, 44, 60, 76, 95, 118));
  list.Clear();
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(TList, SortOrdersLikeStdSort) {
  std::mt19937 random(7);
  for (int n : {0, 1, 2, 3, 10, 257}) {
    SCOPED_TRACE(n);
    TList list;
    std::vector<intptr_t> expected;
    for (int i = 0; i < n; ++i) {
      const intptr_t v = std::uniform_int_distribution<int>(0, n / 2)(random);
      list.Add(P(v));
      expected.push_back(v);
    }
    list.Sort([](void* a, void* b) {
      const auto x = reinterpret_cast<intptr_t>(a), y = reinterpret_cast<intptr_t>(b);
      return x < y ? -1 : x > y ? 1 : 0;
    });
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Values(list), expected);
  }
}

// A Grow that adds nothing must not let Insert write past the array.
class StuckList : public TList {
 protected:
  void Grow() override {}
};

TEST(TList, AGrowThatAddsNothingRaisesInsteadOfOverrunning) {
  StuckList list;
  EXPECT_THAT([&] { list.Add(P(1)); }, ThrowsMessage<EListError>(HasSubstr("List capacity out of bounds")));
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
