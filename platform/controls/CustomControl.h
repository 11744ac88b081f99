#pragma once
// The two controls that paint themselves: TCustomControl, a window control
// (a plain QWidget window), and TGraphicControl, which has no window and is
// painted and hit-tested by its parent.
//
// Painting: a class overrides Paint and draws on Canvas(), a canvas over the
// control's client area (MM_TEXT, one unit a pixel, the origin at the
// control's top-left corner, default font, pen and brush), valid only during
// Paint. Paint runs for
// each paint of the window; a control asks for one with Invalidate. The
// children without a window are painted over the parent's own painting.

#include <QtGlobal>

#include "platform/controls/Controls.h"

class QPainter;
class TCanvas;

class TCustomControl : public TWinControl {
  KESTOVA_CLASS(TCustomControl)
 public:
  explicit TCustomControl(TComponent* AOwner);

 protected:
  // Draws the control; the base draws nothing.
  virtual void Paint() {}
  // The canvas of the paint under way. Raises EInvalidOperation outside
  // Paint.
  TCanvas& Canvas() const;

 private:
  friend void DescribeTCustomControl(TClassInfo& Info);
  void WMPaint(TMessage& Message);
  TCanvas* canvas_ = nullptr;
};

class TGraphicControl : public TControl {
  KESTOVA_CLASS(TGraphicControl)
 public:
  explicit TGraphicControl(TComponent* AOwner);

 protected:
  virtual void Paint() {}
  TCanvas& Canvas() const;

 private:
  friend class TWinControl;
  // Paints this control at its place with Painter, clipped to its bounds.
  void PaintIn(QPainter& Painter);
  TCanvas* canvas_ = nullptr;
};
