// The debug-information files no Linux tool writes, on fixtures made from
// their byte layouts: packed blocks, JDBG and TD32, and the order in which
// the files beside a module are tried.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "crashreport/zorMapFile.h"
#include "crashreport/zorMapFileFixtures.h"
#include "crashreport/zorMapFile_p.h"

namespace {

using namespace zor;
using namespace zormap_test;

class ZorMapFiles : public ::testing::Test {
 protected:
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("zormapfile_" + std::to_string(getpid()) + "_" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
  void SetUp() override { std::filesystem::create_directories(dir); }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static void SetTime(const std::string& path, time_t when) {
    const utimbuf times{when, when};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
  }
};

PackedContent SampleContent() {
  PackedContent c;
  c.segments = {{0x0, 0x100, "Main", true}, {0x100, 0x80, "Util", false}};
  c.publics = {{"Main.Run", 0x0}, {"Util.Step", 0x100}, {"Util.Far", 0x160}};
  c.lines = {{5, 0x0}, {6, 0x20}, {300, 0x100}, {299, 0x300}};
  c.withEntry = true;
  c.entry = 0x20;
  return c;
}

TEST_F(ZorMapFiles, PackedBlocksOfBothVersionsLoadAndBadOnesDoNot) {
  const std::string v2 = PackedBlock(SampleContent(), 2, 0, 0, false);
  const std::string v3 = PackedBlock(SampleContent(), 3, 7, 8, false);
  for (const std::string* block : {&v2, &v3}) {
    const TMapFile map = Loaded([&](TMapFile& m) { return m.ImportPacked(*block); });
    ASSERT_TRUE(map.Valid());
    EXPECT_EQ(map.SegmentAt(true, kCode + 0x120).unitName, "Util");
    EXPECT_EQ(map.PublicAt(kCode + 0x170).name, "Util.Far");
    uintptr_t next = 0;
    EXPECT_EQ(map.LineAt(kCode + 0x30, next), 6);
    EXPECT_EQ(map.EntryPoint(), kCode + 0x20);
    EXPECT_TRUE(map.MinDebugInfo().empty());
  }
  std::string badCipher = v3, badVersion = v3, badMagic = v3;
  badCipher[40] ^= 1;
  badVersion[18] = 4;
  badMagic[0] = 'Q';
  struct Row {
    const char* name;
    std::string block;
  } rows[] = {{"22 bytes", v2.substr(0, 22)},
              {"payload cut", v3.substr(0, v3.size() - 1)},
              {"payload changed", badCipher},
              {"version 4", badVersion},
              {"magic", badMagic},
              {"records cut", "quillon_dbgmap"}};
  for (const Row& row : rows) {
    TMapFile map;
    EXPECT_FALSE(map.ImportPacked(row.block)) << row.name;
    EXPECT_TRUE(map.Publics().empty()) << row.name;
  }
}

TEST_F(ZorMapFiles, MinimumDebugInformationGetsGeneratedNamesOrItsFullForm) {
  const std::string module = Write("mod.bin", "not a module image");
  const std::string minimum = PackedBlock(SampleContent(), 3, 0x11, 0x22, true);
  const std::string full = PackedBlock(SampleContent(), 3, 0x12345678, 0x9abcdef0, false);
  char text[40];
  std::snprintf(text, sizeof text, "$%08x, $12345678, $9abcdef0", static_cast<unsigned>(full.size()));
  const std::string resource = std::string("TPF0\x0cMinDebugInfo\x0c\x1f\0\0\0", 22) + text;
  struct Row {
    const char* name;
    const char* besideFile;  // what lies in mod.zor
    bool withResource;
    const char* symbol;
    const char* unit;
    bool keepsText;  // the full form empties the text
  } rows[] = {
      {"nothing beside", nullptr, true, "public%1", "segment%1", true},
      {"the full form beside", "full", true, "Util.Step", "Util", false},
      // A minimum block beside, with no text to match, must not start the
      // search for the full form again and again.
      {"a minimum block beside, no settings", "minimum", false, "public%1", "segment%1", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(dir / "mod.zor");
    if (row.besideFile) Write("mod.zor", std::string(row.besideFile) == "full" ? full : minimum);
    TMapFile map;
    map.SetRanges(kRanges);
    map.SetDebugFileName(module);
    if (row.withResource) map.SetSettingsResource(resource);
    map.FinishLoading(map.ImportPacked(minimum));
    ASSERT_TRUE(map.Valid());
    EXPECT_EQ(map.PublicAt(kCode + 0x100).name, row.symbol);
    EXPECT_EQ(map.SegmentAt(true, kCode + 0x100).unitName, row.unit);
    EXPECT_EQ(map.MinDebugInfo(), row.keepsText ? text : "");
    uintptr_t next = 0;
    EXPECT_EQ(map.LineAt(kCode + 0x104, next), 300);
  }
  // Generated names are marked with the module's file.
  TMapFile generated;
  generated.SetRanges(kRanges);
  generated.SetModuleFileName("/opt/app/mod.bin");
  generated.FinishLoading(generated.ReadPackedRecords(PackedRecords(SampleContent(), true), true));
  EXPECT_EQ(ProcNameText(generated, kCode + 0x100), "segment%1.public%1 (mod.bin)");
  EXPECT_EQ(ProcNameText(generated, kCode + 0x101), "");
  const TMapFile named = Loaded([](TMapFile& m) { return m.LoadMapText(kMapText); });
  EXPECT_EQ(ProcNameText(named, kCode + 0x140), "Unit1.TForm1.Button1Click");

  // Without any line entry, a segment flagged as having lines answers -1.
  PackedContent noLines = SampleContent();
  noLines.lines.clear();
  noLines.withEntry = false;
  const TMapFile map = Loaded([&](TMapFile& m) { return m.ReadPackedRecords(PackedRecords(noLines, true), true); });
  uintptr_t next = 0;
  EXPECT_EQ(map.LineAt(kCode + 0x10, next), -1);
  EXPECT_EQ(map.LineAt(kCode + 0x110, next), 0);
}

TEST_F(ZorMapFiles, JdbgChecksumRotationAndSixBitNames) {
  JdbgContent c;
  c.sources = {{0x0, "C:\\src\\Unit1.pas"}, {0x200, "C:\\src\\Unit2"}};
  c.symbols = {{0x10, "TForm1", "Button1Click"}, {0x210, "Unit2", "Helper"}, {0x220, "@Unit2@Raw", ""}};
  c.lines = {{0x10, 20}, {0x18, 21}, {0x210, 7}};
  const std::string file = JdbgFile(c, true);
  const TMapFile map = Loaded([&](TMapFile& m) {
    return m.LoadJdbg({reinterpret_cast<const uint8_t*>(file.data()), file.size()});
  });
  ASSERT_TRUE(map.Valid());
  EXPECT_EQ(map.SegmentAt(true, kCode + 0x100).unitName, "Unit1.pas");
  EXPECT_EQ(map.SegmentAt(true, kCode + 0x2000).unitName, "Unit2");  // the last reaches code end
  EXPECT_EQ(map.PublicAt(kCode + 0x12).name, "TForm1.Button1Click");
  EXPECT_EQ(map.PublicAt(kCode + 0x214).name, "Helper");  // its unit's name removed
  EXPECT_EQ(map.PublicAt(kCode + 0x224).name, "Raw");     // unmangled; the unit is the segment's
  uintptr_t next = 0;
  EXPECT_EQ(map.LineAt(kCode + 0x19, next), 21);

  // Four 6-bit values in three bytes: "Ab_9" is 11, 38, 63, 10.
  EXPECT_EQ(PackedName("Ab_9"), std::string("\x8b\xf9\x2b\x00\x00\x00", 6));
  std::string changed = file, unchecked = JdbgFile(c, false);
  changed[40] ^= 0x20;
  unchecked[40] ^= 0x20;
  std::string wrongVersion = file, listOutside = file, nameOutside = file;
  wrongVersion[4] = 2;
  listOutside[13] = '\x7f';  // the symbols list starts past the end
  nameOutside[21] = '\x7f';  // so does the name area
  struct Row {
    const char* name;
    std::string bytes;
    bool loads;
  } rows[] = {{"valid", file, true},
              {"one byte changed", changed, false},
              {"changed, checksum not claimed", unchecked, true},
              {"not a multiple of 4", file + "x", false},
              {"34 bytes", file.substr(0, 34), false},
              {"version 2", wrongVersion, false},
              {"a list outside the file", listOutside, false},
              {"names outside the file", nameOutside, false},
              {"signature", "JDBX" + file.substr(4), false}};
  for (const Row& row : rows) {
    TMapFile m;
    EXPECT_EQ(m.LoadJdbg({reinterpret_cast<const uint8_t*>(row.bytes.data()), row.bytes.size()}), row.loads)
        << row.name;
  }
}

Td32Content SampleTd32() {
  Td32Content c;
  c.names = {"C:\\src\\Unit1.obj", "Unit1.cpp", "@Unit1@Run$qv", "@Unit1@Stop$qv"};
  c.moduleName = 1;
  c.codeSegments = {{0x0, 0x100}};
  c.sourceName = 2;
  c.lines = {{0x0, 10}, {0x8, 11}, {0x40, 15}};
  c.codePublics = {{0x0, 3}, {0x180, 4}};
  return c;
}

TEST_F(ZorMapFiles, Td32ModulesLinesAndPublics) {
  const std::string block = Td32Block(SampleTd32());
  const TMapFile map = Loaded([&](TMapFile& m) {
    return m.LoadTd32({reinterpret_cast<const uint8_t*>(block.data()), block.size()});
  });
  ASSERT_TRUE(map.Valid());
  EXPECT_EQ(map.PublicAt(kCode + 0x10).name, "Unit1.Run");
  uintptr_t next = 0;
  EXPECT_EQ(map.LineAt(kCode + 0xA, next), 11);
  EXPECT_EQ(next, kCode + 0x40);
  // The public beyond the module's segment stretches it.
  EXPECT_TRUE(map.SegmentAt(true, kCode + 0x180).valid);
  EXPECT_EQ(map.PublicAt(kCode + 0x180).name, "Unit1.Stop");
  for (size_t cut : {size_t{0}, size_t{7}, block.size() / 2, block.size() - 1}) {
    TMapFile m;
    m.LoadTd32({reinterpret_cast<const uint8_t*>(block.data()), cut});  // ends, in bounds
  }
}

TEST_F(ZorMapFiles, ATdsOlderThanTheMapIsSkipped) {
  const std::string module = Write("mod.bin", "not a module image");
  const std::string tds = Write("mod.tds", Td32Block(SampleTd32()));
  const std::string map = Write("mod.map", kMapText);
  const time_t now = time(nullptr);
  struct Row {
    const char* name;
    time_t tdsTime;
    const char* symbolAtStart;
  } rows[] = {{"same day", now, "Unit1.Run"}, {"a day older", now - 2 * 86400, "Start"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetTime(map, now);
    SetTime(tds, row.tdsTime);
    const TMapFile loaded(kRanges, module);
    ASSERT_TRUE(loaded.Valid());
    EXPECT_EQ(loaded.PublicAt(kCode).name, row.symbolAtStart);
  }
}

}  // namespace
