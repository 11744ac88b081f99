#include "tools/controlsdemo/ValueEditsMask.h"

#include <string>

#include "components/base/ZREdit.h"
#include "components/base/ZRInnerEdits.h"
#include "platform/controls/StdCtrls.h"

namespace {

// The phone-number mask: three optional digits in parentheses, three and
// four required ones; the value drops the literals.
constexpr const char* kPhoneMask = "(999) 000-0000;0;_";

TCustomZREdit* AddEdit(TWinControl* Page, const char* Name, const char* InnerClass, int Top) {
  auto* edit = new TCustomZREdit(Page);
  edit->SetName(Name);
  edit->SetBounds(10, Top, 200, 21);
  edit->SetParent(Page);
  edit->SetInnerEditClassName(InnerClass);
  edit->SetButtonCount(0);
  return edit;
}

}  // namespace

void AddMaskAndCheckEdits(TWinControl* Page, int Top) {
  RegisterZREditClasses();
  RegisterMaskAndCheckEditClasses();

  auto* label = new TLabel(Page);
  label->SetCaption("phone number (mask edit)");
  label->SetParent(Page);
  label->SetBounds(10, Top, 200, 18);
  TCustomZREdit* phone = AddEdit(Page, "phone", "TZRMaskEdit", Top + 20);
  if (auto* mask = dynamic_cast<TZRMaskEdit*>(phone->InnerEdit())) mask->SetEditMask(kPhoneMask);
  phone->SetEditText("5551234");

  TCustomZREdit* check = AddEdit(Page, "check", "TCheckEdit", Top + 50);
  const std::string caption = "Check edit with a caption";
  check->Perform(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(&caption));
  check->SetEditText("True");
}
