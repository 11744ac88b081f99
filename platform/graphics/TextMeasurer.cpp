#include "platform/graphics/TextMeasurer.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QString>
#include <cmath>
#include <cstdlib>

#include "platform/core/Codecs.h"
#include "platform/graphics/QtGraphics.h"

namespace {

std::int32_t CharacterHeight(const TFontData& font) {
  return font.Height < 0 ? -font.Height : font.Height - font.Height / 6;
}

}  // namespace

TTextMetricData TextMeasurer::TextMetrics(const TFontData& font) const {
  return {TextHeight(font, ""), TextWidth(font, "x"), TextWidth(font, "i") == TextWidth(font, "W")};
}

struct QtTextMeasurer::Metrics {
  TFontData font;
  QFontMetricsF metrics;
};

QtTextMeasurer::QtTextMeasurer() = default;
QtTextMeasurer::~QtTextMeasurer() = default;

const QtTextMeasurer::Metrics& QtTextMeasurer::MetricsOf(const TFontData& font) const {
  if (!last_ || !(last_->font == font)) last_ = std::make_unique<Metrics>(Metrics{font, QFontMetricsF(QFontOf(font))});
  return *last_;
}

std::int32_t QtTextMeasurer::TextWidth(const TFontData& font, std::string_view text) const {
  if (text.empty()) return 0;
  const QFontMetricsF& metrics = MetricsOf(font).metrics;
  return static_cast<std::int32_t>(
      std::lround(metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())))));
}

std::int32_t QtTextMeasurer::TextHeight(const TFontData& font, std::string_view) const {
  const QFontMetricsF& metrics = MetricsOf(font).metrics;
  return static_cast<std::int32_t>(std::lround(metrics.ascent() + metrics.descent()));
}

TTextMetricData QtTextMeasurer::TextMetrics(const TFontData& font) const {
  const Metrics& m = MetricsOf(font);
  return {TextHeight(font, ""), static_cast<std::int32_t>(std::lround(m.metrics.averageCharWidth())),
          QFontInfo(QFontOf(font)).fixedPitch()};
}

const TextMeasurer& ScreenTextMeasurer() {
  thread_local const QtTextMeasurer measurer;
  return measurer;
}

std::int32_t FixedTextMeasurer::TextWidth(const TFontData& font, std::string_view text) const {
  const std::int32_t each = (CharacterHeight(font) + 1) / 2 + (font.Style.Contains(TFontStyle::fsBold) ? 1 : 0);
  return static_cast<std::int32_t>(Utf8CodePointCount(text)) * each;
}

std::int32_t FixedTextMeasurer::TextHeight(const TFontData& font, std::string_view) const {
  if (font.Height > 0) return font.Height;
  const std::int32_t c = CharacterHeight(font);
  return c + c / 5;
}
