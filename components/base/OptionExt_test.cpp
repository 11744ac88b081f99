#include "components/base/OptionExt.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "components/base/BaseModules.h"
#include "components/base/RegistrySettings.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/StoreTesting.h"
#include "platform/classes/TypInfoPublish.h"
#include "testing/OptionsFixture.h"

// An options class with a property that has no Variant form.
class TEventOptions : public TOptionExt {
  KESTOVA_CLASS(TEventOptions)
 public:
  TNotifyEvent OnApply;
  std::int32_t Level = 1;
};

namespace {
void DescribeTEventOptions(TClassInfo& Info) {
  TClassPublisher<TEventOptions> p(Info);
  p.Property<&TEventOptions::Level, &TEventOptions::Level>("Level", TypeInfos::Integer());
  p.Property<&TEventOptions::OnApply, &TEventOptions::OnApply>("OnApply", TypeInfos::TNotifyEvent());
}
}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TEventOptions, TOptionExt, "OptionExtTest", &MakeObject<TEventOptions>,
                             DescribeTEventOptions)

// An options class whose object properties lead back to itself or nowhere.
class TLoopOptions : public TOptionExt {
  KESTOVA_CLASS(TLoopOptions)
 public:
  TLoopOptions* Itself() const { return const_cast<TLoopOptions*>(this); }
  TPersistent* Nothing() const { return nullptr; }
  std::int32_t Level = 1;
};

namespace {
void DescribeTLoopOptions(TClassInfo& Info) {
  TClassPublisher<TLoopOptions> p(Info);
  p.Property<&TLoopOptions::Itself>("Itself", ClassTypeInfo(TOptionExt::StaticClass()));
  p.Property<&TLoopOptions::Level, &TLoopOptions::Level>("Level", TypeInfos::Integer());
  p.Property<&TLoopOptions::Nothing>("Nothing", ClassTypeInfo(TPersistent::StaticClass()));
}
}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TLoopOptions, TOptionExt, "OptionExtTest", &MakeObject<TLoopOptions>, DescribeTLoopOptions)

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::ThrowsMessage;

const std::string kSampleKey = std::string("\\") + kDefaultSettingsRoot + "\\SampleOptions";

class OptionExtTest : public TRegistryFileTest {
 protected:
  void SetUp() override {
    TRegistryFileTest::SetUp();
    RegisterOptionsFixtures();
  }
  void TearDown() override {
    // The global instances are saved into this test's file, then go.
    FreeOptionExtList();
    TRegistryFileTest::TearDown();
  }
  // Writes through a registry object of its own, as another program would.
  static TRegistry& Reg(const std::string& Key) {
    static TRegistry reg;
    EXPECT_TRUE(reg.OpenKey(Key, true));
    return reg;
  }
};

TEST_F(OptionExtTest, TheFirstInstanceIsGlobalAndLoadedAndASecondOneIsAnUnregisteredCopy) {
  Reg(kSampleKey).WriteInteger("Width", 42);
  Reg(kSampleKey).WriteString("Caption", "stored");

  auto* global = GetOptionExt<TSampleOptions>();
  EXPECT_TRUE(global->IsGlobal());
  EXPECT_EQ(global->Width, 42);
  EXPECT_EQ(global->Caption, "stored");
  EXPECT_EQ(global->Ratio, 0.5);  // missing: the default stays
  EXPECT_EQ(global->GetStorageKey(), "SampleOptions");
  EXPECT_EQ(GetOptionExt<TSampleOptions>(), global);
  EXPECT_EQ(FindOptionExt(TSampleOptions::StaticClass()), global);

  {
    std::unique_ptr<TSampleOptions> copy = CreateOptionExt<TSampleOptions>();
    EXPECT_FALSE(copy->IsGlobal());
    EXPECT_TRUE(copy->ChangesSuspended());
    EXPECT_EQ(copy->GlobalOptions(), global);
    EXPECT_EQ(copy->Width, 42);
    EXPECT_EQ(copy->Caption, "stored");
    EXPECT_EQ(FindOptionExt(TSampleOptions::StaticClass()), global);
  }
  EXPECT_EQ(FindOptionExt(TSampleOptions::StaticClass()), global);
  EXPECT_EQ(global->ChangedCount, 1);  // the load's bracket closing
}

TEST_F(OptionExtTest, ApplyOnACopyUpdatesTheGlobalInstanceAndRunsItsChangedOnce) {
  auto* global = GetOptionExt<TSampleOptions>();
  const int before = global->ChangedCount;
  auto copy = CreateOptionExt<TSampleOptions>();
  copy->Width = 77;
  copy->Lines()->SetText("one\ntwo\n");
  copy->Part()->Label = "edited";
  EXPECT_EQ(global->Width, 10);

  copy->Apply();
  EXPECT_EQ(global->Width, 77);
  EXPECT_EQ(global->Lines()->Text(), "one\ntwo\n");
  EXPECT_EQ(global->Part()->Label, "edited");
  EXPECT_NE(global->Lines(), copy->Lines());  // copied, not shared
  EXPECT_EQ(global->ChangedCount, before + 1);
  EXPECT_EQ(copy->ChangedCount, 0);

  global->Apply();
  EXPECT_EQ(global->ChangedCount, before + 2);
  // Brackets: Changed once at the outermost end; an extra end does nothing.
  global->BeginUpdate();
  global->BeginUpdate();
  EXPECT_TRUE(global->ChangesSuspended());
  global->EndUpdate();
  global->EndUpdate();
  global->EndUpdate();
  EXPECT_EQ(global->ChangedCount, before + 3);
}

TEST_F(OptionExtTest, PropertiesLandAsStringListObjectAndCollectionValues) {
  auto* global = GetOptionExt<TSampleOptions>();
  global->Lines()->SetText("alpha\nbeta\n");
  global->Part()->Width = 7;
  global->Part()->Label = "inner";
  static_cast<TStreamItem*>(global->Items()->Add())->Value = 4;
  global->Enabled = false;
  global->SaveToStorage();

  TRegistry& reg = Reg(kSampleKey);
  EXPECT_EQ(reg.GetDataType("Lines"), rdString);
  EXPECT_EQ(reg.ReadString("Lines"), "alpha\r\nbeta\r\n");
  EXPECT_EQ(reg.ReadInteger("Width"), 10);
  EXPECT_EQ(reg.ReadBool("Enabled"), false);
  EXPECT_EQ(reg.ReadFloat("Ratio"), 0.5);
  EXPECT_EQ(reg.ReadString("Caption"), "sample");
  ASSERT_EQ(reg.GetDataType("Items"), rdBinary);
  std::string items(static_cast<size_t>(reg.GetDataSize("Items")), '\0');
  reg.ReadBinaryData("Items", items.data(), static_cast<int>(items.size()));
  EXPECT_THAT(items, StartsWith("object PersHolder: TPersHolder"));
  EXPECT_THAT(items, HasSubstr("Value = 4"));
  EXPECT_FALSE(reg.ValueExists("Part"));
  TRegistry& part = Reg(kSampleKey + "\\Part");
  EXPECT_EQ(part.ReadInteger("Width"), 7);
  EXPECT_EQ(part.ReadString("Label"), "inner");

  // Saved at shut-down, loaded by the next global instance.
  global->Width = 99;
  FreeOptionExtList();
  EXPECT_EQ(FindOptionExt(TSampleOptions::StaticClass()), nullptr);
  auto* next = GetOptionExt<TSampleOptions>();
  EXPECT_NE(next, nullptr);
  EXPECT_EQ(next->Width, 99);
  EXPECT_FALSE(next->Enabled);
  EXPECT_EQ(next->Lines()->Text(), "alpha\nbeta\n");
  EXPECT_EQ(next->Part()->Width, 7);
  EXPECT_EQ(next->Part()->Label, "inner");
  ASSERT_EQ(next->Items()->Count(), 1);
  EXPECT_EQ(static_cast<TStreamItem*>(next->Items()->Items(0))->Value, 4);
}

TEST_F(OptionExtTest, TheModuleShutDownSavesTheGlobalInstances) {
  ModuleTable table;
  AddComponentBaseModules(table);
  table.StartUp();
  GetOptionExt<TSampleOptions>()->Caption = "at exit";
  table.ShutDown();
  EXPECT_EQ(FindOptionExt(TSampleOptions::StaticClass()), nullptr);
  EXPECT_EQ(Reg(kSampleKey).ReadString("Caption"), "at exit");
}

TEST_F(OptionExtTest, ALoadThatFailsClosesItsBracketAndFreesANewGlobalInstance) {
  auto* global = GetOptionExt<TSampleOptions>();
  const int before = global->ChangedCount;
  Reg(kSampleKey).WriteString("Width", "not a DWORD");
  EXPECT_THAT([&] { global->LoadFromStorage(); }, ThrowsMessage<ERegistryException>(HasSubstr("'Width'")));
  EXPECT_EQ(global->UpdateCount(), 0);
  EXPECT_EQ(global->ChangedCount, before + 1);

  FreeOptionExtList();  // saves Width as a DWORD again
  Reg(kSampleKey).WriteString("Width", "not a DWORD");
  EXPECT_THROW(GetOptionExt<TSampleOptions>(), ERegistryException);
  EXPECT_EQ(FindOptionExt(TSampleOptions::StaticClass()), nullptr);
}

TEST_F(OptionExtTest, APropertyWithoutAVariantFormRaisesOnSavingAndOnLoadingAStoredValue) {
  auto* options = GetOptionExt<TEventOptions>();  // nothing stored: loads
  EXPECT_THAT([&] { options->SaveToStorage(); },
              ThrowsMessage<Exception>(testing::StrEq("This type isn't supported by WriteToRegistry")));
  Reg(std::string("\\") + kDefaultSettingsRoot + "\\EventOptions").WriteInteger("OnApply", 1);
  EXPECT_THAT([&] { options->LoadFromStorage(); },
              ThrowsMessage<Exception>(testing::StrEq("This type isn't supported by WriteToRegistry($0000)")));
  // Shut-down still frees it, and reports the failed save.
  EXPECT_THROW(FreeOptionExtList(), Exception);
  EXPECT_EQ(FindOptionExt(TEventOptions::StaticClass()), nullptr);
}

TEST_F(OptionExtTest, AnObjectThatLeadsBackOrANilObjectIsPassedOver) {
  auto* options = GetOptionExt<TLoopOptions>();
  options->Level = 5;
  options->SaveToStorage();
  TRegistry& reg = Reg(std::string("\\") + kDefaultSettingsRoot + "\\LoopOptions");
  EXPECT_EQ(reg.ReadInteger("Level"), 5);
  EXPECT_FALSE(reg.KeyExists("Itself"));
  EXPECT_FALSE(reg.KeyExists("Nothing"));
  options->Level = 1;
  options->LoadFromStorage();
  EXPECT_EQ(options->Level, 5);
}

TEST_F(OptionExtTest, AssignPropsByNameCopiesTheNamedPropertiesOnly) {
  TSampleOptions source, dest;
  source.Width = 3;
  source.Caption = "src";
  source.Ratio = 9;
  AssignPropsByName(&source, &dest, "Width, Missing");
  EXPECT_EQ(dest.Width, 3);
  EXPECT_EQ(dest.Caption, "");
  EXPECT_EQ(dest.Ratio, 0.5);
  AssignPropsByName(&source, &dest, " Ratio ,Caption");
  EXPECT_EQ(dest.Caption, "src");
  EXPECT_EQ(dest.Ratio, 9);
  AssignPropsByName(&source, nullptr, "Width");  // nothing
}

}  // namespace
