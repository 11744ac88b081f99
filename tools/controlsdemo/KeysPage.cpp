// The "keys" page: a key-driven control with the default keys Ctrl+K (to
// state 1), B in state 1, Ctrl+S in any state and a later Ctrl+S for state
// 1. It shows its keyboard state, the last action and what was typed, and
// prints each action and state change on standard output, so that a script
// can drive it with real key presses.

#include <QWidget>
#include <cstdio>
#include <string>

#include "components/base/ZRCustomControl.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "tools/controlsdemo/Pages.h"

namespace {

class TKeysDemo : public TZRCustomControl {
  KESTOVA_CLASS(TKeysDemo)
 public:
  using TZRCustomControl::TZRCustomControl;

  void Block() { Act("Block"); }
  void Save() { Act("Save"); }
  void SaveInSequence() { Act("Save in sequence"); }

 protected:
  void InitDefaultKeys() override {
    Keys()->AddKeyEx('K', {ssCtrl}, nullptr, 0, 1);
    Keys()->AddKeyEx('B', {}, TKeyAction::Of<&TKeysDemo::Block>(*this), 1, 0);
    Keys()->AddKeyAnyState('S', {ssCtrl}, TKeyAction::Of<&TKeysDemo::Save>(*this));
    Keys()->AddKeyEx('S', {ssCtrl}, TKeyAction::Of<&TKeysDemo::SaveInSequence>(*this), 1, 0);
  }

  bool ProcessChar(char32_t Ch) override {
    if (Ch < 0x20) return false;
    typed_ += QString::fromUcs4(&Ch, 1).toStdString();
    std::printf("typed: %s\n", typed_.c_str());
    std::fflush(stdout);
    Invalidate();
    return true;
  }

  void KeyDown(std::uint16_t& Key, TShiftState Shift) override {
    const int before = KeyboardState();
    TZRCustomControl::KeyDown(Key, Shift);
    if (KeyboardState() != before) {
      std::printf("state: %d\n", KeyboardState());
      std::fflush(stdout);
    }
    Invalidate();
  }

  void Paint() override {
    TCanvas& canvas = Canvas();
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(ClientRect());
    canvas.Font()->SetSize(14);
    const std::string lines[] = {
        "Keyboard state: " + std::to_string(KeyboardState()),
        "Last action: " + (lastAction_.empty() ? std::string("(none)") : lastAction_),
        "Typed: " + typed_,
        "Keys: Ctrl+K then B; Ctrl+S; Ctrl+K then Ctrl+S",
    };
    Coord y = 10;
    for (const std::string& line : lines) {
      canvas.TextOut(12, y, line);
      y += 30;
    }
  }

 private:
  void Act(const std::string& name) {
    lastAction_ = name;
    std::printf("action: %s\n", name.c_str());
    std::fflush(stdout);
  }

  std::string lastAction_;
  std::string typed_;
};
KESTOVA_CLASS_INFO(TKeysDemo, TZRCustomControl, "ControlsDemo", nullptr)

}  // namespace

TWinControl* MakeKeysPage() {
  auto* page = new TWinControl(nullptr);
  page->SetBounds(40, 40, 480, 150);
  TKeysDemo* demo = Construct<TKeysDemo>(page);
  demo->SetParent(page);
  demo->SetBounds(0, 0, 480, 150);
  page->Handle()->setWindowTitle("controlsdemo: keys");
  page->Show();
  demo->SetFocus();
  return page;
}
