// Reads arbitrary bytes as the current user's registry file and reads the
// binary value L\D through the long-value form, as the older consumer
// platform does: into a 100-byte buffer on the heap (a byte written past it
// is an ASan report), through its size and through a registry stream. The
// registry's own errors are fine; anything else, or more bytes than asked
// for, is a fault.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "components/base/RegistrySettings.h"
#include "platform/classes/PlatformId.h"
#include "platform/classes/RegistryStore.h"
#include "platform/core/Exceptions.h"

namespace {
const std::string& Folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/kestova-longvalue-fuzz-XXXXXX";
    if (!::mkdtemp(name)) std::abort();
    return std::string(name);
  }();
  return folder;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file = Folder() + "/registry";
  // A new file each time, so the store reads it again.
  std::ofstream(file + ".new", std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
  if (std::rename((file + ".new").c_str(), file.c_str()) != 0) std::abort();
  SetRegistryFileName(file);
  SetSettingsRoot("");
  SetWin32Platform(VER_PLATFORM_WIN32_WINDOWS);
  try {
    std::vector<char> buffer(100);
    if (ReadRegLongBinary("L\\D", buffer.data(), 100) > 100) std::abort();
    const int total = GetRegLongDataSize("L\\D");
    TRegistryStream stream("L\\D", TFileMode::fmOpenRead);
    if (stream.Size() != (total > 0 ? total : 0)) std::abort();
  } catch (const ERegistryException&) {
  }
  return 0;
}
