#pragma once
// The mouse and keyboard channels of the application hooks: chains of
// handlers that see each mouse and key event of the program's widgets before
// the widget does, and may swallow it.
//
// One application event filter serves both channels; it is installed while
// either has a hook. QApplication must exist when a hook is added; without
// one the hook is not kept. Each event is told once,
// for the widget Qt delivers it to first: its passing on to the parent
// widgets (when a widget ignores it) is not told again. A key press is told
// where Qt first offers it, at the shortcut override, so hooks run before the
// control's CN_KEYDOWN and before shortcuts; a swallowed press reaches
// neither the widget nor a shortcut.
//
// Hooks run newest first, each through the error display (RunGuarded). A hook
// that sets Swallow ends the walk: older hooks and the widget do not see the
// event. A hook that raises swallows nothing. Hooks may add or remove hooks
// while they run (see HookChain.h). GUI thread only.

#include <QPoint>
#include <cstdint>

#include "platform/classes/Messages.h"
#include "platform/core/Events.h"

class QWidget;

enum class TMouseHookKind { Press, DoubleClick, Release, Move };

struct TMouseHookEvent {
  TMouseHookKind Kind = TMouseHookKind::Move;
  Qt::MouseButton Button = Qt::NoButton;  // NoButton for a move
  QPoint Global;                          // screen position of the pointer
  QWidget* Target = nullptr;              // the widget the event is for
};

struct TKeyHookEvent {
  TMessageNumber Msg = 0;     // WM_KEYDOWN, WM_SYSKEYDOWN, WM_KEYUP or WM_SYSKEYUP
  std::uint16_t VK = 0;       // the virtual key (VK_PACKET for a typed key without one)
  std::intptr_t KeyData = 0;  // as the key messages' LParam (shift state included)
  QWidget* Target = nullptr;  // the widget with the focus
};

using TMouseHook = TMethodPointer<void(const TMouseHookEvent& Event, bool& Swallow)>;
using TKeyHook = TMethodPointer<void(const TKeyHookEvent& Event, bool& Swallow)>;

// Add at the front of the chain (an equal hook is not added twice); Remove
// takes the equal hook out (nothing when there is none).
void AddMouseHook(const TMouseHook& Hook);
void RemoveMouseHook(const TMouseHook& Hook);
void AddKeyHook(const TKeyHook& Hook);
void RemoveKeyHook(const TKeyHook& Hook);

// True while the application event filter is installed.
bool InputHooksListening();
