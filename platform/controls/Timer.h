#pragma once
// TTimer: a component that fires OnTimer every Interval milliseconds while it
// is Enabled, has an Interval above 0 and has an OnTimer handler.
//
// Each tick runs through the application's error display (RunGuarded): an
// exception of the handler is shown and the timer goes on. A handler may
// stop the timer or free it. Single GUI thread.

#include <memory>

#include "platform/classes/Component.h"
#include "platform/core/Events.h"

class QTimer;

class TTimer : public TComponent {
  KESTOVA_CLASS(TTimer)
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  // Milliseconds; 0 stops the timer. 1000 at first.
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned Value);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(const TNotifyEvent& Value);

 protected:
  // Fires OnTimer.
  virtual void Timer();

 private:
  // Starts or stops the Qt timer as the three settings say.
  void UpdateTimer();
  void Tick();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  TNotifyEvent onTimer_;
  QTimer* timer_;  // owned; deleted later when freed during a tick
  int ticking_ = 0;
  bool* freedFlag_ = nullptr;  // set while a tick runs
};
