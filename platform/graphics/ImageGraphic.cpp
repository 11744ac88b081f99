#include "platform/graphics/ImageGraphic.h"

#include <QBuffer>
#include <algorithm>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageCodec.h"

bool TPngImage::Recognises(std::span<const std::uint8_t> bytes) const {
  static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return bytes.size() >= 8 && std::equal(kSignature, kSignature + 8, bytes.begin());
}

bool TJPEGImage::Recognises(std::span<const std::uint8_t> bytes) const { return IsJPEGStream(bytes); }

void TImageGraphic::LoadFromBytes(std::span<const std::uint8_t> bytes) {
  if (!Recognises(bytes)) throw Exception(invalidText_);
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
