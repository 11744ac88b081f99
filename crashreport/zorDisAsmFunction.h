#pragma once
// Function analysis on top of the decoder: from an entry point every branch
// is followed; the result holds the function's code areas, the calls and
// jumps that leave it, its jump tables, and whether its first bytes could be
// replaced by a 5-byte jump.
#include <cstdint>
#include <string>
#include <vector>

#include "crashreport/zorDisAsm.h"

namespace zor {

inline constexpr uint32_t kInvalidCodeError = 0x770001;
inline constexpr char kInvalidCodeText[] = "Invalid code!";
inline constexpr uint32_t kInvalidParameterError = 87;

struct TZECodeArea {
  uintptr_t begin = 0;
  uintptr_t end = 0;  // last byte; 0 while not yet decoded
  bool caseTable = false;
  bool handlerTable = false;
  uintptr_t caller = 0;  // the instruction that branched here, or 0
  TZERegisters registers;
};

struct TZEFarCall {
  bool call = false;  // false for a jump
  uintptr_t address = 0;
  uintptr_t next = 0;
  uintptr_t target = 0;
  bool relative = false;
  uintptr_t targetOperand = 0;
  uintptr_t targetCell = 0;
};

struct TZEUnknownTarget {
  bool call = false;
  uintptr_t address = 0;
  uintptr_t next = 0;
};

struct TZEFunctionCopy {
  bool valid = false;
  size_t bufferLength = 0;
  uintptr_t lastErrorAddress = 0;
  uint32_t lastErrorNumber = 0;
  std::string lastErrorText;
};

struct TFunctionInfo {
  bool valid = false;
  uintptr_t entryPoint = 0;
  uintptr_t codeBegin = 0;
  size_t codeLength = 0;
  uintptr_t lastErrorAddress = 0;
  uint32_t lastErrorNumber = 0;
  std::string lastErrorText;
  std::vector<TZECodeArea> codeAreas;
  std::vector<TZEFarCall> farCalls;
  std::vector<TZEUnknownTarget> unknownTargets;
  bool interceptable = false;
  TZEFunctionCopy copy;
};

// The routines a call to which the analysis treats specially. The runtime
// handler routines have no counterpart in this program and stay null; `halt`
// holds the routines that never return (a call to one ends a code area).
struct TZERuntimeRoutines {
  const void* handleAnyException = nullptr;
  const void* handleFinally = nullptr;
  const void* handleAutoException = nullptr;
  const void* handleOnException = nullptr;
  std::vector<const void*> halt;
  std::vector<std::string> haltNames;  // the same routines by symbol name, for import stubs
};

// exit, _exit, abort, __cxa_throw, __cxa_rethrow, __stack_chk_fail and
// std::terminate, as the loader resolves them.
TZERuntimeRoutines DefaultRuntimeRoutines();

// The cell an import stub jumps through: FF 25 (RIP-relative in long mode),
// alone or after endbr64 and/or a bnd prefix; 0 for anything else.
uintptr_t ImportStubCell(const void* stub, DecodeMode mode = DecodeMode::X64);

// Analyses the function at `entry`. Never throws: an entry outside mapped
// memory gives error 87 with strerror(EINVAL); invalid code gives
// kInvalidCodeError at the next address of the instruction that failed.
TFunctionInfo AnalyseFunction(const void* entry, const TDATryRead* snapshot, const TZERuntimeRoutines& routines,
                              DecodeMode mode = DecodeMode::X64);
TFunctionInfo AnalyseFunction(const void* entry, DecodeMode mode = DecodeMode::X64);

// The executable PT_LOAD segment of the module holding `address`, as
// [begin, end); otherwise the mapping holding it; {0, 0} when unmapped.
struct CodeRange {
  uintptr_t begin = 0;
  uintptr_t end = 0;
};
CodeRange ModuleCodeRange(uintptr_t address);

}  // namespace zor
