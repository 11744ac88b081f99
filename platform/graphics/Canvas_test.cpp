#include "platform/graphics/Canvas.h"

#include <gtest/gtest.h>

#include "platform/graphics/TraceContext.h"

namespace {

TEST(Canvas, SelectsItsObjectsWhenDrawingAndMakesThemAgainOnlyAfterAChange) {
  TraceContext dc;
  {
    TCanvas canvas(dc);
    canvas.Pen()->SetColor(clRed);
    canvas.Brush()->SetColor(clBlue);
    canvas.Rectangle(0, 0, 10, 10);
    canvas.Rectangle(5, 5, 15, 15);
    canvas.Pen()->SetMode(TPenMode::pmNotXor);
    canvas.Pen()->SetWidth(3);
    canvas.LineTo(4, 4);
    canvas.FillRect({0, 0, 2, 2});
    EXPECT_EQ(dc.LiveObjectCount(), 2);
  }
  EXPECT_EQ(dc.LiveObjectCount(), 0);
  EXPECT_EQ(dc.Text(),
            "ExtCreatePen(PS_COSMETIC|PS_SOLID,$0000FF) -> pen#8\n"
            "SelectObject(pen#8)\n"
            "CreateBrushIndirect(BS_SOLID,$FF0000) -> brush#9\n"
            "SelectObject(brush#9)\n"
            "Rectangle(0,0,10,10)\n"
            "Rectangle(5,5,15,15)\n"
            "ExtCreatePen(PS_GEOMETRIC|PS_SOLID|PS_ENDCAP_ROUND|PS_JOIN_ROUND,3,$0000FF) -> pen#10\n"
            "SelectObject(pen#10)\n"
            "DeleteObject(pen#8)\n"
            "SetROP2(R2_NOTXORPEN)\n"
            "LineTo(4,4)\n"
            "FillRect(0,0,2,2,brush#9)\n"
            "SelectObject(pen#1)\n"
            "DeleteObject(pen#10)\n"
            "SelectObject(brush#4)\n"
            "DeleteObject(brush#9)");
}

TEST(Canvas, TextTakesTheFontColourAndTheBrushAndReselectsAfterDirectUse) {
  TraceContext dc;
  TCanvas canvas(dc);
  canvas.Font()->SetHeight(-10);
  canvas.Font()->SetColor(clGreen);
  canvas.Brush()->SetStyle(TBrushStyle::bsClear);
  canvas.TextOut(1, 2, "a");
  // Someone selects another font directly: the canvas selects its own again,
  // without making it again.
  const FontHandle other = dc.CreateFontIndirect(LogFont{});
  dc.SelectObject(other);
  dc.Clear();
  canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
  canvas.Brush()->SetColor(clYellow);
  canvas.TextRect({0, 0, 20, 10}, 1, 2, "b");
  EXPECT_EQ(dc.Text(),
            "SelectObject(font#8)\n"
            "CreateBrushIndirect(BS_SOLID,$00FFFF) -> brush#11\n"
            "SelectObject(brush#11)\n"
            "DeleteObject(brush#9)\n"
            "SetBkMode(OPAQUE)\n"
            "SetBkColor($00FFFF)\n"
            "ExtTextOut(1,2,ETO_OPAQUE|ETO_CLIPPED,0,0,20,10,\"b\")");
  EXPECT_EQ(dc.GetTextColor(), clGreen);

  // Measures go through the device's measurer in the canvas font
  // (FixedTextMeasurer: 5 pixels a character at height -10, 6 in bold).
  EXPECT_EQ(canvas.TextWidth("abc"), 15);
  EXPECT_EQ(canvas.TextHeight("abc"), 12);
  canvas.Font()->SetStyle({TFontStyle::fsBold});
  EXPECT_EQ(canvas.TextExtent("abc"), (Size{18, 12}));
}

TEST(Canvas, AssignedObjectsCopyTheirValue) {
  TraceContext dc;
  TCanvas canvas(dc);
  TFont font;
  font.SetName("Courier New");
  font.SetHeight(-20);
  canvas.SetFont(&font);
  font.SetHeight(-30);  // the canvas keeps its copy
  EXPECT_EQ(canvas.Font()->Height(), -20);
  EXPECT_EQ(canvas.Font()->Name(), "Courier New");
  EXPECT_EQ(canvas.TextHeight("x"), 24);
}

}  // namespace
