#include "platform/controls/Timer.h"

#include <gtest/gtest.h>

#include <QTest>

#include "platform/core/Exceptions.h"
#include "platform/ui/DialogService.h"

namespace {

TEST(TTimer, TicksOnlyWhenEnabledWithAnIntervalAndAHandler) {
  int ticks = 0;
  TTimer timer(nullptr);
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_TRUE(timer.Enabled());
  timer.SetInterval(2);
  QTest::qWait(20);  // no handler yet
  EXPECT_EQ(ticks, 0);
  timer.SetOnTimer([&](TObject* Sender) {
    EXPECT_EQ(Sender, &timer);
    ++ticks;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }));
  struct Row {
    bool enabled;
    unsigned interval;
  } stopped[] = {{false, 2}, {true, 0}};
  for (const Row& row : stopped) {
    timer.SetEnabled(row.enabled);
    timer.SetInterval(row.interval);
    const int before = ticks;
    QTest::qWait(20);
    EXPECT_EQ(ticks, before);
  }
}

TEST(TTimer, AHandlerMayFailOrFreeItsTimer) {
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  int failures = 0;
  TTimer failing(nullptr);
  failing.SetInterval(2);
  failing.SetOnTimer([&](TObject*) {
    if (++failures == 2) failing.SetEnabled(false);
    throw Exception("Tick failed");
  });
  auto* freed = new TTimer(nullptr);
  int freedTicks = 0;
  freed->SetInterval(1);
  freed->SetOnTimer([&](TObject* Sender) {
    ++freedTicks;
    Sender->Free();  // ASan: nothing touches it afterwards
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return failures == 2 && freedTicks == 1; }));
  QTest::qWait(20);
  EXPECT_EQ(failures, 2);  // the error did not stop it; the handler did
  EXPECT_EQ(dialogs.Count("message"), 2);
  EXPECT_EQ(freedTicks, 1);
}

}  // namespace
