// The decoder against GNU objdump: an IA-32 corpus assembled with `as --32`,
// and the x86-64 code of this test program itself, function by function.
#include <gtest/gtest.h>
#include <link.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorDisAsmTesting.h"

namespace zor {
namespace {

using testing::FixedMapping;
using testing::ObjdumpInstruction;
using testing::ParseObjdump;
using testing::RunCommand;

constexpr uintptr_t kCorpusBase = 0x20000000;

std::string ScratchFolder() {
  char pattern[] = "/tmp/zordisasmXXXXXX";
  const char* dir = mkdtemp(pattern);
  return dir ? dir : "";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Where two decoders differ, in objdump's words.
std::string Describe(uint64_t address, const ObjdumpInstruction& o, const TZECodeInfo& ours) {
  std::ostringstream s;
  s << std::hex << address << ": " << o.text << " (objdump " << std::dec << o.length << " bytes, ours "
    << (ours.valid ? std::to_string(ours.next - ours.address) : std::string("invalid")) << ")";
  return s.str();
}

TEST(ZorDisAsmObjdump, Ia32CorpusHasObjdumpsLengthsAndTargets) {
  const std::string dir = ScratchFolder();
  ASSERT_FALSE(dir.empty());
  const std::string corpus = std::string(KESTOVA_TESTDATA_DIR) + "/disasm/ia32_corpus.s";
  std::string listing;
  ASSERT_TRUE(RunCommand("as --32 -W -o " + dir + "/c.o " + corpus +
                             " && ld -m elf_i386 -Ttext=0x20000000 -e start -o " + dir + "/c.elf " + dir +
                             "/c.o && objcopy -O binary -j .text " + dir + "/c.elf " + dir +
                             "/c.bin && objdump -d -M i386 --insn-width=16 " + dir + "/c.elf",
                         &listing));
  const std::string code = ReadFile(dir + "/c.bin");
  RunCommand("rm -rf " + dir);
  FixedMapping buffer(kCorpusBase, (code.size() + 4095) & ~size_t{4095});
  if (!buffer.data()) GTEST_SKIP() << "the corpus address is taken in this process";
  std::memcpy(buffer.data(), code.data(), code.size());

  const auto objdump = ParseObjdump(listing);
  ASSERT_GT(objdump.size(), 1300u);
  size_t targets = 0, cells = 0;
  for (const auto& [address, o] : objdump) {
    ASSERT_FALSE(o.bad) << o.text;
    const TZECodeInfo info = DecodeInstruction(reinterpret_cast<const void*>(address), DecodeMode::Ia32);
    SCOPED_TRACE(Describe(address, o, info));
    ASSERT_TRUE(info.valid);
    EXPECT_EQ(info.next - info.address, o.length);
    if (o.hasTarget && o.target != info.next) {
      ++targets;
      ASSERT_TRUE(info.call || info.jump);
      // objdump wraps 16-bit targets to the low 64 KiB as the processor does.
      const uintptr_t target = info.targetSize == 2 ? info.target & 0xFFFF : info.target;
      EXPECT_EQ(target, o.target);
      EXPECT_TRUE(info.relative);
    } else if (o.hasCell) {
      ++cells;
      EXPECT_EQ(info.cell, o.cell);
      EXPECT_EQ(info.target, kCorpusBase);  // every cell holds `start`
    }
  }
  EXPECT_GT(targets, 40u);
  EXPECT_EQ(cells, 2u);
  // Decoding one after another lands on every instruction objdump lists.
  uintptr_t at = kCorpusBase;
  for (const auto& entry : objdump) {
    ASSERT_EQ(at, entry.first);
    at = DecodeInstruction(reinterpret_cast<const void*>(at), DecodeMode::Ia32).next;
  }
}

// The validity rules: each row an encoding (padded so that objdump sees whole
// operands) and whether it is valid; where objdump says "(bad)", so do we.
TEST(ZorDisAsmObjdump, ValidityRulesAgreeWithObjdumpsBadForms) {
  struct Row {
    std::vector<uint8_t> bytes;
    bool valid;
  };
  const Row rows[] = {
      {{0x8D, 0x00}, true},
      {{0x8D, 0xC0}, false},
      {{0xC4, 0x00}, true},
      {{0x0F, 0xB2, 0x00}, true},
      {{0x0F, 0xB2, 0xC0}, false},
      {{0x0F, 0xC3, 0xC0}, false},
      {{0x0F, 0xC7, 0x08}, true},
      {{0x0F, 0xC7, 0xC8}, false},
      {{0x8C, 0xE8}, true},
      {{0x8C, 0xF0}, false},
      {{0x8E, 0xF8}, false},
      {{0xD9, 0xD0}, true},
      {{0xD9, 0xD1}, false},
      {{0xD9, 0xE2}, false},
      {{0xD9, 0xEF}, false},
      {{0xDA, 0xE9}, true},
      {{0xDA, 0xE8}, false},
      {{0xDA, 0xEF}, false},
      {{0xDB, 0xE3}, true},
      {{0xDB, 0xE5}, false},
      {{0xDF, 0xE0}, true},
      {{0xDF, 0xE1}, false},
      {{0xFE, 0x08}, true},
      {{0xFE, 0x10}, false},
      {{0xFF, 0x38}, false},
      {{0xFF, 0xD8}, false},
      {{0xFF, 0xE8}, false},
      {{0xFF, 0x18}, true},
      {{0x0F, 0x00, 0x28}, true},
      {{0x0F, 0x00, 0x30}, false},
      {{0x0F, 0x01, 0x28}, false},
      {{0x0F, 0x01, 0xC0}, false},
      {{0x0F, 0x01, 0xF0}, true},
      {{0x0F, 0x01, 0xF8}, true},
      {{0x0F, 0x0D, 0x10}, false},
      {{0x0F, 0x0D, 0xC8}, false},
      {{0x0F, 0x0F, 0xC1, 0x9E}, true},
      {{0x0F, 0x0F, 0xC1, 0x00}, false},
      {{0x0F, 0x18, 0x20}, false},
      {{0x0F, 0x18, 0xC0}, false},
      {{0x0F, 0x20, 0xC0}, true},
      {{0x0F, 0x6C, 0xC1}, false},
      {{0x66, 0x0F, 0x6C, 0xC1}, true},
      {{0x0F, 0x71, 0xD1, 0x03}, true},
      {{0x0F, 0x71, 0xC1, 0x03}, false},
      {{0x0F, 0x71, 0x11, 0x03}, false},
      {{0x0F, 0x73, 0xD1, 0x03}, true},
      {{0x0F, 0x73, 0xE1, 0x03}, false},
      {{0x66, 0x0F, 0x73, 0xD9, 0x03}, true},
      {{0x0F, 0x73, 0xD9, 0x03}, false},
      // monitor and mwait: register forms of 0F 01 /1, outside the table.
      {{0x0F, 0x01, 0xC8}, false},
      {{0x0F, 0x7C, 0xC1}, false},
      {{0xF2, 0x0F, 0x7C, 0xC1}, true},
      {{0x0F, 0xD0, 0xC1}, false},
      {{0x0F, 0xAE, 0x38}, true},
      {{0x0F, 0xAE, 0xE8}, true},
      {{0x0F, 0xAE, 0x28}, false},
      {{0x0F, 0xAE, 0xC0}, false},
      {{0x0F, 0xBA, 0xE0, 0x01}, true},
      {{0x0F, 0xBA, 0xD8, 0x01}, false},
      {{0x0F, 0xD6, 0xC1}, false},
      {{0xF3, 0x0F, 0xD6, 0xC1}, true},
      {{0x0F, 0xE6, 0xC1}, false},
      {{0x0F, 0xF0, 0x00}, false},
      {{0xF2, 0x0F, 0xF0, 0x00}, true},
      {{0x0F, 0x0B}, false},
      {{0xF7, 0x08, 0, 0, 0, 0}, false},
      {{0x0F, 0xFF, 0x00}, false},
  };
  const std::string dir = ScratchFolder();
  ASSERT_FALSE(dir.empty());
  // Each row starts at a multiple of 16, padded with nops, so that objdump
  // resynchronises at every row.
  std::string source = ".text\n";
  for (const Row& r : rows) {
    source += ".p2align 4, 0x90\n.byte ";
    for (size_t i = 0; i < r.bytes.size(); ++i) source += (i ? "," : "") + std::to_string(r.bytes[i]);
    source += "\n.fill 8, 1, 0x90\n";
  }
  std::ofstream(dir + "/rules.s") << source;
  std::string listing;
  ASSERT_TRUE(
      RunCommand("as --32 -o " + dir + "/r.o " + dir + "/rules.s && objdump -d -M i386 --insn-width=16 " + dir + "/r.o",
                 &listing));
  RunCommand("rm -rf " + dir);
  const auto objdump = ParseObjdump(listing);
  size_t bad = 0;
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row& r = rows[i];
    std::vector<uint8_t> padded(r.bytes);
    padded.resize(16, 0x90);
    const TZECodeInfo info = DecodeInstruction(padded.data(), DecodeMode::Ia32);
    std::string hex;
    for (uint8_t b : r.bytes) hex += " " + std::to_string(b);
    SCOPED_TRACE("row" + hex);
    EXPECT_EQ(info.valid, r.valid);
    const auto o = objdump.find(i * 16);
    ASSERT_NE(o, objdump.end());
    if (o->second.bad) {
      ++bad;
      EXPECT_FALSE(info.valid) << o->second.text;
    } else if (info.valid) {
      EXPECT_EQ(info.next - info.address, o->second.length) << o->second.text;
    }
  }
  EXPECT_GT(bad, 10u);
}

uintptr_t ExecutableLoadBias() {
  uintptr_t bias = 0;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        *static_cast<uintptr_t*>(data) = info->dlpi_addr;
        return 1;  // the executable comes first
      },
      &bias);
  return bias;
}

struct CodeComparison {
  size_t functions = 0, instructions = 0, targets = 0, differing = 0;
};

// Decodes every function `nm -S` lists in .text, at `bias` + its address, and
// compares each instruction with objdump's listing of the same file.
CodeComparison CompareFunctions(const std::string& path, uintptr_t bias) {
  CodeComparison c;
  std::string symbols, listing;
  EXPECT_TRUE(RunCommand("nm -S --defined-only " + path, &symbols));
  EXPECT_TRUE(RunCommand("objdump -d -j .text --insn-width=16 " + path, &listing));
  const auto objdump = ParseObjdump(listing);
  std::istringstream lines(symbols);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string value, size, type, name;
    if (!(fields >> value >> size >> type >> name) || (type != "t" && type != "T" && type != "W")) continue;
    const uint64_t begin = std::stoull(value, nullptr, 16);
    const uint64_t end = begin + std::stoull(size, nullptr, 16);
    if (objdump.find(begin) == objdump.end()) continue;
    ++c.functions;
    for (uint64_t at = begin; at < end;) {
      const auto o = objdump.find(at);
      const TZECodeInfo info = DecodeInstruction(reinterpret_cast<const void*>(bias + at), DecodeMode::X64);
      if (o == objdump.end() || !info.valid || info.next - info.address != o->second.length) {
        if (++c.differing <= 20)
          ADD_FAILURE() << name << " "
                        << (o == objdump.end() ? std::to_string(at) + ": not in objdump's listing"
                                               : Describe(at, o->second, info));
        break;  // the rest of the function would be out of step
      }
      ++c.instructions;
      if (o->second.hasTarget && info.targetSize != 0) {
        ++c.targets;
        EXPECT_EQ(info.target - bias, o->second.target) << Describe(at, o->second, info);
      }
      at += o->second.length;
    }
  }
  std::printf("%s: %zu functions, %zu instructions, %zu relative targets compared\n", path.c_str(), c.functions,
              c.instructions, c.targets);
  return c;
}

// This test program as loaded: cells of indirect branches are the real ones.
TEST(ZorDisAsmObjdump, LoadedCodeHasObjdumpsLengthsAndTargetsInLongMode) {
  char path[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", path, sizeof path - 1), 0);
  const CodeComparison c = CompareFunctions(path, ExecutableLoadBias());
  EXPECT_EQ(c.differing, 0u);
  EXPECT_GT(c.functions, 500u);
}

// The program itself, its load segments mapped from the file as the loader
// would place them (without relocating).
TEST(ZorDisAsmObjdump, ProgramCodeHasObjdumpsLengthsAndTargetsInLongMode) {
  testing::MappedImage image(ZOR_PROGRAM);
  ASSERT_NE(image.bias(), 0u);
  const CodeComparison c = CompareFunctions(ZOR_PROGRAM, image.bias());
  EXPECT_EQ(c.differing, 0u);
  EXPECT_GT(c.functions, 10000u);
}

}  // namespace
}  // namespace zor
