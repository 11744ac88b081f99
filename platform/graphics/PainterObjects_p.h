#pragma once
// Pens, brushes and raster operations of a device context in Qt form (used by
// PainterContext only).

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QTransform>
#include <optional>
#include <vector>

#include "platform/graphics/DeviceTypes.h"
#include "platform/graphics/Geometry.h"

// What a raster operation makes of the pen or brush colour, and how it mixes.
enum class Ink : std::uint8_t { Pen, Black, White, Inverted };
struct RopPlan {
  bool draw = true;
  QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
  Ink ink = Ink::Pen;
};

// How to draw with `rop`: R2_NOP draws nothing; R2_BLACK, R2_WHITE and
// R2_NOTCOPYPEN copy a fixed or inverted colour; the mixing operations need a
// device with raster operations and copy the pen colour elsewhere.
RopPlan PlanFor(Rop2 rop, bool rasterOps);

QColor InkColor(TColor rgb, Ink ink);

// The Qt pen of a logical pen in `color` (see LogPen for the dash lengths,
// caps, joins and the width limit).
QPen MakePen(const LogPen& pen, const QColor& color);

// The Qt brush of a logical brush in `color`: hatches as Qt's 8-pixel
// patterns, which match the platform's on raster devices; pattern brushes
// as solid `color` (see PatternTile).
QBrush MakeBrush(const LogBrush& brush, const QColor& color);

// The tile of a BS_PATTERN brush (set pixels in `text`, clear ones in
// `background`) or of a BS_DIBPATTERN brush; a null image for other kinds.
QImage PatternTile(const LogBrush& brush, TColor text, TColor background);

// Fills `rect` (logical) mapped by `full`; on a grid-aligned mapping in whole
// device pixels, left and top edges in, right and bottom out. A texture
// brush is taken as laid out for the world transform `full`. Leaves the
// painter's world transform changed.
void FillSnapped(QPainter& painter, const QTransform& full, const QRectF& rect, const QBrush& brush);

// The part of `image` a blit draws; with a mask, the pixels left out are
// made to leave the destination as it is under `rop`.
QImage BlitSource(const Bitmap32& image, PointI at, PointI size, const BlitMask* mask, std::uint32_t rop);

// What a device context's clip is combined with: the painter's own clip when
// the context began, the exposed rectangle (both in the painter's own
// coordinates `base`), and where device pixels land (`device`).
struct ClipSetting {
  QTransform base;
  QTransform device;
  std::optional<QRegion> initial;
  std::optional<QRectF> exposed;
};
// Sets the painter's clip to the setting and the device clip (device
// pixels; nullptr for none). Leaves the world transform changed.
void ApplyClip(QPainter& painter, const ClipSetting& setting, const std::vector<Rect>* clip);
