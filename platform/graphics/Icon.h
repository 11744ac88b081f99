#pragma once
// An icon: the bytes of an .ico file and the picture of its first image.
//
// The file is kept as it came, so saving gives back the same bytes with
// every size it holds. Loading reads the first image's size first and
// refuses an image above kMaxBitmapSide a side before decoding it.

#include <QImage>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/graphics/Graphic.h"

inline constexpr const char* kInvalidIconText = "Icon image is not valid";

class TIcon final : public TGraphic {
 public:
  std::string ClassName() const override { return "TIcon"; }
  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  bool Empty() const override { return image_.isNull(); }
  // Raises Exception(kInvalidIconText) for bytes that are no icon file.
  void LoadFromBytes(std::span<const std::uint8_t> bytes) override;
  std::vector<std::uint8_t> SaveToBytes() const override { return bytes_; }
  // Stretched into `rect`, pixels less than half opaque left out.
  void Draw(TCanvas& canvas, const Rect& rect) const override;
  // The first image in ARGB32; null when empty.
  const QImage& Image() const { return image_; }

 private:
  std::vector<std::uint8_t> bytes_;
  QImage image_;
};
