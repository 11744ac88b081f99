#include "platform/graphics/DeviceTypes.h"

#include <algorithm>

#include "platform/core/NumberFormat.h"

DeviceInfo DeviceInfoFromPixels(std::int32_t width, std::int32_t height, std::int32_t pixelsPerInch) {
  const std::int32_t dpi = pixelsPerInch > 0 ? pixelsPerInch : kDefaultPixelsPerInch;
  DeviceInfo info;
  info.HorzRes = width;
  info.VertRes = height;
  // 254 tenths of a millimetre to the inch.
  info.HorzSize = MulDiv(width, 254, dpi * 10);
  info.VertSize = MulDiv(height, 254, dpi * 10);
  info.LogPixelsX = dpi;
  info.LogPixelsY = dpi;
  return info;
}

bool Bitmap24::IsValid() const {
  if (Width <= 0 || Height <= 0) return false;
  const std::uint64_t bytes = static_cast<std::uint64_t>(Width) * static_cast<std::uint64_t>(Height) * 3u;
  return Bgr.size() == bytes;
}

LogPen SimpleLogPen(PenDashStyle style, std::int32_t width, TColor color) {
  LogPen p;
  p.Width = std::max(width, 0);
  p.Color = color;
  p.Style = style;
  if (p.Width > 1) {
    p.Type = PS_GEOMETRIC;
    if (style != PS_NULL && style != PS_INSIDEFRAME) p.Style = PS_SOLID;
  }
  return p;
}

bool Bitmap32::IsValid() const {
  return Width > 0 && Height > 0 && Bgra.size() == static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height) * 4;
}

bool BlitMask::IsValid() const {
  return Width > 0 && Height > 0 && Bits.size() == static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height);
}
