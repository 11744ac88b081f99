#include "platform/graphics/ImageGraphic.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/GraphicPicture.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

QImage Sample() {
  QImage image(7, 5, QImage::Format_ARGB32);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) image.setPixel(x, y, qRgba(30 * x, 50 * y, 200, 255));
  image.setPixel(6, 4, qRgba(0, 0, 0, 0));
  return image;
}

TEST(ImageGraphic, PngAndJpegRoundTripThroughTheirBytes) {
  struct Row {
    std::unique_ptr<TImageGraphic> (*make)();
    int tolerance;  // mean difference; JPEG loses a little
    bool alpha;
  } rows[] = {
      {[]() -> std::unique_ptr<TImageGraphic> { return std::make_unique<TPngImage>(); }, 0, true},
      {[]() -> std::unique_ptr<TImageGraphic> { return std::make_unique<TJPEGImage>(); }, 40, false},
  };
  for (const Row& row : rows) {
    const std::unique_ptr<TImageGraphic> out = row.make();
    SCOPED_TRACE(out->ClassName());
    out->SetImage(Sample());
    const std::vector<std::uint8_t> bytes = out->SaveToBytes();
    ASSERT_FALSE(bytes.empty());
    const std::unique_ptr<TImageGraphic> in = row.make();
    in->LoadFromBytes(bytes);
    EXPECT_EQ(in->SaveToBytes(), bytes);  // kept as loaded
    ASSERT_EQ(in->Width(), 7);
    ASSERT_EQ(in->Height(), 5);
    // The mean difference over the opaque pixels, red + green + blue.
    int difference = 0;
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) {
        const QRgb want = Sample().pixel(x, y), got = in->Image().pixel(x, y);
        difference += std::abs(qRed(want) - qRed(got)) + std::abs(qGreen(want) - qGreen(got)) +
                      std::abs(qBlue(want) - qBlue(got));
      }
    EXPECT_LE(difference / 30, row.tolerance);
    EXPECT_EQ(qAlpha(in->Image().pixel(6, 4)) == 0, row.alpha);
  }
}

TEST(ImageGraphic, RefusesOtherBytesAndKeepsWhatItHad) {
  TPngImage png;
  png.SetImage(Sample());
  const std::vector<std::uint8_t> before = png.SaveToBytes();
  TJPEGImage jpeg;
  jpeg.SetImage(Sample());
  const std::vector<std::uint8_t> notPng = jpeg.SaveToBytes();
  EXPECT_THAT([&] { png.LoadFromBytes(notPng); }, ThrowsMessage<Exception>(HasSubstr(kInvalidPngText)));
  const std::vector<std::uint8_t> junk(40, 0x55);
  EXPECT_THAT([&] { jpeg.LoadFromBytes(junk); }, ThrowsMessage<Exception>(HasSubstr(kInvalidJpegText)));
  EXPECT_EQ(png.SaveToBytes(), before);
  EXPECT_EQ(png.Width(), 7);
}

TEST(ImageGraphic, DrawsThroughItsAlphaAndPicturesLoadItByExtension) {
  TPngImage png;
  png.SetImage(Sample());
  TBitmap target(9, 6);
  target.Canvas().Draw(1, 1, png);
  EXPECT_EQ(target.Pixel(1, 1), RGB(0, 0, 200));
  EXPECT_EQ(target.Pixel(1 + 6, 1 + 3), RGB(180, 150, 200));
  EXPECT_EQ(target.Pixel(1 + 6, 1 + 4), clWhite);  // transparent pixel

  QTemporaryDir dir;
  const std::string path = dir.filePath("sample.png").toStdString();
  ASSERT_TRUE(Sample().save(QString::fromStdString(path), "PNG"));
  TPicture picture;
  picture.LoadFromFile(path);
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Graphic()->ClassName(), "TPngImage");
  EXPECT_EQ(picture.Width(), 7);

  // Component-stream data names the class; the image's file follows.
  std::vector<std::uint8_t> data;
  picture.WriteData(data);
  TPicture back;
  EXPECT_EQ(back.ReadData(data), data.size());
  EXPECT_EQ(back.Graphic()->ClassName(), "TPngImage");
  EXPECT_EQ(back.Graphic()->SaveToBytes(), picture.Graphic()->SaveToBytes());
}

TEST(Metafile, KeepsItsBytesAndReportsItsClass) {
  TMetafile metafile;
  EXPECT_TRUE(metafile.Empty());
  const std::vector<std::uint8_t> bytes = {1, 2, 3, 4};
  metafile.LoadFromBytes(bytes);
  EXPECT_FALSE(metafile.Empty());
  EXPECT_EQ(metafile.ClassName(), "TMetafile");
  EXPECT_EQ(metafile.SaveToBytes(), bytes);
  TBitmap target(2, 2);
  target.Canvas().StretchDraw({0, 0, 2, 2}, metafile);
  EXPECT_EQ(target.Pixel(0, 0), clWhite);
}

}  // namespace
