#include "crashreport/zorPng.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "crashreport/zorNVBitmap.h"
#include "crashreport/zorZip.h"

namespace zor {

namespace {

// --- Wu's quantization --------------------------------------------------------

constexpr int kSide = 33;  // 32 cells per channel plus the unused index 0
constexpr int kCells = kSide * kSide * kSide;

int CellIndex(int r, int g, int b) { return (r * kSide + g) * kSide + b; }

// The five moment tables; sums are exact in 64 bits for any bitmap TINVBitmap
// allows (2^27 pixels of at most 3 * 255^2).
struct Moments {
  std::vector<int64_t> wt, mr, mg, mb, m2;
  Moments() : wt(kCells), mr(kCells), mg(kCells), mb(kCells), m2(kCells) {}
};

struct Box {
  int r0, r1, g0, g1, b0, b1;  // exclusive lower, inclusive upper bounds
  int vol;
};

enum Axis { kRed, kGreen, kBlue };

void BuildHistogram(const uint8_t* pixels, size_t count, Moments& m) {
  for (size_t i = 0; i < count; ++i) {
    const int b = pixels[4 * i], g = pixels[4 * i + 1], r = pixels[4 * i + 2];
    const int cell = CellIndex((r >> 3) + 1, (g >> 3) + 1, (b >> 3) + 1);
    m.wt[cell] += 1;
    m.mr[cell] += r;
    m.mg[cell] += g;
    m.mb[cell] += b;
    m.m2[cell] += r * r + g * g + b * b;
  }
}

// Turns the histogram into cumulative moments: cell (r, g, b) then holds the
// sums over every cell at or below it on all three axes.
void Accumulate(Moments& m) {
  std::vector<int64_t>* tables[] = {&m.wt, &m.mr, &m.mg, &m.mb, &m.m2};
  for (std::vector<int64_t>* table : tables) {
    std::vector<int64_t>& t = *table;
    for (int r = 1; r < kSide; ++r) {
      int64_t area[kSide] = {};
      for (int g = 1; g < kSide; ++g) {
        int64_t line = 0;
        for (int b = 1; b < kSide; ++b) {
          line += t[CellIndex(r, g, b)];
          area[b] += line;
          t[CellIndex(r, g, b)] = t[CellIndex(r - 1, g, b)] + area[b];
        }
      }
    }
  }
}

int64_t Vol(const Box& c, const std::vector<int64_t>& t) {
  return t[CellIndex(c.r1, c.g1, c.b1)] - t[CellIndex(c.r1, c.g1, c.b0)] - t[CellIndex(c.r1, c.g0, c.b1)] +
         t[CellIndex(c.r1, c.g0, c.b0)] - t[CellIndex(c.r0, c.g1, c.b1)] + t[CellIndex(c.r0, c.g1, c.b0)] +
         t[CellIndex(c.r0, c.g0, c.b1)] - t[CellIndex(c.r0, c.g0, c.b0)];
}

// The part of Vol that does not depend on the box's upper bound along `axis`.
int64_t Bottom(const Box& c, Axis axis, const std::vector<int64_t>& t) {
  switch (axis) {
    case kRed:
      return -t[CellIndex(c.r0, c.g1, c.b1)] + t[CellIndex(c.r0, c.g1, c.b0)] + t[CellIndex(c.r0, c.g0, c.b1)] -
             t[CellIndex(c.r0, c.g0, c.b0)];
    case kGreen:
      return -t[CellIndex(c.r1, c.g0, c.b1)] + t[CellIndex(c.r1, c.g0, c.b0)] + t[CellIndex(c.r0, c.g0, c.b1)] -
             t[CellIndex(c.r0, c.g0, c.b0)];
    case kBlue:
      return -t[CellIndex(c.r1, c.g1, c.b0)] + t[CellIndex(c.r1, c.g0, c.b0)] + t[CellIndex(c.r0, c.g1, c.b0)] -
             t[CellIndex(c.r0, c.g0, c.b0)];
  }
  return 0;
}

// The rest of Vol with the upper bound along `axis` moved to `pos`.
int64_t Top(const Box& c, Axis axis, int pos, const std::vector<int64_t>& t) {
  switch (axis) {
    case kRed:
      return t[CellIndex(pos, c.g1, c.b1)] - t[CellIndex(pos, c.g1, c.b0)] - t[CellIndex(pos, c.g0, c.b1)] +
             t[CellIndex(pos, c.g0, c.b0)];
    case kGreen:
      return t[CellIndex(c.r1, pos, c.b1)] - t[CellIndex(c.r1, pos, c.b0)] - t[CellIndex(c.r0, pos, c.b1)] +
             t[CellIndex(c.r0, pos, c.b0)];
    case kBlue:
      return t[CellIndex(c.r1, c.g1, pos)] - t[CellIndex(c.r1, c.g0, pos)] - t[CellIndex(c.r0, c.g1, pos)] +
             t[CellIndex(c.r0, c.g0, pos)];
  }
  return 0;
}

double Variance(const Box& c, const Moments& m) {
  const double dr = double(Vol(c, m.mr)), dg = double(Vol(c, m.mg)), db = double(Vol(c, m.mb));
  const double w = double(Vol(c, m.wt));
  if (w == 0) return 0;
  return double(Vol(c, m.m2)) - (dr * dr + dg * dg + db * db) / w;
}

struct Sums {
  int64_t r, g, b, w;
};

// The largest between-part variance over the cut positions first..last-1
// along `axis`; `cut` is the first position reaching it, -1 when no cut
// leaves pixels on both sides.
double Maximize(const Box& c, Axis axis, int first, int last, int& cut, const Sums& whole, const Moments& m) {
  const Sums base = {Bottom(c, axis, m.mr), Bottom(c, axis, m.mg), Bottom(c, axis, m.mb), Bottom(c, axis, m.wt)};
  double best = 0;
  cut = -1;
  for (int i = first; i < last; ++i) {
    Sums half = {base.r + Top(c, axis, i, m.mr), base.g + Top(c, axis, i, m.mg), base.b + Top(c, axis, i, m.mb),
                 base.w + Top(c, axis, i, m.wt)};
    if (half.w == 0) continue;
    double temp = (double(half.r) * half.r + double(half.g) * half.g + double(half.b) * half.b) / double(half.w);
    half = {whole.r - half.r, whole.g - half.g, whole.b - half.b, whole.w - half.w};
    if (half.w == 0) continue;
    temp += (double(half.r) * half.r + double(half.g) * half.g + double(half.b) * half.b) / double(half.w);
    if (temp > best) {
      best = temp;
      cut = i;
    }
  }
  return best;
}

int CellVolume(const Box& c) { return (c.r1 - c.r0) * (c.g1 - c.g0) * (c.b1 - c.b0); }

// Splits `a` into `a` and `b`; false when no cut leaves pixels on both sides.
bool Cut(Box& a, Box& b, const Moments& m) {
  const Sums whole = {Vol(a, m.mr), Vol(a, m.mg), Vol(a, m.mb), Vol(a, m.wt)};
  int cutR = 0, cutG = 0, cutB = 0;
  const double maxR = Maximize(a, kRed, a.r0 + 1, a.r1, cutR, whole, m);
  const double maxG = Maximize(a, kGreen, a.g0 + 1, a.g1, cutG, whole, m);
  const double maxB = Maximize(a, kBlue, a.b0 + 1, a.b1, cutB, whole, m);
  Axis axis;
  if (maxR >= maxG && maxR >= maxB) {
    axis = kRed;
    if (cutR < 0) return false;
  } else if (maxG >= maxR && maxG >= maxB) {
    axis = kGreen;
  } else {
    axis = kBlue;
  }
  b.r1 = a.r1;
  b.g1 = a.g1;
  b.b1 = a.b1;
  switch (axis) {
    case kRed:
      b.r0 = a.r1 = cutR;
      b.g0 = a.g0;
      b.b0 = a.b0;
      break;
    case kGreen:
      b.g0 = a.g1 = cutG;
      b.r0 = a.r0;
      b.b0 = a.b0;
      break;
    case kBlue:
      b.b0 = a.b1 = cutB;
      b.r0 = a.r0;
      b.g0 = a.g0;
      break;
  }
  a.vol = CellVolume(a);
  b.vol = CellVolume(b);
  return true;
}

// --- Rows -----------------------------------------------------------------------

std::vector<uint8_t> ColourRows(const TINVBitmap& bitmap, const PngPalette& palette) {
  const int w = bitmap.PixelWidth(), h = bitmap.PixelHeight();
  std::vector<uint8_t> rows;
  rows.reserve(size_t(h) * (size_t(w) + 1));
  std::vector<int16_t> cache(32768, -1);
  for (int y = h - 1; y >= 0; --y) {  // top line first; the bits are bottom-up
    const uint8_t* p = bitmap.Bits() + size_t(y) * bitmap.Stride();
    rows.push_back(0);
    for (int x = 0; x < w; ++x, p += 4) rows.push_back(NearestPaletteIndex(cache, palette, p[2], p[1], p[0]));
  }
  return rows;
}

void ConvertToGray(TINVBitmap& bitmap) {
  uint8_t* p = bitmap.Bits();
  const size_t count = size_t(bitmap.PixelWidth()) * size_t(bitmap.PixelHeight());
  for (size_t i = 0; i < count; ++i, p += 4) {
    const uint8_t gray = uint8_t((77 * p[2] + 151 * p[1] + 28 * p[0]) >> 8);
    p[0] = p[1] = p[2] = gray;
  }
}

std::vector<uint8_t> GrayRows(const TINVBitmap& bitmap, const PngPalette& palette) {
  const int w = bitmap.PixelWidth(), h = bitmap.PixelHeight();
  const size_t rowBytes = (size_t(w) + 1) / 2 + 1;
  std::vector<uint8_t> rows(size_t(h) * rowBytes, 0);
  std::vector<int16_t> cache(256, -1);
  uint8_t* out = rows.data();
  for (int y = h - 1; y >= 0; --y, out += rowBytes) {
    const uint8_t* p = bitmap.Bits() + size_t(y) * bitmap.Stride();
    for (int x = 0; x < w; ++x, p += 4) {
      const uint8_t index = NearestGrayIndex(cache, palette, p[0]);
      out[1 + x / 2] |= (x % 2 == 0) ? uint8_t(index << 4) : index;
    }
  }
  return rows;
}

void PutBigEndian(std::string& s, uint32_t v) {
  const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
  s.append(bytes, 4);
}

}  // namespace

int QuantizeColours(const uint8_t* pixels, size_t count, PngPalette& palette, int colours) {
  palette.assign(768, 0);
  if (colours < 1) return 0;
  if (colours > 256) colours = 256;
  auto moments = std::make_unique<Moments>();
  BuildHistogram(pixels, count, *moments);
  Accumulate(*moments);

  Box boxes[256] = {};
  double variance[256] = {};
  boxes[0] = {0, kSide - 1, 0, kSide - 1, 0, kSide - 1, 0};
  int made = colours;
  int next = 0;
  for (int i = 1; i < colours; ++i) {
    if (Cut(boxes[next], boxes[i], *moments)) {
      variance[next] = boxes[next].vol > 1 ? Variance(boxes[next], *moments) : 0;
      variance[i] = boxes[i].vol > 1 ? Variance(boxes[i], *moments) : 0;
    } else {
      variance[next] = 0;  // this box cannot be split
      --i;
    }
    next = 0;
    double largest = variance[0];
    for (int k = 1; k <= i; ++k) {
      if (variance[k] > largest) {
        largest = variance[k];
        next = k;
      }
    }
    if (largest <= 0) {
      made = i + 1;
      break;
    }
  }
  for (int k = 0; k < made; ++k) {
    const int64_t weight = Vol(boxes[k], moments->wt);
    if (weight == 0) continue;
    palette[3 * k] = uint8_t(Vol(boxes[k], moments->mr) / weight);
    palette[3 * k + 1] = uint8_t(Vol(boxes[k], moments->mg) / weight);
    palette[3 * k + 2] = uint8_t(Vol(boxes[k], moments->mb) / weight);
  }
  return made;
}

uint8_t NearestPaletteIndex(std::vector<int16_t>& cache, const PngPalette& palette, uint8_t red, uint8_t green,
                            uint8_t blue) {
  const int key = (red >> 3) | ((green >> 3) << 5) | ((blue >> 3) << 10);
  if (cache[key] >= 0) return uint8_t(cache[key]);
  int best = 0, bestDistance = 1 << 30;
  const int entries = int(palette.size() / 3);
  for (int k = 0; k < entries; ++k) {
    const int d = std::abs(palette[3 * k] - red) + std::abs(palette[3 * k + 1] - green) +
                  std::abs(palette[3 * k + 2] - blue);
    if (d < bestDistance) {
      bestDistance = d;
      best = k;
    }
  }
  cache[key] = int16_t(best);
  return uint8_t(best);
}

PngPalette BuildGrayPalette() {
  static constexpr uint8_t kGrays[16] = {0, 28, 52, 73, 92, 109, 125, 140, 155, 170, 185, 199, 213, 227, 241, 255};
  PngPalette palette;
  for (uint8_t g : kGrays) palette.insert(palette.end(), {g, g, g});
  return palette;
}

uint8_t NearestGrayIndex(std::vector<int16_t>& cache, const PngPalette& palette, uint8_t gray) {
  if (cache[gray] >= 0) return uint8_t(cache[gray]);
  int best = 0, bestDistance = 1 << 30;
  for (int k = 0; k < int(palette.size() / 3); ++k) {
    const int d = std::abs(palette[3 * k] - gray);
    if (d < bestDistance) {
      bestDistance = d;
      best = k;
    }
  }
  cache[gray] = int16_t(best);
  return uint8_t(best);
}

uint32_t Adler32Of(const void* data, size_t length) {
  // 3854 bytes keep both sums below 2^31 between reductions.
  constexpr size_t kRun = 3854;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  uint32_t s1 = 1, s2 = 0;
  while (length > 0) {
    const size_t run = length < kRun ? length : kRun;
    for (size_t i = 0; i < run; ++i) {
      s1 += p[i];
      s2 += s1;
    }
    s1 %= 65521;
    s2 %= 65521;
    p += run;
    length -= run;
  }
  return (s2 << 16) | s1;
}

void AddPngChunk(std::string& file, const char type[4], const void* data, size_t length) {
  PutBigEndian(file, uint32_t(length));
  const size_t start = file.size();
  file.append(type, 4);
  if (length > 0) file.append(static_cast<const char*>(data), length);
  PutBigEndian(file, Crc32Update(0xFFFFFFFFu, file.data() + start, length + 4) ^ 0xFFFFFFFFu);
}

std::string BuildPngFile(uint32_t width, uint32_t height, const PngPalette& palette,
                         const std::vector<uint8_t>& rows) {
  std::string idat = "\x78\x01";
  const size_t capacity = rows.size() * 11 / 10 + 12;
  idat.resize(2 + capacity);
  const size_t packed = DeflateBuffer(rows.data(), idat.data() + 2, rows.size(), capacity);
  if (packed == 0) return {};
  idat.resize(2 + packed);
  PutBigEndian(idat, Adler32Of(rows.data(), rows.size()));

  std::string header;
  PutBigEndian(header, width);
  PutBigEndian(header, height);
  header += char(palette.size() == 768 ? 8 : 4);  // bit depth
  header += char(3);                               // colour type: palette
  header.append(3, '\0');                          // compression, filter, interlace

  std::string file = "\x89PNG\r\n\x1A\n";
  AddPngChunk(file, "IHDR", header.data(), header.size());
  AddPngChunk(file, "PLTE", palette.data(), palette.size());
  AddPngChunk(file, "IDAT", idat.data(), idat.size());
  AddPngChunk(file, "IEND", nullptr, 0);
  return file;
}

std::string PngFileImage(TINVBitmap& bitmap, uint8_t form) {
  const uint32_t w = uint32_t(bitmap.PixelWidth()), h = uint32_t(bitmap.PixelHeight());
  std::string colour;
  if (form != 1) {
    PngPalette palette;
    QuantizeColours(bitmap.Bits(), size_t(w) * h, palette);
    colour = BuildPngFile(w, h, palette, ColourRows(bitmap, palette));
  }
  const bool tooLarge = form >= 2 && form <= 5 && colour.size() > kPngFormLimit[form];
  if (form != 1 && !colour.empty() && !tooLarge) return colour;

  ConvertToGray(bitmap);
  const PngPalette grays = BuildGrayPalette();
  std::string gray = BuildPngFile(w, h, grays, GrayRows(bitmap, grays));
  if (colour.empty() || (!gray.empty() && gray.size() < colour.size())) return gray;
  return colour;
}

}  // namespace zor
