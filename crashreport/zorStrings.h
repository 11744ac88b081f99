#pragma once
// The crash reporter's own string routines. They format the numbers, lists and
// names that appear in kernel object names, settings and bug reports, so their
// output is exact to the character.
//
// Text is UTF-8 and the routines work on bytes: positions and lengths count
// bytes, positions count from 1 unless a routine says otherwise, and finding,
// splitting, trimming and padding leave multi-byte characters intact. Case
// rules apply to whole characters (see LowerChar); every mapping they make
// keeps the UTF-8 length, so byte positions found in a folded text hold in the
// original.
//
// The reporter is self-contained: nothing here uses the class library.

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zor {

// A set of bytes, bit n for byte n.
using CharSet = std::bitset<256>;

// --- Trimming and removing ---------------------------------------------------

// Removes every byte 0x00..0x20 at both ends; a text of such bytes only
// becomes empty.
void TrimBlanks(std::string& s);
std::string TrimmedCopy(std::string_view s);
// Remove every occurrence of the byte `c` (or of any byte of `set`); true when
// the text got shorter.
bool RemoveChar(std::string& s, char c);
bool RemoveChars(std::string& s, const CharSet& set);
// A copy without the `count` bytes from `index`; an index outside 1..size
// or a count below 1 deletes nothing, a count past the end stops there.
std::string DeletedCopy(std::string_view s, int64_t index, int64_t count);
// `s` becomes its `count` bytes from `index` (an index below 1 counts as 1;
// empty when the index is past the end or the count below 1).
void KeepRange(std::string& s, int64_t index, int64_t count);
// The last `n` bytes; all of `s` when n >= its size, empty when n <= 0.
std::string RightPart(std::string_view s, int64_t n);

// --- Case ----------------------------------------------------------------------

// The case table, on code points: A-Z to a-z; the Latin-1 capitals U+00C0 to
// U+00DE except U+00D7 (multiplication sign) to the letter 0x20 higher; Š Œ Ž
// to š œ ž, and Ÿ (U+0178) to ÿ (U+00FF). Every other code point maps to
// itself. All comparisons that ignore case compare through this table.
char32_t LowerChar(char32_t c);
// a-z and ä ö ü to their capitals; every other code point stays (narrower
// than the case table, as is LowerString).
char32_t UpperChar(char32_t c);
// UpperChar over every character of a UTF-8 text.
std::string UpperString(std::string_view s);
// A-Z and Ä Ö Ü to their small letters; every other character stays.
std::string LowerString(std::string_view s);
// Same length and equal through the case table.
bool EqualNoCase(std::string_view a, std::string_view b);
// '+' for true, '-' for false.
char BoolSign(bool b);

// --- Searching -----------------------------------------------------------------

// 0-based position of `sub` in `text`, or -1. A length of 0 means "up to the
// terminating zero". -1 when either is null or empty or the text is shorter
// than sub. With last = text length - sub length: when to < from, searches
// backward over starts min(last, from) down to `to` (first match wins);
// otherwise forward over starts `from` to min(last, to), provided last >= from.
std::ptrdiff_t FindInBuffer(const char* sub, const char* text, size_t subLength, size_t to,
                            size_t from, bool ignoreCase, size_t textLength);
// 1-based position of `sub` in `s` searched from `from` towards `to` (both
// 1-based), 0 when not found or when from or to is 0. From 1 to SIZE_MAX
// finds the first occurrence, from SIZE_MAX to 1 the last.
size_t FindExact(std::string_view sub, std::string_view s, size_t from, size_t to);
size_t FindNoCase(std::string_view sub, std::string_view s, size_t from, size_t to);
// True when sub is empty, false when s is shorter, else whether s begins with sub.
bool StartsWithExact(std::string_view s, std::string_view sub);
bool StartsWithNoCase(std::string_view s, std::string_view sub);
// 1-based position of the first byte of `set` met going from `from` towards
// `to` (backward when from > to), both clamped to 1..size; 0 when none or s
// is empty.
size_t FindCharOfSet(const CharSet& set, std::string_view s, size_t from, size_t to);
// Length of a zero-terminated text; 0 for null.
size_t CharsLength(const char* p);

// --- Replacing -----------------------------------------------------------------

// Replaces every occurrence of `find` by `with`, left to right; true when find
// occurred at least once (never for an empty find). Without rescan the search
// goes on after each replaced match. With rescan it goes on at the start of
// the inserted text (one byte after it when `with` is longer than `find`), so
// the inserted text takes part in the next match: replacing two blanks by one
// turns any run of blanks into one blank. Rescan could never end when `with`
// contains `find`, so then it is ignored.
bool ReplaceInString(std::string& s, std::string_view find, std::string_view with, bool ignoreCase,
                     bool rescan);
bool ReplaceExact(std::string& s, std::string_view find, std::string_view with, bool rescan);
bool ReplaceNoCase(std::string& s, std::string_view find, std::string_view with, bool rescan);

// --- Numbers -------------------------------------------------------------------

// Decimal without separators, "-" before negative values.
std::string DecimalText(int32_t v);
std::string DecimalText64(int64_t v);
// Lowercase hexadecimal without leading zeros ("0" for zero). HexText64 of a
// value above 32 bits is the high half followed by the low half padded to 8.
std::string HexText(uint32_t v);
std::string HexText64(uint64_t v);
// When n > 0, adds n `fill` bytes: at the end unless `left`; at the start when
// `left`, except that a digit fill goes after a leading "-" ("-", fill, rest).
void PadWith(std::string& s, int64_t n, bool left, char fill);
// A copy padded with PadWith to |minimum| bytes: on the left when minimum > 0,
// on the right when minimum < 0.
std::string PaddedCopy(std::string_view s, int64_t minimum, char fill);
// Decimal text padded like PaddedCopy: DecimalPadded(-5, 3, '0') is "-05",
// DecimalPadded(-5, 3, ' ') " -5", DecimalPadded(7, -3, '*') "7**".
std::string DecimalPadded(int32_t v, int64_t minimum, char fill);
std::string DecimalPadded(uint32_t v, int64_t minimum, char fill);
std::string DecimalPadded64(int64_t v, int64_t minimum, char fill);
// "$" and hexadecimal digits. When minimum >= 0 and the fill is no
// hexadecimal digit, the fill goes before the "$" up to |minimum| + 1 bytes
// (255, 4, ' ' gives "  $ff"); otherwise the digits are padded like PaddedCopy
// to |minimum| and "$" goes first (255, 4, '0' gives "$00ff"; 255, -4, ' '
// gives "$ff  "). HexPadded(v, 1, '0') is "$" and the digits: $ff, $0.
std::string HexPadded(uint32_t v, int64_t minimum, char fill);
std::string HexPadded64(uint64_t v, int64_t minimum, char fill);
// The 32-bit value of the n bytes at p, decimal or hexadecimal: a leading "-"
// negates, every other byte adds its digit value (0 for a byte that is no
// digit) to the value times 10 or 16. Wraps modulo 2^32 on overflow; 0 for
// a null p.
int32_t ParseNumber(bool hexadecimal, const char* p, size_t n);

// --- Lists ---------------------------------------------------------------------

// 0 for an empty text, otherwise 1 + the number of separators.
size_t ItemCount(std::string_view s, char sep);
// Item n counted from 1 (the last one runs to the end); empty for n = 0, for
// n past the last item and for an empty text. ItemOf("a||b", 2, '|') is "".
std::string ItemOf(std::string_view s, size_t n, char sep);
// True when `item` occurs in s with a separator or the end of s on each
// side; false for an empty item.
bool HasItemExact(std::string_view s, std::string_view item, char sep);
bool HasItemNoCase(std::string_view s, std::string_view item, char sep);
// Drops blanks and control bytes (0x00..0x20) around every item and empty
// items: " a ||b , " with '|' becomes "a|b ,"; with ',' "a ||b".
void NormalizeList(std::string& s, char sep);

// --- Other ---------------------------------------------------------------------

// A byte count as text (its absolute value): below 1024 "<n> Bytes"; then
// "KB", "MB" or "GB" with two decimals, truncated (1535 gives "1.49 KB"), and
// the decimal separator before the last two digits.
std::string SizeText(int64_t v, char decimalSeparator);
// The same with LocaleDecimalChar().
std::string SizeText(int64_t v);
// The decimal separator of the user's locale as the environment names it
// (not the process locale, which the GUI library changes), read once per
// process; ',' when the locale cannot be opened or its separator is not one
// byte.
char LocaleDecimalChar();
// The system's text for an error code, carriage returns as blanks and line
// feeds dropped; codes the system has no text for give a fallback wording,
// a blank and HexPadded(code, 1, '0').
std::string SystemErrorText(uint32_t code);
// XOR of every byte with the reporter's fixed key byte; applying it twice
// gives the input back. Texts kept out of the binary's plain strings are
// stored with ScrambledText and read with UnscrambleText.
std::string UnscrambleText(std::string_view s);
// UTF-8 to UTF-16LE bytes (surrogate pairs above U+FFFF, U+FFFD for each
// byte that starts no valid sequence); with `terminate` two zero bytes follow.
std::string AnsiToUtf16Bytes(std::string_view s, bool terminate);

inline constexpr unsigned char kScrambleKey = 0xA7;

// A text scrambled at compile time: declare it `constexpr` so that only the
// scrambled bytes reach the binary, and read it with UnscrambleText(View(x)).
template <size_t N>
struct Scrambled {
  std::array<char, N> bytes{};
  constexpr std::string_view View() const { return {bytes.data(), N}; }
};
template <size_t N>
constexpr Scrambled<N - 1> ScrambledText(const char (&plain)[N]) {
  Scrambled<N - 1> out;
  for (size_t i = 0; i + 1 < N; ++i)
    out.bytes[i] = static_cast<char>(static_cast<unsigned char>(plain[i]) ^ kScrambleKey);
  return out;
}

}  // namespace zor
