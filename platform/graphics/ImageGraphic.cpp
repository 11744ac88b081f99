#include "platform/graphics/ImageGraphic.h"

#include <QBuffer>
#include <algorithm>
#include <string_view>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageCodec.h"

namespace {
// Qt's reader falls back to any format it recognises; a graphic reads its
// own only.
bool StartsAs(std::span<const std::uint8_t> bytes, std::string_view format) {
  static constexpr std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (format == "PNG") return bytes.size() >= 8 && std::equal(kPng, kPng + 8, bytes.begin());
  return IsJPEGStream(bytes);
}
}  // namespace

void TImageGraphic::LoadFromBytes(std::span<const std::uint8_t> bytes) {
  if (!StartsAs(bytes, format_)) throw Exception(invalidText_);
  std::optional<QImage> image = ReadImage(bytes, format_);
  if (!image) throw Exception(invalidText_);
  image_ = image->convertToFormat(QImage::Format_ARGB32);
  bytes_.assign(bytes.begin(), bytes.end());
}

void TImageGraphic::SetImage(const QImage& image) {
  if (image.width() > kMaxImageSide || image.height() > kMaxImageSide) throw ERangeError();
  if (image.isNull()) {
    image_ = QImage();
    bytes_.clear();
    return;
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format_);
  image_ = image.convertToFormat(QImage::Format_ARGB32);
  bytes_.assign(bytes.begin(), bytes.end());
}

void TImageGraphic::Draw(TCanvas& canvas, const Rect& rect) const {
  if (image_.isNull() || rect.right <= rect.left || rect.bottom <= rect.top) return;
  const Bitmap32 pixels = Bitmap32OfImage(image_);
  const BlitMask mask = AlphaMaskOf(image_);
  canvas.Handle().StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), pixels, 0, 0, Width(), Height(), SRCCOPY,
                             &mask);
}
