#include "components/base/CommonHelpers.h"

#include <QWidget>
#include <memory>

#include "components/base/MessageBroadcast.h"
#include "platform/controls/ControlStrings.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/FileNames.h"
#include "platform/core/ResourceStore.h"
#include "platform/core/StrUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"

KESTOVA_CLASS_INFO(TOptionFormClassList, TSortedKeyList, "zrcommon", nullptr)

TForm* FindParentForm(TControl* Control) {
  for (TControl* c = Control; c; c = c->Parent())
    if (auto* form = dynamic_cast<TForm*>(c)) return form;
  return nullptr;
}

TForm* FindOwnerForm(TComponent* Obj) {
  if (auto* control = dynamic_cast<TControl*>(Obj))
    if (TForm* form = FindParentForm(control)) return form;
  for (TComponent* c = Obj; c; c = c->Owner())
    if (auto* form = dynamic_cast<TForm*>(c)) return form;
  return nullptr;
}

TComponent* FindRootOwner(TComponent* Obj) {
  for (TComponent* c = Obj; c; c = c->Owner())
    if (dynamic_cast<TDataModule*>(c)) return c;
  return FindOwnerForm(Obj);
}

TComponent* FindComponentByPath(std::string_view Name) {
  const std::string extension = ExtractFileExt(Name);
  const std::string formName = ChangeFileExt(Name, "");
  const std::string compName = extension.empty() ? "" : extension.substr(1);
  auto look = [&](TComponent* root, TComponent*& result) {
    if (SameText(root->Name(), Name)) {
      result = root;
      return true;
    }
    if (!extension.empty() && SameText(root->Name(), formName)) {
      result = root->FindComponent(compName);
      return true;
    }
    return false;
  };
  TComponent* result = nullptr;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (look(Screen->Forms(i), result)) return result;
  for (int i = 0; i < Screen->DataModuleCount(); ++i)
    if (look(Screen->DataModules(i), result)) return result;
  return nullptr;
}

namespace {
bool HasVisibleWindow(TForm* Form) { return Form->HandleAllocated() && Form->Handle()->isVisible(); }
}  // namespace

bool IsFrontmostForm(TForm* Form) {
  if (!Form || !HasVisibleWindow(Form)) return false;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TForm* other = Screen->Forms(i);
    if (!HasVisibleWindow(other)) continue;
    if (other == Form) return true;
    if (other != Application->MainForm() && FormAcceptsFrontQuery(other)) return false;
  }
  return false;
}

TForm* CreateFormInstance(TClass Class) {
  if (!Class || !Class->Factory || !Class->InheritsFrom(TForm::StaticClass())) Class = TForm::StaticClass();
  if (HasFormResource(Class)) return dynamic_cast<TForm*>(Class->Factory(nullptr));
  return CreateFormNew(Class, nullptr);
}

void ApplyMainFormFont(TForm* Form) {
  TForm* main = Application->MainForm();
  if (UseMainFormFont && Form && Form->ParentFont() && main) Form->SetFont(main->Font());
}

void SetupDialogButtons(TButton* OK, TButton* Cancel, TButton* Help) {
  if (OK) OK->SetCaption(LoadControlString(ControlString::OkButton));
  if (Cancel) Cancel->SetCaption(LoadControlString(ControlString::CancelButton));
  if (Help) {
    Help->SetCaption(LoadControlString(ControlString::HelpButton));
    Help->SetVisible(ShowHelpButtons);
  }
  if (!ShowHelpButtons && OK && Cancel && Help) {
    OK->SetLeft(Cancel->Left());
    Cancel->SetLeft(Help->Left());
  }
}

bool HasFormResource(TClass Class) {
  return Class && ResourceStore::Instance().Find("RCDATA", Class->Name).has_value();
}

std::vector<std::string> GetModuleList() { return ResourceStore::Instance().Modules(); }

std::string FindResourceModule(std::string_view Name, std::string_view Type) {
  for (const std::string& module : GetModuleList())
    if (ResourceStore::Instance().Find(module, Type, Name)) return module;
  return "";
}

void SetDesigningDeep(TControl* Control, bool Value) {
  if (!Control) return;
  Control->SetDesigning(Value, false);
  if (auto* win = dynamic_cast<TWinControl*>(Control))
    for (int i = 0; i < win->ControlCount(); ++i) SetDesigningDeep(win->Controls(i), Value);
}

namespace {
bool IsSeparator(const TMenuItem* Item) { return Item->Caption() == "-"; }
// Freeing an item takes it out of its parent and its owner.
void FreeItem(TMenuItem*, TMenuItem* Item) { Item->Free(); }
}  // namespace

void TidySeparators(TMenuItem* Item) {
  if (!Item) return;
  while (Item->Count() > 0 && IsSeparator(Item->Items(Item->Count() - 1)))
    FreeItem(Item, Item->Items(Item->Count() - 1));
  while (Item->Count() > 0 && IsSeparator(Item->Items(0))) FreeItem(Item, Item->Items(0));
  for (int i = Item->Count() - 1; i > 0; --i)
    if (IsSeparator(Item->Items(i)) && IsSeparator(Item->Items(i - 1))) FreeItem(Item, Item->Items(i - 1));
}

void ClearSubMenu(TMenuItem* Item, bool Disable) {
  if (!Item) return;
  while (Item->Count() > 0) FreeItem(Item, Item->Items(Item->Count() - 1));
  Item->SetEnabled(!Disable);
}

void SetButtonsFlat(std::span<TSpeedButton* const> Buttons, bool Value) {
  for (TSpeedButton* button : Buttons)
    if (button) button->SetFlat(Value);
}

bool MethodTypesMatch(const TTypeData& A, const TTypeData& B) {
  if (A.MethodKind != B.MethodKind || A.Params.size() != B.Params.size()) return false;
  for (size_t i = 0; i < A.Params.size(); ++i)
    if (A.Params[i].Flags != B.Params[i].Flags || !SameText(A.Params[i].TypeName, B.Params[i].TypeName)) return false;
  return true;
}

TOptionFormClassList::TOptionFormClassList() { SetSorted(false); }

TOptionFormClassList& OptionFormClassList() {
  static TOptionFormClassList list;
  return list;
}

TClass GetOptionFormClass(int Index) { return static_cast<TClass>(OptionFormClassList().Items(Index)); }

TStringList& OptionPageList() {
  static TStringList list;
  return list;
}

namespace {
// A page's class rides in its line's object slot.
TObject* ClassAsObject(TClass FormClass) { return reinterpret_cast<TObject*>(FormClass); }
}  // namespace

void AddOptionPage(const std::string& Caption, TClass FormClass) {
  OptionPageList().AddObject(Caption, ClassAsObject(FormClass));
  if (OptionFormClassList().IndexOfKey(reinterpret_cast<TSortKey>(FormClass)) < 0) OptionFormClassList().Add(FormClass);
}

std::string GetOptionPageCaption(TClass FormClass) {
  const int index = OptionPageList().IndexOfObject(ClassAsObject(FormClass));
  return index < 0 ? "" : OptionPageList()[index];
}
