#include "components/base/ControlBackground.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/controls/CustomControl.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/TraceContext.h"

namespace {

TEST(FillGradient, BandsOfTheGivenColoursRoundedTowardZero) {
  struct Row {
    TColor begin, end;
    Coord length;  // of the gradient's direction
    // the colour of pixel i along it, for i = 0 .. length
    TColor (*expected)(Coord i);
  } rows[] = {
      // One-pixel bands; the last one drawn starts at the length itself.
      {clBlack, clWhite, 100, [](Coord i) { return RGB(255 * i / 100, 255 * i / 100, 255 * i / 100); }},
      // Going down: 255 - 255 * i / 100, not the floor of a negative step.
      {clWhite, clBlack, 100,
       [](Coord i) { return RGB(255 - 255 * i / 100, 255 - 255 * i / 100, 255 - 255 * i / 100); }},
      // Four bands three pixels wide: blue 0, 0, 1, 2.
      {clBlack, RGB(0, 0, 3), 10,
       [](Coord i) {
         static constexpr std::uint8_t kBlue[] = {0, 0, 0, 0, 0, 0, 1, 1, 1, 2, 2};
         return RGB(0, 0, kBlue[i]);
       }},
      // Equal colours: one band of 37 div 1 + 1 pixels.
      {clRed, clRed, 37, [](Coord) { return clRed; }},
  };
  for (const Row& row : rows)
    for (bool vertical : {false, true}) {
      SCOPED_TRACE(std::to_string(row.length) + (vertical ? " vertical" : " horizontal"));
      // One pixel more than the gradient, to see a band starting at its end.
      const int along = static_cast<int>(row.length) + 1;
      TBitmap bitmap(vertical ? 3 : along, vertical ? along : 3);
      TCanvas& canvas = bitmap.Canvas();
      canvas.Brush()->SetColor(clLime);
      FillGradient(canvas, vertical ? 3 : row.length, vertical ? row.length : 3, row.begin, row.end, vertical);
      EXPECT_EQ(canvas.Brush()->Color(), clLime);
      for (Coord i = 0; i < along; ++i) {
        const int x = vertical ? 1 : static_cast<int>(i), y = vertical ? static_cast<int>(i) : 1;
        ASSERT_EQ(bitmap.Pixel(x, y), row.expected(i)) << i;
      }
    }
}

TEST(FillGradient, EqualColoursAreOneBandAndEmptyAreasNone) {
  TraceContext dc;
  TCanvas canvas(dc);
  FillGradient(canvas, 37, 5, clRed, clRed, false);
  FillGradient(canvas, 0, 5, clRed, clBlue, false);
  FillGradient(canvas, 5, -1, clRed, clBlue, true);
  int fills = 0;
  for (const std::string& line : dc.Lines()) fills += line.rfind("FillRect(", 0) == 0;
  EXPECT_EQ(fills, 1);
  EXPECT_NE(dc.Text().find("FillRect(0,0,38,5,"), std::string::npos) << dc.Text();
}

TEST(BackgroundGeometry, TileCountsAndCentredPositions) {
  EXPECT_EQ(CeilDiv(16, 100), 7);
  EXPECT_EQ(CeilDiv(16, 96), 6);
  EXPECT_EQ(CeilDiv(3, 1), 1);

  struct TileRow {
    Rect rect;
    Coord w, h;
    size_t count;
    Point last;
  } tiles[] = {
      {{0, 0, 100, 50}, 16, 16, 8 * 5, {112, 64}},  // 7 columns and 4 rows cover it: one more each
      {{0, 0, 96, 48}, 16, 16, 7 * 4, {96, 48}},
      {{0, 0, 5, 5}, 16, 16, 2 * 2, {16, 16}},
  };
  for (const TileRow& row : tiles) {
    const std::vector<Point> places = TilePositions(row.rect, row.w, row.h);
    EXPECT_EQ(places.size(), row.count);
    ASSERT_FALSE(places.empty());
    EXPECT_EQ(places.front().x, 0);
    EXPECT_EQ(places.back().x, row.last.x);
    EXPECT_EQ(places.back().y, row.last.y);
  }

  struct CentreRow {
    Rect rect;
    Coord w, h;
    Coord x, y;
  } centres[] = {
      {{0, 0, 21, 10}, 16, 5, 2, 2},     // odd differences round down
      {{0, 0, 10, 10}, 15, 13, -2, -1},  // a larger picture: toward zero
      {{0, 0, 20, 20}, 20, 20, 0, 0},
  };
  for (const CentreRow& row : centres) {
    const Point at = CenteredPicturePosition(row.rect, row.w, row.h);
    EXPECT_EQ(at.x, row.x);
    EXPECT_EQ(at.y, row.y);
  }
}

class TCountingControl : public TCustomControl {
  KESTOVA_CLASS(TCountingControl)
 public:
  using TCustomControl::TCustomControl;
  int invalidated = 0;
  void Invalidate() override {
    ++invalidated;
    TCustomControl::Invalidate();
  }
};
KESTOVA_CLASS_INFO(TCountingControl, TCustomControl, "BackgroundTest", nullptr)

struct BackgroundFixture : ::testing::Test {
  BackgroundFixture() {
    control = Construct<TCountingControl>(nullptr);
    control->SetBounds(0, 0, 40, 20);
    control->SetColor(clYellow);
    picture.SetSize(16, 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 16; ++x) picture.SetPixel(x, y, RGB(x * 10, y * 20, 200));
    control->invalidated = 0;
  }
  ~BackgroundFixture() override {
    background.reset();
    control->Free();
  }
  TCountingControl* control;
  std::unique_ptr<TControlBackground> background;
  TBitmap picture;
};

TEST_F(BackgroundFixture, WithoutAWindowNothingIsRenderedButOptionChangesInvalidate) {
  background = std::make_unique<TControlBackground>(control);
  ASSERT_FALSE(control->HandleAllocated());
  background->SetBackground(picture);
  background->SetGradientBeginColor(clRed);
  background->SetBkgndOption(boHorzGradient);
  background->SetBkgndOption(boTile);
  EXPECT_FALSE(background->HasBackground());
  EXPECT_TRUE(background->Buffer().Empty());
  EXPECT_EQ(control->invalidated, 2);  // one for each option change
  background->UpdateBuffer();
  EXPECT_TRUE(background->Buffer().Empty());
}

TEST_F(BackgroundFixture, EachOptionRendersTheBufferAtTheControlsSize) {
  control->HandleNeeded();
  background = std::make_unique<TControlBackground>(control);
  EXPECT_EQ(background->GradientBeginColor(), clBlue);
  EXPECT_EQ(background->GradientEndColor(), clBlack);
  background->SetBackground(picture);
  EXPECT_TRUE(background->Buffer().Empty());  // boNone renders nothing

  background->SetBkgndOption(boTile);
  TBitmap& buffer = background->Buffer();
  ASSERT_EQ(buffer.Width(), 40);
  ASSERT_EQ(buffer.Height(), 20);
  EXPECT_EQ(buffer.Pixel(16 * 2 + 3, 8 * 2 + 1), picture.Pixel(3, 1));

  background->SetBkgndOption(boCenter);  // at ((40 - 16) div 2, (20 - 8) div 2)
  EXPECT_EQ(background->Buffer().Pixel(12, 6), picture.Pixel(0, 0));
  EXPECT_EQ(background->Buffer().Pixel(11, 6), clYellow);
  EXPECT_EQ(background->Buffer().Pixel(12 + 16, 6), clYellow);

  background->SetBkgndOption(boStretch);
  EXPECT_EQ(background->Buffer().Pixel(39, 19), picture.Pixel(15, 7));
  EXPECT_EQ(background->Buffer().Pixel(0, 0), picture.Pixel(0, 0));

  background->SetBkgndOption(boVertGradient);
  EXPECT_EQ(background->Buffer().Pixel(5, 0), clBlue);
  background->SetGradientEndColor(clBlue);
  EXPECT_EQ(background->Buffer().Pixel(5, 19), clBlue);

  // Resized: rendered again at the new size on request.
  control->SetBounds(0, 0, 30, 10);
  background->UpdateBuffer();
  EXPECT_EQ(background->Buffer().Width(), 30);
  EXPECT_EQ(background->Buffer().Height(), 10);
}

TEST_F(BackgroundFixture, NoneOrAnEmptyPictureLeavesTheBufferAsItWas) {
  control->HandleNeeded();
  background = std::make_unique<TControlBackground>(control);
  background->SetBkgndOption(boHorzGradient);
  const TColor first = background->Buffer().Pixel(0, 0);
  const int before = control->invalidated;
  background->SetBkgndOption(boStretch);  // no picture
  EXPECT_FALSE(background->HasBackground());
  EXPECT_EQ(background->Buffer().Pixel(0, 0), first);
  background->SetBkgndOption(boNone);
  EXPECT_EQ(background->Buffer().Pixel(0, 0), first);
  EXPECT_EQ(control->invalidated, before + 2);
}

TEST_F(BackgroundFixture, AssignTakesTheSettingsOfAnotherBackgroundOnly) {
  control->HandleNeeded();
  background = std::make_unique<TControlBackground>(control);
  TControlBackground other(control);
  other.SetBackground(picture);
  other.SetBkgndOption(boCenter);
  other.SetGradientBeginColor(clRed);
  other.SetGradientEndColor(clGreen);
  background->Assign(&other);
  EXPECT_EQ(background->BkgndOption(), boCenter);
  EXPECT_EQ(background->GradientBeginColor(), clRed);
  EXPECT_EQ(background->GradientEndColor(), clGreen);
  EXPECT_EQ(background->Background().Pixel(3, 1), picture.Pixel(3, 1));
  EXPECT_EQ(background->Buffer().Pixel(12, 6), picture.Pixel(0, 0));
  TPersistent plain;
  EXPECT_THROW(background->Assign(&plain), EConvertError);
}

TEST_F(BackgroundFixture, PublishedSettingsGoThroughTheSetters) {
  control->HandleNeeded();
  background = std::make_unique<TControlBackground>(control);
  const TPropInfo* option = GetPropInfo(TControlBackground::StaticClass(), "BkgndOption");
  ASSERT_NE(option, nullptr);
  EXPECT_EQ(option->Default, boNone);
  const int before = control->invalidated;
  SetOrdProp(background.get(), option, boVertGradient);
  EXPECT_EQ(background->BkgndOption(), boVertGradient);
  EXPECT_EQ(control->invalidated, before + 2);  // rendered, and the option changed
  const TPropInfo* end = GetPropInfo(TControlBackground::StaticClass(), "GradientEndColor");
  ASSERT_NE(end, nullptr);
  SetOrdProp(background.get(), end, clBlue);
  EXPECT_EQ(background->Buffer().Pixel(5, 19), clBlue);
  EXPECT_EQ(GetPropInfo(TControlBackground::StaticClass(), "GradientBeginColor")->Default, clBlue);
}

}  // namespace
