// The application's hints over the mouse hook chain.

#include "platform/controls/Hints.h"

#include <QTimer>
#include <QWidget>
#include <memory>

#include "platform/controls/ControlWindow.h"
#include "platform/controls/Controls.h"
#include "platform/controls/HintWindow.h"
#include "platform/controls/InputHooks.h"
#include "platform/graphics/Canvas.h"
#include "platform/ui/Application.h"

namespace {

// How far below the mouse's hot spot the hint's top edge sits: below the
// arrow's tip.
constexpr int kBelowCursor = 20;

class HintShower : public TComponent {
 public:
  HintShower() : TComponent(nullptr) {
    pause_.setSingleShot(true);
    hide_.setSingleShot(true);
    QObject::connect(&pause_, &QTimer::timeout, [this] { RunGuarded([this] { Show(); }); });
    QObject::connect(&hide_, &QTimer::timeout, [this] { Hide(); });
  }

  void Mouse(const TMouseHookEvent& Event, bool&) {
    if (Event.Kind != TMouseHookKind::Move) {
      Hide();
      pause_.stop();
      return;
    }
    TControl* control =
        Event.Target ? HintControlAt(Event.Target, Event.Target->mapFromGlobal(Event.Global)) : nullptr;
    at_ = Event.Global;
    if (control == control_) return;
    const bool wasShowing = window_ && window_->IsHintVisible();
    Hide();
    if (control_) control_->RemoveFreeNotification(this);
    control_ = control;
    if (control_) control_->FreeNotification(this);
    pause_.stop();
    if (!control) return;
    pause_.start(wasShowing ? Application->HintShortPause() : Application->HintPause());
  }

  void Hide() {
    hide_.stop();
    if (window_) window_->ReleaseHint();
  }

  // A freed control shows no hint.
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == control_) {
      control_ = nullptr;
      pause_.stop();
      Hide();
    }
  }

  std::unique_ptr<THintWindow> window_;

 private:
  void Show() {
    if (!control_) return;
    const std::string text = HintTextOf(control_);
    if (!window_) window_ = std::make_unique<THintWindow>(nullptr);
    TCanvas& canvas = window_->MeasureCanvas();
    const int w = static_cast<int>(canvas.TextWidth(text)) + 6 + 2 * THintWindow::FrameWidth;
    const int h = static_cast<int>(canvas.TextHeight(text)) + 2 + 2 * THintWindow::FrameWidth;
    const int x = at_.x(), y = at_.y() + kBelowCursor;
    window_->ActivateHint({x, y, x + w, y + h}, text);
    hide_.start(Application->HintHidePause());
  }

  static std::string HintTextOf(TControl* Control) {
    for (TControl* c = Control; c; c = c->Parent())
      if (!c->Hint().empty()) return c->Hint();
    return {};
  }

  TControl* control_ = nullptr;
  QPoint at_;
  QTimer pause_, hide_;
};

HintShower& Shower() {
  static HintShower* shower = new HintShower;  // lives as long as the process
  return *shower;
}

}  // namespace

void ListenForHints() {
  static const bool added = [] {
    AddMouseHook(TMouseHook::Of<&HintShower::Mouse>(Shower()));
    return true;
  }();
  (void)added;
}

TControl* HintControlAt(QWidget* Widget, QPoint Local) {
  TWinControl* win = ControlOfWidget(Widget);
  if (!win) return nullptr;
  QPoint p = Local;
  if (win->HandleAllocated() && win->Handle() != Widget) p = Widget->mapTo(win->Handle(), Local);
  // Children are placed from the client corner, inside any border and bars.
  const Point o = win->ClientOffset();
  p -= QPoint(static_cast<int>(o.x), static_cast<int>(o.y));
  TControl* control = win;
  if (TControl* child = win->ControlAtPos(p.x(), p.y())) control = child;
  for (TControl* c = control; c; c = c->Parent())
    if (!c->Hint().empty()) return c->ShowHint() ? c : nullptr;
  return nullptr;
}

THintWindow* ApplicationHintWindow() { return Shower().window_.get(); }

void CancelHint() { Shower().Hide(); }
