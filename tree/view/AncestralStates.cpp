#include "tree/view/AncestralStates.h"

#include "platform/core/NumberFormat.h"

std::string InformationAfterColon(const TStringList& lines, std::string_view key) {
  for (int i = lines.Count() - 1; i >= 0; --i) {
    const std::string& line = lines[i];
    if (line.find(key) == std::string::npos) continue;
    const size_t colon = line.find(':');
    if (colon == std::string::npos || colon + 2 >= line.size()) return {};
    return line.substr(colon + 2, 255);
  }
  return {};
}

std::string InformationIndexValue(const TStringList& lines, std::string_view key) {
  for (const std::string& line : lines) {
    if (line.find(key) == std::string::npos) continue;
    const size_t start = line.find('=') + 2;  // the key holds "=", so there is one
    const size_t paren = line.find('(');
    if (paren == std::string::npos || paren <= start) return {};
    return line.substr(start, paren - start);
  }
  return {};
}

double StateProbability(const TStringList& probs, char state, char decimalSeparator) {
  return StrToFloat(probs.Values(std::string_view(&state, 1)), decimalSeparator);
}
