#include "components/base/CommonControls.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QWidget>
#include <map>
#include <string>

namespace {

TEST(CommonControls, SunkenBorderParamsTable) {
  const std::uint32_t other = 0x00010000;  // a style bit that must stay
  struct Row {
    const char* what;
    TFormBorderStyle border;
    bool ctl3D;
    TCreateParams before;
    TCreateParams after;
  } rows[] = {
      {"single, 3-D", bsSingle, true, {other | WS_BORDER, 0}, {other, WS_EX_CLIENTEDGE}},
      {"single, flat", bsSingle, false, {other, 0}, {other | WS_BORDER, 0}},
      {"single, flat, edge kept", bsSingle, false, {other, WS_EX_CLIENTEDGE}, {other | WS_BORDER, WS_EX_CLIENTEDGE}},
      {"no border", bsNone, true, {other | WS_BORDER, 0}, {other | WS_BORDER, 0}},
      {"sizeable", bsSizeable, false, {other, 0}, {other, 0}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TCreateParams params = r.before;
    UpdateSunkenBorderParams(params, r.border, r.ctl3D);
    EXPECT_EQ(params.Style, r.after.Style);
    EXPECT_EQ(params.ExStyle, r.after.ExStyle);
  }
}

TEST(CommonControls, ScrollBarHelpers) {
  TCustomControl control(nullptr);
  control.SetBounds(0, 0, 100, 80);
  control.HandleNeeded();
  SetScrollRangePage(&control, SB_VERT, 0, 19, 5);
  SetScrollRangePage(&control, SB_HORZ, 10, 299, 50);
  TScrollInfo v;
  v.fMask = SIF_RANGE | SIF_PAGE;
  control.GetScrollInfo(SB_VERT, v);
  EXPECT_EQ(v.nMin, 0);
  EXPECT_EQ(v.nMax, 19);
  EXPECT_EQ(v.nPage, 5u);
  EXPECT_TRUE(control.ScrollBarShown(SB_VERT));

  SetScrollPosIfChanged(&control, SB_VERT, 12);
  EXPECT_EQ(control.GetScrollPos(SB_VERT), 12);
  EXPECT_EQ(control.GetScrollPos(SB_HORZ), 10);
  // The same position sets nothing: a bar hidden outright stays hidden
  // until a new position decides again.
  control.ShowScrollBar(SB_VERT, false);
  SetScrollPosIfChanged(&control, SB_VERT, 12);
  EXPECT_FALSE(control.ScrollBarShown(SB_VERT));
  SetScrollPosIfChanged(&control, SB_VERT, 11);
  EXPECT_TRUE(control.ScrollBarShown(SB_VERT));
  // A smaller range takes the position back inside it.
  SetScrollRangePage(&control, SB_VERT, 0, 9, 5);
  EXPECT_EQ(control.GetScrollPos(SB_VERT), 5);

  // While the user drags the thumb the track position leads the position.
  EXPECT_EQ(GetScrollTrackPos(&control, SB_VERT), 5);
  EXPECT_EQ(GetScrollTrackPos(&control, SB_HORZ), 10);
  QScrollBar* bar = nullptr;
  for (QScrollBar* b : control.Handle()->findChildren<QScrollBar*>())
    if (b->orientation() == Qt::Vertical) bar = b;
  ASSERT_NE(bar, nullptr);
  bar->setSliderDown(true);
  bar->setSliderPosition(2);
  EXPECT_EQ(GetScrollTrackPos(&control, SB_VERT), 2);
  EXPECT_EQ(control.GetScrollPos(SB_VERT), 5);
  bar->setSliderDown(false);
}

// Answers per text, so that a helper measuring the wrong text shows.
class TextTable final : public TextMeasurer {
 public:
  std::int32_t TextWidth(const TFontData&, std::string_view) const override { return 0; }
  std::int32_t TextHeight(const TFontData& font, std::string_view text) const override {
    lastFace = font.Name;
    const auto found = heights.find(std::string(text));
    return found == heights.end() ? -1 : found->second;
  }
  TTextMetricData TextMetrics(const TFontData& font) const override {
    lastFace = font.Name;
    return {20, 6, true};
  }
  std::map<std::string, std::int32_t> heights{{"Wg", 17}, {"x", 9}, {"", 20}};
  mutable std::string lastFace;
};

TEST(CommonControls, FontMeasuresAskForTheirTexts) {
  TFont font;
  font.SetName("Measured Face");
  const TextTable table;
  EXPECT_EQ(GetFontTextHeight(font, table), 17);
  EXPECT_EQ(GetFontXHeight(font, table), 9);
  EXPECT_EQ(table.lastFace, "Measured Face");
  EXPECT_EQ(GetFontAveCharWidth(font, table), 6);
  EXPECT_TRUE(IsFixedPitchFont(font, table));

  // On the screen, with the installed faces.
  TFont mono;
  mono.SetName("FixedSys");
  EXPECT_TRUE(IsFixedPitchFont(mono));
  EXPECT_FALSE(IsFixedPitchFont(font));
  EXPECT_GT(GetFontAveCharWidth(mono), 0);
  EXPECT_GE(GetFontTextHeight(mono), GetFontXHeight(mono));
}

// The bitmap as rows of characters: a for First, b for Second, ? else.
std::string Pattern(TBitmap& Bitmap, TColor First, TColor Second) {
  std::string out;
  for (int y = 0; y < Bitmap.Height(); ++y) {
    for (int x = 0; x < Bitmap.Width(); ++x) {
      const TColor c = Bitmap.Pixel(x, y);
      out += c == ColorToRGB(First) ? 'a' : c == ColorToRGB(Second) ? 'b' : '?';
    }
    out += '\n';
  }
  return out;
}

TEST(CommonControls, DitherBitmapsAreCheckerboards) {
  const std::string expected =
      "babababa\nabababab\nbabababa\nabababab\nbabababa\nabababab\nbabababa\nabababab\n";
  TBitmap bitmap(20, 3);  // any size before
  MakeDitherBitmap(bitmap, clRed, clBlue);
  EXPECT_EQ(Pattern(bitmap, clRed, clBlue), expected);

  TBitmap button;
  MakeButtonDitherBitmap(button);
  EXPECT_EQ(Pattern(button, clBtnFace, clBtnHighlight), expected);
}

}  // namespace
