#include "platform/graphics/PicturePlayer.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>
#include <functional>

#include "platform/graphics/PainterContext.h"
#include "platform/graphics/QtGraphics.h"

namespace {

const DeviceInfo kScreen = DeviceInfoFromPixels(1920, 1080, 96);
const QRgb kWhite = qRgb(255, 255, 255);

// A picture set up as the tree picture is: width x height pixels, 4 logical
// units a pixel, transparent background, text aligned to its bottom.
Picture TreeStylePicture(std::int32_t width, std::int32_t height, const std::function<void(DeviceContext&)>& draw) {
  PictureRecorder dc(PictureFrameFromPixels(width, height, kScreen), kScreen);
  dc.SetGraphicsMode(GM_ADVANCED);
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(4 * width, 4 * height);
  dc.SetViewportExt(width, height);
  dc.SetBkMode(TRANSPARENT);
  dc.SetBkColor(clWhite);
  dc.SetROP2(R2_COPYPEN);
  dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
  draw(dc);
  return dc.Close();
}

QImage Play(const Picture& picture, QSize size, const Rect& destination,
            std::optional<QRectF> exposed = std::nullopt) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(kWhite);
  QPainter painter(&image);
  PlayPicture(picture, painter, destination, exposed);
  return image;
}

QImage Play(const Picture& picture) {
  const Rect frame = picture.FramePixels();
  return Play(picture, QSize(static_cast<int>(frame.right), static_cast<int>(frame.bottom)), frame);
}

// Bounding box of the pixels that differ from `background` (null when none).
QRect InkBounds(const QImage& image, QRgb background = kWhite) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != background) box |= QRect(x, y, 1, 1);
  return box;
}

void SelectSolid(DeviceContext& dc, TColor color) {
  dc.SelectObject(dc.CreateBrushIndirect({BS_SOLID, color}));
}

TEST(PicturePlayerTest, NodePositionPlusOriginLandsOnItsPixel) {
  const Point node{40, 20}, origin{8, 8};
  const Picture picture = TreeStylePicture(200, 100, [&](DeviceContext& dc) {
    const Coord x = node.x + origin.x, y = node.y + origin.y;
    dc.FillRect({x, y, x + 4, y + 4}, kBlackBrush);
  });
  const QImage image = Play(picture);
  ASSERT_EQ(image.size(), QSize(200, 100));
  EXPECT_EQ(InkBounds(image), QRect(12, 7, 1, 1));
}

TEST(PicturePlayerTest, DestinationScalesEachAxis) {
  const Picture picture = TreeStylePicture(200, 100, [](DeviceContext& dc) {
    dc.FillRect({80, 40, 160, 120}, kBlackBrush);
  });
  struct Case {
    Rect destination;
    QRect ink;
  } cases[] = {
      {{0, 0, 200, 100}, QRect(20, 10, 20, 20)},
      {{0, 0, 100, 50}, QRect(10, 5, 10, 10)},   // half size: both axes halved
      {{10, 20, 110, 70}, QRect(20, 25, 10, 10)},
      {{0, 0, 400, 100}, QRect(40, 10, 40, 20)},  // twice as wide only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.destination.right << "x" << c.destination.bottom);
    EXPECT_EQ(InkBounds(Play(picture, QSize(400, 200), c.destination)), c.ink);
  }
}

// A window paints its picture in its paint event, limited to the exposed part.
class PictureWidget : public QWidget {
 public:
  explicit PictureWidget(Picture picture) : picture_(std::move(picture)) {
    const Rect frame = picture_.FramePixels();
    resize(static_cast<int>(frame.Width()), static_cast<int>(frame.Height()));
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    PlayPicture(picture_, painter, picture_.FramePixels(), QRectF(event->rect()));
  }

 private:
  Picture picture_;
};

TEST(PicturePlayerTest, WindowShowsWhatAnImageShows) {
  const Picture picture = TreeStylePicture(120, 80, [](DeviceContext& dc) {
    dc.SelectObject(dc.ExtCreatePen({PS_GEOMETRIC, PS_DASH, PS_ENDCAP_SQUARE, PS_JOIN_MITER, 8, clRed}));
    dc.SelectObject(dc.CreateBrushIndirect({BS_SOLID, clAqua}));
    dc.Ellipse(20, 20, 300, 200);
    dc.TextOut(40, 300, "Taxon");
  });
  PictureWidget widget(picture);
  const QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown, Play(picture));
  // Hatches would start their pattern at the grabbed corner, so this picture has none.
  const QImage part = widget.grab(QRect(30, 10, 40, 30)).toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(part, Play(picture).copy(30, 10, 40, 30));
}

TEST(PicturePlayerTest, PlayingLeavesThePainterAsItWas) {
  const Picture picture = TreeStylePicture(20, 20, [](DeviceContext& dc) {
    dc.SelectObject(dc.ExtCreatePen({PS_GEOMETRIC, PS_SOLID, PS_ENDCAP_FLAT, PS_JOIN_MITER, 8, clRed}));
    dc.SetROP2(R2_XORPEN);
    dc.LineTo(40, 40);
  });
  QImage image(20, 20, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setPen(QColor(1, 2, 3));
  painter.translate(3, 4);
  PlayPicture(picture, painter, {0, 0, 20, 20});
  EXPECT_EQ(painter.pen().color(), QColor(1, 2, 3));
  EXPECT_EQ(painter.worldTransform(), QTransform::fromTranslate(3, 4));
  EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_SourceOver);
}

// Two strokes with square caps, each shortened by half the other's width,
// meet exactly at the centre line: the vertical one ends on the row above the
// horizontal one's centre line, the horizontal one covers that row and the one
// below.
TEST(PicturePlayerTest, SquareCapsEndOnTheOtherStrokesCentreLine) {
  const std::int32_t w = 8;  // 2 pixels
  const Picture picture = TreeStylePicture(60, 30, [&](DeviceContext& dc) {
    const PenHandle red = dc.ExtCreatePen({PS_GEOMETRIC, PS_SOLID, PS_ENDCAP_SQUARE, PS_JOIN_MITER, w, clRed});
    const PenHandle blue = dc.ExtCreatePen({PS_GEOMETRIC, PS_SOLID, PS_ENDCAP_SQUARE, PS_JOIN_MITER, w, clBlue});
    dc.SelectObject(red);
    const Point horizontal[2] = {{40, 80}, {200, 80}};
    dc.Polyline(horizontal);
    dc.SelectObject(blue);
    const Point vertical[2] = {{120, 20}, {120, 80 - w / 2}};
    dc.Polyline(vertical);
  });
  const QImage image = Play(picture);
  const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
  // Vertical stroke: columns 29 and 30, from row 4 (cap above y 5) down to row 19.
  EXPECT_EQ(image.pixel(29, 3), kWhite);
  EXPECT_EQ(image.pixel(29, 4), blue);
  EXPECT_EQ(image.pixel(30, 19), blue);
  EXPECT_EQ(image.pixel(29, 20), red);
  EXPECT_EQ(image.pixel(30, 21), kWhite);
  // Horizontal stroke: rows 19 and 20, its square cap one pixel left of x 10.
  EXPECT_EQ(image.pixel(8, 19), kWhite);
  EXPECT_EQ(image.pixel(9, 19), red);
  EXPECT_EQ(image.pixel(9, 20), red);
  EXPECT_EQ(image.pixel(50, 20), red);
  EXPECT_EQ(image.pixel(51, 20), kWhite);
}

// Raster operations that undo themselves: drawing the same outline twice
// gives back every pixel of what was there.
TEST(PicturePlayerTest, InvertingDrawingTwiceRestoresEveryPixel) {
  QImage image(60, 40, QImage::Format_RGB32);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) image.setPixel(x, y, qRgb(x * 4, y * 6, (x * y) % 256));
  const QImage original = image.copy();
  struct Case {
    Rop2 rop;
    bool cosmetic;
    BrushHandle brush;
  } cases[] = {
      {R2_NOTXORPEN, true, kNullBrush},
      {R2_NOTXORPEN, false, kNullBrush},
      {R2_XORPEN, true, kBlackBrush},
      {R2_NOT, false, kWhiteBrush},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "rop " << int(c.rop) << " cosmetic " << c.cosmetic);
    const Point diamond[4] = {{30, 4}, {50, 20}, {30, 36}, {10, 20}};
    auto draw = [&] {
      QPainter painter(&image);
      PainterContext dc(painter);
      dc.SetROP2(c.rop);
      const LogPen pen = c.cosmetic ? LogPen{PS_COSMETIC, PS_SOLID, PS_ENDCAP_ROUND, PS_JOIN_ROUND, 1, RGB(255, 0, 0)}
                                    : LogPen{PS_GEOMETRIC, PS_DASH, PS_ENDCAP_SQUARE, PS_JOIN_MITER, 3, RGB(0, 255, 0)};
      const PenHandle old = dc.SelectObject(dc.ExtCreatePen(pen));
      dc.SelectObject(c.brush);
      dc.Polygon(diamond);
      dc.SelectObject(old);
    };
    draw();
    EXPECT_NE(image, original);
    draw();
    EXPECT_EQ(image, original);
  }
}

TEST(PicturePlayerTest, NotXorPenShowsRedOnWhite) {
  QImage image(20, 20, QImage::Format_RGB32);
  image.fill(kWhite);
  {
    QPainter painter(&image);
    PainterContext dc(painter);
    dc.SetROP2(R2_NOTXORPEN);
    dc.SelectObject(dc.CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    dc.MoveTo(2, 5);
    dc.LineTo(12, 5);
  }
  EXPECT_EQ(image.pixel(2, 5), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(11, 5), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(12, 5), kWhite) << "a line leaves out its end pixel";
}

TEST(PicturePlayerTest, BrushesFillSolidHatchedOrNothing) {
  struct Case {
    LogBrush brush;
    BkMode bk;
    int red, green, white;  // pixels of each colour inside the 16 x 16 square
  } cases[] = {
      {{BS_SOLID, clRed}, TRANSPARENT, 256, 0, 0},
      {{BS_NULL, clRed}, TRANSPARENT, 0, 0, 256},
      {{BS_HATCHED, clRed, HS_HORIZONTAL}, TRANSPARENT, 32, 0, 224},
      {{BS_HATCHED, clRed, HS_VERTICAL}, OPAQUE, 32, 224, 0},
      {{BS_HATCHED, clRed, HS_CROSS}, TRANSPARENT, 60, 0, 196},
      {{BS_HATCHED, clRed, HS_FDIAGONAL}, TRANSPARENT, 32, 0, 224},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << int(c.brush.Style) << " hatch " << int(c.brush.Hatch));
    const Picture picture = TreeStylePicture(32, 32, [&](DeviceContext& dc) {
      dc.SetBkMode(c.bk);
      dc.SetBkColor(clLime);
      dc.SelectObject(kNullPen);
      dc.SelectObject(dc.CreateBrushIndirect(c.brush));
      const Point square[4] = {{32, 32}, {96, 32}, {96, 96}, {32, 96}};
      dc.Polygon(square);
    });
    const QImage image = Play(picture);
    int red = 0, green = 0, white = 0;
    for (int y = 8; y < 24; ++y)
      for (int x = 8; x < 24; ++x) {
        const QRgb p = image.pixel(x, y);
        red += p == qRgb(255, 0, 0);
        green += p == qRgb(0, 255, 0);
        white += p == kWhite;
      }
    EXPECT_EQ(red, c.red);
    EXPECT_EQ(green, c.green);
    EXPECT_EQ(white, c.white);
    EXPECT_EQ(InkBounds(image) | QRect(8, 8, 16, 16), QRect(8, 8, 16, 16)) << "nothing outside the square";
  }
}

// Lengths of the runs of ink and gaps along row y from x0 on.
std::vector<int> Runs(const QImage& image, int y, int x0, int x1) {
  std::vector<int> runs;
  bool ink = image.pixel(x0, y) != kWhite;
  int length = 0;
  for (int x = x0; x < x1; ++x) {
    const bool now = image.pixel(x, y) != kWhite;
    if (now != ink) {
      runs.push_back(length);
      length = 0;
      ink = now;
    }
    ++length;
  }
  return runs;
}

TEST(PicturePlayerTest, DashesAndDotsKeepTheirLengthsWhateverTheCaps) {
  struct Case {
    LogPen pen;
    int dash, gap;  // pixels
  } cases[] = {
      {{PS_GEOMETRIC, PS_DASH, PS_ENDCAP_SQUARE, PS_JOIN_MITER, 8, clBlack}, 6, 2},
      {{PS_GEOMETRIC, PS_DOT, PS_ENDCAP_SQUARE, PS_JOIN_MITER, 8, clBlack}, 2, 2},
      {{PS_GEOMETRIC, PS_DOT, PS_ENDCAP_FLAT, PS_JOIN_MITER, 8, clBlack}, 2, 2},
      {{PS_GEOMETRIC, PS_DASH, PS_ENDCAP_FLAT, PS_JOIN_MITER, 16, clBlack}, 12, 4},
      {{PS_COSMETIC, PS_DASH, PS_ENDCAP_ROUND, PS_JOIN_ROUND, 1, clBlack}, 18, 6},
      {{PS_COSMETIC, PS_DOT, PS_ENDCAP_ROUND, PS_JOIN_ROUND, 1, clBlack}, 3, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << int(c.pen.Style) << " width " << c.pen.Width
                                    << " cap " << int(c.pen.EndCap));
    const Picture picture = TreeStylePicture(120, 10, [&](DeviceContext& dc) {
      dc.SelectObject(dc.ExtCreatePen(c.pen));
      dc.MoveTo(8, 20);
      dc.LineTo(472, 20);
    });
    const std::vector<int> runs = Runs(Play(picture), 5, 0, 118);
    ASSERT_GE(runs.size(), 6u);
    // runs[0] is the white margin; then dash, gap, dash, gap ...
    for (std::size_t i = 1; i + 1 < runs.size(); ++i) EXPECT_EQ(runs[i], i % 2 == 1 ? c.dash : c.gap) << "run " << i;
  }
}

TEST(PicturePlayerTest, ArcRunsInTheArcDirection) {
  struct Case {
    ArcDirection direction;
    QRect bounds;  // of the ink, approximately
  } cases[] = {
      {AD_COUNTERCLOCKWISE, QRect(50, 0, 51, 51)},  // east to north: the upper right quarter
      {AD_CLOCKWISE, QRect(0, 0, 101, 101)},        // the other three quarters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.direction));
    const Picture picture = TreeStylePicture(110, 110, [&](DeviceContext& dc) {
      dc.SetArcDirection(c.direction);
      dc.Arc(0, 0, 400, 400, 400, 200, 200, 0);
    });
    const QRect ink = InkBounds(Play(picture));
    EXPECT_LE(std::abs(ink.left() - c.bounds.left()), 1);
    EXPECT_LE(std::abs(ink.top() - c.bounds.top()), 1);
    EXPECT_LE(std::abs(ink.right() - c.bounds.right()), 1);
    EXPECT_LE(std::abs(ink.bottom() - c.bounds.bottom()), 1);
  }
}

TEST(PicturePlayerTest, StretchedBitmapKeepsItsPixelsAtFourToOne) {
  Bitmap24 bitmap{10, 8, std::vector<std::uint8_t>(240)};
  for (std::size_t i = 0; i < 240; i += 3) bitmap.Bgr[i + 1] = 200;  // green
  bitmap.Bgr[2] = 255;                                              // top left red
  bitmap.Bgr[1] = 0;
  bitmap.Bgr[237] = 255;  // bottom right blue
  bitmap.Bgr[238] = 0;
  const Picture picture = TreeStylePicture(40, 40, [&](DeviceContext& dc) {
    EXPECT_TRUE(dc.StretchDIBits(40, 40, 40, 32, bitmap));
  });
  const QImage image = Play(picture);
  EXPECT_EQ(InkBounds(image), QRect(10, 10, 10, 8));
  EXPECT_EQ(image.pixel(10, 10), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(19, 17), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(15, 13), qRgb(0, 200, 0));
}

TEST(PicturePlayerTest, ExposedRectangleClipsAndSkips) {
  const Picture picture = TreeStylePicture(100, 60, [](DeviceContext& dc) {
    SelectSolid(dc, clBlue);
    for (int i = 0; i < 10; ++i) dc.Rectangle(i * 40, 8, i * 40 + 30, 200);
    dc.TextOut(20, 230, "far left");
  });
  const QImage full = Play(picture);
  const QRectF exposed(45, 10, 20, 30);
  const QImage part = Play(picture, full.size(), picture.FramePixels(), exposed);
  for (int y = 0; y < full.height(); ++y)
    for (int x = 0; x < full.width(); ++x)
      ASSERT_EQ(part.pixel(x, y), exposed.contains(x + 0.5, y + 0.5) ? full.pixel(x, y) : kWhite) << x << "," << y;
}

// A scrolled window translates its painter and repaints what is exposed.
TEST(PicturePlayerTest, ScrolledPainterShowsTheScrolledPart) {
  const Picture picture = TreeStylePicture(100, 200, [](DeviceContext& dc) {
    SelectSolid(dc, clFuchsia);
    for (int i = 0; i < 20; ++i) {
      dc.Rectangle(20, i * 40 + 4, 300, i * 40 + 24);
      dc.FillRect({320, i * 40, 360, i * 40 + 20}, kBlackBrush);
    }
  });
  const QImage full = Play(picture);
  QImage window(100, 60, QImage::Format_RGB32);
  window.fill(kWhite);
  {
    QPainter painter(&window);
    painter.translate(0, -70);
    PlayPicture(picture, painter, picture.FramePixels(), QRectF(0, 70, 100, 60));
  }
  EXPECT_EQ(window, full.copy(0, 70, 100, 60));
}

// Values at the ends of the 32-bit range, as a damaged record could carry
// them, are drawn (clipped) without harm.
TEST(PicturePlayerTest, ExtremeCoordinatesAndSizesDrawWithoutHarm) {
  const Coord lo = INT32_MIN, hi = INT32_MAX;
  const Picture picture = TreeStylePicture(50, 50, [&](DeviceContext& dc) {
    dc.SelectObject(dc.ExtCreatePen({PS_GEOMETRIC, PS_DASH, PS_ENDCAP_SQUARE, PS_JOIN_MITER, 8, clRed}));
    dc.SelectObject(dc.CreateBrushIndirect({BS_HATCHED, clBlue, HS_DIAGCROSS}));
    dc.MoveTo(lo, lo);
    dc.LineTo(hi, hi);
    const Point huge[4] = {{lo, lo}, {hi, lo}, {hi, hi}, {lo, 100}};
    dc.Polygon(huge);
    dc.PolyBezier(huge);
    dc.Ellipse(lo, lo, hi, hi);
    dc.Arc(lo, lo, hi, hi, hi, 0, 0, lo);
    dc.SelectObject(dc.CreateFontIndirect({-(1 << 30), 900, 900, FW_BOLD, false, false, false, DEFAULT_PITCH, ""}));
    dc.TextOut(100, 100, "Taxon");
    dc.SelectObject(dc.ExtCreatePen({PS_GEOMETRIC, PS_SOLID, PS_ENDCAP_ROUND, PS_JOIN_ROUND, INT32_MAX, clGreen}));
    dc.LineTo(0, 0);
    dc.FillRect({lo, lo, hi, hi}, kBlackBrush);
  });
  const QImage image = Play(picture);
  EXPECT_EQ(image.pixel(25, 25), qRgb(0, 0, 0));
  // A vector device, where hatches are drawn as lines.
  QBuffer buffer;
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(200, 200));
  QPainter painter(&svg);
  PlayPicture(picture, painter, {0, 0, 200, 200});
  painter.end();
  EXPECT_TRUE(buffer.data().contains("</svg>"));
}

class TextTest : public ::testing::Test {
 protected:
  // Arial at a character height of 16 pixels.
  static constexpr std::int32_t kEm = 16;
  LogFont Font(std::int32_t escapement) const {
    return {-4 * kEm, escapement, escapement, FW_NORMAL, false, false, false, DEFAULT_PITCH, "Arial"};
  }
  QImage Text(std::uint32_t align, std::int32_t escapement, const std::string& text, Point at) const {
    const Picture picture = TreeStylePicture(200, 200, [&](DeviceContext& dc) {
      dc.SetTextAlign(align);
      dc.SetTextColor(clBlack);
      dc.SelectObject(dc.CreateFontIndirect(Font(escapement)));
      dc.TextOut(at.x, at.y, text);
    });
    return Play(picture);
  }
};

TEST_F(TextTest, BottomAlignmentPutsTheCellBottomOnY) {
  const QFontMetricsF metrics(QFontOfLogFont(Font(0), kEm));
  // The descender of "g" below the baseline, from text drawn on its baseline.
  const QRect onBaseline = InkBounds(Text(TA_LEFT | TA_BASELINE, 0, "g", {40, 400}));
  const int descender = onBaseline.bottom() + 1 - 100;
  const QRect onBottom = InkBounds(Text(TA_LEFT | TA_BOTTOM, 0, "g", {40, 400}));
  EXPECT_LE(onBottom.bottom(), 99) << "nothing below y";
  EXPECT_NEAR(onBottom.bottom() + 1, 100 - metrics.descent() + descender, 1.0);
  const QRect onTop = InkBounds(Text(TA_LEFT | TA_TOP, 0, "g", {40, 400}));
  EXPECT_NEAR(onTop.bottom() + 1, 100 + metrics.ascent() + descender, 1.0);
}

TEST_F(TextTest, EscapementTurnsTheBaselineCounterClockwise) {
  // An "X" and blanks: the ink sits at the start of the text, so where it is
  // shows which way the text reads.
  const std::string text = "X         ";
  const double advance = QFontMetricsF(QFontOfLogFont(Font(0), kEm)).horizontalAdvance(QString::fromStdString(text));
  const int ax = 100, ay = 100;  // the anchor in pixels
  struct Case {
    std::int32_t escapement;
    const char* reads;
    std::function<bool(const QRect&)> holds;
  } cases[] = {
      {0, "rightward, above y", [&](const QRect& r) { return r.left() >= ax - 1 && r.right() < ax + advance / 2 && r.bottom() < ay; }},
      {900, "upward, left of x", [&](const QRect& r) { return r.bottom() <= ay && r.top() > ay - advance / 2 && r.right() < ax; }},
      {1800, "leftward, below y", [&](const QRect& r) { return r.right() <= ax && r.left() > ax - advance / 2 && r.top() >= ay; }},
      {2700, "downward, right of x", [&](const QRect& r) { return r.top() >= ay - 1 && r.bottom() < ay + advance / 2 && r.left() >= ax; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.escapement << " reads " << c.reads);
    const QRect ink = InkBounds(Text(TA_LEFT | TA_BOTTOM, c.escapement, text, {4 * ax, 4 * ay}));
    ASSERT_FALSE(ink.isNull());
    EXPECT_TRUE(c.holds(ink)) << ink.left() << "," << ink.top() << " - " << ink.right() << "," << ink.bottom();
  }
}

TEST_F(TextTest, OpaqueBackgroundFillsTheCell) {
  const Picture picture = TreeStylePicture(200, 60, [&](DeviceContext& dc) {
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(clYellow);
    dc.SelectObject(dc.CreateFontIndirect(Font(0)));
    dc.TextOut(40, 200, "ab");
  });
  const QImage image = Play(picture);
  const QFontMetricsF metrics(QFontOfLogFont(Font(0), kEm));
  EXPECT_EQ(image.pixel(10, 49), qRgb(255, 255, 0));
  EXPECT_EQ(image.pixel(10, 50), kWhite);
  EXPECT_EQ(image.pixel(10, static_cast<int>(50 - metrics.height()) + 1), qRgb(255, 255, 0));
  EXPECT_EQ(image.pixel(9, 45), kWhite);
}

}  // namespace
