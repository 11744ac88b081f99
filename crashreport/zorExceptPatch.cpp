// Code patches with their undo list, and protected writes.
#include "crashreport/zorExceptPatch.h"

#include <sys/mman.h>

#include <cstdio>
#include <cstring>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorDisAsmFunction.h"
#include "crashreport/zorDisAsm_p.h"
#include "crashreport/zorExceptPatch_p.h"

namespace zor {

namespace {

constexpr uintptr_t kPage = 4096;

struct PageRange {
  uintptr_t begin, end;
  int protection;
};

// The protections of the pages of [begin, end), from /proc/self/maps; empty
// when a page is not mapped.
std::vector<PageRange> Protections(uintptr_t begin, uintptr_t end) {
  std::vector<PageRange> out;
  uintptr_t covered = begin;
  for (const Mapping& m : ProcessMappings()) {
    if (covered >= end) break;
    if (m.end <= covered || m.begin >= end) continue;
    if (m.begin > covered) break;  // a hole
    const int prot = (m.read ? PROT_READ : 0) | (m.write ? PROT_WRITE : 0) | (m.execute ? PROT_EXEC : 0);
    out.push_back({covered, std::min(m.end, end), prot});
    covered = std::min(m.end, end);
  }
  if (covered < end) out.clear();
  return out;
}

std::string ReadBytes(const void* at, size_t n, bool& ok) {
  std::string bytes(n, '\0');
  ok = SafeRead(at, bytes.data(), n);
  return bytes;
}

bool RelativeReach(uintptr_t from, uintptr_t to, int32_t& displacement) {
  const intptr_t d = static_cast<intptr_t>(to - from);
  if (d < INT32_MIN || d > INT32_MAX) return false;
  displacement = static_cast<int32_t>(d);
  return true;
}

bool WriteBranch(uint8_t opcode, void* place, const void* destination) {
  int32_t d = 0;
  const uintptr_t at = reinterpret_cast<uintptr_t>(place);
  if (!RelativeReach(at + 5, reinterpret_cast<uintptr_t>(destination), d)) return false;
  uint8_t bytes[5] = {opcode};
  std::memcpy(bytes + 1, &d, 4);
  return AddCodePatch(place, bytes, 5);
}

}  // namespace

bool WriteProtected(void* place, const void* bytes, size_t length, int writableProtection) {
  const uintptr_t at = reinterpret_cast<uintptr_t>(place);
  const uintptr_t begin = at & ~(kPage - 1);
  const uintptr_t end = (at + length + kPage - 1) & ~(kPage - 1);
  const std::vector<PageRange> old = Protections(begin, end);
  if (old.empty()) return false;
  if (mprotect(reinterpret_cast<void*>(begin), end - begin, writableProtection) != 0) return false;
  if (length == sizeof(uint64_t) && at % sizeof(uint64_t) == 0) {
    uint64_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    __atomic_store_n(static_cast<uint64_t*>(place), value, __ATOMIC_SEQ_CST);  // readers see old or new
  } else {
    std::memcpy(place, bytes, length);
  }
  for (const PageRange& r : old) mprotect(reinterpret_cast<void*>(r.begin), r.end - r.begin, r.protection);
  __builtin___clear_cache(static_cast<char*>(place), static_cast<char*>(place) + length);
  return true;
}

std::vector<TZEPatch>& PatchList() {
  static std::vector<TZEPatch> list;
  return list;
}

bool AddCodePatch(void* address, const void* newBytes, size_t length) {
  try {
    bool ok = false;
    std::string original = ReadBytes(address, length, ok);
    if (!ok || std::memcmp(original.data(), newBytes, length) == 0) return false;
    if (!WriteProtected(address, newBytes, length, PROT_READ | PROT_WRITE | PROT_EXEC)) return false;
    PatchList().push_back({reinterpret_cast<uintptr_t>(address), std::move(original),
                           std::string(static_cast<const char*>(newBytes), length)});
    return true;
  } catch (...) {
    return false;
  }
}

void UndoCodePatches() {
  auto& list = PatchList();
  // Latest first, so that two patches of one place end at the first one's
  // original bytes.
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    try {
      bool ok = false;
      const auto* place = reinterpret_cast<void*>(it->address);
      if (ReadBytes(place, it->newBytes.size(), ok) != it->newBytes || !ok) continue;
      WriteProtected(reinterpret_cast<void*>(it->address), it->originalBytes.data(), it->originalBytes.size(),
                     PROT_READ | PROT_WRITE | PROT_EXEC);
    } catch (...) {
      // One place that cannot be restored does not keep the others.
    }
  }
}

bool PatchJump(void* target, const void* destination) {
  if (const uintptr_t cell = ImportStubCell(target)) {
    void* function = nullptr;
    if (!SafeRead(reinterpret_cast<const void*>(cell), &function, sizeof function) || !function) return false;
    target = function;
  }
  return WriteBranch(0xE9, target, destination);
}

bool PatchCallTarget(void* place, const void* destination) { return WriteBranch(0xE8, place, destination); }

bool PatchDword(void* place, uint32_t value) { return AddCodePatch(place, &value, sizeof value); }

bool RedirectRelativeCall(void* function, const void* oldTarget, const void* newTarget) {
  const TFunctionInfo info = AnalyseFunction(function);
  if (!info.valid) return false;
  for (const TZEFarCall& f : info.farCalls) {
    if (f.target != reinterpret_cast<uintptr_t>(oldTarget) || !f.relative || f.targetOperand == 0 ||
        f.next - f.targetOperand != 4)
      continue;
    int32_t d = 0;
    if (!RelativeReach(f.next, reinterpret_cast<uintptr_t>(newTarget), d)) return false;
    return WriteProtected(reinterpret_cast<void*>(f.targetOperand), &d, sizeof d, PROT_READ | PROT_WRITE | PROT_EXEC);
  }
  return false;
}

}  // namespace zor
