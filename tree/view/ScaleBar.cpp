// The scale layer of the tree picture: a scale bar under trees drawn by
// branch length, a time axis (with an optional second row of time values)
// under linearized trees, and a scale along one radius in the circle style.
// Nothing is drawn for a cladogram.

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "platform/core/NumberFormat.h"
#include "tree/view/TreeDrawing_p.h"
#include "tree/view/TreeLayout.h"

namespace tree_picture {

namespace {

constexpr double kPi = std::numbers::pi;

// More ticks than this on one row come only from settings that make no
// sense (an interval far below the tree's length); such a row is left out.
constexpr double kMaxTicks = 10000;

// Decimals of a caption: the digits after its decimal separator.
int DecimalsOf(const std::string& caption, char separator) {
  std::size_t p = caption.find(separator);
  if (p == std::string::npos) p = caption.find('.');
  if (p == std::string::npos) return 0;
  return static_cast<int>(caption.size() - p - 1);
}

// The pen and the font of the scale, selected for the layer and given back
// afterwards with the text colour.
class ScaleObjects {
 public:
  ScaleObjects(DeviceContext& dc, const TTreeDisplay& d, std::int32_t escapement) : dc_(dc) {
    LogPen pen;
    pen.Type = PS_GEOMETRIC;
    pen.Style = PS_SOLID;
    pen.EndCap = PS_ENDCAP_SQUARE;
    pen.Join = PS_JOIN_ROUND;
    pen.Width = CheckedInt32(4 * Coord{d.ScalePen.Width});
    pen.Color = d.ScalePen.Color;
    pen_ = dc.ExtCreatePen(pen);
    font_ = dc.CreateFontIndirect(LogFontOf(d.ScaleFont, 4, escapement));
    oldPen_ = dc.SelectObject(pen_);
    oldFont_ = dc.SelectObject(font_);
    oldColor_ = dc.SetTextColor(d.ScaleFont.Color);
  }
  ~ScaleObjects() {
    dc_.SetTextColor(oldColor_);
    dc_.SelectObject(oldFont_);
    dc_.SelectObject(oldPen_);
    dc_.DeleteObject(font_);
    dc_.DeleteObject(pen_);
  }
  ScaleObjects(const ScaleObjects&) = delete;
  ScaleObjects& operator=(const ScaleObjects&) = delete;

 private:
  DeviceContext& dc_;
  PenHandle pen_, oldPen_;
  FontHandle font_, oldFont_;
  TColor oldColor_;
};

}  // namespace

void TTreeDrawer::DrawScale() {
  if (d_.Cladogram) return;
  if (d_.Linearized()) {
    if (!d_.ShowScale && !(HasTimeScale(d_) && d_.ShowTimeScale)) return;
  } else if (!d_.ShowScale || !(d_.ScaleLength > 0)) {
    return;
  }
  ScaleObjects objects(dc_, d_, 0);
  const Coord hs = Abs(d_.ScaleFont.Height);
  if (d_.Linearized())
    DrawTimeAxis(hs);
  else
    DrawScaleBar(hs);
}

void TTreeDrawer::DrawScaleBar(Coord hs) {
  const Coord L = R(d_.ScaleLength * d_.XScale);
  // From the picture's left edge: the tree's origin plays no part.
  const Coord x0 = RootStubShown() ? 340 : 240;
  const Coord y = 4 * Coord{d_.PictureHeight} - 4 * hs - 40;
  Line({x0, y}, {x0 + L, y});
  Line({x0, y - 16}, {x0, y + 16});
  Line({x0 + L, y - 16}, {x0 + L, y + 16});
  std::string caption = d_.ScaleText;
  if (!d_.ScaleUnit.empty()) caption += " " + d_.ScaleUnit;
  const Coord width = TextWidth4(d_.ScaleFont, caption);
  dc_.TextOut((2 * x0 + L - width) / 2, 4 * Coord{d_.PictureHeight} - 15, caption);
}

void TTreeDrawer::DrawTimeAxis(Coord hs) {
  const Coord pictureBottom = 4 * Coord{d_.PictureHeight};
  const Coord Y = pictureBottom - 4 * hs - 40;
  const double maxLength = d_.MaxLength;
  auto X = [&](double v) { return d_.Origin.x + R((maxLength - v) * d_.XScale); };
  const bool timeRow = HasTimeScale(d_) && d_.ShowTimeScale;
  Line({X(maxLength), Y}, {X(0), Y});

  // One row of ticks and labels; values in the row's own units, `factor`
  // of them per branch-length unit.
  struct Row {
    double interval, minor, factor;
    const std::string& caption;
    const std::string& unit;
    Coord majorFrom, majorTo, minorFrom, minorTo, labelBottom;
  };
  auto drawRow = [&](const Row& row) {
    const double limit = maxLength * row.factor;
    if (!(row.interval > 0) || !(limit / row.interval <= kMaxTicks)) return;
    const bool minors = row.minor > 0 && row.minor < row.interval && row.interval / row.minor <= kMaxTicks;
    const int d = DecimalsOf(row.caption, o_.DecimalSeparator);
    const Coord count = static_cast<Coord>(std::trunc(limit / row.interval));
    for (Coord k = 0; k <= count; ++k) {
      const double value = static_cast<double>(k) * row.interval;
      const Coord x = X(value / row.factor);
      Line({x, row.majorFrom}, {x, row.majorTo});
      if (minors) {
        const Coord steps = static_cast<Coord>(std::trunc(row.interval / row.minor));
        for (Coord j = 1; j <= steps && value + static_cast<double>(j) * row.minor <= limit; ++j) {
          const Coord xm = X((value + static_cast<double>(j) * row.minor) / row.factor);
          Line({xm, row.minorFrom}, {xm, row.minorTo});
        }
      }
      const std::string label = FloatToStrF(value, TFloatFormat::ffFixed, 15, d, o_.DecimalSeparator);
      const Coord width = TextWidth4(d_.ScaleFont, label);
      const Coord centre = 2 * d_.Origin.x + R(2 * (maxLength - value / row.factor) * d_.XScale);
      dc_.TextOut((centre - width) / 2, row.labelBottom, label);
    }
    if (!row.unit.empty()) {
      const std::string zero = FloatToStrF(0, TFloatFormat::ffFixed, 15, d, o_.DecimalSeparator);
      const Coord x = X(0) + 2 * Coord{m_.TextWidth(d_.ScaleFont, zero + "XXXXXX")};
      dc_.TextOut(x, row.labelBottom, row.unit);
    }
  };

  if (d_.ShowScale && d_.ScaleLength > 0) {
    drawRow({d_.ScaleLength, d_.ScaleMinorInterval, 1.0, d_.ScaleText, d_.ScaleUnit, timeRow ? Y : Y - 16, Y + 16,
             timeRow ? Y : Y - 12, Y + 12, pictureBottom - 15});
  }
  // A time row without a time factor has no positions; it is left out.
  if (timeRow && d_.TimeFactor != 0) {
    drawRow({d_.TimeInterval, d_.TimeMinorInterval, d_.TimeFactor, d_.TimeText, d_.TimeUnit, Y - 16, Y, Y - 12, Y,
             pictureBottom - 4 * hs - 65});
  }
}

void TTreeDrawer::DrawCircleScale() {
  if (d_.Cladogram || !d_.ShowScale || d_.ScaleLength == 0) return;
  const double s = (0.5 - d_.StartAngle / 6.0) * kPi;
  const double r0 = d_.CenterMargin * d_.Radius * 4 / 100.0;
  const double outer = 4.0 * d_.Radius;
  const Coord hs = Abs(d_.ScaleFont.Height);
  const TNode* F = d_.Root;
  while (!F->IsTip()) F = F->des1;
  if (F->IsGroup()) F = F->des1;
  const double a = static_cast<double>((F->hidden ? 6 : 4) * Abs(d_.WholeTree().NameFont.Height));
  const bool upper = std::sin(s) >= 0;
  const std::int32_t escapement = CheckedInt32(upper ? R((s / kPi + 1.5) * 1800) : R((s / kPi + 0.5) * 1800));
  ScaleObjects objects(dc_, d_, escapement);
  // A point `rho` along the scale's direction and `q` to its side.
  auto at = [&](Point base, double rho, double q) {
    return Point{base.x + R(std::cos(s) * rho + std::cos(s + kPi / 2) * q),
                 base.y - R(std::sin(s) * rho + std::sin(s + kPi / 2) * q)};
  };
  const int d = DecimalsOf(d_.ScaleText, o_.DecimalSeparator);
  const double h = static_cast<double>(hs);
  if (d_.isLinearized) {
    const double maxLength = d_.MaxLength;
    if (!(maxLength > 0) || !(maxLength / d_.ScaleLength <= kMaxTicks) || d_.ScaleLength < 0) return;
    const Point base = P(d_.CenterShift);
    const double inner = RootStubShown() ? r0 - 0.4 * d_.Radius : r0;
    Line(at(base, outer, a), at(base, inner, a));
    const double interval = d_.ScaleLength, minor = d_.ScaleMinorInterval;
    const bool minors = minor > 0 && minor < interval && interval / minor <= kMaxTicks;
    const Coord count = static_cast<Coord>(std::trunc(maxLength / interval));
    for (Coord k = 0; k <= count; ++k) {
      const double value = static_cast<double>(k) * interval;
      const double rho = outer - (outer - r0) * value / maxLength;
      Line(at(base, rho, a + 2 * h), at(base, rho, a));
      if (minors) {
        const Coord steps = static_cast<Coord>(std::trunc(interval / minor));
        for (Coord j = 1; j <= steps && value + static_cast<double>(j) * minor <= maxLength; ++j) {
          const double rm = outer - (outer - r0) * (value + static_cast<double>(j) * minor) / maxLength;
          Line(at(base, rm, a + 4 * h / 3), at(base, rm, a));
        }
      }
      const std::string label = FloatToStrF(value, TFloatFormat::ffFixed, 15, d, o_.DecimalSeparator);
      const double w = static_cast<double>(TextWidth4(d_.ScaleFont, label));
      const Point p = upper ? at(base, rho - 2 * h, a + 3 * h + w) : at(base, rho + 2 * h, a + 3 * h);
      dc_.TextOut(p.x, p.y, label);
    }
    return;
  }
  // A bar from the first tip inwards, beside its name.
  const Point base = P(F->position);
  const double L = d_.ScaleLength * d_.XScale;
  Line(at(base, 0, a), at(base, -L, a));
  Line(at(base, 0, a + 2 * h), at(base, 0, a));
  Line(at(base, -L, a + 2 * h), at(base, -L, a));
  const std::string caption = FloatToStrF(d_.ScaleLength, TFloatFormat::ffFixed, 15, d, o_.DecimalSeparator);
  const double w = static_cast<double>(TextWidth4(d_.ScaleFont, caption));
  const Point p = upper ? at(base, -(L + 4 * h) / 2, h + a + w) : at(base, -(L - 4 * h) / 2, h + a);
  dc_.TextOut(p.x, p.y, caption);
}

}  // namespace tree_picture
