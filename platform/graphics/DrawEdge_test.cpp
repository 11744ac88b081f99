#include "platform/graphics/DrawEdge.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>

#include "platform/graphics/PainterContext.h"
#include "platform/graphics/SystemMetrics.h"
#include "platform/graphics/TraceContext.h"

namespace {

constexpr QRgb kPaper = qRgb(1, 2, 3);

QImage Drawn(const std::function<void(DeviceContext&)>& draw) {
  QImage image(20, 20, QImage::Format_RGB32);
  image.fill(kPaper);
  QPainter painter(&image);
  PainterContext dc(painter);
  draw(dc);
  return image;
}

QRgb Rgb(TColor color) {
  const TColor c = ColorToRGB(color);
  return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TEST(DrawEdge, EachEdgeAndSideDrawsItsLinesInItsColours) {
  struct Row {
    std::uint32_t edge, flags;
    TColor outerTopLeft, outerBottomRight, innerTopLeft, middle;  // middle: kPaper when 0
    Rect adjusted;
  } rows[] = {
      {EDGE_RAISED, BF_RECT, cl3DLight, cl3DDkShadow, clBtnHighlight, 0, {2, 2, 16, 16}},
      {EDGE_SUNKEN, BF_RECT | BF_MIDDLE, clBtnShadow, clBtnHighlight, cl3DDkShadow, clBtnFace, {2, 2, 16, 16}},
      {EDGE_ETCHED, BF_RECT, clBtnShadow, clBtnHighlight, clBtnHighlight, 0, {2, 2, 16, 16}},
      {EDGE_BUMP, BF_RECT, cl3DLight, cl3DDkShadow, cl3DDkShadow, 0, {2, 2, 16, 16}},
      {BDR_RAISEDINNER, BF_RECT, clBtnHighlight, clBtnShadow, 0, 0, {1, 1, 17, 17}},
      {EDGE_RAISED, BF_RECT | BF_FLAT | BF_MIDDLE, clBtnShadow, clBtnShadow, clBtnFace, clBtnFace, {2, 2, 16, 16}},
      {EDGE_RAISED, BF_RECT | BF_MONO | BF_MIDDLE, clWindowFrame, clWindowFrame, clWindow, clWindow, {2, 2, 16, 16}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.edge);
    SCOPED_TRACE(r.flags);
    Rect rect{0, 0, 18, 18};
    const QImage image =
        Drawn([&](DeviceContext& dc) { EXPECT_TRUE(DrawEdge(dc, rect, r.edge, r.flags | BF_ADJUST)); });
    EXPECT_EQ(image.pixel(5, 0), Rgb(r.outerTopLeft));
    EXPECT_EQ(image.pixel(0, 5), Rgb(r.outerTopLeft));
    EXPECT_EQ(image.pixel(17, 5), Rgb(r.outerBottomRight));
    EXPECT_EQ(image.pixel(17, 0), Rgb(r.outerBottomRight));  // the corner is the right line's
    EXPECT_EQ(image.pixel(0, 17), Rgb(r.outerBottomRight));
    if (r.innerTopLeft) {
      EXPECT_EQ(image.pixel(5, 1), Rgb(r.innerTopLeft));
    }
    EXPECT_EQ(image.pixel(9, 9), r.middle ? Rgb(r.middle) : kPaper);
    EXPECT_EQ(image.pixel(18, 18), kPaper);
    EXPECT_EQ(rect, r.adjusted);
  }
  // Only the sides asked for.
  Rect rect{0, 0, 18, 18};
  const QImage left = Drawn([&](DeviceContext& dc) { DrawEdge(dc, rect, EDGE_RAISED, BF_LEFT | BF_BOTTOM); });
  EXPECT_EQ(left.pixel(0, 5), Rgb(cl3DLight));
  EXPECT_EQ(left.pixel(5, 17), Rgb(cl3DDkShadow));
  EXPECT_EQ(left.pixel(5, 0), kPaper);
  EXPECT_EQ(left.pixel(17, 5), kPaper);
  TraceContext dc;
  EXPECT_FALSE(DrawEdge(dc, rect, 0, BF_RECT));
  EXPECT_EQ(dc.Text(), "");
}

TEST(DrawFrameControl, EachKindAndStateHasItsPixels) {
  struct Row {
    const char* what;
    std::uint32_t kind, state;
    QPoint probe;
    TColor color;  // 0: kPaper
  } rows[] = {
      {"push", DFC_BUTTON, DFCS_BUTTONPUSH, {0, 0}, cl3DLight},
      {"push pushed", DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED, {0, 0}, clBtnShadow},
      {"push flat", DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT, {19, 19}, clBtnShadow},
      {"push middle", DFC_BUTTON, DFCS_BUTTONPUSH, {9, 9}, clBtnFace},
      {"check", DFC_BUTTON, DFCS_BUTTONCHECK, {9, 9}, clWindow},
      {"check checked", DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED, {9, 11}, clWindowText},
      {"check inactive", DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, {9, 11}, clBtnShadow},
      {"check inactive box", DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_INACTIVE, {4, 4}, clBtnFace},
      {"check pushed", DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_PUSHED, {4, 4}, clBtnFace},
      {"check flat", DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT, {0, 0}, clBtnShadow},
      {"check transparent", DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_TRANSPARENT, {4, 4}, 0},
      {"radio", DFC_BUTTON, DFCS_BUTTONRADIO, {4, 9}, clWindow},
      {"radio checked", DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED, {10, 10}, clWindowText},
      {"radio corner", DFC_BUTTON, DFCS_BUTTONRADIO, {0, 0}, 0},
      {"scroll up", DFC_SCROLL, DFCS_SCROLLUP, {0, 0}, cl3DLight},
      {"scroll up arrow", DFC_SCROLL, DFCS_SCROLLUP, {10, 8}, clBtnText},
      {"scroll down pushed", DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED, {0, 0}, clBtnShadow},
      {"scroll left inactive", DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_INACTIVE, {8, 10}, clBtnShadow},
      {"scroll right", DFC_SCROLL, DFCS_SCROLLRIGHT, {12, 10}, clBtnText},
      {"size grip", DFC_SCROLL, DFCS_SCROLLSIZEGRIP, {19, 18}, clBtnHighlight},
      {"size grip shadow", DFC_SCROLL, DFCS_SCROLLSIZEGRIP, {19, 17}, clBtnShadow},
      {"caption close", DFC_CAPTION, DFCS_CAPTIONCLOSE, {5, 4}, clBtnText},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Rect rect{0, 0, 20, 20};
    const QImage image = Drawn([&](DeviceContext& dc) { EXPECT_TRUE(DrawFrameControl(dc, rect, r.kind, r.state)); });
    EXPECT_EQ(image.pixel(r.probe), r.color ? Rgb(r.color) : kPaper);
  }
  TraceContext dc;
  Rect rect{0, 0, 20, 20};
  EXPECT_FALSE(DrawFrameControl(dc, rect, 2, 0));
  EXPECT_FALSE(DrawFrameControl(dc, rect, DFC_SCROLL, 5));
  EXPECT_TRUE(DrawFrameControl(dc, rect, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
  EXPECT_EQ(rect, (Rect{2, 2, 18, 18}));
  EXPECT_EQ(dc.LiveObjectCount(), 0);
}

TEST(DrawFocusRect, DottedByInvertingSoThatASecondTakesItAway) {
  const Rect r{2, 2, 12, 8};
  const QImage once = Drawn([&](DeviceContext& dc) { DrawFocusRect(dc, r); });
  EXPECT_EQ(once.pixel(2, 2), qRgb(254, 253, 252));
  EXPECT_EQ(once.pixel(3, 2), kPaper);
  EXPECT_EQ(once.pixel(11, 3), qRgb(254, 253, 252));
  EXPECT_EQ(once.pixel(5, 5), kPaper);
  EXPECT_EQ(Drawn([&](DeviceContext& dc) {
              DrawFocusRect(dc, r);
              DrawFocusRect(dc, r);
            }),
            Drawn([](DeviceContext&) {}));
}

TEST(SystemMetrics, TheClassicSizes) {
  const std::pair<std::int32_t, std::int32_t> rows[] = {
      {SM_CXVSCROLL, 16},   {SM_CYHSCROLL, 16}, {SM_CXHTHUMB, 16}, {SM_CXBORDER, 1},      {SM_CYBORDER, 1},
      {SM_CXDLGFRAME, 3},   {SM_CYCAPTION, 19}, {SM_CXSIZE, 18},   {SM_CXFRAME, 4},       {SM_CXDOUBLECLK, 4},
      {SM_CXMENUCHECK, 13}, {SM_CMONITORS, 1},  {SM_TABLETPC, 0},  {SM_REMOTESESSION, 0}, {12345, 0},
  };
  for (const auto& [index, value] : rows) EXPECT_EQ(GetSystemMetrics(index), value) << index;
  SetSystemScreen(800, 600);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), 600);
  SetSystemScreen(1024, 768);
}

}  // namespace
