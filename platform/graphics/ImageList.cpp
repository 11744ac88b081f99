#include "platform/graphics/ImageList.h"

#include <algorithm>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

TChangeLink::~TChangeLink() {
  if (images_) images_->UnRegisterChanges(*this);
}

TImageList::TImageList(int width, int height) : width_(std::max(width, 1)), height_(std::max(height, 1)) {}

TImageList::~TImageList() {
  for (TChangeLink* link : links_) link->images_ = nullptr;
}

void TImageList::Changed() {
  if (OnChange) OnChange();
  // A link's handler may unregister it.
  const std::vector<TChangeLink*> links = links_;
  for (TChangeLink* link : links)
    if (link->OnChange) link->OnChange();
}

void TImageList::SetSize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  images_.clear();
  std::fill(std::begin(overlays_), std::end(overlays_), -1);
  Changed();
}

int TImageList::Append(const TBitmap& image, const std::vector<std::uint8_t>& drawn, int stride) {
  const int pieces = image.Width() / width_;
  if (pieces < 1) return -1;
  const Bitmap32 all = image.ToBitmap32();
  const int rows = std::min(height_, image.Height());
  const int first = Count();
  for (int piece = 0; piece < pieces; ++piece) {
    Entry entry;
    entry.Image = {width_, height_, std::vector<std::uint8_t>(static_cast<size_t>(width_) * height_ * 4, 0xFF)};
    entry.Mask = {width_, height_, std::vector<std::uint8_t>(static_cast<size_t>(width_) * height_, 0)};
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < width_; ++x) {
        const size_t from = static_cast<size_t>(y) * stride + piece * width_ + x;
        const size_t to = static_cast<size_t>(y) * width_ + x;
        std::copy_n(&all.Bgra[from * 4], 4, &entry.Image.Bgra[to * 4]);
        entry.Mask.Bits[to] = drawn[from];
      }
    images_.push_back(std::move(entry));
  }
  Changed();
  return first;
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask) {
  std::vector<std::uint8_t> drawn(static_cast<size_t>(image.Width()) * image.Height(), 1);
  if (mask)
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x)
        drawn[static_cast<size_t>(y) * image.Width() + x] = mask->Pixel(x, y) != clWhite ? 1 : 0;
  return Append(image, drawn, image.Width());
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor) {
  const TColor transparent = maskColor == clDefault ? image.TransparentColor() : maskColor;
  return Append(image, image.MaskOf(transparent).Bits, image.Width());
}

void TImageList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  images_.erase(images_.begin() + index);
  for (int& overlay : overlays_)
    if (overlay == index)
      overlay = -1;
    else if (overlay > index)
      --overlay;
  Changed();
}

void TImageList::Clear() {
  images_.clear();
  std::fill(std::begin(overlays_), std::end(overlays_), -1);
  Changed();
}

void TImageList::GetBitmap(int index, TBitmap& out) const {
  if (index < 0 || index >= Count()) return;
  const Entry& entry = images_[index];
  out.SetSize(width_, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const size_t at = static_cast<size_t>(y) * width_ + x;
      const std::uint8_t* p = &entry.Image.Bgra[at * 4];
      out.SetPixel(x, y, entry.Mask.Bits[at] ? RGB(p[2], p[1], p[0]) : clWhite);
    }
}

bool TImageList::Overlay(int index, int overlay) {
  if (overlay < 1 || overlay > 4) return false;
  overlays_[overlay - 1] = index;
  Changed();
  return true;
}

void TImageList::SetMasked(bool value) {
  if (value == masked_) return;
  masked_ = value;
  Changed();
}

void TImageList::SetBkColor(TColor value) {
  if (value == bkColor_) return;
  bkColor_ = value;
  Changed();
}

void TImageList::SetBlendColor(TColor value) {
  if (value == blendColor_) return;
  blendColor_ = value;
  Changed();
}

void TImageList::SetDrawingStyle(TDrawingStyle value) {
  if (value == style_) return;
  style_ = value;
  Changed();
}

void TImageList::SetImageType(TImageType value) {
  if (value == type_) return;
  type_ = value;
  Changed();
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) {
  if (enabled)
    DrawStyled(canvas, x, y, index, style_, type_);
  else
    DrawDisabled(canvas, x, y, index);
}

void TImageList::DrawDisabled(TCanvas& canvas, int x, int y, int index) {
  if (index < 0 || index >= Count()) return;
  const Entry& entry = images_[index];
  BlitMask dark = entry.Mask;
  for (size_t i = 0; i < dark.Bits.size(); ++i) {
    const std::uint8_t* p = &entry.Image.Bgra[i * 4];
    const int luminance = (p[2] * 77 + p[1] * 151 + p[0] * 28) >> 8;
    if (luminance >= 192) dark.Bits[i] = 0;
  }
  const auto solid = [&](TColor color) {
    const TColor rgb = ColorToRGB(color);
    Bitmap32 image{width_, height_, std::vector<std::uint8_t>(static_cast<size_t>(width_) * height_ * 4, 0xFF)};
    for (size_t i = 0; i < dark.Bits.size(); ++i) {
      image.Bgra[i * 4 + 0] = GetBValue(rgb);
      image.Bgra[i * 4 + 1] = GetGValue(rgb);
      image.Bgra[i * 4 + 2] = GetRValue(rgb);
    }
    return image;
  };
  canvas.Handle().BitBlt(x + 1, y + 1, width_, height_, solid(clBtnHighlight), 0, 0, SRCCOPY, &dark);
  canvas.Handle().BitBlt(x, y, width_, height_, solid(clBtnShadow), 0, 0, SRCCOPY, &dark);
}

void TImageList::DrawStyled(TCanvas& canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
                            int overlay) {
  if (index < 0 || index >= Count()) return;
  const Entry& entry = images_[index];
  Bitmap32 pixels = entry.Image;
  const BlitMask* mask = nullptr;
  const size_t count = entry.Mask.Bits.size();
  if (type == itMask) {
    for (size_t i = 0; i < count; ++i) std::fill_n(&pixels.Bgra[i * 4], 3, entry.Mask.Bits[i] ? 0x00 : 0xFF);
  } else if (masked_) {
    if (style != dsTransparent && bkColor_ != clNone) {
      const TColor bk = ColorToRGB(bkColor_);
      const std::uint8_t bgr[3] = {GetBValue(bk), GetGValue(bk), GetRValue(bk)};
      for (size_t i = 0; i < count; ++i)
        if (!entry.Mask.Bits[i]) std::copy_n(bgr, 3, &pixels.Bgra[i * 4]);
    } else {
      mask = &entry.Mask;
    }
  }
  if (type == itImage && (style == dsFocus || style == dsSelected)) {
    // A quarter of the blend colour for focus, half for selection.
    const int part = style == dsFocus ? 1 : 2;
    const TColor blend = ColorToRGB(blendColor_ == clNone ? clHighlight : blendColor_);
    const int bgr[3] = {GetBValue(blend), GetGValue(blend), GetRValue(blend)};
    for (size_t i = 0; i < count; ++i)
      if (!mask || entry.Mask.Bits[i])
        for (int c = 0; c < 3; ++c) {
          std::uint8_t& v = pixels.Bgra[i * 4 + c];
          v = static_cast<std::uint8_t>((v * (4 - part) + bgr[c] * part) / 4);
        }
  }
  canvas.Handle().BitBlt(x, y, width_, height_, pixels, 0, 0, SRCCOPY, mask);
  if (overlay >= 1 && overlay <= 4 && overlays_[overlay - 1] != index)
    DrawStyled(canvas, x, y, overlays_[overlay - 1], dsTransparent, type);
}

void TImageList::RegisterChanges(TChangeLink& link) {
  if (link.images_ == this) return;
  if (link.images_) link.images_->UnRegisterChanges(link);
  link.images_ = this;
  links_.push_back(&link);
}

void TImageList::UnRegisterChanges(TChangeLink& link) {
  links_.erase(std::remove(links_.begin(), links_.end(), &link), links_.end());
  if (link.images_ == this) link.images_ = nullptr;
}
