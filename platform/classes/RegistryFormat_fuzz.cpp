// Reads arbitrary bytes as a registry file. What is read must hold only
// well-formed values within the limits, and writing it must give a text
// that reads back to the same tree and writes to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/classes/RegistryFormat.h"
#include "platform/core/Codecs.h"

namespace {
void CheckKey(const TRegKeyNode& key, size_t depth) {
  if (depth > kMaxKeyDepth || (depth > 0 && !IsValidKeyName(key.Name()))) std::abort();
  for (const TRegValue& value : key.Values())
    if (!IsWellFormed(value) || !IsValidValueName(value.Name)) std::abort();
  for (const auto& sub : key.SubKeys()) CheckKey(*sub, depth + 1);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TRegKeyNode root;
  std::string error;
  if (!ParseRegistryText(text, root, error)) {
    if (error.empty() || !root.Values().empty() || !root.SubKeys().empty()) std::abort();
    return 0;
  }
  CheckKey(root, 0);
  const std::string written = RegistryText(root);
  if (!IsValidUtf8(written)) std::abort();
  TRegKeyNode again;
  if (!ParseRegistryText(written, again, error) || !again.SameAs(root) || RegistryText(again) != written) std::abort();
  return 0;
}
