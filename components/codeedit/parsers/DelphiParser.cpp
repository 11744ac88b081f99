// Delphi: brace, parenthesis-star and double-slash comments, Pascal strings
// with character codes, and inline assembler blocks from "asm" to "end".
#include "components/codeedit/parsers/LanguageParsers.h"
#include "components/codeedit/parsers/LanguageSets_p.h"
#include "components/codeedit/parsers/ParserWords_p.h"

using namespace ZRToken;

namespace {
char32_t Lower(char32_t C) { return C >= U'A' && C <= U'Z' ? C + 32 : C; }
}  // namespace

TDelphiParser::TDelphiParser(TComponent* AOwner) : TStringsParser(AOwner) {
  using P = TDelphiParser;
  SetDelphiWords(ReservedWordList());
  InitTokenHandlers();
  AddHandler(ParserChars("'"), Handler(&P::ParsePascalString));
  AddHandler(ParserChars("{"), Handler(&P::ParseBraceComment));
  AddStateHandler({1}, VisibleChars(), Handler(&P::ParseBraceComment));
  AddHandler(LetterChars(), Handler(&P::ParseDelphiIdentifier));
  AddHandler(ParserChars("$"), Handler(&P::ParseHexNumber));
  AddHandler(DigitChars(), Handler(&P::ParseNumber));
  AddHandler(ParserChars("/"), Handler(&P::ParsePascalSlash));
  AddHandler(ParserChars("("), Handler(&P::ParseParenComment));
  AddHandler(ParserChars("#"), Handler(&P::ParseCharCode));
  AddStateHandler({2}, VisibleChars(), Handler(&P::ParseBlockCommentBody, U')'));
  AddStateHandler({4}, VisibleChars(), Handler(&P::ParseAsmText));
  AddStateHandler({4, 6}, ParserChars("/"), Handler(&P::ParseAsmSlash));
  AddStateHandler({4}, ParserChars("{"), Handler(&P::ParseAsmBrace));
  AddStateHandler({5}, VisibleChars(), Handler(&P::ParseAsmBrace));
  AddStateHandler({4}, ParserChars("("), Handler(&P::ParseAsmParen));
  AddStateHandler({7}, VisibleChars(), Handler(&P::ParseAsmCommentBody));
  AddStateHandler({2, 1}, LineBreakChars(), Handler(&P::ParseLineBreak));
}

std::int32_t TDelphiParser::ParseDelphiIdentifier(char32_t) {
  const std::int32_t kind = ParseIdentifier(0);
  if (kind == tkResWord && ScanState == 0 && pos_ - tokenStart_ == 3 && Lower(tokenStart_[0]) == U'a' &&
      Lower(tokenStart_[1]) == U's' && Lower(tokenStart_[2]) == U'm')
    ScanState = 4;
  return kind;
}

bool TDelphiParser::AsmEndAtScan() const {
  if (!pos_[0] || !pos_[1] || !pos_[2]) return false;
  for (int i = 0; i < 3; ++i)
    if ((CaseSensitive() ? pos_[i] : Lower(pos_[i])) != U"end"[i]) return false;
  if (pos_ > lineStart_) {
    const char32_t before = pos_[-1];
    if (before == U'$' || before == U'@' || (InParserSet(LetterChars(), before))) return false;
  }
  return !pos_[3] || !InParserSet(IdentChars(), pos_[3]);
}

std::int32_t TDelphiParser::ParseAsmText(char32_t) {
  for (; *pos_ > 32; ++pos_) {
    if (AsmEndAtScan()) {
      ScanState = 0;
      break;
    }
    if (pos_[0] == U'(' && pos_[1] == U'*') {
      ScanState = 7;
      break;
    }
    if (pos_[0] == U'/' && pos_[1] == U'/') {
      ScanState = 6;
      break;
    }
    if (pos_[0] == U'{') {
      ScanState = 5;
      break;
    }
  }
  return tkAssembler;
}

std::int32_t TDelphiParser::ParseAsmSlash(char32_t) {
  Step();
  const std::int32_t kind = *pos_ == U'/' ? ParseLineComment(0) : tkAssembler;
  ScanState = 4;
  return kind;
}

std::int32_t TDelphiParser::ParseAsmBrace(char32_t) {
  ParseBraceComment(0);
  ScanState = ScanState == 0 ? 4 : 5;
  return tkComment;
}

std::int32_t TDelphiParser::ParseAsmParen(char32_t) {
  if (ParseParenComment(0) == tkDelimiter) {
    ScanState = 4;
    return tkAssembler;
  }
  ScanState = ScanState == 0 ? 4 : 7;
  return tkComment;
}

std::int32_t TDelphiParser::ParseAsmCommentBody(char32_t) {
  ParseBlockCommentBody(U')');
  ScanState = ScanState == 0 ? 4 : 7;
  return tkComment;
}
