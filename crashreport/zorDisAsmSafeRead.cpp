// Guarded reads of the own process, and the snapshot of its readable regions.
#include <dlfcn.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorDisAsm_p.h"
#include "crashreport/zorStrings.h"

namespace zor {

namespace {

// The end of the user address space with 4-level page tables.
constexpr uintptr_t kUserSpaceEnd = uintptr_t{1} << 47;

using ProcessRead = ssize_t (*)(pid_t, const iovec*, unsigned long, const iovec*, unsigned long, unsigned long);

ProcessRead ReadFunction() {
  static constexpr auto kModule = ScrambledText("libc.so.6");
  static constexpr auto kName = ScrambledText("process_vm_readv");
  static const ProcessRead read = reinterpret_cast<ProcessRead>(KernelProcedure(kModule.View(), kName.View()));
  return read;
}

void Append(TDATryRead& s, uintptr_t start, uintptr_t end, bool readable) {
  if (end <= start) return;
  if (!s.records.empty() && s.records.back().readable == readable) {
    s.records.back().end = end;
    return;
  }
  if (s.records.size() == s.records.capacity())
    s.records.reserve(s.records.empty() ? 64 : s.records.size() + s.records.size() / 2);
  s.records.push_back({start, end, readable});
}

// The index of the record holding `address`, or -1. A probing search: steps
// halve down to one record and then go on one record at a time until the
// direction turns or an end of the list is reached.
long FindRecord(const TDATryRead& snapshot, uintptr_t address) {
  const auto& r = snapshot.records;
  const long n = static_cast<long>(r.size());
  if (n == 0) return -1;
  long i = n / 2;
  long step = (i + 2) / 2;
  int lastUnitMove = 0;
  for (;;) {
    int direction = 0;
    if (r[i].start > address)
      direction = -1;
    else if (r[i].end > address)
      return i;
    else
      direction = 1;
    if (step == 1 && lastUnitMove == -direction) return -1;
    const long j = std::clamp(i + direction * step, 0L, n - 1);
    if (j == i) return -1;
    if (step == 1) lastUnitMove = direction;
    i = j;
    step = step > 1 ? (step + 1) / 2 : 1;
  }
}

}  // namespace

void* KernelProcedure(std::string_view scrambledModule, std::string_view scrambledName) {
  const std::string module = UnscrambleText(scrambledModule);
  const std::string name = UnscrambleText(scrambledName);
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!handle) return nullptr;
  void* procedure = dlsym(handle, name.c_str());
  dlclose(handle);  // only drops the reference RTLD_NOLOAD took
  return procedure;
}

std::vector<Mapping> ProcessMappings() {
  std::vector<Mapping> out;
  FILE* maps = std::fopen("/proc/self/maps", "re");
  if (!maps) return out;
  char line[4096];
  while (std::fgets(line, sizeof line, maps)) {
    unsigned long begin = 0, end = 0;
    char perms[8] = {};
    if (std::sscanf(line, "%lx-%lx %7s", &begin, &end, perms) == 3)
      out.push_back({begin, end, perms[0] == 'r', perms[1] == 'w', perms[2] == 'x'});
  }
  std::fclose(maps);
  return out;
}

TDATryRead SnapshotReadableRegions() {
  TDATryRead s;
  uintptr_t at = 0;
  for (const Mapping& m : ProcessMappings()) {
    if (m.begin >= kUserSpaceEnd) continue;
    const uintptr_t end = std::min(m.end, kUserSpaceEnd);
    Append(s, at, m.begin, false);
    Append(s, m.begin, end, m.read);
    at = end;
  }
  Append(s, at, kUserSpaceEnd, false);
  return s;
}

void FreeReadableRegions(TDATryRead& snapshot) {
  snapshot.records.clear();
  snapshot.records.shrink_to_fit();
}

bool IsReadableAddress(const TDATryRead& snapshot, uintptr_t address) {
  const long i = FindRecord(snapshot, address);
  return i >= 0 && snapshot.records[static_cast<size_t>(i)].readable;
}

uintptr_t ReadableEnd(const TDATryRead& snapshot, uintptr_t address) {
  const long i = FindRecord(snapshot, address);
  if (i < 0 || !snapshot.records[static_cast<size_t>(i)].readable) return 0;
  return snapshot.records[static_cast<size_t>(i)].end;
}

bool SafeRead(const void* source, void* destination, size_t count) {
  return SafeRead(source, destination, count, nullptr);
}

bool SafeRead(const void* source, void* destination, size_t count, const TDATryRead* snapshot) {
  if (!source || !destination) return false;
  if (snapshot && !IsReadableAddress(*snapshot, reinterpret_cast<uintptr_t>(source))) return false;
  if (count == 0) return true;
  const ProcessRead read = ReadFunction();
  if (!read) return false;
  iovec local{destination, count};
  iovec remote{const_cast<void*>(source), count};
  // The process id comes from the kernel directly: getpid may be hooked
  // through import slots like any other library function.
  const auto self = static_cast<pid_t>(syscall(SYS_getpid));
  const ssize_t n = read(self, &local, 1, &remote, 1, 0);
  return n >= 0 && static_cast<size_t>(n) == count;
}

}  // namespace zor
