// Name unmangling, the tick clock and version texts.
#include <ctime>

#include "crashreport/zorStrings.h"
#include "crashreport/zorTools.h"

namespace zor {

bool DemangleName(std::string& name, std::string& unitName) {
  unitName.clear();
  ReplaceExact(name, "::", ".", true);
  if (name.empty() || name[0] != '@') return false;
  std::string appendix;
  if (name.size() > 1 && name[1] == '%') {
    const size_t mark = name.rfind("%@");
    if (mark != std::string::npos && mark >= 2) appendix = "." + name.substr(mark + 2);
  }
  size_t i = 2;
  if (name.size() > 6 && name[1] == '_' && name[2] == '$') {
    for (size_t j = 4; j + 1 < name.size(); ++j)
      if (name[j] == '$' && name[j + 1] == '@') {
        i = j + 1;
        break;
      }
  }
  bool destructor = false;
  bool dropAt = false;
  bool haveUnit = false;
  for (; i < name.size(); ++i) {
    if (name[i] == '$') {
      destructor = i + 2 < name.size() && name[i + 2] == 'd';
      name.resize(i);
      name += appendix;
      dropAt = true;
      break;
    }
    if (name[i] == '@') {
      name[i] = '.';
      if (!haveUnit) {
        haveUnit = true;
        unitName = name.substr(1, i - 1);
      }
    }
  }
  if (haveUnit) {
    if (name.size() > unitName.size() + 2) {
      name.erase(0, unitName.size() + 2);
      dropAt = false;
    } else {
      unitName.clear();
    }
  }
  if (dropAt && !name.empty() && name[0] == '@') name.erase(0, 1);
  if (!name.empty() && name[0] == '%') name.erase(0, 1);
  if (!name.empty() && name[0] == '.') name[0] = '@';
  if (!name.empty() && name.back() == '.') name += destructor ? "Destroy" : "Create";
  TrimBlanks(name);
  if (!name.empty() && name.back() == '.') name += "?";
  return true;
}

uint32_t TickCount() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

uint32_t TickDifference(uint32_t start, uint32_t now) { return now - start; }

uint32_t TickDifference(uint32_t start) { return TickDifference(start, TickCount()); }

std::string FileVersionText(uint64_t version) {
  const auto word = [version](int shift) { return DecimalText(static_cast<int32_t>((version >> shift) & 0xFFFFu)); };
  return word(48) + "." + word(32) + "." + word(16) + "." + word(0);
}

uint64_t ParseVersionNumbers(std::string_view text) {
  uint64_t result = 0;
  size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    if (at >= text.size() || text[at] < '0' || text[at] > '9') {
      if (part == 0) return 0;
      break;
    }
    uint32_t value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
      value = value * 10 + static_cast<uint32_t>(text[at++] - '0');
      if (value > 0xFFFF) return 0;
    }
    result |= static_cast<uint64_t>(value) << (48 - 16 * part);
    if (at >= text.size() || text[at] != '.') break;
    ++at;
  }
  return result;
}

}  // namespace zor
