// The system clipboard against another X client (xclip), on a real X server.
// CTest runs this binary under xvfb-run with the xcb platform.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include "platform/graphics/Clipboard.h"

namespace {

using ::testing::Contains;
using ::testing::Optional;

constexpr int kWaitMs = 10000;

// Runs xclip on the clipboard selection while this program keeps serving its
// own clipboard content through the event loop, and returns what xclip wrote.
QByteArray XclipOut(const QString& type) {
  QProcess xclip;
  xclip.start("xclip", {"-o", "-selection", "clipboard", "-t", type});
  const bool ended = QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, kWaitMs);
  EXPECT_TRUE(ended) << "xclip -o -t " << type.toStdString() << " hangs";
  EXPECT_EQ(xclip.exitCode(), 0) << xclip.readAllStandardError().toStdString();
  return xclip.readAllStandardOutput();
}

// Puts `bytes` on the clipboard as `type` from xclip, which stays behind as
// the selection's owner until another client takes it.
void XclipIn(const QString& type, const QByteArray& bytes) {
  QProcess xclip;
  xclip.setStandardOutputFile(QProcess::nullDevice());
  xclip.setStandardErrorFile(QProcess::nullDevice());
  xclip.start("xclip", {"-i", "-selection", "clipboard", "-t", type});
  ASSERT_TRUE(xclip.waitForStarted(kWaitMs));
  xclip.write(bytes);
  xclip.closeWriteChannel();
  ASSERT_TRUE(QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, kWaitMs));
  ASSERT_EQ(xclip.exitCode(), 0);
}

QImage Swatch() {
  QImage image(8, 6, QImage::Format_ARGB32);
  image.fill(QColor(200, 30, 40));
  return image;
}

QByteArray Png(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png;
}

std::string Std(const QByteArray& bytes) { return bytes.toStdString(); }

class ClipboardXclipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "needs an X server (run through CTest)";
    listener_ = clipboard_.AddChangeListener([this] { ++changes_; });
  }
  void TearDown() override { clipboard_.RemoveChangeListener(listener_); }
  // Waits for the next change notice after `seen` notices.
  bool ChangedSince(int seen) {
    return QTest::qWaitFor([&] { return changes_ > seen; }, kWaitMs);
  }

  QtClipboard clipboard_;
  int listener_ = 0;
  int changes_ = 0;
};

TEST_F(ClipboardXclipTest, WhatWePutThereXclipReads) {
  ClipboardContent content;
  content.text = "Taxon \xC3\xA9";
  content.rtf = "{\\rtf1\\ansi Taxon \\'e9}";
  content.image = Swatch();
  clipboard_.SetContent(content);
  EXPECT_TRUE(clipboard_.OwnsClipboard());

  const QByteArray targets = XclipOut("TARGETS");
  for (const char* type : {"UTF8_STRING", "text/rtf", "text/richtext", "application/rtf", "image/png"})
    EXPECT_TRUE(targets.contains(type)) << type << " not offered: " << targets.toStdString();
  EXPECT_EQ(Std(XclipOut("UTF8_STRING")), *content.text);
  for (const char* type : kClipboardRtfFormats) EXPECT_EQ(Std(XclipOut(type)), *content.rtf) << type;
  const QImage image = QImage::fromData(XclipOut("image/png"), "PNG");
  ASSERT_EQ(image.size(), QSize(8, 6));
  EXPECT_EQ(QColor(image.pixel(4, 3)), QColor(200, 30, 40));
}

TEST_F(ClipboardXclipTest, WhatXclipPutsThereWeRead) {
  struct Case {
    const char* type;
    QByteArray bytes;
  };
  const Case cases[] = {
      {"UTF8_STRING", "Taxon \xC3\xA9"},
      {"text/rtf", "{\\rtf1 from text/rtf}"},
      {"text/richtext", "{\\rtf1 from text/richtext}"},
      {"application/rtf", "{\\rtf1 from application/rtf}"},
      {"image/png", Png(Swatch())},
      {"application/x-kestova-node", QByteArray("\x01\x00\x02", 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    clipboard_.SetText("ours");  // so that xclip's content is a change
    const int seen = changes_;
    XclipIn(c.type, c.bytes);
    ASSERT_TRUE(ChangedSince(seen)) << "no change notice";
    EXPECT_FALSE(clipboard_.OwnsClipboard());
    const std::string type = c.type;
    if (type == "UTF8_STRING") {
      EXPECT_EQ(clipboard_.AsText(), Std(c.bytes));
    } else if (type == "image/png") {
      EXPECT_TRUE(clipboard_.HasImage());
      const QImage image = clipboard_.Image();
      ASSERT_EQ(image.size(), QSize(8, 6));
      EXPECT_EQ(QColor(image.pixel(4, 3)), QColor(200, 30, 40));
    } else if (type.find("rtf") != std::string::npos || type.find("richtext") != std::string::npos) {
      EXPECT_THAT(clipboard_.Rtf(), Optional(Std(c.bytes)));
      EXPECT_EQ(clipboard_.AsText(), "") << "RTF is not plain text";
    } else {
      EXPECT_THAT(clipboard_.Format(type), Optional(Std(c.bytes)));
    }
  }
}

TEST_F(ClipboardXclipTest, OwnershipAndChangeNoticesFollowBothWays) {
  int seen = changes_;
  clipboard_.SetText("first");
  ASSERT_TRUE(ChangedSince(seen));
  EXPECT_TRUE(clipboard_.OwnsClipboard());

  seen = changes_;
  XclipIn("UTF8_STRING", "theirs");
  ASSERT_TRUE(ChangedSince(seen));
  EXPECT_FALSE(clipboard_.OwnsClipboard());
  EXPECT_EQ(clipboard_.AsText(), "theirs");

  seen = changes_;
  clipboard_.SetText("ours again");
  ASSERT_TRUE(ChangedSince(seen));
  EXPECT_TRUE(clipboard_.OwnsClipboard());
  EXPECT_EQ(Std(XclipOut("UTF8_STRING")), "ours again");
}

}  // namespace
