// DWARF address ranges of compile units (.debug_aranges, .debug_ranges,
// .debug_rnglists) and the line programs of .debug_line.
#include "crashreport/zorMapFileDwarf_p.h"

namespace zor::dwarf {

std::unordered_map<uint64_t, Ranges> ReadAranges(std::span<const uint8_t> section, bool& bad) {
  std::unordered_map<uint64_t, Ranges> units;
  ByteCursor c(section);
  while (c.Ok() && c.Remaining() >= 4) {
    const uint64_t start = c.Position();
    const uint32_t length = c.Get<uint32_t>();
    if (length >= 0xfffffff0u || length > c.Remaining()) {
      bad = true;
      break;
    }
    const uint64_t end = start + 4 + length;
    c.Get<uint16_t>();  // version
    const uint32_t infoOffset = c.Get<uint32_t>();
    const unsigned addressSize = c.Get<uint8_t>(), segmentSize = c.Get<uint8_t>();
    if ((addressSize == 4 || addressSize == 8) && segmentSize == 0) {
      const uint64_t tuple = 2 * addressSize;
      ByteCursor t(section.first(end), start + (12 + tuple - 1) / tuple * tuple);
      while (t.Ok() && t.Remaining() >= tuple) {
        const uint64_t low = t.GetSized(addressSize), size = t.GetSized(addressSize);
        if (low == 0 && size == 0) break;
        if (low + size > low) units[infoOffset].push_back({low, low + size});
      }
      bad = bad || !t.Ok();
    }
    c.Seek(end);
  }
  return units;
}

Ranges ReadUnitRanges(const Unit& unit, const DwarfSections& s, bool& bad) {
  Ranges ranges;
  uint64_t base = 0;
  const bool hasBase = ResolveAddress(unit.low, unit, s, base);
  if (unit.ranges.kind == Kind::None) {
    uint64_t high = 0;
    if (!hasBase) return ranges;
    if (unit.high.kind == Kind::Constant)
      high = base + unit.high.number;
    else if (!ResolveAddress(unit.high, unit, s, high))
      return ranges;
    if (high > base) ranges.push_back({base, high});
    return ranges;
  }
  const unsigned size = unit.addressSize;
  if (unit.version < 5) {
    ByteCursor c(s.ranges, unit.ranges.number);
    const uint64_t all = size == 8 ? UINT64_MAX : UINT32_MAX;
    while (c.Ok() && ranges.size() < 65536) {
      const uint64_t begin = c.GetSized(size), end = c.GetSized(size);
      if (!c.Ok()) bad = true;
      if (!c.Ok() || (begin == 0 && end == 0)) break;
      if (begin == all)
        base = end;
      else if (end > begin)
        ranges.push_back({base + begin, base + end});
    }
    return ranges;
  }
  uint64_t offset = unit.ranges.number;
  if (unit.ranges.kind == Kind::RangeIndex) {
    ByteCursor index(s.rnglists, unit.rnglistsBase + offset * 4);
    offset = unit.rnglistsBase + index.Get<uint32_t>();
    if (!index.Ok()) {
      bad = true;
      return ranges;
    }
  }
  ByteCursor c(s.rnglists, offset);
  const auto indexed = [&](uint64_t index) {
    uint64_t address = 0;
    ResolveAddress({Kind::AddrIndex, index}, unit, s, address);
    return address;
  };
  while (c.Ok() && ranges.size() < 65536) {
    uint64_t begin = 0, end = 0;
    switch (c.Get<uint8_t>()) {
      case 0:
        return ranges;  // end of list
      case 1:
        base = indexed(c.Uleb());
        continue;
      case 2:
        begin = indexed(c.Uleb()), end = indexed(c.Uleb());
        break;
      case 3:
        begin = indexed(c.Uleb()), end = begin + c.Uleb();
        break;
      case 4:
        begin = base + c.Uleb(), end = base + c.Uleb();
        break;
      case 5:
        base = c.GetSized(size);
        continue;
      case 6:
        begin = c.GetSized(size), end = c.GetSized(size);
        break;
      case 7:
        begin = c.GetSized(size), end = begin + c.Uleb();
        break;
      default:
        return ranges;
    }
    if (c.Ok() && end > begin) ranges.push_back({begin, end});
  }
  bad = bad || !c.Ok();
  return ranges;
}

bool ReadLineProgram(std::span<const uint8_t> section, uint64_t offset, uint64_t codeLow, uint64_t codeHigh,
                     uintptr_t bias, MapFileBuilder& builder) {
  ByteCursor h(section, offset);
  const uint32_t length = h.Get<uint32_t>();
  if (!h.Ok() || length >= 0xfffffff0u || length > h.Remaining()) return false;
  const uint64_t end = h.Position() + length;
  const unsigned version = h.Get<uint16_t>();
  if (version < 2 || version > 5) return true;  // a form this reader does not know
  unsigned addressSize = 8;
  if (version >= 5) {
    addressSize = h.Get<uint8_t>();
    h.Get<uint8_t>();  // segment selector size
  }
  const uint32_t headerLength = h.Get<uint32_t>();
  const uint64_t program = h.Position() + headerLength;
  const unsigned minInstruction = h.Get<uint8_t>();
  if (version >= 4) h.Get<uint8_t>();  // operations per instruction
  const bool defaultIsStmt = h.Get<uint8_t>() != 0;
  (void)defaultIsStmt;
  const int lineBase = h.Get<int8_t>();
  const unsigned lineRange = h.Get<uint8_t>(), opcodeBase = h.Get<uint8_t>();
  const std::span<const uint8_t> standardLengths = h.Take(opcodeBase > 0 ? opcodeBase - 1 : 0);
  if (!h.Ok() || lineRange == 0 || opcodeBase == 0 || program > end || h.Position() > program) return false;

  ByteCursor c(section.first(end), program);
  // Both wrap on purpose: the values come from an untrusted program.
  uint64_t address = 0, line = 1;
  std::vector<MapLine> sequence;
  const auto emit = [&] {
    const auto row = static_cast<int32_t>(static_cast<uint32_t>(line));
    if (!sequence.empty() && sequence.back().address == address)
      sequence.back().line = row;
    else
      sequence.push_back({row, static_cast<uintptr_t>(address)});
  };
  while (c.Ok() && !c.AtEnd()) {
    const uint8_t opcode = c.Get<uint8_t>();
    if (opcode >= opcodeBase) {
      const unsigned adjusted = opcode - opcodeBase;
      address += uint64_t{adjusted / lineRange} * minInstruction;
      line += static_cast<uint64_t>(int64_t{lineBase} + adjusted % lineRange);
      emit();
      continue;
    }
    switch (opcode) {
      case 0: {  // extended
        const uint64_t size = c.Uleb();
        if (!c.Ok() || size == 0 || size > c.Remaining()) return false;
        const uint64_t next = c.Position() + size;
        const uint8_t sub = c.Get<uint8_t>();
        if (sub == 1) {  // end of sequence
          if (!sequence.empty() && sequence.front().address >= codeLow && sequence.front().address < codeHigh)
            for (const MapLine& row : sequence) builder.AddLine(row.line, bias + row.address);
          sequence.clear();
          address = 0, line = 1;
        } else if (sub == 2 && size - 1 <= 8) {
          address = c.GetSized(static_cast<unsigned>(size - 1));
        }
        c.Seek(next);
        break;
      }
      case 1:
        emit();
        break;  // copy
      case 2:
        address += c.Uleb() * minInstruction;
        break;  // advance pc
      case 3:
        line += static_cast<uint64_t>(c.Sleb());
        break;  // advance line
      case 4:
      case 5:
        c.Uleb();
        break;  // file, column
      case 6:
      case 7:
      case 10:
      case 11:
        break;  // flags
      case 8:
        address += uint64_t{(255 - opcodeBase) / lineRange} * minInstruction;
        break;  // const add pc
      case 9:
        address += c.Get<uint16_t>();
        break;  // fixed advance pc
      default:
        for (unsigned i = 0; i < standardLengths[opcode - 1]; ++i) c.Uleb();
        break;
    }
  }
  (void)addressSize;
  return c.Ok();
}

}  // namespace zor::dwarf
