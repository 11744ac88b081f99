// Picture files loaded for the screenshot form come from the user and are not
// to be trusted. Input: any file; what loads is also zoomed and written as PNG
// in the form its size picks, which must decode back to its size.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "crashreport/zorNVBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/zorbitmap_fuzz-" + std::to_string(::getpid());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  const bool written = std::fwrite(data, 1, size, f) == size;
  std::fclose(f);
  if (!written) return 0;
  zor::INVBitmapPtr bitmap = zor::LoadBitmapFile(path);
  std::remove(path.c_str());
  if (!bitmap) return 0;
  const int64_t pixels = int64_t(bitmap->PixelWidth()) * bitmap->PixelHeight();
  if (pixels > 1 << 16) return 0;  // keep each run short
  zor::INVBitmapPtr small = bitmap->ScaledCopy(7, 5);
  if (!small || small->PixelWidth() > 7 || small->PixelHeight() > 5) std::abort();
  const std::string png = bitmap->PngFileImage(uint8_t(size % 6));
  if (png.size() < 8 || png.compare(1, 3, "PNG") != 0) std::abort();
  return 0;
}
