#include "platform/ui/PopupWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace {

TEST(TPopupWindow, ShownOrClickedItLeavesTheFocusInTheEdit) {
  QWidget form;
  auto* edit = new QLineEdit(&form);
  form.resize(200, 100);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QApplication::setActiveWindow(&form);
  edit->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), edit);

  TPopupWindow popup;
  EXPECT_NE(popup.windowType(), Qt::Popup);
  EXPECT_TRUE(popup.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(popup.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  popup.ShowAt(QRect(10, 120, 80, 30));
  QApplication::processEvents();
  EXPECT_TRUE(popup.isVisible());
  EXPECT_EQ(popup.geometry(), QRect(10, 120, 80, 30));
  EXPECT_EQ(QApplication::activeWindow(), &form);
  EXPECT_EQ(QApplication::focusWidget(), edit);
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

  QTest::mouseClick(&popup, Qt::LeftButton, {}, QPoint(5, 5));
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), edit);
  EXPECT_TRUE(popup.isVisible());  // its owner decides when it goes
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
  EXPECT_EQ(edit->text(), "x");
}

}  // namespace
