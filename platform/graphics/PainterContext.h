#pragma once
// A device context that draws at once on an active QPainter: a window being
// painted, a QImage, a printer page, an SVG or PDF generator.
//
// Rendering: lines and fills are not antialiased (so that inverting drawing
// is exact and pixels land where the coordinates say); text is. A logical
// point maps through the map mode, then through the device transform (the
// player's frame mapping, identity otherwise), then through the painter's own
// transform at construction.
//
// Raster operations other than R2_COPYPEN need a raster device (a QImage or a
// window); on vector devices (printer, PDF, SVG) they draw as R2_COPYPEN,
// except R2_NOP, which draws nothing, and R2_BLACK, R2_WHITE and
// R2_NOTCOPYPEN, which copy black, white and the inverted pen colour
// everywhere.
//
// Hatched brushes are 8-pixel patterns on raster devices; on other devices
// they are drawn as lines one pixel wide and eight apart in pixels of a
// 96-dpi screen, so that a printed or exported hatch looks as it does on
// the screen.
//
// Text is measured (GetTextExtentPoint) with the installed fonts
// (ScreenTextMeasurer) unless another measurer is set.
//
// The painter's state is saved on construction and restored on destruction.

#include <QRectF>
#include <QTransform>
#include <memory>
#include <optional>

#include "platform/graphics/DeviceContext.h"

class QPainter;

class PainterContext final : public DeviceContext {
 public:
  // Device capabilities from the painter's device (DeviceInfoOf).
  explicit PainterContext(QPainter& painter);
  PainterContext(QPainter& painter, const DeviceInfo& device);
  ~PainterContext() override;

  // Where device units land in painter coordinates.
  void SetDeviceTransform(const QTransform& deviceToPainter);
  // Clips all drawing to `rect` (painter coordinates) and skips drawing that
  // cannot reach it, so that repainting a small exposed part of a large
  // picture stays cheap.
  void SetExposedRect(const QRectF& rect);
  // Reads a QImage device; device pixels go through the device transform
  // and the painter's transform at construction, which must only move them.
  bool ReadPixels(const Rect& rect, Bitmap32& out) const override;

 protected:
  void Apply(const Command& command) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
