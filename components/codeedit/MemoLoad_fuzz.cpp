// Loads arbitrary bytes into a text store and saves them in every format:
// nothing may crash or leak, a Windows save of a text without CR or LF gives
// back its bytes, and each format's save loads back into the same lines
// (apart from an empty last line, which a Windows save drops).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "components/codeedit/MemoSource.h"
#include "platform/core/Streams.h"

namespace {
std::vector<std::u32string> LinesOf(const TCustomMemoSource& Source) {
  std::vector<std::u32string> lines;
  for (int i = 0; i < Source.LineCount(); ++i) lines.push_back(Source.LineText(i));
  return lines;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  TMemoSource source(nullptr);
  source.SetKeepTrailingBlanks(true);
  source.SetOptions(TStringsOptions{soUseTabCharacter});
  {
    TStringStream in(bytes);
    source.LoadFromStream(in);
  }
  const std::vector<std::u32string> lines = LinesOf(source);
  for (TOutFormatType format : {ofWindows, ofUnix, ofMac}) {
    source.OutFormat = format;
    TStringStream out;
    source.Lines()->SaveToStream(out);
    if (format == ofWindows && bytes.find_first_of("\r\n") == std::string::npos && out.DataString() != bytes)
      std::abort();
    TMemoSource again(nullptr);
    again.SetKeepTrailingBlanks(true);
    again.SetOptions(TStringsOptions{soUseTabCharacter});
    TStringStream in(out.DataString());
    again.LoadFromStream(in);
    // A Windows save writes no break after the last line, so a last line
    // that is empty does not come back.
    const bool lastLineLost = format == ofWindows && !lines.empty() && lines.back().empty();
    if (!lastLineLost && LinesOf(again) != lines) std::abort();
    source.LineColorData(0);
  }
  return 0;
}
