#pragma once
// A list of images of one size, drawn with or without their masks.
//
// Add cuts a bitmap into pieces Width() wide, left to right; each piece is
// one image (a narrower rest is dropped). A mask bitmap marks transparent
// pixels in white and drawn ones in black; without one, or with AddMasked,
// the pixels of one colour are transparent: clDefault takes the bitmap's
// transparent colour, which is its bottom-left pixel unless fixed.
//
// Drawing (Draw, DrawStyled):
//   - dsNormal / dsTransparent: with Masked, the image through its mask,
//     and where the mask is clear BkColor unless it is clNone (dsNormal
//     only); without Masked the whole image.
//   - dsFocus and dsSelected blend the drawn pixels with BlendColor (or
//     clHighlight when BlendColor is clNone): one quarter and one half.
//   - itMask draws the mask: black where the image is drawn, white elsewhere.
//   - an overlay (1..4, set with Overlay) is drawn through its mask on top.
// Images outside the list draw nothing.
//
// Every change to the images, the size or a drawing property calls
// OnChange and each registered change link.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/DeviceTypes.h"

class TBitmap;
class TCanvas;

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TImageList;

// A link an image list tells of its changes (menus and tool bars that
// show its images hold one).
class TChangeLink {
 public:
  ~TChangeLink();
  TImageList* Images() const { return images_; }
  std::function<void()> OnChange;

 private:
  friend class TImageList;
  TImageList* images_ = nullptr;
};

class TImageList final {
 public:
  explicit TImageList(int width = 16, int height = 16);
  ~TImageList();
  TImageList(const TImageList&) = delete;
  TImageList& operator=(const TImageList&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Clears the list when the size changes; sides below 1 count as 1.
  void SetSize(int width, int height);
  int Count() const { return static_cast<int>(images_.size()); }

  // The index of the first image added, or -1 when none was.
  int Add(const TBitmap& image, const TBitmap* mask);
  int AddMasked(const TBitmap& image, TColor maskColor);
  void Delete(int index);
  void Clear();
  // The image as a bitmap of the list's size; transparent pixels white.
  void GetBitmap(int index, TBitmap& out) const;

  // Overlay 1..4 shows image `index`; false for other overlay numbers.
  bool Overlay(int index, int overlay);

  bool Masked() const { return masked_; }
  void SetMasked(bool value);
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor value);
  TColor BlendColor() const { return blendColor_; }
  void SetBlendColor(TColor value);
  TDrawingStyle DrawingStyle() const { return style_; }
  void SetDrawingStyle(TDrawingStyle value);
  TImageType ImageType() const { return type_; }
  void SetImageType(TImageType value);

  // In DrawingStyle and ImageType. A disabled image is drawn embossed, in
  // the style of a disabled tool button: its dark pixels (drawn ones of
  // luminance below 192 out of 255) in clBtnHighlight one pixel right and
  // down, then in clBtnShadow at (x, y); nothing else is drawn.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);
  // Overlay 0 draws none.
  void DrawStyled(TCanvas& canvas, int x, int y, int index, TDrawingStyle style, TImageType type, int overlay = 0);

  // The images in a component stream: width, height and count (32 bits
  // each, least significant byte first), then, when there are images, the
  // images side by side and their mask (black drawn, white transparent) as
  // two bitmaps' data (TBitmap::WriteData). ReadData returns the bytes it
  // took; it raises EReadError for data cut short, a side outside
  // 1..kMaxBitmapSide, a strip wider than kMaxBitmapSide or bitmaps of
  // another size, leaving the list unchanged. Colours are stored in 24 bits.
  std::size_t ReadData(std::span<const std::uint8_t> data);
  void WriteData(std::vector<std::uint8_t>& out) const;

  void RegisterChanges(TChangeLink& link);
  void UnRegisterChanges(TChangeLink& link);
  std::function<void()> OnChange;

 private:
  struct Entry {
    Bitmap32 Image;
    BlitMask Mask;
  };
  void Changed();
  void DrawDisabled(TCanvas& canvas, int x, int y, int index);
  int Append(const TBitmap& image, const std::vector<std::uint8_t>& drawn, int stride);

  int width_;
  int height_;
  std::vector<Entry> images_;
  int overlays_[4] = {-1, -1, -1, -1};
  bool masked_ = true;
  TColor bkColor_ = clNone;
  TColor blendColor_ = clNone;
  TDrawingStyle style_ = dsNormal;
  TImageType type_ = itImage;
  std::vector<TChangeLink*> links_;
};
