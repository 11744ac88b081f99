// The exception object's listeners and change batches, and its section
// thread, waited for by a reader and by the destructor.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "crashreport/zorExceptFakeSystem.h"
#include "crashreport/zorExceptReportFixture.h"
#include "crashreport/zorExceptThreads.h"

namespace {

using namespace zor;
using namespace std::chrono_literals;
using zortest::EnterPlaceholders;
using zortest::MakeException;
using zortest::Sections;

// --- Listeners ---------------------------------------------------------------------

struct Calls {
  std::vector<std::string> log;
  std::string lastText;
};
Calls procedureCalls;

void Procedure(bool, const std::string& text, IZEException&) {
  procedureCalls.log.push_back("procedure");
  procedureCalls.lastText = text;
}

void Method(void* data, bool, const std::string& text, IZEException&) {
  auto* calls = static_cast<Calls*>(data);
  calls->log.push_back("method");
  calls->lastText = text;
}

std::string Joined(const std::vector<std::string>& log) {
  std::string s;
  for (const std::string& l : log) s += l + " ";
  return s;
}

TEST(ZorReportListeners, RegisteredTwiceIsStoredOnceAndCalledInOrder) {
  zortest::FakeMachine machine;
  procedureCalls = {};
  const auto e = MakeException();
  e->ReportText(false);  // built before: its building tells no one
  Calls methodCalls;
  e->AddReportListenerMethod(Method, &methodCalls, false);
  e->AddReportListener(Procedure, false);
  EXPECT_EQ(Joined(methodCalls.log) + Joined(procedureCalls.log), "method procedure ");  // each once, at once
  EXPECT_EQ(procedureCalls.lastText, e->ReportText(false));
  EXPECT_FALSE(e->HasCriticalListener());

  e->AddReportListener(Procedure, true);  // only the flag changes
  EXPECT_EQ(procedureCalls.log.size(), 1u);
  EXPECT_TRUE(e->HasCriticalListener());

  procedureCalls.log.clear();
  methodCalls.log.clear();
  e->HeaderFields()->SetValue("app item", "x");
  EXPECT_EQ(Joined(procedureCalls.log) + Joined(methodCalls.log), "procedure method ");
  EXPECT_NE(procedureCalls.lastText.find("app item"), std::string::npos);

  e->RemoveReportListener(Procedure);
  e->RemoveReportListenerMethod(Method, &methodCalls);
  EXPECT_FALSE(e->HasCriticalListener());
  e->HeaderFields()->SetValue("app item", "y");
  EXPECT_EQ(procedureCalls.log.size(), 1u);
  EXPECT_EQ(methodCalls.log.size(), 1u);
}

// Unregisters itself on its second call.
void RemovesItself(void* data, bool, const std::string&, IZEException& e) {
  if (++*static_cast<int*>(data) == 2) dynamic_cast<TIZEException&>(e).RemoveReportListenerMethod(RemovesItself, data);
}

TEST(ZorReportListeners, ABatchTellsOnceAndListenersRunOutsideTheLock) {
  zortest::FakeMachine machine;
  const auto e = MakeException();
  const auto header = e->HeaderFields();
  int calls = 0;
  Calls watcher;
  e->AddReportListenerMethod(Method, &watcher, false);
  const uint64_t version = e->ReportVersion();
  e->BeginChange();
  header->SetValue("a", "1");
  header->SetValue("b", "2");
  e->SectionFields()->SetValue("s", "x");
  EXPECT_EQ(e->ReportVersion(), version);
  EXPECT_EQ(watcher.log.size(), 1u);  // the call at registration
  e->EndChange();
  EXPECT_EQ(e->ReportVersion(), version + 1);
  EXPECT_EQ(watcher.log.size(), 2u);
  EXPECT_NE(watcher.lastText.find("\r\n\r\ns:\r\nx"), std::string::npos);

  // A listener that unregisters itself takes the listener lock: it is
  // called outside it.
  e->AddReportListenerMethod(RemovesItself, &calls, false);
  header->SetValue("c", "3");
  header->SetValue("d", "4");
  EXPECT_EQ(calls, 2);  // at registration, then once more
}

void Renders(void*, bool, const std::string&, IZEException& e) { e.ReportText(false); }

// One thread changes the header while another changes the sections, and a
// listener renders both lists after every change on either thread.
TEST(ZorReportListeners, TwoThreadsChangingTwoListsBothRender) {
  zortest::FakeMachine machine;
  const auto e = MakeException();
  const auto header = e->HeaderFields();
  const auto sections = e->SectionFields();
  e->AddReportListenerMethod(Renders, nullptr, false);
  std::atomic<int> finished{0};
  const auto changes = [&](std::shared_ptr<IZEFields> list, const char* name) {
    for (int i = 0; i < 1000; ++i) list->SetValue(name, std::to_string(i));
    ++finished;
  };
  std::thread a(changes, header, "app item"), b(changes, sections, "section");
  const auto until = std::chrono::steady_clock::now() + 30s;
  while (finished < 2 && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(10ms);
  if (finished < 2) {
    ADD_FAILURE() << "the two threads wait for each other";
    std::abort();  // they never return: end here rather than at the test's timeout
  }
  a.join();
  b.join();
  const std::string text = e->ReportText(false);
  EXPECT_NE(text.find("app item          : 999"), std::string::npos);
  EXPECT_NE(text.find("section:\r\n999"), std::string::npos);
}

// --- The section thread ----------------------------------------------------------------

// A please-wait window that shows as told and counts its event rounds.
class FakeWindow : public IProgressAlert {
 public:
  explicit FakeWindow(bool shows) : shows_(shows) {}
  std::string Title() override { return {}; }
  void SetTitleText(std::string_view) override {}
  int Position() override { return 0; }
  void SetProgressPosition(int) override {}
  void AppendArea(std::string_view, int64_t) override {}
  void ClearAreaList() override {}
  void FinishArea() override {}
  int ActiveArea() override { return 0; }
  void SelectArea(int) override {}
  void PumpMessages() override { ++pumped; }
  bool Display(QWidget*, bool) override { return shows_; }
  void Dismiss() override {}
  std::atomic<int> pumped{0};

 private:
  bool shows_;
};

// Placeholders, then a thread that stores the final texts after a while.
void SlowSections(TIZEException& e) {
  EnterPlaceholders(e);
  e.StartSectionThread([](TIZEException& e) {
    std::this_thread::sleep_for(200ms);
    e.BeginChange();
    e.SectionFields()->SetValue("main thread ($d4c):", "00401a2b sample.exe TForm1.Button1Click");
    e.SectionFields()->SetValue("cpu registers", "rip = 00401a2b");
    e.HeaderFields()->SetValue("callstack crc", "$00000001, $00000002, $00000002");
    e.SetReportComplete();
    e.EndChange();
  });
}

TEST(ZorReportSections, AWholeReportWaitsForTheSectionThread) {
  zortest::FakeMachine machine;
  const Sections sections(SlowSections);
  const struct {
    const char* name;
    std::shared_ptr<FakeWindow> window;
    bool pumps;
  } rows[] = {
      {"without a window", nullptr, false},
      {"with a window that shows", std::make_shared<FakeWindow>(true), true},
      {"with a window that cannot show", std::make_shared<FakeWindow>(false), false},
  };
  for (const auto& r : rows) {
    const auto e = MakeException();
    e->SetProgressWindow(r.window);
    EXPECT_EQ(e->BuilderThreadId(), 0u) << r.name;
    const std::string early = e->ReportText(false);
    EXPECT_NE(early.find(">> stack will be calculated soon"), std::string::npos) << r.name;
    EXPECT_NE(early.find("callstack crc     : will be calculated soon"), std::string::npos) << r.name;
    EXPECT_NE(e->BuilderThreadId(), 0u) << r.name;
    EXPECT_NE(e->BuilderThreadId(), CurrentThreadId()) << r.name;

    const std::string whole = e->FullReportText();
    EXPECT_TRUE(e->ReportComplete()) << r.name;
    EXPECT_NE(whole.find("cpu registers:\r\nrip = 00401a2b"), std::string::npos) << r.name;
    EXPECT_NE(whole.find("callstack crc     : $00000001"), std::string::npos) << r.name;
    EXPECT_EQ(e->ReportText(false), whole) << r.name;
    if (r.window) {
      EXPECT_EQ(r.window->pumped.load() >= 2, r.pumps) << r.name;
    }

    e->EnterPhase(3);
    EXPECT_EQ(e->Phase(), 4) << r.name;  // complete already
  }
}

void AsksForTheWholeText(void* data, bool, const std::string&, IZEException& e) {
  if (dynamic_cast<TIZEException&>(e).BuilderThreadId() == CurrentThreadId())
    *static_cast<std::string*>(data) = e.FullReportText();
}

TEST(ZorReportSections, AListenerOnTheSectionThreadDoesNotWaitForItself) {
  zortest::FakeMachine machine;
  const Sections sections(SlowSections);
  const auto e = MakeException();
  std::string seen;
  e->AddReportListenerMethod(AsksForTheWholeText, &seen, false);
  e->FullReportText();
  EXPECT_NE(seen.find("rip = 00401a2b"), std::string::npos);
}

TEST(ZorReportSections, TheDestructorStopsAndWaitsForTheCalculation) {
  zortest::FakeMachine machine;
  std::atomic<bool> stopped{false};
  std::atomic<int> rounds{0};
  const Sections sections([&](TIZEException& e) {
    EnterPlaceholders(e);
    e.StartSectionThread([&](TIZEException& e) {
      while (!e.AbortCalculation()) {
        ++rounds;
        std::this_thread::sleep_for(1ms);
      }
      std::this_thread::sleep_for(50ms);  // cleaning up takes a while
      stopped = true;
    });
  });
  auto e = MakeException();
  e->SectionFields();
  while (rounds < 3) std::this_thread::sleep_for(1ms);
  EXPECT_FALSE(e->StartSectionThread([](TIZEException&) {}));  // at most one
  e.reset();
  EXPECT_TRUE(stopped);
}

// The calculation holds the last reference: the object goes on the section
// thread, which cannot wait for its own end.
TEST(ZorReportSections, AnObjectLastHeldByItsSectionThreadGoesThere) {
  zortest::FakeMachine machine;
  auto e = MakeException();
  const std::weak_ptr<TIZEException> watch = e;
  ASSERT_TRUE(e->StartSectionThread([self = e](TIZEException&) { std::this_thread::sleep_for(50ms); }));
  e.reset();
  const auto until = std::chrono::steady_clock::now() + 10s;
  while (!watch.expired() && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(5ms);
  EXPECT_TRUE(watch.expired());
  std::this_thread::sleep_for(200ms);  // a destructor waiting for itself would end the process here
}

}  // namespace
