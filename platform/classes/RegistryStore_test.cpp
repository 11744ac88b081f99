#include "platform/classes/RegistryStore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/classes/RegistryFormat.h"
#include "platform/classes/StoreTesting.h"
#include "platform/core/Exceptions.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;

bool SetDword(TRegistryStore& store, const std::vector<std::string>& key, const std::string& name, uint32_t value) {
  return store.Change([&](TRegKeyNode& root) {
    root.FindOrAdd(key).SetValue({name, REG_DWORD, DwordData(value)});
    return true;
  });
}

// The value, or -1 when it is missing.
int64_t Dword(TRegistryStore& store, const std::vector<std::string>& key, const std::string& name) {
  int64_t result = -1;
  store.Read([&](const TRegKeyNode& root) {
    const TRegKeyNode* node = root.Find(key);
    const TRegValue* value = node ? node->FindValue(name) : nullptr;
    if (value) result = DataDword(value->Data);
  });
  return result;
}

std::string Contents(TRegistryStore& store) {
  std::string text;
  store.Read([&](const TRegKeyNode& root) { text = KeyText(root, ""); });
  return text;
}

TEST(RegistryStoreTest, MissingFileIsAnEmptyStoreAndFirstChangeCreatesItWithFolder) {
  TTestFolder folder;
  TRegistryStore store(folder.Path("config/kestova/registry"));
  EXPECT_EQ(Contents(store), "");
  EXPECT_EQ(store.LoadError(), "");
  ASSERT_TRUE(SetDword(store, {"Software"}, "Count", 3));
  EXPECT_THAT(FileText(store.FileName()), HasSubstr("[Software]\n\"Count\"=dword:3\n"));
  // An edit that changes nothing writes nothing.
  EXPECT_FALSE(store.Change([](TRegKeyNode&) { return false; }));
}

// Two stores on one file stand for two processes: each change of one is
// seen by the other's next read, and neither overwrites the other's.
TEST(RegistryStoreTest, StoresOnOneFileSeeEachOthersChanges) {
  TTestFolder folder;
  TRegistryStore first(folder.Path("registry")), second(folder.Path("registry"));
  ASSERT_TRUE(SetDword(first, {"A"}, "x", 1));
  EXPECT_EQ(Dword(second, {"A"}, "x"), 1);
  ASSERT_TRUE(SetDword(second, {"A"}, "y", 2));
  ASSERT_TRUE(SetDword(first, {"A"}, "x", 10));
  EXPECT_EQ(Dword(first, {"A"}, "y"), 2);
  EXPECT_EQ(Dword(second, {"A"}, "x"), 10);
  EXPECT_EQ(Contents(first), Contents(second));
}

TEST(RegistryStoreTest, OneStorePerFileInTheProcess) {
  TTestFolder folder;
  TRegistryStore& store = RegistryStoreFor(folder.Path("registry"));
  EXPECT_EQ(&RegistryStoreFor(folder.Path("sub/../registry")), &store);
  EXPECT_NE(&RegistryStoreFor(folder.Path("other")), &store);
  SetRegistryFileName(folder.Path("registry"));
  EXPECT_EQ(&CurrentUserRegistry(), &store);
  SetRegistryFileName("");
}

TEST(RegistryStoreTest, DefaultFileFollowsXdgConfigHome) {
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = oldConfig ? oldConfig : "";
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  const struct {
    const char* config;  // nullptr: unset
    std::string file;
  } cases[] = {
      {"/tmp/cfg", "/tmp/cfg/kestova/registry"},
      {nullptr, home + "/.config/kestova/registry"},
      {"", home + "/.config/kestova/registry"},
      {"relative/cfg", home + "/.config/kestova/registry"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.config ? c.config : "(unset)");
    if (c.config)
      ::setenv("XDG_CONFIG_HOME", c.config, 1);
    else
      ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegistryFileName(), c.file);
  }
  SetRegistryFileName("/somewhere/registry");
  EXPECT_EQ(RegistryFileName(), "/somewhere/registry");
  SetRegistryFileName("");
  if (oldConfig)
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(RegistryStoreTest, DamagedFileGivesAnEmptyStoreAndIsKeptAsideOnTheFirstChange) {
  TTestFolder folder;
  const std::string damaged = std::string(kRegistrySignature) + "\n[Good]\n\"v\"=dword:1\n\"w\"=dword:x\n";
  SetFileText(folder.Path("registry"), damaged);
  TRegistryStore store(folder.Path("registry"));
  EXPECT_EQ(Contents(store), "");
  EXPECT_EQ(store.LoadError(),
            "Damaged registry file \"" + folder.Path("registry") + "\", line 4: a dword must be a decimal number");
  ASSERT_TRUE(SetDword(store, {"New"}, "v", 2));
  EXPECT_EQ(FileText(folder.Path("registry.damaged")), damaged);
  EXPECT_EQ(store.LoadError(), "");
  EXPECT_EQ(Dword(store, {"New"}, "v"), 2);
}

TEST(RegistryStoreTest, UnreadableOrHugeFileGivesAnEmptyStoreWithTheReason) {
  TTestFolder folder;
  ::mkdir(folder.Path("registry").c_str(), 0700);  // a folder where the file should be
  TRegistryStore store(folder.Path("registry"));
  EXPECT_EQ(Contents(store), "");
  EXPECT_THAT(store.LoadError(), StartsWith("Cannot"));
}

// A write that fails half-way (the system refuses to let the file grow)
// leaves the old file byte for byte, and the store as the file is.
TEST(RegistryStoreTest, FailedWriteKeepsTheOldFileAndTheOldContents) {
  TTestFolder folder;
  TRegistryStore store(folder.Path("registry"));
  ASSERT_TRUE(SetDword(store, {"Software"}, "Kept", 1));
  const std::string before = FileText(store.FileName());
  {
    TFileSizeLimit limit(before.size() + 100);
    EXPECT_THROW(store.Change([](TRegKeyNode& root) {
      root.FindOrAdd({"Software"}).SetValue({"Big", REG_BINARY, std::string(5000, 'x')});
      return true;
    }),
                 EInOutError);
  }
  EXPECT_EQ(FileText(store.FileName()), before);
  EXPECT_EQ(Dword(store, {"Software"}, "Kept"), 1);
  store.Read([](const TRegKeyNode& root) { EXPECT_EQ(root.Find({"Software"})->FindValue("Big"), nullptr); });
  // No half-written file is left behind.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) names.push_back(entry.path().filename());
  EXPECT_THAT(names, UnorderedElementsAre("registry", "registry.lock"));
}

}  // namespace
