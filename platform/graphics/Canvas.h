#pragma once
// A canvas: drawing with a font, a pen and a brush that others hold and
// change, over a device context (a window or image being painted, a
// picture, a printer page, a trace in tests).
//
// Font, Pen and Brush are persistent objects owned by the canvas. A drawing
// call makes a device object from the one it needs, selects it, and makes it
// again only after the object's value changed; drawing done on the device in
// between (another font selected directly) is noticed and the canvas's
// object selected again. Device objects the canvas made are deselected and
// deleted when it is destroyed.
//
// Text is drawn in Font.Color. With Brush.Style bsClear text is drawn
// transparently, otherwise its cells are filled in Brush.Color. Pen.Mode
// becomes the raster operation. TextWidth, TextHeight and TextExtent select
// the font and measure through the device's text measurer.

#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/GraphicsObjects.h"

class TBitmap;
class TGraphic;

class TCanvas final {
 public:
  // `dc` must outlive the canvas.
  explicit TCanvas(DeviceContext& dc);
  // A canvas whose device is made when it is first needed: `device` is
  // called then, and again after ReleaseDevice. A bitmap's canvas works so,
  // and lives as long as the bitmap while the painting under it comes and
  // goes.
  explicit TCanvas(std::function<DeviceContext&()> device);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The device; valid until ReleaseDevice (for a canvas made with a device
  // function).
  DeviceContext& Handle() const;
  // Forgets the device and the objects made on it, without a call to it:
  // its owner is about to destroy it. Font, pen and brush keep their values.
  void ReleaseDevice();
  TFont* Font() const { return font_.get(); }
  TPen* Pen() const { return pen_.get(); }
  TBrush* Brush() const { return brush_.get(); }
  // Copy the value of `source` (the canvas keeps its own objects).
  void SetFont(const TFont* source) { font_->Assign(source); }
  void SetPen(const TPen* source) { pen_->Assign(source); }
  void SetBrush(const TBrush* source) { brush_->Assign(source); }

  // ---- Drawing ----
  void MoveTo(Coord x, Coord y);
  void LineTo(Coord x, Coord y);
  void Polyline(std::span<const Point> points);
  void Polygon(std::span<const Point> points);
  void Rectangle(Coord left, Coord top, Coord right, Coord bottom);
  void Ellipse(Coord left, Coord top, Coord right, Coord bottom);
  // Filled with the brush, no outline.
  void FillRect(const Rect& rect);
  // A one-pixel frame inside `rect` in the brush.
  void FrameRect(const Rect& rect);
  void TextOut(Coord x, Coord y, std::string_view text);
  // Text at (x, y) clipped to `rect`; the rectangle is filled first unless
  // the brush is clear.
  void TextRect(const Rect& rect, Coord x, Coord y, std::string_view text);

  // ---- Pictures ----
  // The graphic at (x, y) in its own size, or stretched into `rect`;
  // nothing for an empty graphic (see TGraphic::Draw).
  void Draw(Coord x, Coord y, const TGraphic& graphic);
  void StretchDraw(const Rect& rect, const TGraphic& graphic);
  // The part `source` of what `from` shows, stretched into `dest`.
  // Nothing when `from`'s device cannot be read back
  // (DeviceContext::ReadPixels: memory images only) or `source` is not
  // inside it. `from` may be this canvas.
  void CopyRect(const Rect& dest, TCanvas& from, const Rect& source);
  // The part `source` of `bitmap` stretched into `dest`, its pixels of
  // `color` replaced by the brush colour.
  void BrushCopy(const Rect& dest, const TBitmap& bitmap, const Rect& source, TColor color);

  // ---- Measures (in the canvas font) ----
  Size TextExtent(std::string_view text);
  Coord TextWidth(std::string_view text) { return TextExtent(text).cx; }
  Coord TextHeight(std::string_view text) { return TextExtent(text).cy; }

  // Select the device objects for what comes next; drawing calls do this
  // themselves, free drawing functions that take the canvas's device call it.
  void RequireFont();
  void RequirePen();
  void RequireBrush();

 private:
  void PrepareText();

  std::function<DeviceContext&()> device_;
  mutable DeviceContext* dc_;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  // What the device objects were made from.
  TFontData fontData_;
  TPenData penData_;
  TBrushData brushData_;
  FontHandle deviceFont_;
  PenHandle devicePen_;
  BrushHandle deviceBrush_;
};
