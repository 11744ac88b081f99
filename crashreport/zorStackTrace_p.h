#pragma once
// The walker's process-wide caches of modules and analysed functions. One
// mutex guards both: walks of two threads may overlap (a process report
// while the dispatch walks), so a walk holds CacheLock() throughout.
#include <dlfcn.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "crashreport/zorDisAsmFunction.h"
#include "crashreport/zorMapFile.h"

namespace zor::stacktrace {

struct CachedModule {
  uintptr_t base = 0;
  std::string fileName;  // without folder
  bool executable = false;
  uintptr_t codeBegin = 0, codeEnd = 0, dataBegin = 0, dataEnd = 0;
  std::shared_ptr<const TMapFile> debug;  // null without valid debug information
};

struct CachedFunction {
  int module = -1;
  std::string name;
  TFunctionInfo info;
  // Found through debug information or an export, or reached from such a
  // function by a far jump or an approved link. Kept from walk to walk.
  bool approved = false;
};

std::recursive_mutex& CacheLock();
// The module holding `address` (added on first sight); -1 when none does.
int ModuleIndexOf(uintptr_t address);
const CachedModule& ModuleAt(int index);
// The cached function at `entry`, analysed on first request; -1 when it
// cannot be analysed. `zeroLength` caches a valid function of no bytes.
int CacheFunction(uintptr_t entry, const std::string& name, int module, bool approve, bool zeroLength = false);
CachedFunction& FunctionAt(int index);
size_t FunctionCount();

// A call target behind an import stub: the cell's value; else the target.
uintptr_t ResolvedTarget(uintptr_t target);
// The exported name dladdr gives for the routine at or below `address`.
std::string ExportNameAt(uintptr_t address, uintptr_t* symbolAddress = nullptr);

}  // namespace zor::stacktrace
