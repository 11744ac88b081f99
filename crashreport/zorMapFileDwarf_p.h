#pragma once
// The DWARF sections a module's debug information is read from.
#include <cstdint>
#include <span>

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

}  // namespace zor
