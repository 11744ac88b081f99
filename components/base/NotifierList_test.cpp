#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "components/base/MessageBroadcast.h"
#include "platform/classes/Component.h"

namespace {

using ::testing::ElementsAreArray;

std::vector<std::string> heard;

class TListener : public TObject {
 public:
  explicit TListener(std::string AName) : Name(std::move(AName)) {}
  std::string Name;
  TNotifierList* Unsubscribes = nullptr;  // from this list, while notified
  TListener* AlsoUnsubscribes = nullptr;

  void Changed(TComponent* Sender, void* List, std::int32_t Param) {
    heard.push_back(Name + ":" + (Sender ? Sender->Name() : "-") + ":" + std::to_string(Param) +
                    (List == &heard ? "" : "?"));
    if (!Unsubscribes) return;
    if (AlsoUnsubscribes) Unsubscribes->RemoveNotifiersOf(AlsoUnsubscribes);
    Unsubscribes->RemoveNotifier(Method());
  }
  void Other(TComponent*, void*, std::int32_t) { heard.push_back(Name + ":other"); }
  TNotifierMethod Method() { return TNotifierMethod::Of<&TListener::Changed>(*this); }
  TNotifierMethod OtherMethod() { return TNotifierMethod::Of<&TListener::Other>(*this); }
};

std::string Subscribers(const TNotifierList& List, const std::vector<TListener*>& Known) {
  std::string names;
  for (int i = 0; i < List.Count(); ++i)
    for (TListener* listener : Known) {
      if (List.Item(i)->Method == listener->Method()) names += listener->Name;
      if (List.Item(i)->Method == listener->OtherMethod()) names += listener->Name + "'";
    }
  return names;
}

TEST(TNotifierList, AddingAnEqualListenerMovesItToTheEndOnce) {
  TListener x("x"), y("y");
  TNotifierList list;
  list.AddNotifier(x.Method());
  list.AddNotifier(y.Method());
  list.AddNotifier(x.OtherMethod());  // same object, other code: a second listener
  TNotifierListItem* again = list.AddNotifier(x.Method());
  EXPECT_EQ(Subscribers(list, {&x, &y}), "yx'x");
  EXPECT_EQ(again, list.Item(list.Count() - 1));
}

TEST(TNotifierList, RemovingTakesTheOlderOfTwoEqualItemsOrEveryItemOfAnObject) {
  TListener x("x"), y("y");
  TNotifierList list;
  // AddNotifier never makes twins; an item added by hand can.
  auto* older = static_cast<TNotifierListItem*>(list.Items()->Add());
  older->Method = x.Method();
  list.AddNotifier(y.Method());
  auto* newer = static_cast<TNotifierListItem*>(list.Items()->Add());
  newer->Method = x.Method();
  const int newerId = newer->ID();
  list.RemoveNotifier(x.Method());
  EXPECT_EQ(Subscribers(list, {&x, &y}), "yx");
  EXPECT_EQ(list.Item(1)->ID(), newerId);

  list.AddNotifier(x.OtherMethod());
  list.RemoveNotifiersOf(&x);
  EXPECT_EQ(Subscribers(list, {&x, &y}), "y");
  list.RemoveNotifier(x.Method());  // none left: nothing happens
  EXPECT_EQ(list.Count(), 1);
}

TEST(TNotifierList, NotifiesTheLastAddedFirstWhileListenersUnsubscribe) {
  struct Row {
    const char* name;
    bool yUnsubscribes;
    bool alsoX;
    std::vector<std::string> heard;
    std::string left;
  };
  const Row rows[] = {
      {"all stay", false, false, {"z:S:7", "y:S:7", "x:S:7"}, "xyz"},
      {"y leaves", true, false, {"z:S:7", "y:S:7", "x:S:7"}, "xz"},
      {"y leaves and removes the older x", true, true, {"z:S:7", "y:S:7"}, "z"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    heard.clear();
    TComponent sender(nullptr);
    sender.SetName("S");
    TListener x("x"), y("y"), z("z");
    TNotifierList list;
    for (TListener* listener : {&x, &y, &z}) list.AddNotifier(listener->Method());
    if (row.yUnsubscribes) y.Unsubscribes = &list;
    if (row.alsoX) y.AlsoUnsubscribes = &x;
    list.Notify(&sender, &heard, 7);
    EXPECT_THAT(heard, ElementsAreArray(row.heard));
    EXPECT_EQ(Subscribers(list, {&x, &y, &z}), row.left);
  }
}

}  // namespace
