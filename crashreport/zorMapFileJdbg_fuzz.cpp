// The debug-information reader over arbitrary bytes: JDBG files.
// The load must end, stay in bounds and leave sorted tables.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "crashreport/zorMapFileFuzz_p.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zor::TMapFile map;
  map.SetRanges(zor::FuzzRanges());
  zor::CheckLoadedTables(map, map.LoadJdbg({data, size}));
  return 0;
}
