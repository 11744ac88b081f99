#include "platform/controls/CustomControl.h"

#include <QPainter>
#include <QWidget>

#include "platform/core/Exceptions.h"
#include "platform/graphics/PainterContext.h"

namespace {

inline constexpr const char* kNoPaintText = "Control is not painting";

// Makes dc the paint context of `slot` for a scope.
class PaintScope {
 public:
  PaintScope(DeviceContext*& slot, DeviceContext& dc) : slot_(slot) { slot_ = &dc; }
  ~PaintScope() { slot_ = nullptr; }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

 private:
  DeviceContext*& slot_;
};

DeviceContext& PaintingContext(DeviceContext* dc) {
  if (!dc) throw EInvalidOperation(kNoPaintText);
  return *dc;
}

}  // namespace

void DescribeTCustomControl(TClassInfo& Info) { AddMessageHandler<&TCustomControl::WMPaint>(Info, WM_PAINT); }
KESTOVA_CLASS_INFO_DESCRIBED(TCustomControl, TWinControl, "Controls", nullptr, DescribeTCustomControl)
KESTOVA_CLASS_INFO(TGraphicControl, TControl, "Controls", nullptr)

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

DeviceContext& TCustomControl::PaintDC() const { return PaintingContext(paintDC_); }

void TCustomControl::WMPaint(TMessage& Message) {
  if (!Painting()) return;
  {
    QPainter painter(Handle());
    PainterContext dc(painter);
    PaintScope scope(paintDC_, dc);
    Paint();
  }
  PaintControls();
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

DeviceContext& TGraphicControl::PaintDC() const { return PaintingContext(paintDC_); }

void TGraphicControl::PaintIn(QPainter& Painter) {
  Painter.save();
  Painter.translate(Left(), Top());
  Painter.setClipRect(0, 0, Width(), Height());
  {
    PainterContext dc(Painter);
    PaintScope scope(paintDC_, dc);
    Paint();
  }
  Painter.restore();
}
