#include "components/base/zrcontrols.h"

#include <algorithm>

#include "platform/core/Codecs.h"
#include "platform/graphics/DrawText.h"

namespace {

// Selects fonts made from TFont values into a device, and at the end the
// font that was selected before; the fonts it made are deleted then.
class FontSwitch {
 public:
  explicit FontSwitch(DeviceContext& dc) : dc_(dc), previous_(dc.CurrentFont()) {}
  ~FontSwitch() {
    dc_.SelectObject(previous_);
    for (const Made& m : made_) dc_.DeleteObject(m.handle);
  }
  FontSwitch(const FontSwitch&) = delete;
  FontSwitch& operator=(const FontSwitch&) = delete;

  void Select(const TFont& font) {
    for (const Made& m : made_)
      if (m.font == &font) {
        dc_.SelectObject(m.handle);
        return;
      }
    made_.push_back({&font, dc_.CreateFontIndirect(LogFontOf(font.Data()))});
    dc_.SelectObject(made_.back().handle);
  }

 private:
  struct Made {
    const TFont* font;
    FontHandle handle;
  };
  DeviceContext& dc_;
  FontHandle previous_;
  std::vector<Made> made_;
};

void AddExtent(Size& total, const Size& part) {
  total.cx += part.cx;
  total.cy = std::max(total.cy, part.cy);
}

}  // namespace

void NextField(std::string_view S, int& Pos, std::string& Field) {
  const std::size_t from = Pos < 1 ? 0 : static_cast<std::size_t>(Pos - 1);
  if (from >= S.size()) {
    Field.clear();
    Pos = static_cast<int>(S.size()) + 1;
    return;
  }
  const std::size_t bar = S.find(ColumnSeparator, from);
  const std::size_t end = bar == std::string_view::npos ? S.size() : bar;
  Field.assign(S.substr(from, end - from));
  Pos = static_cast<int>(bar == std::string_view::npos ? S.size() + 1 : bar + 2);
}

void ParseStyleMarkers(std::string_view Text, int& Start, int& Len, std::string& Plain) {
  std::u32string chars = Utf8ToUtf32(Text);
  const std::size_t first = chars.find(StyleMarker);
  if (first == std::u32string::npos) {
    Start = 0;
    Len = 0;
    Plain.assign(Text);
    return;
  }
  chars.erase(first, 1);
  const std::size_t second = chars.find(StyleMarker, first);
  if (second != std::u32string::npos) chars.erase(second, 1);
  Start = static_cast<int>(first) + 1;
  Len = static_cast<int>((second == std::u32string::npos ? chars.size() : second) - first);
  Plain = Utf32ToUtf8(chars);
}

Size GetTextSize(TCanvas& Canvas, std::string_view S) {
  if (S.empty()) return {};
  return Canvas.Handle().GetTextExtentPoint(S);
}

void MeasureStyledText(TCanvas& Canvas, const TFont& NormalFont, const TFont& BoldFont, Size& Size,
                       std::string_view Text) {
  FontSwitch fonts(Canvas.Handle());
  Size = {};
  fonts.Select(NormalFont);
  const std::size_t first = Text.find(StyleMarker);
  AddExtent(Size, GetTextSize(Canvas, Text.substr(0, first)));
  if (first == std::string_view::npos) return;
  const std::string_view rest = Text.substr(first + 1);
  const std::size_t second = rest.find(StyleMarker);
  fonts.Select(BoldFont);
  AddExtent(Size, GetTextSize(Canvas, rest.substr(0, second)));
  fonts.Select(NormalFont);
  if (second != std::string_view::npos) AddExtent(Size, GetTextSize(Canvas, rest.substr(second + 1)));
}

void DrawStyledLine(TCanvas& Canvas, const TFont& NormalFont, const TFont& BoldFont, TLeftRightAlign Align, int Len,
                    int Start, std::string_view Plain, const Rect& Rect) {
  const std::u32string chars = Utf8ToUtf32(Plain);
  std::u32string before = chars, bold, after;
  if (Start > 0) {
    const std::size_t at = std::min(chars.size(), static_cast<std::size_t>(Start - 1));
    const std::size_t count = std::min(chars.size() - at, static_cast<std::size_t>(std::max(Len, 0)));
    before = chars.substr(0, at);
    bold = chars.substr(at, count);
    after = chars.substr(at + count);
  }
  const bool right = Align == TLeftRightAlign::lrRightJustify;
  const std::uint32_t format = DT_SINGLELINE | DT_END_ELLIPSIS | (right ? DT_RIGHT : DT_LEFT);
  DeviceContext& dc = Canvas.Handle();
  ::Rect r = Rect;
  auto draw = [&](const std::u32string& run) {
    if (run.empty()) return;
    const std::string text = Utf32ToUtf8(run);
    DrawText(dc, text, r, format);
    const Coord width = dc.GetTextExtentPoint(text).cx;
    if (right)
      r.right -= width;
    else
      r.left += width;
  };
  FontSwitch fonts(dc);
  fonts.Select(NormalFont);
  draw(right ? after : before);
  if (!bold.empty()) {
    fonts.Select(BoldFont);
    draw(bold);
    fonts.Select(NormalFont);
  }
  draw(right ? before : after);
}
