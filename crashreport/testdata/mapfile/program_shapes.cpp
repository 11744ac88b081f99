// Second source file of the debug-information test program: routines the
// reader must name and place.
#include "program_shapes.h"

namespace mapprog {

__attribute__((noinline)) int Shape::Area() const {
  int area = width * height;
  if (area < 0) area = -area;
  return area;
}

__attribute__((noinline)) int Scaled(const Shape& shape, int factor) {
  int total = 0;
  for (int i = 0; i < factor; ++i) total += shape.Area();
  return total;
}

}  // namespace mapprog
