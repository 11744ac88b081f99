// The "orders" page: a form holding three non-visual components A, B and C
// and four window controls (two edits and the two command buttons). "Creation
// order..." and "Tab order…" open the order editor on it; after each
// command the page prints "creation: <names>" (its non-visual components in
// their order) and "taborder: <names>" (its window controls in tab order), so
// that a script can see what OK and Cancel did.

#include <QWidget>
#include <cstdio>
#include <string>

#include "components/base/treemod.h"
#include "components/base/zrDTree.h"
#include "platform/controls/EditCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "tools/controlsdemo/Pages.h"

namespace {

class TOrdersPage : public TWinControl {
  KESTOVA_CLASS(TOrdersPage)
 public:
  explicit TOrdersPage(TComponent* AOwner) : TWinControl(AOwner) {}

  void CreationOrderClicked(TObject*) {
    EditCreationOrder(this);
    Report();
  }
  void TabOrderClicked(TObject*) {
    EditTabOrder(this);
    Report();
  }
  void Report() {
    std::string creation, tabs;
    for (int i = 0; i < ComponentCount(); ++i)
      if (!dynamic_cast<TControl*>(Components(i))) creation += (creation.empty() ? "" : " ") + Components(i)->Name();
    for (int order = 0; order < ControlCount(); ++order)
      for (int i = 0; i < ControlCount(); ++i)
        if (auto* c = dynamic_cast<TWinControl*>(Controls(i)); c && c->TabOrder() == order)
          tabs += (tabs.empty() ? "" : " ") + c->Name();
    std::printf("creation: %s\ntaborder: %s\n", creation.c_str(), tabs.c_str());
    std::fflush(stdout);
  }
};
KESTOVA_CLASS_INFO(TOrdersPage, TWinControl, "ControlsDemo", nullptr)

}  // namespace

TWinControl* MakeOrdersPage() {
  DrawTreeStartUp();
  StartOrderEditor();
  auto* page = new TOrdersPage(nullptr);
  page->SetBounds(40, 40, 360, 150);
  page->SetColor(clBtnFace);
  for (const char* name : {"A", "B", "C"}) (new TComponent(page))->SetName(name);
  auto place = [page](TWinControl* c, const char* name, int left, int top, int width) {
    c->SetName(name);
    c->SetParent(page);
    c->SetBounds(left, top, width, 25);
  };
  place(new TEdit(page), "Edit1", 8, 8, 160);
  place(new TEdit(page), "Edit2", 8, 40, 160);
  auto* creation = new TButton(page);
  place(creation, "CreationOrder", 184, 8, 160);
  creation->SetCaption("Creation order…");
  creation->OnClick = TNotifyEvent::Of<&TOrdersPage::CreationOrderClicked>(*page);
  auto* tabs = new TButton(page);
  place(tabs, "TabOrder", 184, 40, 160);
  tabs->SetCaption("Tab order…");
  tabs->OnClick = TNotifyEvent::Of<&TOrdersPage::TabOrderClicked>(*page);
  page->Handle()->setWindowTitle("controlsdemo: orders");
  page->Show();
  page->Report();
  return page;
}
