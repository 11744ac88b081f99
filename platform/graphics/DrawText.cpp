#include "platform/graphics/DrawText.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::string_view kEllipsis = "...";

// A line to draw: its text without prefixes and where its underline goes
// (a byte range of `text`; empty for none).
struct Line {
  std::string text;
  std::size_t underlineAt = std::string::npos;
  std::size_t underlineLength = 0;
};

std::size_t NextCodePoint(std::string_view s, std::size_t i) {
  ++i;
  while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  return i;
}

std::size_t PreviousCodePoint(std::string_view s, std::size_t i) {
  if (i == 0) return 0;
  --i;
  while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
  return i;
}

std::string ExpandTabs(std::string_view s) {
  std::string out;
  std::size_t column = 0;
  for (std::size_t i = 0; i < s.size(); i = NextCodePoint(s, i)) {
    if (s[i] == '\t') {
      do out += ' ';
      while (++column % 8 != 0);
      continue;
    }
    out.append(s.substr(i, NextCodePoint(s, i) - i));
    ++column;
  }
  return out;
}

Line StripPrefixes(std::string_view s) {
  Line line;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&' && i + 1 < s.size()) {
      ++i;
      if (s[i] != '&' && line.underlineAt == std::string::npos) {
        line.underlineAt = line.text.size();
        line.underlineLength = NextCodePoint(s, i) - i;
      }
    }
    line.text += s[i];
  }
  return line;
}

std::vector<std::string> SplitLines(std::string_view text, bool single) {
  std::vector<std::string> lines;
  if (single) return {std::string(text)};
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  return lines;
}

// Breaks `line` at blanks so that each part fits `width` where it can.
void BreakWords(const DeviceContext& dc, const std::string& line, Coord width, std::vector<std::string>& out) {
  std::string current;
  std::size_t i = 0;
  while (i < line.size()) {
    std::size_t end = line.find(' ', i);
    if (end == std::string::npos) end = line.size();
    const std::string word = line.substr(i, end - i);
    const std::string joined = current.empty() ? word : current + " " + word;
    if (!current.empty() && dc.GetTextExtentPoint(joined).cx > width) {
      out.push_back(current);
      current = word;
    } else {
      current = joined;
    }
    i = end + 1;
  }
  out.push_back(current);
}

// `line` cut so that it fits `width` with "..." (at its end, or before its
// last path separator).
std::string Ellipsized(const DeviceContext& dc, const std::string& line, Coord width, bool path) {
  if (dc.GetTextExtentPoint(line).cx <= width) return line;
  std::size_t sep = path ? line.find_last_of("\\/") : std::string::npos;
  if (sep != std::string::npos && sep > 0) {
    std::string head = line.substr(0, sep);
    const std::string tail = line.substr(sep);
    while (!head.empty()) {
      head.erase(PreviousCodePoint(head, head.size()));
      const std::string candidate = head + std::string(kEllipsis) + tail;
      if (dc.GetTextExtentPoint(candidate).cx <= width) return candidate;
    }
    return Ellipsized(dc, std::string(kEllipsis) + tail, width, false);
  }
  std::string head = line;
  while (!head.empty()) {
    head.erase(PreviousCodePoint(head, head.size()));
    const std::string candidate = head + std::string(kEllipsis);
    if (dc.GetTextExtentPoint(candidate).cx <= width) return candidate;
  }
  return std::string(kEllipsis);
}

}  // namespace

std::int32_t DrawText(DeviceContext& dc, std::string_view text, Rect& rect, std::uint32_t format,
                      std::string* modified) {
  const Coord width = rect.right - rect.left;
  const Coord cell = dc.GetTextExtentPoint("").cy;
  std::vector<std::string> raw;
  for (std::string& l : SplitLines(text, format & DT_SINGLELINE)) {
    if (format & DT_EXPANDTABS) l = ExpandTabs(l);
    if (format & DT_WORDBREAK)
      BreakWords(dc, l, width, raw);
    else
      raw.push_back(std::move(l));
  }
  std::vector<Line> lines;
  for (const std::string& l : raw) {
    Line line = format & DT_NOPREFIX ? Line{l} : StripPrefixes(l);
    if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) {
      const std::string cut = Ellipsized(dc, line.text, width, format & DT_PATH_ELLIPSIS);
      if (cut != line.text) line = Line{cut};
    }
    lines.push_back(std::move(line));
  }
  if (modified && (format & DT_MODIFYSTRING)) {
    modified->clear();
    for (std::size_t i = 0; i < lines.size(); ++i) *modified += (i ? "\r\n" : "") + lines[i].text;
  }
  const Coord height = cell * static_cast<Coord>(lines.size());

  if (format & DT_CALCRECT) {
    Coord widest = 0;
    for (const Line& l : lines) widest = std::max(widest, dc.GetTextExtentPoint(l.text).cx);
    if (!(format & DT_WORDBREAK) || widest > width) rect.right = rect.left + widest;
    rect.bottom = rect.top + height;
    return static_cast<std::int32_t>(height);
  }
  if (rect.right <= rect.left || rect.bottom <= rect.top) return 0;

  Coord y = rect.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect.top + (rect.bottom - rect.top - cell) / 2;
    if (format & DT_BOTTOM) y = rect.bottom - cell;
  }
  const std::uint32_t align = dc.GetTextAlign();
  if (align != (TA_LEFT | TA_TOP)) dc.SetTextAlign(TA_LEFT | TA_TOP);
  const std::uint32_t options = format & DT_NOCLIP ? 0 : ETO_CLIPPED;
  BrushHandle underline;
  for (const Line& l : lines) {
    const Coord w = dc.GetTextExtentPoint(l.text).cx;
    const Coord x = format & DT_RIGHT ? rect.right - w : format & DT_CENTER ? rect.left + (width - w) / 2 : rect.left;
    if (!l.text.empty()) dc.ExtTextOut(x, y, options, &rect, l.text);
    if (l.underlineAt != std::string::npos) {
      if (!underline) underline = dc.CreateBrushIndirect(LogBrush(BS_SOLID, dc.GetTextColor()));
      const Coord ux = x + dc.GetTextExtentPoint(std::string_view(l.text).substr(0, l.underlineAt)).cx;
      const Coord uw = dc.GetTextExtentPoint(std::string_view(l.text).substr(l.underlineAt, l.underlineLength)).cx;
      Rect bar{ux, y + cell - 1, ux + uw, y + cell};
      if (!(format & DT_NOCLIP))
        bar = {std::max(bar.left, rect.left), bar.top, std::min(bar.right, rect.right), bar.bottom};
      dc.FillRect(bar, underline);
    }
    y += cell;
  }
  if (underline) dc.DeleteObject(underline);
  if (align != (TA_LEFT | TA_TOP)) dc.SetTextAlign(align);
  return static_cast<std::int32_t>(height);
}
