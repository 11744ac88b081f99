#include "platform/core/Codecs.h"

#include <gtest/gtest.h>

namespace {

TEST(Codecs, NonLatinTextRoundTripsThroughEveryForm) {
  const std::string texts[] = {"", "plain", "Größe 5 €", "Ελληνικά", "日本語テキスト", "tree 🌳 emoji", "\x01\x7F"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_EQ(Utf32ToUtf8(Utf8ToUtf32(text)), text);
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
    EXPECT_EQ(Utf16LEToUtf8(Utf8ToUtf16LE(text)), text);
  }
  EXPECT_EQ(Utf8ToUtf32("aé🌳"), U"aé🌳");
  EXPECT_EQ(Utf8ToUtf16("🌳"), u"\xD83C\xDF33");
  EXPECT_EQ(Utf8ToUtf16LE("é"), std::string("\xE9\x00", 2));
}

TEST(Codecs, MalformedInputDecodesToReplacementCharacters) {
  struct Row {
    const char* what;
    std::string utf8;
    std::u32string decoded;
  } rows[] = {
      {"stray continuation", "a\x80z", U"a\uFFFDz"},
      {"truncated at the end", "a\xE2\x82", U"a\uFFFD"},
      {"broken by an ASCII byte", "\xE2\x82z", U"\uFFFDz"},
      {"overlong slash", "\xC0\xAF", U"\uFFFD\uFFFD"},
      {"overlong three bytes", "\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead bytes", "\xFE\xFF", U"\uFFFD\uFFFD"},
      {"spelled-out replacement", "\xEF\xBF\xBD", U"\uFFFD"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(Utf8ToUtf32(r.utf8), r.decoded);
    EXPECT_EQ(IsValidUtf8(r.utf8), r.decoded.find(U'\uFFFD') == std::u32string::npos || r.utf8 == "\xEF\xBF\xBD");
    EXPECT_TRUE(IsValidUtf8(Utf32ToUtf8(r.decoded)));
  }
  EXPECT_EQ(Utf16ToUtf8(u"a\xD800z\xDC00"), "a\uFFFDz\uFFFD");
  EXPECT_EQ(Utf16LEToUtf8(std::string("a\x00\x62", 3)), "a\uFFFD");
  EXPECT_EQ(Utf32ToUtf8(std::u32string{0x110000, 0xD800}), "\uFFFD\uFFFD");
  // For comparisons: malformed bytes keep their values, a spelled-out U+FFFD stays one.
  EXPECT_EQ(Utf8ToUtf32Escaped("a\xE2\x82\xEF\xBF\xBD\xFF"),
            (std::u32string{U'a', kEscapedByteBase + 0xE2, kEscapedByteBase + 0x82, 0xFFFD, kEscapedByteBase + 0xFF}));
}

TEST(Codecs, Windows1252CoversItsHighControlsAndEveryByteRoundTrips) {
  EXPECT_EQ(Windows1252ToUtf8("\x80\x93Gr\xF6\xDF"
                              "e\x94"),
            "€“Größe”");
  EXPECT_EQ(Utf8ToWindows1252("€“Größe” 日"),
            "\x80\x93Gr\xF6\xDF"
            "e\x94 ?");
  std::string every;
  for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
  EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(every)), every);
}


TEST(Codecs, LosslessDecodingWritesBackEveryByte) {
  struct Row {
    const char* what;
    std::string bytes;
    std::u32string decoded;
  } rows[] = {
      {"Latin-1 byte in UTF-8 text", "Gr\xF6\xDF" "e \xC3\xA9", U"Gr\xDCF6\xDCDF" "e \u00E9"},
      {"truncated sequence at the end", "a\xE2\x82", U"a\xDCE2\xDC82"},
      {"encoded surrogate stays three bytes", "\xED\xB2\x80", U"\xDCED\xDCB2\xDC80"},
      {"spelled-out replacement stays a character", "\xEF\xBF\xBD", U"\uFFFD"},
      {"well-formed text is unchanged", "日本 🌳", U"日本 🌳"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(Utf8ToUtf32Lossless(r.bytes), r.decoded);
    EXPECT_EQ(Utf32ToUtf8Lossless(r.decoded), r.bytes);
  }
  std::string every;
  for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
  EXPECT_EQ(Utf32ToUtf8Lossless(Utf8ToUtf32Lossless(every)), every);
  // Only the escape range is written as bytes; other surrogates stay U+FFFD.
  EXPECT_EQ(LosslessByteOf(0xDC7F), -1);
  EXPECT_EQ(LosslessByteOf(0xDC80), 0x80);
  EXPECT_EQ(Utf32ToUtf8Lossless(std::u32string{0xD800, 0xDD00}), "\uFFFD\uFFFD");
}

}  // namespace
