// Measuring one instruction from its bytes: prefixes, opcode, ModRM, SIB,
// displacement and immediate, and the validity rules on top of the tables.
#include <algorithm>

#include "crashreport/zorDisAsm_p.h"

namespace zor {

namespace {

constexpr uint16_t kInvalid = 0xFFFF;
constexpr size_t kMaxLength = 15;

struct Cursor {
  const uint8_t* bytes;
  size_t count;
  uintptr_t base;
  size_t pos = 0;
  bool fault = false;

  uint8_t Next() {
    if (pos >= count) {
      fault = true;
      return 0;
    }
    return bytes[pos++];
  }
  // Little-endian, sign-extended below 8 bytes.
  int64_t Signed(size_t size) {
    uint64_t v = 0;
    for (size_t i = 0; i < size; ++i) v |= uint64_t{Next()} << (8 * i);
    if (size > 0 && size < 8 && ((v >> (8 * size - 1)) & 1)) v |= ~uint64_t{0} << (8 * size);
    return static_cast<int64_t>(v);
  }
  uintptr_t Here() const { return base + pos; }
};

// Opcodes long mode no longer has.
bool DroppedInLongMode(uint8_t op) {
  static constexpr uint8_t kDropped[] = {0x06, 0x07, 0x0E, 0x16, 0x17, 0x1E, 0x1F, 0x27, 0x2F, 0x37,
                                         0x3F, 0x60, 0x61, 0x82, 0x9A, 0xCE, 0xD4, 0xD5, 0xD6, 0xEA};
  return std::find(std::begin(kDropped), std::end(kDropped), op) != std::end(kDropped);
}

uint16_t OneByte(uint8_t op, DecodeMode mode) {
  if (mode == DecodeMode::X64) {
    if (DroppedInLongMode(op)) return kInvalid;
    if (op == 0x63) return 0x2020;  // movsxd r, r/m32
  }
  return OneByteFlags(op);
}

uint16_t TwoByte(uint8_t op, DecodeMode mode) {
  if (mode == DecodeMode::X64) {
    if (op == 0x05 || op == 0x07 || op == 0x0B) return 0x0000;  // syscall, sysret, ud2
    if (op == 0xB8) return 0x2020;                              // popcnt
  }
  return TwoByteFlags(op);
}

void ReadModRM(Cursor& c, DecodeMode mode, Instruction& in) {
  in.hasModRM = true;
  in.modRM = c.Next();
  const uint8_t mod = in.modRM >> 6;
  in.reg = (in.modRM >> 3) & 7;
  in.rm = in.modRM & 7;
  in.memory = in.modRM < 0xC0;
  if (!in.memory) return;
  const bool bits16 = mode == DecodeMode::Ia32 && in.address67;
  const uint8_t extB = in.rex & 1 ? 8 : 0;
  size_t disp = mod == 1 ? 1 : mod == 2 ? (bits16 ? 2 : 4) : 0;
  if (bits16) {
    if (in.rm <= 3) {
      in.hasIndex = true;
      in.index = in.rm & 1 ? 7 : 6;  // DI or SI
    }
    if (mod == 0 && in.rm == 6) {
      disp = 2;
    } else {
      in.hasBase = true;
      in.base = (in.rm == 2 || in.rm == 3 || in.rm == 6) ? 5 : in.rm == 4 ? 6 : in.rm == 5 ? 7 : 3;
    }
  } else if (in.rm == 4) {
    const uint8_t sib = c.Next();
    const uint8_t index = ((sib >> 3) & 7) | (in.rex & 2 ? 8 : 0);
    in.hasIndex = index != 4;
    in.index = index;
    in.scale = static_cast<uint8_t>(1u << (sib >> 6));
    if ((sib & 7) == 5 && mod == 0) {
      disp = 4;
    } else {
      in.hasBase = true;
      in.base = (sib & 7) | extB;
    }
  } else if (in.rm == 5 && mod == 0) {
    disp = 4;
    in.ripRelative = mode == DecodeMode::X64;
  } else {
    in.hasBase = true;
    in.base = in.rm | extB;
  }
  in.displacementSize = disp;
  in.displacementAt = c.Here();
  in.displacement = c.Signed(disp);
}

// VEX (C4, C5) and EVEX (62): the map comes from the prefix, every form but
// VEX vzeroupper/vzeroall has ModRM, and the 0F 3A map and a few 0F forms
// take one immediate byte.
uint16_t ReadVex(Cursor& c, uint8_t first, Instruction& in) {
  in.vex = true;
  in.opcode = first;
  uint8_t map = 1;
  uint8_t bits = 0;  // the inverted R X B bits
  if (first == 0xC5) {
    bits = c.Next() & 0x80;
  } else {
    const uint8_t p0 = c.Next();
    bits = p0 & 0xE0;
    map = first == 0xC4 ? (p0 & 0x1F) : (p0 & 0x07);
    c.Next();
    if (first == 0x62) c.Next();
  }
  in.rex = static_cast<uint8_t>(((bits & 0x80) ? 0 : 4) | ((bits & 0x40) ? 0 : 2) | ((bits & 0x20) ? 0 : 1));
  const bool mapKnown = map == 1 || map == 2 || map == 3 || (first == 0x62 && (map == 5 || map == 6));
  const uint8_t op = c.Next();
  if (!mapKnown) return kInvalid;
  const bool imm8 = map == 3 || (map == 1 && ((op >= 0x70 && op <= 0x73) || op == 0xC2 || (op >= 0xC4 && op <= 0xC6)));
  const bool modRM = !(first != 0x62 && map == 1 && op == 0x77);
  return static_cast<uint16_t>((modRM ? 0x0020 : 0) | (imm8 ? 0x0400 : 0));
}

size_t ImmediateSize(uint16_t flags, const Instruction& in, DecodeMode mode) {
  const bool x64 = mode == DecodeMode::X64;
  switch (flags & 0x0C00) {
    case 0x0400:
      return 1;
    case 0x0800:
      return 2;
    case 0x0C00:
      return (x64 && (in.rex & 8) && in.opcode >= 0xB8 && in.opcode <= 0xBF) ? 8 : in.operandSize;
    default:
      break;
  }
  const uint16_t op = in.opcode;
  if (op == 0x9A || op == 0xEA) return in.operandSize + 2;
  if (op >= 0xA0 && op <= 0xA3) return x64 ? (in.address67 ? 4 : 8) : (in.address67 ? 2 : 4);
  if (op == 0xC8) return 3;
  return 0;
}

}  // namespace

void MeasureInstruction(const uint8_t* bytes, size_t count, uintptr_t address, DecodeMode mode, Instruction& out) {
  Instruction in;
  Cursor c{bytes, std::min(count, kMaxLength), address};
  const bool x64 = mode == DecodeMode::X64;
  uint8_t b = 0;
  for (;;) {
    b = c.Next();
    if (c.fault) break;
    switch (b) {
      case 0x66:
        in.prefix66 = true;
        in.rex = 0;
        continue;
      case 0x67:
        in.address67 = true;
        in.rex = 0;
        continue;
      case 0xF2:
        in.prefixF2 = in.repeat = true;
        in.rex = 0;
        continue;
      case 0xF3:
        in.prefixF3 = in.repeat = true;
        in.rex = 0;
        continue;
      case 0xF0:
      case 0x26:
      case 0x2E:
      case 0x36:
      case 0x3E:
      case 0x64:
      case 0x65:
        in.rex = 0;
        continue;
      default:
        break;
    }
    if (x64 && (b & 0xF0) == 0x40) {
      in.rex = b & 0x0F;  // a REX prefix counts only right before the opcode
      continue;
    }
    break;
  }
  uint16_t flags = kInvalid;
  if (!c.fault) {
    if (x64 && (b == 0xC4 || b == 0xC5 || b == 0x62)) {
      flags = ReadVex(c, b, in);
    } else if (b == 0x0F) {
      const uint8_t second = c.Next();
      in.opcode = static_cast<uint16_t>(0x0F00 | second);
      if (x64 && (second == 0x38 || second == 0x3A)) {
        c.Next();  // the map's own opcode byte
        flags = second == 0x38 ? 0x0020 : 0x0420;
      } else {
        flags = TwoByte(second, mode);
      }
    } else {
      in.opcode = b;
      flags = OneByte(b, mode);
    }
  }
  in.operandSize = (in.prefix66 && !(in.rex & 8)) ? 2 : 4;
  if (flags != kInvalid && (flags & 0x0038) && !c.fault) {
    ReadModRM(c, mode, in);
    if ((flags & 0x0038) == 0x0008) flags = GroupFlags(static_cast<uint8_t>(in.opcode), in.memory, in.reg);
  }
  if (flags != kInvalid && !c.fault) {
    in.immediateSize = ImmediateSize(flags, in, mode);
    in.immediateAt = c.Here();
    in.immediate = c.Signed(in.immediateSize);
  }
  in.flags = flags;
  in.length = c.pos;
  in.valid = !c.fault && flags != kInvalid && PassesValidityRules(in, mode);
  out = in;
}

}  // namespace zor
