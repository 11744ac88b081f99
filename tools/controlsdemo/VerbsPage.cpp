// The "verbs" page: a stored form (VerbsPage.form, the RCDATA "TVerbsPage")
// whose menu items, speed buttons and buttons a verb dispatcher binds to
// three verbs. "Demo.Toggle" turns a check mark on and off; "Demo.Enable" is
// enabled and "Demo.Show" visible only while the mark is on. The page prints
// "verb: <name>" for each command it runs and, whenever a bound control
// changed, one "state:" line with every bound control as name=VE(C): upper
// case for visible, enabled and (menu items) checked. A button panel holds
// OK, Cancel and Help at its right edge; their clicks print "click: <name>".
// A script can click and press keys and check what arrived.

#include <QMenuBar>
#include <QWidget>
#include <cstdio>
#include <memory>
#include <string>

#include "components/base/MessageBroadcast.h"
#include "components/base/VerbDispatcher.h"
#include "components/base/ZRButtonPanel.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/ResourceStore.h"
#include "tools/controlsdemo/Pages.h"
#include "tools/controlsdemo/VerbsPage.h"

namespace {

bool markOn = false;

void Say(const std::string& Line) {
  std::printf("%s\n", Line.c_str());
  std::fflush(stdout);
}

void ToggleState(TVerbState& State) {
  if (markOn) State |= kVerbChecked;
}
void ToggleExecute() {
  markOn = !markOn;
  Say("verb: Demo.Toggle");
}
void EnableState(TVerbState& State) {
  if (!markOn) State &= ~kVerbEnabled;
}
void EnableExecute() { Say("verb: Demo.Enable"); }
void ShowState(TVerbState& State) {
  if (!markOn) State &= ~kVerbVisible;
}
void ShowExecute() { Say("verb: Demo.Show"); }

// Hears verb changes after the page's dispatcher (it joined the receivers
// first, and the newest hears first) and prints the states when they moved.
class TStateReporter : public TMessageAnswer {
 public:
  explicit TStateReporter(TVerbsPage* Page) : page_(Page) {}
  void DefaultHandler(TMessage& Message) override {
    if (Message.Msg == ZRM_VERBSCHANGED) Report();
  }
  void Report() {
    const std::string line = "state: " + page_->BoundStates();
    if (line == last_) return;
    last_ = line;
    Say(line);
  }

 private:
  TVerbsPage* page_;
  std::string last_;
};

}  // namespace

KESTOVA_CLASS_INFO(TVerbsPage, TForm, "ControlsDemo", &MakeComponent<TVerbsPage>)

TVerbsPage::TVerbsPage(TComponent* AOwner) : TForm(AOwner), reporter_(std::make_unique<TStateReporter>(this)) {
  SetColor(clBtnFace);  // as a dialog's; the label takes it
}

TVerbsPage::TVerbsPage(TComponent* AOwner, CreateNew)
    : TForm(AOwner, CreateNew{}), reporter_(std::make_unique<TStateReporter>(this)) {
  SetColor(clBtnFace);
}

TVerbsPage::~TVerbsPage() = default;

void TVerbsPage::RegisterStoredClasses() {
  RegisterClasses({TVerbsPage::StaticClass(), TMainMenu::StaticClass(), TMenuItem::StaticClass(),
                   TPanel::StaticClass(), TSpeedButton::StaticClass(), TLabel::StaticClass(), TButton::StaticClass(),
                   TVerbDispatcher::StaticClass(), TZRButtonPanel::StaticClass(), TZRPanelButton::StaticClass()});
}

void TVerbsPage::RegisterDemoVerbs() {
  RegisterVerbs({{"Demo.Toggle", ToggleState, ToggleExecute},
                 {"Demo.Enable", EnableState, EnableExecute},
                 {"Demo.Show", ShowState, ShowExecute}});
}

void TVerbsPage::Clicked(TObject* Sender) { Say("click: " + static_cast<TComponent*>(Sender)->Name()); }

std::string TVerbsPage::BoundStates() const {
  std::string out;
  auto* verbs = dynamic_cast<TVerbDispatcher*>(FindComponent("Verbs"));
  if (!verbs) return out;
  for (int i = 0; i < verbs->VerbList()->Count(); ++i) {
    TComponent* control = verbs->VerbList()->Item(i)->VerbComp();
    if (!control) continue;
    std::string state;
    if (auto* item = dynamic_cast<TMenuItem*>(control)) {
      state = std::string(item->Visible() ? "V" : "v") + (item->Enabled() ? "E" : "e") + (item->Checked() ? "C" : "c");
    } else if (auto* c = dynamic_cast<TControl*>(control)) {
      state = std::string(c->Visible() ? "V" : "v") + (c->Enabled() ? "E" : "e");
    }
    out += (out.empty() ? "" : " ") + control->Name() + "=" + state;
  }
  return out;
}

TWinControl* MakeVerbsPage() {
  ResourceStore::Instance().AddModule("controlsdemo");
  StartButtonPanel();  // the panel's captions, read at start-up
  TVerbsPage::RegisterStoredClasses();
  TVerbsPage::RegisterDemoVerbs();
  auto* page = Construct<TVerbsPage>(nullptr);
  for (const char* name : {"btnOk", "btnCancel", "btnHelp"})
    if (auto* button = dynamic_cast<TButton*>(page->FindComponent(name)))
      button->OnClick = TNotifyEvent::Of<&TVerbsPage::Clicked>(*page);
  if (auto* menu = dynamic_cast<TMainMenu*>(page->FindComponent("MainMenu")))
    menu->MenuBar(page->Handle())->setGeometry(0, 0, page->Width(), 24);
  static_cast<TStateReporter*>(page->Reporter())->Report();
  page->Show();
  return page;
}
