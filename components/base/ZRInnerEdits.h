#pragma once
// Two inner edits for the edit with buttons (ZREdit.h): TZRMaskEdit, a
// frameless masked edit (the class library's mask engine, MaskEdit.h), and
// TCheckEdit, a Boolean value shown as a check box with the owning edit's
// caption beside it, exchanged as the text "True" or "False".
//
// GUI thread only.

#include <cstdint>
#include <string>

#include "platform/controls/CustomControl.h"
#include "platform/controls/MaskEdit.h"
#include "platform/core/Events.h"
#include "platform/graphics/DrawEdge.h"

class TCanvas;

// A frameless masked edit. Tab into it selects all; a click places the
// caret. Answers the edit messages of the edit with buttons; its text in
// WM_GETTEXT and WM_SETTEXT is the mask edit's value (Text), so that the
// edit source gets the value as the mask defines it.
class TZRMaskEdit : public TCustomMaskEdit {
  KESTOVA_CLASS(TZRMaskEdit)
 public:
  explicit TZRMaskEdit(TComponent* AOwner);
  void WndProc(TMessage& Message) override;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;

 private:
  friend void DescribeTZRMaskEdit(TClassInfo& Info);
  void WMGetText(TMessage& Message);
  void WMGetTextLength(TMessage& Message);
  void WMSetText(TMessage& Message);
  void EMSetSel(TMessage& Message);
  void EMGetModify(TMessage& Message);
  void EMSetModify(TMessage& Message);
  void EMSetReadOnly(TMessage& Message);
  void EMSetRectNP(TMessage& Message);
  void CMEnter(TMessage& Message);
  bool leftButtonDown_ = false;
};

// A check box for a Boolean value. Its text is "True" when IsChecked
// differs from Inverted, else "False"; a text whose first character is T,
// t, Y or y sets the value True, any other text (the empty one too) False.
// Space and a click on the box toggle it (Toggle); inside a read-only edit
// with buttons nothing toggles. The box is GetCheckBoxHeight() square
// (FullHeightBox: the control's height), centred vertically, drawn with
// DrawFrameControl.
class TCheckEdit : public TCustomControl {
  KESTOVA_CLASS(TCheckEdit)
 public:
  explicit TCheckEdit(TComponent* AOwner);

  // Set by a toggle from the keys or the mouse, cleared by a value set as
  // text; the answer to EM_GETMODIFY.
  bool ChangedByUser = false;
  // For descendants: a flat box (DFCS_FLAT), a box as high as the control,
  // the text value negated, a click anywhere toggling.
  bool FlatBox = false;
  bool FullHeightBox = false;
  bool Inverted = false;
  bool IsChecked = false;
  bool WholeAreaClicks = false;

  // "True" or "False".
  std::string ValueText() const;
  // Extra DrawFrameControl state flags of the box.
  virtual std::uint32_t CheckStyleFlags() { return DFCS_BUTTONCHECK; }
  // Flips the box, unless the owning edit is read-only; the owner then
  // hears Change and commits at once (ApplyText).
  void Toggle();
  // The control as it looks, drawn off-screen and copied to Canvas with its
  // top-left corner at (X, Y). The ground is Canvas's brush.
  void PaintTo(TCanvas& Canvas, int X, int Y);
  // Takes the focus, toggles when the mouse cursor stands on the box (the
  // square (0, 0)-(Height + 2, Height + 2)) or WholeAreaClicks, then fires
  // OnClick.
  void Click();
  // Focuses and repaints.
  void SetFocus();
  TNotifyEvent OnClick;

 protected:
  void Paint() override;
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  friend void DescribeTCheckEdit(TClassInfo& Info);
  void ClickAt(Point P);
  void WMSetText(TMessage& Message);
  void WMGetText(TMessage& Message);
  void WMGetTextLength(TMessage& Message);
  void EMGetModify(TMessage& Message);
  void ZRMPaintTo(TMessage& Message);
};

// Registers the two as edit classes (TZRMaskEdit for String with the
// qualifier " ", TCheckEdit for Boolean) with the rest of the edit classes:
// RegisterZREditClasses.
void RegisterMaskAndCheckEditClasses();
