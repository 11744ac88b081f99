#pragma once
// Small drawing steps that the family's editors and lists share: rectangle
// sizes, filling around a rectangle, blits through a two-colour mask and
// the size of a check-box glyph.

#include <cstdint>
#include <vector>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/DeviceTypes.h"

class TBitmap;

inline Coord RectWidth(const Rect& r) { return r.right - r.left; }
inline Coord RectHeight(const Rect& r) { return r.bottom - r.top; }

// Fills, with the canvas brush, the parts of `outer` around `inner`: the
// band above `inner` (the whole width of `outer`), then from `inner`'s top
// down to `outer`'s bottom the band on the left, the band on the right and
// the band below `inner`. Empty bands draw nothing; an `inner` partly
// outside `outer` fills what the bands cover.
void FillRectAround(TCanvas& canvas, const Rect& outer, const Rect& inner);

// A two-colour mask as the blits below read it: bit 0 (black) lets the
// source through, bit 1 (any other colour) keeps the target. A mask bitmap
// converts with MonoMaskOf.
struct TMonoMask {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<std::uint8_t> Bits;  // 1 = keep the target
};
TMonoMask MonoMaskOf(const TBitmap& mask);

// Copies the part `sourceRect` of `source` onto `targetRect` of the canvas's
// device through `mask` (of the source's size): where the mask bit is 0 the
// target takes the source, where it is 1 it stays. The part is stretched
// when the two rectangles differ in size, pixel by pixel, so that a masked
// copy of equal size and a stretched one agree on every pixel they share.
// Nothing is drawn for an empty rectangle, a part outside the source, or a
// mask of another size.
void MaskedBlt(TCanvas& target, const Rect& targetRect, const Bitmap32& source, const Rect& sourceRect,
               const TMonoMask& mask);
void MaskedBlt(TCanvas& target, const Rect& targetRect, const TBitmap& source, const Rect& sourceRect,
               const TBitmap& mask);

// Reads `rect` of the target's device into a mask (pixels of `color` keep
// the target, all others take the source) and copies `source`'s same part
// through it with MaskedBlt onto `targetRect`: the source shows only where
// the target was not `color`. Nothing for a device that cannot be read back
// (TCanvas::CopyRect).
void BlendRect(TCanvas& target, TCanvas& source, const Rect& rect, TColor color, const Rect& targetRect);

// One glyph of the classic check-box bitmap (four glyphs across, three
// down), measured once: 13 x 13 pixels.
std::int32_t GetCheckBoxWidth();
std::int32_t GetCheckBoxHeight();
