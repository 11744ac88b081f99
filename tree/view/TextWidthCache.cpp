#include "tree/view/TextWidthCache.h"

namespace {

// Everything of a font that changes how wide text is, then the text.
std::string Key(const TFont& font, std::string_view text) {
  std::string key = font.Name;
  key += '\0';
  key += std::to_string(font.Height);
  key += ',';
  key += std::to_string(font.PixelsPerInch);
  key += ',';
  key += static_cast<char>('0' + font.Style.Bits());
  key += static_cast<char>('0' + static_cast<int>(font.Pitch));
  key += '\0';
  key += text;
  return key;
}

}  // namespace

std::int32_t TTextWidthCache::TextWidth(const TFont& font, std::string_view text) const {
  std::string key = Key(font, text);
  if (auto it = widths_.find(key); it != widths_.end()) return it->second;
  const std::int32_t width = inner_->TextWidth(font, text);
  if (widths_.size() >= kMaxEntries) widths_.clear();
  widths_.emplace(std::move(key), width);
  return width;
}

std::int32_t TTextWidthCache::TextHeight(const TFont& font, std::string_view text) const {
  return inner_->TextHeight(font, text);
}
