#pragma once
// The edit with buttons: TCustomZREdit hosts an inner edit (any registered
// edit class, by default TZRSimpleEdit), up to two small buttons at its
// right edge, a pop-up (any registered pop-up class, by default
// TPopupListBox) and an edit source that the text is committed to.
//
// The inner edit is subclassed through its WindowProc: EditWndProc sees each
// of its messages first, routes keys to the open pop-up, opens the pop-up on
// Alt+Down, and commits the text on Enter and when the focus leaves. An
// exception inside EditWndProc goes to the application's error display and
// no further.
//
// Text between the edit, its inner edit and its pop-up travels as
// std::string of any length (WM_GETTEXT / WM_SETTEXT, Messages.h).
//
// While a pop-up is open ("dropped") the process has one active pop-up and
// one active edit; a hook on the application's mouse chain closes the
// pop-up on a click outside it and its edit (the edit's button area
// included), one on the activation chain closes it when the application is
// deactivated, and timer 1 of the edit ticks every 20 ms. Timer 1 also
// serves the 10 ms hover tick of the flat look.
//
// "While an exception is being handled" is std::current_exception() being
// set: ApplyText does nothing then, so a focus move caused by the error box
// commits nothing again.
//
// GUI thread only.

#include <cstdint>
#include <memory>
#include <string>

#include "components/base/PackagedCollection.h"
#include "platform/controls/CustomControl.h"
#include "platform/controls/EditCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/Screen.h"

class TCustomZREdit;
class TPopupListBox;
struct TTypeInfo;

enum TButtonKind : std::uint8_t { bkCustom, bkDropDown, bkDots };
namespace TypeInfos {
const TTypeInfo* TButtonKind();
}

// The two shared glyphs (resources "ZREDIT_DROPDOWN" and "ZREDIT_DOTS",
// magenta transparent), loaded on first use; FreeZREditGlyphs frees them.
const TBitmap& DropDownGlyph();
const TBitmap& DotsGlyph();
void FreeZREditGlyphs();

// A speed button owned and parented by its edit; GetSystemMetrics
// (SM_CXHTHUMB) wide. Clicking it focuses the edit; a button without an
// OnClick handler then toggles the pop-up.
class TEditButton : public TSpeedButton {
  KESTOVA_CLASS(TEditButton)
 public:
  explicit TEditButton(TComponent* AOwner);
  void Click() override;
  // The glyph drawn centred (magenta transparent); empty: none.
  TBitmap* Glyph() const { return glyph_.get(); }
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int Value);
  TNotifyEvent OnGlyphChanged;

 protected:
  void Paint() override;

 private:
  void PaintGlyph();
  void PaintEdges(const TCustomZREdit& Edit);
  void GlyphChange(TObject* Sender);
  std::unique_ptr<TBitmap> glyph_;
  int numGlyphs_ = 1;
};

// The face of one button of the edit. Published: Width, Cursor, Kind,
// Glyph (stored as "Glyph.Data", only for bkCustom), Hint, NumGlyphs,
// ParentShowHint, ShowHint, Visible; Glyph, Hint, NumGlyphs, ShowHint,
// ParentShowHint and Visible are the button's own.
class TButtonParams : public TPersistent {
  KESTOVA_CLASS(TButtonParams)
 public:
  explicit TButtonParams(TEditButton* ATarget);
  void DefineProperties(TFiler* Filer) override;

  // 0: automatic (the glyph's width + 4 for a custom glyph, SM_CXHTHUMB
  // otherwise).
  int Width() const { return width_; }
  void SetWidth(int Value);
  // Shown over the button (the edit's WM_SETCURSOR).
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor Value) { cursor_ = Value; }
  const std::string& Hint() const { return target_->Hint(); }
  void SetHint(const std::string& Value) { target_->SetHint(Value); }
  bool ShowHint() const { return target_->ShowHint(); }
  void SetShowHint(bool Value) { target_->SetShowHint(Value); }
  bool ParentShowHint() const { return target_->ParentShowHint(); }
  void SetParentShowHint(bool Value) { target_->SetParentShowHint(Value); }
  TButtonKind Kind() const { return kind_; }
  // bkDropDown and bkDots put the shared glyph on the button, with one glyph.
  void SetKind(TButtonKind Value);
  // Makes the kind bkCustom.
  void SetGlyph(const TBitmap* Value);
  TBitmap* Glyph() const { return target_->Glyph(); }
  int NumGlyphs() const { return target_->NumGlyphs(); }
  void SetNumGlyphs(int Value);
  bool Visible() const { return target_->Visible(); }
  // Also sets the edit's ButtonCount to the visible buttons.
  void SetVisible(bool Value);
  TEditButton* Target() const { return target_; }
  TNotifyEvent OnChanged;

 private:
  friend void DescribeTButtonParams(TClassInfo& Info);
  void GlyphChanged(TObject* Sender);
  bool ShowHintStored() const { return !ParentShowHint(); }
  void ReadGlyph(TStream& Stream);
  void WriteGlyph(TStream& Stream);
  int width_ = 0;
  TCursor cursor_ = 0;
  TEditButton* target_;
  TButtonKind kind_ = bkCustom;
};

// Stands for "no pop-up": DropDown does nothing while it is the pop-up.
class TDummyPopup : public TWinControl {
  KESTOVA_CLASS(TDummyPopup)
 public:
  using TWinControl::TWinControl;
};

// Keeps one string.
class TDummyEditSource : public TEditSource {
  KESTOVA_CLASS(TDummyEditSource)
 public:
  using TEditSource::TEditSource;
  void GetText(std::string& Text) override { Text = text_; }
  void SetText(const std::string& Text) override { text_ = Text; }

 private:
  std::string text_;
};

// A frameless one-line edit: the edit with buttons draws the frame. Tab
// into it selects all; a click places the caret. Answers the text messages
// (WM_GETTEXT, WM_SETTEXT, WM_GETTEXTLENGTH, EM_SETSEL, EM_GETMODIFY,
// EM_SETMODIFY, EM_SETREADONLY, EM_SETRECTNP).
class TZRSimpleEdit : public TCustomEdit {
  KESTOVA_CLASS(TZRSimpleEdit)
 public:
  explicit TZRSimpleEdit(TComponent* AOwner);
  // The selected part of the text (empty without a window).
  std::string SelText() const;
  void WndProc(TMessage& Message) override;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;

 private:
  friend void DescribeTZRSimpleEdit(TClassInfo& Info);
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

class TCustomZREdit : public TCustomControl {
  KESTOVA_CLASS(TCustomZREdit)
 public:
  explicit TCustomZREdit(TComponent* AOwner);
  ~TCustomZREdit() override;

  // ---- Overridable operations ----
  virtual void RestoreText();
  virtual void UpdateReadOnly();
  virtual void GetEditText(std::string& Text);
  virtual void SetEditText(const std::string& Text);
  virtual void EditWndProc(TMessage& Message);
  virtual void UpdatePopup();
  virtual void AcceptPopupValue();
  virtual bool GetModified();
  virtual bool GetReadOnly() { return ReadOnlyFlag; }
  virtual void AdjustEditClass(TClass& Class) {}
  virtual void UpdateSource();
  virtual TClass DefaultEditClass();
  virtual TClass DefaultPopupClass();
  virtual void Change();
  virtual void DropDown();
  virtual void CloseUp(bool Accept);

  std::string EditText() {
    std::string s;
    GetEditText(s);
    return s;
  }
  // Commits the text to the edit source (see the header).
  void ApplyText();
  bool PopupOpen() const { return popupOpen_; }
  void SetPopupOpen(bool Value);
  void SelectAllText();
  int ButtonCount() const { return buttonCount_; }
  void SetButtonCount(int Value);
  bool UserTabStop() const { return userTabStop_; }
  void SetUserTabStop(bool Value);
  // The control's own tab stop (the inner edit takes it while hooked).
  bool TabStop() const { return tabStop_; }

  const std::string& DropDownClassName() const { return dropDownClassName_; }
  void SetDropDownClassName(const std::string& Value);
  const std::string& EditSourceClassName() const { return editSourceClassName_; }
  void SetEditSourceClassName(const std::string& Value);
  const std::string& InnerEditClassName() const { return innerEditClassName_; }
  void SetInnerEditClassName(const std::string& Value);
  const std::string& Version() const { return version_; }
  void SetVersion(const std::string& Value) { version_ = Value; }

  TControl* InnerEdit() const { return innerEdit_; }
  TWinControl* PopupWindow() const { return popup_; }
  TEditSource* ValueSource() const { return source_; }
  TEditButton* FirstButton() const { return firstButton_; }
  TEditButton* SecondButton() const { return secondButton_; }
  TButtonParams* FirstButtonParams() const { return firstParams_.get(); }
  TButtonParams* SecondButtonParams() const { return secondParams_.get(); }
  const std::string& OwnText() const { return ownText_; }
  TFormBorderStyle FrameStyle() const { return frameStyle_; }
  void SetFrameStyle(TFormBorderStyle Value);

  // Inner edit has the focus, or the control itself.
  bool Focused() const;
  // Focuses the inner edit when it has a window (see the header).
  void SetFocus();
  // Places the buttons and the inner edit (only with a window).
  void ArrangeButtons();
  void ArrangeEdit();
  // The client area: inside the 2-pixel client edge of the framed look.
  int BorderWidth() const;
  int ClientWidth() const { return Width() - 2 * BorderWidth(); }
  int ClientHeight() const { return Height() - 2 * BorderWidth(); }
  // Client point to screen point, inside the edit's own border.
  Point ClientToScreen(Point P);
  // Height from the font: the font's character height plus 8 border
  // pixels (SM_CYBORDER x 8). Runs on each font change.
  void AdjustHeight();

  // Public flags; a descendant exposes them as it wishes.
  bool OpenOnClick = false;
  bool NoCaret = false;
  bool FlatLook = false;
  bool ModifiedFlag = false;
  bool ReadOnlyFlag = false;
  bool ShowFocusState = true;
  bool AlternateBorder = false;
  std::uint8_t BorderKind = 0;
  TColor UnderlineColor = cl3DDkShadow;
  bool DefaultClasses = true;
  // Where a check-box inner edit (TCheckEdit) draws its box.
  int CheckIndent = 0;

  TNotifyEvent OnOpenPopup;
  TNotifyEvent OnTextChange;

  void Loaded() override;
  void SetParent(TWinControl* AParent) override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  TComponent* GetChildOwner() override { return this; }
  TComponent* GetChildParent() override { return this; }
  void WndProc(TMessage& Message) override;
  void Click();

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void Paint() override;
  void PaintBorder();
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void UpdateFlatState();
  void HookEdit();
  void UnhookEdit();

 private:
  friend void DescribeTCustomZREdit(TClassInfo& Info);
  friend class TEditButton;
  friend class TZREditPaint;
  // Flat now, edge border, line border, as the header of the .cpp says.
  bool FlatNow() const;
  bool EdgeBorder() const { return AlternateBorder && (BorderKind == 6 || BorderKind == 7); }
  bool LineBorder() const { return BorderKind == 2 || BorderKind == 3; }
  bool FocusShown() const { return ShowFocusState && !FlatLook; }
  // The first colour of the 3D and line borders (the second is the other
  // of clBtnHighlight and clBtnShadow).
  TColor LineColorA() const;
  bool InnerEditPresent() const;
  bool InnerEditWindowed() const;
  TWinControl* InnerWin() const;
  // Takes Control as inner edit: parent, looks, hook, arrangement.
  void AdoptInnerEdit(TControl* Control);
  void AdoptPopup(TWinControl* Popup);
  void FreeInnerEdit();
  void ApplyEditClassName();
  void ApplyPopupClassName();
  void ApplySourceClassName();
  // An owned component of exactly Class, or nullptr.
  TComponent* OwnedOfClass(TClass Class, TComponent* Except) const;
  void ButtonsChanged(TObject* Sender);
  void DoTimer();
  void ActivationChanged(bool Active);

  void WMSize(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMSetText(TMessage& Message);
  void WMTimer(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  void CMWantSpecialKey(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void ZRMCommitEdit(TMessage& Message);

  TEditButton* firstButton_ = nullptr;
  TEditButton* secondButton_ = nullptr;
  std::unique_ptr<TButtonParams> firstParams_;
  std::unique_ptr<TButtonParams> secondParams_;
  TWndMethod savedEditProc_;
  bool editSubclassed_ = false;
  bool focusLeft_ = false;
  int buttonCount_ = 1;
  std::string dropDownClassName_;
  std::string editSourceClassName_;
  std::string innerEditClassName_;
  TEditSource* source_ = nullptr;
  std::string ownText_;
  std::string keptText_;
  TFormBorderStyle frameStyle_ = bsSingle;
  int flatShown_ = 2;
  bool popupOpen_ = false;
  bool applying_ = false;
  bool clickedInEdit_ = false;
  bool mouseOutside_ = true;
  bool hoverTimerPending_ = false;
  bool ignoreNextEnter_ = false;
  bool namesPending_ = true;
  std::string version_;
  bool userTabStop_ = true;
  bool tabStop_ = true;
  TControl* innerEdit_ = nullptr;
  TWinControl* popup_ = nullptr;
};

// ---- The process-wide pop-up state ----
// The open pop-up and its edit (nullptr for a pick list opened without
// one); Activate installs the mouse hook, Deactivate removes it.
TWinControl* ActivePopup();
TCustomZREdit* ActiveEdit();
void ActivatePopup(TWinControl* Popup, TCustomZREdit* Edit);
void DeactivatePopup(TWinControl* Popup);
// The mouse hook's areas in screen coordinates: P the pop-up's window, E
// the active edit's window widened right by its visible buttons' widths.
bool PointInActiveAreas(Point Screen);

// Registers the string pop-up and default string edit (start-up); a second
// call adds nothing.
void RegisterZREditClasses();
