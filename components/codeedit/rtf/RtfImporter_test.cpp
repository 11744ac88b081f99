#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "components/codeedit/rtf/RtfImportTesting.h"
#include "components/codeedit/rtf/ZRImporter.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

using testing::HasSubstr;
using testing::ThrowsMessage;

namespace {

struct Case {
  std::string rtf, expected;
};

void CheckTexts(const std::vector<Case>& Cases) {
  for (const Case& c : Cases) EXPECT_EQ(RtfPieceTexts(c.rtf), c.expected) << c.rtf;
}

void CheckPieces(const std::vector<Case>& Cases) {
  for (const Case& c : Cases) EXPECT_EQ(RtfPieces(c.rtf), c.expected) << c.rtf;
}

TEST(RtfImporter, PiecesCarryFontColourAndBreaks) {
  CheckPieces({
      {"{\\rtf1{\\fonttbl{\\f0\\fcharset0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs24\\cf1 Hello\\par}",
       "Hello|Arial/0 12pt c255 - -1\n\\r\\n|Arial/0 12pt c255 - -1\n"},
      // Formatting before any group applies; styles nest and switch off.
      {"\\b Bold\\b0 plain", "Bold|/1 12pt c0 B -1\nplain|/1 12pt c0 - -1\n"},
      {"{\\i a{\\ul b\\i0 c}\\strike d\\ulnone e}",
       "a|/1 12pt c0 I -1\nb|/1 12pt c0 IU -1\nc|/1 12pt c0 U -1\nd|/1 12pt c0 IS -1\ne|/1 12pt c0 IS -1\n"},
      // \plain: entry 0 of the font table, 12 points, colour 0, no styles;
      // an outer back colour stays.
      {"{\\rtf1{\\fonttbl{\\f0 Courier;}{\\f1 Arial;}}{\\colortbl;\\red0\\green0\\blue255;}"
       "{\\highlight1\\f1\\fs40\\b\\cf1 x{\\plain y}}}",
       "x|Arial/0 20pt c16711680 B 16711680\ny|Courier/1 12pt c0 - 16711680\n"},
      // \highlight0 on a default colour 0 is no back colour; an invalid
      // index is none; \cf with an invalid index changes nothing.
      {"{\\colortbl;\\red1\\green2\\blue3;}{\\highlight1 a{\\highlight0 b}{\\highlight7\\cf9 c}}",
       "a|/1 12pt c0 - 197121\nb|/1 12pt c0 - -1\nc|/1 12pt c0 - -1\n"},
      // Sizes: half the parameter, 12 without one, 72 for a negative one.
      {"{\\fs21 a}{\\fs b}{\\fs-4 c}{\\fs99999999999 d}",
       "a|/1 10pt c0 - -1\nb|/1 12pt c0 - -1\n"
       "c|/1 72pt c0 - -1\nd|/1 12pt c0 - -1\n"},
      // Words that stand for characters.
      {"a\\tab b\\cell\\line\\row\\lquote\\rquote\\endash\\~",
       "a|/1 12pt c0 - -1\n\\t|/1 12pt c0 - -1\nb|/1 12pt c0 - -1\n\\t|/1 12pt c0 - -1\n"
       "\\r\\n|/1 12pt c0 - -1\n\\r\\n|/1 12pt c0 - -1\n'|/1 12pt c0 - -1\n'|/1 12pt c0 - -1\n"
       "-|/1 12pt c0 - -1\n |/1 12pt c0 - -1\n"},
  });
}

TEST(RtfImporter, BlankAfterAControlWordIsItsDelimiter) {
  CheckTexts({
      {"{\\fs20 x}", "x"},
      {"\\b Bold\\b0 plain", "Bold|plain"},
      {"\\b  two", " two"},                                            // only one blank delimits
      {"{\\loch\r\n plain }", " plain "},                              // a line break ended the word
      {"caf\\u233\\'e9 \\u8364\\'80", "caf|\xC3\xA9| |\xE2\x82\xAC"},  // the blank follows a fallback
      {"\\unknown42 x\\* y", "x|y"},                                   // unknown words delimit too
      {"\\fs20 12 apples", "12 apples"},                               // digits after the blank are text
      {"\\'e9 x", "\xC3\xA9| x"},                                      // no word before the blank
      {"{\\b}{ x}", " x"},                                             // group text is never delimited
      {"\\par\r\n x", "\\r\\n| x"},
  });
}

TEST(RtfImporter, EscapedCharacters) {
  CheckTexts({
      {"a\\{b\\}c\\\\d", "a|{b|}c|\\d"},
      {"\\'e9\\'e8t\\'80", "\xC3\xA9\xC3\xA8|t|\xE2\x82\xAC"},  // a run of escapes is one piece
      {"\\'e9\r\n\\'e8", "\xC3\xA9|\xC3\xA8"},                  // only directly following ones join
      {"\\'41\\'00\\'42", "AB"},                                // U+0000 never reaches the host
      {"\\'4", "\x04"},                                         // cut off at the end
      {"ab\\'", "ab"},
      {std::string("a\0b\0", 4), "a|b"},  // a NUL byte is an ignored control
  });
}

TEST(RtfImporter, UnicodeEscapesDropOneFallback) {
  CheckTexts({
      {"\\u1046?\\u1072?", "\xD0\x96|\xD0\xB0"},
      {"\\u-4096?", "\xEF\x80\x80"},                // a negative unit means N + 65536
      {"\\u-10179?\\u-8704?", "\xF0\x9F\x98\x80"},  // surrogates are joined
      {"\\uc0 \\u55357\\uc1 \\u56832\\'3f", "\xF0\x9F\x98\x80"},
      {"\\u-10179?x\\u-8704?", "\xEF\xBF\xBD|x|\xEF\xBF\xBD"},  // lone surrogates
      {"\\u233 ?abc", "\xC3\xA9|abc"},                          // only the first character of a run
      {"\\u233\\'e9\\'e9", "\xC3\xA9|\xC3\xA9"},                // only one escape
      {"\\u233\\par x", "\xC3\xA9|\\r\\n|x"},                   // no fallback: nothing is dropped
      {"\\u233 ", "\xC3\xA9"},
      {"a\\u b", "a|b"},  // no number: nothing, no earlier text again
      {"\\u0?x", "x"},
      {"\\u70000?", "\xE1\x85\xB0"},  // a 16-bit unit: 70000 - 65536
  });
}

TEST(RtfImporter, FontTable) {
  CheckPieces({
      // Read in the header only; the first font named without a charset gets 1.
      {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 First;}{\\f1 Second;}{\\f2\\fcharset204 Third;}}\\f0 a\\f1 b\\f2 c}",
       "a|First/1 12pt c0 - -1\nb|Second/0 12pt c0 - -1\nc|Third/204 12pt c0 - -1\n"},
      // Nested groups in an entry; its ";" after them names nothing.
      {"{\\rtf1{\\fonttbl{\\f3\\froman\\fcharset0 Liberation Serif{\\*\\falt Times New Roman};}}\\f3 x}",
       "x|Liberation Serif/0 12pt c0 - -1\n"},
      // Sparse: a number up to the highest one without an entry takes the
      // empty entry (no name); numbers past it or outside 0..32767 change
      // nothing, and \plain takes the empty entry 0.
      {"{\\rtf1{\\fonttbl{\\f5 Five;}{\\f2000000000 Huge;}{\\f-3 Neg;}}\\f5 a\\f4 b\\f6 c{\\plain d}}",
       "a|Five/1 12pt c0 - -1\nb|/1 12pt c0 - -1\nc|/1 12pt c0 - -1\nd|/1 12pt c0 - -1\n"},
      // A control word's delimiting blank is no text, so the header goes on.
      {"{\\rtf1\\ansi {\\fonttbl\r\n{\\f0\\fcharset0 Arial;}}\\f0 x}", "x|Arial/0 12pt c0 - -1\n"},
      // Without a font table the text is still read.
      {"{\\rtf1\\ansi Hello\\par}", "Hello|/1 12pt c0 - -1\n\\r\\n|/1 12pt c0 - -1\n"},
      // After the header a font table is an ordinary group.
      {"{\\rtf1 x{\\fonttbl{\\f0 Arial;}}\\f0 y}", "x|/1 12pt c0 - -1\nArial;|/1 12pt c0 - -1\ny|/1 12pt c0 - -1\n"},
  });
}

TEST(RtfImporter, ColourTable) {
  CheckPieces({
      // Without a leading ";" entry 0 is the first colour.
      {"{\\colortbl\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\\cf0 a\\cf1 b\\cf2 c",
       "a|/1 12pt c255 - -1\nb|/1 12pt c32768 - -1\nc|/1 12pt c32768 - -1\n"},
      // Components outside 0..255 are clamped, and a repeated one replaces.
      {"{\\colortbl;\\red999\\green-5\\blue70000;\\red1\\green9\\green2\\blue3;}\\cf1 a\\cf2 b",
       "a|/1 12pt c16711935 - -1\nb|/1 12pt c197121 - -1\n"},
  });
}

TEST(RtfImporter, SkippedDestinations) {
  CheckTexts({
      {"a{\\*\\generator secret}b", "a|b"},
      {"a{\\pict\\wmetafile8 0102{\\x 03}}b", "a|b"},
      {"a{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}b", "a|b"},
      {"{\\s15 text}", "text"},  // entries are whole words, not parts of the list
      {"{\\auth x}{\\pic y}", "x|y"},
      {"{\\\\title}{\\\\pict x}", "\\title|\\pict x"},  // escaped text is no word
      {"{group text\\b  x}", "group text| x"},
  });
}

TEST(RtfImporter, MissingNumbersEndTheImportWithAConversionError) {
  struct ErrorCase {
    std::string rtf, message, before;
  } cases[] = {
      {"kept\\f\\b x", "'\\b' is not a valid integer value", "kept"},
      {"kept\\pnf x", "' x' is not a valid integer value", "kept"},
      {"a\\highlight", "'' is not a valid integer value", "a"},
      {"a\\f99999999999 b", "'99999999999' is not a valid integer value", "a"},
      {"a{\\colortbl;\\red1\\green\\blue2;}b", "'\\blue' is not a valid integer value", "a"},
  };
  for (const ErrorCase& c : cases) {
    std::string texts;
    EXPECT_THAT([&] { RtfPieceTexts(c.rtf, &texts); }, ThrowsMessage<EConvertError>(c.message)) << c.rtf;
    EXPECT_EQ(texts, c.before) << c.rtf;
  }
}

// A piece costs the same at any depth: 50,000 pieces in 50,000 open groups
// must not apply every group's formatting again for each piece.
TEST(RtfImporter, DeepGroupsDoNotSlowEachPiece) {
  const int n = 50000;
  std::string rtf;
  for (int k = 0; k < n; ++k) rtf += k % 2 ? "{\\b" : "{\\i";
  for (int k = 0; k < n; ++k) rtf += " x\\line";
  int pieces = 0;
  TZRRtfImporter importer;
  importer.OnImportText = [&](TZRImporter*, const std::string& Text, std::int32_t, TFont* Font) {
    pieces += Text == "x" && Font->Style() == TFontStyles{TFontStyle::fsBold, TFontStyle::fsItalic};
  };
  importer.Import(rtf);
  EXPECT_EQ(pieces, n);
}

TEST(RtfImporter, CanImportLooksAtTheFirstFiveBytes) {
  struct StreamCase {
    std::string data;
    bool rtf;
  } cases[] = {{"", false},      {"{\\rtf", true},   {"{\\rtf1\\ansi x}", true},
               {"{\\rt", false}, {"{\\RTF1", false}, {" {\\rtf1", false}};
  for (const StreamCase& c : cases) {
    TStringStream stream(c.data);
    stream.SetPosition(stream.Size());
    TZRRtfImporter importer;
    EXPECT_EQ(importer.CanImport(stream), c.rtf) << c.data;
    if (c.data.size() > 4) {
      EXPECT_EQ(stream.Position(), 0) << c.data;
    }
  }
}

}  // namespace
