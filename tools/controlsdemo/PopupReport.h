#pragma once
// What the pages with edits print for their check scripts: where a control
// is and where the process's open pop-up is.

#include <string>

class TWinControl;

// Prints "WHAT: x y w h": the control's place on the screen and its size.
void PrintPlace(const std::string& What, TWinControl* Control);
// Prints "edit NAME: ..." for each edit with buttons on Page, then, every
// 100 ms while Page's window lives, "popup: ..." when a pop-up opens and
// "popup closed" when it closes.
void StartPopupReport(TWinControl* Page);
