#pragma once
// The two controls that paint themselves: TCustomControl, a window control
// (a plain QWidget window), and TGraphicControl, which has no window and is
// painted and hit-tested by its parent.
//
// Painting: a class overrides Paint and draws on Canvas(), a canvas over the
// control's client area (MM_TEXT, one unit a pixel, the origin at the
// client area's top-left corner, clipped to it, default font, pen and
// brush), valid only during Paint. Before it, WM_NCPAINT (LParam a TCanvas*
// over the whole window, window coordinates) draws the non-client margins;
// the base fills the corner between two showing scroll bars. Paint runs for
// each paint of the window; a control asks for one with Invalidate. The
// children without a window are painted over the parent's own painting.
//
// The overlay: DrawOverlay draws on the control outside painting, as the
// classic desktop let a control draw on the screen at any time (focus and
// drop rectangles). The drawing is kept in the control's overlay journal
// (platform/ui/Overlay.h) and shown over the painted picture; an inverting
// drawing made twice leaves the pixels as painted. Invalidate makes a fresh
// picture and forgets the overlay; other repaints of the window (the window
// exposed, focus) show the last picture with the overlay over it.

#include <QImage>
#include <QtGlobal>
#include <functional>
#include <memory>

#include "platform/controls/Controls.h"

class QPainter;
class TCanvas;
class OverlayJournal;

class TCustomControl : public TWinControl {
  KESTOVA_CLASS(TCustomControl)
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;

  void Invalidate() override;
  // Draws on the overlay (see above) in client coordinates, with a canvas
  // of the control's font and colour, and shows it.
  void DrawOverlay(const std::function<void(TCanvas& Canvas)>& Draw);
  // What the window shows now (the picture and the overlay), for tests; a
  // null image before the first paint.
  QImage ShownImage() const;

 protected:
  // Draws the control; the base draws nothing.
  virtual void Paint() {}
  // Draws the non-client margins on Canvas (window coordinates); the base
  // fills the corner between two showing scroll bars with clBtnFace.
  virtual void NCPaint(TCanvas& Canvas);
  // The canvas of the paint under way. Raises EInvalidOperation outside
  // Paint.
  TCanvas& Canvas() const;

 private:
  friend void DescribeTCustomControl(TClassInfo& Info);
  void WMPaint(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  // Paints the window's picture afresh into picture_.
  void PaintPicture(const QSize& Size);
  TCanvas* canvas_ = nullptr;
  QImage picture_;  // the last painted picture, without the overlay
  bool pictureStale_ = true;
  std::unique_ptr<OverlayJournal> overlay_;
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
