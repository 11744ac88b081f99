// Scroll bars and the non-client margins of a window control.

#include "platform/controls/ScrollBars.h"

#include <algorithm>

#include "platform/controls/ScrollBars_p.h"

#include "platform/controls/ControlWindow.h"
#include "platform/controls/Controls.h"
#include "platform/graphics/SystemMetrics.h"
#include "platform/ui/Application.h"

// ---- TScrollBarState ----

int TScrollBarState::Apply(const TScrollInfo& Info) {
  if (Info.fMask & SIF_RANGE) {
    Min = Info.nMin;
    Max = std::max(Info.nMin, Info.nMax);
  }
  if (Info.fMask & SIF_PAGE) Page = Info.nPage;
  if (Info.fMask & SIF_POS) Pos = Info.nPos;
  // In 64 bits: the range of a full int overflows an int.
  const long long range = static_cast<long long>(Max) - Min + 1;
  if (static_cast<long long>(Page) > range) Page = static_cast<std::uint32_t>(range);
  Pos = std::clamp(Pos, Min, MaxPos());
  if (!Tracking) TrackPos = Pos;
  return Pos;
}

bool TScrollBarState::Scrollable() const {
  return Min < Max && static_cast<long long>(Page) <= static_cast<long long>(Max) - Min;
}

int TScrollBarState::MaxPos() const {
  const long long top = static_cast<long long>(Max) - std::max<long long>(static_cast<long long>(Page) - 1, 0);
  return static_cast<int>(std::max<long long>(top, Min));
}

// ---- The bars of a window control ----

namespace {
bool ValidBar(int Bar) { return Bar == SB_HORZ || Bar == SB_VERT; }
TMessageNumber ScrollMessage(int Bar) { return Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL; }
}  // namespace

Rect TWinControl::ClientRect() const {
  return {0, 0, std::max(0, Width() - ncLeft_ - ncRight_), std::max(0, Height() - ncTop_ - ncBottom_)};
}

bool TWinControl::LayoutNonClient() {
  const Rect before = ClientRect();
  Rect inside{0, 0, Width(), Height()};
  Perform(WM_NCCALCSIZE, 0, reinterpret_cast<std::intptr_t>(&inside));
  const bool vert = scrollBars_ && scrollBars_->State[SB_VERT].Shown;
  const bool horz = scrollBars_ && scrollBars_->State[SB_HORZ].Shown;
  const Coord right = std::max(inside.left, inside.right - (vert ? GetSystemMetrics(SM_CXVSCROLL) : 0));
  const Coord bottom = std::max(inside.top, inside.bottom - (horz ? GetSystemMetrics(SM_CYHSCROLL) : 0));
  ncLeft_ = static_cast<int>(inside.left);
  ncTop_ = static_cast<int>(inside.top);
  ncRight_ = static_cast<int>(Width() - right);
  ncBottom_ = static_cast<int>(Height() - bottom);
  if (window_ && scrollBars_) {
    for (int bar : {SB_HORZ, SB_VERT}) {
      SyncScrollBar(bar);
      QScrollBar* widget = scrollBars_->Bar[static_cast<std::size_t>(bar)];
      if (!widget) continue;
      if (bar == SB_VERT)
        widget->setGeometry(static_cast<int>(right), static_cast<int>(inside.top), GetSystemMetrics(SM_CXVSCROLL),
                            static_cast<int>(bottom - inside.top));
      else
        widget->setGeometry(static_cast<int>(inside.left), static_cast<int>(bottom),
                            static_cast<int>(right - inside.left), GetSystemMetrics(SM_CYHSCROLL));
      widget->setVisible(scrollBars_->State[static_cast<std::size_t>(bar)].Shown);
    }
  }
  const Rect after = ClientRect();
  return before.right != after.right || before.bottom != after.bottom;
}

void TWinControl::FrameChanged() {
  const bool resized = LayoutNonClient();
  if (!window_) return;
  window_->Widget()->update();
  // Showing a bar may hide the other, and so on; a few rounds settle it.
  if (!resized || frameDepth_ >= 3) return;
  ++frameDepth_;
  const Rect client = ClientRect();
  Perform(WM_SIZE, 0, PointToLParam(static_cast<int>(client.right), static_cast<int>(client.bottom)));
  --frameDepth_;
}

int TWinControl::SetScrollInfo(int Bar, const TScrollInfo& Info, bool) {
  if (!ValidBar(Bar)) return 0;
  if (!scrollBars_) scrollBars_ = std::make_unique<ScrollBars>();
  TScrollBarState& state = scrollBars_->State[static_cast<std::size_t>(Bar)];
  const int pos = state.Apply(Info);
  state.Enabled = state.Scrollable();
  const bool shown = state.Enabled || (Info.fMask & SIF_DISABLENOSCROLL) != 0;
  if (shown != state.Shown) {
    state.Shown = shown;
    FrameChanged();
  } else {
    SyncScrollBar(Bar);
  }
  return pos;
}

bool TWinControl::GetScrollInfo(int Bar, TScrollInfo& Info) const {
  if (!ValidBar(Bar)) return false;
  const TScrollBarState state = scrollBars_ ? scrollBars_->State[static_cast<std::size_t>(Bar)] : TScrollBarState{};
  if (Info.fMask & SIF_RANGE) {
    Info.nMin = state.Min;
    Info.nMax = state.Max;
  }
  if (Info.fMask & SIF_PAGE) Info.nPage = state.Page;
  if (Info.fMask & SIF_POS) Info.nPos = state.Pos;
  if (Info.fMask & SIF_TRACKPOS) Info.nTrackPos = state.TrackPos;
  return true;
}

int TWinControl::GetScrollPos(int Bar) const {
  TScrollInfo info;
  info.fMask = SIF_POS;
  return GetScrollInfo(Bar, info) ? info.nPos : 0;
}

bool TWinControl::ScrollBarShown(int Bar) const {
  return ValidBar(Bar) && scrollBars_ && scrollBars_->State[static_cast<std::size_t>(Bar)].Shown;
}

void TWinControl::ShowScrollBar(int Bar, bool Show) {
  if (!scrollBars_) scrollBars_ = std::make_unique<ScrollBars>();
  bool changed = false;
  for (int bar : {SB_HORZ, SB_VERT}) {
    if (Bar != bar && Bar != SB_BOTH) continue;
    TScrollBarState& state = scrollBars_->State[static_cast<std::size_t>(bar)];
    changed = changed || state.Shown != Show;
    state.Shown = Show;
  }
  if (changed) FrameChanged();
}

void TWinControl::SyncScrollBar(int Bar) {
  if (!window_ || !scrollBars_) return;
  const auto index = static_cast<std::size_t>(Bar);
  const TScrollBarState& state = scrollBars_->State[index];
  QPointer<QScrollBar>& widget = scrollBars_->Bar[index];
  if (!widget) {
    if (!state.Shown) return;
    widget = new QScrollBar(Bar == SB_VERT ? Qt::Vertical : Qt::Horizontal, window_->Widget());
    widget->setFocusPolicy(Qt::NoFocus);
    QObject::connect(widget, &QAbstractSlider::actionTriggered, widget,
                     [this, Bar](int Action) { RunGuarded([&] { ScrollAction(Bar, Action); }); });
    QObject::connect(widget, &QAbstractSlider::sliderReleased, widget,
                     [this, Bar] { RunGuarded([&] { ScrollReleased(Bar); }); });
  }
  const QSignalBlocker blocker(widget.data());
  widget->setRange(state.Min, state.MaxPos());
  widget->setPageStep(static_cast<int>(std::max<std::uint32_t>(state.Page, 1)));
  widget->setSingleStep(1);
  if (!state.Tracking) widget->setValue(state.Pos);
  widget->setEnabled(state.Enabled);
}

int ScrollCodeOfAction(int Action) {
  switch (Action) {
    case QAbstractSlider::SliderSingleStepSub: return SB_LINEUP;
    case QAbstractSlider::SliderSingleStepAdd: return SB_LINEDOWN;
    case QAbstractSlider::SliderPageStepSub: return SB_PAGEUP;
    case QAbstractSlider::SliderPageStepAdd: return SB_PAGEDOWN;
    case QAbstractSlider::SliderToMinimum: return SB_TOP;
    case QAbstractSlider::SliderToMaximum: return SB_BOTTOM;
    case QAbstractSlider::SliderMove: return SB_THUMBTRACK;
    default: return -1;
  }
}

void TWinControl::ScrollAction(int Bar, int Action) {
  const auto index = static_cast<std::size_t>(Bar);
  QPointer<QScrollBar> widget = scrollBars_->Bar[index];
  TScrollBarState& state = scrollBars_->State[index];
  const int code = ScrollCodeOfAction(Action);
  if (code < 0) return;
  if (code == SB_THUMBTRACK) {
    state.TrackPos = widget->sliderPosition();
    state.Tracking = widget->isSliderDown();
    Perform(ScrollMessage(Bar), ScrollWParam(SB_THUMBTRACK, state.TrackPos), 0);
    if (state.Tracking) return;  // the thumb follows the mouse until released
    if (!scrollBars_) return;
    state.TrackPos = state.Pos;
    Perform(ScrollMessage(Bar), ScrollWParam(SB_ENDSCROLL, 0), 0);
  } else {
    Perform(ScrollMessage(Bar), ScrollWParam(code, 0), 0);
  }
  // The bar shows what the control made of it, not Qt's own step.
  if (widget && scrollBars_) widget->setSliderPosition(scrollBars_->State[index].Pos);
}

void TWinControl::ScrollReleased(int Bar) {
  const auto index = static_cast<std::size_t>(Bar);
  TScrollBarState& state = scrollBars_->State[index];
  state.Tracking = false;
  const int track = state.TrackPos;
  Perform(ScrollMessage(Bar), ScrollWParam(SB_THUMBPOSITION, track), 0);
  Perform(ScrollMessage(Bar), ScrollWParam(SB_ENDSCROLL, 0), 0);
  if (!scrollBars_) return;
  scrollBars_->State[index].TrackPos = scrollBars_->State[index].Pos;
  SyncScrollBar(Bar);
}
