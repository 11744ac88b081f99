#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Canvas.h"

namespace {

// A 4 x 3 bitmap with a different colour in each pixel.
void Fill(TBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      bitmap.SetPixel(x, y, RGB(static_cast<std::uint8_t>(40 * x), static_cast<std::uint8_t>(60 * y), 7));
}

TEST(Bitmap, TransparentColorIsTheBottomLeftPixelUntilFixed) {
  TBitmap bitmap(4, 3);
  Fill(bitmap);
  EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
  EXPECT_EQ(bitmap.TransparentColor(), RGB(0, 120, 7));
  bitmap.SetPixel(0, 2, clRed);
  EXPECT_EQ(bitmap.TransparentColor(), clRed);
  bitmap.SetTransparentColor(clLime);
  EXPECT_EQ(bitmap.TransparentMode(), tmFixed);
  EXPECT_EQ(bitmap.TransparentColor(), clLime);
  bitmap.SetTransparentColor(clDefault);
  EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
  EXPECT_EQ(bitmap.TransparentColor(), clRed);
  EXPECT_EQ(TBitmap().TransparentColor(), clDefault);
}

TEST(Bitmap, ResizingKeepsTheTopLeftPartAndFillsWhite) {
  TBitmap bitmap(4, 3);
  Fill(bitmap);
  bitmap.SetSize(2, 5);
  EXPECT_EQ(bitmap.Width(), 2);
  EXPECT_EQ(bitmap.Height(), 5);
  EXPECT_EQ(bitmap.Pixel(1, 2), RGB(40, 120, 7));
  EXPECT_EQ(bitmap.Pixel(1, 3), clWhite);
  EXPECT_EQ(bitmap.Pixel(2, 0), clNone);
  bitmap.SetSize(0, 5);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_THROW(bitmap.SetSize(kMaxBitmapSide + 1, 1), ERangeError);
}

TEST(Bitmap, CanvasDrawsOnThePixelsAndKeepsItsToolsAcrossDirectAccess) {
  TBitmap bitmap(10, 10);
  TCanvas* canvas = &bitmap.Canvas();
  canvas->Brush()->SetColor(clBlue);
  canvas->FillRect({2, 2, 5, 5});
  EXPECT_EQ(bitmap.Pixel(3, 3), clBlue);
  EXPECT_EQ(bitmap.Pixel(5, 5), clWhite);
  bitmap.SetPixel(0, 0, clRed);  // ends painting; the canvas stays
  EXPECT_EQ(&bitmap.Canvas(), canvas);
  EXPECT_EQ(canvas->Brush()->Color(), clBlue);
  canvas->FillRect({6, 6, 8, 8});
  EXPECT_EQ(bitmap.Pixel(7, 7), clBlue);
  EXPECT_EQ(bitmap.Pixel(0, 0), clRed);
  bitmap.SetSize(12, 12);  // a new image under the same canvas
  canvas->FillRect({10, 10, 12, 12});
  EXPECT_EQ(bitmap.Pixel(11, 11), clBlue);
  EXPECT_EQ(bitmap.Pixel(7, 7), clBlue);
  // An empty bitmap has a canvas that changes nothing.
  TBitmap empty;
  empty.Canvas().FillRect({0, 0, 4, 4});
  EXPECT_TRUE(empty.Empty());
}

TEST(Bitmap, BmpStreamsRoundTrip) {
  for (const auto& [w, h] : {std::pair{4, 3}, std::pair{1, 1}, std::pair{17, 5}}) {
    TBitmap bitmap(w, h);
    Fill(bitmap);
    const std::vector<std::uint8_t> bytes = bitmap.SaveToBytes();
    ASSERT_GE(bytes.size(), 54U);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    TBitmap loaded;
    loaded.LoadFromBytes(bytes);
    ASSERT_EQ(loaded.Width(), w);
    ASSERT_EQ(loaded.Height(), h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) EXPECT_EQ(loaded.Pixel(x, y), bitmap.Pixel(x, y)) << x << "," << y;
  }
  EXPECT_TRUE(TBitmap().SaveToBytes().empty());
}

TEST(Bitmap, BadStreamsLeaveTheBitmapUnchanged) {
  TBitmap source(3, 2);
  Fill(source);
  std::vector<std::uint8_t> huge = source.SaveToBytes();
  // Width in the header beyond the largest side.
  const std::uint32_t side = kMaxBitmapSide + 1;
  for (int i = 0; i < 4; ++i) huge[18 + i] = static_cast<std::uint8_t>(side >> (8 * i));
  std::vector<std::uint8_t> truncated = source.SaveToBytes();
  truncated.resize(20);
  const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

  TBitmap bitmap(2, 2);
  bitmap.SetPixel(1, 1, clRed);
  EXPECT_THROW(bitmap.LoadFromBytes(huge), ERangeError);
  for (const auto& bytes : {truncated, png, std::vector<std::uint8_t>{}})
    EXPECT_THROW(bitmap.LoadFromBytes(bytes), Exception);
  EXPECT_EQ(bitmap.Width(), 2);
  EXPECT_EQ(bitmap.Pixel(1, 1), clRed);
}

TEST(Bitmap, BlitPixelsAndTransparentMask) {
  TBitmap bitmap(2, 2);
  bitmap.SetPixel(0, 0, RGB(1, 2, 3));
  bitmap.SetPixel(1, 1, clBlack);
  const Bitmap32 pixels = bitmap.ToBitmap32();
  ASSERT_TRUE(pixels.IsValid());
  EXPECT_EQ(pixels.Bgra[0], 3);
  EXPECT_EQ(pixels.Bgra[1], 2);
  EXPECT_EQ(pixels.Bgra[2], 1);
  EXPECT_EQ(pixels.Bgra[3], 255);
  const BlitMask mask = bitmap.MaskOf(bitmap.TransparentColor());  // white, bottom-left
  EXPECT_EQ(mask.Bits, (std::vector<std::uint8_t>{1, 0, 0, 1}));
}

TEST(Bitmap, AssignCopiesPixelsAndTransparency) {
  TBitmap source(3, 2);
  Fill(source);
  source.SetTransparentColor(clFuchsia);
  source.SetTransparent(true);
  TBitmap copy;
  copy.Assign(source);
  source.SetPixel(0, 0, clRed);
  EXPECT_EQ(copy.Pixel(0, 0), RGB(0, 0, 7));
  EXPECT_EQ(copy.Pixel(2, 1), source.Pixel(2, 1));
  EXPECT_EQ(copy.TransparentColor(), clFuchsia);
  EXPECT_TRUE(copy.Transparent());
}

}  // namespace
