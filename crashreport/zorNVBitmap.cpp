#include "crashreport/zorNVBitmap.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QString>
#include <cerrno>
#include <cstring>
#include <new>

#include "crashreport/zorNVBitmap_p.h"
#include "crashreport/zorPng.h"

namespace zor {

namespace {

void PutLittleEndian(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s += char(v >> (8 * i));
}

}  // namespace

TINVBitmap::TINVBitmap(int width, int height) : bits_(size_t(width) * size_t(height) * 4, 0) {
  header_.width = width;
  header_.height = height;
  header_.sizeImage = uint32_t(bits_.size());
}

std::shared_ptr<TINVBitmap> TINVBitmap::Create(int width, int height) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return nullptr;
  if (int64_t(width) * height > kMaxPixels) return nullptr;
  try {
    return std::shared_ptr<TINVBitmap>(new TINVBitmap(width, height));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

uint32_t TINVBitmap::PixelAt(int x, int y) const {
  const uint8_t* p = bits_.data() + size_t(header_.height - 1 - y) * Stride() + size_t(x) * 4;
  return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

void TINVBitmap::SetPixel(int x, int y, uint32_t rgb) {
  uint8_t* p = bits_.data() + size_t(header_.height - 1 - y) * Stride() + size_t(x) * 4;
  p[0] = uint8_t(rgb);
  p[1] = uint8_t(rgb >> 8);
  p[2] = uint8_t(rgb >> 16);
  p[3] = 0;
}

void TINVBitmap::Fill(uint32_t rgb) {
  for (size_t i = 0; i < bits_.size(); i += 4) {
    bits_[i] = uint8_t(rgb);
    bits_[i + 1] = uint8_t(rgb >> 8);
    bits_[i + 2] = uint8_t(rgb >> 16);
    bits_[i + 3] = 0;
  }
}

bool TINVBitmap::PaintTo(QPainter& painter, int x, int y) const {
  if (!painter.isActive()) return false;
  // QImage wants the top row first; its RGB32 pixels are the same blue,
  // green, red bytes and it ignores the fourth.
  QImage image(header_.width, header_.height, QImage::Format_RGB32);
  for (int row = 0; row < header_.height; ++row)
    std::memcpy(image.scanLine(row), bits_.data() + size_t(header_.height - 1 - row) * Stride(), Stride());
  painter.drawImage(x, y, image);
  return true;
}

std::string TINVBitmap::BmpFileImage() const {
  constexpr uint32_t kHeaders = 14 + 40;
  std::string file = "BM";
  PutLittleEndian(file, kHeaders + header_.sizeImage, 4);
  PutLittleEndian(file, 0, 4);  // two reserved words
  PutLittleEndian(file, kHeaders, 4);
  PutLittleEndian(file, header_.size, 4);
  PutLittleEndian(file, uint32_t(header_.width), 4);
  PutLittleEndian(file, uint32_t(header_.height), 4);
  PutLittleEndian(file, header_.planes, 2);
  PutLittleEndian(file, header_.bitCount, 2);
  PutLittleEndian(file, header_.compression, 4);
  PutLittleEndian(file, header_.sizeImage, 4);
  PutLittleEndian(file, uint32_t(header_.xPelsPerMeter), 4);
  PutLittleEndian(file, uint32_t(header_.yPelsPerMeter), 4);
  PutLittleEndian(file, header_.clrUsed, 4);
  PutLittleEndian(file, header_.clrImportant, 4);
  file.append(reinterpret_cast<const char*>(bits_.data()), bits_.size());
  return file;
}

std::string TINVBitmap::PngFileImage(uint8_t form) { return zor::PngFileImage(*this, form); }

bool TINVBitmap::WriteBmpFile(const std::string& path) const { return detail::WriteWholeFile(path, BmpFileImage()); }

bool TINVBitmap::WritePngFile(const std::string& path, uint8_t form) {
  const std::string png = PngFileImage(form);
  return !png.empty() && detail::WriteWholeFile(path, png);
}

namespace detail {

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += size_t(n);
  }
  struct stat status {};
  const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  const bool closed = ::close(fd) == 0;
  if (done == bytes.size() && closed) return true;
  // Only a file of our own making goes; a device named as the path stays.
  if (regular) ::unlink(path.c_str());
  return false;
}

std::shared_ptr<TINVBitmap> BitmapFromImage(const QImage& source) {
  if (source.isNull()) return nullptr;
  auto bitmap = TINVBitmap::Create(source.width(), source.height());
  if (!bitmap) return nullptr;
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) return nullptr;
  const int h = image.height();
  for (int row = 0; row < h; ++row) {
    uint8_t* out = bitmap->Bits() + size_t(h - 1 - row) * bitmap->Stride();
    std::memcpy(out, image.constScanLine(row), bitmap->Stride());
    for (size_t x = 3; x < bitmap->Stride(); x += 4) out[x] = 0;  // RGB32 keeps 0xFF there
  }
  return bitmap;
}

}  // namespace detail

INVBitmapPtr LoadBitmapFile(const std::string& path) {
  try {
    QImageReader reader(QString::fromStdString(path));
    const QSize size = reader.size();
    // Refuse what TINVBitmap could not hold before decoding a single pixel.
    if (size.isValid() && (size.width() > TINVBitmap::kMaxSide || size.height() > TINVBitmap::kMaxSide ||
                           int64_t(size.width()) * size.height() > TINVBitmap::kMaxPixels))
      return nullptr;
    return detail::BitmapFromImage(reader.read());
  } catch (...) {
    return nullptr;
  }
}

}  // namespace zor
