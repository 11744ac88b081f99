#pragma once
// Reading and writing picture files (JPEG, PNG, BMP, ICO) through Qt's image
// readers, with a bound on what untrusted headers may make us decode.

#include <QImage>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/graphics/DeviceTypes.h"

inline constexpr const char* kInvalidPictureText = "The picture is not a valid JPEG, PNG or BMP image.";

// Pictures come from files, so their headers are untrusted: a picture is
// decoded only when its header gives a size of at most kMaxImageSide pixels
// a side, and the pictures of one record together decode to at most
// kMaxDecodedImageBytes (3 bytes a pixel).
inline constexpr int kMaxImageSide = 16384;
inline constexpr std::int64_t kMaxDecodedImageBytes = std::int64_t{64} << 20;

// What is left of the decoded bytes that the pictures of one record may take.
class TImageBudget {
 public:
  explicit TImageBudget(std::int64_t bytes = kMaxDecodedImageBytes) : left_(bytes) {}
  // Takes a picture of width x height pixels; ERangeError, taking nothing,
  // when a side is not within 1..kMaxImageSide or the picture does not fit.
  void Take(int width, int height);
  std::int64_t Left() const { return left_; }

 private:
  std::int64_t left_;
};

// The picture in the bytes, in the format Qt names `format` (any format Qt
// recognises when null), taken from `budget` (a budget of its own when none
// is given) by the size its header gives, before decoding. Nothing when the
// bytes are no picture of that format or their header gives no size;
// ERangeError when the size does not fit the budget.
std::optional<QImage> ReadImage(std::span<const std::uint8_t> bytes, const char* format,
                                TImageBudget* budget = nullptr);

// The picture in a JPEG, PNG or BMP stream as a 24-bit bitmap (an alpha
// channel is laid over white), taken from `budget` as ReadImage does. Raises
// Exception(kInvalidPictureText) when the bytes are no picture Qt can read
// or their header gives no size, and ERangeError as ReadImage.
Bitmap24 DecodeImage(std::span<const std::uint8_t> bytes, TImageBudget* budget = nullptr);

// The bitmap as a BMP stream; empty for an invalid bitmap.
std::vector<std::uint8_t> EncodeBitmapStream(const Bitmap24& bitmap);

// The pixels of a picture for blits (empty for a null picture), and a mask
// of its pixels at least half opaque.
Bitmap32 Bitmap32OfImage(const QImage& image);
BlitMask AlphaMaskOf(const QImage& image);

// Whether the bytes start like a JPEG stream.
bool IsJPEGStream(std::span<const std::uint8_t> bytes);
