#include "platform/graphics/GraphicPicture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sstream>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Clipboard.h"
#include "platform/graphics/Icon.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray data = file.readAll();
  return {data.begin(), data.end()};
}

void Fill(TBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      bitmap.SetPixel(x, y, RGB(static_cast<std::uint8_t>(30 * x), static_cast<std::uint8_t>(50 * y), 200));
}

TEST(GraphicRegistry, FindsClassesByNameAndExtensionAndBuildsTheFilter) {
  ASSERT_NE(FindGraphicClass("tbitmap"), nullptr);
  EXPECT_EQ(FindGraphicClass("tbitmap")->Name, "TBitmap");
  EXPECT_EQ(GraphicClassOfExtension(".BMP"), FindGraphicClass("TBitmap"));
  EXPECT_EQ(GraphicClassOfExtension("ico"), FindGraphicClass("TIcon"));
  EXPECT_EQ(GraphicClassOfExtension("xyz"), nullptr);
  EXPECT_EQ(FindGraphicClass("TNothing"), nullptr);
  EXPECT_EQ(GraphicClassOfExtension("JPEG")->Name, "TJPEGImage");
  EXPECT_EQ(GraphicClassOfExtension(".png")->Name, "TPngImage");
  EXPECT_EQ(GraphicClassOfExtension("wmf")->Name, "TMetafile");
  const std::string all = "*.bmp;*.ico;*.png;*.jpg;*.jpeg;*.emf;*.wmf";
  const std::string each =
      "|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|PNG images (*.png)|*.png|JPEG images (*.jpg;*.jpeg)|*.jpg;*.jpeg"
      "|Metafiles (*.emf;*.wmf)|*.emf;*.wmf";
  EXPECT_EQ(GraphicFilter(), "All (" + all + ")|" + all + each);

  RegisterGraphicClass({"TTest", {"tst", "tt"}, "Tests", [] { return std::make_unique<TBitmap>(); }});
  EXPECT_EQ(GraphicClassOfExtension("TT")->Name, "TTest");
  EXPECT_EQ(GraphicFilter(),
            "All (" + all + ";*.tst;*.tt)|" + all + ";*.tst;*.tt" + each + "|Tests (*.tst;*.tt)|*.tst;*.tt");
  UnregisterGraphicClass("ttest");
  EXPECT_EQ(FindGraphicClass("TTest"), nullptr);
}

TEST(Icon, LoadsAFileMadeByIcotoolAndSavesItsBytes) {
  const std::vector<std::uint8_t> bytes = ReadFile(KESTOVA_TESTDATA_DIR "/icon/two.ico");
  ASSERT_FALSE(bytes.empty());
  TIcon icon;
  icon.LoadFromBytes(bytes);
  // The first of its two images: 16 x 16, a red square on a clear ground.
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_EQ(icon.Height(), 16);
  EXPECT_EQ(icon.Image().pixel(5, 5), qRgba(255, 0, 0, 255));
  EXPECT_EQ(qAlpha(icon.Image().pixel(12, 12)), 0);
  EXPECT_EQ(icon.SaveToBytes(), bytes);

  std::vector<std::uint8_t> bad = bytes;
  bad[2] = 2;  // a cursor file
  EXPECT_THROW(icon.LoadFromBytes(bad), Exception);
  EXPECT_THROW(icon.LoadFromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 30)), Exception);
  EXPECT_EQ(icon.SaveToBytes(), bytes);
}

TEST(Picture, ComponentStreamDataRoundTripsThroughTheRegistry) {
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  TBitmap& bitmap = picture.Bitmap();
  bitmap.SetSize(3, 2);
  Fill(bitmap);
  std::vector<std::uint8_t> data;
  picture.WriteData(data);
  ASSERT_GT(data.size(), 12U);
  EXPECT_EQ(std::string(data.begin() + 1, data.begin() + 8), "TBitmap");
  EXPECT_EQ(data[0], 7);
  const std::uint32_t size = data[8] | data[9] << 8 | data[10] << 16 | data[11] << 24;
  EXPECT_EQ(size, data.size() - 12);
  data.push_back(0xAB);  // the next property

  TPicture read;
  EXPECT_EQ(read.ReadData(data), data.size() - 1);
  ASSERT_NE(dynamic_cast<TBitmap*>(read.Graphic()), nullptr);
  EXPECT_EQ(read.Bitmap().Pixel(2, 1), bitmap.Pixel(2, 1));
  EXPECT_EQ(read.Width(), 3);

  TPicture empty;
  data.clear();
  empty.WriteData(data);
  EXPECT_EQ(data, std::vector<std::uint8_t>{0});
  EXPECT_EQ(read.ReadData(data), 1U);
  EXPECT_EQ(read.Graphic(), nullptr);
  EXPECT_EQ(changes, 1);
}

TEST(Picture, BadStreamDataLeavesThePictureUnchanged) {
  using Bytes = std::vector<std::uint8_t>;
  const struct {
    Bytes data;
    bool classNotFound;
  } cases[] = {
      {{}, false},
      {{7, 'T', 'B', 'i'}, false},                                            // name cut short
      {{7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 5, 0}, false},                  // size cut short
      {{7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 9, 0, 0, 0, 'B', 'M'}, false},  // size beyond the data
      {{5, 'T', 'N', 'o', 'n', 'e', 0}, true},
  };
  for (const auto& c : cases) {
    TPicture picture;
    picture.Bitmap().SetSize(2, 2);
    if (c.classNotFound)
      EXPECT_THROW(picture.ReadData(c.data), EClassNotFound);
    else
      EXPECT_THROW(picture.ReadData(c.data), EReadError) << c.data.size();
    EXPECT_EQ(picture.Width(), 2);
  }
}

TEST(Picture, FilesByExtension) {
  QTemporaryDir dir;
  const std::string bmp = dir.path().toStdString() + "/a.BMP";
  TPicture picture;
  EXPECT_THROW(picture.SaveToFile(bmp), Exception);
  picture.Bitmap().SetSize(4, 4);
  Fill(picture.Bitmap());
  picture.SaveToFile(bmp);
  TPicture loaded;
  loaded.LoadFromFile(bmp);
  EXPECT_EQ(loaded.Graphic()->ClassName(), "TBitmap");
  EXPECT_EQ(loaded.Bitmap().Pixel(3, 3), picture.Bitmap().Pixel(3, 3));
  loaded.LoadFromFile(KESTOVA_TESTDATA_DIR "/icon/two.ico");
  EXPECT_EQ(loaded.Graphic()->ClassName(), "TIcon");
  try {
    loaded.LoadFromFile(dir.path().toStdString() + "/x.y/noext");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Unknown picture file extension (.)");
  }
  EXPECT_THROW(loaded.LoadFromFile(dir.path().toStdString() + "/missing.bmp"), Exception);
  EXPECT_EQ(loaded.Graphic()->ClassName(), "TIcon");
}

// Another program reads a saved BMP with the same size and pixels.
TEST(Picture, SavedBitmapOpensInPil) {
  QTemporaryDir dir;
  const std::string path = dir.path().toStdString() + "/pil.bmp";
  TBitmap bitmap(5, 3);
  Fill(bitmap);
  bitmap.SetPixel(4, 2, RGB(1, 2, 3));
  {
    TPicture picture;
    picture.Bitmap().Assign(bitmap);
    picture.SaveToFile(path);
  }
  const std::string command = "/usr/bin/python3 " KESTOVA_TESTDATA_DIR "/pil_pixels.py " + path;
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
  ASSERT_EQ(pclose(pipe), 0) << output;
  std::ostringstream expected;
  expected << "5 3\n";
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const TColor c = bitmap.Pixel(x, y);
      expected << int{GetRValue(c)} << ' ' << int{GetGValue(c)} << ' ' << int{GetBValue(c)} << '\n';
    }
  EXPECT_EQ(output, expected.str());
}

TEST(Picture, AssignAndTheClipboardKeepTheGraphicsClass) {
  TPicture source;
  source.Bitmap().SetSize(3, 2);
  Fill(source.Bitmap());
  TPicture copy;
  int changes = 0;
  copy.OnChange = [&] { ++changes; };
  copy.Assign(source);
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(copy.Graphic()->ClassName(), "TBitmap");
  source.Bitmap().SetPixel(1, 1, clBlack);
  EXPECT_EQ(copy.Bitmap().Pixel(1, 1), RGB(30, 50, 200));  // a copy, not shared
  TPicture none;
  copy.Assign(none);
  EXPECT_EQ(copy.Graphic(), nullptr);

  TestClipboard clipboard;
  EXPECT_FALSE(TPicture::SupportsClipboardFormat(clipboard));
  EXPECT_THAT([&] { copy.LoadFromClipboard(clipboard); },
              ThrowsMessage<Exception>(HasSubstr(kUnknownClipboardFormatText)));
  source.SaveToClipboard(clipboard);
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(clipboard));
  EXPECT_EQ(clipboard.Image().pixel(1, 1), qRgb(0, 0, 0));
  copy.LoadFromClipboard(clipboard);
  ASSERT_NE(copy.Graphic(), nullptr);
  EXPECT_EQ(copy.Bitmap().Pixel(2, 0), RGB(60, 0, 200));

  // Another program's image is taken as a bitmap; its bad picture data
  // is refused and the picture stays as it was.
  QImage red(2, 2, QImage::Format_RGB32);
  red.fill(qRgb(255, 0, 0));
  clipboard.SetFromOtherProgram({.image = red});
  copy.LoadFromClipboard(clipboard);
  EXPECT_EQ(copy.Width(), 2);
  EXPECT_EQ(copy.Bitmap().Pixel(1, 1), clRed);
  ClipboardContent bad;
  bad.formats[kPictureClipboardFormat] = std::string(
      "\x07TBitmap\x09\x00\x00\x00"
      "BM",
      14);  // 9 bytes promised
  clipboard.SetFromOtherProgram(bad);
  EXPECT_THROW(copy.LoadFromClipboard(clipboard), EReadError);
  bad.formats[kPictureClipboardFormat] = std::string("\x00trailing", 9);
  clipboard.SetFromOtherProgram(bad);
  EXPECT_THROW(copy.LoadFromClipboard(clipboard), EReadError);
  EXPECT_EQ(copy.Width(), 2);
}

}  // namespace
