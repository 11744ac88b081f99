#include "platform/graphics/Picture.h"

#include "platform/graphics/Picture_p.h"

#include <QGuiApplication>
#include <string>
#include <vector>

#include "platform/core/NumberFormat.h"

namespace {

using Op = DeviceContext::Op;

DeviceInfo NormalizedReference(DeviceInfo info) {
  if (info.HorzRes <= 0 || info.VertRes <= 0) return DeviceInfoFromPixels(1920, 1080, kDefaultPixelsPerInch);
  if (info.LogPixelsX <= 0) info.LogPixelsX = kDefaultPixelsPerInch;
  if (info.LogPixelsY <= 0) info.LogPixelsY = kDefaultPixelsPerInch;
  if (info.HorzSize <= 0) info.HorzSize = MulDiv(info.HorzRes, 254, info.LogPixelsX * 10);
  if (info.VertSize <= 0) info.VertSize = MulDiv(info.VertRes, 254, info.LogPixelsY * 10);
  return info;
}

Coord ToPixels(Coord hundredthsMm, std::int32_t pixels, std::int32_t millimetres) {
  return RoundHalfEven(static_cast<double>(hundredthsMm) * pixels / (millimetres * 100.0));
}

std::uint32_t Index(std::size_t size) { return static_cast<std::uint32_t>(size); }

}  // namespace


// ---- Picture ----

Rect Picture::Frame() const { return data_ ? data_->frame : Rect{}; }

DeviceInfo Picture::Reference() const { return data_ ? data_->reference : DeviceInfo{}; }

Rect Picture::FramePixels() const {
  if (!data_) return {};
  const Rect& f = data_->frame;
  const DeviceInfo& r = data_->reference;
  return {ToPixels(f.left, r.HorzRes, r.HorzSize), ToPixels(f.top, r.VertRes, r.VertSize),
          ToPixels(f.right, r.HorzRes, r.HorzSize), ToPixels(f.bottom, r.VertRes, r.VertSize)};
}

std::size_t Picture::RecordCount() const { return data_ ? data_->records.size() : 0; }

Rect PictureFrameFromPixels(std::int32_t width, std::int32_t height, const DeviceInfo& reference) {
  return {0, 0, MulDiv(width, reference.HorzSize * 100, reference.HorzRes),
          MulDiv(height, reference.VertSize * 100, reference.VertRes)};
}

// ---- PictureRecorder ----

PictureRecorder::PictureRecorder(const Rect& frame, const DeviceInfo& reference)
    : DeviceContext(NormalizedReference(reference)), data_(std::make_shared<PictureData>()) {
  if (QGuiApplication::instance()) SetTextMeasurer(&ScreenTextMeasurer());
  data_->frame = frame;
  data_->reference = Device();
}

PictureRecorder::~PictureRecorder() = default;

Picture PictureRecorder::Close() {
  if (!data_) return {};
  return Picture(std::move(data_));
}

void PictureRecorder::Apply(const Command& c) {
  if (!data_) return;
  PictureData& p = *data_;
  PictureRecord r{c.op, c.a, c.b, c.c, c.d, c.id, 0, 0};
  switch (c.op) {
    case Op::CreateFont:
      r.first = Index(p.fonts.size());
      p.fonts.push_back(*FontOf(FontHandle{c.id}));
      break;
    case Op::CreatePen:
      r.first = Index(p.pens.size());
      p.pens.push_back(*PenOf(PenHandle{c.id}));
      break;
    case Op::CreateBrush:
      r.first = Index(p.brushes.size());
      p.brushes.push_back(*BrushOf(BrushHandle{c.id}));
      break;
    case Op::Polyline:
    case Op::Polygon:
    case Op::PolyBezier:
    case Op::Arc:
    case Op::SelectClipRgn:
      r.first = Index(p.points.size());
      r.count = Index(c.points.size());
      p.points.insert(p.points.end(), c.points.begin(), c.points.end());
      break;
    case Op::TextOut:
      r.first = Index(p.text.size());
      r.count = Index(c.text.size());
      p.text.append(c.text);
      break;
    case Op::ExtTextOut:
      r.first = Index(p.text.size());
      r.count = Index(c.text.size());
      p.text.append(c.text);
      r.c = r.d = -1;
      if (!c.points.empty()) {
        r.c = static_cast<std::int32_t>(p.points.size());
        p.points.insert(p.points.end(), c.points.begin(), c.points.end());
      }
      if (!c.advances.empty()) {
        r.d = static_cast<std::int32_t>(p.advances.size());
        p.advances.insert(p.advances.end(), c.advances.begin(), c.advances.end());
      }
      break;
    case Op::StretchDIBits:
      r.first = Index(p.bitmaps.size());
      p.bitmaps.push_back(*c.bitmap);
      break;
    case Op::StretchBlt:
      r.first = Index(p.points.size());
      p.points.insert(p.points.end(), c.points.begin(), c.points.end());
      p.points.push_back({static_cast<std::int32_t>(p.images.size()), 0});
      p.images.push_back(*c.image);
      if (c.mask) {
        p.masks.push_back(*c.mask);
        r.count = Index(p.masks.size());
      }
      break;
    default: break;
  }
  p.records.push_back(r);
}
