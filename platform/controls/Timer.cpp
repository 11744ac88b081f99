#include "platform/controls/Timer.h"

#include <QTimer>
#include <utility>

#include "platform/ui/Application.h"

KESTOVA_CLASS_INFO(TTimer, TComponent, "ExtCtrls", MakeComponent<TTimer>)

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), timer_(new QTimer) {
  QObject::connect(timer_, &QTimer::timeout, [this] { Tick(); });
}

TTimer::~TTimer() {
  if (freedFlag_) *freedFlag_ = true;
  timer_->stop();
  QObject::disconnect(timer_, nullptr, nullptr, nullptr);
  // A timer freed by its own handler is still delivering the tick.
  if (ticking_ > 0)
    timer_->deleteLater();
  else
    delete timer_;
}

void TTimer::SetEnabled(bool Value) {
  enabled_ = Value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
  interval_ = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& Value) {
  onTimer_ = Value;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  timer_->stop();
  if (enabled_ && interval_ > 0 && onTimer_) timer_->start(static_cast<int>(interval_));
}

void TTimer::Tick() {
  // The handler may free this timer: the destructor raises the flag, and the
  // Qt timer, still delivering the tick, is deleted later.
  bool freed = false;
  bool* outer = std::exchange(freedFlag_, &freed);
  ++ticking_;
  RunGuarded([this] { Timer(); });
  if (freed) {
    if (outer) *outer = true;
    return;
  }
  --ticking_;
  freedFlag_ = outer;
}

void TTimer::Timer() {
  if (onTimer_) onTimer_(this);
}
