#pragma once
// Font, pen and brush as the program's settings hold them: plain values that
// can be compared and copied. They become device objects only when drawing,
// through the conversions at the end of this file.

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/graphics/Color.h"
#include "platform/graphics/DeviceTypes.h"
#include "platform/graphics/Geometry.h"

// ---- Font ----
enum class TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles; Bits() is the stored form (bold 1, italic 2,
// underline 4, strike-out 8).
class TFontStyles {
 public:
  constexpr TFontStyles() = default;
  constexpr TFontStyles(std::initializer_list<TFontStyle> styles) {
    for (TFontStyle s : styles) bits_ |= Bit(s);
  }
  static constexpr TFontStyles FromBits(std::uint8_t bits) {
    TFontStyles s;
    s.bits_ = bits & 0x0F;
    return s;
  }
  constexpr std::uint8_t Bits() const { return bits_; }
  constexpr bool Contains(TFontStyle s) const { return (bits_ & Bit(s)) != 0; }
  constexpr void Include(TFontStyle s) { bits_ |= Bit(s); }
  constexpr void Exclude(TFontStyle s) { bits_ &= static_cast<std::uint8_t>(~Bit(s)); }
  constexpr bool operator==(const TFontStyles&) const = default;

 private:
  static constexpr std::uint8_t Bit(TFontStyle s) { return static_cast<std::uint8_t>(1u << static_cast<int>(s)); }
  std::uint8_t bits_ = 0;
};

enum class TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };

// Height is in pixels: negative for the character height, positive for the
// cell height. Size is in points at PixelsPerInch:
// Size() = -MulDiv(Height, 72, PixelsPerInch), SetSize(s) sets
// Height = -MulDiv(s, PixelsPerInch, 72).
struct TFontData {
  std::string Name = "Arial";
  std::int32_t Height = -11;  // 8 points at 96 pixels per inch
  TColor Color = clWindowText;
  TFontStyles Style;
  TFontPitch Pitch = TFontPitch::fpDefault;
  std::int32_t PixelsPerInch = kDefaultPixelsPerInch;
  std::uint8_t Charset = DEFAULT_CHARSET;

  std::int32_t Size() const;
  void SetSize(std::int32_t points);
  bool operator==(const TFontData&) const = default;
};

// ---- Pen ----
// Ordinals are the stored values.
enum class TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// How the pen mixes with what is already drawn (see Rop2 in DeviceTypes.h).
enum class TPenMode : std::uint8_t {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor,
};

// Width in pixels.
struct TPenData {
  TColor Color = clBlack;
  std::int32_t Width = 1;
  TPenStyle Style = TPenStyle::psSolid;
  TPenMode Mode = TPenMode::pmCopy;
  bool operator==(const TPenData&) const = default;
};

// ---- Brush ----
// Ordinals are the stored values.
enum class TBrushStyle : std::uint8_t {
  bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross,
};

struct TBrushData {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
  bool operator==(const TBrushData&) const = default;
};

// ---- Conversions to device objects ----

// The logical font of `font` for a device that draws `scale` logical units a
// pixel: height scale x Height, escapement and orientation as given, weight
// 700 with fsBold else 400, italic, underline and strike-out from the style,
// VARIABLE_PITCH for fpVariable, FIXED_PITCH for fpFixed, else DEFAULT_PITCH,
// face name = Name, charset = Charset.
LogFont LogFontOf(const TFontData& font, std::int32_t scale = 1, std::int32_t escapement = 0);

// The font data a logical font asks for, for measuring it: Name = face
// name, Height as given (0, the default height, as -12), fsBold from weight
// 600 up, italic, underline and strike-out, the pitch and the charset.
TFontData FontDataOfLogFont(const LogFont& font);

// psDash -> PS_DASH, psDot -> PS_DOT, psDashDot -> PS_DASHDOT,
// psDashDotDot -> PS_DASHDOTDOT, psClear -> PS_NULL,
// psInsideFrame -> PS_INSIDEFRAME, psSolid -> PS_SOLID.
PenDashStyle PenDashStyleOf(TPenStyle style);

// BS_SOLID for bsSolid, BS_NULL for bsClear, else BS_HATCHED with the
// matching hatch; in `color`.
LogBrush LogBrushOf(TBrushStyle style, TColor color);

// The raster operation of a pen mode (pmCopy -> R2_COPYPEN,
// pmNotXor -> R2_NOTXORPEN, ...).
Rop2 Rop2Of(TPenMode mode);
