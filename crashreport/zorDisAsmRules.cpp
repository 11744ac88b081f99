// The validity rules the flag tables cannot express: forms valid only with
// memory or register operands, certain ModRM reg values or a mandatory prefix.
#include <algorithm>
#include <iterator>

#include "crashreport/zorDisAsm_p.h"

namespace zor {

namespace {

bool In(uint8_t v, uint8_t low, uint8_t high) { return v >= low && v <= high; }

bool Valid3DNowSuffix(uint8_t suffix) {
  static constexpr uint8_t kSuffixes[] = {0x0C, 0x0D, 0x1C, 0x1D, 0x8A, 0x8E, 0x90, 0x94, 0x96, 0x97, 0x9A, 0x9E,
                                          0xA0, 0xA4, 0xA6, 0xA7, 0xAA, 0xAE, 0xB0, 0xB4, 0xB6, 0xB7, 0xBB, 0xBF};
  return std::find(std::begin(kSuffixes), std::end(kSuffixes), suffix) != std::end(kSuffixes);
}

}  // namespace

bool PassesValidityRules(const Instruction& in, DecodeMode mode) {
  if (in.vex) return true;
  const bool x64 = mode == DecodeMode::X64;
  const bool mem = in.memory;
  const uint8_t reg = in.reg;
  const uint8_t m = in.modRM;
  switch (in.opcode) {
    case 0x62:
    case 0x8D:
    case 0xC4:
    case 0xC5:
    case 0x0FB2:
    case 0x0FB4:
    case 0x0FB5:
    case 0x0FC3:
      return mem;
    case 0x0FC7:
      return mem || (x64 && reg >= 6);  // rdrand and rdseed in long-mode code
    case 0x8C:
    case 0x8E:
      return reg < 6;
    case 0xD9:
      return mem || !(In(m, 0xD1, 0xD7) || m == 0xE2 || m == 0xE3 || m == 0xE6 || m == 0xE7 || m == 0xEF);
    case 0xDA:
      return mem || !(m == 0xE8 || In(m, 0xEA, 0xEF));
    case 0xDB:
      return mem || !In(m, 0xE5, 0xE7);
    case 0xDF:
      return mem || !In(m, 0xE1, 0xE7);
    case 0xFE:
      return reg < 2;
    case 0xFF:
      return reg < 7 && (mem || (reg != 3 && reg != 5));
    case 0x0F00:
      return reg < 6;
    case 0x0F01:
      // Long-mode code also uses the register forms (xgetbv, rdtscp, ...).
      return x64 ? (!mem || reg != 5) : (reg != 5 && (mem || reg > 3));
    case 0x0F0D:
      return mem && reg < 2;
    case 0x0F0F:
      return Valid3DNowSuffix(static_cast<uint8_t>(in.immediate));
    case 0x0F18:
      return mem && reg < 4;
    case 0x0F20:
    case 0x0F21:
    case 0x0F22:
    case 0x0F23:
      return !mem;
    case 0x0F6C:
    case 0x0F6D:
      return in.prefix66;
    case 0x0F71:
    case 0x0F72:
      return !mem && (reg == 2 || reg == 4 || reg == 6);
    case 0x0F73:
      // psrldq and pslldq (reg 3 and 7) exist only on XMM registers.
      return !mem && (reg == 2 || reg == 6 || ((reg == 3 || reg == 7) && in.prefix66));
    case 0x0F7C:
    case 0x0F7D:
    case 0x0FD0:
      return in.prefix66 || in.prefixF2;
    case 0x0FAE:
      return reg == 7 || (reg <= 3 && mem) || ((reg == 5 || reg == 6) && !mem);
    case 0x0FBA:
      return reg > 3;
    case 0x0FD6:
    case 0x0FE6:
      return in.prefix66 || in.prefixF2 || in.prefixF3;
    case 0x0FF0:
      return in.prefixF2;
    default:
      return true;
  }
}

}  // namespace zor
