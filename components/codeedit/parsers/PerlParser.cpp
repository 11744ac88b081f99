// Perl: strings with backslash escapes, punctuation variables, "$#name",
// comments and here-documents.
#include "components/codeedit/parsers/LanguageParsers.h"
#include "components/codeedit/parsers/LanguageSets_p.h"
#include "components/codeedit/parsers/ParserWords_p.h"
#include "platform/core/Codecs.h"

using namespace ZRToken;

namespace {
bool LineEnd(char32_t C) { return C == 0 || C == U'\r' || C == U'\n'; }
}  // namespace

TPerlParser::TPerlParser(TComponent* AOwner) : TStringsParser(AOwner) {
  using P = TPerlParser;
  SetCaseSensitive(true);
  SetPerlWords(ReservedWordList());
  InitTokenHandlers();
  AddHandler(ParserChars("'"), Handler(&P::ParsePerlString, U'\''));
  AddHandler(ParserChars("\""), Handler(&P::ParsePerlString, U'"'));
  AddHandler(ParserChars("#"), Handler(&P::ParsePerlHash));
  AddHandler(LetterChars(), Handler(&P::ParsePerlIdentifier));
  AddHandler(DigitChars(), Handler(&P::ParseNumber));
  AddHandler(ParserChars("<"), Handler(&P::ParseHereDocStart));
  AddStateHandler({11}, VisibleChars(), Handler(&P::ParseHereDocBody));
  AddStateHandler({11}, LineBreakChars(), Handler(&P::ParseLineBreak));
}

std::string TPerlParser::Terminator() const { return Utf32ToUtf8Lossless(terminator_); }

std::int32_t TPerlParser::ParsePerlString(char32_t Quote) {
  const char32_t before = BeforeToken();
  if (before == U'$' || before == U'%' || before == U'&' || before == U'@') {
    Step();
    return tkDelimiter;
  }
  do {
    Step();
    if (!SkipTo(Quote)) return tkString;
  } while (pos_[-1] == U'\\');
  Step();
  return tkString;
}

std::int32_t TPerlParser::ParsePerlHash(char32_t) {
  if (BeforeToken() != U'$') return ParseLineComment(0);
  Step();
  Step();
  SkipWhile(IdentChars());
  return WordKind();
}

std::int32_t TPerlParser::ParsePerlIdentifier(char32_t) {
  Step();
  SkipWhile(IdentChars() | ParserChars("'"));
  return WordKind();
}

std::int32_t TPerlParser::ParseHereDocStart(char32_t) {
  Step();
  if (*pos_ != U'<') return tkDelimiter;
  const char32_t* second = pos_;
  Step();
  const char32_t c = *pos_;
  terminatorChars_ = IdentChars();
  const bool quoted = c == U'"' || c == U'\'';
  if (quoted) Step();
  const char32_t* word = pos_;
  if (quoted)
    SkipTo(c);
  else
    SkipWhile(terminatorChars_);
  if (pos_ == word) {
    pos_ = second;
    return tkDelimiter;
  }
  terminator_.assign(word, pos_);
  if (quoted) {
    for (char32_t w : terminator_)
      if (w < 256) terminatorChars_.set(w);
    if (*pos_ == c) Step();
  }
  return ParseHereDocBody(0);
}

// The terminator is a whole word of terminator characters anywhere in a line,
// also later on the opening line itself.
std::int32_t TPerlParser::ParseHereDocBody(char32_t) {
  bool found = false;
  while (!found) {
    while (!LineEnd(*pos_) && !InParserSet(terminatorChars_, *pos_)) ++pos_;
    if (LineEnd(*pos_)) break;
    const char32_t* word = pos_;
    SkipWhile(terminatorChars_);
    found = std::u32string_view(word, static_cast<size_t>(pos_ - word)) == terminator_;
  }
  if (found) {
    terminator_.clear();
    ScanState = 0;
  } else {
    ScanState = 11;
  }
  return tkString;
}
