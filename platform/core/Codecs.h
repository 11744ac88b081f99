#pragma once
// Text codecs between the program's UTF-8 and the other forms text takes:
// one code point per character (UTF-32, as the code editor counts columns),
// UTF-16 (strings of the component stream and of OLE), and Windows-1252 (the
// single-byte text of older files).
//
// Decoders never read past the end of their input and never fail: every
// malformed sequence (a stray or missing continuation byte, an overlong form,
// a surrogate code point, a value above U+10FFFF, a lone surrogate in UTF-16,
// an odd trailing byte) becomes one U+FFFD. Encoders write U+FFFD for code
// points that cannot be encoded, except the Windows-1252 encoder, which
// writes the replacement byte it is given.

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

std::u32string Utf8ToUtf32(std::string_view Text);
std::string Utf32ToUtf8(std::u32string_view Text);

std::u16string Utf8ToUtf16(std::string_view Text);
std::string Utf16ToUtf8(std::u16string_view Text);
// UTF-16 little-endian as bytes, as files and streams hold it.
std::string Utf8ToUtf16LE(std::string_view Text);
std::string Utf16LEToUtf8(std::string_view Bytes);

// Bytes 0x80..0x9F follow the Windows-1252 table; its five unassigned bytes
// stand for the C1 controls of the same number, so every byte round-trips.
std::string Windows1252ToUtf8(std::string_view Bytes);
std::string Utf8ToWindows1252(std::string_view Text, char Replacement = '?');

// The number of code points of UTF-8 text: the bytes that do not continue a
// sequence.
std::size_t Utf8CodePointCount(std::string_view Text);

// True when Text is well-formed UTF-8.
bool IsValidUtf8(std::string_view Text);

// As Utf8ToUtf32, but each byte of a malformed sequence becomes
// kEscapedByteBase + the byte (beyond Unicode), so that different byte
// strings never decode alike. For comparing texts, never for output.
inline constexpr char32_t kEscapedByteBase = 0x110000;
std::u32string Utf8ToUtf32Escaped(std::string_view Text);

// The lossless pair, for text that must be written back byte for byte (a
// file in another encoding opened in the code editor): each byte of a
// malformed sequence (0x80..0xFF) becomes the lone low surrogate
// kLosslessByteBase + byte, U+DC80..U+DCFF, which well-formed UTF-8 cannot
// hold; Utf32ToUtf8Lossless writes such a code point back as its byte. Other
// surrogates and values above U+10FFFF are still written as U+FFFD.
inline constexpr char32_t kLosslessByteBase = 0xDC00;
std::u32string Utf8ToUtf32Lossless(std::string_view Text);
std::string Utf32ToUtf8Lossless(std::u32string_view Text);
// The byte a code point of Utf8ToUtf32Lossless stands for, or -1 when it is
// a character.
int LosslessByteOf(char32_t C);
