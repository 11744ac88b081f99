// Decodes arbitrary bytes as UTF-8, UTF-16 little-endian and Windows-1252 and
// checks that every decoder gives well-formed UTF-8 that survives a round
// trip through the other forms.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/core/Codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const std::string& text : {Utf32ToUtf8(Utf8ToUtf32(bytes)), Utf16LEToUtf8(bytes), Windows1252ToUtf8(bytes)}) {
    if (!IsValidUtf8(text)) std::abort();
    if (Utf32ToUtf8(Utf8ToUtf32(text)) != text) std::abort();
    if (Utf16LEToUtf8(Utf8ToUtf16LE(text)) != text) std::abort();
  }
  if (IsValidUtf8(bytes) && Utf32ToUtf8(Utf8ToUtf32(bytes)) != bytes) std::abort();
  return 0;
}
