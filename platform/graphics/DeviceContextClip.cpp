// Clipping, saved states and blits of DeviceContext.

#include <QRegion>
#include <algorithm>
#include <cmath>

#include "platform/graphics/DeviceContext.h"

namespace {

// A logical coordinate in device pixels under the map mode (rounded half
// away from zero, as the device rounds).
Coord ToDevice(std::int32_t v, std::int32_t viewport, std::int32_t window) {
  return static_cast<Coord>(std::llround(static_cast<double>(v) * viewport / window));
}

QRegion RegionOf(const std::vector<Rect>& rects) {
  QRegion r;
  for (const Rect& x : rects)
    r += QRect(static_cast<int>(x.left), static_cast<int>(x.top), static_cast<int>(x.Width()),
               static_cast<int>(x.Height()));
  return r;
}

std::vector<Rect> RectsOf(const QRegion& region) {
  std::vector<Rect> rects;
  for (const QRect& r : region) rects.push_back({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  return rects;
}

RegionKind KindOf(const std::vector<Rect>& rects) {
  return rects.empty() ? NULLREGION : rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool KnownPatternRop(std::uint32_t rop) {
  return rop == PATCOPY || rop == PATINVERT || rop == DSTINVERT || rop == BLACKNESS || rop == WHITENESS;
}

DeviceContext::Command RectCommand(DeviceContext::Op op, Coord left, Coord top, Coord right, Coord bottom) {
  return {
      .op = op, .a = CheckedInt32(left), .b = CheckedInt32(top), .c = CheckedInt32(right), .d = CheckedInt32(bottom)};
}

}  // namespace

Rect DeviceContext::DeviceRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) const {
  Rect r{left, top, right, bottom};
  if (state_.mapMode == MM_ANISOTROPIC) {
    r = {ToDevice(left, state_.viewportExt.x, state_.windowExt.x),
         ToDevice(top, state_.viewportExt.y, state_.windowExt.y),
         ToDevice(right, state_.viewportExt.x, state_.windowExt.x),
         ToDevice(bottom, state_.viewportExt.y, state_.windowExt.y)};
  }
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

RegionKind DeviceContext::SetClip(std::vector<Rect> rects, const Command& command) {
  const RegionKind kind = KindOf(rects);
  state_.clip = std::make_shared<const std::vector<Rect>>(std::move(rects));
  Apply(command);
  return kind;
}

RegionKind DeviceContext::IntersectClipRect(Coord left, Coord top, Coord right, Coord bottom) {
  const Command c = RectCommand(Op::IntersectClipRect, left, top, right, bottom);
  const QRegion rect = RegionOf({DeviceRect(c.a, c.b, c.c, c.d)});
  return SetClip(RectsOf(state_.clip ? RegionOf(*state_.clip).intersected(rect) : rect), c);
}

RegionKind DeviceContext::ExcludeClipRect(Coord left, Coord top, Coord right, Coord bottom) {
  const Command c = RectCommand(Op::ExcludeClipRect, left, top, right, bottom);
  // Without a clip everything shows: the device surface is the whole range.
  const QRegion all = state_.clip ? RegionOf(*state_.clip) : QRegion(-(1 << 29), -(1 << 29), 1 << 30, 1 << 30);
  return SetClip(RectsOf(all.subtracted(RegionOf({DeviceRect(c.a, c.b, c.c, c.d)}))), c);
}

RegionKind DeviceContext::SelectClipRgn(const std::vector<Rect>* rects) {
  if (!rects) {
    state_.clip.reset();
    Apply({.op = Op::SelectClipRgn, .a = 1});
    return SIMPLEREGION;
  }
  std::vector<PointI>& corners = scratch_;
  corners.clear();
  std::vector<Rect> device;
  for (const Rect& r : *rects) {
    const PointI a{CheckedInt32(r.left), CheckedInt32(r.top)}, b{CheckedInt32(r.right), CheckedInt32(r.bottom)};
    corners.push_back(a);
    corners.push_back(b);
    device.push_back(DeviceRect(a.x, a.y, b.x, b.y));
  }
  return SetClip(RectsOf(RegionOf(device)), {.op = Op::SelectClipRgn, .points = corners});
}

int DeviceContext::SaveDC() {
  saved_.push_back(state_);
  Apply({.op = Op::SaveDC, .a = static_cast<std::int32_t>(saved_.size())});
  return static_cast<int>(saved_.size());
}

bool DeviceContext::RestoreDC(int level) {
  const int depth = static_cast<int>(saved_.size());
  const int target = level < 0 ? depth + level + 1 : level;
  if (target < 1 || target > depth) return false;
  State s = saved_[static_cast<std::size_t>(target - 1)];
  saved_.resize(static_cast<std::size_t>(target - 1));
  // Objects deleted since the save cannot come back; the current ones stay.
  if (!FontOf(s.font)) s.font = state_.font;
  if (!PenOf(s.pen)) s.pen = state_.pen;
  if (!BrushOf(s.brush)) s.brush = state_.brush;
  state_ = std::move(s);
  Apply({.op = Op::RestoreDC, .a = depth - target + 1});
  return true;
}

bool DeviceContext::PatBlt(Coord x, Coord y, Coord width, Coord height, std::uint32_t rop) {
  const Command c{.op = Op::PatBlt,
                  .a = CheckedInt32(x),
                  .b = CheckedInt32(y),
                  .c = CheckedInt32(width),
                  .d = CheckedInt32(height),
                  .id = rop};
  if (!KnownPatternRop(rop)) return false;
  if (c.c != 0 && c.d != 0) Apply(c);
  return true;
}

void DeviceContext::InvertRect(const Rect& rect) {
  PatBlt(rect.left, rect.top, rect.Width(), rect.Height(), DSTINVERT);
}

bool DeviceContext::StretchBlt(Coord x, Coord y, Coord width, Coord height, const Bitmap32& source, Coord sx, Coord sy,
                               Coord sw, Coord sh, std::uint32_t rop, const BlitMask* mask) {
  const PointI part[2] = {{CheckedInt32(sx), CheckedInt32(sy)}, {CheckedInt32(sw), CheckedInt32(sh)}};
  const Command c{.op = Op::StretchBlt,
                  .a = CheckedInt32(x),
                  .b = CheckedInt32(y),
                  .c = CheckedInt32(width),
                  .d = CheckedInt32(height),
                  .id = rop,
                  .points = part,
                  .image = &source,
                  .mask = mask};
  if (KnownPatternRop(rop)) return PatBlt(x, y, width, height, rop);
  if (rop != SRCCOPY && rop != SRCPAINT && rop != SRCAND && rop != SRCINVERT) return false;
  if (!source.IsValid() || c.c < 1 || c.d < 1 || part[1].x < 1 || part[1].y < 1) return false;
  if (part[0].x < 0 || part[0].y < 0 || Coord{part[0].x} + part[1].x > source.Width ||
      Coord{part[0].y} + part[1].y > source.Height)
    return false;
  if (mask && (!mask->IsValid() || mask->Width != source.Width || mask->Height != source.Height)) return false;
  Apply(c);
  return true;
}

bool DeviceContext::BitBlt(Coord x, Coord y, Coord width, Coord height, const Bitmap32& source, Coord sx, Coord sy,
                           std::uint32_t rop, const BlitMask* mask) {
  return StretchBlt(x, y, width, height, source, sx, sy, width, height, rop, mask);
}

bool DeviceContext::ReadPixels(const Rect&, Bitmap32&) const { return false; }
