#include "crashreport/zorStrings.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstring>

#include "crashreport/zorStrings_p.h"

namespace zor {

namespace {

bool IsBlankOrControl(unsigned char c) { return c <= 0x20; }

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }
bool IsTwoByteLead(unsigned char c) { return c >= 0xC2 && c <= 0xDF; }

char32_t DecodeTwo(unsigned char lead, unsigned char trail) {
  return (char32_t(lead & 0x1F) << 6) | (trail & 0x3F);
}

// Byte `i` of s[0..n) as the case table leaves it. Every character the table
// changes is two bytes long before and after, so the lowered byte follows from
// the byte and its neighbour, and a search needs no lowered copy.
unsigned char FoldedByte(const unsigned char* s, size_t n, size_t i) {
  const unsigned char c = s[i];
  if (c < 0x80) return static_cast<unsigned char>(LowerChar(c));
  if (IsTwoByteLead(c) && i + 1 < n && IsContinuation(s[i + 1])) {
    const char32_t lower = LowerChar(DecodeTwo(c, s[i + 1]));
    return static_cast<unsigned char>(0xC0 | (lower >> 6));
  }
  if (IsContinuation(c) && i > 0 && IsTwoByteLead(s[i - 1])) {
    const char32_t lower = LowerChar(DecodeTwo(s[i - 1], c));
    return static_cast<unsigned char>(0x80 | (lower & 0x3F));
  }
  return c;
}

const unsigned char* Bytes(const char* p) { return reinterpret_cast<const unsigned char*>(p); }

// Compares a window of a text with `find`. Each side is folded on its own, so
// a match means the same as EqualNoCase of the window and `find`, even where
// the window cuts a character.
bool SameBytes(const char* window, const char* find, size_t length, bool ignoreCase) {
  if (!ignoreCase) return std::memcmp(window, find, length) == 0;
  for (size_t j = 0; j < length; ++j)
    if (FoldedByte(Bytes(window), length, j) != FoldedByte(Bytes(find), length, j)) return false;
  return true;
}

// Maps every character of a UTF-8 text through `map`; the maps used here keep
// one- and two-byte characters at their length, other bytes pass unchanged.
template <typename Map>
std::string MapCharacters(std::string_view s, Map map) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (c < 0x80) {
      out[i] = static_cast<char>(map(c));
    } else if (IsTwoByteLead(c) && i + 1 < out.size() && IsContinuation(out[i + 1])) {
      const char32_t mapped = map(DecodeTwo(c, out[i + 1]));
      assert(mapped >= 0x80 && mapped < 0x800);
      out[i] = static_cast<char>(0xC0 | (mapped >> 6));
      out[i + 1] = static_cast<char>(0x80 | (mapped & 0x3F));
      ++i;
    }
  }
  return out;
}

template <typename Int>
std::string NumberText(Int v, int base) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, base);
  return std::string(buffer, result.ptr);
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

uint32_t DigitValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

std::string HexPaddedText(std::string digits, int64_t minimum, char fill) {
  if (minimum >= 0 && !IsHexDigit(fill)) {
    std::string s = "$" + digits;
    PadWith(s, minimum - static_cast<int64_t>(s.size() - 1), true, fill);  // the "$" is not counted
    return s;
  }
  return "$" + PaddedCopy(digits, minimum, fill);
}

bool HasItem(std::string_view s, std::string_view item, char sep, bool ignoreCase) {
  if (item.empty() || item.size() > s.size()) return false;
  for (size_t at = 0; at + item.size() <= s.size(); ++at) {
    if (!detail::MatchesAt(s, at, item, ignoreCase)) continue;
    const size_t end = at + item.size();
    if ((at == 0 || s[at - 1] == sep) && (end == s.size() || s[end] == sep)) return true;
  }
  return false;
}

// The first occurrence of `find` in s at or after `from`, or npos.
size_t FindFrom(std::string_view s, std::string_view find, size_t from, bool ignoreCase) {
  for (size_t at = from; at + find.size() <= s.size(); ++at)
    if (detail::MatchesAt(s, at, find, ignoreCase)) return at;
  return std::string_view::npos;
}

}  // namespace

namespace detail {

char DecimalCharOfLocale(const char* localeName) {
  locale_t locale = newlocale(LC_NUMERIC_MASK, localeName, locale_t(nullptr));
  if (!locale) return ',';
  const char* radix = nl_langinfo_l(RADIXCHAR, locale);
  const char separator = (radix && radix[0] != '\0' && radix[1] == '\0') ? radix[0] : ',';
  freelocale(locale);
  return separator;
}

bool MatchesAt(std::string_view text, size_t at, std::string_view find, bool ignoreCase) {
  assert(at + find.size() <= text.size());
  if (find.empty()) return true;
  return SameBytes(text.data() + at, find.data(), find.size(), ignoreCase);
}

}  // namespace detail

// --- Trimming and removing ---------------------------------------------------

void TrimBlanks(std::string& s) {
  size_t begin = 0, end = s.size();
  while (begin < end && IsBlankOrControl(s[begin])) ++begin;
  while (end > begin && IsBlankOrControl(s[end - 1])) --end;
  s.erase(end);
  s.erase(0, begin);
}

std::string TrimmedCopy(std::string_view s) {
  std::string copy(s);
  TrimBlanks(copy);
  return copy;
}

bool RemoveChar(std::string& s, char c) {
  const size_t before = s.size();
  std::erase(s, c);
  return s.size() < before;
}

bool RemoveChars(std::string& s, const CharSet& set) {
  const size_t before = s.size();
  std::erase_if(s, [&](char c) { return set.test(static_cast<unsigned char>(c)); });
  return s.size() < before;
}

std::string DeletedCopy(std::string_view s, int64_t index, int64_t count) {
  std::string copy(s);
  if (index < 1 || index > static_cast<int64_t>(s.size()) || count < 1) return copy;
  copy.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
  return copy;
}

void KeepRange(std::string& s, int64_t index, int64_t count) {
  if (index < 1) index = 1;
  if (count < 1 || index > static_cast<int64_t>(s.size())) {
    s.clear();
    return;
  }
  s = s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

std::string RightPart(std::string_view s, int64_t n) {
  if (n <= 0) return {};
  if (n >= static_cast<int64_t>(s.size())) return std::string(s);
  return std::string(s.substr(s.size() - static_cast<size_t>(n)));
}

// --- Case ----------------------------------------------------------------------

char32_t LowerChar(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  switch (c) {
    case 0x160: return 0x161;  // Š
    case 0x152: return 0x153;  // Œ
    case 0x17D: return 0x17E;  // Ž
    case 0x178: return 0xFF;   // Ÿ
    default: return c;
  }
}

char32_t UpperChar(char32_t c) {
  if ((c >= U'a' && c <= U'z') || c == 0xE4 || c == 0xF6 || c == 0xFC) return c - 32;
  return c;
}

std::string UpperString(std::string_view s) { return MapCharacters(s, UpperChar); }

std::string LowerString(std::string_view s) {
  return MapCharacters(s, [](char32_t c) -> char32_t {
    if ((c >= U'A' && c <= U'Z') || c == 0xC4 || c == 0xD6 || c == 0xDC) return c + 32;
    return c;
  });
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && detail::MatchesAt(a, 0, b, true);
}

char BoolSign(bool b) { return b ? '+' : '-'; }

// --- Searching -----------------------------------------------------------------

std::ptrdiff_t FindInBuffer(const char* sub, const char* text, size_t subLength, size_t to,
                            size_t from, bool ignoreCase, size_t textLength) {
  if (!sub || !text) return -1;
  if (subLength == 0) subLength = std::strlen(sub);
  if (textLength == 0) textLength = std::strlen(text);
  if (subLength == 0 || textLength == 0 || textLength < subLength) return -1;
  const std::string_view haystack(text, textLength), needle(sub, subLength);
  const size_t last = textLength - subLength;
  if (to < from) {
    const size_t start = std::min(last, from);
    if (start < to) return -1;
    for (size_t at = start;; --at) {
      if (detail::MatchesAt(haystack, at, needle, ignoreCase)) return static_cast<std::ptrdiff_t>(at);
      if (at == to) break;
    }
    return -1;
  }
  if (last < from) return -1;
  const size_t end = std::min(last, to);
  for (size_t at = from; at <= end; ++at)
    if (detail::MatchesAt(haystack, at, needle, ignoreCase)) return static_cast<std::ptrdiff_t>(at);
  return -1;
}

static size_t FindOneBased(std::string_view sub, std::string_view s, size_t from, size_t to,
                           bool ignoreCase) {
  // An empty view would read as "up to the terminating zero" below.
  if (from == 0 || to == 0 || sub.empty() || s.empty()) return 0;
  const auto at = FindInBuffer(sub.data(), s.data(), sub.size(), to - 1, from - 1, ignoreCase, s.size());
  return at < 0 ? 0 : static_cast<size_t>(at) + 1;
}

size_t FindExact(std::string_view sub, std::string_view s, size_t from, size_t to) {
  return FindOneBased(sub, s, from, to, false);
}

size_t FindNoCase(std::string_view sub, std::string_view s, size_t from, size_t to) {
  return FindOneBased(sub, s, from, to, true);
}

bool StartsWithExact(std::string_view s, std::string_view sub) {
  return sub.size() <= s.size() && detail::MatchesAt(s, 0, sub, false);
}

bool StartsWithNoCase(std::string_view s, std::string_view sub) {
  return sub.size() <= s.size() && detail::MatchesAt(s, 0, sub, true);
}

size_t FindCharOfSet(const CharSet& set, std::string_view s, size_t from, size_t to) {
  if (s.empty()) return 0;
  from = std::clamp<size_t>(from, 1, s.size());
  to = std::clamp<size_t>(to, 1, s.size());
  for (size_t i = from;; i = from > to ? i - 1 : i + 1) {
    if (set.test(static_cast<unsigned char>(s[i - 1]))) return i;
    if (i == to) return 0;
  }
}

size_t CharsLength(const char* p) { return p ? std::strlen(p) : 0; }

// --- Replacing -----------------------------------------------------------------

bool ReplaceInString(std::string& s, std::string_view find, std::string_view with, bool ignoreCase,
                     bool rescan) {
  if (find.empty()) return false;
  size_t match = FindFrom(s, find, 0, ignoreCase);
  if (match == std::string_view::npos) return false;
  // Rescanning a `with` that holds `find` would never end.
  if (FindFrom(with, find, 0, ignoreCase) != std::string_view::npos) rescan = false;
  // A rescan looks at the inserted text from its first byte when `with` is
  // not longer than `find`, else from its second.
  const size_t rescanFrom = with.size() > find.size() ? 1 : 0;

  std::string out;
  out.reserve(s.size());
  std::string candidate;  // inserted text plus the input after it, for a rescan
  size_t read = 0;
  while (match != std::string_view::npos) {
    out.append(s, read, match - read);
    size_t inserted = out.size();
    out.append(with);
    read = match + find.size();
    // Rescan: a match may start inside the text just inserted and run on into
    // the input. As `with` holds no `find`, each such match consumes input,
    // so this ends.
    for (size_t k = rescanFrom; rescan && k < with.size();) {
      const size_t fromOut = out.size() - inserted - k;
      if (fromOut >= find.size()) {  // wholly inside `with`: no match
        ++k;
        continue;
      }
      const size_t fromInput = find.size() - fromOut;
      if (read + fromInput > s.size()) break;
      candidate.assign(out, inserted + k, fromOut);
      candidate.append(s, read, fromInput);
      if (!detail::MatchesAt(candidate, 0, find, ignoreCase)) {
        ++k;
        continue;
      }
      out.resize(inserted + k);
      inserted = out.size();
      out.append(with);
      read += fromInput;
      k = rescanFrom;
    }
    match = FindFrom(s, find, read, ignoreCase);
  }
  out.append(s, read);
  s = std::move(out);
  return true;
}

bool ReplaceExact(std::string& s, std::string_view find, std::string_view with, bool rescan) {
  return ReplaceInString(s, find, with, false, rescan);
}

bool ReplaceNoCase(std::string& s, std::string_view find, std::string_view with, bool rescan) {
  return ReplaceInString(s, find, with, true, rescan);
}

// --- Numbers -------------------------------------------------------------------

std::string DecimalText(int32_t v) { return NumberText(v, 10); }
std::string DecimalText64(int64_t v) { return NumberText(v, 10); }
std::string HexText(uint32_t v) { return NumberText(v, 16); }
std::string HexText64(uint64_t v) { return NumberText(v, 16); }

void PadWith(std::string& s, int64_t n, bool left, char fill) {
  if (n <= 0) return;
  const auto count = static_cast<size_t>(n);
  if (!left)
    s.append(count, fill);
  else if (fill >= '0' && fill <= '9' && !s.empty() && s[0] == '-')
    s.insert(1, count, fill);
  else
    s.insert(0, count, fill);
}

std::string PaddedCopy(std::string_view s, int64_t minimum, char fill) {
  std::string copy(s);
  const uint64_t width = minimum < 0 ? 0 - static_cast<uint64_t>(minimum) : static_cast<uint64_t>(minimum);
  if (width > copy.size()) PadWith(copy, static_cast<int64_t>(width - copy.size()), minimum > 0, fill);
  return copy;
}

std::string DecimalPadded(int32_t v, int64_t minimum, char fill) {
  return PaddedCopy(DecimalText(v), minimum, fill);
}

std::string DecimalPadded(uint32_t v, int64_t minimum, char fill) {
  return PaddedCopy(NumberText(v, 10), minimum, fill);
}

std::string DecimalPadded64(int64_t v, int64_t minimum, char fill) {
  return PaddedCopy(DecimalText64(v), minimum, fill);
}

std::string HexPadded(uint32_t v, int64_t minimum, char fill) {
  return HexPaddedText(HexText(v), minimum, fill);
}

std::string HexPadded64(uint64_t v, int64_t minimum, char fill) {
  return HexPaddedText(HexText64(v), minimum, fill);
}

int32_t ParseNumber(bool hexadecimal, const char* p, size_t n) {
  if (!p) return 0;
  const uint32_t base = hexadecimal ? 16 : 10;
  const bool negative = n > 0 && p[0] == '-';
  uint32_t value = 0;  // unsigned, so that overflow wraps
  for (size_t i = negative ? 1 : 0; i < n; ++i) value = value * base + DigitValue(static_cast<unsigned char>(p[i]));
  return static_cast<int32_t>(negative ? 0u - value : value);
}

// --- Lists ---------------------------------------------------------------------

size_t ItemCount(std::string_view s, char sep) {
  return s.empty() ? 0 : 1 + static_cast<size_t>(std::count(s.begin(), s.end(), sep));
}

std::string ItemOf(std::string_view s, size_t n, char sep) {
  if (n == 0) return {};
  size_t begin = 0;
  for (size_t item = 1; item < n; ++item) {
    const size_t next = s.find(sep, begin);
    if (next == std::string_view::npos) return {};
    begin = next + 1;
  }
  const size_t end = s.find(sep, begin);
  return std::string(s.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
}

bool HasItemExact(std::string_view s, std::string_view item, char sep) { return HasItem(s, item, sep, false); }

bool HasItemNoCase(std::string_view s, std::string_view item, char sep) { return HasItem(s, item, sep, true); }

void NormalizeList(std::string& s, char sep) {
  std::string out;
  size_t begin = 0;
  while (begin <= s.size()) {
    size_t end = s.find(sep, begin);
    if (end == std::string::npos) end = s.size();
    size_t a = begin, b = end;
    while (a < b && IsBlankOrControl(s[a])) ++a;
    while (b > a && IsBlankOrControl(s[b - 1])) --b;
    if (a < b) {
      if (!out.empty()) out += sep;
      out.append(s, a, b - a);
    }
    begin = end + 1;
  }
  s = std::move(out);
}

// --- Other ---------------------------------------------------------------------

std::string SizeText(int64_t v, char decimalSeparator) {
  const uint64_t bytes = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  constexpr uint64_t kKilo = 1024, kMega = kKilo * 1024, kGiga = kMega * 1024;
  if (bytes < kKilo) return NumberText(bytes, 10) + " Bytes";
  uint64_t hundredths;
  const char* unit;
  if (bytes < kMega) {
    hundredths = bytes * 100 / kKilo;
    unit = " KB";
  } else if (bytes < kGiga) {
    hundredths = bytes / kKilo * 100 / kKilo;
    unit = " MB";
  } else {
    hundredths = bytes / kKilo / kKilo * 100 / kKilo;
    unit = " GB";
  }
  std::string digits = NumberText(hundredths, 10);  // at least "100": every unit starts at 1.00
  digits.insert(digits.size() - 2, 1, decimalSeparator);
  return digits + unit;
}

std::string SizeText(int64_t v) { return SizeText(v, LocaleDecimalChar()); }

char LocaleDecimalChar() {
  static const char separator = detail::DecimalCharOfLocale("");
  return separator;
}

namespace {

// strerror_r comes in two shapes; either gives the text or null.
[[maybe_unused]] const char* ErrorTextOf(int result, const char* buffer) { return result == 0 ? buffer : nullptr; }
[[maybe_unused]] const char* ErrorTextOf(const char* result, const char*) { return result; }

bool IsKnownErrorCode(int code) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 32)
  return strerrorname_np(code) != nullptr;
#else
  return code >= 0;
#endif
}

}  // namespace

std::string SystemErrorText(uint32_t code) {
  // Codes from 2^30 up (status codes) and 2100..2999 (network messages) have
  // no text on this system.
  const bool systemCode = code < (1u << 30) && !(code >= 2100 && code <= 2999);
  if (systemCode && IsKnownErrorCode(static_cast<int>(code))) {
    char buffer[256] = {};
    if (const char* text = ErrorTextOf(strerror_r(static_cast<int>(code), buffer, sizeof buffer), buffer);
        text && *text) {
      std::string message(text);
      std::erase(message, '\n');
      std::replace(message.begin(), message.end(), '\r', ' ');
      return message;
    }
  }
  static constexpr auto kFallback = ScrambledText("System error");
  return UnscrambleText(kFallback.View()) + " " + HexPadded(code, 1, '0');
}

std::string UnscrambleText(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) ^ kScrambleKey);
  return out;
}

std::string AnsiToUtf16Bytes(std::string_view s, bool terminate) {
  std::string out;
  out.reserve(s.size() * 2 + 2);
  auto unit = [&](uint32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t length = c < 0x80 ? 1 : c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
    char32_t cp = length == 1 ? c : length == 2 ? (c & 0x1F) : length == 3 ? (c & 0x0F) : (c & 0x07);
    for (size_t k = 1; k < length; ++k) {
      if (i + k >= s.size() || !IsContinuation(s[i + k])) {
        length = 0;
        break;
      }
      cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are no characters.
    const bool valid = length != 0 && !(length == 3 && cp < 0x800) && !(length == 4 && cp < 0x10000) &&
                       !(cp >= 0xD800 && cp <= 0xDFFF) && cp <= 0x10FFFF;
    if (!valid) {
      unit(0xFFFD);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      unit(0xD800 + ((cp - 0x10000) >> 10));
      unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      unit(cp);
    }
    i += length;
  }
  if (terminate) out.append(2, '\0');
  return out;
}

}  // namespace zor
