#pragma once
// Application hooks: process-wide chains of handlers that see events before
// or after the widgets they are meant for.
//
// The focus-changed channel tells its hooks each time the keyboard focus has
// moved to a widget of this process: after that widget had its FocusIn (the
// notice rides on QApplication::focusChanged, which Qt sends once the focus
// events were delivered). A move of the focus out of the application (Now
// nullptr) is not passed on: no widget received the focus.
//
// Hooks run newest first, on the GUI thread, each through the application's
// error display (RunGuarded), so an exception of one hook neither crosses Qt
// nor keeps the others from running. A hook may add or remove hooks while it
// runs: the walk visits the hooks that were there when the notice came, and
// passes over those removed meanwhile.
//
// The channel listens to the application only while it has a hook, and
// needs the application object (QApplication) to exist when the first hook
// is added; without one, hooks are kept but hear nothing.

#include "platform/core/Events.h"

class QWidget;

struct TFocusChange {
  QWidget* Old = nullptr;  // lost the focus; nullptr when none had it
  QWidget* Now = nullptr;  // has the focus
};

using TFocusChangedHook = TMethodPointer<void(const TFocusChange& Change)>;

// Adds Hook at the front of the chain; a hook equal (code and data) to one
// already there is not added twice.
void AddFocusChangedHook(const TFocusChangedHook& Hook);
// Removes the hook equal to Hook; nothing when there is none.
void RemoveFocusChangedHook(const TFocusChangedHook& Hook);
// True while the channel listens to the application's focus changes.
bool FocusChannelListening();

// The activation channel tells its hooks each time the application as a whole
// becomes active (one of its windows has the keyboard focus of the desktop)
// or inactive: Active is the new state. It rides on
// QGuiApplication::applicationStateChanged; the hidden and suspended states
// count as inactive, and a change between two inactive states is not passed
// on. Same rules as the focus channel: newest first, guarded, listening only
// while it has hooks.
using TActivationHook = TMethodPointer<void(bool Active)>;

void AddActivationHook(const TActivationHook& Hook);
void RemoveActivationHook(const TActivationHook& Hook);
bool ActivationChannelListening();
