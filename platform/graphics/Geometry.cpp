#include "platform/graphics/Geometry.h"

#include <cstdint>

#include "platform/core/Exceptions.h"

std::int32_t CheckedInt32(Coord value) {
  if (value < INT32_MIN || value > INT32_MAX) throw EIntOverflow();
  return static_cast<std::int32_t>(value);
}
