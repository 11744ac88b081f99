#include "tree/view/TreeViewRecord.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QImage>
#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/core/Exceptions.h"
#include "tree/model/NTreeList.h"
#include "tree/view/AttribImage.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

// A small picture in the given format ("PNG", "JPG", "BMP").
std::vector<uint8_t> ImageBytes(const char* format, int width = 10, int height = 8) {
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 25, 200, y * 30));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format)) << format;
  return {bytes.begin(), bytes.end()};
}

// The header of a 24-bit BMP stream of the given size, with a few pixels
// only: a reader that trusts the header decodes the whole picture.
std::vector<uint8_t> BmpHeader(int32_t width, int32_t height) {
  std::vector<uint8_t> b;
  auto u16 = [&](uint16_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); };
  auto u32 = [&](uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}); };
  b.insert(b.end(), {'B', 'M'});
  u32(54 + 12);
  u32(0);
  u32(54);
  u32(40);
  u32(static_cast<uint32_t>(width));
  u32(static_cast<uint32_t>(height));
  u16(1);
  u16(24);
  for (int i = 0; i < 6; ++i) u32(i == 2 || i == 3 ? 2835 : 0);
  b.insert(b.end(), 12, 0x7F);
  return b;
}

// An attribute whose every stored field differs from the defaults.
void FillAttrib(TNodeAttrib& a) {
  a.NodeIndex = 7;
  a.Compressed = true;
  a.Caption = "Clade \xC3\xA9";
  a.MarkerShape = 3;
  a.MarkerColor = 0x123456;
  a.UserFlag = true;
  a.OverrideGroups = true;
  a.GroupName = "Group";
  a.BranchPen = {0x0000FF, 3, TPenStyle::psDash};
  a.CaptionPen = {0x00FF00, 2, TPenStyle::psDot};
  a.NameFont.Name = "Courier New";
  a.NameFont.Color = 0x808080;
  a.NameFont.SetSize(12);
  a.NameFont.Style = {TFontStyle::fsBold, TFontStyle::fsItalic};
  a.CaptionFont.Name = "Times New Roman";
  a.CaptionFont.SetSize(14);
  a.CaptionFont.Style = {TFontStyle::fsUnderline};
  a.Brush = {0x00FFFF, TBrushStyle::bsCross};
  a.ShowTaxonName = false;
  a.ShowTaxonMarker = false;
  a.ShowNodeMarker = false;
  a.ShowCaption = false;
  a.ShowBracket = false;
  a.BranchColoring = 2;
  a.BracketStyle = 1;
  SetAttribImage(a, ImageBytes("PNG"), 0);
}

std::vector<uint8_t> Record(const TNodeAttrib& a, int version) {
  TMemoryStream s;
  WriteNodeAttribRecord(s, a, version);
  return s.Bytes();
}

void ReadBack(const std::vector<uint8_t>& bytes, TNodeAttrib& a, int viewVersion) {
  TMemoryStream s(bytes);
  ReadNodeAttribRecord(s, a, viewVersion);
  EXPECT_EQ(s.Remaining(), 0) << "the whole record is read";
}

TEST(NodeAttribRecord, EveryStoredFieldComesBack) {
  TNodeAttrib written;
  FillAttrib(written);
  written.ImagePosition = 3;  // not stored
  written.ShowImage = false;  // not stored
  TNodeAttrib read;
  ReadBack(Record(written, kNodeAttribRecordVersion), read, kTreeViewRecordVersion);
  EXPECT_EQ(read.NodeIndex, 7);
  EXPECT_EQ(read.Compressed, true);
  EXPECT_EQ(read.Caption, written.Caption);
  EXPECT_EQ(read.MarkerShape, 3);
  EXPECT_EQ(read.MarkerColor, 0x123456);
  EXPECT_TRUE(read.UserFlag);
  EXPECT_TRUE(read.OverrideGroups);
  EXPECT_EQ(read.GroupName, "Group");
  EXPECT_EQ(read.BranchPen, written.BranchPen);
  EXPECT_EQ(read.CaptionPen, written.CaptionPen);
  EXPECT_EQ(read.NameFont, written.NameFont);
  EXPECT_EQ(read.CaptionFont, written.CaptionFont);
  EXPECT_EQ(read.Brush, written.Brush);
  EXPECT_FALSE(read.ShowTaxonName);
  EXPECT_FALSE(read.ShowTaxonMarker);
  EXPECT_FALSE(read.ShowNodeMarker);
  EXPECT_FALSE(read.ShowCaption);
  EXPECT_FALSE(read.ShowBracket);
  EXPECT_EQ(read.BranchColoring, 2);
  EXPECT_EQ(read.BracketStyle, 1);
  EXPECT_EQ(read.Bitmap, written.Bitmap);
  EXPECT_EQ(read.ImageKind, 0);
  EXPECT_EQ(read.ImagePosition, 1);
  EXPECT_TRUE(read.ShowImage);
}

TEST(NodeAttribRecord, AJPEGTravelsAsItsOwnStream) {
  TNodeAttrib written;
  const std::vector<uint8_t> jpeg = ImageBytes("JPG");
  SetAttribImage(written, jpeg, 1);
  ASSERT_EQ(written.Bitmap.Width, 10);
  TNodeAttrib read;
  const std::vector<uint8_t> bytes = Record(written, kNodeAttribRecordVersion);
  ReadBack(bytes, read, kTreeViewRecordVersion);
  EXPECT_EQ(read.ImageKind, 1);
  EXPECT_EQ(read.JPEGImage, jpeg);
  EXPECT_EQ(read.Bitmap, written.Bitmap);
  // The JPEG bytes themselves are in the record.
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), jpeg.begin(), jpeg.end()), bytes.end());
}

TEST(NodeAttribRecord, WithoutImageTheImageFieldIsOneZero) {
  TNodeAttrib a;
  const std::vector<uint8_t> bytes = Record(a, kNodeAttribRecordVersion);
  // The record ends with the image field and four switch bytes.
  ASSERT_GE(bytes.size(), 8u);
  int32_t image = -1;
  std::memcpy(&image, &bytes[bytes.size() - 8], 4);
  EXPECT_EQ(image, 0);
  TNodeAttrib read;
  ReadBack(bytes, read, kTreeViewRecordVersion);
  EXPECT_FALSE(read.HasImage());
}

TEST(NodeAttribRecord, OlderVersionsLeaveTheirMissingFieldsAtTheDefaults) {
  TNodeAttrib full;
  FillAttrib(full);
  struct Field {
    const char* name;
    int since;
    std::function<bool(const TNodeAttrib&)> equalsWritten;
  } fields[] = {
      {"GroupName", 6, [&](const TNodeAttrib& a) { return a.GroupName == full.GroupName; }},
      {"ShowNodeMarker", 7, [&](const TNodeAttrib& a) { return a.ShowNodeMarker == full.ShowNodeMarker; }},
      {"ShowBracket", 5, [&](const TNodeAttrib& a) { return a.ShowBracket == full.ShowBracket; }},
      {"BracketStyle", 6, [&](const TNodeAttrib& a) { return a.BracketStyle == full.BracketStyle; }},
      {"Compressed", 9, [&](const TNodeAttrib& a) { return a.Compressed == full.Compressed; }},
      {"CaptionFont", 1, [&](const TNodeAttrib& a) { return a.CaptionFont == full.CaptionFont; }},
      {"Marker", 4, [&](const TNodeAttrib& a) { return a.MarkerShape == full.MarkerShape; }},
      {"Image", 4, [&](const TNodeAttrib& a) { return a.Bitmap == full.Bitmap; }},
      {"ShowTaxonName", 5, [&](const TNodeAttrib& a) { return a.ShowTaxonName == full.ShowTaxonName; }},
      {"UserFlag", 10, [&](const TNodeAttrib& a) { return a.UserFlag == full.UserFlag; }},
      {"OverrideGroups", 11, [&](const TNodeAttrib& a) { return a.OverrideGroups == full.OverrideGroups; }},
  };
  for (int version : {0, 1, 4, 5, 6, 7, 9, 10, 11}) {
    SCOPED_TRACE("version " + std::to_string(version));
    TNodeAttrib read;
    // Below 11 the record has no marker and takes the view's version.
    ReadBack(Record(full, version), read, version);
    EXPECT_EQ(read.NodeIndex, 7);
    EXPECT_EQ(read.Caption, full.Caption);
    EXPECT_EQ(read.BranchPen, full.BranchPen);
    for (const Field& f : fields) {
      SCOPED_TRACE(f.name);
      EXPECT_EQ(f.equalsWritten(read), version >= f.since);
    }
  }
}

TEST(NodeAttribRecord, AFirstNumberAboveTheMarkersIsTheNodeIndex) {
  TNodeAttrib a;
  a.NodeIndex = 7;
  a.OverrideGroups = true;
  std::vector<uint8_t> bytes = Record(a, kNodeAttribRecordVersion);
  bytes.erase(bytes.begin(), bytes.begin() + 4);  // without the marker
  TNodeAttrib read;
  ReadBack(bytes, read, 12);  // the view's version 12 has every field
  EXPECT_EQ(read.NodeIndex, 7);
  EXPECT_TRUE(read.OverrideGroups);
}

TEST(NodeAttribRecord, AnUnknownImageKindIsSkipped) {
  TNodeAttrib a;
  SetAttribImage(a, ImageBytes("BMP"), 0);
  a.UserFlag = true;
  std::vector<uint8_t> bytes = Record(a, kNodeAttribRecordVersion);
  // The image kind is the Int32 before the four switch bytes.
  const int32_t kind = 2;
  std::memcpy(&bytes[bytes.size() - 8], &kind, 4);
  TNodeAttrib read;
  ReadBack(bytes, read, kTreeViewRecordVersion);
  EXPECT_FALSE(read.HasImage());
  EXPECT_TRUE(read.UserFlag);
}

TEST(NodeAttribRecord, BadRecordsFailToRead) {
  TNodeAttrib a;
  const std::vector<uint8_t> good = Record(a, kNodeAttribRecordVersion);
  const size_t branchColoring = 4 + 4 + 4 + 4 + 16;  // marker, NodeIndex, GroupName, Caption, reserved
  const size_t branchPenStyle = branchColoring + 2 + 4 + 8;
  auto patched = [&](size_t at, std::vector<uint8_t> value) {
    std::vector<uint8_t> bytes = good;
    std::copy(value.begin(), value.end(), bytes.begin() + static_cast<long>(at));
    return bytes;
  };
  auto withImage = [&](const std::vector<uint8_t>& image) {
    TNodeAttrib b;
    std::vector<uint8_t> bytes = Record(b, kNodeAttribRecordVersion);
    std::vector<uint8_t> size(4);
    const int32_t n = static_cast<int32_t>(image.size());
    std::memcpy(size.data(), &n, 4);
    bytes.erase(bytes.end() - 8, bytes.end() - 4);  // the empty image field
    bytes.insert(bytes.end() - 4, size.begin(), size.end());
    bytes.insert(bytes.end() - 4, image.begin(), image.end());
    const std::vector<uint8_t> kind{1, 0, 0, 0};
    bytes.insert(bytes.end() - 4, kind.begin(), kind.end());
    return bytes;
  };
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* message;
  } rows[] = {
      {"cut short", std::vector<uint8_t>(good.begin(), good.end() - 1), kReadErrorText},
      {"caption too long", patched(12, {0x00, 0x10, 0, 0}), kRangeErrorText},
      {"group name too long", patched(8, {0x00, 0x10, 0, 0}), kRangeErrorText},
      {"branch colouring 4", patched(branchColoring, {4}), kRangeErrorText},
      {"pen style 7", patched(branchPenStyle, {7}), kRangeErrorText},
      {"pen width negative", patched(branchPenStyle - 4, {0xFF, 0xFF, 0xFF, 0xFF}), kRangeErrorText},
      {"image larger than the record", patched(good.size() - 8, {0x00, 0x00, 0x01, 0x00}), kRangeErrorText},
      {"image bytes are no picture", withImage({1, 2, 3, 4, 5}), kInvalidImageText},
      {"picture wider than a side may be", withImage(BmpHeader(kMaxImageSide + 1, 1)), kRangeErrorText},
      {"picture taller than a side may be", withImage(BmpHeader(2, kMaxImageSide + 1)), kRangeErrorText},
      {"picture of 9437191 x 3", withImage(BmpHeader(9437191, 3)), kRangeErrorText},
      {"picture beyond the decoded bytes", withImage(BmpHeader(5000, 5000)), kRangeErrorText},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_THAT(
        [&] {
          TMemoryStream s(r.bytes);
          TNodeAttrib read;
          ReadNodeAttribRecord(s, read, kTreeViewRecordVersion);
        },
        ThrowsMessage<Exception>(HasSubstr(r.message)));
  }
}

TEST(NodeAttribRecord, PicturesOfOneRecordShareTheBudget) {
  // Two pictures of 36 MB each: either fits alone, both do not.
  TNodeAttrib a;
  a.Bitmap = {1, 1, {0, 0, 0}};
  a.JPEGImage = BmpHeader(4000, 3000);
  a.ImageKind = 1;
  const std::vector<uint8_t> one = Record(a, kNodeAttribRecordVersion);
  TImageBudget budget;
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    TMemoryStream s(one);
    TNodeAttrib read;
    if (i == 0) {
      ReadNodeAttribRecord(s, read, kTreeViewRecordVersion, &budget);
      EXPECT_EQ(read.Bitmap.Width, 4000);
    } else {
      EXPECT_THROW(ReadNodeAttribRecord(s, read, kTreeViewRecordVersion, &budget), ERangeError);
    }
  }
  EXPECT_EQ(budget.Left(), kMaxDecodedImageBytes - 4000 * 3000 * 3);
  TMemoryStream alone(one);
  TNodeAttrib read;
  ReadNodeAttribRecord(alone, read, kTreeViewRecordVersion);
  EXPECT_EQ(read.Bitmap.Height, 3000);
}

TEST(AttribImage, FilesKeepJPEGBytesAndOtherFormatsAsBitmaps) {
  QTemporaryDir dir;
  struct Row {
    const char* format;
    int kind;
  } rows[] = {{"JPG", 1}, {"PNG", 0}, {"BMP", 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.format);
    const std::string path = dir.filePath(r.format).toStdString();
    const std::vector<uint8_t> bytes = ImageBytes(r.format, 7, 5);
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    file.close();
    TNodeAttrib a;
    ASSERT_TRUE(LoadAttribImage(a, path));
    EXPECT_EQ(a.ImageKind, r.kind);
    EXPECT_EQ(a.Bitmap.Width, 7);
    EXPECT_EQ(a.Bitmap.Height, 5);
    EXPECT_EQ(a.JPEGImage.empty(), r.kind == 0);
  }
  TNodeAttrib untouched;
  EXPECT_FALSE(LoadAttribImage(untouched, dir.filePath("missing.png").toStdString()));
  QFile text(dir.filePath("text.png"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("not a picture");
  text.close();
  EXPECT_FALSE(LoadAttribImage(untouched, text.fileName().toStdString()));
  EXPECT_FALSE(untouched.HasImage());
}

TEST(RecordText, IsLengthAndBytesAndRefusesWhatItCannotHold) {
  TMemoryStream s;
  WriteRecordText(s, "abc");
  WriteRecordText(s, "");
  EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{3, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0}));
  s.SetPosition(0);
  EXPECT_EQ(ReadRecordText(s), "abc");
  EXPECT_EQ(ReadRecordText(s), "");
  EXPECT_THROW(WriteRecordText(s, std::string(kMaxRecordStringLength + 1, 'x')), ERangeError);
  TMemoryStream negative(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(ReadRecordText(negative), "");
}

}  // namespace
