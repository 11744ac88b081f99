#include "platform/process/Launcher.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include "platform/process/ChildProcess.h"

namespace {

class SystemLauncher final : public Launcher {
 public:
  bool ShellOpen(const std::string& target) override {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(ShellOpenUrl(target))));
  }
  void StartDetached(const std::vector<std::string>& args) override { ::StartDetached(args); }
};

Launcher* g_current = nullptr;

}  // namespace

Launcher& Launchers() {
  static SystemLauncher system;
  return g_current ? *g_current : system;
}

ScopedLauncher::ScopedLauncher(Launcher& launcher) : previous_(g_current) { g_current = &launcher; }
ScopedLauncher::~ScopedLauncher() { g_current = previous_; }

std::string ShellOpenUrl(const std::string& target) {
  const QString text = QString::fromStdString(target);
  // A scheme is at least two characters, so that a path such as "c:x" is
  // not mistaken for one; "/" can never start a scheme.
  const QUrl url(text, QUrl::StrictMode);
  if (url.isValid() && url.scheme().size() >= 2) return url.toEncoded().toStdString();
  return QUrl::fromLocalFile(QDir::current().absoluteFilePath(text)).toEncoded().toStdString();
}

bool RecordingLauncher::ShellOpen(const std::string& target) {
  launches_.push_back("open " + target);
  return openResult;
}

void RecordingLauncher::StartDetached(const std::vector<std::string>& args) {
  std::string line = "start";
  for (const std::string& arg : args) line += " " + arg;
  launches_.push_back(line);
}
