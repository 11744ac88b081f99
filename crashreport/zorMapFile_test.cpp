// The bounded cursor under every debug-information reader, and the linker
// map text with the table lookups on it.
#include "crashreport/zorMapFile.h"

#include <gtest/gtest.h>

#include <functional>

#include "crashreport/zorMapFileFixtures.h"
#include "crashreport/zorMapFile_p.h"

namespace {

using namespace zor;
using namespace zormap_test;

TEST(ZorByteCursor, ReadsPastTheEndFailAndReadNothing) {
  const uint8_t bytes[] = {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01, 'a', 0};
  struct Row {
    const char* name;
    std::span<const uint8_t> span;
    std::function<void(ByteCursor&)> read;
    bool ok;
  } rows[] = {
      {"text of an empty span", {}, [](ByteCursor& c) { c.CString(); }, false},
      {"text without its zero", {bytes + 11, 1}, [](ByteCursor& c) { c.CString(); }, false},
      {"text with its zero", {bytes + 11, 2}, [](ByteCursor& c) { EXPECT_EQ(c.CString(), "a"); }, true},
      {"eleven-byte number", {bytes, 11}, [](ByteCursor& c) { c.Uleb(); }, false},
      {"signed, cut", {bytes, 3}, [](ByteCursor& c) { c.Sleb(); }, false},
      {"32 bits of 3 bytes", {bytes, 3}, [](ByteCursor& c) { c.Get<uint32_t>(); }, false},
      {"take past the end", {bytes, 3}, [](ByteCursor& c) { c.Take(4); }, false},
      {"seek past the end", {bytes, 3}, [](ByteCursor& c) { c.Seek(4); }, false},
      {"skip to the end", {bytes, 3}, [](ByteCursor& c) { c.Skip(3); }, true},
  };
  for (const Row& row : rows) {
    ByteCursor c(row.span);
    row.read(c);
    EXPECT_EQ(c.Ok(), row.ok) << row.name;
    if (!row.ok) EXPECT_EQ(c.Get<uint8_t>(), 0) << row.name;
  }
}

TEST(ZorMapText, SegmentsPublicsAndLinesOfALinkerMap) {
  const TMapFile map = Loaded([](TMapFile& m) { return m.LoadMapText(kMapText); });
  ASSERT_TRUE(map.Valid());
  EXPECT_EQ(map.EntryPoint(), kCode + 0x10);
  struct Row {
    const char* name;
    uintptr_t address;
    const char* unit;    // of the code segment
    const char* symbol;  // public containing it
    int32_t line;
  } rows[] = {
      {"first unit", kCode + 0x20, "System", "Start", 0},
      {"a public named like its unit", kCode + 0x100, "Unit1", "initialization", 10},
      {"name without unit and parameters", kCode + 0x148, "Unit1", "TForm1.Button1Click", 11},
      {"line entry kept after a dropped earlier one", kCode + 0x260, "Unit1", "TForm1.Button1Click", 13},
      // The second code segment counts from the first one's length rounded
      // up to 4096 (0x1234 -> 0x2000).
      {"second code segment", kCode + 0x2010, "Unit2", "Helper", 0},
      {"gap between segments", kCode + 0x400, "", "TForm1.Button1Click", 0},
      {"after the last code public, inside the code", kCode + 0x2070, "Unit2", "Helper", 0},
      {"beyond code end", kCode + 0x3000, "", "", 0},
      {"before the first public", kCode - 1, "", "", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(map.SegmentAt(true, row.address).unitName, row.unit);
    EXPECT_EQ(map.PublicAt(row.address).name, row.symbol);
    uintptr_t next = 0;
    EXPECT_EQ(map.LineAt(row.address, next), row.line);
  }
  // The malformed pair ends its line: 15 never arrives; 9 went backwards.
  EXPECT_EQ(map.Lines().size(), 4u);
  EXPECT_EQ(map.SegmentAt(false, kData + 0x10).unitName, "Unit1");
  // Data publics lie past code end: as the last public of all, the lookup
  // leaves the one there alone.
  ASSERT_FALSE(map.Publics().empty());
  EXPECT_EQ(map.Publics().back().name, "Counter");
  EXPECT_EQ(map.Publics().back().address, kData + 0x10);
  EXPECT_FALSE(map.PublicAt(kData + 0x10).valid);
  EXPECT_EQ(map.PublicAddress(true, "unit1", true, "TForm1.Button1Click"), kCode + 0x140);
  EXPECT_EQ(map.PublicAddress(true, "Unit1", true, "tform1.button1click"), 0u);
  EXPECT_EQ(map.PublicAddress(true, "Unit1", false, "tform1.button1click"), kCode + 0x140);
}

TEST(ZorMapText, LineOutsideItsSegmentGivesZeroAndNextAddress) {
  const TMapFile map = Loaded([](TMapFile& m) { return m.LoadMapText(kMapText); });
  uintptr_t next = 0;
  // The last entry before 0x2010 is line 13 at 0x250, outside Unit2.
  EXPECT_EQ(map.LineAt(kCode + 0x2010, next), 0);
  EXPECT_EQ(map.LineAt(kCode + 0x145, next), 11);
  EXPECT_EQ(next, kCode + 0x150);
  EXPECT_EQ(map.LineAt(kCode + 0x300 - 1, next), 13);
  EXPECT_EQ(next, kCode + 0x300);  // no next entry: the address + 1
}

TEST(ZorMapText, TextsWithoutBlocksLoadNothing) {
  for (const char* text : {"", "\r\n\r\n", "Publics by Value\r\n\r\n 0001:0000", "Detailed map of segments\r\n"}) {
    TMapFile map;
    EXPECT_FALSE(map.LoadMapText(text)) << text;
  }
}

}  // namespace
