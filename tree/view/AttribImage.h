#pragma once
// Pictures carried by display attributes. An attribute draws its Bitmap; a
// picture that came as JPEG also keeps the JPEG file's bytes (JPEGImage,
// ImageKind 1), so that storing the attribute writes the compact original.
// Other pictures (PNG, BMP) are kept as the bitmap only (ImageKind 0) and
// stored as a BMP stream. Decoding and its limits are ImageCodec's.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/graphics/DeviceTypes.h"
#include "platform/graphics/ImageCodec.h"

class TNodeAttrib;

inline constexpr const char* kInvalidImageText = kInvalidPictureText;

// Gives the attribute the picture in the file: a JPEG keeps its bytes
// (ImageKind 1), other formats the bitmap only (ImageKind 0). False, leaving
// the attribute unchanged, when the file cannot be read or holds no picture.
bool LoadAttribImage(TNodeAttrib& attrib, const std::string& path);

// Gives the attribute the picture of a stored image stream: kind 0 a bitmap
// stream, kind 1 a JPEG stream. Raises as DecodeImage.
void SetAttribImage(TNodeAttrib& attrib, std::vector<std::uint8_t> bytes, int kind, TImageBudget* budget = nullptr);

// Drops the attribute's picture.
void ClearAttribImage(TNodeAttrib& attrib);
