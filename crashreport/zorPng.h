#pragma once
// The palette PNG writer of the screenshot: 256 colours chosen by Wu's
// variance-minimising quantization, or 16 grays at 4 bits per pixel, whichever
// the form asks for or whichever file is smaller.
//
// Forms: 0 always 256 colours; 1 always 16 grays; 2, 3, 4 and 5 256 colours
// unless that file is larger than kPngFormLimit[form], in which case the gray
// version is made too and the smaller file wins (the colour one on a tie).
// Any other form acts as 0.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zor {

class TINVBitmap;

inline constexpr std::array<uint32_t, 6> kPngFormLimit = {0, 0, 51200, 102400, 204800, 307200};

// A palette as red, green, blue bytes: 768 bytes for 256 colours, 48 for 16
// grays.
using PngPalette = std::vector<uint8_t>;

// The PNG file of `bitmap` in `form` (see above); empty when none could be
// built. Making the gray version turns the bitmap's own pixels gray.
std::string PngFileImage(TINVBitmap& bitmap, uint8_t form);

// The file: signature, IHDR (bit depth 8 when the palette has 768 bytes,
// else 4; colour type 3), PLTE, one IDAT holding 78 01, the raw deflate of
// `rows` and their Adler-32, and IEND. `rows` are the filtered rows, top line
// first, each starting with filter type 0. Empty when deflate fails.
std::string BuildPngFile(uint32_t width, uint32_t height, const PngPalette& palette,
                         const std::vector<uint8_t>& rows);
// Appends length, type, data and the CRC-32 over type and data.
void AddPngChunk(std::string& file, const char type[4], const void* data, size_t length);
// RFC 1950 Adler-32.
uint32_t Adler32Of(const void* data, size_t length);

// Wu's quantization of `count` pixels (blue, green, red, 0) into at most
// `colours` (1..256) palette entries: 5 bits per channel, a 33 x 33 x 33
// moment histogram, the box of largest variance split first (the first such
// box), along the axis and position of largest between-part variance (red,
// then green, on ties). Entry k is box k's mean colour; entries no box fills
// stay 0. Answers the number of boxes made.
int QuantizeColours(const uint8_t* pixels, size_t count, PngPalette& palette, int colours = 256);

// The entry nearest to the colour (least sum of absolute channel
// differences, the first on ties) over all 256 entries, cached per 5-bit cell:
// every colour of a cell maps where the first colour of that cell did.
// `cache` has 32768 entries, -1 for not yet known.
uint8_t NearestPaletteIndex(std::vector<int16_t>& cache, const PngPalette& palette, uint8_t red,
                            uint8_t green, uint8_t blue);

// The 16 grays 0, 28, 52, 73, 92, 109, 125, 140, 155, 170, 185, 199, 213,
// 227, 241, 255.
PngPalette BuildGrayPalette();
// The first gray entry with the least absolute difference, cached per gray
// value (`cache` has 256 entries, -1 for not yet known).
uint8_t NearestGrayIndex(std::vector<int16_t>& cache, const PngPalette& palette, uint8_t gray);

}  // namespace zor
