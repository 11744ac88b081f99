#pragma once
// The application object, TApplication, reached through `Application`
// (Application->Title()): the program's title, the error display of its
// message loop with the exception-display hooks, and the hint settings.
//
// Error display: an exception that escapes an event handler is caught here,
// mouse capture is released, and the message is shown in a modal box titled
// with the application's title and the error icon; the silent abort (EAbort)
// shows nothing. No exception may cross Qt: every handler runs through
// RunGuarded or reaches KestovaApplication::notify.
//
// Before the box, the exception-display hooks see the exception, newest
// first; a hook that sets Handled takes the exception over: no older hook and
// no box. An exception raised by a hook is shown by the box alone (the hooks
// are not asked about it), and the walk goes on.
//
// One object for the process, made on first use; GUI thread only.

#include <QApplication>
#include <exception>
#include <string>
#include <utility>

#include "platform/core/Events.h"
#include "platform/graphics/Color.h"

class TForm;

class TApplication {
 public:
  TApplication() = default;
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  const std::string& Title() const { return title_; }
  void SetTitle(std::string Value) { title_ = std::move(Value); }

  // The text of the error box: `message` with a "." added when its last
  // character sorts after "." (so "Failed" becomes "Failed." but "Done." and
  // "Why?" stay).
  static std::string ErrorBoxText(const std::string& message);

  // Shows `error` as the message loop does (nothing for EAbort).
  void ShowException(const std::exception& error);
  // Shows the exception being handled; call only inside a catch block.
  void HandleException();

  using TExceptionHook = TMethodPointer<void(const std::exception& Error, bool& Handled)>;
  // Adds Hook at the front of the chain; an equal hook is not added twice.
  void AddExceptionHook(const TExceptionHook& Hook);
  // Removes the hook equal to Hook; nothing when there is none.
  void RemoveExceptionHook(const TExceptionHook& Hook);

  // Hints, in milliseconds: the pause before a hint shows (500), the shorter
  // pause when a hint is already showing (50), and how long one stays while
  // the mouse rests (2500); the hint window's colour (clInfoBk).
  int HintPause() const { return hintPause_; }
  void SetHintPause(int Value) { hintPause_ = Value; }
  int HintShortPause() const { return hintShortPause_; }
  void SetHintShortPause(int Value) { hintShortPause_ = Value; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int Value) { hintHidePause_ = Value; }
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor Value) { hintColor_ = Value; }

  // The program's main form; nullptr until one is set. A form freed while
  // it is the main form leaves nullptr behind.
  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* Value) { mainForm_ = Value; }

  // Delivers the events waiting in the queue, then returns.
  void ProcessMessages();

 private:
  // Asks the hooks; true when one took the exception over.
  bool AskHooks(const std::exception& error);

  std::string title_ = "Kestova";
  int hintPause_ = 500;
  int hintShortPause_ = 50;
  int hintHidePause_ = 2500;
  TColor hintColor_ = clInfoBk;
  bool askingHooks_ = false;  // a hook's own exception skips the hooks
  TForm* mainForm_ = nullptr;
};

// The process's application object, made on first use.
TApplication& TheApplication();

// `Application->X()` reaches the one application object; usable from any
// point of start-up, since it holds no state of its own.
struct TApplicationRef {
  TApplication* operator->() const { return &TheApplication(); }
  TApplication& operator*() const { return TheApplication(); }
};
inline constexpr TApplicationRef Application{};

// Runs f; an exception is shown by the application's error display instead of
// crossing into Qt.
template <typename F>
void RunGuarded(F&& f) {
  try {
    std::forward<F>(f)();
  } catch (...) {
    Application->HandleException();
  }
}

// QApplication whose event delivery shows escaping exceptions.
class KestovaApplication : public QApplication {
 public:
  KestovaApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};
