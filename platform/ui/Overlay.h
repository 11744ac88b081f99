#pragma once
// The overlay of a control: drawing a control does on itself outside its
// paint handler (focus outlines, drag outlines), as the original platform let
// a control draw straight onto the screen at any time. Qt draws only while
// painting, so such drawing is kept here as a journal: the control draws into
// the journal, asks for a repaint, and its paint handler replays the journal
// over what it painted first.
//
// Inverting drawing - every line and shape drawn with a raster operation
// that only inverts (R2_NOT, R2_XORPEN, R2_NOTXORPEN; R2_NOP draws nothing)
// - undoes itself when drawn twice, and the journal keeps that exact: an
// inverting drawing equal, call for call, to one already kept after the last
// drawing that is not inverting takes that one out instead of being added
// (inverting drawings commute, so the screen is the same). Drawing an
// outline twice therefore leaves nothing to replay, and a journal of focus
// moves holds at most the outline on screen.
//
// Coordinates: the control's pixels (MM_TEXT, one logical unit a pixel).
// Raster operations need a raster device to replay on: the control's backing
// store or a QImage (see PainterContext.h).

#include <QRectF>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Picture.h"

class QPainter;

class OverlayJournal {
 public:
  using DrawProc = std::function<void(DeviceContext& dc)>;

  // `device`: the capabilities the drawing code sees (the screen unless
  // told otherwise).
  OverlayJournal();
  explicit OverlayJournal(const DeviceInfo& device);

  // Runs `draw` on a device context in the control's pixels and keeps what
  // it drew (see above for inverting drawing); a drawing that makes no call
  // is not kept. When `draw` raises, nothing is kept and the error passes on.
  void Draw(const DrawProc& draw);
  // Forgets everything, as when the control is painted afresh.
  void Clear() { entries_.clear(); }
  bool Empty() const { return entries_.empty(); }
  std::size_t Size() const { return entries_.size(); }

  // Replays the kept drawing, oldest first, onto `painter`, which paints the
  // control in its pixel coordinates; with `exposed`, clipped to it. The
  // painter's state is left as it was.
  void Play(QPainter& painter, std::optional<QRectF> exposed = std::nullopt) const;
  // The same onto any device context (tests trace it).
  void Replay(DeviceContext& dc) const;

 private:
  struct Entry {
    Picture drawing;
    std::string calls;  // the calls as a trace: what "equal" means
    bool inverting = false;
  };
  DeviceInfo device_;
  std::vector<Entry> entries_;
};
