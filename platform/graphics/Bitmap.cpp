#include "platform/graphics/Bitmap.h"

#include <QBuffer>
#include <QPainter>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageCodec.h"
#include "platform/graphics/PainterContext.h"

namespace {
QRgb QRgbOf(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor ColorOf(QRgb pixel) {
  return RGB(static_cast<std::uint8_t>(qRed(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
             static_cast<std::uint8_t>(qBlue(pixel)));
}

void CheckSide(int width, int height) {
  if (width > kMaxBitmapSide || height > kMaxBitmapSide) throw ERangeError();
}
}  // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() {
  EndPaint();
  canvas_.reset();
}

void TBitmap::EndPaint() {
  if (!context_) return;
  canvas_->ReleaseDevice();
  context_.reset();
  painter_.reset();
}

DeviceContext& TBitmap::BeginPaint() {
  if (context_) return *context_;
  // An empty bitmap still gets a canvas; drawing on it changes nothing.
  if (image_.isNull()) scratch_ = QImage(1, 1, QImage::Format_ARGB32);
  painter_ = std::make_unique<QPainter>(image_.isNull() ? &scratch_ : &image_);
  context_ = std::make_unique<PainterContext>(*painter_);
  return *context_;
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>([this]() -> DeviceContext& { return BeginPaint(); });
  return *canvas_;
}

void TBitmap::SetSize(int width, int height) {
  CheckSide(width, height);
  EndPaint();
  if (width < 1 || height < 1) {
    image_ = QImage();
    return;
  }
  if (width == Width() && height == Height()) return;
  QImage resized(width, height, QImage::Format_ARGB32);
  resized.fill(Qt::white);
  const int w = std::min(width, Width());
  const int h = std::min(height, Height());
  for (int y = 0; y < h; ++y)
    std::copy_n(reinterpret_cast<const QRgb*>(image_.constScanLine(y)), w,
                reinterpret_cast<QRgb*>(resized.scanLine(y)));
  image_ = std::move(resized);
}

TColor TBitmap::Pixel(int x, int y) const {
  if (image_.isNull() || x < 0 || y < 0 || x >= Width() || y >= Height()) return clNone;
  return ColorOf(image_.pixel(x, y));
}

void TBitmap::SetPixel(int x, int y, TColor color) {
  if (image_.isNull() || x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  EndPaint();
  image_.setPixel(x, y, QRgbOf(color));
}

TColor TBitmap::TransparentColor() const {
  if (mode_ == tmFixed) return fixedColor_;
  if (image_.isNull()) return clDefault;
  return Pixel(0, Height() - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  fixedColor_ = color;
  mode_ = color == clDefault ? tmAuto : tmFixed;
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  EndPaint();
  image_ = source.image_.copy();
  fixedColor_ = source.fixedColor_;
  mode_ = source.mode_;
  transparent_ = source.transparent_;
}

void TBitmap::LoadFromBytes(std::span<const std::uint8_t> bytes) {
  std::optional<QImage> image = ReadImage(bytes, "BMP");
  if (!image) throw Exception(kInvalidBitmapText);
  EndPaint();
  image_ = image->convertToFormat(QImage::Format_ARGB32);
}

std::vector<std::uint8_t> TBitmap::SaveToBytes() const {
  if (image_.isNull()) return {};
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  // Stored as a 24-bit BMP, which every reader knows; alpha is not kept.
  const QImage out = image_.convertToFormat(QImage::Format_RGB32);
  if (!out.save(&buffer, "BMP")) return {};
  return {bytes.begin(), bytes.end()};
}

std::size_t TBitmap::ReadData(std::span<const std::uint8_t> data) {
  if (data.size() < 4) throw EReadError();
  const std::uint32_t size = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
                             static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
  if (size > data.size() - 4) throw EReadError();
  if (size == 0) {
    EndPaint();
    image_ = QImage();
  } else {
    LoadFromBytes(data.subspan(4, size));
  }
  return 4 + size;
}

void TBitmap::WriteData(std::vector<std::uint8_t>& out) const {
  const std::vector<std::uint8_t> bytes = SaveToBytes();
  const auto size = static_cast<std::uint32_t>(bytes.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
  out.insert(out.end(), bytes.begin(), bytes.end());
}

Bitmap32 TBitmap::ToBitmap32() const { return Bitmap32OfImage(image_); }

void TBitmap::Draw(TCanvas& canvas, const Rect& rect) const {
  if (image_.isNull() || rect.right <= rect.left || rect.bottom <= rect.top) return;
  // The pixels are copied before the blit, so a bitmap may be drawn on its
  // own canvas.
  const Bitmap32 pixels = ToBitmap32();
  const BlitMask mask = transparent_ ? MaskOf(TransparentColor()) : BlitMask{};
  canvas.Handle().StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), pixels, 0, 0, Width(), Height(), SRCCOPY,
                             transparent_ ? &mask : nullptr);
}

BlitMask TBitmap::MaskOf(TColor transparent) const {
  BlitMask mask;
  if (image_.isNull()) return mask;
  mask.Width = Width();
  mask.Height = Height();
  mask.Bits.resize(static_cast<size_t>(Width()) * Height());
  const TColor rgb = ColorToRGB(transparent);
  for (int y = 0; y < Height(); ++y)
    for (int x = 0; x < Width(); ++x) mask.Bits[static_cast<size_t>(y) * Width() + x] = Pixel(x, y) != rgb ? 1 : 0;
  return mask;
}

const QImage& TBitmap::Image() {
  EndPaint();
  return image_;
}

void TBitmap::SetImage(const QImage& image) {
  CheckSide(image.width(), image.height());
  EndPaint();
  image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
}
