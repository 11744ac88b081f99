#include "platform/graphics/QtGraphics.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>

namespace {

TEST(QtGraphicsTest, FaceNamesMapToInstalledFamilies) {
  struct Case {
    const char* face;
    const char* family;
  } cases[] = {
      {"FixedSys", "monospace"},
      {"fixedsys", "monospace"},
      {"\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF", "sans-serif"},
      {"MS Gothic", "sans-serif"},
      {"MS Sans Serif", "sans-serif"},
      {"", "sans-serif"},
      {"Arial", "Arial"},
      {"Courier New", "Courier New"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    EXPECT_EQ(FontFamilyFor(c.face), QString::fromUtf8(c.family));
  }
  const LogFont arial{-44, 0, 0, FW_NORMAL, false, false, false, DEFAULT_PITCH, "Arial"};
  EXPECT_EQ(QFontInfo(QFontOfLogFont(arial, 11)).family(), "Liberation Sans") << "a metric-compatible face";
}

TEST(QtGraphicsTest, LogicalFontHeightsGiveCharacterOrCellHeight) {
  LogFont font{0, 0, 0, FW_BOLD, true, true, true, DEFAULT_PITCH, "Arial"};
  EXPECT_EQ(EmOfLogFontHeight(font), 12.0);
  font.Height = -20;
  EXPECT_EQ(EmOfLogFontHeight(font), 20.0);
  font.Height = 40;  // a cell 40 high
  const double em = EmOfLogFontHeight(font);
  EXPECT_LT(em, 40.0);
  const QFont q = QFontOfLogFont(font, em);
  const QFontMetricsF metrics(q);
  EXPECT_NEAR(metrics.ascent() + metrics.descent(), 40.0, 1.0);
  EXPECT_TRUE(q.bold());
  EXPECT_TRUE(q.italic());
  EXPECT_TRUE(q.underline());
  EXPECT_TRUE(q.strikeOut());
  EXPECT_EQ(QFontOfLogFont(font, 0.2).pixelSize(), 1) << "never below one pixel";
}

TEST(QtGraphicsTest, DeviceSizesFallBackTo96Dpi) {
  QImage image(960, 480, QImage::Format_RGB32);
  image.setDotsPerMeterX(3780);
  image.setDotsPerMeterY(3780);
  const DeviceInfo info = DeviceInfoOf(image);
  EXPECT_EQ(info.HorzRes, 960);
  EXPECT_EQ(info.VertRes, 480);
  EXPECT_EQ(info.LogPixelsX, 96);
  EXPECT_EQ(info.HorzSize, 254);
  EXPECT_EQ(info.VertSize, 127);

  const DeviceInfo screen = ScreenDeviceInfo();
  const QScreen* primary = QGuiApplication::primaryScreen();
  ASSERT_NE(primary, nullptr);
  EXPECT_EQ(screen.HorzRes, primary->size().width());
  EXPECT_GT(screen.LogPixelsX, 0);
  EXPECT_EQ(screen, DeviceInfoFromPixels(screen.HorzRes, screen.VertRes, screen.LogPixelsX))
      << "millimetres follow from the logical resolution";
}

TEST(QtGraphicsTest, ColoursResolveToRgb) {
  EXPECT_EQ(QColorOf(clRed), QColor(255, 0, 0));
  EXPECT_EQ(QColorOf(RGB(1, 2, 3)), QColor(1, 2, 3));
  EXPECT_EQ(QColorOf(clWindow), QColor(255, 255, 255));
}

}  // namespace
