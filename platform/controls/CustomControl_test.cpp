#include "platform/controls/CustomControl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/DrawEdge.h"

namespace {

// Fills its client area with the brush its canvas starts with: its Color.
template <class Base>
class TFilled : public Base {
 public:
  TFilled(TComponent* AOwner, TColor color) : Base(AOwner) { this->SetColor(color); }
  using Base::Canvas;

 protected:
  void Paint() override { Base::Canvas().FillRect(this->ClientRect()); }
};

TEST(CustomControlPaint, ControlsPaintOnTheirCanvasAndGraphicChildrenOverTheirParent) {
  TFilled<TCustomControl> form(nullptr, clBlue);
  auto* graphic = new TFilled<TGraphicControl>(&form, clRed);
  auto* hidden = new TFilled<TGraphicControl>(&form, clLime);
  graphic->SetParent(&form);
  hidden->SetParent(&form);
  form.SetBounds(0, 0, 40, 30);
  graphic->SetBounds(10, 10, 10, 10);
  hidden->SetBounds(0, 0, 5, 5);
  hidden->Hide();
  const QImage image = form.Handle()->grab().toImage();
  struct Probe {
    int x, y;
    QRgb rgb;
  } probes[] = {{2, 2, qRgb(0, 0, 255)},   {39, 29, qRgb(0, 0, 255)}, {10, 10, qRgb(255, 0, 0)},
                {19, 19, qRgb(255, 0, 0)}, {20, 20, qRgb(0, 0, 255)}, {9, 15, qRgb(0, 0, 255)}};
  for (const Probe& p : probes) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(image.pixel(p.x, p.y) & 0xFFFFFF, p.rgb & 0xFFFFFF);
  }
}

TEST(CustomControlPaint, TheCanvasExistsOnlyWhilePainting) {
  TFilled<TCustomControl> control(nullptr, clBlue);
  EXPECT_THROW(control.Canvas(), EInvalidOperation);
}

// An inverting rectangle drawn on the overlay, as drop and focus rectangles
// are drawn outside painting.
void InvertOutline(TCustomControl& control, const Rect& r) {
  control.DrawOverlay([&](TCanvas& canvas) { DrawFocusRect(canvas.Handle(), r); });
}

TEST(CustomControlOverlay, AnInvertingDrawingMadeTwiceLeavesThePaintedPixels) {
  TFilled<TCustomControl> control(nullptr, clBlue);
  control.SetBounds(0, 0, 40, 30);
  const QImage painted = control.Handle()->grab().toImage();
  InvertOutline(control, {5, 5, 20, 15});
  const QImage once = control.Handle()->grab().toImage();
  EXPECT_NE(once.pixel(5, 5), painted.pixel(5, 5));
  EXPECT_EQ(once.pixel(10, 10), painted.pixel(10, 10));
  // A repaint of the window that was not asked for keeps the overlay.
  control.Handle()->repaint();
  EXPECT_EQ(control.Handle()->grab().toImage(), once);
  InvertOutline(control, {5, 5, 20, 15});
  EXPECT_EQ(control.Handle()->grab().toImage(), painted);

  // Invalidate paints a fresh picture: what was drawn before is gone, and
  // the next inverting drawing shows again.
  InvertOutline(control, {5, 5, 20, 15});
  control.Invalidate();
  EXPECT_EQ(control.Handle()->grab().toImage(), painted);
  InvertOutline(control, {5, 5, 20, 15});
  EXPECT_EQ(control.Handle()->grab().toImage(), once);
}

}  // namespace
