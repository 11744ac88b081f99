#include "platform/graphics/Icon.h"

#include <cstdint>

bool TIcon::Recognises(std::span<const std::uint8_t> bytes) const {
  return bytes.size() >= 6 && bytes.size() <= static_cast<size_t>(INT32_MAX) && bytes[0] == 0 && bytes[1] == 0 &&
         bytes[2] == 1 && bytes[3] == 0 && (bytes[4] != 0 || bytes[5] != 0);
}
