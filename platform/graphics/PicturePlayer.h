#pragma once
// Playing a picture onto a QPainter: a window in its paint event, a QImage, a
// printer page, an SVG or PDF generator.

#include <QRectF>
#include <optional>

#include "platform/graphics/Picture.h"

class QPainter;

// Draws `picture` so that its frame (FramePixels) fills `destination`
// (painter coordinates; right and bottom are the far edges, so the width is
// right - left): each axis is scaled on its own by destination size / frame
// size. With `exposed` (painter coordinates) drawing is clipped to it and
// calls that cannot reach it are skipped. A null picture or one with an empty
// frame draws nothing. The painter's state is left as it was.
void PlayPicture(const Picture& picture, QPainter& painter, const Rect& destination,
                 std::optional<QRectF> exposed = std::nullopt);
