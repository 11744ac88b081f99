#pragma once
// Graphics read through Qt's image readers and kept as the file they came
// from: PNG and JPEG images (and icons, Icon.h). Saving gives back the bytes loaded; a picture
// set from pixels (SetImage) is encoded in the class's format. Loading
// reads the header's size first and refuses a picture beyond the decoding
// budget of ImageCodec before decoding it.
//
// TMetafile stands in for vector pictures, which are not shown here: it
// keeps the bytes it is given and reports its class, its size is 0 x 0 and
// it draws nothing.

#include <QImage>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/graphics/Graphic.h"

inline constexpr const char* kInvalidPngText = "PNG image is not valid";
inline constexpr const char* kInvalidJpegText = "JPEG image is not valid";

class TImageGraphic : public TGraphic {
 public:
  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  bool Empty() const override { return image_.isNull(); }
  // Raises Exception with the class's invalid-image text for bytes that do
  // not start as its files do (Recognises) or are no picture of its format, and ERangeError for one too large; the
  // graphic is unchanged then.
  void LoadFromBytes(std::span<const std::uint8_t> bytes) override;
  std::vector<std::uint8_t> SaveToBytes() const override { return bytes_; }
  // Stretched into `rect`, pixels less than half opaque left out.
  void Draw(TCanvas& canvas, const Rect& rect) const override;

  // The pixels in ARGB32; null when empty.
  const QImage& Image() const { return image_; }
  // Takes the pixels and encodes them in the class's format.
  void SetImage(const QImage& image);

 protected:
  // `format` as Qt names it ("PNG").
  TImageGraphic(const char* format, const char* invalidText) : format_(format), invalidText_(invalidText) {}
  // Whether the bytes start as a file of the class does; checked before
  // Qt's reader is asked, so other files are refused without decoding.
  virtual bool Recognises(std::span<const std::uint8_t> bytes) const = 0;

 private:
  const char* format_;
  const char* invalidText_;
  std::vector<std::uint8_t> bytes_;
  QImage image_;
};

class TPngImage final : public TImageGraphic {
 public:
  TPngImage() : TImageGraphic("PNG", kInvalidPngText) {}
  std::string ClassName() const override { return "TPngImage"; }

 protected:
  bool Recognises(std::span<const std::uint8_t> bytes) const override;
};

class TJPEGImage final : public TImageGraphic {
 public:
  TJPEGImage() : TImageGraphic("JPEG", kInvalidJpegText) {}
  std::string ClassName() const override { return "TJPEGImage"; }

 protected:
  bool Recognises(std::span<const std::uint8_t> bytes) const override;
};

class TMetafile final : public TGraphic {
 public:
  std::string ClassName() const override { return "TMetafile"; }
  int Width() const override { return 0; }
  int Height() const override { return 0; }
  bool Empty() const override { return bytes_.empty(); }
  void LoadFromBytes(std::span<const std::uint8_t> bytes) override { bytes_.assign(bytes.begin(), bytes.end()); }
  std::vector<std::uint8_t> SaveToBytes() const override { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};
