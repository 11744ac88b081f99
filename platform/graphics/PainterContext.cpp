#include "platform/graphics/PainterContext.h"

#include <QImage>
#include <QPaintDevice>

#include "platform/graphics/ImageCodec.h"
#include "platform/graphics/PainterContext_p.h"
#include "platform/graphics/QtGraphics.h"

namespace {

QRectF RectOf(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

}  // namespace

void PainterContext::Impl::UpdateTransform(const State& s) {
  QTransform logical;
  if (s.mapMode == MM_ANISOTROPIC)
    logical = QTransform::fromScale(static_cast<double>(s.viewportExt.x) / s.windowExt.x,
                                    static_cast<double>(s.viewportExt.y) / s.windowExt.y);
  logicalToPainter = logical * device;
  full = logicalToPainter * base;
  transformSet = false;
}

void PainterContext::Impl::UseTransform() {
  if (transformSet) return;
  p.setWorldTransform(full);
  transformSet = true;
}

void PainterContext::Impl::UpdateBackground(const State& s) {
  p.setBackgroundMode(s.bkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
  p.setBackground(QBrush(InkColor(s.bkColor, Ink::Pen)));
}

void PainterContext::Impl::SetMode(Mode m) {
  if (m == mode) return;
  p.setCompositionMode(m);
  mode = m;
}

bool PainterContext::Impl::Reaches(QRectF box, double margin) const {
  if (!exposed) return true;
  box.adjust(-margin, -margin, margin, margin);
  return logicalToPainter.mapRect(box).adjusted(-2, -2, 2, 2).intersects(*exposed);
}

double PainterContext::Impl::PenMargin(const State& s) const {
  const LogPen* lp = dc.PenOf(s.pen);
  return lp && lp->Type == PS_GEOMETRIC ? lp->Width * 5.0 + 1.0 : 0.0;
}

bool PainterContext::Impl::Prepare(const State& s, bool stroke, bool fill, Hatch* hatch) {
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
    p.setBrush(hasBrush ? BrushFor(s, *lb, InkColor(lb->Color, plan.ink)) : QBrush(Qt::NoBrush));
    brushKey = bk;
    // Patterns follow the colours and the brush origin of the moment.
    if (hasBrush && (lb->Style == BS_PATTERN || lb->Style == BS_DIBPATTERN)) brushKey.reset();
  }
  UseTransform();
  return true;
}

void PainterContext::Impl::UpdateClip(const State& s) {
  clip.device = device;
  ApplyClip(p, clip, s.clip.get());
  transformSet = false;
}

PainterContext::PainterContext(QPainter& painter) : PainterContext(painter, DeviceInfoOf(*painter.device())) {}

PainterContext::PainterContext(QPainter& painter, const DeviceInfo& device)
    : DeviceContext(device), impl_(std::make_unique<Impl>(*this, painter)) {
  SetTextMeasurer(&ScreenTextMeasurer());
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

bool PainterContext::ReadPixels(const Rect& rect, Bitmap32& out) const {
  QPaintDevice* target = impl_->p.device();
  if (!target || target->devType() != QInternal::Image) return false;
  const QTransform move = impl_->device * impl_->base;
  if (move.type() > QTransform::TxTranslate) return false;
  if (rect.right <= rect.left || rect.bottom <= rect.top) return false;
  const auto* image = static_cast<const QImage*>(target);
  const QPoint at = move.map(QPointF(static_cast<double>(rect.left), static_cast<double>(rect.top))).toPoint();
  const QRect wanted(at.x(), at.y(), static_cast<int>(rect.Width()), static_cast<int>(rect.Height()));
  if (rect.Width() > image->width() || rect.Height() > image->height() || !image->rect().contains(wanted)) return false;
  // Drawing so far is already in the image: the raster engine paints in place.
  Bitmap32 pixels = Bitmap32OfImage(image->copy(wanted));
  for (std::size_t i = 3; i < pixels.Bgra.size(); i += 4) pixels.Bgra[i] = 0xFF;
  out = std::move(pixels);
  return true;
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
    case Op::ExtTextOut: m.ExtText(s, c); break;
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
