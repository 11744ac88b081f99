#include "platform/controls/StdCtrls.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/ControlWindow.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawText.h"
#include "platform/ui/Application.h"

KESTOVA_TYPE_INFO(TAlignment, MakeEnumType("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}, "Classes"))

void DescribeTButtonControl(TClassInfo& Info) {
  TClassPublisher<TButtonControl> p(Info);
  p.Property<&TButtonControl::Caption, &TButtonControl::SetCaption>("Caption", TypeInfos::TCaption());
  p.Property<&TButtonControl::OnClick, &TButtonControl::OnClick>("OnClick", TypeInfos::TNotifyEvent());
}
KESTOVA_CLASS_INFO_DESCRIBED(TButtonControl, TWinControl, "StdCtrls", nullptr, DescribeTButtonControl)

void DescribeTButton(TClassInfo& Info) {
  TClassPublisher<TButton> p(Info);
  p.Property<&TButton::Cancel, &TButton::SetCancel>("Cancel", TypeInfos::Boolean()).Default(false);
  p.Property<&TButton::Default, &TButton::SetDefault>("Default", TypeInfos::Boolean()).Default(false);
  p.Property<&TButton::ModalResult, &TButton::SetModalResult>("ModalResult", TypeInfos::TModalResult()).Default(0);
}
KESTOVA_CLASS_INFO_DESCRIBED(TButton, TButtonControl, "StdCtrls", MakeComponent<TButton>, DescribeTButton)

void DescribeTCheckControl(TClassInfo& Info) {
  TClassPublisher<TCheckControl> p(Info);
  p.Property<&TCheckControl::Checked, &TCheckControl::SetChecked>("Checked", TypeInfos::Boolean()).Default(false);
}
KESTOVA_CLASS_INFO_DESCRIBED(TCheckControl, TButtonControl, "StdCtrls", nullptr, DescribeTCheckControl)
KESTOVA_CLASS_INFO(TCheckBox, TCheckControl, "StdCtrls", MakeComponent<TCheckBox>)
KESTOVA_CLASS_INFO(TRadioButton, TCheckControl, "StdCtrls", MakeComponent<TRadioButton>)

void DescribeTLabel(TClassInfo& Info) {
  TClassPublisher<TLabel> p(Info);
  p.Property<&TLabel::Alignment, &TLabel::SetAlignment>("Alignment", TypeInfos::TAlignment()).Default(taLeftJustify);
  p.Property<&TLabel::Caption, &TLabel::SetCaption>("Caption", TypeInfos::TCaption());
  p.Property<&TLabel::Transparent, &TLabel::SetTransparent>("Transparent", TypeInfos::Boolean()).Default(false);
}
KESTOVA_CLASS_INFO_DESCRIBED(TLabel, TGraphicControl, "StdCtrls", MakeComponent<TLabel>, DescribeTLabel)

void DrawControlCaption(TCanvas& Canvas, const std::string& Caption, Rect ARect, TAlignment Alignment, TColor TextColor,
                        bool Enabled) {
  static constexpr std::uint32_t kPlace[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  const std::uint32_t flags = kPlace[Alignment] | DT_SINGLELINE | DT_VCENTER;
  Canvas.RequireFont();
  DeviceContext& dc = Canvas.Handle();
  dc.SetBkMode(TRANSPARENT);
  if (Enabled) {
    dc.SetTextColor(TextColor);
    DrawText(dc, Caption, ARect, flags);
    return;
  }
  Rect engraved{ARect.left + 1, ARect.top + 1, ARect.right + 1, ARect.bottom + 1};
  dc.SetTextColor(clBtnHighlight);
  DrawText(dc, Caption, engraved, flags);
  dc.SetTextColor(clBtnShadow);
  DrawText(dc, Caption, ARect, flags);
}

// ---- Buttons ----

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TButtonControl::SetCaption(const std::string& Value) {
  caption_ = Value;
  if (HandleAllocated()) static_cast<QAbstractButton*>(Handle())->setText(QString::fromStdString(Value));
}

void TButtonControl::CreateWnd() {
  TWinControl::CreateWnd();
  auto* button = static_cast<QAbstractButton*>(Handle());
  button->setText(QString::fromStdString(caption_));
}

void TButtonControl::Click() {
  if (OnClick) OnClick(this);
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 75, 25); }

void TButton::Click() {
  if (modalResult_ != mrNone)
    if (auto* form = dynamic_cast<TForm*>(GetParentForm(this))) form->SetModalResult(static_cast<TModalResult>(modalResult_));
  TButtonControl::Click();
}

void TButton::SetDefault(bool Value) {
  default_ = Value;
  if (HandleAllocated()) static_cast<QPushButton*>(Handle())->setDefault(Value);
}

TControlWindowBase* TButton::CreateWindowWidget(QWidget* Parent) {
  auto* window = new TControlWindow<QPushButton>(this, Parent);
  window->setAutoDefault(false);
  QObject::connect(window, &QAbstractButton::clicked, window, [this] { RunGuarded([this] { Click(); }); });
  return window;
}

void TButton::CreateWnd() {
  TButtonControl::CreateWnd();
  static_cast<QPushButton*>(Handle())->setDefault(default_);
}

TCheckControl::TCheckControl(TComponent* AOwner) : TButtonControl(AOwner) {}

void TCheckControl::SetChecked(bool Value) {
  if (Value == checked_) return;
  checked_ = Value;
  if (HandleAllocated()) static_cast<QAbstractButton*>(Handle())->setChecked(Value);
  Click();
}

void TCheckControl::CreateWnd() {
  TButtonControl::CreateWnd();
  static_cast<QAbstractButton*>(Handle())->setChecked(checked_);
}

void TCheckControl::WireClicks(QWidget* Window) {
  auto* button = static_cast<QAbstractButton*>(Window);
  QObject::connect(button, &QAbstractButton::clicked, button, [this, button](bool checked) {
    RunGuarded([&] {
      UserClicked(checked);
      // The control may refuse (a radio button stays checked).
      if (HandleAllocated()) button->setChecked(Checked());
    });
  });
}

TCheckBox::TCheckBox(TComponent* AOwner) : TCheckControl(AOwner) { SetBounds(0, 0, 97, 17); }

TControlWindowBase* TCheckBox::CreateWindowWidget(QWidget* Parent) {
  auto* window = new TControlWindow<QCheckBox>(this, Parent);
  WireClicks(window);
  return window;
}

TRadioButton::TRadioButton(TComponent* AOwner) : TCheckControl(AOwner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::SetChecked(bool Value) {
  if (Value == Checked()) return;
  TCheckControl::SetChecked(Value);
  if (!Value || !Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i)
    if (auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); other && other != this)
      other->SetChecked(false);
}

TControlWindowBase* TRadioButton::CreateWindowWidget(QWidget* Parent) {
  auto* window = new TControlWindow<QRadioButton>(this, Parent);
  // The group is the parent's radio buttons, kept by SetChecked.
  window->setAutoExclusive(false);
  WireClicks(window);
  return window;
}

// ---- Label ----

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 65, 17); }

void TLabel::SetCaption(const std::string& Value) {
  caption_ = Value;
  Invalidate();
}

void TLabel::SetAlignment(TAlignment Value) {
  alignment_ = Value;
  Invalidate();
}

void TLabel::SetTransparent(bool Value) {
  transparent_ = Value;
  Invalidate();
}

void TLabel::Paint() {
  if (!transparent_) {
    Canvas().Brush()->SetColor(Color());
    Canvas().Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas().FillRect(ClientRect());
  }
  DrawControlCaption(Canvas(), caption_, ClientRect(), alignment_, Font()->Color(), Enabled());
}
