#include "components/base/FormPlacement.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QRect>
#include <QWidget>
#include <string>

#include "components/base/RegistrySettings.h"
#include "platform/classes/StoreTesting.h"

namespace {

const std::string kKey = std::string("\\") + kDefaultSettingsRoot + "\\Forms\\Main";

class FormPlacementTest : public TRegistryFileTest {
 protected:
  void TearDown() override {
    FreeSharedRegistry();
    TRegistryFileTest::TearDown();
  }
  static void StorePlacement(const TWindowPlacement& Placement, int State) {
    const auto bytes = Placement.ToBytes();
    WriteRegBinary("Forms\\Main\\WinPos", bytes.data(), kWindowPlacementSize);
    WriteRegVariant("Forms\\Main\\WindowState", std::int32_t{State});
  }
  static TWindowPlacement Stored() {
    TRegistry reg;
    EXPECT_TRUE(reg.OpenKey(kKey, false));
    std::array<std::uint8_t, kWindowPlacementSize> bytes{};
    EXPECT_EQ(reg.ReadBinaryData("WinPos", bytes.data(), kWindowPlacementSize), kWindowPlacementSize);
    return TWindowPlacement::FromBytes(bytes);
  }
  static int StoredState() {
    TRegistry reg;
    EXPECT_TRUE(reg.OpenKey(kKey, false));
    return reg.ReadInteger("WindowState");
  }
  static void ShowAt(QWidget& Form, const QRect& Frame) {
    Form.move(Frame.topLeft());
    Form.resize(Frame.size());
    Form.show();
    QApplication::processEvents();
  }
};

TEST_F(FormPlacementTest, TheRecordIsFortyFourLittleEndianBytes) {
  const TWindowPlacement placement{44, 0, 3, -1, -1, -1, -1, 10, 20, 410, 0x01020304};
  const auto bytes = placement.ToBytes();
  const std::array<std::uint8_t, 8> first = {0x2C, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_TRUE(std::equal(first.begin(), first.end(), bytes.begin()));
  EXPECT_EQ(bytes[8], 3);
  EXPECT_EQ(bytes[12], 0xFF);  // -1
  EXPECT_EQ(bytes[28], 10);
  EXPECT_EQ(bytes[40], 0x04);
  EXPECT_EQ(bytes[43], 0x01);
  EXPECT_EQ(TWindowPlacement::FromBytes(bytes), placement);
}

TEST_F(FormPlacementTest, LoadingSetsTheFrameFromTheNormalRectangle) {
  TWindowPlacement placement;
  placement.Left = 10, placement.Top = 20, placement.Right = 410, placement.Bottom = 320;
  StorePlacement(placement, 0);
  QWidget form;
  ShowAt(form, QRect(50, 60, 200, 100));
  LoadFormPlacement(&form, "Main");
  QApplication::processEvents();
  const QRect frame = form.frameGeometry();
  EXPECT_EQ(frame.left(), 10);
  EXPECT_EQ(frame.top(), 20);
  EXPECT_EQ(frame.width(), 400);
  EXPECT_EQ(frame.height(), 300);
  EXPECT_FALSE(form.isMaximized());
}

TEST_F(FormPlacementTest, SavingAndLoadingAgainDoesNotMoveTheWindow) {
  QWidget form;
  const QRect start(100, 120, 300, 200);
  ShowAt(form, start);
  const QRect frame = form.frameGeometry();
  for (int cycle = 0; cycle < 5; ++cycle) {
    SCOPED_TRACE(cycle);
    SaveFormPlacement(&form, "Main");
    LoadFormPlacement(&form, "Main");
    QApplication::processEvents();
    EXPECT_EQ(form.frameGeometry(), frame);
  }
  const TWindowPlacement stored = Stored();
  EXPECT_EQ(stored.Length, 44);
  EXPECT_EQ(stored.ShowCmd, 1);
  EXPECT_EQ(stored.Left, frame.x());
  EXPECT_EQ(stored.Right, frame.x() + frame.width());
  EXPECT_EQ(StoredState(), 0);
}

TEST_F(FormPlacementTest, AMaximisedWindowKeepsItsNormalRectangleAndState) {
  QWidget form;
  ShowAt(form, QRect(30, 40, 320, 240));
  const QRect normal = form.frameGeometry();
  form.showMaximized();
  QApplication::processEvents();
  ASSERT_TRUE(form.isMaximized());
  SaveFormPlacement(&form, "Main");
  const TWindowPlacement stored = Stored();
  EXPECT_EQ(stored.ShowCmd, 3);
  EXPECT_EQ(QRect(stored.Left, stored.Top, stored.Right - stored.Left, stored.Bottom - stored.Top), normal);
  EXPECT_EQ(StoredState(), 2);

  QWidget other;
  ShowAt(other, QRect(0, 0, 100, 100));
  LoadFormPlacement(&other, "Main");
  QApplication::processEvents();
  EXPECT_TRUE(other.isMaximized());
  other.showNormal();
  QApplication::processEvents();
  EXPECT_EQ(other.frameGeometry(), normal);
}

TEST_F(FormPlacementTest, NothingHappensWithoutAWindowOrAWholeRecord) {
  QWidget hidden;  // never shown: no window yet
  SaveFormPlacement(&hidden, "Main");
  SaveFormPlacement(nullptr, "Main");
  LoadFormPlacement(nullptr, "Main");
  EXPECT_EQ(FileText(RegistryFile()), "");

  QWidget form;
  const QRect start(70, 80, 200, 150);
  ShowAt(form, start);
  const QRect frame = form.frameGeometry();
  LoadFormPlacement(&form, "Main");  // nothing stored
  const char shortRecord[10] = {44};
  WriteRegBinary("Forms\\Main\\WinPos", shortRecord, 10);
  LoadFormPlacement(&form, "Main");
  QApplication::processEvents();
  EXPECT_EQ(form.frameGeometry(), frame);
}

}  // namespace
