#include "platform/ui/Application.h"

#include <QWidget>

#include "platform/core/Exceptions.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/HookChain.h"

namespace Application {

namespace {
std::string& TitleStore() {
  static std::string title = "Kestova";
  return title;
}

THookChain<TExceptionHook>& ExceptionHooks() {
  static THookChain<TExceptionHook> hooks;
  return hooks;
}

// True while the hooks are asked, so that a hook's own exception goes to the
// box without asking them again.
bool askingHooks = false;

bool AskHooks(const std::exception& error) {
  if (askingHooks || ExceptionHooks().Empty()) return false;
  askingHooks = true;
  struct Reset {
    ~Reset() { askingHooks = false; }
  } reset;
  return ExceptionHooks().Walk([&](const TExceptionHook& hook) {
    bool handled = false;
    hook(error, handled);
    return handled;
  });
}
}  // namespace

const std::string& Title() { return TitleStore(); }
void SetTitle(std::string title) { TitleStore() = std::move(title); }

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
    return message + ".";
  return message;
}

void ShowException(const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error)) return;
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  if (AskHooks(error)) return;
  const auto* ours = dynamic_cast<const Exception*>(&error);
  std::string message = ours ? ours->Message() : std::string(error.what());
  Dialogs().MessageBox(ErrorBoxText(message), Title(), TMsgDlgType::mtError, TMsgDlgButtons::mbOK);
}

void HandleException() {
  try {
    throw;
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowException(Exception(kUnexpectedErrorText, kUnexpectedErrorHelpContext));
  }
}

void AddExceptionHook(const TExceptionHook& Hook) { ExceptionHooks().Add(Hook); }
void RemoveExceptionHook(const TExceptionHook& Hook) { ExceptionHooks().Remove(Hook); }

}  // namespace Application

KestovaApplication::KestovaApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromStdString(Application::Title()));
}

bool KestovaApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    Application::HandleException();
    return false;
  }
}
