// Feeds arbitrary bytes, read as Windows-1252 RTF, to the RTF tokenizer and
// then to the importer. The text is scanned from a heap buffer of exactly its
// size (so a read outside it is caught by the sanitizer). The scan must end
// within one token per character, every token must lie inside the text, and
// the kinds and values must be the tokenizer's. The import may only end in a
// conversion error; its pieces must be non-empty UTF-8 without U+0000, and
// all of them together at most three bytes for each input byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "components/codeedit/rtf/RtfParser.h"
#include "components/codeedit/rtf/ZRImporter.h"
#include "platform/core/Codecs.h"
#include "platform/core/Exceptions.h"

namespace {
void Check(bool Condition) {
  if (!Condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::u32string text =
      Utf8ToUtf32(Windows1252ToUtf8(std::string_view(reinterpret_cast<const char*>(Data), Size)));
  const size_t n = text.find(U'\0') == std::u32string::npos ? text.size() : text.find(U'\0');
  std::unique_ptr<char32_t[]> buffer(new char32_t[n + 1]);
  std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), buffer.get());
  buffer[n] = 0;

  static TZRRtfParser* parser = new TZRRtfParser(nullptr);
  parser->SetText(buffer.get());
  const char32_t* last = buffer.get();
  size_t tokens = 0;
  while (parser->NextToken() != ZRToken::tkEof) {
    Check(++tokens <= n);
    Check(parser->TokenStart() >= buffer.get() && parser->ScanPosition() <= buffer.get() + n);
    Check(parser->ScanPosition() > last);
    last = parser->ScanPosition();
    const int32_t kind = parser->Token;
    switch (kind) {
      case RtfToken::tkText:
      case RtfToken::tkInteger:
      case RtfToken::tkFloat:
      case RtfToken::tkGroupClose:
      case RtfToken::tkHexChar:
        break;
      case RtfToken::tkControlWord:
        Check(parser->ControlWordId >= 0 && parser->ControlWordId <= RtfWord::v);
        break;
      case RtfToken::tkUnknownControl:
        Check(parser->ControlWordId == -1);
        break;
      case RtfToken::tkGroupOpen:
        Check(parser->GroupText.size() <= 4 * n);
        break;
      default:
        Check(false);
    }
    int32_t value = 0;
    if (kind == RtfToken::tkInteger && parser->TokenNumber(value)) Check(value >= 0);
    if (tokens % 5 == 0) parser->SkipParameter();
  }
  Check(parser->ScanPosition() == buffer.get() + n);

  static TZRRtfImporter* importer = new TZRRtfImporter();
  size_t output = 0;
  importer->OnImportText = [&output](TZRImporter*, const std::string& Text, int32_t, TFont* Font) {
    Check(!Text.empty() && IsValidUtf8(Text) && Text.find('\0') == std::string::npos && Font != nullptr);
    output += Text.size();
  };
  try {
    importer->Import(std::string(reinterpret_cast<const char*>(Data), Size));
  } catch (const EConvertError&) {
  }
  Check(output <= 3 * Size);
  return 0;
}
