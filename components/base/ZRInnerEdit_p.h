#pragma once
// What the frameless inner edits (the simple and the mask edit) share: the
// edit messages the edit with buttons sends them, answered on a
// TCustomEdit's window, and the select-all of keyboard entry.

#include "platform/controls/EditCtrls.h"

class TControlWindowBase;

namespace ZRInnerEdit {

// The window without its own frame (the edit with buttons draws one).
void MakeFrameless(TControlWindowBase* Window);
void SetSel(TCustomEdit& Edit, TMessage& Message);
void GetModify(TCustomEdit& Edit, TMessage& Message);
void SetModify(TCustomEdit& Edit, TMessage& Message);
void SetReadOnly(TCustomEdit& Edit, TMessage& Message);
void SetRectNP(TCustomEdit& Edit, TMessage& Message);
// Notes a left press or release in LeftButtonDown.
void TrackLeftButton(const TMessage& Message, bool& LeftButtonDown);
// CM_ENTER: focus by the keyboard selects all; a click places the caret.
void SelectAllUnlessClicked(TCustomEdit& Edit, bool LeftButtonDown);

}  // namespace ZRInnerEdit
