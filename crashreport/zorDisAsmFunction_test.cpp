// Function analysis: code areas, jump tables, far calls, routines that never
// return, interceptability and the failures.
#include "crashreport/zorDisAsmFunction.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "crashreport/zorDisAsmTesting.h"

// A plain function that never returns, called through the import stub of
// `exit` (the analysis must stop after the call).
extern "C" [[noreturn]] __attribute__((noinline)) void ZorAnalysisCallsExit(int code) { std::exit(code + 1); }

namespace zor {
namespace {

using testing::FixedMapping;

void Put(const FixedMapping& m, const std::vector<uint8_t>& bytes) {
  if (m.data()) std::memcpy(m.data(), bytes.data(), bytes.size());
}

size_t CountAreas(const TFunctionInfo& f, bool caseTable) {
  return static_cast<size_t>(std::count_if(f.codeAreas.begin(), f.codeAreas.end(),
                                           [&](const TZECodeArea& a) { return a.caseTable == caseTable; }));
}

TEST(ZorAnalyse, JumpTableGivesItsCasesAndATableArea) {
  // cmp eax, 5; ja default; jmp [eax*4 + table]; table (6 entries); six
  // cases "inc ecx; ret"; default: ret.
  const uint32_t base = 0x22000000;
  std::vector<uint8_t> code = {0x83, 0xF8, 0x05, 0x77, 0x25, 0xFF, 0x24, 0x85};
  const uint32_t table = base + 12;
  for (int i = 0; i < 4; ++i) code.push_back(static_cast<uint8_t>(table >> (8 * i)));
  for (uint32_t k = 0; k < 6; ++k) {
    const uint32_t entry = table + 24 + 2 * k;
    for (int i = 0; i < 4; ++i) code.push_back(static_cast<uint8_t>(entry >> (8 * i)));
  }
  for (int k = 0; k < 6; ++k) code.insert(code.end(), {0x41, 0xC3});
  code.push_back(0xC3);  // the default
  ASSERT_EQ(code.size(), 12u + 24u + 12u + 1u);
  code[4] = static_cast<uint8_t>(code.size() - 1 - 5);  // ja lands on the default's ret
  FixedMapping m(base, 4096);
  Put(m, code);
  if (!m.data()) GTEST_SKIP() << "no low page";
  const TFunctionInfo f = AnalyseFunction(m.data(), nullptr, TZERuntimeRoutines{}, DecodeMode::Ia32);
  ASSERT_TRUE(f.valid) << f.lastErrorText;
  const auto t = std::find_if(f.codeAreas.begin(), f.codeAreas.end(), [](auto& a) { return a.caseTable; });
  ASSERT_NE(t, f.codeAreas.end());
  EXPECT_EQ(t->begin, table);
  EXPECT_EQ(t->end - t->begin + 1, 24u);
  EXPECT_EQ(CountAreas(f, true), 1u);
  const size_t fromTable = static_cast<size_t>(std::count_if(
      f.codeAreas.begin(), f.codeAreas.end(), [&](auto& a) { return !a.caseTable && a.caller == base + 5; }));
  EXPECT_EQ(fromTable, 6u);
  EXPECT_EQ(f.codeBegin, base);
  EXPECT_EQ(f.codeLength, code.size());
  EXPECT_FALSE(f.interceptable);  // the table jump within the first bytes has no target to carry along
}

TEST(ZorAnalyse, InterceptableNeedsFiveStraightBytesAndCarriableBranches) {
  const struct Row {
    const char* name;
    std::vector<uint8_t> code;
    bool interceptable;
  } rows[] = {
      {"push ebp; mov ebp, esp; sub esp, 16; ret", {0x55, 0x89, 0xE5, 0x83, 0xEC, 0x10, 0xC3}, true},
      {"short jump first", {0xEB, 0x02, 0x90, 0x90, 0x55, 0x89, 0xE5, 0x83, 0xEC, 0x10, 0xC3}, false},
      {"ret after 3 bytes", {0x55, 0x89, 0xE5, 0xC3}, false},
      {"loop in the first bytes", {0x90, 0xE2, 0xFD, 0x55, 0x89, 0xE5, 0xC3}, false},
      {"call in the first bytes", {0x90, 0xE8, 0x10, 0x00, 0x00, 0x00, 0xC3}, true},
      {"call eax in the first bytes", {0x90, 0xFF, 0xD0, 0x55, 0x89, 0xE5, 0xC3}, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    FixedMapping m(0x23000000, 4096);
    Put(m, r.code);
    if (!m.data()) GTEST_SKIP() << "no low page";
    const TFunctionInfo f = AnalyseFunction(m.data(), nullptr, TZERuntimeRoutines{}, DecodeMode::Ia32);
    ASSERT_TRUE(f.valid) << f.lastErrorText;
    EXPECT_EQ(f.interceptable, r.interceptable);
  }
}

TEST(ZorAnalyse, FailuresAreReportedNotRaised) {
  void* gone = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  munmap(gone, 4096);
  TFunctionInfo f = AnalyseFunction(gone, DecodeMode::X64);
  EXPECT_FALSE(f.valid);
  EXPECT_EQ(f.lastErrorNumber, 87u);
  EXPECT_EQ(f.lastErrorText, std::strerror(EINVAL));
  EXPECT_EQ(f.lastErrorAddress, reinterpret_cast<uintptr_t>(gone));

  // push ebp; mov ebp, esp; ud2 (invalid in the IA-32 tables).
  FixedMapping m(0x24000000, 4096);
  Put(m, {0x55, 0x89, 0xE5, 0x0F, 0x0B});
  if (!m.data()) GTEST_SKIP() << "no low page";
  f = AnalyseFunction(m.data(), nullptr, TZERuntimeRoutines{}, DecodeMode::Ia32);
  EXPECT_FALSE(f.valid);
  EXPECT_EQ(f.lastErrorNumber, 0x770001u);
  EXPECT_EQ(f.lastErrorText, "Invalid code!");
  EXPECT_EQ(f.lastErrorAddress, m.address() + 5);
}

TEST(ZorAnalyse, CallsThatNeverReturnEndTheArea) {
  // call [rip + cell] holding abort's address, then bytes that are no code.
  std::vector<uint8_t> code = {0x55, 0xFF, 0x15, 0x02, 0x00, 0x00, 0x00, 0x06, 0x06};
  void* abortAddress = reinterpret_cast<void*>(&std::abort);
  code.resize(code.size() + 8);
  std::memcpy(code.data() + 9, &abortAddress, 8);
  std::vector<uint8_t> page(code);
  TFunctionInfo f = AnalyseFunction(page.data(), nullptr, DefaultRuntimeRoutines(), DecodeMode::X64);
  ASSERT_TRUE(f.valid) << f.lastErrorText;
  EXPECT_EQ(f.codeLength, 7u);
  ASSERT_EQ(f.farCalls.size(), 1u);
  EXPECT_EQ(f.farCalls[0].target, reinterpret_cast<uintptr_t>(abortAddress));
  EXPECT_EQ(f.farCalls[0].targetCell, reinterpret_cast<uintptr_t>(page.data()) + 3);
  // Without the routine the analysis runs on into bytes that are no code.
  f = AnalyseFunction(page.data(), nullptr, TZERuntimeRoutines{}, DecodeMode::X64);
  EXPECT_FALSE(f.valid);

  // A compiled function calling exit through its import stub.
  f = AnalyseFunction(reinterpret_cast<const void*>(&ZorAnalysisCallsExit), DecodeMode::X64);
  ASSERT_TRUE(f.valid) << f.lastErrorText;
  const uintptr_t end = f.codeBegin + f.codeLength;
  EXPECT_TRUE(
      std::any_of(f.farCalls.begin(), f.farCalls.end(), [&](const TZEFarCall& c) { return c.call && c.next == end; }));
}

// The 32-bit shapes: an exception frame's handler, a handler table after the
// runtime's on-exception routine, the block after a finally, and a gap after
// an unresolved jump.
TEST(ZorAnalyse, Ia32ShapesAddTheirAreas) {
  const uint32_t base = 0x25000000;
  FixedMapping m(base, 4096);
  if (!m.data()) GTEST_SKIP() << "no low page";
  auto le = [](uint32_t v) {
    return std::vector<uint8_t>{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  };
  auto join = [](std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  };
  TZERuntimeRoutines routines;
  routines.handleOnException = reinterpret_cast<const void*>(uintptr_t{base + 0x800});
  routines.handleFinally = reinterpret_cast<const void*>(uintptr_t{base + 0x810});
  Put(m, std::vector<uint8_t>(0x820, 0xC3));  // the routines themselves just return
  const struct Row {
    const char* name;
    std::vector<uint8_t> code;
    uint32_t area;  // an offset that must begin an area
    bool handlerTable;
  } rows[] = {
      // push handler; push fs:[0]; ret; (13, the handler:) ret
      {"exception frame", join({{0x68}, le(base + 13), {0x64, 0xFF, 0x35}, le(0), {0xC3, 0xC3}}), 13, false},
      // call HandleOnException; table: 1 entry (class 0, handler at 17); (17:) ret
      {"handler table", join({{0xE8}, le(0x800 - 5), le(1), le(0), le(base + 17), {0xC3}}), 17, true},
      // jmp 7; (2:) push base+16; (7:) call HandleFinally; jmp 7; nop; nop; (16:) ret
      {"finally", join({{0xEB, 0x05, 0x68}, le(base + 16), {0xE8}, le(0x810 - 12), {0xEB, 0xF9}, {0x90, 0x90}, {0xC3}}),
       16, false},
      // je 6; jmp [ecx]; (4:) nop; nop; (6:) ret
      {"gap after an unknown jump", {0x74, 0x04, 0xFF, 0x21, 0x90, 0x90, 0xC3}, 4, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Put(m, std::vector<uint8_t>(0x800, 0xCC));
    Put(m, r.code);
    const TFunctionInfo f = AnalyseFunction(m.data(), nullptr, routines, DecodeMode::Ia32);
    ASSERT_TRUE(f.valid) << f.lastErrorText << " at " << std::hex << f.lastErrorAddress;
    const auto a = std::find_if(f.codeAreas.begin(), f.codeAreas.end(),
                                [&](const TZECodeArea& x) { return x.begin == base + r.area; });
    ASSERT_NE(a, f.codeAreas.end());
    if (r.handlerTable) {
      const auto t = std::find_if(f.codeAreas.begin(), f.codeAreas.end(), [](auto& x) { return x.handlerTable; });
      ASSERT_NE(t, f.codeAreas.end());
      EXPECT_EQ(t->end - t->begin + 1, 12u);
    }
    EXPECT_EQ(f.codeBegin + f.codeLength, base + r.code.size());
  }
}

TEST(ZorAnalyse, LongModeFunctionsOfThisProgramDecode) {
  using Plain = TFunctionInfo (*)(const void*, DecodeMode);
  for (const void* entry :
       {reinterpret_cast<const void*>(static_cast<Plain>(&AnalyseFunction)),
        reinterpret_cast<const void*>(&ModuleCodeRange), reinterpret_cast<const void*>(&std::qsort)}) {
    const TFunctionInfo f = AnalyseFunction(entry);
    EXPECT_TRUE(f.valid) << f.lastErrorText << " at " << f.lastErrorAddress;
    EXPECT_GT(f.codeLength, 5u);
    EXPECT_FALSE(f.farCalls.empty());
  }
  const CodeRange own = ModuleCodeRange(reinterpret_cast<uintptr_t>(&ModuleCodeRange));
  EXPECT_LE(own.begin, reinterpret_cast<uintptr_t>(&ModuleCodeRange));
  EXPECT_GT(own.end, reinterpret_cast<uintptr_t>(&ModuleCodeRange));
}

}  // namespace
}  // namespace zor
