#include "components/base/CanvasUtils.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/graphics/Bitmap.h"

namespace {

// A bitmap whose pixel (x, y) is a colour of its own.
void Number(TBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) bitmap.SetPixel(x, y, RGB(10 + 20 * x, 10 + 20 * y, 77));
}

// Rows of '#' (filled in `color`) and '.' (anything else).
std::string Picture(TBitmap& bitmap, TColor color) {
  std::string rows;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) rows += bitmap.Pixel(x, y) == color ? '#' : '.';
    rows += '\n';
  }
  return rows;
}

TEST(FillRectAround, FillsEveryPixelOfOuterThatIsNotInInner) {
  struct Row {
    Rect inner;
    std::string picture;
  } rows[] = {
      {{2, 1, 4, 3}, "######\n##..##\n##..##\n######\n"},
      // An inner rectangle reaching past the outer one: the bands are cut.
      {{3, 2, 9, 9}, "######\n######\n###...\n###...\n"},
      {{0, 0, 6, 4}, "......\n......\n......\n......\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.picture);
    TBitmap bitmap(6, 4);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush()->SetColor(clRed);
    FillRectAround(canvas, {0, 0, 6, 4}, row.inner);
    EXPECT_EQ(Picture(bitmap, clRed), row.picture);
  }
}

TEST(MaskedBlt, SourceWhereTheMaskIsBlackTargetWhereWhiteAlsoStretched) {
  TBitmap source(3, 2);
  Number(source);
  TBitmap mask(3, 2);
  mask.Canvas().Brush()->SetColor(clBlack);
  mask.Canvas().FillRect({0, 0, 3, 2});
  mask.SetPixel(1, 0, clWhite);
  mask.SetPixel(2, 1, clWhite);

  TBitmap plain(3, 2);
  plain.Canvas().Brush()->SetColor(clGreen);
  plain.Canvas().FillRect({0, 0, 3, 2});
  MaskedBlt(plain.Canvas(), {0, 0, 3, 2}, source, {0, 0, 3, 2}, mask);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
      const bool kept = (x == 1 && y == 0) || (x == 2 && y == 1);
      EXPECT_EQ(plain.Pixel(x, y), kept ? clGreen : source.Pixel(x, y));
    }

  // Twice the size: every target pixel is what the plain copy gave for the
  // source pixel under it.
  TBitmap stretched(6, 4);
  stretched.Canvas().Brush()->SetColor(clGreen);
  stretched.Canvas().FillRect({0, 0, 6, 4});
  MaskedBlt(stretched.Canvas(), {0, 0, 6, 4}, source, {0, 0, 3, 2}, mask);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(stretched.Pixel(x, y), plain.Pixel(x / 2, y / 2)) << x << "," << y;
}

TEST(MaskedBlt, PartOutsideTheSourceOrMaskOfAnotherSizeDrawsNothing) {
  TBitmap source(3, 2);
  Number(source);
  const TBitmap mask(3, 2);  // white: keep everything
  TBitmap blackMask(2, 2);
  blackMask.Canvas().Brush()->SetColor(clBlack);
  blackMask.Canvas().FillRect({0, 0, 2, 2});
  TBitmap target(3, 2);
  MaskedBlt(target.Canvas(), {0, 0, 3, 2}, source, {0, 0, 3, 2}, mask);
  MaskedBlt(target.Canvas(), {0, 0, 3, 2}, source, {0, 0, 2, 2}, blackMask);
  MaskedBlt(target.Canvas(), {0, 0, 3, 2}, source, {1, 0, 4, 2}, TBitmap(3, 2));
  EXPECT_EQ(Picture(target, clWhite), "###\n###\n");
}

TEST(BlendRect, SourceShowsWhereTheTargetIsNotTheColour) {
  TBitmap target(4, 1);
  target.SetPixel(1, 0, clBlue);
  target.SetPixel(3, 0, clBlue);
  TBitmap source(4, 1);
  Number(source);
  BlendRect(target.Canvas(), source.Canvas(), {0, 0, 4, 1}, clWhite, {0, 0, 4, 1});
  EXPECT_EQ(target.Pixel(0, 0), clWhite);
  EXPECT_EQ(target.Pixel(1, 0), source.Pixel(1, 0));
  EXPECT_EQ(target.Pixel(2, 0), clWhite);
  EXPECT_EQ(target.Pixel(3, 0), source.Pixel(3, 0));
}

TEST(CheckBoxGlyph, IsAQuarterAndAThirdOfTheClassicBitmap) {
  EXPECT_EQ(GetCheckBoxWidth(), 13);
  EXPECT_EQ(GetCheckBoxHeight(), 13);
}

}  // namespace
