#pragma once
// Internals of the decoder: the measured parts of one instruction.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "crashreport/zorDisAsm.h"

namespace zor {

struct Instruction {
  bool valid = false;
  size_t length = 0;  // bytes consumed, also for invalid ones (as far as read)
  uint16_t opcode = 0;
  uint16_t flags = 0;  // table or group flags; 0xFFFF invalid
  // Prefixes.
  unsigned operandSize = 4;  // 2 after 66 (without REX.W)
  bool prefix66 = false, prefixF2 = false, prefixF3 = false, address67 = false;
  bool repeat = false;  // F2 or F3
  uint8_t rex = 0;      // the REX byte's low four bits (WRXB); VEX and EVEX set R and B too
  bool vex = false;     // VEX or EVEX encoded
  // ModRM and SIB.
  bool hasModRM = false, memory = false;
  uint8_t modRM = 0, reg = 0, rm = 0;
  bool hasBase = false, hasIndex = false, ripRelative = false;
  uint8_t base = 0, index = 0, scale = 1;  // base and index with REX extension
  size_t displacementSize = 0;
  int64_t displacement = 0;
  uintptr_t displacementAt = 0;
  size_t immediateSize = 0;
  int64_t immediate = 0;  // sign-extended for 1, 2 and 4 bytes
  uintptr_t immediateAt = 0;
};

// Measures the instruction in `bytes` (`count` of them readable), which lies
// at `address`; positions in the result are addresses. Applies the validity
// rules; reading past `count` or past 15 bytes makes it invalid.
void MeasureInstruction(const uint8_t* bytes, size_t count, uintptr_t address, DecodeMode mode, Instruction& out);

// One line of /proc/self/maps: [begin, end) and the r, w, x flags.
struct Mapping {
  uintptr_t begin = 0, end = 0;
  bool read = false, write = false, execute = false;
};
// The mappings of the process in ascending order; empty when unreadable.
std::vector<Mapping> ProcessMappings();

// Whether the validity rules on top of the tables accept the instruction.
bool PassesValidityRules(const Instruction& in, DecodeMode mode);

}  // namespace zor
