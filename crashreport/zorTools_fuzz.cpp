// The ELF readers over arbitrary bytes: the package-metadata note, the
// exports and the segment mapping must stay within them; a version found is
// one a text could give, and a mapped offset lies inside the image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "crashreport/zorTools.h"
#include "crashreport/zorToolsImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint64_t version = zor::ElfPackageVersion({data, size});
  if (version != 0 && zor::ParseVersionNumbers(zor::FileVersionText(version)) != version) std::abort();
  for (const zor::ElfExport& e : zor::ElfExports({data, size})) {
    if (e.name.empty()) std::abort();
    if (const auto offset = zor::RvaToFileOffset({data, size}, e.value); offset && *offset >= size) std::abort();
  }
  return 0;
}
