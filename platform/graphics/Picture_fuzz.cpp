// Reads arbitrary bytes as a picture's data in a component stream: a class
// name, found in the graphic registry, and the graphic's own data. Data that
// reads must write, and the written data must read again to the same class,
// size and (for bitmaps) pixels, taking all of itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPicture picture;
  std::size_t taken = 0;
  try {
    taken = picture.ReadData(std::span<const std::uint8_t>(data, size));
  } catch (const Exception&) {
    return 0;
  }
  if (taken > size) std::abort();
  if (picture.Width() > kMaxBitmapSide || picture.Height() > kMaxBitmapSide) std::abort();
  std::vector<std::uint8_t> written;
  picture.WriteData(written);
  TPicture again;
  if (again.ReadData(written) != written.size()) std::abort();
  TGraphic* first = picture.Graphic();
  TGraphic* second = again.Graphic();
  if (!first != !second) std::abort();
  if (!first) return 0;
  if (first->ClassName() != second->ClassName() || first->Width() != second->Width() ||
      first->Height() != second->Height())
    std::abort();
  if (auto* bitmap = dynamic_cast<TBitmap*>(first)) {
    auto& copy = static_cast<TBitmap&>(*second);
    for (int y = 0; y < bitmap->Height(); ++y)
      for (int x = 0; x < bitmap->Width(); ++x)
        if (copy.Pixel(x, y) != bitmap->Pixel(x, y)) std::abort();
  }
  return 0;
}
