#include "platform/graphics/TextMeasurer.h"

#include <gtest/gtest.h>

#include <QFontInfo>

#include "platform/graphics/QtGraphics.h"

namespace {

TFontData Font(std::string name, std::int32_t height, TFontStyles style = {}) {
  TFontData f;
  f.Name = std::move(name);
  f.Height = height;
  f.Style = style;
  return f;
}

TEST(FixedTextMeasurerTest, WidthsAndHeightsFollowTheRule) {
  struct Case {
    TFontData font;
    std::string_view text;
    std::int32_t width, height;
  } cases[] = {
      {Font("Arial", -11), "Taxon", 30, 13},
      {Font("Arial", -11, {TFontStyle::fsBold}), "Taxon", 35, 13},
      {Font("Arial", -10), "", 0, 12},
      {Font("Arial", -10), "\xC3\xA9t\xC3\xA9", 15, 12},  // three code points
      {Font("Arial", 12), "ab", 10, 12},                   // cell height 12: character height 10
  };
  const FixedTextMeasurer measurer;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(measurer.TextWidth(c.font, c.text), c.width);
    EXPECT_EQ(measurer.TextHeight(c.font, c.text), c.height);
  }
}

TEST(QtTextMeasurerTest, MeasuresWithTheSubstitutedFaces) {
  const QtTextMeasurer measurer;
  const TFontData arial = Font("Arial", -11);
  EXPECT_EQ(QFontInfo(QFontOf(arial)).family(), "Liberation Sans");
  EXPECT_GT(measurer.TextWidth(arial, "WWW"), measurer.TextWidth(arial, "iii"));
  EXPECT_EQ(measurer.TextWidth(arial, ""), 0);
  const std::int32_t h = measurer.TextHeight(arial, "x");
  EXPECT_GE(h, 12);
  EXPECT_LE(h, 14);
  EXPECT_GT(measurer.TextWidth(Font("Arial", -22), "Taxon"), measurer.TextWidth(arial, "Taxon"));
  EXPECT_GE(measurer.TextWidth(Font("Arial", -11, {TFontStyle::fsBold}), "Taxon name"),
            measurer.TextWidth(arial, "Taxon name"));

  const TFontData fixed = Font("FixedSys", -12);
  EXPECT_EQ(measurer.TextWidth(fixed, "iiii"), measurer.TextWidth(fixed, "WWWW")) << "a monospace face";
}

TEST(TextMeasurerTest, MetricsTellAverageWidthAndPitch) {
  const FixedTextMeasurer fixedRule;
  const TTextMetricData rule = fixedRule.TextMetrics(Font("Arial", -11, {TFontStyle::fsBold}));
  EXPECT_EQ(rule.Height, 13);
  EXPECT_EQ(rule.AveCharWidth, 7);  // (11 + 1) / 2, one more in bold
  EXPECT_TRUE(rule.FixedPitch);

  const QtTextMeasurer measurer;
  const TTextMetricData sans = measurer.TextMetrics(Font("Arial", -11));
  const TTextMetricData mono = measurer.TextMetrics(Font("FixedSys", -12));
  EXPECT_FALSE(sans.FixedPitch);
  EXPECT_TRUE(mono.FixedPitch);
  EXPECT_EQ(sans.Height, measurer.TextHeight(Font("Arial", -11), "x"));
  // An average lies between the narrow and the wide letters.
  EXPECT_GT(sans.AveCharWidth, measurer.TextWidth(Font("Arial", -11), "i"));
  EXPECT_LT(sans.AveCharWidth, measurer.TextWidth(Font("Arial", -11), "W"));
  EXPECT_EQ(mono.AveCharWidth, measurer.TextWidth(Font("FixedSys", -12), "m"));
}

}  // namespace
