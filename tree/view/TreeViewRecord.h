#pragma once
// Pieces of the binary record of a tree view (the whole record is written
// and read by TTreeBox::WriteToFile and ReadFromFile): texts, pens, fonts,
// brushes and the record of one display attribute.
//
// All numbers little-endian, field by field: Int32, Double (IEEE 754),
// Byte. A text is an Int32 length n and n bytes without terminator (nothing
// follows when n <= 0). Every transfer is checked (a short one raises
// EInOutError). Values read are checked before use: a text longer than
// kMaxRecordStringLength, a style ordinal outside its enumeration, a pen
// width outside 0..kMaxRecordPenWidth, a font size outside
// -kMaxRecordFontSize..kMaxRecordFontSize, an image size beyond the rest of
// the stream or a picture whose header gives a size beyond the picture budget
// (AttribImage.h) raises ERangeError; a picture that cannot be decoded raises
// Exception(kInvalidImageText).

#include <cstdint>
#include <string>

#include "platform/core/Streams.h"
#include "platform/graphics/GraphicsTypes.h"
#include "tree/view/AttribImage.h"
#include "tree/view/NodeAttrib.h"

// The version written into tree-view records, and into attribute records.
inline constexpr int kTreeViewRecordVersion = 12;
inline constexpr int kNodeAttribRecordVersion = 11;
// Widest pen (pixels) and largest font (points) a record may hold.
inline constexpr int kMaxRecordPenWidth = 8191;
inline constexpr int kMaxRecordFontSize = 4096;

void WriteRecordText(TStream& s, const std::string& text);  // ERangeError when too long
std::string ReadRecordText(TStream& s);

// Bytes of a Boolean: 1 or 0; any non-zero byte reads as true.
void WriteRecordBool(TStream& s, bool value);
bool ReadRecordBool(TStream& s);
// An ordinal byte, checked to be at most `last`.
std::uint8_t ReadRecordOrdinal(TStream& s, std::uint8_t last);

// Pen: Int32 colour, Int32 width, Byte style ordinal.
void WritePenRecord(TStream& s, const TPenData& pen);
void ReadPenRecord(TStream& s, TPenData& pen);
// Font: text name, Int32 colour, Int32 size in points, Byte style set (bold
// 1, italic 2, underline 4, strike-out 8).
void WriteFontRecord(TStream& s, const TFontData& font);
void ReadFontRecord(TStream& s, TFontData& font);
// Brush: Int32 colour, Byte style ordinal.
void WriteBrushRecord(TStream& s, const TBrushData& brush);
void ReadBrushRecord(TStream& s, TBrushData& brush);

// The record of one display attribute. Written with `version` 11 or above it
// starts with the marker -version and then NodeIndex; an older version
// writes NodeIndex first and only the fields that version has (the reader
// then takes the version of the enclosing view). Fields and the versions
// that brought them: NodeIndex; GroupName (length always, bytes from 6);
// Caption; four reserved Int32 (the caption's length); BranchColoring,
// ShowCaption; ShowNodeMarker (7); ShowBracket (5); BracketStyle (6);
// Compressed (9); branch pen; caption pen; name font; caption font (1);
// brush; MarkerShape, MarkerColor (4); image: Int32 size s, then when s > 0
// s bytes and Int32 kind (0 bitmap, 1 JPEG) (4); ShowTaxonName,
// ShowTaxonMarker (5); UserFlag (10); OverrideGroups (11). ShowImage and
// ImagePosition are not stored.
void WriteNodeAttribRecord(TStream& s, const TNodeAttrib& attrib, int version = kNodeAttribRecordVersion);
// Reads into `attrib` (a new attribute: fields a version lacks keep their
// values). `viewVersion` is the version of the enclosing record, used when
// the record carries no marker. An image of another kind than 0 or 1 is
// skipped. The picture is taken from `budget`, shared by the pictures of an
// enclosing record (a budget of its own when none is given).
void ReadNodeAttribRecord(TStream& s, TNodeAttrib& attrib, int viewVersion, TImageBudget* budget = nullptr);
