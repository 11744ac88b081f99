#include "platform/ui/Hooks.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/ui/DialogService.h"
#include "testing/FocusWindow.h"

namespace {

std::vector<std::string> heard;

struct Listener {
  std::string name;
  TFocusChangedHook* removes = nullptr;  // removed by this listener when told
  bool raises = false;
  void Heard(const TFocusChange& Change) {
    heard.push_back(name + ":" + (Change.Now ? Change.Now->objectName().toStdString() : "-") + "<" +
                    (Change.Old ? Change.Old->objectName().toStdString() : "-"));
    if (removes) RemoveFocusChangedHook(*removes);
    if (raises) throw Exception("hook failed");
  }
  TFocusChangedHook Hook() { return TFocusChangedHook::Of<&Listener::Heard>(*this); }
};

TEST(FocusChangedHooks, AreToldNewestFirstAfterTheWidgetHadItsFocusIn) {
  FocusWindow window(heard);
  Listener first{"first"}, second{"second"};
  AddFocusChangedHook(first.Hook());
  AddFocusChangedHook(second.Hook());
  AddFocusChangedHook(first.Hook());  // already there: once
  window.b->setFocus();
  window.a->setFocus();
  window.a->setFocus();  // no move: no notice
  EXPECT_EQ(heard, (std::vector<std::string>{"in:b", "second:b<a", "first:b<a", "in:a", "second:a<b", "first:a<b"}));
  RemoveFocusChangedHook(first.Hook());
  RemoveFocusChangedHook(second.Hook());
}

TEST(FocusChangedHooks, AHookRemovedDuringTheWalkIsPassedOverAndAFailingOneStopsNoOther) {
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  FocusWindow window(heard);
  Listener older{"older"}, failing{"failing"}, remover{"remover"};
  TFocusChangedHook olderHook = older.Hook();
  remover.removes = &olderHook;
  failing.raises = true;
  AddFocusChangedHook(older.Hook());
  AddFocusChangedHook(failing.Hook());
  AddFocusChangedHook(remover.Hook());
  window.b->setFocus();
  EXPECT_EQ(heard, (std::vector<std::string>{"in:b", "remover:b<a", "failing:b<a"}));
  ASSERT_EQ(dialogs.Count("message"), 1);
  EXPECT_EQ(dialogs.Calls()[0].text, "hook failed.");
  RemoveFocusChangedHook(failing.Hook());
  RemoveFocusChangedHook(remover.Hook());
}

TEST(FocusChangedHooks, TheChannelListensOnlyWhileItHasHooks) {
  FocusWindow window(heard);
  Listener one{"one"}, two{"two"};
  EXPECT_FALSE(FocusChannelListening());
  AddFocusChangedHook(one.Hook());
  AddFocusChangedHook(two.Hook());
  EXPECT_TRUE(FocusChannelListening());
  RemoveFocusChangedHook(one.Hook());
  EXPECT_TRUE(FocusChannelListening());
  RemoveFocusChangedHook(two.Hook());
  RemoveFocusChangedHook(two.Hook());  // gone already: nothing
  EXPECT_FALSE(FocusChannelListening());
  window.b->setFocus();
  EXPECT_EQ(heard, (std::vector<std::string>{"in:b"}));

  AddFocusChangedHook(one.Hook());
  EXPECT_TRUE(FocusChannelListening());
  window.a->setFocus();
  EXPECT_EQ(heard, (std::vector<std::string>{"in:b", "in:a", "one:a<b"}));
  RemoveFocusChangedHook(one.Hook());
}

}  // namespace

namespace {

struct ActivationListener {
  std::vector<std::string>* heard;
  std::string name;
  void Heard(bool Active) { heard->push_back(name + (Active ? ":on" : ":off")); }
  TActivationHook Hook() { return TActivationHook::Of<&ActivationListener::Heard>(*this); }
};

TEST(ActivationHooks, HearChangesBetweenActiveAndInactiveNewestFirstWhileHooked) {
  std::vector<std::string> told;
  ActivationListener older{&told, "older"}, newer{&told, "newer"};
  EXPECT_FALSE(ActivationChannelListening());
  AddActivationHook(older.Hook());
  AddActivationHook(newer.Hook());
  EXPECT_TRUE(ActivationChannelListening());
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  const bool startsActive = QGuiApplication::applicationState() == Qt::ApplicationActive;
  if (startsActive) emit app->applicationStateChanged(Qt::ApplicationInactive);
  told.clear();
  emit app->applicationStateChanged(Qt::ApplicationActive);
  emit app->applicationStateChanged(Qt::ApplicationActive);  // no change
  emit app->applicationStateChanged(Qt::ApplicationInactive);
  emit app->applicationStateChanged(Qt::ApplicationHidden);  // still inactive
  emit app->applicationStateChanged(Qt::ApplicationActive);
  EXPECT_EQ(told, (std::vector<std::string>{"newer:on", "older:on", "newer:off", "older:off", "newer:on", "older:on"}));
  RemoveActivationHook(newer.Hook());
  RemoveActivationHook(older.Hook());
  EXPECT_FALSE(ActivationChannelListening());
  told.clear();
  emit app->applicationStateChanged(Qt::ApplicationInactive);
  EXPECT_TRUE(told.empty());
}

}  // namespace
