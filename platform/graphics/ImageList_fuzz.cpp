// Reads arbitrary bytes as an image list's data in a component stream.
// Data that reads must write, and the written data must read again to the
// same size, count and images, taking all of itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TImageList list;
  std::size_t taken = 0;
  try {
    taken = list.ReadData(std::span<const std::uint8_t>(data, size));
  } catch (const Exception&) {
    return 0;
  }
  if (taken > size) std::abort();
  std::vector<std::uint8_t> written;
  list.WriteData(written);
  TImageList again;
  if (again.ReadData(written) != written.size()) std::abort();
  if (again.Width() != list.Width() || again.Height() != list.Height() || again.Count() != list.Count()) std::abort();
  for (int index = 0; index < list.Count(); ++index) {
    TBitmap first, second;
    list.GetBitmap(index, first);
    again.GetBitmap(index, second);
    for (int y = 0; y < first.Height(); ++y)
      for (int x = 0; x < first.Width(); ++x)
        if (first.Pixel(x, y) != second.Pixel(x, y)) std::abort();
  }
  return 0;
}
