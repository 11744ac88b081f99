// The debug-information test program: routines in two source files, each
// kept out of line so that it has its own symbol and lines.
#include <cstdio>

#include "program_shapes.h"

namespace mapprog {

__attribute__((noinline)) int Twice(int value) {
  volatile int result = value;
  result = result * 2;
  return result;
}

__attribute__((noinline)) long Sum(const int* values, int count) {
  long sum = 0;
  for (int i = 0; i < count; ++i) sum += Twice(values[i]);
  return sum;
}

}  // namespace mapprog

int main(int argc, char**) {
  const int values[] = {1, 2, 3, argc};
  mapprog::Shape shape{argc, 3};
  std::printf("%ld %d\n", mapprog::Sum(values, 4), mapprog::Scaled(shape, argc));
  return 0;
}
