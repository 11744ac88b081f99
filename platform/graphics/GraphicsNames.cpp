#include "platform/graphics/GraphicsNames.h"

#include <mutex>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/StdTypeInfo.h"

#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"

namespace {

constexpr TIdentMapEntry kColors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

constexpr TIdentMapEntry kCursors[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},         {crArrow, "crArrow"},
    {crCross, "crCross"},         {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},   {crNo, "crNo"},
    {crAppStart, "crAppStart"},   {crHelp, "crHelp"},         {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},     {crSize, "crSize"},
};

constexpr TIdentMapEntry kCharsets[] = {
    {0, "ANSI_CHARSET"},         {1, "DEFAULT_CHARSET"},     {2, "SYMBOL_CHARSET"},
    {77, "MAC_CHARSET"},         {128, "SHIFTJIS_CHARSET"},  {129, "HANGEUL_CHARSET"},
    {130, "JOHAB_CHARSET"},      {134, "GB2312_CHARSET"},    {136, "CHINESEBIG5_CHARSET"},
    {161, "GREEK_CHARSET"},      {162, "TURKISH_CHARSET"},   {163, "VIETNAMESE_CHARSET"},
    {177, "HEBREW_CHARSET"},     {178, "ARABIC_CHARSET"},    {186, "BALTIC_CHARSET"},
    {204, "RUSSIAN_CHARSET"},    {222, "THAI_CHARSET"},      {238, "EASTEUROPE_CHARSET"},
    {255, "OEM_CHARSET"},
};

// The first entry with the value (so crSize names itself crSizeAll).
bool ToIdent(std::span<const TIdentMapEntry> map, std::int32_t value, std::string& ident) {
  for (const TIdentMapEntry& e : map)
    if (e.Value == value) {
      ident = e.Name;
      return true;
    }
  return false;
}

bool ToValue(std::span<const TIdentMapEntry> map, std::string_view ident, std::int32_t& value) {
  for (const TIdentMapEntry& e : map)
    if (SameText(ident, e.Name)) {
      value = e.Value;
      return true;
    }
  return false;
}

}  // namespace

std::span<const TIdentMapEntry> ColorIdents() { return kColors; }
std::span<const TIdentMapEntry> CursorIdents() { return kCursors; }
std::span<const TIdentMapEntry> CharsetIdents() { return kCharsets; }

bool ColorToIdent(TColor color, std::string& ident) { return ToIdent(kColors, color, ident); }

bool IdentToColor(std::string_view ident, TColor& color) {
  std::int32_t v = 0;
  if (!ToValue(kColors, ident, v)) return false;
  color = v;
  return true;
}

std::string ColorToString(TColor color) {
  std::string s;
  if (ColorToIdent(color, s)) return s;
  return "$" + IntToHex(static_cast<std::uint32_t>(color), 8);
}

TColor StringToColor(std::string_view text) {
  TColor c = 0;
  if (IdentToColor(text, c)) return c;
  return StrToInt(text);
}

bool CursorToIdent(TCursorValue cursor, std::string& ident) { return ToIdent(kCursors, cursor, ident); }
bool IdentToCursor(std::string_view ident, TCursorValue& cursor) { return ToValue(kCursors, ident, cursor); }

std::string CursorToString(TCursorValue cursor) {
  std::string s;
  return CursorToIdent(cursor, s) ? s : IntToStr(cursor);
}

TCursorValue StringToCursor(std::string_view text) {
  TCursorValue c = 0;
  return IdentToCursor(text, c) ? c : StrToInt(text);
}

bool CharsetToIdent(std::int32_t charset, std::string& ident) { return ToIdent(kCharsets, charset, ident); }
bool IdentToCharset(std::string_view ident, std::int32_t& charset) { return ToValue(kCharsets, ident, charset); }

void RegisterGraphicsNames() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterIntegerConsts(
        TypeInfos::TColor(), [](std::string_view i, std::int32_t& v) { return IdentToColor(i, v); },
        [](std::int32_t v, std::string& i) { return ColorToIdent(v, i); });
    RegisterIntegerConsts(
        TypeInfos::TCursor(), [](std::string_view i, std::int32_t& v) { return IdentToCursor(i, v); },
        [](std::int32_t v, std::string& i) { return CursorToIdent(v, i); });
    RegisterIntegerConsts(
        TypeInfos::TFontCharset(), [](std::string_view i, std::int32_t& v) { return IdentToCharset(i, v); },
        [](std::int32_t v, std::string& i) { return CharsetToIdent(v, i); });
  });
}
