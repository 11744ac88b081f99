#include "platform/graphics/PictureExport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "platform/core/Exceptions.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

const DeviceInfo kScreen = DeviceInfoFromPixels(1920, 1080, 96);

Picture Sample() {
  PictureRecorder dc(PictureFrameFromPixels(200, 100, kScreen), kScreen);
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(800, 400);
  dc.SetViewportExt(200, 100);
  dc.FillRect({80, 40, 160, 120}, kBlackBrush);
  dc.SetBkMode(TRANSPARENT);
  dc.SelectObject(dc.CreateFontIndirect({-44, 0, 0, FW_NORMAL, false, false, false, DEFAULT_PITCH, "Arial"}));
  dc.TextOut(400, 200, "Taxon");
  return dc.Close();
}

TEST(PictureExportTest, PngIsTheFrameOnWhite) {
  const Picture picture = Sample();
  const QImage image = QImage::fromData(PictureToPng(picture), "PNG");
  ASSERT_EQ(image.size(), QSize(200, 100));
  EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), PictureToImage(picture));
  EXPECT_EQ(image.pixel(25, 15), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 255));
}

TEST(PictureExportTest, SvgKeepsTheFrameSizeAndTheText) {
  const QByteArray svg = PictureToSvg(Sample());
  EXPECT_TRUE(svg.contains("<svg"));
  EXPECT_TRUE(svg.contains("viewBox=\"0 0 200 100\""));
  EXPECT_TRUE(svg.contains(">Taxon<"));
  EXPECT_TRUE(svg.contains("width=\"52.9")) << "the physical width of 200 pixels at 96 dpi";
}

TEST(PictureExportTest, FilesAreWrittenOrTheErrorNamesThePath) {
  QTemporaryDir dir;
  const std::string base = dir.path().toStdString();
  const Picture picture = Sample();
  SavePicturePng(picture, base + "/a.png");
  SavePictureSvg(picture, base + "/a.svg");
  SavePicturePdf(picture, base + "/a.pdf");
  QFile pdf(QString::fromStdString(base + "/a.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
  EXPECT_EQ(QImage(QString::fromStdString(base + "/a.png")).size(), QSize(200, 100));

  const std::string bad = base + "/missing/dir/a.png";
  EXPECT_THAT([&] { SavePicturePng(picture, bad); },
              ThrowsMessage<EInOutError>(HasSubstr("Cannot create file \"" + bad + "\"")));
  EXPECT_THROW(SavePictureSvg(Picture(), base + "/none.svg"), EInOutError);
  EXPECT_TRUE(PictureToPng(Picture()).isEmpty());
  EXPECT_TRUE(PictureToImage(Picture()).isNull());
}

}  // namespace
