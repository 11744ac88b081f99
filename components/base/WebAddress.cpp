#include "components/base/WebAddress.h"

#include <array>

namespace {

char UpperAscii(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }

bool StartsWithNoCase(std::string_view Text, std::string_view Prefix) {
  if (Text.size() < Prefix.size()) return false;
  for (size_t i = 0; i < Prefix.size(); ++i)
    if (UpperAscii(Text[i]) != Prefix[i]) return false;
  return true;
}

bool IsWordChar(char C) {
  return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '_';
}

}  // namespace

bool IsMailAddress(std::string_view Text) {
  if (StartsWithNoCase(Text, "MAILTO:")) return true;
  const size_t at = Text.find('@');
  if (at == std::string_view::npos || Text.find('@', at + 1) != std::string_view::npos) return false;
  const size_t lastDot = Text.rfind('.');
  if (lastDot == std::string_view::npos || lastDot < at) return false;
  return at + 1 < Text.size() && IsWordChar(Text[at + 1]);
}

bool IsWebAddress(std::string_view Text) {
  static constexpr std::array<std::string_view, 4> kPrefixes = {"WWW.", "HTTP://", "GOPHER://", "FTP://"};
  for (std::string_view prefix : kPrefixes)
    if (StartsWithNoCase(Text, prefix)) return true;
  return false;
}

bool IsURL(std::string_view Text) { return IsWebAddress(Text) || IsMailAddress(Text); }
