#pragma once
// Text with inline style codes, as the image and check list boxes show
// their captions: every character below 32 ends the run of plain text
// before it; the codes 1, 2, 3 and 4 then switch bold, italic, underline
// and strike-out (on when off, off when on), and the other codes only end
// the run. Codes are never drawn.
//
// Runs advance by FontTextWidth, the width the code editor's font manager
// gives for a font handle.

#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/GraphicsTypes.h"

// The width in pixels of the first `count` characters (code points) of
// `text` in the font `font` of `dc`, measured by the device's text measurer;
// 0 when count is 0 or the font is unknown.
std::int32_t FontTextWidth(const DeviceContext& dc, FontHandle font, std::string_view text, std::int32_t count);

// One run of plain text and the styles it is drawn in (the styles of the
// font the text starts with, switched by the codes before it).
struct TCodedRun {
  std::string Text;
  TFontStyles Styles;
  bool operator==(const TCodedRun&) const = default;
};

// The non-empty runs of a coded text, in order, and the styles in force
// at its end.
struct TCodedText {
  std::vector<TCodedRun> Runs;
  TFontStyles EndStyles;
};
TCodedText SplitCodedText(std::string_view text, TFontStyles start);

// Draws the runs from (x, y) on a bitmap of `rect`'s size filled with the
// canvas brush's colour (solid), in a copy of the canvas font, and puts the
// bitmap at rect's top-left corner. The canvas's font is not changed.
void DrawCodedText(TCanvas& canvas, const Rect& rect, Coord x, Coord y, std::string_view text);

// The sum of the runs' widths in the canvas font. The style switches are
// made on the canvas's own font and stay: afterwards it carries the styles
// in force at the end of the text.
Coord CodedTextWidth(TCanvas& canvas, std::string_view text);
