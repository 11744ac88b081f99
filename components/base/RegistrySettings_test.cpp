#include "components/base/RegistrySettings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/PlatformId.h"
#include "platform/classes/StoreTesting.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StringList.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

const std::string kRoot = std::string("\\") + kDefaultSettingsRoot;

class RegistrySettingsTest : public TRegistryFileTest {
 protected:
  void TearDown() override {
    SetWin32Platform(VER_PLATFORM_WIN32_NT);
    SetSettingsRoot(kDefaultSettingsRoot);
    FreeSharedRegistry();
    TRegistryFileTest::TearDown();
  }
  // The key below the settings root, through a registry object of its own.
  static std::unique_ptr<TRegistry> Key(const std::string& Sub) {
    auto reg = std::make_unique<TRegistry>();
    EXPECT_TRUE(reg->OpenKey(kRoot + (Sub.empty() ? "" : "\\" + Sub), true));
    return reg;
  }
  static std::string Binary(TRegistry& Reg, const std::string& Name) {
    std::string bytes(static_cast<size_t>(std::max(Reg.GetDataSize(Name), 0)), '\0');
    Reg.ReadBinaryData(Name, bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
  }
};

std::vector<char> Pattern(int Count) {
  std::vector<char> bytes(static_cast<size_t>(Count));
  for (int i = 0; i < Count; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

TEST_F(RegistrySettingsTest, PathsSplitBelowTheRoot) {
  const struct {
    std::string root, path, key, name;
  } cases[] = {
      {kDefaultSettingsRoot, "CodeEdit\\Options", std::string(kDefaultSettingsRoot) + "\\CodeEdit", "Options"},
      {kDefaultSettingsRoot, "Options", kDefaultSettingsRoot, "Options"},
      {"Software\\Kestova\\", "Forms\\Main\\WinPos", "Software\\Kestova\\Forms\\Main", "WinPos"},
      {"Software", "Forms\\Main\\", "Software\\Forms\\Main", ""},
      {"Software", "Forms\\\\Pos", "Software\\Forms", "Pos"},
      {"", "Options", "", "Options"},
      {"", "A\\B", "A", "B"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.root + " + " + c.path);
    SetSettingsRoot(c.root);
    const TSettingsPath split = SplitSettingsPath(c.path);
    EXPECT_EQ(split.Key, c.key);
    EXPECT_EQ(split.ValueName, c.name);
  }
}

// 20,000 bytes: one value on the NT platform, a header and three pieces on
// the other; both read back whole, and a short buffer gets what fits.
TEST_F(RegistrySettingsTest, LongValuesAreOneValueOnNTAndAHeaderWithPiecesElsewhere) {
  const std::vector<char> data = Pattern(20000);
  const struct {
    int platform;
    int valueSize;
    std::vector<int> pieces;
  } cases[] = {
      {VER_PLATFORM_WIN32_NT, 20000, {}},
      {VER_PLATFORM_WIN32_WINDOWS, 36, {8192, 8192, 3616}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.platform);
    SetWin32Platform(c.platform);
    WriteRegLongBinary("Long\\Data", data.data(), 20000);
    auto reg = Key("Long");
    EXPECT_EQ(reg->GetDataSize("Data"), c.valueSize);
    if (!c.pieces.empty()) EXPECT_EQ(Binary(*reg, "Data"), "__Long RegKey__0000020000 0000008192");
    for (size_t i = 0; i < c.pieces.size(); ++i)
      EXPECT_EQ(reg->GetDataSize("Data__" + std::to_string(i)), c.pieces[i]) << i;
    EXPECT_FALSE(reg->ValueExists("Data__" + std::to_string(c.pieces.size())));
    EXPECT_EQ(GetRegLongDataSize("Long\\Data"), 20000);

    std::vector<char> whole(20000);
    EXPECT_EQ(ReadRegLongBinary("Long\\Data", whole.data(), 20000), 20000);
    EXPECT_EQ(whole, data);
    reg->DeleteKey(kRoot + "\\Long");
  }

  // A buffer on the heap, so that a byte written past it is an ASan report;
  // 8200 bytes end inside the second piece.
  SetWin32Platform(VER_PLATFORM_WIN32_WINDOWS);
  WriteRegLongBinary("Long\\Data", data.data(), 20000);
  for (const int size : {100, 8200}) {
    SCOPED_TRACE(size);
    std::vector<char> buffer(static_cast<size_t>(size));
    EXPECT_EQ(ReadRegLongBinary("Long\\Data", buffer.data(), size), size);
    EXPECT_EQ(buffer, std::vector<char>(data.begin(), data.begin() + size));
  }
}

TEST_F(RegistrySettingsTest, OnlyAWellFormedHeaderIsALongValue) {
  SetWin32Platform(VER_PLATFORM_WIN32_WINDOWS);
  const struct {
    std::string header;
    bool isLong;
    int total, piece;
  } cases[] = {
      {"__Long RegKey__0000000300 0000000100", true, 300, 100},
      {"__Long RegKey__0000000000 0000008192", true, 0, 8192},
      {"__Long RegKey__0000000300 0000000000", false, 0, 0},  // would read piece 0 for ever
      {"__Long RegKey__0000000300 00000000xy", false, 0, 0},  // not a number: 0
      {"__Long RegKey__-000000001 0000000100", false, 0, 0},
      {"__Long RegKey__0999999999 0000000100", false, 0, 0},  // larger than any registry file
      {"__Long RegKey__0000000300 000000010", false, 0, 0},   // 35 bytes
      {"__Long RegKey__0000000003 0000000100 and more", true, 3, 100},
      {"__long regkey__0000000300 0000000100", false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    Key("")->WriteBinaryData("Head", c.header.data(), static_cast<int>(c.header.size()));
    int total = -5, piece = -5;
    EXPECT_EQ(IsRegLongValue("Head", total, piece), c.isLong);
    EXPECT_EQ(total, c.total);
    EXPECT_EQ(piece, c.piece);
  }
  // Pieces that are missing or short end the read.
  const std::string header = "__Long RegKey__0000000300 0000000100";
  Key("")->WriteBinaryData("Head", header.data(), 36);
  Key("")->WriteBinaryData("Head__0", std::string(100, 'a').data(), 100);
  Key("")->WriteBinaryData("Head__1", std::string(40, 'b').data(), 40);
  Key("")->WriteBinaryData("Head__2", std::string(100, 'c').data(), 100);
  std::vector<char> buffer(300);
  EXPECT_EQ(ReadRegLongBinary("Head", buffer.data(), 300), 140);
  EXPECT_EQ(std::string(buffer.data(), 141), std::string(100, 'a') + std::string(40, 'b') + '\0');
  // A piece larger than the piece size is the registry object's error.
  Key("")->WriteBinaryData("Head__0", std::string(101, 'a').data(), 101);
  EXPECT_THROW(ReadRegLongBinary("Head", buffer.data(), 300), ERegistryException);

  // The NT platform does not look for the header.
  SetWin32Platform(VER_PLATFORM_WIN32_NT);
  int total = 0, piece = 0;
  EXPECT_FALSE(IsRegLongValue("Head", total, piece));
  EXPECT_EQ(GetRegLongDataSize("Head"), 36);
}

TEST_F(RegistrySettingsTest, EmptyPathsAndMissingValuesTouchNothing) {
  const char byte = 1;
  WriteRegBinary("", &byte, 1);
  WriteRegBinary("NoName\\", &byte, 1);
  WriteRegLongBinary("", &byte, 1);
  WriteRegVariant("", 5);
  TStringList lines;
  lines.Add("x");
  WriteRegStrings("", lines);
  EXPECT_EQ(FileText(RegistryFile()), "");

  char buffer[4] = {};
  EXPECT_EQ(ReadRegBinary("Missing\\Value", buffer, 4), 0);
  EXPECT_EQ(ReadRegLongBinary("Missing\\Value", buffer, 4), 0);
  EXPECT_EQ(GetRegDataSize("Missing\\Value"), -1);
  EXPECT_EQ(GetRegLongDataSize("Missing\\Value"), -1);
  EXPECT_EQ(FileText(RegistryFile()), "");
}

TEST_F(RegistrySettingsTest, StringListsAreOneStringValueWithCRLF) {
  TStringList lines;
  lines.SetText("first\nsecond\n\nfourth");
  WriteRegStrings("Lists\\Lines", lines);
  EXPECT_EQ(Key("Lists")->ReadString("Lines"), "first\r\nsecond\r\n\r\nfourth\r\n");

  TStringList read;
  read.Add("kept when missing");
  ReadRegStrings("Lists\\Missing", read);
  EXPECT_EQ(read.Text(), "kept when missing\n");
  ReadRegStrings("Lists\\Lines", read);
  EXPECT_EQ(read.Count(), 4);
  EXPECT_EQ(read[3], "fourth");
}

}  // namespace
