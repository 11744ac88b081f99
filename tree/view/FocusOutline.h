#pragma once
// The focus outline: the mark around the focused node or branch, drawn over
// the played-back tree picture (never into it) with an inverting pen, so that
// drawing the same outline twice restores what was under it.
//
// Drawn in the control's pixels (MM_TEXT): a tree coordinate c lies at
// Round((c + Origin) / 4), halves to even; the node diamond uses
// (c + Origin) div 4. Pen: one pixel, solid, red for a node, green for a
// branch, raster operation R2_NOTXORPEN; no fill. m = the whole-tree branch
// pen width div 2, plus 5, is the margin around what is outlined.
//
// Shapes:
// - a node: a diamond reaching m + 1 pixels from it;
// - a branch: its drawn part widened by m on both sides and lengthened by m
//   beyond both ends - the horizontal part only in the rectangular style, the
//   radial part only in the circle style, the sampled curve (two Bezier
//   outlines and two end lines) in the curved style, the segment otherwise; a
//   branch of zero length becomes a square of side 2m turned by the node's
//   angle;
// - the root's branch: the root stub when shown; else in the rectangular
//   style the root's vertical connector, in the circle style the root's arc,
//   otherwise a square around the root.
//
// The device's pen, brush, raster operation and arc direction are restored
// afterwards and the pen made here is deleted.

#include "platform/graphics/DeviceContext.h"
#include "tree/view/TreeDisplay.h"
#include "tree/view/TreeFocus.h"

inline constexpr TColor kNodeFocusColor = 0x0000FF;    // red
inline constexpr TColor kBranchFocusColor = 0x00FF00;  // green

// Draws the outline of `focus`. Nothing when no tree is present, nothing is
// focused, the index lies outside the store or the focused node is hidden.
void DrawFocusOutline(DeviceContext& dc, const TTreeDisplay& display, const TTreeFocus& focus);
