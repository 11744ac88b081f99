#pragma once
// Test-side writers of the debug-information formats that no Linux tool
// writes: the packed block, JDBG files and TD32 blocks, built from their
// byte layouts.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "crashreport/zorMapFile.h"

namespace zormap_test {

// The module the fixtures are placed in: code at kCode, data at kData.
inline constexpr uintptr_t kCode = 0x401000, kData = 0x500000;
inline const zor::ModuleRanges kRanges{0, kCode, kCode + 0x2080, kData, kData + 0x1000};
// A linker map with two code segments, a data segment, publics, lines
// (one dropped as going backwards, one line cut by a malformed pair) and
// the entry point.
extern const char* const kMapText;
// An object over kRanges filled by `load`, sorted for the lookups.
zor::TMapFile Loaded(const std::function<bool(zor::TMapFile&)>& load);

struct PackedContent {
  struct Segment {
    uint32_t start, length;
    std::string unit;
    bool hasLines = false;
  };
  std::vector<Segment> segments;
  std::vector<std::pair<std::string, uint32_t>> publics;  // name, address from code begin
  std::vector<std::pair<int32_t, uint32_t>> lines;        // line, address from code begin
  bool withEntry = false;
  uint32_t entry = 0;
};
// The payload records; `minimum` leaves out the names.
std::string PackedRecords(const PackedContent& content, bool minimum);
// The whole block: records compressed, enciphered under the packed key.
std::string PackedBlock(const PackedContent& content, uint32_t version, uint32_t id1, uint32_t id2, bool minimum);

struct JdbgContent {
  std::vector<std::pair<uint32_t, std::string>> sources;  // address, file name
  struct Symbol {
    uint32_t address;
    std::string first, second;
  };
  std::vector<Symbol> symbols;
  std::vector<std::pair<uint32_t, uint32_t>> lines;  // address, line
};
// A JDBG file; names of letters, digits and "_" are written packed, others
// XOR-coded. `checksum`: the checksum-valid byte is set.
std::string JdbgFile(const JdbgContent& content, bool checksum);
// The packed 6-bit form of a name (without the leading kind byte).
std::string PackedName(const std::string& name);

struct Td32Content {
  std::vector<std::string> names;  // name index i + 1
  uint32_t moduleName = 0;
  std::vector<std::pair<uint32_t, uint32_t>> codeSegments;  // offset, size in segment 1
  uint32_t sourceName = 0;
  std::vector<std::pair<uint32_t, uint16_t>> lines;        // offset, line in segment 1
  std::vector<std::pair<uint32_t, uint32_t>> codePublics;  // offset, name index
};
std::string Td32Block(const Td32Content& content);

// Little-endian appenders.
void Put16(std::string& out, uint32_t value);
void Put32(std::string& out, uint32_t value);

}  // namespace zormap_test
