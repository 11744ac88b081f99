#include "components/base/DrawRoutines.h"

#include <algorithm>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/ImageList.h"

void DrawRectOutline(TCanvas& canvas, const Rect& rect) {
  canvas.MoveTo(rect.left, rect.top);
  canvas.LineTo(rect.right - 1, rect.top);
  canvas.LineTo(rect.right - 1, rect.bottom - 1);
  canvas.LineTo(rect.left, rect.bottom - 1);
  canvas.LineTo(rect.left, rect.top);
}

void DrawEdgeStyle(DeviceContext& dc, const Rect& rect, int style) {
  Rect r = rect;
  DrawEdge(dc, r, style == 0 ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

void DrawScrollArrow(TCanvas& canvas, bool left, const Rect& rect, bool enabled) {
  const Coord width = RectWidth(rect) - 2, height = RectHeight(rect) - 2;
  if (width < 1 || height < 1) return;
  TBitmap arrow(static_cast<int>(width), static_cast<int>(height));
  // The frame control's rectangle reaches a pixel past the bitmap on every
  // side, so its outer edge is cut off: a flat arrow.
  Rect r{-1, -1, width - 1, height - 1};
  const std::uint32_t state = (left ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT) | DFCS_ADJUSTRECT | DFCS_FLAT |
                              DFCS_TRANSPARENT | (enabled ? 0 : DFCS_INACTIVE);
  DrawFrameControl(arrow.Canvas().Handle(), r, DFC_SCROLL, state);
  canvas.Draw(rect.left + 1, rect.top + 1, arrow);
}

void DrawOverlayImage(TCanvas& canvas, TImageList& images, int index, int backIndex, Coord x, Coord y) {
  TBitmap picture(images.Width(), images.Height());
  images.DrawStyled(picture.Canvas(), 0, 0, backIndex, dsNormal, itImage);
  images.DrawStyled(picture.Canvas(), 0, 0, index, dsTransparent, itImage);
  canvas.Draw(x, y, picture);
}

void ResizeBitmapCentered(TBitmap& bitmap, int width, int height) {
  if (bitmap.Width() == width && bitmap.Height() == height) return;
  const TColor transparent = bitmap.TransparentColor();
  const int oldWidth = bitmap.Width(), oldHeight = bitmap.Height();
  // The old picture is copied first: a painter must not draw an image on
  // itself, and drawing the copy opaque keeps its transparent pixels.
  TBitmap old;
  old.Assign(bitmap);
  old.SetTransparent(false);
  bitmap.SetSize(width, height);
  if (bitmap.Empty()) return;
  const int dx = std::max((width - oldWidth) / 2, 0);
  const int dy = std::max((height - oldHeight) / 2, 0);
  TCanvas& canvas = bitmap.Canvas();
  if (dx != 0 || dy != 0) canvas.Draw(dx, dy, old);
  // An empty bitmap has no transparent colour; its new pixels stay white.
  if (transparent == clDefault) return;
  const TColor brush = canvas.Brush()->Color();
  canvas.Brush()->SetColor(transparent);
  FillOutside(canvas, {0, 0, width, height}, {dx, dy, dx + oldWidth, dy + oldHeight});
  canvas.Brush()->SetColor(brush);
}

int AddBitmapToImageList(TImageList& images, TBitmap& bitmap) {
  ResizeBitmapCentered(bitmap, images.Width(), images.Height());
  return images.AddMasked(bitmap, bitmap.TransparentColor());
}

void MakeCheckBitmap(TBitmap& bitmap, int width, int height, int state, bool thinFrame, bool noFrame) {
  const int side = std::min(width, height);
  bitmap.SetSize(side, side);
  if (bitmap.Empty()) return;
  TCanvas& canvas = bitmap.Canvas();
  canvas.FillRect({0, 0, side, side});
  const int grow = noFrame ? 2 : thinFrame ? 1 : 0;
  Rect box{-grow, -grow, side + grow, side + grow};
  const std::uint32_t flags = state == 0 ? 0 : state == 1 ? DFCS_CHECKED : DFCS_CHECKED | DFCS_BUTTON3STATE;
  DrawFrameControl(canvas.Handle(), box, DFC_BUTTON, DFCS_BUTTONCHECK | flags);
  if (noFrame || !thinFrame) return;
  const TBrushStyle brush = canvas.Brush()->Style();
  canvas.Pen()->SetColor(clBtnShadow);
  canvas.Brush()->SetStyle(TBrushStyle::bsClear);
  canvas.Rectangle(0, 0, side, side);
  canvas.Brush()->SetStyle(brush);
}

void DrawCheckBox(TCanvas& canvas, const Rect& rect, int state, bool thinFrame, bool noFrame, bool transparent) {
  TBitmap box;
  box.Canvas().Brush()->SetColor(canvas.Brush()->Color());
  MakeCheckBitmap(box, static_cast<int>(RectWidth(rect)), static_cast<int>(RectHeight(rect)), state, thinFrame,
                  noFrame);
  if (box.Empty()) return;
  if (transparent)
    canvas.BrushCopy({rect.left, rect.top, rect.left + box.Width(), rect.top + box.Height()}, box,
                     {0, 0, box.Width(), box.Height()}, clWindow);
  else
    canvas.Draw(rect.left, rect.top, box);
}

namespace {
// The byte after the character that starts at `at`.
size_t NextChar(std::string_view text, size_t at) {
  ++at;
  while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  return at;
}

// Where the last character of text[0, end) starts.
size_t LastCharStart(std::string_view text, size_t end) {
  if (end == 0) return 0;
  --end;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return end;
}

constexpr std::string_view kEllipsis = "\u2026";
}  // namespace

std::string EllipsisText(TCanvas& canvas, Coord room, std::string_view text) {
  if (canvas.TextWidth(text) <= room) return std::string(text);
  room -= canvas.TextWidth(kEllipsis);
  size_t end = NextChar(text, 0);
  if (end < text.size()) end = NextChar(text, end);
  // Characters 3 .. Length - 1: the last one is never taken.
  const size_t last = LastCharStart(text, text.size());
  while (end < last && canvas.TextWidth(text.substr(0, end)) <= room) end = NextChar(text, end);
  std::string shown(text.substr(0, LastCharStart(text, end)));
  shown += kEllipsis;
  return shown;
}

void DrawTextEllipsis(TCanvas& canvas, const Rect& rect, Coord x, Coord y, std::string_view text) {
  canvas.TextRect(rect, x, y, EllipsisText(canvas, rect.right - x, text));
}

void DrawExpandButton(TCanvas& canvas, Coord x, Coord y, Coord size, Coord inset, bool expanded) {
  Rect square{x + inset, y + inset, x + size - inset, y + size - inset};
  const Coord width = RectWidth(square);
  DrawFrameControl(canvas.Handle(), square, DFC_BUTTON, DFCS_BUTTONPUSH);
  const Coord k = width < 5 ? 1 : width < 7 ? 3 : 5;
  const Coord left = x + inset + (width - k) / 2, top = y + inset + (width - k) / 2;
  canvas.Pen()->SetColor(clBlack);
  canvas.Pen()->SetStyle(TPenStyle::psSolid);
  canvas.Pen()->SetWidth(1);
  canvas.MoveTo(left, top + k / 2);
  canvas.LineTo(left + k, top + k / 2);
  if (expanded) return;
  canvas.MoveTo(left + k / 2, top);
  canvas.LineTo(left + k / 2, top + k);
}
