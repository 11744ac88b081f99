// The module and function caches, location lines and internal-error texts.
#include <link.h>

#include <cinttypes>
#include <cstdio>

#include "crashreport/zorStackTrace.h"
#include "crashreport/zorStackTrace_p.h"

namespace zor {
namespace stacktrace {

namespace {

struct Caches {
  std::vector<CachedModule> modules;
  std::vector<CachedFunction> functions;
  std::map<uintptr_t, int> byEntry;
};

Caches& TheCaches() {
  static Caches caches;
  return caches;
}

std::string BaseName(const char* path) {
  std::string name = path ? path : "";
  const size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

std::recursive_mutex& CacheLock() {
  static std::recursive_mutex lock;
  return lock;
}

int ModuleIndexOf(uintptr_t address) {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(address), &info) == 0 || info.dli_fbase == nullptr) return -1;
  const uintptr_t base = reinterpret_cast<uintptr_t>(info.dli_fbase);
  auto& modules = TheCaches().modules;
  for (size_t i = 0; i < modules.size(); ++i)
    if (modules[i].base == base) return int(i);
  CachedModule m;
  m.base = base;
  m.fileName = BaseName(info.dli_fname);
  // The executable is the loader's first module.
  dl_iterate_phdr(
      [](dl_phdr_info* phdr, size_t, void* data) {
        auto* mod = static_cast<CachedModule*>(data);
        for (int i = 0; i < phdr->dlpi_phnum; ++i) {
          if (phdr->dlpi_phdr[i].p_type != PT_LOAD || phdr->dlpi_phdr[i].p_offset != 0) continue;
          mod->executable = phdr->dlpi_addr + phdr->dlpi_phdr[i].p_vaddr == mod->base;
        }
        return 1;  // only the first entry
      },
      &m);
  const ModuleRanges ranges = LoadedModuleRanges(reinterpret_cast<const void*>(address));
  m.codeBegin = ranges.codeBegin;
  m.codeEnd = ranges.codeEnd;
  m.dataBegin = ranges.dataBegin;
  m.dataEnd = ranges.dataEnd;
  auto debug = DebugInfoForAddress(reinterpret_cast<const void*>(address));
  if (debug && debug->Valid()) m.debug = debug;
  modules.push_back(std::move(m));
  return int(modules.size() - 1);
}

const CachedModule& ModuleAt(int index) { return TheCaches().modules.at(size_t(index)); }

CachedFunction& FunctionAt(int index) { return TheCaches().functions.at(size_t(index)); }

size_t FunctionCount() { return TheCaches().functions.size(); }

int CacheFunction(uintptr_t entry, const std::string& name, int module, bool approve, bool zeroLength) {
  Caches& c = TheCaches();
  if (auto it = c.byEntry.find(entry); it != c.byEntry.end()) {
    CachedFunction& f = c.functions[size_t(it->second)];
    if (approve && !f.approved) {
      f.approved = true;
      for (const TZEFarCall& far : std::vector<TZEFarCall>(f.info.farCalls))
        if (!far.call && far.target != 0) CacheFunction(far.target, {}, -1, true);
    }
    return it->second;
  }
  CachedFunction f;
  if (zeroLength) {
    f.info.valid = true;
    f.info.entryPoint = f.info.codeBegin = entry;
  } else {
    static const TZERuntimeRoutines routines = DefaultRuntimeRoutines();
    f.info = AnalyseFunction(reinterpret_cast<const void*>(entry), nullptr, routines);
    if (!f.info.valid) return -1;
  }
  f.module = module >= 0 ? module : ModuleIndexOf(entry);
  f.name = name;
  if (f.name.empty() && f.module >= 0 && ModuleAt(f.module).debug) {
    const TMfPublic& p = ModuleAt(f.module).debug->PublicAt(entry);
    if (p.valid && p.address == entry) f.name = p.name;
  }
  if (f.name.empty()) f.name = ExportNameAt(entry);
  f.approved = approve;
  c.functions.push_back(std::move(f));
  const int index = int(c.functions.size() - 1);
  c.byEntry[entry] = index;
  for (const TZEFarCall& far : std::vector<TZEFarCall>(c.functions[size_t(index)].info.farCalls))
    if (!far.call && far.target != 0) CacheFunction(far.target, {}, -1, approve);
  return index;
}

uintptr_t ResolvedTarget(uintptr_t target) {
  const uintptr_t cell = target ? ImportStubCell(reinterpret_cast<const void*>(target)) : 0;
  uint64_t value = 0;
  if (cell != 0 && SafeRead(reinterpret_cast<const void*>(cell), &value, sizeof value) && value != 0) return value;
  return target;
}

std::string ExportNameAt(uintptr_t address, uintptr_t* symbolAddress) {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(address), &info) == 0 || info.dli_sname == nullptr) return {};
  if (symbolAddress) *symbolAddress = reinterpret_cast<uintptr_t>(info.dli_saddr);
  return info.dli_sname;
}

}  // namespace stacktrace

void ClearStackTraceCaches() {
  std::lock_guard lock(stacktrace::CacheLock());
  auto& c = stacktrace::TheCaches();
  c.modules.clear();
  c.functions.clear();
  c.byEntry.clear();
}

std::string LocationLine(uintptr_t address, bool showRelativeAddress, bool showRelativeLine) {
  char hex[24];
  std::snprintf(hex, sizeof hex, "%016" PRIxPTR, address);
  std::string text = hex;
  auto debug = DebugInfoForAddress(reinterpret_cast<const void*>(address));
  const TMfPublic* symbol = debug->Valid() ? &debug->PublicAt(address) : nullptr;
  if (symbol == nullptr || !symbol->valid) {
    if (showRelativeAddress) text += " +0";
    return text + " ???";
  }
  if (showRelativeAddress) {
    std::snprintf(hex, sizeof hex, " +%" PRIxPTR, address - symbol->address);
    text += hex;
  }
  const size_t slash = debug->ModuleFileName().rfind('/');
  text += " " + debug->ModuleFileName().substr(slash == std::string::npos ? 0 : slash + 1) + " " +
          debug->SegmentAt(true, address).unitName + " ";
  uintptr_t next = 0;
  const int32_t line = debug->LineAt(address, next);
  if (line > 0) text += std::to_string(line) + " ";
  if (showRelativeLine && line > 0) {
    const int32_t first = debug->LineAt(symbol->address, next);
    text += "+" + std::to_string(line - first) + " ";
  }
  return text + symbol->name;
}

namespace {
thread_local uintptr_t handledException = 0;
}  // namespace

HandledExceptionScope::HandledExceptionScope(uintptr_t address) : previous_(handledException) {
  handledException = address;
}
HandledExceptionScope::~HandledExceptionScope() { handledException = previous_; }
uintptr_t HandledExceptionAddress() { return handledException; }

__attribute__((noinline)) void RaiseReporterFailure() {
  // The location is the raising call itself, not the address behind it.
  uintptr_t at = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  uint8_t call = 0;
  if (SafeRead(reinterpret_cast<const void*>(at - 5), &call, 1) && call == 0xE8) at -= 5;
  throw ReporterFailure{at};
}

std::string InternalErrorText(const std::string& name) {
  std::string text = ">> internal error in " + name;
  if (const uintptr_t address = HandledExceptionAddress(); address != 0)
    text += ":\r\n" + LocationLine(address, false, false);
  return text;
}

}  // namespace zor
