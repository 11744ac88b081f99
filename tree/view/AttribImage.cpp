#include "tree/view/AttribImage.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include "platform/core/Exceptions.h"
#include "tree/view/NodeAttrib.h"

void TImageBudget::Take(int width, int height) {
  if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) throw ERangeError();
  const std::int64_t bytes = std::int64_t{width} * height * 3;
  if (bytes > left_) throw ERangeError();
  left_ -= bytes;
}

Bitmap24 DecodeImage(std::span<const std::uint8_t> bytes, TImageBudget* budget) {
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT32_MAX)) throw Exception(kInvalidImageText);
  const QByteArray data =
      QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  // The header's size is checked before a single pixel is decoded.
  const QSize size = reader.size();
  if (!size.isValid()) throw Exception(kInvalidImageText);
  TImageBudget own;
  (budget ? *budget : own).Take(size.width(), size.height());
  QImage image;
  if (!reader.read(&image) || image.isNull() || image.size() != size) throw Exception(kInvalidImageText);
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

bool LoadAttribImage(TNodeAttrib& attrib, const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray data = file.readAll();
  std::vector<std::uint8_t> bytes(data.begin(), data.end());
  const int kind = IsJPEGStream(bytes) ? 1 : 0;
  try {
    SetAttribImage(attrib, std::move(bytes), kind);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

void SetAttribImage(TNodeAttrib& attrib, std::vector<std::uint8_t> bytes, int kind, TImageBudget* budget) {
  Bitmap24 bitmap = DecodeImage(bytes, budget);
  attrib.Bitmap = std::move(bitmap);
  if (kind == 1) {
    attrib.JPEGImage = std::move(bytes);
    attrib.ImageKind = 1;
  } else {
    attrib.JPEGImage.clear();
    attrib.ImageKind = 0;
  }
}

void ClearAttribImage(TNodeAttrib& attrib) {
  attrib.Bitmap = {};
  attrib.JPEGImage.clear();
  attrib.ImageKind = 0;
}
