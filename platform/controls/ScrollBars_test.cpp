#include "platform/controls/ScrollBars.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/controls/CustomControl.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/SystemMetrics.h"

namespace {

TEST(ScrollBarState, ClampsPageAndPositionAndDecidesTheBar) {
  constexpr std::uint32_t kMinusOne = static_cast<std::uint32_t>(-1);
  struct Row {
    const char* name;
    int min, max;
    std::uint32_t page;
    int pos;
    std::uint32_t wantPage;
    int wantPos;
    bool scrollable;
  } rows[] = {
      {"inside", 0, 9, 4, 3, 4, 3, true},
      {"position past the last page", 0, 9, 4, 9, 4, 6, true},
      {"position below the range", 5, 9, 2, 0, 2, 5, true},
      {"page 0 reaches the end", 0, 9, 0, 9, 0, 9, true},
      {"page -1 covers the range: no bar", 0, 0, kMinusOne, 3, 1, 0, false},
      {"page equal to the range: no bar", 0, 4, 5, 2, 5, 0, false},
      {"page one less than the range", 0, 4, 4, 2, 4, 1, true},
      {"max below min becomes min", 3, 1, 0, 7, 0, 3, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TScrollBarState state;
    TScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = r.min;
    info.nMax = r.max;
    info.nPage = r.page;
    info.nPos = r.pos;
    EXPECT_EQ(state.Apply(info), r.wantPos);
    EXPECT_EQ(state.Page, r.wantPage);
    EXPECT_EQ(state.Pos, r.wantPos);
    EXPECT_EQ(state.Scrollable(), r.scrollable);
  }
}

TEST(ScrollBarState, OnlyTheMaskedFieldsChange) {
  TScrollBarState state;
  TScrollInfo all;
  all.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  all.nMax = 99;
  all.nPage = 10;
  all.nPos = 50;
  state.Apply(all);
  TScrollInfo pos;
  pos.fMask = SIF_POS;
  pos.nPos = 200;  // clamped by the kept range and page
  EXPECT_EQ(state.Apply(pos), 90);
  EXPECT_EQ(state.Max, 99);
  EXPECT_EQ(state.Page, 10u);
}

// A control with a 2-pixel border that records its scroll, size and wheel
// messages and the mouse presses, and paints its client area green.
class TScrolled : public TCustomControl {
 public:
  explicit TScrolled(TComponent* AOwner) : TCustomControl(AOwner) { SetColor(clLime); }
  std::vector<std::string> log;
  void WndProc(TMessage& Message) override {
    switch (Message.Msg) {
      case WM_NCCALCSIZE: {
        auto* r = reinterpret_cast<Rect*>(Message.LParam);
        *r = {r->left + 2, r->top + 2, r->right - 2, r->bottom - 2};
        return;
      }
      case WM_VSCROLL:
      case WM_HSCROLL:
        log.push_back(std::string(Message.Msg == WM_VSCROLL ? "V" : "H") + std::to_string(ScrollCode(Message.WParam)) +
                      ":" + std::to_string(ScrollPos(Message.WParam)));
        return;
      case WM_SIZE:
        log.push_back("size " + std::to_string(LParamX(Message.LParam)) + "x" +
                      std::to_string(LParamY(Message.LParam)));
        break;
      case WM_MOUSEWHEEL:
        log.push_back("wheel " + std::to_string(WheelDelta(Message.WParam)));
        return;
      case WM_LBUTTONDOWN:
        log.push_back("down " + std::to_string(LParamX(Message.LParam)) + "," +
                      std::to_string(LParamY(Message.LParam)));
        return;
      default:
        break;
    }
    TCustomControl::WndProc(Message);
  }

 protected:
  void Paint() override { Canvas().FillRect(ClientRect()); }
};

QScrollBar* BarOf(TWinControl& control, Qt::Orientation orientation) {
  for (QScrollBar* bar : control.Handle()->findChildren<QScrollBar*>())
    if (bar->orientation() == orientation) return bar;
  return nullptr;
}

TScrollInfo RangeInfo(int max, std::uint32_t page, int pos) {
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = max;
  info.nPage = page;
  info.nPos = pos;
  return info;
}

TEST(WindowScrollBars, ShownBarsSitInTheMarginsOutsideTheClientArea) {
  TScrolled control(nullptr);
  control.SetBounds(0, 0, 100, 80);
  control.HandleNeeded();
  EXPECT_EQ(control.ClientRect(), (Rect{0, 0, 96, 76}));
  control.log.clear();
  control.SetScrollInfo(SB_VERT, RangeInfo(9, 4, 0));
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  EXPECT_EQ(control.ClientRect(), (Rect{0, 0, 96 - cx, 76}));
  EXPECT_EQ(control.log, (std::vector<std::string>{"size " + std::to_string(96 - cx) + "x76"}));
  control.SetScrollInfo(SB_HORZ, RangeInfo(300, 50, 0));
  EXPECT_EQ(control.ClientRect(), (Rect{0, 0, 96 - cx, 76 - cy}));
  QScrollBar* vbar = BarOf(control, Qt::Vertical);
  ASSERT_NE(vbar, nullptr);
  EXPECT_EQ(vbar->geometry(), QRect(98 - cx, 2, cx, 76 - cy));

  // Client coordinates start inside the border: painting and the mouse.
  const QImage image = control.Handle()->grab().toImage();
  EXPECT_NE(image.pixel(1, 1) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(image.pixel(2, 2) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(image.pixel(97 - cx, 77 - cy) & 0xFFFFFF, 0x00FF00u);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(control.Handle(), &press);
  EXPECT_EQ(control.log.back(), "down 0,0");

  // A range the page covers hides the bar and gives the room back.
  control.SetScrollInfo(SB_VERT, RangeInfo(0, static_cast<std::uint32_t>(-1), 0));
  EXPECT_EQ(control.ClientRect(), (Rect{0, 0, 96, 76 - cy}));
  EXPECT_FALSE(control.ScrollBarShown(SB_VERT));
}

TEST(WindowScrollBars, UserActionsBecomeScrollMessagesAndTheBarKeepsTheControlsPosition) {
  TScrolled control(nullptr);
  control.SetBounds(0, 0, 100, 80);
  control.HandleNeeded();
  control.SetScrollInfo(SB_VERT, RangeInfo(19, 5, 3));
  QScrollBar* bar = BarOf(control, Qt::Vertical);
  ASSERT_NE(bar, nullptr);
  control.log.clear();
  const QAbstractSlider::SliderAction actions[] = {
      QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub, QAbstractSlider::SliderPageStepAdd,
      QAbstractSlider::SliderPageStepSub,   QAbstractSlider::SliderToMinimum,     QAbstractSlider::SliderToMaximum};
  for (auto action : actions) bar->triggerAction(action);
  EXPECT_EQ(control.log, (std::vector<std::string>{"V1:0", "V0:0", "V3:0", "V2:0", "V6:0", "V7:0"}));
  // The control moved nothing, so neither did the bar.
  EXPECT_EQ(bar->value(), 3);
  EXPECT_EQ(control.GetScrollPos(SB_VERT), 3);

  // Dragging the thumb: tracking messages with the track position, then the
  // final position and the end.
  control.log.clear();
  bar->setSliderDown(true);
  bar->setSliderPosition(9);
  TScrollInfo track;
  track.fMask = SIF_TRACKPOS | SIF_POS;
  control.GetScrollInfo(SB_VERT, track);
  EXPECT_EQ(track.nTrackPos, 9);
  EXPECT_EQ(track.nPos, 3);
  bar->setSliderDown(false);
  EXPECT_EQ(control.log, (std::vector<std::string>{"V5:9", "V4:9", "V8:0"}));
  EXPECT_EQ(bar->value(), 3);

  // The state belongs to the control: a new window shows it again.
  control.RecreateWnd();
  bar = BarOf(control, Qt::Vertical);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->value(), 3);
  EXPECT_EQ(bar->maximum(), 15);
}

TEST(WindowScrollBars, TheWheelArrivesAsWheelMessages) {
  TScrolled control(nullptr);
  control.SetBounds(0, 0, 100, 80);
  QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(control.Handle(), &wheel);
  ASSERT_FALSE(control.log.empty());
  EXPECT_EQ(control.log.back(), "wheel -240");
  EXPECT_EQ(GetWheelScrollLines(), 3);
}

}  // namespace
