#include "components/base/CanvasUtils.h"

#include <algorithm>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/SystemMetrics.h"

void FillRectAround(TCanvas& canvas, const Rect& outer, const Rect& inner) {
  // FillRect draws nothing for an empty band.
  canvas.FillRect({outer.left, outer.top, outer.right, inner.top});
  canvas.FillRect({outer.left, inner.top, inner.left, outer.bottom});
  canvas.FillRect({inner.right, inner.top, outer.right, outer.bottom});
  canvas.FillRect({inner.left, inner.bottom, inner.right, outer.bottom});
}

TMonoMask MonoMaskOf(const TBitmap& mask) {
  TMonoMask result{mask.Width(), mask.Height(), {}};
  result.Bits.resize(static_cast<size_t>(mask.Width()) * mask.Height());
  for (int y = 0; y < mask.Height(); ++y)
    for (int x = 0; x < mask.Width(); ++x)
      result.Bits[static_cast<size_t>(y) * mask.Width() + x] = mask.Pixel(x, y) != clBlack ? 1 : 0;
  return result;
}

void MaskedBlt(TCanvas& target, const Rect& targetRect, const Bitmap32& source, const Rect& sourceRect,
               const TMonoMask& mask) {
  if (mask.Width != source.Width || mask.Height != source.Height) return;
  if (RectWidth(targetRect) < 1 || RectHeight(targetRect) < 1) return;
  if (sourceRect.left < 0 || sourceRect.top < 0 || sourceRect.right > source.Width ||
      sourceRect.bottom > source.Height || RectWidth(sourceRect) < 1 || RectHeight(sourceRect) < 1)
    return;
  // One masked blit does both the plain and the stretched case: the blit's
  // mask marks the pixels drawn, the inverse of the keep bits.
  BlitMask drawn{mask.Width, mask.Height, std::vector<std::uint8_t>(mask.Bits.size())};
  std::transform(mask.Bits.begin(), mask.Bits.end(), drawn.Bits.begin(),
                 [](std::uint8_t keep) { return keep ? 0 : 1; });
  target.Handle().StretchBlt(targetRect.left, targetRect.top, RectWidth(targetRect), RectHeight(targetRect), source,
                             sourceRect.left, sourceRect.top, RectWidth(sourceRect), RectHeight(sourceRect), SRCCOPY,
                             &drawn);
}

void MaskedBlt(TCanvas& target, const Rect& targetRect, const TBitmap& source, const Rect& sourceRect,
               const TBitmap& mask) {
  MaskedBlt(target, targetRect, source.ToBitmap32(), sourceRect, MonoMaskOf(mask));
}

void BlendRect(TCanvas& target, TCanvas& source, const Rect& rect, TColor color, const Rect& targetRect) {
  Bitmap32 under;
  Bitmap32 over;
  if (!target.Handle().ReadPixels(rect, under) || !source.Handle().ReadPixels(rect, over)) return;
  const TColor rgb = ColorToRGB(color);
  TMonoMask mask{under.Width, under.Height, std::vector<std::uint8_t>(static_cast<size_t>(under.Width) * under.Height)};
  for (size_t i = 0; i < mask.Bits.size(); ++i) {
    const std::uint8_t* p = &under.Bgra[i * 4];
    mask.Bits[i] = RGB(p[2], p[1], p[0]) == rgb ? 1 : 0;
  }
  MaskedBlt(target, targetRect, over, {0, 0, over.Width, over.Height}, mask);
}

namespace {
struct CheckBoxSize {
  std::int32_t Width;
  std::int32_t Height;
};
const CheckBoxSize& CheckBoxGlyph() {
  static const CheckBoxSize size{kCheckBoxesBitmapWidth / 4, kCheckBoxesBitmapHeight / 3};
  return size;
}
}  // namespace

std::int32_t GetCheckBoxWidth() { return CheckBoxGlyph().Width; }
std::int32_t GetCheckBoxHeight() { return CheckBoxGlyph().Height; }
