// base64 text from the settings resource is untrusted: decoding must stay in
// bounds for any bytes, never grow past three bytes a group, and encoding any
// bytes must decode back to them. The decoded bytes then go through the stored
// password deciphering, whose unpadding reads the last byte.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "crashreport/zorCrypt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string decoded = zor::Base64DecodeText(text);
  if (decoded.size() > size / 4 * 3) std::abort();
  if (zor::Base64Decode(text.data(), text.size()).size() != decoded.size()) std::abort();
  // A decoding that used every group re-encodes to the input up to the bits
  // that padding drops, so its length must match.
  const bool everyGroup = size > 0 && size % 4 == 0 && decoded.size() + 3 > size / 4 * 3;
  if (everyGroup && zor::Base64EncodeText(decoded).size() != size) std::abort();
  if (zor::Base64DecodeText(zor::Base64Encode(data, size)) != text) std::abort();
  const std::string password = zor::DecipherStoredPassword(decoded, "account", "smtp.example.org");
  if (password.size() > decoded.size()) std::abort();
  return 0;
}
