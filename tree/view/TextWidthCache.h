#pragma once
// A text measurer that remembers what it measured. Laying a tree out asks
// for the same widths again and again (every name after each re-rooting,
// the same support numbers at many nodes); measuring with the installed
// fonts is slow enough for that to dominate large trees. The answers are
// those of the wrapped measurer, which must give the same width for the same
// font and text every time.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/graphics/TextMeasurer.h"

class TTextWidthCache final : public TextMeasurer {
 public:
  explicit TTextWidthCache(std::unique_ptr<TextMeasurer> inner) : inner_(std::move(inner)) {}
  std::int32_t TextWidth(const TFontData& font, std::string_view text) const override;
  std::int32_t TextHeight(const TFontData& font, std::string_view text) const override;

 private:
  // Entries kept before the cache starts afresh (about a tree's names a few
  // times over).
  static constexpr std::size_t kMaxEntries = 1 << 17;
  // Looked up by the text as given, without copying it.
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  using Widths = std::unordered_map<std::string, std::int32_t, TextHash, std::equal_to<>>;
  // One table a font: a tree uses a handful of fonts.
  struct FontWidths {
    TFontData font;
    Widths widths;
  };
  Widths& TableOf(const TFontData& font) const;

  std::unique_ptr<TextMeasurer> inner_;
  mutable std::vector<FontWidths> fonts_;
  mutable std::size_t entries_ = 0;
};
