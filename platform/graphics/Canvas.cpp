#include "platform/graphics/Canvas.h"

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
    : dc_(dc), font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {}

TCanvas::~TCanvas() {
  // Stock objects first, so that the canvas's own can be deleted.
  if (deviceFont_) {
    if (dc_.CurrentFont() == deviceFont_) dc_.SelectObject(kSystemFont);
    dc_.DeleteObject(deviceFont_);
  }
  if (devicePen_) {
    if (dc_.CurrentPen() == devicePen_) dc_.SelectObject(kBlackPen);
    dc_.DeleteObject(devicePen_);
  }
  if (deviceBrush_) {
    if (dc_.CurrentBrush() == deviceBrush_) dc_.SelectObject(kWhiteBrush);
    dc_.DeleteObject(deviceBrush_);
  }
}

void TCanvas::RequireFont() {
  const TFontData& data = font_->Data();
  Require(dc_, data, fontData_, deviceFont_, dc_.CurrentFont(),
          [&] { return dc_.CreateFontIndirect(LogFontOf(data)); });
}

void TCanvas::RequirePen() {
  const TPenData& data = pen_->Data();
  Require(dc_, data, penData_, devicePen_, dc_.CurrentPen(),
          [&] { return dc_.CreatePen(PenDashStyleOf(data.Style), data.Width, data.Color); });
  if (dc_.GetROP2() != Rop2Of(data.Mode)) dc_.SetROP2(Rop2Of(data.Mode));
}

void TCanvas::RequireBrush() {
  const TBrushData& data = brush_->Data();
  Require(dc_, data, brushData_, deviceBrush_, dc_.CurrentBrush(),
          [&] { return dc_.CreateBrushIndirect(LogBrushOf(data.Style, data.Color)); });
}

void TCanvas::PrepareText() {
  RequireFont();
  RequireBrush();
  const TColor text = ColorToRGB(font_->Color());
  if (dc_.GetTextColor() != text) dc_.SetTextColor(text);
  if (brush_->Style() == TBrushStyle::bsClear) {
    if (dc_.GetBkMode() != TRANSPARENT) dc_.SetBkMode(TRANSPARENT);
  } else {
    if (dc_.GetBkMode() != OPAQUE) dc_.SetBkMode(OPAQUE);
    const TColor back = ColorToRGB(brush_->Color());
    if (dc_.GetBkColor() != back) dc_.SetBkColor(back);
  }
}

void TCanvas::MoveTo(Coord x, Coord y) { dc_.MoveTo(x, y); }

void TCanvas::LineTo(Coord x, Coord y) {
  RequirePen();
  dc_.LineTo(x, y);
}

void TCanvas::Polyline(std::span<const Point> points) {
  RequirePen();
  dc_.Polyline(points);
}

void TCanvas::Polygon(std::span<const Point> points) {
  RequirePen();
  RequireBrush();
  dc_.Polygon(points);
}

void TCanvas::Rectangle(Coord left, Coord top, Coord right, Coord bottom) {
  RequirePen();
  RequireBrush();
  dc_.Rectangle(left, top, right, bottom);
}

void TCanvas::Ellipse(Coord left, Coord top, Coord right, Coord bottom) {
  RequirePen();
  RequireBrush();
  dc_.Ellipse(left, top, right, bottom);
}

void TCanvas::FillRect(const Rect& rect) {
  RequireBrush();
  dc_.FillRect(rect, deviceBrush_);
}

void TCanvas::FrameRect(const Rect& rect) {
  RequireBrush();
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  dc_.FillRect({rect.left, rect.top, rect.right, rect.top + 1}, deviceBrush_);
  dc_.FillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, deviceBrush_);
  dc_.FillRect({rect.left, rect.top, rect.left + 1, rect.bottom}, deviceBrush_);
  dc_.FillRect({rect.right - 1, rect.top, rect.right, rect.bottom}, deviceBrush_);
}

void TCanvas::TextOut(Coord x, Coord y, std::string_view text) {
  PrepareText();
  dc_.TextOut(x, y, text);
}

void TCanvas::TextRect(const Rect& rect, Coord x, Coord y, std::string_view text) {
  PrepareText();
  const std::uint32_t options = ETO_CLIPPED | (brush_->Style() == TBrushStyle::bsClear ? 0 : ETO_OPAQUE);
  dc_.ExtTextOut(x, y, options, &rect, text);
}

Size TCanvas::TextExtent(std::string_view text) {
  RequireFont();
  return dc_.GetTextExtentPoint(text);
}
