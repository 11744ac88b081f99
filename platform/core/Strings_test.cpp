// TStrings on a minimal descendant, and what TStringList adds to it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLocale>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"
#include "platform/core/StringList.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;

// Provides only the operations a descendant must provide, over a vector.
class VectorStrings : public TStrings {
 public:
  std::vector<std::string> lines;
  std::string Get(int Index) const override {
    if (Index < 0 || Index >= GetCount()) IndexError(Index);
    return lines[Index];
  }
  int GetCount() const override { return static_cast<int>(lines.size()); }
  void Insert(int Index, const std::string& S) override {
    if (Index < 0 || Index > GetCount()) IndexError(Index);
    lines.insert(lines.begin() + Index, S);
  }
  void Delete(int Index) override {
    Get(Index);
    lines.erase(lines.begin() + Index);
  }
  void Clear() override { lines.clear(); }
};

TEST(TStrings, TheTextFormsWorkOnAnyDescendant) {
  VectorStrings s;
  s.SetText("Name=Kestova\r\nsize=3\nlast");
  EXPECT_THAT(s.lines, ElementsAre("Name=Kestova", "size=3", "last"));
  EXPECT_EQ(s.Text(), "Name=Kestova\nsize=3\nlast\n");
  s.SetLineBreak("\r\n");
  EXPECT_EQ(s.Text(), "Name=Kestova\r\nsize=3\r\nlast\r\n");

  EXPECT_EQ(s.Values("NAME"), "Kestova");
  s.SetValue("Size", "4");
  s.SetValue("name", "");
  EXPECT_THAT(s.lines, ElementsAre("Size=4", "last"));
  EXPECT_EQ(s.IndexOf("LAST"), 1);

  s.SetCommaText(R"(a,"b c","")");
  EXPECT_THAT(s.lines, ElementsAre("a", "b c", ""));
  EXPECT_EQ(s.CommaText(), R"(a,"b c","")");

  TStringList list{"x", "y"};
  s.Assign(list);
  EXPECT_THAT(s.lines, ElementsAre("x", "y"));
  VectorStrings back;
  back.Assign(&s);
  EXPECT_TRUE(back.Equals(list));
  list.Assign(&back);
  EXPECT_EQ(list, (TStringList{"x", "y"}));

  s.Move(0, 1);
  EXPECT_THAT(s.lines, ElementsAre("y", "x"));
  EXPECT_THAT([&] { s.Move(0, 2); }, ThrowsMessage<EListError>("List index out of bounds (2)"));
  EXPECT_THAT(s.lines, ElementsAre("y", "x"));
  EXPECT_THAT([&] { s.Assign(static_cast<const TPersistent*>(nullptr)); },
              ThrowsMessage<EConvertError>("Cannot assign a nil to a TStrings"));
}

TEST(TStrings, StreamsCarryTheText) {
  VectorStrings s;
  TStringStream stream("skip|one\r\ntwo");
  stream.SetPosition(5);
  s.LoadFromStream(stream);
  EXPECT_THAT(s.lines, ElementsAre("one", "two"));
  TStringStream out;
  s.SaveToStream(out);
  EXPECT_EQ(out.DataString(), "one\ntwo\n");
}

TEST(TStringList, FindsLinesWithoutCaseUnlessCaseSensitive) {
  for (bool sorted : {false, true}) {
    SCOPED_TRACE(sorted ? "sorted" : "unsorted");
    TStringList list{"Alpha", "beta", "Ärger"};
    list.SetSorted(sorted);
    EXPECT_GE(list.IndexOf("alpha"), 0);
    EXPECT_GE(list.IndexOf("ärger"), 0);
    EXPECT_EQ(list.IndexOf("gamma"), -1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("alpha"), -1);
    EXPECT_GE(list.IndexOf("Alpha"), 0);
  }
}

TEST(TStringList, SortedInsertsFollowTheDuplicatesPolicy) {
  struct Row {
    TDuplicates policy;
    int returned;                    // by adding "B" to {a, b, c}
    std::vector<std::string> lines;  // empty: raises
  } rows[] = {
      {dupIgnore, 1, {"a", "b", "c"}},
      {dupAccept, 1, {"a", "B", "b", "c"}},
      {dupError, 0, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.policy);
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(r.policy);
    for (const char* s : {"c", "a", "b"}) list.Add(s);
    if (r.lines.empty()) {
      EXPECT_THAT([&] { list.Add("B"); }, ThrowsMessage<EStringListError>("String list does not allow duplicates"));
      EXPECT_THAT(list.Lines(), ElementsAre("a", "b", "c"));
    } else {
      EXPECT_EQ(list.Add("B"), r.returned);
      EXPECT_EQ(list.Lines(), r.lines);
    }
  }
  TStringList names;  // Latin-1 file names: not UTF-8, yet different names
  names.SetSorted(true);
  for (const char* s : {"caf\xE9", "caf\xE8", "CAF\xE9"}) names.Add(s);
  EXPECT_THAT(names.Lines(), testing::UnorderedElementsAre("caf\xE9", "caf\xE8"));
  TStringList sorted{"b", "a"};
  sorted.SetSorted(true);
  EXPECT_THAT([&] { sorted.Insert(0, "z"); }, ThrowsMessage<EStringListError>("Operation not allowed on sorted list"));
  EXPECT_THAT([&] { sorted.Move(0, 1); }, ThrowsMessage<EStringListError>("Operation not allowed on sorted list"));
}

TEST(TStringList, ObjectsTravelWithTheirLines) {
  TObject one, two, three;
  TStringList list;
  list.AddObject("three", &three);
  list.AddObject("one", &one);
  list.AddObject("two", &two);
  list.Move(0, 2);  // three to the end
  EXPECT_THAT(list.Lines(), ElementsAre("one", "two", "three"));
  EXPECT_EQ(list.Objects(2), &three);
  list.Exchange(0, 1);
  EXPECT_EQ(list.Objects(0), &two);
  list.Sort();  // one, three, two
  EXPECT_THAT(list.Lines(), ElementsAre("one", "three", "two"));
  EXPECT_EQ(list.Objects(0), &one);
  EXPECT_EQ(list.Objects(1), &three);
  EXPECT_EQ(list.Objects(2), &two);
  EXPECT_EQ(list.IndexOfObject(&three), 1);
  list.Delete(0);
  EXPECT_EQ(list.Objects(0), &three);
}

struct ChangeCounter : TObject {
  std::string journal;
  void Changing(TObject*) { journal += "<"; }
  void Changed(TObject*) { journal += ">"; }
  void Watch(TStringList& list) {
    list.OnChanging = TNotifyEvent::Of<&ChangeCounter::Changing>(*this);
    list.OnChange = TNotifyEvent::Of<&ChangeCounter::Changed>(*this);
  }
};

TEST(TStringList, OneChangeNoticePerUpdateBracket) {
  struct Row {
    const char* what;
    void (*change)(TStringList&);
    const char* journal;
  } rows[] = {
      {"add", [](TStringList& l) { l.Add("x"); }, "<>"},
      {"text", [](TStringList& l) { l.SetText("x\ny\nz"); }, "<>"},
      {"comma text", [](TStringList& l) { l.SetCommaText("x,y"); }, "<>"},
      {"move", [](TStringList& l) { l.Move(0, 1); }, "<>"},
      {"sort", [](TStringList& l) { l.SetSorted(true); }, "<>"},
      {"nested brackets",
       [](TStringList& l) {
         l.BeginUpdate();
         l.Add("x");
         l.BeginUpdate();
         l.Delete(0);
         l.EndUpdate();
         l.Clear();
         l.EndUpdate();
       },
       "<>"},
      {"assign",
       [](TStringList& l) {
         l.Assign(TStringList{"p", "q"});
       },
       "<>"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TStringList list{"b", "a"};
    ChangeCounter counter;
    counter.Watch(list);
    r.change(list);
    EXPECT_EQ(counter.journal, r.journal);
    EXPECT_EQ(list.UpdateCount(), 0);
  }
}

TEST(TStringList, CopiesTakeLinesObjectsAndSettingsButNoEvents) {
  TObject object;
  TStringList list;
  list.SetCaseSensitive(true);
  list.SetDuplicates(dupAccept);
  list.SetSorted(true);
  list.SetLineBreak("\r\n");
  list.AddObject("b", &object);
  list.Add("a");
  ChangeCounter counter;
  counter.Watch(list);

  TStringList copy = list;
  TStringList moved = std::move(copy);
  for (const TStringList* l : {&list, &moved}) {
    EXPECT_THAT(l->Lines(), ElementsAre("a", "b"));
    EXPECT_EQ(l->Objects(1), &object);
    EXPECT_TRUE(l->Sorted());
    EXPECT_TRUE(l->CaseSensitive());
    EXPECT_EQ(l->Duplicates(), dupAccept);
    EXPECT_EQ(l->Text(), "a\r\nb\r\n");
  }
  EXPECT_FALSE(moved.OnChange);
  moved.Add("c");
  EXPECT_EQ(counter.journal, "");
  std::vector<TStringList> lists(3, list);  // copyable into containers
  EXPECT_EQ(lists[2], list);
}

}  // namespace
