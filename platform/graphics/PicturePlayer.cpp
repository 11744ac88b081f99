#include "platform/graphics/PicturePlayer.h"

#include <QPainter>
#include <QTransform>

#include "platform/graphics/PainterContext.h"

void PlayPicture(const Picture& picture, QPainter& painter, const Rect& destination,
                 std::optional<QRectF> exposed) {
  if (picture.IsNull()) return;
  const Rect frame = picture.FramePixels();
  if (frame.Width() == 0 || frame.Height() == 0) return;
  const double sx = static_cast<double>(destination.Width()) / static_cast<double>(frame.Width());
  const double sy = static_cast<double>(destination.Height()) / static_cast<double>(frame.Height());
  const QTransform deviceToPainter =
      QTransform::fromTranslate(static_cast<double>(-frame.left), static_cast<double>(-frame.top)) *
      QTransform::fromScale(sx, sy) *
      QTransform::fromTranslate(static_cast<double>(destination.left), static_cast<double>(destination.top));
  PainterContext context(painter);
  context.SetDeviceTransform(deviceToPainter);
  if (exposed) context.SetExposedRect(*exposed);
  picture.Replay(context);
}
