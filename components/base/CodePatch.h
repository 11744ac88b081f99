#pragma once
// Code patching of the own process: writing bytes over the process's code,
// putting a five-byte jump at the entry of a routine and taking it away
// again, and reading one class table at the position where another holds a
// routine.
//
// The jump is the x86 relative jump: the byte 0xE9 and a signed 32-bit
// little-endian displacement, replacement - target - 5 (relative to the end
// of the jump). A displacement that does not fit 32 bits (target and
// replacement more than 2 GiB apart, which 64-bit processes allow) would
// jump somewhere else, so such a patch is refused.
//
// How a designer uses the primitives: install the patch once; inside the
// replacement, when the routine's own behaviour is needed, restore the
// patch, call the routine and install the patch again whatever happens (a
// scope guard); restore it for good at shut-down. Patches are installed and
// removed on the GUI thread only: a thread running the target meanwhile
// could see a half-written jump.

#include <array>
#include <cstddef>
#include <cstdint>

// The size of the jump and of the bytes a patch saves.
inline constexpr std::size_t kCodePatchSize = 5;
inline constexpr std::uint8_t kRelativeJumpOpcode = 0xE9;

// Writes Size bytes from Buffer over the own process's memory at Address,
// code pages included (their protection is restored afterwards; see
// platform/process/ProcessMemory.h). False, nothing written, when the
// address range is not wholly mapped readable memory or the system refuses
// the write.
bool WriteProcessBytes(void* Address, const void* Buffer, std::size_t Size);

// One patched routine.
struct TCodePatch {
  void* Target = nullptr;                                 // the patched routine; nullptr when no patch is in force
  std::array<std::uint8_t, kCodePatchSize> SavedBytes{};  // its first bytes before the patch
};

// Replacement - Target - 5 as a signed 32-bit number. Meaningful only when
// JumpReaches(Target, Replacement); otherwise the low 32 bits.
std::int32_t JumpOffset(const void* Target, const void* Replacement);
// True when that displacement fits a signed 32-bit number.
bool JumpReaches(const void* Target, const void* Replacement);

// Saves Target's first five bytes in Patch and writes the jump to
// Replacement over them; Patch.Target = Target and true on success. False,
// with Patch.Target nullptr and Target's bytes unchanged, when the jump
// cannot reach Replacement, Target is not mapped readable memory, or the
// write is refused. Only on x86 processors (elsewhere always false).
bool InstallCodePatch(void* Target, const void* Replacement, TCodePatch& Patch);

// Writes the saved bytes back over Patch.Target; nothing when Target is
// nullptr (the installation failed). The record is left as it is.
void RestoreCodePatch(const TCodePatch& Patch);

// A class table, as these routines see it: an array of routine addresses
// whose pointer points at slot 0, with one more entry just before it
// (position -1, a class's destructor) and SlotCount slots from 0 on.
using TCodeAddress = const void*;

// The entry of ResultTable at the first position (from -1 up to
// SlotCount - 1) where SearchTable holds Routine; nullptr when SearchTable
// does not hold it.
TCodeAddress LookupParallel(const TCodeAddress* SearchTable, const TCodeAddress* ResultTable, int SlotCount,
                            TCodeAddress Routine);
