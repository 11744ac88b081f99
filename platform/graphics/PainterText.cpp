// Text, bitmaps, fills and blits of PainterContext.

#include <QFontMetricsF>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/graphics/PainterContext_p.h"
#include "platform/graphics/QtGraphics.h"

namespace {

// A limit for text: glyphs taller than that show nothing useful and only cost
// memory.
constexpr int kMaxTextPixels = 16384;

}  // namespace

void PainterContext::Impl::FillRect(const State& s, const QRectF& r, std::uint32_t brushId) {
  const LogBrush* lb = dc.BrushOf(BrushHandle{brushId});
  if (!lb || lb->Style == BS_NULL || !Reaches(r, 0)) return;
  SetMode(QPainter::CompositionMode_SourceOver);
  if (lb->Style == BS_HATCHED && !rasterDevice) {
    QPainterPath shape;
    shape.addRect(r);
    FillHatch(s, shape, {true, lb->Hatch, InkColor(lb->Color, Ink::Pen)});
    return;
  }
  FillSnapped(p, full, r, BrushFor(s, *lb, InkColor(lb->Color, Ink::Pen)));
  transformSet = false;
}

void PainterContext::Impl::PatBlt(const State& s, const Command& c) {
  const QRectF r = QRectF(c.a, c.b, c.c, c.d).normalized();
  if (!Reaches(r, 0)) return;
  Mode mode = QPainter::CompositionMode_SourceOver;
  QBrush brush(Qt::black);
  if (c.id == PATCOPY || c.id == PATINVERT) {
    const LogBrush* lb = dc.BrushOf(s.brush);
    if (!lb || lb->Style == BS_NULL) return;
    brush = BrushFor(s, *lb, InkColor(lb->Color, Ink::Pen));
    if (c.id == PATINVERT && rasterOps) mode = QPainter::RasterOp_SourceXorDestination;
  } else if (c.id == DSTINVERT) {
    if (!rasterOps) return;
    mode = QPainter::RasterOp_NotDestination;
  } else if (c.id == WHITENESS) {
    brush = QBrush(Qt::white);
  }
  SetMode(mode);
  FillSnapped(p, full, r, brush);
  transformSet = false;
}

void PainterContext::Impl::Blit(const Command& c) {
  const QRectF r(c.a, c.b, c.c, c.d);
  if (!Reaches(r, 0)) return;
  Mode mode = QPainter::CompositionMode_SourceOver;
  if (rasterOps && c.id == SRCPAINT) mode = QPainter::RasterOp_SourceOrDestination;
  if (rasterOps && c.id == SRCAND) mode = QPainter::RasterOp_SourceAndDestination;
  if (rasterOps && c.id == SRCINVERT) mode = QPainter::RasterOp_SourceXorDestination;
  SetMode(mode);
  UseTransform();
  p.drawImage(r, BlitSource(*c.image, c.points[0], c.points[1], c.mask, c.id));
}

const PainterContext::Impl::FontEntry& PainterContext::Impl::FontFor(const State& s, const LogFont& lf) {
  auto it = fonts.find(s.font.id);
  if (it == fonts.end()) it = fonts.emplace(s.font.id, FontEntry{QFontOfLogFont(lf, 12), EmOfLogFontHeight(lf)}).first;
  return it->second;
}

QBrush PainterContext::Impl::BrushFor(const State& s, const LogBrush& lb, const QColor& color) const {
  if (lb.Style != BS_PATTERN && lb.Style != BS_DIBPATTERN) return MakeBrush(lb, color);
  QBrush brush(PatternTile(lb, s.textColor, s.bkColor));
  const QPointF origin = (device * base).map(QPointF(s.brushOrigin.x, s.brushOrigin.y));
  brush.setTransform(QTransform::fromTranslate(origin.x(), origin.y()) * full.inverted());
  return brush;
}

void PainterContext::Impl::ExtText(const State& s, const Command& c) {
  QRectF r;
  if (!c.points.empty()) r = QRectF(QPointF(c.points[0].x, c.points[0].y), QPointF(c.points[1].x, c.points[1].y));
  if ((c.id & ETO_OPAQUE) && r.isValid() && Reaches(r, 0)) {
    SetMode(QPainter::CompositionMode_SourceOver);
    FillSnapped(p, full, r, QBrush(InkColor(s.bkColor, Ink::Pen)));
    transformSet = false;
  }
  if (c.text.empty()) return;
  if (!(c.id & ETO_CLIPPED)) {
    Text(s, c.a, c.b, c.text, c.advances);
    return;
  }
  if (!r.isValid()) return;  // an empty clip shows nothing
  p.save();
  p.setWorldTransform(full);
  p.setClipRect(r, Qt::IntersectClip);
  Text(s, c.a, c.b, c.text, c.advances);
  p.restore();
  // The restore undid what the text set: tell the caches.
  mode = p.compositionMode();
  penKey.reset();
  brushKey.reset();
  transformSet = false;
}

void PainterContext::Impl::Text(const State& s, std::int32_t x, std::int32_t y, std::string_view utf8,
                                std::span<const std::int32_t> advances) {
  const LogFont* lf = dc.FontOf(s.font);
  if (!lf) return;
  const FontEntry& entry = FontFor(s, *lf);
  if (!Reaches(QRectF(x, y, 0, 0), entry.em * 2.0 * (static_cast<double>(utf8.size()) + 2.0))) return;

  const double sx = std::hypot(full.m11(), full.m12());
  const double sy = std::hypot(full.m21(), full.m22());
  QFont font = entry.font;
  font.setPixelSize(static_cast<int>(std::clamp(std::round(entry.em * sy), 1.0, double{kMaxTextPixels})));
  if (sx > 0 && sy > 0 && std::abs(sx / sy - 1.0) > 0.01)
    font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * sx / sy)), 1, 4000));
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  const QFontMetricsF metrics(font, p.device());
  double advance = metrics.horizontalAdvance(text);
  if (!advances.empty()) {
    std::int64_t sum = 0;
    for (std::int32_t a : advances) sum += a;
    advance = static_cast<double>(sum) * sx;
  }
  const double ascent = metrics.ascent(), descent = metrics.descent();
  const std::uint32_t h = s.textAlign & kTextAlignHorizontalMask, v = s.textAlign & kTextAlignVerticalMask;
  const double dx = h == TA_RIGHT ? -advance : h == TA_CENTER ? -advance / 2 : 0.0;
  const double dy = v == TA_TOP ? ascent : v == TA_BOTTOM ? -descent : 0.0;

  // The baseline direction in logical units (y down), carried through the
  // mapping so that the text turns the way the picture is drawn.
  const double theta = lf->Escapement / 10.0 * std::numbers::pi / 180.0;
  const double ux = std::cos(theta), uy = -std::sin(theta);
  const double angle =
      std::atan2(full.m12() * ux + full.m22() * uy, full.m11() * ux + full.m21() * uy) * 180.0 / std::numbers::pi;
  const QPointF anchor = full.map(QPointF(x, y));
  QTransform local;
  local.translate(anchor.x(), anchor.y());
  local.rotate(angle);
  p.setWorldTransform(local);
  transformSet = false;

  SetMode(QPainter::CompositionMode_SourceOver);
  if (s.bkMode == OPAQUE) p.fillRect(QRectF(dx, dy - ascent, advance, ascent + descent), InkColor(s.bkColor, Ink::Pen));
  p.setBackgroundMode(Qt::TransparentMode);
  p.setFont(font);
  p.setPen(InkColor(s.textColor, Ink::Pen));
  penKey.reset();
  if (advances.empty()) {
    p.drawText(QPointF(dx, dy), text);
  } else {
    double at = dx;
    std::size_t i = 0;
    for (char32_t cp : text.toUcs4()) {
      p.drawText(QPointF(at, dy), QString::fromUcs4(&cp, 1));
      at += advances[i++] * sx;
    }
  }
  UpdateBackground(s);
}

void PainterContext::Impl::Bitmap(const Command& c) {
  const QRectF r(c.a, c.b, c.c, c.d);
  if (!Reaches(r, 0)) return;
  const Bitmap24& b = *c.bitmap;
  const QImage image(b.Bgr.data(), b.Width, b.Height, b.Width * 3, QImage::Format_BGR888);
  SetMode(QPainter::CompositionMode_SourceOver);
  UseTransform();
  p.drawImage(r, image);
}
