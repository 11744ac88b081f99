#include "components/base/ZRCustomControl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "components/base/Keyboard.h"
#include "platform/core/Exceptions.h"

namespace {

// The two-key control of the examples: Ctrl+K leads to state 1, B in state
// 1 runs an action, Ctrl+S runs in every state and a later Ctrl+S in state
// 1 only; Enter and Tab have actions of their own.
class TSequenceControl : public TZRCustomControl {
  KESTOVA_CLASS(TSequenceControl)
 public:
  using TZRCustomControl::TZRCustomControl;
  std::string log;
  int defaultInits = 0;

  void Block() { log += "block;"; }
  void Save() { log += "save;"; }
  void SaveInSequence() { log += "save1;"; }
  void Enter() { log += "enter;"; }
  void Tab() { log += "tab;"; }

 protected:
  void InitDefaultKeys() override {
    ++defaultInits;
    Keys()->AddKeyEx('K', {ssCtrl}, nullptr, 0, 1);
    Keys()->AddKeyEx('B', {}, TKeyAction::Of<&TSequenceControl::Block>(*this), 1, 0);
    Keys()->AddKeyAnyState('S', {ssCtrl}, TKeyAction::Of<&TSequenceControl::Save>(*this));
    Keys()->AddKeyEx('S', {ssCtrl}, TKeyAction::Of<&TSequenceControl::SaveInSequence>(*this), 1, 0);
    Keys()->AddKey(VK_RETURN, {}, TKeyAction::Of<&TSequenceControl::Enter>(*this));
    Keys()->AddKey(VK_TAB, {}, TKeyAction::Of<&TSequenceControl::Tab>(*this));
  }
  bool ProcessChar(char32_t Ch) override {
    log += "char:" + std::to_string(static_cast<unsigned>(Ch)) + ";";
    return true;
  }
};
KESTOVA_CLASS_INFO(TSequenceControl, TZRCustomControl, "ZRKeysTest", nullptr)

using Keys = std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>;
const Qt::KeyboardModifiers kNone;
const Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;

// A shown form holding the control (focused) and a second control to take
// the focus.
struct Form {
  TWinControl form{nullptr};
  TSequenceControl* control = Construct<TSequenceControl>(&form);
  TWinControl* other = new TWinControl(&form);
  Form() {
    form.SetBounds(0, 0, 200, 100);
    control->SetBounds(0, 0, 100, 100);
    other->SetBounds(100, 0, 100, 100);
    control->SetParent(&form);
    other->SetParent(&form);
    form.Show();
    QApplication::setActiveWindow(form.Handle());
    control->SetFocus();
  }
  void Press(const Keys& keys) {
    for (const auto& [key, modifiers] : keys) QTest::keyClick(control->Handle(), key, modifiers);
  }
};

TEST(ZRCustomControl, KeySequencesRunTheirActionsAndNoCharacterOfAHandledKeyIsTyped) {
  struct Row {
    const char* name;
    bool wantReturns;
    Keys keys;
    const char* log;
  } rows[] = {
      {"prefix then B", true, {{Qt::Key_K, kCtrl}, {Qt::Key_B, kNone}}, "block;"},
      {"B alone types", true, {{Qt::Key_B, kNone}}, "char:98;"},
      {"prefix then an unbound key types it", true, {{Qt::Key_K, kCtrl}, {Qt::Key_X, kNone}}, "char:120;"},
      {"Ctrl+S in state 0", true, {{Qt::Key_S, kCtrl}}, "save;"},
      {"Ctrl+S in state 1 is the later binding", true, {{Qt::Key_K, kCtrl}, {Qt::Key_S, kCtrl}}, "save1;"},
      {"back in state 0 the any-state binding again",
       true,
       {{Qt::Key_S, kCtrl}, {Qt::Key_K, kCtrl}, {Qt::Key_S, kCtrl}, {Qt::Key_S, kCtrl}},
       "save;save1;save;"},
      {"Enter wanted", true, {{Qt::Key_Return, kNone}}, "enter;"},
      {"Enter not wanted is not looked up", false, {{Qt::Key_Return, kNone}}, "char:13;"},
      {"Ctrl+Enter not wanted is looked up as Enter", false, {{Qt::Key_Return, kCtrl}}, "enter;"},
      {"Ctrl+Tab not wanted is looked up as Tab", true, {{Qt::Key_Tab, kCtrl}}, "tab;"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Form f;
    f.control->SetWantReturns(row.wantReturns);
    f.Press(row.keys);
    EXPECT_EQ(f.control->log, row.log);
    EXPECT_EQ(f.control->KeyboardState(), 0);
  }
}

TEST(ZRCustomControl, TabGoesToTheFormUnlessWanted) {
  {
    Form f;
    f.Press({{Qt::Key_Tab, kNone}});
    EXPECT_EQ(f.control->log, "");
    EXPECT_TRUE(f.other->Focused());
  }
  {
    Form f;
    f.control->SetWantTabs(true);
    f.Press({{Qt::Key_Tab, kNone}});
    EXPECT_EQ(f.control->log, "tab;");
    EXPECT_TRUE(f.control->Focused());
  }
}

TEST(ZRCustomControl, DialogCodeFollowsWantTabsAndWantReturns) {
  struct Row {
    bool wantTabs, wantReturns;
    std::intptr_t code;
  } rows[] = {{false, true, 0x85}, {true, true, 0x87}, {false, false, 0x81}, {true, false, 0x83}};
  TSequenceControl* control = Construct<TSequenceControl>(nullptr);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    control->SetWantTabs(row.wantTabs);
    control->SetWantReturns(row.wantReturns);
    EXPECT_EQ(control->Perform(WM_GETDLGCODE, 0, 0), row.code);
  }
  control->Free();
}

// ---- Mappings ----

int briefInits = 0;
void InitBriefKeys(TComponent* Control) {
  ++briefInits;
  static_cast<TZRCustomControl*>(Control)->Keys()->AddKey('Q', {ssCtrl}, nullptr);
}

class TMappedControl : public TSequenceControl {
  KESTOVA_CLASS(TMappedControl)
 public:
  using TSequenceControl::TSequenceControl;
  void SwitchToBrief() { SetKeyMapping("Brief"); }
};
KESTOVA_CLASS_INFO(TMappedControl, TSequenceControl, "ZRKeysTest", nullptr)

class TMappedChild : public TMappedControl {
  KESTOVA_CLASS(TMappedChild)
 public:
  using TMappedControl::TMappedControl;
};
KESTOVA_CLASS_INFO(TMappedChild, TMappedControl, "ZRKeysTest", nullptr)

// No default keys of its own: what it has comes from a mapping.
class TBareControl : public TZRCustomControl {
  KESTOVA_CLASS(TBareControl)
 public:
  using TZRCustomControl::TZRCustomControl;
};
KESTOVA_CLASS_INFO(TBareControl, TZRCustomControl, "ZRKeysTest", nullptr)

class TRegisteredBare : public TBareControl {
  KESTOVA_CLASS(TRegisteredBare)
 public:
  using TBareControl::TBareControl;
};
KESTOVA_CLASS_INFO(TRegisteredBare, TBareControl, "ZRKeysTest", nullptr)

TEST(ZRCustomControl, ConstructionFillsTheKeysThroughTheMostDerivedClass) {
  TSequenceControl* control = Construct<TSequenceControl>(nullptr);
  EXPECT_EQ(control->KeyMapping(), "Default");
  EXPECT_EQ(control->defaultInits, 1);
  EXPECT_EQ(control->Keys()->Count(), 6);
  control->Free();
}

TEST(ZRCustomControl, WithoutMappingOrDefaultKeysConstructionRaisesTheAbstractError) {
  EXPECT_THAT([] { Construct<TBareControl>(nullptr); },
              testing::ThrowsMessage<EAbstractError>(testing::StrEq("Abstract Error")));
  // A "Default" mapping for the class does instead.
  static int bareInits = 0;
  RegisterKeyboardMapping(TRegisteredBare::StaticClass(), "Default", [](TComponent*) { ++bareInits; });
  TRegisteredBare* bare = Construct<TRegisteredBare>(nullptr);
  EXPECT_EQ(bareInits, 1);
  bare->Free();
}

TEST(ZRCustomControl, KeyMappingComparesWithCaseAndTheLookUpWithout) {
  RegisterKeyboardMapping(TMappedControl::StaticClass(), "Brief", InitBriefKeys);
  briefInits = 0;
  TMappedChild* control = Construct<TMappedChild>(nullptr);  // a descendant finds its ancestor's mapping
  control->SetKeyMapping("Brief");
  EXPECT_EQ(briefInits, 1);
  EXPECT_EQ(control->Keys()->Count(), 1);
  control->SetKeyMapping("Brief");
  EXPECT_EQ(briefInits, 1);  // the same name: no reset
  control->SetKeyMapping("brief");
  EXPECT_EQ(briefInits, 2);  // another name, the same registration
  EXPECT_EQ(control->KeyMapping(), "brief");
  control->SetKeyMapping("Unknown");
  EXPECT_EQ(control->defaultInits, 2);  // no mapping: the default keys
  control->Free();
}

TEST(ZRCustomControl, AnActionMayReplaceTheKeysItCameFrom) {
  RegisterKeyboardMapping(TMappedControl::StaticClass(), "Brief", InitBriefKeys);
  TMappedControl* control = Construct<TMappedControl>(nullptr);
  control->Keys()->AddKeyEx('M', {}, TKeyAction::Of<&TMappedControl::SwitchToBrief>(*control), 0, 2);
  control->Perform(WM_KEYDOWN, 'M', MakeKeyData({}, 0, false, false));  // frees the binding (ASan)
  EXPECT_EQ(control->KeyMapping(), "Brief");
  EXPECT_EQ(control->KeyboardState(), 2);
  EXPECT_TRUE(control->KeyHandled());
  control->Free();
}

TEST(ZRCustomControl, ShiftStateNowFollowsTheKeyboard) {
  NoteKeyboardModifiers(Qt::AltModifier | Qt::ShiftModifier | Qt::KeypadModifier);
  EXPECT_TRUE(IsAltDown());
  EXPECT_EQ(GetShiftState(), (TShiftState{ssShift, ssAlt}));
  NoteKeyboardModifiers(Qt::ControlModifier);
  EXPECT_FALSE(IsAltDown());
  EXPECT_EQ(GetShiftState(), TShiftState{ssCtrl});
  NoteKeyboardModifiers({});
}

}  // namespace
