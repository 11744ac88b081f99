#pragma once
// Formatted text in a rectangle, built from device calls (ExtTextOut,
// FillRect, GetTextExtentPoint), so that it is traced, recorded and drawn
// alike everywhere.
//
// Lines: with DT_SINGLELINE the text is one line; otherwise CR LF, CR and LF
// end lines, and with DT_WORDBREAK a line is broken at blanks where the next
// word would pass the right edge (a word wider than the rectangle keeps a
// line of its own). DT_EXPANDTABS turns a tab into blanks up to the next
// multiple of 8 characters. Each line is as high as the font's cell.
//
// Placement: DT_LEFT, DT_CENTER ((width - text) div 2 from the left) or
// DT_RIGHT; with DT_SINGLELINE also DT_TOP, DT_VCENTER ((height - cell)
// div 2 from the top) or DT_BOTTOM. Text is clipped to the rectangle unless
// DT_NOCLIP.
//
// Prefixes: unless DT_NOPREFIX, "&" is not drawn and underlines the next
// character; "&&" draws one "&".
//
// Ellipses: a line wider than the rectangle loses characters from its end
// until it fits with "..." added (DT_END_ELLIPSIS), or from before its last
// "\" or "/" (DT_PATH_ELLIPSIS; when that is not enough, from its end). With
// DT_MODIFYSTRING the shortened text is handed back.
//
// DT_CALCRECT draws nothing: rect.right becomes left + the widest line (for
// word breaks only when a line is wider) and rect.bottom top + the lines'
// height.
//
// The text is drawn in the device's font, text colour and background mode;
// the text alignment is TA_LEFT | TA_TOP while drawing and restored after.
// Returns the height of the text (0 for a rectangle that is empty).

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/graphics/DeviceContext.h"

inline constexpr std::uint32_t DT_TOP = 0x0000;
inline constexpr std::uint32_t DT_LEFT = 0x0000;
inline constexpr std::uint32_t DT_CENTER = 0x0001;
inline constexpr std::uint32_t DT_RIGHT = 0x0002;
inline constexpr std::uint32_t DT_VCENTER = 0x0004;
inline constexpr std::uint32_t DT_BOTTOM = 0x0008;
inline constexpr std::uint32_t DT_WORDBREAK = 0x0010;
inline constexpr std::uint32_t DT_SINGLELINE = 0x0020;
inline constexpr std::uint32_t DT_EXPANDTABS = 0x0040;
inline constexpr std::uint32_t DT_NOCLIP = 0x0100;
inline constexpr std::uint32_t DT_CALCRECT = 0x0400;
inline constexpr std::uint32_t DT_NOPREFIX = 0x0800;
inline constexpr std::uint32_t DT_PATH_ELLIPSIS = 0x4000;
inline constexpr std::uint32_t DT_END_ELLIPSIS = 0x8000;
inline constexpr std::uint32_t DT_MODIFYSTRING = 0x10000;

std::int32_t DrawText(DeviceContext& dc, std::string_view text, Rect& rect, std::uint32_t format,
                      std::string* modified = nullptr);
