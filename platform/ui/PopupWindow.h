#pragma once
// A pop-up window: frameless, above the other windows, and never taking the
// focus, neither when shown nor when clicked, so the control that opened it
// (an edit, say) keeps the keyboard. It is no Qt::Popup: it grabs nothing
// and does not close on a click outside it; its owner decides when it goes,
// and sees clicks outside it through the application's mouse hook.
//
// Use it as a window of its own (no parent widget) or as the base class of a
// control's window (TControlWindow<TPopupWindow>).

#include <QWidget>

class TPopupWindow : public QWidget {
 public:
  explicit TPopupWindow(QWidget* Parent = nullptr);

  // Shows the window with Bounds (screen coordinates) without activating it.
  void ShowAt(const QRect& Bounds);
};

// The window flags and attributes of a pop-up window, for a widget that
// cannot derive from TPopupWindow.
void MakePopupWindow(QWidget& Window);

// Takes a child window out of its parent and makes it a pop-up window on the
// desktop at Bounds (screen coordinates), shown or hidden as it was.
void DetachPopupWindow(QWidget& Window, const QRect& Bounds);
