// Pixel-snapped fills, blit sources and the clip of PainterContext.

#include <QPainter>
#include <QRegion>
#include <cmath>

#include "platform/graphics/PainterObjects_p.h"

void FillSnapped(QPainter& painter, const QTransform& full, const QRectF& rect, const QBrush& brush) {
  if (full.type() <= QTransform::TxScale) {
    // Whole pixels: edges rounded, left and top in, right and bottom out.
    const QRectF d = full.mapRect(rect);
    const QRect pixels(
        QPoint(static_cast<int>(std::lround(d.left())), static_cast<int>(std::lround(d.top()))),
        QPoint(static_cast<int>(std::lround(d.right())) - 1, static_cast<int>(std::lround(d.bottom())) - 1));
    painter.setWorldTransform(QTransform());
    if (brush.style() == Qt::TexturePattern) {
      QBrush laid = brush;
      laid.setTransform(brush.transform() * full);
      painter.fillRect(pixels, laid);
    } else {
      painter.fillRect(pixels, brush);
    }
  } else {
    painter.setWorldTransform(full);
    painter.fillRect(rect, brush);
  }
}

void ApplyClip(QPainter& painter, const ClipSetting& setting, const std::vector<Rect>* clip) {
  painter.setWorldTransform(setting.base);
  // Each step replaces what was there. Turning clipping off before setting a
  // new clip is avoided: after that, Qt 6's raster engine fills patterns in
  // transparent background mode without a complex clip.
  if (setting.initial)
    painter.setClipRegion(*setting.initial, Qt::ReplaceClip);
  else if (!setting.exposed && !clip)
    painter.setClipping(false);
  if (setting.exposed) painter.setClipRect(*setting.exposed, setting.initial ? Qt::IntersectClip : Qt::ReplaceClip);
  if (!clip) return;
  QRegion region;
  for (const Rect& r : *clip)
    region += QRect(static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.Width()),
                    static_cast<int>(r.Height()));
  painter.setWorldTransform(setting.device * setting.base);
  // An empty region turns clipping off in Qt; an empty rectangle clips all.
  if (region.isEmpty())
    painter.setClipRect(QRect(0, 0, 0, 0), setting.initial || setting.exposed ? Qt::IntersectClip : Qt::ReplaceClip);
  else
    painter.setClipRegion(region, setting.initial || setting.exposed ? Qt::IntersectClip : Qt::ReplaceClip);
}

QImage PatternTile(const LogBrush& brush, TColor text, TColor background) {
  if (brush.Style == BS_DIBPATTERN) {
    const Bitmap32& b = brush.Image;
    return QImage(b.Bgra.data(), b.Width, b.Height, b.Width * 4, QImage::Format_RGB32).copy();
  }
  if (brush.Style != BS_PATTERN) return {};
  const BlitMask& m = brush.Pattern;
  QImage tile(m.Width, m.Height, QImage::Format_RGB32);
  const QRgb set = InkColor(text, Ink::Pen).rgb(), clear = InkColor(background, Ink::Pen).rgb();
  for (int y = 0; y < m.Height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(tile.scanLine(y));
    for (int x = 0; x < m.Width; ++x) line[x] = m.Bits[static_cast<std::size_t>(y) * m.Width + x] ? set : clear;
  }
  return tile;
}

QImage BlitSource(const Bitmap32& image, PointI at, PointI size, const BlitMask* mask, std::uint32_t rop) {
  // Format_RGB32 keeps the bytes in blue, green, red, unused order.
  const QImage whole(image.Bgra.data(), image.Width, image.Height, image.Width * 4, QImage::Format_RGB32);
  QImage part = whole.copy(at.x, at.y, size.x, size.y);
  if (!mask) return part;
  // Masked-out pixels become what leaves the destination alone: transparent
  // for a copy, white for an and, black for an or and a xor.
  part = part.convertToFormat(QImage::Format_ARGB32);
  const QRgb keep = rop == SRCCOPY ? qRgba(0, 0, 0, 0) : rop == SRCAND ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
  for (int y = 0; y < size.y; ++y) {
    const std::uint8_t* bits = mask->Bits.data() + static_cast<std::size_t>(at.y + y) * mask->Width + at.x;
    auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
    for (int x = 0; x < size.x; ++x)
      if (!bits[x]) line[x] = keep;
  }
  return part;
}
