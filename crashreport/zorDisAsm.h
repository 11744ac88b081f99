#pragma once
// The reporter's x86 decoder: it measures instructions of the own process
// (prefixes, ModRM, SIB, displacement, immediate), tells whether they are
// valid, finds the targets of calls and jumps and follows whole functions.
// Memory is read through SafeRead, so decoding never faults.
//
// Two modes: IA-32, for 32-bit code as the opcode tables describe it, and
// x86-64, the code this program runs (REX, RIP-relative operands, 8-byte
// moffs and immediates, and VEX, EVEX and the 0F 38 / 0F 3A maps measured).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zor {

// --- Safe reads ---------------------------------------------------------------

// One record of a readable-regions snapshot: [start, end).
struct TDATryReadRecord {
  uintptr_t start = 0;
  uintptr_t end = 0;
  bool readable = false;
};
// Records in ascending order covering the user address space without gaps;
// neighbours always differ in readability.
struct TDATryRead {
  std::vector<TDATryReadRecord> records;
};

// The readable mappings of /proc/self/maps (the "r" flag), from 0 to the end
// of the user address space.
TDATryRead SnapshotReadableRegions();
void FreeReadableRegions(TDATryRead& snapshot);
// Whether the record holding `address` is readable (a probing search over the
// records); false when no record holds it.
bool IsReadableAddress(const TDATryRead& snapshot, uintptr_t address);
// The end of the readable record holding `address`; 0 when it is not readable.
uintptr_t ReadableEnd(const TDATryRead& snapshot, uintptr_t address);

// Copies `count` bytes from `source` in this process to `destination`
// through the system's process-memory read, so that unmapped or unreadable
// memory makes the read fail instead of faulting. True only when all bytes
// were read; a null source or destination fails; a count of 0 succeeds.
bool SafeRead(const void* source, void* destination, size_t count);
// The same, and with a snapshot the first byte must lie in a readable record.
bool SafeRead(const void* source, void* destination, size_t count, const TDATryRead* snapshot);

// A routine of a system library whose module and routine names are stored
// scrambled (UnscrambleText); nullptr when the library is not loaded or has
// no such routine.
void* KernelProcedure(std::string_view scrambledModule, std::string_view scrambledName);

// --- Decoding one instruction -------------------------------------------------

enum class DecodeMode { Ia32, X64 };

// Register state for tracking constants: per register the address of the
// immediate operand that loaded it, or 0 when unknown; the immediate's width
// (4 zero-extended, 8, or kSignedImm32 for a sign-extended 4-byte one).
// IA-32 uses the first eight registers, x86-64 all sixteen.
inline constexpr uint8_t kSignedImm32 = 0x84;
struct TZERegisters {
  std::array<uintptr_t, 16> operand{};
  std::array<uint8_t, 16> width{};
  bool operator==(const TZERegisters&) const = default;
};

struct TZECodeInfo {
  bool valid = false;
  uint16_t opcode = 0;  // the byte, or 0x0F00 + second byte (0F38, 0F3A for those maps;
                        // C4, C5 or 62 for VEX and EVEX)
  uint8_t modRM = 0;
  bool call = false;            // E8, 9A, FF /2, FF /3
  bool jump = false;            // relative and conditional jumps, EA, FF /4, FF /5
  bool relative = false;        // target = next + displacement
  uintptr_t target = 0;         // when known
  uintptr_t targetOperand = 0;  // the displacement, or the immediate that loaded the register
  uintptr_t targetCell = 0;     // the displacement or immediate that addresses the cell
  uint32_t targetSize = 0;      // 1, 2 or 4
  bool enlargeable = false;     // a relative target whose displacement could be widened
  uintptr_t address = 0;
  uintptr_t next = 0;
  // Added for this system: the cell an indirect branch reads its target from
  // (absolute or RIP-relative), 0 otherwise.
  uintptr_t cell = 0;
  bool hasModRM = false;
};

// Decodes the instruction at `address`. With `registers` and `useRegisters`
// the registers' constant states are used for register branches and updated;
// with a snapshot every byte read must lie in its readable records. Invalid
// bytes, unreadable bytes or an unreadable target cell give valid == false.
// A call or jump to its own next address comes back without call, jump or
// target information.
TZECodeInfo DecodeInstruction(const void* address, TZERegisters* registers, bool useRegisters,
                              const TDATryRead* snapshot, DecodeMode mode);
inline TZECodeInfo DecodeInstruction(const void* address, DecodeMode mode = DecodeMode::X64) {
  return DecodeInstruction(address, nullptr, false, nullptr, mode);
}
inline TZECodeInfo DecodeInstruction(const void* address, const TDATryRead* snapshot,
                                     DecodeMode mode = DecodeMode::X64) {
  return DecodeInstruction(address, nullptr, false, snapshot, mode);
}

// The flag tables (0xFFFF: invalid; see the .cpp for the bits).
uint16_t OneByteFlags(uint8_t opcode);
uint16_t TwoByteFlags(uint8_t opcode);
// The group flags of F6, F7 and D8..DF; 0xFFFF for other opcodes.
uint16_t GroupFlags(uint8_t opcode, bool memoryForm, uint8_t reg);

}  // namespace zor
