// The linker's ".map" text: segment classes, the detailed segment map,
// publics by value, line numbers and the entry point. Columns count from 1
// at a line's first non-blank character; a malformed line is skipped.
#include <algorithm>
#include <optional>
#include <vector>

#include "crashreport/zorMapFile_p.h"

namespace zor {

namespace {

constexpr uint64_t kCodeRounding = 4096;

struct Line {
  std::string_view text;
  char At(size_t column) const { return column >= 1 && column <= text.size() ? text[column - 1] : '\0'; }
  // `count` characters from `column` as a number; nothing unless all are digits.
  std::optional<uint64_t> Number(size_t column, size_t count, unsigned base) const {
    if (column < 1 || column - 1 > text.size() || count > text.size() - (column - 1) || count == 0) return std::nullopt;
    uint64_t value = 0;
    for (char ch : text.substr(column - 1, count)) {
      unsigned digit;
      if (ch >= '0' && ch <= '9')
        digit = static_cast<unsigned>(ch - '0');
      else if (base == 16 && ch >= 'A' && ch <= 'F')
        digit = static_cast<unsigned>(ch - 'A' + 10);
      else if (base == 16 && ch >= 'a' && ch <= 'f')
        digit = static_cast<unsigned>(ch - 'a' + 10);
      else
        return std::nullopt;
      value = value * base + digit;
    }
    return value;
  }
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t first = line.find_first_not_of(" \t");
    lines.push_back({first == std::string_view::npos ? std::string_view() : line.substr(first)});
  }
  return lines;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

struct MapTextReader {
  MapFileBuilder& b;
  const std::vector<Line>& lines;
  uint64_t codeLength = 0;
  uint64_t dataSegment = 2;
  size_t at = 0;

  bool IsCode(uint64_t segment) const { return segment >= 1 && segment < dataSegment; }
  uint64_t Shift(uint64_t segment) const { return segment > 1 && segment < dataSegment ? codeLength : 0; }
  // The lines of the block after the current one: from the first non-empty
  // line up to the next empty one.
  template <typename F>
  void Block(F each) {
    ++at;
    while (at < lines.size() && lines[at].text.empty()) ++at;
    for (; at < lines.size() && !lines[at].text.empty(); ++at) each(lines[at]);
  }

  void SegmentClass(const Line& l) {
    if (l.text.find(".text") != std::string_view::npos && l.At(5) == ':' && l.At(14) == ' ' && l.At(23) == 'H') {
      if (const auto length = l.Number(15, 8, 16); length && codeLength == 0)
        codeLength = (*length + kCodeRounding - 1) / kCodeRounding * kCodeRounding;
    } else if (l.text.find(".data") != std::string_view::npos) {
      const auto number = l.Number(1, 4, 10);
      dataSegment = number && *number >= 2 && *number <= 9 ? *number : 2;
    }
  }

  void DetailedSegment(const Line& l) {
    if (l.text.size() <= 72 || l.At(5) != ':' || l.At(14) != ' ' || l.At(23) != ' ' || l.At(24) != 'C' ||
        l.At(25) != '=')
      return;
    std::string_view rest = TrimRight(l.text);
    rest = TrimRight(rest.substr(0, rest.find_last_of(' ') == std::string_view::npos ? 0 : rest.find_last_of(' ')));
    const size_t cut = rest.find_last_of("=\\|");
    std::string unit(cut == std::string_view::npos ? rest : rest.substr(cut + 1));
    const auto segment = l.Number(1, 4, 16), start = l.Number(6, 8, 16), length = l.Number(15, 8, 16);
    if (!segment || !start || !length || *segment < 1 || *segment > dataSegment) return;
    if (unit.size() > 4 &&
        (EqualNoCase(unit.substr(unit.size() - 4), ".dpr") || EqualNoCase(unit.substr(unit.size() - 4), ".pas")))
      unit.resize(unit.size() - 4);
    b.AddSegment(std::move(unit), *start + Shift(*segment), *length, IsCode(*segment), true);
  }

  void Public(const Line& l) {
    if (l.text.size() <= 13 || l.At(5) != ':') return;
    std::string_view text = TrimRight(l.text);
    if (!text.empty() && text.back() == ')') {
      const size_t open = text.find_last_of('(');
      if (open != std::string_view::npos && open >= 13) text = TrimRight(text.substr(0, open));
    }
    const size_t blank = text.find_last_of(' ');
    if (blank == std::string_view::npos || blank < 13 || blank + 1 >= text.size()) return;
    std::string name(text.substr(blank + 1));
    const auto segment = l.Number(1, 4, 16), offset = l.Number(6, 8, 16);
    if (!segment || !offset || *segment < 1 || *segment > dataSegment) return;
    const bool code = IsCode(*segment);
    const uint64_t address = *offset + (dataSegment > 2 ? Shift(*segment) : 0);
    const ModuleRanges& r = b.Ranges();
    const TMfSegment holder = b.map.SegmentAt(code, (code ? r.codeBegin : r.dataBegin) + address);
    if (holder.valid && !holder.unitName.empty() && name.size() > holder.unitName.size() &&
        StartsWithNoCase(name, holder.unitName))
      name.erase(0, holder.unitName.size() + 1);
    b.AddPublic(code, std::move(name), address, true);
  }

  void LineNumbers(const Line& l, uintptr_t& previous, bool& first) {
    std::vector<std::string_view> tokens;
    for (size_t at = 0; at < l.text.size();) {
      const size_t end = std::min(l.text.find(' ', at), l.text.size());
      if (end > at) tokens.push_back(l.text.substr(at, end - at));
      at = end + 1;
    }
    for (size_t i = 0; i + 1 < tokens.size(); i += 2) {
      // A line number, then "ssss:oooooooo": four digits of segment, eight of offset.
      const Line number{tokens[i]}, pair{tokens[i + 1]};
      const auto line = number.Number(1, number.text.size(), 10);
      const auto segment = pair.Number(1, 4, 16), offset = pair.Number(6, 8, 16);
      if (!line || pair.text.size() != 13 || pair.At(5) != ':' || !segment || !offset) return;
      if (!IsCode(*segment) || *line > INT32_MAX) continue;
      const uintptr_t address = b.Ranges().codeBegin + *offset + Shift(*segment);
      if (!first && address <= previous) continue;
      b.AddLine(static_cast<int32_t>(*line), address);
      previous = address, first = false;
    }
  }

  void Read() {
    for (at = 0; at < lines.size(); ++at) {
      const std::string_view text = lines[at].text;
      if (text.find("Start         Length     Name                   Class") != std::string_view::npos) {
        Block([&](const Line& l) { SegmentClass(l); });
      } else if (text.find("Detailed map of segments") != std::string_view::npos) {
        Block([&](const Line& l) { DetailedSegment(l); });
        b.SortSegments();
      } else if (text.find("Publics by Value") != std::string_view::npos) {
        Block([&](const Line& l) { Public(l); });
      } else if (const size_t found = text.find("Line numbers for ");
                 found != std::string_view::npos && text.find('(', found) != std::string_view::npos &&
                 text.find(')', text.find('(', found)) != std::string_view::npos) {
        uintptr_t previous = 0;
        bool first = true;
        Block([&](const Line& l) { LineNumbers(l, previous, first); });
      } else if (text.find("Program entry point at ") != std::string_view::npos && text.size() >= 35 &&
                 lines[at].At(28) == ':') {
        if (const auto entry = lines[at].Number(29, std::min<size_t>(8, text.size() - 28), 16))
          b.SetEntryPoint(b.Ranges().codeBegin + *entry);
      }
      if (at >= lines.size()) break;
    }
  }
};

}  // namespace

bool TMapFile::LoadMapText(std::string_view text) {
  ClearTables();
  const std::vector<Line> lines = SplitLines(text);
  MapFileBuilder builder{*this};
  MapTextReader reader{builder, lines};
  reader.Read();
  builder.SortSegments();
  return !segments_.empty() || !publics_.empty();
}

}  // namespace zor
