#pragma once
// Focus on the shown tree as plain functions over the display: where a click
// lands (node, branch and taxon-name hit tests) and where the arrow keys move
// the focus. The control (TreeCustomControl.h) applies the answers to its
// focus state; nothing here changes the display.
//
// Units: clicks and results of the hit tests are client pixels. A tree
// coordinate v (quarter pixels) lies at pixel PixelOf(v, origin) =
// Round((v + origin) / 4), halves to even. A hit test answers the index of
// the node it hit (1..2n-1), or 0 for none; a display without nodes answers 0.

#include "platform/graphics/Geometry.h"
#include "tree/view/TreeDisplay.h"

class TextMeasurer;

// The control's focus: at most one of NodeFocused and BranchFocused is set;
// FocusedIndex is the focused node, or the node below the focused branch
// (0 none).
struct TTreeFocus {
  bool NodeFocused = false;
  bool BranchFocused = false;
  int FocusedIndex = 0;
};

Coord PixelOf(Coord v, Coord origin);
// The pixel position of a point in tree coordinates.
Point PixelOf(const TTreeDisplay& display, Point p);

// How near a click must come to a node or a branch, in pixels: the
// whole-tree branch pen width div 2, plus 5.
int HitTolerance(const TTreeDisplay& display);

// The internal node within (strictly less than) the tolerance of (x, y),
// measured as the straight distance to its pixel position: the first in
// number order among the nodes that are not hidden and are the root or lie
// away from their ancestor (another x in the traditional and radiation
// styles, another distance from the centre in the circle style). Taxa are
// never hit as nodes.
int NodeHitAt(const TTreeDisplay& display, Coord x, Coord y);

// The node whose branch (x, y) hits: the first in number order among the
// nodes other than the root that are not hidden (an internal node drawn at
// its ancestor's x in the traditional style, or on its ancestor's circle in
// the circle style, has no branch to hit). Each branch is hit within a box:
// - rectangular: the horizontal part only, widened to the tolerance;
// - curved: a short branch as a box around it; a longer one along the drawn
//   curve (CurveY), within the tolerance, or a band as steep as the curve
//   for a steep one, kept between the branch's ends;
// - straight, radiation, and the radial part of a circle branch (never its
//   arc): a segment as a box around it when steep or flat, else a box of the
//   tolerance around the foot of the perpendicular from the click.
int BranchHitAt(const TTreeDisplay& display, Coord x, Coord y);

// The taxon whose name (x, y) hits, in the traditional style only: the
// rectangle from the taxon's x to the end of its name, moved right past its
// marker (when shown) and its character state (when `showCharState`), half
// a name-font height above and below its y. Taxa inside compressed groups
// and taxa whose names are hidden are not hit. 0 in the radiation and circle
// styles or when names are off.
int NameHitAt(const TTreeDisplay& display, Coord x, Coord y, const TextMeasurer& measurer, bool showCharState);

// The curve a curved branch into `node` follows, from S (horizontal tangent)
// to T (horizontal tangent): its ancestor and itself, or in a cladogram the
// start the branch drawing chooses (the top of the clade's outer edge) and
// the first tip reached from the node down the side facing away from S.
struct TCurveEnds {
  const TNode* S = nullptr;
  const TNode* T = nullptr;
};
TCurveEnds CurveEndsOf(const TTreeDisplay& display, const TNode& node);

// y (pixels, rounded) at pixel column x of the S-curve from s to t (pixels),
// made of two elliptic arcs that meet one third of the way: the first arc
// (from s) when `firstArc`, else the second (to t). Columns outside s.x..t.x
// are taken at the nearer end. s.x = t.x gives s.y.
Coord CurveY(Point s, Point t, Coord x, bool firstArc);
// Whether column x of the curve from s to t lies on its first arc:
// 2 (x - s.x) < t.x - x.
bool OnFirstArc(Point s, Point t, Coord x);

// Where an arrow key or Home moves the focus.
enum class TFocusKey { Home, Left, Up, Right, Down };
struct TFocusTarget {
  enum class Kind { None, Node, Branch };
  Kind kind = Kind::None;
  int index = 0;
  bool operator==(const TFocusTarget&) const = default;
};
// Home: the root. Left: from a node to the branch leading to it; from a
// branch to its upper end (climbing past hidden nodes, never past the root).
// Up / Down: from an internal node that is not a group to the branch of its
// first / second descendant (descending past hidden internal nodes); from a
// branch to its lower end. Right: from a branch to its lower end. None when
// nothing is focused or the move leads nowhere (the caller's focus rules
// refuse the root's branch).
TFocusTarget KeyFocusTarget(const TTreeDisplay& display, const TTreeFocus& focus, TFocusKey key);
