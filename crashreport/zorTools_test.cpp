#include "crashreport/zorTools.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace zor {
namespace {

TEST(ZorOsKinds, TheKindRulesFollowTheVersionTable) {
  struct Row {
    OsVersionFacts facts;
    const char* name;
  };
  const Row rows[] = {
      {{1, 4, 0, 950}, "Windows 95"},
      {{1, 4, 0, 1111}, "Windows 95 OSR-2"},
      {{1, 4, 10, 1998}, "Windows 98"},
      {{1, 4, 10, 2222}, "Windows 98 SE"},
      {{1, 4, 10, 3000}, "Windows ME"},
      {{1, 4, 90, 3000}, "Windows ME"},
      {{1, 4, 91, 0}, "Windows 9x New"},
      {{1, 5, 0, 0}, "Windows 9x New"},
      {{1, 3, 95, 0}, "None"},
      {{2, 3, 51, 0}, "Windows NT 3"},
      {{2, 4, 0, 0}, "Windows NT 4"},
      {{2, 5, 0, 0}, "Windows 2000"},
      {{2, 5, 1, 0}, "Windows XP"},
      {{2, 5, 2, 0, true}, "Windows XP"},
      {{2, 5, 2, 0, false}, "Windows 2003"},
      {{2, 6, 0, 0}, "Windows Vista"},
      {{2, 6, 1, 0}, "Windows NT New"},
      {{2, 10, 0, 0}, "Windows NT New"},
      {{0, 6, 1, 0}, "None"},
  };
  for (const Row& row : rows) {
    const OsKinds k = OsKindOf(row.facts);
    SCOPED_TRACE(std::to_string(row.facts.platform) + ":" + std::to_string(row.facts.major) + "." +
                 std::to_string(row.facts.minor) + " build " + std::to_string(row.facts.build));
    EXPECT_STREQ(kOsKindNames[k.kind], row.name);
    EXPECT_EQ(k.kind, row.facts.platform == 1 ? k.kind9x : k.kindNT);
    EXPECT_EQ(row.facts.platform == 1 ? k.kindNT : k.kind9x, 0);
  }
}

TEST(ZorOsKinds, TheRecordHereIsKindNoneWithTheDistributionName) {
  EXPECT_EQ(OsDescriptionFrom("NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n", true),
            "Debian GNU/Linux 12 (bookworm) x64");
  EXPECT_EQ(OsDescriptionFrom("PRETTY_NAME=Plain\n", false), "Plain");
  EXPECT_EQ(OsDescriptionFrom("", true), "Linux x64");
  const TOS os = OsInfo();
  EXPECT_EQ(os.kind, 0);
  EXPECT_FALSE(os.release.empty());
  EXPECT_NE(os.description.find(" x64"), std::string::npos);
  EXPECT_EQ(FreeSystemResources16(1), 0);
}

TEST(ZorDemangle, MangledNamesBecomeClassAndMethod) {
  struct Row {
    std::string in, name, unit;
    bool result;
  };
  const Row rows[] = {
      {"@Unit1@TForm1@Button1Click$qqrp14System@TObject", "TForm1.Button1Click", "Unit1", true},
      {"@Unit1@TFoo@$bdtr$qqrv", "TFoo.Destroy", "Unit1", true},
      {"@Unit1@TFoo@$bctr$qqrv", "TFoo.Create", "Unit1", true},
      {"@Zorexcept@initialization$qqrv", "initialization", "Zorexcept", true},
      {"@Proc$qv", "Proc", "", true},
      {"@Ab@$qv", "Ab.Create", "", true},
      {"std::vector::push_back", "std.vector.push_back", "", false},
      {"plain", "plain", "", false},
      {"", "", "", false},
  };
  for (const Row& row : rows) {
    std::string name = row.in, unit = "stale";
    EXPECT_EQ(DemangleName(name, unit), row.result) << row.in;
    EXPECT_EQ(name, row.name) << row.in;
    EXPECT_EQ(unit, row.unit) << row.in;
  }
}

TEST(ZorTicks, TheDifferenceSurvivesTheWrap) {
  EXPECT_EQ(TickDifference(100, 350), 250u);
  EXPECT_EQ(TickDifference(0xFFFFFF00u, 0x10u), 0x110u);
  EXPECT_EQ(TickDifference(5, 5), 0u);
  const uint32_t start = TickCount();
  EXPECT_LT(TickDifference(start), 10000u);
}

TEST(ZorFileVersion, VersionTextsAndNumbers) {
  struct Row {
    const char* text;
    uint64_t version;
    const char* printed;
  };
  const Row rows[] = {
      {"1.2.3.4", 0x0001000200030004ull, "1.2.3.4"},
      {"0.1", 0x0000000100000000ull, "0.1.0.0"},
      {"65535.0.0.7-rc1", 0xFFFF000000000007ull, "65535.0.0.7"},
      {"65536.1", 0, "0.0.0.0"},
      {"v1.2", 0, "0.0.0.0"},
      {"", 0, "0.0.0.0"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ParseVersionNumbers(row.text), row.version) << row.text;
    EXPECT_EQ(FileVersionText(ParseVersionNumbers(row.text)), row.printed) << row.text;
  }
}

TEST(ZorFileVersion, FilesWithoutTheNoteGiveZero) {
  EXPECT_EQ(FileVersion(ZOR_ELF_SEEDS "/note.elf"), 0x0001000200030004ull);
  EXPECT_EQ(FileVersion(ZOR_ELF_SEEDS "/plain.elf"), 0u);
  EXPECT_EQ(FileVersion("/nonexistent/file"), 0u);
  EXPECT_EQ(FileVersion("/proc/self/status"), 0u);  // not a regular file
  EXPECT_EQ(FileVersion("/etc/hostname"), 0u);      // not ELF
  const std::vector<uint8_t> empty;
  EXPECT_EQ(ElfPackageVersion(empty), 0u);
  // A truncated copy of a real ELF file.
  std::ifstream in("/proc/self/exe", std::ios::binary);
  std::vector<uint8_t> head(256);
  in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  EXPECT_EQ(ElfPackageVersion(head), 0u);
}

}  // namespace
}  // namespace zor
