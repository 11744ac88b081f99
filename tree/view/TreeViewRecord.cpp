#include "tree/view/TreeViewRecord.h"

#include <limits>
#include <vector>

#include "platform/core/Exceptions.h"
#include "tree/model/NTreeList.h"
#include "tree/view/AttribImage.h"

namespace {

int32_t ReadInt(TStream& s) { return ReadLE<int32_t>(s); }
void WriteInt(TStream& s, int32_t value) { WriteLE<int32_t>(s, value); }

// The version of an attribute record from its marker; markers beyond the
// Int32 range of versions are taken as the newest version there can be.
int VersionOfMarker(int32_t marker) {
  const int64_t version = -static_cast<int64_t>(marker);
  return version > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(version);
}

}  // namespace

void WriteRecordText(TStream& s, const std::string& text) {
  if (text.size() > static_cast<size_t>(kMaxRecordStringLength)) throw ERangeError();
  WriteInt(s, static_cast<int32_t>(text.size()));
  if (!text.empty()) s.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

std::string ReadRecordText(TStream& s) {
  const int32_t n = ReadInt(s);
  if (n <= 0) return {};
  if (n > kMaxRecordStringLength) throw ERangeError();
  std::string text(static_cast<size_t>(n), '\0');
  s.ReadBuffer(text.data(), n);
  return text;
}

void WriteRecordBool(TStream& s, bool value) { WriteLE<uint8_t>(s, value ? 1 : 0); }
bool ReadRecordBool(TStream& s) { return ReadLE<uint8_t>(s) != 0; }

std::uint8_t ReadRecordOrdinal(TStream& s, std::uint8_t last) {
  const uint8_t value = ReadLE<uint8_t>(s);
  if (value > last) throw ERangeError();
  return value;
}

void WritePenRecord(TStream& s, const TPenData& pen) {
  WriteInt(s, pen.Color);
  WriteInt(s, pen.Width);
  WriteLE<uint8_t>(s, static_cast<uint8_t>(pen.Style));
}

void ReadPenRecord(TStream& s, TPenData& pen) {
  const int32_t color = ReadInt(s);
  const int32_t width = ReadInt(s);
  const uint8_t style = ReadRecordOrdinal(s, static_cast<uint8_t>(TPenStyle::psInsideFrame));
  if (width < 0 || width > kMaxRecordPenWidth) throw ERangeError();
  pen.Color = color;
  pen.Width = width;
  pen.Style = static_cast<TPenStyle>(style);
}

void WriteFontRecord(TStream& s, const TFontData& font) {
  WriteRecordText(s, font.Name);
  WriteInt(s, font.Color);
  WriteInt(s, font.Size());
  WriteLE<uint8_t>(s, font.Style.Bits());
}

void ReadFontRecord(TStream& s, TFontData& font) {
  std::string name = ReadRecordText(s);
  const int32_t color = ReadInt(s);
  const int32_t size = ReadInt(s);
  const uint8_t style = ReadLE<uint8_t>(s);
  if (size < -kMaxRecordFontSize || size > kMaxRecordFontSize) throw ERangeError();
  font.Name = std::move(name);
  font.Color = color;
  font.SetSize(size);
  font.Style = TFontStyles::FromBits(style);
}

void WriteBrushRecord(TStream& s, const TBrushData& brush) {
  WriteInt(s, brush.Color);
  WriteLE<uint8_t>(s, static_cast<uint8_t>(brush.Style));
}

void ReadBrushRecord(TStream& s, TBrushData& brush) {
  const int32_t color = ReadInt(s);
  brush.Style = static_cast<TBrushStyle>(ReadRecordOrdinal(s, static_cast<uint8_t>(TBrushStyle::bsDiagCross)));
  brush.Color = color;
}

void WriteNodeAttribRecord(TStream& s, const TNodeAttrib& a, int version) {
  if (version >= kNodeAttribRecordVersion) WriteInt(s, -version);
  WriteInt(s, a.NodeIndex);
  if (version >= 6) {
    WriteRecordText(s, a.GroupName);
  } else {
    WriteInt(s, 0);
  }
  WriteRecordText(s, a.Caption);
  for (int i = 0; i < 4; ++i) WriteInt(s, static_cast<int32_t>(a.Caption.size()));
  WriteLE<uint8_t>(s, a.BranchColoring);
  WriteRecordBool(s, a.ShowCaption);
  if (version >= 7) WriteRecordBool(s, a.ShowNodeMarker);
  if (version >= 5) WriteRecordBool(s, a.ShowBracket);
  if (version >= 6) WriteLE<uint8_t>(s, a.BracketStyle);
  if (version >= 9) WriteRecordBool(s, a.Compressed);
  WritePenRecord(s, a.BranchPen);
  WritePenRecord(s, a.CaptionPen);
  WriteFontRecord(s, a.NameFont);
  if (version >= 1) WriteFontRecord(s, a.CaptionFont);
  WriteBrushRecord(s, a.Brush);
  if (version >= 4) {
    WriteLE<uint8_t>(s, a.MarkerShape);
    WriteInt(s, a.MarkerColor);
    // A JPEG keeps its own compact stream; anything else goes as a bitmap.
    const bool jpeg = a.ImageKind == 1 && !a.JPEGImage.empty();
    const std::vector<uint8_t> bitmapStream = a.HasImage() && !jpeg ? EncodeBitmapStream(a.Bitmap) : std::vector<uint8_t>{};
    const std::vector<uint8_t>& stream = jpeg ? a.JPEGImage : bitmapStream;
    if (!a.HasImage() || stream.empty() || stream.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
      WriteInt(s, 0);
    } else {
      WriteInt(s, static_cast<int32_t>(stream.size()));
      s.WriteBuffer(stream.data(), static_cast<int64_t>(stream.size()));
      WriteInt(s, jpeg ? 1 : 0);
    }
  }
  if (version >= 5) {
    WriteRecordBool(s, a.ShowTaxonName);
    WriteRecordBool(s, a.ShowTaxonMarker);
  }
  if (version >= 10) WriteRecordBool(s, a.UserFlag);
  if (version >= 11) WriteRecordBool(s, a.OverrideGroups);
}

void ReadNodeAttribRecord(TStream& s, TNodeAttrib& a, int viewVersion, TImageBudget* budget) {
  int version = viewVersion;
  int32_t first = ReadInt(s);
  if (first < -10) {
    version = VersionOfMarker(first);
    first = ReadInt(s);
  }
  a.NodeIndex = first;
  const int32_t groupNameLength = ReadInt(s);
  if (version >= 6 && groupNameLength > 0) {
    if (groupNameLength > kMaxRecordStringLength) throw ERangeError();
    std::string name(static_cast<size_t>(groupNameLength), '\0');
    s.ReadBuffer(name.data(), groupNameLength);
    a.GroupName = std::move(name);
  }
  a.Caption = ReadRecordText(s);
  for (int i = 0; i < 4; ++i) ReadInt(s);
  a.BranchColoring = ReadRecordOrdinal(s, 3);
  a.ShowCaption = ReadRecordBool(s);
  if (version >= 7) a.ShowNodeMarker = ReadRecordBool(s);
  if (version >= 5) a.ShowBracket = ReadRecordBool(s);
  if (version >= 6) a.BracketStyle = ReadLE<uint8_t>(s);
  if (version >= 9) a.Compressed = ReadRecordBool(s);
  ReadPenRecord(s, a.BranchPen);
  ReadPenRecord(s, a.CaptionPen);
  ReadFontRecord(s, a.NameFont);
  if (version >= 1) ReadFontRecord(s, a.CaptionFont);
  ReadBrushRecord(s, a.Brush);
  if (version >= 4) {
    a.MarkerShape = ReadLE<uint8_t>(s);
    a.MarkerColor = ReadInt(s);
    const int32_t size = ReadInt(s);
    if (size > 0) {
      if (size > s.Remaining()) throw ERangeError();
      std::vector<uint8_t> bytes(static_cast<size_t>(size));
      s.ReadBuffer(bytes.data(), size);
      const int32_t kind = ReadInt(s);
      if (kind == 0 || kind == 1) SetAttribImage(a, std::move(bytes), kind, budget);
    }
  }
  if (version >= 5) {
    a.ShowTaxonName = ReadRecordBool(s);
    a.ShowTaxonMarker = ReadRecordBool(s);
  }
  if (version >= 10) a.UserFlag = ReadRecordBool(s);
  if (version >= 11) a.OverrideGroups = ReadRecordBool(s);
}
