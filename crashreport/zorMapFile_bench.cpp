// Loads the program's own DWARF (or that of the module file named on the
// command line) and resolves 10,000 code addresses: the time of the load and
// the time per address (public, unit and line), the median of 21 rounds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "crashreport/zorMapFile.h"
#include "crashreport/zorToolsImage.h"

int main(int argc, char** argv) {
  using Clock = std::chrono::steady_clock;
  const auto started = Clock::now();
  std::shared_ptr<const zor::TMapFile> map;
  if (argc > 1) {
    zor::ModuleRanges ranges;
    {
      const zor::MappedFile file(argv[1]);
      ranges = zor::FileModuleRanges(file.Bytes());
    }
    map = std::make_shared<const zor::TMapFile>(ranges, argv[1]);
  } else {
    map = zor::DebugInfoForAddress(reinterpret_cast<const void*>(&main));
  }
  const double loadSeconds = std::chrono::duration<double>(Clock::now() - started).count();
  if (!map->Valid()) {
    std::fprintf(stderr, "no debug information\n");
    return 1;
  }
  const zor::ModuleRanges r = map->Ranges();
  std::mt19937_64 random(42);
  constexpr int kAddresses = 10000, kRounds = 21;
  std::vector<uintptr_t> addresses(kAddresses);
  for (auto& a : addresses) a = r.codeBegin + random() % (r.codeEnd - r.codeBegin);
  std::vector<double> rounds;
  size_t named = 0, units = 0, withLines = 0;
  for (int round = 0; round < kRounds; ++round) {
    named = units = withLines = 0;
    const auto lookups = Clock::now();
    for (uintptr_t a : addresses) {
      uintptr_t next = 0;
      named += map->PublicAt(a).valid;
      units += map->SegmentAt(true, a).valid;
      withLines += map->LineAt(a, next) > 0;
    }
    rounds.push_back(std::chrono::duration<double, std::micro>(Clock::now() - lookups).count() / kAddresses);
  }
  std::nth_element(rounds.begin(), rounds.begin() + kRounds / 2, rounds.end());
  std::printf("load %.3f s: %zu segments, %zu publics, %zu lines\n", loadSeconds, map->Segments().size(),
              map->Publics().size(), map->Lines().size());
  std::printf("%d addresses: %.3f us each, median of %d rounds (%zu named, %zu in a unit, %zu with a line)\n",
              kAddresses, rounds[kRounds / 2], kRounds, named, units, withLines);
  return 0;
}
