#include "platform/graphics/Canvas.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"

namespace {

// Makes the device object again when the value changed since it was made,
// else selects it when something else is selected.
template <class Data, class Handle, class Make>
void Require(DeviceContext& dc, const Data& data, Data& madeFrom, Handle& made, Handle current, Make make) {
  if (!made || !(madeFrom == data)) {
    const Handle fresh = make();
    dc.SelectObject(fresh);
    if (made) dc.DeleteObject(made);
    made = fresh;
    madeFrom = data;
  } else if (current != made) {
    dc.SelectObject(made);
  }
}

}  // namespace

TCanvas::TCanvas(DeviceContext& dc)
    : dc_(&dc), font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {}

TCanvas::TCanvas(std::function<DeviceContext&()> device)
    : device_(std::move(device)),
      dc_(nullptr),
      font_(std::make_unique<TFont>()),
      pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()) {}

DeviceContext& TCanvas::Handle() const {
  if (!dc_) dc_ = &device_();
  return *dc_;
}

void TCanvas::ReleaseDevice() {
  if (!device_) return;  // a canvas over a given device keeps it
  dc_ = nullptr;
  deviceFont_ = {};
  devicePen_ = {};
  deviceBrush_ = {};
}

TCanvas::~TCanvas() {
  if (!dc_) return;
  // Stock objects first, so that the canvas's own can be deleted.
  if (deviceFont_) {
    if (dc_->CurrentFont() == deviceFont_) dc_->SelectObject(kSystemFont);
    dc_->DeleteObject(deviceFont_);
  }
  if (devicePen_) {
    if (dc_->CurrentPen() == devicePen_) dc_->SelectObject(kBlackPen);
    dc_->DeleteObject(devicePen_);
  }
  if (deviceBrush_) {
    if (dc_->CurrentBrush() == deviceBrush_) dc_->SelectObject(kWhiteBrush);
    dc_->DeleteObject(deviceBrush_);
  }
}

void TCanvas::RequireFont() {
  const TFontData& data = font_->Data();
  Require(Handle(), data, fontData_, deviceFont_, Handle().CurrentFont(),
          [&] { return Handle().CreateFontIndirect(LogFontOf(data)); });
}

void TCanvas::RequirePen() {
  const TPenData& data = pen_->Data();
  Require(Handle(), data, penData_, devicePen_, Handle().CurrentPen(),
          [&] { return Handle().CreatePen(PenDashStyleOf(data.Style), data.Width, data.Color); });
  if (Handle().GetROP2() != Rop2Of(data.Mode)) Handle().SetROP2(Rop2Of(data.Mode));
}

void TCanvas::RequireBrush() {
  const TBrushData& data = brush_->Data();
  Require(Handle(), data, brushData_, deviceBrush_, Handle().CurrentBrush(),
          [&] { return Handle().CreateBrushIndirect(LogBrushOf(data.Style, data.Color)); });
}

void TCanvas::PrepareText() {
  RequireFont();
  RequireBrush();
  const TColor text = ColorToRGB(font_->Color());
  if (Handle().GetTextColor() != text) Handle().SetTextColor(text);
  if (brush_->Style() == TBrushStyle::bsClear) {
    if (Handle().GetBkMode() != TRANSPARENT) Handle().SetBkMode(TRANSPARENT);
  } else {
    if (Handle().GetBkMode() != OPAQUE) Handle().SetBkMode(OPAQUE);
    const TColor back = ColorToRGB(brush_->Color());
    if (Handle().GetBkColor() != back) Handle().SetBkColor(back);
  }
}

void TCanvas::MoveTo(Coord x, Coord y) { Handle().MoveTo(x, y); }

void TCanvas::LineTo(Coord x, Coord y) {
  RequirePen();
  Handle().LineTo(x, y);
}

void TCanvas::Polyline(std::span<const Point> points) {
  RequirePen();
  Handle().Polyline(points);
}

void TCanvas::Polygon(std::span<const Point> points) {
  RequirePen();
  RequireBrush();
  Handle().Polygon(points);
}

void TCanvas::Rectangle(Coord left, Coord top, Coord right, Coord bottom) {
  RequirePen();
  RequireBrush();
  Handle().Rectangle(left, top, right, bottom);
}

void TCanvas::Ellipse(Coord left, Coord top, Coord right, Coord bottom) {
  RequirePen();
  RequireBrush();
  Handle().Ellipse(left, top, right, bottom);
}

void TCanvas::FillRect(const Rect& rect) {
  RequireBrush();
  Handle().FillRect(rect, deviceBrush_);
}

void TCanvas::FrameRect(const Rect& rect) {
  RequireBrush();
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  Handle().FillRect({rect.left, rect.top, rect.right, rect.top + 1}, deviceBrush_);
  Handle().FillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, deviceBrush_);
  Handle().FillRect({rect.left, rect.top, rect.left + 1, rect.bottom}, deviceBrush_);
  Handle().FillRect({rect.right - 1, rect.top, rect.right, rect.bottom}, deviceBrush_);
}

void TCanvas::TextOut(Coord x, Coord y, std::string_view text) {
  PrepareText();
  Handle().TextOut(x, y, text);
}

void TCanvas::TextRect(const Rect& rect, Coord x, Coord y, std::string_view text) {
  PrepareText();
  const std::uint32_t options = ETO_CLIPPED | (brush_->Style() == TBrushStyle::bsClear ? 0 : ETO_OPAQUE);
  Handle().ExtTextOut(x, y, options, &rect, text);
}

Size TCanvas::TextExtent(std::string_view text) {
  RequireFont();
  return Handle().GetTextExtentPoint(text);
}

void TCanvas::Draw(Coord x, Coord y, const TGraphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, {x, y, x + graphic.Width(), y + graphic.Height()});
}

void TCanvas::StretchDraw(const Rect& rect, const TGraphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, rect);
}

void TCanvas::CopyRect(const Rect& dest, TCanvas& from, const Rect& source) {
  Bitmap32 pixels;
  if (!from.Handle().ReadPixels(source, pixels)) return;
  Handle().StretchBlt(dest.left, dest.top, dest.Width(), dest.Height(), pixels, 0, 0, pixels.Width, pixels.Height,
                      SRCCOPY);
}

void TCanvas::BrushCopy(const Rect& dest, const TBitmap& bitmap, const Rect& source, TColor color) {
  if (bitmap.Empty() || dest.Width() < 1 || dest.Height() < 1) return;
  if (source.left < 0 || source.top < 0 || source.right > bitmap.Width() || source.bottom > bitmap.Height()) return;
  // The brush first, then every pixel but those of `color` over it.
  FillRect(dest);
  const BlitMask drawn = bitmap.MaskOf(color);
  Handle().StretchBlt(dest.left, dest.top, dest.Width(), dest.Height(), bitmap.ToBitmap32(), source.left, source.top,
                      source.Width(), source.Height(), SRCCOPY, &drawn);
}
