// Playing a recorded picture back on a device context.

#include "platform/core/Codecs.h"
#include "platform/graphics/Picture_p.h"

void Picture::Replay(DeviceContext& target) const {
  using Op = DeviceContext::Op;
  if (!data_) return;
  const PictureData& p = *data_;

  const GraphicsMode graphicsMode = target.GetGraphicsMode();
  const MapMode mapMode = target.GetMapMode();
  const Size windowExt = target.GetWindowExt(), viewportExt = target.GetViewportExt();
  const BkMode bkMode = target.GetBkMode();
  const TColor bkColor = target.GetBkColor(), textColor = target.GetTextColor();
  const std::uint32_t textAlign = target.GetTextAlign();
  const ArcDirection arcDirection = target.GetArcDirection();
  const Rop2 rop2 = target.GetROP2();
  const Point position = target.GetCurrentPosition();
  const Point brushOrigin = target.GetBrushOrgEx();
  const FontHandle font = target.CurrentFont();
  const PenHandle pen = target.CurrentPen();
  const BrushHandle brush = target.CurrentBrush();

  // Recorded handle id -> id in target; stock ids are the same everywhere.
  std::vector<std::uint32_t> handles;
  auto mapped = [&](std::uint32_t id) -> std::uint32_t {
    if (id < kFirstObjectId) return id;
    return id < handles.size() ? handles[id] : 0;
  };
  auto remember = [&](std::uint32_t recorded, std::uint32_t created) {
    if (handles.size() <= recorded) handles.resize(recorded + 1, 0);
    handles[recorded] = created;
  };
  std::vector<Point> points;
  auto pointsOf = [&](const PictureRecord& r) -> std::span<const Point> {
    points.resize(r.count);
    for (std::uint32_t i = 0; i < r.count; ++i) points[i] = {p.points[r.first + i].x, p.points[r.first + i].y};
    return points;
  };

  // Clips and saved states of the picture end with the replay: the target's
  // state is saved before the first of them and restored afterwards.
  bool saved = false;
  int savedLevel = 0;
  auto saveOnce = [&] {
    if (!saved) savedLevel = target.SaveDC();
    saved = true;
  };

  for (const PictureRecord& r : p.records) {
    switch (r.op) {
      case Op::SetGraphicsMode: target.SetGraphicsMode(static_cast<GraphicsMode>(r.a)); break;
      case Op::SetMapMode: target.SetMapMode(static_cast<MapMode>(r.a)); break;
      case Op::SetWindowExt: target.SetWindowExt(r.a, r.b); break;
      case Op::SetViewportExt: target.SetViewportExt(r.a, r.b); break;
      case Op::SetBkMode: target.SetBkMode(static_cast<BkMode>(r.a)); break;
      case Op::SetBkColor: target.SetBkColor(r.a); break;
      case Op::SetTextColor: target.SetTextColor(r.a); break;
      case Op::SetTextAlign: target.SetTextAlign(static_cast<std::uint32_t>(r.a)); break;
      case Op::SetArcDirection: target.SetArcDirection(static_cast<ArcDirection>(r.a)); break;
      case Op::SetROP2: target.SetROP2(static_cast<Rop2>(r.a)); break;
      case Op::CreateFont: remember(r.id, target.CreateFontIndirect(p.fonts[r.first]).id); break;
      case Op::CreatePen: remember(r.id, target.ExtCreatePen(p.pens[r.first]).id); break;
      case Op::CreateBrush: remember(r.id, target.CreateBrushIndirect(p.brushes[r.first]).id); break;
      case Op::SelectFont: target.SelectObject(FontHandle{mapped(r.id)}); break;
      case Op::SelectPen: target.SelectObject(PenHandle{mapped(r.id)}); break;
      case Op::SelectBrush: target.SelectObject(BrushHandle{mapped(r.id)}); break;
      case Op::DeleteObject:
        if (r.a == 0) target.DeleteObject(FontHandle{mapped(r.id)});
        else if (r.a == 1) target.DeleteObject(PenHandle{mapped(r.id)});
        else target.DeleteObject(BrushHandle{mapped(r.id)});
        break;
      case Op::MoveTo: target.MoveTo(r.a, r.b); break;
      case Op::LineTo: target.LineTo(r.a, r.b); break;
      case Op::Polyline: target.Polyline(pointsOf(r)); break;
      case Op::Polygon: target.Polygon(pointsOf(r)); break;
      case Op::PolyBezier: target.PolyBezier(pointsOf(r)); break;
      case Op::Ellipse: target.Ellipse(r.a, r.b, r.c, r.d); break;
      case Op::Rectangle: target.Rectangle(r.a, r.b, r.c, r.d); break;
      case Op::Arc: {
        const PointI& s = p.points[r.first];
        const PointI& e = p.points[r.first + 1];
        target.Arc(r.a, r.b, r.c, r.d, s.x, s.y, e.x, e.y);
        break;
      }
      case Op::TextOut: target.TextOut(r.a, r.b, std::string_view(p.text).substr(r.first, r.count)); break;
      case Op::StretchDIBits: target.StretchDIBits(r.a, r.b, r.c, r.d, p.bitmaps[r.first]); break;
      case Op::FillRect: target.FillRect({r.a, r.b, r.c, r.d}, BrushHandle{mapped(r.id)}); break;
      case Op::IntersectClipRect: saveOnce(), target.IntersectClipRect(r.a, r.b, r.c, r.d); break;
      case Op::ExcludeClipRect: saveOnce(), target.ExcludeClipRect(r.a, r.b, r.c, r.d); break;
      case Op::SelectClipRgn: {
        saveOnce();
        if (r.a == 1) {
          target.SelectClipRgn(nullptr);
          break;
        }
        std::vector<Rect> rects;
        for (std::uint32_t i = 0; i + 1 < r.count; i += 2) {
          const PointI& a = p.points[r.first + i];
          const PointI& b = p.points[r.first + i + 1];
          rects.push_back({a.x, a.y, b.x, b.y});
        }
        target.SelectClipRgn(&rects);
        break;
      }
      case Op::SaveDC: saveOnce(), target.SaveDC(); break;
      case Op::RestoreDC:
        // Never below the level this replay began with.
        if (saved && target.SaveLevel() - savedLevel >= r.a) target.RestoreDC(-r.a);
        break;
      case Op::PatBlt: target.PatBlt(r.a, r.b, r.c, r.d, r.id); break;
      case Op::SetBrushOrg: target.SetBrushOrgEx(r.a, r.b); break;
      case Op::ExtTextOut: {
        // c: the rectangle's first corner in points (-1 for none); d: the
        // first advance (-1 for none), one per code point of the text.
        const std::string_view text = std::string_view(p.text).substr(r.first, r.count);
        Rect rect;
        if (r.c >= 0) {
          const PointI& a = p.points[static_cast<std::size_t>(r.c)];
          const PointI& b = p.points[static_cast<std::size_t>(r.c) + 1];
          rect = {a.x, a.y, b.x, b.y};
        }
        std::span<const std::int32_t> advances;
        if (r.d >= 0) advances = std::span(p.advances).subspan(static_cast<std::size_t>(r.d), Utf8CodePointCount(text));
        target.ExtTextOut(r.a, r.b, r.id, r.c >= 0 ? &rect : nullptr, text, advances);
        break;
      }
      case Op::StretchBlt: {
        // points: the source part; first: the image; count: the mask + 1.
        const PointI& at = p.points[r.first];
        const PointI& size = p.points[r.first + 1];
        const Bitmap32& image = p.images[p.points[r.first + 2].x];
        const BlitMask* mask = r.count ? &p.masks[r.count - 1] : nullptr;
        target.StretchBlt(r.a, r.b, r.c, r.d, image, at.x, at.y, size.x, size.y, r.id, mask);
        break;
      }
    }
  }

  if (saved) target.RestoreDC(savedLevel);
  if (target.CurrentFont() != font) target.SelectObject(font);
  if (target.CurrentPen() != pen) target.SelectObject(pen);
  if (target.CurrentBrush() != brush) target.SelectObject(brush);
  for (std::size_t recorded = kFirstObjectId; recorded < handles.size(); ++recorded) {
    const std::uint32_t id = handles[recorded];
    if (id == 0) continue;
    // Only one of these matches the kind the id has in target.
    target.DeleteObject(FontHandle{id});
    target.DeleteObject(PenHandle{id});
    target.DeleteObject(BrushHandle{id});
  }
  if (target.GetGraphicsMode() != graphicsMode) target.SetGraphicsMode(graphicsMode);
  if (target.GetMapMode() != mapMode) target.SetMapMode(mapMode);
  if (target.GetWindowExt() != windowExt) target.SetWindowExt(windowExt.cx, windowExt.cy);
  if (target.GetViewportExt() != viewportExt) target.SetViewportExt(viewportExt.cx, viewportExt.cy);
  if (target.GetBkMode() != bkMode) target.SetBkMode(bkMode);
  if (target.GetBkColor() != bkColor) target.SetBkColor(bkColor);
  if (target.GetTextColor() != textColor) target.SetTextColor(textColor);
  if (target.GetTextAlign() != textAlign) target.SetTextAlign(textAlign);
  if (target.GetArcDirection() != arcDirection) target.SetArcDirection(arcDirection);
  if (target.GetROP2() != rop2) target.SetROP2(rop2);
  if (target.GetCurrentPosition() != position) target.MoveTo(position.x, position.y);
  if (target.GetBrushOrgEx() != brushOrigin) target.SetBrushOrgEx(brushOrigin.x, brushOrigin.y);
}

