#include "components/base/ClassItems.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/base/BaseModules.h"
#include "components/base/MessageBroadcast.h"
#include "components/base/ObjectParams.h"
#include "components/base/PackagedCollection.h"
#include "platform/classes/Messages.h"
#include "platform/classes/StdTypeInfo.h"

namespace {

class TPaletteBase : public TPersistent {
  KESTOVA_CLASS(TPaletteBase)
};
class TPaletteDerived : public TPaletteBase {
  KESTOVA_CLASS(TPaletteDerived)
};
class TPaletteOther : public TPersistent {
  KESTOVA_CLASS(TPaletteOther)
};

// Counts the palette broadcasts.
class TPaletteListener : public TMessageAnswer {
  KESTOVA_CLASS(TPaletteListener)
 public:
  int Heard = 0;
  void Registered(TMessage&) { ++Heard; }
};

void DescribeTPaletteListener(TClassInfo& Info) {
  AddMessageHandler<&TPaletteListener::Registered>(Info, ZRM_PALETTECLASSESREGISTERED);
}

namespace other {
// Another class of the same name as TPaletteOther.
class TPaletteOther : public TPersistent {
  KESTOVA_CLASS(TPaletteOther)
};
}  // namespace other

}  // namespace

KESTOVA_CLASS_INFO(TPaletteBase, TPersistent, "test", nullptr)
KESTOVA_CLASS_INFO(TPaletteDerived, TPaletteBase, "test", nullptr)
KESTOVA_CLASS_INFO(TPaletteOther, TPersistent, "test", nullptr)
TClass other::TPaletteOther::StaticClass() {
  static TClassInfo info{"TPaletteOther", TPersistent::StaticClass(), "test", nullptr};
  return &info;
}
KESTOVA_CLASS_INFO_DESCRIBED(TPaletteListener, TMessageAnswer, "test", nullptr, DescribeTPaletteListener)

namespace {

const TClass kBase = TPaletteBase::StaticClass();
const TClass kDerived = TPaletteDerived::StaticClass();
const TClass kOther = TPaletteOther::StaticClass();

class ClassItems : public ::testing::Test {
 protected:
  void SetUp() override { modules.StartUp(); }
  void TearDown() override {
    modules.ShutDown();
    for (const TClass cls : {kBase, kDerived, kOther, other::TPaletteOther::StaticClass()}) UnRegisterClass(cls);
  }
  ModuleTable modules = [] {
    ModuleTable table;
    AddComponentBaseModules(table);
    return table;
  }();
};

TEST_F(ClassItems, RegisteringAClassTwiceAddsFlagsAndKeepsTheFirstPage) {
  TPaletteListener listener;
  RegisterComponents("Samples", std::vector{kBase, kOther});
  RegisterNoIcon(std::vector{kBase});
  RegisterComponents("Later", std::vector{kBase});
  RegisterNonActiveX(std::vector{kOther});

  ASSERT_EQ(GetClassItems()->Count(), 2);
  const TClassItem* base = GetClassItems()->FindClass(kBase);
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(base->Flags, kClassOnPalette | kClassNoIcon);
  EXPECT_EQ(base->Page, "Samples");
  EXPECT_EQ(GetClassItems()->FindClass(kOther)->Flags, kClassOnPalette | kClassNotActiveX);
  EXPECT_EQ(GetClassItems()->FindClass(kDerived), nullptr);
  EXPECT_EQ(GetClass("TPaletteBase"), kBase);
  EXPECT_EQ(listener.Heard, 4);
}

TEST_F(ClassItems, TheFamilyFillsOnlyEmptyHooksAndTakesBackOnlyItsOwn) {
  modules.ShutDown();
  EXPECT_EQ(RegisterComponentsProc(), nullptr);
  EXPECT_EQ(RegisterNoIconProc(), nullptr);
  EXPECT_EQ(RegisterNonActiveXProc(), nullptr);

  static int foreignCalls = 0;
  const TRegisterClassesProc foreign = [](std::span<const TClass>) { ++foreignCalls; };
  SetRegisterNoIconProc(foreign);
  InstallClassRegistrationHooks();
  EXPECT_EQ(RegisterNoIconProc(), foreign);
  EXPECT_NE(RegisterComponentsProc(), nullptr);
  RegisterNoIcon(std::vector{kBase});
  EXPECT_EQ(foreignCalls, 1);
  EXPECT_EQ(GetClassItems()->Count(), 0);

  RemoveClassRegistrationHooks();
  EXPECT_EQ(RegisterNoIconProc(), foreign);
  EXPECT_EQ(RegisterComponentsProc(), nullptr);
  EXPECT_EQ(RegisterNonActiveXProc(), nullptr);
  SetRegisterNoIconProc(nullptr);
  FreeClassItems();
}

struct TIconCase {
  std::vector<std::pair<TClass, TClassItemFlags>> Registered;  // in this order
  TClass Asked;
  bool HasIcon;
};

TEST_F(ClassItems, TheOldestRecordOfTheClassOrAnAncestorDecidesTheIcon) {
  const std::vector<TIconCase> cases = {
      {{}, kDerived, true},
      {{{kBase, kClassNoIcon}}, kDerived, false},
      {{{kOther, kClassOnPalette}, {kBase, kClassNoIcon}}, kDerived, false},
      {{{kBase, kClassNoIcon}, {kDerived, kClassOnPalette}}, kDerived, false},
      {{{kDerived, kClassOnPalette}, {kBase, kClassNoIcon}}, kDerived, true},
      {{{kDerived, kClassNoIcon}}, kBase, true},
      {{{kBase, kClassOnPalette | kClassNotActiveX}}, kDerived, true},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    FreeClassItems();
    for (const auto& [cls, flags] : cases[i].Registered) RegisterClassesOnPage("P", std::vector{cls}, flags);
    EXPECT_EQ(ClassHasIcon(cases[i].Asked), cases[i].HasIcon);
  }
}

TEST_F(ClassItems, RegisterClassOnceKeepsTheClassOfTheNameAndSwallowsErrors) {
  RegisterClassOnce(kOther);
  RegisterClassOnce(kOther);
  EXPECT_NO_THROW(RegisterClassOnce(other::TPaletteOther::StaticClass()));
  EXPECT_EQ(GetClass("TPaletteOther"), kOther);
  EXPECT_THROW(RegisterClass(other::TPaletteOther::StaticClass()), EFilerError);
  RegisterClassesOnce(std::vector{kBase, kDerived});
  EXPECT_EQ(GetClass("TPaletteDerived"), kDerived);
  RegisterClassOnce(nullptr);
}

TEST_F(ClassItems, EditRegistriesRecordTheirEntriesAndForgetAnUnloadedGroup) {
  // The family's own start-up entries stay.
  const int editsBefore = GetEditClassRegistry()->Count();
  const int popupsBefore = GetPopupClassRegistry()->Count();
  SetCurrentGroup(2);
  const TPopupClassInfo* popup = RegisterPopupClass(TypeInfos::TColor(), 0, " ", kBase);
  SetCurrentGroup(3);
  const TEditClassInfo* plain = RegisterEditClass(TypeInfos::String(), 0, "", nullptr);
  const TEditClassInfo* preferred = RegisterEditClassEx(TypeInfos::String(), 0, "", kDerived);
  SetCurrentGroup(-1);

  EXPECT_EQ(popup->Class, kBase);
  EXPECT_EQ(popup->ValueType, TypeInfos::TColor());
  EXPECT_EQ(popup->Qualifier, " ");
  EXPECT_EQ(plain->Class, nullptr);
  EXPECT_FALSE(plain->IsDefault);
  EXPECT_TRUE(preferred->IsDefault);
  EXPECT_EQ(GetClass("TPaletteDerived"), kDerived);

  BroadcastMessage(nullptr, ZRM_PACKAGEUNLOADED, 3, 0);
  EXPECT_EQ(GetEditClassRegistry()->Count(), editsBefore);
  EXPECT_EQ(GetPopupClassRegistry()->Count(), popupsBefore + 1);
}

}  // namespace
