// The readers of the system's text files over arbitrary bytes: each answer
// must be one the text could give (a sum no larger than the mapped ranges, a
// name found in the text), and the layout of any text must stay on its lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "crashreport/zorExceptReport.h"
#include "crashreport/zorExceptSysInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string client = zor::SshClientAddress(text);
  if (client.size() > size || client.find_first_of(" \t") != std::string::npos) std::abort();
  if (zor::CpuModelName(text).size() > size) std::abort();
  zor::MemInfoBytes(text, "MemTotal");
  zor::UptimeSeconds(text);
  const uint64_t all = zor::UnbackedMappingBytes(text, [](std::string_view) { return false; });
  const uint64_t some = zor::UnbackedMappingBytes(text, [](std::string_view p) { return p.size() % 2 == 0; });
  if (some > all) std::abort();
  const std::string line = zor::CommandLineText(text);
  if (line.size() > size || line.find('\0') != std::string::npos) std::abort();
  const std::string flat = zor::FlattenedValue(text);
  if (flat.find_first_of("\r\n") != std::string::npos || flat.find("  ") != std::string::npos) std::abort();
  return 0;
}
