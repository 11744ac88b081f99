#include "platform/controls/GroupCtrls.h"

#include <QGroupBox>
#include <algorithm>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/ControlWindow.h"
#include "platform/graphics/Canvas.h"

KESTOVA_TYPE_INFO(TBevelShape, MakeEnumType("TBevelShape",
                                            {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine",
                                             "bsRightLine", "bsSpacer"},
                                            "ExtCtrls"))
KESTOVA_TYPE_INFO(TBevelStyle, MakeEnumType("TBevelStyle", {"bsLowered", "bsRaised"}, "ExtCtrls"))

void DescribeTGroupBox(TClassInfo& Info) {
  TClassPublisher<TGroupBox> p(Info);
  p.Property<&TGroupBox::Caption, &TGroupBox::SetCaption>("Caption", TypeInfos::TCaption());
}
KESTOVA_CLASS_INFO_DESCRIBED(TGroupBox, TWinControl, "StdCtrls", MakeComponent<TGroupBox>, DescribeTGroupBox)

void DescribeTRadioGroup(TClassInfo& Info) {
  TClassPublisher<TRadioGroup> p(Info);
  p.Property<&TRadioGroup::Columns, &TRadioGroup::SetColumns>("Columns", TypeInfos::Integer()).Default(1);
  p.Property<&TRadioGroup::Items, &TRadioGroup::SetItems>("Items", ClassTypeInfo(TStrings::StaticClass()));
  p.Property<&TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex>("ItemIndex", TypeInfos::Integer()).Default(-1);
  p.Property<&TRadioGroup::OnClick, &TRadioGroup::OnClick>("OnClick", TypeInfos::TNotifyEvent());
}
KESTOVA_CLASS_INFO_DESCRIBED(TRadioGroup, TGroupBox, "ExtCtrls", MakeComponent<TRadioGroup>, DescribeTRadioGroup)

void DescribeTBevel(TClassInfo& Info) {
  TClassPublisher<TBevel> p(Info);
  p.Property<&TBevel::Shape, &TBevel::SetShape>("Shape", TypeInfos::TBevelShape()).Default(bsBox);
  p.Property<&TBevel::Style, &TBevel::SetStyle>("Style", TypeInfos::TBevelStyle()).Default(bsLowered);
}
KESTOVA_CLASS_INFO_DESCRIBED(TBevel, TGraphicControl, "ExtCtrls", MakeComponent<TBevel>, DescribeTBevel)

// ---- Group box ----

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 185, 105);
  SetColor(clBtnFace);
}

void TGroupBox::SetCaption(const std::string& Value) {
  caption_ = Value;
  if (HandleAllocated()) static_cast<QGroupBox*>(Handle())->setTitle(QString::fromStdString(Value));
}

TControlWindowBase* TGroupBox::CreateWindowWidget(QWidget* Parent) {
  auto* window = new TControlWindow<QGroupBox>(this, Parent);
  window->setTitle(QString::fromStdString(caption_));
  return window;
}

// ---- Radio group ----

TRadioGroup::TRadioGroup(TComponent* AOwner) : TGroupBox(AOwner), items_(std::make_unique<TStringList>()) {
  items_->OnChange = TNotifyEvent::Of<&TRadioGroup::ItemsChanged>(*this);
}

TRadioGroup::~TRadioGroup() { items_->OnChange = nullptr; }

void TRadioGroup::SetItemIndex(int Value) {
  if (Value < 0 || Value >= static_cast<int>(buttons_.size())) Value = -1;
  itemIndex_ = Value;
  updating_ = true;
  for (std::size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetChecked(static_cast<int>(i) == Value);
  updating_ = false;
}

void TRadioGroup::SetColumns(int Value) {
  columns_ = std::clamp(Value, 1, 16);
  ArrangeButtons();
}

void TRadioGroup::Click() {
  if (OnClick) OnClick(this);
}

void TRadioGroup::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TGroupBox::SetBounds(ALeft, ATop, AWidth, AHeight);
  ArrangeButtons();
}

void TRadioGroup::ItemsChanged(TObject*) {
  const std::size_t count = static_cast<std::size_t>(items_->Count());
  while (buttons_.size() > count) {
    buttons_.back()->Free();
    buttons_.pop_back();
  }
  while (buttons_.size() < count) {
    auto* button = new TRadioButton(this);
    button->SetParent(this);
    button->OnClick = TNotifyEvent::Of<&TRadioGroup::ButtonClicked>(*this);
    buttons_.push_back(button);
  }
  for (std::size_t i = 0; i < count; ++i) buttons_[i]->SetCaption(items_->Strings(static_cast<int>(i)));
  SetItemIndex(itemIndex_);
  ArrangeButtons();
}

void TRadioGroup::ButtonClicked(TObject* Sender) {
  if (updating_) return;
  auto* button = static_cast<TRadioButton*>(Sender);
  if (!button->Checked()) return;  // the one that went off
  itemIndex_ = static_cast<int>(std::find(buttons_.begin(), buttons_.end(), button) - buttons_.begin());
  Click();
}

void TRadioGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  const int count = static_cast<int>(buttons_.size());
  const int perColumn = (count + columns_ - 1) / columns_;
  const int width = (Width() - 10) / columns_;
  const int height = std::max((Height() - TopMargin - 5) / perColumn, 1);
  for (int i = 0; i < count; ++i) {
    const int column = i / perColumn, row = i % perColumn;
    buttons_[static_cast<std::size_t>(i)]->SetBounds(column * width + 8, TopMargin + row * height, width, height);
  }
}

// ---- Bevel ----

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape Value) {
  shape_ = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  style_ = Value;
  Invalidate();
}

namespace {

void Fill(TCanvas& Canvas, TColor Color, Rect R) {
  Canvas.Brush()->SetColor(Color);
  Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
  Canvas.FillRect(R);
}

// The top and left edges of R in TopLeft, the bottom and right in
// BottomRight.
void Edge(TCanvas& Canvas, Rect R, TColor TopLeft, TColor BottomRight) {
  Fill(Canvas, TopLeft, {R.left, R.top, R.right, R.top + 1});
  Fill(Canvas, TopLeft, {R.left, R.top, R.left + 1, R.bottom});
  Fill(Canvas, BottomRight, {R.left, R.bottom - 1, R.right, R.bottom});
  Fill(Canvas, BottomRight, {R.right - 1, R.top, R.right, R.bottom});
}

}  // namespace

void TBevel::Paint() {
  const TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  const int w = Width(), h = Height();
  switch (shape_) {
    case bsBox:
      Edge(Canvas(), {0, 0, w, h}, first, second);
      break;
    case bsFrame:
      Edge(Canvas(), {1, 1, w, h}, second, second);
      Edge(Canvas(), {0, 0, w - 1, h - 1}, first, first);
      break;
    case bsTopLine:
      Fill(Canvas(), first, {0, 0, w, 1});
      Fill(Canvas(), second, {0, 1, w, 2});
      break;
    case bsBottomLine:
      Fill(Canvas(), first, {0, h - 2, w, h - 1});
      Fill(Canvas(), second, {0, h - 1, w, h});
      break;
    case bsLeftLine:
      Fill(Canvas(), first, {0, 0, 1, h});
      Fill(Canvas(), second, {1, 0, 2, h});
      break;
    case bsRightLine:
      Fill(Canvas(), first, {w - 2, 0, w - 1, h});
      Fill(Canvas(), second, {w - 1, 0, w, h});
      break;
    case bsSpacer:
      break;
  }
}
