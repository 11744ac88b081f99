// Lines, curves and filled shapes of PainterContext.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/graphics/PainterContext_p.h"

namespace {

QRectF BoxOf(std::span<const PointI> points) {
  std::int32_t x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
  for (const PointI& p : points) {
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

// The parametric angle in degrees (counter-clockwise as seen, y down) at
// which the ray from the centre of `r` through `p` meets the ellipse in `r`.
double RayAngle(const QRectF& r, const PointI& p) {
  const double rx = r.width() / 2, ry = r.height() / 2;
  const QPointF c = r.center();
  return std::atan2(-(p.y - c.y()) / ry, (p.x - c.x()) / rx) * 180.0 / std::numbers::pi;
}

}  // namespace

void PainterContext::Impl::FillHatch(const State& s, const QPainterPath& shape, const Hatch& hatch) {
  const QPainterPath device = full.map(shape);
  const QList<QPolygonF> outline = device.toSubpathPolygons();
  const double unit = std::max(1.0, p.device()->logicalDpiX() / 96.0);
  const double step = 8 * unit;
  // Only where the device can show it: a huge shape would need lines
  // without end.
  const QRectF r = device.boundingRect().intersected(
      QRectF(0, 0, p.device()->width(), p.device()->height()).adjusted(-step, -step, step, step));
  p.save();
  p.setWorldTransform(QTransform());
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (s.bkMode == OPAQUE) p.fillPath(device, InkColor(s.bkColor, Ink::Pen));
  QPen pen(hatch.color, unit);
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
  std::vector<double> cuts;
  // The parts of the line from `a` to `b` inside the outline.
  auto line = [&](QPointF a, QPointF b) {
    const QPointF d = b - a;
    cuts.clear();
    for (const QPolygonF& polygon : outline)
      for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF e0 = polygon[i], e1 = polygon[(i + 1) % polygon.size()];
        const double s0 = d.x() * (e0.y() - a.y()) - d.y() * (e0.x() - a.x());
        const double s1 = d.x() * (e1.y() - a.y()) - d.y() * (e1.x() - a.x());
        if ((s0 > 0) == (s1 > 0)) continue;
        const QPointF x = e0 + (e1 - e0) * (s0 / (s0 - s1));
        cuts.push_back(QPointF::dotProduct(x - a, d) / QPointF::dotProduct(d, d));
      }
    std::sort(cuts.begin(), cuts.end());
    for (std::size_t i = 0; i + 1 < cuts.size(); i += 2) p.drawLine(a + d * cuts[i], a + d * cuts[i + 1]);
  };
  const bool horizontal = hatch.style == HS_HORIZONTAL || hatch.style == HS_CROSS;
  const bool vertical = hatch.style == HS_VERTICAL || hatch.style == HS_CROSS;
  const bool falling = hatch.style == HS_FDIAGONAL || hatch.style == HS_DIAGCROSS;
  const bool rising = hatch.style == HS_BDIAGONAL || hatch.style == HS_DIAGCROSS;
  const double h = r.height();
  for (double y = std::floor(r.top() / step) * step; horizontal && y <= r.bottom(); y += step)
    line(QPointF(r.left() - 1, y), QPointF(r.right() + 1, y));
  for (double x = std::floor(r.left() / step) * step; vertical && x <= r.right(); x += step)
    line(QPointF(x, r.top() - 1), QPointF(x, r.bottom() + 1));
  // Diagonals through (x, top): falling ones reach x + h at the bottom, rising ones x - h.
  for (double x = std::floor((r.left() - h) / step) * step; falling && x <= r.right(); x += step)
    line(QPointF(x - 1, r.top() - 1), QPointF(x + h + 1, r.bottom() + 1));
  for (double x = std::floor(r.left() / step) * step; rising && x <= r.right() + h; x += step)
    line(QPointF(x + 1, r.top() - 1), QPointF(x - h - 1, r.bottom() + 1));
  p.restore();
}

const QPolygonF& PainterContext::Impl::PolygonOf(std::span<const PointI> points) {
  polygon.resize(static_cast<qsizetype>(points.size()));
  for (std::size_t i = 0; i < points.size(); ++i)
    polygon[static_cast<qsizetype>(i)] = QPointF(points[i].x, points[i].y);
  return polygon;
}

void PainterContext::Impl::Lines(const State& s, std::span<const PointI> points) {
  if (!Reaches(BoxOf(points), PenMargin(s)) || !Prepare(s, true, false)) return;
  // A line draws its first pixel and leaves out its last. Qt's thin lines
  // always leave out the pixel of larger coordinate, so a thin level or
  // upright line that runs left or up is drawn as the same pixels in the
  // other direction: from a pixel after its end to a pixel after its start.
  const LogPen* pen = dc.PenOf(s.pen);
  if (points.size() == 2 && pen && pen->Type == PS_COSMETIC && full.type() <= QTransform::TxTranslate) {
    const PointI a = points[0], b = points[1];
    if ((a.y == b.y && b.x < a.x) || (a.x == b.x && b.y < a.y)) {
      const int ux = a.y == b.y ? 1 : 0, uy = 1 - ux;
      p.drawLine(QPointF(b.x + ux, b.y + uy), QPointF(a.x + ux, a.y + uy));
      return;
    }
  }
  const QPolygonF& poly = PolygonOf(points);
  p.drawPolyline(poly.constData(), static_cast<int>(poly.size()));
}

void PainterContext::Impl::Polygon(const State& s, std::span<const PointI> points) {
  Hatch hatch;
  if (!Reaches(BoxOf(points), PenMargin(s)) || !Prepare(s, true, true, &hatch)) return;
  const QPolygonF& poly = PolygonOf(points);
  if (hatch.pending) {
    QPainterPath shape;
    shape.setFillRule(Qt::OddEvenFill);
    shape.addPolygon(poly);
    shape.closeSubpath();
    FillHatch(s, shape, hatch);
  }
  p.drawPolygon(poly.constData(), static_cast<int>(poly.size()), Qt::OddEvenFill);
}

void PainterContext::Impl::Bezier(const State& s, std::span<const PointI> points) {
  if (!Reaches(BoxOf(points), PenMargin(s)) || !Prepare(s, true, false)) return;
  QPainterPath path(QPointF(points[0].x, points[0].y));
  for (std::size_t i = 1; i + 2 < points.size(); i += 3)
    path.cubicTo(QPointF(points[i].x, points[i].y), QPointF(points[i + 1].x, points[i + 1].y),
                 QPointF(points[i + 2].x, points[i + 2].y));
  p.drawPath(path);
}

void PainterContext::Impl::Ellipse(const State& s, const QRectF& r) {
  Hatch hatch;
  if (!Reaches(r, PenMargin(s)) || !Prepare(s, true, true, &hatch)) return;
  if (hatch.pending) {
    QPainterPath shape;
    shape.addEllipse(r);
    FillHatch(s, shape, hatch);
  }
  p.drawEllipse(r);
}

void PainterContext::Impl::Rectangle(const State& s, const QRectF& r) {
  Hatch hatch;
  if (!Reaches(r, PenMargin(s)) || !Prepare(s, true, true, &hatch)) return;
  if (hatch.pending) {
    QPainterPath shape;
    shape.addRect(r);
    FillHatch(s, shape, hatch);
  }
  p.drawRect(r);
}

void PainterContext::Impl::Arc(const State& s, const QRectF& r, const PointI& from, const PointI& to) {
  if (r.width() <= 0 || r.height() <= 0) return;
  if (!Reaches(r, PenMargin(s)) || !Prepare(s, true, false)) return;
  const double start = RayAngle(r, from);
  double sweep = RayAngle(r, to) - start;
  if (s.arcDirection == AD_COUNTERCLOCKWISE) {
    while (sweep <= 0) sweep += 360;
  } else {
    while (sweep >= 0) sweep -= 360;
  }
  QPainterPath path;
  path.arcMoveTo(r, start);
  path.arcTo(r, start, sweep);
  p.drawPath(path);
}
