// DWARF (versions 2 to 5, 32-bit format): the compile units' names and
// address ranges, and the line programs of .debug_line.
#include <unordered_set>

#include "crashreport/zorMapFileDwarf_p.h"

namespace zor {

using namespace dwarf;

namespace {

// Attribute and form codes used here.
enum : uint64_t {
  kAtName = 0x03,
  kAtStmtList = 0x10,
  kAtLowPc = 0x11,
  kAtHighPc = 0x12,
  kAtRanges = 0x55,
  kAtStrOffsetsBase = 0x72,
  kAtAddrBase = 0x73,
  kAtRnglistsBase = 0x74,
  kAtGnuAddrBase = 0x2133,
};
enum : uint64_t {
  kFormAddr = 0x01,
  kFormBlock2 = 0x03,
  kFormBlock4 = 0x04,
  kFormData2 = 0x05,
  kFormData4 = 0x06,
  kFormData8 = 0x07,
  kFormString = 0x08,
  kFormBlock = 0x09,
  kFormBlock1 = 0x0a,
  kFormData1 = 0x0b,
  kFormFlag = 0x0c,
  kFormSdata = 0x0d,
  kFormStrp = 0x0e,
  kFormUdata = 0x0f,
  kFormRefAddr = 0x10,
  kFormRef1 = 0x11,
  kFormRef2 = 0x12,
  kFormRef4 = 0x13,
  kFormRef8 = 0x14,
  kFormRefUdata = 0x15,
  kFormIndirect = 0x16,
  kFormSecOffset = 0x17,
  kFormExprloc = 0x18,
  kFormFlagPresent = 0x19,
  kFormStrx = 0x1a,
  kFormAddrx = 0x1b,
  kFormRefSup4 = 0x1c,
  kFormStrpSup = 0x1d,
  kFormData16 = 0x1e,
  kFormLineStrp = 0x1f,
  kFormRefSig8 = 0x20,
  kFormImplicitConst = 0x21,
  kFormLoclistx = 0x22,
  kFormRnglistx = 0x23,
  kFormRefSup8 = 0x24,
  kFormStrx1 = 0x25,
  kFormStrx4 = 0x28,
  kFormAddrx1 = 0x29,
  kFormAddrx4 = 0x2c,
  kFormGnuAddrIndex = 0x1f01,
  kFormGnuStrIndex = 0x1f02,
  kFormGnuRefAlt = 0x1f20,
  kFormGnuStrpAlt = 0x1f21,
};

std::string_view TextAt(std::span<const uint8_t> section, uint64_t offset) {
  ByteCursor c(section, offset);
  const std::string_view text = c.CString();
  return c.Ok() ? text : std::string_view();
}

Value ReadValue(ByteCursor& c, uint64_t form, int64_t implicitConst, const Unit& unit, const DwarfSections& s,
                int depth = 0) {
  const unsigned offsetSize = 4;
  switch (form) {
    case kFormAddr:
      return {Kind::Address, c.GetSized(unit.addressSize)};
    case kFormData1:
    case kFormRef1:
    case kFormFlag:
      return {Kind::Constant, c.Get<uint8_t>()};
    case kFormData2:
    case kFormRef2:
      return {Kind::Constant, c.Get<uint16_t>()};
    case kFormData4:
    case kFormRef4:
    case kFormRefSup4:
      return {Kind::Constant, c.Get<uint32_t>()};
    case kFormData8:
    case kFormRef8:
    case kFormRefSig8:
    case kFormRefSup8:
      return {Kind::Constant, c.Get<uint64_t>()};
    case kFormData16:
      c.Skip(16);
      return {};
    case kFormSdata:
      return {Kind::Constant, static_cast<uint64_t>(c.Sleb())};
    case kFormUdata:
    case kFormRefUdata:
      return {Kind::Constant, c.Uleb()};
    case kFormImplicitConst:
      return {Kind::Constant, static_cast<uint64_t>(implicitConst)};
    case kFormFlagPresent:
      return {Kind::Constant, 1};
    case kFormString:
      return {Kind::Text, 0, c.CString()};
    case kFormStrp:
      return {Kind::Text, 0, TextAt(s.str, c.GetSized(offsetSize))};
    case kFormLineStrp:
      return {Kind::Text, 0, TextAt(s.lineStr, c.GetSized(offsetSize))};
    case kFormStrpSup:
    case kFormGnuStrpAlt:
    case kFormGnuRefAlt:
      c.Skip(offsetSize);
      return {};
    case kFormRefAddr:
      c.Skip(unit.version <= 2 ? unit.addressSize : offsetSize);
      return {};
    case kFormSecOffset:
      return {Kind::Offset, c.GetSized(offsetSize)};
    case kFormBlock1:
      c.Skip(c.Get<uint8_t>());
      return {};
    case kFormBlock2:
      c.Skip(c.Get<uint16_t>());
      return {};
    case kFormBlock4:
      c.Skip(c.Get<uint32_t>());
      return {};
    case kFormBlock:
    case kFormExprloc:
      c.Skip(c.Uleb());
      return {};
    case kFormStrx:
    case kFormGnuStrIndex:
      return {Kind::StrIndex, c.Uleb()};
    case kFormAddrx:
    case kFormGnuAddrIndex:
      return {Kind::AddrIndex, c.Uleb()};
    case kFormLoclistx:
      c.Uleb();
      return {};
    case kFormRnglistx:
      return {Kind::RangeIndex, c.Uleb()};
    case kFormIndirect:
      if (depth > 2) break;
      return ReadValue(c, c.Uleb(), implicitConst, unit, s, depth + 1);
    default:
      if (form >= kFormStrx1 && form <= kFormStrx4)
        return {Kind::StrIndex, c.GetSized(unsigned(form - kFormStrx1 + 1))};
      if (form >= kFormAddrx1 && form <= kFormAddrx4)
        return {Kind::AddrIndex, c.GetSized(unsigned(form - kFormAddrx1 + 1))};
      break;
  }
  // An unknown form cannot be skipped: the unit's attributes end here.
  c.Skip(UINT64_MAX);
  return {};
}

std::string_view ResolveText(const Value& v, const Unit& unit, const DwarfSections& s) {
  if (v.kind == Kind::Text) return v.text;
  if (v.kind != Kind::StrIndex || v.number > UINT32_MAX) return {};
  ByteCursor c(s.strOffsets, unit.strOffsetsBase + v.number * 4);
  const uint32_t offset = c.Get<uint32_t>();
  return c.Ok() ? TextAt(s.str, offset) : std::string_view();
}

// Reads the attributes of the unit's first entry; false when it cannot.
bool ReadUnitEntry(ByteCursor& c, uint64_t abbrevOffset, Unit& unit, const DwarfSections& s) {
  const uint64_t code = c.Uleb();
  ByteCursor a(s.abbrev, abbrevOffset);
  while (c.Ok() && a.Ok()) {
    const uint64_t entry = a.Uleb();
    if (entry == 0 || !a.Ok()) return false;
    a.Uleb();          // tag
    a.Get<uint8_t>();  // has children
    for (;;) {
      const uint64_t attribute = a.Uleb(), form = a.Uleb();
      const int64_t implicitConst = form == kFormImplicitConst ? a.Sleb() : 0;
      if (!a.Ok()) return false;
      if (attribute == 0 && form == 0) break;
      if (entry != code) continue;
      const Value v = ReadValue(c, form, implicitConst, unit, s);
      if (!c.Ok()) return false;
      switch (attribute) {
        case kAtName:
          unit.nameValue = v;
          break;
        case kAtLowPc:
          unit.low = v;
          break;
        case kAtHighPc:
          unit.high = v;
          break;
        case kAtRanges:
          unit.ranges = v;
          break;
        case kAtStmtList:
          unit.hasStmt = true, unit.stmtList = v.number;
          break;
        case kAtStrOffsetsBase:
          unit.strOffsetsBase = v.number;
          break;
        case kAtAddrBase:
        case kAtGnuAddrBase:
          unit.addrBase = v.number;
          break;
        case kAtRnglistsBase:
          unit.rnglistsBase = v.number;
          break;
        default:
          break;
      }
    }
    if (entry == code) return true;
  }
  return false;
}

}  // namespace

bool dwarf::ResolveAddress(const Value& v, const Unit& unit, const DwarfSections& s, uint64_t& address) {
  if (v.kind == Kind::Address) return address = v.number, true;
  if (v.kind != Kind::AddrIndex || v.number > UINT32_MAX) return false;
  ByteCursor c(s.addr, unit.addrBase + v.number * unit.addressSize);
  address = c.GetSized(unit.addressSize);
  return c.Ok();
}

bool ReadDwarf(const DwarfSections& s, uint64_t codeLow, uint64_t codeHigh, uintptr_t bias, MapFileBuilder& builder) {
  bool bad = false;
  const std::unordered_map<uint64_t, Ranges> aranges = ReadAranges(s.aranges, bad);
  std::unordered_set<uint64_t> programsRead;
  ByteCursor c(s.info);
  while (!bad && !c.AtEnd()) {
    const uint64_t start = c.Position();
    const uint32_t length = c.Get<uint32_t>();
    if (!c.Ok() || length >= 0xfffffff0u || length > c.Remaining()) return false;
    const uint64_t end = start + 4 + length;
    ByteCursor u(s.info.first(end), c.Position());
    Unit unit;
    unit.version = u.Get<uint16_t>();
    uint64_t abbrevOffset = 0;
    bool compileUnit = true;
    if (unit.version >= 5) {
      const unsigned type = u.Get<uint8_t>();
      compileUnit = type == 1 || type == 3;  // full or partial unit
      unit.addressSize = u.Get<uint8_t>();
      abbrevOffset = u.Get<uint32_t>();
    } else {
      abbrevOffset = u.Get<uint32_t>();
      unit.addressSize = u.Get<uint8_t>();
    }
    c.Seek(end);
    if (!u.Ok()) return false;
    if (unit.version < 2 || unit.version > 5 || !compileUnit || (unit.addressSize != 4 && unit.addressSize != 8))
      continue;  // a unit this reader does not know
    if (!ReadUnitEntry(u, abbrevOffset, unit, s)) return false;
    const std::string name(BaseFileName(ResolveText(unit.nameValue, unit, s)));
    const auto found = aranges.find(start);
    const Ranges ranges = found != aranges.end() ? found->second : ReadUnitRanges(unit, s, bad);
    for (const auto& [low, high] : ranges)
      if (!name.empty() && low >= codeLow && high <= codeHigh && high > low)
        builder.AddSegment(name, bias + low, high - low, true, false, unit.hasStmt);
    if (unit.hasStmt && programsRead.insert(unit.stmtList).second &&
        !ReadLineProgram(s.line, unit.stmtList, codeLow, codeHigh, bias, builder))
      return false;
  }
  return !bad;
}

}  // namespace zor
