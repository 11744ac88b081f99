#include "components/base/CodePatch.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/process/ProcessMemory.h"

// Routines of this program that a test patches. They are called only through
// a volatile pointer, so the compiler can neither inline them nor fold the
// calls. The function-type check of clang's sanitizer reads a signature at a
// routine's entry, where the jump goes, so it is off for these two.
#if defined(__clang__)
#define PATCHABLE __attribute__((noinline, no_sanitize("function")))
#else
#define PATCHABLE __attribute__((noinline))
#endif

namespace {

PATCHABLE int OriginalAnswer(int X) {
  volatile int bias = 1;
  return X + bias;
}

PATCHABLE int ReplacementAnswer(int X) {
  volatile int factor = 100;
  return X * factor;
}

int (*volatile answer)(int) = &OriginalAnswer;

#if defined(__x86_64__) || defined(__i386__)
constexpr bool kX86 = true;
#else
constexpr bool kX86 = false;
#endif

void* CodeOf(int (*Routine)(int)) { return reinterpret_cast<void*>(Routine); }

std::vector<std::uint8_t> BytesAt(const void* Address, std::size_t Size) {
  const auto* p = static_cast<const std::uint8_t*>(Address);
  return {p, p + Size};
}

TEST(CodePatch, APatchedRoutineRunsTheReplacementUntilItIsRestored) {
  if (!kX86) GTEST_SKIP() << "the jump is x86 code";
  void* target = CodeOf(&OriginalAnswer);
  const auto before = BytesAt(target, kCodePatchSize);
  const auto region = FindMemoryRegion(target);
  ASSERT_TRUE(region && region->Executable && !region->Writable);

  EXPECT_EQ(answer(3), 4);
  TCodePatch patch;
  ASSERT_TRUE(InstallCodePatch(target, CodeOf(&ReplacementAnswer), patch));
  EXPECT_EQ(patch.Target, target);
  EXPECT_EQ(std::vector<std::uint8_t>(patch.SavedBytes.begin(), patch.SavedBytes.end()), before);
  EXPECT_EQ(answer(3), 300);
  const auto patched = FindMemoryRegion(target);
  ASSERT_TRUE(patched);
  EXPECT_FALSE(patched->Writable) << "the code page got its protection back";
  EXPECT_TRUE(patched->Executable);

  RestoreCodePatch(patch);
  EXPECT_EQ(answer(3), 4);
  EXPECT_EQ(BytesAt(target, kCodePatchSize), before);
}

TEST(CodePatch, TheJumpIsTheOpcodeAndTheDisplacementFromItsEnd) {
  if (!kX86) GTEST_SKIP() << "the jump is x86 code";
  std::vector<std::uint8_t> buffer(64, 0x90);
  struct Case {
    const char* name;
    std::size_t target, replacement;
    std::array<std::uint8_t, 5> jump;
  };
  const Case cases[] = {
      {"backwards", 40, 8, {0xE9, 0xDB, 0xFF, 0xFF, 0xFF}},  // 8 - 40 - 5 = -37
      {"forwards", 8, 40, {0xE9, 0x1B, 0x00, 0x00, 0x00}},   // 40 - 8 - 5 = 27
      {"onto its own end", 20, 25, {0xE9, 0x00, 0x00, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::uint8_t* target = buffer.data() + c.target;
    const std::uint8_t* replacement = buffer.data() + c.replacement;
    EXPECT_EQ(JumpOffset(target, replacement),
              static_cast<std::int32_t>(c.replacement) - static_cast<std::int32_t>(c.target) - 5);
    TCodePatch patch;
    ASSERT_TRUE(InstallCodePatch(target, replacement, patch));
    EXPECT_EQ(BytesAt(target, 5), std::vector<std::uint8_t>(c.jump.begin(), c.jump.end()));
    EXPECT_EQ(target[5], 0x90) << "no byte beyond the jump";
    RestoreCodePatch(patch);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(64, 0x90));
  }
}

TEST(CodePatch, RefusedPatchesWriteNothingAndRestoreNothing) {
  std::vector<std::uint8_t> buffer(16, 0x90);
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  // The page above null: the kernel never maps it (mmap_min_addr), whereas a
  // page unmapped here could be taken again by the next allocation.
  void* hole = reinterpret_cast<void*>(static_cast<std::uintptr_t>(page));
  const auto far = reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(buffer.data()) + (3ULL << 30));

  struct Case {
    const char* name;
    void* target;
    const void* replacement;
  };
  const Case cases[] = {
      {"more than 2 GiB away", buffer.data(), far},
      {"unmapped target", hole, static_cast<std::uint8_t*>(hole) + 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TCodePatch patch;
    patch.Target = buffer.data() + 8;  // a leftover from an earlier patch
    patch.SavedBytes = {1, 2, 3, 4, 5};
    EXPECT_FALSE(InstallCodePatch(c.target, c.replacement, patch));
    EXPECT_EQ(patch.Target, nullptr);
    RestoreCodePatch(patch);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(16, 0x90));
  }
  EXPECT_FALSE(JumpReaches(buffer.data(), far));
  EXPECT_TRUE(JumpReaches(buffer.data(), buffer.data() + 8));
  EXPECT_FALSE(FindMemoryRegion(hole));
}

TEST(LookupParallel, AnswersTheOtherTablesEntryAtTheSearchedSlot) {
  int routines[8];
  const auto r = [&](int i) -> TCodeAddress { return &routines[i]; };
  // Position -1, three slots, and one entry past the end that a bounded scan
  // must not reach.
  const TCodeAddress search[] = {r(0), r(1), r(2), r(3), r(7)};
  const TCodeAddress result[] = {r(4), r(5), r(6), nullptr, r(4)};
  struct Case {
    const char* name;
    TCodeAddress routine;
    TCodeAddress expected;
  };
  const Case cases[] = {
      {"destructor entry", r(0), r(4)},
      {"a slot", r(2), r(6)},
      {"a slot the other table leaves empty", r(3), nullptr},
      {"absent", r(5), nullptr},
      {"just past the table", r(7), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LookupParallel(search + 1, result + 1, 3, c.routine), c.expected);
  }
}

}  // namespace
