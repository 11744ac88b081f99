#include "tree/view/TextWidthCache.h"

#include <gtest/gtest.h>

namespace {

// Counts the measurements that reach the wrapped measurer.
class CountingMeasurer final : public TextMeasurer {
 public:
  explicit CountingMeasurer(int& calls) : calls_(calls) {}
  std::int32_t TextWidth(const TFontData& font, std::string_view text) const override {
    ++calls_;
    return fixed_.TextWidth(font, text);
  }
  std::int32_t TextHeight(const TFontData& font, std::string_view text) const override {
    return fixed_.TextHeight(font, text);
  }

 private:
  int& calls_;
  FixedTextMeasurer fixed_;
};

TEST(TTextWidthCache, MeasuresEachFontAndTextOnce) {
  int calls = 0;
  TTextWidthCache cache(std::make_unique<CountingMeasurer>(calls));
  TFontData font;
  TFontData bold = font;
  bold.Style.Include(TFontStyle::fsBold);
  TFontData larger = font;
  larger.Height = -20;
  EXPECT_EQ(cache.TextWidth(font, "Taxon"), 30);
  EXPECT_EQ(cache.TextWidth(font, "Taxon"), 30);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(cache.TextWidth(bold, "Taxon"), 35);
  EXPECT_EQ(cache.TextWidth(larger, "Taxon"), 50);
  EXPECT_EQ(cache.TextWidth(font, "Taxa"), 24);
  EXPECT_EQ(calls, 4);
  EXPECT_EQ(cache.TextHeight(larger, "x"), FixedTextMeasurer().TextHeight(larger, "x"));
}

}  // namespace
