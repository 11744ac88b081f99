// Compiles an arbitrary pattern and searches an arbitrary line with it from
// every column, forward and backward. Input: flags (byte 0: bit 0 case-
// sensitive), then the pattern, a NUL byte, and the line (UTF-8; the pattern
// is cut at 32 bytes and the line at 64 characters). The line is searched
// from a buffer of exactly its size, so a read outside it is caught by the
// sanitizer. Each search must end; a match lies inside the line (or is the
// end of line that "$" finds); a malformed pattern raises the mask error
// with a position inside the pattern or just after it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "components/codeedit/ZRRegExpr.h"
#include "platform/core/Codecs.h"
#include "platform/core/Exceptions.h"

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

void CheckMaskError(const std::string& Pattern, const Exception& Error) {
  const std::string prefix = Pattern + " is invalid mask at (";
  const std::string& message = Error.Message();
  Check(message.compare(0, prefix.size(), prefix) == 0 && message.back() == ')');
  const long position = std::strtol(message.c_str() + prefix.size(), nullptr, 10);
  Check(position >= 1 && position <= static_cast<long>(Utf8ToUtf32(Pattern).size()) + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool caseSensitive = (data[0] & 1) != 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t split = rest.find('\0');
  const std::string pattern(rest.substr(0, std::min<size_t>(split, 32)));
  std::u32string chars = split == std::string_view::npos ? std::u32string() : Utf8ToUtf32(rest.substr(split + 1));
  if (chars.size() > 64) chars.resize(64);

  std::unique_ptr<TRegExpr> matcher;
  try {
    matcher = std::make_unique<TRegExpr>(pattern, caseSensitive);
  } catch (const Exception& error) {
    CheckMaskError(pattern, error);
    return 0;
  }
  const auto n = static_cast<int>(chars.size());
  const std::unique_ptr<char32_t[]> buffer(new char32_t[chars.size()]);
  std::copy(chars.begin(), chars.end(), buffer.get());
  const std::u32string_view line(buffer.get(), chars.size());

  for (int from = -1; from <= n + 1; ++from)
    for (bool forward : {true, false}) {
      int column = from, length = -1;
      if (matcher->MatchLine(line, column, forward, length)) {
        Check(column >= 1 && column <= n + 1 && length >= 0 && column - 1 + length <= n);
        Check(column <= n || n == 0 || pattern == "$");
      } else {
        Check(column == 0 && length == 0);
      }
      column = from;
      if (matcher->Search(line, column, forward, length)) {
        Check(column >= 1 && length >= 0 && length <= n);
        // Forward, the match starts at or after the start column; backward,
        // at or before it.
        if (n > 0) Check(forward ? column >= std::max(std::min(from, n), 1) : column <= std::max(std::min(from, n), 1));
      } else {
        Check(column == 0 && length == 0);
      }
    }
  return 0;
}
