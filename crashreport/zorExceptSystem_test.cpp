#include "crashreport/zorExceptSystem.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/classes/Registry.h"
#include "platform/classes/RegistryStore.h"
#include "platform/graphics/Clipboard.h"

namespace zor {
namespace {

namespace fs = std::filesystem;

class ZorRegistryTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zorregXXXXXX";
    root_ = mkdtemp(pattern);
    old_ = RegistryFileName();
    SetRegistryFileName(root_ + "/registry");
  }
  void TearDown() override {
    SetRegistryFileName(old_);
    fs::remove_all(root_);
  }
  std::string root_, old_;
};

TEST_F(ZorRegistryTexts, ValuesReadAsTextOrAsTheirBytes) {
  const std::string key = "Software\\Kestova\\Contact";
  {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(key, true));
    r.WriteInteger("Count", 0x01020304);
    r.WriteString("Cut", std::string("ab\0cd", 5));
    const char bytes[] = {'x', '\0', 'y'};
    r.WriteBinaryData("Raw", bytes, 3);
  }
  EXPECT_TRUE(RegistryWriteText(HKEY_CURRENT_USER, key, "Name", "Ada"));
  struct Row {
    uintptr_t root;
    const char* path;
    const char* name;
    std::string text;
  };
  const Row rows[] = {
      {HKEY_CURRENT_USER, key.c_str(), "Name", "Ada"},
      {HKEY_CURRENT_USER, key.c_str(), "Count", std::string("\x04\x03\x02\x01", 4)},
      {HKEY_CURRENT_USER, key.c_str(), "Cut", "ab"},
      {HKEY_CURRENT_USER, key.c_str(), "Raw", std::string("x\0y", 3)},
      {HKEY_CURRENT_USER, key.c_str(), "Missing", ""},
      {HKEY_CURRENT_USER, "Software\\Nowhere", "Name", ""},
      {HKEY_LOCAL_MACHINE, key.c_str(), "Name", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(RegistryReadText(row.root, row.path, row.name), row.text) << row.name;
  EXPECT_TRUE(RegistryDeleteValue(HKEY_CURRENT_USER, key, "Name"));
  EXPECT_FALSE(RegistryDeleteValue(HKEY_CURRENT_USER, key, "Name"));
  EXPECT_EQ(RegistryReadText(HKEY_CURRENT_USER, key, "Name"), "");
  EXPECT_FALSE(RegistryWriteText(HKEY_LOCAL_MACHINE, key, "Name", "x"));
}

TEST(ZorClipboard, TextGoesThereFromTheGuiThreadAndFromOthers) {
  TestClipboard clipboard;
  Clipboard* previous = SetReporterClipboard(&clipboard);
  EXPECT_TRUE(CopyTextToClipboard("first"));
  EXPECT_EQ(clipboard.HeldText(), "first");
  bool copied = false;
  std::thread worker([&] { copied = CopyTextToClipboard("from a worker"); });
  // The worker waits for the GUI thread's event loop.
  while (clipboard.SetCount() < 2) QCoreApplication::processEvents();
  worker.join();
  EXPECT_TRUE(copied);
  EXPECT_EQ(clipboard.HeldText(), "from a worker");
  SetReporterClipboard(previous);
}

}  // namespace
}  // namespace zor
