#include "platform/graphics/ImageCodec.h"

#include <QBuffer>
#include <QImageReader>

#include "platform/core/Exceptions.h"

void TImageBudget::Take(int width, int height) {
  if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) throw ERangeError();
  const std::int64_t bytes = std::int64_t{width} * height * 3;
  if (bytes > left_) throw ERangeError();
  left_ -= bytes;
}

std::optional<QImage> ReadImage(std::span<const std::uint8_t> bytes, const char* format, TImageBudget* budget) {
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT32_MAX)) return std::nullopt;
  const QByteArray data =
      QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format ? QByteArray(format) : QByteArray());
  // The header's size is checked before a single pixel is decoded.
  const QSize size = reader.size();
  if (!size.isValid()) return std::nullopt;
  TImageBudget own;
  (budget ? *budget : own).Take(size.width(), size.height());
  QImage image;
  if (!reader.read(&image) || image.isNull() || image.size() != size) return std::nullopt;
  return image;
}

Bitmap24 DecodeImage(std::span<const std::uint8_t> bytes, TImageBudget* budget) {
  std::optional<QImage> read = ReadImage(bytes, nullptr, budget);
  if (!read) throw Exception(kInvalidPictureText);
  QImage image = std::move(*read);
  if (image.hasAlphaChannel()) {
    QImage flat(image.size(), QImage::Format_RGB888);
    // Transparent parts are laid over white, the colour of the tree's page.
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
      const QRgb* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      uchar* dst = flat.scanLine(y);
      for (int x = 0; x < image.width(); ++x) {
        const int a = qAlpha(src[x]);
        dst[3 * x + 0] = static_cast<uchar>((qRed(src[x]) * a + 255 * (255 - a)) / 255);
        dst[3 * x + 1] = static_cast<uchar>((qGreen(src[x]) * a + 255 * (255 - a)) / 255);
        dst[3 * x + 2] = static_cast<uchar>((qBlue(src[x]) * a + 255 * (255 - a)) / 255);
      }
    }
    image = flat;
  } else {
    image = image.convertToFormat(QImage::Format_RGB888);
  }
  Bitmap24 bitmap;
  bitmap.Width = image.width();
  bitmap.Height = image.height();
  bitmap.Bgr.resize(static_cast<size_t>(bitmap.Width) * bitmap.Height * 3);
  for (int y = 0; y < image.height(); ++y) {
    const uchar* src = image.constScanLine(y);
    std::uint8_t* dst = &bitmap.Bgr[static_cast<size_t>(y) * bitmap.Width * 3];
    for (int x = 0; x < image.width(); ++x) {
      dst[3 * x + 0] = src[3 * x + 2];
      dst[3 * x + 1] = src[3 * x + 1];
      dst[3 * x + 2] = src[3 * x + 0];
    }
  }
  return bitmap;
}

std::vector<std::uint8_t> EncodeBitmapStream(const Bitmap24& bitmap) {
  if (!bitmap.IsValid()) return {};
  QImage image(bitmap.Width, bitmap.Height, QImage::Format_RGB888);
  for (int y = 0; y < bitmap.Height; ++y) {
    const std::uint8_t* src = &bitmap.Bgr[static_cast<size_t>(y) * bitmap.Width * 3];
    uchar* dst = image.scanLine(y);
    for (int x = 0; x < bitmap.Width; ++x) {
      dst[3 * x + 0] = src[3 * x + 2];
      dst[3 * x + 1] = src[3 * x + 1];
      dst[3 * x + 2] = src[3 * x + 0];
    }
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "BMP")) return {};
  return {bytes.begin(), bytes.end()};
}

bool IsJPEGStream(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

Bitmap32 Bitmap32OfImage(const QImage& image) {
  Bitmap32 result;
  if (image.isNull()) return result;
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  result.Width = argb.width();
  result.Height = argb.height();
  result.Bgra.resize(static_cast<size_t>(result.Width) * result.Height * 4);
  for (int y = 0; y < result.Height; ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    std::uint8_t* out = &result.Bgra[static_cast<size_t>(y) * result.Width * 4];
    for (int x = 0; x < result.Width; ++x) {
      out[4 * x + 0] = static_cast<std::uint8_t>(qBlue(row[x]));
      out[4 * x + 1] = static_cast<std::uint8_t>(qGreen(row[x]));
      out[4 * x + 2] = static_cast<std::uint8_t>(qRed(row[x]));
      out[4 * x + 3] = static_cast<std::uint8_t>(qAlpha(row[x]));
    }
  }
  return result;
}

BlitMask AlphaMaskOf(const QImage& image) {
  BlitMask mask;
  if (image.isNull()) return mask;
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  mask.Width = argb.width();
  mask.Height = argb.height();
  mask.Bits.resize(static_cast<size_t>(mask.Width) * mask.Height);
  for (int y = 0; y < mask.Height; ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (int x = 0; x < mask.Width; ++x) mask.Bits[static_cast<size_t>(y) * mask.Width + x] = qAlpha(row[x]) >= 128;
  }
  return mask;
}
