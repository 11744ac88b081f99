#include "components/base/OptionsIni.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/base/OptionExt.h"
#include "components/base/RegistrySettings.h"
#include "platform/classes/StoreTesting.h"
#include "testing/OptionsFixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

TEST(OptionsIniText, BytesBecomeLinesOfSixtyFourDigits) {
  const struct {
    size_t count;
    std::vector<size_t> lengths;
  } cases[] = {{0, {}}, {1, {2}}, {32, {64}}, {33, {64, 2}}, {64, {64, 64}}, {70, {64, 64, 12}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    std::vector<std::uint8_t> bytes(c.count);
    for (size_t i = 0; i < c.count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + 0xA5);
    const std::vector<std::string> lines = HexSectionLines(bytes);
    std::vector<size_t> lengths;
    for (const std::string& line : lines) lengths.push_back(line.size());
    EXPECT_EQ(lengths, c.lengths);
    std::vector<std::uint8_t> decoded{1, 2};
    EXPECT_TRUE(DecodeHexSection(lines, decoded));
    EXPECT_EQ(decoded, bytes);
  }
  EXPECT_THAT(HexSectionLines({0x00, 0xAB, 0x5f}), ElementsAre("00AB5F"));
}

TEST(OptionsIniText, TextThatIsNotWholeHexDoesNotDecode) {
  const struct {
    std::vector<std::string> lines;
    bool decodes;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {{"00ab", "FF"}, true, {0x00, 0xAB, 0xFF}},
      {{"0", "A"}, true, {0x0A}},  // pairs may cross lines
      {{"ABC"}, false, {}},
      {{"0G"}, false, {}},
      {{"12 34"}, false, {}},
      {{"-1"}, false, {}},
      {{}, true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.empty() ? "" : c.lines[0]);
    std::vector<std::uint8_t> bytes{9};
    EXPECT_EQ(DecodeHexSection(c.lines, bytes), c.decodes);
    EXPECT_EQ(bytes, c.bytes);
  }
}

class OptionsIniTest : public TRegistryFileTest {
 protected:
  void SetUp() override {
    TRegistryFileTest::SetUp();
    RegisterOptionsFixtures();
    SetOptionsStorageInIni(true);
  }
  void TearDown() override {
    FreeOptionExtList();
    SetOptionsStorageInIni(false);
    TRegistryFileTest::TearDown();
  }
  std::string IniFile() const { return folder_.Path("options.ini"); }
};

TEST_F(OptionsIniTest, TheFileLiesBesideTheRegistryFile) {
  EXPECT_EQ(OptionsIniFileName(), IniFile());
  SetOptionsIniFileName("/elsewhere/o.ini");
  EXPECT_EQ(OptionsIniFileName(), "/elsewhere/o.ini");
  SetOptionsIniFileName("");
  EXPECT_EQ(OptionsIniFileName(), IniFile());
}

TEST_F(OptionsIniTest, OptionsRoundTripThroughOneSectionOfHexLines) {
  auto* options = GetOptionExt<TSampleOptions>();
  options->Width = 33;
  options->Caption = std::string(20000, 'w');  // far more than one section read of the old platform
  static_cast<TStreamItem*>(options->Items()->Add())->Label = "item";
  options->Part()->Label = "inner";
  options->Lines()->SetText("alpha\n\nit's Gr\xC3\xBCn\n");
  options->SaveToStorage();

  const std::string text = FileText(IniFile());
  EXPECT_THAT(text, StartsWith("[SampleOptions]\n"));
  EXPECT_THAT(text, Not(HasSubstr(std::string(1, '\0'))));
  EXPECT_EQ(FileText(RegistryFile()), "");  // the registry is not used
  // The record starts with the holder's class name, not with a signature.
  const std::string first = text.substr(text.find('\n') + 1, 64);
  EXPECT_THAT(first, StartsWith("0B5450657273486F6C646572"));  // length 11, "TPersHolder"

  FreeOptionExtList();  // saves again, and frees
  auto* loaded = GetOptionExt<TSampleOptions>();
  EXPECT_EQ(loaded->Width, 33);
  EXPECT_EQ(loaded->Caption, std::string(20000, 'w'));
  ASSERT_EQ(loaded->Items()->Count(), 1);
  EXPECT_EQ(static_cast<TStreamItem*>(loaded->Items()->Items(0))->Label, "item");
  EXPECT_EQ(loaded->Part()->Label, "inner");
  EXPECT_EQ(loaded->Lines()->Text(), "alpha\n\nit's Gr\xC3\xBCn\n");
}

TEST_F(OptionsIniTest, ASectionThatDoesNotDecodeLeavesTheDefaults) {
  for (const std::string& body : {"ABC\n", "0B54ZZ\n", ""}) {
    SCOPED_TRACE(body);
    SetFileText(IniFile(), "[Other]\nx=1\n[SampleOptions]\n" + body);
    auto* options = GetOptionExt<TSampleOptions>();
    EXPECT_EQ(options->Width, 10);
    EXPECT_EQ(options->Caption, "sample");
    FreeOptionExtList();
    // The save at shut-down wrote the section anew and kept the rest.
    EXPECT_THAT(FileText(IniFile()), StartsWith("[Other]\nx=1\n\n[SampleOptions]\n0B54"));
  }
}

}  // namespace
