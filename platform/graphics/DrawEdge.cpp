#include "platform/graphics/DrawEdge.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

// Solid brushes of one drawing, made when first needed and deleted at the
// end.
class Inks {
 public:
  explicit Inks(DeviceContext& dc) : dc_(dc) {}
  ~Inks() {
    for (const auto& [color, brush] : made_) dc_.DeleteObject(brush);
  }
  Inks(const Inks&) = delete;
  Inks& operator=(const Inks&) = delete;

  void Fill(const Rect& r, TColor color) {
    if (r.right > r.left && r.bottom > r.top) dc_.FillRect(r, Brush(color));
  }
  BrushHandle Brush(TColor color) {
    for (const auto& [c, brush] : made_)
      if (c == color) return brush;
    made_.emplace_back(color, dc_.CreateBrushIndirect(LogBrush(BS_SOLID, color)));
    return made_.back().second;
  }

 private:
  DeviceContext& dc_;
  std::vector<std::pair<TColor, BrushHandle>> made_;
};

// One ring of lines just inside `r` on the sides in `flags`.
void Ring(Inks& inks, const Rect& r, std::uint32_t flags, TColor topLeft, TColor bottomRight) {
  if (flags & BF_TOP) inks.Fill({r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  if (flags & BF_LEFT) inks.Fill({r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  if (flags & BF_BOTTOM) inks.Fill({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  if (flags & BF_RIGHT) inks.Fill({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

Rect Inside(const Rect& r, std::uint32_t flags) {
  return {r.left + ((flags & BF_LEFT) ? 1 : 0), r.top + ((flags & BF_TOP) ? 1 : 0),
          r.right - ((flags & BF_RIGHT) ? 1 : 0), r.bottom - ((flags & BF_BOTTOM) ? 1 : 0)};
}

bool EdgeWith(Inks& inks, Rect& rect, std::uint32_t edge, std::uint32_t flags) {
  // The outer line, then the inner one: its bits, the top-left and
  // bottom-right colours raised and sunken, and the BF_FLAT and BF_MONO
  // colours.
  struct EdgeLine {
    std::uint32_t raised, sunken;
    TColor raisedTopLeft, raisedBottomRight, sunkenTopLeft, sunkenBottomRight, flat, mono;
  };
  static constexpr EdgeLine kLines[] = {
      {BDR_RAISEDOUTER, BDR_SUNKENOUTER, cl3DLight, cl3DDkShadow, clBtnShadow, clBtnHighlight, clBtnShadow,
       clWindowFrame},
      {BDR_RAISEDINNER, BDR_SUNKENINNER, clBtnHighlight, clBtnShadow, cl3DDkShadow, cl3DLight, clBtnFace, clWindow},
  };
  if (!(edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER | BDR_RAISEDINNER | BDR_SUNKENINNER))) return false;
  Rect r = rect;
  for (const EdgeLine& line : kLines) {
    const std::uint32_t bits = edge & (line.raised | line.sunken);
    if (!bits) continue;
    TColor tl = bits == line.raised ? line.raisedTopLeft : line.sunkenTopLeft;
    TColor br = bits == line.raised ? line.raisedBottomRight : line.sunkenBottomRight;
    if (flags & BF_FLAT) tl = br = line.flat;
    if (flags & BF_MONO) tl = br = line.mono;
    Ring(inks, r, flags, tl, br);
    r = Inside(r, flags);
  }
  if (flags & BF_MIDDLE) inks.Fill(r, flags & BF_MONO ? clWindow : clBtnFace);
  if (flags & BF_ADJUST) rect = r;
  return true;
}

// The square of the rectangle's smaller side at its left, vertically
// centred.
Rect Box(const Rect& r) {
  const Coord side = std::min(r.right - r.left, r.bottom - r.top);
  const Coord top = r.top + (r.bottom - r.top - side) / 2;
  return {r.left, top, r.left + side, top + side};
}

void CheckBox(DeviceContext& dc, Inks& inks, const Rect& rect, std::uint32_t state) {
  Rect box = Box(rect);
  if (state & DFCS_FLAT)
    EdgeWith(inks, box, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | BF_ADJUST);
  else
    EdgeWith(inks, box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  // A checked three-state box is the grayed one: a checked look on the
  // face colour, as an inactive box.
  const bool grayed = (state & 0xFF) == DFCS_BUTTON3STATE && (state & DFCS_CHECKED);
  const bool dim = grayed || (state & DFCS_INACTIVE);
  if (!(state & DFCS_TRANSPARENT)) inks.Fill(box, dim || (state & DFCS_PUSHED) ? clBtnFace : clWindow);
  if (!(state & DFCS_CHECKED)) return;
  // A tick of seven columns, three pixels tall, from the box's middle.
  const TColor ink = dim ? clBtnShadow : clWindowText;
  const Coord w = box.right - box.left, h = box.bottom - box.top;
  const Coord x0 = box.left + (w - 7) / 2, y0 = box.top + (h - 7) / 2 + 2;
  static constexpr int kDrop[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i) inks.Fill({x0 + i, y0 + kDrop[i], x0 + i + 1, y0 + kDrop[i] + 3}, ink);
  (void)dc;
}

void RadioButton(DeviceContext& dc, Inks& inks, const Rect& rect, std::uint32_t state) {
  const Rect box = Box(rect);
  const PenHandle pen = dc.CreatePen(PS_SOLID, 1, state & DFCS_FLAT ? clBtnShadow : cl3DDkShadow);
  const PenHandle oldPen = dc.SelectObject(pen);
  const bool fill = !(state & DFCS_TRANSPARENT);
  const BrushHandle oldBrush = dc.SelectObject(
      fill ? inks.Brush(state & (DFCS_PUSHED | DFCS_INACTIVE) ? clBtnFace : clWindow) : kNullBrush);
  dc.Ellipse(box.left, box.top, box.right, box.bottom);
  if (state & DFCS_CHECKED) {
    const Coord d = std::max<Coord>((box.right - box.left) / 3, 2);
    const Coord cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    const TColor ink = state & DFCS_INACTIVE ? clBtnShadow : clWindowText;
    dc.SelectObject(kNullPen);
    dc.SelectObject(inks.Brush(ink));
    dc.Ellipse(cx - d / 2, cy - d / 2, cx - d / 2 + d, cy - d / 2 + d);
  }
  dc.SelectObject(oldPen);
  dc.SelectObject(oldBrush);
  dc.DeleteObject(pen);
}

void Arrow(DeviceContext& dc, Inks& inks, const Rect& r, std::uint32_t part, TColor color, Coord shift) {
  const Coord w = r.right - r.left, h = r.bottom - r.top;
  const Coord size = std::max<Coord>(std::min(w, h) / 4, 1);  // half the base
  const Coord cx = r.left + w / 2 + shift, cy = r.top + h / 2 + shift;
  for (Coord i = 0; i < size; ++i) {
    switch (part) {
      case DFCS_SCROLLUP: inks.Fill({cx - i, cy - size / 2 + i, cx + i + 1, cy - size / 2 + i + 1}, color); break;
      case DFCS_SCROLLDOWN: inks.Fill({cx - i, cy + size / 2 - i, cx + i + 1, cy + size / 2 - i + 1}, color); break;
      case DFCS_SCROLLLEFT: inks.Fill({cx - size / 2 + i, cy - i, cx - size / 2 + i + 1, cy + i + 1}, color); break;
      default: inks.Fill({cx + size / 2 - i, cy - i, cx + size / 2 - i + 1, cy + i + 1}, color); break;
    }
  }
  (void)dc;
}

void Scroll(DeviceContext& dc, Inks& inks, Rect rect, std::uint32_t state) {
  const std::uint32_t part = state & 0xFF;
  if (part == DFCS_SCROLLSIZEGRIP) {
    inks.Fill(rect, clBtnFace);
    // Pixels at a distance d from the corner (counted along both axes):
    // d = 4k + 1 highlight, 4k + 2 and 4k + 3 shadow, for k = 0, 1, 2.
    const Coord size = std::min(rect.right - rect.left, rect.bottom - rect.top);
    for (Coord k = 0; k < 3; ++k)
      for (Coord line = 1; line <= 3; ++line) {
        const Coord d = 4 * k + line;
        for (Coord i = 0; i <= d && d < size; ++i) {
          const Coord x = rect.right - 1 - i, y = rect.bottom - 1 - (d - i);
          inks.Fill({x, y, x + 1, y + 1}, line == 1 ? clBtnHighlight : clBtnShadow);
        }
      }
    return;
  }
  const bool pushed = state & DFCS_PUSHED;
  if (pushed || (state & DFCS_FLAT))
    EdgeWith(inks, rect, BDR_RAISEDOUTER, BF_RECT | BF_FLAT | BF_MIDDLE | BF_ADJUST);
  else
    EdgeWith(inks, rect, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  if (state & DFCS_INACTIVE) {
    Arrow(dc, inks, rect, part, clBtnHighlight, 1);
    Arrow(dc, inks, rect, part, clBtnShadow, 0);
  } else {
    Arrow(dc, inks, rect, part, clBtnText, pushed ? 1 : 0);
  }
}

void Close(Inks& inks, Rect rect, std::uint32_t state) {
  EdgeWith(inks, rect, state & DFCS_PUSHED ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  const Coord size = std::min(rect.right - rect.left, rect.bottom - rect.top) - 4;
  const Coord x0 = rect.left + (rect.right - rect.left - size) / 2 + (state & DFCS_PUSHED ? 1 : 0);
  const Coord y0 = rect.top + (rect.bottom - rect.top - size) / 2 + (state & DFCS_PUSHED ? 1 : 0);
  const TColor ink = state & DFCS_INACTIVE ? clBtnShadow : clBtnText;
  for (Coord i = 0; i < size; ++i) {
    inks.Fill({x0 + i, y0 + i, x0 + i + 2, y0 + i + 1}, ink);
    inks.Fill({x0 + size - 2 - i, y0 + i, x0 + size - i, y0 + i + 1}, ink);
  }
}

}  // namespace

bool DrawEdge(DeviceContext& dc, Rect& rect, std::uint32_t edge, std::uint32_t flags) {
  Inks inks(dc);
  return EdgeWith(inks, rect, edge, flags);
}

bool DrawFrameControl(DeviceContext& dc, Rect& rect, std::uint32_t kind, std::uint32_t state) {
  Inks inks(dc);
  const std::uint32_t part = state & 0xFF;
  if (kind == DFC_BUTTON && part == DFCS_BUTTONPUSH) {
    Rect r = rect;
    if (state & DFCS_FLAT)
      EdgeWith(inks, r, BDR_RAISEDOUTER, BF_RECT | BF_FLAT | BF_MIDDLE | BF_ADJUST);
    else
      EdgeWith(inks, r, state & (DFCS_PUSHED | DFCS_CHECKED) ? EDGE_SUNKEN : EDGE_RAISED,
               BF_RECT | BF_MIDDLE | BF_ADJUST);
    if (state & DFCS_ADJUSTRECT) rect = r;
    return true;
  }
  if (kind == DFC_BUTTON && (part == DFCS_BUTTONCHECK || part == DFCS_BUTTON3STATE))
    return CheckBox(dc, inks, rect, state), true;
  if (kind == DFC_BUTTON && part == DFCS_BUTTONRADIO) return RadioButton(dc, inks, rect, state), true;
  if (kind == DFC_SCROLL && (part <= DFCS_SCROLLRIGHT || part == DFCS_SCROLLSIZEGRIP))
    return Scroll(dc, inks, rect, state), true;
  if (kind == DFC_CAPTION && part == DFCS_CAPTIONCLOSE) return Close(inks, rect, state), true;
  return false;
}

void DrawFocusRect(DeviceContext& dc, const Rect& rect) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  // Set pixels of the checker take the text colour: white inverts by xor,
  // black leaves the pixel.
  LogBrush checker(BS_PATTERN, clBlack);
  checker.Pattern = {2, 2, {1, 0, 0, 1}};
  const BrushHandle brush = dc.CreateBrushIndirect(checker);
  const BrushHandle old = dc.SelectObject(brush);
  const TColor text = dc.SetTextColor(clWhite), back = dc.SetBkColor(clBlack);
  const Point origin = dc.SetBrushOrgEx(0, 0);
  const Coord w = rect.right - rect.left, h = rect.bottom - rect.top;
  dc.PatBlt(rect.left, rect.top, w, 1, PATINVERT);
  if (h > 1) dc.PatBlt(rect.left, rect.bottom - 1, w, 1, PATINVERT);
  if (h > 2) {
    dc.PatBlt(rect.left, rect.top + 1, 1, h - 2, PATINVERT);
    if (w > 1) dc.PatBlt(rect.right - 1, rect.top + 1, 1, h - 2, PATINVERT);
  }
  dc.SetBrushOrgEx(origin.x, origin.y);
  dc.SetBkColor(back);
  dc.SetTextColor(text);
  dc.SelectObject(old);
  dc.DeleteObject(brush);
}
