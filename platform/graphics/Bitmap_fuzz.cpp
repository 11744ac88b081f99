// Reads arbitrary bytes as a BMP stream. A bitmap that loads must save, and
// the saved stream must load again with the same size and pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TBitmap bitmap;
  try {
    bitmap.LoadFromBytes(std::span<const std::uint8_t>(data, size));
  } catch (const Exception&) {
    return 0;
  }
  if (bitmap.Empty() || bitmap.Width() > kMaxBitmapSide || bitmap.Height() > kMaxBitmapSide) std::abort();
  TBitmap again;
  again.LoadFromBytes(bitmap.SaveToBytes());
  if (again.Width() != bitmap.Width() || again.Height() != bitmap.Height()) std::abort();
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (again.Pixel(x, y) != bitmap.Pixel(x, y)) std::abort();
  return 0;
}
