#include "tree/model/NPleaseWait.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "tree/model/NPleaseWaitDlg.h"

namespace {

TEST(TPleaseWait, OwnsAHiddenDialogForItsLifetime) {
  QPointer<TPleaseWaitDlg> dialog;
  {
    TPleaseWait wait(nullptr);
    dialog = wait.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "N5: Please Wait...");
    EXPECT_EQ(dialog->StringDispPanel->text(), "Please Wait....");
    EXPECT_FALSE(dialog->StopPanel->isVisibleTo(dialog));
    EXPECT_FALSE(dialog->InProgressTimer->isActive());
    EXPECT_EQ(dialog->InProgressTimer->interval(), 50);
    EXPECT_EQ(dialog->PercentGauge->value(), 0);

    wait.SetPercentDone(50);
    EXPECT_EQ(wait.PercentDone(), 50);
    EXPECT_EQ(dialog->PercentGauge->value(), 50);
  }
  EXPECT_EQ(dialog, nullptr);  // freed with its progress object
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible());
}

TEST(TPleaseWait, SurvivesItsOwnerWindowGoingFirst) {
  auto* owner = new QWidget;
  TPleaseWait wait(owner);
  ASSERT_NE(wait.Dialog(), nullptr);
  delete owner;  // takes the dialog with it
  EXPECT_EQ(wait.Dialog(), nullptr);
  wait.SetPercentDone(10);
  EXPECT_EQ(wait.PercentDone(), 10);
}

TEST(TPleaseWaitDlg, TheTimerRunsTheGaugeRoundAndStopDisablesTheButton) {
  TPleaseWaitDlg dialog;
  std::vector<int> seen;
  for (int i = 0; i < 12; ++i) {
    dialog.InProgressTimerTimer();
    seen.push_back(dialog.PercentGauge->value());
  }
  EXPECT_EQ(seen, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0, 10}));

  EXPECT_TRUE(dialog.StopBitBtn->isEnabled());
  dialog.StopBitBtn->click();
  EXPECT_FALSE(dialog.StopBitBtn->isEnabled());
}

}  // namespace
