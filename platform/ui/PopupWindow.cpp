#include "platform/ui/PopupWindow.h"

void MakePopupWindow(QWidget& Window) {
  // The tool-tip type, not the tool type: window systems never activate it
  // (X11 maps it past the window manager), where a tool window may be
  // activated on show whatever its hints say. Qt gives it none of a
  // Qt::Popup's grabbing.
  Window.setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                        Qt::WindowDoesNotAcceptFocus);
  Window.setAttribute(Qt::WA_ShowWithoutActivating);
  Window.setFocusPolicy(Qt::NoFocus);
}

void DetachPopupWindow(QWidget& Window, const QRect& Bounds) {
  if (!Window.parentWidget()) return;
  const bool shown = Window.isVisible();
  Window.setParent(nullptr);
  MakePopupWindow(Window);
  Window.setGeometry(Bounds);
  Window.setVisible(shown);
}

TPopupWindow::TPopupWindow(QWidget* Parent) : QWidget(Parent) { MakePopupWindow(*this); }

void TPopupWindow::ShowAt(const QRect& Bounds) {
  setGeometry(Bounds);
  show();
  raise();
}
