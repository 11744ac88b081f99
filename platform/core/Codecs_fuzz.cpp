// Decodes arbitrary bytes as UTF-8, UTF-16 little-endian and Windows-1252 and
// checks that every decoder gives well-formed UTF-8 that survives a round
// trip through the other forms, and that the escaped and lossless decodings
// keep every byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
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
  // The escaped form gives back every byte, so distinct inputs never compare equal.
  std::string back;
  for (char32_t c : Utf8ToUtf32Escaped(bytes))
    back += c >= kEscapedByteBase ? std::string(1, static_cast<char>(c - kEscapedByteBase)) : Utf32ToUtf8({&c, 1});
  if (back != bytes) std::abort();
  // The lossless form writes back the very bytes it read.
  if (Utf32ToUtf8Lossless(Utf8ToUtf32Lossless(bytes)) != bytes) std::abort();
  return 0;
}
