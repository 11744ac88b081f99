#pragma once
// Where the in-place name editor opens over a taxon name, and how it widens
// while the user types. Plain functions over the display; the control
// (TreeCustomControl.h) places its edit box by them.
//
// Units: control pixels.

#include <string>

#include "platform/graphics/GraphicsTypes.h"
#include "tree/view/TreeDisplay.h"

class TextMeasurer;

struct TNameEditorPlace {
  TFontData Font;        // the taxon's name font, in the emphasis colour when emphasized
  std::string Text;  // the name, or a single blank for an empty one
  Coord Left = 0;
  Coord Top = 0;
  Coord Width = 0;
};

// The editor over the name of node `index` (1..NoOfNodes, else
// ERangeError): left where the name is drawn (a blank's width past the node,
// half its branch pen further, past its marker when shown and its character
// state when `showCharState`); top half a font height above the node's row
// (a compressed node: the middle of its two corners); as wide as the name and
// its height, cut at the control's right edge `controlWidth`.
TNameEditorPlace NameEditorPlace(const TTreeDisplay& display, int index, const TextMeasurer& measurer,
                                 bool showCharState, TColor emphasisColor, Coord controlWidth);

// The editor's width after its text changed: when narrower than
// `textWidth` (the text followed by "00"), that width, but never past the
// control's right edge; otherwise unchanged.
Coord WidenedNameEditorWidth(Coord left, Coord width, Coord textWidth, Coord controlWidth);

// What the user typed that widens the editor: the text and "00".
inline std::string NameEditorWidthText(const std::string& text) { return text + "00"; }
