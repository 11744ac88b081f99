#include "platform/process/Launcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>

namespace {

using ::testing::ElementsAre;

TEST(Launcher, TheInstalledDoubleRecordsEveryLaunch) {
  RecordingLauncher launcher;
  {
    ScopedLauncher scope(launcher);
    EXPECT_EQ(&Launchers(), &launcher);
    EXPECT_TRUE(Launchers().ShellOpen("/tmp/report.txt"));
    launcher.openResult = false;
    EXPECT_FALSE(Launchers().ShellOpen("mailto:someone@example.org"));
    Launchers().StartDetached({"xdg-email", "--subject", "crash report"});
  }
  EXPECT_NE(&Launchers(), &launcher) << "the guard puts the system launcher back";
  EXPECT_THAT(launcher.Launches(), ElementsAre("open /tmp/report.txt", "open mailto:someone@example.org",
                                               "start xdg-email --subject crash report"));
}

TEST(Launcher, TargetsBecomeUrls) {
  const std::string here = QDir::currentPath().toStdString();
  struct Case {
    std::string target, url;
  };
  const Case cases[] = {
      {"/tmp/a b.txt", "file:///tmp/a%20b.txt"},
      {"notes.txt", "file://" + here + "/notes.txt"},
      {"https://example.org/a?b=1", "https://example.org/a?b=1"},
      {"mailto:someone@example.org", "mailto:someone@example.org"},
      {"file:///tmp/x", "file:///tmp/x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    EXPECT_EQ(ShellOpenUrl(c.target), c.url);
  }
}

}  // namespace
