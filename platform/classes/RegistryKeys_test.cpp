// TRegistry's key paths, read-only keys and hives, and failed writes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/classes/PlatformId.h"
#include "platform/classes/Registry.h"
#include "platform/classes/RegistryStore.h"
#include "platform/classes/StoreTesting.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StringList.h"

namespace {

using ::testing::StartsWith;
using ::testing::ThrowsMessage;

class RegistryKeysTest : public TRegistryFileTest {
 protected:
  void SetUp() override {
    TRegistryFileTest::SetUp();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Vendor\\Product", true));
  }
};

// "\" at the start means from the root; other paths go below the open key.
TEST_F(RegistryKeysTest, OpenKeyFollowsRelativeAndAbsolutePaths) {
  const struct {
    const char* first;  // opened before, "" for none
    const char* key;
    bool opens;
    const char* path;  // CurrentPath afterwards
  } cases[] = {
      {"", "Software", true, "Software"},
      {"", "\\Software\\Vendor", true, "Software\\Vendor"},
      {"", "Software\\", true, "Software\\"},
      {"Software", "Vendor\\Product", true, "Software\\Vendor\\Product"},
      {"Software", "\\Software\\Vendor", true, "Software\\Vendor"},
      {"Software", "", true, "Software"},
      {"Software", "Product", false, "Software"},
      {"Software", "Vendor\\\\Product", false, "Software"},
      {"", "\\\\Software", false, ""},
      {"", "Soft\tware", false, ""},
      {"", "", true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " then " + c.key);
    TRegistry reg;
    if (*c.first) {
      ASSERT_TRUE(reg.OpenKey(c.first, false));
    }
    EXPECT_EQ(reg.OpenKey(c.key, false), c.opens);
    EXPECT_EQ(reg.CurrentPath(), c.path);
    EXPECT_EQ(reg.CurrentKey() != 0, c.opens || *c.first);
  }
}

TEST_F(RegistryKeysTest, CreatingAddsTheMissingKeysOnThePath) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software", false));
  EXPECT_TRUE(reg.CreateKey("New\\Deeper"));
  EXPECT_EQ(reg.CurrentPath(), "Software");
  EXPECT_TRUE(reg.KeyExists("\\Software\\New\\Deeper"));
  EXPECT_TRUE(reg.HasSubKeys());
  EXPECT_TRUE(reg.OpenKey("\\A\\B\\C", true));
  EXPECT_TRUE(reg.KeyExists("\\A\\B"));
  EXPECT_THAT([&] { reg.CreateKey("Bad\\\\Name"); },
              ThrowsMessage<ERegistryException>("Failed to create key Bad\\\\Name"));
  TRegKeyInfo info;
  ASSERT_TRUE(reg.OpenKey("\\Software", false));
  ASSERT_TRUE(reg.GetKeyInfo(info));
  EXPECT_EQ(info.NumSubKeys, 2);
  EXPECT_EQ(info.MaxSubKeyLen, 6);
}

TEST_F(RegistryKeysTest, ReadOnlyKeysAndTheOtherHivesRefuseWrites) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Vendor"));
  EXPECT_THAT([&] { reg.WriteString("Name", "x"); },
              ThrowsMessage<ERegistryException>("Failed to set data for 'Name'"));
  EXPECT_FALSE(reg.DeleteValue("Name"));
  EXPECT_FALSE(reg.OpenKey("Added", true));
  EXPECT_FALSE(reg.DeleteKey("Product"));
  EXPECT_TRUE(reg.OpenKey("Product", false));  // below a read-only key, an existing key opens for writing
  reg.WriteString("Name", "x");

  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_USERS}) {
    SCOPED_TRACE(root);
    TRegistry hive;
    hive.SetRootKey(root);
    EXPECT_FALSE(hive.KeyExists("Software"));
    EXPECT_FALSE(hive.OpenKey("Software\\Vendor", true));
    EXPECT_FALSE(hive.OpenKeyReadOnly("TypeLib\\{00000000-0000-0000-0000-000000000000}"));
    EXPECT_THAT([&] { hive.CreateKey("Software"); },
                ThrowsMessage<ERegistryException>("Failed to create key Software"));
    ASSERT_TRUE(hive.OpenKey("", false));  // the root itself exists, empty
    EXPECT_EQ(hive.ReadString("RegisteredOwner"), "");
    EXPECT_FALSE(hive.HasSubKeys());
    EXPECT_THAT([&] { hive.WriteInteger("x", 1); }, ThrowsMessage<ERegistryException>("Failed to set data for 'x'"));
  }
}

TEST_F(RegistryKeysTest, ChangingTheRootClosesTheKey) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software", false));
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(reg.CurrentKey(), 0u);
  EXPECT_EQ(reg.CurrentPath(), "");
  EXPECT_THAT([&] { reg.ReadInteger("x"); }, ThrowsMessage<ERegistryException>("Failed to get data for 'x'"));
}

// A write the file does not take raises the library's text with the reason
// on a second line; file and memory keep the old value.
TEST_F(RegistryKeysTest, AFailedWriteRaisesAndKeepsTheOldValue) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software", false));
  reg.WriteString("Kept", "old");
  const std::string before = FileText(RegistryFile());
  {
    TFileSizeLimit limit(before.size() + 10);
    EXPECT_THAT([&] { reg.WriteString("Kept", std::string(1000, 'n')); },
                ThrowsMessage<ERegistryException>(StartsWith("Failed to set data for 'Kept'\nCannot write file")));
    EXPECT_FALSE(reg.OpenKey("Vendor\\" + std::string(200, 'k'), true));
  }
  EXPECT_EQ(reg.ReadString("Kept"), "old");
  EXPECT_TRUE(reg.KeyExists("Vendor"));
  EXPECT_EQ(FileText(RegistryFile()), before);
}

TEST(PlatformIdTest, DefaultsToNtAndCanBeSwitched) {
  EXPECT_EQ(Win32Platform(), VER_PLATFORM_WIN32_NT);
  SetWin32Platform(VER_PLATFORM_WIN32_WINDOWS);
  EXPECT_EQ(Win32Platform(), 1);
  SetWin32Platform(VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(Win32Platform(), 2);
}

}  // namespace
