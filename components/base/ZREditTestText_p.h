#pragma once
// For the tests of the edit with buttons' inner edits and pop-ups: a
// control's text through the text messages, as the edit exchanges it.

#include <cstdint>
#include <string>

#include "platform/controls/Controls.h"

inline std::string TextOf(TControl& Control) {
  std::string text;
  Control.Perform(WM_GETTEXT, 0, reinterpret_cast<std::intptr_t>(&text));
  return text;
}

inline void SetTextOf(TControl& Control, const std::string& Text) {
  Control.Perform(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(&Text));
}
