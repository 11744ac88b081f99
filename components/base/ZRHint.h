#pragma once
// The hint component: TZRHint shows a hint window of its own (TZRHintWindow)
// at a point or below the mouse, driven by a 50 ms ticker through a small
// state machine. It waits for the application's hint pause before showing,
// keeps the hint while the mouse stays in the hint's area, and hides it after
// the application's hide pause or when the mouse leaves. A text may have
// several lines (separated by CR LF) with one bold run each (zrcontrols.h).
//
// The mouse position and the screen's size come from Screen (its source is
// replaced in tests), so the state machine runs without a mouse.
//
// Published: AutoHide (default true), Interval, Immediate (always stored),
// BoldFont, Visible, Caption, Version, OnVisibleChanged.
//
// Single GUI thread.

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/controls/HintWindow.h"

class TTimer;

// The hint's own window.
class TZRHintWindow : public THintWindow {
  KESTOVA_CLASS(TZRHintWindow)
 public:
  explicit TZRHintWindow(TComponent* AOwner);
  ~TZRHintWindow() override;

  // A line of a multi-line text and its height in pixels.
  struct TLine {
    std::string Text;
    int Height = 0;
    bool operator==(const TLine&) const = default;
  };

  // The font's bold copy that draws the bold runs; renewed from the font
  // when the window is made.
  TFont* BoldVariant() const { return boldVariant_.get(); }
  // The lines of the text measured last; empty for a one-line text.
  const std::vector<TLine>& Lines() const { return lines_; }

  // The size of Text. A text holding CR LF is split into Lines: its height
  // is DrawText's (DT_CALCRECT) for the whole text, markers counted as
  // characters, and its width the widest line's styled width + 8. Any other
  // text is one line, measured with MeasureStyledText.
  void CalcTextSize(const std::string& Text, Size& ASize);
  // While the window exists: its size becomes the caption's size + 4 each
  // way.
  void FitToText();

  // Sets the text (refitting the window unless the text is unchanged), grows
  // ARect's bottom by 4, moves it inside the screen (right and bottom edges
  // first, then left and top to 0) and shows the window there without
  // activating it.
  void ActivateHint(const Rect& ARect, const std::string& AHint) override;

 protected:
  void CreateWnd() override;
  // Each line (or the caption) with its bold run, from 2 pixels into the
  // client area, then the frame.
  void Paint() override;

 private:
  friend void DescribeTZRHintWindow(TClassInfo& Info);
  void CMTextChanged(TMessage& Message);
  void RenewBoldVariant();

  std::unique_ptr<TFont> boldVariant_;
  bool keepSize_ = false;
  std::vector<TLine> lines_;
};

class TZRHint : public TComponent {
  KESTOVA_CLASS(TZRHint)
 public:
  explicit TZRHint(TComponent* AOwner);
  ~TZRHint() override;

  // Phases of the state machine.
  static constexpr int PhaseShown = 0;
  static constexpr int PhaseHidden = 1;   // hidden until the mouse leaves the area
  static constexpr int PhaseWaiting = 2;  // waiting to show

  // One step of the state machine; the ticker runs it every Interval.
  //   Waiting: with AutoHide and the mouse out of the area, Hidden. Else,
  //     when Immediate or the time waited (Interval x TickCount, taken
  //     before this tick) reaches the pause (HintShortPause when the window
  //     is showing, else HintPause): DisplayHint, Shown; else count a tick.
  //   Shown: without AutoHide, or with the mouse in the area and at most
  //     HintHidePause gone, count a tick; else HideHintWindow, Hidden.
  //   Hidden: HideHintWindow (OnVisibleChanged fires on every such tick);
  //     with the mouse out of the area the ticker stops.
  virtual void TimerTick();
  // Fires OnVisibleChanged.
  virtual void DoVisibleChanged();
  // True when APoint is in Area extended upwards by its own height; the
  // right and bottom edges are outside.
  virtual bool MouseInHintArea(const Rect& Area, const Point& APoint);

  // The window's CalcTextSize of Text, 8 wider.
  void CalcHintSize(const std::string& Text, Size& ASize);
  // Shows Text at APoint (screen coordinates): the area is the text's size
  // + 8 wide; the ticker starts waiting, and with Immediate one tick runs at
  // once. An empty Text cancels the hint.
  void ActivateHintAt(const Point& APoint, const std::string& Text);
  // As ActivateHintAt at the mouse, every display 20 pixels lower.
  void ShowHintAtCursor(const std::string& Text);
  // Hides the window and stops the ticker.
  void CancelHint();

  bool AutoHide() const { return autoHide_; }
  void SetAutoHide(bool Value) { autoHide_ = Value; }
  bool Immediate() const { return immediate_; }
  void SetImmediate(bool Value) { immediate_ = Value; }
  unsigned Interval() const;
  void SetInterval(unsigned Value);
  TFont* BoldFont() const { return boldFont_.get(); }
  // BoldFont takes Value's attributes, and the window's BoldVariant BoldFont's.
  void SetBoldFont(TFont* Value);
  const std::string& Caption() const { return caption_; }
  // A changed caption is shown at once while the window is visible.
  void SetCaption(const std::string& Value);
  // Whether the window is visible on the screen. Setting true shows Caption
  // at the mouse; false cancels the hint.
  bool Visible() const;
  void SetVisible(bool Value);
  const std::string& Version() const { return version_; }
  void SetVersion(const std::string& Value) { version_ = Value; }
  TNotifyEvent OnVisibleChanged;

  TZRHintWindow* Window() const { return window_; }
  TTimer* Ticker() const { return ticker_; }
  const Rect& HintArea() const { return hintArea_; }
  int Phase() const { return phase_; }
  int TickCount() const { return tickCount_; }
  int VerticalOffset() const { return verticalOffset_; }

 protected:
  // Shows Caption over HintArea moved down by VerticalOffset.
  void DisplayHint();
  // Hides the window when it is visible; OnVisibleChanged in every case.
  void HideHintWindow();

  int phase_ = PhaseWaiting;
  int tickCount_ = 0;  // ticks counted in the current phase

 private:
  friend void DescribeTZRHint(TClassInfo& Info);
  void Show(const Point& APoint, const std::string& Text, int Offset);
  void TickerTimer(TObject* Sender);
  void BoldFontChanged(TObject* Sender);

  bool autoHide_ = true;
  TZRHintWindow* window_;  // owned as a component
  TTimer* ticker_;         // owned as a component
  Rect hintArea_;
  std::unique_ptr<TFont> boldFont_;
  std::string caption_;
  bool immediate_ = true;
  int verticalOffset_ = 0;
  std::string version_;
};
