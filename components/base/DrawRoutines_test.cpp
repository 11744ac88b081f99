#include "components/base/DrawRoutines.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/TraceContext.h"

namespace {

void Number(TBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) bitmap.SetPixel(x, y, RGB(8 * x, 8 * y, 40));
}

TEST(ResizeBitmapCentered, CentresOnABorderOfTheTransparentColourOrKeepsTheTopLeft) {
  struct Row {
    int width, height;
    int dx, dy;  // where the old picture lands
    bool transparent;
  } rows[] = {
      {20, 20, 2, 2, false},
      {18, 15, 1, 0, false},  // odd differences round toward zero
      {19, 21, 1, 2, false},
      {10, 12, 0, 0, false},  // smaller: the top-left part
      // A transparent bitmap still moves every pixel, those of its
      // transparent colour too.
      {20, 20, 2, 2, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height));
    TBitmap old(16, 16);
    Number(old);
    old.SetPixel(0, 15, clFuchsia);  // bottom-left: the transparent colour
    old.SetPixel(5, 5, clFuchsia);
    old.SetTransparent(row.transparent);
    TBitmap bitmap;
    bitmap.Assign(old);
    bitmap.Canvas().Brush()->SetColor(clLime);
    ResizeBitmapCentered(bitmap, row.width, row.height);
    ASSERT_EQ(bitmap.Width(), row.width);
    ASSERT_EQ(bitmap.Height(), row.height);
    EXPECT_EQ(bitmap.Canvas().Brush()->Color(), clLime);
    for (int y = 0; y < row.height; ++y)
      for (int x = 0; x < row.width; ++x) {
        const int ox = x - row.dx, oy = y - row.dy;
        const bool inside = ox >= 0 && oy >= 0 && ox < 16 && oy < 16;
        ASSERT_EQ(bitmap.Pixel(x, y), inside ? old.Pixel(ox, oy) : clFuchsia) << x << "," << y;
      }
  }
}

TEST(ResizeBitmapCentered, SameSizeChangesNothingAndImageListsTakeTheResizedBitmap) {
  TBitmap bitmap(16, 16);
  Number(bitmap);
  const TColor before = bitmap.Pixel(3, 4);
  ResizeBitmapCentered(bitmap, 16, 16);
  EXPECT_EQ(bitmap.Pixel(3, 4), before);

  TImageList images(20, 20);
  EXPECT_EQ(AddBitmapToImageList(images, bitmap), 0);
  EXPECT_EQ(bitmap.Width(), 20);
  TBitmap back;
  images.GetBitmap(0, back);
  // The border was the transparent colour: masked out, white in GetBitmap.
  EXPECT_EQ(back.Pixel(0, 0), clWhite);
  EXPECT_EQ(back.Pixel(2 + 3, 2 + 4), before);
}

TEST(MakeCheckBitmap, SquareOfTheSmallerSideWithTheFrameAsAsked) {
  struct Row {
    int state;
    bool thinFrame, noFrame;
    TColor corner, inside, tick;  // pixels (0, 0), (1, 1) and (3, 7)
  } rows[] = {
      {0, false, false, clBtnShadow, cl3DDkShadow, clWindow},
      {1, false, false, clBtnShadow, cl3DDkShadow, clWindowText},
      {2, false, false, clBtnShadow, cl3DDkShadow, clBtnShadow},  // grayed
      {1, true, false, clBtnShadow, clWindow, clWindowText},
      {1, false, true, clWindow, clWindow, clWindowText},
      {0, true, true, clWindow, clWindow, clWindow},  // no frame wins
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.state) + (row.thinFrame ? " thin" : "") + (row.noFrame ? " none" : ""));
    TBitmap bitmap;
    MakeCheckBitmap(bitmap, 20, 13, row.state, row.thinFrame, row.noFrame);
    ASSERT_EQ(bitmap.Width(), 13);
    ASSERT_EQ(bitmap.Height(), 13);
    EXPECT_EQ(bitmap.Pixel(0, 0), ColorToRGB(row.corner));
    EXPECT_EQ(bitmap.Pixel(1, 1), ColorToRGB(row.inside));
    EXPECT_EQ(bitmap.Pixel(3, 7), ColorToRGB(row.tick));
  }
}

TEST(DrawCheckBox, TransparentLetsTheBrushThroughTheWhiteOfTheBox) {
  TBitmap target(20, 16);
  TCanvas& canvas = target.Canvas();
  canvas.Brush()->SetColor(clYellow);
  DrawCheckBox(canvas, {2, 1, 18, 14}, 0, false, true, true);
  EXPECT_EQ(target.Pixel(5, 5), clYellow);
  canvas.FillRect({0, 0, 20, 16});
  DrawCheckBox(canvas, {2, 1, 18, 14}, 0, false, true, false);
  EXPECT_EQ(target.Pixel(5, 5), ColorToRGB(clWindow));
  EXPECT_EQ(target.Pixel(2 + 12, 5), ColorToRGB(clWindow));
  EXPECT_EQ(target.Pixel(2 + 13, 5), clYellow);  // 13 wide, the smaller side
}

TEST(EllipsisText, NeverShowsTheLastCharacterWithTheEllipsis) {
  TraceContext dc;
  TCanvas canvas(dc);
  const Coord w = canvas.TextWidth("a");  // every character is this wide
  ASSERT_EQ(canvas.TextWidth("\u2026"), w);
  struct Row {
    std::string text;
    Coord room;
    std::string shown;
  } rows[] = {
      {"abcdefgh", 8 * w, "abcdefgh"},
      {"abcdefgh", 8 * w - 1, "abcdef\u2026"},
      {"abcdefgh", 5 * w, "abcd\u2026"},
      {"abcde", 5 * w - 1, "abc\u2026"},  // room for "abcd": still not "e"
      {"abc", 0, "a\u2026"},
      {"ab", 0, "a\u2026"},
      {"a", 0, "\u2026"},
      {"\u00e4\u00f6\u00fc\u00dfxyz", 4 * w, "\u00e4\u00f6\u00fc\u2026"},  // whole UTF-8 characters
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text + " in " + std::to_string(row.room));
    EXPECT_EQ(EllipsisText(canvas, row.room, row.text), row.shown);
  }
}

TEST(DrawTextEllipsis, DrawsTheShortenedTextInTheRectangle) {
  TraceContext dc;
  TCanvas canvas(dc);
  const Coord w = canvas.TextWidth("a");
  DrawTextEllipsis(canvas, {0, 0, 4 * w, 20}, w, 2, "abcdef");
  EXPECT_NE(dc.Text().find("\"ab\u2026\""), std::string::npos) << dc.Text();
}

TEST(DrawExpandButton, PlusOrMinusOfTheSideTheSquareAllows) {
  struct Row {
    Coord size, inset;
    bool expanded;
    int inked;    // pixels of the sign
    Rect extent;  // where they lie
  } rows[] = {
      {9, 0, false, 9, {2, 2, 7, 7}}, {9, 0, true, 5, {2, 4, 7, 5}}, {11, 2, false, 9, {3, 3, 8, 8}},
      {6, 0, false, 5, {1, 1, 4, 4}}, {5, 0, true, 3, {1, 2, 4, 3}}, {4, 0, false, 1, {1, 1, 2, 2}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.size) + (row.expanded ? " expanded" : " collapsed"));
    TBitmap frame(12, 12), button(12, 12);
    Rect square{row.inset, row.inset, row.size - row.inset, row.size - row.inset};
    DrawFrameControl(frame.Canvas().Handle(), square, DFC_BUTTON, DFCS_BUTTONPUSH);
    TCanvas& canvas = button.Canvas();
    canvas.Pen()->SetColor(clRed);
    canvas.Pen()->SetWidth(3);
    canvas.Pen()->SetStyle(TPenStyle::psDash);
    DrawExpandButton(canvas, 0, 0, row.size, row.inset, row.expanded);
    EXPECT_EQ(canvas.Pen()->Color(), clBlack);
    EXPECT_EQ(canvas.Pen()->Width(), 1);
    EXPECT_EQ(canvas.Pen()->Style(), TPenStyle::psSolid);
    int inked = 0;
    Rect extent{12, 12, 0, 0};
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) {
        if (button.Pixel(x, y) == frame.Pixel(x, y)) continue;
        EXPECT_EQ(button.Pixel(x, y), clBlack);
        ++inked;
        extent = {std::min<Coord>(extent.left, x), std::min<Coord>(extent.top, y), std::max<Coord>(extent.right, x + 1),
                  std::max<Coord>(extent.bottom, y + 1)};
      }
    EXPECT_EQ(inked, row.inked);
    EXPECT_EQ(extent, row.extent);
  }
}

TEST(DrawOverlayImage, OverlayOverTheBackImageThroughItsMask) {
  TImageList images(2, 1);
  TBitmap strip(4, 1);
  strip.SetPixel(0, 0, clRed);
  strip.SetPixel(1, 0, clNavy);
  strip.SetPixel(2, 0, clGreen);
  strip.SetPixel(3, 0, clFuchsia);
  images.AddMasked(strip, clFuchsia);  // image 1: green, then a hole
  TBitmap target(4, 2);
  DrawOverlayImage(target.Canvas(), images, 1, 0, 1, 1);
  EXPECT_EQ(target.Pixel(1, 1), clGreen);
  EXPECT_EQ(target.Pixel(2, 1), clNavy);
  EXPECT_EQ(target.Pixel(0, 1), clWhite);
}

TEST(OutlinesAndArrows, OutlineJustInsideTheRectangleAndArrowsInsideTheirs) {
  TBitmap bitmap(8, 6);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen()->SetColor(clRed);
  DrawRectOutline(canvas, {1, 1, 7, 5});
  for (const auto& [x, y] : {std::pair{1, 1}, {6, 1}, {6, 4}, {1, 4}, {3, 1}, {1, 3}})
    EXPECT_EQ(bitmap.Pixel(x, y), clRed) << x << "," << y;
  EXPECT_EQ(bitmap.Pixel(7, 5), clWhite);
  EXPECT_EQ(bitmap.Pixel(3, 3), clWhite);

  // Enabled arrows are drawn in clBtnText, disabled ones are not; the
  // outermost pixels of the rectangle stay as they were.
  for (bool enabled : {true, false}) {
    TBitmap arrow(16, 16);
    DrawScrollArrow(arrow.Canvas(), true, {0, 0, 16, 16}, enabled);
    int text = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) text += arrow.Pixel(x, y) == ColorToRGB(clBtnText);
    EXPECT_EQ(text > 0, enabled);
    EXPECT_EQ(arrow.Pixel(0, 0), clWhite);
    EXPECT_EQ(arrow.Pixel(15, 15), clWhite);
  }
}

TEST(DrawEdgeStyle, SunkenForStyleZeroRaisedOtherwise) {
  for (int style : {0, 1}) {
    TBitmap bitmap(6, 6);
    DrawEdgeStyle(bitmap.Canvas().Handle(), {0, 0, 6, 6}, style);
    EXPECT_EQ(bitmap.Pixel(0, 0), ColorToRGB(style == 0 ? clBtnShadow : clBtnHighlight));
    EXPECT_EQ(bitmap.Pixel(5, 5), ColorToRGB(style == 0 ? clBtnHighlight : clBtnShadow));
  }
}

}  // namespace
