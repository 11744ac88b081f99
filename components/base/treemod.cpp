#include "components/base/treemod.h"

#include <QtCore/qglobal.h>
#include <memory>
#include <string>
#include <vector>

#include "components/base/ClassItems.h"
#include "components/base/CommonHelpers.h"
#include "components/base/PropFileSystem.h"
#include "components/base/ZrTree.h"
#include "components/base/zrtslite.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/ControlStrings.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/ResourceStore.h"
#include "platform/core/StringList.h"

// The stored form is a resource of this static library: registered on first
// use.
static void InitTreeModResources() { Q_INIT_RESOURCE(treemod); }

namespace {

void DescribeTStrEditForm(TClassInfo& Info) {
  TClassPublisher<TStrEditForm> p(Info);
  p.Method<&TStrEditForm::FormCreate>("FormCreate");
  p.Method<&TStrEditForm::ZRTreeViewDblClick>("ZRTreeViewDblClick");
  p.Method<&TStrEditForm::SpeedUpClick>("SpeedUpClick");
  p.Method<&TStrEditForm::SpeedDownClick>("SpeedDownClick");
}

// One run of the dialog over a list of names with their objects. The list
// is taken back from the string source and both are freed when the run
// ends, whether it ends normally or by an error.
class TOrderDialog {
 public:
  explicit TOrderDialog(ControlString Caption)
      : list_(std::make_unique<TStringList>()), form_((StartOrderEditor(), Construct<TStrEditForm>(nullptr))) {
    form_->SetCaption(LoadControlString(Caption));
    form_->SetMultiSelect(false);
  }
  ~TOrderDialog() {
    form_->StringSource()->SetStrings(nullptr);
    list_.reset();
    form_.reset();
  }
  TOrderDialog(const TOrderDialog&) = delete;
  TOrderDialog& operator=(const TOrderDialog&) = delete;

  TStringList& List() { return *list_; }
  // Shows the names; true for OK.
  bool Run() {
    form_->StringSource()->SetStrings(list_.get());
    return form_->ShowModal() == mrOk;
  }

 private:
  std::unique_ptr<TStringList> list_;
  std::unique_ptr<TStrEditForm> form_;
};

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TStrEditForm, TForm, "treemod", MakeComponent<TStrEditForm>, DescribeTStrEditForm)

TStrEditForm::TStrEditForm(TComponent* AOwner) : TForm(AOwner) {}

void TStrEditForm::AfterConstruction() {
  TForm::AfterConstruction();
  FormCreate(this);
}

TZRTreeView* TStrEditForm::TreeView() const { return dynamic_cast<TZRTreeView*>(FindComponent("ZRTreeView")); }

TZRStringSource* TStrEditForm::StringSource() const {
  return dynamic_cast<TZRStringSource*>(FindComponent("ZRStringSource"));
}

void TStrEditForm::SetMultiSelect(bool Value) { TreeView()->SetMultiSelect(Value); }

void TStrEditForm::FormCreate(TObject*) {
  ApplyMainFormFont(this);
  // The buttons stand one below the other: only the captions and Help's
  // visibility apply here.
  SetupDialogButtons(dynamic_cast<TButton*>(FindComponent("OkBut")), dynamic_cast<TButton*>(FindComponent("CancelBut")),
                     dynamic_cast<TButton*>(FindComponent("HelpBut")));
}

void TStrEditForm::ZRTreeViewDblClick(TObject*) {
  TZRTreeView* view = TreeView();
  TTreeSource* source = view->Source();
  if (source && view->Selected() && source->CanPerform(0, toAcceptDblClick)) SetModalResult(mrOk);
}

void TStrEditForm::SpeedUpClick(TObject*) {
  if (auto* node = static_cast<TZRTreeNode*>(TreeView()->Selected())) TreeView()->ZRItems()->MoveUp(node);
}

void TStrEditForm::SpeedDownClick(TObject*) {
  if (auto* node = static_cast<TZRTreeNode*>(TreeView()->Selected())) TreeView()->ZRItems()->MoveDown(node);
}

void StartOrderEditor() {
  InitTreeModResources();
  ResourceStore::Instance().AddModule("zrbase");
  RegisterTreeViewClasses();
  const TClass classes[] = {TStrEditForm::StaticClass(), TPanel::StaticClass(), TButton::StaticClass(),
                            TSpeedButton::StaticClass()};
  RegisterClassesOnce(classes);
}

void EditCreationOrder(TComponent* Component) {
  if (!Component) return;
  TOrderDialog dialog(ControlString::CreationOrderCaption);
  for (int i = 0; i < Component->ComponentCount(); ++i) {
    TComponent* c = Component->Components(i);
    if (!dynamic_cast<TControl*>(c) && ClassHasIcon(c->ClassType())) dialog.List().AddObject(c->Name(), c);
  }
  if (!dialog.Run()) return;
  for (int i = 0; i < dialog.List().Count(); ++i)
    static_cast<TComponent*>(dialog.List().Objects(i))->SetComponentIndex(i);
  NotifyDesignerModified(Component);
}

void EditTabOrder(TWinControl* Control) {
  if (!Control) return;
  TOrderDialog dialog(ControlString::TabOrderCaption);
  // Each window child at its tab order; places no child claims are dropped.
  std::vector<TWinControl*> places;
  for (int i = 0; i < Control->ControlCount(); ++i)
    if (dynamic_cast<TWinControl*>(Control->Controls(i))) places.push_back(nullptr);
  for (int i = 0; i < Control->ControlCount(); ++i)
    if (auto* child = dynamic_cast<TWinControl*>(Control->Controls(i))) {
      const int at = child->TabOrder();
      if (at >= 0 && at < static_cast<int>(places.size())) places[static_cast<std::size_t>(at)] = child;
    }
  for (TWinControl* child : places)
    if (child) dialog.List().AddObject(child->Name(), child);
  if (!dialog.Run()) return;
  for (int i = 0; i < dialog.List().Count(); ++i) static_cast<TWinControl*>(dialog.List().Objects(i))->SetTabOrder(i);
  NotifyDesignerModified(Control);
}
