// Field lists and attachment lists on their own: input, insert points,
// moves, removals, growth, copies, and mail address lists.
#include "crashreport/zorExceptFields.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace zor;

std::string Items(IZEFields& f) {
  std::string s;
  for (int i = 0; i < f.Count(); ++i) s += (i ? " " : "") + f.NameAt(i) + "=" + f.ValueOf(f.NameAt(i));
  return s;
}

std::shared_ptr<TIZEFields> FiveItems() {
  auto f = TIZEFields::NewEnabled();
  for (const char* n : {"a", "b", "c", "d", "e"}) f->SetValue(n, "1");
  return f;
}

TEST(ZorFields, ANewListIgnoresInputUntilEnabled) {
  TIZEFields f;
  f.SetValue("a", "1");
  f.Append("b", "2");
  f.InsertAt(0, "c", "3");
  EXPECT_EQ(f.Count(), 0);
  f.EnableInput();
  f.SetValue("a", "1");
  EXPECT_EQ(Items(f), "a=1");
}

TEST(ZorFields, ChangesFollowTheListRules) {
  struct Row {
    const char* name;
    std::function<void(TIZEFields&)> change;
    std::string items;
  } rows[] = {
      {"blanks only remove the item", [](TIZEFields& f) { f.SetValue("C", " \t "); }, "a=1 b=1 d=1 e=1"},
      {"a name in another case renames its item", [](TIZEFields& f) { f.SetValue("B", "2"); }, "a=1 B=2 c=1 d=1 e=1"},
      {"values are trimmed", [](TIZEFields& f) { f.SetValue("f", "\r\n x y \n"); }, "a=1 b=1 c=1 d=1 e=1 f=x y"},
      {"the insert point takes new names in order",
       [](TIZEFields& f) {
         f.SetInsertPoint(3);
         f.SetValue("x", "1");
         f.SetValue("y", "1");
       },
       "a=1 b=1 c=1 x=1 y=1 d=1 e=1"},
      {"an insert before the insert point moves it along",
       [](TIZEFields& f) {
         f.SetInsertPoint(3);
         f.InsertAt(0, "x", "1");
         f.SetValue("y", "1");
       },
       "x=1 a=1 b=1 c=1 y=1 d=1 e=1"},
      {"a removal before the insert point moves it back",
       [](TIZEFields& f) {
         f.SetInsertPoint(3);
         f.RemoveAt(0);
         f.SetValue("y", "1");
       },
       "b=1 c=1 y=1 d=1 e=1"},
      {"InsertAt of a present name moves its item", [](TIZEFields& f) { f.InsertAt(3, "A", "2"); },
       "b=1 c=1 A=2 d=1 e=1"},
      {"InsertAt of a name moving towards the front", [](TIZEFields& f) { f.InsertAt(1, "e", "1"); },
       "a=1 e=1 b=1 c=1 d=1"},
      {"InsertAt clamps its index", [](TIZEFields& f) { f.InsertAt(99, "z", "1"); }, "a=1 b=1 c=1 d=1 e=1 z=1"},
      {"RemoveAt -1 and Count change nothing",
       [](TIZEFields& f) {
         f.RemoveAt(-1);
         f.RemoveAt(f.Count());
       },
       "a=1 b=1 c=1 d=1 e=1"},
      {"SetNameAt renames in place", [](TIZEFields& f) { f.SetNameAt(4, "E2"); }, "a=1 b=1 c=1 d=1 E2=1"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto f = FiveItems();
    r.change(*f);
    EXPECT_EQ(Items(*f), r.items);
  }
}

TEST(ZorFields, ItemsGrowTo16ThenByHalf) {
  TIZEFields f;
  f.EnableInput();
  std::vector<size_t> capacities;
  for (int i = 0; i < 40; ++i) {
    f.SetValue("n" + std::to_string(i), "v");
    if (capacities.empty() || capacities.back() != f.Capacity()) capacities.push_back(f.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<size_t>{16, 24, 36, 54}));
}

TEST(ZorFields, ACopyHasTheItemsAndNoOwners) {
  auto f = FiveItems();
  const auto copy = f->Copy();
  f->RemoveAt(0);
  EXPECT_EQ(Items(*copy), "a=1 b=1 c=1 d=1 e=1");
  copy->SetValue("f", "2");
  EXPECT_EQ(copy->Count(), 6);
}

TEST(ZorAttachments, AppendFileFillsTheNamesItIsNotGiven) {
  struct Row {
    const char* source;
    const char* sendAs;
    const char* field;
    std::string expected;  // send-as and field
  } rows[] = {
      {"/var/log/app.log", "", "", "app.log app"},
      {"/var/log/app.log", "report", "", "report report"},
      {"/var/log/app.tar.gz", "", "", "app.tar.gz app.tar"},
      {"app.log", "", "Log", "app.log Log"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.source);
    TIZEAttachments a;
    a.AppendFile(r.source, r.sendAs, "", r.field);
    std::string source, sendAs, archive, field;
    ASSERT_TRUE(a.ItemAt(0, source, sendAs, archive, field));
    EXPECT_EQ(sendAs + " " + field, r.expected);
  }
  TIZEAttachments a;
  a.AppendFile("", "x", "y", "z");
  EXPECT_EQ(a.Count(), 0);
  std::string untouched = "kept";
  EXPECT_FALSE(a.ItemAt(0, untouched, untouched, untouched, untouched));
  EXPECT_EQ(untouched, "kept");
}

TEST(ZorAttachments, RemoveFileIgnoresCaseAndTakesOnlyTheFirst) {
  const auto list = NewAttachmentList();
  list->AppendFile("/tmp/Log.txt", "one", "", "");
  list->AppendFile("/tmp/other", "", "", "");
  list->AppendFile("/tmp/log.txt", "two", "", "");
  EXPECT_TRUE(list->RemoveFile("/TMP/LOG.TXT"));
  EXPECT_FALSE(list->RemoveFile("/tmp/none"));
  ASSERT_EQ(list->Count(), 2);
  std::string source, sendAs, archive, field;
  list->ItemAt(1, source, sendAs, archive, field);
  EXPECT_EQ(sendAs, "two");
  const auto copy = list->Copy();
  list->RemoveAll();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(copy->Count(), 2);
}

TEST(ZorAttachments, CountMailAddresses) {
  struct Row {
    std::string list;
    int32_t count;
    std::string after;
  } rows[] = {
      {" p ; ; q ", 2, "p,q"},
      {"", 0, ""},
      {" ; , ", 0, ""},
      {"a@x,b@y;c@z", 3, "a@x,b@y,c@z"},
  };
  for (Row& r : rows) {
    SCOPED_TRACE(r.list);
    std::string list = r.list;
    EXPECT_EQ(CountMailAddresses(list), r.count);
    EXPECT_EQ(list, r.after);
  }
}

}  // namespace
