#include "components/base/CodePatch.h"

#include <limits>

#include "platform/process/ProcessMemory.h"

namespace {
std::int64_t Displacement(const void* Target, const void* Replacement) {
  // Modular in the address width, then signed: on a 32-bit processor every
  // jump reaches.
  return static_cast<std::intptr_t>(reinterpret_cast<std::uintptr_t>(Replacement) -
                                    reinterpret_cast<std::uintptr_t>(Target) - kCodePatchSize);
}
}  // namespace

bool WriteProcessBytes(void* Address, const void* Buffer, std::size_t Size) {
  return WriteOwnMemory(Address, Buffer, Size);
}

std::int32_t JumpOffset(const void* Target, const void* Replacement) {
  return static_cast<std::int32_t>(Displacement(Target, Replacement));
}

bool JumpReaches(const void* Target, const void* Replacement) {
  const std::int64_t d = Displacement(Target, Replacement);
  return d >= std::numeric_limits<std::int32_t>::min() && d <= std::numeric_limits<std::int32_t>::max();
}

bool InstallCodePatch(void* Target, const void* Replacement, TCodePatch& Patch) {
  Patch.Target = nullptr;
#if defined(__x86_64__) || defined(__i386__)
  if (!JumpReaches(Target, Replacement)) return false;
  if (!ReadOwnMemory(Target, Patch.SavedBytes.data(), kCodePatchSize)) return false;
  const auto offset = static_cast<std::uint32_t>(JumpOffset(Target, Replacement));
  const std::array<std::uint8_t, kCodePatchSize> jump{
      kRelativeJumpOpcode,
      static_cast<std::uint8_t>(offset),
      static_cast<std::uint8_t>(offset >> 8),
      static_cast<std::uint8_t>(offset >> 16),
      static_cast<std::uint8_t>(offset >> 24),
  };
  if (!WriteProcessBytes(Target, jump.data(), jump.size())) return false;
  Patch.Target = Target;
  return true;
#else
  // The jump is x86 code; written over another processor's code it would run
  // as garbage.
  return false;
#endif
}

void RestoreCodePatch(const TCodePatch& Patch) {
  if (Patch.Target) WriteProcessBytes(Patch.Target, Patch.SavedBytes.data(), Patch.SavedBytes.size());
}

TCodeAddress LookupParallel(const TCodeAddress* SearchTable, const TCodeAddress* ResultTable, int SlotCount,
                            TCodeAddress Routine) {
  for (int i = -1; i < SlotCount; ++i)
    if (SearchTable[i] == Routine) return ResultTable[i];
  return nullptr;
}
