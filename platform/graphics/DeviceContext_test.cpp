#include "platform/graphics/DeviceContext.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"
#include "platform/graphics/TraceContext.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

LogPen GeometricPen(PenDashStyle style, std::int32_t width, TColor color) {
  return {PS_GEOMETRIC, style, PS_ENDCAP_SQUARE, PS_JOIN_MITER, width, color};
}

TEST(DeviceContextTest, SettersReturnThePreviousValueAndTraceEachCall) {
  TraceContext dc;
  EXPECT_EQ(dc.SetGraphicsMode(GM_ADVANCED), GM_COMPATIBLE);
  EXPECT_EQ(dc.SetMapMode(MM_ANISOTROPIC), MM_TEXT);
  EXPECT_TRUE(dc.SetWindowExt(800, 400));
  EXPECT_TRUE(dc.SetViewportExt(200, 100));
  EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
  EXPECT_EQ(dc.SetBkColor(RGB(255, 255, 255)), clWhite);
  EXPECT_EQ(dc.SetROP2(R2_NOTXORPEN), R2_COPYPEN);
  EXPECT_EQ(dc.SetTextAlign(TA_LEFT | TA_BOTTOM), static_cast<std::uint32_t>(TA_LEFT | TA_TOP));
  EXPECT_EQ(dc.SetTextColor(clRed), clBlack);
  EXPECT_EQ(dc.GetTextColor(), clRed);
  EXPECT_EQ(dc.SetArcDirection(AD_CLOCKWISE), AD_COUNTERCLOCKWISE);
  EXPECT_EQ(dc.GetWindowExt(), (Size{800, 400}));
  EXPECT_EQ(dc.Text(),
            "SetGraphicsMode(GM_ADVANCED)\n"
            "SetMapMode(MM_ANISOTROPIC)\n"
            "SetWindowExt(800,400)\n"
            "SetViewportExt(200,100)\n"
            "SetBkMode(TRANSPARENT)\n"
            "SetBkColor($FFFFFF)\n"
            "SetROP2(R2_NOTXORPEN)\n"
            "SetTextAlign(TA_LEFT|TA_BOTTOM)\n"
            "SetTextColor($0000FF)\n"
            "SetArcDirection(AD_CLOCKWISE)");
}

TEST(DeviceContextTest, RefusedArgumentsChangeNothing) {
  TraceContext dc;
  EXPECT_FALSE(dc.SetWindowExt(0, 400));
  EXPECT_FALSE(dc.SetViewportExt(200, 0));
  EXPECT_EQ(dc.GetWindowExt(), (Size{1, 1}));
  const Point three[3] = {{0, 0}, {1, 1}, {2, 2}};
  EXPECT_FALSE(dc.PolyBezier(three));
  const Point five[5] = {};
  EXPECT_FALSE(dc.PolyBezier(five));
  EXPECT_FALSE(dc.StretchDIBits(0, 0, 40, 32, Bitmap24{10, 8, std::vector<std::uint8_t>(10)}));
  EXPECT_FALSE(dc.FillRect({0, 0, 4, 4}, BrushHandle{999}));
  EXPECT_TRUE(dc.Lines().empty());
}

TEST(DeviceContextTest, SystemColoursAreResolvedWhenTheCallIsMade) {
  TraceContext dc;
  dc.SetTextColor(clWindowText);
  dc.SetBkColor(clWindow);
  EXPECT_EQ(dc.GetTextColor(), ColorToRGB(clWindowText));
  const BrushHandle brush = dc.CreateBrushIndirect({BS_SOLID, clBtnFace, HS_HORIZONTAL});
  EXPECT_EQ(dc.BrushOf(brush)->Color, ColorToRGB(clBtnFace));
  EXPECT_FALSE(IsSystemColor(dc.GetBkColor()));
}

// The drawing set of a tree attribute: created, selected over the stock
// objects, deselected by selecting back what it replaced, and deleted.
TEST(DeviceContextTest, CreateSelectAndDeleteBalance) {
  TraceContext dc;
  const FontHandle font = dc.CreateFontIndirect({-44, 0, 0, FW_BOLD, false, false, false, VARIABLE_PITCH, "Arial"});
  const PenHandle pen = dc.ExtCreatePen(GeometricPen(PS_DASH, 8, clBlue));
  const BrushHandle brush = dc.CreateBrushIndirect({BS_HATCHED, clRed, HS_CROSS});
  EXPECT_EQ(dc.LiveObjectCount(), 3);

  const FontHandle oldFont = dc.SelectObject(font);
  const PenHandle oldPen = dc.SelectObject(pen);
  const BrushHandle oldBrush = dc.SelectObject(brush);
  EXPECT_EQ(oldFont, kSystemFont);
  EXPECT_EQ(oldPen, kBlackPen);
  EXPECT_EQ(oldBrush, kWhiteBrush);
  EXPECT_FALSE(dc.DeleteObject(pen)) << "a selected object stays alive";
  EXPECT_NE(dc.PenOf(pen), nullptr);

  EXPECT_EQ(dc.SelectObject(oldFont), font);
  EXPECT_EQ(dc.SelectObject(oldPen), pen);
  EXPECT_EQ(dc.SelectObject(oldBrush), brush);
  EXPECT_TRUE(dc.DeleteObject(font));
  EXPECT_TRUE(dc.DeleteObject(pen));
  EXPECT_TRUE(dc.DeleteObject(brush));
  EXPECT_EQ(dc.LiveObjectCount(), 0);
  EXPECT_EQ(dc.CreatedCount(), dc.DeletedCount());

  EXPECT_FALSE(dc.DeleteObject(pen)) << "already deleted";
  EXPECT_FALSE(dc.SelectObject(brush)) << "a deleted handle cannot be selected";
  EXPECT_TRUE(dc.DeleteObject(kBlackPen)) << "stock objects ignore deletion";
  EXPECT_NE(dc.PenOf(kBlackPen), nullptr);

  EXPECT_THAT(dc.Lines(), ElementsAre(
      "CreateFontIndirect(-44,0,0,700,VARIABLE_PITCH,\"Arial\") -> font#8",
      "ExtCreatePen(PS_GEOMETRIC|PS_DASH|PS_ENDCAP_SQUARE|PS_JOIN_MITER,8,$FF0000) -> pen#9",
      "CreateBrushIndirect(BS_HATCHED,$0000FF,HS_CROSS) -> brush#10",
      "SelectObject(font#8)", "SelectObject(pen#9)", "SelectObject(brush#10)",
      "SelectObject(font#7)", "SelectObject(pen#1)", "SelectObject(brush#4)",
      "DeleteObject(font#8)", "DeleteObject(pen#9)", "DeleteObject(brush#10)"));
}

TEST(DeviceContextTest, LeakedObjectsShowInTheCount) {
  TraceContext dc;
  dc.SelectObject(dc.CreatePen(PS_SOLID, 1, clBlack));
  dc.CreateBrushIndirect({BS_NULL, clBlack, HS_HORIZONTAL});
  EXPECT_EQ(dc.LiveObjectCount(), 2);
  EXPECT_EQ(dc.CreatedCount() - dc.DeletedCount(), 2);
}

TEST(DeviceContextTest, SimplePensFollowThePlatformRules) {
  struct Case {
    PenDashStyle style;
    Coord width;
    PenType type;
    PenDashStyle drawn;
  } cases[] = {
      {PS_DOT, 1, PS_COSMETIC, PS_DOT},
      {PS_DASH, 0, PS_COSMETIC, PS_DASH},
      {PS_DASH, 3, PS_GEOMETRIC, PS_SOLID},
      {PS_NULL, 3, PS_GEOMETRIC, PS_NULL},
  };
  TraceContext dc;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << int(c.style) << " width " << c.width);
    const LogPen* pen = dc.PenOf(dc.CreatePen(c.style, c.width, clRed));
    ASSERT_NE(pen, nullptr);
    EXPECT_EQ(pen->Type, c.type);
    EXPECT_EQ(pen->Style, c.drawn);
    if (c.type == PS_GEOMETRIC) {
      EXPECT_EQ(pen->EndCap, PS_ENDCAP_ROUND);
      EXPECT_EQ(pen->Join, PS_JOIN_ROUND);
    }
  }
}

TEST(DeviceContextTest, DrawingCallsAreTracedWithTheirPoints) {
  TraceContext dc;
  EXPECT_EQ(dc.MoveTo(1, 2), (Point{0, 0}));
  dc.LineTo(3, 4);
  EXPECT_EQ(dc.GetCurrentPosition(), (Point{3, 4}));
  const Point line[3] = {{1, 2}, {3, 4}, {5, 6}};
  dc.Polyline(line);
  dc.Polygon(line);
  const Point curve[4] = {{0, 0}, {10, 0}, {10, 20}, {20, 20}};
  EXPECT_TRUE(dc.PolyBezier(curve));
  dc.Ellipse(0, 0, 40, 32);
  dc.Arc(0, 0, 40, 40, 40, 20, 20, 0);
  dc.TextOut(10, 20, "text");
  dc.TextOut(10, 20, "");
  const Bitmap24 bitmap{10, 8, std::vector<std::uint8_t>(240, 0)};
  EXPECT_TRUE(dc.StretchDIBits(0, 0, 40, 32, bitmap));
  dc.Rectangle(0, 0, 40, 32);
  EXPECT_TRUE(dc.FillRect({0, 0, 40, 32}, kWhiteBrush));
  EXPECT_THAT(dc.Lines(), ElementsAre(
      "MoveTo(1,2)", "LineTo(3,4)", "Polyline(1,2 3,4 5,6)", "Polygon(1,2 3,4 5,6)",
      "PolyBezier(0,0 10,0 10,20 20,20)", "Ellipse(0,0,40,32)", "Arc(0,0,40,40,40,20,20,0)",
      "TextOut(10,20,\"text\")", "StretchDIBits(0,0,40,32,10x8)", "Rectangle(0,0,40,32)",
      "FillRect(0,0,40,32,brush#4)"));
}

// Coordinates are computed in 64 bits; one that leaves 32 bits raises the
// overflow error and the call has no effect, so drawing can go on after a
// caught error.
TEST(DeviceContextTest, CoordinatesOutside32BitsRaiseOverflowAndChangeNothing) {
  const Coord big = Coord{1} << 31;
  TraceContext dc;
  dc.MoveTo(5, 6);
  EXPECT_THAT([&] { dc.LineTo(big, 0); }, ThrowsMessage<EIntOverflow>(HasSubstr("Arithmetic overflow")));
  EXPECT_THROW(dc.MoveTo(0, -big - 1), EIntOverflow);
  const Point points[2] = {{0, 0}, {big, 0}};
  EXPECT_THROW(dc.Polyline(points), EIntOverflow);
  EXPECT_THROW(dc.TextOut(0, big, "x"), EIntOverflow);
  EXPECT_THROW(dc.SetWindowExt(big, 1), EIntOverflow);
  EXPECT_THROW(dc.FillRect({0, 0, big, 1}, kWhiteBrush), EIntOverflow);
  EXPECT_EQ(dc.GetCurrentPosition(), (Point{5, 6}));
  EXPECT_THAT(dc.Lines(), ElementsAre("MoveTo(5,6)"));
  dc.LineTo(big - 1, -big);
  EXPECT_EQ(dc.Lines().back(), "LineTo(2147483647,-2147483648)");
}

TEST(DeviceContextTest, CapabilitiesComeFromTheDevice) {
  const DeviceInfo screen = DeviceInfoFromPixels(1920, 1080, 96);
  EXPECT_EQ(screen.HorzSize, 508);
  EXPECT_EQ(screen.VertSize, 286);
  TraceContext dc(screen);
  EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 1920);
  EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 1080);
  EXPECT_EQ(dc.GetDeviceCaps(HORZSIZE), 508);
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 96);
  EXPECT_EQ(DeviceInfoFromPixels(100, 100, 0).LogPixelsX, 96) << "no resolution means 96";
}

}  // namespace
