#pragma once
// Label extents and picture size: how far labels and captions reach, where
// the tree origin lies inside the picture (margins) and how large the
// picture is. Quarter pixels unless stated.

#include "tree/view/TreeDisplay.h"

class TextMeasurer;

// Traditional style: labelRight, captionTop, captionBottom and captionLevel
// of every node from the subtree and group attributes (nothing when only
// the whole-tree attribute exists), caption columns aligned per level when
// AlignCaption is on.
void SetLabelExtents(TTreeDisplay& display, const TextMeasurer& measurer);

// Width of the label of a taxon or compressed node: its branch pen, name,
// marker and character state.
Coord LabelWidth(const TTreeDisplay& display, const TNode& node, const TextMeasurer& measurer);

// Works out Origin and PictureWidth and PictureHeight (pixels) for the laid
// out tree; in the radiation and circle styles the positions are shifted so
// that every node and label lies inside the picture (CenterShift tells where
// the centre went). A traditional picture taller than 32767 pixels gets a
// smaller PixelsPerOTU and is laid out again, each round strictly smaller,
// until it fits or rows are one pixel. Returns true when PixelsPerOTU was
// changed that way.
bool ComputeSize(TTreeDisplay& display, const TTreeFlags& flags, const TextMeasurer& measurer);
