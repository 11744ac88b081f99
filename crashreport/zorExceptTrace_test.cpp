// The exported process report, called by name as a requester would: the
// shared memory object, its size rules and the clipboard; and the creation
// of exception objects with their class filters.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>
#include <regex>
#include <string>

#include "crashreport/zorExceptDispatch.h"
#include "crashreport/zorExceptFixture.h"
#include "crashreport/zorExceptModules.h"
#include "crashreport/zorExceptSystem.h"
#include "crashreport/zorExceptTraceFixture.h"
#include "crashreport/zorException.h"
#include "crashreport/zorExceptThreads.h"
#include "crashreport/zorStrings.h"
#include "platform/core/ResourceStore.h"
#include "platform/graphics/Clipboard.h"

namespace zor {
namespace {

using TraceFunction = int (*)(int);

TraceFunction ExportedTrace() { return reinterpret_cast<TraceFunction>(dlsym(RTLD_DEFAULT, "zorTraceProcess")); }

// The requester's side: the shared memory object of the given size, filled
// with 'x' so that what was written shows.
class TraceMap {
 public:
  explicit TraceMap(size_t size) : size_(size) {
    shm_unlink(kName);
    const int fd = shm_open(kName, O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd < 0 || ftruncate(fd, off_t(size)) != 0) return;
    view_ = static_cast<char*>(mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    close(fd);
    if (view_ == MAP_FAILED) view_ = nullptr;
    if (view_) std::memset(view_, 'x', size);
  }
  ~TraceMap() {
    if (view_) munmap(view_, size_);
    shm_unlink(kName);
  }
  TraceMap(const TraceMap&) = delete;
  TraceMap& operator=(const TraceMap&) = delete;
  const char* View() const { return view_; }
  std::string Text() const { return view_ ? std::string(view_, strnlen(view_, size_)) : std::string(); }

 private:
  static constexpr const char* kName = "/zorTraceProcessMap";
  size_t size_;
  char* view_ = nullptr;
};

TEST(ZorTraceProcess, IsExportedByName) {
  ASSERT_NE(ExportedTrace(), nullptr);
  EXPECT_EQ(ExportedTrace(), &zorTraceProcess);
  // Only by name: the reporter's other functions stay local.
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "_ZN3zor21CreateExceptionObjectERKNS_16ExceptionRequestE"), nullptr);
}

// The executable carries settings, so that the thread-information list
// exists and the test threads carry their names.
class TraceWithSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    ResourceStore::Instance().Inject(ExecutableFileName(), "RCDATA", "TZOREXCEPT",
                                     zortest::WriteSettingsResource({{"NoSettings", false}}));
    SetMainSettings(SettingsForModule(ExecutableModule()));
    joined_ = JoinThreadInfoList();
  }
  void TearDown() override {
    if (joined_) LeaveThreadInfoList();
    SetMainSettings(nullptr);
    ResourceStore::Instance().RemoveInjected(ExecutableFileName(), "RCDATA", "TZOREXCEPT");
  }
  bool joined_ = false;
};

TEST_F(TraceWithSettings, TheMappingHoldsTheWholeReport) {
  ASSERT_TRUE(joined_);
  zortest::BlockedThread first([] { SetThreadName(CurrentThreadId(), "first worker"); });
  zortest::BlockedThread second([] { SetThreadName(CurrentThreadId(), "second worker"); });
  zortest::BlockedThread third([] { SetThreadName(CurrentThreadId(), "third worker"); });
  TraceMap map(64 * 1024);
  ASSERT_NE(map.View(), nullptr);
  // A requester thread of its own calls, as a debugger's call would.
  int result = -1;
  std::thread([&] { result = ExportedTrace()(64 * 1024); }).join();
  EXPECT_EQ(result, 0);
  const std::string report = map.Text();
  ASSERT_FALSE(report.empty());
  EXPECT_EQ(report.rfind("date/time", 0), 0u) << report.substr(0, 200);
  for (const auto* name : {"first worker", "second worker", "third worker"}) {
    const size_t at = report.find(std::string(name) + " ($");
    ASSERT_NE(at, std::string::npos) << name << "\n" << report;
    const size_t end = report.find("\r\n\r\n", at);
    const std::string section = report.substr(at, end - at);
    const size_t inner = section.find("InnerCall"), outer = section.find("OuterCall");
    EXPECT_NE(inner, std::string::npos) << section;
    EXPECT_LT(inner, outer) << section;
  }
  EXPECT_TRUE(std::regex_search(report, std::regex(R"(callstack crc +: \$[0-9a-f]{8}, \$[0-9a-f]{8}, \$[0-9a-f]{8})")))
      << report;
  EXPECT_EQ(report.find("will be calculated soon"), std::string::npos) << report;
  EXPECT_EQ(report.find("internal error"), std::string::npos) << report;
  // The requesting thread's entry went again; nothing is left named "-".
  EXPECT_FALSE(TracingProcess());
}

TEST_F(TraceWithSettings, TheReporterThreadsAreNamedWhileTracing) {
  zortest::BlockedThread dispatch, freezeWatch;
  SetDispatchThreadId(dispatch.Id());
  SetFreezeWatchThreadId(freezeWatch.Id());
  SetThreadName(dispatch.Id(), "-");
  SetThreadName(freezeWatch.Id(), "-");
  TraceMap map(256 * 1024);
  zorTraceProcess(256 * 1024);
  const std::string report = map.Text();
  SetDispatchThreadId(0);
  SetFreezeWatchThreadId(0);
  EXPECT_NE(report.find("HandleExceptionThread ($" + HexText(dispatch.Id()) + "):"), std::string::npos) << report;
  EXPECT_NE(report.find("AntiFreezeThread ($" + HexText(freezeWatch.Id()) + "):"), std::string::npos) << report;
  EXPECT_TRUE(ThreadDisplayName(dispatch.Id(), false).text.empty());  // "-" again
  EXPECT_TRUE(ThreadDisplayName(freezeWatch.Id(), false).text.empty());
}

TEST(ZorTraceProcess, TheSizeCutsTheReport) {
  {
    TraceMap map(4096);
    zorTraceProcess(100);
    EXPECT_EQ(map.Text().size(), 99u);
    EXPECT_EQ(map.View()[99], 0);
    EXPECT_EQ(map.View()[100], 'x');
    EXPECT_EQ(map.Text().rfind("date/time", 0), 0u);
  }
  {
    TraceMap map(16);
    zorTraceProcess(1);
    EXPECT_EQ(map.View()[0], 0);
    EXPECT_EQ(map.View()[1], 'x');
  }
  {
    // An object smaller than the size it was announced with is written
    // only as far as it reaches.
    TraceMap map(64);
    zorTraceProcess(65536);
    EXPECT_EQ(map.Text().size(), 63u);
    EXPECT_EQ(map.View()[63], 0);
  }
  // Without an object nothing happens.
  EXPECT_EQ(zorTraceProcess(100), 0);
}

TEST(ZorTraceProcess, ASizeBelowOneGoesToTheClipboard) {
  TestClipboard clipboard;
  Clipboard* previous = SetReporterClipboard(&clipboard);
  TraceMap map(4096);
  zorTraceProcess(0);
  SetReporterClipboard(previous);
  EXPECT_EQ(clipboard.HeldText().rfind("date/time", 0), 0u) << clipboard.HeldText().substr(0, 100);
  EXPECT_NE(clipboard.HeldText().find("callstack crc"), std::string::npos);
  EXPECT_EQ(map.View()[0], 'x');  // not into the mapping
  TestClipboard negative;
  previous = SetReporterClipboard(&negative);
  zorTraceProcess(-5);
  SetReporterClipboard(previous);
  EXPECT_FALSE(negative.HeldText().empty());
}

class EFirst : public ZorException {
 public:
  using ZorException::ZorException;
};
class ESecond : public EFirst {
 public:
  using EFirst::EFirst;
};

TEST_F(TraceWithSettings, TheClassFiltersChooseTheSettingsSet) {
  const ESecond raised("second");
  struct Row {
    const char* f1;
    const char* f2;
    bool wantReport;
    uint8_t showCfg;
  };
  // "F1NoBugRep" and "F2ShowCfg" are set; the general set keeps its defaults.
  const Row rows[] = {
      {" EFirst , Other", "", false, 0},  // an ancestor's name in the first list
      {"Other", "ESecond", true, 3},      // the second list
      {"efirst", "", true, 0},            // case counts
      {"", "", true, 0},                  // the general set
  };
  for (const Row& row : rows) {
    ExceptionRequest request;
    request.raisedObject = &raised;
    auto e = CreateExceptionObject(request);
    e->SetF1NoBugRep(true);
    e->WriteDword("F2ShowCfg", 3);
    e->SetF1Classes(row.f1);
    e->SetF2Classes(row.f2);
    // The filters apply at creation: create again with the settings set.
    request.settings = e;
    auto filtered = CreateExceptionObject(request);
    EXPECT_EQ(filtered->WantReport(), row.wantReport) << row.f1 << "/" << row.f2;
    EXPECT_EQ(filtered->ShowCfg(), row.showCfg) << row.f1 << "/" << row.f2;
  }
}

// Records what a please-wait window is asked to do.
class FakeWindow : public IProgressAlert {
 public:
  explicit FakeWindow(std::string title) : title_(std::move(title)) {}
  std::string Title() override { return title_; }
  void SetTitleText(std::string_view text) override { title_ = text; }
  int Position() override { return 0; }
  void SetProgressPosition(int) override {}
  void AppendArea(std::string_view text, int64_t weight) override {
    areas.emplace_back(text);
    EXPECT_GT(weight, 0);
  }
  void ClearAreaList() override {}
  void FinishArea() override { ++finished; }
  int ActiveArea() override { return 0; }
  void SelectArea(int) override {}
  void PumpMessages() override {}
  bool Display(QWidget* parent, bool centred) override {
    EXPECT_EQ(parent, nullptr);
    EXPECT_TRUE(centred);
    ++displayed;
    return true;
  }
  void Dismiss() override { ++dismissed; }
  std::vector<std::string> areas;
  int finished = 0, displayed = 0, dismissed = 0;

 private:
  std::string title_;
};

TEST(ZorCreateException, ThePleaseWaitWindowFollowsTheCalculation) {
  std::shared_ptr<FakeWindow> window;
  const ProgressWindowFactory previous = SetProgressWindowFactory([&](const std::string& title, ZorModule) {
    window = std::make_shared<FakeWindow>(title);
    return window;
  });
  zortest::BlockedThread other;
  ExceptionRequest request;
  request.reportKind = 1;
  auto e = CreateExceptionObject(request);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Title(), "Information");
  e->ReportText(true);
  EXPECT_EQ(window->displayed, 1);
  EXPECT_GE(window->areas.size(), 2u);  // the main thread and the other one at least
  EXPECT_EQ(window->areas[0], "Please wait a moment...");
  EXPECT_EQ(window->finished, int(window->areas.size()));
  EXPECT_EQ(window->dismissed, 1);

  // The process report shows none.
  TraceMap map(1024);
  zorTraceProcess(1024);
  EXPECT_EQ(window->displayed, 0);
  EXPECT_EQ(window->dismissed, 1);
  SetProgressWindowFactory(previous);
}

TEST(ZorCreateException, RecordsTheEvent) {
  int object = 0;
  ExceptionRequest request;
  request.reportKind = 1;
  request.continuable = true;
  request.faultAddress = &object;
  auto e = CreateExceptionObject(request);
  EXPECT_EQ(e->ReportKind(), 1);
  EXPECT_TRUE(e->ContinueAllowed());
  EXPECT_EQ(e->FaultAddress(), &object);
  EXPECT_EQ(e->FaultThreadId(), CurrentThreadId());
  EXPECT_NE(e->Facts().stackPointer, 0u);
  EXPECT_FALSE(e->AttachScreenPicture());  // "ScrShotDepth" 0
  request.continuable = false;
  EXPECT_FALSE(CreateExceptionObject(request)->ContinueAllowed());
}

}  // namespace
}  // namespace zor
