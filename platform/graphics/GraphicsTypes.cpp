#include "platform/graphics/GraphicsTypes.h"

#include "platform/core/NumberFormat.h"

std::int32_t TFontData::Size() const {
  const std::int32_t ppi = PixelsPerInch > 0 ? PixelsPerInch : kDefaultPixelsPerInch;
  return -MulDiv(Height, 72, ppi);
}

void TFontData::SetSize(std::int32_t points) {
  const std::int32_t ppi = PixelsPerInch > 0 ? PixelsPerInch : kDefaultPixelsPerInch;
  Height = -MulDiv(points, ppi, 72);
}

LogFont LogFontOf(const TFontData& font, std::int32_t scale, std::int32_t escapement) {
  LogFont f;
  f.Height = CheckedInt32(static_cast<Coord>(font.Height) * scale);
  f.Escapement = escapement;
  f.Orientation = escapement;
  f.Weight = font.Style.Contains(TFontStyle::fsBold) ? FW_BOLD : FW_NORMAL;
  f.Italic = font.Style.Contains(TFontStyle::fsItalic);
  f.Underline = font.Style.Contains(TFontStyle::fsUnderline);
  f.StrikeOut = font.Style.Contains(TFontStyle::fsStrikeOut);
  f.Pitch = font.Pitch == TFontPitch::fpVariable ? VARIABLE_PITCH
            : font.Pitch == TFontPitch::fpFixed  ? FIXED_PITCH
                                                 : DEFAULT_PITCH;
  f.FaceName = font.Name;
  f.Charset = font.Charset;
  return f;
}

PenDashStyle PenDashStyleOf(TPenStyle style) {
  switch (style) {
    case TPenStyle::psDash: return PS_DASH;
    case TPenStyle::psDot: return PS_DOT;
    case TPenStyle::psDashDot: return PS_DASHDOT;
    case TPenStyle::psDashDotDot: return PS_DASHDOTDOT;
    case TPenStyle::psClear: return PS_NULL;
    case TPenStyle::psInsideFrame: return PS_INSIDEFRAME;
    case TPenStyle::psSolid: break;
  }
  return PS_SOLID;
}

TFontData FontDataOfLogFont(const LogFont& font) {
  TFontData data;
  data.Name = font.FaceName;
  data.Height = font.Height == 0 ? -12 : font.Height;
  if (font.Weight >= 600) data.Style.Include(TFontStyle::fsBold);
  if (font.Italic) data.Style.Include(TFontStyle::fsItalic);
  if (font.Underline) data.Style.Include(TFontStyle::fsUnderline);
  if (font.StrikeOut) data.Style.Include(TFontStyle::fsStrikeOut);
  data.Pitch = font.Pitch == FIXED_PITCH      ? TFontPitch::fpFixed
               : font.Pitch == VARIABLE_PITCH ? TFontPitch::fpVariable
                                              : TFontPitch::fpDefault;
  data.Charset = font.Charset;
  return data;
}

LogBrush LogBrushOf(TBrushStyle style, TColor color) {
  LogBrush b;
  b.Color = color;
  switch (style) {
    case TBrushStyle::bsSolid: b.Style = BS_SOLID; break;
    case TBrushStyle::bsClear: b.Style = BS_NULL; break;
    case TBrushStyle::bsHorizontal: b.Style = BS_HATCHED; b.Hatch = HS_HORIZONTAL; break;
    case TBrushStyle::bsVertical: b.Style = BS_HATCHED; b.Hatch = HS_VERTICAL; break;
    case TBrushStyle::bsFDiagonal: b.Style = BS_HATCHED; b.Hatch = HS_FDIAGONAL; break;
    case TBrushStyle::bsBDiagonal: b.Style = BS_HATCHED; b.Hatch = HS_BDIAGONAL; break;
    case TBrushStyle::bsCross: b.Style = BS_HATCHED; b.Hatch = HS_CROSS; break;
    case TBrushStyle::bsDiagCross: b.Style = BS_HATCHED; b.Hatch = HS_DIAGCROSS; break;
  }
  return b;
}

Rop2 Rop2Of(TPenMode mode) {
  switch (mode) {
    case TPenMode::pmBlack: return R2_BLACK;
    case TPenMode::pmWhite: return R2_WHITE;
    case TPenMode::pmNop: return R2_NOP;
    case TPenMode::pmNot: return R2_NOT;
    case TPenMode::pmCopy: return R2_COPYPEN;
    case TPenMode::pmNotCopy: return R2_NOTCOPYPEN;
    case TPenMode::pmMergePenNot: return R2_MERGEPENNOT;
    case TPenMode::pmMaskPenNot: return R2_MASKPENNOT;
    case TPenMode::pmMergeNotPen: return R2_MERGENOTPEN;
    case TPenMode::pmMaskNotPen: return R2_MASKNOTPEN;
    case TPenMode::pmMerge: return R2_MERGEPEN;
    case TPenMode::pmNotMerge: return R2_NOTMERGEPEN;
    case TPenMode::pmMask: return R2_MASKPEN;
    case TPenMode::pmNotMask: return R2_NOTMASKPEN;
    case TPenMode::pmXor: return R2_XORPEN;
    case TPenMode::pmNotXor: return R2_NOTXORPEN;
  }
  return R2_COPYPEN;
}
