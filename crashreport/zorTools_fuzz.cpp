// The package-metadata note reader over arbitrary bytes: it must stay within
// them, and a version it finds is one a text could give.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "crashreport/zorTools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint64_t version = zor::ElfPackageVersion({data, size});
  if (version != 0 && zor::ParseVersionNumbers(zor::FileVersionText(version)) != version) std::abort();
  return 0;
}
