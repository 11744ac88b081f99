// The real program, started offscreen: what the crash reporter's start-up
// leaves behind in a process that ships without its settings.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/ProgramFixture.h"
#include "crashreport/zorTools.h"


namespace {

namespace fs = std::filesystem;

std::vector<std::string> ReporterSharedMemory() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator("/dev/shm"))
    if (entry.path().filename().string().rfind("zorExcept", 0) == 0) names.push_back(entry.path().string());
  return names;
}

TEST(ProgramStart, TheReporterClearsItsFolderAndHooksNothing) {
  char pattern[] = "/tmp/kestovatmpXXXXXX";
  const fs::path root = mkdtemp(pattern);
  const fs::path folder = root / "kestova-gui.zorExcept";
  fs::create_directories(folder);
  std::ofstream(folder / "old.txt") << "left by an earlier run";
  const std::vector<std::string> shmBefore = ReporterSharedMemory();

  const pid_t pid = kestovatest::StartProgramOffscreen({"TMPDIR=" + root.string()});
  ASSERT_GT(pid, 0);

  const auto start = std::chrono::steady_clock::now();
  while (fs::exists(folder) && std::chrono::steady_clock::now() - start < std::chrono::seconds(30))
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(fs::exists(folder));
  // Let the main window come up before looking at the process.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, WNOHANG), 0) << "the program ended early";
  const uint64_t caught = kestovatest::SignalMask(pid, "SigCgt:");
  for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL})
    EXPECT_EQ(caught & (uint64_t{1} << (signal - 1)), 0u) << "signal " << signal;
  EXPECT_EQ(ReporterSharedMemory(), shmBefore);
  kill(pid, SIGTERM);
  waitpid(pid, &status, 0);
  fs::remove_all(root);
}

TEST(ProgramStart, TheFileVersionIsThePackageNoteVersion) {
  const std::string command = std::string("readelf -n '") + KESTOVA_GUI_PATH + "'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string notes;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) notes.append(buffer, n);
  pclose(pipe);
  const std::string key = "\"version\":\"";
  const size_t at = notes.find(key);
  ASSERT_NE(at, std::string::npos) << notes;
  const std::string shown = notes.substr(at + key.size(), notes.find('"', at + key.size()) - at - key.size());
  const uint64_t version = zor::FileVersion(KESTOVA_GUI_PATH);
  EXPECT_NE(version, 0u);
  EXPECT_EQ(version, zor::ParseVersionNumbers(shown));
  EXPECT_EQ(zor::FileVersionText(version).rfind(shown, 0), 0u) << shown;
}

}  // namespace
