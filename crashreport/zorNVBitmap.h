#pragma once
// zorNVBitmap: the screenshot that travels with a bug report. It captures the
// whole screen, or only the visible parts of this program's own top-level
// windows, with the mouse cursor; loads a picture file; scales a picture down
// for display; and writes it as a BMP file or a palette PNG (zorPng.h).
//
// Capture talks to the X server over its own XCB connection, so it works on
// the dispatch thread while the GUI thread is the one that faulted or froze.
// Everything here may run on any thread except PaintTo, which draws with a
// QPainter and so belongs to the GUI thread.
//
// Like the rest of the reporter, nothing here lets a failure escape: every
// operation answers nil, false or an empty text instead.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QPainter;

namespace zor {

class INVBitmap;
using INVBitmapPtr = std::shared_ptr<INVBitmap>;

// The bitmap operations the exception object, the assistant forms and the
// send flow use.
class INVBitmap {
 public:
  virtual ~INVBitmap() = default;
  virtual int PixelWidth() const = 0;
  virtual int PixelHeight() const = 0;
  // Draws the picture at (x, y); false when the painter is not active.
  virtual bool PaintTo(QPainter& painter, int x, int y) const = 0;
  // The BMP file: 14-byte file header, 40-byte info header, the pixels
  // bottom-up at 32 bits.
  virtual std::string BmpFileImage() const = 0;
  // The palette PNG file of `form` 0..5 (zorPng.h); empty when none could be
  // built. A form that makes the gray version leaves this bitmap gray.
  virtual std::string PngFileImage(uint8_t form) = 0;
  // Create `path` afresh (truncating), write the whole file, and answer true
  // only when every byte was written; a failed or short write deletes the
  // file. WritePngFile writes nothing and fails when the PNG text is empty.
  virtual bool WriteBmpFile(const std::string& path) const = 0;
  virtual bool WritePngFile(const std::string& path, uint8_t form) = 0;
  // A copy that keeps the aspect ratio and fits into width x height (each at
  // least 1), filtered with the Mitchell-Netravali cubic; nil when a side is
  // below 1 or the copy cannot be allocated.
  virtual INVBitmapPtr ScaledCopy(int width, int height) const = 0;
};

// A 40-byte bitmap info header as it sits in a BMP file (little-endian on
// disk). Height is positive: rows are stored bottom-up.
struct BitmapInfoHeader {
  uint32_t size = 40;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t planes = 1;
  uint16_t bitCount = 32;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;  // height * width * 4
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
  uint32_t clrUsed = 0;
  uint32_t clrImportant = 0;
};

// Invariant: bits_ holds width * height pixels of 4 bytes, rows bottom-up,
// each pixel blue, green, red, 0.
class TINVBitmap final : public INVBitmap {
 public:
  // Sides from 1 to kMaxSide and at most kMaxPixels pixels, so that every
  // size field of the BMP and PNG files fits; nil otherwise or when the
  // memory cannot be had. The pixels start black.
  static constexpr int kMaxSide = 0x7FFF;
  static constexpr int64_t kMaxPixels = int64_t{1} << 27;
  static std::shared_ptr<TINVBitmap> Create(int width, int height);

  TINVBitmap(const TINVBitmap&) = delete;
  TINVBitmap& operator=(const TINVBitmap&) = delete;

  int PixelWidth() const override { return header_.width; }
  int PixelHeight() const override { return header_.height; }
  bool PaintTo(QPainter& painter, int x, int y) const override;
  std::string BmpFileImage() const override;
  std::string PngFileImage(uint8_t form) override;
  bool WriteBmpFile(const std::string& path) const override;
  bool WritePngFile(const std::string& path, uint8_t form) override;
  INVBitmapPtr ScaledCopy(int width, int height) const override;

  const BitmapInfoHeader& Header() const { return header_; }
  // The pixels, bottom row first; 4 * width bytes per row.
  uint8_t* Bits() { return bits_.data(); }
  const uint8_t* Bits() const { return bits_.data(); }
  size_t Stride() const { return size_t(header_.width) * 4; }
  // The pixel at column x of row y counted from the top, as 0x00RRGGBB.
  uint32_t PixelAt(int x, int y) const;
  void SetPixel(int x, int y, uint32_t rgb);
  void Fill(uint32_t rgb);

 private:
  TINVBitmap(int width, int height);
  BitmapInfoHeader header_;
  std::vector<uint8_t> bits_;
};

// The whole screen (every monitor: the root window), or with
// `applicationOnly` only the visible parts of this process's top-level windows
// on white inside the box around them; the cursor is drawn with its alpha.
// Nil without an X display (unset DISPLAY, a Wayland session without X, a
// refused connection), when the root's pixels are not 32-bit true colour, when
// no window of this process is visible, or when the capture fails.
INVBitmapPtr TakeScreenshot(bool applicationOnly);

// The picture file at `path` (any format QImage reads: BMP, PNG, ...) as a
// 32-bit copy; nil when it cannot be read or is too large for TINVBitmap.
// The file is untrusted.
INVBitmapPtr LoadBitmapFile(const std::string& path);

}  // namespace zor
