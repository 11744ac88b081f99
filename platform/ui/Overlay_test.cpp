#include "platform/ui/Overlay.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <stdexcept>
#include <vector>

#include "platform/graphics/PainterContext.h"
#include "platform/graphics/TraceContext.h"

namespace {

// An outline drawn as the focus outline is: a one-pixel pen, no fill,
// inverting.
OverlayJournal::DrawProc Outline(Coord left, Coord top, Coord right, Coord bottom, TColor color,
                                 Rop2 rop = R2_NOTXORPEN) {
  return [=](DeviceContext& dc) {
    const PenHandle pen = dc.CreatePen(PS_SOLID, 1, color);
    const PenHandle old = dc.SelectObject(pen);
    const BrushHandle oldBrush = dc.SelectObject(kNullBrush);
    const Rop2 oldRop = dc.SetROP2(rop);
    const std::vector<Point> box{{left, top}, {left, bottom}, {right, bottom}, {right, top}};
    dc.Polygon(box);
    dc.SetROP2(oldRop);
    dc.SelectObject(oldBrush);
    dc.SelectObject(old);
    dc.DeleteObject(pen);
  };
}

std::string Traced(const OverlayJournal& journal) {
  TraceContext trace;
  journal.Replay(trace);
  return trace.Text();
}

std::string Traced(const OverlayJournal::DrawProc& draw) {
  TraceContext trace;
  draw(trace);
  return trace.Text();
}

// A picture stand-in with something in every pixel.
QImage Background() {
  QImage image(64, 48, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) % 256));
  return image;
}

QImage Played(const OverlayJournal& journal) {
  QImage image = Background();
  QPainter painter(&image);
  journal.Play(painter);
  return image;
}

TEST(OverlayJournal, AnInvertingDrawingDrawnAgainTakesItselfOut) {
  const auto a = Outline(5, 5, 20, 20, 0x0000FF);
  const auto b = Outline(10, 8, 40, 30, 0x00FF00);
  struct Row {
    const char* what;
    std::vector<OverlayJournal::DrawProc> draws;
    std::string kept;  // trace of what stays
  } rows[] = {
      {"twice", {a, a}, ""},
      {"around another", {a, b, a}, Traced(b)},
      {"in turn", {a, b, b, a}, ""},
      {"once", {a}, Traced(a)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    OverlayJournal journal;
    for (const auto& draw : r.draws) journal.Draw(draw);
    EXPECT_EQ(Traced(journal), r.kept);
  }
}

TEST(OverlayJournal, ADrawingThatCopiesStopsTheCancelling) {
  const auto a = Outline(5, 5, 20, 20, 0x0000FF);
  OverlayJournal journal;
  journal.Draw(a);
  journal.Draw(Outline(0, 0, 30, 30, 0x000000, R2_COPYPEN));
  journal.Draw(a);
  EXPECT_EQ(journal.Size(), 3u);
  journal.Clear();
  EXPECT_TRUE(journal.Empty());
}

// Blits drawn twice: the inverting ones take themselves out, the copying ones
// never do (so a second copy cannot undo the first).
TEST(OverlayJournal, BlitsCancelOnlyWhenTheyInvert) {
  const Bitmap32 image{2, 1, {10, 20, 30, 255, 200, 100, 50, 255}};
  auto pattern = [](std::uint32_t rop) -> OverlayJournal::DrawProc {
    return [rop](DeviceContext& dc) { dc.PatBlt(4, 4, 20, 10, rop); };
  };
  auto copy = [&image](std::uint32_t rop) -> OverlayJournal::DrawProc {
    return [&image, rop](DeviceContext& dc) { dc.StretchBlt(3, 3, 20, 10, image, 0, 0, 2, 1, rop); };
  };
  struct Row {
    const char* what;
    OverlayJournal::DrawProc draw;
    std::size_t kept;
  } rows[] = {
      {"PatBlt DSTINVERT", pattern(DSTINVERT), 0}, {"PatBlt PATINVERT", pattern(PATINVERT), 0},
      {"PatBlt PATCOPY", pattern(PATCOPY), 2},     {"PatBlt BLACKNESS", pattern(BLACKNESS), 2},
      {"PatBlt WHITENESS", pattern(WHITENESS), 2}, {"StretchBlt SRCCOPY", copy(SRCCOPY), 2},
      {"StretchBlt SRCPAINT", copy(SRCPAINT), 2},  {"StretchBlt SRCAND", copy(SRCAND), 2},
      {"StretchBlt SRCINVERT", copy(SRCINVERT), 0},
      {"ExtTextOut opaque",
       [](DeviceContext& dc) {
         const Rect r{2, 2, 30, 20};
         dc.ExtTextOut(2, 2, ETO_OPAQUE, &r, "");
       },
       2},
      {"PATINVERT at a brush origin",
       [](DeviceContext& dc) {
         dc.SetBrushOrgEx(1, 1);
         dc.PatBlt(4, 4, 20, 10, PATINVERT);
       },
       0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    OverlayJournal journal;
    journal.Draw(r.draw);
    journal.Draw(r.draw);
    EXPECT_EQ(journal.Size(), r.kept);
  }
  // InvertRect done twice leaves the picture as it was.
  OverlayJournal journal;
  journal.Draw([](DeviceContext& dc) { dc.InvertRect({2, 2, 30, 20}); });
  EXPECT_NE(Played(journal), Background());
  journal.Draw([](DeviceContext& dc) { dc.InvertRect({2, 2, 30, 20}); });
  EXPECT_EQ(Played(journal), Background());
}

TEST(OverlayJournal, KeepsNothingForAFailedOrEmptyDrawing) {
  OverlayJournal journal;
  EXPECT_THROW(journal.Draw([](DeviceContext& dc) {
    dc.Rectangle(0, 0, 4, 4);
    throw std::runtime_error("failed");
  }),
               std::runtime_error);
  journal.Draw([](DeviceContext&) {});
  EXPECT_TRUE(journal.Empty());
}

TEST(OverlayJournal, InvertingDrawingOverAPictureIsExactlyUndone) {
  // What the journal's cancelling relies on: on a raster device an outline
  // drawn twice restores every pixel, and two outlines commute.
  const auto a = Outline(5, 5, 20, 20, 0x0000FF);
  const auto b = Outline(10, 8, 40, 30, 0x00FF00);
  const QImage background = Background();
  QImage image = background;
  {
    QPainter painter(&image);
    PainterContext dc(painter);
    a(dc);
    b(dc);
    EXPECT_NE(image, background);
    a(dc);
    b(dc);
  }
  EXPECT_EQ(image, background);

  OverlayJournal ab, ba;
  ab.Draw(a);
  ab.Draw(b);
  ba.Draw(b);
  ba.Draw(a);
  EXPECT_EQ(Played(ab), Played(ba));
  EXPECT_NE(Played(ab), background);
}

TEST(OverlayJournal, PlaysOverWhatIsPainted) {
  // Over white an inverted-xor pen shows in its own colour; inside the
  // outline nothing changes.
  OverlayJournal journal;
  journal.Draw(Outline(10, 10, 30, 20, 0x0000FF));
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    journal.Play(painter);
  }
  EXPECT_EQ(image.pixel(10, 15), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(20, 10), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(20, 15), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 255));
}

}  // namespace
