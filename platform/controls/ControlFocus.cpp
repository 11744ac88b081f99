// Focus notices: CM_EXIT and CM_ENTER along the parent chains when the
// focus moves between the controls of one form, from the application's
// focus-changed channel (after the widget had its FocusIn).

#include <QWidget>
#include <algorithm>
#include <vector>

#include "platform/controls/ControlWindow.h"
#include "platform/controls/Controls.h"
#include "platform/ui/Hooks.h"

TWinControl* ControlOfWidget(QWidget* widget) {
  for (; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget())
    if (auto* window = dynamic_cast<TControlWindowBase*>(widget); window && window->Control()) return window->Control();
  return nullptr;
}

namespace {

// Control and its window parents, up to its form.
std::vector<TWinControl*> ChainOf(TWinControl* control) {
  std::vector<TWinControl*> chain;
  for (; control; control = control->Parent()) chain.push_back(control);
  return chain;
}

void FocusChanged(const TFocusChange& Change) {
  TWinControl* now = ControlOfWidget(Change.Now);
  if (!now) return;
  TWinControl* form = GetParentForm(now);
  TWinControl* before = form->FocusedControl();
  if (before == now) return;
  form->SetFocusedControl(now);
  const std::vector<TWinControl*> leaving = ChainOf(before);
  const std::vector<TWinControl*> entering = ChainOf(now);
  // Below the nearest control both chains share (the form, when the form had
  // no focused control yet).
  auto common = std::find_first_of(leaving.begin(), leaving.end(), entering.begin(), entering.end());
  const TWinControl* shared = common != leaving.end() ? *common : form;
  std::vector<std::pair<TWinControl*, TMessageNumber>> notices;
  for (TWinControl* c : leaving) {
    if (c == shared) break;
    notices.push_back({c, CM_EXIT});
  }
  const auto below = std::find(entering.begin(), entering.end(), shared);
  for (auto it = std::make_reverse_iterator(below); it != entering.rend(); ++it) notices.push_back({*it, CM_ENTER});
  // A handler that moves the focus again, or frees a control, ends this walk:
  // the newer change sends its own notices.
  for (const auto& [control, msg] : notices) {
    if (form->FocusedControl() != now) return;
    control->Perform(msg, 0, 0);
  }
}

}  // namespace

void TWinControl::ListenToFocus() {
  static const bool listening = (AddFocusChangedHook(TFocusChangedHook(&FocusChanged)), true);
  (void)listening;
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (; Control; Control = Control->Parent())
    if (Control == this) return true;
  return false;
}

void TWinControl::ForgetFocusedControl() {
  TWinControl* form = GetParentForm(this);
  if (form && form->focusedControl_ && ContainsControl(form->focusedControl_)) form->focusedControl_ = nullptr;
}
