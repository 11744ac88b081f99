#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/PainterContext.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/TraceContext.h"

namespace {

QImage Painted(int width, int height, const std::function<void(DeviceContext&)>& draw) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PainterContext dc(painter);
  draw(dc);
  return image;
}

// Pixels of `image` darker than mid-grey inside and outside `r`.
struct Ink {
  int inside = 0, outside = 0;
};
Ink InkAround(const QImage& image, const QRect& r) {
  Ink ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 128) ++(r.contains(x, y) ? ink.inside : ink.outside);
  return ink;
}

// An 8 x 8 checker: set where x + y is even.
LogBrush Checker() {
  LogBrush b(BS_PATTERN, clBlack);
  b.Pattern = {8, 8, {}};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) b.Pattern.Bits.push_back((x + y) % 2 == 0);
  return b;
}

TEST(DeviceContextText, ExtTextOutTracesRecordsAndRefuses) {
  const std::int32_t advances[] = {7, 7, 9};
  const Rect box{0, 0, 40, 16};
  PictureRecorder recorder({0, 0, 1000, 1000}, DeviceInfoFromPixels(100, 100, 96));
  recorder.SetBrushOrgEx(3, 5);
  EXPECT_TRUE(recorder.ExtTextOut(2, 4, ETO_OPAQUE | ETO_CLIPPED, &box, "abc", advances));
  EXPECT_TRUE(recorder.ExtTextOut(2, 4, ETO_CLIPPED, nullptr, "x"));    // no rectangle: options dropped
  EXPECT_TRUE(recorder.ExtTextOut(0, 0, ETO_OPAQUE, &box, ""));         // fills only
  EXPECT_TRUE(recorder.ExtTextOut(0, 0, 0, nullptr, ""));               // nothing at all
  EXPECT_FALSE(recorder.ExtTextOut(0, 0, 0, nullptr, "ab", advances));  // two code points, three advances
  const std::int32_t one[] = {5};
  EXPECT_TRUE(recorder.ExtTextOut(1, 1, ETO_CLIPPED, &box, "\xC3\xA9", one));  // one code point, two bytes
  TraceContext replayed;
  recorder.Close().Replay(replayed);
  EXPECT_EQ(replayed.Text(),
            "SetBrushOrgEx(3,5)\n"
            "ExtTextOut(2,4,ETO_OPAQUE|ETO_CLIPPED,0,0,40,16,\"abc\",7 7 9)\n"
            "ExtTextOut(2,4,0,\"x\")\n"
            "ExtTextOut(0,0,ETO_OPAQUE,0,0,40,16,\"\")\n"
            "ExtTextOut(1,1,ETO_CLIPPED,0,0,40,16,\"\xC3\xA9\",5)\n"
            "SetBrushOrgEx(0,0)");  // the replay leaves the origin as it found it
}

TEST(DeviceContextText, ExtTextOutFillsAndClipsToItsRectangle) {
  LogFont big;
  big.Height = -40;
  const Rect box{10, 10, 30, 30};
  auto text = [&](std::uint32_t options) {
    return Painted(100, 60, [&](DeviceContext& dc) {
      dc.SelectObject(dc.CreateFontIndirect(big));
      dc.SetBkMode(TRANSPARENT);
      dc.SetBkColor(RGB(0, 0, 0x40));
      dc.ExtTextOut(5, 5, options, &box, "WWW");
    });
  };
  const QRect inside(10, 10, 20, 20);
  const Ink clipped = InkAround(text(ETO_CLIPPED), inside);
  EXPECT_GT(clipped.inside, 0);
  EXPECT_EQ(clipped.outside, 0);
  EXPECT_GT(InkAround(text(0), inside).outside, 0);
  // Opaque: the whole rectangle in the background colour, left and top
  // edges in, right and bottom out, even with TRANSPARENT.
  const QImage opaque = Painted(40, 40, [&](DeviceContext& dc) {
    dc.SetBkMode(TRANSPARENT);
    dc.SetBkColor(RGB(0, 0, 0x40));
    dc.ExtTextOut(5, 5, ETO_OPAQUE, &box, "");
  });
  EXPECT_EQ(opaque.pixel(10, 10), qRgb(0, 0, 0x40));
  EXPECT_EQ(opaque.pixel(29, 29), qRgb(0, 0, 0x40));
  EXPECT_EQ(opaque.pixel(30, 30), qRgb(255, 255, 255));
  EXPECT_EQ(opaque.pixel(9, 9), qRgb(255, 255, 255));

  // Advances put the characters where they say: "l" then "l" 60 pixels on.
  const std::int32_t wide[] = {60, 5};
  const QImage spread = Painted(100, 60, [&](DeviceContext& dc) {
    dc.SelectObject(dc.CreateFontIndirect(big));
    dc.ExtTextOut(2, 5, 0, nullptr, "ll", wide);
  });
  EXPECT_GT(InkAround(spread, QRect(0, 0, 20, 60)).inside, 0);
  EXPECT_GT(InkAround(spread, QRect(60, 0, 20, 60)).inside, 0);
  EXPECT_EQ(InkAround(spread, QRect(25, 0, 30, 60)).inside, 0);
}

TEST(DeviceContextText, PatternBrushesStartAtTheBrushOrigin) {
  auto fill = [](const LogBrush& brush, Coord originX) {
    return Painted(16, 16, [&](DeviceContext& dc) {
      dc.SetTextColor(RGB(255, 0, 0));
      dc.SetBkColor(RGB(0, 0, 255));
      dc.SetBrushOrgEx(originX, 0);
      dc.FillRect({0, 0, 16, 16}, dc.CreateBrushIndirect(brush));
    });
  };
  // Set pixels take the text colour, clear ones the background colour.
  const QImage at0 = fill(Checker(), 0), at1 = fill(Checker(), 1);
  EXPECT_EQ(at0.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(at0.pixel(1, 0), qRgb(0, 0, 255));
  EXPECT_EQ(at0.pixel(9, 1), qRgb(255, 0, 0));
  EXPECT_EQ(at1.pixel(0, 0), qRgb(0, 0, 255));
  EXPECT_EQ(at1.pixel(1, 0), qRgb(255, 0, 0));

  // A colour image repeats as it is; PatBlt and shapes use the selected one.
  LogBrush image(BS_DIBPATTERN, clBlack);
  image.Image = {2, 1, {0, 255, 0, 255, 0, 0, 0, 255}};  // green, black
  EXPECT_EQ(fill(image, 0).pixel(4, 3), qRgb(0, 255, 0));
  EXPECT_EQ(fill(image, 0).pixel(5, 3), qRgb(0, 0, 0));
  const QImage blitted = Painted(16, 16, [&](DeviceContext& dc) {
    dc.SelectObject(dc.CreateBrushIndirect(image));
    dc.SetBrushOrgEx(1, 0);
    dc.PatBlt(0, 0, 8, 8, PATCOPY);
    dc.SelectObject(kNullPen);
    dc.Rectangle(8, 8, 16, 16);
  });
  EXPECT_EQ(blitted.pixel(4, 3), qRgb(0, 0, 0));
  EXPECT_EQ(blitted.pixel(13, 12), qRgb(0, 255, 0));

  TraceContext dc;
  EXPECT_FALSE(dc.CreateBrushIndirect(LogBrush(BS_PATTERN, clBlack)));
  EXPECT_FALSE(dc.CreateBrushIndirect(LogBrush(BS_DIBPATTERN, clBlack)));
  dc.CreateBrushIndirect(Checker());
  EXPECT_EQ(dc.SetBrushOrgEx(4, 4), (Point{0, 0}));
  EXPECT_EQ(dc.GetBrushOrgEx(), (Point{4, 4}));
  EXPECT_EQ(dc.Text(), "CreateBrushIndirect(BS_PATTERN,8x8) -> brush#8\nSetBrushOrgEx(4,4)");
}

TEST(DeviceContextText, TextExtentsComeFromTheMeasurer) {
  TraceContext dc;
  LogFont font;
  font.Height = -10;
  const FontHandle normal = dc.CreateFontIndirect(font);
  font.Weight = FW_BOLD;
  const FontHandle bold = dc.CreateFontIndirect(font);
  // FixedTextMeasurer: (10 + 1) / 2 a character, one more in bold, cell 12.
  dc.SelectObject(normal);
  EXPECT_EQ(dc.GetTextExtentPoint("abc"), (Size{15, 12}));
  EXPECT_EQ(dc.GetTextExtentPoint(""), (Size{0, 12}));
  dc.SelectObject(bold);
  EXPECT_EQ(dc.GetTextExtentPoint("abc"), (Size{18, 12}));
  // The stock font is 12 high.
  dc.SelectObject(kSystemFont);
  EXPECT_EQ(dc.GetTextExtentPoint("ab"), (Size{12, 14}));

  struct Doubled final : TextMeasurer {
    std::int32_t TextWidth(const TFontData&, std::string_view text) const override {
      return 2 * static_cast<std::int32_t>(text.size());
    }
    std::int32_t TextHeight(const TFontData&, std::string_view) const override { return 3; }
  } doubled;
  dc.SetTextMeasurer(&doubled);
  EXPECT_EQ(dc.GetTextExtentPoint("abc"), (Size{6, 3}));
  dc.SetTextMeasurer(nullptr);
  EXPECT_EQ(dc.GetTextExtentPoint("ab"), (Size{12, 14}));
}

}  // namespace
