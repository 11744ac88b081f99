#include "components/base/ZRHint.h"

#include <algorithm>

#include "components/base/zrcontrols.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/Timer.h"
#include "platform/core/StringList.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawText.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"

namespace {
constexpr unsigned kTickInterval = 50;
constexpr int kCursorOffset = 20;

std::unique_ptr<TFont> BoldCopy(const TFont* Source) {
  auto font = std::make_unique<TFont>();
  font->Assign(Source);
  TFontStyles style = font->Style();
  style.Include(TFontStyle::fsBold);
  font->SetStyle(style);
  return font;
}
}  // namespace

// ---- TZRHintWindow ----

void DescribeTZRHintWindow(TClassInfo& Info) { AddMessageHandler<&TZRHintWindow::CMTextChanged>(Info, CM_TEXTCHANGED); }
KESTOVA_CLASS_INFO_DESCRIBED(TZRHintWindow, THintWindow, "zrhint", nullptr, DescribeTZRHintWindow)

TZRHintWindow::TZRHintWindow(TComponent* AOwner) : THintWindow(AOwner), boldVariant_(BoldCopy(Font())) {}

TZRHintWindow::~TZRHintWindow() = default;

void TZRHintWindow::RenewBoldVariant() { boldVariant_->Assign(BoldCopy(Font()).get()); }

void TZRHintWindow::CreateWnd() {
  THintWindow::CreateWnd();
  SetColor(Application->HintColor());
  RenewBoldVariant();
}

void TZRHintWindow::CMTextChanged(TMessage&) {
  if (!keepSize_) FitToText();
}

void TZRHintWindow::CalcTextSize(const std::string& Text, Size& ASize) {
  lines_.clear();
  TCanvas& canvas = MeasureCanvas();
  if (Text.find("\r\n") == std::string::npos) {
    MeasureStyledText(canvas, *Font(), *boldVariant_, ASize, Text);
    return;
  }
  canvas.RequireFont();
  Rect whole{0, 0, 0, 0};
  ASize.cy = DrawText(canvas.Handle(), Text, whole, DT_CALCRECT | DT_NOPREFIX);
  ASize.cx = 0;
  TStringList split;
  split.SetTextStr(Text);
  for (int i = 0; i < split.Count(); ++i) {
    Size line;
    MeasureStyledText(canvas, *Font(), *boldVariant_, line, split[i]);
    line.cx += 8;
    lines_.push_back({split[i], static_cast<int>(line.cy)});
    ASize.cx = std::max(ASize.cx, line.cx);
  }
}

void TZRHintWindow::FitToText() {
  if (!HandleAllocated()) return;
  Size size;
  CalcTextSize(Caption(), size);
  SetBounds(Left(), Top(), static_cast<int>(size.cx) + 4, static_cast<int>(size.cy) + 4);
}

void TZRHintWindow::ActivateHint(const Rect& ARect, const std::string& AHint) {
  keepSize_ = Caption() == AHint;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{keepSize_};
  SetCaption(AHint);

  Rect r = ARect;
  r.bottom += 4;
  SetBounds(static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.Width()),
            static_cast<int>(r.Height()));
  const int screenWidth = Screen->Width();
  const int screenHeight = Screen->Height();
  if (r.top + Height() > screenHeight) r.top = screenHeight - Height();
  if (r.left + Width() > screenWidth) r.left = screenWidth - Width();
  if (r.left < 0) r.left = 0;
  if (r.top < 0) r.top = 0;
  THintWindow::ActivateHint({r.left, r.top, r.left + Width(), r.top + Height()}, AHint);
}

void TZRHintWindow::Paint() {
  EraseBackground();
  TCanvas& canvas = Canvas();
  canvas.Handle().SetTextMeasurer(&MeasureCanvas().Handle().Measurer());
  canvas.Handle().SetTextColor(clInfoText);
  canvas.Handle().SetBkMode(TRANSPARENT);
  Rect r = HintClientRect();
  r.left += 2;
  int start = 0, len = 0;
  std::string plain;
  if (lines_.empty()) {
    ParseStyleMarkers(Caption(), start, len, plain);
    DrawStyledLine(canvas, *Font(), *boldVariant_, TLeftRightAlign::lrLeftJustify, len, start, plain, r);
  }
  for (const TLine& line : lines_) {
    ParseStyleMarkers(line.Text, start, len, plain);
    DrawStyledLine(canvas, *Font(), *boldVariant_, TLeftRightAlign::lrLeftJustify, len, start, plain, r);
    r.top += line.Height;
  }
  DrawHintFrame();
}

// ---- TZRHint ----

void DescribeTZRHint(TClassInfo& Info) {
  TClassPublisher<TZRHint> p(Info);
  p.Property<&TZRHint::AutoHide, &TZRHint::SetAutoHide>("AutoHide", TypeInfos::Boolean()).Default(1);
  p.Property<&TZRHint::Interval, &TZRHint::SetInterval>("Interval", TypeInfos::Integer());
  p.Property<&TZRHint::Immediate, &TZRHint::SetImmediate>("Immediate", TypeInfos::Boolean());
  p.Property<&TZRHint::BoldFont, &TZRHint::SetBoldFont>("BoldFont", ClassTypeInfo(TFont::StaticClass()));
  p.Property<&TZRHint::Visible, &TZRHint::SetVisible>("Visible", TypeInfos::Boolean());
  p.Property<&TZRHint::Caption, &TZRHint::SetCaption>("Caption", TypeInfos::String());
  p.Property<&TZRHint::Version, &TZRHint::SetVersion>("Version", TypeInfos::String());
  p.Property<&TZRHint::OnVisibleChanged, &TZRHint::OnVisibleChanged>("OnVisibleChanged", TypeInfos::TNotifyEvent());
}
KESTOVA_CLASS_INFO_DESCRIBED(TZRHint, TComponent, "zrhint", &MakeComponent<TZRHint>, DescribeTZRHint)

TZRHint::TZRHint(TComponent* AOwner) : TComponent(AOwner), window_(new TZRHintWindow(this)), ticker_(new TTimer(this)) {
  ticker_->SetEnabled(false);
  ticker_->SetInterval(kTickInterval);
  ticker_->SetOnTimer(TNotifyEvent::Of<&TZRHint::TickerTimer>(*this));
  boldFont_ = BoldCopy(window_->Font());
  boldFont_->OnChange = TNotifyEvent::Of<&TZRHint::BoldFontChanged>(*this);
}

TZRHint::~TZRHint() = default;

void TZRHint::TickerTimer(TObject*) { TimerTick(); }

void TZRHint::BoldFontChanged(TObject*) { window_->BoldVariant()->Assign(boldFont_.get()); }

void TZRHint::SetBoldFont(TFont* Value) {
  boldFont_->Assign(Value);
  window_->BoldVariant()->Assign(boldFont_.get());
}

unsigned TZRHint::Interval() const { return ticker_->Interval(); }
void TZRHint::SetInterval(unsigned Value) { ticker_->SetInterval(Value); }

bool TZRHint::MouseInHintArea(const Rect& Area, const Point& APoint) {
  const Coord top = 2 * Area.top - Area.bottom;
  return APoint.x >= Area.left && APoint.x < Area.right && APoint.y >= top && APoint.y < Area.bottom;
}

void TZRHint::DoVisibleChanged() {
  if (OnVisibleChanged) OnVisibleChanged(this);
}

void TZRHint::TimerTick() {
  const int elapsed = static_cast<int>(ticker_->Interval()) * tickCount_;
  const bool inArea = MouseInHintArea(hintArea_, Screen->CursorPos());
  switch (phase_) {
    case PhaseWaiting: {
      if (autoHide_ && !inArea) {
        phase_ = PhaseHidden;
        break;
      }
      const int pause = window_->IsHintVisible() ? Application->HintShortPause() : Application->HintPause();
      if (immediate_ || elapsed >= pause) {
        DisplayHint();
        tickCount_ = 0;
        phase_ = PhaseShown;
      } else {
        ++tickCount_;
      }
      break;
    }
    case PhaseShown:
      if (!autoHide_ || (inArea && elapsed <= Application->HintHidePause())) {
        ++tickCount_;
      } else {
        HideHintWindow();
        tickCount_ = 0;
        phase_ = PhaseHidden;
      }
      break;
    default:
      HideHintWindow();
      tickCount_ = 0;
      if (!inArea) ticker_->SetEnabled(false);
      break;
  }
}

void TZRHint::CalcHintSize(const std::string& Text, Size& ASize) {
  window_->CalcTextSize(Text, ASize);
  ASize.cx += 8;
}

void TZRHint::Show(const Point& APoint, const std::string& Text, int Offset) {
  verticalOffset_ = Offset;
  if (Text.empty()) {
    CancelHint();
    return;
  }
  Size size;
  window_->CalcTextSize(Text, size);
  hintArea_ = {APoint.x, APoint.y, APoint.x + size.cx + 8, APoint.y + size.cy};
  ticker_->SetEnabled(true);
  phase_ = PhaseWaiting;
  caption_ = Text;
  if (immediate_) TimerTick();
}

void TZRHint::ActivateHintAt(const Point& APoint, const std::string& Text) { Show(APoint, Text, 0); }

void TZRHint::ShowHintAtCursor(const std::string& Text) { Show(Screen->CursorPos(), Text, kCursorOffset); }

void TZRHint::CancelHint() {
  HideHintWindow();
  tickCount_ = 0;
  ticker_->SetEnabled(false);
}

void TZRHint::HideHintWindow() {
  if (window_->IsHintVisible()) window_->ReleaseHint();
  DoVisibleChanged();
}

void TZRHint::DisplayHint() {
  const bool wasVisible = window_->IsHintVisible();
  const Rect shown{hintArea_.left, hintArea_.top + verticalOffset_, hintArea_.right,
                   hintArea_.bottom + verticalOffset_};
  window_->ActivateHint(shown, caption_);
  if (!wasVisible) DoVisibleChanged();
}

bool TZRHint::Visible() const { return window_->IsHintVisible(); }

void TZRHint::SetVisible(bool Value) {
  if (Value == Visible()) return;
  if (Value)
    ShowHintAtCursor(caption_);
  else
    CancelHint();
}

void TZRHint::SetCaption(const std::string& Value) {
  if (Value == caption_) return;
  caption_ = Value;
  if (Visible()) {
    window_->SetCaption(Value);
    window_->Invalidate();
  }
}
