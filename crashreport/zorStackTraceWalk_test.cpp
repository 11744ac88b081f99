// Walks of this test's own stack: call chains, recursion, hidden lines, the
// raise and fault locations, and the internal-error texts of each phase.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <setjmp.h>
#include <signal.h>
#include <ucontext.h>

#include <algorithm>
#include <atomic>
#include <cinttypes>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "crashreport/zorDisAsmFunction.h"
#include "crashreport/zorStackTrace.h"

// A routine whose second half is reached only by a call into its own
// symbol: the return address in that half belongs to no analysed code.
extern "C" void ZorLabelOuter();
extern "C" __attribute__((noinline, used)) void ZorLabelLeaf();
asm(R"(
  .text
  .globl ZorLabelOuter
  .type ZorLabelOuter, @function
ZorLabelOuter:
  push %rbp
  mov %rsp, %rbp
  call 1f
  pop %rbp
  ret
1:
  sub $8, %rsp
  call ZorLabelLeaf@PLT
  add $8, %rsp
  ret
  .size ZorLabelOuter, .-ZorLabelOuter
)");

namespace zor {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

size_t CountLinesWith(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (const std::string& line : Lines(text)) n += line.find(part) != std::string::npos;
  return n;
}

std::string Hex16(uintptr_t value) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%016" PRIxPTR, value);
  return buffer;
}

WalkOptions ownStack;
WalkResult walked;

__attribute__((noinline)) void ChainC() {
  walked = WalkStack(ownStack);
  asm volatile("");
}
__attribute__((noinline)) void ChainB() {
  ChainC();
  asm volatile("");
}
__attribute__((noinline)) void ChainA() {
  ChainB();
  asm volatile("");
}

__attribute__((noinline)) void Recurse(int count) {
  volatile int n = count;
  if (n > 0)
    Recurse(n - 1);
  else
    walked = WalkStack(ownStack);
  asm volatile("");
}

TEST(ZorStackWalk, ACallChainNamesItsRoutinesNewestFirst) {
  ownStack = WalkOptions{};
  ChainA();
  const std::vector<std::string> lines = Lines(walked.text);
  ASSERT_GE(lines.size(), 4u) << walked.text;
  EXPECT_NE(lines[0].find("ChainC"), std::string::npos) << walked.text;
  EXPECT_NE(lines[1].find("ChainB"), std::string::npos) << walked.text;
  EXPECT_NE(lines[2].find("ChainA"), std::string::npos) << walked.text;
  EXPECT_NE(lines[3].find("ACallChainNamesItsRoutinesNewestFirst"), std::string::npos) << walked.text;
  EXPECT_NE(lines[1].find("zorStackTraceWalk_test.cpp"), std::string::npos) << walked.text;
  EXPECT_TRUE(walked.hasLines);
  EXPECT_NE(walked.functionEntry, 0u);
  // Every line has the code address in 16 digits, and the lines are
  // composed as one text without a final break.
  for (const std::string& line : lines) EXPECT_EQ(line.find(' '), 16u) << line;
  EXPECT_FALSE(walked.text.ends_with("\r\n"));
}

TEST(ZorStackWalk, RecursionPrintsItsBlockOnce) {
  ownStack = WalkOptions{};
  std::string texts[2];
  for (int i = 0; i < 2; ++i) {
    Recurse(i == 0 ? 3 : 9);
    texts[i] = walked.text;
    // The newest call of the walk, and one line for all the recursive calls.
    EXPECT_EQ(CountLinesWith(walked.text, "Recurse"), 2u) << walked.text;
  }
  EXPECT_EQ(Lines(texts[0]).size(), Lines(texts[1]).size());
}

TEST(ZorStackWalk, HidingUglyItemsKeepsLinesWithLineNumbers) {
  std::string texts[2];
  for (bool hide : {false, true}) {
    ownStack = WalkOptions{};
    ownStack.hideUglyItems = hide;
    ChainA();
    texts[hide] = walked.text;
  }
  const std::string &all = texts[0], &kept = texts[1];
  // The test framework's routines are named but have no line numbers.
  EXPECT_GT(CountLinesWith(all, "testing::"), 0u) << all;
  EXPECT_EQ(CountLinesWith(kept, "testing::"), 0u) << kept;
  EXPECT_LT(Lines(kept).size(), Lines(all).size());
  for (const std::string& line : Lines(kept)) EXPECT_NE(all.find(line), std::string::npos) << line;
}

TEST(ZorStackWalk, TheCreatorLineStaysAmongHiddenUglyItems) {
  // The creator lies in code without line numbers; its line closes the text.
  const uintptr_t creator = reinterpret_cast<uintptr_t>(&ZorLabelOuter) + 4;
  ownStack = WalkOptions{};
  ownStack.creatorAddress = creator;
  ChainA();
  const std::vector<std::string> lines = Lines(walked.text);
  ASSERT_GE(lines.size(), 5u) << walked.text;
  EXPECT_TRUE(lines.back().starts_with(Hex16(creator) + " ")) << walked.text;
  EXPECT_TRUE(lines.back().ends_with(" ZorLabelOuter")) << walked.text;
  EXPECT_NE(lines[0].find("ChainC"), std::string::npos) << walked.text;
}

__attribute__((noinline)) void Thrower(int value) {
  if (value >= 0) throw std::runtime_error("thrown");
  asm volatile("");
}

TEST(ZorStackWalk, AThrowsTopLineIsTheCallOfTheRuntimesThrow) {
  // The return address the throw call leaves: where the report's hook
  // would find the raising thread. One throw first binds the import slot.
  try {
    Thrower(1);
  } catch (const std::runtime_error&) {
  }
  const TFunctionInfo info = AnalyseFunction(reinterpret_cast<const void*>(&Thrower));
  ASSERT_TRUE(info.valid);
  uintptr_t call = 0, next = 0;
  for (const TZEFarCall& far : info.farCalls) {
    Dl_info symbol{};
    const uintptr_t cell = ImportStubCell(reinterpret_cast<const void*>(far.target));
    const uintptr_t target = cell ? *reinterpret_cast<const uintptr_t*>(cell) : far.target;
    if (far.call && dladdr(reinterpret_cast<void*>(target), &symbol) && symbol.dli_sname &&
        std::string(symbol.dli_sname).find("__cxa_throw") != std::string::npos)
      call = far.address, next = far.next;
  }
  ASSERT_NE(call, 0u);
  ownStack = WalkOptions{};
  ownStack.isFaultThread = true;
  ownStack.currentLocation = next;
  const WalkResult r = WalkStack(ownStack);
  const std::vector<std::string> lines = Lines(r.text);
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(lines[0].starts_with(Hex16(call) + " ")) << r.text;
  EXPECT_NE(lines[0].find("Thrower"), std::string::npos) << r.text;
  EXPECT_EQ(r.codeAddress, call);
}

sigjmp_buf faultJump;
TDAPreStackItem faultItems;
uintptr_t faultLocation = 0;

void OnFault(int, siginfo_t*, void* context) {
  const auto* uc = static_cast<const ucontext_t*>(context);
  faultLocation = uintptr_t(uc->uc_mcontext.gregs[REG_RIP]);
  const uintptr_t sp = uintptr_t(uc->uc_mcontext.gregs[REG_RSP]);
  PrepareStackScan(uintptr_t(uc->uc_mcontext.gregs[REG_RBP]), StackRegionOf(sp).end, sp, faultItems, true,
                   faultLocation);
  faultItems[0].address = faultItems.size() - 1;
  siglongjmp(faultJump, 1);
}

__attribute__((noinline)) int ReadThrough(volatile int* p) { return *p + 1; }

TEST(ZorStackWalk, AnAccessViolationsTopLineIsTheFaultingInstruction) {
  struct sigaction action {
  }, old{};
  action.sa_sigaction = OnFault;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  ASSERT_EQ(sigaction(SIGSEGV, &action, &old), 0);
  if (sigsetjmp(faultJump, 1) == 0) {
    volatile int* nowhere = reinterpret_cast<int*>(uintptr_t(16));
    ReadThrough(nowhere);
  }
  sigaction(SIGSEGV, &old, nullptr);
  ASSERT_NE(faultLocation, 0u);
  WalkOptions options;
  options.isFaultThread = true;
  options.currentLocation = faultLocation;
  options.prepared = &faultItems;
  const WalkResult r = WalkStack(options);
  const std::vector<std::string> lines = Lines(r.text);
  ASSERT_GE(lines.size(), 2u) << r.text;
  EXPECT_TRUE(lines[0].starts_with(Hex16(faultLocation) + " ")) << r.text;
  EXPECT_NE(lines[0].find("ReadThrough"), std::string::npos) << r.text;
  EXPECT_NE(lines[1].find("AnAccessViolationsTopLineIsTheFaultingInstruction"), std::string::npos) << r.text;
}

TEST(ZorStackWalk, TwoItemsAtOneCodeAddressPrintOneLine) {
  // The call of ChainC in ChainB: once as the location itself, once as the
  // return address behind it.
  const TFunctionInfo info = AnalyseFunction(reinterpret_cast<const void*>(&ChainB));
  uintptr_t call = 0, next = 0;
  for (const TZEFarCall& far : info.farCalls)
    if (far.call && far.target == reinterpret_cast<uintptr_t>(&ChainC)) call = far.address, next = far.next;
  ASSERT_NE(call, 0u);
  const TDAPreStackItem prepared = {{0, 1}, {1, next}};
  WalkOptions options;
  options.prepared = &prepared;
  options.currentLocation = call;
  const WalkResult r = WalkStack(options);
  EXPECT_EQ(r.text.find(Hex16(call)), 0u) << r.text;
  EXPECT_EQ(CountLinesWith(r.text, "ChainB"), 1u) << r.text;
}

TEST(ZorStackWalk, AFailingPhaseGivesItsInternalErrorText) {
  const char* phases[] = {
      "CollectPossibleStackItems", "RemoveRecursiveStackAreas", "InDeepChecks", "RealizeOptimalLinkChains",
      "RemoveRecursiveAreas",      "FillFinalOutput",           "ComposeResult"};
  const uintptr_t location = reinterpret_cast<uintptr_t>(&ChainB);
  // The failure is raised inside the phase guard: its own location line
  // names the walker's routine and source file.
  static const std::regex failure(
      R"([0-9a-f]{16} kestova_crashreport_stacktrace_tests zorStackTraceWalk\.cpp \d+ zor::Walker::Phase\(.*)");
  for (const char* phase : phases) {
    SCOPED_TRACE(phase);
    SetFailingWalkPhase(phase);
    const std::string head = std::string(">> internal error in ") + phase + ":\r\n";
    WalkOptions other;
    const std::vector<std::string> lines = Lines(WalkStack(other).text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0] + "\r\n", head);
    EXPECT_TRUE(std::regex_match(lines[1], failure)) << lines[1];
    WalkOptions fault;
    fault.isFaultThread = true;
    fault.currentLocation = location;
    EXPECT_EQ(WalkStack(fault).text, head + lines[1] + "\r\n>> original exception location: \r\n" +
                                         LocationLine(location, false, false));
  }
  SetFailingWalkPhase({});
  EXPECT_TRUE(LocationLine(location, false, false).ends_with("ChainB()"));
  EXPECT_EQ(LocationLine(16, true, false), "0000000000000010 +0 ???");
  // Outside any handled exception the text is the name alone; scopes nest.
  EXPECT_EQ(InternalErrorText("GetStackDump"), ">> internal error in GetStackDump");
  {
    const HandledExceptionScope outer(location);
    {
      const HandledExceptionScope inner(16);
      EXPECT_EQ(InternalErrorText("X"), ">> internal error in X:\r\n0000000000000010 ???");
    }
    EXPECT_EQ(InternalErrorText("X"), ">> internal error in X:\r\n" + LocationLine(location, false, false));
  }
  EXPECT_EQ(HandledExceptionAddress(), 0u);
}
}  // namespace
}  // namespace zor

extern "C" void ZorLabelLeaf() {
  zor::walked = zor::WalkStack(zor::ownStack);
  asm volatile("");
}

namespace zor {
namespace {

TEST(ZorStackWalk, ACallIntoTheOwnSymbolIsACodeBlockOfItsOwn) {
  ownStack = WalkOptions{};
  ownStack.hideUglyItems = false;
  ZorLabelOuter();
  const std::vector<std::string> lines = Lines(walked.text);
  ASSERT_GE(lines.size(), 3u) << walked.text;
  EXPECT_NE(lines[0].find("ZorLabelLeaf"), std::string::npos) << walked.text;
  EXPECT_TRUE(lines[1].ends_with(" ZorLabelOuter.@label")) << walked.text;
  EXPECT_TRUE(lines[2].ends_with(" ZorLabelOuter")) << walked.text;
  // The block's line is its call of the leaf.
  const TZECodeInfo call = DecodeInstruction(reinterpret_cast<const void*>(std::stoull(lines[1], nullptr, 16)));
  EXPECT_TRUE(call.valid && call.call) << lines[1];
}

struct RecordedProgress : IProgressAlert {
  std::vector<int> positions;
  std::string Title() override { return {}; }
  void SetTitleText(std::string_view) override {}
  int Position() override { return positions.empty() ? 0 : positions.back(); }
  void SetProgressPosition(int position) override { positions.push_back(position); }
  void AppendArea(std::string_view, int64_t) override {}
  void ClearAreaList() override {}
  void FinishArea() override {}
  int ActiveArea() override { return 0; }
  void SelectArea(int) override {}
  void PumpMessages() override {}
  bool Display(QWidget*, bool) override { return false; }
  void Dismiss() override {}
};

TEST(ZorStackWalk, ProgressMovesThroughTheThreadsAreaPerMille) {
  RecordedProgress progress;
  ownStack = WalkOptions{};
  ownStack.progress = &progress;
  ChainA();
  const std::vector<int>& p = progress.positions;
  ASSERT_FALSE(p.empty());
  EXPECT_EQ(p.front(), 0);
  EXPECT_EQ(p.back(), 1000);
  EXPECT_TRUE(std::is_sorted(p.begin(), p.end()));
  for (int mark : {25, 650}) EXPECT_NE(std::find(p.begin(), p.end(), mark), p.end()) << mark;
  // Steps inside the checks and inside the choosing, not only their ends.
  EXPECT_TRUE(std::any_of(p.begin(), p.end(), [](int v) { return v > 25 && v < 650; }));
  EXPECT_TRUE(std::any_of(p.begin(), p.end(), [](int v) { return v > 650 && v < 1000; }));
}

TEST(ZorStackWalk, ASetAbortFlagEndsTheWalkWithoutText) {
  std::atomic<bool> abort{true};
  ownStack = WalkOptions{};
  ownStack.abort = &abort;
  ChainA();
  EXPECT_EQ(walked.text, "");
}

}  // namespace
}  // namespace zor
