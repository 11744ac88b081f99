#pragma once
// Pictures carried by display attributes. An attribute draws its Bitmap; a
// picture that came as JPEG also keeps the JPEG file's bytes (JPEGImage,
// ImageKind 1), so that storing the attribute writes the compact original.
// Other pictures (PNG, BMP) are kept as the bitmap only (ImageKind 0) and
// stored as a BMP stream.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/graphics/DeviceTypes.h"

class TNodeAttrib;

inline constexpr const char* kInvalidImageText = "The picture is not a valid JPEG, PNG or BMP image.";

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

// The picture in a JPEG, PNG or BMP stream as a 24-bit bitmap (an alpha
// channel is laid over white), taken from `budget` (a budget of its own when
// none is given). Raises Exception(kInvalidImageText) when the bytes are no
// picture Qt can read or their header gives no size; ERangeError, before
// decoding, when the header's size does not fit the budget.
Bitmap24 DecodeImage(std::span<const std::uint8_t> bytes, TImageBudget* budget = nullptr);

// The bitmap as a BMP stream; empty for an invalid bitmap.
std::vector<std::uint8_t> EncodeBitmapStream(const Bitmap24& bitmap);

// Whether the bytes start like a JPEG stream.
bool IsJPEGStream(std::span<const std::uint8_t> bytes);

// Gives the attribute the picture in the file: a JPEG keeps its bytes
// (ImageKind 1), other formats the bitmap only (ImageKind 0). False, leaving
// the attribute unchanged, when the file cannot be read or holds no picture.
bool LoadAttribImage(TNodeAttrib& attrib, const std::string& path);

// Gives the attribute the picture of a stored image stream: kind 0 a bitmap
// stream, kind 1 a JPEG stream. Raises as DecodeImage.
void SetAttribImage(TNodeAttrib& attrib, std::vector<std::uint8_t> bytes, int kind, TImageBudget* budget = nullptr);

// Drops the attribute's picture.
void ClearAttribImage(TNodeAttrib& attrib);
