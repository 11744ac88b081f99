// The reporter's start-up and shut-down steps and the state they leave.
#include "crashreport/zorExceptStartup.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

#include "crashreport/zorExceptHelpers.h"
#include "crashreport/zorExceptModules.h"
#include "crashreport/zorExceptReport.h"
#include "crashreport/zorExceptSettingsObject.h"
#include "crashreport/zorExceptThreads.h"
#include "crashreport/zorMapFile.h"
#include "crashreport/zorStackTrace.h"
#include "platform/core/Modules.h"
#include "platform/core/ResourceStore.h"

namespace zor {

namespace {

constexpr size_t kReservedSize = 4u << 20;     // address space, never touched
constexpr size_t kCommittedSize = 512u << 10;  // memory, populated

struct ReporterState {
  std::mutex lock;
  int startups = 0;
  std::atomic<int64_t> startTime{0};
  std::atomic<uint32_t> mainThread{0};
  bool servesProcess = false;
  bool joinedList = false;
  std::mutex timesLock;  // apart: start-up sets the times under `lock`
  ExceptionTimeList times{};
  std::array<void*, 4> reserved{};
  std::array<void*, 4> committed{};
};

ReporterState& State() {
  static ReporterState* state = new ReporterState;  // used until the very end
  return *state;
}

void* MapRegion(size_t size, bool populate) {
  const int flags = MAP_PRIVATE | MAP_ANONYMOUS | (populate ? MAP_POPULATE : MAP_NORESERVE);
  void* region = mmap(nullptr, size, populate ? PROT_READ | PROT_WRITE : PROT_NONE, flags, -1, 0);
  if (region == MAP_FAILED) return nullptr;
  if (populate) mprotect(region, size, PROT_NONE);
  return region;
}

void TakeMemoryReserve(ReporterState& s) {
  for (size_t i = 0; i < s.reserved.size(); ++i) {
    s.reserved[i] = MapRegion(kReservedSize, false);
    s.committed[i] = MapRegion(kCommittedSize, true);
  }
}

void ReleaseMemoryReserve(ReporterState& s) {
  for (size_t i = 0; i < s.reserved.size(); ++i) {
    if (s.reserved[i]) munmap(s.reserved[i], kReservedSize);
    if (s.committed[i]) munmap(s.committed[i], kCommittedSize);
    s.reserved[i] = s.committed[i] = nullptr;
  }
}

uint32_t FirstThreadOrMain() {
  const std::vector<uint32_t> ids = ProcessThreadIds();
  return ids.empty() ? static_cast<uint32_t>(getpid()) : ids.front();
}

void CalibrateModules() {
  const ZorModule exe = ExecutableModule();
  CalibrateModule(exe.name);
  const ZorModule reporter = ReporterModule();
  if (reporter.name != exe.name) CalibrateModule(reporter.name);
}

void StartUp(ReporterState& s) {
  InstallDebugInfoHooks();
  TakeOverRestart();
  ClearReportTempFolder();
  s.startTime = MonotonicMilliseconds();
  CalibrateModules();
  std::shared_ptr<IZEModuleSettings> settings = SettingsForModule(ReporterModule());
  if (!settings || !settings->HasSettings()) {
    s.mainThread = FirstThreadOrMain();
    SetMainSettings(nullptr);
    return;
  }
  SetMainSettings(settings);
  s.joinedList = true;
  if (JoinThreadInfoList()) {
    s.mainThread = FirstThreadOrMain();
    SetThreadName(s.mainThread, "main thread");
  } else {
    const uint32_t oldest = OldestThreadInfoId();
    s.mainThread = oldest ? oldest : static_cast<uint32_t>(getpid());
  }
  if (!settings->Enabled()) return;
  s.servesProcess = ReporterModule().name == ExecutableModule().name || ReporterInPackage();
  TakeMemoryReserve(s);
}

void ShutDown(ReporterState& s) {
  ClearDebugInfoCache();
  ClearStackTraceCaches();
  if (s.joinedList) {
    LeaveThreadInfoList();
    s.joinedList = false;
  }
  ReleaseMemoryReserve(s);
  s.servesProcess = false;
  SetMainSettings(nullptr);
  ClearReportPlugins();
}

}  // namespace

void ReporterStartup() {
  ReporterState& s = State();
  std::lock_guard guard(s.lock);
  if (s.startups++ > 0) return;
  try {
    StartUp(s);
  } catch (...) {
  }
}

void ReporterShutdown() {
  ReporterState& s = State();
  std::lock_guard guard(s.lock);
  if (s.startups == 0 || --s.startups > 0) return;
  try {
    ShutDown(s);
  } catch (...) {
  }
}

void AddReporterModules(ModuleTable& table) { table.Add("zorExcept", ReporterStartup, ReporterShutdown); }

int64_t StartTime() { return State().startTime; }
uint32_t ProcessMainThread() { return State().mainThread; }

bool ServesProcess() {
  std::lock_guard guard(State().lock);
  return State().servesProcess;
}

ExceptionTimeList ExceptionTimes() {
  std::lock_guard guard(State().timesLock);
  return State().times;
}

void SetExceptionTimes(const ExceptionTimeList& times) {
  std::lock_guard guard(State().timesLock);
  State().times = times;
}

bool HaveMemoryReserve() {
  std::lock_guard guard(State().lock);
  return State().reserved[0] != nullptr;
}

std::vector<MemoryRegion> MemoryReserveRegions() {
  std::lock_guard guard(State().lock);
  std::vector<MemoryRegion> regions;
  for (const void* r : State().reserved)
    if (r) regions.push_back({r, kReservedSize});
  for (const void* r : State().committed)
    if (r) regions.push_back({r, kCommittedSize});
  return regions;
}

bool CalibrateModule(const std::string& moduleName) {
  const std::optional<std::string> record = ResourceStore::Instance().Find(moduleName, "ZOR", "CALIBRATE");
  return record && record->size() == 20;
}

const void* FindRuntimePackage(const void*, const std::string&, int, const std::string&) { return nullptr; }

}  // namespace zor
