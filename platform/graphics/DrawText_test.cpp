#include "platform/graphics/DrawText.h"

#include <gtest/gtest.h>

#include "platform/graphics/TraceContext.h"

namespace {

// FixedTextMeasurer at height -10: 5 pixels a character, cells 12 high.
TEST(DrawText, TracesEachFlagAsTheLinesItDraws) {
  struct Row {
    const char* text;
    std::uint32_t format;
    const char* trace;  // after the font is selected
  } rows[] = {
      {"ab", DT_SINGLELINE, "ExtTextOut(0,0,ETO_CLIPPED,0,0,40,30,\"ab\")"},
      {"ab", DT_SINGLELINE | DT_RIGHT | DT_VCENTER, "ExtTextOut(30,9,ETO_CLIPPED,0,0,40,30,\"ab\")"},
      {"ab", DT_SINGLELINE | DT_CENTER | DT_BOTTOM, "ExtTextOut(15,18,ETO_CLIPPED,0,0,40,30,\"ab\")"},
      {"ab", DT_SINGLELINE | DT_NOCLIP, "ExtTextOut(0,0,0,\"ab\")"},
      {"abcdefghijk", DT_SINGLELINE | DT_END_ELLIPSIS, "ExtTextOut(0,0,ETO_CLIPPED,0,0,40,30,\"abcde...\")"},
      {"abcdefgh", DT_SINGLELINE | DT_END_ELLIPSIS, "ExtTextOut(0,0,ETO_CLIPPED,0,0,40,30,\"abcdefgh\")"},
      {"a/bcdefgh/ij", DT_SINGLELINE | DT_PATH_ELLIPSIS, "ExtTextOut(0,0,ETO_CLIPPED,0,0,40,30,\"a/.../ij\")"},
      {"one two three", DT_WORDBREAK,
       "ExtTextOut(0,0,ETO_CLIPPED,0,0,40,30,\"one two\")\nExtTextOut(0,12,ETO_CLIPPED,0,0,40,30,\"three\")"},
      {"l1\r\nl2\nl3", 0,
       "ExtTextOut(0,0,ETO_CLIPPED,0,0,40,30,\"l1\")\nExtTextOut(0,12,ETO_CLIPPED,0,0,40,30,\"l2\")\n"
       "ExtTextOut(0,24,ETO_CLIPPED,0,0,40,30,\"l3\")"},
      {"l1\r\nl2", DT_SINGLELINE, "ExtTextOut(0,0,ETO_CLIPPED,0,0,40,30,\"l1\r\nl2\")"},
      {"a&bc", DT_SINGLELINE,
       "ExtTextOut(0,0,ETO_CLIPPED,0,0,40,30,\"abc\")\nCreateBrushIndirect(BS_SOLID,$000000) -> brush#9\n"
       "FillRect(5,11,10,12,brush#9)\nDeleteObject(brush#9)"},
      {"a&&b", DT_SINGLELINE, "ExtTextOut(0,0,ETO_CLIPPED,0,0,40,30,\"a&b\")"},
      {"a&bc", DT_SINGLELINE | DT_NOPREFIX, "ExtTextOut(0,0,ETO_CLIPPED,0,0,40,30,\"a&bc\")"},
      {"a\tb", DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP, "ExtTextOut(0,0,0,\"a       b\")"},
      {"", DT_SINGLELINE, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    SCOPED_TRACE(r.format);
    TraceContext dc;
    LogFont font;
    font.Height = -10;
    dc.SelectObject(dc.CreateFontIndirect(font));
    dc.Clear();
    Rect rect{0, 0, 40, 30};
    DrawText(dc, r.text, rect, r.format);
    EXPECT_EQ(dc.Text(), r.trace);
    EXPECT_EQ(rect, (Rect{0, 0, 40, 30}));
  }
}

TEST(DrawText, CalcRectMeasuresWithoutDrawingAndKeepsTheAlignment) {
  TraceContext dc;
  LogFont font;
  font.Height = -10;
  dc.SelectObject(dc.CreateFontIndirect(font));
  dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
  dc.Clear();
  struct Row {
    const char* text;
    std::uint32_t format;
    Rect after;
    std::int32_t height;
  } rows[] = {
      {"abc\r\nx", 0, {2, 3, 17, 27}, 24},
      {"abcdefghijkl", DT_SINGLELINE, {2, 3, 62, 15}, 12},
      {"one two three", DT_WORDBREAK, {2, 3, 42, 27}, 24},  // as wide as it was
      {"abcdefghijkl", DT_SINGLELINE | DT_END_ELLIPSIS, {2, 3, 42, 15}, 12},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    Rect rect{2, 3, 42, 4};
    EXPECT_EQ(DrawText(dc, r.text, rect, r.format | DT_CALCRECT), r.height);
    EXPECT_EQ(rect, r.after);
  }
  EXPECT_EQ(dc.Text(), "");
  std::string shortened;
  Rect rect{0, 0, 40, 30};
  DrawText(dc, "abcdefghijkl", rect, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, &shortened);
  EXPECT_EQ(shortened, "abcde...");
  EXPECT_EQ(dc.Lines().front(), "SetTextAlign(TA_LEFT|TA_TOP)");
  EXPECT_EQ(dc.Lines().back(), "SetTextAlign(TA_RIGHT|TA_BOTTOM)");
}

}  // namespace
