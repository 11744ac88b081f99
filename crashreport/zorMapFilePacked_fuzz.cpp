// The debug-information reader over arbitrary bytes: packed blocks and their records.
// The load must end, stay in bounds and leave sorted tables.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "crashreport/zorMapFileFuzz_p.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte chooses the whole block (magic, header, cipher and
  // compression) or the deciphered records behind it, which a mutated block
  // would seldom reach.
  if (size == 0) return 0;
  zor::TMapFile map;
  map.SetRanges(zor::FuzzRanges());
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  bool loaded = false;
  if (data[0] & 1)
    loaded = map.ImportPacked(rest, true);
  else
    loaded = map.ReadPackedRecords(rest, data[0] & 2);
  zor::CheckLoadedTables(map, loaded);
  return 0;
}
