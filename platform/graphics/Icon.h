#pragma once
// An icon: the bytes of an .ico file and the picture of its first image.
//
// The file is kept as it came, so saving gives back the same bytes with
// every size it holds. Loading reads the first image's size first and
// refuses an image above kMaxBitmapSide a side before decoding it. Drawn
// like the other images (TImageGraphic): pixels less than half opaque are
// left out.

#include <cstdint>
#include <span>

#include "platform/graphics/ImageGraphic.h"

inline constexpr const char* kInvalidIconText = "Icon image is not valid";

class TIcon final : public TImageGraphic {
 public:
  TIcon() : TImageGraphic("ICO", kInvalidIconText) {}
  std::string ClassName() const override { return "TIcon"; }

 protected:
  // Reserved 0, type 1 and at least one image.
  bool Recognises(std::span<const std::uint8_t> bytes) const override;
};
