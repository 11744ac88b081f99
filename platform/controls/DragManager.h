#pragma once
// The drag manager: one drag at a time, inside the program, between
// controls (no drag through the desktop).
//
// A control begins a drag with BeginDrag (or by its DragMode). The drag asks
// the source for a drag object (DoStartDrag), captures the mouse for the
// source and follows the mouse through the application's mouse hook. Once
// the mouse has moved the threshold (or at once when immediate), each move
// finds the control under the mouse, passing over the sprite window, and
// sends it CM_DRAG: dmDragEnter when the mouse comes to it, dmDragMove (its
// Result is the acceptance, from DragOver), and dmDragLeave to the control
// it leaves. The screen cursor shows the drag object's GetDragCursor for the
// acceptance: the source's DragCursor over an accepting target, crNoDrop
// elsewhere. A drag object with an image shows it in the sprite window.
//
// Releasing the left button ends the drag: an accepting target gets
// dmDragDrop (DragDrop), any other target dmDragLeave; then the source's
// DoEndDrag with the target, or nullptr when nothing was dropped. Esc
// cancels: the target gets dmDragLeave and the source DoEndDrag(nullptr).
// While the drag runs, the drag object hears the other keys first (DragKey;
// the tree views switch between copying and moving there), and the target
// is asked again at the same place. The mouse events of a running drag reach
// no control; a press released before the threshold was reached is left to
// the control, and ends the drag with DoEndDrag(nullptr).
//
// CM_DRAG: WParam a TDragMessage, LParam a TDragRec* (valid during the
// call). A control freed during the drag leaves it: a freed source ends the
// drag without events of its own. GUI thread only.

#include <QPixmap>
#include <QPoint>
#include <cstdint>

#include "platform/controls/Controls.h"

enum TDragMessage : std::uint8_t { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

struct TDragRec {
  QPoint Pos;  // the mouse, in screen coordinates
  TDragObject* Source = nullptr;
  TControl* Target = nullptr;
};

class TDragObject : public TObject {
  KESTOVA_CLASS(TDragObject)
 public:
  TDragObject() = default;
  // The cursor for the mouse at (X, Y) of the target (screen coordinates
  // when there is none): crDrag when accepted, crNoDrop otherwise.
  virtual TCursorValue GetDragCursor(bool Accepted, int X, int Y);
  // The image shown beside the mouse in the sprite window, and the point of
  // it that sits at the mouse; none by default.
  virtual QPixmap DragImage() const { return {}; }
  virtual QPoint DragHotSpot() const { return {}; }
  // Hears each key pressed (Down) or released during the drag, Esc apart;
  // Swallow keeps it from the focused control. The base does nothing.
  virtual void DragKey(std::uint16_t VK, bool Down, bool& Swallow);
  // Told when the drag ends, after the target heard of it and before the
  // source's DoEndDrag: Target nullptr when nothing was dropped; X, Y the
  // mouse in the target's client coordinates. The base does nothing.
  virtual void Finished(TObject* Target, int X, int Y, bool Accepted);

  // The control under the mouse, the mouse there, and whether that target
  // accepts (as of the last move).
  TControl* DragTarget() const { return target_; }
  QPoint DragPos() const { return pos_; }
  bool Accepted() const { return accepted_; }

 private:
  friend class TDragManager;
  TControl* target_ = nullptr;
  QPoint pos_;
  bool accepted_ = false;
};

// The drag object of a dragged control.
class TDragControlObject : public TDragObject {
  KESTOVA_CLASS(TDragControlObject)
 public:
  explicit TDragControlObject(TControl* AControl) : control_(AControl) {}
  TControl* Control() const { return control_; }
  // The control's DragCursor when accepted.
  TCursorValue GetDragCursor(bool Accepted, int X, int Y) override;

 private:
  friend class TDragManager;
  TControl* control_;
};

// The control under the screen point Pos, passing over the sprite window:
// the window control there, or its child without a window at that point.
TControl* FindDragTarget(const QPoint& Pos);
// Client coordinates of Control for the screen point Pos.
QPoint ControlScreenToClient(const TControl* Control, const QPoint& Pos);

// Takes Control out of the running drag; TControl's destructor calls it.
void ForgetDragControl(const TControl* Control);
