// The reporter's message sink: recorded, shown in a box on the application's
// thread, and written to standard error from any other thread.
#include "crashreport/zorExceptMessages.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <stdexcept>
#include <string>
#include <thread>

#include "crashreport/zorExceptFixture.h"

namespace {

using namespace zor;

TEST(ZorMessages, AnInstalledSinkGetsCaptionAndText) {
  {
    zortest::MessageRecorder recorder;
    ShowReporterMessage("internal error (opening settings buffer)");
    EXPECT_EQ(recorder.texts, (std::vector<std::string>{"zorExcept: internal error (opening settings buffer)"}));
    // A failing sink does not reach the caller.
    const ReporterMessageSink previous =
        SetReporterMessageSink([](std::string_view, std::string_view) { throw std::runtime_error("sink"); });
    EXPECT_NO_THROW(ShowReporterMessage("x"));
    SetReporterMessageSink(previous);
    ShowReporterMessage("second");
    EXPECT_EQ(recorder.texts.size(), 2u);
  }
  EXPECT_FALSE(SetReporterMessageSink({}));  // the recorder put the default back
}

TEST(ZorMessages, DefaultSinkWritesToStandardErrorOffTheApplicationThread) {
  ASSERT_NE(qobject_cast<QApplication*>(QCoreApplication::instance()), nullptr);
  testing::internal::CaptureStderr();
  std::thread([] { ShowReporterMessage("Internal error: Invalid settings resource ($7)."); }).join();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "zorExcept: Internal error: Invalid settings resource ($7).\n");
}

TEST(ZorMessages, DefaultSinkShowsABoxOnTheApplicationThread) {
  QString title, text;
  int buttons = 0;
  bool shown = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    shown = true;
    title = box->windowTitle();
    text = box->text();
    buttons = box->standardButtons();
    box->button(QMessageBox::Ok)->click();
  });
  testing::internal::CaptureStderr();
  ShowReporterMessage("Internal error: Invalid settings resource ($7).");
  // The offscreen platform may warn there; the message itself must not go there.
  EXPECT_EQ(testing::internal::GetCapturedStderr().find("zorExcept"), std::string::npos);
  ASSERT_TRUE(shown);
  EXPECT_EQ(title, "zorExcept");
  EXPECT_EQ(text, "Internal error: Invalid settings resource ($7).");
  EXPECT_EQ(buttons, QMessageBox::Ok);
}

}  // namespace
