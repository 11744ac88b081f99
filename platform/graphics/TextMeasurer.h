#pragma once
// Text measurement in pixels, injected into layout code so that layouts can
// be tested without the installed fonts.

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/graphics/GraphicsTypes.h"

// What the text metrics of a font tell, in pixels.
struct TTextMetricData {
  std::int32_t Height = 0;        // cell height, as TextHeight
  std::int32_t AveCharWidth = 0;  // average width of a character
  bool FixedPitch = false;        // every character is as wide as the others
};

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // Advance width in pixels of UTF-8 `text` in `font` (at the font's own
  // pixel height); 0 for empty text.
  virtual std::int32_t TextWidth(const TFontData& font, std::string_view text) const = 0;
  // Cell height in pixels (ascent plus descent) of `text` in `font`; the same
  // for every text of one font, empty text included.
  virtual std::int32_t TextHeight(const TFontData& font, std::string_view text) const = 0;
  // The font's metrics. The default takes them from the measures above: the
  // width of "x" as average, and a fixed pitch when "i" is as wide as "W".
  virtual TTextMetricData TextMetrics(const TFontData& font) const;
};

// Measures with the installed fonts, as text is drawn on the screen: the face
// substitutions of the drawing layer apply and kerning is off. Needs a
// QGuiApplication.
class QtTextMeasurer final : public TextMeasurer {
 public:
  QtTextMeasurer();
  ~QtTextMeasurer() override;
  QtTextMeasurer(const QtTextMeasurer&) = delete;
  QtTextMeasurer& operator=(const QtTextMeasurer&) = delete;
  std::int32_t TextWidth(const TFontData& font, std::string_view text) const override;
  std::int32_t TextHeight(const TFontData& font, std::string_view text) const override;
  // The face's own average width and pitch.
  TTextMetricData TextMetrics(const TFontData& font) const override;

 private:
  // The metrics of the font measured last: finding the face again for every
  // text costs more than measuring a short one.
  struct Metrics;
  const Metrics& MetricsOf(const TFontData& font) const;
  mutable std::unique_ptr<Metrics> last_;
};

// A QtTextMeasurer of the calling thread, for device contexts that draw
// with the installed fonts. Needs a QGuiApplication.
const TextMeasurer& ScreenTextMeasurer();

// Deterministic measures for layout tests, independent of any font: with c the
// character height (-Height for a negative Height, Height - Height div 6 for a
// positive one), each code point is (c + 1) div 2 pixels wide, one more in a
// bold font; the cell height is c + c div 5 (Height itself when positive).
class FixedTextMeasurer final : public TextMeasurer {
 public:
  std::int32_t TextWidth(const TFontData& font, std::string_view text) const override;
  std::int32_t TextHeight(const TFontData& font, std::string_view text) const override;
};
