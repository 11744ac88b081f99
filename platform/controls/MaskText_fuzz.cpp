// Reads untrusted bytes as an edit mask and a text (split at the first NUL
// byte) and runs every mask operation on them. Whatever the mask, the shown
// texts have one character per mask position and carets stay inside.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/controls/MaskText.h"
#include "platform/core/Codecs.h"

namespace {
void Check(bool Condition) {
  if (!Condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto nul = input.find('\0');
  const std::string_view maskText = input.substr(0, nul);
  const std::string_view value = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);

  const TEditMask mask = ParseEditMask(maskText, value.substr(0, 2), value.substr(0, 1));
  const auto count = static_cast<std::size_t>(mask.Count());
  Check(mask.Count() <= static_cast<int>(Utf8ToUtf32(maskText).size()));

  const std::string formatted = FormatMaskText(mask, value);
  const std::string padded = PadMaskLiterals(mask, value);
  Check(Utf8ToUtf32(formatted).size() == count);
  Check(Utf8ToUtf32(padded).size() == count);
  const std::string shown = MaskedTextOf(mask, value);
  (void)MaskValueText(mask, shown);
  (void)MaskValueText(mask, value);
  const int missing = FirstMissingPosition(mask, value, size % 2 == 0);
  Check(missing >= -1 && missing < mask.Count());

  TMaskTyping typing{Utf8ToUtf32(BlankMaskText(mask)), 0, false};
  for (const char32_t c : Utf8ToUtf32(value)) {
    typing = TypeMaskChar(mask, typing.Text, typing.Caret, c);
    Check(typing.Text.size() == count);
    Check(typing.Caret >= 0 && typing.Caret <= mask.Count());
  }
  const TMaskTyping pasted =
      PasteMaskText(mask, Utf8ToUtf32(value), static_cast<int>(size % 7) - 2, Utf8ToUtf32(value));
  Check(pasted.Caret >= 0 && pasted.Caret <= mask.Count());
  (void)BlankMaskRange(mask, Utf8ToUtf32(value), static_cast<int>(size % 5) - 1, static_cast<int>(size % 11));
  return 0;
}
