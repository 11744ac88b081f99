#include "crashreport/zorExceptStartup.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "crashreport/zorExceptHelpers.h"
#include "crashreport/zorExceptKeys.h"
#include "crashreport/zorExceptThreads.h"
#include "crashreport/zorExceptTwoModules.h"
#include "crashreport/zorStrings.h"

extern char** environ;

namespace zor {
namespace {

namespace fs = std::filesystem;

// A scratch folder as TMPDIR for one test.
class ScratchTmp {
 public:
  ScratchTmp() {
    char pattern[] = "/tmp/zortmpXXXXXX";
    root_ = mkdtemp(pattern);
    const char* old = std::getenv("TMPDIR");
    if (old) old_ = old;
    setenv("TMPDIR", root_.c_str(), 1);
  }
  ~ScratchTmp() {
    if (old_)
      setenv("TMPDIR", old_->c_str(), 1);
    else
      unsetenv("TMPDIR");
    fs::remove_all(root_);
  }
  fs::path Folder() const { return fs::path(root_) / (WithoutExtension(ExecutableFileName()) + ".zorExcept"); }
  std::string root_;

 private:
  std::optional<std::string> old_;
};

TEST(ZorTempFolder, ClearingDeletesFilesAndThenTheFolder) {
  ScratchTmp tmp;
  EXPECT_EQ(ReportTempFolder(), tmp.root_ + "/" + tmp.Folder().filename().string() + "/");
  EXPECT_TRUE(fs::is_directory(tmp.Folder()));
  // Files, an open one among them, go with the folder.
  std::ofstream(tmp.Folder() / "old.txt") << "x";
  std::ofstream(tmp.Folder() / "report.zip") << "y";
  const int open = ::open((tmp.Folder() / "open.log").c_str(), O_CREAT | O_WRONLY, 0600);
  ClearReportTempFolder();
  EXPECT_FALSE(fs::exists(tmp.Folder()));
  close(open);
  // A sub-folder (and a link) cannot be cleared: the folder stays with them.
  fs::create_directories(tmp.Folder() / "keep" / "inner");
  std::ofstream(tmp.Folder() / "keep" / "inner" / "deep.txt") << "z";
  std::ofstream(tmp.root_ + "/outside.txt") << "o";
  fs::create_symlink(tmp.root_ + "/outside.txt", tmp.Folder() / "link");
  std::ofstream(tmp.Folder() / "gone.txt") << "g";
  ClearReportTempFolder();
  EXPECT_FALSE(fs::exists(tmp.Folder() / "gone.txt"));
  EXPECT_TRUE(fs::exists(tmp.Folder() / "keep" / "inner" / "deep.txt"));
  EXPECT_TRUE(fs::exists(tmp.root_ + "/outside.txt"));
  // TMPDIR without the folder is created first; unset means /tmp.
  setenv("TMPDIR", (tmp.root_ + "/new/").c_str(), 1);
  EXPECT_EQ(ReportTempFolder(), tmp.root_ + "/new/" + tmp.Folder().filename().string() + "/");
  unsetenv("TMPDIR");
  EXPECT_EQ(ReportTempFolder().rfind("/tmp/", 0), 0u);
}

TEST(ZorRestart, TheRecordIsNamedByTheNewProcess) {
  EXPECT_EQ(RestartRecordName(6700), "/zorExceptRestart$1a2c");
  EXPECT_EQ(RestartRecordName(1), "/zorExceptRestart$1");
  EXPECT_FALSE(ProcessStartTime(0).has_value());
  const std::optional<uint32_t> own = ProcessStartTime(static_cast<uint32_t>(getpid()));
  ASSERT_TRUE(own.has_value());
  EXPECT_GE(*own, *ProcessStartTime(1));
}

TEST(ZorRestart, AStaleRecordIsAdoptedWithoutWaiting) {
  EXPECT_FALSE(TakeOverRestart());
  struct Row {
    uint32_t oldPid;
    int startTimeShift;
  };
  // The parent runs, but with another start time (an id reused); an id that
  // runs nothing; the own id.
  const Row rows[] = {{static_cast<uint32_t>(getppid()), 1}, {0x7ffffff0u, 0}, {static_cast<uint32_t>(getpid()), 0}};
  for (const Row& row : rows) {
    RestartRecord record;
    record.oldProcessId = row.oldPid;
    record.oldStartTime = ProcessStartTime(row.oldPid).value_or(0) + static_cast<uint32_t>(row.startTimeShift);
    for (size_t i = 0; i < record.times.size(); ++i) record.times[i] = 13300000000u + row.oldPid + i;
    ASSERT_TRUE(WriteRestartRecord(static_cast<uint32_t>(getpid()), record));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(TakeOverRestart());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(ExceptionTimes(), record.times);
    EXPECT_LT(shm_open(RestartRecordName(static_cast<uint32_t>(getpid())).c_str(), O_RDONLY, 0), 0);
    EXPECT_FALSE(TakeOverRestart());
  }
  SetExceptionTimes({});
}

std::map<std::string, std::string> ReadKeys(const std::string& path) {
  std::map<std::string, std::string> keys;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return keys;
}

TEST(ZorRestart, TheNewInstanceWaitsForTheOldOneThatIsNotItsParent) {
  ScratchTmp tmp;
  const std::string out = tmp.root_ + "/result.txt";
  std::string helper = ZOR_RESTART_HELPER;
  std::string mode = "old", delay = "800";
  char* args[] = {helper.data(), mode.data(), delay.data(), const_cast<char*>(out.c_str()), nullptr};
  pid_t old = 0;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(posix_spawn(&old, helper.c_str(), nullptr, nullptr, args, environ), 0);
  int status = 0;
  ASSERT_EQ(waitpid(old, &status, 0), old);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  while (!fs::exists(out) && std::chrono::steady_clock::now() - start < std::chrono::seconds(20))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const auto keys = ReadKeys(out);
  ASSERT_FALSE(keys.empty()) << "the new instance wrote nothing";
  EXPECT_EQ(keys.at("parent_is_old"), "0");
  EXPECT_EQ(keys.at("old_ended"), "1");
  EXPECT_GE(std::stoll(keys.at("waited_ms")), 500);
  EXPECT_EQ(keys.at("time0"), "13300000000");
  EXPECT_EQ(keys.at("time9"), "13300000009");
  EXPECT_EQ(keys.at("record_left"), "0");
}

class ZorStartup : public zortest::TwoModules {};

// Whether [address, address + size) lies in one mapping without access.
bool Inaccessible(const void* address, size_t size) {
  const auto start = reinterpret_cast<uintptr_t>(address);
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    unsigned long low = 0, high = 0;
    char perms[5] = {};
    if (std::sscanf(line.c_str(), "%lx-%lx %4s", &low, &high, perms) == 3 && low <= start && start + size <= high)
      return std::string(perms) == "---p";
  }
  return false;
}

// Pages of the region that are in memory.
size_t ResidentPages(const void* address, size_t size) {
  std::vector<unsigned char> pages(size / 4096);
  if (mincore(const_cast<void*>(address), size, pages.data()) != 0) return 0;
  return static_cast<size_t>(std::count_if(pages.begin(), pages.end(), [](unsigned char p) { return p & 1; }));
}

TEST_F(ZorStartup, WithoutSettingsOnlyTheCommonStepsRun) {
  ScratchTmp tmp;
  fs::create_directories(tmp.Folder());
  std::ofstream(tmp.Folder() / "old.txt") << "x";
  const size_t threads = ProcessThreadIds().size();
  ReporterStartup();
  ReporterStartup();  // counted only
  EXPECT_FALSE(fs::exists(tmp.Folder()));
  EXPECT_EQ(ProcessThreadIds().size(), threads);
  EXPECT_GT(StartTime(), 0);
  EXPECT_EQ(ProcessMainThread(), static_cast<uint32_t>(getpid()));
  EXPECT_FALSE(HaveThreadInfoList());
  EXPECT_FALSE(HaveMemoryReserve());
  EXPECT_EQ(MainSettings(), nullptr);
  ReporterShutdown();
  ReporterShutdown();
  EXPECT_FALSE(CalibrateModule(ExecutableFileName()));
  EXPECT_EQ(FindRuntimePackage(nullptr, "vcl", 60, "x"), nullptr);
}

TEST_F(ZorStartup, SettingsJoinTheThreadListAndEnabledKeepsTheReserve) {
  ScratchTmp tmp;
  struct Row {
    bool enabled;
  };
  for (const Row row : {Row{false}, Row{true}}) {
    Inject(ExecutableFileName(), {{"NoSettings", false}, {"Enabled", row.enabled}});
    const size_t threads = ProcessThreadIds().size();
    ReporterStartup();
    EXPECT_EQ(ProcessThreadIds().size(), threads);
    ASSERT_NE(MainSettings(), nullptr);
    EXPECT_TRUE(HaveThreadInfoList());
    EXPECT_EQ(ProcessMainThread(), static_cast<uint32_t>(getpid()));
    EXPECT_EQ(ThreadDisplayName(ProcessMainThread(), false).text, "main thread ($" + HexText(getpid()) + ")");
    EXPECT_EQ(HaveMemoryReserve(), row.enabled);
    const std::vector<MemoryRegion> regions = MemoryReserveRegions();
    EXPECT_EQ(regions.size(), row.enabled ? 8u : 0u);
    int reserved = 0, committed = 0;
    for (const MemoryRegion& r : regions) {
      EXPECT_TRUE(Inaccessible(r.address, r.size));
      const bool spare = r.size == (4u << 20);
      (spare ? reserved : committed) += 1;
      EXPECT_EQ(ResidentPages(r.address, r.size), spare ? 0u : r.size / 4096);
    }
    EXPECT_EQ(reserved, row.enabled ? 4 : 0);
    EXPECT_EQ(committed, row.enabled ? 4 : 0);
    EXPECT_EQ(ServesProcess(), row.enabled);
    ReporterShutdown();
    EXPECT_FALSE(HaveThreadInfoList());
    EXPECT_FALSE(HaveMemoryReserve());
    EXPECT_TRUE(MemoryReserveRegions().empty());
    EXPECT_EQ(MainSettings(), nullptr);
  }
}

TEST_F(ZorStartup, ASecondModuleTakesTheOldestThreadOfTheList) {
  Inject(ExecutableFileName(), {{"NoSettings", false}});
  ASSERT_TRUE(JoinThreadInfoList());  // another module came first
  uint32_t first = 0;
  std::thread([&] {
    first = CurrentThreadId();
    SetThreadName(first, "first");
  }).join();
  // That thread ended, so the list's oldest is the one named next.
  std::atomic<bool> stop{false};
  std::atomic<uint32_t> other{0};
  std::thread t([&] {
    SetThreadName(CurrentThreadId(), "other main");
    other = CurrentThreadId();
    while (!stop) std::this_thread::yield();
  });
  while (!other) std::this_thread::yield();
  SetThreadName(CurrentThreadId(), "later");
  ReporterStartup();
  EXPECT_EQ(ProcessMainThread(), other.load());
  ReporterShutdown();
  stop = true;
  t.join();
  LeaveThreadInfoList();
  EXPECT_FALSE(HaveThreadInfoList());
}

}  // namespace
}  // namespace zor
