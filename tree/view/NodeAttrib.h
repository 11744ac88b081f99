#pragma once
// TNodeAttrib: how a part of the tree is drawn - pens, fonts, brush, taxon
// marker, caption with bracket, image and switches. The tree view keeps the
// whole-tree attribute as AttribList entry 0, subtree attributes after it and
// one attribute per named taxon group in GroupAttrib.
//
// Units: pen widths and font heights in pixels (font heights negative for the
// character height); CaptionWidth in quarter pixels.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/DeviceTypes.h"
#include "platform/graphics/GraphicsTypes.h"

class TNodeAttrib {
 public:
  TNodeAttrib() = default;
  // An attribute has identity (lists and nodes refer to it): copy it with
  // Assign or AssignGraphAttrib.
  TNodeAttrib(const TNodeAttrib&) = delete;
  TNodeAttrib& operator=(const TNodeAttrib&) = delete;

  int NodeIndex = 0;            // 1-based node a subtree attribute is attached to
  bool Compressed = false;      // the region is drawn as one group
  std::string Caption;
  std::uint8_t MarkerShape = 0; // 0: none
  TColor MarkerColor = 0;
  bool UserFlag = false;        // travels with the attribute; never drawn
  bool OverrideGroups = false;  // taxa inside do not switch to their group attribute
  std::uint8_t ImagePosition = 1;  // 0..3: left, right, above, below the caption
  std::string GroupName;
  // Width of the caption column beside the region; worked out when
  // attributes are spread over the nodes. Not copied by Assign.
  std::int64_t CaptionWidth = 0;
  TPenData BranchPen;
  TPenData CaptionPen;
  TFontData NameFont;
  TFontData CaptionFont;
  TBrushData Brush;
  bool ShowTaxonName = true;
  bool ShowTaxonMarker = true;
  bool ShowNodeMarker = true;
  bool ShowCaption = true;
  bool ShowBracket = true;
  bool ShowImage = true;
  std::uint8_t BranchColoring = 1;  // 0..3
  std::uint8_t BracketStyle = 0;
  Bitmap24 Bitmap;                  // the image as drawn
  std::vector<std::uint8_t> JPEGImage;  // the image as loaded, when it came as JPEG
  std::uint8_t ImageKind = 0;       // 0: bitmap, 1: from JPEGImage

  // Everything except GroupName and CaptionWidth.
  void Assign(const TNodeAttrib& source);
  // Only ImagePosition, pens, fonts, brush and the eight switches.
  void AssignGraphAttrib(const TNodeAttrib& source);
  // NameFont with bold added.
  TFontData BoldNameFont() const;

  bool HasImage() const { return Bitmap.Width > 0 && Bitmap.Height > 0; }
  // The caption is drawn: it is not empty and, for a compressed region, names
  // are shown (the caption takes a name's place), else captions are shown.
  bool IsCaptionShown() const { return !Caption.empty() && (Compressed ? ShowTaxonName : ShowCaption); }
};

// Owning list of attributes (group attributes, per-tree subtree lists).
using TNodeAttribList = std::vector<std::unique_ptr<TNodeAttrib>>;
