#include "components/base/ZRButtonPanel.h"

#include <algorithm>
#include <vector>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Reader.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/classes/Writer.h"
#include "platform/controls/ControlStrings.h"
#include "platform/ui/DialogService.h"

KESTOVA_TYPE_INFO(TButtonType, MakeEnumType("TButtonType",
                                            {"btOk", "btCancel", "btYes", "btNo", "btAbort", "btRetry", "btIgnore",
                                             "btAll", "btClose", "btHelp"},
                                            "zrButtonPanel"))
KESTOVA_TYPE_INFO(TButtonTypes, MakeSetType("TButtonTypes", TypeInfos::TButtonType()))
KESTOVA_TYPE_INFO(TButtonAlign, MakeEnumType("TButtonAlign", {"baBegin", "baMiddle", "baEnd"}, "zrButtonPanel"))

namespace {

struct ButtonKind {
  ControlString caption;
  const char* nameSuffix;
  TModalResult modalResult;
};

constexpr ButtonKind kKinds[kButtonTypeCount] = {
    {ControlString::OkButton, "Ok", mrOk},
    {ControlString::CancelButton, "Cancel", mrCancel},
    {ControlString::YesButton, "Yes", mrYes},
    {ControlString::NoButton, "No", mrNo},
    {ControlString::AbortButton, "Abort", mrAbort},
    {ControlString::RetryButton, "Retry", mrRetry},
    {ControlString::IgnoreButton, "Ignore", mrIgnore},
    {ControlString::AllButton, "All", mrAll},
    {ControlString::CloseButton, "Close", mrOk},
    {ControlString::HelpButton, "Help", mrNone},
};

std::array<std::string, kButtonTypeCount>& Captions() {
  static std::array<std::string, kButtonTypeCount> captions;
  return captions;
}

constexpr TButtonType TypeAt(int Index) { return static_cast<TButtonType>(Index); }

void DescribeTZRButtonPanel(TClassInfo& Info) {
  using P = TZRButtonPanel;
  TClassPublisher<P> p(Info);
  p.Property<&P::ButtonAlign, &P::SetButtonAlign>("ButtonAlign", TypeInfos::TButtonAlign()).Default(baEnd);
  p.Property<&P::ButtonSpace, &P::SetButtonSpace>("ButtonSpace", TypeInfos::Integer()).Default(10);
  // Rebuilt from the buttons when a form is read.
  p.Property<&P::ButtonTypes, &P::SetButtonTypes>("ButtonTypes", TypeInfos::TButtonTypes()).Stored(false);
}

}  // namespace

KESTOVA_CLASS_INFO(TZRPanelButton, TButton, "zrButtonPanel", &MakeComponent<TZRPanelButton>)
KESTOVA_CLASS_INFO_DESCRIBED(TZRButtonPanel, TPanel, "zrButtonPanel", &MakeComponent<TZRButtonPanel>,
                             DescribeTZRButtonPanel)

void StartButtonPanel() {
  for (int i = 0; i < kButtonTypeCount; ++i) Captions()[i] = LoadControlString(kKinds[i].caption);
  if (!GetClass(TZRPanelButton::StaticClass()->Name)) RegisterClass(TZRPanelButton::StaticClass());
}

const std::string& ButtonPanelCaption(TButtonType Type) { return Captions()[Type]; }

// ---- The button ----

TZRPanelButton::TZRPanelButton(TComponent* AOwner) : TButton(AOwner) {}

void TZRPanelButton::DefineProperties(TFiler* Filer) {
  TButton::DefineProperties(Filer);
  Filer->DefineProperty("ButtonType", TReaderProc::Of<&TZRPanelButton::ReadButtonType>(*this),
                        TWriterProc::Of<&TZRPanelButton::WriteButtonType>(*this), true);
}

void TZRPanelButton::ReadButtonType(TReader& Reader) {
  const std::int32_t value = Reader.ReadInteger();
  // A number from a file: one that names no type leaves the button out of
  // the panel instead of indexing past its table.
  if (value < 0 || value >= kButtonTypeCount) return;
  buttonType_ = TypeAt(value);
  if (auto* panel = dynamic_cast<TZRButtonPanel*>(Parent())) panel->RegisterButton(this);
}

void TZRPanelButton::WriteButtonType(TWriter& Writer) { Writer.WriteInteger(buttonType_); }

// ---- The panel ----

TZRButtonPanel::TZRButtonPanel(TComponent* AOwner) : TPanel(AOwner) { SetCaption(""); }

TZRButtonPanel::~TZRButtonPanel() {
  for (int i = 0; i < kButtonTypeCount; ++i)
    if (buttonTypes_.Contains(TypeAt(i)) && buttons_[i]) std::exchange(buttons_[i], nullptr)->Free();
}

void TZRButtonPanel::SetButtonAlign(TButtonAlign Value) {
  if (buttonAlign_ == Value) return;
  buttonAlign_ = Value;
  Realign();
}

void TZRButtonPanel::SetButtonSpace(int Value) {
  if (buttonSpace_ == Value) return;
  buttonSpace_ = Value;
  Realign();
}

void TZRButtonPanel::SetButtonTypes(TButtonTypes Value) {
  if (Value == buttonTypes_) return;
  for (int i = 0; i < kButtonTypeCount; ++i) {
    const TButtonType type = TypeAt(i);
    if (!buttonTypes_.Contains(type) || Value.Contains(type)) continue;
    buttonTypes_ = buttonTypes_ - TButtonTypes{type};
    if (buttons_[i]) std::exchange(buttons_[i], nullptr)->Free();
  }
  if (!ComponentState().Contains(csLoading)) {
    bool okMade = false;
    TZRPanelButton* closeMade = nullptr;
    DisableAlign();
    for (int i = 0; i < kButtonTypeCount; ++i) {
      const TButtonType type = TypeAt(i);
      if (buttonTypes_.Contains(type) || !Value.Contains(type)) continue;
      TZRPanelButton* button = MakeButton(type);
      if (type == btOk) {
        button->SetDefault(true);
        okMade = true;
      }
      if (type == btCancel) button->SetCancel(true);
      if (type == btClose) closeMade = button;
    }
    if (closeMade && !okMade) closeMade->SetDefault(true);
    EnableAlign();
  }
  buttonTypes_ = Value;
  Realign();
}

TZRPanelButton* TZRButtonPanel::MakeButton(TButtonType Type) {
  // Beyond every button the panel shows, so that the layout puts it last.
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    if (!dynamic_cast<TButton*>(Controls(i))) continue;
    right = std::max(right, Controls(i)->Left() + Controls(i)->Width());
    bottom = std::max(bottom, Controls(i)->Top() + Controls(i)->Height());
  }
  TComponent* owner = Owner();
  auto* button = Construct<TZRPanelButton>(owner);
  button->buttonType_ = Type;
  buttons_[Type] = button;
  button->FreeNotification(this);
  const std::string base = std::string("btn") + kKinds[Type].nameSuffix;
  std::string name = base;
  for (int n = 1; owner && owner->FindComponent(name); ++n) name = base + std::to_string(n);
  button->SetName(name);
  button->SetCaption(ButtonPanelCaption(Type));
  button->SetModalResult(kKinds[Type].modalResult);
  button->SetBounds(right, bottom, button->Width(), button->Height());
  button->SetParent(this);
  return button;
}

void TZRButtonPanel::RegisterButton(TZRPanelButton* Button) {
  const TButtonType type = Button->ButtonType();
  buttons_[type] = Button;
  Button->FreeNotification(this);
  buttonTypes_ = buttonTypes_ + TButtonTypes{type};
}

void TZRButtonPanel::Notification(TComponent* AComponent, TOperation Operation) {
  TPanel::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  for (int i = 0; i < kButtonTypeCount; ++i) {
    if (buttons_[i] != AComponent) continue;
    buttons_[i] = nullptr;
    buttonTypes_ = buttonTypes_ - TButtonTypes{TypeAt(i)};
  }
}

void TZRButtonPanel::AlignControls(TControl* AControl, Rect& ARect) {
  TPanel::AlignControls(AControl, ARect);
  // Undocked: the buttons stay where the docked layout put them.
  const bool undocked = lastAlign_ != alNone && Align() == alNone;
  lastAlign_ = Align();
  if (!undocked) LayoutButtons();
}

void TZRButtonPanel::LayoutButtons() {
  const bool vertical = Align() == alLeft || Align() == alRight;
  auto position = [vertical](const TControl* c) { return vertical ? c->Top() : c->Left(); };
  auto extent = [vertical](const TControl* c) { return vertical ? c->Height() : c->Width(); };

  std::vector<TControl*> buttons;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!dynamic_cast<TButton*>(c) || c->Align() != alNone) continue;
    // After every button whose position is lower or equal.
    auto at = std::upper_bound(buttons.begin(), buttons.end(), position(c),
                               [&](int p, const TControl* placed) { return p < position(placed); });
    buttons.insert(at, c);
  }
  int visible = 0, free = vertical ? ClientRect().bottom : ClientRect().right;
  for (const TControl* c : buttons) {
    if (!c->Visible()) continue;
    ++visible;
    free -= extent(c);
  }
  if (visible == 0) return;

  int pos = 0, gap = 0;
  switch (buttonAlign_) {
    case baBegin:
      pos = gap = buttonSpace_;
      break;
    case baMiddle:
      pos = gap = free / (visible + 1);
      break;
    case baEnd:
      gap = buttonSpace_;
      pos = free - visible * buttonSpace_;
      break;
  }
  const int across = vertical ? ClientRect().right : ClientRect().bottom;
  for (TControl* c : buttons) {
    if (vertical)
      c->SetBounds((across - c->Width()) / 2, pos, c->Width(), c->Height());
    else
      c->SetBounds(pos, (across - c->Height()) / 2, c->Width(), c->Height());
    if (c->Visible()) pos += gap + extent(c);
  }
}
