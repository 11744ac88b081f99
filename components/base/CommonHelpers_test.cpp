#include "components/base/CommonHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/ResourceStore.h"

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
