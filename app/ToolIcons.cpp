#include "app/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QIcon ToolIcon(TToolGlyph glyph) {
  QPixmap pixmap(18, 18);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QPen pen(QColor(0x20, 0x20, 0x20), 1.4);
  p.setPen(pen);
  const QColor accent(0x1F, 0x5F, 0xA8);
  auto tree = [&](bool radiation) {
    if (radiation) {
      QPointF c(9, 9);
      for (QPointF t : {QPointF(2, 3), QPointF(16, 3), QPointF(2, 15), QPointF(16, 15), QPointF(9, 17)})
        p.drawLine(c, t);
    } else {
      p.drawLine(2, 9, 6, 9);
      p.drawLine(6, 4, 6, 14);
      p.drawLine(6, 4, 16, 4);
      p.drawLine(6, 14, 10, 14);
      p.drawLine(10, 11, 10, 17);
      p.drawLine(10, 11, 16, 11);
      p.drawLine(10, 17, 16, 17);
    }
  };
  switch (glyph) {
    case TToolGlyph::Save:
      p.setBrush(accent);
      p.drawRect(QRectF(2.5, 2.5, 13, 13));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(5, 2.5, 8, 5));
      p.drawRect(QRectF(5, 10, 8, 5.5));
      break;
    case TToolGlyph::Print:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(5, 2, 8, 5));
      p.setBrush(QColor(0xB0, 0xB0, 0xB0));
      p.drawRect(QRectF(2, 7, 14, 6));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(5, 11, 8, 5));
      break;
    case TToolGlyph::Copy:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2.5, 2.5, 9, 11));
      p.drawRect(QRectF(6.5, 5.5, 9, 11));
      break;
    case TToolGlyph::Root:
      tree(false);
      p.setBrush(accent);
      p.setPen(Qt::NoPen);
      p.drawEllipse(QPointF(3, 9), 2.5, 2.5);
      break;
    case TToolGlyph::Flip: {
      tree(false);
      p.setPen(QPen(accent, 1.6));
      p.drawLine(QPointF(1, 2), QPointF(1, 16));
      break;
    }
    case TToolGlyph::Swap: {
      p.setPen(QPen(accent, 1.6));
      QPainterPath arrow;
      arrow.moveTo(4, 14);
      arrow.cubicTo(2, 6, 8, 3, 13, 4);
      p.drawPath(arrow);
      p.drawLine(QPointF(13, 4), QPointF(10, 2));
      p.drawLine(QPointF(13, 4), QPointF(10, 6.5));
      p.setPen(pen);
      p.drawLine(8, 16, 16, 16);
      p.drawLine(8, 11, 16, 11);
      break;
    }
    case TToolGlyph::Rectangle: tree(false); break;
    case TToolGlyph::Radiation: tree(true); break;
    case TToolGlyph::Width:
      p.drawLine(2, 9, 16, 9);
      p.drawLine(2, 9, 5, 6);
      p.drawLine(2, 9, 5, 12);
      p.drawLine(16, 9, 13, 6);
      p.drawLine(16, 9, 13, 12);
      break;
    case TToolGlyph::Height:
      p.drawLine(9, 2, 9, 16);
      p.drawLine(9, 2, 6, 5);
      p.drawLine(9, 2, 12, 5);
      p.drawLine(9, 16, 6, 13);
      p.drawLine(9, 16, 12, 13);
      break;
  }
  return QIcon(pixmap);
}
