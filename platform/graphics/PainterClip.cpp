// Pixel-snapped fills and the clip of PainterContext.

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
    painter.fillRect(pixels, brush);
  } else {
    painter.setWorldTransform(full);
    painter.fillRect(rect, brush);
  }
}

void ApplyClip(QPainter& painter, const ClipSetting& setting, const std::vector<Rect>* clip) {
  painter.setWorldTransform(setting.base);
  if (setting.initial)
    painter.setClipRegion(*setting.initial, Qt::ReplaceClip);
  else
    painter.setClipping(false);
  if (setting.exposed) painter.setClipRect(*setting.exposed, Qt::IntersectClip);
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
