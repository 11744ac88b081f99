#include "components/base/CodedText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/TraceContext.h"

namespace {

using enum TFontStyle;

TEST(SplitCodedText, CodesEndRunsAndSwitchStyles) {
  struct Row {
    std::string text;
    TFontStyles start;
    std::vector<TCodedRun> runs;
    TFontStyles end;
  } rows[] = {
      {"plain", {}, {{"plain", {}}}, {}},
      {"a \1word\1 b", {}, {{"a ", {}}, {"word", {fsBold}}, {" b", {}}}, {}},
      {"\2\2x", {}, {{"x", {}}}, {}},                // twice: no change
      {"ab\tcd", {}, {{"ab", {}}, {"cd", {}}}, {}},  // a tab only splits
      {"\x1f\n", {}, {}, {}},                        // codes alone draw nothing
      {"a\3b\4c", {}, {{"a", {}}, {"b", {fsUnderline}}, {"c", {fsUnderline, fsStrikeOut}}}, {fsUnderline, fsStrikeOut}},
      {"x\1y", {fsBold}, {{"x", {fsBold}}, {"y", {}}}, {}},  // a bold font is switched off
      {"\1bold", {}, {{"bold", {fsBold}}}, {fsBold}},
      {"", {fsItalic}, {}, {fsItalic}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const TCodedText coded = SplitCodedText(row.text, row.start);
    EXPECT_EQ(coded.Runs, row.runs);
    EXPECT_EQ(coded.EndStyles.Bits(), row.end.Bits());
  }
}

TEST(CodedTextWidth, SumsTheRunsInTheirStylesAndLeavesTheEndStyles) {
  TraceContext dc;
  TCanvas canvas(dc);
  canvas.Font()->SetHeight(-12);
  const Coord regular = canvas.TextWidth("ab");
  canvas.Font()->SetStyle({fsBold});
  const Coord bold = canvas.TextWidth("cd");
  canvas.Font()->SetStyle({});
  ASSERT_NE(regular, bold);

  EXPECT_EQ(CodedTextWidth(canvas, "ab\1cd"), regular + bold);
  EXPECT_TRUE(canvas.Font()->Style().Contains(fsBold));  // never switched off
  EXPECT_EQ(CodedTextWidth(canvas, "\1ab\tcd"), 2 * regular);
  EXPECT_FALSE(canvas.Font()->Style().Contains(fsBold));
}

TEST(FontTextWidth, WidthOfTheFirstCharactersInTheHandlesFont) {
  TraceContext dc;
  TCanvas canvas(dc);
  canvas.RequireFont();
  const FontHandle font = dc.CurrentFont();
  EXPECT_EQ(FontTextWidth(dc, font, "abcd", 0), 0);
  EXPECT_EQ(FontTextWidth(dc, font, "abcd", 2), canvas.TextWidth("ab"));
  EXPECT_EQ(FontTextWidth(dc, font, "\u00e4\u00f6cd", 2), canvas.TextWidth("\u00e4\u00f6"));
  EXPECT_EQ(FontTextWidth(dc, font, "ab", 9), canvas.TextWidth("ab"));
  EXPECT_EQ(FontTextWidth(dc, FontHandle{}, "ab", 2), 0);
}

// Draws the runs one by one as a reference: each at the end of the one
// before, in its styles, on the brush colour.
void DrawRuns(TBitmap& bitmap, const std::vector<TCodedRun>& runs, Coord x, Coord y) {
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush()->SetColor(clYellow);
  canvas.FillRect({0, 0, bitmap.Width(), bitmap.Height()});
  for (const TCodedRun& run : runs) {
    canvas.Font()->SetStyle(run.Styles);
    canvas.TextOut(x, y, run.Text);
    x += canvas.TextWidth(run.Text);
  }
}

TEST(DrawCodedText, DrawsEachRunInItsStylesAndLeavesTheCanvasFont) {
  struct Row {
    std::string text;
    std::vector<TCodedRun> runs;
  } rows[] = {
      {"ab\1cd\1ef", {{"ab", {}}, {"cd", {fsBold}}, {"ef", {}}}},
      {"ab\tcd", {{"ab", {}}, {"cd", {}}}},
      {"\2\2ab", {{"ab", {}}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TBitmap expected(90, 24), actual(100, 30);
    DrawRuns(expected, row.runs, 3, 2);
    TCanvas& canvas = actual.Canvas();
    canvas.Brush()->SetColor(clYellow);
    canvas.Font()->SetStyle({});
    DrawCodedText(canvas, {10, 5, 100, 29}, 13, 7, row.text);
    EXPECT_FALSE(canvas.Font()->Style().Contains(fsBold));
    bool same = true;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 80; ++x) same = same && actual.Pixel(x + 10, y + 5) == expected.Pixel(x, y);
    EXPECT_TRUE(same);
  }
}

}  // namespace
