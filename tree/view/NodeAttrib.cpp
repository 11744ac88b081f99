#include "tree/view/NodeAttrib.h"

void TNodeAttrib::AssignGraphAttrib(const TNodeAttrib& source) {
  ImagePosition = source.ImagePosition;
  BranchPen = source.BranchPen;
  CaptionPen = source.CaptionPen;
  NameFont = source.NameFont;
  CaptionFont = source.CaptionFont;
  Brush = source.Brush;
  ShowTaxonName = source.ShowTaxonName;
  ShowTaxonMarker = source.ShowTaxonMarker;
  ShowNodeMarker = source.ShowNodeMarker;
  ShowCaption = source.ShowCaption;
  ShowBracket = source.ShowBracket;
  ShowImage = source.ShowImage;
  BranchColoring = source.BranchColoring;
  BracketStyle = source.BracketStyle;
}

void TNodeAttrib::Assign(const TNodeAttrib& source) {
  if (&source == this) return;
  AssignGraphAttrib(source);
  NodeIndex = source.NodeIndex;
  Compressed = source.Compressed;
  Caption = source.Caption;
  MarkerShape = source.MarkerShape;
  MarkerColor = source.MarkerColor;
  ImageKind = source.ImageKind;
  Bitmap = source.Bitmap;
  JPEGImage = source.JPEGImage;
  UserFlag = source.UserFlag;
  OverrideGroups = source.OverrideGroups;
}

TFontData TNodeAttrib::BoldNameFont() const {
  TFontData font = NameFont;
  font.Style.Include(TFontStyle::fsBold);
  return font;
}
