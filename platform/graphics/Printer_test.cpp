#include "platform/graphics/Printer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
#include <functional>
#include <QTemporaryDir>

#include <QProcess>
#include <QStringList>

#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/graphics/TraceContext.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

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

// A high-resolution printer that writes a PDF file in a directory of its own.
struct PdfDevice {
  QTemporaryDir dir;
  QString path = dir.filePath("job.pdf");
  QPrinter device{QPrinter::HighResolution};
  PdfDevice() {
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(path);
  }
};

TEST(QtPrinterTest, PrintsAJobToAPdfFile) {
  PdfDevice pdf;
  QPrinter& device = pdf.device;
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
  QFile file(pdf.path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("%PDF"));
}

TEST(QtPrinterTest, AbortEndsTheJob) {
  PdfDevice pdf;
  QtPrinter printer(pdf.device);
  printer.Abort();  // nothing running: nothing happens
  printer.BeginDoc("Tree");
  printer.Abort();
  EXPECT_FALSE(printer.Printing());
  printer.BeginDoc("Again");
  printer.EndDoc();
}

// Draws `text` near the top left of the current page in a 12-point face.
void WritePage(Printer& printer, const std::string& text) {
  DeviceContext& canvas = printer.Canvas();
  LogFont font;
  font.Height = -MulDiv(12, printer.Capabilities().LogPixelsY, 72);
  font.FaceName = "Arial";
  const FontHandle handle = canvas.CreateFontIndirect(font);
  const FontHandle previous = canvas.SelectObject(handle);
  canvas.TextOut(printer.PageWidth() / 10, printer.PageHeight() / 10, text);
  canvas.SelectObject(previous);
  canvas.DeleteObject(handle);
}

std::string Replayed(const Picture& page) {
  TraceContext trace(page.Reference());
  page.Replay(trace);
  return trace.Text();
}

TEST(TestPrinterTest, KeepsEachPageOfTheCanvasAsAPicture) {
  TestPrinter printer;
  EXPECT_EQ(printer.PageNumber(), 0);
  printer.BeginDoc("Report");
  EXPECT_EQ(printer.Title(), "Report");
  EXPECT_EQ(printer.PageNumber(), 1);
  WritePage(printer, "First page");
  printer.NewPage();
  EXPECT_EQ(printer.PageNumber(), 2);
  printer.NewPage();  // a page left blank
  WritePage(printer, "Third page");
  printer.EndDoc();
  EXPECT_FALSE(printer.Aborted());
  EXPECT_THAT(printer.Log(), ElementsAre("BeginDoc(Report)", "NewPage", "NewPage", "EndDoc"));
  ASSERT_EQ(printer.Pages().size(), 3u);
  EXPECT_THAT(Replayed(printer.Pages()[0]), HasSubstr("TextOut(496,701,\"First page\")"));
  EXPECT_EQ(printer.Pages()[1].RecordCount(), 0u);
  EXPECT_THAT(Replayed(printer.Pages()[2]), HasSubstr("\"Third page\""));
  EXPECT_EQ(printer.Pages()[0].FramePixels(), (Rect{0, 0, 4961, 7016}));

  printer.BeginDoc("Dropped");
  WritePage(printer, "never printed");
  printer.Abort();
  EXPECT_TRUE(printer.Aborted());
  EXPECT_EQ(printer.Title(), "Dropped");
  EXPECT_TRUE(printer.Pages().empty()) << "an aborted page is not kept";
  printer.BeginDoc("Again");
  EXPECT_FALSE(printer.Aborted());
}

TEST(TestPrinterTest, CallsOutsideTheirStateRaise) {
  struct Case {
    const char* name;
    std::function<void(Printer&)> call;
    const char* text;
  };
  const Case cases[] = {
      {"canvas before a job", [](Printer& p) { p.Canvas(); }, kNotPrintingErrorText},
      {"new page before a job", [](Printer& p) { p.NewPage(); }, kNotPrintingErrorText},
      {"end before a job", [](Printer& p) { p.EndDoc(); }, kNotPrintingErrorText},
      {"canvas after the job",
       [](Printer& p) {
         p.BeginDoc("t");
         p.EndDoc();
         p.Canvas();
       },
       kNotPrintingErrorText},
      {"a second job",
       [](Printer& p) {
         p.BeginDoc("t");
         p.BeginDoc("u");
       },
       kPrintStartErrorText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestPrinter printer;
    EXPECT_THAT([&] { c.call(printer); }, ThrowsMessage<Exception>(::testing::StrEq(c.text)));
  }
}

TEST(QtPrinterTest, TwoCanvasPagesReachThePdfInOrder) {
  PdfDevice pdf;
  QtPrinter printer(pdf.device);
  printer.BeginDoc("Pages");
  WritePage(printer, "First page");
  printer.NewPage();
  EXPECT_EQ(printer.PageNumber(), 2);
  WritePage(printer, "Second page");
  printer.EndDoc();

  QProcess pdftotext;
  pdftotext.start("pdftotext", {pdf.path, "-"});
  ASSERT_TRUE(pdftotext.waitForFinished(30000)) << "pdftotext (poppler-utils) missing or hanging";
  ASSERT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
  // pdftotext ends every page with a form feed.
  QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split('\f');
  ASSERT_EQ(pages.size(), 3) << pages.join("|").toStdString();
  EXPECT_EQ(pages[0].trimmed(), "First page");
  EXPECT_EQ(pages[1].trimmed(), "Second page");
  EXPECT_EQ(pages[2], "");
}

}  // namespace
