// Reads arbitrary bytes as a cursor file: no crash, and an image that reads
// is within 256 pixels a side with its hot spot inside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/ui/CursorResource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto cursor = DecodeCursorFile({data, size});
  if (!cursor) return 0;
  const QImage& image = cursor->Image;
  if (image.isNull() || image.width() > 256 || image.height() > 256) std::abort();
  if (cursor->HotSpot.x() < 0 || cursor->HotSpot.y() < 0 || cursor->HotSpot.x() >= image.width() ||
      cursor->HotSpot.y() >= image.height())
    std::abort();
  return 0;
}
