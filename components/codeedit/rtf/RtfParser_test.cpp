#include "components/codeedit/rtf/RtfParser.h"

#include <gtest/gtest.h>

#include "platform/core/Codecs.h"

namespace {

// The tokens of Bytes (read as Windows-1252), one per line: kind, then the
// text, the control word id, the group text or the hexadecimal value.
std::string Tokens(const std::string& Bytes) {
  const std::u32string text = Utf8ToUtf32(Windows1252ToUtf8(Bytes));
  TZRRtfParser parser(nullptr);
  parser.SetText(text.c_str());
  std::string out;
  for (int guard = 0; guard < 1000 && parser.NextToken() != ZRToken::tkEof; ++guard) {
    out += std::to_string(parser.Token);
    switch (parser.Token) {
      case RtfToken::tkControlWord:
        out += " " + parser.GetTokenString() + "#" + std::to_string(parser.ControlWordId);
        break;
      case RtfToken::tkGroupOpen:
        out += " [" + parser.GroupText + "]";
        break;
      case RtfToken::tkGroupClose:
        break;
      case RtfToken::tkUnknownControl:
        out += " " + parser.GetTokenString() + "#" + std::to_string(parser.ControlWordId);
        break;
      case RtfToken::tkHexChar:
        out += " " + std::to_string(parser.SpecialChar);
        break;
      default:
        out += " '" + parser.GetTokenString() + "'";
    }
    out += "\n";
  }
  return out;
}

TEST(RtfParser, TokenTable) {
  struct Case {
    std::string rtf, tokens;
  } cases[] = {
      {"{\\fs20 x", "20 []\n6 \\fs#10\n4 '20'\n1 ' x'\n"},
      {"\\B\\V\\Fs", "6 \\B#0\n6 \\V#38\n6 \\Fs#10\n"},  // case is ignored
      {"{\\*\\stylesheet}", "20 []\n22 \\*#-1\n22 \\stylesheet#-1\n21\n"},
      {"{Group text\\par}", "20 [Group text]\n6 \\par#17\n21\n"},  // the group text is no token
      {"\\'e9\\'E9\\'4", "23 233\n23 233\n23 4\n"},
      {"\\'", "23 0\n"},  // cut off at the end: nothing is read past it
      {"a\\\\b\\{c\\}", "1 'a'\n1 '\\b'\n1 '{c'\n1 '}'\n"},
      {"\\ 1\\", "22 \\#-1\n1 ' 1'\n22 \\#-1\n"},
      {"\\u-4096?\\u8364\\'80", "6 \\u#35\n1 '-4096?'\n6 \\u#35\n4 '8364'\n23 128\n"},
      {"caf\xE9\x80\r\n\tx", "1 'caf\xC3\xA9\xE2\x82\xAC'\n1 '\tx'\n"},  // bytes read as code page characters
      {"\\tab\\trowd\\ulnone", "6 \\tab#33\n6 \\trowd#34\n6 \\ulnone#37\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Tokens(c.rtf), c.tokens) << c.rtf;
}

TEST(RtfParser, ControlWordIdsFollowTheSortedWords) {
  const std::u32string text =
      U"\\b\\blue\\cell\\cf\\colortbl\\deff\\deflang\\endash\\f\\fonttbl\\fs\\green\\highlight\\i\\line"
      U"\\lquote\\nosupersub\\par\\pard\\plain\\pnf\\pnlvlblt\\pnlvlbody\\pntext\\qc\\qr\\red\\row"
      U"\\rquote\\rtf\\strike\\sub\\super\\tab\\trowd\\u\\ul\\ulnone\\v";
  TZRRtfParser parser(nullptr);
  parser.SetText(text.c_str());
  std::int32_t id = 0;
  while (parser.NextToken() == RtfToken::tkControlWord) EXPECT_EQ(parser.ControlWordId, id++);
  EXPECT_EQ(parser.Token, ZRToken::tkEof);
  EXPECT_EQ(id, RtfWord::v + 1);
  EXPECT_EQ(RtfWord::fs, 10);
  EXPECT_EQ(RtfWord::u, 35);
}

TEST(RtfParser, NumbersThatDoNotFitAreNoNumbers) {
  struct Case {
    std::string rtf;
    bool ok;
    int32_t value;
  } cases[] = {{"0", true, 0},
               {"2147483647", true, 2147483647},
               {"2147483648", false, 0},
               {"99999999999999999999", false, 0},
               {"12.5", false, 0}};
  for (const Case& c : cases) {
    const std::u32string text = Utf8ToUtf32(c.rtf);
    TZRRtfParser parser(nullptr);
    parser.SetText(text.c_str());
    parser.NextToken();
    int32_t value = 0;
    EXPECT_EQ(parser.TokenNumber(value), c.ok) << c.rtf;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.rtf;
    }
  }
}

TEST(RtfParser, SkippingAParameterTakesASignOnlyBeforeDigits) {
  struct Case {
    std::u32string rtf;
    size_t after;
  } cases[] = {{U"-12 x", 3}, {U"-x", 0}, {U"34", 2}, {U"", 0}, {U"-", 0}};
  for (const Case& c : cases) {
    TZRRtfParser parser(nullptr);
    parser.SetText(c.rtf.c_str());
    parser.SkipParameter();
    EXPECT_EQ(static_cast<size_t>(parser.ScanPosition() - c.rtf.c_str()), c.after);
  }
}

}  // namespace
