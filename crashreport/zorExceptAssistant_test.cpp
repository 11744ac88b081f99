// Assistants from the settings: the key search, the screenshot form, the
// title and form names handed to the builder, and remembered form values.
#include <map>

#include "crashreport/zorExceptObject.h"
#include "crashreport/zorExceptTwoModules.h"
#include "crashreport/zorNVAssistant.h"

namespace {

using namespace zor;

class FakeItem : public INVItem {
 public:
  FakeItem(AssistantItemKind kind, std::string name) : kind_(kind), name_(std::move(name)) {}
  AssistantItemKind Kind() const override { return kind_; }
  std::string Name() const override { return name_; }
  std::string Text() const override { return text; }
  void SetText(std::string_view t) override { text.assign(t); }
  bool Checked() const override { return checked; }
  void SetChecked(bool c) override { checked = c; }
  std::string text;
  bool checked = false;

 private:
  AssistantItemKind kind_;
  std::string name_;
};

class FakeForm : public INVForm {
 public:
  int ModalResult() const override { return modalResult; }
  int ItemCount() const override { return static_cast<int>(items.size()); }
  std::shared_ptr<INVItem> ItemAt(int i) override { return items[i]; }
  bool ContinueButtonEnabled() const override { return continueEnabled; }
  std::string ActiveControl() const override { return active; }
  void SetActiveControl(std::string_view name) override { active.assign(name); }
  int modalResult = 1;
  bool continueEnabled = true;
  std::string active;
  std::vector<std::shared_ptr<FakeItem>> items;
};

class FakeWizard : public INVWizard {
 public:
  int FormCount() const override { return static_cast<int>(forms.size()); }
  std::shared_ptr<INVForm> FormAt(int i) override { return forms[i]; }
  std::vector<std::shared_ptr<FakeForm>> forms;
};

// Records what each build was asked for, and builds one form per name with
// an edit "<form>.Name" and a check box "<form>.Copy".
class ZorAssistants : public zortest::TwoModules {
 protected:
  void SetUp() override {
    previous_ = SetAssistantBuilder([this](const ZorModule& module, const std::string& title,
                                           const std::vector<std::string>& forms,
                                           const std::shared_ptr<IZEException>& exception) {
      std::string call = module.name == zortest::kLibraryName ? "lib" : "other";
      call += " '" + title + "'";
      for (const std::string& f : forms) call += " [" + f + "]";
      call += exception ? " with event" : "";
      calls.push_back(call);
      auto wizard = std::make_shared<FakeWizard>();
      for (const std::string& f : forms) {
        auto form = std::make_shared<FakeForm>();
        form->items = {std::make_shared<FakeItem>(AssistantItemKind::Other, "Label"),
                       std::make_shared<FakeItem>(AssistantItemKind::Edit, f + ".Name"),
                       std::make_shared<FakeItem>(AssistantItemKind::CheckBox, f + ".Copy")};
        wizard->forms.push_back(form);
      }
      return wizard;
    });
  }
  void TearDown() override {
    SetAssistantBuilder(previous_);
    zortest::TwoModules::TearDown();
  }
  std::vector<std::string> calls;
  AssistantBuilder previous_;
};

TEST_F(ZorAssistants, TheKeySearchStopsAtTheFirstGapAndHandsOverTitleAndForms) {
  InjectMain();
  InjectLibrary({{"Assistant1", std::string("Contact|Please help|ContactForm|ScrShotForm")},
                 {"Assistant2", std::string("Send|Send it| FormA ||FormB")},
                 {"Assistant4", std::string("Late|Never found|FormC")},
                 {"ScrShotDepth", int64_t{8}}});
  const auto s = SettingsForModule(Library());
  struct Row {
    const char* name;
    bool built;
  } rows[] = {{"contact", true}, {"SEND", true}, {"Late", false}, {"", false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(s->CreateAssistant(r.name) != nullptr, r.built);
  }
  // Without a form to drop, the list is passed as it stands.
  EXPECT_EQ(calls, (std::vector<std::string>{"lib 'Please help' [ContactForm] [ScrShotForm]",
                                             "lib 'Send it' [ FormA ] [] [FormB]"}));
}

TEST_F(ZorAssistants, TheScreenshotFormGoesWhenNoScreenshotIsTaken) {
  InjectMain();
  InjectLibrary(
      {{"Assistant1", std::string("Contact|Please help|ContactForm|ScrShotForm")}, {"ScrShotDepth", int64_t{0}}});
  const auto s = std::dynamic_pointer_cast<TIZESettings>(SettingsForModule(Library()));
  EXPECT_NE(s->CreateAssistant("contact"), nullptr);
  s->WriteInt("ScrShotDepth", 8);
  EXPECT_NE(s->CreateAssistant("contact"), nullptr);
  // An event that takes no screenshot drops it whatever the depth says.
  const auto e = std::make_shared<TIZEException>(s, ExceptionFacts{});
  e->SetWantScreenPicture(false);
  EXPECT_NE(e->CreateAssistant("contact"), nullptr);
  e->SetWantScreenPicture(true);
  EXPECT_NE(e->CreateAssistant("contact"), nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"lib 'Please help' [ContactForm]",
                                             "lib 'Please help' [ContactForm] [ScrShotForm]",
                                             "lib 'Please help' [ContactForm] with event",
                                             "lib 'Please help' [ContactForm] [ScrShotForm] with event"}));
}

TEST_F(ZorAssistants, FormValuesAreRememberedAndPutBack) {
  InjectMain();
  InjectLibrary({{"Assistant1", std::string("Contact|Please help|F1|F2|F3")}});
  const auto s = std::dynamic_pointer_cast<TIZESettings>(SettingsForModule(Library()));
  auto first = std::dynamic_pointer_cast<FakeWizard>(s->CreateAssistant("contact"));
  ASSERT_TRUE(first);
  // F1 left with "Next >" and filled in; F2 left with "Next >" with an empty
  // edit; F3 cancelled.
  first->forms[0]->items[1]->text = "Ann";
  first->forms[0]->items[2]->checked = true;
  first->forms[1]->items[1]->text = "";
  first->forms[2]->modalResult = 2;
  first->forms[2]->items[1]->text = "not kept";
  s->StoreFormValues(*first);

  auto second = std::dynamic_pointer_cast<FakeWizard>(s->CreateAssistant("contact"));
  ASSERT_TRUE(second);
  EXPECT_EQ(second->forms[0]->items[1]->text, "Ann");
  EXPECT_TRUE(second->forms[0]->items[2]->checked);
  EXPECT_EQ(second->forms[0]->active, kContinueButtonName);  // every value restored
  EXPECT_FALSE(second->forms[1]->items[2]->checked);         // "-" restores unchecked
  EXPECT_EQ(second->forms[1]->active, "");                   // its edit had no value
  EXPECT_EQ(second->forms[2]->items[1]->text, "");
  EXPECT_EQ(second->forms[2]->active, "");

  // A disabled continue button keeps the form's own focus.
  auto wizard = std::make_shared<FakeWizard>(*second);
  auto form = std::make_shared<FakeForm>(*second->forms[0]);
  form->continueEnabled = false;
  form->active = "";
  wizard->forms = {form};
  s->RestoreFormValues(*wizard);
  EXPECT_EQ(form->active, "");
}

TEST_F(ZorAssistants, WithoutStoredValuesNothingIsRestored) {
  InjectMain();
  InjectLibrary({{"Assistant1", std::string("Contact|Please help|F1")}});
  auto w = std::dynamic_pointer_cast<FakeWizard>(SettingsForModule(Library())->CreateAssistant("contact"));
  ASSERT_TRUE(w);
  EXPECT_EQ(w->forms[0]->active, "");
  EXPECT_EQ(w->forms[0]->items[1]->text, "");
}

}  // namespace
