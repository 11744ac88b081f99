#include "components/base/VerbDispatcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "components/base/CommonControls.h"
#include "components/base/MessageBroadcast.h"
#include "components/base/ObjectParams.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Writer.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Streams.h"
#include "testing/FocusWindow.h"

namespace {

using ::testing::ElementsAre;

// What the test verb "Demo" answers, and what it was asked and did.
TVerbState demoState = kVerbVisible | kVerbEnabled;
int stateCalls = 0;
int executed = 0;
bool executeRaises = false;

void DemoState(TVerbState& State) {
  ++stateCalls;
  State = demoState;
}
void DemoExecute() {
  ++executed;
  NotifyVerbsChanged();  // as a command that changes what the verbs answer
  if (executeRaises) throw std::runtime_error("command failed");
}
void Nothing() {}

// Records the verb messages it hears.
class TVerbSpy : public TMessageAnswer {
 public:
  std::vector<TMessageNumber> heard;
  void DefaultHandler(TMessage& Message) override { heard.push_back(Message.Msg); }
};

// A form-like owner with a dispatcher and one control of each kind.
struct Env {
  TDataModule* form = new TDataModule(nullptr, TDataModule::CreateNew{});
  TVerbDispatcher* dispatcher = new TVerbDispatcher(form);
  TMenuItem* menu = new TMenuItem(form);
  TButton* button = new TButton(form);
  TSpeedButton* speed = new TSpeedButton(form);
  TZRSpeedButton* derived = new TZRSpeedButton(form);
  TPanel* panel = new TPanel(form);

  Env() {
    menu->SetName("MenuItem");
    button->SetName("Button");
  }
  ~Env() { form->Free(); }

  TVerbListItem* Bind(TComponent* Control, const std::string& Verb) {
    TVerbListItem* item = dispatcher->VerbList()->AddItem();
    item->SetVerbComp(Control);
    item->SetVerbName(Verb);
    return item;
  }
};

// A control as "VEC" plus its click handler: upper case for visible,
// enabled, checked (menu items only); "H" when the click goes to Item, "-"
// when there is no handler.
std::string Show(TComponent* Control, TVerbListItem* Item) {
  bool visible = false, enabled = false;
  std::string checked;
  TNotifyEvent click;
  if (auto* m = dynamic_cast<TMenuItem*>(Control)) {
    visible = m->Visible();
    enabled = m->Enabled();
    checked = m->Checked() ? "C" : "c";
    click = m->OnClick;
  } else if (auto* c = dynamic_cast<TControl*>(Control)) {
    visible = c->Visible();
    enabled = c->Enabled();
    if (auto* s = dynamic_cast<TSpeedButton*>(Control)) click = s->OnClick;
    if (auto* b = dynamic_cast<TButtonControl*>(Control)) click = b->OnClick;
  }
  std::string out = std::string(visible ? "V" : "v") + (enabled ? "E" : "e") + checked;
  if (!click) return out + "-";
  return out + (Item && click == Item->ClickHandler() ? "H" : "?");
}

class VerbDispatcher : public ::testing::Test {
 protected:
  void SetUp() override {
    demoState = kVerbVisible | kVerbEnabled;
    stateCalls = executed = 0;
    executeRaises = false;
    RegisterVerb("Demo", DemoState, DemoExecute);
  }
  void TearDown() override {
    FreeVerbDispatcherGlobals();
    FreeObjectParamList();
  }
};

TEST_F(VerbDispatcher, EdgeCases) {
  struct Row {
    const char* name;
    std::function<std::string(Env&)> run;
    std::string expected;
  };
  const Row rows[] = {
      {"a menu item follows its verb's state after the next verbs-changed broadcast",
       [](Env& e) {
         TVerbListItem* item = e.Bind(e.menu, "Demo");
         std::string out = Show(e.menu, item);
         demoState = kVerbVisible | kVerbChecked;
         out += " " + Show(e.menu, item);
         BroadcastCommand(ZRM_VERBSCHANGED);
         return out + " " + Show(e.menu, item);
       },
       "VEcH VEcH VeCH"},
      {"no refresh inside a verb update, one after it, one after registering verbs",
       [](Env& e) {
         TVerbListItem* item = e.Bind(e.menu, "Demo");
         stateCalls = 0;
         demoState = kVerbVisible;
         BeginVerbUpdate();
         BroadcastCommand(ZRM_VERBSCHANGED);
         BroadcastCommand(ZRM_DESIGNMODIFIED);
         std::string out = std::to_string(stateCalls) + Show(e.menu, item);
         EndVerbUpdate();
         out += " " + std::to_string(stateCalls) + Show(e.menu, item);
         RegisterVerbs({{"One", nullptr, Nothing}, {"Two", nullptr, Nothing}, {"Three", nullptr, Nothing}});
         return out + " " + std::to_string(stateCalls);
       },
       "0VEcH 1VecH 2"},
      {"the verb name is stored without the blanks around it",
       [](Env& e) {
         TVerbListItem* item = e.Bind(e.button, "  Demo  ");
         return "[" + item->VerbName() + "] " + Show(e.button, item);
       },
       "[Demo] VEH"},
      {"a speed button's descendant uses the speed-button procedure; a panel finds none",
       [](Env& e) {
         demoState = 0;
         TVerbListItem* speed = e.Bind(e.speed, "Demo");
         TVerbListItem* derived = e.Bind(e.derived, "Demo");
         TVerbListItem* button = e.Bind(e.button, "Demo");
         TVerbListItem* panel = e.Bind(e.panel, "Demo");
         return std::string(derived->BindProc() == speed->BindProc() ? "same" : "other") +
                (button->BindProc() != speed->BindProc() ? " own" : " shared") + " " + Show(e.derived, derived) +
                " panel:" + (panel->BindProc() ? "bound" : "unbound") + Show(e.panel, panel);
       },
       "same own veH panel:unboundVE-"},
      {"refreshes with an unchanged state leave the control alone",
       [](Env& e) {
         demoState = kVerbVisible;
         TVerbListItem* item = e.Bind(e.button, "Demo");
         std::string out = Show(e.button, item);
         e.button->SetEnabled(true);  // by hand: only a changed state would undo it
         BroadcastCommand(ZRM_VERBSCHANGED);
         BroadcastCommand(ZRM_DESIGNMODIFIED);
         out += " " + Show(e.button, item);
         demoState = 0;
         BroadcastCommand(ZRM_VERBSCHANGED);
         return out + " " + Show(e.button, item);
       },
       "VeH VEH veH"},
      {"a freed control leaves every item bound to it",
       [](Env& e) {
         TVerbListItem* first = e.Bind(e.button, "Demo");
         TVerbListItem* second = e.Bind(e.button, "Demo");
         TVerbListItem* other = e.Bind(e.menu, "Demo");
         e.button->Free();
         return std::string(first->VerbComp() || second->VerbComp() ? "kept" : "cleared") +
                (first->BindProc() || second->BindProc() ? " bound" : " unbound") + " " + other->VerbComp()->Name();
       },
       "cleared unbound MenuItem"},
      {"a freed item leaves its control as the verb says, without its click handler",
       [](Env& e) {
         demoState = 0;
         TVerbListItem* shown = e.Bind(e.button, "Demo");
         TVerbListItem* disabled = e.Bind(e.menu, "Demo");
         TVerbListItem* hidden = e.Bind(e.speed, "Demo");
         std::string out = Show(e.button, shown) + Show(e.menu, disabled) + Show(e.speed, hidden);
         demoState = kVerbVisible | kVerbEnabled;
         shown->Free();
         demoState = kVerbVisible;
         disabled->Free();
         BroadcastCommand(ZRM_VERBSCHANGED);
         out += " " + Show(e.speed, hidden);
         demoState = 0;  // an empty answer still takes the handler away
         hidden->Free();
         return out + " " + Show(e.button, nullptr) + Show(e.menu, nullptr) + Show(e.speed, nullptr);
       },
       "veHvecHveH VeH VE-Vec-ve-"},
      {"an item moved to another control applies its unchanged state there",
       [](Env& e) {
         demoState = kVerbVisible;
         TVerbListItem* item = e.Bind(e.button, "Demo");
         item->SetVerbComp(e.menu);
         return Show(e.menu, item);
       },
       "VecH"},
      {"a freed item does not touch a control that is being destroyed",
       [](Env& e) {
         demoState = 0;
         TVerbListItem* item = e.Bind(e.button, "Demo");
         e.button->Destroying();
         demoState = kVerbVisible | kVerbEnabled;
         item->Free();
         return Show(e.button, nullptr);
       },
       "ve?"},
      {"a click runs the command inside one update, followed by one refresh",
       [](Env& e) {
         TVerbListItem* item = e.Bind(e.button, "Demo");
         TVerbSpy spy;
         stateCalls = 0;
         demoState = kVerbVisible;
         e.button->Click();
         std::string out = std::to_string(executed) + "/" + std::to_string(stateCalls) + " " + Show(e.button, item);
         for (TMessageNumber m : spy.heard) out += " " + std::to_string(m);
         return out;
       },
       "1/1 VeH 2055 2053 2045"},
      {"a failing command still closes its update and refreshes once",
       [](Env& e) {
         TVerbListItem* item = e.Bind(e.menu, "Demo");
         stateCalls = 0;
         executeRaises = true;
         demoState = 0;
         std::string out;
         try {
           e.menu->Click();
         } catch (const std::runtime_error& error) {
           out = error.what();
         }
         return out + " " + std::to_string(stateCalls) + (VerbUpdateOpen() ? " open " : " closed ") +
                Show(e.menu, item);
       },
       "command failed 1 closed vecH"},
      {"a dispatcher in design state neither binds nor refreshes",
       [](Env& e) {
         demoState = 0;
         TVerbListItem* bound = e.Bind(e.menu, "Demo");
         e.dispatcher->SetDesigning(true, false);
         TVerbListItem* item = e.Bind(e.button, "Demo");
         demoState = kVerbVisible | kVerbEnabled;
         BroadcastCommand(ZRM_VERBSCHANGED);
         return std::string(item->BindProc() ? "bound " : "unbound ") + Show(e.button, item) + " " +
                Show(e.menu, bound);
       },
       "unbound VE- vecH"},
      {"a dispatcher being destroyed does not refresh",
       [](Env& e) {
         TVerbListItem* item = e.Bind(e.button, "Demo");
         e.dispatcher->Destroying();
         demoState = 0;
         BroadcastCommand(ZRM_VERBSCHANGED);
         return Show(e.button, item);
       },
       "VEH"},
      {"a verb registered later binds when packages have loaded",
       [](Env& e) {
         TVerbListItem* item = e.Bind(e.button, "Later");
         std::string out = item->BindProc() ? "bound" : "unbound";
         RegisterVerb("Later", DemoState, DemoExecute);
         out += item->BindProc() ? " bound" : " unbound";
         BroadcastCommand(ZRM_PACKAGESLOADED);
         return out + (item->BindProc() ? " bound" : " unbound");
       },
       "unbound unbound bound"},
      {"an unloaded package's group binds its items again",
       [](Env& e) {
         SetCurrentGroup(7);
         TObjectParamListItem* packaged = RegisterVerb("Packaged", DemoState, DemoExecute);
         SetCurrentGroup(-1);
         TVerbListItem* item = e.Bind(e.button, "Packaged");
         TVerbListItem* own = e.Bind(e.menu, "Demo");
         std::string out = std::to_string(item->Module()) + "/" + std::to_string(own->Module());
         packaged->SetEnabled(false);  // what the unload leaves behind
         BroadcastMessage(nullptr, ZRM_PACKAGEUNLOADED, 8, 0);
         out += item->BindProc() ? " bound" : " unbound";
         BroadcastMessage(nullptr, ZRM_PACKAGEUNLOADED, 7, 0);
         return out + (item->BindProc() ? " bound" : " unbound") + (own->BindProc() ? " bound" : " unbound");
       },
       "7/-1 bound unbound bound"},
      {"display names",
       [](Env& e) {
         TVerbListItem* item = e.dispatcher->VerbList()->AddItem();
         std::string out = item->DisplayName();
         item->SetVerbName("Demo");
         out += "|" + item->DisplayName();
         item->SetVerbComp(e.button);
         return out + "|" + item->DisplayName();
       },
       "TVerbListItem|Demo|Button - Demo"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    demoState = kVerbVisible | kVerbEnabled;
    stateCalls = executed = 0;
    executeRaises = false;
    Env env;
    EXPECT_EQ(row.run(env), row.expected);
  }
}

TEST_F(VerbDispatcher, BindProceduresAreRegisteredOnceInTheirOrder) {
  auto* first = new TVerbDispatcher(nullptr);
  auto* second = new TVerbDispatcher(nullptr);
  std::vector<std::string> classes;
  TObjectParamList* list = GetObjectParamList();
  for (int i = 0; i < list->Count(); ++i)
    if (VarType(list->GetItem(i)->GetParam("AssignVerb")) != varEmpty)
      classes.push_back(list->GetItem(i)->GetObjectClass()->Name);
  EXPECT_THAT(classes, ElementsAre("TMenuItem", "TSpeedButton", "TButton"));
  ASSERT_NE(IDEActiveNotifier(), nullptr);
  TIDEActiveNotifier* notifier = IDEActiveNotifier();
  second->Free();
  first->Free();
  EXPECT_EQ(IDEActiveNotifier(), notifier);  // one for the process, not per dispatcher
}

TEST_F(VerbDispatcher, AFocusChangeRefreshesTheVerbStates) {
  std::vector<std::string> heard;
  FocusWindow window(heard);
  Env env;
  TVerbListItem* item = env.Bind(env.button, "Demo");
  demoState = kVerbVisible;
  window.b->setFocus();
  EXPECT_EQ(Show(env.button, item), "VeH");
}

TEST_F(VerbDispatcher, TheBindingsAreWrittenAndReadBackByName) {
  RegisterClasses({TVerbDispatcher::StaticClass(), TButton::StaticClass(), TMenuItem::StaticClass(),
                   TSpeedButton::StaticClass(), TZRSpeedButton::StaticClass(), TPanel::StaticClass()});
  demoState = kVerbVisible;
  TStringStream binary;
  {
    Env env;
    env.form->SetName("Form");
    env.dispatcher->SetName("Verbs");
    env.dispatcher->SetVersion("4.11");
    env.Bind(env.button, "Demo");
    env.Bind(env.menu, "  Demo");
    WriteComponentToStream(binary, env.form);
  }
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);
  const std::string written = text.DataString();
  EXPECT_THAT(written, ::testing::HasSubstr("  object Verbs: TVerbDispatcher\n"
                                            "    VerbList = <\n"
                                            "      item\n"
                                            "        VerbName = 'Demo'\n"
                                            "        VerbComp = Button\n"
                                            "      end\n"
                                            "      item\n"
                                            "        VerbName = 'Demo'\n"
                                            "        VerbComp = MenuItem\n"
                                            "      end>\n"
                                            "  end\n"));
  EXPECT_THAT(written, ::testing::Not(::testing::HasSubstr("Version")));

  // Read back: the references resolve and the controls are bound again.
  auto* form = new TDataModule(nullptr, TDataModule::CreateNew{});
  binary.SetPosition(0);
  ReadComponentFromStream(binary, form);
  auto* again = dynamic_cast<TVerbDispatcher*>(form->FindComponent("Verbs"));
  ASSERT_NE(again, nullptr);
  ASSERT_EQ(again->VerbList()->Count(), 2);
  EXPECT_EQ(again->VerbList()->Item(0)->VerbComp(), form->FindComponent("Button"));
  EXPECT_EQ(again->VerbList()->Item(1)->VerbComp(), form->FindComponent("MenuItem"));
  EXPECT_EQ(again->Version(), "");
  EXPECT_EQ(Show(form->FindComponent("Button"), again->VerbList()->Item(0)), "VeH");
  form->Free();
}

}  // namespace
