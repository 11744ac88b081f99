#include "platform/graphics/Picture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "platform/core/Exceptions.h"
#include "platform/graphics/TraceContext.h"

namespace {

const DeviceInfo kScreen = DeviceInfoFromPixels(1920, 1080, 96);

// Drawing that uses every kind of call, with a drawing set that is selected
// and released the way the tree picture does it.
void DrawSample(DeviceContext& dc) {
  dc.SetGraphicsMode(GM_ADVANCED);
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(800, 400);
  dc.SetViewportExt(200, 100);
  dc.SetBkMode(TRANSPARENT);
  dc.SetBkColor(clWhite);
  dc.SetROP2(R2_COPYPEN);
  dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
  const TColor saved = dc.SetTextColor(clNavy);
  dc.SetArcDirection(AD_COUNTERCLOCKWISE);
  const FontHandle font = dc.CreateFontIndirect({-44, 900, 900, FW_NORMAL, true, false, false, DEFAULT_PITCH, "Arial"});
  const PenHandle pen = dc.ExtCreatePen({PS_GEOMETRIC, PS_DOT, PS_ENDCAP_SQUARE, PS_JOIN_MITER, 8, clRed});
  const BrushHandle brush = dc.CreateBrushIndirect({BS_HATCHED, clGreen, HS_DIAGCROSS});
  const FontHandle oldFont = dc.SelectObject(font);
  const PenHandle oldPen = dc.SelectObject(pen);
  const BrushHandle oldBrush = dc.SelectObject(brush);
  dc.MoveTo(8, 8);
  dc.LineTo(48, 28);
  const Point points[4] = {{0, 0}, {40, 0}, {40, 40}, {80, 40}};
  dc.Polyline(points);
  dc.Polygon(points);
  dc.PolyBezier(points);
  dc.Ellipse(0, 0, 80, 40);
  dc.Arc(0, 0, 80, 80, 80, 40, 40, 0);
  dc.TextOut(100, 200, "Taxon \xC3\xA9");
  dc.StretchDIBits(4, 4, 40, 32, Bitmap24{10, 8, std::vector<std::uint8_t>(240, 7)});
  dc.Rectangle(10, 10, 20, 20);
  dc.FillRect({0, 0, 4, 4}, brush);
  dc.SelectObject(oldFont);
  dc.SelectObject(oldPen);
  dc.SelectObject(oldBrush);
  dc.DeleteObject(font);
  dc.DeleteObject(pen);
  dc.DeleteObject(brush);
  dc.SetTextColor(saved);
}

Picture Record(const std::function<void(DeviceContext&)>& draw, Rect frame = {0, 0, 5292, 2648},
               const DeviceInfo& reference = kScreen) {
  PictureRecorder recorder(frame, reference);
  draw(recorder);
  return recorder.Close();
}

TEST(PictureTest, ReplayRepeatsTheRecordedCalls) {
  TraceContext direct;
  DrawSample(direct);
  TraceContext replayed;
  const Picture picture = Record(DrawSample);
  picture.Replay(replayed);
  const std::vector<std::string>& lines = replayed.Lines();
  const std::size_t n = direct.Lines().size();
  EXPECT_EQ(picture.RecordCount(), n);
  ASSERT_GE(lines.size(), n);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(n)), direct.Lines());
  // Then the target gets its own state back.
  EXPECT_THAT(std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(n), lines.end()),
              ::testing::ElementsAre("SetGraphicsMode(GM_COMPATIBLE)", "SetMapMode(MM_TEXT)", "SetWindowExt(1,1)",
                                     "SetViewportExt(1,1)", "SetBkMode(OPAQUE)", "SetTextAlign(TA_LEFT|TA_TOP)",
                                     "MoveTo(0,0)"));
  EXPECT_EQ(replayed.LiveObjectCount(), 0);
}

TEST(PictureTest, ReplayLeavesTheTargetAsItWas) {
  TraceContext target;
  const PenHandle own = target.CreatePen(PS_SOLID, 1, clBlue);
  target.SelectObject(own);
  target.SetTextColor(clGreen);
  target.MoveTo(3, 3);
  const Picture picture = Record([](DeviceContext& dc) {
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(4, 4);
    dc.SetTextColor(clRed);
    dc.SelectObject(dc.CreateFontIndirect(LogFont{.Height = -10, .FaceName = ""}));  // left selected and undeleted
    dc.SelectObject(dc.CreateBrushIndirect({BS_SOLID, clRed}));
    dc.MoveTo(9, 9);
  });
  picture.Replay(target);
  EXPECT_EQ(target.CurrentPen(), own);
  EXPECT_EQ(target.CurrentFont(), kSystemFont);
  EXPECT_EQ(target.CurrentBrush(), kWhiteBrush);
  EXPECT_EQ(target.GetTextColor(), clGreen);
  EXPECT_EQ(target.GetMapMode(), MM_TEXT);
  EXPECT_EQ(target.GetWindowExt(), (Size{1, 1}));
  EXPECT_EQ(target.GetCurrentPosition(), (Point{3, 3}));
  EXPECT_EQ(target.LiveObjectCount(), 1) << "only the target's own pen";
}

TEST(PictureTest, FrameAndReferenceAreKeptForPrinting) {
  // A 200 x 100 pixel picture on a 96 dpi screen: the frame is 52.92 mm wide.
  const Rect frame = PictureFrameFromPixels(200, 100, kScreen);
  EXPECT_EQ(frame, (Rect{0, 0, 5292, 2648}));
  const Picture picture = Record([](DeviceContext&) {}, frame);
  EXPECT_EQ(picture.Frame(), frame);
  EXPECT_EQ(picture.Reference(), kScreen);
  EXPECT_EQ(picture.FramePixels(), (Rect{0, 0, 200, 100}));

  const DeviceInfo odd{1366, 768, 361, 203, 96, 96};
  for (std::int32_t w : {1, 7, 199, 1366, 30000}) {
    SCOPED_TRACE(w);
    EXPECT_EQ(Record([](DeviceContext&) {}, PictureFrameFromPixels(w, w, odd), odd).FramePixels(), (Rect{0, 0, w, w}));
  }
}

TEST(PictureTest, RecorderGetsMillimetresFromTheResolutionWhenMissing) {
  PictureRecorder recorder({0, 0, 100, 100}, DeviceInfo{1000, 500, 0, 0, 0, 0});
  EXPECT_EQ(recorder.GetDeviceCaps(HORZSIZE), 265);
  EXPECT_EQ(recorder.GetDeviceCaps(VERTSIZE), 132);
  EXPECT_EQ(recorder.GetDeviceCaps(LOGPIXELSX), 96);
}

TEST(PictureTest, CopiesAreIndependentOfTheOriginal) {
  Picture original = Record([](DeviceContext& dc) { dc.Rectangle(0, 0, 10, 10); });
  const Picture copy = original;
  original = Record([](DeviceContext& dc) { dc.Ellipse(0, 0, 5, 5); });
  TraceContext a, b;
  copy.Replay(a);
  original.Replay(b);
  EXPECT_EQ(a.Text(), "Rectangle(0,0,10,10)");
  EXPECT_EQ(b.Text(), "Ellipse(0,0,5,5)");
  original = Picture();
  EXPECT_TRUE(original.IsNull());
  TraceContext c;
  copy.Replay(c);
  EXPECT_EQ(c.Text(), "Rectangle(0,0,10,10)");
}

TEST(PictureTest, CloseGivesThePictureOnce) {
  PictureRecorder recorder({0, 0, 10, 10}, kScreen);
  recorder.LineTo(1, 1);
  const Picture first = recorder.Close();
  recorder.LineTo(2, 2);
  EXPECT_FALSE(first.IsNull());
  EXPECT_EQ(first.RecordCount(), 1u);
  EXPECT_TRUE(recorder.Close().IsNull());
}

// The build of a picture is abandoned by an overflow: the recorder unwinds
// with the exception and no picture replaces the one that was dropped.
TEST(PictureTest, AnAbandonedRecorderLeavesNoPicture) {
  std::optional<Picture> treePicture = Record([](DeviceContext& dc) { dc.LineTo(1, 1); });
  auto build = [&] {
    treePicture.reset();
    PictureRecorder recorder({0, 0, 10, 10}, kScreen);
    recorder.LineTo(5, 5);
    recorder.LineTo(Coord{3} << 32, 0);
    treePicture = recorder.Close();
  };
  EXPECT_THROW(build(), EIntOverflow);
  EXPECT_FALSE(treePicture.has_value());
}

TEST(PictureTest, NullPictureHasNothing) {
  const Picture none;
  EXPECT_TRUE(none.IsNull());
  EXPECT_EQ(none.Frame(), Rect{});
  EXPECT_EQ(none.RecordCount(), 0u);
  TraceContext dc;
  none.Replay(dc);
  EXPECT_TRUE(dc.Lines().empty());
}

}  // namespace
