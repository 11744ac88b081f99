#pragma once
// Handing things to other programs: opening a document, folder or address
// with the desktop's preferred program (ShellOpen), and starting a program
// detached (StartDetached). Both go through the current Launcher, so tests
// record the launches (RecordingLauncher) instead of making them.

#include <string>
#include <vector>

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Opens `target` with the desktop's program for it. A target with a URL
  // scheme ("https://…", "mailto:…", "file:///…") is taken as that URL;
  // anything else is a local path, relative ones against the current
  // directory. False when the desktop found no program for it.
  virtual bool ShellOpen(const std::string& target) = 0;
  // As the free StartDetached of ChildProcess.h (raises ELaunchFailed).
  virtual void StartDetached(const std::vector<std::string>& args) = 0;
};

// The launcher in use: the system one unless a test installed another. The
// system ShellOpen needs a QGuiApplication.
Launcher& Launchers();

// Installs `launcher` (not owned) until the guard goes out of scope.
class ScopedLauncher {
 public:
  explicit ScopedLauncher(Launcher& launcher);
  ~ScopedLauncher();
  ScopedLauncher(const ScopedLauncher&) = delete;
  ScopedLauncher& operator=(const ScopedLauncher&) = delete;

 private:
  Launcher* previous_;
};

// The URL the system launcher hands to the desktop for `target` (see
// Launcher::ShellOpen), in its encoded text form.
std::string ShellOpenUrl(const std::string& target);

// Test double: records every launch, in order, as "open <target>" or
// "start <arg0> <arg1> …", and answers ShellOpen with `openResult`.
class RecordingLauncher final : public Launcher {
 public:
  bool ShellOpen(const std::string& target) override;
  void StartDetached(const std::vector<std::string>& args) override;
  const std::vector<std::string>& Launches() const { return launches_; }
  bool openResult = true;

 private:
  std::vector<std::string> launches_;
};
