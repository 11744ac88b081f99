// Import slots: redirection in one module or all, and hooking of exported
// library functions through them.
#include <dlfcn.h>
#include <link.h>
#include <sys/mman.h>

#include <cstdio>
#include <cstring>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorDisAsmFunction.h"
#include "crashreport/zorExceptGot_p.h"
#include "crashreport/zorExceptHelpers.h"
#include "crashreport/zorExceptMessages.h"
#include "crashreport/zorExceptModules.h"
#include "crashreport/zorExceptPatch.h"
#include "crashreport/zorExceptPatch_p.h"
#include "crashreport/zorExceptStartup.h"

namespace zor {

namespace {

bool WriteSlot(uintptr_t slot, const void* value) {
  return WriteProtected(reinterpret_cast<void*>(slot), &value, sizeof value, PROT_READ | PROT_WRITE);
}

const void* SlotValue(uintptr_t slot) {
  const void* value = nullptr;
  return SafeRead(reinterpret_cast<const void*>(slot), &value, sizeof value) ? value : nullptr;
}

}  // namespace

bool DebuggerPresent() {
  FILE* status = std::fopen("/proc/self/status", "re");
  if (!status) return false;
  char line[256];
  long tracer = 0;
  while (std::fgets(line, sizeof line, status))
    if (std::sscanf(line, "TracerPid: %ld", &tracer) == 1) break;
  std::fclose(status);
  return tracer != 0;
}

void ImportTableWarning(const ZorModule& module) {
  if (!SameModule(module, ReporterModule()) || !DebuggerPresent()) return;
  ShowReporterMessage(FileNamePart(module.name), kImportTableWarningText);
}

void RedirectImports(const ZorModule& module, const void* oldAddress, const void* newAddress) {
  struct Walk {
    const ZorModule* module;
    const void* oldAddress;
    const void* newAddress;
  } walk{&module, oldAddress, newAddress};
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto* w = static_cast<Walk*>(data);
        if (!HoldsAddress(*info, reinterpret_cast<uintptr_t>(w->module->address))) return 0;
        for (const ImportSlot& s : ModuleImportSlots(*info)) {
          if (!InWritableSegment(*info, s.slot, s.slot + sizeof(void*))) {
            ImportTableWarning(*w->module);
            break;
          }
          if (SlotValue(s.slot) == w->oldAddress) WriteSlot(s.slot, w->newAddress);
        }
        return 1;
      },
      &walk);
}

void RedirectImportsAll(const std::vector<ZorModule>& modules, const void* oldAddress, const void* newAddress) {
  for (const ZorModule& m : modules) RedirectImports(m, oldAddress, newAddress);
}

namespace {

void RedirectEverywhere(const void* oldAddress, const void* newAddress) {
  if (ServesProcess())
    RedirectImportsAll(LoadedModules(), oldAddress, newAddress);
  else
    RedirectImports(ReporterModule(), oldAddress, newAddress);
}

}  // namespace

bool HookApi(const std::string& moduleName, const std::string& functionName, void* ownStub, void* replacement,
             void*& next) {
  if (next) return false;
  void* handle = dlopen(moduleName.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!handle) return false;
  next = dlsym(handle, functionName.c_str());
  dlclose(handle);
  if (!next) return false;
  const uintptr_t cell = ownStub ? ImportStubCell(ownStub) : 0;
  const void* remembered = cell ? SlotValue(cell) : nullptr;
  RedirectEverywhere(next, replacement);
  if (!cell) return false;
  if (SlotValue(cell) == remembered) WriteSlot(cell, replacement);
  return SlotValue(cell) == replacement;
}

void UnhookApi(void* ownStub, void*& next, void* replacement) {
  if (!next) return;
  RedirectEverywhere(replacement, next);
  if (const uintptr_t cell = ownStub ? ImportStubCell(ownStub) : 0; cell && SlotValue(cell) == replacement)
    WriteSlot(cell, next);
  next = nullptr;
}

}  // namespace zor
