#include "platform/controls/CustomControl.h"

#include <QPainter>
#include <QWidget>

#include "platform/controls/ScrollBars.h"
#include "platform/graphics/SystemMetrics.h"
#include "platform/ui/Overlay.h"

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

void DescribeTCustomControl(TClassInfo& Info) {
  AddMessageHandler<&TCustomControl::WMPaint>(Info, WM_PAINT);
  AddMessageHandler<&TCustomControl::WMNCPaint>(Info, WM_NCPAINT);
}
KESTOVA_CLASS_INFO_DESCRIBED(TCustomControl, TWinControl, "Controls", nullptr, DescribeTCustomControl)
KESTOVA_CLASS_INFO(TGraphicControl, TControl, "Controls", nullptr)

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

TCustomControl::~TCustomControl() = default;

TCanvas& TCustomControl::Canvas() const { return PaintingCanvas(canvas_); }

void TCustomControl::Invalidate() {
  // The overlay drawn until the fresh picture is painted is painted over, as
  // on a screen; it is forgotten when that happens.
  pictureStale_ = true;
  TWinControl::Invalidate();
}

void TCustomControl::PaintPicture(const QSize& Size) {
  picture_ = QImage(Size, QImage::Format_ARGB32_Premultiplied);
  picture_.fill(Qt::transparent);
  QPainter painter(&picture_);
  {
    PaintScope scope(canvas_, painter, *this);
    Perform(WM_NCPAINT, 0, reinterpret_cast<std::intptr_t>(canvas_));
  }
  const Point o = ClientOffset();
  const Rect client = ClientRect();
  painter.translate(static_cast<int>(o.x), static_cast<int>(o.y));
  painter.setClipRect(0, 0, static_cast<int>(client.right), static_cast<int>(client.bottom));
  PaintScope scope(canvas_, painter, *this);
  Paint();
  pictureStale_ = false;
  if (overlay_) overlay_->Clear();
}

void TCustomControl::WMPaint(TMessage&) {
  if (!Painting()) return;
  QWidget* widget = Handle();
  // Without an overlay every paint is a fresh one, so a class may repaint
  // without Invalidate (Qt repaints on focus changes, for one).
  if (pictureStale_ || picture_.size() != widget->size() || !overlay_ || overlay_->Empty()) PaintPicture(widget->size());
  {
    QPainter painter(widget);
    painter.drawImage(0, 0, overlay_ && !overlay_->Empty() ? ShownImage() : picture_);
  }
  PaintControls();
}

void TCustomControl::WMNCPaint(TMessage& Message) { NCPaint(*reinterpret_cast<TCanvas*>(Message.LParam)); }

void TCustomControl::NCPaint(TCanvas& Canvas) {
  if (!ScrollBarShown(SB_HORZ) || !ScrollBarShown(SB_VERT)) return;
  const Rect client = ClientRect();
  const Point o = ClientOffset();
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  const Coord right = o.x + client.right, bottom = o.y + client.bottom;
  {
    Canvas.Brush()->SetColor(clBtnFace);
    Canvas.FillRect({right, bottom, right + cx, bottom + cy});
  }
}

void TCustomControl::DrawOverlay(const std::function<void(TCanvas& Canvas)>& Draw) {
  if (!overlay_) overlay_ = std::make_unique<OverlayJournal>();
  overlay_->Draw([&](DeviceContext& dc) {
    TCanvas canvas(dc);
    canvas.SetFont(Font());
    canvas.Brush()->SetColor(Color());
    Draw(canvas);
  });
  if (HandleAllocated()) Handle()->update();
}

QImage TCustomControl::ShownImage() const {
  if (picture_.isNull() || !overlay_ || overlay_->Empty()) return picture_;
  QImage shown = picture_.copy();
  QPainter painter(&shown);
  const Point o = ClientOffset();
  const Rect client = ClientRect();
  painter.translate(static_cast<int>(o.x), static_cast<int>(o.y));
  painter.setClipRect(0, 0, static_cast<int>(client.right), static_cast<int>(client.bottom));
  overlay_->Play(painter);
  return shown;
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
