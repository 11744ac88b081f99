#include "platform/graphics/PainterContext.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>

#include "platform/graphics/PainterObjects_p.h"
#include "platform/graphics/QtGraphics.h"

namespace {

using Mode = QPainter::CompositionMode;

// A limit for text: glyphs taller than that show nothing useful and only cost
// memory.
constexpr int kMaxTextPixels = 16384;

QRectF RectOf(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

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

struct PenKey {
  std::uint32_t id = 0;
  Ink ink = Ink::Pen;
  bool operator==(const PenKey&) const = default;
};

struct FontEntry {
  QFont font;  // everything but the size
  double em;   // character height in logical units
};

}  // namespace

struct PainterContext::Impl {
  Impl(PainterContext& dc, QPainter& painter) : dc(dc), p(painter), base(painter.worldTransform()) {
    rasterOps = painter.paintEngine() && painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    rasterDevice = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
    full = base;
    clip.base = base;
    if (painter.hasClipping()) clip.initial = painter.clipRegion();
  }

  PainterContext& dc;
  QPainter& p;
  QTransform base;              // the painter's own transform
  QTransform device;            // device units -> painter coordinates
  QTransform logicalToPainter;  // map mode, then device
  QTransform full;              // logical -> what the painter's world transform maps from
  bool transformSet = false;
  std::optional<QRectF> exposed;
  bool rasterOps = false;
  bool rasterDevice = false;  // hatches as Qt's 8-pixel patterns; elsewhere drawn as lines
  Mode mode = QPainter::CompositionMode_SourceOver;
  std::optional<PenKey> penKey, brushKey;
  QPolygonF polygon;
  std::unordered_map<std::uint32_t, FontEntry> fonts;
  ClipSetting clip;

  void UpdateTransform(const State& s) {
    QTransform logical;
    if (s.mapMode == MM_ANISOTROPIC)
      logical = QTransform::fromScale(static_cast<double>(s.viewportExt.x) / s.windowExt.x,
                                      static_cast<double>(s.viewportExt.y) / s.windowExt.y);
    logicalToPainter = logical * device;
    full = logicalToPainter * base;
    transformSet = false;
  }

  void UseTransform() {
    if (transformSet) return;
    p.setWorldTransform(full);
    transformSet = true;
  }

  void UpdateBackground(const State& s) {
    p.setBackgroundMode(s.bkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
    p.setBackground(QBrush(InkColor(s.bkColor, Ink::Pen)));
  }

  void SetMode(Mode m) {
    if (m == mode) return;
    p.setCompositionMode(m);
    mode = m;
  }

  // Whether a shape within `box` (logical) widened by `margin` can reach the
  // exposed rectangle.
  bool Reaches(QRectF box, double margin) const {
    if (!exposed) return true;
    box.adjust(-margin, -margin, margin, margin);
    return logicalToPainter.mapRect(box).adjusted(-2, -2, 2, 2).intersects(*exposed);
  }

  double PenMargin(const State& s) const {
    const LogPen* lp = dc.PenOf(s.pen);
    return lp && lp->Type == PS_GEOMETRIC ? lp->Width * 5.0 + 1.0 : 0.0;
  }

  // A hatch that the shape's caller draws itself (see FillHatch).
  struct Hatch {
    bool pending = false;
    HatchStyle style = HS_HORIZONTAL;
    QColor color;
  };

  // Sets pen, brush and mixing for a shape; false when nothing would show.
  // A hatched brush on a device that is not a raster image is left to the
  // caller through `hatch`.
  bool Prepare(const State& s, bool stroke, bool fill, Hatch* hatch = nullptr) {
    const RopPlan plan = PlanFor(s.rop2, rasterOps);
    if (!plan.draw) return false;
    const LogPen* lp = stroke ? dc.PenOf(s.pen) : nullptr;
    const LogBrush* lb = fill ? dc.BrushOf(s.brush) : nullptr;
    const bool hasPen = lp && lp->Style != PS_NULL;
    bool hasBrush = lb && lb->Style != BS_NULL;
    if (!hasPen && !hasBrush) return false;
    if (hasBrush && lb->Style == BS_HATCHED && !rasterDevice && hatch) {
      *hatch = {true, lb->Hatch, InkColor(lb->Color, plan.ink)};
      hasBrush = false;
    }
    SetMode(plan.mode);
    const PenKey pk{hasPen ? s.pen.id : 0, plan.ink};
    if (penKey != pk) {
      p.setPen(hasPen ? MakePen(*lp, InkColor(lp->Color, plan.ink)) : QPen(Qt::NoPen));
      penKey = pk;
    }
    const PenKey bk{hasBrush ? s.brush.id : 0, plan.ink};
    if (brushKey != bk) {
      p.setBrush(hasBrush ? MakeBrush(*lb, InkColor(lb->Color, plan.ink)) : QBrush(Qt::NoBrush));
      brushKey = bk;
    }
    UseTransform();
    return true;
  }

  // Hatch lines one reference pixel wide and eight apart (at 96 pixels per
  // inch), drawn inside `shape` (logical units) in device space: vector
  // devices have no pixel patterns, and a printer's own pixels would make
  // the hatch too fine to see. Each line is cut to the parts inside the shape
  // (odd-even rule) rather than clipped, since not every vector device
  // keeps clip paths.
  void FillHatch(const State& s, const QPainterPath& shape, const Hatch& hatch) {
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

  const QPolygonF& PolygonOf(std::span<const PointI> points) {
    polygon.resize(static_cast<qsizetype>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) polygon[static_cast<qsizetype>(i)] = QPointF(points[i].x, points[i].y);
    return polygon;
  }

  void Lines(const State& s, std::span<const PointI> points) {
    if (!Reaches(BoxOf(points), PenMargin(s)) || !Prepare(s, true, false)) return;
    const QPolygonF& poly = PolygonOf(points);
    p.drawPolyline(poly.constData(), static_cast<int>(poly.size()));
  }

  void Polygon(const State& s, std::span<const PointI> points) {
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

  void Bezier(const State& s, std::span<const PointI> points) {
    if (!Reaches(BoxOf(points), PenMargin(s)) || !Prepare(s, true, false)) return;
    QPainterPath path(QPointF(points[0].x, points[0].y));
    for (std::size_t i = 1; i + 2 < points.size(); i += 3)
      path.cubicTo(QPointF(points[i].x, points[i].y), QPointF(points[i + 1].x, points[i + 1].y),
                   QPointF(points[i + 2].x, points[i + 2].y));
    p.drawPath(path);
  }

  void Ellipse(const State& s, const QRectF& r) {
    Hatch hatch;
    if (!Reaches(r, PenMargin(s)) || !Prepare(s, true, true, &hatch)) return;
    if (hatch.pending) {
      QPainterPath shape;
      shape.addEllipse(r);
      FillHatch(s, shape, hatch);
    }
    p.drawEllipse(r);
  }

  void Rectangle(const State& s, const QRectF& r) {
    Hatch hatch;
    if (!Reaches(r, PenMargin(s)) || !Prepare(s, true, true, &hatch)) return;
    if (hatch.pending) {
      QPainterPath shape;
      shape.addRect(r);
      FillHatch(s, shape, hatch);
    }
    p.drawRect(r);
  }

  void Arc(const State& s, const QRectF& r, const PointI& from, const PointI& to) {
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

  void FillRect(const State& s, const QRectF& r, std::uint32_t brushId) {
    const LogBrush* lb = dc.BrushOf(BrushHandle{brushId});
    if (!lb || lb->Style == BS_NULL || !Reaches(r, 0)) return;
    SetMode(QPainter::CompositionMode_SourceOver);
    if (lb->Style == BS_HATCHED && !rasterDevice) {
      QPainterPath shape;
      shape.addRect(r);
      FillHatch(s, shape, {true, lb->Hatch, InkColor(lb->Color, Ink::Pen)});
      return;
    }
    FillSnapped(p, full, r, MakeBrush(*lb, InkColor(lb->Color, Ink::Pen)));
    transformSet = false;
  }

  // PATCOPY and PATINVERT with the selected brush (PATINVERT copies on a
  // device without raster operations), DSTINVERT (nothing there),
  // BLACKNESS, WHITENESS.
  void PatBlt(const State& s, const Command& c) {
    const QRectF r = QRectF(c.a, c.b, c.c, c.d).normalized();
    if (!Reaches(r, 0)) return;
    Mode mode = QPainter::CompositionMode_SourceOver;
    QBrush brush(Qt::black);
    if (c.id == PATCOPY || c.id == PATINVERT) {
      const LogBrush* lb = dc.BrushOf(s.brush);
      if (!lb || lb->Style == BS_NULL) return;
      brush = MakeBrush(*lb, InkColor(lb->Color, Ink::Pen));
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

  // SRCPAINT, SRCAND and SRCINVERT copy on a device without raster
  // operations.
  void Blit(const Command& c) {
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

  void UpdateClip(const State& s) {
    clip.device = device;
    ApplyClip(p, clip, s.clip.get());
    transformSet = false;
  }

  const FontEntry& FontFor(const State& s, const LogFont& lf) {
    auto it = fonts.find(s.font.id);
    if (it == fonts.end()) it = fonts.emplace(s.font.id, FontEntry{QFontOfLogFont(lf, 12), EmOfLogFontHeight(lf)}).first;
    return it->second;
  }

  void Text(const State& s, std::int32_t x, std::int32_t y, std::string_view utf8) {
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
    const double advance = metrics.horizontalAdvance(text);
    const double ascent = metrics.ascent(), descent = metrics.descent();
    const std::uint32_t h = s.textAlign & kTextAlignHorizontalMask, v = s.textAlign & kTextAlignVerticalMask;
    const double dx = h == TA_RIGHT ? -advance : h == TA_CENTER ? -advance / 2 : 0.0;
    const double dy = v == TA_TOP ? ascent : v == TA_BOTTOM ? -descent : 0.0;

    // The baseline direction in logical units (y down), carried through the
    // mapping so that the text turns the way the picture is drawn.
    const double theta = lf->Escapement / 10.0 * std::numbers::pi / 180.0;
    const double ux = std::cos(theta), uy = -std::sin(theta);
    const double angle = std::atan2(full.m12() * ux + full.m22() * uy, full.m11() * ux + full.m21() * uy) * 180.0 /
                         std::numbers::pi;
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
    p.drawText(QPointF(dx, dy), text);
    UpdateBackground(s);
  }

  void Bitmap(const Command& c) {
    const QRectF r(c.a, c.b, c.c, c.d);
    if (!Reaches(r, 0)) return;
    const Bitmap24& b = *c.bitmap;
    const QImage image(b.Bgr.data(), b.Width, b.Height, b.Width * 3, QImage::Format_BGR888);
    SetMode(QPainter::CompositionMode_SourceOver);
    UseTransform();
    p.drawImage(r, image);
  }
};

PainterContext::PainterContext(QPainter& painter) : PainterContext(painter, DeviceInfoOf(*painter.device())) {}

PainterContext::PainterContext(QPainter& painter, const DeviceInfo& device)
    : DeviceContext(device), impl_(std::make_unique<Impl>(*this, painter)) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  impl_->UpdateTransform(CurrentState());
  impl_->UpdateBackground(CurrentState());
}

PainterContext::~PainterContext() { impl_->p.restore(); }

void PainterContext::SetDeviceTransform(const QTransform& deviceToPainter) {
  impl_->device = deviceToPainter;
  impl_->UpdateTransform(CurrentState());
  if (CurrentState().clip) impl_->UpdateClip(CurrentState());
}

void PainterContext::SetExposedRect(const QRectF& rect) {
  impl_->exposed = rect;
  impl_->clip.exposed = rect;
  impl_->UpdateClip(CurrentState());
}

void PainterContext::Apply(const Command& c) {
  const State& s = CurrentState();
  Impl& m = *impl_;
  switch (c.op) {
    case Op::SetMapMode:
    case Op::SetWindowExt:
    case Op::SetViewportExt: m.UpdateTransform(s); break;
    case Op::SetBkMode:
    case Op::SetBkColor: m.UpdateBackground(s); break;
    case Op::DeleteObject: m.fonts.erase(c.id); break;
    case Op::LineTo:
    case Op::Polyline: m.Lines(s, c.points); break;
    case Op::Polygon: m.Polygon(s, c.points); break;
    case Op::PolyBezier: m.Bezier(s, c.points); break;
    case Op::Ellipse: m.Ellipse(s, RectOf(c.a, c.b, c.c, c.d)); break;
    case Op::Rectangle: m.Rectangle(s, RectOf(c.a, c.b, c.c, c.d)); break;
    case Op::Arc: m.Arc(s, RectOf(c.a, c.b, c.c, c.d), c.points[0], c.points[1]); break;
    case Op::FillRect: m.FillRect(s, QRectF(QPointF(c.a, c.b), QPointF(c.c, c.d)), c.id); break;
    case Op::TextOut: m.Text(s, c.a, c.b, c.text); break;
    case Op::StretchDIBits: m.Bitmap(c); break;
    case Op::PatBlt: m.PatBlt(s, c); break;
    case Op::StretchBlt: m.Blit(c); break;
    case Op::IntersectClipRect:
    case Op::ExcludeClipRect:
    case Op::SelectClipRgn: m.UpdateClip(s); break;
    case Op::RestoreDC:
      m.UpdateTransform(s);
      m.UpdateBackground(s);
      m.UpdateClip(s);
      break;
    default: break;  // modes and objects are read from the state when drawing
  }
}
