#include "components/codeedit/rtf/RtfParser.h"

#include "components/base/zrsystem.h"
#include "components/codeedit/parsers/LanguageSets_p.h"

KESTOVA_CLASS_INFO(TZRRtfParser, TCustomZRParser, "ZRRtf", nullptr)

namespace {
// Characters that end a text run or a group text.
bool EndsText(char32_t C) { return C < 32 || C == U'\\' || C == U'{' || C == U'}'; }
bool IsDigit(char32_t C) { return C >= U'0' && C <= U'9'; }
}  // namespace

int RtfHexValue(char32_t C) {
  if (C >= U'0' && C <= U'9') return static_cast<int>(C - U'0');
  if (C >= U'A' && C <= U'F') return static_cast<int>(C - U'A' + 10);
  if (C >= U'a' && C <= U'f') return static_cast<int>(C - U'a' + 10);
  return -1;
}

TZRRtfParser::TZRRtfParser(TComponent* AOwner) : TCustomZRParser(AOwner) {
  using P = TZRRtfParser;
  SetStringsFromArray(
      ReservedWordList(),
      {"\\b",          "\\blue",    "\\cell",  "\\cf",    "\\colortbl",  "\\deff",     "\\deflang",   "\\endash",
       "\\f",          "\\fonttbl", "\\fs",    "\\green", "\\highlight", "\\i",        "\\line",      "\\lquote",
       "\\nosupersub", "\\par",     "\\pard",  "\\plain", "\\pnf",       "\\pnlvlblt", "\\pnlvlbody", "\\pntext",
       "\\qc",         "\\qr",      "\\red",   "\\row",   "\\rquote",    "\\rtf",      "\\strike",    "\\sub",
       "\\super",      "\\tab",     "\\trowd", "\\u",     "\\ul",        "\\ulnone",   "\\v"});
  InitTokenHandlers();
  AddHandler(ParserChars("\t") | ParserCharRange(32, 255), Handler(&P::ParseText));
  AddHandler(ParserChars("{"), Handler(&P::ParseGroupOpen));
  AddHandler(ParserChars("}"), Handler(&P::ParseGroupClose));
  AddHandler(ParserChars("\\"), Handler(&P::ParseControl));
  AddHandler(DigitChars(), Handler(&P::ParseNumber));
}

void TZRRtfParser::SkipTextRun() {
  while (!EndsText(*pos_)) ++pos_;
}

std::int32_t TZRRtfParser::ParseText(char32_t) {
  Step();
  SkipTextRun();
  return RtfToken::tkText;
}

std::int32_t TZRRtfParser::ParseGroupOpen(char32_t) {
  Step();
  const char32_t* from = pos_;
  SkipTextRun();
  // The scan steps over the group text, so it is read once, here.
  const char32_t* saved = tokenStart_;
  tokenStart_ = from;
  GroupText = GetTokenString();
  tokenStart_ = saved;
  return RtfToken::tkGroupOpen;
}

std::int32_t TZRRtfParser::ParseGroupClose(char32_t) {
  Step();
  return RtfToken::tkGroupClose;
}

std::int32_t TZRRtfParser::ParseControl(char32_t) {
  Step();
  const char32_t c = *pos_;
  if (c == U'\'') {
    // Only the hexadecimal digits present are read, so a cut-off escape at
    // the end of the text never steps past it.
    Step();
    int value = 0;
    for (int i = 0; i < 2 && RtfHexValue(*pos_) >= 0; ++i, ++pos_) value = value * 16 + RtfHexValue(*pos_);
    SpecialChar = static_cast<std::uint8_t>(value);
    return RtfToken::tkHexChar;
  }
  if (c == U'\\' || c == U'{' || c == U'}') {
    tokenStart_ = pos_;
    return ParseText(0);
  }
  while (*pos_ == U'*' || *pos_ == U'_' || (*pos_ >= U'A' && *pos_ <= U'Z') || (*pos_ >= U'a' && *pos_ <= U'z')) ++pos_;
  if (WordKind() == ZRToken::tkResWord) {
    ControlWordId = WordId;
    return RtfToken::tkControlWord;
  }
  ControlWordId = -1;
  return RtfToken::tkUnknownControl;
}

void TZRRtfParser::SkipParameter() {
  if (*pos_ == U'-' && IsDigit(pos_[1])) ++pos_;
  while (IsDigit(*pos_)) ++pos_;
}

bool TZRRtfParser::TakeParameter(std::int32_t& Value) {
  tokenStart_ = pos_;
  SkipParameter();
  return TokenNumber(Value);
}

TZRRtfParser::TScanMark TZRRtfParser::Mark() const {
  return {pos_, lineStart_, tokenStart_, ScanLineIndex, Token, ControlWordId, SpecialChar};
}

void TZRRtfParser::Rewind(const TScanMark& M) {
  pos_ = M.Pos;
  lineStart_ = M.LineStart;
  tokenStart_ = M.TokenStart;
  ScanLineIndex = M.Line;
  Token = M.Token;
  ControlWordId = M.ControlWordId;
  SpecialChar = M.SpecialChar;
}

bool TZRRtfParser::TokenNumber(std::int32_t& Value) const {
  const char32_t* p = tokenStart_;
  bool negative = false;
  if (p < pos_ && *p == U'-') {
    negative = true;
    ++p;
  }
  if (p == pos_) return false;
  std::int64_t v = 0;
  for (; p < pos_; ++p) {
    if (!IsDigit(*p)) return false;
    v = v * 10 + (*p - U'0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return false;
  Value = static_cast<std::int32_t>(v);
  return true;
}
