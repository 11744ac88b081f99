#include "platform/controls/HintWindow.h"

#include <QWidget>

#include "platform/controls/ControlWindow.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/DrawText.h"
#include "platform/graphics/TraceContext.h"
#include "platform/ui/Application.h"
#include "platform/ui/PopupWindow.h"

void DescribeTHintWindow(TClassInfo& Info) { AddMessageHandler<&THintWindow::CMTextChanged>(Info, CM_TEXTCHANGED); }
KESTOVA_CLASS_INFO_DESCRIBED(THintWindow, TCustomControl, "Controls", nullptr, DescribeTHintWindow)

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetVisible(false);
  SetParentColor(false);
  SetColor(Application->HintColor());
}

THintWindow::~THintWindow() = default;

TControlWindowBase* THintWindow::CreateWindowWidget(QWidget* Parent) {
  return new TControlWindow<TPopupWindow>(this, Parent);
}

void THintWindow::CreateWnd() {
  TCustomControl::CreateWnd();
  SetColor(Application->HintColor());
}

void THintWindow::SetCaption(const std::string& Value) {
  if (Value == caption_) return;
  caption_ = Value;
  Perform(CM_TEXTCHANGED, 0, 0);
  Invalidate();
}

void THintWindow::CMTextChanged(TMessage&) {}

void THintWindow::ActivateHint(const Rect& ARect, const std::string& AHint) {
  SetCaption(AHint);
  SetBounds(ARect.left, ARect.top, ARect.right - ARect.left, ARect.bottom - ARect.top);
  SetVisible(true);
}

void THintWindow::ReleaseHint() { SetVisible(false); }

bool THintWindow::IsHintVisible() const {
  // The window, not the Visible flag: the flag is the wish, the window what
  // the screen shows.
  return HandleAllocated() && const_cast<THintWindow*>(this)->Handle()->isVisible();
}

Rect THintWindow::HintClientRect() const {
  return {FrameWidth, FrameWidth, Width() - FrameWidth, Height() - FrameWidth};
}

const TextMeasurer& THintWindow::Measurer() const { return measurer_ ? *measurer_ : ScreenTextMeasurer(); }

TCanvas& THintWindow::MeasureCanvas() {
  if (!measureCanvas_) {
    measureDc_ = std::make_unique<TraceContext>();
    measureDc_->SetTextMeasurer(&Measurer());
    measureCanvas_ = std::make_unique<TCanvas>(*measureDc_);
  }
  // Nothing is drawn here; the trace of the measures is not kept.
  measureDc_->Clear();
  measureCanvas_->SetFont(Font());
  return *measureCanvas_;
}

void THintWindow::SetTextMeasurer(const TextMeasurer* Measurer) {
  measurer_ = Measurer;
  if (measureDc_) measureDc_->SetTextMeasurer(&this->Measurer());
}

void THintWindow::Paint() {
  EraseBackground();
  Canvas().Handle().SetTextMeasurer(&Measurer());
  Canvas().RequireFont();
  Canvas().Handle().SetTextColor(clInfoText);
  Canvas().Handle().SetBkMode(TRANSPARENT);
  Rect r = HintClientRect();
  r.left += 2;
  DrawText(Canvas().Handle(), caption_, r, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  DrawHintFrame();
}

void THintWindow::EraseBackground() {
  Canvas().Brush()->SetColor(Color());
  Canvas().Brush()->SetStyle(TBrushStyle::bsSolid);
  Canvas().FillRect(ClientRect());
}

void THintWindow::DrawHintFrame() {
  Rect whole{0, 0, Width(), Height()};
  DrawEdge(Canvas().Handle(), whole, BDR_RAISEDOUTER, BF_RECT);
}
