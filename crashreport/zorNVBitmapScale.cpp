// Zooming: Mitchell-Netravali filtering with 16.16 weights and integer sums.
#include <cmath>
#include <cstdlib>

#include "crashreport/zorNVBitmap.h"
#include "crashreport/zorNVBitmap_p.h"

namespace zor {

namespace detail {

namespace {

// The cubic with B = C = 1/3, support radius 2.
double Mitchell(double x) {
  x = std::fabs(x);
  if (x < 1) return (7.0 / 6.0) * x * x * x - 2.0 * x * x + 8.0 / 9.0;
  if (x < 2) return -(7.0 / 18.0) * x * x * x + 2.0 * x * x - (10.0 / 3.0) * x + 16.0 / 9.0;
  return 0;
}

int Fixed(double weight) { return int(std::lround(weight * 65536.0)); }

// Mirrors an index that falls outside the picture back into it; a picture
// narrower than the filter can mirror past its other edge, so the result is
// held inside as well.
int MirroredIndex(int64_t j, int source) {
  if (j < 0) j = -j;
  if (j >= source) j = 2 * int64_t(source) - 1 - j;
  if (j < 0) j = 0;
  if (j >= source) j = source - 1;
  return int(j);
}

// sum >> 16 held to 0..255.
uint8_t Channel(int64_t sum) {
  if (sum < 0) return 0;
  if (sum >= 0xFF0001) return 255;
  return uint8_t(sum >> 16);
}

}  // namespace

ScaledSize FitScaledSize(int sourceWidth, int sourceHeight, int width, int height) {
  const int64_t widthRatio = (int64_t(sourceWidth) << 16) / width;
  const int64_t heightRatio = (int64_t(sourceHeight) << 16) / height;
  ScaledSize size{width, height};
  if (heightRatio < widthRatio)
    size.height = int(int64_t(sourceHeight) * width / sourceWidth);
  else
    size.width = int(int64_t(sourceWidth) * height / sourceHeight);
  if (size.width < 1) size.width = 1;
  if (size.height < 1) size.height = 1;
  return size;
}

std::vector<std::vector<Contributor>> Contributors(int source, int destination) {
  std::vector<std::vector<Contributor>> list(static_cast<size_t>(destination));
  const int64_t s = source, d = destination;
  for (int64_t i = 0; i < d; ++i) {
    std::vector<Contributor>& row = list[size_t(i)];
    if (d < s) {
      const double scale = double(d) / double(s);
      for (int64_t j = (s * (i - 2) - d + 1) / d, last = (s * (i + 2) + d - 1) / d; j <= last; ++j) {
        const double distance = std::fabs(double(i) - double(j) * scale);
        if (distance < 2) row.push_back({MirroredIndex(j, source), Fixed(Mitchell(distance) * scale)});
      }
    } else {
      const double step = double(s) / double(d);
      for (int64_t j = (s * i - 3 * d + 1) / d, last = (s * i + 3 * d - 1) / d; j <= last; ++j) {
        const double distance = std::fabs(double(i) * step - double(j));
        if (distance < 2) row.push_back({MirroredIndex(j, source), Fixed(Mitchell(distance))});
      }
    }
  }
  return list;
}

}  // namespace detail

INVBitmapPtr TINVBitmap::ScaledCopy(int width, int height) const {
  if (width < 1 || height < 1) return nullptr;
  const int sw = PixelWidth(), sh = PixelHeight();
  const detail::ScaledSize size = detail::FitScaledSize(sw, sh, width, height);
  auto result = Create(size.width, size.height);
  if (!result) return nullptr;
  try {
    // Rows are indexed as stored, bottom-up.
    const auto across = detail::Contributors(sw, size.width);
    const auto down = detail::Contributors(sh, size.height);
    std::vector<uint8_t> column(size_t(sh) * 4);
    for (int x = 0; x < size.width; ++x) {
      for (int y = 0; y < sh; ++y) {
        const uint8_t* row = Bits() + size_t(y) * Stride();
        for (int c = 0; c < 3; ++c) {
          int64_t sum = 0;
          for (const detail::Contributor& k : across[size_t(x)]) sum += int64_t(k.weight) * row[k.index * 4 + c];
          column[size_t(y) * 4 + c] = detail::Channel(sum);
        }
      }
      for (int y = 0; y < size.height; ++y) {
        uint8_t* out = result->Bits() + size_t(y) * result->Stride() + size_t(x) * 4;
        for (int c = 0; c < 3; ++c) {
          int64_t sum = 0;
          for (const detail::Contributor& k : down[size_t(y)]) sum += int64_t(k.weight) * column[size_t(k.index) * 4 + c];
          out[c] = detail::Channel(sum);
        }
      }
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return result;
}

}  // namespace zor
