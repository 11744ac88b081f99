#pragma once
// Cursor artwork: cursor files (.cur) read from the resource store and
// registered in the screen's cursor table.
//
// A cursor file is a directory of images, each with its hot spot; the first
// image is taken. The bytes are untrusted (resources of packages, files):
// every field is checked against the bytes before use, images larger than
// 256 pixels a side are refused, and decoding goes through the picture
// readers' size budget.

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/ui/Screen.h"

struct TCursorImage {
  QImage Image;
  QPoint HotSpot;  // in the image's pixels
};

// The first image of a cursor file with its hot spot. Nothing for bytes
// that are no cursor file (a header other than reserved 0, type 2 and at
// least one image), a directory entry or image data outside the bytes, image
// data Qt cannot read, an image above 256 pixels a side, or a hot spot
// outside the image.
std::optional<TCursorImage> DecodeCursorFile(std::span<const std::uint8_t> Bytes);

// Registers the cursor resource (Module, "CURSOR", Name) under Id in the
// screen's cursor table; false, registering nothing, when the resource is
// missing or no cursor file.
bool LoadCursorResource(TCursor Id, std::string_view Module, std::string_view Name);
