#pragma once
// Layout of the shown tree: the driver, branch-length and cladogram scaling,
// the traditional style in its three branch styles, condensed levels and
// the scale bar. The radiation and circle styles are in RadialLayout.h.
//
// Every node gets its `position` (quarter pixels, relative to the tree
// origin, y downward) and `hidden` flag (a non-root internal node drawn where
// its ancestor is). A compressed group's des1 and des2 get the two far
// corners of its triangle; nothing below them is placed.
//
// Rounding is to the nearest integer with halves to even, div truncates
// toward zero. Positions that add up along the tree (branch lengths,
// radiation steps) are summed unrounded and rounded once, so a deep tree of
// short branches keeps its shape. A value that cannot be a coordinate
// (overflow, not finite) raises EIntOverflow instead of producing a wrapped
// position.

#include "tree/view/TreeDisplay.h"

class TextMeasurer;

// Lays the tree out in its style (nothing while TreePresent is false):
// clears `hidden` down to tips, chooses the scaling (cladogram when the tree
// has no lengths or its longest path is below 1e-12), sets XScale (a
// cladogram: CladogramWidth x 4 div the levels, or the width shared exactly
// among more levels than quarter pixels; by length: ScaleRatio on first
// use, or TreeWidthPx from a kept ScaleRatio: at most kMaxTreeWidth, the
// ratio made smaller to fit when needed), places the
// nodes, joins zero-length branches, and in the traditional style works out
// the label extents.
void Layout(TTreeDisplay& display, const TTreeFlags& flags, const TextMeasurer& measurer);

// Places the nodes in the traditional style after XScale is set.
void LayoutTraditional(TTreeDisplay& display);

// A node at its ancestor's place takes the ancestor's y (traditional) or
// angle and position (circle; compressed nodes only in a cladogram).
void JoinZeroBranches(TTreeDisplay& display);

// Scale-bar length (1, 2 or 5 times a power of ten, about a tenth of twice
// the root height) and its caption, read back through the caption so that
// the length is what the caption says. A root height of 0 or below gives no
// scale (ScaleLength 0). Clears the time scale.
void MakeScale(TTreeDisplay& display, char decimalSeparator);

// MaxLength > 1e-15 and not a cladogram.
bool HasScale(const TTreeDisplay& display);
// HasScale and |TimeInterval| >= 1e-15.
bool HasTimeScale(const TTreeDisplay& display);

// Rounds to the nearest coordinate, halves to even; EIntOverflow when the
// value is not finite or leaves 64 bits.
Coord RoundCoord(double value);
