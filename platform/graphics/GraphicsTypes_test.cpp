#include "platform/graphics/GraphicsTypes.h"

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"

namespace {

TEST(GraphicsTypesTest, FontSizeAndHeightConvertAtItsResolution) {
  struct Case {
    std::int32_t height, ppi, size;
  } cases[] = {{-11, 96, 8}, {-13, 96, 10}, {-16, 96, 12}, {-10, 72, 10}, {-17, 120, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.height << " at " << c.ppi);
    TFontData font;
    font.PixelsPerInch = c.ppi;
    font.Height = c.height;
    EXPECT_EQ(font.Size(), c.size);
    font.SetSize(c.size);
    EXPECT_EQ(font.Height, c.height);
  }
  TFontData font;
  font.Height = 20;  // a cell height reads back as a negative size
  EXPECT_EQ(font.Size(), -15);
}

TEST(GraphicsTypesTest, FontStylesStoreAsBits) {
  TFontStyles styles{TFontStyle::fsBold, TFontStyle::fsStrikeOut};
  EXPECT_EQ(styles.Bits(), 9);
  EXPECT_TRUE(styles.Contains(TFontStyle::fsBold));
  EXPECT_FALSE(styles.Contains(TFontStyle::fsItalic));
  styles.Exclude(TFontStyle::fsBold);
  styles.Include(TFontStyle::fsUnderline);
  EXPECT_EQ(styles.Bits(), 12);
  EXPECT_EQ(TFontStyles::FromBits(0xF3).Bits(), 3) << "bits above strike-out are dropped";
}

TEST(GraphicsTypesTest, LogFontOfScalesHeightAndMapsStyleAndPitch) {
  TFontData font;
  font.Name = "Courier New";
  font.Height = -11;
  font.Style = {TFontStyle::fsBold, TFontStyle::fsItalic, TFontStyle::fsUnderline};
  font.Pitch = TFontPitch::fpFixed;
  const LogFont f = LogFontOf(font, 4, 900);
  EXPECT_EQ(f, (LogFont{-44, 900, 900, FW_BOLD, true, true, false, FIXED_PITCH, "Courier New"}));

  font.Style = {TFontStyle::fsStrikeOut};
  font.Pitch = TFontPitch::fpVariable;
  EXPECT_EQ(LogFontOf(font), (LogFont{-11, 0, 0, FW_NORMAL, false, false, true, VARIABLE_PITCH, "Courier New"}));
  font.Pitch = TFontPitch::fpDefault;
  EXPECT_EQ(LogFontOf(font).Pitch, DEFAULT_PITCH);
  EXPECT_EQ(LogFontOf(font).Charset, DEFAULT_CHARSET);
  font.Charset = SYMBOL_CHARSET;
  EXPECT_EQ(LogFontOf(font).Charset, SYMBOL_CHARSET);

  font.Height = -1 << 30;
  EXPECT_THROW(LogFontOf(font, 4), EIntOverflow);
}

TEST(GraphicsTypesTest, BrushStylesMapToSolidNullOrHatched) {
  struct Case {
    TBrushStyle style;
    BrushKind kind;
    HatchStyle hatch;
  } cases[] = {
      {TBrushStyle::bsSolid, BS_SOLID, HS_HORIZONTAL},
      {TBrushStyle::bsClear, BS_NULL, HS_HORIZONTAL},
      {TBrushStyle::bsHorizontal, BS_HATCHED, HS_HORIZONTAL},
      {TBrushStyle::bsVertical, BS_HATCHED, HS_VERTICAL},
      {TBrushStyle::bsFDiagonal, BS_HATCHED, HS_FDIAGONAL},
      {TBrushStyle::bsBDiagonal, BS_HATCHED, HS_BDIAGONAL},
      {TBrushStyle::bsCross, BS_HATCHED, HS_CROSS},
      {TBrushStyle::bsDiagCross, BS_HATCHED, HS_DIAGCROSS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style));
    EXPECT_EQ(LogBrushOf(c.style, clRed), (LogBrush{c.kind, clRed, c.hatch}));
  }
}

TEST(GraphicsTypesTest, PenStylesAndModesMapToDeviceValues) {
  EXPECT_EQ(PenDashStyleOf(TPenStyle::psSolid), PS_SOLID);
  EXPECT_EQ(PenDashStyleOf(TPenStyle::psDash), PS_DASH);
  EXPECT_EQ(PenDashStyleOf(TPenStyle::psDot), PS_DOT);
  EXPECT_EQ(PenDashStyleOf(TPenStyle::psClear), PS_NULL);
  EXPECT_EQ(PenDashStyleOf(TPenStyle::psInsideFrame), PS_INSIDEFRAME);
  EXPECT_EQ(Rop2Of(TPenMode::pmCopy), R2_COPYPEN);
  EXPECT_EQ(Rop2Of(TPenMode::pmNotXor), R2_NOTXORPEN);
  EXPECT_EQ(Rop2Of(TPenMode::pmXor), R2_XORPEN);
  EXPECT_EQ(Rop2Of(TPenMode::pmNot), R2_NOT);
  EXPECT_EQ(Rop2Of(TPenMode::pmNop), R2_NOP);
}

TEST(GraphicsTypesTest, DefaultsAreThoseOfNewObjects) {
  EXPECT_EQ(TPenData{}, (TPenData{clBlack, 1, TPenStyle::psSolid, TPenMode::pmCopy}));
  EXPECT_EQ(TBrushData{}, (TBrushData{clWhite, TBrushStyle::bsSolid}));
  const TFontData font;
  EXPECT_EQ(font.Size(), 8);
  EXPECT_EQ(font.Color, clWindowText);
}

}  // namespace
