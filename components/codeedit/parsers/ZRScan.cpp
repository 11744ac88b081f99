// The scan loop, the scanning primitives, the handlers the languages share
// and colouring.
#include <algorithm>

#include "components/codeedit/parsers/ZRParser.h"
#include "platform/core/Codecs.h"

using namespace ZRToken;

namespace {
bool IsDigit(char32_t C) { return C >= U'0' && C <= U'9'; }
bool IsHexDigit(char32_t C) { return IsDigit(C) || (C >= U'A' && C <= U'F') || (C >= U'a' && C <= U'f'); }
bool IsIdentChar(char32_t C) { return IsDigit(C) || (C >= U'A' && C <= U'Z') || (C >= U'a' && C <= U'z') || C == U'_'; }
}  // namespace

void TCustomZRParser::SetSource(const char32_t* Buffer) {
  if (Buffer != pos_) ResetSource(Buffer);
}

void TCustomZRParser::ResetSource(const char32_t* Buffer) {
  lineStart_ = tokenStart_ = pos_ = Buffer;
  Token = tkNone;
}

char32_t TCustomZRParser::Ahead(int N) const {
  const char32_t* p = pos_;
  for (int i = 0; i < N; ++i)
    if (*p++ == 0) return 0;
  return *p;
}

bool TCustomZRParser::SkipTo(char32_t C) {
  while (*pos_ != C && Printable(*pos_)) ++pos_;
  return *pos_ == C && C != 0;
}

void TCustomZRParser::SkipWhile(const TParserCharSet& Chars) {
  while (InParserSet(Chars, *pos_)) ++pos_;
}

std::int32_t TCustomZRParser::ScanToken() {
  std::int32_t kind = tkNone;
  do {
    tokenStart_ = pos_;
    const char32_t c = *pos_;
    if (c == 0) {
      kind = tkEof;
      break;
    }
    const TTokenHandler& h = TableOf(ScanState)[c < 256 ? c : 255];
    if (h.Proc) {
      kind = (this->*h.Proc)(h.Arg);
    } else {
      ++pos_;
      kind = tkNone;
    }
  } while (kind == tkNone);
  Token = kind;
  return kind;
}

std::string TCustomZRParser::GetTokenString() {
  if (!tokenStart_ || pos_ <= tokenStart_) return {};
  return Utf32ToUtf8Lossless(std::u32string_view(tokenStart_, static_cast<size_t>(pos_ - tokenStart_)));
}

std::int32_t TCustomZRParser::WordKind() {
  wordBuf_.clear();
  bool ascii = true;
  for (const char32_t* p = tokenStart_; p < pos_; ++p) {
    if (*p >= 128) ascii = false;
    wordBuf_ += static_cast<char>(*p);
  }
  if (!ascii) wordBuf_ = GetTokenString();
  return IsReservedWord(wordBuf_) ? tkResWord : tkIdentifier;
}

// ---- Shared handlers ----

std::int32_t TCustomZRParser::ParseLineBreak(char32_t) {
  ++ScanLineIndex;
  const char32_t c = *pos_++;
  if ((c == U'\r' && *pos_ == U'\n') || (c == U'\n' && *pos_ == U'\r')) ++pos_;
  lineStart_ = pos_;
  return tkNone;
}

std::int32_t TCustomZRParser::ParseDelimiter(char32_t) {
  Step();
  return tkDelimiter;
}

namespace {
void SkipDigits(const char32_t*& P) {
  while (IsDigit(*P)) ++P;
}
void SkipExponent(const char32_t*& P) {
  ++P;  // the E
  if (*P == U'+' || *P == U'-') ++P;
  SkipDigits(P);
}
}  // namespace

std::int32_t TCustomZRParser::ParseNumber(char32_t) {
  Step();
  SkipDigits(pos_);
  if (pos_[0] == U'.' && IsDigit(pos_[1])) {
    pos_ += 2;
    SkipDigits(pos_);
    if (*pos_ == U'E' || *pos_ == U'e') SkipExponent(pos_);
    return tkFloat;
  }
  if (*pos_ == U'E' || *pos_ == U'e') {
    SkipExponent(pos_);
    return tkFloat;
  }
  return tkInteger;
}

std::int32_t TCustomZRParser::ParseHexNumber(char32_t) {
  Step();
  while (IsHexDigit(*pos_)) ++pos_;
  return tkInteger;
}

std::int32_t TCustomZRParser::ParseZeroPrefixed(char32_t) {
  if (pos_[1] != U'x') return ParseNumber(0);
  Step();
  if (IsHexDigit(pos_[1])) return ParseHexNumber(0);
  return tkDelimiter;
}

std::int32_t TCustomZRParser::ParseIdentifier(char32_t) {
  Step();
  while (IsIdentChar(*pos_)) ++pos_;
  return WordKind();
}

std::int32_t TCustomZRParser::ParseCString(char32_t) {
  const char32_t quote = *pos_;
  for (;;) {
    Step();
    if (!SkipTo(quote)) return tkString;
    int backslashes = 0;
    for (const char32_t* p = pos_ - 1; p > tokenStart_ && *p == U'\\'; --p) ++backslashes;
    if (backslashes % 2 == 0) break;
  }
  Step();
  return tkString;
}

std::int32_t TCustomZRParser::ParseQuotedString(char32_t Quote) {
  bool found;
  do {
    Step();
    found = SkipTo(Quote);
    if (found) Step();
  } while (found && *pos_ == Quote);
  return tkString;
}

std::int32_t TCustomZRParser::ParsePascalString(char32_t) {
  ParseQuotedString(U'\'');
  if (*pos_ == U'#') ParseCharCode(0);
  return tkString;
}

std::int32_t TCustomZRParser::ParseCharCode(char32_t) {
  Step();
  if (*pos_ == U'$') {
    Step();
    while (IsHexDigit(*pos_)) ++pos_;
  } else {
    SkipDigits(pos_);
  }
  if (*pos_ == U'#') return ParseCharCode(0);
  if (*pos_ == U'\'') return ParsePascalString(0);
  return tkString;
}

std::int32_t TCustomZRParser::ParseLineComment(char32_t) {
  while (Printable(*pos_)) ++pos_;
  return tkComment;
}

std::int32_t TCustomZRParser::ParseBlockCommentBody(char32_t Closer) {
  while (SkipTo(U'*')) {
    Step();
    if (*pos_ == Closer) {
      Step();
      ScanState = 0;
      return tkComment;
    }
  }
  ScanState = 2;
  return tkComment;
}

std::int32_t TCustomZRParser::ParseBraceComment(char32_t) {
  if (SkipTo(U'}')) {
    Step();
    ScanState = 0;
  } else {
    ScanState = 1;
  }
  return tkComment;
}

std::int32_t TCustomZRParser::ParseCSlash(char32_t) {
  Step();
  if (*pos_ == U'*') {
    Step();
    return ParseBlockCommentBody(U'/');
  }
  if (*pos_ == U'/') return ParseLineComment(0);
  return tkDelimiter;
}

std::int32_t TCustomZRParser::ParsePascalSlash(char32_t) {
  Step();
  if (*pos_ == U'/') return ParseLineComment(0);
  return tkDelimiter;
}

std::int32_t TCustomZRParser::ParseParenComment(char32_t) {
  Step();
  if (*pos_ != U'*') return tkDelimiter;
  Step();
  return ParseBlockCommentBody(U')');
}

// ---- Colouring ----

std::int32_t TCustomZRParser::ColorLine(const std::u32string& Line, std::int32_t State, std::string& Colors) {
  if (Line.empty() || Colors.empty()) return State;
  ScanState = State;
  // Always from the line's start: positions left from another buffer must
  // never survive into this one.
  ResetSource(Line.c_str());
  if (Colors.size() != Line.size()) Colors.resize(Line.size());
  const char32_t* base = Line.c_str();
  std::string tokenColours;
  for (std::int32_t kind; (kind = ScanToken()) != tkEof;) {
    const auto from = static_cast<size_t>(tokenStart_ - base), count = static_cast<size_t>(pos_ - tokenStart_);
    if (!OnGetColorData) {
      std::fill_n(Colors.begin() + static_cast<std::ptrdiff_t>(from), count, static_cast<char>(kind));
      continue;
    }
    tokenColours.assign(count, static_cast<char>(kind));
    DoGetColorData(kind, GetTokenString(), tokenColours);
    std::copy(tokenColours.begin(), tokenColours.end(), Colors.begin() + static_cast<std::ptrdiff_t>(from));
  }
  return ScanState;
}

void TCustomZRParser::DoGetColorData(std::int32_t Kind, const std::string& TokenStr, std::string& ColorData) {
  const size_t length = ColorData.size();
  if (OnGetColorData) OnGetColorData(this, Kind, TokenStr, ColorData);
  ColorData.resize(length, static_cast<char>(Kind));
}
