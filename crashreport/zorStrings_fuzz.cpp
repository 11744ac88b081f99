// Lists, searches and replacements run on settings texts, which come from a
// resource of the program file and are not to be trusted. Input: a separator
// byte, then the text, a zero byte and the text to find.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "crashreport/zorStrings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const char sep = static_cast<char>(data[0]);
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t zero = rest.find('\0');
  const std::string text(rest.substr(0, zero));
  const std::string find(zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1));

  // Case mapping keeps every byte position.
  const std::string lower = zor::LowerString(text), upper = zor::UpperString(text);
  if (lower.size() != text.size() || upper.size() != text.size()) std::abort();
  if (!zor::EqualNoCase(text, lower)) std::abort();

  const size_t count = zor::ItemCount(text, sep);
  for (size_t n = 0; n <= count + 1; ++n) {
    const std::string item = zor::ItemOf(text, n, sep);
    if (n >= 1 && n <= count && !item.empty() && !zor::HasItemExact(text, item, sep)) std::abort();
  }
  std::string normalized = text;
  zor::NormalizeList(normalized, sep);
  if (normalized.size() > text.size()) std::abort();

  const size_t first = zor::FindNoCase(find, text, 1, SIZE_MAX);
  const size_t last = zor::FindNoCase(find, text, SIZE_MAX, 1);
  if ((first == 0) != (last == 0) || first > last) std::abort();
  if (first != 0 && !zor::EqualNoCase(text.substr(first - 1, find.size()), find)) std::abort();

  // Replacing by something shorter, with and without rescan, must end.
  for (const bool rescan : {false, true}) {
    std::string replaced = text;
    const bool found = zor::ReplaceNoCase(replaced, find, find.substr(0, find.size() / 2), rescan);
    if (found != (first != 0)) std::abort();
    if (replaced.size() > text.size()) std::abort();
  }
  // A longer replacement rescans from the second inserted byte; each match
  // still consumes input, so the text grows at most by the factor of `with`.
  std::string longer(find.rbegin(), find.rend());
  longer += '~';
  std::string grown = text;
  zor::ReplaceNoCase(grown, find, longer, true);
  if (grown.size() > text.size() * longer.size()) std::abort();
  zor::ParseNumber(true, text.data(), text.size());
  zor::ParseNumber(false, text.data(), text.size());
  if (zor::AnsiToUtf16Bytes(text, false).size() > text.size() * 2) std::abort();
  return 0;
}
