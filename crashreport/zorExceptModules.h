#pragma once
// The modules of the process as the reporter's settings see them: the
// executable and the shared libraries the loader has mapped.
//
// A module's name in the resource store is its file name without folder (the
// executable's as /proc/self/exe names it), and its address is its file base
// (where its first segment is mapped), so that a module found by address and
// the same module found in the loader's list compare equal (SameModule).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "crashreport/zorExceptSettings.h"

namespace zor {

// Every loaded module, in the loader's order (the executable first); modules
// without a file name (the vDSO) are left out.
std::vector<ZorModule> LoadedModules();
// The module that holds `address`; nothing when no module holds it.
std::optional<ZorModule> ModuleOfAddress(const void* address);
// The module that holds the reporter's code.
ZorModule ReporterModule();
// The executable.
ZorModule ExecutableModule();
// The loader's base of the module (what its relative addresses are added
// to); nothing when the module is not loaded.
std::optional<uintptr_t> ModuleLoadBase(const ZorModule& module);
// Always false here: the reporter is linked into its module, never loaded as
// a package of its own.
bool ReporterInPackage();

// The return address `level` frames above the caller of the function that
// calls this one, from the unwinder (the program keeps no frame-pointer
// chain); nullptr when the stack is not that deep. Both that function and its
// caller must not be inlined.
const void* CallerReturnAddress(int level);

}  // namespace zor
