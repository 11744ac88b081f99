// The "value edits" page: edits with buttons for a colour, a pen style and
// a brush style, each with its swatch pop-up and graphic inner edit, then a
// mask edit with the phone-number mask and a check edit with a caption.
//
// The page prints where each edit is ("edit NAME: x y w h", screen
// coordinates), each value an edit takes ("value NAME: TEXT") and, while a
// pop-up is open, where it is ("popup: x y w h"), so that a script can open
// the pop-ups and check screenshots.

#include <QWidget>
#include <cstdio>
#include <map>
#include <string>

#include "components/base/ZREdit.h"
#include "components/base/ZRValueEdits.h"
#include "platform/controls/StdCtrls.h"
#include "tools/controlsdemo/Pages.h"
#include "tools/controlsdemo/PopupReport.h"
#include "tools/controlsdemo/ValueEditsMask.h"

namespace {

class TValueEditsPage : public TWinControl {
  KESTOVA_CLASS(TValueEditsPage)
 public:
  explicit TValueEditsPage(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(40, 40, 320, 290);
    RegisterZREditClasses();
    Add("colour (colour edit)", "color", 10, "TPopupColorBox", "TColorEdit", "clRed");
    Add("pen style (pen-style edit)", "pen", 60, "TPopupPenBox", "TPenStyleEdit", "psDash");
    Add("brush style (brush-style edit)", "brush", 110, "TPopupBrushBox", "TBrushStyleEdit", "bsDiagCross");
    AddMaskAndCheckEdits(this, 170);
    for (int i = 0; i < ControlCount(); ++i)
      if (auto* edit = dynamic_cast<TCustomZREdit*>(Controls(i)))
        edit->OnTextChange = TNotifyEvent::Of<&TValueEditsPage::ValueChanged>(*this);
  }

  void Started() { StartPopupReport(this); }

 private:
  void Add(const char* Caption, const char* Name, int Top, const char* Popup, const char* Inner,
           const char* Value) {
    auto* label = new TLabel(this);
    label->SetCaption(Caption);
    label->SetParent(this);
    label->SetBounds(10, Top, 300, 18);
    auto* edit = new TCustomZREdit(this);
    edit->SetName(Name);
    edit->SetBounds(10, Top + 20, 200, 21);
    edit->SetParent(this);
    edit->SetDropDownClassName(Popup);
    edit->SetInnerEditClassName(Inner);
    edit->SetEditText(Value);
  }

  void ValueChanged(TObject* Sender) {
    auto* edit = static_cast<TCustomZREdit*>(Sender);
    const std::string text = edit->EditText();
    if (text == lastValue_[edit->Name()]) return;
    lastValue_[edit->Name()] = text;
    std::printf("value %s: %s\n", edit->Name().c_str(), text.c_str());
    std::fflush(stdout);
  }

  std::map<std::string, std::string> lastValue_;
};
KESTOVA_CLASS_INFO(TValueEditsPage, TWinControl, "ControlsDemo", nullptr)

}  // namespace

TWinControl* MakeValueEditsPage() {
  auto* page = new TValueEditsPage(nullptr);
  page->Handle()->setWindowTitle("controlsdemo: values");
  page->Show();
  page->Started();
  return page;
}
