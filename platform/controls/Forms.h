#pragma once
// Forms and data modules.
//
// TForm is a top-level window control. Made through Construct<T> or a class
// factory (which run AfterConstruction), a form reads its stored form: each
// class from the first below TForm down to the form's own class that has an
// RCDATA resource named like it (ResourceStore, any module) is read into the
// form through the component stream, the ancestor's first, so a descendant's
// stored form adds to or changes its ancestor's. The resource holds the
// binary form (starting "TPF0") or the text form ("object Name: TClass").
// A class without a resource adds nothing: such a form is built in code.
// TForm(AOwner, CreateNew) never reads.
//
// ShowModal shows the form, makes it the one window that takes input, runs
// the event loop until ModalResult is set to something other than mrNone,
// and answers it. Setting ModalResult is what a button does; Close (or the
// window's close box) sets mrCancel. Before the form goes, CloseQuery and
// OnClose are asked as for Close: a refusal (CanClose false, or caNone)
// sets ModalResult back to mrNone and the loop goes on. A form freed while
// modal ends its loop; ShowModal then answers mrCancel.
//
// Close on a form that is not modal asks CloseQuery (OnCloseQuery), then
// OnClose with caHide, and does what that says: caHide hides, caFree frees
// the form at the next turn of the event loop (Release), caMinimize
// minimizes, caNone leaves the form as it is.
//
// BorderStyle and FormStyle decide the window's frame and stacking
// (bsNone frameless, bsSingle and bsDialog fixed in size, bsDialog without
// minimize and maximize boxes, bsToolWindow and bsSizeToolWin tool windows;
// fsStayOnTop above the other windows); changing either re-creates an
// existing window. Position places the form when it is first shown:
// poDesigned keeps Left and Top, poScreenCenter centres it on the screen
// (Screen->Width, Height), poOwnerFormCenter on its owner when that is a
// form, else on the screen.
//
// BorderIcons picks the buttons of the title bar: without biSystemMenu the
// window has no system menu and no close box, and then no minimize and
// maximize boxes either; biMinimize and biMaximize give those boxes (never
// on a bsDialog or tool window); biHelp asks for a help button. Setting it
// changes an existing window's flags at once.
//
// A stored form keeps its client size (ClientWidth, ClientHeight: the area
// its controls share, the menu's bar included) rather than its Width and
// Height; older stored forms with Width and Height still read.
//
// Scaled forms keep the screen's pixels per inch they were designed at
// (PixelsPerInch): read on a screen of another density, the form's client
// size and each control's bounds, and the fonts of controls that have a
// font of their own, are scaled by screen / stored. A form that is not
// Scaled keeps its design pixels and does not store PixelsPerInch.
//
// ParentFont (the default) on a form means it has no font of its own: it
// uses the application's default font, which dialogs may swap for the main
// form's. Setting a font clears it.
//
// ActiveControl is the control of the form that has or gets the focus: set,
// it takes the focus when the form shows (at once when the form already
// does); afterwards it follows the focus within the form.
//
// Every form is in Screen->Forms (activation order, see Screen.h) from its
// creation to its freeing; every data module in Screen->DataModules.
//
// Single GUI thread.

#include <QtCore/qnamespace.h>
#include <memory>
#include <string>

#include "platform/classes/TypInfo.h"
#include "platform/core/Set.h"
#include "platform/controls/Controls.h"
#include "platform/ui/DialogService.h"

enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// A control's frame: bsNone or bsSingle only.
using TBorderStyle = TFormBorderStyle;
enum TFormStyle : std::uint8_t { fsNormal, fsStayOnTop };
enum TPosition : std::uint8_t { poDesigned, poScreenCenter, poOwnerFormCenter };
enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
enum TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
inline constexpr TBorderIcons kDefaultBorderIcons{biSystemMenu, biMinimize, biMaximize};

using TCloseEvent = TMethodPointer<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TMethodPointer<void(TObject* Sender, bool& CanClose)>;

namespace TypeInfos {
const TTypeInfo* TFormBorderStyle();
const TTypeInfo* TBorderStyle();
const TTypeInfo* TFormStyle();
const TTypeInfo* TPosition();
const TTypeInfo* TBorderIcon();
const TTypeInfo* TBorderIcons();
const TTypeInfo* TCloseQueryEvent();
}  // namespace TypeInfos

class QEventLoop;
class TMainMenu;

class TForm : public TWinControl {
  KESTOVA_CLASS(TForm)
 public:
  struct CreateNew {};
  explicit TForm(TComponent* AOwner);
  // A form that does not read a stored form.
  TForm(TComponent* AOwner, CreateNew);
  ~TForm() override;

  void AfterConstruction() override;

  // The window's title.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle Value);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle Value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition Value) { position_ = Value; }
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons Value);

  // The client area's size; setting it sizes the form around it.
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);

  // Design density and scaling on reading (see above). PixelsPerInch starts
  // as the screen's.
  bool Scaled() const { return scaled_; }
  void SetScaled(bool Value) { scaled_ = Value; }
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int Value) { pixelsPerInch_ = Value; }
  // Scales the client size, the controls' bounds and their own fonts by
  // M / D.
  void ScaleBy(int M, int D);
  // The form sees the keys of its controls before the focused control does
  // (TWinControl::DoKeyDown): its KeyDown, KeyPress and KeyUp, and so its
  // OnKeyDown, OnKeyPress and OnKeyUp; a key it consumes goes no further.
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool Value) { keyPreview_ = Value; }

  // The form's main menu: its bar lies across the top of the window, above
  // the area the alignment pass fills, and its shortcuts work while the
  // focus is anywhere in the form (IsShortCut).
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* Value);
  // Asked by the focused control for each key press before the control
  // handles it (TWinControl::IsMenuKey): clicks the item of Menu with the
  // shortcut value and answers true, or answers false.
  virtual bool IsShortCut(TShortCut Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TWinControl* ActiveControl() const { return FocusedControl(); }
  // Raises EInvalidOperation when Control is not inside this form.
  void SetActiveControl(TWinControl* Control);

  // ---- Modal use ----
  // Raises EInvalidOperation for a form already visible or modal.
  TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult Value);
  bool Modal() const { return loop_ != nullptr; }

  // ---- Closing ----
  void Close();
  // Asks OnCloseQuery; true when the form may close.
  virtual bool CloseQuery();
  // Frees the form at the next turn of the event loop (safe from its own
  // handlers).
  void Release();

  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  void SetVisible(bool Value) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // The controls and the other components the form owns, for streaming.
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
  void CreateWnd() override;
  void AdjustClientRect(Rect& ARect) override;
  void Loaded() override;
  // Fires OnClose with Action.
  virtual void DoClose(TCloseAction& Action);

 private:
  friend class TFormWindow;
  friend void DescribeTForm(TClassInfo& Info);
  int Bound(std::int32_t Index) const;
  void SetBound(std::int32_t Index, int Value);
  bool IsPixelsPerInchStored() const { return scaled_; }
  void ApplyWindowFlags();
  // Puts the menu's bar on the window; its height.
  int PlaceMenuBar();
  // The border style keeps the size: the user cannot change it.
  bool FixedSize() const {
    return borderStyle_ == bsSingle || borderStyle_ == bsDialog || borderStyle_ == bsToolWindow;
  }
  void PlaceOnFirstShow();
  // Asks CloseQuery and OnClose for a modal form; a refusal clears
  // ModalResult.
  void CloseModal();
  void WindowActivated(bool Active);
  void CMRelease(TMessage& Message);

  std::string caption_;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  TBorderIcons borderIcons_ = kDefaultBorderIcons;
  bool scaled_ = true;
  int pixelsPerInch_;
  bool keyPreview_ = false;
  TModalResult modalResult_ = mrNone;
  TMainMenu* menu_ = nullptr;
  QEventLoop* loop_ = nullptr;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool placed_ = false;
  bool readStored_ = true;
};

// A non-visual container of components, read from its stored form as a
// form is.
class TDataModule : public TComponent {
  KESTOVA_CLASS(TDataModule)
 public:
  struct CreateNew {};
  explicit TDataModule(TComponent* AOwner);
  TDataModule(TComponent* AOwner, CreateNew);
  ~TDataModule() override;
  void AfterConstruction() override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

 private:
  bool readStored_ = true;
};

// The Qt window flags of a top-level form of Style with Icons (before
// FormStyle's stacking).
Qt::WindowFlags WindowFlagsFor(TFormBorderStyle Style, TBorderIcons Icons);

// Makes a form of FormClass through its class factory as TForm(AOwner,
// CreateNew) makes one: the new form reads no stored form (forms that its
// constructor makes still read theirs). nullptr when FormClass does not
// descend from TForm or has no factory.
TForm* CreateFormNew(TClass FormClass, TComponent* AOwner);

// Reads the stored forms of Root's classes from Root's own class up to
// (not including) Base into Root, ancestors first (see above). Answers
// whether any was read. Raises EReadError for a malformed one.
bool ReadStoredForm(TComponent* Root, TClass Base);
