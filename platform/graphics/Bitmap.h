#pragma once
// A bitmap: a 32-bit picture in memory with a canvas to draw on it.
//
// The pixels are a QImage in ARGB32. Canvas() paints on it through a
// PainterContext made when the canvas is first used. Changing pixels
// directly, resizing and saving first end the painting; the canvas stays
// (a reference to it is good for the life of the bitmap, and its font, pen
// and brush keep their values) and paints again when next used, but its
// device context (Canvas().Handle()) must then be fetched again.
//
// TransparentColor is the colour that masked drawing leaves out: in
// tmAuto mode the colour of the bottom-left pixel (clDefault for an empty
// bitmap), in tmFixed mode the colour last set. Setting TransparentColor
// switches to tmFixed; setting clDefault switches back to tmAuto.
//
// Streams are BMP files (24 bits a pixel when saved; alpha is not kept).
// Loading reads the header's size first and refuses, before decoding any
// pixel, a picture above kMaxBitmapSide a side or beyond the decoding budget
// of ImageCodec.

#include <QImage>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/DeviceTypes.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/GraphicsObjects.h"
#include "platform/graphics/ImageCodec.h"

class DeviceContext;
class QPainter;
class PainterContext;
class TCanvas;

enum TTransparentMode { tmAuto, tmFixed };

inline constexpr int kMaxBitmapSide = kMaxImageSide;
inline constexpr const char* kInvalidBitmapText = "Bitmap image is not valid";

class TBitmap final : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  std::string ClassName() const override { return "TBitmap"; }
  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  bool Empty() const override { return image_.isNull(); }
  // A smaller size keeps the top-left part; new pixels are white. A side
  // below 1 empties the bitmap; above kMaxBitmapSide raises ERangeError.
  void SetSize(int width, int height);
  void SetWidth(int width) { SetSize(width, Height()); }
  void SetHeight(int height) { SetSize(Width(), height); }

  TCanvas& Canvas();

  // The colour (RGB, as TColor) of a pixel; clNone outside the bitmap.
  TColor Pixel(int x, int y) const;
  // Sets an opaque pixel; ignored outside the bitmap.
  void SetPixel(int x, int y, TColor color);

  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return mode_; }
  void SetTransparentMode(TTransparentMode mode) { mode_ = mode; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value) { transparent_ = value; }
  // Kept for the class library's callers: the pixels stay in memory.
  void Dormant() {}

  // Copies size, pixels and transparency of `source` (not its canvas's
  // tools).
  void Assign(const TBitmap& source);

  // A BMP stream. LoadFromBytes raises Exception(kInvalidBitmapText) for
  // bytes that are no readable BMP picture and ERangeError for a picture
  // too large, leaving the bitmap unchanged.
  void LoadFromBytes(std::span<const std::uint8_t> bytes) override;
  std::vector<std::uint8_t> SaveToBytes() const override;
  // In a component stream the BMP file follows its size (32 bits, least
  // significant byte first); a size of 0 is an empty bitmap. ReadData
  // raises EReadError when the size runs past the data.
  std::size_t ReadData(std::span<const std::uint8_t> data) override;
  void WriteData(std::vector<std::uint8_t>& out) const override;
  // Stretched into `rect`; with Transparent the pixels of TransparentColor
  // are left out.
  void Draw(TCanvas& canvas, const Rect& rect) const override;

  // The pixels for blits, and a mask of the pixels whose colour is not
  // `transparent` (set bytes are drawn).
  Bitmap32 ToBitmap32() const;
  BlitMask MaskOf(TColor transparent) const;

  // The pixels; ends painting first.
  const QImage& Image();
  void SetImage(const QImage& image);

 private:
  void EndPaint();
  DeviceContext& BeginPaint();

  QImage image_;
  // What the canvas of an empty bitmap paints on.
  QImage scratch_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<PainterContext> context_;
  std::unique_ptr<TCanvas> canvas_;
  TColor fixedColor_ = clDefault;
  TTransparentMode mode_ = tmAuto;
  bool transparent_ = false;
};
