#include "platform/controls/CustomControl.h"

#include <QPainter>
#include <QWidget>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/PainterContext.h"

namespace {

inline constexpr const char* kNoPaintText = "Control is not painting";

// A canvas over the painter, made the control's canvas for a scope.
class PaintScope {
 public:
  PaintScope(TCanvas*& slot, QPainter& painter, const TControl& control) : slot_(slot), dc_(painter), canvas_(dc_) {
    canvas_.SetFont(control.Font());
    canvas_.Brush()->SetColor(control.Color());
    slot_ = &canvas_;
  }
  ~PaintScope() { slot_ = nullptr; }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

 private:
  TCanvas*& slot_;
  PainterContext dc_;
  TCanvas canvas_;
};

TCanvas& PaintingCanvas(TCanvas* canvas) {
  if (!canvas) throw EInvalidOperation(kNoPaintText);
  return *canvas;
}

}  // namespace

void DescribeTCustomControl(TClassInfo& Info) { AddMessageHandler<&TCustomControl::WMPaint>(Info, WM_PAINT); }
KESTOVA_CLASS_INFO_DESCRIBED(TCustomControl, TWinControl, "Controls", nullptr, DescribeTCustomControl)
KESTOVA_CLASS_INFO(TGraphicControl, TControl, "Controls", nullptr)

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

TCanvas& TCustomControl::Canvas() const { return PaintingCanvas(canvas_); }

void TCustomControl::WMPaint(TMessage& Message) {
  if (!Painting()) return;
  {
    QPainter painter(Handle());
    PaintScope scope(canvas_, painter, *this);
    Paint();
  }
  PaintControls();
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

TCanvas& TGraphicControl::Canvas() const { return PaintingCanvas(canvas_); }

void TGraphicControl::PaintIn(QPainter& Painter) {
  Painter.save();
  Painter.translate(Left(), Top());
  Painter.setClipRect(0, 0, Width(), Height());
  {
    PaintScope scope(canvas_, Painter, *this);
    Paint();
  }
  Painter.restore();
}
