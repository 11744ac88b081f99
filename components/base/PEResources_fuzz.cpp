// Reads arbitrary bytes as a PE module: its headers, every resource of its
// resource directory with the resource's bytes, and the in-place replacement
// of a named resource in memory. A file that does not read raises the
// program's error; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "components/base/PEResources.h"
#include "platform/core/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> file(data, data + size);
  try {
    const TPEImage image = ReadPEImage(file);
    std::vector<TResourceLeaf> leaves;
    WalkResources(file, image, [&](const TResourceLeaf& Leaf) {
      leaves.push_back(Leaf);
      return false;
    });
    for (const TResourceLeaf& leaf : leaves) {
      try {
        ResourceBytes(file, image, leaf);
      } catch (const Exception&) {
      }
    }
    FindResource(file, image, uint16_t{10}, "DATA1");
    std::vector<uint8_t> changed = file;
    const uint8_t replacement[] = {'n', 'e', 'w'};
    ReplaceResourceInImage(changed, uint16_t{10}, "DATA1", replacement);
    // The replaced module reads again and holds the new bytes.
    const TPEImage again = ReadPEImage(changed);
    const auto leaf = FindResource(changed, again, uint16_t{10}, "DATA1");
    if (!leaf || ResourceBytes(changed, again, *leaf) != std::vector<uint8_t>(replacement, replacement + 3))
      __builtin_trap();
  } catch (const Exception&) {
  }
  return 0;
}
