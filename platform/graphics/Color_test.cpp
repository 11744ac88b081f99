#include "platform/graphics/Color.h"

#include <gtest/gtest.h>

#include <QPalette>

namespace {

class ColorTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetSystemColors(); }
};

TEST_F(ColorTest, ComponentsAreStoredAsBlueGreenRed) {
  EXPECT_EQ(RGB(255, 0, 0), clRed);
  EXPECT_EQ(RGB(0, 0, 255), clBlue);
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412);
  EXPECT_EQ(GetRValue(0x563412), 0x12);
  EXPECT_EQ(GetGValue(0x563412), 0x34);
  EXPECT_EQ(GetBValue(0x563412), 0x56);
}

TEST_F(ColorTest, ColorToRGBResolvesSystemColoursAndMarkers) {
  struct Case {
    TColor color;
    TColor rgb;
  } cases[] = {
      {clTeal, 0x808000},
      {clWindow, 0xFFFFFF},
      {clWindowText, 0x000000},
      {static_cast<TColor>(0x80000005), 0xFFFFFF},  // the older system-colour form
      {SystemColor(99), clBlack},                   // no such system colour
      {clNone, clWhite},
      {clDefault, clBlack},
      {0x02123456, 0x123456},  // palette flags dropped
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.color);
    EXPECT_EQ(ColorToRGB(c.color), c.rgb);
  }
  EXPECT_TRUE(IsSystemColor(clInfoBk));
  EXPECT_FALSE(IsSystemColor(clWhite));
  EXPECT_FALSE(IsSystemColor(clNone));
}

TEST_F(ColorTest, SystemColoursFollowThePalette) {
  QPalette palette;
  palette.setColor(QPalette::Active, QPalette::Button, QColor(10, 20, 30));
  palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(99, 98, 97));
  LoadSystemColors(palette);
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(10, 20, 30));
  EXPECT_EQ(ColorToRGB(clWindow), RGB(1, 2, 3));
  EXPECT_EQ(ColorToRGB(clGrayText), RGB(99, 98, 97));
  EXPECT_EQ(ColorToRGB(clActiveCaption), RGB(0, 0, 128)) << "roles the palette lacks keep the scheme";
  ResetSystemColors();
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(240, 240, 240));
}

}  // namespace
