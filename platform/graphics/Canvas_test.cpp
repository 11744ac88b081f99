#include "platform/graphics/Canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PainterContext.h"
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

// The pixels of a line from `a` to `b` as text: '#' drawn, '.' not.
std::string LinePixels(Point a, Point b) {
  TBitmap bitmap(8, 6);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen()->SetColor(clRed);
  canvas.MoveTo(a.x, a.y);
  canvas.LineTo(b.x, b.y);
  std::string rows;
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x)
      if (bitmap.Pixel(x, y) == clRed) rows += std::to_string(x) + "," + std::to_string(y) + " ";
  return rows;
}

TEST(Canvas, LinesDrawTheirFirstPixelAndLeaveOutTheLastInEveryDirection) {
  struct Row {
    Point a, b;
    std::string pixels;
  } rows[] = {
      {{1, 1}, {4, 1}, "1,1 2,1 3,1 "},
      {{4, 1}, {1, 1}, "2,1 3,1 4,1 "},
      {{2, 1}, {2, 4}, "2,1 2,2 2,3 "},
      {{2, 4}, {2, 1}, "2,2 2,3 2,4 "},
      {{3, 3}, {3, 3}, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.a.x) + "," + std::to_string(row.a.y));
    EXPECT_EQ(LinePixels(row.a, row.b), row.pixels);
  }
}

TEST(Canvas, DrawsGraphicsAndCopiesFromReadableCanvases) {
  TBitmap picture(2, 2);
  picture.SetPixel(0, 0, clRed);
  picture.SetPixel(1, 1, clBlue);
  picture.SetPixel(0, 1, clLime);  // bottom-left: transparent when asked
  TBitmap target(6, 6);
  TCanvas& canvas = target.Canvas();
  canvas.Draw(1, 1, picture);
  EXPECT_EQ(target.Pixel(1, 1), clRed);
  EXPECT_EQ(target.Pixel(1, 2), clLime);
  canvas.StretchDraw({2, 2, 6, 6}, picture);  // twice the size
  EXPECT_EQ(target.Pixel(3, 3), clRed);
  EXPECT_EQ(target.Pixel(5, 5), clBlue);
  EXPECT_EQ(target.Pixel(2, 5), clLime);
  picture.SetTransparent(true);
  canvas.Brush()->SetColor(clWhite);
  canvas.FillRect({0, 0, 6, 6});
  canvas.Draw(0, 0, picture);
  EXPECT_EQ(target.Pixel(0, 1), clWhite);
  EXPECT_EQ(target.Pixel(1, 1), clBlue);

  // Copies from another bitmap's canvas and from its own.
  TBitmap source(3, 3);
  source.Canvas().Brush()->SetColor(clNavy);
  source.Canvas().FillRect({1, 1, 3, 3});
  canvas.CopyRect({3, 0, 5, 2}, source.Canvas(), {1, 1, 3, 3});
  EXPECT_EQ(target.Pixel(3, 0), clNavy);
  EXPECT_EQ(target.Pixel(4, 1), clNavy);
  canvas.CopyRect({0, 4, 2, 6}, canvas, {3, 0, 5, 2});
  EXPECT_EQ(target.Pixel(1, 5), clNavy);
  // A device that keeps no pixels gives nothing to copy.
  TraceContext trace;
  TCanvas traced(trace);
  canvas.CopyRect({4, 4, 6, 6}, traced, {0, 0, 2, 2});
  EXPECT_EQ(target.Pixel(5, 5), clWhite);

  // BrushCopy: the pixels of one colour take the brush.
  canvas.Brush()->SetColor(clYellow);
  canvas.BrushCopy({0, 0, 2, 2}, picture, {0, 0, 2, 2}, clLime);
  EXPECT_EQ(target.Pixel(0, 1), clYellow);
  EXPECT_EQ(target.Pixel(0, 0), clRed);
}

TEST(Canvas, PixelsAreReadFromImagesPaintedWithoutScaling) {
  QImage image(4, 4, QImage::Format_ARGB32);
  image.fill(Qt::white);
  image.setPixel(3, 2, qRgb(0, 0, 255));
  QPainter painter(&image);
  Bitmap32 pixels;
  {
    painter.translate(1, 1);  // device (2, 1) is image (3, 2)
    PainterContext moved(painter);
    ASSERT_TRUE(moved.ReadPixels({2, 1, 3, 2}, pixels));
    EXPECT_EQ(pixels.Bgra, (std::vector<std::uint8_t>{255, 0, 0, 255}));
    EXPECT_FALSE(moved.ReadPixels({2, 1, 5, 2}, pixels));  // past the image
  }
  painter.scale(2, 2);
  PainterContext scaled(painter);
  EXPECT_FALSE(scaled.ReadPixels({0, 0, 1, 1}, pixels));
}

}  // namespace
