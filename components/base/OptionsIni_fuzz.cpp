// Reads arbitrary bytes as the options INI file and loads section
// SampleOptions into a sample options object: text that does not decode
// leaves it as it is, a record that does not read raises one of the
// program's errors (a read error, a class that is not found); nothing else
// may happen.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "components/base/OptionsIni.h"
#include "platform/core/Exceptions.h"
#include "testing/OptionsFixture.h"

namespace {
const std::string& IniFile() {
  static const std::string file = [] {
    char name[] = "/tmp/kestova-optionsini-fuzz-XXXXXX";
    if (!::mkdtemp(name)) std::abort();
    RegisterOptionsFixtures();
    return std::string(name) + "/options.ini";
  }();
  return file;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::ofstream(IniFile(), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), std::streamsize(size));
  SetOptionsIniFileName(IniFile());
  TSampleOptions options;
  try {
    ReadOptionsFromIni(&options, "SampleOptions");
  } catch (const Exception&) {
  }
  return 0;
}
