// HTML: tags with attribute names, quoted values, numbers and comments.
#include "components/base/zrsystem.h"
#include "components/codeedit/parsers/LanguageParsers.h"
#include "components/codeedit/parsers/LanguageSets_p.h"

using namespace ZRToken;

THTMLParser::THTMLParser(TComponent* AOwner) : TStringsParser(AOwner) {
  using P = THTMLParser;
  SetStringsFromArray(ReservedWordList(), {});
  InitTokenHandlers();
  AddStateHandler({0, 3}, ParserChars("\""), Handler(&P::ParseQuotedString, U'"'));
  AddHandler(LetterChars(), Handler(&P::ParseIdentifier));
  AddStateHandler({3}, LetterChars(), Handler(&P::ParseAttributeName));
  AddStateHandler({0, 3}, DigitChars(), Handler(&P::ParseNumber));
  AddHandler(ParserChars("<"), Handler(&P::ParseTagStart));
  AddStateHandler({3}, ParserChars(">"), Handler(&P::ParseTagEnd));
  AddStateHandler({2}, VisibleChars(), Handler(&P::ParseHtmlComment));
  AddStateHandler({2, 3}, LineBreakChars(), Handler(&P::ParseLineBreak));
}

std::int32_t THTMLParser::ParseAttributeName(char32_t) {
  Step();
  SkipWhile(IdentChars());
  return tkHtmlParam;
}

std::int32_t THTMLParser::ParseTagStart(char32_t) {
  Step();
  if (pos_[0] == U'!' && pos_[1] == U'-' && pos_[2] == U'-') {
    Step();
    return ParseHtmlComment(0);
  }
  SkipWhile(IdentChars() | ParserChars("/"));
  ScanState = 3;
  return tkHtmlTag;
}

std::int32_t THTMLParser::ParseTagEnd(char32_t) {
  Step();
  ScanState = 0;
  return tkHtmlTag;
}

// Each comment token ends after a hyphen, up to the first "-->".
std::int32_t THTMLParser::ParseHtmlComment(char32_t) {
  if (SkipTo(U'-')) {
    if (pos_[1] == U'-' && pos_[2] == U'>') {
      pos_ += 3;
      ScanState = 0;
      return tkComment;
    }
    Step();
  }
  ScanState = 2;
  return tkComment;
}
