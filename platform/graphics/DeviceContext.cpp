#include "platform/graphics/DeviceContext.h"

#include <algorithm>
#include <cassert>

namespace {

std::uint32_t NormalizedAlign(std::uint32_t flags) {
  const std::uint32_t h = flags & kTextAlignHorizontalMask;
  const std::uint32_t v = flags & kTextAlignVerticalMask;
  const std::uint32_t horizontal = h == TA_CENTER ? TA_CENTER : h == TA_RIGHT ? TA_RIGHT : TA_LEFT;
  const std::uint32_t vertical = v == TA_BASELINE ? TA_BASELINE : v == TA_BOTTOM ? TA_BOTTOM : TA_TOP;
  return horizontal | vertical;
}

}  // namespace

DeviceContext::DeviceContext(const DeviceInfo& device) : device_(device), measurer_(nullptr) {
  SetTextMeasurer(nullptr);
  objects_.push_back({Kind::Pen, false, true, 0});  // id 0: no object
  auto stockPen = [&](PenDashStyle style, TColor color) {
    pens_.push_back({PS_COSMETIC, style, PS_ENDCAP_ROUND, PS_JOIN_ROUND, 1, color});
    AddObject(Kind::Pen, static_cast<std::uint32_t>(pens_.size() - 1), true);
  };
  auto stockBrush = [&](BrushKind style, TColor color) {
    brushes_.push_back({style, color, HS_HORIZONTAL});
    AddObject(Kind::Brush, static_cast<std::uint32_t>(brushes_.size() - 1), true);
  };
  stockPen(PS_SOLID, clBlack);
  stockPen(PS_SOLID, clWhite);
  stockPen(PS_NULL, clBlack);
  stockBrush(BS_SOLID, clWhite);
  stockBrush(BS_SOLID, clBlack);
  stockBrush(BS_NULL, clWhite);
  fonts_.push_back(LogFont{});
  AddObject(Kind::Font, 0, true);
  assert(objects_.size() == kFirstObjectId);
}

DeviceContext::~DeviceContext() = default;

std::int32_t DeviceContext::GetDeviceCaps(DeviceCap cap) const {
  switch (cap) {
    case HORZSIZE: return device_.HorzSize;
    case VERTSIZE: return device_.VertSize;
    case HORZRES: return device_.HorzRes;
    case VERTRES: return device_.VertRes;
    case LOGPIXELSX: return device_.LogPixelsX;
    case LOGPIXELSY: return device_.LogPixelsY;
  }
  return 0;
}

GraphicsMode DeviceContext::SetGraphicsMode(GraphicsMode mode) {
  const GraphicsMode previous = state_.graphicsMode;
  state_.graphicsMode = mode;
  Apply({.op = Op::SetGraphicsMode, .a = mode});
  return previous;
}

MapMode DeviceContext::SetMapMode(MapMode mode) {
  const MapMode previous = state_.mapMode;
  state_.mapMode = mode;
  Apply({.op = Op::SetMapMode, .a = mode});
  return previous;
}

bool DeviceContext::SetWindowExt(Coord cx, Coord cy) {
  const PointI ext{CheckedInt32(cx), CheckedInt32(cy)};
  if (ext.x == 0 || ext.y == 0) return false;
  state_.windowExt = ext;
  Apply({.op = Op::SetWindowExt, .a = ext.x, .b = ext.y});
  return true;
}

bool DeviceContext::SetViewportExt(Coord cx, Coord cy) {
  const PointI ext{CheckedInt32(cx), CheckedInt32(cy)};
  if (ext.x == 0 || ext.y == 0) return false;
  state_.viewportExt = ext;
  Apply({.op = Op::SetViewportExt, .a = ext.x, .b = ext.y});
  return true;
}

BkMode DeviceContext::SetBkMode(BkMode mode) {
  const BkMode previous = state_.bkMode;
  state_.bkMode = mode;
  Apply({.op = Op::SetBkMode, .a = mode});
  return previous;
}

TColor DeviceContext::SetBkColor(TColor color) {
  const TColor previous = state_.bkColor;
  state_.bkColor = ColorToRGB(color);
  Apply({.op = Op::SetBkColor, .a = state_.bkColor});
  return previous;
}

TColor DeviceContext::SetTextColor(TColor color) {
  const TColor previous = state_.textColor;
  state_.textColor = ColorToRGB(color);
  Apply({.op = Op::SetTextColor, .a = state_.textColor});
  return previous;
}

std::uint32_t DeviceContext::SetTextAlign(std::uint32_t flags) {
  const std::uint32_t previous = state_.textAlign;
  state_.textAlign = NormalizedAlign(flags);
  Apply({.op = Op::SetTextAlign, .a = static_cast<std::int32_t>(state_.textAlign)});
  return previous;
}

ArcDirection DeviceContext::SetArcDirection(ArcDirection direction) {
  const ArcDirection previous = state_.arcDirection;
  state_.arcDirection = direction;
  Apply({.op = Op::SetArcDirection, .a = direction});
  return previous;
}

Rop2 DeviceContext::SetROP2(Rop2 rop) {
  const Rop2 previous = state_.rop2;
  state_.rop2 = rop;
  Apply({.op = Op::SetROP2, .a = rop});
  return previous;
}

// ---- Objects ----

std::uint32_t DeviceContext::AddObject(Kind kind, std::uint32_t index, bool stock) {
  objects_.push_back({kind, true, stock, index});
  if (!stock) ++liveObjects_;
  return static_cast<std::uint32_t>(objects_.size() - 1);
}

const DeviceContext::Entry* DeviceContext::Live(std::uint32_t id, Kind kind) const {
  if (id == 0 || id >= objects_.size()) return nullptr;
  const Entry& e = objects_[id];
  return e.alive && e.kind == kind ? &e : nullptr;
}

FontHandle DeviceContext::CreateFontIndirect(const LogFont& font) {
  LogFont f = font;
  if (f.Weight <= 0) f.Weight = FW_NORMAL;
  f.Weight = std::min(f.Weight, 1000);
  fonts_.push_back(std::move(f));
  const FontHandle h{AddObject(Kind::Font, static_cast<std::uint32_t>(fonts_.size() - 1), false)};
  Apply({.op = Op::CreateFont, .id = h.id});
  return h;
}

PenHandle DeviceContext::ExtCreatePen(const LogPen& pen) {
  LogPen p = pen;
  p.Width = std::max(p.Width, 0);
  p.Color = ColorToRGB(p.Color);
  pens_.push_back(p);
  const PenHandle h{AddObject(Kind::Pen, static_cast<std::uint32_t>(pens_.size() - 1), false)};
  Apply({.op = Op::CreatePen, .id = h.id});
  return h;
}

PenHandle DeviceContext::CreatePen(PenDashStyle style, Coord width, TColor color) {
  return ExtCreatePen(SimpleLogPen(style, CheckedInt32(width), color));
}

BrushHandle DeviceContext::CreateBrushIndirect(const LogBrush& brush) {
  if (brush.Style == BS_PATTERN && !brush.Pattern.IsValid()) return {};
  if (brush.Style == BS_DIBPATTERN && !brush.Image.IsValid()) return {};
  LogBrush b = brush;
  b.Color = ColorToRGB(b.Color);
  if (b.Style != BS_PATTERN) b.Pattern = {};
  if (b.Style != BS_DIBPATTERN) b.Image = {};
  brushes_.push_back(b);
  const BrushHandle h{AddObject(Kind::Brush, static_cast<std::uint32_t>(brushes_.size() - 1), false)};
  Apply({.op = Op::CreateBrush, .id = h.id});
  return h;
}

FontHandle DeviceContext::SelectObject(FontHandle font) {
  if (!Live(font.id, Kind::Font)) return {};
  const FontHandle previous = state_.font;
  state_.font = font;
  Apply({.op = Op::SelectFont, .id = font.id});
  return previous;
}

PenHandle DeviceContext::SelectObject(PenHandle pen) {
  if (!Live(pen.id, Kind::Pen)) return {};
  const PenHandle previous = state_.pen;
  state_.pen = pen;
  Apply({.op = Op::SelectPen, .id = pen.id});
  return previous;
}

BrushHandle DeviceContext::SelectObject(BrushHandle brush) {
  if (!Live(brush.id, Kind::Brush)) return {};
  const BrushHandle previous = state_.brush;
  state_.brush = brush;
  Apply({.op = Op::SelectBrush, .id = brush.id});
  return previous;
}

bool DeviceContext::Delete(std::uint32_t id, Kind kind) {
  const Entry* e = Live(id, kind);
  if (!e) return false;
  if (e->stock) return true;
  if (id == state_.font.id || id == state_.pen.id || id == state_.brush.id) return false;
  objects_[id].alive = false;
  --liveObjects_;
  Apply({.op = Op::DeleteObject, .a = static_cast<std::int32_t>(kind), .id = id});
  return true;
}

bool DeviceContext::DeleteObject(FontHandle font) { return Delete(font.id, Kind::Font); }
bool DeviceContext::DeleteObject(PenHandle pen) { return Delete(pen.id, Kind::Pen); }
bool DeviceContext::DeleteObject(BrushHandle brush) { return Delete(brush.id, Kind::Brush); }

const LogFont* DeviceContext::FontOf(FontHandle font) const {
  const Entry* e = Live(font.id, Kind::Font);
  return e ? &fonts_[e->index] : nullptr;
}

const LogPen* DeviceContext::PenOf(PenHandle pen) const {
  const Entry* e = Live(pen.id, Kind::Pen);
  return e ? &pens_[e->index] : nullptr;
}

const LogBrush* DeviceContext::BrushOf(BrushHandle brush) const {
  const Entry* e = Live(brush.id, Kind::Brush);
  return e ? &brushes_[e->index] : nullptr;
}

// ---- Drawing ----

std::span<const PointI> DeviceContext::Checked(std::span<const Point> points) {
  scratch_.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i)
    scratch_[i] = {CheckedInt32(points[i].x), CheckedInt32(points[i].y)};
  return scratch_;
}

Point DeviceContext::MoveTo(Coord x, Coord y) {
  const PointI to{CheckedInt32(x), CheckedInt32(y)};
  const Point previous = GetCurrentPosition();
  state_.position = to;
  Apply({.op = Op::MoveTo, .a = to.x, .b = to.y});
  return previous;
}

void DeviceContext::LineTo(Coord x, Coord y) {
  const PointI line[2] = {state_.position, {CheckedInt32(x), CheckedInt32(y)}};
  state_.position = line[1];
  Apply({.op = Op::LineTo, .a = line[1].x, .b = line[1].y, .points = line});
}

void DeviceContext::Polyline(std::span<const Point> points) {
  const auto checked = Checked(points);
  if (checked.size() < 2) return;
  Apply({.op = Op::Polyline, .points = checked});
}

void DeviceContext::Polygon(std::span<const Point> points) {
  const auto checked = Checked(points);
  if (checked.size() < 2) return;
  Apply({.op = Op::Polygon, .points = checked});
}

bool DeviceContext::PolyBezier(std::span<const Point> points) {
  if (points.size() < 4 || points.size() % 3 != 1) return false;
  Apply({.op = Op::PolyBezier, .points = Checked(points)});
  return true;
}

void DeviceContext::Ellipse(Coord left, Coord top, Coord right, Coord bottom) {
  Apply({.op = Op::Ellipse, .a = CheckedInt32(left), .b = CheckedInt32(top),
         .c = CheckedInt32(right), .d = CheckedInt32(bottom)});
}

void DeviceContext::Arc(Coord left, Coord top, Coord right, Coord bottom, Coord xStart,
                        Coord yStart, Coord xEnd, Coord yEnd) {
  const PointI rays[2] = {{CheckedInt32(xStart), CheckedInt32(yStart)},
                          {CheckedInt32(xEnd), CheckedInt32(yEnd)}};
  Apply({.op = Op::Arc, .a = CheckedInt32(left), .b = CheckedInt32(top),
         .c = CheckedInt32(right), .d = CheckedInt32(bottom), .points = rays});
}

void DeviceContext::TextOut(Coord x, Coord y, std::string_view text) {
  const std::int32_t x32 = CheckedInt32(x), y32 = CheckedInt32(y);
  if (text.empty()) return;
  Apply({.op = Op::TextOut, .a = x32, .b = y32, .text = text});
}

bool DeviceContext::StretchDIBits(Coord x, Coord y, Coord width, Coord height,
                                  const Bitmap24& bitmap) {
  const Command command{.op = Op::StretchDIBits, .a = CheckedInt32(x), .b = CheckedInt32(y),
                        .c = CheckedInt32(width), .d = CheckedInt32(height), .bitmap = &bitmap};
  if (command.c <= 0 || command.d <= 0 || !bitmap.IsValid()) return false;
  Apply(command);
  return true;
}

void DeviceContext::Rectangle(Coord left, Coord top, Coord right, Coord bottom) {
  Apply({.op = Op::Rectangle, .a = CheckedInt32(left), .b = CheckedInt32(top),
         .c = CheckedInt32(right), .d = CheckedInt32(bottom)});
}

bool DeviceContext::FillRect(const Rect& rect, BrushHandle brush) {
  const Command command{.op = Op::FillRect, .a = CheckedInt32(rect.left), .b = CheckedInt32(rect.top),
                        .c = CheckedInt32(rect.right), .d = CheckedInt32(rect.bottom), .id = brush.id};
  if (!Live(brush.id, Kind::Brush)) return false;
  if (command.c <= command.a || command.d <= command.b) return true;
  Apply(command);
  return true;
}
