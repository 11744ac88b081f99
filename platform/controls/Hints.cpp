// The application's hints over the mouse hook chain.

#include "platform/controls/Hints.h"

#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

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
    // A hint shown over its part (a clipped caption) lies under the mouse:
    // that is no move away from the part.
    if (Event.Target && window_ && window_->HandleAllocated() && Event.Target->window() == window_->Handle()->window())
      return;
    at_ = Event.Global;
    THintInfo own;
    own.CursorPos = Event.Global;
    TControl* control = Event.Target ? OwnHintAt(Event.Target, own) : nullptr;
    const bool isOwn = control != nullptr;
    if (!control && Event.Target) control = HintControlAt(Event.Target, Event.Target->mapFromGlobal(Event.Global));
    if (control == control_ && isOwn == own_.has_value() && (!isOwn || own.CursorRect == own_->CursorRect)) return;
    own_.reset();
    if (isOwn) own_ = own;
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
      own_.reset();
      pause_.stop();
      Hide();
    }
  }

  std::unique_ptr<THintWindow> window_;

 private:
  void Show() {
    if (!control_) return;
    const std::string text = own_ ? own_->HintStr : HintTextOf(control_);
    if (!window_) window_ = std::make_unique<THintWindow>(nullptr);
    TCanvas& canvas = window_->MeasureCanvas();
    const int w = static_cast<int>(canvas.TextWidth(text)) + 6 + 2 * THintWindow::FrameWidth;
    const int h = static_cast<int>(canvas.TextHeight(text)) + 2 + 2 * THintWindow::FrameWidth;
    const int x = own_ ? own_->HintPos.x() : at_.x(), y = own_ ? own_->HintPos.y() : at_.y() + kBelowCursor;
    window_->ActivateHint({x, y, x + w, y + h}, text);
    hide_.start(Application->HintHidePause());
  }

  // The window control under the mouse when it has a hint of its own there.
  static TControl* OwnHintAt(QWidget* Widget, THintInfo& Info) {
    TWinControl* win = ControlOfWidget(Widget);
    if (!win || win->Perform(CM_HINTSHOW, 0, reinterpret_cast<std::intptr_t>(&Info)) == 0 || Info.HintStr.empty())
      return nullptr;
    return win;
  }

  static std::string HintTextOf(TControl* Control) {
    for (TControl* c = Control; c; c = c->Parent())
      if (!c->Hint().empty()) return c->Hint();
    return {};
  }

  TControl* control_ = nullptr;
  std::optional<THintInfo> own_;  // the control's own hint being waited for or shown
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
