// The decoder on hand-made bytes: tables, long-mode forms, targets, register
// tracking and unreadable memory; and the safe reads under it.
#include "crashreport/zorDisAsm.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "crashreport/zorDisAsmTesting.h"
#include "crashreport/zorStrings.h"

namespace zor {
namespace {

using testing::FixedMapping;
constexpr DecodeMode kIa32 = DecodeMode::Ia32;
constexpr DecodeMode kX64 = DecodeMode::X64;

// Scrambling is its own inverse.
std::string Scrambled(const char* plain) { return UnscrambleText(plain); }

// Code bytes in a page of their own, followed by an inaccessible page.
class CodePage {
 public:
  CodePage() {
    void* p = mmap(nullptr, 8192, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    data_ = static_cast<uint8_t*>(p);
    mprotect(data_ + 4096, 4096, PROT_NONE);
  }
  ~CodePage() { munmap(data_, 8192); }
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;
  // Places `bytes` at `offset` (default: ending right at the guard page).
  uint8_t* Put(const std::vector<uint8_t>& bytes, long offset = -1) {
    uint8_t* at = data_ + (offset < 0 ? 4096 - static_cast<long>(bytes.size()) : offset);
    std::memcpy(at, bytes.data(), bytes.size());
    return at;
  }
  uintptr_t Address(size_t offset) const { return reinterpret_cast<uintptr_t>(data_) + offset; }

 private:
  uint8_t* data_ = nullptr;
};

TEST(ZorDisAsmTables, TellingRowsHoldTheirFlags) {
  const struct {
    bool twoByte;
    uint8_t opcode;
    uint16_t flags;
  } rows[] = {{false, 0x68, 0x0C00}, {false, 0x6A, 0x0400}, {false, 0x74, 0x1400}, {false, 0x8B, 0x20E4},
              {false, 0xA1, 0x8142}, {false, 0xB8, 0x6C45}, {false, 0xC2, 0x0800}, {false, 0xC3, 0x0000},
              {false, 0xC7, 0x4DA0}, {false, 0xE8, 0x1C00}, {false, 0xE9, 0x1C00}, {false, 0xEB, 0x1400},
              {false, 0xF7, 0x0008}, {false, 0xFF, 0x01A0}, {true, 0x84, 0x1C00},  {true, 0xB6, 0x2154},
              {true, 0x0B, 0xFFFF}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.opcode);
    EXPECT_EQ(r.twoByte ? TwoByteFlags(r.opcode) : OneByteFlags(r.opcode), r.flags);
  }
  const uint16_t f7[8] = {0x0DA0, 0xFFFF, 0x41A0, 0x41A0, 0x81A0, 0x81A0, 0x81A0, 0x81A0};
  for (uint8_t reg = 0; reg < 8; ++reg) {
    EXPECT_EQ(GroupFlags(0xF7, true, reg), f7[reg]);
    EXPECT_EQ(GroupFlags(0xF7, false, reg), f7[reg]);
  }
  EXPECT_EQ(GroupFlags(0x90, true, 0), 0xFFFF);
}

// Lengths and branches of single instructions in both modes. `target` is an
// offset from the instruction, -1 for none.
TEST(ZorDisAsmDecode, LengthsAndTargetsInBothModes) {
  const struct Row {
    const char* name;
    DecodeMode mode;
    std::vector<uint8_t> bytes;
    bool valid;
    size_t length;
    long target;
    bool call;
  } rows[] = {
      {"call $+5 has no target", kIa32, {0xE8, 0, 0, 0, 0}, true, 5, -1, false},
      {"call $+5 in long mode", kX64, {0xE8, 0, 0, 0, 0}, true, 5, -1, false},
      {"call rel32", kX64, {0xE8, 0x10, 0, 0, 0}, true, 5, 0x15, true},
      {"short jump to itself", kIa32, {0xEB, 0xFE}, true, 2, 0, false},
      {"jcc rel16 with 66", kIa32, {0x66, 0x0F, 0x84, 0x10, 0x00}, true, 5, 0x15, false},
      {"mov r32, imm32", kX64, {0xB8, 1, 2, 3, 4}, true, 5, -1, false},
      {"mov r64, imm64 with REX.W", kX64, {0x48, 0xB8, 1, 2, 3, 4, 5, 6, 7, 8}, true, 10, -1, false},
      {"mov r16, imm16", kIa32, {0x66, 0xB8, 1, 2}, true, 4, -1, false},
      {"REX.W keeps imm32 elsewhere", kX64, {0x48, 0x81, 0xC0, 1, 2, 3, 4}, true, 7, -1, false},
      {"REX.W wins over 66", kX64, {0x66, 0x48, 0xC7, 0xC0, 1, 2, 3, 4}, true, 8, -1, false},
      {"moffs in IA-32", kIa32, {0xA1, 1, 2, 3, 4}, true, 5, -1, false},
      {"moffs with 16-bit addressing", kIa32, {0x67, 0xA1, 1, 2}, true, 4, -1, false},
      {"moffs in long mode", kX64, {0xA1, 1, 2, 3, 4, 5, 6, 7, 8}, true, 9, -1, false},
      {"moffs with 67 in long mode", kX64, {0x67, 0xA3, 1, 2, 3, 4}, true, 6, -1, false},
      {"RIP-relative lea", kX64, {0x48, 0x8D, 0x05, 1, 2, 3, 4}, true, 7, -1, false},
      {"SIB without base", kX64, {0x8B, 0x04, 0x25, 1, 2, 3, 4}, true, 7, -1, false},
      {"16-bit addressing disp16", kIa32, {0x67, 0x8B, 0x06, 1, 2}, true, 5, -1, false},
      {"inc eax in IA-32", kIa32, {0x40}, true, 1, -1, false},
      {"REX before the opcode", kX64, {0x41, 0x50}, true, 2, -1, false},
      {"REX then a prefix is no REX", kX64, {0x48, 0x66, 0xB8, 1, 2}, true, 5, -1, false},
      {"movsxd", kX64, {0x48, 0x63, 0xC1}, true, 3, -1, false},
      {"enter", kIa32, {0xC8, 0x10, 0x00, 0x01}, true, 4, -1, false},
      {"far call", kIa32, {0x9A, 1, 2, 3, 4, 5, 6}, true, 7, -1, true},
      {"x87 register form", kIa32, {0xD9, 0xE8}, true, 2, -1, false},
      {"x87 hole D9 D8", kIa32, {0xD9, 0xD8}, false, 2, -1, false},
      {"syscall", kX64, {0x0F, 0x05}, true, 2, -1, false},
      {"ud2 in long mode", kX64, {0x0F, 0x0B}, true, 2, -1, false},
      {"endbr64", kX64, {0xF3, 0x0F, 0x1E, 0xFA}, true, 4, -1, false},
      {"0F 38 map", kX64, {0x66, 0x0F, 0x38, 0x00, 0xC1}, true, 5, -1, false},
      {"0F 38 map not in IA-32", kIa32, {0x66, 0x0F, 0x38, 0x00, 0xC1}, false, 2, -1, false},
      {"0F 3A map with imm8", kX64, {0x66, 0x0F, 0x3A, 0x0F, 0x44, 0x24, 0x08, 0x03}, true, 8, -1, false},
      {"VEX2 vzeroupper", kX64, {0xC5, 0xF8, 0x77}, true, 3, -1, false},
      {"VEX2 vmovdqa", kX64, {0xC5, 0xF9, 0x6F, 0xC1}, true, 4, -1, false},
      {"VEX3 map 0F38", kX64, {0xC4, 0xE2, 0x79, 0x18, 0x07}, true, 5, -1, false},
      {"VEX3 map 0F3A with imm8", kX64, {0xC4, 0xE3, 0x79, 0x0F, 0xC1, 0x05}, true, 6, -1, false},
      {"VEX2 vpshufd takes imm8", kX64, {0xC5, 0xF9, 0x70, 0xC1, 0x1B}, true, 5, -1, false},
      {"VEX3 unknown map", kX64, {0xC4, 0xE7, 0x79, 0x0F, 0xC1}, false, 4, -1, false},
      {"EVEX", kX64, {0x62, 0xF1, 0x7C, 0x48, 0x10, 0x07}, true, 6, -1, false},
      {"EVEX disp8", kX64, {0x62, 0xF1, 0x7C, 0x48, 0x10, 0x47, 0x01}, true, 7, -1, false},
      {"LES in IA-32", kIa32, {0xC4, 0x00}, true, 2, -1, false},
      {"15 bytes",
       kIa32,
       {0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x90},
       true,
       15,
       -1,
       false},
      {"16 bytes",
       kIa32,
       {0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x90},
       false,
       15,
       -1,
       false},
      {"cut at the guard page", kX64, {0xE8, 0x01, 0x02}, false, 3, -1, false},
  };
  CodePage page;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const uint8_t* at = page.Put(r.bytes);
    const TZECodeInfo info = DecodeInstruction(at, r.mode);
    EXPECT_EQ(info.valid, r.valid);
    EXPECT_EQ(info.address, reinterpret_cast<uintptr_t>(at));
    if (r.valid) {
      EXPECT_EQ(info.next - info.address, r.length);
    }
    EXPECT_EQ(info.call, r.call);
    if (r.target >= 0) {
      EXPECT_TRUE(info.call || info.jump);
      EXPECT_TRUE(info.relative);
      EXPECT_EQ(info.target, info.address + r.target);
    } else {
      EXPECT_EQ(info.targetSize, 0u);
      EXPECT_EQ(info.target, 0u);
    }
  }
}

TEST(ZorDisAsmDecode, OpcodesLongModeDroppedAreInvalidThere) {
  const uint8_t dropped[] = {0x06, 0x07, 0x0E, 0x16, 0x17, 0x1E, 0x1F, 0x27, 0x2F, 0x37,
                             0x3F, 0x60, 0x61, 0x82, 0x9A, 0xCE, 0xD4, 0xD5, 0xD6, 0xEA};
  for (uint8_t op : dropped) {
    SCOPED_TRACE(op);
    const uint8_t bytes[16] = {op, 0xC0, 1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(DecodeInstruction(bytes, kX64).valid);
    EXPECT_EQ(DecodeInstruction(bytes, kIa32).valid, op != 0xD6);
  }
}

TEST(ZorDisAsmDecode, IndirectBranchesReadTheirCells) {
  CodePage page;
  const uintptr_t value = 0x123456789A;
  std::memcpy(reinterpret_cast<void*>(page.Address(64)), &value, 8);
  // call [rip + 58]: the cell lies at next (6) + 58 = 64.
  const uint8_t* call = page.Put({0xFF, 0x15, 58, 0, 0, 0}, 0);
  TZECodeInfo info = DecodeInstruction(call, kX64);
  EXPECT_TRUE(info.valid && info.call && !info.relative);
  EXPECT_EQ(info.cell, page.Address(64));
  EXPECT_EQ(info.targetCell, page.Address(2));
  EXPECT_EQ(info.target, value);
  EXPECT_EQ(info.targetSize, 4u);
  const uint8_t* jump = page.Put({0xFF, 0x25, 50, 0, 0, 0}, 8);  // next 14 + 50
  info = DecodeInstruction(jump, kX64);
  EXPECT_TRUE(info.valid && info.jump);
  EXPECT_EQ(info.target, value);
  // Cells in unreadable memory make the instruction invalid.
  const uint8_t* unreadable32 = page.Put({0xFF, 0x15, 0x10, 0, 0, 0}, 100);
  EXPECT_FALSE(DecodeInstruction(unreadable32, kIa32).valid);
  const uint8_t* unreadable64 = page.Put({0xFF, 0x14, 0x25, 0x10, 0, 0, 0}, 100);
  EXPECT_FALSE(DecodeInstruction(unreadable64, kX64).valid);
  const uint8_t* guard = page.Put({0xFF, 0x15, 0x00, 0x10, 0, 0}, 200);  // next 206 + 4096: the guard page
  EXPECT_FALSE(DecodeInstruction(guard, kX64).valid);
}

TEST(ZorDisAsmDecode, RegisterTrackingFindsTargetsOfRegisterBranches) {
  FixedMapping low(0x21000000, 4096);
  if (!low.data()) GTEST_SKIP() << "no low page";
  uint8_t* code = low.data();
  const uint32_t cell = static_cast<uint32_t>(low.address() + 0x800);
  const uint32_t routine = 0x0BADC0DE;
  std::memcpy(code + 0x800, &routine, 4);
  const struct Row {
    const char* name;
    DecodeMode mode;
    std::vector<uint8_t> bytes;  // loads, then the branch last
    bool known;
    bool viaCell;
  } rows[] = {
      {"mov eax, imm; call eax", kIa32, {0xB8, 0xDE, 0xC0, 0xAD, 0x0B, 0xFF, 0xD0}, true, false},
      {"mov ecx, imm; mov eax, ecx; jmp eax",
       kIa32,
       {0xB9, 0xDE, 0xC0, 0xAD, 0x0B, 0x8B, 0xC1, 0xFF, 0xE0},
       true,
       false},
      {"mov eax, cell; call [eax]", kIa32, {0xB8, 0x00, 0x08, 0x00, 0x21, 0xFF, 0x10}, true, true},
      {"mov eax, imm; inc eax; call eax", kIa32, {0xB8, 0xDE, 0xC0, 0xAD, 0x0B, 0x40, 0xFF, 0xD0}, false, false},
      {"mov eax, imm; lodsd; call eax", kIa32, {0xB8, 0xDE, 0xC0, 0xAD, 0x0B, 0xAD, 0xFF, 0xD0}, false, false},
      {"mov esi, imm; rep movsb; call esi",
       kIa32,
       {0xBE, 0xDE, 0xC0, 0xAD, 0x0B, 0xF3, 0xA4, 0xFF, 0xD6},
       false,
       false},
      {"mov edx, imm; cdq; call edx", kIa32, {0xBA, 0xDE, 0xC0, 0xAD, 0x0B, 0x99, 0xFF, 0xD2}, false, false},
      {"mov r11d, imm; call r11", kX64, {0x41, 0xBB, 0xDE, 0xC0, 0xAD, 0x0B, 0x41, 0xFF, 0xD3}, true, false},
      {"mov eax, imm; inc eax; call rax", kX64, {0xB8, 0xDE, 0xC0, 0xAD, 0x0B, 0xFF, 0xC0, 0xFF, 0xD0}, false, false},
      {"mov rax, imm64; call [rax]", kX64, {0x48, 0xB8, 0x00, 0x08, 0x00, 0x21, 0, 0, 0, 0, 0xFF, 0x10}, true, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::memcpy(code, r.bytes.data(), r.bytes.size());
    TZERegisters regs;
    TZECodeInfo info;
    uintptr_t load = 0;
    for (uintptr_t at = low.address(); at < low.address() + r.bytes.size(); at = info.next) {
      info = DecodeInstruction(reinterpret_cast<const void*>(at), &regs, true, nullptr, r.mode);
      ASSERT_TRUE(info.valid);
      if (load == 0) load = info.address + (r.bytes[0] == 0x48 || r.bytes[0] == 0x41 ? 2 : 1);
    }
    EXPECT_TRUE(info.call || info.jump);
    if (!r.known) {
      EXPECT_EQ(info.targetOperand | info.targetCell, 0u);
      continue;
    }
    EXPECT_EQ(r.viaCell ? info.targetCell : info.targetOperand, load);
    EXPECT_EQ(info.target, routine);
    if (r.viaCell) {
      EXPECT_EQ(info.cell, cell);
    }
  }
}

TEST(ZorSafeRead, UnmappedAndInaccessiblePagesFail) {
  CodePage page;
  uint8_t out[8] = {};
  EXPECT_TRUE(SafeRead(reinterpret_cast<const void*>(page.Address(0)), out, 8));
  EXPECT_FALSE(SafeRead(reinterpret_cast<const void*>(page.Address(4096)), out, 8));  // PROT_NONE
  EXPECT_FALSE(SafeRead(reinterpret_cast<const void*>(page.Address(4092)), out, 8));  // runs into it
  void* gone = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  munmap(gone, 4096);
  EXPECT_FALSE(SafeRead(gone, out, 1));
  const TDATryRead snapshot = SnapshotReadableRegions();
  EXPECT_TRUE(SafeRead(reinterpret_cast<const void*>(page.Address(0)), out, 8, &snapshot));
  EXPECT_FALSE(SafeRead(reinterpret_cast<const void*>(page.Address(4096)), out, 1, &snapshot));
  EXPECT_FALSE(SafeRead(gone, out, 1, &snapshot));
  // The C library's own routine (a sanitizer's interceptor of the same name
  // would come first in the global scope).
  void* libc = dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(libc, nullptr);
  EXPECT_EQ(KernelProcedure(Scrambled("libc.so.6"), Scrambled("process_vm_readv")), dlsym(libc, "process_vm_readv"));
  dlclose(libc);
  EXPECT_EQ(KernelProcedure(Scrambled("libc.so.6"), Scrambled("no_such_routine")), nullptr);
}

TEST(ZorSafeRead, SnapshotCoversTheAddressSpaceAndFindsEveryRecord) {
  const TDATryRead s = SnapshotReadableRegions();
  ASSERT_GT(s.records.size(), 10u);
  EXPECT_EQ(s.records.front().start, 0u);
  EXPECT_EQ(s.records.back().end, uintptr_t{1} << 47);
  for (size_t i = 1; i < s.records.size(); ++i) {
    EXPECT_EQ(s.records[i].start, s.records[i - 1].end);
    EXPECT_NE(s.records[i].readable, s.records[i - 1].readable);
  }
  int local = 0;
  EXPECT_TRUE(IsReadableAddress(s, reinterpret_cast<uintptr_t>(&local)));
  EXPECT_TRUE(IsReadableAddress(s, reinterpret_cast<uintptr_t>(&SnapshotReadableRegions)));
  EXPECT_FALSE(IsReadableAddress(s, 0));
  // The probing search finds every record of every list length.
  for (size_t n = 1; n <= 300; ++n) {
    TDATryRead synthetic;
    for (size_t k = 0; k < n; ++k) synthetic.records.push_back({k * 16, k * 16 + 16, k % 2 == 1});
    for (size_t k = 0; k < n; ++k) {
      ASSERT_EQ(IsReadableAddress(synthetic, k * 16 + 5), k % 2 == 1) << n << " records, record " << k;
      ASSERT_EQ(ReadableEnd(synthetic, k * 16), k % 2 == 1 ? k * 16 + 16 : 0) << n << " " << k;
    }
    ASSERT_FALSE(IsReadableAddress(synthetic, n * 16 + 1));
  }
}

TEST(ZorSafeRead, SnapshotLimitsTheBytesADecodeMayRead) {
  std::vector<uint8_t> buffer = {0x90, 0xE8, 1, 2, 3, 4};
  const uintptr_t b = reinterpret_cast<uintptr_t>(buffer.data());
  TDATryRead only;
  only.records = {{0, b, false}, {b, b + 4, true}, {b + 4, uintptr_t{1} << 47, false}};
  EXPECT_TRUE(DecodeInstruction(buffer.data(), &only).valid);
  EXPECT_FALSE(DecodeInstruction(buffer.data() + 1, &only).valid);  // its displacement lies past the record
  EXPECT_TRUE(DecodeInstruction(buffer.data() + 1, kX64).valid);
}

}  // namespace
}  // namespace zor
