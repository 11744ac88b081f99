#include "crashreport/zorToolsImage.h"

#include <gtest/gtest.h>

#include <cstring>

#include "crashreport/zorExceptKeys.h"
#include "crashreport/zorExceptModules.h"
#include "crashreport/zorExceptTestModule.h"
#include "platform/core/ResourceStore.h"

namespace zor {
namespace {

ZorModule Library() { return *ModuleOfAddress(reinterpret_cast<const void*>(&zortest_module_function)); }

TEST(ZorModuleImages, ExportsAreFoundByNameAndByAddress) {
  const ZorModule lib = Library();
  const auto* function = reinterpret_cast<const void*>(&zortest_module_function);
  struct Row {
    const char* name;
    const void* address;
  };
  const Row rows[] = {
      {"zortest_module_function", function},
      {"zortest_module_version", &zortest_module_version},
      {"zortest_module_Function", nullptr},
      {"", nullptr},
  };
  for (const Row& row : rows) EXPECT_EQ(ProcAddressByName(lib, row.name), row.address) << row.name;
  EXPECT_EQ(ProcNameOf(lib, function, false), "zortest_module_function");
  EXPECT_EQ(ProcNameOf(lib, static_cast<const char*>(function) + 1, false), "");
  EXPECT_EQ(ProcAddressByName(ZorModule{"gone", nullptr}, "x"), nullptr);
}

TEST(ZorModuleImages, FileOffsetsHoldTheLoadedBytes) {
  const ZorModule lib = Library();
  const MappedFile file(ModuleFilePath(lib));
  ASSERT_FALSE(file.Bytes().empty());
  const uintptr_t base = *ModuleLoadBase(lib);
  const auto* function = reinterpret_cast<const uint8_t*>(&zortest_module_function);
  const auto offset = RvaToFileOffset(file.Bytes(), reinterpret_cast<uintptr_t>(function) - base);
  ASSERT_TRUE(offset.has_value());
  ASSERT_LT(*offset + 16, file.Bytes().size());
  EXPECT_EQ(std::memcmp(file.Bytes().data() + *offset, function, 16), 0);
  EXPECT_FALSE(RvaToFileOffset(file.Bytes(), uint64_t{1} << 60).has_value());
  EXPECT_TRUE(ElfExports({}).empty());
  EXPECT_TRUE(MappedFile("/nonexistent").Bytes().empty());
}

TEST(ZorModuleImages, ResourceTextsComeFromTheStore) {
  const ZorModule lib = Library();
  ResourceStore::Instance().Inject(lib.name, "ZOR", "NOTE", std::string("a\0b", 3));
  EXPECT_EQ(ModuleResourceText(lib, "zor", "note"), std::string("a\0b", 3));
  EXPECT_EQ(ModuleResourceText(lib, "ZOR", "OTHER"), "");
  ResourceStore::Instance().RemoveInjected(lib.name, "ZOR", "NOTE");
}

}  // namespace
}  // namespace zor
