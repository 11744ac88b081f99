#pragma once
// The application object: the program's title and the error display of its
// message loop. An exception that escapes an event handler is caught here,
// mouse capture is released, and the message is shown in a modal box titled
// with the application's title and the error icon; the silent abort (EAbort)
// shows nothing. No exception may cross Qt: every handler runs through
// RunGuarded or reaches KestovaApplication::notify.

#include <QApplication>
#include <exception>
#include <string>
#include <utility>

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
