// zortool png against other readers: pngcheck checks the file, ImageMagick's
// identify reads its size and depth, and python3's zlib inflates the IDAT and
// checks its Adler-32. The pictures come from ImageMagick. A test skips when
// one of the programs is not installed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "crashreport/zorNVBitmap.h"
#include "crashreport/zorPng.h"

namespace {

namespace fs = std::filesystem;

// Prints "WIDTH HEIGHT DEPTH PLTE-LENGTH" and then one line per pixel, top
// row first: its colour through the palette as six hexadecimal digits. Fails
// unless the IDAT is 78 01, a deflate stream and a matching Adler-32.
constexpr const char* kDecodeScript = R"(
import sys, struct, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n'
pos, chunks = 8, {}
while pos < len(data):
    length, kind = struct.unpack('>I4s', data[pos:pos + 8])
    chunks[kind] = data[pos + 8:pos + 8 + length]
    pos += 12 + length
width, height, depth = struct.unpack('>IIB', chunks[b'IHDR'][:9])
idat, plte = chunks[b'IDAT'], chunks[b'PLTE']
assert idat[:2] == b'\x78\x01', 'zlib header'
raw = zlib.decompressobj(-15).decompress(idat[2:-4])
assert zlib.adler32(raw) == struct.unpack('>I', idat[-4:])[0], 'Adler-32'
assert zlib.decompress(idat) == raw
print(width, height, depth, len(plte))
row = (width * depth + 7) // 8 + 1
assert len(raw) == row * height, 'row length'
for y in range(height):
    line = raw[y * row:(y + 1) * row]
    assert line[0] == 0, 'filter type'
    for x in range(width):
        if depth == 8:
            k = line[1 + x]
        else:
            k = line[1 + x // 2] >> 4 if x % 2 == 0 else line[1 + x // 2] & 15
        print(plte[3 * k:3 * k + 3].hex())
)";

bool HasProgram(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

class ZortoolPng : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* program : {"convert", "identify", "pngcheck", "python3"})
      if (!HasProgram(program)) GTEST_SKIP() << program << " is not installed";
    std::string pattern = (fs::temp_directory_path() / "zortool-png-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    std::ofstream(dir_ / "decode.py") << kDecodeScript;
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir_.empty()) fs::remove_all(dir_, ignored);
  }

  // The standard output of a shell command; the test fails when it exits
  // with a non-zero code.
  std::string Run(const std::string& command) {
    const fs::path out = dir_ / "out";
    const std::string line = command + " > '" + out.string() + "' 2>&1";
    EXPECT_EQ(std::system(line.c_str()), 0) << line << "\n" << Read(out);
    return Read(out);
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string Quoted(const fs::path& p) const { return "'" + p.string() + "'"; }
  fs::path WritePng(const fs::path& in, int form) {
    const fs::path out = dir_ / ("form" + std::to_string(form) + ".png");
    Run(std::string("'") + ZORTOOL_PATH + "' png " + Quoted(in) + " " + Quoted(out) + " --form " + std::to_string(form));
    return out;
  }

  fs::path dir_;
};

std::string Hex(uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "%06x", rgb);
  return text;
}

// Four flat colours on an odd width: fewer than 256 cells, so the colour forms
// give every pixel back exactly, and the gray form gives the gray palette's
// entry nearest to the pixel's gray.
TEST_F(ZortoolPng, EveryFormPassesTheOtherReaders) {
  const fs::path in = dir_ / "in.bmp";
  Run("convert -size 37x23 xc:'#204060' +antialias -fill '#ff0000' -draw 'rectangle 3,2 12,9' -fill '#00c000' "
      "-draw 'circle 25,12 30,16' -fill '#ffff00' -draw 'line 0,22 36,0' -type TrueColor bmp3:" + Quoted(in));
  const zor::INVBitmapPtr source = zor::LoadBitmapFile(in.string());
  ASSERT_TRUE(source);
  const auto& picture = static_cast<const zor::TINVBitmap&>(*source);
  const zor::PngPalette grays = zor::BuildGrayPalette();
  std::vector<int16_t> cache(256, -1);

  for (int form = 0; form <= 5; ++form) {
    SCOPED_TRACE("form " + std::to_string(form));
    const bool gray = form == 1;
    const fs::path png = WritePng(in, form);
    const std::string check = Run("pngcheck -v " + Quoted(png));
    EXPECT_NE(check.find("No errors detected"), std::string::npos) << check;
    EXPECT_NE(check.find(gray ? "length 48:" : "length 768:"), std::string::npos) << check;
    EXPECT_EQ(Run("identify -format '%w %h %[png:IHDR.bit-depth-orig]' " + Quoted(png)),
              gray ? "37 23 4" : "37 23 8");

    std::istringstream decoded(Run("python3 " + Quoted(dir_ / "decode.py") + " " + Quoted(png)));
    std::string header;
    std::getline(decoded, header);
    EXPECT_EQ(header, gray ? "37 23 4 48" : "37 23 8 768");
    int wrong = 0;
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 37; ++x) {
        std::string pixel;
        std::getline(decoded, pixel);
        uint32_t expected = picture.PixelAt(x, y);
        if (gray) {
          const uint32_t r = expected >> 16, g = (expected >> 8) & 0xFF, b = expected & 0xFF;
          const uint8_t level = grays[3 * zor::NearestGrayIndex(cache, grays, uint8_t((77 * r + 151 * g + 28 * b) >> 8))];
          expected = uint32_t(level) * 0x010101;
        }
        if (pixel != Hex(expected) && wrong++ < 3) ADD_FAILURE() << x << "," << y << ": " << pixel;
      }
    EXPECT_EQ(wrong, 0);
  }
}

// Noise makes a colour file of about 240000 bytes: form 4 (limit 204800)
// keeps the smaller gray file, form 5 (limit 307200) the colour one.
TEST_F(ZortoolPng, SizeLimitedFormsKeepTheSmallerFile) {
  const fs::path in = dir_ / "noise.bmp";
  Run("convert -size 600x400 xc: +noise Random -type TrueColor bmp3:" + Quoted(in));
  const uintmax_t colour = fs::file_size(WritePng(in, 0));
  EXPECT_GT(colour, 204800u);
  const fs::path form4 = WritePng(in, 4), form5 = WritePng(in, 5);
  EXPECT_LT(fs::file_size(form4), colour);
  EXPECT_EQ(fs::file_size(form5), colour);
  EXPECT_EQ(Run("identify -format '%w %h %[png:IHDR.bit-depth-orig]' " + Quoted(form4)), "600 400 4");
  EXPECT_EQ(Run("identify -format '%w %h %[png:IHDR.bit-depth-orig]' " + Quoted(form5)), "600 400 8");
  EXPECT_NE(Run("pngcheck -v " + Quoted(form4)).find("No errors detected"), std::string::npos);
}

TEST_F(ZortoolPng, BadArgumentsAndUnreadablePictures) {
  std::ofstream(dir_ / "junk.bmp") << "not a picture";
  const std::string tool = std::string("'") + ZORTOOL_PATH + "' png ";
  const struct {
    std::string args;
    int code;
  } rows[] = {{Quoted(dir_ / "junk.bmp") + " " + Quoted(dir_ / "o.png") + " --form 0", 1},
              {Quoted(dir_ / "junk.bmp") + " " + Quoted(dir_ / "o.png") + " --form 6", 2},
              {Quoted(dir_ / "junk.bmp") + " " + Quoted(dir_ / "o.png"), 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args);
    const int status = std::system((tool + row.args + " 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(status), row.code);
  }
  EXPECT_FALSE(fs::exists(dir_ / "o.png"));
}

}  // namespace
