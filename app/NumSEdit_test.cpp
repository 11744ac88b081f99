#include "app/NumSEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "platform/core/NumberFormat.h"
#include "platform/ui/DialogService.h"

namespace {

// The main window's replicate box: integers 100..1000000, step 100, 1000.
struct BootstrapBox : ::testing::Test {
  BootstrapBox() : scope(dialogs) {
    edit.resize(120, 24);
    edit.SetIntegerOnly(true);
    edit.SetMinValue(100);
    edit.SetMaxValue(1000000);
    edit.SetIncrement(100);
    edit.SetValue(1000);
    edit.show();
    QApplication::setActiveWindow(&edit);
    edit.setFocus();
    dialogs.ClearCalls();
  }
  void Type(const char* text) {
    edit.selectAll();
    QTest::keyClicks(&edit, text);
  }
  ScriptedDialogService dialogs;
  ScopedDialogService scope;
  TNumberSpinEdit edit;
};

TEST_F(BootstrapBox, ArrowsEnterLeavingAndEscape) {
  QTest::keyClick(&edit, Qt::Key_Up);
  EXPECT_EQ(edit.text().toStdString(), "1100");
  EXPECT_EQ(edit.AsInteger(), 1100);

  Type("50");
  QTest::keyClick(&edit, Qt::Key_Return);
  EXPECT_EQ(edit.text().toStdString(), "100");

  Type("2000000");
  edit.clearFocus();
  EXPECT_EQ(edit.text().toStdString(), "1000000");
  EXPECT_EQ(edit.AsInteger(), 1000000);

  edit.setFocus();
  Type("123");
  QTest::keyClick(&edit, Qt::Key_Escape);
  EXPECT_EQ(edit.text().toStdString(), "1000000");
}

TEST_F(BootstrapBox, ANarrowBoxStillTakesEveryDigitOfItsLargestValue) {
  edit.resize(50, 24);
  ASSERT_LT(edit.VisibleDigitCount(), 7);
  Type("1000000");
  EXPECT_EQ(edit.text().toStdString(), "1000000");
  EXPECT_EQ(dialogs.Count("beep"), 0);
  QTest::keyClick(&edit, Qt::Key_1);  // one more than the largest value has
  EXPECT_EQ(edit.text().toStdString(), "1000000");
  EXPECT_EQ(dialogs.Count("beep"), 1);
}

TEST_F(BootstrapBox, LettersAreRefusedWithABeep) {
  Type("1a");
  EXPECT_EQ(edit.text().toStdString(), "1");
  EXPECT_EQ(dialogs.Count("beep"), 1);
  QTest::keyClick(&edit, Qt::Key_Return);  // "1" is clamped to the minimum
  EXPECT_EQ(edit.text().toStdString(), "100");
}

TEST_F(BootstrapBox, OnChangeFollowsValueChangesNotTyping) {
  int changes = 0;
  edit.OnChange = [&] { ++changes; };
  Type("500");
  EXPECT_EQ(changes, 0);
  QTest::keyClick(&edit, Qt::Key_Return);
  EXPECT_EQ(changes, 1);
  edit.SetValue(500);
  EXPECT_EQ(changes, 1);
}

struct PlainBox : ::testing::Test {
  PlainBox() : scope(dialogs) {
    SetDefaultDecimalSeparator('.');
    edit.resize(120, 24);
    edit.show();
    QApplication::setActiveWindow(&edit);
    edit.setFocus();
  }
  ScriptedDialogService dialogs;
  ScopedDialogService scope;
  TNumberSpinEdit edit;
};

TEST_F(PlainBox, EqualBoundsMeanNoBound) {
  edit.SetValue(-123456);
  EXPECT_EQ(edit.text().toStdString(), "-123456");
  edit.SetValue(98765);
  EXPECT_EQ(edit.Value(), 98765);
}

TEST_F(PlainBox, TypedDecimalsSetTheStep) {
  edit.SetValue(1);
  edit.selectAll();
  QTest::keyClicks(&edit, "1.25");
  QTest::keyClick(&edit, Qt::Key_Return);
  EXPECT_EQ(edit.text().toStdString(), "1.25");
  EXPECT_NEAR(static_cast<double>(edit.Increment()), 0.01, 1e-15);
  QTest::keyClick(&edit, Qt::Key_Up);
  EXPECT_EQ(edit.text().toStdString(), "1.26");
}

TEST_F(PlainBox, AValueTooWideShowsNines) {
  const int visible = edit.VisibleDigitCount();
  ASSERT_GT(visible, 3);
  edit.SetValue(std::pow(10.0L, visible + 2));
  EXPECT_EQ(edit.text().toStdString(), std::string(visible, '9'));
}

TEST_F(PlainBox, ATypedValueOutsideTheBoundsShowsTheClampedValue) {
  edit.SetMinValue(0);
  edit.SetMaxValue(10);
  edit.selectAll();
  QTest::keyClicks(&edit, "20");
  QTest::keyClick(&edit, Qt::Key_Return);
  EXPECT_EQ(edit.text().toStdString(), "10");
  EXPECT_EQ(edit.Value(), 10);
}

TEST(TimerSpeedButton, ClicksOnPressThenAfter400ThenEvery100) {
  TTimerSpeedButton button;
  button.resize(20, 20);
  button.show();
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  QTest::mousePress(&button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  ASSERT_NE(button.RepeatTimer(), nullptr);
  EXPECT_TRUE(button.RepeatTimer()->isActive());
  EXPECT_EQ(button.RepeatTimer()->interval(), 400);
  QTest::qWait(700);  // 400 ms, then about three more at 100 ms
  EXPECT_EQ(button.RepeatTimer()->interval(), 100);
  EXPECT_GE(clicks, 2);
  QTest::mouseRelease(&button, Qt::LeftButton);
  EXPECT_FALSE(button.RepeatTimer()->isActive());
  const int afterRelease = clicks;
  QTest::qWait(250);
  EXPECT_EQ(clicks, afterRelease);
}

}  // namespace
