#pragma once
// What a Picture holds: its recorded calls and the pools they index (used by
// Picture.cpp and PictureReplay.cpp only).

#include <string>
#include <vector>

#include "platform/graphics/Picture.h"

// One recorded call, as PictureRecorder keeps it and Picture::Replay plays
// it. Scalars as in DeviceContext::Command; `first` and `count` index the
// pool that the operation uses (points, text bytes, object descriptions,
// bitmaps).
struct PictureRecord {
  DeviceContext::Op op;
  std::int32_t a, b, c, d;
  std::uint32_t id;
  std::uint32_t first;
  std::uint32_t count;
};

struct PictureData {
  Rect frame;
  DeviceInfo reference;
  std::vector<PictureRecord> records;
  std::vector<PointI> points;
  std::string text;
  std::vector<LogFont> fonts;
  std::vector<LogPen> pens;
  std::vector<LogBrush> brushes;
  std::vector<Bitmap24> bitmaps;
  std::vector<Bitmap32> images;
  std::vector<BlitMask> masks;
  std::vector<std::int32_t> advances;
};
