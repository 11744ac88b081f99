// Feeds arbitrary bytes to the language parsers. Input: the language (byte
// 0), the start state (byte 1: -1 up to one past the highest state with a
// table, so both ends have none), flags (byte 2: report line ends), then the
// text. The text is coloured as one line, scanned from a buffer of exactly
// its size (so a read outside it is caught by the sanitizer), and walked
// token by token as lines of a TStrings. Each must end; colouring gives one
// colour byte per code point, each a token kind; a state without a table
// raises EListError as soon as a character is looked up.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "components/codeedit/parsers/LanguageParsers.h"
#include "platform/core/Codecs.h"
#include "platform/core/Exceptions.h"

namespace {

const char* const kLanguages[] = {"Delphi", "VBScript", "Python", "JavaScript", "Perl", "SQL", "HTML"};

void Check(bool Condition) {
  if (!Condition) std::abort();
}

// Colours Text starting in State; false when the state has no table.
bool ColourLine(TStringsParser& Parser, const std::u32string& Text, std::int32_t State) {
  std::string colours;
  Parser.GetColorData(0, Text, colours);
  try {
    Parser.ColorLine(Text, State, colours);
  } catch (const EListError&) {
    return false;
  }
  Check(colours.size() == Text.size());
  for (char c : colours) Check(c >= 0 && c <= ZRToken::tkEol);
  return true;
}

// Scans a heap buffer of exactly the text and its terminating 0.
void ScanExactBuffer(TStringsParser& Parser, const std::u32string& Text, std::int32_t State) {
  const size_t n = Text.find(U'\0') == std::u32string::npos ? Text.size() : Text.find(U'\0');
  std::unique_ptr<char32_t[]> buffer(new char32_t[n + 1]);
  std::copy(Text.begin(), Text.begin() + static_cast<std::ptrdiff_t>(n), buffer.get());
  buffer[n] = 0;
  Parser.ScanState = State;
  Parser.SetSource(buffer.get());
  size_t steps = 0;
  while (Parser.TCustomZRParser::NextToken() != ZRToken::tkEof) Check(++steps <= 2 * n + 2);
}

void WalkStrings(TStringsParser& Parser, const std::string& Bytes, std::int32_t State, bool ReportLineEnds) {
  TStringList lines;
  lines.SetText(Bytes);
  Parser.SetStrings(&lines);
  Parser.ScanState = State;
  Parser.ReportLineEnds = ReportLineEnds;
  size_t limit = 2 * (Bytes.size() + static_cast<size_t>(lines.GetCount())) + 4, steps = 0;
  for (std::int32_t kind; (kind = Parser.NextToken()) != ZRToken::tkEof;) {
    Check(++steps <= limit);
    Check(kind >= 1 && kind <= ZRToken::tkEol);
    Check(Parser.TokenOffset() >= 0 && Parser.TokenOffset() <= Parser.SourceOffset());
    if (steps % 7 == 0) {
      const std::int32_t token = Parser.Token, offset = Parser.SourceOffset(), line = Parser.ScanLineIndex;
      Parser.PeekTokenString();
      Check(Parser.Token == token && Parser.SourceOffset() == offset && Parser.ScanLineIndex == line);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  std::unique_ptr<TStringsParser> parser(CreateLanguageParser(kLanguages[data[0] % 7], nullptr));
  const std::int32_t state = data[1] % (parser->StateCount() + 2) - 1;
  const bool hasTable = state >= 0 && state < parser->StateCount();
  const bool reportLineEnds = data[2] & 1;
  const std::string bytes(reinterpret_cast<const char*>(data + 3), size - 3);
  const std::u32string text = Utf8ToUtf32Lossless(bytes);

  const bool looksUp = !text.empty() && text[0] != 0;
  Check(ColourLine(*parser, text, state) == (hasTable || !looksUp));
  if (!hasTable) return 0;
  ScanExactBuffer(*parser, text, state);
  WalkStrings(*parser, bytes, state, reportLineEnds);
  return 0;
}
