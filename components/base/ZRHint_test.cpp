#include "components/base/ZRHint.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QWidget>

#include "platform/classes/TypInfo.h"
#include "platform/controls/Timer.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/QtGraphics.h"
#include "platform/graphics/TextMeasurer.h"
#include "platform/ui/Screen.h"

namespace {

// An 800 x 600 screen with a mouse the test places.
class FakeScreen final : public TScreenSource {
 public:
  Size ScreenSize() override { return {800, 600}; }
  Point CursorPos() override { return mouse; }
  Point mouse{0, 0};
};

// The hint with its state open to the test.
class TestHint final : public TZRHint {
 public:
  using TZRHint::TZRHint;
  void SetState(int Phase, int Ticks) {
    phase_ = Phase;
    tickCount_ = Ticks;
  }
  using TZRHint::DisplayHint;
};

// FixedTextMeasurer with the hint font at height -10: 5 pixels a character,
// 6 in bold, cells 12 high.
class HintTest : public ::testing::Test {
 protected:
  HintTest() {
    old_ = Screen->SetSource(&screen_);
    hint_.Window()->SetTextMeasurer(&measurer_);
    hint_.Window()->Font()->SetHeight(-10);
    TFont bold;
    bold.Assign(hint_.Window()->Font());
    bold.SetStyle({TFontStyle::fsBold});
    hint_.SetBoldFont(&bold);
    hint_.OnVisibleChanged = [this](TObject*) { ++visibleChanges_; };
  }
  ~HintTest() override { Screen->SetSource(old_); }

  Rect WindowBounds() const { return hint_.Window()->BoundsRect(); }

  FakeScreen screen_;
  TScreenSource* old_;
  FixedTextMeasurer measurer_;
  TestHint hint_{nullptr};
  int visibleChanges_ = 0;
};

TEST_F(HintTest, TimerTickFollowsThePhaseTable) {
  struct Row {
    const char* name;
    int phase;
    bool autoHide, immediate, inArea, shown;
    int ticks;  // elapsed = 50 x ticks
    int nextPhase;
    bool nextShown, tickerOn;
    int nextTicks, changes;
  } rows[] = {
      {"waiting, mouse out: hidden", 2, true, false, false, false, 0, 1, false, true, 0, 0},
      {"waiting, no auto-hide, mouse out: counts", 2, false, false, false, false, 0, 2, false, true, 1, 0},
      {"waiting 450 of 500 ms", 2, true, false, true, false, 9, 2, false, true, 10, 0},
      {"waiting 500 ms: shown", 2, true, false, true, false, 10, 0, true, true, 0, 1},
      {"immediate: shown at once", 2, true, true, true, false, 0, 0, true, true, 0, 1},
      {"already showing: short pause reached", 2, true, false, true, true, 1, 0, true, true, 0, 0},
      {"already showing: short pause not reached", 2, true, false, true, true, 0, 2, true, true, 1, 0},
      {"shown, no auto-hide, mouse out: stays", 0, false, false, false, true, 100, 0, true, true, 101, 0},
      {"shown 2500 ms, mouse in: stays", 0, true, false, true, true, 50, 0, true, true, 51, 0},
      {"shown 2550 ms, mouse in: hidden", 0, true, false, true, true, 51, 1, false, true, 0, 1},
      {"shown, mouse out: hidden", 0, true, false, false, true, 3, 1, false, true, 0, 1},
      {"hidden, mouse in: told again, ticker on", 1, true, false, true, false, 4, 1, false, true, 0, 1},
      {"hidden, mouse out: ticker stops", 1, true, false, false, false, 0, 1, false, false, 0, 1},
      {"hidden, no auto-hide, mouse in", 1, false, true, true, false, 0, 1, false, true, 0, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    hint_.CancelHint();
    hint_.SetAutoHide(r.autoHide);
    hint_.SetImmediate(false);
    hint_.ActivateHintAt({100, 100}, "abc");  // area (100, 100, 123, 112)
    if (r.shown) hint_.DisplayHint();
    hint_.SetImmediate(r.immediate);
    hint_.SetState(r.phase, r.ticks);
    screen_.mouse = r.inArea ? Point{110, 95} : Point{130, 95};
    visibleChanges_ = 0;
    hint_.TimerTick();
    EXPECT_EQ(hint_.Phase(), r.nextPhase);
    EXPECT_EQ(hint_.Visible(), r.nextShown);
    EXPECT_EQ(hint_.Ticker()->Enabled(), r.tickerOn);
    EXPECT_EQ(hint_.TickCount(), r.nextTicks);
    EXPECT_EQ(visibleChanges_, r.changes);
  }
}

TEST_F(HintTest, MouseInHintAreaTakesTheAreaRaisedByItsHeightWithoutRightAndBottomEdges) {
  const Rect area{10, 20, 30, 40};
  const struct {
    Point p;
    bool in;
  } rows[] = {
      {{10, 0}, true},   {{29, 39}, true},  {{20, 25}, true}, {{30, 20}, false},
      {{10, 40}, false}, {{10, -1}, false}, {{9, 20}, false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.p.x) + "," + std::to_string(r.p.y));
    EXPECT_EQ(hint_.MouseInHintArea(area, r.p), r.in);
  }
}

TEST_F(HintTest, AtTheCursorEveryDisplayIsTwentyPixelsBelowIt) {
  hint_.SetAutoHide(false);
  screen_.mouse = {100, 200};
  hint_.ShowHintAtCursor("abc");
  ASSERT_TRUE(hint_.Visible());
  EXPECT_EQ(WindowBounds(), (Rect{100, 220, 123, 236}));
  screen_.mouse = {300, 50};
  hint_.ShowHintAtCursor("abcd");
  EXPECT_EQ(WindowBounds(), (Rect{300, 70, 328, 86}));
  // Shown later by the ticker rather than at once: still 20 lower.
  hint_.CancelHint();
  hint_.SetImmediate(false);
  screen_.mouse = {50, 60};
  hint_.ShowHintAtCursor("ab");
  EXPECT_FALSE(hint_.Visible());
  for (int i = 0; i <= 10; ++i) hint_.TimerTick();
  EXPECT_TRUE(hint_.Visible());
  EXPECT_EQ(WindowBounds(), (Rect{50, 80, 68, 96}));
  // At a point: no offset.
  hint_.SetImmediate(true);
  hint_.ActivateHintAt({40, 40}, "ab");
  EXPECT_EQ(WindowBounds(), (Rect{40, 40, 58, 56}));
}

TEST_F(HintTest, AnEmptyTextHidesTheHintAndStopsTheTicker) {
  hint_.SetAutoHide(false);
  hint_.ActivateHintAt({10, 10}, "abc");
  hint_.TimerTick();
  ASSERT_TRUE(hint_.Visible());
  ASSERT_TRUE(hint_.Ticker()->Enabled());
  visibleChanges_ = 0;
  hint_.ActivateHintAt({10, 10}, "");
  EXPECT_FALSE(hint_.Visible());
  EXPECT_FALSE(hint_.Ticker()->Enabled());
  EXPECT_EQ(hint_.TickCount(), 0);
  EXPECT_EQ(visibleChanges_, 1);
}

TEST_F(HintTest, ActivateHintGrowsTheBottomByFourAndKeepsTheWindowOnTheScreen) {
  const struct {
    Rect given;
    Rect shown;
  } rows[] = {
      {{100, 100, 160, 120}, {100, 100, 160, 124}},
      {{740, 100, 800, 120}, {740, 100, 800, 124}},  // touching the right edge
      {{780, 100, 840, 120}, {740, 100, 800, 124}},  // past it
      {{100, 590, 160, 610}, {100, 576, 160, 600}},  // past the bottom
      {{780, 590, 840, 610}, {740, 576, 800, 600}},  // both
      {{-10, 50, 50, 70}, {0, 50, 60, 74}},          // left of the screen
      {{50, -30, 110, -10}, {50, 0, 110, 24}},       // above it
      {{100, 100, 1000, 120}, {0, 100, 900, 124}},   // wider than the screen
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.given.left) + "," + std::to_string(r.given.top));
    hint_.Window()->ActivateHint(r.given, "x");
    EXPECT_EQ(WindowBounds(), r.shown);
    EXPECT_TRUE(hint_.Window()->IsHintVisible());
  }
}

TEST_F(HintTest, AreaIsTheTextWidthPlusEightForOneLineAndTheWidestPlusSixteenForSeveral) {
  const struct {
    const char* text;
    Rect area;  // at (0, 0)
    std::vector<TZRHintWindow::TLine> lines;
  } rows[] = {
      {"abc", {0, 0, 23, 12}, {}},
      {"a~b~c", {0, 0, 24, 12}, {}},
      {"one\nline", {0, 0, 48, 12}, {}},  // LF alone does not split
      {"ab~cd~\r\nxyz", {0, 0, 38, 24}, {{"ab~cd~", 12}, {"xyz", 12}}},
      {"a\r\nbcdef\r\ngh", {0, 0, 41, 36}, {{"a", 12}, {"bcdef", 12}, {"gh", 12}}},
  };
  hint_.SetAutoHide(false);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    hint_.ActivateHintAt({0, 0}, r.text);
    EXPECT_EQ(hint_.HintArea(), r.area);
    EXPECT_EQ(hint_.Window()->Lines(), r.lines);
    Size size;
    hint_.CalcHintSize(r.text, size);
    EXPECT_EQ(size.cx, r.area.right);
  }
}

TEST_F(HintTest, TheWindowShowsARaisedFrameOnTheHintColourAndLeavesTheFocusAlone) {
  QWidget form;
  auto* edit = new QLineEdit(&form);
  form.show();
  QApplication::setActiveWindow(&form);
  edit->setFocus();
  ASSERT_TRUE(edit->hasFocus());

  hint_.SetAutoHide(false);
  hint_.ActivateHintAt({10, 10}, "ab~cd~\r\nxyz");
  ASSERT_TRUE(hint_.Visible());
  EXPECT_TRUE(edit->hasFocus());
  EXPECT_EQ(QApplication::activeWindow(), &form);
  QWidget* window = hint_.Window()->Handle();
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
  EXPECT_NE(window->windowType(), Qt::Popup);

  const QImage shot = window->grab().toImage();
  ASSERT_EQ(shot.size(), QSize(38, 28));
  EXPECT_EQ(shot.pixelColor(0, 0), QColorOf(cl3DLight));
  EXPECT_EQ(shot.pixelColor(36, 0), QColorOf(cl3DLight));
  EXPECT_EQ(shot.pixelColor(37, 27), QColorOf(cl3DDkShadow));
  EXPECT_EQ(shot.pixelColor(0, 27), QColorOf(cl3DDkShadow));
  EXPECT_EQ(shot.pixelColor(1, 1), QColorOf(clInfoBk));
  EXPECT_EQ(shot.pixelColor(36, 26), QColorOf(clInfoBk));
}

}  // namespace

namespace {

TEST(ZRHintProperties, ArePublishedInOrderWithTheirDefaultsAndReachTheHint) {
  std::vector<std::string> names;
  for (const TPropInfo* info : GetPropInfos(TZRHint::StaticClass())) names.push_back(info->Name);
  const std::vector<std::string> own = {"AutoHide", "Interval", "Immediate", "BoldFont",
                                        "Visible",  "Caption",  "Version",   "OnVisibleChanged"};
  ASSERT_GE(names.size(), own.size());
  EXPECT_EQ(std::vector<std::string>(names.end() - static_cast<std::ptrdiff_t>(own.size()), names.end()), own);

  TZRHint hint(nullptr);
  const TClass cls = TZRHint::StaticClass();
  // AutoHide true is its default; Immediate has none, so true is written.
  EXPECT_EQ(GetPropInfo(cls, "AutoHide")->Default, std::optional<std::int64_t>(1));
  EXPECT_EQ(GetPropInfo(cls, "Immediate")->Default, std::nullopt);
  EXPECT_TRUE(hint.AutoHide());
  EXPECT_TRUE(hint.Immediate());
  EXPECT_EQ(GetOrdProp(&hint, GetPropInfo(cls, "Interval")), 50);
  SetOrdProp(&hint, GetPropInfo(cls, "Interval"), 100);
  EXPECT_EQ(hint.Ticker()->Interval(), 100u);
  SetStrProp(&hint, GetPropInfo(cls, "Caption"), "text");
  EXPECT_EQ(hint.Caption(), "text");
  TFont bold;
  bold.SetHeight(-21);
  SetObjectProp(&hint, GetPropInfo(cls, "BoldFont"), &bold);
  EXPECT_EQ(hint.BoldFont()->Height(), -21);
  EXPECT_EQ(hint.Window()->BoldVariant()->Height(), -21);
}

}  // namespace
