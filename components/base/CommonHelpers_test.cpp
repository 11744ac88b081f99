#include "components/base/CommonHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Messages.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/ResourceStore.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"

// A floating tool window: it refuses the front-form query.
class TToolForm : public TForm {
  KESTOVA_CLASS(TToolForm)
 public:
  TToolForm() : TForm(nullptr, CreateNew{}) {}
  void DefaultHandler(TMessage& Message) override {
    if (Message.Msg == ZRM_QUERYSKIPFRONTFORM)
      Message.Result = 1;
    else
      TForm::DefaultHandler(Message);
  }
};
KESTOVA_CLASS_INFO(TToolForm, TForm, "test", nullptr)

// Forms made by class: one with a stored form of its own, one below it
// without.
class THelperStoredForm : public TForm {
  KESTOVA_CLASS(THelperStoredForm)
 public:
  using TForm::TForm;
};
KESTOVA_CLASS_INFO(THelperStoredForm, TForm, "test", &MakeComponent<THelperStoredForm>)

class THelperPlainForm : public THelperStoredForm {
  KESTOVA_CLASS(THelperPlainForm)
 public:
  using THelperStoredForm::THelperStoredForm;
};
KESTOVA_CLASS_INFO(THelperPlainForm, THelperStoredForm, "test", &MakeComponent<THelperPlainForm>)

namespace {

std::string Captions(const TMenuItem& Item) {
  std::string s;
  for (int i = 0; i < Item.Count(); ++i) s += (s.empty() ? "" : ",") + Item.Items(i)->Caption();
  return s;
}

TMenuItem* MenuOf(TComponent& Owner, const std::string& CaptionsText) {
  auto* root = new TMenuItem(&Owner);
  size_t start = 0;
  while (start <= CaptionsText.size() && !CaptionsText.empty()) {
    const size_t comma = CaptionsText.find(',', start);
    auto* item = new TMenuItem(&Owner);
    item->SetCaption(CaptionsText.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    root->Add(item);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return root;
}

TEST(CommonHelpers, TidySeparatorsTable) {
  struct Row {
    const char* before;
    const char* after;
  } rows[] = {
      {"-,A,-,-,B,-", "A,-,B"},
      {"-,-,-", ""},
      {"A,-,-,-,B", "A,-,B"},
      {"A,B", "A,B"},
      {"A,-,B,-,C", "A,-,B,-,C"},
      {"", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.before);
    TComponent owner(nullptr);
    TMenuItem* menu = MenuOf(owner, r.before);
    TidySeparators(menu);
    EXPECT_EQ(Captions(*menu), r.after);
    EXPECT_EQ(owner.ComponentCount(), 1 + menu->Count());  // removed items are freed
  }
  TidySeparators(nullptr);
}

TEST(CommonHelpers, ClearSubMenuFreesTheItems) {
  TComponent owner(nullptr);
  TMenuItem* menu = MenuOf(owner, "A,B,C");
  ClearSubMenu(menu, true);
  EXPECT_EQ(menu->Count(), 0);
  EXPECT_FALSE(menu->Enabled());
  EXPECT_EQ(owner.ComponentCount(), 1);
  ClearSubMenu(menu, false);
  EXPECT_TRUE(menu->Enabled());
  ClearSubMenu(nullptr, true);
}

TEST(CommonHelpers, FormLookUps) {
  TForm form(nullptr, TForm::CreateNew{});
  form.SetName("Form1");
  auto* panel = new TPanel(&form);
  panel->SetName("Panel1");
  panel->SetParent(&form);
  auto* button = new TButton(&form);
  button->SetName("Button1");
  button->SetParent(panel);
  TDataModule module(nullptr, TDataModule::CreateNew{});
  module.SetName("Data1");
  auto* inModule = new TComponent(&module);
  inModule->SetName("Table1");
  // A control of another owner placed on the form.
  TButton stray(nullptr);
  stray.SetParent(panel);

  EXPECT_EQ(FindParentForm(button), &form);
  EXPECT_EQ(FindOwnerForm(&stray), &form);
  EXPECT_EQ(FindOwnerForm(inModule), nullptr);
  EXPECT_EQ(FindRootOwner(inModule), &module);
  EXPECT_EQ(FindRootOwner(button), &form);

  struct Row {
    const char* path;
    TComponent* want;
  } rows[] = {
      {"Form1.Button1", button}, {"form1.panel1", panel}, {"Form1", &form},   {"Form1.Nothing", nullptr},
      {"Data1.Table1", inModule}, {"Data1", &module},     {"Other", nullptr}, {"Other.Button1", nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.path);
    EXPECT_EQ(FindComponentByPath(r.path), r.want);
  }
  stray.SetParent(nullptr);
}

TEST(CommonHelpers, FrontmostFormTable) {
  TForm main(nullptr, TForm::CreateNew{});
  TToolForm tool;
  TForm a(nullptr, TForm::CreateNew{});
  TForm b(nullptr, TForm::CreateNew{});
  TForm hidden(nullptr, TForm::CreateNew{});
  std::map<std::string, TForm*> forms{{"main", &main}, {"tool", &tool}, {"a", &a}, {"b", &b}, {"hidden", &hidden}};
  for (TForm* f : {&main, static_cast<TForm*>(&tool), &a, &b}) f->Show();
  hidden.HandleNeeded();  // a window, not shown

  struct Row {
    std::vector<std::string> frontToBack;
    const char* asked;
    bool mainSet;
    bool frontmost;
  } rows[] = {
      {{"tool", "main", "a", "b"}, "a", true, true},     // the tool and the main form are passed over
      {{"tool", "main", "a", "b"}, "b", true, false},    // a is in front
      {{"main", "a"}, "a", false, false},                // without a main form it counts
      {{"hidden", "b", "a"}, "b", true, true},           // a form without a visible window is passed over
      {{"a", "b"}, "hidden", true, false},               // no visible window of its own
      {{"b", "tool", "a"}, "tool", true, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.asked) + " behind " + r.frontToBack.front());
    for (auto it = r.frontToBack.rbegin(); it != r.frontToBack.rend(); ++it) Screen->FormActivated(forms.at(*it));
    Application->SetMainForm(r.mainSet ? &main : nullptr);
    EXPECT_EQ(IsFrontmostForm(forms.at(r.asked)), r.frontmost);
  }
  EXPECT_FALSE(IsFrontmostForm(nullptr));
  Screen->FormDeactivated(Screen->ActiveForm());
  Application->SetMainForm(nullptr);
}

TEST(CommonHelpers, CreateFormInstanceReadsOnlyAClassesOwnStoredForm) {
  ResourceStore& store = ResourceStore::Instance();
  store.AddModule("helpers_forms");
  store.Inject("helpers_forms", "RCDATA", "THELPERSTOREDFORM",
               "object HelperStored: THelperStoredForm\n  Caption = 'stored'\nend\n");
  struct Row {
    TClass asked;
    TClass made;
    const char* caption;
  } rows[] = {
      {THelperStoredForm::StaticClass(), THelperStoredForm::StaticClass(), "stored"},
      // Its ancestor's stored form is not read either.
      {THelperPlainForm::StaticClass(), THelperPlainForm::StaticClass(), ""},
      {TButton::StaticClass(), TForm::StaticClass(), ""},
      {TToolForm::StaticClass(), TForm::StaticClass(), ""},  // no factory
      {nullptr, TForm::StaticClass(), ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.asked ? r.asked->Name : "nullptr");
    TForm* form = CreateFormInstance(r.asked);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->ClassType(), r.made);
    EXPECT_EQ(form->Caption(), r.caption);
    EXPECT_EQ(form->Owner(), nullptr);
    form->Free();
  }
  store.RemoveInjected("helpers_forms", "RCDATA", "THELPERSTOREDFORM");
  store.RemoveModule("helpers_forms");
}

TEST(CommonHelpers, DialogFontFollowsTheMainForm) {
  TForm main(nullptr, TForm::CreateNew{});
  main.Font()->SetName("Main Face");
  TForm dialog(nullptr, TForm::CreateNew{});
  struct Row {
    const char* what;
    bool useSwitch, parentFont, mainSet;
    const char* face;
  } rows[] = {
      {"all set", true, true, true, "Main Face"},
      {"switch off", false, true, true, "Own Face"},
      {"own font", true, false, true, "Own Face"},
      {"no main form", true, true, false, "Own Face"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    dialog.Font()->SetName("Own Face");
    dialog.SetParentFont(r.parentFont);
    UseMainFormFont = r.useSwitch;
    Application->SetMainForm(r.mainSet ? &main : nullptr);
    ApplyMainFormFont(&dialog);
    EXPECT_EQ(dialog.Font()->Name(), r.face);
  }
  UseMainFormFont = true;
  ApplyMainFormFont(nullptr);
  Application->SetMainForm(nullptr);
}

TEST(CommonHelpers, FreeingTheMainFormClearsIt) {
  auto* main = new TForm(nullptr, TForm::CreateNew{});
  Application->SetMainForm(main);
  main->Free();
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(CommonHelpers, DialogButtonsTakeTheirCaptionsAndPlaces) {
  for (const bool help : {false, true}) {
    SCOPED_TRACE(help ? "with Help" : "without Help");
    TForm dialog(nullptr, TForm::CreateNew{});
    TButton* buttons[3];
    for (int i = 0; i < 3; ++i) {
      buttons[i] = new TButton(&dialog);
      buttons[i]->SetParent(&dialog);
      buttons[i]->SetLeft(100 + 80 * i);
    }
    ShowHelpButtons = help;
    SetupDialogButtons(buttons[0], buttons[1], buttons[2]);
    ShowHelpButtons = false;
    EXPECT_EQ(buttons[0]->Caption(), "OK");
    EXPECT_EQ(buttons[1]->Caption(), "Cancel");
    EXPECT_EQ(buttons[2]->Caption(), "&Help");
    EXPECT_EQ(buttons[2]->Visible(), help);
    EXPECT_EQ(buttons[0]->Left(), help ? 100 : 180);
    EXPECT_EQ(buttons[1]->Left(), help ? 180 : 260);
  }
  SetupDialogButtons(nullptr, nullptr, nullptr);
}

TEST(CommonHelpers, OptionPagesKeepTheirOrderAndCaptions) {
  const TClass first = THelperPlainForm::StaticClass();
  const TClass second = THelperStoredForm::StaticClass();
  const int before = OptionFormClassList().Count();
  AddOptionPage("Zeta page", first);
  AddOptionPage("Alpha page", second);
  AddOptionPage("Zeta again", first);  // a second caption of a known class
  ASSERT_EQ(OptionFormClassList().Count(), before + 2);
  EXPECT_EQ(GetOptionFormClass(before), first);
  EXPECT_EQ(GetOptionFormClass(before + 1), second);
  EXPECT_EQ(GetOptionPageCaption(second), "Alpha page");
  EXPECT_EQ(GetOptionPageCaption(first), "Zeta page");
  EXPECT_EQ(GetOptionPageCaption(TForm::StaticClass()), "");
  EXPECT_EQ(OptionFormClassList().FindKey(reinterpret_cast<TSortKey>(second)), second);
}

TEST(CommonHelpers, ModulesOfTheResourceStore) {
  ResourceStore& store = ResourceStore::Instance();
  store.AddModule("helpers_a");
  store.AddModule("helpers_b");
  store.Inject("helpers_b", "RCDATA", "TFORMHELPED", "TPF0");
  const auto modules = GetModuleList();
  EXPECT_NE(std::find(modules.begin(), modules.end(), "helpers_b"), modules.end());
  EXPECT_EQ(FindResourceModule("tformhelped", "RCDATA"), "helpers_b");
  EXPECT_EQ(FindResourceModule("TFORMHELPED", "BITMAP"), "");
  TClassInfo helped{"TFormHelped", TForm::StaticClass(), "test", nullptr};
  EXPECT_TRUE(HasFormResource(&helped));
  store.RemoveInjected("helpers_b", "RCDATA", "TFORMHELPED");
  store.RemoveModule("helpers_a");
  store.RemoveModule("helpers_b");
  EXPECT_FALSE(HasFormResource(&helped));
}

TEST(CommonHelpers, DesignStateAndFlatButtons) {
  TForm form(nullptr, TForm::CreateNew{});
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  auto* speed = new TSpeedButton(&form);
  speed->SetParent(panel);
  SetDesigningDeep(&form, true);
  EXPECT_TRUE(speed->ComponentState().Contains(csDesigning));
  SetDesigningDeep(panel, false);
  EXPECT_FALSE(speed->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(form.ComponentState().Contains(csDesigning));
  TSpeedButton* buttons[] = {speed, nullptr};
  SetButtonsFlat(buttons, true);
  EXPECT_TRUE(speed->Flat());
}

TEST(CommonHelpers, MethodTypesMatchIgnoresNamesAndCase) {
  auto method = [](std::vector<TParamData> Params, TMethodKind Kind = mkProcedure) {
    TTypeData data;
    data.MethodKind = Kind;
    data.Params = std::move(Params);
    return data;
  };
  const TTypeData base = method({{{}, "Sender", "TObject"}, {{pfVar}, "Key", "Word"}});
  struct Row {
    const char* what;
    TTypeData other;
    bool match;
  } rows[] = {
      {"other names, other case", method({{{}, "S", "tobject"}, {{pfVar}, "K", "WORD"}}), true},
      {"other flags", method({{{}, "Sender", "TObject"}, {{pfConst}, "Key", "Word"}}), false},
      {"other type", method({{{}, "Sender", "TObject"}, {{pfVar}, "Key", "Char"}}), false},
      {"fewer parameters", method({{{}, "Sender", "TObject"}}), false},
      {"a function", method({{{}, "Sender", "TObject"}, {{pfVar}, "Key", "Word"}}, mkFunction), false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(MethodTypesMatch(base, r.other), r.match);
  }
}

}  // namespace
