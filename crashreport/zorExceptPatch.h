#pragma once
// Changing code and import slots of the own process: every code change goes
// into one patch list so that shut-down can undo it; import slots are the
// GOT cells of a module's JUMP_SLOT and GLOB_DAT relocations.
//
// Every write makes its pages writable with mprotect (read, write and execute
// for code; read and write for import slots), writes, and puts the pages'
// old protection back. Where the system refuses the change of protection,
// nothing is written and the call fails.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "crashreport/zorExceptSettings.h"

namespace zor {

struct TZEPatch {
  uintptr_t address = 0;
  std::string originalBytes;
  std::string newBytes;
};

// The reporter's patch list, in the order the patches were made. Changed only
// at start-up and by the first thread pause, so it is not locked.
std::vector<TZEPatch>& PatchList();

// Writes `length` bytes over `address` and records the change. False (and no
// entry) when the place cannot be read or made writable, or already holds
// exactly these bytes.
bool AddCodePatch(void* address, const void* newBytes, size_t length);
// Restores every recorded place that still holds its new bytes, the latest
// patch first; a place changed by someone else since is left alone. The list
// is left as it is for the caller to clear.
void UndoCodePatches();
// A 5-byte jump (E9 rel32) at `target` to `destination`; when `target` is an
// import stub (FF 25 through its cell, also after endbr64 or bnd), the
// function the stub leads to is patched instead. False when the destination
// lies beyond the ±2 GiB a rel32 reaches.
bool PatchJump(void* target, const void* destination);
// E8 rel32 at `place` to `destination`; the same range rule.
bool PatchCallTarget(void* place, const void* destination);
// The 4-byte `value` at `place`.
bool PatchDword(void* place, uint32_t value);

// Replaces every import slot of the module that holds `oldAddress` by
// `newAddress`. A relocation outside the module's writable segment ends the
// walk (with ImportTableWarning).
void RedirectImports(const ZorModule& module, const void* oldAddress, const void* newAddress);
void RedirectImportsAll(const std::vector<ZorModule>& modules, const void* oldAddress, const void* newAddress);
inline constexpr char kImportTableWarningText[] =
    "The import table is invalid.\r\n\r\nThis way zorExcept can't install the thread hooks.";
// Shows kImportTableWarningText, captioned with the module's file name, when
// the module is the reporter's and a debugger traces the process.
void ImportTableWarning(const ZorModule& module);
// Whether a tracer is attached (TracerPid in /proc/self/status).
bool DebuggerPresent();

// Hooks `functionName` of the loaded library `moduleName` (dlsym): `next`
// receives the real function, and the import slots that hold it (in all
// modules when the reporter serves the process, else in the reporter's)
// lead to `replacement`. With `ownStub` (an import stub of the caller), its
// cell is written directly when the redirection left it alone. False when
// `next` is already set or the function is not found; otherwise whether the
// own stub now leads to the replacement (false without a stub).
bool HookApi(const std::string& moduleName, const std::string& functionName, void* ownStub, void* replacement,
             void*& next);
// Undoes HookApi and clears `next`; nothing when `next` is null.
void UnhookApi(void* ownStub, void*& next, void* replacement);

// Rewrites the rel32 of the first call or jump in `function` whose target is
// `oldTarget` so that it reaches `newTarget` (outside the patch list). False
// when there is none, or `newTarget` is out of the rel32's reach.
bool RedirectRelativeCall(void* function, const void* oldTarget, const void* newTarget);

}  // namespace zor
