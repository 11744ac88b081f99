#pragma once
// Display attributes on nodes: spreading the whole-tree, subtree and group
// attributes over the nodes (attrIndex, groupIndex, markers, name sizes,
// caption widths, compression) and the lookups the layouts and the picture
// use. Indices held by nodes and attributes are checked against the lists:
// an attribute naming no node is skipped, a node with a group index outside
// GroupAttrib uses the whole-tree attribute.

#include "tree/view/TreeDisplay.h"

class TextMeasurer;

// GroupAttrib[groupIndex] when attrIndex < 0, else AttribList[attrIndex];
// the whole-tree attribute for an index outside its list.
const TNodeAttrib& GetNodeAttrib(const TTreeDisplay& display, const TNode& node);
// The marker drawn at a node (shape 0: none). Internal nodes that are not
// compressed and nodes without a marker of their own show none; a node in a
// group shows its marker when the group shows markers and has the same one;
// otherwise the nearest subtree attribute above decides.
TNodeMarker GetShownMarker(const TTreeDisplay& display, const TNode& node);
// Width in pixels of the pen a node's branch is drawn with, following the
// branch-colouring mode up the tree where it asks for that.
int GetBranchPenWidth(const TTreeDisplay& display, const TNode& node);

// Resets every node's attribute index and internal markers, expands every
// compressed subtree, then applies group attributes (when UseGroupAttrib)
// and subtree attributes (when UseSubtreeAttrib): region starts, names and
// captions measured with `measurer` (nameWidth = 4 x pixel width of the text
// and a blank; nameHeight = 4 x the font height), caption widths and
// compression. Ends with SetVSpace of the root.
void AssignAttributes(TTreeDisplay& display, const TextMeasurer& measurer);

// Draws node i's subtree as one group: nothing for i = 0, the root, a hidden
// or an already compressed node; otherwise compressed, and every node below
// an internal node hidden. Indices outside the store are ignored.
void CompressSubtree(TTreeDisplay& display, int i);
// Undoes compression at node i and every internal node below it (the whole
// tree for i < 1) and shows every node below it again.
void ExpandSubtree(TTreeDisplay& display, int i);
