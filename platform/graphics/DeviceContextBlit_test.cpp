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

// A 4 x 2 source: left half pure red, right half pure blue (as BGRA bytes).
Bitmap32 Source() {
  Bitmap32 b{4, 2, {}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      const bool red = x < 2;
      b.Bgra.insert(b.Bgra.end(), {std::uint8_t(red ? 0 : 255), 0, std::uint8_t(red ? 255 : 0), 255});
    }
  return b;
}

// A 20 x 10 destination of one colour, blitted on.
QImage Blitted(QRgb background, const std::function<void(DeviceContext&)>& draw) {
  QImage image(20, 10, QImage::Format_RGB32);
  image.fill(background);
  QPainter painter(&image);
  PainterContext dc(painter);
  draw(dc);
  return image;
}

TEST(DeviceContextBlit, RasterOperationsMixSourceAndDestination) {
  const Bitmap32 source = Source();
  const QRgb green = qRgb(0, 255, 0), grey = qRgb(0x80, 0x80, 0x80);
  struct Row {
    std::uint32_t rop;
    QRgb background;
    QRgb left, right;  // at (1, 0) and (3, 0) after BitBlt(0, 0, 4, 2)
  } rows[] = {
      {SRCCOPY, green, qRgb(255, 0, 0), qRgb(0, 0, 255)},
      {SRCPAINT, green, qRgb(255, 255, 0), qRgb(0, 255, 255)},
      {SRCAND, grey, qRgb(0x80, 0, 0), qRgb(0, 0, 0x80)},
      {SRCINVERT, grey, qRgb(0x7F, 0x80, 0x80), qRgb(0x80, 0x80, 0x7F)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.rop);
    const QImage image = Blitted(r.background, [&](DeviceContext& dc) { dc.BitBlt(0, 0, 4, 2, source, 0, 0, r.rop); });
    EXPECT_EQ(image.pixel(1, 0), r.left);
    EXPECT_EQ(image.pixel(3, 1), r.right);
    EXPECT_EQ(image.pixel(5, 5), r.background);
  }
  // SRCINVERT twice gives the destination back.
  EXPECT_EQ(Blitted(grey,
                    [&](DeviceContext& dc) {
                      dc.BitBlt(2, 2, 4, 2, source, 0, 0, SRCINVERT);
                      dc.BitBlt(2, 2, 4, 2, source, 0, 0, SRCINVERT);
                    }),
            Blitted(grey, [](DeviceContext&) {}));
}

TEST(DeviceContextBlit, StretchesAPartAndKeepsToTheMask) {
  const Bitmap32 source = Source();
  const QRgb green = qRgb(0, 255, 0);
  // The blue half, stretched to 8 x 4.
  QImage image = Blitted(green, [&](DeviceContext& dc) { dc.StretchBlt(0, 0, 8, 4, source, 2, 0, 2, 2, SRCCOPY); });
  EXPECT_EQ(image.pixel(7, 3), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(8, 3), green);
  // Only the pixels of the mask's diagonal are drawn, whatever the operation.
  const BlitMask mask{4, 2, {1, 0, 0, 0, 0, 1, 0, 0}};
  for (std::uint32_t rop : {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT}) {
    SCOPED_TRACE(rop);
    image = Blitted(green, [&](DeviceContext& dc) { dc.BitBlt(0, 0, 4, 2, source, 0, 0, rop, &mask); });
    EXPECT_NE(image.pixel(0, 0), green);
    EXPECT_NE(image.pixel(1, 1), green);
    EXPECT_EQ(image.pixel(1, 0), green);
    EXPECT_EQ(image.pixel(3, 1), green);
  }
}

TEST(DeviceContextBlit, RefusesWhatItCannotDrawAndRecordsWhatItDraws) {
  const Bitmap32 source = Source();
  const BlitMask wrongSize{2, 2, {1, 1, 1, 1}};
  TraceContext dc;
  EXPECT_FALSE(dc.BitBlt(0, 0, 4, 2, source, 0, 0, 0x00CC0021));  // unknown operation
  EXPECT_FALSE(dc.BitBlt(0, 0, 4, 2, Bitmap32{4, 2, {}}, 0, 0, SRCCOPY));
  EXPECT_FALSE(dc.BitBlt(0, 0, 4, 2, source, 1, 0, SRCCOPY));  // beyond the image
  EXPECT_FALSE(dc.BitBlt(0, 0, 0, 2, source, 0, 0, SRCCOPY));
  EXPECT_FALSE(dc.BitBlt(0, 0, 4, 2, source, 0, 0, SRCCOPY, &wrongSize));
  EXPECT_TRUE(dc.BitBlt(0, 0, 4, 2, source, 0, 0, DSTINVERT));  // done as PatBlt
  EXPECT_EQ(dc.Text(), "PatBlt(0,0,4,2,DSTINVERT)");

  const BlitMask mask{4, 2, {1, 1, 1, 1, 0, 0, 0, 0}};
  PictureRecorder recorder({0, 0, 1000, 1000}, DeviceInfoFromPixels(100, 100, 96));
  recorder.StretchBlt(1, 2, 8, 4, source, 2, 0, 2, 2, SRCAND, &mask);
  recorder.BitBlt(0, 0, 4, 2, source, 0, 0, SRCCOPY);
  TraceContext replayed;
  recorder.Close().Replay(replayed);
  EXPECT_EQ(replayed.Text(), "StretchBlt(1,2,8,4,4x2,2,0,2,2,SRCAND,mask)\nStretchBlt(0,0,4,2,4x2,0,0,4,2,SRCCOPY)");
}

}  // namespace
