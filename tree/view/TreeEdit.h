#pragma once
// Drag-and-drop editing of the shown tree as plain functions over the
// display: where a dragged subtree would be grafted, which branch would take
// it, and the move itself. The edit box (TreeEditBox.h) drives them from the
// mouse. Only the traditional style with rectangular branches is meant:
// the tests follow the branches as that style draws them.
//
// Units: mouse points, displacements and the results of the geometry are
// client pixels. px(v) = Round((v + Origin) / 4) is the pixel of a tree
// coordinate on its axis, d(u, v) = Round((u - v) / 4) the pixel offset
// between two tree coordinates, h = PixelsPerOTU4 div 8 half a taxon row
// (Round: halves to even).
//
// Refused drops: a subtree is never dropped onto its own ancestor's branch,
// its sibling's branch or any branch inside itself, where the move would
// change nothing or break the tree; such branches are passed over.

#include "platform/graphics/Geometry.h"
#include "tree/view/TreeDisplay.h"

// The node is the focused node or lies below it (the walk climbs through
// ancestors and stops below the root).
bool InFocusedSubtree(const TTreeDisplay& display, int focused, const TNode* node);

// Side of the focused node F at its ancestor: +1 when F is the first
// descendant, -1 when the second.
int GraftSide(const TNode& focused);

// The graft point of the dragged subtree of `focused` for a mouse
// displacement (dx, dy): its ancestor's x and its own y moved half a row
// towards its sibling, carried by the displacement.
Point GraftPoint(const TTreeDisplay& display, int focused, Coord dx, Coord dy);

// The drop target while dragging the branch of `focused` by (dx, dy): the
// first node in number order, other than the root and hidden nodes and the
// refused ones, whose drawn branch lies within 5 pixels of the graft point
// (its horizontal part, or else its vertical connector). 0 when none, when
// `focused` is no node or the root.
int FindDragDropTarget(const TTreeDisplay& display, int focused, Coord dx, Coord dy);

// The drop target under a click at (x, y) while the branch of `focused` is
// focused: the same candidates and refusals, tested against the horizontal
// part of each branch at its place. 0 when none.
int FindClickDropTarget(const TTreeDisplay& display, int focused, Coord x, Coord y);

// Prunes the subtree of F and regrafts it onto the branch above T: F's
// ancestor A leaves its place to F's sibling S and is inserted between T and
// T's ancestor, F keeping its slot in A. When A was the root, S becomes the
// root and the root record then exchanges places with the last record (node
// 2n-1), with their branch values. Only links change: every node keeps its
// branch values, so no length is split or summed. The caller guarantees the
// refusals above (FindDragDropTarget and FindClickDropTarget never return a
// refused node); the call does nothing when they do not hold.
void MoveSubtree(TTreeDisplay& display, TNode* F, TNode* T);
