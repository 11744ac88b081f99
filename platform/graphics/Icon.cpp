#include "platform/graphics/Icon.h"

#include "platform/core/Exceptions.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageCodec.h"

void TIcon::LoadFromBytes(std::span<const std::uint8_t> bytes) {
  // An icon file starts with reserved 0, type 1 and at least one image.
  if (bytes.size() < 6 || bytes.size() > static_cast<size_t>(INT32_MAX) || bytes[0] != 0 || bytes[1] != 0 ||
      bytes[2] != 1 || bytes[3] != 0 || (bytes[4] == 0 && bytes[5] == 0))
    throw Exception(kInvalidIconText);
  std::optional<QImage> image = ReadImage(bytes, "ICO");
  if (!image) throw Exception(kInvalidIconText);
  image_ = image->convertToFormat(QImage::Format_ARGB32);
  bytes_.assign(bytes.begin(), bytes.end());
}

void TIcon::Draw(TCanvas& canvas, const Rect& rect) const {
  if (image_.isNull() || rect.right <= rect.left || rect.bottom <= rect.top) return;
  const Bitmap32 pixels = Bitmap32OfImage(image_);
  const BlitMask mask = AlphaMaskOf(image_);
  canvas.Handle().StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), pixels, 0, 0, Width(), Height(), SRCCOPY,
                             &mask);
}
