#include "components/base/RecordList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "testing/ObjectFreedRecorder.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

using Record = std::array<std::uint8_t, 6>;

Record Filled(std::uint8_t Value) {
  Record r;
  r.fill(Value);
  return r;
}

// The first byte of each record, in order.
std::string Firsts(const TRecordList& List) {
  std::string text;
  for (int i = 0; i < List.Count(); ++i) text += std::to_string(List.GetItemPtr(i)[0]) + " ";
  return text;
}

TEST(TRecordList, GrowsOnlyWhenFullToTheLargestOfTheCountTwiceTheCapacityAnd32) {
  TRecordList list(6);
  EXPECT_EQ(list.Capacity(), 0);
  EXPECT_EQ(list.Data(), nullptr);
  struct Step {
    const char* name;
    std::function<void()> act;
    int capacity, count;
  };
  const Record r = Filled(1);
  const Step steps[] = {
      {"first Add", [&] { list.Add(&r); }, 32, 1},
      {"32nd Add",
       [&] {
         for (int i = 1; i < 32; ++i) list.Add(&r);
       },
       32, 32},
      {"33rd Add", [&] { list.Add(&r); }, 64, 33},
      {"SetCount(100)", [&] { list.SetCount(100); }, 128, 100},
      {"SetCount(50) keeps the block", [&] { list.SetCount(50); }, 128, 50},
      {"SetCount(300)", [&] { list.SetCount(300); }, 300, 300},
      {"SetCapacity(400)", [&] { list.SetCapacity(400); }, 400, 300},
      {"Clear", [&] { list.Clear(); }, 0, 0},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    s.act();
    EXPECT_EQ(list.Capacity(), s.capacity);
    EXPECT_EQ(list.Count(), s.count);
  }
  EXPECT_EQ(list.Data(), nullptr);
}

TEST(TRecordList, AddsCopiesOrZeroFilledRecordsAndDeletesByMovingDown) {
  TRecordList list(6);
  const std::array<std::uint8_t, 8> longer{7, 7, 7, 7, 7, 7, 9, 9};  // only 6 bytes belong to the record
  const Record ones = Filled(0xFF);
  EXPECT_EQ(list.Add(&ones), 0);
  list.Delete(0);
  EXPECT_EQ(list.Add(nullptr), 0) << "into the bytes the deleted record left";
  EXPECT_EQ(std::vector<std::uint8_t>(list.GetItemPtr(0), list.GetItemPtr(1)), std::vector<std::uint8_t>(6, 0));
  EXPECT_EQ(list.Add(longer.data()), 1);
  EXPECT_EQ(std::vector<std::uint8_t>(list.GetItemPtr(1), list.GetItemPtr(2)), std::vector<std::uint8_t>(6, 7));
  for (std::uint8_t v : {2, 3, 4}) {
    const Record r = Filled(v);
    list.Add(&r);
  }
  EXPECT_EQ(Firsts(list), "0 7 2 3 4 ");
  EXPECT_EQ(list.GetItemPtr(list.Count()), list.Data() + 5 * 6) << "just after the last record";
  list.Delete(1);
  EXPECT_EQ(Firsts(list), "0 2 3 4 ");
  list.Delete(3);
  EXPECT_EQ(Firsts(list), "0 2 3 ");
  EXPECT_EQ(list.GetItemPtr(2)[5], 3);
}

TEST(TRecordList, AddingOneOfItsOwnRecordsCopiesItAlsoWhenTheBlockMoves) {
  TRecordList list(6);
  for (int i = 0; i < 32; ++i) {
    const Record r = Filled(static_cast<std::uint8_t>(i));
    list.Add(&r);
  }
  ASSERT_EQ(list.Capacity(), 32);
  EXPECT_EQ(list.Add(list.GetItemPtr(5)), 32);
  EXPECT_EQ(list.Capacity(), 64);
  EXPECT_EQ(std::vector<std::uint8_t>(list.GetItemPtr(32), list.GetItemPtr(33)), std::vector<std::uint8_t>(6, 5));
}

TEST(TRecordList, IndexErrorsNameTheIndexAndChangeNothing) {
  TRecordList list(6);
  for (std::uint8_t v : {1, 2, 3}) {
    const Record r = Filled(v);
    list.Add(&r);
  }
  struct Case {
    const char* name;
    std::function<void()> act;
    const char* message;
  };
  const Case cases[] = {
      {"Delete(Count)", [&] { list.Delete(3); }, "List index out of bounds (3)"},
      {"Delete(-1)", [&] { list.Delete(-1); }, "List index out of bounds (-1)"},
      {"GetItemPtr(Count + 1)", [&] { list.GetItemPtr(4); }, "List index out of bounds (4)"},
      {"GetItemPtr(-1)", [&] { list.GetItemPtr(-1); }, "List index out of bounds (-1)"},
      {"SetCapacity below Count", [&] { list.SetCapacity(2); }, "List index out of bounds (2)"},
      {"negative SetCount", [&] { list.SetCount(-1); }, "List index out of bounds (-1)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THAT(c.act, ThrowsMessage<Exception>(HasSubstr(c.message)));
    EXPECT_EQ(Firsts(list), "1 2 3 ");
    EXPECT_EQ(list.Capacity(), 32);
  }
}

TEST(TRecordList, HandedOutThroughAnInterfaceItIsFreedWithItsLastReference) {
  ObjectFreedRecorder freed;
  auto* list = new TRecordList(4);
  {
    TInterfacePtr<IInterface> first(list);
    TInterfacePtr<IInterface> second = first;
    first.reset();
    EXPECT_TRUE(freed.freed.empty());
  }
  EXPECT_EQ(freed.freed, (std::vector<const void*>{list}));
}

}  // namespace
