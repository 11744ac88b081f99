// Random bytes through the decoder in both modes, and through the function
// analysis, with a snapshot in which only the bytes themselves are readable.
// The bytes end right before an inaccessible page, so a read past them that
// bypassed the guarded reads would fault.
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorDisAsmFunction.h"

namespace {

constexpr size_t kArea = 4 * 4096;

uint8_t* GuardedArea() {
  static uint8_t* area = [] {
    auto* p =
        static_cast<uint8_t*>(mmap(nullptr, kArea + 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    mprotect(p + kArea, 4096, PROT_NONE);
    return p;
  }();
  return area;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > kArea) return 0;
  uint8_t* bytes = GuardedArea() + kArea - size;
  std::memcpy(bytes, data, size);
  const uintptr_t begin = reinterpret_cast<uintptr_t>(bytes);
  const uintptr_t end = begin + size;
  zor::TDATryRead snapshot;
  snapshot.records = {{0, begin, false}, {begin, end, true}, {end, uintptr_t{1} << 47, false}};
  for (const zor::DecodeMode mode : {zor::DecodeMode::Ia32, zor::DecodeMode::X64}) {
    zor::TZERegisters registers;
    for (uintptr_t at = begin; at < end;) {
      const zor::TZECodeInfo info =
          zor::DecodeInstruction(reinterpret_cast<const void*>(at), &registers, true, &snapshot, mode);
      Check(info.address == at);
      if (!info.valid) {
        ++at;
        continue;
      }
      Check(info.next > at && info.next <= end && info.next - at <= 15);
      if (info.relative) Check(info.targetOperand > at && info.targetOperand < info.next);
      if (info.targetCell) Check(info.targetCell >= begin && info.targetCell < end);
      if (info.targetOperand) Check(info.targetOperand >= begin && info.targetOperand < end);
      for (uintptr_t operand : registers.operand) Check(operand == 0 || (operand >= begin && operand < end));
      at = info.next;
    }
    const zor::TFunctionInfo f = zor::AnalyseFunction(bytes, &snapshot, zor::TZERuntimeRoutines{}, mode);
    if (f.valid) {
      Check(f.codeBegin >= begin && f.codeBegin + f.codeLength <= end);
      for (const zor::TZECodeArea& a : f.codeAreas) Check(a.begin <= a.end + 1);
    }
  }
  return 0;
}
