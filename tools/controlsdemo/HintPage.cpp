// The "hint" page: a field that shows a two-line hint, each line with a bold
// run, below the resting mouse, after the application's hint pause (the hint
// is not immediate), and hides it after the hide pause. The page prints on
// standard output when the hint shows and hides (milliseconds since the
// mouse came to rest), where its window is, and the colours its frame and
// background should have, so that a script can check a screenshot.

#include <QElapsedTimer>
#include <QWidget>
#include <cstdio>
#include <string>

#include "components/base/ZRHint.h"
#include "platform/controls/Timer.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/QtGraphics.h"
#include "tools/controlsdemo/Pages.h"

namespace {

const char* const kHintText = "Rest ~here~ a moment\r\nand the hint ~hides~ again";

std::string Hex(TColor color) { return QColorOf(color).name().toStdString(); }

class THintDemo : public TCustomControl {
  KESTOVA_CLASS(THintDemo)
 public:
  explicit THintDemo(TComponent* AOwner) : TCustomControl(AOwner), hint_(new TZRHint(this)) {
    hint_->SetImmediate(false);
    hint_->OnVisibleChanged = TNotifyEvent::Of<&THintDemo::VisibleChanged>(*this);
  }

 protected:
  void MouseMove(TShiftState Shift, int X, int Y) override {
    TCustomControl::MouseMove(Shift, X, Y);
    // The state machine runs until the mouse leaves the hint's area; a move
    // after that starts it again.
    if (hint_->Ticker()->Enabled()) return;
    rest_.start();
    hint_->ShowHintAtCursor(kHintText);
  }

  void Paint() override {
    TCanvas& canvas = Canvas();
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(ClientRect());
    canvas.Font()->SetSize(12);
    canvas.TextOut(12, 12, "Rest the mouse over this page: a hint shows after");
    canvas.TextOut(12, 36, "the hint pause and hides after the hide pause.");
  }

 private:
  void VisibleChanged(TObject*) {
    // The hint tells on every tick while it waits for the mouse to leave;
    // only real changes are printed.
    const bool visible = hint_->Visible();
    if (visible == shown_) return;
    shown_ = visible;
    std::printf("%s after %lld ms\n", visible ? "shown" : "hidden", static_cast<long long>(rest_.elapsed()));
    if (visible) {
      const Rect bounds = hint_->Window()->BoundsRect();
      std::printf("window: %lld %lld %lld %lld\n", static_cast<long long>(bounds.left),
                  static_cast<long long>(bounds.top), static_cast<long long>(bounds.Width()),
                  static_cast<long long>(bounds.Height()));
      std::printf("colours: %s %s %s\n", Hex(cl3DLight).c_str(), Hex(cl3DDkShadow).c_str(), Hex(clInfoBk).c_str());
    }
    std::fflush(stdout);
  }

  TZRHint* hint_;
  QElapsedTimer rest_;
  bool shown_ = false;
};
KESTOVA_CLASS_INFO(THintDemo, TCustomControl, "ControlsDemo", nullptr)

}  // namespace

TWinControl* MakeHintPage() {
  auto* page = new TWinControl(nullptr);
  page->SetBounds(40, 40, 480, 200);
  THintDemo* demo = Construct<THintDemo>(page);
  demo->SetParent(page);
  demo->SetBounds(0, 0, 480, 200);
  page->Handle()->setWindowTitle("controlsdemo: hint");
  demo->Handle()->setMouseTracking(true);
  page->Show();
  return page;
}
