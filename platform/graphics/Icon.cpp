#include "platform/graphics/Icon.h"

#include <QBuffer>
#include <QImageReader>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Bitmap.h"

void TIcon::LoadFromBytes(std::span<const std::uint8_t> bytes) {
  // An icon file starts with reserved 0, type 1 and at least one image.
  if (bytes.size() < 6 || bytes.size() > static_cast<size_t>(INT32_MAX) || bytes[0] != 0 || bytes[1] != 0 ||
      bytes[2] != 1 || bytes[3] != 0 || (bytes[4] == 0 && bytes[5] == 0))
    throw Exception(kInvalidIconText);
  QByteArray data =
      QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ICO");
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > kMaxBitmapSide || size.height() > kMaxBitmapSide)) throw ERangeError();
  QImage image;
  if (!reader.read(&image) || image.isNull()) throw Exception(kInvalidIconText);
  if (image.width() > kMaxBitmapSide || image.height() > kMaxBitmapSide) throw ERangeError();
  image_ = image.convertToFormat(QImage::Format_ARGB32);
  bytes_.assign(bytes.begin(), bytes.end());
}
