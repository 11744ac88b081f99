// The report's thread sections: placeholders while the section thread
// computes, stopping it, "ListThreads", threads that cannot be read or have
// a priority, and the call-stack checksums.
#include "crashreport/zorExceptSections.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "crashreport/zorExceptDispatch.h"
#include "crashreport/zorExceptReport.h"
#include "crashreport/zorExceptThreadState.h"
#include "crashreport/zorExceptTraceFixture.h"
#include "crashreport/zorStrings.h"

namespace zor {
namespace {

using namespace std::chrono_literals;

// The name of the section of a thread; empty when it has none.
std::string SectionOf(IZEFields& sections, uint32_t threadId) {
  const std::string id = "$" + HexText(threadId);
  for (int32_t i = 0; i < sections.Count(); ++i) {
    const std::string name = sections.NameAt(i);
    if (name.find(id + ")") != std::string::npos || name.find(id + ":") != std::string::npos) return name;
  }
  return {};
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int ThreadSections(IZEFields& sections) {
  int n = 0;
  for (int32_t i = 0; i < sections.Count(); ++i) n += sections.NameAt(i).find("$") != std::string::npos;
  return n;
}

std::shared_ptr<TIZEException> NewEvent(uint8_t kind = 0) {
  ExceptionRequest request;
  request.reportKind = kind;
  request.continuable = true;
  return CreateExceptionObject(request);
}

// An event whose sections include the plug-in below, ready for the
// handlers of phase 4.
std::shared_ptr<TIZEException> HeldEvent() {
  auto e = NewEvent();
  e->WriteText("Plugins", "holdup");
  e->EnterPhase(3);
  return e;
}

// A section plug-in that holds the calculation until it is let go, or until
// the object's calculation is stopped.
class HoldingPlugin {
 public:
  HoldingPlugin() {
    RegisterReportPlugin({"holdup", [this](IZEException& e) {
                            std::unique_lock lock(mutex_);
                            entered_ = true;
                            changed_.notify_all();
                            auto& object = dynamic_cast<TIZEException&>(e);
                            while (!released_ && !object.AbortCalculation()) changed_.wait_for(lock, 5ms);
                            return std::string("held text");
                          },
                          true});
  }
  ~HoldingPlugin() { ClearReportPlugins(); }
  void WaitEntered() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return entered_; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool entered_ = false, released_ = false;
};

// Reports as the dispatch thread does: the sections compute on a thread of
// their own. Counts the phase-4 handler calls.
class BackgroundSections : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDispatchThreadId(CurrentThreadId());
    previous_ = SetExceptionHandlers([this](IZEException& e, uint8_t event, uint8_t, bool&) {
      if (e.Phase() == 4 && event == 0) ++phaseFourCalls_;
    });
  }
  void TearDown() override {
    SetDispatchThreadId(0);
    SetExceptionHandlers(previous_);
  }
  std::atomic<int> phaseFourCalls_{0};
  ExceptionHandlers previous_;
};

TEST_F(BackgroundSections, AReportReadWhileComputingShowsThePlaceholders) {
  zortest::BlockedThread other;
  HoldingPlugin plugin;
  auto e = HeldEvent();
  const auto sections = e->SectionFields();
  plugin.WaitEntered();
  const std::string during = e->ReportText(false);
  const std::string name = SectionOf(*sections, other.Id());
  ASSERT_FALSE(name.empty()) << during;
  const std::string placeholder = sections->ValueOf(name);
  EXPECT_TRUE(EndsWith(placeholder, std::string("\r\n") + kStackSoonText)) << placeholder;
  EXPECT_GE(placeholder.find("\r\n"), 16u) << placeholder;  // the location line first
  EXPECT_EQ(sections->ValueOf("holdup"), kSoonText);
  EXPECT_NE(during.find("callstack crc     : will be calculated soon"), std::string::npos) << during;
  EXPECT_FALSE(e->ReportComplete());
  EXPECT_EQ(phaseFourCalls_, 0);

  plugin.Release();
  const std::string whole = e->ReportText(true);
  EXPECT_TRUE(e->ReportComplete());
  EXPECT_EQ(whole.find("will be calculated soon"), std::string::npos) << whole;
  EXPECT_EQ(sections->ValueOf("holdup"), "held text");
  EXPECT_NE(sections->ValueOf(name).find("OuterCall"), std::string::npos) << sections->ValueOf(name);
  EXPECT_EQ(e->Phase(), 4);
  EXPECT_EQ(phaseFourCalls_, 1);
}

TEST_F(BackgroundSections, DestroyingTheObjectStopsTheCalculation) {
  zortest::BlockedThread other;
  HoldingPlugin plugin;
  auto e = HeldEvent();
  const auto sections = e->SectionFields();
  const std::string name = SectionOf(*sections, other.Id());
  plugin.WaitEntered();
  e.reset();  // stops and waits for the section thread
  EXPECT_EQ(sections->ValueOf("holdup"), kSoonText);
  ASSERT_FALSE(name.empty());
  const std::string left = sections->ValueOf(name);
  EXPECT_TRUE(EndsWith(left, std::string("\r\n") + kStackSoonText)) << left;
  EXPECT_EQ(phaseFourCalls_, 0);
}

TEST(ZorSections, ListThreadsOffGivesTheFaultThreadAndTheMainThread) {
  zortest::BlockedThread other;
  {
    auto e = NewEvent();
    e->SetListThreads(false);
    const std::string text = e->ReportText(true);
    EXPECT_EQ(ThreadSections(*e->SectionFields()), 1) << text;
    EXPECT_TRUE(e->ReportComplete());
  }
  std::thread([] {
    auto e = NewEvent();
    e->SetListThreads(false);
    const std::string text = e->ReportText(true);
    const auto sections = e->SectionFields();
    EXPECT_EQ(ThreadSections(*sections), 2) << text;
    // Both are walked: no placeholder stays.
    EXPECT_EQ(text.find("will be calculated soon"), std::string::npos) << text;
    EXPECT_FALSE(SectionOf(*sections, uint32_t(getpid())).empty()) << text;
    EXPECT_TRUE(e->ReportComplete());
  }).join();
}

TEST(ZorSections, AThreadThatCannotBeReadKeepsItsPlaceholderAndTheReportCompletes) {
  zortest::SignalBlockingThread blocker;
  const uint32_t id = blocker.Id();
  zortest::BlockedThread readable;
  auto e = NewEvent(1);
  const std::string text = e->ReportText(true);
  blocker.Unblock();
  const auto sections = e->SectionFields();
  const std::string name = SectionOf(*sections, id);
  ASSERT_FALSE(name.empty()) << text;
  EXPECT_EQ(sections->ValueOf(name), kNotAccessibleText);
  EXPECT_NE(sections->ValueOf(SectionOf(*sections, readable.Id())).find("OuterCall"), std::string::npos) << text;
  EXPECT_TRUE(e->ReportComplete());
  EXPECT_EQ(text.find("will be calculated soon"), std::string::npos) << text;
}

TEST(ZorSections, ASectionNameCarriesThePriority) {
  zortest::BlockedThread nice2([] { setpriority(PRIO_PROCESS, CurrentThreadId(), 2); });
  auto e = NewEvent(1);
  e->ReportText(true);
  const std::string name = SectionOf(*e->SectionFields(), nice2.Id());
  EXPECT_EQ(name, "thread $" + HexText(nice2.Id()) + ": <priority:-2>");
}

TEST(ZorSections, TheThirdChecksumFollowsFurtherThreadsWithLines) {
  zortest::BlockedThread other;  // its walk has lines: the test has debug information
  auto alone = NewEvent(1);
  alone->SetListThreads(false);
  alone->ReportText(true);
  EXPECT_NE(alone->StackChecksum(1), 0u);
  EXPECT_EQ(alone->StackChecksum(1), alone->StackChecksum(2));
  const std::string crc = alone->HeaderFields()->ValueOf("callstack crc");
  char expected[40];
  std::snprintf(expected, sizeof expected, "$%08x, $%08x, $%08x", alone->StackChecksum(0), alone->StackChecksum(1),
                alone->StackChecksum(2));
  EXPECT_EQ(crc, expected);

  auto all = NewEvent(1);
  all->ReportText(true);
  EXPECT_NE(all->StackChecksum(1), all->StackChecksum(2));
}

TEST(ZorSections, WithoutAContextThereAreNoRegisterSections) {
  auto e = NewEvent();
  e->ReportText(true);
  EXPECT_EQ(e->SectionFields()->IndexOfName("cpu registers"), -1);
  EXPECT_EQ(e->SectionFields()->IndexOfName("stack dump"), -1);
  ExceptionRequest request;
  TZEContext context{};
  request.context = &context;
  auto withContext = CreateExceptionObject(request);
  withContext->SetListThreads(false);
  withContext->ReportText(true);
  EXPECT_NE(withContext->SectionFields()->ValueOf("cpu registers").find("rax = 0000000000000000"), std::string::npos);
  EXPECT_NE(withContext->SectionFields()->IndexOfName("stack dump"), -1);
}

}  // namespace
}  // namespace zor
