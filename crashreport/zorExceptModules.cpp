// Modules of the process through the dynamic loader, and return addresses
// through the unwinder.
#include "crashreport/zorExceptModules.h"

#include <dlfcn.h>
#include <link.h>
#include <unwind.h>

#include <algorithm>

#include "crashreport/zorExceptKeys.h"

namespace zor {

namespace {

struct LoadedEntry {
  std::string name;
  uintptr_t loadBase = 0;
  uintptr_t low = UINTPTR_MAX, high = 0;  // the span of its loadable segments
};

std::vector<LoadedEntry> LoaderEntries() {
  std::vector<LoadedEntry> entries;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        LoadedEntry e;
        const std::string path = info->dlpi_name ? info->dlpi_name : "";
        const bool executable = static_cast<std::vector<LoadedEntry>*>(data)->empty() && path.empty();
        if (path.empty() && !executable) return 0;
        e.name = executable ? ExecutableFileName() : path.substr(path.rfind('/') + 1);
        e.loadBase = info->dlpi_addr;
        for (int i = 0; i < info->dlpi_phnum; ++i) {
          const ElfW(Phdr)& ph = info->dlpi_phdr[i];
          if (ph.p_type != PT_LOAD) continue;
          e.low = std::min<uintptr_t>(e.low, info->dlpi_addr + ph.p_vaddr);
          e.high = std::max<uintptr_t>(e.high, info->dlpi_addr + ph.p_vaddr + ph.p_memsz);
        }
        // The vDSO has a name but no file; it carries no settings.
        if (e.low < e.high && e.name.rfind("linux-vdso", 0) != 0 && e.name.rfind("linux-gate", 0) != 0)
          static_cast<std::vector<LoadedEntry>*>(data)->push_back(std::move(e));
        return 0;
      },
      &entries);
  return entries;
}

const LoadedEntry* EntryHolding(const std::vector<LoadedEntry>& entries, uintptr_t address) {
  for (const LoadedEntry& e : entries)
    if (address >= e.low && address < e.high) return &e;
  return nullptr;
}

struct UnwindWalk {
  int wanted;
  int index = 0;
  const void* found = nullptr;
};

_Unwind_Reason_Code CollectFrame(_Unwind_Context* context, void* data) {
  auto* walk = static_cast<UnwindWalk*>(data);
  if (walk->index++ == walk->wanted) {
    walk->found = reinterpret_cast<const void*>(_Unwind_GetIP(context));
    return _URC_END_OF_STACK;
  }
  return _URC_NO_REASON;
}

}  // namespace

std::vector<ZorModule> LoadedModules() {
  std::vector<ZorModule> modules;
  for (const LoadedEntry& e : LoaderEntries()) modules.push_back({e.name, reinterpret_cast<const void*>(e.low)});
  return modules;
}

std::optional<ZorModule> ModuleOfAddress(const void* address) {
  const std::vector<LoadedEntry> entries = LoaderEntries();
  const LoadedEntry* e = EntryHolding(entries, reinterpret_cast<uintptr_t>(address));
  if (!e) return std::nullopt;
  return ZorModule{e->name, reinterpret_cast<const void*>(e->low)};
}

ZorModule ReporterModule() {
  return ModuleOfAddress(reinterpret_cast<const void*>(&ReporterModule)).value_or(ZorModule{});
}

ZorModule ExecutableModule() {
  const std::vector<LoadedEntry> entries = LoaderEntries();
  if (entries.empty()) return ZorModule{ExecutableFileName()};
  return ZorModule{entries.front().name, reinterpret_cast<const void*>(entries.front().low)};
}

std::optional<uintptr_t> ModuleLoadBase(const ZorModule& module) {
  const std::vector<LoadedEntry> entries = LoaderEntries();
  if (!module.address) {
    if (entries.empty()) return std::nullopt;
    return entries.front().loadBase;
  }
  const LoadedEntry* e = EntryHolding(entries, reinterpret_cast<uintptr_t>(module.address));
  if (!e) return std::nullopt;
  return e->loadBase;
}

bool ReporterInPackage() { return false; }

__attribute__((noinline)) const void* CallerReturnAddress(int level) {
  if (level < 0) return nullptr;
  // Frame 0 is this function, 1 its caller, 2 the code that called that one.
  UnwindWalk walk{level + 2};
  _Unwind_Backtrace(&CollectFrame, &walk);
  return walk.found;
}

}  // namespace zor
