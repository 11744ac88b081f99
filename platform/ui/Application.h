#pragma once
// The application object: the program's title and the error display of its
// message loop. An exception that escapes an event handler is caught here,
// mouse capture is released, and the message is shown in a modal box titled
// with the application's title and the error icon; the silent abort (EAbort)
// shows nothing. No exception may cross Qt: every handler runs through
// RunGuarded or reaches KestovaApplication::notify.
//
// Before the box, the exception-display hooks see the exception, newest
// first; a hook that sets Handled takes the exception over: no older hook and
// no box. An exception raised by a hook is shown by the box alone (the hooks
// are not asked about it), and the walk goes on.

#include <QApplication>
#include <exception>
#include <string>
#include <utility>

#include "platform/core/Events.h"

namespace Application {

const std::string& Title();
void SetTitle(std::string title);

// The text of the error box: `message` with a "." added when its last
// character sorts after "." (so "Failed" becomes "Failed." but "Done." and
// "Why?" stay).
std::string ErrorBoxText(const std::string& message);

// Shows `error` as the message loop does (nothing for EAbort).
void ShowException(const std::exception& error);
// Shows the exception being handled; call only inside a catch block.
void HandleException();

using TExceptionHook = TMethodPointer<void(const std::exception& Error, bool& Handled)>;
// Adds Hook at the front of the chain; an equal hook is not added twice.
void AddExceptionHook(const TExceptionHook& Hook);
// Removes the hook equal to Hook; nothing when there is none.
void RemoveExceptionHook(const TExceptionHook& Hook);

}  // namespace Application

// Runs f; an exception is shown by the application's error display instead of
// crossing into Qt.
template <typename F>
void RunGuarded(F&& f) {
  try {
    std::forward<F>(f)();
  } catch (...) {
    Application::HandleException();
  }
}

// QApplication whose event delivery shows escaping exceptions.
class KestovaApplication : public QApplication {
 public:
  KestovaApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};
