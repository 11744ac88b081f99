#include "platform/ui/Overlay.h"

#include <QPainter>

#include "platform/graphics/PainterContext.h"
#include "platform/graphics/QtGraphics.h"
#include "platform/graphics/TraceContext.h"

namespace {

bool Inverts(Rop2 rop) { return rop == R2_NOT || rop == R2_XORPEN || rop == R2_NOTXORPEN || rop == R2_NOP; }

// Reads a recorded drawing back: its calls as text, and whether every call
// that puts something on the device does so by inverting.
class Inspector final : public TraceContext {
 public:
  explicit Inspector(const DeviceInfo& device) : TraceContext(device) {}
  bool inverting = true;

 protected:
  // Every operation is named, so that a new one cannot pass unseen: one
  // taken for inverting would make a second equal drawing cancel the first.
  void Apply(const Command& command) override {
    TraceContext::Apply(command);
    switch (command.op) {
      case Op::LineTo:
      case Op::Polyline:
      case Op::Polygon:
      case Op::PolyBezier:
      case Op::Ellipse:
      case Op::Arc:
      case Op::Rectangle:
        if (!Inverts(CurrentState().rop2)) inverting = false;
        break;
      case Op::PatBlt:
      case Op::StretchBlt:
        if (command.id != DSTINVERT && command.id != PATINVERT && command.id != SRCINVERT) inverting = false;
        break;
      case Op::TextOut:  // text, bitmaps and fills always copy
      case Op::ExtTextOut:
      case Op::StretchDIBits:
      case Op::FillRect:
        inverting = false;
        break;
      case Op::SetGraphicsMode:  // state and objects put nothing on the device
      case Op::SetMapMode:
      case Op::SetWindowExt:
      case Op::SetViewportExt:
      case Op::SetBkMode:
      case Op::SetBkColor:
      case Op::SetTextColor:
      case Op::SetTextAlign:
      case Op::SetArcDirection:
      case Op::SetROP2:
      case Op::CreateFont:
      case Op::CreatePen:
      case Op::CreateBrush:
      case Op::SelectFont:
      case Op::SelectPen:
      case Op::SelectBrush:
      case Op::DeleteObject:
      case Op::MoveTo:
      case Op::SetBrushOrg:
      case Op::IntersectClipRect:
      case Op::ExcludeClipRect:
      case Op::SelectClipRgn:
      case Op::SaveDC:
      case Op::RestoreDC:
        break;
    }
  }
};

}  // namespace

OverlayJournal::OverlayJournal() : OverlayJournal(ScreenDeviceInfo()) {}

OverlayJournal::OverlayJournal(const DeviceInfo& device) : device_(device) {}

void OverlayJournal::Draw(const DrawProc& draw) {
  PictureRecorder recorder(Rect{}, device_);
  draw(recorder);
  Entry entry;
  entry.drawing = recorder.Close();
  Inspector inspector(device_);
  entry.drawing.Replay(inspector);
  entry.calls = inspector.Text();
  entry.inverting = inspector.inverting;
  if (entry.calls.empty()) return;  // drew nothing
  if (entry.inverting) {
    // Look back over the inverting drawings since the last one that is not:
    // those may be taken in any order, so an equal one cancels.
    for (auto it = entries_.rbegin(); it != entries_.rend() && it->inverting; ++it) {
      if (it->calls == entry.calls) {
        entries_.erase(std::next(it).base());
        return;
      }
    }
  }
  entries_.push_back(std::move(entry));
}

void OverlayJournal::Play(QPainter& painter, std::optional<QRectF> exposed) const {
  if (entries_.empty()) return;
  PainterContext context(painter, device_);
  if (exposed) context.SetExposedRect(*exposed);
  Replay(context);
}

void OverlayJournal::Replay(DeviceContext& dc) const {
  for (const Entry& entry : entries_) entry.drawing.Replay(dc);
}
