#pragma once
// THintWindow: the small window that shows a hint. Its window is a pop-up
// window (platform/ui/PopupWindow.h): frameless, above the other windows,
// never taking the focus, neither when shown nor when clicked, and no
// Qt::Popup (it grabs nothing).
//
// A raised one-pixel frame (DrawHintFrame) is drawn over the window's edge;
// the client area is the window inside that frame, and the text is drawn
// from 2 pixels right of the client area's left edge, in clInfoText on the
// hint colour of the application (Application->HintColor(), set when the
// window is made).
//
// Text is measured with the window's text measurer (ScreenTextMeasurer by
// default; tests set a FixedTextMeasurer), outside painting too, through
// MeasureCanvas().

#include <memory>
#include <string>

#include "platform/controls/CustomControl.h"

class TextMeasurer;
class TraceContext;

class THintWindow : public TCustomControl {
  KESTOVA_CLASS(THintWindow)
 public:
  explicit THintWindow(TComponent* AOwner);
  ~THintWindow() override;

  // The width of the frame on each side, in pixels.
  static constexpr int FrameWidth = 1;

  const std::string& Caption() const { return caption_; }
  // A changed text sends CM_TEXTCHANGED and repaints the window.
  void SetCaption(const std::string& Value);

  // Sets the text, places the window at Rect (screen coordinates) and shows
  // it without activating it. The base takes Rect as it is.
  virtual void ActivateHint(const Rect& ARect, const std::string& AHint);
  // Hides the window; its window stays made.
  void ReleaseHint();
  // The window exists and is shown on the screen.
  bool IsHintVisible() const;

  // The client area, in window coordinates: the window inside the frame.
  Rect HintClientRect() const;

  // Measures text: a canvas in the window's font, with the window's text
  // measurer, usable at any time (nothing is drawn).
  TCanvas& MeasureCanvas();
  // nullptr goes back to ScreenTextMeasurer.
  void SetTextMeasurer(const TextMeasurer* Measurer);

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
  void CreateWnd() override;
  // The base draws Caption on one line in clInfoText, then the frame.
  void Paint() override;
  // Fills the whole window with Color (during Paint), as a window's
  // background is erased before it is painted.
  void EraseBackground();
  // Draws the raised outer edge over the whole window (during Paint).
  void DrawHintFrame();

 private:
  friend void DescribeTHintWindow(TClassInfo& Info);
  void CMTextChanged(TMessage& Message);
  const TextMeasurer& Measurer() const;

  std::string caption_;
  const TextMeasurer* measurer_ = nullptr;
  std::unique_ptr<TraceContext> measureDc_;
  std::unique_ptr<TCanvas> measureCanvas_;
};
