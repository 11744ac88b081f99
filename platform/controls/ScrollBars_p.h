#pragma once
// The scroll-bar state a window control keeps (ScrollBars.cpp).

#include <QPointer>
#include <QScrollBar>
#include <array>

#include "platform/controls/Controls.h"
#include "platform/controls/ScrollBars.h"

struct TWinControl::ScrollBars {
  std::array<TScrollBarState, 2> State;
  std::array<QPointer<QScrollBar>, 2> Bar;  // children of the window, gone with it
};

// The scroll code of a Qt slider action (SliderMove: SB_THUMBTRACK); -1 for
// an action that does not scroll.
int ScrollCodeOfAction(int Action);
