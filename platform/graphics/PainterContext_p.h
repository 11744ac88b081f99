#pragma once
// The drawing state of PainterContext and its steps, split by what they draw:
// shapes (PainterShapes.cpp), text, bitmaps and blits (PainterText.cpp), the
// rest in PainterContext.cpp.

#include <QFont>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>

#include "platform/graphics/PainterContext.h"
#include "platform/graphics/PainterObjects_p.h"

struct PainterContext::Impl {
  using Mode = QPainter::CompositionMode;

  // The Qt pen or brush last set, so that it is made only when it changes.
  struct PenKey {
    std::uint32_t id = 0;
    Ink ink = Ink::Pen;
    bool operator==(const PenKey&) const = default;
  };

  struct FontEntry {
    QFont font;  // everything but the size
    double em;   // character height in logical units
  };

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
  void UpdateTransform(const State& s);
  void UseTransform();
  void UpdateBackground(const State& s);
  void SetMode(Mode m);

  // Whether a shape within `box` (logical) widened by `margin` can reach the
  // exposed rectangle.
  bool Reaches(QRectF box, double margin) const;
  double PenMargin(const State& s) const;

  // A hatch that the shape's caller draws itself (see FillHatch).
  struct Hatch {
    bool pending = false;
    HatchStyle style = HS_HORIZONTAL;
    QColor color;
  };

  // Sets pen, brush and mixing for a shape; false when nothing would show.
  // A hatched brush on a device that is not a raster image is left to the
  // caller through `hatch`.
  bool Prepare(const State& s, bool stroke, bool fill, Hatch* hatch = nullptr);

  // Hatch lines one reference pixel wide and eight apart (at 96 pixels per
  // inch), drawn inside `shape` (logical units) in device space: vector
  // devices have no pixel patterns, and a printer's own pixels would make
  // the hatch too fine to see. Each line is cut to the parts inside the shape
  // (odd-even rule) rather than clipped, since not every vector device
  // keeps clip paths.
  void FillHatch(const State& s, const QPainterPath& shape, const Hatch& hatch);
  const QPolygonF& PolygonOf(std::span<const PointI> points);
  void Lines(const State& s, std::span<const PointI> points);
  void Polygon(const State& s, std::span<const PointI> points);
  void Bezier(const State& s, std::span<const PointI> points);
  void Ellipse(const State& s, const QRectF& r);
  void Rectangle(const State& s, const QRectF& r);
  void Arc(const State& s, const QRectF& r, const PointI& from, const PointI& to);
  // The Qt brush of `lb` in `color`; pattern brushes are laid from the
  // brush origin in device pixels for the world transform `full`.
  QBrush BrushFor(const State& s, const LogBrush& lb, const QColor& color) const;
  void FillRect(const State& s, const QRectF& r, std::uint32_t brushId);

  // PATCOPY and PATINVERT with the selected brush (PATINVERT copies on a
  // device without raster operations), DSTINVERT (nothing there),
  // BLACKNESS, WHITENESS.
  void PatBlt(const State& s, const Command& c);

  // SRCPAINT, SRCAND and SRCINVERT copy on a device without raster
  // operations.
  void Blit(const Command& c);
  void UpdateClip(const State& s);
  const FontEntry& FontFor(const State& s, const LogFont& lf);
  // With advances (logical units, one per code point) each character is
  // placed on its own.
  void Text(const State& s, std::int32_t x, std::int32_t y, std::string_view utf8,
            std::span<const std::int32_t> advances = {});
  // ExtTextOut: the opaque rectangle, then the text clipped to it.
  void ExtText(const State& s, const Command& c);
  void Bitmap(const Command& c);
};
