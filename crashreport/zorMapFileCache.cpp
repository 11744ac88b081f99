// Loading a module's debug information through its sources, the cache by
// file name and time, and the lookups built on it.
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <mutex>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorExceptHelpers.h"
#include "crashreport/zorExceptKeys.h"
#include "crashreport/zorExceptModules.h"
#include "crashreport/zorMapFile_p.h"
#include "crashreport/zorToolsHooks.h"
#include "crashreport/zorToolsImage.h"
#include "platform/core/ResourceStore.h"

namespace zor {

namespace {

std::string ResourceText(const std::string& module, const char* type, const char* name) {
  if (module.empty()) return {};
  return ResourceStore::Instance().Find(module, type, name).value_or(std::string());
}

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && EqualNoCase(text.substr(text.size() - end.size()), end);
}

struct CacheEntry {
  std::string fileName;
  uint32_t fileTime;
  std::shared_ptr<const TMapFile> map;
};

struct Cache {
  std::mutex lock;
  std::vector<CacheEntry> entries;
};

Cache& TheCache() {
  static Cache* cache = new Cache;  // used until the very end
  return *cache;
}

}  // namespace

uint32_t FileDosTime(const std::string& fileName) {
  struct stat st {};
  std::tm local{};
  if (stat(fileName.c_str(), &st) != 0 || !localtime_r(&st.st_mtime, &local)) return 0;
  const int year = std::clamp(local.tm_year + 1900, 1980, 2107);
  const uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  const uint32_t time = static_cast<uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return date << 16 | time;
}

TMapFile::TMapFile(const ModuleRanges& ranges, const std::string& moduleFileName, const std::string& resourceModule)
    : ranges_(ranges),
      moduleFileName_(moduleFileName),
      debugFileName_(moduleFileName),
      resourceModule_(resourceModule) {
  bool loaded = false;
  try {
    settingsResource_ = ResourceText(resourceModule_, "RCDATA", "TZOREXCEPT");
    const std::string embedded = ResourceText(resourceModule_, "ZOR", "EXCEPT");
    loaded = !embedded.empty() && ImportPacked(embedded);
    if (!loaded) {
      const MappedFile module(moduleFileName_);
      loaded = LoadElf(module.Bytes());
    }
    if (!loaded) {
      // TD32 beside the module (or the module itself), unless the ".map"
      // beside it is from a later day.
      const std::string tds =
          EndsWithNoCase(debugFileName_, ".tds") ? debugFileName_ : WithoutExtension(debugFileName_) + ".tds";
      const uint32_t mapTime = FileDosTime(WithoutExtension(debugFileName_) + ".map");
      if ((FileDosTime(tds) >> 16) >= (mapTime >> 16)) {
        const MappedFile file(tds);
        loaded = LoadTd32(file.Bytes());
      }
    }
    if (!loaded) loaded = FindDebugFiles(false);
  } catch (...) {
    loaded = false;
  }
  FinishLoading(loaded);
}

bool TMapFile::FindDebugFiles(bool packedOnly) {
  const std::string base = WithoutExtension(debugFileName_);
  if (!packedOnly) {
    const MappedFile map(base + ".map");
    const auto bytes = map.Bytes();
    if (LoadMapText({reinterpret_cast<const char*>(bytes.data()), bytes.size()})) return true;
  }
  const MappedFile zor(base + ".zor");
  const auto bytes = zor.Bytes();
  if (ImportPacked({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, packedOnly)) return true;
  if (packedOnly) return false;
  const MappedFile jdbg(base + ".jdbg");
  return LoadJdbg(jdbg.Bytes());
}

ModuleRanges LoadedModuleRanges(const void* addressInModule) {
  struct Search {
    uintptr_t address = 0;
    ModuleRanges ranges;
    bool found = false;
  } search;
  search.address = reinterpret_cast<uintptr_t>(addressInModule);
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto* s = static_cast<Search*>(data);
        bool holds = false;
        ModuleRanges r{info->dlpi_addr};
        for (int i = 0; i < info->dlpi_phnum; ++i) {
          const ElfW(Phdr)& ph = info->dlpi_phdr[i];
          if (ph.p_type != PT_LOAD) continue;
          const uintptr_t start = info->dlpi_addr + ph.p_vaddr;
          if (s->address >= start && s->address - start < ph.p_memsz) holds = true;
          if ((ph.p_flags & PF_X) && r.codeEnd == 0) r.codeBegin = start, r.codeEnd = start + ph.p_memsz;
          if ((ph.p_flags & PF_W) && r.dataEnd == 0) r.dataBegin = start, r.dataEnd = start + ph.p_memsz;
        }
        if (!holds) return 0;
        s->ranges = r;
        s->found = true;
        return 1;
      },
      &search);
  return search.found ? search.ranges : ModuleRanges{};
}

std::shared_ptr<const TMapFile> DebugInfoForAddress(const void* address) {
  if (!address) address = reinterpret_cast<const void*>(&DebugInfoForAddress);
  uint8_t probe;
  const std::optional<ZorModule> module = SafeRead(address, &probe, 1) ? ModuleOfAddress(address) : std::nullopt;
  if (!module) return std::make_shared<TMapFile>();
  const std::string fileName = ModuleFilePath(*module);
  if (fileName.empty()) return std::make_shared<TMapFile>();
  const uint32_t fileTime = FileDosTime(fileName);
  Cache& cache = TheCache();
  std::lock_guard guard(cache.lock);
  for (auto it = cache.entries.begin(); it != cache.entries.end(); ++it) {
    if (it->fileName != fileName) continue;
    if (it->fileTime == fileTime) return it->map;
    cache.entries.erase(it);
    break;
  }
  auto map = std::make_shared<const TMapFile>(LoadedModuleRanges(address), fileName, module->name);
  if (map->Valid()) cache.entries.push_back({fileName, fileTime, map});
  return map;
}

void ClearDebugInfoCache() {
  Cache& cache = TheCache();
  std::lock_guard guard(cache.lock);
  cache.entries.clear();
}

size_t DebugInfoCacheSize() {
  Cache& cache = TheCache();
  std::lock_guard guard(cache.lock);
  return cache.entries.size();
}

__attribute__((noinline)) bool AddressInfo(const void* address, std::string& moduleFileName, std::string& unitName,
                                           int32_t& line, uintptr_t& symbolAddress, std::string& symbolName) {
  if (!address) address = static_cast<const uint8_t*>(__builtin_return_address(0)) - 1;
  const auto map = DebugInfoForAddress(address);
  const auto at = reinterpret_cast<uintptr_t>(address);
  moduleFileName = map->ModuleFileName();
  unitName = map->SegmentAt(true, at).unitName;
  uintptr_t next = 0;
  line = std::max(0, map->LineAt(at, next));
  const TMfPublic& symbol = map->PublicAt(at);
  symbolAddress = symbol.valid ? symbol.address : 0;
  symbolName = symbol.valid ? symbol.name : std::string();
  return map->Valid();
}

std::string ProcNameText(const TMapFile& map, uintptr_t address) {
  const TMfPublic& symbol = map.PublicAt(address);
  if (!symbol.valid || symbol.address != address) return {};
  const std::string unit = map.SegmentAt(true, address).unitName;
  std::string name = unit.empty() ? symbol.name : unit + "." + symbol.name;
  if (name.find('%') != std::string::npos) name += " (" + FileNamePart(map.ModuleFileName()) + ")";
  return name;
}

std::string ProcNameAt(const void* address) {
  return ProcNameText(*DebugInfoForAddress(address), reinterpret_cast<uintptr_t>(address));
}

void LineNumberAt(const void* address, int32_t& line, uintptr_t& rangeStart, uintptr_t& rangeEnd) {
  const auto at = reinterpret_cast<uintptr_t>(address);
  if (line > 0 && at >= rangeStart && at < rangeEnd) return;
  uintptr_t next = at + 1;
  line = std::max(0, DebugInfoForAddress(address)->LineAt(at, next));
  rangeStart = at;
  rangeEnd = next;
}

void InstallDebugInfoHooks() {
  SetProcNameHook(&ProcNameAt);
  SetLineNumberHook(&LineNumberAt);
}

}  // namespace zor
