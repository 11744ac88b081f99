// zortool addr2line FILE ADDR...: function, unit and line of addresses of a
// module file (addresses as the file gives them, in hexadecimal), read the
// way the crash reporter reads debug information.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "crashreport/zorMapFile.h"
#include "crashreport/zorToolsImage.h"

int RunAddr2line(const std::vector<std::string>& args) {
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: zortool addr2line FILE ADDR...\n");
    return 2;
  }
  zor::ModuleRanges ranges;
  {
    const zor::MappedFile file(args[0]);
    ranges = zor::FileModuleRanges(file.Bytes());
  }
  const zor::TMapFile map(ranges, args[0]);
  if (!map.Valid()) {
    std::fprintf(stderr, "zortool: no debug information in %s\n", args[0].c_str());
    return 1;
  }
  for (size_t i = 1; i < args.size(); ++i) {
    char* end = nullptr;
    const uintptr_t address = std::strtoull(args[i].c_str(), &end, 16);
    if (!end || *end) {
      std::fprintf(stderr, "zortool: bad address %s\n", args[i].c_str());
      return 2;
    }
    const zor::TMfPublic& symbol = map.PublicAt(address);
    const std::string& unit = map.SegmentAt(true, address).unitName;
    uintptr_t next = 0;
    const int line = std::max(0, map.LineAt(address, next));
    std::printf("%s\n%s:%d\n", symbol.valid ? symbol.name.c_str() : "??", unit.empty() ? "??" : unit.c_str(), line);
  }
  return 0;
}
