#pragma once
// The application's hints: while the mouse rests over a control that has a
// Hint and whose ShowHint is set, a hint window (THintWindow) shows the hint
// just below the mouse.
//
// The hint's control is the one under the mouse, a window control or the
// graphic child of one under the point (each button drawn in an edit has
// its own hint), or else the nearest parent of it with a Hint. The hint
// shows after the application's HintPause of the mouse over that control
// (HintShortPause when another hint was showing just before), goes after
// HintHidePause, when the mouse moves to another control or on a button
// press, and does not come back until the mouse reaches another control.
//
// A window control may have hints of its own parts (a tree view's clipped
// captions): at each move the window control under the mouse is sent
// CM_HINTSHOW with LParam pointing to a THintInfo that holds the mouse
// position. A control with such a hint there fills in the text, the screen
// rectangle the hint belongs to and where the hint window goes, and
// answers 1; that hint then wins over the control's Hint and needs no
// ShowHint. It shows after HintPause like any hint and comes back only when
// the mouse reaches another rectangle or control.
//
// It listens to the application's mouse hook chain (InputHooks.h) from the
// first ListenForHints on; a control setting ShowHint calls it. GUI thread
// only.

#include <QPoint>
#include <QRect>
#include <string>

class QWidget;
class TControl;
class THintWindow;

// What CM_HINTSHOW asks and a control answers, in screen pixels.
struct THintInfo {
  QPoint CursorPos;   // the mouse
  std::string HintStr;
  QRect CursorRect;   // the hint holds while the mouse stays inside
  QPoint HintPos;     // the hint window's top-left corner
};

// Adds the hint listener to the mouse hooks, once.
void ListenForHints();

// The control whose hint the mouse over Widget at the widget point Local
// asks for, or nullptr: none has a Hint, or its ShowHint is not set.
TControl* HintControlAt(QWidget* Widget, QPoint Local);

// The hint window, once one was shown; nullptr before.
THintWindow* ApplicationHintWindow();
// Hides a showing hint.
void CancelHint();
