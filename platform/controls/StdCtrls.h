#pragma once
// The standard controls over Qt widgets: TButton (a push button),
// TCheckBox, TRadioButton, and the windowless TLabel.
//
// A button control keeps its Caption and state itself and puts them on its
// window whenever one is made, so they survive RecreateWnd. Clicking it (or
// Space on it) runs Click, which fires OnClick; a handler's exception goes
// to the application's error display.
//
// Captions mark the access key with "&" ("&&" is one "&").

#include <cstdint>
#include <string>

#include "platform/controls/CustomControl.h"
#include "platform/core/Events.h"

class TCanvas;
struct TTypeInfo;

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
// The state of a check box: cbGrayed is the third, undecided one.
enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };

namespace TypeInfos {
const TTypeInfo* TAlignment();
}

// Draws Caption on one line in Rect, placed as Alignment says horizontally
// and centred vertically, in the canvas's font: in TextColor, or engraved in
// clBtnHighlight and clBtnShadow when not Enabled.
void DrawControlCaption(TCanvas& Canvas, const std::string& Caption, Rect ARect, TAlignment Alignment, TColor TextColor,
                        bool Enabled);

class TButtonControl : public TWinControl {
  KESTOVA_CLASS(TButtonControl)
 public:
  explicit TButtonControl(TComponent* AOwner);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  TNotifyEvent OnClick;
  // Fires OnClick.
  virtual void Click();

 protected:
  void CreateWnd() override;

 private:
  std::string caption_;
};

class TButton : public TButtonControl {
  KESTOVA_CLASS(TButton)
 public:
  explicit TButton(TComponent* AOwner);
  // Kept for the form: the default button answers Enter, the cancel button
  // Esc, and a button's ModalResult is the form's answer when clicked.
  bool Default() const { return default_; }
  void SetDefault(bool Value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool Value) { cancel_ = Value; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int Value) { modalResult_ = Value; }
  // A ModalResult other than mrNone becomes the parent form's, then
  // OnClick runs.
  void Click() override;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
  void CreateWnd() override;

 private:
  bool default_ = false;
  bool cancel_ = false;
  int modalResult_ = 0;
};

// A check box or radio button: Checked is kept by the control. A change of
// Checked, by the user or by code, runs Click once.
class TCheckControl : public TButtonControl {
  KESTOVA_CLASS(TCheckControl)
 public:
  explicit TCheckControl(TComponent* AOwner);
  bool Checked() const { return checked_; }
  virtual void SetChecked(bool Value);

 protected:
  void CreateWnd() override;
  // Wires the window's clicks to UserClicked (each window made).
  void WireClicks(QWidget* Window);
  // The user clicked the window, which now shows Checked; the base takes it.
  virtual void UserClicked(bool Checked) { SetChecked(Checked); }

 private:
  bool checked_ = false;
};

class TCheckBox : public TCheckControl {
  KESTOVA_CLASS(TCheckBox)
 public:
  explicit TCheckBox(TComponent* AOwner);

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
};

// Checking a radio button unchecks the other radio buttons of its parent;
// clicking a checked one leaves it checked.
class TRadioButton : public TCheckControl {
  KESTOVA_CLASS(TRadioButton)
 public:
  explicit TRadioButton(TComponent* AOwner);
  void SetChecked(bool Value) override;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
  void UserClicked(bool) override { SetChecked(true); }
};

// Text without a window, painted by its parent. Transparent leaves the
// parent's painting under the text; otherwise the label fills its bounds
// with Color (its parent's, while ParentColor).
class TLabel : public TGraphicControl {
  KESTOVA_CLASS(TLabel)
 public:
  explicit TLabel(TComponent* AOwner);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);

 protected:
  void Paint() override;

 private:
  std::string caption_;
  TAlignment alignment_ = taLeftJustify;
  bool transparent_ = false;
};
