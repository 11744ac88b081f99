#pragma once
// The keyboard as the family's controls ask about it: which modifiers are
// held now, as the key model last saw them (platform/controls/KeyModel.h).

#include "platform/controls/KeyModel.h"

// True while Alt is held.
bool IsAltDown();
// Shift and Ctrl as held now, and Alt from IsAltDown; no mouse buttons.
TShiftState GetShiftState();
