// Modules of the process, guarded reads, the version text and the settings
// of an address or a caller, with the test executable and the test library
// as two modules.
#include "crashreport/zorExceptModules.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorExceptTwoModules.h"

namespace {

using namespace zor;
using zortest::kLibraryName;

const char* gAppVersion = "7.1 (test build)";

// A page that was mapped and is not any more.
void* UnmappedPage(const void* near) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  for (uintptr_t step = 1; step < 64; ++step) {
    const uintptr_t want = (reinterpret_cast<uintptr_t>(near) + step * 0x1000000) & ~(page - 1);
    void* p = mmap(reinterpret_cast<void*>(want), page, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    if (p == MAP_FAILED) continue;
    munmap(p, page);
    if (p == reinterpret_cast<void*>(want)) return p;
  }
  return nullptr;
}

TEST(ZorSafeRead, ReadsMappedMemoryAndFailsElsewhere) {
  const char text[] = "readable";
  void* gone = UnmappedPage(text);
  ASSERT_NE(gone, nullptr);
  struct Row {
    const char* name;
    const void* source;
    size_t count;
    bool ok;
  } rows[] = {
      {"mapped", text, sizeof text, true},
      {"nothing to read", text, 0, true},
      {"null source", nullptr, 4, false},
      {"unmapped", gone, 4, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    char out[sizeof text] = {};
    EXPECT_EQ(SafeRead(r.source, out, r.count), r.ok);
    if (r.ok) {
      EXPECT_EQ(std::memcmp(out, r.source, r.count), 0);
    }
  }
}

TEST(ZorModules, TheLoaderListStartsWithTheExecutableAndHoldsTheLibrary) {
  const std::vector<ZorModule> modules = LoadedModules();
  ASSERT_FALSE(modules.empty());
  EXPECT_EQ(modules.front().name, ExecutableFileName());
  EXPECT_TRUE(SameModule(modules.front(), ExecutableModule()));
  EXPECT_TRUE(SameModule(ReporterModule(), ExecutableModule()));  // linked into the executable
  const std::optional<ZorModule> lib = ModuleOfAddress(reinterpret_cast<const void*>(&zortest_module_function));
  ASSERT_TRUE(lib);
  EXPECT_EQ(lib->name, kLibraryName);
  EXPECT_EQ(ModuleFileName(*lib), kLibraryName);
  int listed = 0;
  for (const ZorModule& m : modules) listed += m.name == kLibraryName && m.address == lib->address;
  EXPECT_EQ(listed, 1);
  EXPECT_FALSE(ModuleOfAddress(UnmappedPage(lib->address)));
}

using ZorModuleSettings = zortest::TwoModules;

TEST_F(ZorModuleSettings, AnAddressInTheLibraryGivesItsSettingsFallingBackToTheMainOnes) {
  InjectMain({{"MailAddr", std::string("main@x")}});
  InjectLibrary({{"MailAddr", std::string("lib@x")}, {"TitleBar", std::string("%modname%")}});
  const auto lib = SettingsForAddress(reinterpret_cast<const void*>(&zortest_module_function));
  EXPECT_EQ(lib->ModuleHandle().name, kLibraryName);
  EXPECT_EQ(lib->MailAddr(), "lib@x");
  EXPECT_TRUE(lib->AutoSend());  // missing there: the main settings' value
  EXPECT_EQ(lib->TitleBar(), kLibraryName);
  EXPECT_EQ(lib->SmtpPort(), 25u);  // missing in both: the main settings' default
  // The reporter's own module is not asked by address: the process settings answer.
  const auto own = SettingsForAddress(reinterpret_cast<const void*>(&gAppVersion));
  EXPECT_EQ(own->ModuleHandle().name, ExecutableFileName());
  EXPECT_EQ(own->MailAddr(), "main@x");
}

TEST_F(ZorModuleSettings, VersionVarReadsTheTextItsOffsetPointsTo) {
  const ZorModule lib = Library();
  const uintptr_t libBase = reinterpret_cast<uintptr_t>(lib.address);
  char* gone = static_cast<char*>(UnmappedPage(lib.address));
  ASSERT_NE(gone, nullptr);
  zortest_module_bad_version = gone;
  struct Row {
    const char* name;
    uint32_t offset;
    std::string expected;
  } rows[] = {
      {"the library's variable", zortest::OffsetInModule(&zortest_module_version), "4.2.0-test"},
      {"a variable pointing at unmapped memory", zortest::OffsetInModule(&zortest_module_bad_version), ""},
      {"an offset of unmapped memory", static_cast<uint32_t>(reinterpret_cast<uintptr_t>(gone) - libBase), ""},
      {"no variable", 0, ""},
  };
  ASSERT_LT(reinterpret_cast<uintptr_t>(gone) - libBase, uintptr_t{1} << 32);
  InjectMain({{"VersionVar", int64_t{zortest::OffsetInModule(&gAppVersion)}}});
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    InjectLibrary({{"VersionVar", int64_t{r.offset}}, {"MailSubj", std::string("%modversion% of %appversion%")}});
    const auto settings = SettingsForModule(lib);
    EXPECT_EQ(settings->VersionVar(), r.expected);
    // Without a text the library's file version is used (its package note).
    EXPECT_EQ(settings->MailSubj(), (r.expected.empty() ? "3.1.4.1" : r.expected) + " of 7.1 (test build)");
  }
  zortest_module_bad_version = nullptr;
  // An offset is relative to its own module: a library without the key has
  // no version text, even when the main settings' offset would point at one
  // from the library's base.
  InjectMain({{"VersionVar", int64_t{zortest::OffsetInModule(&zortest_module_version)}}});
  InjectLibrary({});
  EXPECT_EQ(SettingsForModule(lib)->VersionVar(), "");
}

TEST_F(ZorModuleSettings, AVersionTextIsReadUpTo4KiB) {
  static std::string longText(5000, 'v');
  static const char* longVersion = longText.c_str();
  EXPECT_EQ(ReadVersionText(ExecutableModule(), zortest::OffsetInModule(&longVersion)), std::string(4096, 'v'));
}

std::string gCallerModule;

__attribute__((noinline)) void* RecordCallerModule(int level) {
  const std::shared_ptr<IZESettings> s = SettingsForCallerLevel(level);
  gCallerModule = s->ModuleHandle().name;
  asm volatile("" ::: "memory");
  return nullptr;
}

__attribute__((noinline)) std::string CallerModuleThroughLibrary(int level) {
  zortest_module_call(&RecordCallerModule, level);
  asm volatile("" ::: "memory");
  return gCallerModule;
}

TEST_F(ZorModuleSettings, ACallerLevelFindsTheModuleThatManyFramesUp) {
  InjectMain();
  InjectLibrary({});
  // This test calls the library, which calls back into the executable, which
  // asks for the settings of its caller at some level.
  const struct {
    int level;
    std::string module;
  } rows[] = {{0, ExecutableFileName()}, {1, kLibraryName}, {2, ExecutableFileName()}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.level);
    EXPECT_EQ(CallerModuleThroughLibrary(r.level), r.module);
  }
}

}  // namespace
