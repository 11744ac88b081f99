#include "components/base/CodedText.h"

#include "platform/graphics/Bitmap.h"

std::int32_t FontTextWidth(const DeviceContext& dc, FontHandle font, std::string_view text, std::int32_t count) {
  const LogFont* logFont = dc.FontOf(font);
  if (count <= 0 || !logFont) return 0;
  // The first `count` characters; a character is a lead byte and its
  // continuation bytes.
  size_t end = 0;
  for (std::int32_t n = 0; n < count && end < text.size(); ++n) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return dc.Measurer().TextWidth(FontDataOfLogFont(*logFont), text.substr(0, end));
}

namespace {
std::int32_t CharCount(std::string_view text) {
  std::int32_t n = 0;
  for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// The width of a run in the canvas font as it is now.
Coord RunWidth(TCanvas& canvas, std::string_view run) {
  canvas.RequireFont();
  const DeviceContext& dc = canvas.Handle();
  return FontTextWidth(dc, dc.CurrentFont(), run, CharCount(run));
}
}  // namespace

TCodedText SplitCodedText(std::string_view text, TFontStyles start) {
  static constexpr TFontStyle kSwitched[4] = {TFontStyle::fsBold, TFontStyle::fsItalic, TFontStyle::fsUnderline,
                                              TFontStyle::fsStrikeOut};
  TCodedText result;
  TFontStyles styles = start;
  size_t runStart = 0;
  for (size_t p = 0; p <= text.size(); ++p) {
    const bool end = p == text.size();
    if (!end && static_cast<unsigned char>(text[p]) >= 32) continue;
    if (p > runStart) result.Runs.push_back({std::string(text.substr(runStart, p - runStart)), styles});
    if (!end && text[p] >= 1 && text[p] <= 4) {
      const TFontStyle style = kSwitched[text[p] - 1];
      if (styles.Contains(style))
        styles.Exclude(style);
      else
        styles.Include(style);
    }
    runStart = p + 1;
  }
  result.EndStyles = styles;
  return result;
}

void DrawCodedText(TCanvas& canvas, const Rect& rect, Coord x, Coord y, std::string_view text) {
  const Coord width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width < 1 || height < 1) return;
  x -= rect.left;
  y -= rect.top;
  TBitmap bitmap(static_cast<int>(width), static_cast<int>(height));
  TCanvas& out = bitmap.Canvas();
  // Runs are placed by the same measures the caller's canvas takes.
  out.Handle().SetTextMeasurer(&canvas.Handle().Measurer());
  out.Brush()->SetColor(canvas.Brush()->Color());
  out.Brush()->SetStyle(TBrushStyle::bsSolid);
  out.SetFont(canvas.Font());
  out.FillRect({0, 0, width, height});
  for (const TCodedRun& run : SplitCodedText(text, canvas.Font()->Style()).Runs) {
    out.Font()->SetStyle(run.Styles);
    out.TextOut(x, y, run.Text);
    x += RunWidth(out, run.Text);
  }
  canvas.Draw(rect.left, rect.top, bitmap);
}

Coord CodedTextWidth(TCanvas& canvas, std::string_view text) {
  const TCodedText coded = SplitCodedText(text, canvas.Font()->Style());
  Coord width = 0;
  for (const TCodedRun& run : coded.Runs) {
    canvas.Font()->SetStyle(run.Styles);
    width += RunWidth(canvas, run.Text);
  }
  canvas.Font()->SetStyle(coded.EndStyles);
  return width;
}
