// The display mode, read on the GUI thread, the only one that may ask the
// windowing system. Another thread asks it through its event queue and waits
// at most 100 ms, since the GUI thread may be the one that faulted.
#include <QGuiApplication>
#include <QMetaObject>
#include <QScreen>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "crashreport/zorExceptSysInfo.h"

namespace zor {

namespace {

std::string PrimaryScreenMode() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  return DisplayModeText(screen->size().width(), screen->size().height(), screen->depth());
}

// Outlives a caller that gave up waiting.
struct Answer {
  std::mutex mutex;
  std::condition_variable done;
  bool ready = false;
  std::string text;
};

}  // namespace

std::string DisplayModeOnGuiThread() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!app) return {};
  if (QThread::currentThread() == app->thread()) return PrimaryScreenMode();
  auto answer = std::make_shared<Answer>();
  QMetaObject::invokeMethod(
      app,
      [answer] {
        std::string text = PrimaryScreenMode();
        std::lock_guard lock(answer->mutex);
        answer->text = std::move(text);
        answer->ready = true;
        answer->done.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock lock(answer->mutex);
  if (!answer->done.wait_for(lock, std::chrono::milliseconds(100), [&] { return answer->ready; })) return {};
  return answer->text;
}

}  // namespace zor
