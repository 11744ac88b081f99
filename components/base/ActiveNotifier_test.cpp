#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "components/base/zrhook.h"
#include "testing/FocusWindow.h"

namespace {

std::vector<std::string> heard;

// A notifier that logs "<name>:<the focus widget>" when told.
TCustomActiveNotifier* MakeNotifier(const std::string& Name) {
  auto* notifier = new TCustomActiveNotifier(nullptr);
  notifier->OnActiveChanged = [Name](TObject*) {
    QWidget* focus = QApplication::focusWidget();
    heard.push_back(Name + ":" + (focus ? focus->objectName().toStdString() : "-"));
  };
  return notifier;
}

TEST(TCustomActiveNotifier, EachNotifierIsToldOnceAfterAWidgetTookTheFocus) {
  FocusWindow window(heard);
  TCustomActiveNotifier* first = MakeNotifier("first");
  TCustomActiveNotifier* second = MakeNotifier("second");
  window.b->setFocus();
  window.a->setFocus();
  EXPECT_EQ(heard, (std::vector<std::string>{"in:b", "first:b", "second:b", "in:a", "first:a", "second:a"}));
  first->Free();
  second->Free();
}

TEST(TCustomActiveNotifier, TheSubscriptionEndsWithTheLastNotifierAndStartsAgainWithANewOne) {
  FocusWindow window(heard);
  EXPECT_FALSE(ActiveHookInstalled());
  TCustomActiveNotifier* first = MakeNotifier("first");
  TCustomActiveNotifier* second = MakeNotifier("second");
  EXPECT_TRUE(ActiveHookInstalled());
  first->Free();
  EXPECT_TRUE(ActiveHookInstalled());
  EXPECT_TRUE(FocusChannelListening());
  second->Free();
  EXPECT_FALSE(ActiveHookInstalled());
  EXPECT_FALSE(FocusChannelListening());
  window.b->setFocus();

  TCustomActiveNotifier* third = MakeNotifier("third");
  EXPECT_TRUE(ActiveHookInstalled());
  window.a->setFocus();
  EXPECT_EQ(heard, (std::vector<std::string>{"in:b", "in:a", "third:a"}));
  third->Free();
}

TEST(TCustomActiveNotifier, ANoticeSkipsNotifiersFreedOrMadeWhileItRuns) {
  FocusWindow window(heard);
  TCustomActiveNotifier* second = nullptr;
  TCustomActiveNotifier* late = nullptr;
  auto* first = new TCustomActiveNotifier(nullptr);
  first->OnActiveChanged = [&](TObject*) {
    heard.push_back("first");
    FreeAndNil(second);
    if (!late) late = MakeNotifier("late");
  };
  second = MakeNotifier("second");
  window.b->setFocus();
  EXPECT_EQ(heard, (std::vector<std::string>{"in:b", "first"}));
  window.a->setFocus();
  EXPECT_EQ(heard, (std::vector<std::string>{"in:b", "first", "in:a", "first", "late:a"}));
  first->Free();
  late->Free();
  EXPECT_FALSE(ActiveHookInstalled());
}

}  // namespace
