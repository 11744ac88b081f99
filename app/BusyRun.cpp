#include "app/BusyRun.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMetaObject>
#include <exception>
#include <thread>

namespace {

bool IsUserInput(const QEvent& event) {
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

// Drops user input for as long as it is installed on the application.
class InputDropper : public QObject {
 public:
  InputDropper() { qApp->installEventFilter(this); }
  ~InputDropper() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override { return IsUserInput(*event); }
};

class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

void RunWhileBusy(const std::function<void()>& work) {
  BusyCursor cursor;
  InputDropper dropper;
  QEventLoop loop;
  std::exception_ptr error;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      error = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  // Input that reached the window system in the last moments is dropped too.
  QCoreApplication::processEvents();
  if (error) std::rethrow_exception(error);
}
