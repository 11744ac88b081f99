#include "components/base/Registrations.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "components/base/MessageBroadcast.h"
#include "platform/classes/Component.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

class TEditBase : public TComponent {
  KESTOVA_CLASS(TEditBase)
 public:
  using TComponent::TComponent;
};
class TMemoControl : public TEditBase {
  KESTOVA_CLASS(TMemoControl)
 public:
  using TEditBase::TEditBase;
};
class TRichMemoControl : public TMemoControl {
  KESTOVA_CLASS(TRichMemoControl)
 public:
  using TMemoControl::TMemoControl;
};

}  // namespace

KESTOVA_CLASS_INFO(TEditBase, TComponent, "test", nullptr)
KESTOVA_CLASS_INFO(TMemoControl, TEditBase, "test", nullptr)
KESTOVA_CLASS_INFO(TRichMemoControl, TMemoControl, "test", nullptr)

namespace {

std::vector<std::string> ran;

void OpenFirst() { ran.push_back("first"); }
void OpenSecond() { ran.push_back("second"); }
void DisableIt(TVerbState& State) { State &= ~kVerbEnabled; }
void InitBrief(TComponent* Control) { ran.push_back("brief:" + Control->Name()); }

// Records the verb messages it hears.
class TVerbSpy : public TMessageAnswer {
 public:
  std::vector<TMessageNumber> heard;
  TMessageNumber raisesOn = 0;
  void DefaultHandler(TMessage& Message) override {
    heard.push_back(Message.Msg);
    if (Message.Msg == raisesOn) throw std::runtime_error("receiver failed");
  }
};

class Registrations : public ::testing::Test {
 protected:
  void SetUp() override { ran.clear(); }
  void TearDown() override {
    FreeObjectParamList();
    FreeMessageAnswerList();
  }
};

TEST_F(Registrations, TheOlderOfTwoVerbsOfOneNameWins) {
  TObjectParamListItem* older = RegisterVerb("File.Open", DisableIt, OpenFirst);
  RegisterVerb("File.Open", nullptr, OpenSecond);
  TVerbGetStateProc getState = nullptr;
  TVerbExecuteProc execute = nullptr;
  EXPECT_EQ(FindVerb("file.open", getState, execute), older);
  EXPECT_EQ(getState, &DisableIt);
  EXPECT_EQ(execute, &OpenFirst);
  ExecuteVerb("FILE.OPEN");
  ExecuteVerb("File.Close");  // not registered: nothing runs
  EXPECT_THAT(ran, ElementsAre("first"));
  TVerbState state = kVerbVisible | kVerbEnabled;
  getState(state);
  EXPECT_EQ(state, kVerbVisible);

  // The name matches without case only because FindVerb asks so.
  EXPECT_EQ(FindObjectParamsByDescendant(TVerbObject::StaticClass(), {"Verb.Name"}, 0, {"file.open"}), nullptr);
}

TEST_F(Registrations, AMissingOrDisabledVerbLeavesTheProceduresAlone) {
  RegisterVerb("Edit.Cut", nullptr, nullptr)->SetEnabled(false);
  RegisterVerb("Edit.Copy", nullptr, nullptr);
  TVerbGetStateProc getState = DisableIt;
  TVerbExecuteProc execute = OpenFirst;
  EXPECT_EQ(FindVerb("Edit.Cut", getState, execute), nullptr);
  EXPECT_EQ(getState, &DisableIt);
  EXPECT_EQ(execute, &OpenFirst);
  // A verb without procedures gives nullptr for both, and runs nothing.
  EXPECT_NE(FindVerb("Edit.Copy", getState, execute), nullptr);
  EXPECT_EQ(getState, nullptr);
  EXPECT_EQ(execute, nullptr);
  ExecuteVerb("Edit.Copy");
  // Something else than a procedure in a procedure's place reads as none.
  RegisterObjectParams(TVerbObject::StaticClass(), {"Verb.Name", "Verb.Execute"}, {"Edit.Paste", "OpenFirst"});
  ExecuteVerb("Edit.Paste");
  EXPECT_THAT(ran, IsEmpty());
}

TEST_F(Registrations, VerbUpdatesAnnounceOnlyTheOutermostBracket) {
  struct Row {
    const char* name;
    void (*act)();
    std::vector<TMessageNumber> heard;
  };
  const Row rows[] = {
      {"one verb", [] { RegisterVerb("A", nullptr, OpenFirst); }, {ZRM_VERBSCHANGED}},
      {"three verbs",
       [] {
         RegisterVerbs({{"A", nullptr, OpenFirst}, {"B", nullptr, OpenFirst}, {"C", nullptr, OpenFirst}});
       },
       {ZRM_VERBUPDATEBEGAN, ZRM_VERBUPDATEENDED, ZRM_VERBSCHANGED}},
      {"nested brackets",
       [] {
         BeginVerbUpdate();
         BeginVerbUpdate();
         NotifyVerbsChanged();
         EndVerbUpdate();
         EndVerbUpdate();
       },
       {ZRM_VERBUPDATEBEGAN, ZRM_VERBUPDATEENDED, ZRM_VERBSCHANGED}},
      {"an unmatched end, then a bracket",
       [] {
         EndVerbUpdate();
         BeginVerbUpdate();
         EndVerbUpdate();
       },
       {ZRM_VERBUPDATEBEGAN, ZRM_VERBUPDATEENDED, ZRM_VERBSCHANGED}},
  };
  TVerbSpy spy;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    spy.heard.clear();
    row.act();
    EXPECT_THAT(spy.heard, ElementsAreArray(row.heard));
  }
  NotifyVerbsChanged();  // every bracket closed
  EXPECT_EQ(spy.heard.back(), ZRM_VERBSCHANGED);
}

TEST_F(Registrations, ABracketClosesWhenItsScopeRaises) {
  TVerbSpy spy;
  EXPECT_THROW(
      {
        TVerbUpdateGuard update;
        RegisterVerb("A", nullptr, OpenFirst);
        throw std::runtime_error("registration failed");
      },
      std::runtime_error);
  EXPECT_THAT(spy.heard, ElementsAre(ZRM_VERBUPDATEBEGAN, ZRM_VERBUPDATEENDED, ZRM_VERBSCHANGED));

  // A receiver failing in the closing broadcast: the first exception is the
  // one that arrives, and the bracket is still closed.
  spy.heard.clear();
  spy.raisesOn = ZRM_VERBUPDATEENDED;
  try {
    TVerbUpdateGuard update;
    throw std::logic_error("registration failed");
  } catch (const std::logic_error&) {
  }
  spy.raisesOn = 0;
  spy.heard.clear();
  NotifyVerbsChanged();
  EXPECT_THAT(spy.heard, ElementsAre(ZRM_VERBSCHANGED));
}

TEST_F(Registrations, KeyboardMappingsServeTheClassAndItsDescendants) {
  RegisterKeyboardMapping(TMemoControl::StaticClass(), "Brief", InitBrief);
  struct Row {
    const char* name;
    TClass control;
    const char* mapping;
    bool found;
  };
  const Row rows[] = {
      {"the registered class", TMemoControl::StaticClass(), "Brief", true},
      {"a derived class, other case", TRichMemoControl::StaticClass(), "BRIEF", true},
      {"an ancestor", TEditBase::StaticClass(), "Brief", false},
      {"another mapping", TMemoControl::StaticClass(), "Epsilon", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindKeyboardInitProc(row.control, row.mapping), row.found ? &InitBrief : nullptr);
  }

  // The address comes back whole: above 4 GiB in a position-independent
  // program, where a 32-bit value would have cut it.
  TKeyboardInitProc found = FindKeyboardInitProc(TRichMemoControl::StaticClass(), "Brief");
  const auto address = reinterpret_cast<std::uintptr_t>(found);
  EXPECT_EQ(address, reinterpret_cast<std::uintptr_t>(&InitBrief));
  EXPECT_GT(address, std::uintptr_t{0xFFFFFFFF});
  TRichMemoControl memo(nullptr);
  memo.SetName("Memo1");
  found(&memo);
  EXPECT_THAT(ran, ElementsAre("brief:Memo1"));
}

TEST_F(Registrations, CodeDesignersAndOptionsPagesAreFoundByTheirParameters) {
  RegisterScriptCodeDesigner(TMemoControl::StaticClass(), ".js");
  RegisterUnitCodeDesigner(TRichMemoControl::StaticClass(), ".pas");
  EXPECT_EQ(FindRegisteredClass(TEditBase::StaticClass(), {"CodeDes.Extension", "CodeDes.ForUnit"}, kMatchIgnoreCase,
                                {".PAS", true}),
            TRichMemoControl::StaticClass());
  EXPECT_EQ(FindRegisteredClass(TEditBase::StaticClass(), {"CodeDes.Extension", "CodeDes.ForUnit"}, kMatchIgnoreCase,
                                {".js", true}),
            nullptr);

  TObjectParamListItem* page = RegisterEnvironmentOptions(TEditBase::StaticClass());
  EXPECT_EQ(VarType(page->GetParam("Environment.Options")), varByte);
  EXPECT_EQ(FindObjectParamsExact(TEditBase::StaticClass(), {"Environment.Options"}, 0, {std::uint8_t{123}}), page);
  EXPECT_EQ(FindObjectParamsExact(TEditBase::StaticClass(), {"Environment.Options"}, 0, {int32_t{123}}), nullptr);
}

}  // namespace
