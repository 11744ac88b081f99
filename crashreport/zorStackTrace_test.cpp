// The call check, the prepared scan, and the register and stack-dump texts.
#include "crashreport/zorStackTrace.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace zor {
namespace {

struct CallCase {
  const char* what;
  std::vector<uint8_t> bytes;  // end right at the candidate address
  bool follows;
};

TEST(ZorStackScan, FollowsCallInstructionKnowsEveryCallEncoding) {
  const CallCase cases[] = {
      {"call rel32", {0xE8, 1, 2, 3, 4}, true},
      {"call rax", {0xFF, 0xD0}, true},
      {"call r11 (REX before FF)", {0x41, 0xFF, 0xD3}, true},
      {"call [rsp]", {0xFF, 0x14, 0x24}, true},
      {"call [rsp+8]", {0xFF, 0x54, 0x24, 0x08}, true},
      {"call [rip+disp32]", {0xFF, 0x15, 1, 2, 3, 4}, true},
      {"call [rsp+disp32]", {0xFF, 0x94, 0x24, 1, 2, 3, 4}, true},
      {"far call [rax] (FF /3)", {0xFF, 0x18}, true},
      {"jmp rax (FF /4)", {0xFF, 0xE0}, false},
      {"jmp [rip+disp32] (FF /5)", {0xFF, 0x25, 1, 2, 3, 4}, false},
      {"push rax; ret", {0x90, 0x90, 0x50, 0xC3}, false},
      {"9A does not exist in long mode", {0x9A, 1, 2, 3, 4, 5, 6}, false},
  };
  for (const CallCase& c : cases) {
    std::vector<uint8_t> buffer(16, 0x90);
    std::memcpy(buffer.data() + 16 - c.bytes.size(), c.bytes.data(), c.bytes.size());
    EXPECT_EQ(FollowsCallInstruction(reinterpret_cast<uintptr_t>(buffer.data() + 16)), c.follows) << c.what;
  }
  // The bytes in front lie in an unmapped page.
  const long page = sysconf(_SC_PAGESIZE);
  void* p = mmap(nullptr, size_t(page) * 2, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(p, MAP_FAILED);
  auto* second = static_cast<uint8_t*>(p) + page;
  std::memcpy(second, "\xE8\x01\x02\x03\x04", 5);
  munmap(p, size_t(page));
  EXPECT_FALSE(FollowsCallInstruction(reinterpret_cast<uintptr_t>(second + 4)));
  EXPECT_FALSE(FollowsCallInstruction(4));
  munmap(second, size_t(page));
}

// A readable page between two inaccessible ones: its own mapping.
struct GuardedPage {
  GuardedPage() {
    page = size_t(sysconf(_SC_PAGESIZE));
    base = static_cast<uint8_t*>(mmap(nullptr, page * 3, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    mprotect(base + page, page, PROT_READ | PROT_WRITE);
  }
  ~GuardedPage() { munmap(base, page * 3); }
  uint8_t* begin() const { return base + page; }
  uint8_t* end() const { return base + 2 * page; }
  size_t page;
  uint8_t* base;
};

TEST(ZorStackScan, PreparedItemsAreCallReturnsWithFrameSlotsMarked) {
  GuardedPage stack;
  // Code: a call rel32 whose return address is `ret`.
  static const uint8_t code[] = {0x90, 0xE8, 0, 0, 0, 0, 0x90};
  const uintptr_t ret = reinterpret_cast<uintptr_t>(code + 6);
  auto* slots = reinterpret_cast<uint64_t*>(stack.end()) - 8;  // 8 slots, [0] lowest
  std::memset(slots, 0, 64);
  // A frame at slot 2: saved frame pointer (slot 6, the next frame), return
  // slot 3; the next frame's return slot is 7.
  slots[2] = reinterpret_cast<uint64_t>(&slots[6]);
  slots[3] = ret;
  slots[5] = ret;  // a plain candidate
  slots[6] = 0;    // the chain ends
  slots[7] = ret;
  slots[1] = 5;  // too small
  TDAPreStackItem items;
  const size_t n = PrepareStackScan(reinterpret_cast<uintptr_t>(&slots[2]), reinterpret_cast<uintptr_t>(stack.end()),
                                    reinterpret_cast<uintptr_t>(slots), items, false, 0);
  ASSERT_EQ(n, 3u);
  ASSERT_EQ(items.size(), 4u);
  // Oldest first: slot 7 (frame), slot 5 (plain), slot 3 (frame).
  EXPECT_EQ(int{items[1].onFrame}, 1);
  EXPECT_EQ(int{items[2].onFrame}, 0);
  EXPECT_EQ(int{items[3].onFrame}, 1);
  for (size_t i = 1; i < 4; ++i) EXPECT_EQ(uint64_t{items[i].address}, ret);
  // For the fault thread the scan stops at the slot that holds the location.
  EXPECT_EQ(PrepareStackScan(0, reinterpret_cast<uintptr_t>(stack.end()), reinterpret_cast<uintptr_t>(slots), items,
                             true, ret),
            0u);
  // An unreadable range prepares nothing.
  EXPECT_EQ(PrepareStackScan(0, reinterpret_cast<uintptr_t>(stack.begin()), reinterpret_cast<uintptr_t>(stack.base),
                             items, false, 0),
            0u);
}

TEST(ZorStackSections, RegistersUnderTheir64BitNames) {
  EXPECT_EQ(GetCpuRegisters(TZEContext{}),
            "rax = 0000000000000000\r\nrbx = 0000000000000000\r\nrcx = 0000000000000000\r\n"
            "rdx = 0000000000000000\r\nrsi = 0000000000000000\r\nrdi = 0000000000000000\r\n"
            "rip = 0000000000000000\r\nrsp = 0000000000000000\r\nrbp = 0000000000000000");
  TZEContext c;
  c.rax = 0x1122334455667788;
  c.rip = 0x7fffdeadbeef;
  c.rbp = 0xABCDEF;
  c.r15 = 1;  // not shown
  const std::string text = GetCpuRegisters(c);
  EXPECT_NE(text.find("rax = 1122334455667788\r\n"), std::string::npos);
  EXPECT_NE(text.find("rip = 00007fffdeadbeef\r\n"), std::string::npos);
  EXPECT_TRUE(text.ends_with("rbp = 0000000000abcdef"));
}

TEST(ZorStackSections, StackDumpEndsAtItsRegion) {
  GuardedPage stack;
  uint8_t* sp = stack.end() - 40;
  for (int i = 0; i < 40; ++i) sp[i] = uint8_t('A' + i % 26);
  sp[0] = 0x20;
  sp[1] = 0x7F;
  sp[32] = 0x00;
  TZEContext c;
  c.rsp = reinterpret_cast<uintptr_t>(sp);
  const std::string text = GetStackDump(c);
  char address[3][17];
  for (int i = 0; i < 3; ++i) std::snprintf(address[i], 17, "%016lx", static_cast<unsigned long>(c.rsp + 16 * i));
  const std::string expected =
      std::string(address[0]) + "  20 7f 43 44 45 46 47 48 - 49 4a 4b 4c 4d 4e 4f 50  ..CDEFGHIJKLMNOP\r\n" +
      address[1] + "  51 52 53 54 55 56 57 58 - 59 5a 41 42 43 44 45 46  QRSTUVWXYZABCDEF\r\n" + address[2] +
      "  00 48 49 4a 4b 4c 4d 4e " + std::string(2 + 8 * 3, ' ') + " .HIJKLMN";
  EXPECT_EQ(text, expected);
  // Twenty lines at most.
  c.rsp = reinterpret_cast<uintptr_t>(stack.begin());
  const std::string full = GetStackDump(c);
  EXPECT_EQ(std::count(full.begin(), full.end(), '\n'), 19);
}

TEST(ZorStackSections, AnUnreadableStackGivesTheInternalErrorWithItsLocation) {
  GuardedPage stack;
  TZEContext c;
  c.rsp = reinterpret_cast<uintptr_t>(stack.base);  // no readable mapping holds it
  const std::string text = GetStackDump(c);
  const std::string head = ">> internal error in GetStackDump:\r\n";
  ASSERT_EQ(text.substr(0, head.size()), head) << text;
  EXPECT_NE(text.find(" zorStackTraceSections.cpp "), std::string::npos) << text;
  EXPECT_NE(text.find("GetStackDump"), text.rfind("GetStackDump")) << text;
}

struct HookCall {
  uintptr_t entry = 0, code = 0;
  bool format = false;
  int32_t limit = 0;
  bool emptyInfo = false;
};
HookCall lastHookCall;

void RecordingHook(uintptr_t entry, std::string& text, uintptr_t code, TFunctionInfo& info, bool format,
                   int32_t limit) {
  lastHookCall = {entry, code, format, limit, !info.valid && info.codeAreas.empty()};
  text = "disassembly";
}
void FailingHook(uintptr_t, std::string& text, uintptr_t, TFunctionInfo&, bool, int32_t) {
  text = "half";
  RaiseReporterFailure();
}

TEST(ZorStackSections, TheDisassemblyComesFromTheHookAlone) {
  ASSERT_EQ(CurrentDisassemblyHook(), nullptr);
  EXPECT_EQ(GetCleartextDisAsm(0x1000, 0x1010, true, 5), "");  // the system sets none
  SetDisassemblyHook(RecordingHook);
  EXPECT_EQ(GetCleartextDisAsm(0, 0x1010, true, 5), "");
  EXPECT_EQ(lastHookCall.entry, 0u);
  EXPECT_EQ(GetCleartextDisAsm(0x1000, 0x1010, true, 7), "disassembly");
  EXPECT_EQ(lastHookCall.entry, 0x1000u);
  EXPECT_EQ(lastHookCall.code, 0x1010u);
  EXPECT_TRUE(lastHookCall.format);
  EXPECT_EQ(lastHookCall.limit, 7);
  EXPECT_TRUE(lastHookCall.emptyInfo);
  SetDisassemblyHook(FailingHook);
  const std::string failed = GetCleartextDisAsm(0x1000, 0x1010, false, 5);
  EXPECT_TRUE(failed.starts_with(">> internal error in GetCleartextDisAsm:\r\n")) << failed;
  EXPECT_NE(failed.find("FailingHook"), std::string::npos) << failed;
  SetDisassemblyHook(nullptr);
}

}  // namespace
}  // namespace zor
