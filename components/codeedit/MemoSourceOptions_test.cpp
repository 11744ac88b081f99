#include "components/codeedit/MemoSourceOptions.h"

#include <gtest/gtest.h>

#include "components/base/BaseModules.h"
#include "components/base/ObjectParams.h"
#include "components/base/RegistrySettings.h"
#include "components/codeedit/CodeEditModules.h"
#include "components/codeedit/MemoSource.h"
#include "components/codeedit/MemoTesting.h"
#include "platform/classes/StoreTesting.h"

namespace {

class MemoSourceOptionsTest : public TRegistryFileTest {
 protected:
  void TearDown() override {
    FreeOptionExtList();
    FreeSharedRegistry();
    TRegistryFileTest::TearDown();
  }
  // What a new process finds: the options saved, every cache dropped.
  static TMemoSourceOptions* Restart() {
    FreeOptionExtList();
    FreeSharedRegistry();
    return GetOptionExt<TMemoSourceOptions>();
  }
};

TEST_F(MemoSourceOptionsTest, DefaultsAndTheStorageKey) {
  auto* global = GetOptionExt<TMemoSourceOptions>();
  EXPECT_EQ(global->Options().Bits(), 635u);
  EXPECT_EQ(global->TabStops(), "9,17");
  EXPECT_EQ(global->Delimeters(), "/{}+-*():=,;><$.#[]^@&~|%'");
  EXPECT_EQ(global->BlockIndent(), 1);
  EXPECT_FALSE(global->KeepTrailingBlanks());
  global->SetBlockIndent(-2);
  EXPECT_EQ(global->BlockIndent(), 0);
  global->SetTabStops("4,8");
  Restart();
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(std::string("\\") + SettingsRoot() + "\\CodeEdit\\MemoSource", false));
  EXPECT_EQ(reg.ReadString("TabStops"), "4,8");
  EXPECT_EQ(reg.ReadInteger("BlockIndent"), 0);
}

TEST_F(MemoSourceOptionsTest, TabStopsPersistAndReachOnlyTheStoresThatFollow) {
  TMemoSource following(nullptr), own(nullptr), later(nullptr);
  following.SetUseGlobalOptions(true);
  TRecorder recorder(following);

  auto* global = GetOptionExt<TMemoSourceOptions>();
  global->SetTabStops("3,6");
  EXPECT_EQ(following.TabStops(), "3,6");
  EXPECT_EQ(own.TabStops(), "9,17");

  global = Restart();
  EXPECT_EQ(global->TabStops(), "3,6");  // read back from the registry file
  later.SetUseGlobalOptions(true);       // turning it on applies the options at once
  EXPECT_EQ(later.TabStops(), "3,6");

  // One Changed per setter: four properties copied through the stores' setters.
  global->BeginUpdate();
  global->SetOptions(TStringsOptions{soUseTabCharacter, soAutoIndent});
  global->SetDelimeters("#");
  global->SetBlockIndent(4);
  global->SetKeepTrailingBlanks(true);
  EXPECT_EQ(later.BlockIndent(), 1);  // suspended inside the bracket
  global->EndUpdate();
  for (TMemoSource* source : {&following, &later}) {
    EXPECT_EQ(source->Options().Bits(), (TStringsOptions{soUseTabCharacter, soAutoIndent}.Bits()));
    EXPECT_EQ(source->Delimeters(), "#");
    EXPECT_EQ(source->BlockIndent(), 4);
    EXPECT_TRUE(source->KeepTrailingBlanks());
  }
  EXPECT_EQ(own.BlockIndent(), 1);
  EXPECT_FALSE(own.KeepTrailingBlanks());

  // A store that stops following keeps the last values it was given.
  following.SetUseGlobalOptions(false);
  global->SetBlockIndent(6);
  EXPECT_EQ(following.BlockIndent(), 4);
  EXPECT_TRUE(following.KeepTrailingBlanks());
  EXPECT_EQ(later.BlockIndent(), 6);
}

TEST_F(MemoSourceOptionsTest, AWorkingCopyChangesNothingUntilApplied) {
  TMemoSource following(nullptr);
  following.SetUseGlobalOptions(true);
  auto copy = CreateOptionExt<TMemoSourceOptions>();
  copy->SetTabStops("5");
  EXPECT_EQ(following.TabStops(), "9,17");
  copy->Apply();
  EXPECT_EQ(following.TabStops(), "5");
}

TEST_F(MemoSourceOptionsTest, TheModuleRegistersTheOptionsClassAndTakesItBack) {
  ModuleTable table;
  AddComponentBaseModules(table);
  AddCodeEditModules(table);
  table.StartUp();
  EXPECT_NE(FindObjectParamsExact(TMemoSourceOptions::StaticClass(), {}, 0, {}), nullptr);
  TMemoSource source(nullptr);
  SetLastActiveSource(&source);
  table.ShutDown();
  EXPECT_EQ(LastActiveSource(), nullptr);
  EXPECT_EQ(FindObjectParamsExact(TMemoSourceOptions::StaticClass(), {}, 0, {}), nullptr);
}

}  // namespace
