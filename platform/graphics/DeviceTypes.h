#pragma once
// The vocabulary of a device context: modes, logical descriptions of fonts,
// pens and brushes, typed object handles, 24-bit bitmaps and the device
// capabilities. Names and numeric values follow the graphics interface the
// drawing code was designed against, so that code reads like its description.

#include <compare>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/Color.h"

enum GraphicsMode : std::uint8_t { GM_COMPATIBLE = 1, GM_ADVANCED = 2 };

// MM_TEXT: one logical unit is one device unit. MM_ANISOTROPIC: a logical
// x maps to x * viewport extent / window extent (the same for y), each axis
// on its own.
enum MapMode : std::uint8_t { MM_TEXT = 1, MM_ANISOTROPIC = 8 };

// Whether the gaps of text cells, dashed pens and hatched brushes are filled
// with the background colour.
enum BkMode : std::uint8_t { TRANSPARENT = 1, OPAQUE = 2 };

// Direction in which Arc runs from its start ray to its end ray, as seen on
// the device (y growing downwards).
enum ArcDirection : std::uint8_t { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };

// Mixing of pen and brush colour P with the destination D (the sixteen binary
// raster operations; text, bitmaps and FillRect always copy).
enum Rop2 : std::uint8_t {
  R2_BLACK = 1,        // 0
  R2_NOTMERGEPEN,      // ~(P | D)
  R2_MASKNOTPEN,       // ~P & D
  R2_NOTCOPYPEN,       // ~P
  R2_MASKPENNOT,       // P & ~D
  R2_NOT,              // ~D
  R2_XORPEN,           // P ^ D
  R2_NOTMASKPEN,       // ~(P & D)
  R2_MASKPEN,          // P & D
  R2_NOTXORPEN,        // ~(P ^ D): drawing the same shape twice restores D
  R2_NOP,              // D
  R2_MERGENOTPEN,      // ~P | D
  R2_COPYPEN,          // P
  R2_MERGEPENNOT,      // P | ~D
  R2_MERGEPEN,         // P | D
  R2_WHITE,            // 1
};

// Text alignment flags: one horizontal and one vertical choice, or-ed.
// TA_BOTTOM puts the bottom of the character cell (baseline plus descent) on
// the given y, TA_TOP its top, TA_BASELINE the baseline.
enum TextAlignFlags : std::uint32_t {
  TA_LEFT = 0,
  TA_RIGHT = 2,
  TA_CENTER = 6,
  TA_TOP = 0,
  TA_BOTTOM = 8,
  TA_BASELINE = 24,
};
inline constexpr std::uint32_t kTextAlignHorizontalMask = 6;
inline constexpr std::uint32_t kTextAlignVerticalMask = 24;

enum DeviceCap : std::uint8_t {
  HORZSIZE = 4,    // width in millimetres
  VERTSIZE = 6,    // height in millimetres
  HORZRES = 8,     // width in pixels
  VERTRES = 10,    // height in pixels
  LOGPIXELSX = 88, // pixels per inch
  LOGPIXELSY = 90,
};

// Sizes of a device: the screen for a window, the page for a printer.
struct DeviceInfo {
  std::int32_t HorzRes = 0;
  std::int32_t VertRes = 0;
  std::int32_t HorzSize = 0;
  std::int32_t VertSize = 0;
  std::int32_t LogPixelsX = 96;
  std::int32_t LogPixelsY = 96;
  bool operator==(const DeviceInfo&) const = default;
};
inline constexpr std::int32_t kDefaultPixelsPerInch = 96;

// A device of width x height pixels at `pixelsPerInch` (96 when 0 or less),
// with its millimetre sizes worked out from the resolution.
DeviceInfo DeviceInfoFromPixels(std::int32_t width, std::int32_t height, std::int32_t pixelsPerInch);

// ---- Fonts --------------------------------------------------------------
enum FontPitchRequest : std::uint8_t { DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2 };
inline constexpr std::int32_t FW_NORMAL = 400;
inline constexpr std::int32_t FW_BOLD = 700;
// Character sets of a font request (the stored values).
inline constexpr std::uint8_t ANSI_CHARSET = 0;
inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr std::uint8_t SYMBOL_CHARSET = 2;
inline constexpr std::uint8_t OEM_CHARSET = 255;

// Height in logical units: negative = character height (the em, without
// internal leading), positive = cell height (ascent plus descent), 0 = a
// default character height of 12. Escapement is the direction of the
// baseline in tenths of a degree counter-clockwise from the x axis; glyphs
// turn with it (Orientation is kept for the record and expected equal).
// Weight 100..900. Text is drawn at most 16384 device pixels tall.
// FaceName goes through the font substitutions (Arial to a
// metric-compatible sans face, FixedSys to a monospace face, unknown names to
// the default sans face). Charset is kept for the record; faces are chosen
// by name only.
struct LogFont {
  std::int32_t Height = 0;
  std::int32_t Escapement = 0;
  std::int32_t Orientation = 0;
  std::int32_t Weight = FW_NORMAL;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  FontPitchRequest Pitch = DEFAULT_PITCH;
  std::string FaceName;
  std::uint8_t Charset = DEFAULT_CHARSET;
  bool operator==(const LogFont&) const = default;
};

// ---- Pens ---------------------------------------------------------------
enum PenType : std::uint8_t { PS_COSMETIC = 0, PS_GEOMETRIC = 1 };
enum PenDashStyle : std::uint8_t {
  PS_SOLID = 0,
  PS_DASH = 1,
  PS_DOT = 2,
  PS_DASHDOT = 3,
  PS_DASHDOTDOT = 4,
  PS_NULL = 5,
  PS_INSIDEFRAME = 6,  // drawn as PS_SOLID
};
enum PenEndCap : std::uint8_t { PS_ENDCAP_ROUND = 0, PS_ENDCAP_SQUARE = 1, PS_ENDCAP_FLAT = 2 };
enum PenJoin : std::uint8_t { PS_JOIN_ROUND = 0, PS_JOIN_BEVEL = 1, PS_JOIN_MITER = 2 };

// A cosmetic pen is one device pixel wide whatever the mapping; its dashes
// are 18 pixels with gaps of 6, its dots 3 with gaps of 3. A geometric pen is
// Width logical units wide (0 is drawn as a cosmetic pen); its caps square
// (half the width beyond the end point), round or flat, its joins mitred
// (limit 10 widths), round or bevelled; dashes are 3 widths and dots 1 width
// long with gaps of 1 width, caps included, so a dotted line stays dotted
// whatever its caps. Widths beyond 32767 logical units are drawn as 32767.
struct LogPen {
  PenType Type = PS_COSMETIC;
  PenDashStyle Style = PS_SOLID;
  PenEndCap EndCap = PS_ENDCAP_ROUND;
  PenJoin Join = PS_JOIN_ROUND;
  std::int32_t Width = 1;
  TColor Color = clBlack;
  bool operator==(const LogPen&) const = default;
};

// A pen as simple drawing code asks for one: width 0 or 1 gives a cosmetic
// pen of that style; a wider one is geometric with round caps and joins and,
// as on the original platform, solid unless the style is PS_NULL or
// PS_INSIDEFRAME. A negative width counts as 0.
LogPen SimpleLogPen(PenDashStyle style, std::int32_t width, TColor color);

// ---- Brushes ------------------------------------------------------------
// BS_PATTERN repeats a two-colour pattern: its set pixels take the text
// colour and its clear ones the background colour of the moment of drawing.
// BS_DIBPATTERN repeats a colour image (alpha ignored). Both are laid in
// device pixels from the brush origin (DeviceContext::SetBrushOrgEx), not
// scaled by the mapping.
enum BrushKind : std::uint8_t { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5 };
// Hatches are 8-pixel patterns in device pixels, not scaled by the mapping.
// HS_FDIAGONAL runs down from left to right, HS_BDIAGONAL up.
enum HatchStyle : std::uint8_t {
  HS_HORIZONTAL = 0,
  HS_VERTICAL = 1,
  HS_FDIAGONAL = 2,
  HS_BDIAGONAL = 3,
  HS_CROSS = 4,
  HS_DIAGCROSS = 5,
};

// ---- Blits and clipping --------------------------------------------------
// Raster operations of blits: how source (S), pattern (the brush, P) and
// destination (D) mix. The inverting ones (SRCINVERT, DSTINVERT, PATINVERT)
// undo themselves when done twice.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;    // S
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086;   // S or D
inline constexpr std::uint32_t SRCAND = 0x008800C6;     // S and D
inline constexpr std::uint32_t SRCINVERT = 0x00660046;  // S xor D
inline constexpr std::uint32_t DSTINVERT = 0x00550009;  // not D
inline constexpr std::uint32_t PATCOPY = 0x00F00021;    // P
inline constexpr std::uint32_t PATINVERT = 0x005A0049;  // P xor D
inline constexpr std::uint32_t BLACKNESS = 0x00000042;
inline constexpr std::uint32_t WHITENESS = 0x00FF0062;

// ExtTextOut options: fill the rectangle with the background colour first
// (ETO_OPAQUE), keep the text inside it (ETO_CLIPPED).
inline constexpr std::uint32_t ETO_OPAQUE = 0x0002;
inline constexpr std::uint32_t ETO_CLIPPED = 0x0004;

// What a clip is after a clipping call.
enum RegionKind : std::uint8_t { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };

// ---- Handles ------------------------------------------------------------
// Small typed ids of the objects of one device context; 0 is no object.
// Handles of different contexts are unrelated.
template <class Tag>
struct Handle {
  std::uint32_t id = 0;
  explicit operator bool() const { return id != 0; }
  auto operator<=>(const Handle&) const = default;
};
using FontHandle = Handle<struct FontTag>;
using PenHandle = Handle<struct PenTag>;
using BrushHandle = Handle<struct BrushTag>;

// Stock objects every context has from the start. They can be selected like
// any other object; deleting them does nothing.
inline constexpr PenHandle kBlackPen{1};   // cosmetic, solid, black: selected at first
inline constexpr PenHandle kWhitePen{2};
inline constexpr PenHandle kNullPen{3};
inline constexpr BrushHandle kWhiteBrush{4};  // selected at first
inline constexpr BrushHandle kBlackBrush{5};
inline constexpr BrushHandle kNullBrush{6};
inline constexpr FontHandle kSystemFont{7};  // height 0, default face: selected at first
inline constexpr std::uint32_t kFirstObjectId = 8;

// ---- Bitmaps ------------------------------------------------------------
// A 24-bit picture: rows from top to bottom, three bytes per pixel in the
// order blue, green, red, no padding. Valid when Width and Height are above 0
// and Bgr holds exactly Width * Height * 3 bytes.
struct Bitmap24 {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<std::uint8_t> Bgr;
  bool IsValid() const;
  bool operator==(const Bitmap24&) const = default;
};

// A 32-bit picture: rows from top to bottom, four bytes per pixel in the
// order blue, green, red, alpha, no padding. Blits take the colour and
// ignore the alpha byte. Valid when Width and Height are above 0 and Bgra
// holds exactly Width * Height * 4 bytes.
struct Bitmap32 {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<std::uint8_t> Bgra;
  bool IsValid() const;
  bool operator==(const Bitmap32&) const = default;
};

// Which pixels of a blit's source are drawn: one byte per source pixel, rows
// from top to bottom, drawn where the byte is not 0. Valid when Width and
// Height are above 0 and Bits holds exactly Width * Height bytes.
struct BlitMask {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<std::uint8_t> Bits;
  bool IsValid() const;
  bool operator==(const BlitMask&) const = default;
};

// A brush. Pattern is used by BS_PATTERN (one byte a pixel, set where not
// 0), Image by BS_DIBPATTERN; both stay empty for the other kinds.
struct LogBrush {
  LogBrush() = default;
  LogBrush(BrushKind style, TColor color, HatchStyle hatch = HS_HORIZONTAL)
      : Style(style), Color(color), Hatch(hatch) {}
  BrushKind Style = BS_SOLID;
  TColor Color = clWhite;
  HatchStyle Hatch = HS_HORIZONTAL;
  BlitMask Pattern;
  Bitmap32 Image;
  bool operator==(const LogBrush&) const = default;
};
