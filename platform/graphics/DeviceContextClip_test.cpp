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

TEST(DeviceContextClip, ClipCallsCombineRectanglesAndTraceThemselves) {
  TraceContext dc;
  EXPECT_EQ(dc.ClipRects(), nullptr);
  EXPECT_EQ(dc.IntersectClipRect(0, 0, 40, 30), SIMPLEREGION);
  EXPECT_EQ(dc.ExcludeClipRect(10, 10, 20, 20), COMPLEXREGION);
  EXPECT_EQ(dc.IntersectClipRect(25, 0, 40, 30), SIMPLEREGION);
  ASSERT_NE(dc.ClipRects(), nullptr);
  EXPECT_EQ(*dc.ClipRects(), (std::vector<Rect>{{25, 0, 40, 30}}));
  EXPECT_EQ(dc.IntersectClipRect(0, 0, 5, 5), NULLREGION);
  const std::vector<Rect> two{{0, 0, 10, 10}, {20, 0, 30, 10}};
  EXPECT_EQ(dc.SelectClipRgn(&two), COMPLEXREGION);
  EXPECT_EQ(dc.SelectClipRgn(nullptr), SIMPLEREGION);
  EXPECT_EQ(dc.ClipRects(), nullptr);
  EXPECT_EQ(dc.Text(),
            "IntersectClipRect(0,0,40,30)\nExcludeClipRect(10,10,20,20)\nIntersectClipRect(25,0,40,30)\n"
            "IntersectClipRect(0,0,5,5)\nSelectClipRgn(0,0 10,10 20,0 30,10)\nSelectClipRgn(NULL)");

  // Logical rectangles are mapped to device pixels.
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(4, 4);
  dc.SetViewportExt(1, 2);
  dc.IntersectClipRect(0, 0, 40, 40);
  EXPECT_EQ(*dc.ClipRects(), (std::vector<Rect>{{0, 0, 10, 20}}));
}

TEST(DeviceContextClip, RestoreDCGoesBackToASavedLevel) {
  TraceContext dc;
  EXPECT_EQ(dc.SaveDC(), 1);
  dc.SetTextColor(clRed);
  dc.IntersectClipRect(0, 0, 10, 10);
  EXPECT_EQ(dc.SaveDC(), 2);
  dc.SetTextColor(clBlue);
  const PenHandle pen = dc.CreatePen(PS_DOT, 1, clRed);
  dc.SelectObject(pen);
  EXPECT_FALSE(dc.RestoreDC(3));
  EXPECT_FALSE(dc.RestoreDC(-3));
  EXPECT_TRUE(dc.RestoreDC(-1));
  EXPECT_EQ(dc.GetTextColor(), clRed);
  EXPECT_EQ(dc.CurrentPen(), kBlackPen);
  EXPECT_NE(dc.ClipRects(), nullptr);
  EXPECT_TRUE(dc.RestoreDC(1));
  EXPECT_EQ(dc.GetTextColor(), clBlack);
  EXPECT_EQ(dc.ClipRects(), nullptr);
  EXPECT_EQ(dc.SaveLevel(), 0);
  EXPECT_FALSE(dc.PatBlt(0, 0, 4, 4, SRCCOPY));  // needs a source
}

QImage Painted(const std::function<void(DeviceContext&)>& draw) {
  QImage image(40, 30, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 6, y * 8, 100));
  QPainter painter(&image);
  PainterContext dc(painter);
  draw(dc);
  return image;
}

// Every drawing call keeps to the clip: with only (10, 10)-(20, 20) open,
// the pixels outside stay as they were and some inside change.
TEST(DeviceContextClip, DrawingKeepsToTheClip) {
  const QImage before = Painted([](DeviceContext&) {});
  struct Row {
    const char* what;
    std::function<void(DeviceContext&)> draw;
  } rows[] = {
      {"Rectangle", [](DeviceContext& dc) { dc.SelectObject(kBlackBrush), dc.Rectangle(0, 0, 40, 30); }},
      {"FillRect",
       [](DeviceContext& dc) {
         dc.FillRect({0, 0, 40, 30}, kBlackBrush);
       }},
      {"Ellipse", [](DeviceContext& dc) { dc.SelectObject(kBlackBrush), dc.Ellipse(-20, -20, 60, 50); }},
      {"LineTo", [](DeviceContext& dc) { dc.MoveTo(0, 15), dc.LineTo(40, 15); }},
      {"hatched Ellipse, transparent",
       [](DeviceContext& dc) {
         dc.SelectObject(dc.CreateBrushIndirect(LogBrush(BS_HATCHED, clBlack, HS_DIAGCROSS)));
         dc.Ellipse(-20, -20, 60, 50);
       }},
      {"pattern FillRect",
       [](DeviceContext& dc) {
         LogBrush checker(BS_PATTERN, clBlack);
         checker.Pattern = {2, 2, {1, 0, 0, 1}};
         dc.FillRect({0, 0, 40, 30}, dc.CreateBrushIndirect(checker));
       }},
      {"ExtTextOut opaque",
       [](DeviceContext& dc) {
         const Rect r{0, 0, 40, 30};
         dc.SetBkColor(clBlack);
         dc.ExtTextOut(0, 0, ETO_OPAQUE, &r, "");
       }},
      {"PatBlt", [](DeviceContext& dc) { dc.PatBlt(0, 0, 40, 30, DSTINVERT); }},
      {"TextOut",
       [](DeviceContext& dc) {
         dc.SelectObject(dc.CreateFontIndirect(LogFont{.Height = -30, .FaceName = "Arial"}));
         dc.TextOut(0, 0, "WWWW");
       }},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const QImage image = Painted([&](DeviceContext& dc) {
      dc.SetBkMode(TRANSPARENT);
      dc.IntersectClipRect(0, 0, 30, 20);
      dc.ExcludeClipRect(0, 0, 10, 30);
      dc.ExcludeClipRect(0, 0, 40, 10);
      dc.ExcludeClipRect(18, 13, 22, 16);  // a hole: the clip is complex
      r.draw(dc);
    });
    int changedInside = 0, changedOutside = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const bool inside = x >= 10 && x < 30 && y >= 10 && y < 20 && !(x >= 18 && x < 22 && y >= 13 && y < 16);
        if (image.pixel(x, y) != before.pixel(x, y)) ++(inside ? changedInside : changedOutside);
      }
    EXPECT_GT(changedInside, 0);
    EXPECT_EQ(changedOutside, 0);
  }
}

TEST(DeviceContextClip, InvertingBlitsTwiceRestoreThePixels) {
  const QImage before = Painted([](DeviceContext&) {});
  for (std::uint32_t rop : {DSTINVERT, PATINVERT}) {
    SCOPED_TRACE(rop);
    auto blit = [rop](DeviceContext& dc) {
      dc.SelectObject(dc.CreateBrushIndirect({BS_HATCHED, clRed, HS_DIAGCROSS}));
      dc.PatBlt(3, 2, 30, 20, rop);
    };
    const QImage once = Painted(blit);
    EXPECT_NE(once, before);
    EXPECT_EQ(once.pixel(0, 0), before.pixel(0, 0));
    EXPECT_EQ(Painted([&](DeviceContext& dc) { blit(dc), blit(dc); }), before);
  }
  const QImage copied = Painted([](DeviceContext& dc) { dc.PatBlt(0, 0, 10, 10, PATCOPY); });
  EXPECT_EQ(copied.pixel(5, 5), qRgb(255, 255, 255));  // the white stock brush
  EXPECT_EQ(Painted([](DeviceContext& dc) { dc.PatBlt(10, 10, -10, -10, BLACKNESS); }).pixel(5, 5), qRgb(0, 0, 0));
}

// A picture's clip and saved states end with its replay.
TEST(DeviceContextClip, ReplayLeavesTheTargetClipAsItWas) {
  PictureRecorder recorder({0, 0, 1000, 1000}, DeviceInfoFromPixels(100, 100, 96));
  recorder.SaveDC();
  recorder.IntersectClipRect(0, 0, 10, 10);
  recorder.SaveDC();
  recorder.RestoreDC(-1);
  recorder.RestoreDC(-1);
  recorder.RestoreDC(-1);  // one more than saved: refused
  recorder.ExcludeClipRect(0, 0, 5, 5);
  const Picture picture = recorder.Close();
  TraceContext target;
  target.IntersectClipRect(0, 0, 50, 50);
  const std::vector<Rect> clip = *target.ClipRects();
  picture.Replay(target);
  ASSERT_NE(target.ClipRects(), nullptr);
  EXPECT_EQ(*target.ClipRects(), clip);
  EXPECT_EQ(target.SaveLevel(), 0);
}

}  // namespace
