// Decodes arbitrary bytes. The first byte chooses the entry point: even for
// InflateBuffer (bytes 1-3 the expected length, at most 1 MiB, then the
// stream), odd for InflateVerifiedText (the rest is the compressed text).
#include <cstdint>
#include <string_view>
#include <vector>

#include "crashreport/zorZip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  if (data[0] & 1) {
    const std::string text =
        InflateVerifiedText(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    if (!text.empty() && text.size() > (size - 1) * 1032 + 1032) __builtin_trap();
    return 0;
  }
  if (size < 4) return 0;
  const size_t expected = (data[1] | data[2] << 8 | data[3] << 16) & 0xFFFFF;
  std::vector<uint8_t> out(expected);
  const size_t n = InflateBuffer(data + 4, out.data(), size - 4, expected);
  if (n != 0 && n != expected) __builtin_trap();
  return 0;
}
