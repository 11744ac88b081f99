// colourdump: colours a file line by line with one of the code editor's
// language parsers, as the text store does (each line starts in the state the
// line before ended in), and prints for each line its text, then its colour
// bytes as digits and letters (one per character: 0-9, then a=10, b=11, c=12)
// and its end state:
//
//   > procedure Foo;
//   = 66666666603337 | 0
//
//   colourdump --lang Delphi|VBScript|Python|JavaScript|Perl|SQL|HTML FILE
//
// Lines break at CR LF, LF or CR; bytes that are not UTF-8 count as one
// character each. Exit status 0 on success, 1 when the file cannot be read,
// 2 on a bad command line.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "components/codeedit/parsers/LanguageParsers.h"
#include "platform/core/Codecs.h"

namespace {

int Usage() {
  std::fputs("usage: colourdump --lang Delphi|VBScript|Python|JavaScript|Perl|SQL|HTML FILE\n", stderr);
  return 2;
}

std::vector<std::string> SplitLines(const std::string& Bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < Bytes.size(); ++i) {
    const char c = Bytes[i];
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    if (c == '\r' && i + 1 < Bytes.size() && Bytes[i + 1] == '\n') ++i;
    lines.push_back(std::move(line));
    line.clear();
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

char Digit(char Colour) {
  const int value = static_cast<unsigned char>(Colour);
  if (value < 10) return static_cast<char>('0' + value);
  if (value < 36) return static_cast<char>('a' + value - 10);
  return '?';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || std::string(argv[1]) != "--lang") return Usage();
  std::unique_ptr<TStringsParser> parser(CreateLanguageParser(argv[2], nullptr));
  if (!parser) return Usage();
  std::ifstream in(argv[3], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "colourdump: cannot read %s\n", argv[3]);
    return 1;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  try {
    std::int32_t state = 0;
    const std::vector<std::string> lines = SplitLines(bytes);
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::u32string text = Utf8ToUtf32Lossless(lines[i]);
      std::string colours;
      parser->GetColorData(static_cast<std::int32_t>(i), text, colours);
      parser->SetCurrentLine(static_cast<std::int32_t>(i));
      state = parser->ColorLine(text, state, colours);
      for (char& c : colours) c = Digit(c);
      std::printf("> %s\n= %s | %d\n", lines[i].c_str(), colours.c_str(), state);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "colourdump: %s\n", e.what());
    return 1;
  }
  return 0;
}
