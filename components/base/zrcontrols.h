#pragma once
// Styled one-line text: a text may carry one bold run between two style
// markers ("a~bold~c"), and a list item may hold columns separated by "|".
// Hint windows, column list boxes and pick lists measure and draw their
// lines with these routines.
//
// Positions and lengths of ParseStyleMarkers and DrawStyledLine count
// characters (code points of the UTF-8 text), 1-based; NextField counts
// bytes ("|" is one byte).

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/graphics/Canvas.h"

// The style marker; "~" for the whole run of the program.
inline constexpr char StyleMarker = '~';
inline constexpr char ColumnSeparator = '|';

enum class TLeftRightAlign : std::uint8_t { lrLeftJustify, lrRightJustify };

// From the 1-based byte position Pos: Field := the text up to the next "|"
// or the end; Pos moves past that "|" (or to the length + 1). Callers stop
// once Pos is above the length, so "a|b|" has the columns "a" and "b", "|b"
// an empty column and "b", and "" none.
void NextField(std::string_view S, int& Pos, std::string& Field);

// Plain := Text without its first two markers (later markers stay); Start :=
// the position of the first marker (0 for none); Len := the characters
// between the two markers, or from Start to the end of Plain when there is
// no second one, or 0 when there is no marker.
void ParseStyleMarkers(std::string_view Text, int& Start, int& Len, std::string& Plain);

// The extent of S in the font selected into the canvas's device; (0, 0)
// for an empty S.
Size GetTextSize(TCanvas& Canvas, std::string_view S);

// The extent of a styled text: the part before the first marker in
// NormalFont, the run up to the second marker (or the end) in BoldFont, the
// rest in NormalFont again, with its markers. Size.cx is the sum of the
// widths, Size.cy the largest height. The fonts are selected into the device
// directly; the font selected before is selected back at the end, and
// Canvas.Font is not touched.
void MeasureStyledText(TCanvas& Canvas, const TFont& NormalFont, const TFont& BoldFont, Size& Size,
                       std::string_view Text);

// Draws one line parsed by ParseStyleMarkers into Rect: the runs before
// (Start - 1 characters), bold (Len characters, in BoldFont) and after (the
// rest), each non-empty one with DrawText (DT_SINGLELINE | DT_END_ELLIPSIS,
// plus DT_RIGHT when right-justified) into what is left of Rect, whose left
// edge (right edge when right-justified) then moves by the run's width. A
// right-justified line is drawn after, bold, before, from the right edge
// inwards. With Start 0 all of Plain is "before". Fonts are selected as in
// MeasureStyledText; text colour and background mode are the device's.
void DrawStyledLine(TCanvas& Canvas, const TFont& NormalFont, const TFont& BoldFont, TLeftRightAlign Align, int Len,
                    int Start, std::string_view Plain, const Rect& Rect);
