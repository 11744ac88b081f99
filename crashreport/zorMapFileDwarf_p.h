#pragma once
// The DWARF sections a module's debug information is read from.
#include <cstdint>
#include <span>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "crashreport/zorMapFile_p.h"

namespace zor {

struct DwarfSections {
  std::span<const uint8_t> info, abbrev, aranges, line, str, lineStr, strOffsets, addr, ranges, rnglists;
};

// Adds each compile unit's address ranges as code segments named by its
// source file (without folder), and the rows of its line program as line
// entries. Only addresses within [codeLow, codeHigh) of the file count (code
// the linker dropped keeps address 0); `bias` is added to every address.
// False when an offset or length in the sections points outside them (only
// the 32-bit format is read; units of other kinds are passed over).
bool ReadDwarf(const DwarfSections& sections, uint64_t codeLow, uint64_t codeHigh, uintptr_t bias,
               MapFileBuilder& builder);

namespace dwarf {

enum class Kind { None, Address, Constant, Text, StrIndex, AddrIndex, Offset, RangeIndex };
struct Value {
  Value(Kind k = Kind::None, uint64_t n = 0, std::string_view t = {}) : kind(k), number(n), text(t) {}
  Kind kind;
  uint64_t number;
  std::string_view text;
};

struct Unit {
  unsigned version = 0, addressSize = 8;
  std::string_view name;
  Value nameValue, low, high, ranges;
  bool hasStmt = false;
  uint64_t stmtList = 0, strOffsetsBase = 8, addrBase = 8, rnglistsBase = 12;
};

// The address of an address or address-index value.
bool ResolveAddress(const Value& v, const Unit& unit, const DwarfSections& s, uint64_t& address);

using Ranges = std::vector<std::pair<uint64_t, uint64_t>>;  // [low, high)
// .debug_aranges: the ranges of each unit by its .debug_info offset; `bad`
// when a set runs past the section.
std::unordered_map<uint64_t, Ranges> ReadAranges(std::span<const uint8_t> section, bool& bad);
// The unit's own ranges: low and high address, or its range list.
Ranges ReadUnitRanges(const Unit& unit, const DwarfSections& s, bool& bad);
// Runs one line program; rows of sequences that start outside the code are
// dropped, and of rows at one address the last counts. False when the
// program does not lie within the section or reads past its end.
bool ReadLineProgram(std::span<const uint8_t> section, uint64_t offset, uint64_t codeLow, uint64_t codeHigh,
                     uintptr_t bias, MapFileBuilder& builder);

}  // namespace dwarf

}  // namespace zor
