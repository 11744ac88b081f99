#pragma once
// The tree picture: the laid-out tree recorded once into a Picture, which
// painting, printing and copying play back.
//
// Coordinates: one logical unit is a quarter pixel. Every point written is a
// node position (or a value derived from it) plus the display's Origin; pen
// widths and font heights of the settings are pixels and are multiplied by 4
// when a device pen or font is made. Texts are written with their bottom at
// the given y (TA_BOTTOM).
//
// Layers, later ones painting over earlier ones:
//   1. the per-node pass: branches, root stub, names of taxa and compressed
//      groups, group shapes, subtree images, captions and brackets, height
//      error bars, and in the radiation and circle styles support values;
//   2. taxon markers;
//   3. support values (traditional style);
//   4. branch lengths (traditional style, not condensed);
//   5. character states (traditional style with rectangular branches);
//   6. the scale (circle scale, or scale bar / time axis).
// Device objects of the display attributes are made only when the attribute
// changes along the walk, not per node.
//
// Failure: a coordinate outside 32 bits raises EIntOverflow out of the build
// and no picture is produced. An error while one taxon name is drawn is
// reported through the dialog service (one box per failing name) and drawing
// goes on with the next node.

#include <string>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/TextMeasurer.h"
#include "tree/view/TreeDisplay.h"

// Settings of the control that the drawing reads and TTreeDisplay does not
// hold.
struct TTreePictureOptions {
  TTreeFlags Flags;  // what the tree carries, as the control answers it
  TBranchInfoPosition StatsPosition = TBranchInfoPosition::bipAutomatic;
  TBranchInfoPosition BLenPosition = TBranchInfoPosition::bipAutomatic;
  int StatsCutoff = 0;           // support values below it are not written (nor -1 ever)
  double BLenCutoff = 0;         // branch lengths below it are not written (outside cladograms)
  TColor EmphasisColor = clRed;  // emphasized names without a colour of their own
  bool ShowMappedTreeNames = false;
  // A name with a tag is drawn even where it would overlap (the editing box
  // shows every name it edits).
  bool DrawOverlappingTaggedNames = false;
  char DecimalSeparator = '.';  // of branch lengths and scale labels
};

// Text of the message shown after the error text when a name fails to draw.
inline constexpr const char* kNameErrorSuffix =
    "; DrawOTUName has encountered an error, please report this to NUXA's authors";

// The device settings of a tree picture of width x height pixels: advanced
// graphics mode, anisotropic mapping with window extent (4 width, 4 height)
// over viewport extent (width, height), transparent background, white
// background colour, copy pen, text aligned left and bottom.
void SetUpTreeDevice(DeviceContext& dc, int pictureWidth, int pictureHeight);

// Draws every layer of the laid-out tree into `dc`, already set up. Nothing
// when no tree is present.
void DrawTreeImage(DeviceContext& dc, const TTreeDisplay& display, const TTreePictureOptions& options,
                   const TextMeasurer& measurer);

// Records the tree picture: frame of PictureWidth x PictureHeight pixels of
// the reference device (in hundredths of a millimetre), device settings,
// every layer. A null picture when no tree is present. Raises what the
// drawing raises (see above); then nothing is kept.
Picture BuildTreePicture(const TTreeDisplay& display, const TTreePictureOptions& options, const TextMeasurer& measurer,
                         const DeviceInfo& reference);
