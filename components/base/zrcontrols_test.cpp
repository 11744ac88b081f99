#include "components/base/zrcontrols.h"

#include <gtest/gtest.h>

#include "platform/graphics/TraceContext.h"

namespace {

TEST(NextField, SplitsColumnsAtBars) {
  struct Row {
    const char* text;
    std::vector<std::string> fields;
  } rows[] = {
      {"a|b|", {"a", "b"}},
      {"|b", {"", "b"}},
      {"", {}},
      {"one", {"one"}},
      {"a||c", {"a", "", "c"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    const std::string_view s = r.text;
    std::vector<std::string> fields;
    std::string field;
    for (int pos = 1; pos <= static_cast<int>(s.size());) {
      NextField(s, pos, field);
      fields.push_back(field);
    }
    EXPECT_EQ(fields, r.fields);
  }
}

// FixedTextMeasurer: the normal font (height -10) is 5 pixels a character
// in cells 12 high, the bold one (height -15, bold) 9 pixels in cells 18
// high. The canvas's own font (font#8) is selected before each call; the
// normal font becomes font#9 and the bold font#10.
TEST(StyledText, ParsesMeasuresAndDrawsEachRunInItsFont) {
  const char* const kNormal = "CreateFontIndirect(-10,0,0,400,DEFAULT_PITCH,\"Arial\") -> font#9\n";
  const char* const kBold = "CreateFontIndirect(-15,0,0,700,DEFAULT_PITCH,\"Arial\") -> font#10\n";
  const std::string kEnd = "SelectObject(font#8)\nDeleteObject(font#9)";
  struct Row {
    const char* text;
    TLeftRightAlign align;
    int start, len;
    const char* plain;
    Size measured;
    std::string drawn;  // the trace of DrawStyledLine into (0, 0, 60, 20)
  } rows[] = {
      {"plain", TLeftRightAlign::lrLeftJustify, 0, 0, "plain", {25, 12},
       std::string(kNormal) + "SelectObject(font#9)\nExtTextOut(0,0,ETO_CLIPPED,0,0,60,20,\"plain\")\n" + kEnd},
      {"a~b~c", TLeftRightAlign::lrLeftJustify, 2, 1, "abc", {19, 18},
       std::string(kNormal) + "SelectObject(font#9)\nExtTextOut(0,0,ETO_CLIPPED,0,0,60,20,\"a\")\n" + kBold +
           "SelectObject(font#10)\nExtTextOut(5,0,ETO_CLIPPED,5,0,60,20,\"b\")\nSelectObject(font#9)\n"
           "ExtTextOut(14,0,ETO_CLIPPED,14,0,60,20,\"c\")\n" + kEnd + "\nDeleteObject(font#10)"},
      {"a~bc", TLeftRightAlign::lrLeftJustify, 2, 2, "abc", {23, 18},
       std::string(kNormal) + "SelectObject(font#9)\nExtTextOut(0,0,ETO_CLIPPED,0,0,60,20,\"a\")\n" + kBold +
           "SelectObject(font#10)\nExtTextOut(5,0,ETO_CLIPPED,5,0,60,20,\"bc\")\nSelectObject(font#9)\n" + kEnd +
           "\nDeleteObject(font#10)"},
      // Markers after the second are ordinary characters, drawn and measured.
      {"a~b~c~d", TLeftRightAlign::lrLeftJustify, 2, 1, "abc~d", {29, 18},
       std::string(kNormal) + "SelectObject(font#9)\nExtTextOut(0,0,ETO_CLIPPED,0,0,60,20,\"a\")\n" + kBold +
           "SelectObject(font#10)\nExtTextOut(5,0,ETO_CLIPPED,5,0,60,20,\"b\")\nSelectObject(font#9)\n"
           "ExtTextOut(14,0,ETO_CLIPPED,14,0,60,20,\"c~d\")\n" + kEnd + "\nDeleteObject(font#10)"},
      // Right-justified: the bold run flush with the right edge, then the
      // normal run directly left of it.
      {"x~y~", TLeftRightAlign::lrRightJustify, 2, 1, "xy", {14, 18},
       std::string(kNormal) + "SelectObject(font#9)\n" + kBold +
           "SelectObject(font#10)\nExtTextOut(51,0,ETO_CLIPPED,0,0,60,20,\"y\")\nSelectObject(font#9)\n"
           "ExtTextOut(46,0,ETO_CLIPPED,0,0,51,20,\"x\")\n" + kEnd + "\nDeleteObject(font#10)"},
      {"ab", TLeftRightAlign::lrRightJustify, 0, 0, "ab", {10, 12},
       std::string(kNormal) + "SelectObject(font#9)\nExtTextOut(50,0,ETO_CLIPPED,0,0,60,20,\"ab\")\n" + kEnd},
      // A run too long ends in an ellipsis; what follows has no room left.
      {"~long bold text~ tail", TLeftRightAlign::lrLeftJustify, 1, 14, "long bold text tail", {151, 18},
       std::string(kNormal) + "SelectObject(font#9)\n" + kBold +
           "SelectObject(font#10)\nExtTextOut(0,0,ETO_CLIPPED,0,0,60,20,\"lon...\")\nSelectObject(font#9)\n" + kEnd +
           "\nDeleteObject(font#10)"},
      {"", TLeftRightAlign::lrLeftJustify, 0, 0, "", {0, 0}, std::string(kNormal) + "SelectObject(font#9)\n" + kEnd},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    int start = -1, len = -1;
    std::string plain;
    ParseStyleMarkers(r.text, start, len, plain);
    EXPECT_EQ(start, r.start);
    EXPECT_EQ(len, r.len);
    EXPECT_EQ(plain, r.plain);

    TFont normal, bold;
    normal.SetHeight(-10);
    bold.SetHeight(-15);
    bold.SetStyle({TFontStyle::fsBold});
    // Measured and drawn on fresh devices each, with the canvas's own font
    // selected first; afterwards that font is selected again and the
    // canvas's Font is as it was.
    for (bool drawing : {false, true}) {
      TraceContext dc;
      TCanvas canvas(dc);
      canvas.TextWidth("");
      const TFontData canvasFont = canvas.Font()->Data();
      const FontHandle selected = dc.CurrentFont();
      dc.Clear();
      if (drawing) {
        DrawStyledLine(canvas, normal, bold, r.align, len, start, plain, {0, 0, 60, 20});
        EXPECT_EQ(dc.Text(), r.drawn);
      } else {
        Size size{-1, -1};
        MeasureStyledText(canvas, normal, bold, size, r.text);
        EXPECT_EQ(size, r.measured);
      }
      EXPECT_EQ(dc.CurrentFont(), selected);
      EXPECT_EQ(canvas.Font()->Data(), canvasFont);
    }
  }
}

}  // namespace
