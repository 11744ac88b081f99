#pragma once
// A device context: the drawing interface every picture, window, printer page
// and test trace shares. The base class keeps the device state and the object
// table and checks every argument; implementations (PictureRecorder,
// PainterContext, TraceContext) receive each accepted call once, as a Command
// with 32-bit values, through Apply.
//
// Guarantees:
// - Coordinates are 64-bit; a value outside the 32-bit range raises
//   EIntOverflow before anything happens, so a failed call has no effect and
//   the context stays usable (a caller may catch and go on).
// - Objects are created, selected (the previous object of the same kind is
//   returned) and deleted. An unknown or deleted handle is refused: Select
//   returns no handle, Delete returns false. Deleting a selected object is
//   refused (false) and leaves it alive. Stock objects cannot be deleted.
// - Colours may be system colours; they are resolved to RGB when the call is
//   made, so what is recorded does not change with the palette.
//
// Initial state: GM_COMPATIBLE, MM_TEXT, extents 1 x 1, OPAQUE, background
// white, text black, TA_LEFT | TA_TOP, AD_COUNTERCLOCKWISE, R2_COPYPEN,
// position (0, 0), brush origin (0, 0), kBlackPen, kWhiteBrush and
// kSystemFont selected; text measured by a FixedTextMeasurer.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/DeviceTypes.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/TextMeasurer.h"

class DeviceContext {
 public:
  explicit DeviceContext(const DeviceInfo& device);
  virtual ~DeviceContext();
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  // ---- Capabilities and state (setters return the previous value) ----
  std::int32_t GetDeviceCaps(DeviceCap cap) const;
  const DeviceInfo& Device() const { return device_; }

  GraphicsMode SetGraphicsMode(GraphicsMode mode);
  GraphicsMode GetGraphicsMode() const { return state_.graphicsMode; }
  MapMode SetMapMode(MapMode mode);
  MapMode GetMapMode() const { return state_.mapMode; }
  // Extents are used by MM_ANISOTROPIC. A zero extent is refused (false).
  bool SetWindowExt(Coord cx, Coord cy);
  bool SetViewportExt(Coord cx, Coord cy);
  Size GetWindowExt() const { return {state_.windowExt.x, state_.windowExt.y}; }
  Size GetViewportExt() const { return {state_.viewportExt.x, state_.viewportExt.y}; }
  BkMode SetBkMode(BkMode mode);
  BkMode GetBkMode() const { return state_.bkMode; }
  TColor SetBkColor(TColor color);
  TColor GetBkColor() const { return state_.bkColor; }
  TColor SetTextColor(TColor color);
  TColor GetTextColor() const { return state_.textColor; }
  // flags: TA_LEFT, TA_RIGHT or TA_CENTER or-ed with TA_TOP, TA_BOTTOM or
  // TA_BASELINE; other bits are dropped.
  std::uint32_t SetTextAlign(std::uint32_t flags);
  std::uint32_t GetTextAlign() const { return state_.textAlign; }
  ArcDirection SetArcDirection(ArcDirection direction);
  ArcDirection GetArcDirection() const { return state_.arcDirection; }
  Rop2 SetROP2(Rop2 rop);
  Rop2 GetROP2() const { return state_.rop2; }
  // Where pattern brushes start, in device pixels; returns the previous one.
  Point SetBrushOrgEx(Coord x, Coord y);
  Point GetBrushOrgEx() const { return {state_.brushOrigin.x, state_.brushOrigin.y}; }

  // ---- Objects ----
  FontHandle CreateFontIndirect(const LogFont& font);
  PenHandle ExtCreatePen(const LogPen& pen);
  // ExtCreatePen(SimpleLogPen(style, width, color)).
  PenHandle CreatePen(PenDashStyle style, Coord width, TColor color);
  // A BS_PATTERN brush without a valid Pattern, or a BS_DIBPATTERN one
  // without a valid Image, is refused (no handle).
  BrushHandle CreateBrushIndirect(const LogBrush& brush);
  FontHandle SelectObject(FontHandle font);
  PenHandle SelectObject(PenHandle pen);
  BrushHandle SelectObject(BrushHandle brush);
  bool DeleteObject(FontHandle font);
  bool DeleteObject(PenHandle pen);
  bool DeleteObject(BrushHandle brush);
  FontHandle CurrentFont() const { return state_.font; }
  PenHandle CurrentPen() const { return state_.pen; }
  BrushHandle CurrentBrush() const { return state_.brush; }
  // The description of a live object, or nullptr.
  const LogFont* FontOf(FontHandle font) const;
  const LogPen* PenOf(PenHandle pen) const;
  const LogBrush* BrushOf(BrushHandle brush) const;
  // Objects created and not yet deleted (stock objects not counted).
  int LiveObjectCount() const { return liveObjects_; }

  // ---- Drawing ----
  // Moves the current position; returns the previous one.
  Point MoveTo(Coord x, Coord y);
  Point GetCurrentPosition() const { return {state_.position.x, state_.position.y}; }
  // Line from the current position to (x, y) with the current pen; (x, y)
  // becomes the current position.
  void LineTo(Coord x, Coord y);
  // Connected lines through the points (none for fewer than two).
  void Polyline(std::span<const Point> points);
  // Closed polygon, filled with the current brush (alternate rule: an area
  // enclosed an odd number of times is inside) and outlined with the pen.
  void Polygon(std::span<const Point> points);
  // Cubic Bezier curves: a start point and three points (two controls, an
  // end) per segment, 3J + 1 points in all; any other count is refused
  // (false) and nothing is drawn.
  bool PolyBezier(std::span<const Point> points);
  // Ellipse inscribed in the rectangle, filled and outlined.
  void Ellipse(Coord left, Coord top, Coord right, Coord bottom);
  // Arc of the ellipse inscribed in the rectangle, outlined only: it starts
  // where the ray from the centre through (xStart, yStart) meets the ellipse
  // and runs in the arc direction to where the ray through (xEnd, yEnd) meets
  // it; equal rays draw the whole ellipse.
  void Arc(Coord left, Coord top, Coord right, Coord bottom, Coord xStart, Coord yStart,
           Coord xEnd, Coord yEnd);
  // UTF-8 text in the current font and text colour, placed by the text
  // alignment and turned by the font's escapement about (x, y). With OPAQUE
  // the character cells are filled with the background colour first.
  void TextOut(Coord x, Coord y, std::string_view text);
  // TextOut with a rectangle and per-character advances. ETO_OPAQUE fills
  // `rect` with the background colour (also for empty text), ETO_CLIPPED
  // keeps the text inside it; without `rect` both are dropped. `advances`
  // (logical units, one per code point) place each character that far after
  // the one before, and their sum is the text's width for the alignment;
  // empty advances use the font's own. Refused (false): advances of another
  // count than the text's code points.
  bool ExtTextOut(Coord x, Coord y, std::uint32_t options, const Rect* rect, std::string_view text,
                  std::span<const std::int32_t> advances = {});
  // The whole bitmap stretched into the rectangle (x, y, width, height),
  // pixel by pixel without smoothing. An invalid bitmap or an empty
  // rectangle is refused (false).
  bool StretchDIBits(Coord x, Coord y, Coord width, Coord height, const Bitmap24& bitmap);
  // Rectangle filled with the brush and outlined with the pen.
  void Rectangle(Coord left, Coord top, Coord right, Coord bottom);
  // Fills the rectangle with `brush` (selected or not), without outline;
  // false for an unknown brush.
  bool FillRect(const Rect& rect, BrushHandle brush);

  // ---- Text measures ----
  // Width and cell height of `text` in the selected font, by the text
  // measurer; the font's height counts as pixels, so under a mapping the
  // result is in logical units. (0, height) for empty text.
  Size GetTextExtentPoint(std::string_view text) const;
  // The measurer used from now on (not owned; it must outlive its use);
  // nullptr goes back to the deterministic FixedTextMeasurer.
  void SetTextMeasurer(const TextMeasurer* measurer);
  const TextMeasurer& Measurer() const { return *measurer_; }

  // ---- Clipping and saved states ----
  // The clip is a set of rectangles in device pixels; there is none at first
  // (everything shows). Rectangles are given in logical units and mapped with
  // the map mode of the moment. Each call tells what is left: NULLREGION
  // (nothing shows), SIMPLEREGION (one rectangle) or COMPLEXREGION.
  RegionKind IntersectClipRect(Coord left, Coord top, Coord right, Coord bottom);
  RegionKind ExcludeClipRect(Coord left, Coord top, Coord right, Coord bottom);
  // The clip becomes the union of `rects`; nullptr removes the clip.
  RegionKind SelectClipRgn(const std::vector<Rect>* rects);
  // The clip in device pixels as disjoint rectangles; nullptr for none.
  const std::vector<Rect>* ClipRects() const { return state_.clip.get(); }
  // Saves the whole state (modes, colours, position, selected objects,
  // clip) and returns the new save level, 1 for the first.
  int SaveDC();
  // Goes back to the state saved at `level` (negative: counted back from the
  // last, -1 the last) and drops it and later saves; false, changing nothing,
  // for a level that is not saved. Objects deleted since stay unselected.
  bool RestoreDC(int level);
  // States saved and not restored.
  int SaveLevel() const { return static_cast<int>(saved_.size()); }

  // ---- Pattern blits ----
  // Fills (x, y, width, height) by PATCOPY (the brush), PATINVERT (brush xor
  // destination), DSTINVERT, BLACKNESS or WHITENESS; another operation is
  // refused (false). Negative sizes extend left or up.
  bool PatBlt(Coord x, Coord y, Coord width, Coord height, std::uint32_t rop);
  // PatBlt of the rectangle with DSTINVERT.
  void InvertRect(const Rect& rect);

  // ---- Blits of 32-bit images ----
  // The part (sx, sy, sw, sh) of `source` into (x, y, width, height),
  // stretched pixel by pixel without smoothing and mixed with what is there
  // by `rop`: SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, or an operation of
  // PatBlt (which ignores the source and is done as PatBlt). With a mask (of
  // the source's size) only the pixels whose mask byte is set are drawn.
  // Refused (false): another operation, an invalid image or mask, a mask of
  // another size, a part not inside the image, a size below 1.
  bool StretchBlt(Coord x, Coord y, Coord width, Coord height, const Bitmap32& source, Coord sx, Coord sy,
                  Coord sw, Coord sh, std::uint32_t rop, const BlitMask* mask = nullptr);
  // StretchBlt without stretching.
  bool BitBlt(Coord x, Coord y, Coord width, Coord height, const Bitmap32& source, Coord sx, Coord sy,
              std::uint32_t rop, const BlitMask* mask = nullptr);

  // ---- Reading back ----
  // The pixels of `rect` (device pixels) as they are now, alpha 255, for a
  // device that keeps its pixels in memory (a PainterContext on a QImage).
  // False, leaving `out` alone, for every other device and for a rectangle
  // that is empty or not inside the device.
  virtual bool ReadPixels(const Rect& rect, Bitmap32& out) const;

  // ---- The calls as implementations and picture replay see them ----
  enum class Op : std::uint8_t {
    SetGraphicsMode, SetMapMode, SetWindowExt, SetViewportExt, SetBkMode, SetBkColor,
    SetTextColor, SetTextAlign, SetArcDirection, SetROP2,
    CreateFont, CreatePen, CreateBrush, SelectFont, SelectPen, SelectBrush, DeleteObject,
    MoveTo, LineTo, Polyline, Polygon, PolyBezier, Ellipse, Arc, TextOut, StretchDIBits,
    Rectangle, FillRect,
    IntersectClipRect, ExcludeClipRect, SelectClipRgn, SaveDC, RestoreDC, PatBlt, StretchBlt,
    SetBrushOrg, ExtTextOut,
  };
  // One accepted call. Scalars: a mode or colour in a; extents in a, b;
  // points in a, b; rectangles in a, b, c, d (left, top, right, bottom);
  // StretchDIBits x, y, width, height in a..d. Arc: the rectangle in a..d and
  // the start and end points in `points`. Object calls: the handle in id (for
  // Create the new object, whose description FontOf/PenOf/BrushOf give); for
  // FillRect the brush; DeleteObject also tells the kind in a (0 font, 1 pen,
  // 2 brush). Clip rectangles in a..d; SelectClipRgn gives each rectangle as
  // two points (a = 1: clip removed). SaveDC: the new level in a; RestoreDC:
  // the number of levels dropped in a. PatBlt: x, y, width, height in a..d,
  // the raster operation in id. StretchBlt: the destination as PatBlt, the
  // source part as points (sx, sy) and (sw, sh), `image` and `mask`.
  // SetBrushOrg: the origin in a, b. ExtTextOut: x, y in a, b, the options
  // in id, the rectangle as two points (none when the options have neither
  // rectangle bit), `text` and `advances`. The state is already updated when
  // Apply runs.
  struct Command {
    Op op;
    std::int32_t a = 0, b = 0, c = 0, d = 0;
    std::uint32_t id = 0;
    std::span<const PointI> points = {};
    std::string_view text = {};
    const Bitmap24* bitmap = nullptr;
    const Bitmap32* image = nullptr;
    const BlitMask* mask = nullptr;
    std::span<const std::int32_t> advances = {};
  };

 protected:
  virtual void Apply(const Command& command) = 0;

  // The state as Apply sees it.
  struct State {
    GraphicsMode graphicsMode = GM_COMPATIBLE;
    MapMode mapMode = MM_TEXT;
    PointI windowExt{1, 1};
    PointI viewportExt{1, 1};
    BkMode bkMode = OPAQUE;
    TColor bkColor = clWhite;
    TColor textColor = clBlack;
    std::uint32_t textAlign = TA_LEFT | TA_TOP;
    ArcDirection arcDirection = AD_COUNTERCLOCKWISE;
    Rop2 rop2 = R2_COPYPEN;
    PointI position;
    PointI brushOrigin;
    FontHandle font = kSystemFont;
    PenHandle pen = kBlackPen;
    BrushHandle brush = kWhiteBrush;
    std::shared_ptr<const std::vector<Rect>> clip;  // device pixels; none: null
  };
  const State& CurrentState() const { return state_; }

 private:
  enum class Kind : std::uint8_t { Font, Pen, Brush };
  struct Entry {
    Kind kind;
    bool alive;
    bool stock;
    std::uint32_t index;  // into fonts_, pens_ or brushes_
  };
  const Entry* Live(std::uint32_t id, Kind kind) const;
  std::uint32_t AddObject(Kind kind, std::uint32_t index, bool stock);
  bool Delete(std::uint32_t id, Kind kind);
  std::span<const PointI> Checked(std::span<const Point> points);
  Rect DeviceRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) const;
  RegionKind SetClip(std::vector<Rect> rects, const Command& command);

  DeviceInfo device_;
  State state_;
  std::vector<State> saved_;
  std::vector<Entry> objects_;  // indexed by handle id; ids are never reused
  std::vector<LogFont> fonts_;
  std::vector<LogPen> pens_;
  std::vector<LogBrush> brushes_;
  int liveObjects_ = 0;
  std::vector<PointI> scratch_;
  const TextMeasurer* measurer_;
};
