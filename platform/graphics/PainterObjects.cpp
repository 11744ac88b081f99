#include "platform/graphics/PainterObjects_p.h"

#include <algorithm>

namespace {

// Qt's limit for pen widths.
constexpr std::int32_t kMaxPenWidth = 32767;

Qt::BrushStyle HatchPattern(HatchStyle hatch) {
  switch (hatch) {
    case HS_HORIZONTAL: return Qt::HorPattern;
    case HS_VERTICAL: return Qt::VerPattern;
    case HS_FDIAGONAL: return Qt::FDiagPattern;
    case HS_BDIAGONAL: return Qt::BDiagPattern;
    case HS_CROSS: return Qt::CrossPattern;
    case HS_DIAGCROSS: return Qt::DiagCrossPattern;
  }
  return Qt::HorPattern;
}

}  // namespace

RopPlan PlanFor(Rop2 rop, bool rasterOps) {
  switch (rop) {
    case R2_NOP: return {false};
    case R2_COPYPEN: return {};
    case R2_BLACK: return {true, QPainter::CompositionMode_SourceOver, Ink::Black};
    case R2_WHITE: return {true, QPainter::CompositionMode_SourceOver, Ink::White};
    case R2_NOTCOPYPEN: return {true, QPainter::CompositionMode_SourceOver, Ink::Inverted};
    default: break;
  }
  if (!rasterOps) return {};
  switch (rop) {
    case R2_NOTMERGEPEN: return {true, QPainter::RasterOp_NotSourceAndNotDestination};
    case R2_MASKNOTPEN: return {true, QPainter::RasterOp_NotSourceAndDestination};
    case R2_MASKPENNOT: return {true, QPainter::RasterOp_SourceAndNotDestination};
    case R2_NOT: return {true, QPainter::RasterOp_NotDestination};
    case R2_XORPEN: return {true, QPainter::RasterOp_SourceXorDestination};
    case R2_NOTMASKPEN: return {true, QPainter::RasterOp_NotSourceOrNotDestination};
    case R2_MASKPEN: return {true, QPainter::RasterOp_SourceAndDestination};
    case R2_NOTXORPEN: return {true, QPainter::RasterOp_NotSourceXorDestination};
    case R2_MERGENOTPEN: return {true, QPainter::RasterOp_NotSourceOrDestination};
    case R2_MERGEPENNOT: return {true, QPainter::RasterOp_SourceOrNotDestination};
    case R2_MERGEPEN: return {true, QPainter::RasterOp_SourceOrDestination};
    default: return {};
  }
}

QColor InkColor(TColor rgb, Ink ink) {
  switch (ink) {
    case Ink::Black: return QColor(0, 0, 0);
    case Ink::White: return QColor(255, 255, 255);
    case Ink::Inverted: return QColor(255 - GetRValue(rgb), 255 - GetGValue(rgb), 255 - GetBValue(rgb));
    case Ink::Pen: break;
  }
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QPen MakePen(const LogPen& lp, const QColor& color) {
  if (lp.Style == PS_NULL) return QPen(Qt::NoPen);
  QPen pen(color);
  if (lp.Type == PS_COSMETIC || lp.Width <= 0) {
    pen.setCosmetic(true);
    pen.setWidthF(1.0);
    pen.setCapStyle(Qt::FlatCap);  // the end pixel stays out, as the platform draws lines
    pen.setJoinStyle(Qt::MiterJoin);
    switch (lp.Style) {
      case PS_DASH: pen.setDashPattern({18, 6}); break;
      case PS_DOT: pen.setDashPattern({3, 3}); break;
      case PS_DASHDOT: pen.setDashPattern({9, 6, 3, 6}); break;
      case PS_DASHDOTDOT: pen.setDashPattern({9, 3, 3, 3, 3, 3}); break;
      default: break;
    }
    return pen;
  }
  pen.setWidthF(std::min(lp.Width, kMaxPenWidth));
  pen.setCapStyle(lp.EndCap == PS_ENDCAP_SQUARE ? Qt::SquareCap
                  : lp.EndCap == PS_ENDCAP_FLAT ? Qt::FlatCap
                                                : Qt::RoundCap);
  pen.setJoinStyle(lp.Join == PS_JOIN_MITER ? Qt::MiterJoin
                   : lp.Join == PS_JOIN_BEVEL ? Qt::BevelJoin
                                              : Qt::RoundJoin);
  // A mitre may reach 10 pen widths from the inner corner to the tip, that is
  // 5 widths from the join point as Qt counts.
  pen.setMiterLimit(5.0);
  QList<qreal> pattern;
  switch (lp.Style) {
    case PS_DASH: pattern = {3, 1}; break;
    case PS_DOT: pattern = {1, 1}; break;
    case PS_DASHDOT: pattern = {3, 1, 1, 1}; break;
    case PS_DASHDOTDOT: pattern = {3, 1, 1, 1, 1, 1}; break;
    default: break;
  }
  if (!pattern.isEmpty()) {
    // Caps lengthen every dash by half a width at each end; the pattern gives
    // the lengths as seen, so take the caps off the dashes and add them to
    // the gaps.
    if (lp.EndCap != PS_ENDCAP_FLAT)
      for (qsizetype i = 0; i < pattern.size(); ++i)
        pattern[i] = i % 2 == 0 ? std::max(pattern[i] - 1.0, 1e-4) : pattern[i] + 1.0;
    pen.setDashPattern(pattern);
  }
  return pen;
}

QBrush MakeBrush(const LogBrush& lb, const QColor& color) {
  switch (lb.Style) {
    case BS_NULL: return QBrush(Qt::NoBrush);
    case BS_HATCHED: return QBrush(color, HatchPattern(lb.Hatch));
    case BS_PATTERN:  // laid out by the painter context (PatternTile)
    case BS_DIBPATTERN:
    case BS_SOLID: break;
  }
  return QBrush(color);
}
