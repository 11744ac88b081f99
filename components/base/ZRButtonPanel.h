#pragma once
// TZRButtonPanel: a panel that makes, names, captions and lays out a row (or
// column) of standard dialog buttons from a set of button types, and keeps
// them evenly spaced when it is resized.
//
// The buttons are TZRPanelButtons owned by the panel's Owner, so that they
// are written and read with the form, and parented to the panel. The panel
// remembers one button per type; it does not own them, but frees the ones it
// still holds when it is freed. A button freed by anyone else leaves the
// panel's ButtonTypes (without a new layout).
//
// Per type, in type order:
//   type      caption    name suffix  modal result
//   btOk      "OK"       Ok           mrOk (1)
//   btCancel  "Cancel"   Cancel       mrCancel (2)
//   btYes     "&Yes"     Yes          mrYes (6)
//   btNo      "&No"      No           mrNo (7)
//   btAbort   "Abort"    Abort        mrAbort (3)
//   btRetry   "&Retry"   Retry        mrRetry (4)
//   btIgnore  "&Ignore"  Ignore       mrIgnore (5)
//   btAll     "&All"     All          mrAll (8)
//   btClose   "&Close"   Close        mrOk (1)
//   btHelp    "&Help"    Help         mrNone (0)
// The captions are the class library's localisable texts (ControlStrings.h),
// read once by StartButtonPanel, at start-up (BaseModules.h); until then
// they are empty.
//
// Streaming: ButtonTypes is never written. Each button writes its type as the
// defined property "ButtonType"; reading it puts the button back into the
// panel that is its parent, so the panel's ButtonTypes is rebuilt from the
// buttons a form holds.
//
// Layout, after the inherited alignment, whenever the panel aligns its
// children: the panel is vertical when its Align is alLeft or alRight,
// horizontal otherwise. Its buttons (children that are TButtons, of any
// kind, with Align alNone) are ordered by Top (vertical) or Left; a button
// goes after the ones whose position is lower or equal. With F the client
// size along the row less the visible buttons' sizes and N the number of
// visible buttons, the first button starts at, and the gap is:
//   baBegin   ButtonSpace,            ButtonSpace
//   baMiddle  F / (N + 1),            F / (N + 1)
//   baEnd     F - N * ButtonSpace,    ButtonSpace  (the last button ends
//                                                   ButtonSpace before the edge)
// Each button is centred across the row; a hidden button takes the current
// position without advancing it. Nothing is placed without a visible button.
// A pass is skipped when the panel's Align went from another value to alNone
// since the last pass (a panel undocked keeps its buttons where they are).

#include <array>
#include <cstdint>
#include <string>

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Set.h"

enum TButtonType : std::uint8_t { btOk, btCancel, btYes, btNo, btAbort, btRetry, btIgnore, btAll, btClose, btHelp };
using TButtonTypes = TSet<TButtonType>;
inline constexpr int kButtonTypeCount = 10;

enum TButtonAlign : std::uint8_t { baBegin, baMiddle, baEnd };

struct TTypeInfo;
namespace TypeInfos {
const TTypeInfo* TButtonType();
const TTypeInfo* TButtonTypes();
const TTypeInfo* TButtonAlign();
}  // namespace TypeInfos

class TZRButtonPanel;
class TReader;
class TWriter;

// A button of a button panel; it knows its type.
class TZRPanelButton : public TButton {
  KESTOVA_CLASS(TZRPanelButton)
 public:
  explicit TZRPanelButton(TComponent* AOwner);
  TButtonType ButtonType() const { return buttonType_; }
  // "ButtonType", always written.
  void DefineProperties(TFiler* Filer) override;

 private:
  friend class TZRButtonPanel;
  void ReadButtonType(TReader& Reader);
  void WriteButtonType(TWriter& Writer);

  TButtonType buttonType_ = btOk;
};

class TZRButtonPanel : public TPanel {
  KESTOVA_CLASS(TZRButtonPanel)
 public:
  // No caption, ButtonSpace 10, ButtonAlign baEnd, no buttons.
  explicit TZRButtonPanel(TComponent* AOwner);
  // Frees the buttons the panel still holds.
  ~TZRButtonPanel() override;

  TButtonAlign ButtonAlign() const { return buttonAlign_; }
  void SetButtonAlign(TButtonAlign Value);
  // Pixels between buttons and at the edge (baBegin, baEnd).
  int ButtonSpace() const { return buttonSpace_; }
  void SetButtonSpace(int Value);

  TButtonTypes ButtonTypes() const { return buttonTypes_; }
  // Frees the buttons of the types that leave. Unless the panel is loading,
  // makes a button for each type that joins, in type order, placed after the
  // existing buttons; among those made, a new btOk button becomes the
  // Default button, a new btCancel the Cancel button, and a new btClose the
  // Default button when no btOk button was made with it. Then lays out.
  // Nothing when Value equals ButtonTypes.
  void SetButtonTypes(TButtonTypes Value);
  // The panel's button of Type, or nullptr.
  TZRPanelButton* Button(TButtonType Type) const { return buttons_[Type]; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void AlignControls(TControl* AControl, Rect& ARect) override;

 private:
  friend class TZRPanelButton;
  // A button read from a stream joins the panel as its type's button.
  void RegisterButton(TZRPanelButton* Button);
  TZRPanelButton* MakeButton(TButtonType Type);
  void LayoutButtons();

  TButtonAlign buttonAlign_ = baEnd;
  std::array<TZRPanelButton*, kButtonTypeCount> buttons_{};
  int buttonSpace_ = 10;
  TButtonTypes buttonTypes_;
  TAlign lastAlign_ = alNone;
};

// Reads the ten captions from the class library's texts; the start-up step
// of the button panel, which also registers TZRPanelButton for streaming
// unless a class of that name is registered already.
void StartButtonPanel();
// The caption a new button of Type gets.
const std::string& ButtonPanelCaption(TButtonType Type);
