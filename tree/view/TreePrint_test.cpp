#include "tree/view/TreePrint.h"

#include <gtest/gtest.h>

#include <QPrinter>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/graphics/Clipboard.h"
#include "platform/ui/DialogService.h"
#include "tree/view/NTreeBox.h"
#include "tree/view/TreeViewTesting.h"

namespace {

using namespace treeview_testing;

// A screen of 4 pixels a millimetre and a page of 24 printer pixels a
// millimetre: a picture pixel is 6 printer pixels at its natural size. The
// usable page is 4500 x 5700.
const DeviceInfo kScreen{1000, 1000, 250, 250, 102, 102};
const DeviceInfo kPage{4800, 6000, 200, 250, 610, 610};

Picture PictureOf(int width, int height, const DeviceInfo& reference = kScreen) {
  PictureRecorder recorder(PictureFrameFromPixels(width, height, reference), reference);
  recorder.Rectangle(0, 0, 4 * width, 4 * height);
  return recorder.Close();
}

TEST(PrintTargetRect, ShrinksToThePageAndCentres) {
  struct Row {
    const char* what;
    int width, height;
    Rect target;
  } rows[] = {
      {"small: natural size, centred", 200, 100, {1800, 2700, 3000, 3300}},
      // 9000 wide, twice the usable 4500, and half as high as the usable
      // height: half size on both axes.
      {"twice as wide as the page", 1500, 475, {150, 2287, 4650, 3712}},
      {"twice as high as the page", 100, 1900, {2250, 150, 2550, 5850}},
      {"exactly the usable width", 750, 100, {150, 2700, 4650, 3300}},
      // Both too large: the smaller scale (4500 / 12000) serves both axes.
      {"too wide and too high", 2000, 1000, {150, 1875, 4650, 4125}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(PrintTargetRect(kScreen, r.width, r.height, kPage), r.target);
  }
}

TEST(PrintTargetRect, IsEmptyForSizesThatCannotBePrinted) {
  DeviceInfo noSize = kPage;
  noSize.HorzSize = 0;
  EXPECT_EQ(PrintTargetRect(kScreen, 200, 100, noSize), Rect{});
  EXPECT_EQ(PrintTargetRect(kScreen, 0, 100, kPage), Rect{});
  DeviceInfo tiny{200, 200, 10, 10, 600, 600};  // no room once 300 pixels are kept free
  EXPECT_EQ(PrintTargetRect(kScreen, 200, 100, tiny), Rect{});
}

TEST(PrintPicture, PrintsOnePageCentred) {
  TestPrinter printer(kPage);
  const Picture picture = PictureOf(200, 100);
  PrintPicture(printer, picture, 200, 100, "Kestova");
  EXPECT_EQ(printer.Log(), (std::vector<std::string>{"BeginDoc(Kestova)", "DrawPicture(1800,2700,3000,3300)", "EndDoc"}));
  ASSERT_EQ(printer.Pictures().size(), 1u);
  EXPECT_EQ(printer.Pictures()[0].RecordCount(), picture.RecordCount());
}

TEST(PrintPicture, AFailingJobIsAbortedSilently) {
  TestPrinter failsToDraw(kPage);
  failsToDraw.FailDraw();
  EXPECT_NO_THROW(PrintPicture(failsToDraw, PictureOf(200, 100), 200, 100, "t"));
  EXPECT_EQ(failsToDraw.Log(), (std::vector<std::string>{"BeginDoc(t)", "Abort"}));
  EXPECT_FALSE(failsToDraw.Printing());

  TestPrinter failsToStart(kPage);
  failsToStart.FailBegin();
  EXPECT_NO_THROW(PrintPicture(failsToStart, PictureOf(200, 100), 200, 100, "t"));
  EXPECT_TRUE(failsToStart.Log().empty());
  EXPECT_FALSE(failsToStart.Printing());
}

TEST(PrintPicture, NoPictureStartsNoJob) {
  TestPrinter printer;
  PrintPicture(printer, Picture(), 200, 100, "t");
  EXPECT_TRUE(printer.Log().empty());
}

// A tree box with a tree shown, measured deterministically.
struct ShownBox : TTreeBox {
  ShownBox() {
    SetTextMeasurer(std::make_unique<FixedTextMeasurer>());
    EXPECT_TRUE(SetTreeList(ListFromNewick("(((A:1,B:2)80:1,C:3)95:0.5,(D:2,E:1.5)60:1);"), true));
    SetPixelsPerOTU(30);
    RefreshTree();
  }
};

// The print dialog as a user sends the job to a PDF file.
class PdfDialog : public ScriptedDialogService {
 public:
  explicit PdfDialog(std::string path) : path_(std::move(path)) {}
  bool Print(QPrinter& printer) override {
    ScriptedDialogService::Print(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path_));
    return true;
  }

 private:
  std::string path_;
};

TEST(PrintTree, ShowsThePrintDialogFirstAndPrintsNothingWhenCancelled) {
  ShownBox box;
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  box.PrintTree();  // unscripted: cancelled
  EXPECT_EQ(dialogs.Count("print"), 1);

  TestPrinter printer;
  box.PrintTreeOn(printer);
  ASSERT_EQ(printer.Log().size(), 3u);
  EXPECT_EQ(printer.Pictures()[0].RecordCount(), box.TreePicture().RecordCount());
}

TEST(PrintTree, PrintsAPdfThroughTheDialog) {
  const std::string path = (std::filesystem::current_path() / "TreePrint_tree.pdf").string();
  std::filesystem::remove(path);
  ShownBox box;
  PdfDialog dialogs(path);
  ScopedDialogService scope(dialogs);
  box.PrintTree();
  EXPECT_EQ(dialogs.Count("print"), 1);
  std::ifstream file(path, std::ios::binary);
  ASSERT_TRUE(file) << path;
  const std::string pdf((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(pdf.starts_with("%PDF")) << path;
  EXPECT_GT(pdf.size(), 1000u);
}

TEST(CopyImageTo, PutsTheTreePictureOnTheClipboard) {
  ShownBox box;
  TestClipboard clipboard;
  box.CopyImageTo(clipboard);
  ASSERT_EQ(clipboard.Holds(), TestClipboard::Content::Picture);
  EXPECT_EQ(clipboard.HeldPicture().RecordCount(), box.TreePicture().RecordCount());
  EXPECT_FALSE(box.TreePicture().IsNull());  // the control keeps its own

  TTreeBox empty;
  TestClipboard untouched;
  empty.CopyImageTo(untouched);
  EXPECT_EQ(untouched.SetCount(), 0);
}

}  // namespace
