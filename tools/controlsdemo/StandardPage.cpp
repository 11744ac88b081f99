// The "standard" page: a main menu with shortcut keys, buttons, speed
// buttons, a panel, labels, a check box, a radio group, an edit, a memo, a
// combo box, a progress bar, a page control and a bevel. Every click and
// menu choice is printed on standard output as "click: <name>", so that a
// script can press keys and click and check what arrived.

#include <QMenuBar>
#include <QWidget>
#include <cstdio>

#include "platform/controls/ComCtrls.h"
#include "platform/controls/EditCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/GroupCtrls.h"
#include "platform/controls/Menus.h"
#include "tools/controlsdemo/Pages.h"

namespace {

class TStandardPage : public TWinControl {
  KESTOVA_CLASS(TStandardPage)
 public:
  explicit TStandardPage(TComponent* AOwner) : TWinControl(AOwner) {}

  void Clicked(TObject* Sender) {
    std::printf("click: %s\n", static_cast<TComponent*>(Sender)->Name().c_str());
    std::fflush(stdout);
  }
  TNotifyEvent Click() { return TNotifyEvent::Of<&TStandardPage::Clicked>(*this); }

  template <class C>
  C* Add(TWinControl* Parent, const char* Name, int Left, int Top, int Width, int Height) {
    auto* control = new C(this);
    control->SetName(Name);
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    return control;
  }

  TMenuItem* Item(TMenuItem* Parent, const char* Name, const char* Caption, TShortCut Key = 0) {
    auto* item = new TMenuItem(this);
    item->SetName(Name);
    item->SetCaption(Caption);
    item->SetShortCut(Key);
    item->OnClick = Click();
    Parent->Add(item);
    return item;
  }
};
KESTOVA_CLASS_INFO(TStandardPage, TWinControl, "ControlsDemo", nullptr)

}  // namespace

TWinControl* MakeStandardPage() {
  auto* page = new TStandardPage(nullptr);
  page->SetBounds(40, 40, 560, 400);
  page->SetColor(clBtnFace);  // as a dialog's; the labels take it

  auto* menu = new TMainMenu(page);
  TMenuItem* file = page->Item(menu->Items(), "File", "&File");
  page->Item(file, "New", "&New", ShortCut('N', TShiftState{ssCtrl}));
  page->Item(file, "Save", "&Save", ShortCut('S', TShiftState{ssCtrl}))->SetChecked(true);
  page->Item(file, "Sep", "-");
  page->Item(file, "Help", "&Help", ShortCut(VK_F1, TShiftState{ssShift, ssCtrl}));
  TMenuItem* edit = page->Item(menu->Items(), "Edit", "&Edit");
  page->Item(edit, "Delete", "&Delete", ShortCut(VK_DELETE, {}));
  page->Item(edit, "Undo", "&Undo", ShortCut(VK_BACK, TShiftState{ssAlt}))->SetEnabled(false);
  menu->MenuBar(page->Handle())->setGeometry(0, 0, 560, 24);

  auto* panel = page->Add<TPanel>(page, "Panel", 8, 32, 544, 48);
  panel->SetCaption("A raised panel");
  panel->SetAlignment(taRightJustify);
  panel->SetBevelInner(bvLowered);
  for (int i = 0; i < 3; ++i) {
    static const char* const names[] = {"Bold", "Italic", "Under"};
    auto* speed = page->Add<TSpeedButton>(panel, names[i], 8 + i * 26, 12, 24, 24);
    speed->SetCaption(std::string(1, names[i][0]));
    speed->SetGroupIndex(i == 0 ? 1 : 0);
    speed->SetAllowAllUp(true);
    speed->OnClick = page->Click();
  }

  auto* label = page->Add<TLabel>(page, "NameLabel", 8, 92, 60, 21);
  label->SetCaption("&Name:");
  auto* name = page->Add<TEdit>(page, "NameEdit", 72, 90, 180, 23);
  name->SetText("Sample A");
  auto* kind = page->Add<TComboBox>(page, "KindCombo", 264, 90, 150, 23);
  for (const char* k : {"Diploid", "Haploid", "Polyploid"}) kind->Items()->Add(k);
  kind->SetItemIndex(0);
  auto* check = page->Add<TCheckBox>(page, "Phased", 424, 92, 120, 20);
  check->SetCaption("&Phased");
  check->OnClick = page->Click();

  auto* group = page->Add<TRadioGroup>(page, "Model", 8, 124, 250, 90);
  group->SetCaption("Model");
  for (const char* m : {"Infinite alleles", "Stepwise", "Two-phase", "K alleles"}) group->Items()->Add(m);
  group->SetColumns(2);
  group->SetItemIndex(0);
  group->OnClick = page->Click();
  auto* memo = page->Add<TMemo>(page, "Notes", 270, 124, 282, 90);
  memo->Lines()->Add("Notes, one per line");

  auto* tabs = page->Add<TPageControl>(page, "Pages", 8, 222, 544, 110);
  for (const char* caption : {"Loci", "Samples"}) {
    auto* sheet = new TTabSheet(page);
    sheet->SetCaption(caption);
    sheet->SetPageControl(tabs);
  }
  page->Add<TLabel>(tabs->Pages(0), "LociLabel", 8, 8, 300, 20)->SetCaption("The loci page");
  page->Add<TBevel>(tabs->Pages(0), "Line", 8, 36, 300, 2)->SetShape(bsTopLine);
  auto* progress = page->Add<TProgressBar>(page, "Progress", 8, 340, 300, 16);
  progress->SetPosition(60);

  auto* ok = page->Add<TButton>(page, "OK", 396, 364, 75, 25);
  ok->SetCaption("OK");
  ok->SetDefault(true);
  ok->OnClick = page->Click();
  auto* cancel = page->Add<TButton>(page, "Cancel", 477, 364, 75, 25);
  cancel->SetCaption("Cancel");
  cancel->OnClick = page->Click();

  page->Handle()->setWindowTitle("controlsdemo: standard");
  page->Show();
  return page;
}
