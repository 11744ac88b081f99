#pragma once
// Names of colours, cursors and character sets as forms, settings and
// editors write them ("clRed", "crHourGlass", "ANSI_CHARSET"). Names are
// found without regard to case; numbers stand in for values without a name.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/graphics/Color.h"

struct TIdentMapEntry {
  std::int32_t Value;
  const char* Name;
};

// The named colours: clBlack .. clWhite (16), the 25 system colours by
// number (clScrollBar .. clInfoBk), clNone and clDefault.
std::span<const TIdentMapEntry> ColorIdents();
// The name of `color`; false (and `ident` untouched) when it has none.
bool ColorToIdent(TColor color, std::string& ident);
bool IdentToColor(std::string_view ident, TColor& color);
// The name, or "$" and eight hex digits ("$00FF8000").
std::string ColorToString(TColor color);
// A name, or a number as StrToInt reads it ("$FF", "255"); anything else
// raises StrToInt's EConvertError.
TColor StringToColor(std::string_view text);

// Stock cursors: crDefault 0, crNone -1, crArrow -2, crCross -3, crIBeam -4,
// crSizeNESW -6 .. crHandPoint -21, crSizeAll -22 (crSize is the same
// cursor and reads as -22).
using TCursorValue = std::int32_t;
inline constexpr TCursorValue crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                              crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                              crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                              crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                              crHandPoint = -21, crSizeAll = -22, crSize = -22;
std::span<const TIdentMapEntry> CursorIdents();
bool CursorToIdent(TCursorValue cursor, std::string& ident);
bool IdentToCursor(std::string_view ident, TCursorValue& cursor);
// The name, or the number in decimal.
std::string CursorToString(TCursorValue cursor);
// A name or a number; anything else raises StrToInt's EConvertError.
TCursorValue StringToCursor(std::string_view text);

// Character sets: ANSI_CHARSET 0, DEFAULT_CHARSET 1, SYMBOL_CHARSET 2,
// MAC_CHARSET 77, SHIFTJIS_CHARSET 128, HANGEUL_CHARSET 129, JOHAB 130,
// GB2312 134, CHINESEBIG5 136, GREEK 161, TURKISH 162, VIETNAMESE 163,
// HEBREW 177, ARABIC 178, BALTIC 186, RUSSIAN 204, THAI 222,
// EASTEUROPE 238, OEM_CHARSET 255.
std::span<const TIdentMapEntry> CharsetIdents();
bool CharsetToIdent(std::int32_t charset, std::string& ident);
bool IdentToCharset(std::string_view ident, std::int32_t& charset);

// Lets component streams write colours, cursors and character sets by name
// and read them by name or number. Runs once, however often it is called.
void RegisterGraphicsNames();
