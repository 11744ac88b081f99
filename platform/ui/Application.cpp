#include "platform/ui/Application.h"

#include <QWidget>

#include "platform/core/Exceptions.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/HookChain.h"

namespace {
// The chain lives here rather than in the class: HookChain.h runs its hooks
// through RunGuarded, which this header declares.
THookChain<TApplication::TExceptionHook>& ExceptionHooks() {
  static THookChain<TApplication::TExceptionHook> hooks;
  return hooks;
}
}  // namespace

TApplication& TheApplication() {
  static TApplication application;
  return application;
}

bool TApplication::AskHooks(const std::exception& error) {
  if (askingHooks_ || ExceptionHooks().Empty()) return false;
  askingHooks_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{askingHooks_};
  return ExceptionHooks().Walk([&](const TExceptionHook& hook) {
    bool handled = false;
    hook(error, handled);
    return handled;
  });
}

std::string TApplication::ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
    return message + ".";
  return message;
}

void TApplication::ShowException(const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error)) return;
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  if (AskHooks(error)) return;
  const auto* ours = dynamic_cast<const Exception*>(&error);
  std::string message = ours ? ours->Message() : std::string(error.what());
  Dialogs().MessageBox(ErrorBoxText(message), Title(), TMsgDlgType::mtError, TMsgDlgButtons::mbOK);
}

void TApplication::HandleException() {
  try {
    throw;
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowException(Exception(kUnexpectedErrorText, kUnexpectedErrorHelpContext));
  }
}

void TApplication::AddExceptionHook(const TExceptionHook& Hook) { ExceptionHooks().Add(Hook); }
void TApplication::RemoveExceptionHook(const TExceptionHook& Hook) { ExceptionHooks().Remove(Hook); }

void TApplication::ProcessMessages() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

KestovaApplication::KestovaApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromStdString(Application->Title()));
}

bool KestovaApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    Application->HandleException();
    return false;
  }
}
