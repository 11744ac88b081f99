#include "platform/graphics/Clipboard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

using ::testing::ElementsAre;
using ::testing::Optional;

Picture Sample() {
  const DeviceInfo screen = DeviceInfoFromPixels(1920, 1080, 96);
  PictureRecorder dc(PictureFrameFromPixels(200, 100, screen), screen);
  dc.Rectangle(10, 10, 190, 90);
  return dc.Close();
}

QImage Swatch() {
  QImage image(8, 6, QImage::Format_ARGB32);
  image.fill(QColor(200, 30, 40));
  return image;
}

ClipboardContent AllKinds() {
  ClipboardContent content;
  content.text = "Taxon \xC3\xA9";
  content.rtf = "{\\rtf1\\ansi Taxon \\'e9}";
  content.image = Swatch();
  content.formats["application/x-kestova-node"] = std::string("\x01\x00\x02", 3);
  return content;
}

// What a clipboard gives back of AllKinds(), as one line per format.
std::vector<std::string> ReadBack(const Clipboard& clipboard) {
  std::vector<std::string> lines;
  lines.push_back("text " + clipboard.AsText());
  for (const char* name : kClipboardRtfFormats)
    lines.push_back(std::string(name) + " " + clipboard.Format(name).value_or("-"));
  lines.push_back("rtf " + clipboard.Rtf().value_or("-"));
  const QImage image = clipboard.Image();
  lines.push_back("image " + std::to_string(image.width()) + "x" + std::to_string(image.height()) + " " +
                  (image.isNull() ? std::string("-") : QColor(image.pixel(3, 3)).name().toStdString()));
  lines.push_back("custom " + std::to_string(clipboard.Format("application/x-kestova-node").value_or("-").size()));
  return lines;
}

const std::vector<std::string> kAllKindsRead = {
    "text Taxon \xC3\xA9",
    "text/rtf {\\rtf1\\ansi Taxon \\'e9}",
    "text/richtext {\\rtf1\\ansi Taxon \\'e9}",
    "application/rtf {\\rtf1\\ansi Taxon \\'e9}",
    "rtf {\\rtf1\\ansi Taxon \\'e9}",
    "image 8x6 #c81e28",
    "custom 3",
};

TEST(QtClipboardTest, PictureGoesThereAsSvgAndPng) {
  QtClipboard clipboard;
  clipboard.SetPicture(Sample());
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(data->data("image/svg+xml").contains("<svg"));
  EXPECT_EQ(QImage::fromData(data->data("image/png"), "PNG").size(), QSize(200, 100));
  EXPECT_TRUE(clipboard.HasImage());
  EXPECT_EQ(clipboard.Image().size(), QSize(200, 100));

  clipboard.SetText("Taxon \xC3\xA9");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("Taxon \xC3\xA9"));
  EXPECT_EQ(clipboard.AsText(), "Taxon \xC3\xA9");
  EXPECT_FALSE(clipboard.HasImage());
  EXPECT_EQ(clipboard.Rtf(), std::nullopt);
}

TEST(QtClipboardTest, EveryFormatPutThereReadsBack) {
  QtClipboard clipboard;
  int changes = 0;
  clipboard.AddChangeListener([&] { ++changes; });
  clipboard.SetContent(AllKinds());
  EXPECT_EQ(ReadBack(clipboard), kAllKindsRead);
  EXPECT_TRUE(clipboard.HasRtf());
  EXPECT_GE(changes, 1);  // ownership needs a real clipboard: see the xclip tests

  clipboard.SetContent({});
  EXPECT_EQ(clipboard.AsText(), "");
  EXPECT_FALSE(clipboard.HasFormat("application/x-kestova-node"));
}

TEST(QtClipboardTest, RtfIsReadUnderEachOfItsNames) {
  for (const char* name : kClipboardRtfFormats) {
    SCOPED_TRACE(name);
    auto* data = new QMimeData;
    data->setData(name, "{\\rtf1 x}");
    QGuiApplication::clipboard()->setMimeData(data);
    QtClipboard clipboard;
    EXPECT_THAT(clipboard.Rtf(), Optional(std::string("{\\rtf1 x}")));
  }
}

TEST(TestClipboardTest, HoldsTheLastContentAndReadsItBack) {
  TestClipboard clipboard;
  EXPECT_EQ(clipboard.Holds(), TestClipboard::Content::Empty);
  EXPECT_FALSE(clipboard.OwnsClipboard());
  const Picture picture = Sample();
  clipboard.SetPicture(picture);
  EXPECT_EQ(clipboard.Holds(), TestClipboard::Content::Picture);
  EXPECT_EQ(clipboard.HeldPicture().RecordCount(), picture.RecordCount());
  EXPECT_EQ(clipboard.Image().size(), QSize(200, 100));
  EXPECT_TRUE(clipboard.HasFormat(kClipboardPngFormat));
  EXPECT_THAT(clipboard.Format("image/svg+xml").value_or(""), ::testing::HasSubstr("<svg"));
  clipboard.SetText("name");
  EXPECT_EQ(clipboard.Holds(), TestClipboard::Content::Text);
  EXPECT_EQ(clipboard.HeldText(), "name");
  EXPECT_EQ(clipboard.AsText(), "name");
  EXPECT_TRUE(clipboard.HeldPicture().IsNull());
  EXPECT_FALSE(clipboard.HasImage());
  clipboard.SetContent(AllKinds());
  EXPECT_EQ(clipboard.Holds(), TestClipboard::Content::Formats);
  EXPECT_EQ(ReadBack(clipboard), kAllKindsRead);
  EXPECT_EQ(clipboard.SetCount(), 3);
}

TEST(TestClipboardTest, OwnershipAndChangeNoticesFollowEachSide) {
  TestClipboard clipboard;
  std::vector<std::string> notices;
  const int first =
      clipboard.AddChangeListener([&] { notices.push_back(clipboard.OwnsClipboard() ? "ours" : "theirs"); });
  // A listener that removes itself on its first notice.
  int once = 0;
  once = clipboard.AddChangeListener([&] {
    notices.push_back("once");
    clipboard.RemoveChangeListener(once);
  });
  clipboard.SetText("ours");
  ClipboardContent theirs;
  theirs.rtf = "{\\rtf1 theirs}";
  clipboard.SetFromOtherProgram(theirs);
  EXPECT_EQ(clipboard.Rtf(), theirs.rtf);
  EXPECT_EQ(clipboard.AsText(), "");
  clipboard.SetPicture(Picture());  // clears: nobody owns an empty clipboard
  clipboard.RemoveChangeListener(first);
  clipboard.SetText("unheard");
  EXPECT_THAT(notices, ElementsAre("ours", "once", "theirs", "theirs"));
  EXPECT_TRUE(clipboard.OwnsClipboard());
}

TEST(ClipboardServiceTest, AnInstalledDoubleStandsInForTheSystemClipboardUntilTakenBack) {
  Clipboard& system = ClipboardService();
  TestClipboard double_;
  EXPECT_EQ(SetClipboardService(&double_), nullptr);
  ClipboardService().SetText("to the double");
  EXPECT_EQ(double_.HeldText(), "to the double");
  EXPECT_EQ(SetClipboardService(nullptr), &double_);
  EXPECT_EQ(&ClipboardService(), &system);
}

}  // namespace
