#include "platform/ui/Hooks.h"

#include <QApplication>
#include <QThread>
#include <QWidget>
#include <cassert>

#include "platform/ui/Application.h"
#include "platform/ui/HookChain.h"

namespace {

struct FocusChannel {
  THookChain<TFocusChangedHook> hooks;
  QMetaObject::Connection connection;
};

FocusChannel& Channel() {
  static FocusChannel channel;
  return channel;
}

bool OnGuiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return !app || QThread::currentThread() == app->thread();
}

void Deliver(QWidget* Old, QWidget* Now) {
  if (!Now) return;
  const TFocusChange change{Old, Now};
  Channel().hooks.Walk([&](const TFocusChangedHook& hook) {
    hook(change);
    return false;
  });
}

void Listen() {
  FocusChannel& channel = Channel();
  if (channel.connection) return;
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!app) return;
  channel.connection = QObject::connect(app, &QApplication::focusChanged, &Deliver);
}

void StopListening() {
  FocusChannel& channel = Channel();
  if (channel.connection) QObject::disconnect(channel.connection);
  channel.connection = {};
}

}  // namespace

void AddFocusChangedHook(const TFocusChangedHook& Hook) {
  assert(OnGuiThread());
  if (Channel().hooks.Add(Hook)) Listen();
}

void RemoveFocusChangedHook(const TFocusChangedHook& Hook) {
  assert(OnGuiThread());
  if (Channel().hooks.Remove(Hook) && Channel().hooks.Empty()) StopListening();
}

bool FocusChannelListening() { return static_cast<bool>(Channel().connection); }

namespace {

struct ActivationChannel {
  THookChain<TActivationHook> hooks;
  QMetaObject::Connection connection;
  bool active = false;
};

ActivationChannel& Activation() {
  static ActivationChannel channel;
  return channel;
}

void DeliverActivation(Qt::ApplicationState State) {
  const bool active = State == Qt::ApplicationActive;
  if (active == Activation().active) return;
  Activation().active = active;
  Activation().hooks.Walk([&](const TActivationHook& hook) {
    hook(active);
    return false;
  });
}

}  // namespace

void AddActivationHook(const TActivationHook& Hook) {
  assert(OnGuiThread());
  ActivationChannel& channel = Activation();
  if (!channel.hooks.Add(Hook) || channel.connection) return;
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!app) return;
  channel.active = QGuiApplication::applicationState() == Qt::ApplicationActive;
  channel.connection = QObject::connect(app, &QGuiApplication::applicationStateChanged, &DeliverActivation);
}

void RemoveActivationHook(const TActivationHook& Hook) {
  assert(OnGuiThread());
  ActivationChannel& channel = Activation();
  if (!channel.hooks.Remove(Hook) || !channel.hooks.Empty()) return;
  if (channel.connection) QObject::disconnect(channel.connection);
  channel.connection = {};
}

bool ActivationChannelListening() { return static_cast<bool>(Activation().connection); }
