#pragma once
// Waiting for long work without leaving the user's input for later.
//
// RunWhileBusy(work) runs `work` on a worker thread and waits for it in a
// local event loop, so that the window keeps painting. Meanwhile the mouse
// pointer is the busy cursor, and every mouse click, key press, wheel turn and
// close request is dropped: nothing the user did while waiting acts once the
// work is done (a second click on the button that started it starts nothing).
// An exception of `work` reaches the caller after the wait. Call it on the GUI
// thread only; `work` must not touch widgets.

#include <functional>

void RunWhileBusy(const std::function<void()>& work);
