#include "platform/graphics/Printer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include "platform/core/Exceptions.h"

namespace {

using ::testing::ElementsAre;

Picture Sample() {
  const DeviceInfo screen = DeviceInfoFromPixels(1920, 1080, 96);
  PictureRecorder dc(PictureFrameFromPixels(200, 100, screen), screen);
  dc.Rectangle(10, 10, 190, 90);
  return dc.Close();
}

TEST(TestPrinterTest, RecordsTheJobAndFailsOnRequest) {
  TestPrinter printer;
  EXPECT_EQ(printer.PageWidth(), 4961);
  EXPECT_EQ(printer.PageHeight(), 7016);
  EXPECT_EQ(printer.Capabilities().HorzSize, 210);
  EXPECT_EQ(printer.Capabilities().LogPixelsX, 600);
  EXPECT_THROW(printer.DrawPicture(Sample(), {0, 0, 1, 1}), Exception) << "no job yet";

  printer.BeginDoc("Tree");
  printer.DrawPicture(Sample(), {100, 200, 300, 400});
  printer.EndDoc();
  printer.BeginDoc("Tree");
  printer.FailDraw();
  EXPECT_THROW(printer.DrawPicture(Sample(), {0, 0, 1, 1}), Exception);
  printer.Abort();
  printer.Abort();
  EXPECT_FALSE(printer.Printing());
  printer.FailBegin();
  EXPECT_THROW(printer.BeginDoc("Tree"), Exception);
  EXPECT_THAT(printer.Log(), ElementsAre("BeginDoc(Tree)", "DrawPicture(100,200,300,400)", "EndDoc",
                                         "BeginDoc(Tree)", "Abort"));
  EXPECT_EQ(printer.Pictures().size(), 1u);
}

TEST(QtPrinterTest, PrintsAJobToAPdfFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("job.pdf");
  QPrinter device(QPrinter::HighResolution);
  device.setOutputFormat(QPrinter::PdfFormat);
  device.setOutputFileName(path);
  QtPrinter printer(device);
  const DeviceInfo caps = printer.Capabilities();
  EXPECT_EQ(caps.LogPixelsX, device.resolution());
  EXPECT_EQ(caps.HorzRes, device.width());
  EXPECT_GT(caps.HorzSize, 100);
  EXPECT_FALSE(printer.Printing());
  EXPECT_THROW(printer.EndDoc(), Exception);

  printer.BeginDoc("Tree");
  EXPECT_TRUE(printer.Printing());
  printer.DrawPicture(Sample(), {150, 150, 1350, 750});
  printer.EndDoc();
  EXPECT_FALSE(printer.Printing());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("%PDF"));
}

TEST(QtPrinterTest, AbortEndsTheJob) {
  QTemporaryDir dir;
  QPrinter device(QPrinter::HighResolution);
  device.setOutputFormat(QPrinter::PdfFormat);
  device.setOutputFileName(dir.filePath("aborted.pdf"));
  QtPrinter printer(device);
  printer.Abort();  // nothing running: nothing happens
  printer.BeginDoc("Tree");
  printer.Abort();
  EXPECT_FALSE(printer.Printing());
  printer.BeginDoc("Again");
  printer.EndDoc();
}

}  // namespace
