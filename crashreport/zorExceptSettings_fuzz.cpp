// The settings resource is read from a module's bytes: the parser must stay
// inside them for any input, keep its array rule, and stop at an unknown type
// with the values before it. Stored passwords are then decoded and
// deciphered from whatever texts the list holds.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "crashreport/zorExceptSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  zor::ParsedSettings parsed = zor::ParseSettingsBytes(bytes);
  zor::SettingArray& array = parsed.array;
  const size_t count = array.values.size();
  if (array.capacity == 0 && (count != 0 || parsed.badType)) std::abort();
  if (array.capacity != 0 && (array.capacity < 131 || (array.capacity - 131) % 20 != 0)) std::abort();
  if (count > static_cast<size_t>(array.capacity)) std::abort();
  // The array grows only when full.
  if (array.capacity > 131 && count <= static_cast<size_t>(array.capacity - 20)) std::abort();
  size_t used = zor::kSettingsHeaderSize;
  for (const zor::TZESettingValue& v : array.values) {
    if (v.name.empty() || v.name.size() > 255) std::abort();
    if (v.kind != zor::skBoolean && v.boolean) std::abort();
    if (v.kind != zor::skInteger && v.integer != 0) std::abort();
    if (v.kind != zor::skText && !v.text.empty()) std::abort();
    // UTF-16 grows at most to 3 bytes of UTF-8 per 2 bytes read.
    used += 2 + v.name.size() + v.text.size() * 2 / 3;
  }
  if (count > 0 && used > size) std::abort();
  if (parsed.badType) {
    const uint8_t t = *parsed.badType;
    if (t == 2 || t == 3 || t == 4 || t == 6 || t == 8 || t == 9 || t == 12 || t == 18) std::abort();
  }
  zor::DecipherStoredPasswords(array);
  if (array.values.size() != count) std::abort();
  return 0;
}
