#include "platform/core/Codecs.h"

#include <array>
#include <cstdint>

namespace {

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Decodes one code point at `i` and moves past it. An ill-formed sequence
// gives U+FFFD for its longest valid beginning (at least one byte), so the
// byte that broke it starts the next sequence.
char32_t DecodeUtf8(std::string_view s, size_t& i) {
  const auto b = static_cast<uint8_t>(s[i++]);
  if (b < 0x80) return b;
  int need;
  char32_t c;
  uint8_t lo = 0x80, hi = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    need = 1;
    c = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    need = 2;
    c = b & 0x0F;
    if (b == 0xE0) lo = 0xA0;  // overlong
    if (b == 0xED) hi = 0x9F;  // surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    need = 3;
    c = b & 0x07;
    if (b == 0xF0) lo = 0x90;  // overlong
    if (b == 0xF4) hi = 0x8F;  // above U+10FFFF
  } else {
    return kReplacementCharacter;
  }
  for (int k = 0; k < need; ++k) {
    if (i >= s.size()) return kReplacementCharacter;
    const auto next = static_cast<uint8_t>(s[i]);
    if (next < lo || next > hi) return kReplacementCharacter;
    c = (c << 6) | (next & 0x3F);
    ++i;
    lo = 0x80;
    hi = 0xBF;
  }
  return c;
}

// Whether the bytes start..end that decoded to `c` were malformed: a decoded
// U+FFFD is genuine only when it was spelled out in full.
bool IsMalformed(std::string_view s, size_t start, char32_t c, size_t end) {
  return c == kReplacementCharacter && s.substr(start, end - start) != "\xEF\xBF\xBD";
}

void AppendUtf8(std::string& out, char32_t c) {
  if (IsSurrogate(c) || c > 0x10FFFF) c = kReplacementCharacter;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (IsSurrogate(c) || c > 0x10FFFF) c = kReplacementCharacter;
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 | (c >> 10));
    out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
  }
}

// Decodes UTF-16 units delivered by `unit(i)` for i in 0..count-1.
template <class Unit>
std::string DecodeUtf16(size_t count, Unit unit) {
  std::string out;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const char16_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count) {
      const char16_t low = unit(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, IsSurrogate(u) ? kReplacementCharacter : char32_t(u));
  }
  return out;
}

// Windows-1252 bytes 0x80..0x9F; the unassigned ones keep their number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::u32string Utf8ToUtf32(std::string_view Text) {
  std::u32string out;
  out.reserve(Text.size());
  for (size_t i = 0; i < Text.size();) out += DecodeUtf8(Text, i);
  return out;
}

std::string Utf32ToUtf8(std::u32string_view Text) {
  std::string out;
  out.reserve(Text.size());
  for (char32_t c : Text) AppendUtf8(out, c);
  return out;
}

std::u16string Utf8ToUtf16(std::string_view Text) {
  std::u16string out;
  out.reserve(Text.size());
  for (size_t i = 0; i < Text.size();) AppendUtf16(out, DecodeUtf8(Text, i));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view Text) {
  return DecodeUtf16(Text.size(), [&](size_t i) { return Text[i]; });
}

std::string Utf8ToUtf16LE(std::string_view Text) {
  std::string out;
  for (char16_t u : Utf8ToUtf16(Text)) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

std::string Utf16LEToUtf8(std::string_view Bytes) {
  std::string out = DecodeUtf16(Bytes.size() / 2, [&](size_t i) {
    return static_cast<char16_t>(static_cast<uint8_t>(Bytes[2 * i]) | static_cast<uint8_t>(Bytes[2 * i + 1]) << 8);
  });
  if (Bytes.size() % 2 != 0) AppendUtf8(out, kReplacementCharacter);
  return out;
}

std::string Windows1252ToUtf8(std::string_view Bytes) {
  std::string out;
  out.reserve(Bytes.size());
  for (char b : Bytes) {
    const auto byte = static_cast<uint8_t>(b);
    AppendUtf8(out, byte >= 0x80 && byte <= 0x9F ? char32_t(kHighControls[byte - 0x80]) : char32_t(byte));
  }
  return out;
}

std::string Utf8ToWindows1252(std::string_view Text, char Replacement) {
  std::string out;
  out.reserve(Text.size());
  for (size_t i = 0; i < Text.size();) {
    const char32_t c = DecodeUtf8(Text, i);
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out += static_cast<char>(c);
      continue;
    }
    char byte = Replacement;
    for (size_t k = 0; k < kHighControls.size(); ++k)
      if (kHighControls[k] == c) byte = static_cast<char>(0x80 + k);
    out += byte;
  }
  return out;
}

bool IsValidUtf8(std::string_view Text) {
  for (size_t i = 0; i < Text.size();) {
    const size_t start = i;
    const char32_t c = DecodeUtf8(Text, i);
    if (IsMalformed(Text, start, c, i)) return false;
  }
  return true;
}

namespace {
// Decodes Text with every byte of a malformed sequence as Base + byte.
std::u32string DecodeEscaping(std::string_view Text, char32_t Base) {
  std::u32string out;
  out.reserve(Text.size());
  for (size_t i = 0; i < Text.size();) {
    const size_t start = i;
    const char32_t c = DecodeUtf8(Text, i);
    if (!IsMalformed(Text, start, c, i)) {
      out += c;
      continue;
    }
    for (size_t k = start; k < i; ++k) out += Base + static_cast<uint8_t>(Text[k]);
  }
  return out;
}
}  // namespace

std::u32string Utf8ToUtf32Escaped(std::string_view Text) { return DecodeEscaping(Text, kEscapedByteBase); }

std::u32string Utf8ToUtf32Lossless(std::string_view Text) { return DecodeEscaping(Text, kLosslessByteBase); }

int LosslessByteOf(char32_t C) {
  return C >= kLosslessByteBase + 0x80 && C <= kLosslessByteBase + 0xFF ? static_cast<int>(C - kLosslessByteBase) : -1;
}

std::string Utf32ToUtf8Lossless(std::u32string_view Text) {
  std::string out;
  out.reserve(Text.size());
  for (char32_t c : Text) {
    if (const int byte = LosslessByteOf(c); byte >= 0)
      out += static_cast<char>(byte);
    else
      AppendUtf8(out, c);
  }
  return out;
}

std::size_t Utf8CodePointCount(std::string_view Text) {
  std::size_t n = 0;
  for (char c : Text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}
