// zortool's screenshot command: a picture file to the reporter's palette PNG,
// for checks with pngcheck, ImageMagick and zlib.
#include <cstdio>
#include <string>
#include <vector>

#include "crashreport/zorNVBitmap.h"
#include "tools/zortool/Commands.h"

namespace {

constexpr const char* kPngUsage = "usage: zortool png IN OUT --form N   (N from 0 to 5)\n";

}  // namespace

// png IN OUT --form N: IN (any picture QImage reads) written as the PNG of form N.
int RunPng(const std::vector<std::string>& args) {
  if (args.size() != 4 || args[2] != "--form" || args[3].size() != 1 || args[3][0] < '0' || args[3][0] > '5') {
    std::fprintf(stderr, "%s", kPngUsage);
    return 2;
  }
  zor::INVBitmapPtr bitmap = zor::LoadBitmapFile(args[0]);
  if (!bitmap) {
    std::fprintf(stderr, "zortool: cannot read the picture %s\n", args[0].c_str());
    return 1;
  }
  if (!bitmap->WritePngFile(args[1], uint8_t(args[3][0] - '0'))) {
    std::fprintf(stderr, "zortool: cannot write %s\n", args[1].c_str());
    return 1;
  }
  return 0;
}
