#include "tree/view/TextWidthCache.h"

namespace {

// Everything of a font that changes how wide text is (not its colour).
bool SameMeasure(const TFontData& a, const TFontData& b) {
  return a.Height == b.Height && a.PixelsPerInch == b.PixelsPerInch && a.Style == b.Style && a.Pitch == b.Pitch &&
         a.Name == b.Name;
}

}  // namespace

TTextWidthCache::Widths& TTextWidthCache::TableOf(const TFontData& font) const {
  for (FontWidths& table : fonts_) {
    if (SameMeasure(table.font, font)) return table.widths;
  }
  fonts_.push_back({font, {}});
  return fonts_.back().widths;
}

std::int32_t TTextWidthCache::TextWidth(const TFontData& font, std::string_view text) const {
  Widths* widths = &TableOf(font);
  if (auto it = widths->find(text); it != widths->end()) return it->second;
  const std::int32_t width = inner_->TextWidth(font, text);
  if (entries_ >= kMaxEntries) {
    fonts_.clear();
    entries_ = 0;
    widths = &TableOf(font);
  }
  widths->emplace(std::string(text), width);
  ++entries_;
  return width;
}

std::int32_t TTextWidthCache::TextHeight(const TFontData& font, std::string_view text) const {
  return inner_->TextHeight(font, text);
}
