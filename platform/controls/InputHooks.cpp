#include "platform/controls/InputHooks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <cassert>

#include "platform/controls/KeyModel.h"
#include "platform/ui/HookChain.h"

namespace {

bool OnGuiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return !app || QThread::currentThread() == app->thread();
}

// What the filter last told, to recognise the same event passed on to a
// parent widget: Qt passes a key event on as the same object and a mouse
// event as a copy with the same time stamp.
struct Told {
  QEvent::Type type = QEvent::None;
  const QEvent* event = nullptr;
  quint64 timestamp = 0;
  QPointer<QWidget> receiver;

  bool PassedOn(QWidget* Receiver, const QInputEvent& Event) const {
    if (Event.type() != type || !receiver || receiver == Receiver || !Receiver->isAncestorOf(receiver)) return false;
    return &Event == event || Event.timestamp() == timestamp;
  }
};

// The decision taken for a key press at its shortcut override, used again
// when the press itself comes.
struct PendingPress {
  bool valid = false;
  int key = 0;
  Qt::KeyboardModifiers modifiers;
  bool swallow = false;
};

class InputFilter : public QObject {
 public:
  THookChain<TMouseHook> mouseHooks;
  THookChain<TKeyHook> keyHooks;

  bool eventFilter(QObject* Watched, QEvent* Event) override {
    switch (Event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove:
        return Watched->isWidgetType() && Mouse(static_cast<QWidget*>(Watched), static_cast<QMouseEvent&>(*Event));
      case QEvent::ShortcutOverride:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        return Watched->isWidgetType() && Key(static_cast<QWidget*>(Watched), static_cast<QKeyEvent&>(*Event));
      default:
        return false;
    }
  }

 private:
  Told told_;
  PendingPress pending_;

  bool FirstTelling(QWidget* Receiver, const QInputEvent& Event) {
    if (told_.PassedOn(Receiver, Event)) return false;
    told_ = {Event.type(), &Event, Event.timestamp(), Receiver};
    return true;
  }

  bool Mouse(QWidget* Receiver, QMouseEvent& Event) {
    if (mouseHooks.Empty() || !FirstTelling(Receiver, Event)) return false;
    TMouseHookEvent e;
    switch (Event.type()) {
      case QEvent::MouseButtonPress:
        e.Kind = TMouseHookKind::Press;
        break;
      case QEvent::MouseButtonDblClick:
        e.Kind = TMouseHookKind::DoubleClick;
        break;
      case QEvent::MouseButtonRelease:
        e.Kind = TMouseHookKind::Release;
        break;
      default:
        e.Kind = TMouseHookKind::Move;
        break;
    }
    e.Button = Event.button();
    e.Global = Event.globalPosition().toPoint();
    e.Target = Receiver;
    return Swallowed(mouseHooks.Walk([&](const TMouseHook& hook) {
      bool swallow = false;
      hook(e, swallow);
      return swallow;
    }),
                     Event);
  }

  bool Key(QWidget* Receiver, QKeyEvent& Event) {
    if (keyHooks.Empty()) return false;
    const bool press = Event.type() != QEvent::KeyRelease;
    if (Event.type() == QEvent::KeyPress && pending_.valid && pending_.key == Event.key() &&
        pending_.modifiers == Event.modifiers()) {
      // Told at its shortcut override already; its passing on to the parents
      // is recognised as the same event.
      told_ = {Event.type(), &Event, Event.timestamp(), Receiver};
      pending_.valid = false;
      return Swallowed(pending_.swallow, Event);
    }
    if (!FirstTelling(Receiver, Event)) return false;
    if (!press) pending_.valid = false;

    bool swallow = false;
    std::vector<TKeyMessage> messages;
    // The override carries the press's key; TranslateKey reads a press.
    QKeyEvent asPress(press ? QEvent::KeyPress : QEvent::KeyRelease, Event.key(), Event.modifiers(),
                      Event.nativeScanCode(), Event.nativeVirtualKey(), Event.nativeModifiers(), Event.text(),
                      Event.isAutoRepeat(), Event.count());
    messages = TranslateKey(asPress);
    if (!messages.empty()) {
      TKeyHookEvent e;
      e.Msg = messages.front().Msg;
      e.VK = static_cast<std::uint16_t>(messages.front().WParam);
      e.KeyData = messages.front().LParam;
      e.Target = Receiver;
      swallow = keyHooks.Walk([&](const TKeyHook& hook) {
        bool s = false;
        hook(e, s);
        return s;
      });
    }
    if (Event.type() == QEvent::ShortcutOverride) pending_ = {true, Event.key(), Event.modifiers(), swallow};
    return Swallowed(swallow, Event);
  }

  static bool Swallowed(bool Swallow, QEvent& Event) {
    // Accepted, so that Qt neither passes it on to the parents nor runs a
    // shortcut for it.
    if (Swallow) Event.accept();
    return Swallow;
  }
};

struct FilterState {
  QPointer<InputFilter> filter;  // made once, goes with the application
  bool installed = false;
};

FilterState& State() {
  static FilterState state;
  return state;
}

InputFilter* Filter() { return State().filter; }

InputFilter* Installed() {
  FilterState& state = State();
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return nullptr;
  if (!state.filter) {
    state.filter = new InputFilter;
    state.filter->setParent(app);
  }
  if (!state.installed) app->installEventFilter(state.filter);
  state.installed = true;
  return state.filter;
}

void UninstallWhenIdle() {
  FilterState& state = State();
  InputFilter* filter = state.filter;
  if (!filter || !filter->mouseHooks.Empty() || !filter->keyHooks.Empty() || !state.installed) return;
  // Taken off the application but kept: a hook may remove the last hook in
  // the middle of the filter's walk (even from a nested event loop).
  QCoreApplication::instance()->removeEventFilter(filter);
  state.installed = false;
}

}  // namespace

void AddMouseHook(const TMouseHook& Hook) {
  assert(OnGuiThread());
  if (InputFilter* filter = Installed()) filter->mouseHooks.Add(Hook);
}

void RemoveMouseHook(const TMouseHook& Hook) {
  assert(OnGuiThread());
  if (InputFilter* filter = Filter()) filter->mouseHooks.Remove(Hook);
  UninstallWhenIdle();
}

void AddKeyHook(const TKeyHook& Hook) {
  assert(OnGuiThread());
  if (InputFilter* filter = Installed()) filter->keyHooks.Add(Hook);
}

void RemoveKeyHook(const TKeyHook& Hook) {
  assert(OnGuiThread());
  if (InputFilter* filter = Filter()) filter->keyHooks.Remove(Hook);
  UninstallWhenIdle();
}

bool InputHooksListening() { return State().installed; }
