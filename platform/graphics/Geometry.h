#pragma once
// Coordinates of the drawing layer. Callers compute in 64 bits and hand the
// results to a device context, which checks that every value fits the 32-bit
// range the recorded pictures keep; a value outside it raises EIntOverflow, so
// runaway layouts end in an error instead of wrapped coordinates.

#include <cstdint>

using Coord = std::int64_t;

struct Point {
  Coord x = 0;
  Coord y = 0;
  bool operator==(const Point&) const = default;
};

// Edges as the device sees them: left and top inclusive, right and bottom
// exclusive for fills; width = right - left.
struct Rect {
  Coord left = 0;
  Coord top = 0;
  Coord right = 0;
  Coord bottom = 0;
  Coord Width() const { return right - left; }
  Coord Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

struct Size {
  Coord cx = 0;
  Coord cy = 0;
  bool operator==(const Size&) const = default;
};

// A point as a picture stores it.
struct PointI {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const PointI&) const = default;
};

// value as a 32-bit integer; raises EIntOverflow (kOverflowErrorText) when it
// lies outside -2^31 .. 2^31-1.
std::int32_t CheckedInt32(Coord value);
