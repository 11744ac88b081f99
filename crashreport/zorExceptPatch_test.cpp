// Code patches on code in a page of its own, import-slot redirection in a
// test library, hooks and relative-call rewriting.
#include "crashreport/zorExceptPatch.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "crashreport/zorExceptGot_p.h"
#include "crashreport/zorExceptMessages.h"
#include "crashreport/zorExceptModules.h"

extern "C" int ZorPatchLibPid();
extern "C" int ZorPatchLibCallsHelper();
extern "C" const void* ZorPatchLibHelper();
extern "C" const void* ZorPatchLibOtherHelper();

namespace zor {
namespace {

using Fn = int (*)();

int FakePid() { return 4242; }

// The permissions /proc/self/maps shows for the page of `address`.
std::string PagePermissions(const void* address) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  const auto at = reinterpret_cast<uintptr_t>(address);
  while (std::getline(maps, line)) {
    unsigned long from = 0, to = 0;
    char perms[8] = {};
    if (std::sscanf(line.c_str(), "%lx-%lx %7s", &from, &to, perms) == 3 && at >= from && at < to) return perms;
  }
  return "";
}

// Functions "return 1" (A), "return 2" (B), "call A; ret" (D) and an import
// stub jumping through a cell to A, in a read-and-execute page.
class CodeFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    PatchList().clear();
    page_ = static_cast<uint8_t*>(mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(page_, MAP_FAILED);
    Put(0, {0xB8, 1, 0, 0, 0, 0xC3});
    Put(64, {0xB8, 2, 0, 0, 0, 0xC3});
    Put(256, {0xE8, 0, 0, 0, 0, 0xC3});
    const int32_t toA = -261;  // A - (256 + 5)
    std::memcpy(page_ + 257, &toA, 4);
    Put(128, {0xF3, 0x0F, 0x1E, 0xFA, 0xF2, 0xFF, 0x25, 53, 0, 0, 0});  // endbr64; bnd jmp [rip+54]: cell at 192
    void* a = page_;
    std::memcpy(page_ + 192, &a, sizeof a);
    ASSERT_EQ(mprotect(page_, 4096, PROT_READ | PROT_EXEC), 0);
  }
  void TearDown() override {
    PatchList().clear();
    munmap(page_, 4096);
  }
  void Put(size_t offset, const std::vector<uint8_t>& bytes) {
    std::memcpy(page_ + offset, bytes.data(), bytes.size());
  }
  void OtherPartyWrites(size_t offset, const std::vector<uint8_t>& bytes) {
    mprotect(page_, 4096, PROT_READ | PROT_WRITE);
    Put(offset, bytes);
    mprotect(page_, 4096, PROT_READ | PROT_EXEC);
  }
  Fn At(size_t offset) const { return reinterpret_cast<Fn>(page_ + offset); }
  uint8_t* page_ = nullptr;
};

TEST_F(CodeFixture, PatchJumpRedirectsAndUndoRestores) {
  EXPECT_EQ(At(0)(), 1);
  ASSERT_TRUE(PatchJump(page_, page_ + 64));
  EXPECT_EQ(At(0)(), 2);
  EXPECT_EQ(At(256)(), 2);  // callers of A arrive at B
  EXPECT_EQ(PagePermissions(page_), "r-xp");
  ASSERT_EQ(PatchList().size(), 1u);
  EXPECT_EQ(PatchList()[0].originalBytes, std::string("\xB8\x01\x00\x00\x00", 5));
  UndoCodePatches();
  EXPECT_EQ(At(0)(), 1);
  EXPECT_EQ(PagePermissions(page_), "r-xp");
}

TEST_F(CodeFixture, UndoKeepsWhatOthersWroteAndEndsAtTheFirstOriginal) {
  ASSERT_TRUE(PatchJump(page_, page_ + 64));
  OtherPartyWrites(0, {0xB8, 3, 0, 0, 0, 0xC3});
  UndoCodePatches();
  EXPECT_EQ(At(0)(), 3);
  PatchList().clear();
  // Two own patches of one place: undo goes back to the bytes before both.
  OtherPartyWrites(0, {0xB8, 1, 0, 0, 0, 0xC3});
  ASSERT_TRUE(PatchJump(page_, page_ + 64));
  ASSERT_TRUE(PatchDword(page_ + 1, 0x12345678));
  UndoCodePatches();
  EXPECT_EQ(At(0)(), 1);
}

TEST_F(CodeFixture, SameBytesUnreachableOrForbiddenPlacesAddNoEntry) {
  const uint8_t same[] = {0xB8, 1, 0, 0, 0, 0xC3};
  EXPECT_FALSE(AddCodePatch(page_, same, sizeof same));
  // 3 GiB away: beyond a rel32.
  EXPECT_FALSE(PatchJump(page_, reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(page_) + (3ull << 30))));
  EXPECT_FALSE(
      PatchCallTarget(page_ + 256, reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(page_) - (3ull << 30))));
  void* gone = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  munmap(gone, 4096);
  EXPECT_FALSE(PatchDword(gone, 1));
  // A shared mapping of a file opened read-only can never be made writable.
  char path[] = "/tmp/zorpatchXXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, same, sizeof same), static_cast<ssize_t>(sizeof same));
  close(fd);
  const int ro = open(path, O_RDONLY);
  void* shared = mmap(nullptr, 4096, PROT_READ, MAP_SHARED, ro, 0);
  close(ro);
  unlink(path);
  ASSERT_NE(shared, MAP_FAILED);
  EXPECT_FALSE(PatchDword(shared, 7));
  EXPECT_EQ(std::memcmp(shared, same, sizeof same), 0);
  munmap(shared, 4096);
  EXPECT_TRUE(PatchList().empty());
  EXPECT_EQ(At(0)(), 1);
}

TEST_F(CodeFixture, AJumpPatchOnAnImportStubPatchesTheFunctionBehindIt) {
  const std::vector<uint8_t> stub(page_ + 128, page_ + 139);
  ASSERT_TRUE(PatchJump(page_ + 128, page_ + 64));
  EXPECT_EQ(std::vector<uint8_t>(page_ + 128, page_ + 139), stub);
  EXPECT_EQ(At(0)(), 2);
  EXPECT_EQ(At(128)(), 2);
  ASSERT_TRUE(PatchCallTarget(page_ + 256, page_ + 64));
  UndoCodePatches();
  EXPECT_EQ(At(256)(), 1);
}

void* LibcGetpid() {
  void* libc = dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD);
  void* f = dlsym(libc, "getpid");
  dlclose(libc);
  return f;
}

const void* SlotOf(const void* moduleAddress, const char* name) {
  struct Search {
    uintptr_t address;
    const char* name;
    uintptr_t slot;
  } s{reinterpret_cast<uintptr_t>(moduleAddress), name, 0};
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto* s = static_cast<Search*>(data);
        for (const ImportSlot& slot : ModuleImportSlots(*info))
          if (slot.name == s->name && reinterpret_cast<uintptr_t>(info->dlpi_addr) <= s->address &&
              s->address - info->dlpi_addr < 64u << 20)
            s->slot = slot.slot;
        return 0;
      },
      &s);
  return reinterpret_cast<const void*>(s.slot);
}

TEST(ZorImports, GotRedirectionOfALibrarysCallWorksAndUndoes) {
  const int pid = ZorPatchLibPid();  // binds the slot
  const ZorModule lib{"libzorpatch_testlib.so", reinterpret_cast<const void*>(&ZorPatchLibPid)};
  const void* slot = SlotOf(lib.address, "getpid");
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(ImportSlotName(reinterpret_cast<uintptr_t>(slot)), "getpid");
  const std::string protection = PagePermissions(slot);
  RedirectImports(lib, LibcGetpid(), reinterpret_cast<const void*>(&FakePid));
  EXPECT_EQ(ZorPatchLibPid(), 4242);
  EXPECT_EQ(getpid(), pid);  // other modules keep theirs
  EXPECT_EQ(PagePermissions(slot), protection);
  RedirectImports(lib, reinterpret_cast<const void*>(&FakePid), LibcGetpid());
  EXPECT_EQ(ZorPatchLibPid(), pid);
  RedirectImportsAll(LoadedModules(), LibcGetpid(), reinterpret_cast<const void*>(&FakePid));
  EXPECT_EQ(ZorPatchLibPid(), 4242);
  EXPECT_EQ(getpid(), 4242);
  RedirectImportsAll(LoadedModules(), reinterpret_cast<const void*>(&FakePid), LibcGetpid());
  EXPECT_EQ(getpid(), pid);
  EXPECT_FALSE(DebuggerPresent());
}

// The warning shows only for the reporter's module and only while a tracer
// is attached: a child made traced by its parent reports what it saw.
TEST(ZorImports, ImportTableWarningNeedsTheReportersModuleAndADebugger) {
  std::string seen;
  const ReporterMessageSink old = SetReporterMessageSink(
      [&](std::string_view caption, std::string_view text) { seen += std::string(caption) + "|" + std::string(text); });
  ImportTableWarning(ReporterModule());
  EXPECT_EQ(seen, "");  // no debugger
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const pid_t child = fork();
  if (child == 0) {
    ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    std::string report = DebuggerPresent() ? "traced;" : "untraced;";
    ImportTableWarning(ZorModule{"libzorpatch_testlib.so", reinterpret_cast<const void*>(&ZorPatchLibPid)});
    report += seen + ";";
    ImportTableWarning(ReporterModule());
    report += seen;
    (void)!write(pipeEnds[1], report.data(), report.size());
    _exit(0);
  }
  close(pipeEnds[1]);
  std::string report;
  char buffer[512];
  ssize_t n = 0;
  while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) report.append(buffer, static_cast<size_t>(n));
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  SetReporterMessageSink(old);
  EXPECT_EQ(report, "traced;;" + ReporterModule().name + "|" + kImportTableWarningText);
}

TEST(ZorImports, HookApiRedirectsTheReportersModuleAndItsOwnStub) {
  const int pid = getpid();
  ZorPatchLibPid();
  // An own import stub: jmp [rip + 0] with the cell right after it.
  auto* stub = static_cast<uint8_t*>(mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  const uint8_t jump[] = {0xFF, 0x25, 0, 0, 0, 0};
  std::memcpy(stub, jump, sizeof jump);
  void* real = LibcGetpid();
  std::memcpy(stub + 6, &real, sizeof real);
  mprotect(stub, 4096, PROT_READ | PROT_EXEC);
  void* next = nullptr;
  ASSERT_TRUE(HookApi("libc.so.6", "getpid", stub, reinterpret_cast<void*>(&FakePid), next));
  EXPECT_EQ(next, real);
  EXPECT_EQ(getpid(), 4242);         // the reporter's module is this program
  EXPECT_EQ(ZorPatchLibPid(), pid);  // a module the reporter does not serve
  EXPECT_EQ(reinterpret_cast<Fn>(stub)(), 4242);
  EXPECT_FALSE(HookApi("libc.so.6", "getpid", stub, reinterpret_cast<void*>(&FakePid), next));
  UnhookApi(stub, next, reinterpret_cast<void*>(&FakePid));
  EXPECT_EQ(next, nullptr);
  EXPECT_EQ(getpid(), pid);
  EXPECT_EQ(reinterpret_cast<Fn>(stub)(), pid);
  EXPECT_FALSE(HookApi("libc.so.6", "no_such_function", nullptr, reinterpret_cast<void*>(&FakePid), next));
  munmap(stub, 4096);
}

TEST(ZorImports, RelativeCallIsRewrittenInLongModeCode) {
  auto* function = reinterpret_cast<void*>(&ZorPatchLibCallsHelper);
  EXPECT_EQ(ZorPatchLibCallsHelper(), 11);
  ASSERT_TRUE(RedirectRelativeCall(function, ZorPatchLibHelper(), ZorPatchLibOtherHelper()));
  EXPECT_EQ(ZorPatchLibCallsHelper(), 21);
  EXPECT_FALSE(RedirectRelativeCall(function, ZorPatchLibHelper(), ZorPatchLibOtherHelper()));
  ASSERT_TRUE(RedirectRelativeCall(function, ZorPatchLibOtherHelper(), ZorPatchLibHelper()));
  EXPECT_EQ(ZorPatchLibCallsHelper(), 11);
  EXPECT_TRUE(PatchList().empty());
}

}  // namespace
}  // namespace zor
