#pragma once
// Free drawing routines of the family's controls: outlines, edge frames,
// flat scroll arrows, check-box pictures, an image over another from an
// image list, bitmaps resized for image lists, text shortened with an
// ellipsis and the plus and minus buttons of an outline. They keep no
// state. Coded text (inline style codes) is in CodedText.h.

#include <cstdint>
#include <string>
#include <string_view>

#include "components/base/CanvasUtils.h"
#include "platform/graphics/DeviceContext.h"

class TBitmap;
class TImageList;

// A one-pixel outline just inside `rect` with the current pen.
void DrawRectOutline(TCanvas& canvas, const Rect& rect);

// The parts of `outer` around `inner`, with the current brush.
inline void FillOutside(TCanvas& canvas, const Rect& outer, const Rect& inner) { FillRectAround(canvas, outer, inner); }

// A thin frame round `rect`: style 0 sunken (BDR_SUNKENOUTER), any other
// raised (BDR_RAISEDINNER).
void DrawEdgeStyle(DeviceContext& dc, const Rect& rect, int style);

// A flat scroll arrow inside `rect` (one pixel in from each side), pointing
// left or right, dimmed when not enabled.
void DrawScrollArrow(TCanvas& canvas, bool left, const Rect& rect, bool enabled);

// Image `backIndex` of the list drawn normally, image `index` drawn over it
// transparently, both through a bitmap of the list's size put at (x, y).
void DrawOverlayImage(TCanvas& canvas, TImageList& images, int index, int backIndex, Coord x, Coord y);

// Makes the bitmap `width` x `height` with the old picture centred on a
// border of its transparent colour (taken before the resize); a smaller
// side keeps the top-left part. Odd differences round the offset toward
// zero (16 to 19 wide: 1 pixel on the left, 2 on the right). Nothing when
// the size is already that. The canvas's brush colour is kept.
void ResizeBitmapCentered(TBitmap& bitmap, int width, int height);

// Resizes the bitmap to the list's image size (ResizeBitmapCentered) and
// adds it masked by its transparent colour; the new image's index.
int AddBitmapToImageList(TImageList& images, TBitmap& bitmap);

// Check states: 0 unchecked, 1 checked, any other grayed.
// The bitmap becomes a square of side min(width, height), filled with its
// canvas's brush colour, holding a check box: with noFrame the box's 3D
// frame falls outside the bitmap (its rectangle enlarged by 2 on each
// side); with thinFrame it is enlarged by 1 and a clBtnShadow outline is
// drawn round the bitmap's border; otherwise the whole 3D box shows.
void MakeCheckBitmap(TBitmap& bitmap, int width, int height, int state, bool thinFrame, bool noFrame);

// A check-box picture (MakeCheckBitmap on a ground of the canvas's brush
// colour) at the top-left of `rect`, in the size rect's smaller side; with
// transparent, its clWindow pixels take the canvas brush (BrushCopy).
void DrawCheckBox(TCanvas& canvas, const Rect& rect, int state, bool thinFrame, bool noFrame, bool transparent);

// What DrawTextEllipsis shows of `text` in `room` pixels: the text when it
// fits, otherwise its first characters (code points, never a cut UTF-8
// sequence) and "…" (U+2026). Characters are added while the part so far
// fits the room less the ellipsis's width, then the last one is dropped, so
// the text's last character is never shown with the ellipsis; a text of two
// or three characters that does not fit becomes its first and "…".
std::string EllipsisText(TCanvas& canvas, Coord room, std::string_view text);
// TextRect(rect, x, y, EllipsisText(canvas, rect.right - x, text)).
void DrawTextEllipsis(TCanvas& canvas, const Rect& rect, Coord x, Coord y, std::string_view text);

// A push-button square (x + inset, y + inset) to (x + size - inset,
// y + size - inset) with a sign in a black pen one pixel wide: a minus when
// expanded, a plus otherwise, of side 1, 3 or 5 (square narrower than 5, 5
// or 6, wider) centred in it. The canvas pen stays black, solid, 1 wide.
void DrawExpandButton(TCanvas& canvas, Coord x, Coord y, Coord size, Coord inset, bool expanded);
