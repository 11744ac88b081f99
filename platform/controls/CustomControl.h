#pragma once
// The two controls that paint themselves: TCustomControl, a window control
// (a plain QWidget window), and TGraphicControl, which has no window and is
// painted and hit-tested by its parent.
//
// Painting: a class overrides Paint and draws on PaintDC(), a device context
// over the control's client area (MM_TEXT, one unit a pixel, the origin at
// the control's top-left corner), valid only during Paint. Paint runs for
// each paint of the window; a control asks for one with Invalidate. The
// children without a window are painted over the parent's own painting.

#include <QtGlobal>

#include "platform/controls/Controls.h"

class QPainter;
class DeviceContext;

class TCustomControl : public TWinControl {
  KESTOVA_CLASS(TCustomControl)
 public:
  explicit TCustomControl(TComponent* AOwner);

 protected:
  // Draws the control; the base draws nothing.
  virtual void Paint() {}
  // The device context of the paint under way. Raises EInvalidOperation
  // outside Paint.
  DeviceContext& PaintDC() const;

 private:
  friend void DescribeTCustomControl(TClassInfo& Info);
  void WMPaint(TMessage& Message);
  DeviceContext* paintDC_ = nullptr;
};

class TGraphicControl : public TControl {
  KESTOVA_CLASS(TGraphicControl)
 public:
  explicit TGraphicControl(TComponent* AOwner);

 protected:
  virtual void Paint() {}
  DeviceContext& PaintDC() const;

 private:
  friend class TWinControl;
  // Paints this control at its place with Painter, clipped to its bounds.
  void PaintIn(QPainter& Painter);
  DeviceContext* paintDC_ = nullptr;
};
