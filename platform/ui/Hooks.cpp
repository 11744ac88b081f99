#include "platform/ui/Hooks.h"

#include <QApplication>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <cassert>
#include <memory>
#include <vector>

#include "platform/ui/Application.h"

namespace {

struct FocusChannel {
  // Oldest first; each hook is held by a shared_ptr so that a walk can tell
  // a hook still listed from an equal one added again meanwhile.
  std::vector<std::shared_ptr<const TFocusChangedHook>> hooks;
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
  const auto snapshot = Channel().hooks;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    const auto& hooks = Channel().hooks;
    if (std::find(hooks.begin(), hooks.end(), *it) == hooks.end()) continue;
    RunGuarded([&] { (**it)(change); });
  }
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
  auto& hooks = Channel().hooks;
  for (const auto& hook : hooks)
    if (*hook == Hook) return;
  hooks.push_back(std::make_shared<const TFocusChangedHook>(Hook));
  Listen();
}

void RemoveFocusChangedHook(const TFocusChangedHook& Hook) {
  assert(OnGuiThread());
  auto& hooks = Channel().hooks;
  const auto it = std::find_if(hooks.begin(), hooks.end(), [&](const auto& hook) { return *hook == Hook; });
  if (it == hooks.end()) return;
  hooks.erase(it);
  if (hooks.empty()) StopListening();
}

bool FocusChannelListening() { return static_cast<bool>(Channel().connection); }
