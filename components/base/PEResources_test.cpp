#include "components/base/PEResources.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "components/base/PETestFiles.h"
#include "platform/core/Exceptions.h"

using testing::HasSubstr;
using testing::ThrowsMessage;

namespace {

std::string Text(const std::vector<uint8_t>& Bytes) { return std::string(Bytes.begin(), Bytes.end()); }

TEST(ResourceNames, FileNamesMapToTypeAndName) {
  struct Row {
    const char* file;
    int number;  // 0: a named type
    const char* typeName;
    const char* name;
  } rows[] = {
      {"BITMAP\\ZREDIT_DOTS", 2, "", "ZREDIT_DOTS"},
      {"MYTYPE\\DATA1", 0, "MYTYPE", "DATA1"},
      {"RCDATA\\TFORM1.dfm", 10, "", "TFORM1"},
      {"rcdata\\TForm1.a.b", 10, "", "TForm1.a"},
      {"group_icon\\MAIN", 14, "", "MAIN"},
      {"ANIICON\\X", 22, "", "X"},
      {"CURSOR\\X", 1, "", "X"},
      {"RT_RCDATA\\X", 0, "RT_RCDATA", "X"},  // the prefix is added, not expected
      {"\\X", 0, "", "X"},
      {"TFORM1.dfm", 0, "", ""},  // no type, no name
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    TResourceId type;
    std::string name;
    MapResourceFileName(r.file, type, name);
    EXPECT_EQ(type.IsNumber(), r.number != 0);
    EXPECT_EQ(type.Number(), r.number);
    EXPECT_EQ(type.Name(), r.typeName);
    EXPECT_EQ(name, r.name);
  }
}

TEST(ResourceNames, TypeNamesOfTheStandardTypes) {
  const char* names[] = {"",        "CURSOR",       "BITMAP",       "ICON",  "MENU",       "DIALOG",
                         "STRING",  "FONTDIR",      "FONT",         "ACCELERATOR", "RCDATA", "MESSAGETABLE",
                         "GROUP_CURSOR", "",        "GROUP_ICON",   "",      "VERSION",    "DLGINCLUDE",
                         "",        "PLUGPLAY",     "VXD",          "ANICURSOR", "ANIICON", ""};
  for (uint16_t n = 0; n < std::size(names); ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(ResourceTypeName(TResourceId(n)), names[n]);
    if (*names[n]) {
      // Every name maps back to its number.
      TResourceId type;
      std::string name;
      MapResourceFileName(std::string(names[n]) + "\\A", type, name);
      EXPECT_EQ(type, TResourceId(n));
    }
  }
  EXPECT_EQ(ResourceTypeName(TResourceId("MyType")), "MyType");
}

TEST(ResourceIds, NumbersAndNamesNeverMatchEachOther) {
  EXPECT_TRUE(TResourceId("data1").Matches(TResourceId("DATA1")));
  EXPECT_FALSE(TResourceId("7").Matches(TResourceId(uint16_t{7})));
  EXPECT_TRUE(TResourceId(uint16_t{7}).Matches(TResourceId(uint16_t{7})));
  EXPECT_FALSE(TResourceId("").Matches(TResourceId(uint16_t{0})));
}

TEST(ModuleFile, FindsResourcesByTypeAndName) {
  const TModuleFile module(PEFixture("res.dll"));
  EXPECT_EQ(Text(*module.Resource(uint16_t{10}, "DATA1")), FixtureData1());
  EXPECT_EQ(Text(*module.Resource(uint16_t{10}, "data1")), FixtureData1());
  EXPECT_EQ(Text(*module.Resource("mytype", "DATA1")), "custom");
  EXPECT_EQ(Text(*module.Resource(uint16_t{10}, uint16_t{7})), "numbered");
  EXPECT_EQ(Text(*module.Resource(uint16_t{10}, "TFORM1")).substr(0, 4), "TPF0");
  EXPECT_FALSE(module.Resource(uint16_t{10}, "7"));  // a name, not the number
  EXPECT_FALSE(module.Resource(uint16_t{2}, "DATA1"));
  EXPECT_FALSE(module.Resource("OTHER", "DATA1"));
}

TEST(ModuleFile, RefusesWhatIsNotAModule) {
  TempDir dir;
  const std::string text = dir.Write("plain.txt", "MZ but nothing else");
  EXPECT_THAT([&] { TModuleFile m(text); },
              ThrowsMessage<Exception>("Can't open module " + text + "\nError code : 8"));  // ENOEXEC
  const std::string missing = dir.Path("missing.dll");
  EXPECT_THAT([&] { TModuleFile m(missing); },
              ThrowsMessage<Exception>("Can't open module " + missing + "\nError code : 2"));  // ENOENT
}

TEST(ResourceWriter, Replacing100BytesWith5000GrowsTheFileBy8192) {
  TempDir dir;
  const std::string dll = dir.Copy(PEFixture("res.dll"), "f.dll");
  const auto before = ReadFileBytes(dll);
  const std::string data = PatternBytes(5000);
  {
    TResourceWriter writer(dll);
    writer.ReplaceResource(uint16_t{10}, "DATA1", std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size()));
  }
  const auto after = ReadFileBytes(dll);
  EXPECT_EQ(after.size(), before.size() + 8192);
  const TModuleFile module(dll);
  EXPECT_EQ(Text(*module.Resource(uint16_t{10}, "DATA1")), data);
  // The other resources, the one of the same name in MYTYPE included, stay.
  EXPECT_EQ(Text(*module.Resource("MYTYPE", "DATA1")), "custom");
  EXPECT_EQ(Text(*module.Resource(uint16_t{10}, uint16_t{7})), "numbered");
  // The old data stays where it was.
  EXPECT_NE(Text(before).find(FixtureData1()), std::string::npos);
  EXPECT_NE(Text(after).find(FixtureData1()), std::string::npos);

  const TPEImage image = ReadPEImage(after);
  EXPECT_TRUE(image.ResourceSectionLast);
  EXPECT_EQ(image.SectionRawSize, 0x200u + 8192);
  EXPECT_EQ(image.SectionVirtualSize, 0x1C8u + 8192);

  // A second replacement grows the file again.
  {
    TResourceWriter writer(dll);
    const std::string small = "tiny";
    writer.ReplaceResource("MYTYPE", "DATA1", std::span(reinterpret_cast<const uint8_t*>(small.data()), small.size()));
  }
  EXPECT_EQ(ReadFileBytes(dll).size(), before.size() + 8192 + 4096);
  EXPECT_EQ(Text(*TModuleFile(dll).Resource("MYTYPE", "DATA1")), "tiny");
  EXPECT_EQ(Text(*TModuleFile(dll).Resource(uint16_t{10}, "DATA1")), data);
}

// The binutils tools read the replaced module: objdump lists the new leaf
// size, and windres turns the module back into a script holding the new
// bytes.
TEST(ResourceWriter, BinutilsReadTheReplacedModule) {
  if (!ToolAvailable("x86_64-w64-mingw32-windres") || !ToolAvailable("objdump"))
    GTEST_SKIP() << "binutils-mingw-w64-x86-64 is not installed";
  TempDir dir;
  const std::string dll = dir.Copy(PEFixture("res.dll"), "f.dll");
  const std::string data = PatternBytes(5000);
  UpdateFixture(dll, uint16_t{10}, "DATA1", data);

  const std::string dump = RunTool("objdump -x '" + dll + "'");
  EXPECT_THAT(dump, HasSubstr("Size: 0x001388"));  // 5000
  EXPECT_THAT(dump, testing::Not(HasSubstr("Size: 0x000064")));

  const std::string rc = RunTool("x86_64-w64-mingw32-windres -i '" + dll + "' -J coff -O rc");
  EXPECT_EQ(DecodeRcBlock(rc, "\"DATA1\" RCDATA"), data);
  EXPECT_EQ(DecodeRcBlock(rc, "\"TFORM1\" RCDATA").substr(0, 4), "TPF0");
}

TEST(ResourceWriter, RefusesAndLeavesTheFileAsItWas) {
  TempDir dir;
  struct Row {
    const char* fixture;
    TResourceId type;
    const char* name;
    const char* error;
  } rows[] = {
      // A symbol table after the resource section would be overwritten.
      {"res-symbols.dll", uint16_t{10}, "DATA1", "Invalid file format"},
      // Resources cannot be added, nor numbered ones replaced.
      {"res.dll", uint16_t{10}, "7", "Resource not found"},
      {"res.dll", uint16_t{10}, "NEW", "Resource not found"},
      {"res.dll", uint16_t{2}, "DATA1", "Resource not found"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.fixture) + " " + r.name);
    const std::string dll = dir.Copy(PEFixture(r.fixture), "f.dll");
    const auto before = ReadFileBytes(dll);
    EXPECT_THAT([&] { UpdateFixture(dll, r.type, r.name, "x"); }, ThrowsMessage<Exception>(r.error));
    EXPECT_EQ(ReadFileBytes(dll), before);
  }
}

TEST(ResourceWriter, OpeningNeedsAWritableModule) {
  TempDir dir;
  const std::string missing = dir.Path("none.dll");
  EXPECT_THAT([&] { TResourceWriter w(missing); },
              ThrowsMessage<Exception>("Can't open file for writing\nError code : 2"));
  const std::string text = dir.Write("t.dll", std::string(300, 'x'));
  EXPECT_THAT([&] { TResourceWriter w(text); }, ThrowsMessage<Exception>("Invalid file format"));
}

// Damaged copies of the fixture, each changed at one field.
TEST(ResourceReader, DamagedHeadersAndDirectoriesAreRefused) {
  const auto good = ReadFileBytes(PEFixture("res.dll"));
  const TPEImage image = ReadPEImage(good);
  const uint32_t nt = good[0x3C] | (good[0x3D] << 8);
  const uint32_t root = image.SectionRawOffset;
  struct Row {
    const char* what;
    uint32_t offset;
    std::vector<uint8_t> bytes;
    const char* error;
  } rows[] = {
      {"no MZ", 0, {'Z', 'M'}, "Invalid file format"},
      {"NT headers beyond the file", 0x3C, {0xF0, 0x09, 0, 0}, "Invalid file format"},
      {"no PE signature", nt, {'P', 'F'}, "Invalid file format"},
      {"unknown optional header", nt + 24, {0x07, 0x01}, "Invalid file format"},
      {"too many sections", nt + 6, {0xFF, 0x00}, "Invalid file format"},
      {"no .rsrc section", image.SectionHeaderOffset + 4, {'x'}, "This file doesn't contain resources"},
      {"type directory outside the section", root + 16 + 4, {0x00, 0x10, 0x00, 0x80}, "Invalid file format"},
      {"directory pointing at itself", root + 16 + 4, {0x00, 0x00, 0x00, 0x80}, "Invalid file format"},
      {"entry count beyond the section", root + 12, {0xFF, 0x00}, "Invalid file format"},
      {"name outside the section", root + 16, {0x00, 0x10, 0x00, 0x80}, "Invalid file format"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    auto bytes = good;
    std::copy(r.bytes.begin(), r.bytes.end(), bytes.begin() + r.offset);
    EXPECT_THAT(
        [&] {
          const TPEImage damaged = ReadPEImage(bytes);
          WalkResources(bytes, damaged, [](const TResourceLeaf&) { return false; });
        },
        ThrowsMessage<Exception>(r.error));
  }
}

TEST(ResourceReader, DataOutsideTheSectionIsRefused) {
  auto bytes = ReadFileBytes(PEFixture("res.dll"));
  const TPEImage image = ReadPEImage(bytes);
  const auto leaf = FindResource(bytes, image, uint16_t{10}, "DATA1");
  ASSERT_TRUE(leaf);
  EXPECT_EQ(leaf->Size, 100u);
  // A size that runs past the section.
  bytes[leaf->DataEntryOffset + 5] = 0x10;
  const auto big = FindResource(bytes, image, uint16_t{10}, "DATA1");
  EXPECT_THAT([&] { ResourceBytes(bytes, image, *big); }, ThrowsMessage<Exception>("Invalid file format"));
}

}  // namespace
