#include "crashreport/zorPng.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "crashreport/zorNVBitmap.h"
#include "crashreport/zorZip.h"

namespace zor {
namespace {

uint32_t BigEndian(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) << 24 | uint32_t(uint8_t(s[at + 1])) << 16 | uint32_t(uint8_t(s[at + 2])) << 8 |
         uint8_t(s[at + 3]);
}

// A PNG file taken apart; the test fails on a bad signature, chunk CRC or
// zlib wrapper.
struct PngParts {
  std::vector<std::string> order;
  uint32_t width = 0, height = 0;
  int depth = 0, colourType = 0;
  std::string palette;
  std::vector<uint8_t> rows;  // the inflated IDAT
};

PngParts TakeApart(const std::string& file, size_t rowBytes) {
  PngParts parts;
  EXPECT_EQ(file.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
  std::string idat;
  for (size_t at = 8; at + 12 <= file.size();) {
    const uint32_t length = BigEndian(file, at);
    const std::string type = file.substr(at + 4, 4), data = file.substr(at + 8, length);
    EXPECT_EQ(BigEndian(file, at + 8 + length), Crc32Update(0xFFFFFFFFu, file.data() + at + 4, length + 4) ^ 0xFFFFFFFFu)
        << type;
    parts.order.push_back(type);
    if (type == "IHDR") {
      parts.width = BigEndian(data, 0);
      parts.height = BigEndian(data, 4);
      parts.depth = data[8];
      parts.colourType = data[9];
    } else if (type == "PLTE") {
      parts.palette = data;
    } else if (type == "IDAT") {
      idat = data;
    }
    at += 12 + length;
  }
  EXPECT_GE(idat.size(), 6u);
  if (idat.size() < 6) return parts;
  EXPECT_EQ(idat.substr(0, 2), "\x78\x01");
  parts.rows.resize(rowBytes * parts.height);
  EXPECT_EQ(InflateBuffer(idat.data() + 2, parts.rows.data(), idat.size() - 6, parts.rows.size()), parts.rows.size());
  EXPECT_EQ(BigEndian(idat, idat.size() - 4), Adler32Of(parts.rows.data(), parts.rows.size()));
  return parts;
}

std::shared_ptr<TINVBitmap> Picture(int w, int h, const std::vector<uint32_t>& colours) {
  auto b = TINVBitmap::Create(w, h);
  for (int i = 0; i < w * h; ++i) b->SetPixel(i % w, i / w, colours[size_t(i) % colours.size()]);
  return b;
}

std::shared_ptr<TINVBitmap> Noise(int w, int h, uint32_t seed) {
  std::mt19937 random(seed);
  auto b = TINVBitmap::Create(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b->SetPixel(x, y, random() & 0xFFFFFF);
  return b;
}

uint32_t Gray(uint32_t rgb) {
  const uint32_t g = (77 * (rgb >> 16) + 151 * ((rgb >> 8) & 0xFF) + 28 * (rgb & 0xFF)) >> 8;
  return g << 16 | g << 8 | g;
}

TEST(Png, Adler32MatchesTheDefinition) {
  EXPECT_EQ(Adler32Of("Wikipedia", 9), 0x11E60398u);
  EXPECT_EQ(Adler32Of("", 0), 1u);
  // Long runs of 0xFF are where late reduction would overflow.
  for (size_t n : {size_t(3853), size_t(3854), size_t(3855), size_t(100000)}) {
    SCOPED_TRACE(n);
    const std::vector<uint8_t> ff(n, 0xFF);
    uint64_t a = 1, b = 0;
    for (uint8_t v : ff) {
      a = (a + v) % 65521;
      b = (b + a) % 65521;
    }
    EXPECT_EQ(Adler32Of(ff.data(), n), uint32_t(b << 16 | a));
  }
}

TEST(Png, GrayPaletteAndNearestGray) {
  const PngPalette grays = BuildGrayPalette();
  ASSERT_EQ(grays.size(), 48u);
  EXPECT_EQ(grays[3 * 7], 140);
  EXPECT_EQ(grays[3 * 7 + 2], 140);
  std::vector<int16_t> cache(256, -1);
  const std::pair<int, int> rows[] = {{0, 0}, {14, 0}, {15, 1}, {100, 4}, {101, 5}, {248, 14}, {249, 15}, {255, 15}};
  for (auto [gray, index] : rows) {
    SCOPED_TRACE(gray);
    EXPECT_EQ(NearestGrayIndex(cache, grays, uint8_t(gray)), index);
  }
}

// Colours in distinct 5-bit cells come out exactly, one box each; entries no
// box fills stay 0.
TEST(Png, FewCellsGiveTheirExactMeans) {
  const std::vector<uint32_t> colours = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080, 0x102030};
  auto b = Picture(10, 7, colours);
  PngPalette palette;
  EXPECT_EQ(QuantizeColours(b->Bits(), 70, palette), 5);
  ASSERT_EQ(palette.size(), 768u);
  std::set<uint32_t> found;
  for (int k = 0; k < 5; ++k) found.insert(uint32_t(palette[3 * k]) << 16 | palette[3 * k + 1] << 8 | palette[3 * k + 2]);
  EXPECT_EQ(found, std::set<uint32_t>(colours.begin(), colours.end()));
  EXPECT_EQ(PngPalette(palette.begin() + 15, palette.end()), PngPalette(768 - 15, 0));

  // Two colours of one cell share a box whose entry is their mean.
  auto same = Picture(2, 1, {0x000008, 0x00000E});
  EXPECT_EQ(QuantizeColours(same->Bits(), 2, palette), 1);
  EXPECT_EQ(palette[2], 11);
}

// Worked by hand with the between-part measure sum^2 / count per half.
// Black, (16, 0, 0) and white: the first cut parts the darks from white, the
// second the two darks. Black, green and yellow: a cut along red and one along
// green score the same, and red wins.
TEST(Png, SplitsFollowTheVarianceAndTheTieRules) {
  struct Row {
    const char* name;
    std::vector<uint32_t> colours;  // ten pixels each
    int boxes;
    PngPalette expected;
  } rows[] = {
      {"darks from white", {0x000000, 0x100000, 0xFFFFFF}, 2, {8, 0, 0, 255, 255, 255}},
      {"then the darks", {0x000000, 0x100000, 0xFFFFFF}, 3, {0, 0, 0, 255, 255, 255, 16, 0, 0}},
      {"red before green", {0x000000, 0x00FF00, 0xFFFF00}, 2, {0, 127, 0, 255, 255, 0}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto b = Picture(int(r.colours.size()), 10, r.colours);
    PngPalette palette;
    EXPECT_EQ(QuantizeColours(b->Bits(), r.colours.size() * 10, palette, r.boxes), r.boxes);
    EXPECT_EQ(PngPalette(palette.begin(), palette.begin() + long(r.expected.size())), r.expected);
  }
}

TEST(Png, MappingIsCachedPerCell) {
  PngPalette palette(768, 0);
  palette[3] = 14;  // entry 1: (14, 0, 0)
  palette[6] = 6;   // entry 2: (6, 0, 0)
  std::vector<int16_t> cache(32768, -1);
  EXPECT_EQ(NearestPaletteIndex(cache, palette, 13, 0, 0), 1);  // decides the cell of 8..15
  EXPECT_EQ(NearestPaletteIndex(cache, palette, 8, 0, 0), 1);   // nearer to 6, but its cell is decided
  EXPECT_EQ(NearestPaletteIndex(cache, palette, 4, 0, 0), 2);   // decides the cell of 0..7
  EXPECT_EQ(NearestPaletteIndex(cache, palette, 0, 0, 0), 2);   // entry 0 would be exact
  // Ties go to the first entry.
  std::vector<int16_t> fresh(32768, -1);
  EXPECT_EQ(NearestPaletteIndex(fresh, palette, 0, 200, 0), 0);
}

TEST(Png, ColourFormHoldsEveryIndexRow) {
  const std::vector<uint32_t> colours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808000};
  auto b = Picture(5, 3, colours);
  const std::string file = b->PngFileImage(0);
  const PngParts parts = TakeApart(file, 5 + 1);
  EXPECT_EQ(parts.order, (std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}));
  EXPECT_EQ(parts.width, 5u);
  EXPECT_EQ(parts.height, 3u);
  EXPECT_EQ(parts.depth, 8);
  EXPECT_EQ(parts.colourType, 3);
  ASSERT_EQ(parts.palette.size(), 768u);
  ASSERT_EQ(parts.rows.size(), 18u);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(parts.rows[size_t(y) * 6], 0) << "filter byte of row " << y;
    for (int x = 0; x < 5; ++x) {
      const size_t k = parts.rows[size_t(y) * 6 + 1 + size_t(x)];
      const uint32_t rgb = uint32_t(uint8_t(parts.palette[3 * k])) << 16 |
                           uint32_t(uint8_t(parts.palette[3 * k + 1])) << 8 | uint8_t(parts.palette[3 * k + 2]);
      EXPECT_EQ(rgb, b->PixelAt(x, y)) << x << "," << y;
    }
  }
  // Qt's decoder agrees.
  const QImage decoded = QImage::fromData(reinterpret_cast<const uchar*>(file.data()), int(file.size()), "PNG");
  ASSERT_FALSE(decoded.isNull());
  for (int i = 0; i < 15; ++i) EXPECT_EQ(decoded.pixel(i % 5, i / 5) & 0xFFFFFF, b->PixelAt(i % 5, i / 5));
}

// Odd widths pad the last byte's low half with 0; the bitmap turns gray.
TEST(Png, GrayFormPacksTwoPixelsPerByte) {
  for (int w : {1, 2, 7}) {
    SCOPED_TRACE(w);
    auto b = Picture(w, 3, {0xFFFFFF, 0x000000, 0xFF0000, 0x808080, 0x00FF00});
    const auto original = b;
    std::vector<uint32_t> expectedGray;
    for (int i = 0; i < w * 3; ++i) expectedGray.push_back(Gray(b->PixelAt(i % w, i / w)));
    const size_t rowBytes = size_t(w + 1) / 2 + 1;
    const PngParts parts = TakeApart(b->PngFileImage(1), rowBytes);
    EXPECT_EQ(parts.depth, 4);
    EXPECT_EQ(parts.palette.size(), 48u);
    ASSERT_EQ(parts.rows.size(), rowBytes * 3);
    const PngPalette grays = BuildGrayPalette();
    std::vector<int16_t> cache(256, -1);
    for (int y = 0; y < 3; ++y) {
      const uint8_t* row = parts.rows.data() + size_t(y) * rowBytes;
      EXPECT_EQ(row[0], 0);
      for (int x = 0; x < w; ++x) {
        EXPECT_EQ(b->PixelAt(x, y), expectedGray[size_t(y * w + x)]);
        const int index = (x % 2 == 0) ? row[1 + x / 2] >> 4 : row[1 + x / 2] & 0xF;
        EXPECT_EQ(index, NearestGrayIndex(cache, grays, uint8_t(expectedGray[size_t(y * w + x)])));
      }
      if (w % 2 == 1) {
        EXPECT_EQ(row[rowBytes - 1] & 0xF, 0);
      }
    }
  }
}

// Noise of 600 x 400 makes a colour file of about 240000 bytes and a gray one
// of about 120000: form 4 (204800) turns to gray, form 5 (307200) does not,
// and 0 never does.
TEST(Png, SizeLimitsChooseTheSmallerFile) {
  struct Row {
    uint8_t form;
    int depth;
    bool grayAfter;
  } rows[] = {{0, 8, false}, {1, 4, true}, {2, 4, true}, {4, 4, true}, {5, 8, false}, {9, 8, false}};
  size_t colourSize = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(int(r.form));
    auto b = Noise(600, 400, 7);
    const uint32_t before = b->PixelAt(17, 33);
    const std::string file = b->PngFileImage(r.form);
    ASSERT_GT(file.size(), 33u);
    EXPECT_EQ(file[24], char(r.depth));
    if (r.form == 0) colourSize = file.size();
    EXPECT_EQ(b->PixelAt(17, 33), r.grayAfter ? Gray(before) : before);
    if (r.depth == 4) {
      EXPECT_LT(file.size(), colourSize);
    }
  }
  EXPECT_GT(colourSize, 204800u);
  EXPECT_LT(colourSize, 307200u);
}

// A small picture stays in colour under every size-limited form, even though
// its gray version would be smaller still.
TEST(Png, ColourUnderTheLimitIsKept) {
  for (uint8_t form : {2, 3, 4, 5}) {
    SCOPED_TRACE(int(form));
    auto b = Picture(40, 30, {0xFF0000, 0x00FF00, 0x0000FF});
    EXPECT_EQ(b->PngFileImage(form)[24], 8);
    EXPECT_EQ(b->PixelAt(0, 0), 0xFF0000u);
  }
}

}  // namespace
}  // namespace zor
