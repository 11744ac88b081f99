#pragma once
namespace mapprog {
struct Shape {
  int width = 0, height = 0;
  int Area() const;
};
int Scaled(const Shape& shape, int factor);
}  // namespace mapprog
