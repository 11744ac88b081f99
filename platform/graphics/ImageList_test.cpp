#include "platform/graphics/ImageList.h"

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

namespace {

constexpr TColor kGround = RGB(100, 100, 100);

// Two 2 x 2 images side by side: red with a green bottom-left corner (the
// transparent colour by default), and blue with a green top-right corner.
TBitmap& Strip() {
  static TBitmap strip(5, 2);  // the fifth column is a rest and dropped
  static bool filled = false;
  if (!filled) {
    for (int x = 0; x < 5; ++x)
      for (int y = 0; y < 2; ++y) strip.SetPixel(x, y, x < 2 ? clRed : clBlue);
    strip.SetPixel(0, 1, clLime);
    strip.SetPixel(3, 0, clLime);
    filled = true;
  }
  return strip;
}

// The 2 x 2 pixels drawn at (1, 1) on a grey ground, rows from the top.
std::vector<TColor> Drawn(TImageList& list, int index, TDrawingStyle style, TImageType type, int overlay = 0) {
  TBitmap target(4, 4);
  target.Canvas().Brush()->SetColor(kGround);
  target.Canvas().FillRect({0, 0, 4, 4});
  list.DrawStyled(target.Canvas(), 1, 1, index, style, type, overlay);
  EXPECT_EQ(target.Pixel(0, 0), kGround);
  EXPECT_EQ(target.Pixel(3, 3), kGround);
  return {target.Pixel(1, 1), target.Pixel(2, 1), target.Pixel(1, 2), target.Pixel(2, 2)};
}

TEST(ImageList, AddMaskedCutsTheStripAndTakesTheBottomLeftColourByDefault) {
  TImageList list(2, 2);
  EXPECT_EQ(list.AddMasked(Strip(), clDefault), 0);
  EXPECT_EQ(list.Count(), 2);
  using V = std::vector<TColor>;
  EXPECT_EQ(Drawn(list, 0, dsNormal, itImage), (V{clRed, clRed, kGround, clRed}));
  EXPECT_EQ(Drawn(list, 1, dsNormal, itImage), (V{clBlue, kGround, clBlue, clBlue}));
  EXPECT_EQ(Drawn(list, 0, dsNormal, itMask), (V{clBlack, clBlack, clWhite, clBlack}));
  // A fixed transparent colour of the bitmap is taken instead.
  TBitmap fixed;
  fixed.Assign(Strip());
  fixed.SetTransparentColor(clRed);
  TImageList other(2, 2);
  other.AddMasked(fixed, clDefault);
  EXPECT_EQ(Drawn(other, 0, dsNormal, itImage), (V{kGround, kGround, clLime, kGround}));
  EXPECT_EQ(other.AddMasked(TBitmap(1, 2), clDefault), -1);
}

TEST(ImageList, DrawStylesBackgroundAndBlendsGiveTheseProbes) {
  TImageList list(2, 2);
  list.AddMasked(Strip(), clLime);
  using V = std::vector<TColor>;
  const TColor halfRed = RGB(127, 0, 127);  // red and blue, half each
  const TColor quarter = RGB(191, 0, 63);   // a quarter blue
  const struct {
    const char* name;
    bool masked;
    TColor bk;
    TDrawingStyle style;
    V expected;
  } cases[] = {
      {"masked", true, clNone, dsNormal, {clRed, clRed, kGround, clRed}},
      {"background", true, clYellow, dsNormal, {clRed, clRed, clYellow, clRed}},
      {"transparent ignores bk", true, clYellow, dsTransparent, {clRed, clRed, kGround, clRed}},
      {"unmasked", false, clNone, dsNormal, {clRed, clRed, clLime, clRed}},
      {"selected", true, clNone, dsSelected, {halfRed, halfRed, kGround, halfRed}},
      {"focus", true, clNone, dsFocus, {quarter, quarter, kGround, quarter}},
  };
  for (const auto& c : cases) {
    list.SetMasked(c.masked);
    list.SetBkColor(c.bk);
    list.SetBlendColor(clBlue);
    EXPECT_EQ(Drawn(list, 0, c.style, itImage), c.expected) << c.name;
  }
  EXPECT_EQ(Drawn(list, 7, dsNormal, itImage), (V{kGround, kGround, kGround, kGround}));
}

TEST(ImageList, OverlayIsDrawnThroughItsMaskOnTop) {
  TImageList list(2, 2);
  list.AddMasked(Strip(), clLime);
  EXPECT_FALSE(list.Overlay(1, 5));
  EXPECT_TRUE(list.Overlay(1, 2));
  using V = std::vector<TColor>;
  EXPECT_EQ(Drawn(list, 0, dsNormal, itImage, 2), (V{clBlue, clRed, clBlue, clBlue}));
  EXPECT_EQ(Drawn(list, 0, dsNormal, itImage, 1), (V{clRed, clRed, kGround, clRed}));
  list.Delete(1);
  EXPECT_EQ(Drawn(list, 0, dsNormal, itImage, 2), (V{clRed, clRed, kGround, clRed}));
}

TEST(ImageList, ChangesReachLinksUntilTheyGo) {
  TImageList list(2, 2);
  int notices = 0;
  int linked = 0;
  list.OnChange = [&] { ++notices; };
  {
    TChangeLink link;
    link.OnChange = [&] { ++linked; };
    list.RegisterChanges(link);
    EXPECT_EQ(link.Images(), &list);
    list.AddMasked(Strip(), clDefault);
    list.SetBkColor(clRed);
    list.SetBkColor(clRed);  // no change
    list.SetSize(3, 3);
    EXPECT_EQ(list.Count(), 0);
  }
  list.Clear();
  EXPECT_EQ(notices, 4);
  EXPECT_EQ(linked, 3);
  TChangeLink outlives;
  {
    TImageList gone;
    gone.RegisterChanges(outlives);
  }
  EXPECT_EQ(outlives.Images(), nullptr);
}

TEST(ImageList, GetBitmapGivesTheImageWithWhiteWhereTransparent) {
  TImageList list(2, 2);
  TBitmap mask(5, 2);
  mask.SetPixel(1, 0, clBlack);
  list.Add(Strip(), &mask);
  TBitmap out;
  list.GetBitmap(0, out);
  ASSERT_EQ(out.Width(), 2);
  EXPECT_EQ(out.Pixel(1, 0), clRed);
  EXPECT_EQ(out.Pixel(0, 0), clWhite);
  list.Add(Strip(), nullptr);
  list.GetBitmap(2, out);
  EXPECT_EQ(out.Pixel(0, 1), clLime);
}

TEST(ImageList, DisabledImagesAreEmbossedFromTheirDarkPixels) {
  // Image 0: red (dark) with its green corner transparent; image 2, white,
  // has no dark pixel and draws nothing.
  TImageList list(2, 2);
  list.AddMasked(Strip(), clDefault);
  TBitmap white(2, 2);
  white.SetPixel(0, 1, clBlack);  // transparent by default
  list.AddMasked(white, clDefault);
  TBitmap target(4, 4);
  target.Canvas().Brush()->SetColor(kGround);
  target.Canvas().FillRect({0, 0, 4, 4});
  list.Draw(target.Canvas(), 1, 1, 0, false);
  const TColor shadow = ColorToRGB(clBtnShadow), light = ColorToRGB(clBtnHighlight);
  const std::vector<TColor> rows = {
      kGround, kGround, kGround, kGround,  //
      kGround, shadow,  shadow,  kGround,  //
      kGround, kGround, shadow,  light,    // the corner is transparent
      kGround, kGround, kGround, light,
  };
  for (int i = 0; i < 16; ++i) EXPECT_EQ(target.Pixel(i % 4, i / 4), rows[i]) << i;
  list.Draw(target.Canvas(), 0, 0, 2, false);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(target.Pixel(i % 4, i / 4), rows[i]) << i;
  list.Draw(target.Canvas(), 1, 1, 0, true);
  EXPECT_EQ(target.Pixel(1, 1), clRed);
}

TEST(ImageList, DataRoundTripsAndBadDataLeavesTheListAlone) {
  TImageList list(2, 2);
  list.AddMasked(Strip(), clDefault);
  std::vector<std::uint8_t> data;
  list.WriteData(data);
  TImageList back(5, 5);
  int notices = 0;
  back.OnChange = [&] { ++notices; };
  EXPECT_EQ(back.ReadData(data), data.size());
  EXPECT_EQ(notices, 1);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Width(), 2);
  for (TDrawingStyle style : {dsNormal, dsSelected})
    for (int index : {0, 1}) EXPECT_EQ(Drawn(back, index, style, itImage), Drawn(list, index, style, itImage));

  TImageList empty(3, 4);
  std::vector<std::uint8_t> none;
  empty.WriteData(none);
  EXPECT_EQ(none.size(), 12u);
  EXPECT_EQ(back.ReadData(none), 12u);
  EXPECT_EQ(back.Count(), 0);
  EXPECT_EQ(back.Height(), 4);

  const auto withHeader = [&](std::uint32_t width, std::uint32_t height, std::uint32_t count) {
    std::vector<std::uint8_t> bad = data;
    for (int i = 0; i < 4; ++i) {
      bad[i] = static_cast<std::uint8_t>(width >> (8 * i));
      bad[4 + i] = static_cast<std::uint8_t>(height >> (8 * i));
      bad[8 + i] = static_cast<std::uint8_t>(count >> (8 * i));
    }
    return bad;
  };
  const std::vector<std::uint8_t> bads[] = {
      {data.begin(), data.begin() + 10},  // header cut short
      {data.begin(), data.end() - 1},     // mask cut short
      withHeader(0, 2, 2),
      withHeader(2, 16385, 2),  // sides
      withHeader(2, 2, 3),
      withHeader(1, 2, 2),            // strip of another size
      withHeader(2, 2, 0x80000000u),  // a strip far too wide
  };
  for (const std::vector<std::uint8_t>& bad : bads) {
    EXPECT_THROW(list.ReadData(bad), EReadError);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Width(), 2);
  }
}

}  // namespace
