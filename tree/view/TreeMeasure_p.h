#pragma once
// Text measurement as the tree layouts use it: pixel widths as 64-bit
// coordinates, so sums of label sizes cannot overflow.

#include <string_view>

#include "platform/graphics/Geometry.h"
#include "platform/graphics/TextMeasurer.h"

inline Coord TextWidthPx(const TextMeasurer& measurer, const TFontData& font, std::string_view text) {
  return measurer.TextWidth(font, text);
}
