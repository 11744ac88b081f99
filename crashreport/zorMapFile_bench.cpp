// Loads the program's own DWARF and resolves 10,000 of its code addresses:
// the time of the load and the time per address (public, unit and line).
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "crashreport/zorMapFile.h"

int main() {
  using Clock = std::chrono::steady_clock;
  const auto* self = reinterpret_cast<const void*>(&main);
  const auto started = Clock::now();
  const auto map = zor::DebugInfoForAddress(self);
  const double loadSeconds = std::chrono::duration<double>(Clock::now() - started).count();
  if (!map->Valid()) {
    std::fprintf(stderr, "no debug information\n");
    return 1;
  }
  const zor::ModuleRanges r = map->Ranges();
  std::mt19937_64 random(42);
  constexpr int kAddresses = 10000;
  std::vector<uintptr_t> addresses(kAddresses);
  for (auto& a : addresses) a = r.codeBegin + random() % (r.codeEnd - r.codeBegin);
  size_t named = 0, withLines = 0, units = 0;
  const auto lookups = Clock::now();
  for (uintptr_t a : addresses) {
    uintptr_t next = 0;
    named += map->PublicAt(a).valid;
    withLines += map->LineAt(a, next) > 0;
    units += map->SegmentAt(true, a).valid;
  }
  const double perAddress = std::chrono::duration<double, std::micro>(Clock::now() - lookups).count() / kAddresses;
  std::printf("load %.3f s: %zu segments, %zu publics, %zu lines\n", loadSeconds, map->Segments().size(),
              map->Publics().size(), map->Lines().size());
  std::printf("%d addresses: %.3f us each (%zu named, %zu in a unit, %zu with a line)\n", kAddresses, perAddress, named,
              units, withLines);
  return 0;
}
