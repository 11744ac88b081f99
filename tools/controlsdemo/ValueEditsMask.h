#pragma once
// The mask and check edits of the "value edits" page.

class TWinControl;

// Adds to Page, from Top down: a label and an edit with buttons whose inner
// edit is a mask edit with the phone-number mask, then an edit with a check
// box and the caption "Check edit with a caption". The edits are named
// "phone" and "check".
void AddMaskAndCheckEdits(TWinControl* Page, int Top);
