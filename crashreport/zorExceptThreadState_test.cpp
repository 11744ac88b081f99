// Reading threads: their stacks through the capture signal, a thread that
// blocks it, the signal's disposition afterwards, stop state and priority.
#include "crashreport/zorExceptThreadState.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <chrono>

#include "crashreport/zorExceptTraceFixture.h"
#include "crashreport/zorStackTrace.h"

namespace zor {
namespace {

using namespace std::chrono_literals;

std::string WalkOf(const ThreadState& s) {
  WalkOptions o;
  o.prepared = &s.prepared;
  o.currentLocation = s.instructionPointer;
  o.framePointer = s.framePointer;
  o.stackBottom = s.stackBottom;
  o.stackTop = s.stackTop;
  return WalkStack(o).text;
}

TEST(ZorThreadState, AnotherThreadIsReadWithItsChain) {
  zortest::BlockedThread thread;
  const ThreadState s = QueryThreadState(thread.Id());
  ASSERT_TRUE(s.ok);
  EXPECT_LT(s.stackBottom, s.stackTop);
  EXPECT_NE(s.instructionPointer, 0u);
  ASSERT_GE(s.prepared.size(), 2u);
  const uint64_t count = s.prepared[0].address;  // packed: read by value
  EXPECT_EQ(count, s.prepared.size() - 1);
  const std::string text = WalkOf(s);
  const size_t inner = text.find("InnerCall"), outer = text.find("OuterCall");
  ASSERT_NE(inner, std::string::npos) << text;
  ASSERT_NE(outer, std::string::npos) << text;
  EXPECT_LT(inner, outer) << text;  // newest first
  EXPECT_FALSE(s.suspended);
  EXPECT_EQ(s.priority, 0);
}

TEST(ZorThreadState, TheCallingThreadReadsItself) {
  const ThreadState s = QueryThreadState(CurrentThreadId());
  ASSERT_TRUE(s.ok);
  const auto local = reinterpret_cast<uintptr_t>(&s);
  EXPECT_LT(s.stackBottom, local);
  EXPECT_GT(s.stackTop, local);
  EXPECT_GE(s.prepared.size(), 2u);
}

void CountingHandler(int) {}

TEST(ZorThreadState, ABlockedSignalFailsInTimeAndLeavesNothingBehind) {
  // A handler of the program's own stays in place afterwards.
  struct sigaction own {};
  own.sa_handler = CountingHandler;
  sigemptyset(&own.sa_mask);
  struct sigaction before {};
  ASSERT_EQ(sigaction(ThreadCaptureSignal(), &own, &before), 0);

  zortest::SignalBlockingThread blocker;
  const auto start = std::chrono::steady_clock::now();
  const ThreadState s = QueryThreadState(blocker.Id());
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(s.ok);
  EXPECT_GE(took, 240ms);
  EXPECT_LT(took, 2s);
  struct sigaction after {};
  sigaction(ThreadCaptureSignal(), nullptr, &after);
  EXPECT_EQ(after.sa_handler, &CountingHandler);
  blocker.Unblock();
  EXPECT_TRUE(blocker.Survived());
  EXPECT_FALSE(blocker.PendingLeft());  // dropped while the signal was ignored
  sigaction(ThreadCaptureSignal(), &before, nullptr);
}

TEST(ZorThreadState, ThePendingSignalIsDroppedBeforeTheDefaultReturns) {
  // With the default disposition back, a signal left pending in a thread
  // that blocks it would end the process once the thread unblocks it.
  ASSERT_EXIT(
      {
        struct sigaction standard {};
        standard.sa_handler = SIG_DFL;
        sigaction(ThreadCaptureSignal(), &standard, nullptr);
        zortest::SignalBlockingThread blocker;
        const bool ok = QueryThreadState(blocker.Id()).ok;
        blocker.Unblock();
        std::exit(ok ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(ZorThreadState, PriorityIsTheNegatedNiceValue) {
  zortest::BlockedThread nice2([] { setpriority(PRIO_PROCESS, CurrentThreadId(), 2); });
  EXPECT_EQ(ThreadPriority(nice2.Id()), -2);
  EXPECT_EQ(QueryThreadState(nice2.Id()).priority, -2);
  EXPECT_EQ(ThreadPriority(CurrentThreadId()), -getpriority(PRIO_PROCESS, 0));
}

TEST(ZorThreadState, StoppedStatesAreTAndSmallT) {
  const std::pair<const char*, bool> rows[] = {
      {"123 (worker) S 1 2 3", false},       {"123 (worker) T 1 2 3", true},
      {"123 (worker) t 1 2 3", true},        {"123 (a) T (b)) R 1 2", false},
      {"123 (a) R (b)) T 1 2", true},        {"", false},
      {"123 (no state)", false},
  };
  for (const auto& [line, stopped] : rows) EXPECT_EQ(StatLineIsStopped(line), stopped) << line;
  EXPECT_FALSE(ThreadIsStopped(CurrentThreadId()));
}

}  // namespace
}  // namespace zor
