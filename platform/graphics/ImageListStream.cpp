// The component-stream form of an image list.

#include "platform/core/Exceptions.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"

namespace {
std::uint32_t ReadU32(std::span<const std::uint8_t> data, std::size_t at) {
  if (data.size() < at + 4) throw EReadError();
  return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
         static_cast<std::uint32_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
}

void WriteU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
}  // namespace

std::size_t TImageList::ReadData(std::span<const std::uint8_t> data) {
  const std::uint32_t width = ReadU32(data, 0), height = ReadU32(data, 4), count = ReadU32(data, 8);
  if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide) throw EReadError();
  if (count > static_cast<std::uint32_t>(kMaxBitmapSide) / width) throw EReadError();
  std::size_t at = 12;
  std::vector<Entry> entries;
  if (count > 0) {
    TBitmap images, mask;
    at += images.ReadData(data.subspan(at));
    at += mask.ReadData(data.subspan(at));
    const int stripWidth = static_cast<int>(count * width);
    if (images.Width() != stripWidth || mask.Width() != stripWidth || images.Height() != static_cast<int>(height) ||
        mask.Height() != static_cast<int>(height))
      throw EReadError();
    // Cut the strip as Add does, into a list of our own first, so that
    // the list stays as it was when anything above failed.
    TImageList read(static_cast<int>(width), static_cast<int>(height));
    read.Add(images, &mask);
    entries = std::move(read.images_);
  }
  width_ = static_cast<int>(width);
  height_ = static_cast<int>(height);
  images_ = std::move(entries);
  std::fill(std::begin(overlays_), std::end(overlays_), -1);
  Changed();
  return at;
}

void TImageList::WriteData(std::vector<std::uint8_t>& out) const {
  WriteU32(out, static_cast<std::uint32_t>(width_));
  WriteU32(out, static_cast<std::uint32_t>(height_));
  WriteU32(out, static_cast<std::uint32_t>(Count()));
  if (Count() == 0) return;
  TBitmap images(width_ * Count(), height_), mask(width_ * Count(), height_);
  for (int index = 0; index < Count(); ++index) {
    const Entry& entry = images_[index];
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const size_t at = static_cast<size_t>(y) * width_ + x;
        const std::uint8_t* p = &entry.Image.Bgra[at * 4];
        images.SetPixel(index * width_ + x, y, RGB(p[2], p[1], p[0]));
        mask.SetPixel(index * width_ + x, y, entry.Mask.Bits[at] ? clBlack : clWhite);
      }
  }
  images.WriteData(out);
  mask.WriteData(out);
}
