#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "components/base/BaseModules.h"
#include "components/base/zrhook.h"
#include "testing/ObjectFreedRecorder.h"

namespace {

class TWatched : public TObject {
  KESTOVA_CLASS(TWatched)
};
KESTOVA_CLASS_INFO(TWatched, TObject, "test", nullptr)

class TWatchedComponent : public TComponent {
  KESTOVA_CLASS(TWatchedComponent)
 public:
  TWatchedComponent() : TComponent(nullptr) {}
};
KESTOVA_CLASS_INFO(TWatchedComponent, TComponent, "test", nullptr)

// Logs each notice as "<name>" when told the watched address, "<name>?"
// otherwise.
struct Watcher {
  const void* watched = nullptr;
  std::vector<std::string> log;

  void Note(const std::string& Name, const void* Instance) { log.push_back(Name + (Instance == watched ? "" : "?")); }
  void A(const void* Instance) { Note("a", Instance); }
  void B(const void* Instance) { Note("b", Instance); }
  // Removes its own registration while it runs.
  void R(const void* Instance) {
    Note("r", Instance);
    RemoveFreeNotifier(static_cast<const TObject*>(Instance), Method('r'));
  }
  TFreeNotifyEvent Method(char Name) {
    switch (Name) {
      case 'a':
        return TFreeNotifyEvent::Of<&Watcher::A>(*this);
      case 'b':
        return TFreeNotifyEvent::Of<&Watcher::B>(*this);
      default:
        return TFreeNotifyEvent::Of<&Watcher::R>(*this);
    }
  }
};

std::string Joined(const std::vector<std::string>& Log) {
  std::string text;
  for (const std::string& s : Log) text += (text.empty() ? "" : " ") + s;
  return text;
}

TEST(FreeNotifiers, RunOnceInRegistrationOrderForObjectsAndComponents) {
  struct Case {
    const char* name;
    const char* added;    // methods registered, in order
    const char* removed;  // methods removed before the object is freed
    const char* told;     // the notices of the free
  };
  const Case cases[] = {
      {"two methods run in order", "ab", "", "a b"},
      {"removing one of two leaves the other", "ab", "a", "b"},
      {"removing the only one", "a", "a", ""},
      {"a notifier removing itself does not skip the next", "rb", "", "r b"},
      {"a method registered twice runs twice", "aab", "", "a a b"},
      {"a method registered twice and removed once is gone", "aba", "a", "b"},
  };
  for (const bool component : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (component ? " (component)" : " (object)"));
      TObject* object = component ? static_cast<TObject*>(new TWatchedComponent) : new TWatched;
      Watcher watcher;
      watcher.watched = object;
      for (const char* m = c.added; *m; ++m) AddFreeNotifier(object, watcher.Method(*m));
      for (const char* m = c.removed; *m; ++m) RemoveFreeNotifier(object, watcher.Method(*m));
      const bool watched = *c.added && std::string(c.added).find_first_not_of(c.removed) != std::string::npos;
      EXPECT_EQ(component ? NotifierStorage() != nullptr : FreeNotifiers() && FreeNotifiers()->FindInfo(object),
                watched);

      object->Free();
      EXPECT_EQ(Joined(watcher.log), c.told);
      EXPECT_EQ(NotifierStorage(), nullptr) << "the storage frees itself with its last component";
      EXPECT_EQ(FreeNotifiers() ? FreeNotifiers()->Count() : 0, 0);
      // A new object at the freed address would be released the same way:
      // nothing is told any more.
      NotifyObjectReleased(object);
      EXPECT_EQ(Joined(watcher.log), c.told);
    }
  }
}

TEST(FreeNotifiers, ObjectsAreToldAfterTheirReleaseAndComponentsWhileWhole) {
  ObjectFreedRecorder released;
  std::vector<std::string> log;
  auto* object = new TWatched;
  auto* component = new TWatchedComponent;
  const void* objectAddress = object;
  TFreeNotifyEvent objectFreed = [&](const void* Instance) {
    const bool after = std::count(released.freed.begin(), released.freed.end(), Instance) == 1;
    log.push_back(after ? "object after release" : "object before release");
  };
  TFreeNotifyEvent componentFreed = [&](const void* Instance) {
    log.push_back(static_cast<const TObject*>(Instance)->ClassName());
  };
  AddFreeNotifier(object, objectFreed);
  AddFreeNotifier(component, componentFreed);
  component->Free();
  object->Free();
  EXPECT_EQ(log, (std::vector<std::string>{"TWatchedComponent", "object after release"}));
  EXPECT_EQ(std::count(released.freed.begin(), released.freed.end(), objectAddress), 1);
}

TEST(FreeNotifiers, WhileNothingIsWatchedTheDeleteSeamIsEmpty) {
  EXPECT_EQ(SetObjectFreedObserver(nullptr), nullptr);
  TWatched object;
  TFreeNotifyEvent told = [](const void*) {};
  AddFreeNotifier(&object, told);
  TObjectFreedObserver* hung = SetObjectFreedObserver(nullptr);
  EXPECT_NE(hung, nullptr);
  SetObjectFreedObserver(hung);
  RemoveFreeNotifier(&object, told);
  EXPECT_EQ(SetObjectFreedObserver(nullptr), nullptr);
}

TEST(FreeNotifiers, ShutDownDropsEveryRegistrationWithoutRunningOne) {
  ModuleTable modules;
  AddComponentBaseModules(modules);
  modules.StartUp();
  int told = 0;
  TFreeNotifyEvent count = [&](const void*) { ++told; };
  auto* object = new TWatched;
  auto* component = new TWatchedComponent;
  AddFreeNotifier(object, count);
  AddFreeNotifier(component, count);
  auto* active = new TCustomActiveNotifier(nullptr);
  ASSERT_NE(NotifierStorage(), nullptr);
  ASSERT_TRUE(ActiveHookInstalled());
  modules.ShutDown();
  EXPECT_EQ(FreeNotifiers(), nullptr);
  EXPECT_EQ(NotifierStorage(), nullptr);
  EXPECT_FALSE(ActiveHookInstalled());
  EXPECT_EQ(told, 0);
  component->Free();
  object->Free();
  active->Free();
  EXPECT_EQ(told, 0);
  EXPECT_EQ(SetObjectFreedObserver(nullptr), nullptr);
}

TEST(FreeNotifiers, WatchedAddressesAreOrderedAsFullAddresses) {
  // Two addresses 4 GiB apart differ only above the low 32 bits.
  TFreeNotifiersList list;
  const auto low = reinterpret_cast<const void*>(std::uintptr_t{0x7000'0000'1000});
  const auto high = reinterpret_cast<const void*>(std::uintptr_t{0x7001'0000'1000});
  const auto top = reinterpret_cast<const void*>(std::uintptr_t{0x7fff'ffff'f000});
  TFreeNotifyEvent none = [](const void*) {};
  for (const void* address : {top, high, low}) EXPECT_TRUE(list.AddNotifier(address, none));
  EXPECT_FALSE(list.AddNotifier(high, none)) << "a second registration for a known address";
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(static_cast<TFreeNotifierInfo*>(list.Items(0))->Instance, low);
  EXPECT_EQ(static_cast<TFreeNotifierInfo*>(list.Items(2))->Instance, top);
  for (const void* address : {low, high, top}) EXPECT_EQ(list.FindInfo(address)->Instance, address);
  EXPECT_EQ(list.FindInfo(reinterpret_cast<const void*>(std::uintptr_t{0x1000})), nullptr);
  FreeSortedListItems(&list);
}

}  // namespace
