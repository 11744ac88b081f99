#include "platform/classes/ClassRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/classes/Component.h"
#include "platform/core/Exceptions.h"
#include "testing/TypeFixture.h"

namespace {

using ::testing::ThrowsMessage;

// Classes that a package would bring.
class TPackagePanel : public TComponent {
  KESTOVA_CLASS(TPackagePanel)
 public:
  using TComponent::TComponent;
};
class TPackageButton : public TPackagePanel {
  KESTOVA_CLASS(TPackageButton)
 public:
  using TPackagePanel::TPackagePanel;
};

}  // namespace

KESTOVA_CLASS_INFO(TPackagePanel, TComponent, "PackageUnit", &MakeComponent<TPackagePanel>)
KESTOVA_CLASS_INFO(TPackageButton, TPackagePanel, "PackageUnit", &MakeComponent<TPackageButton>)

namespace {

TEST(ClassRegistry, FindsRegisteredClassesAndTheirAncestorsWithoutRegardToCase) {
  RegisterTypeFixtures();
  struct Row {
    const char* name;
    TClass expected;
  } rows[] = {
      {"TTypeFixtureChild", TTypeFixtureChild::StaticClass()},
      {"ttypefixture", TTypeFixture::StaticClass()},
      {"TComponent", TComponent::StaticClass()},
      {"TPERSISTENT", TPersistent::StaticClass()},
      {"TObject", nullptr},  // registration stops at TPersistent
      {"TNowhere", nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(GetClass(r.name), r.expected);
  }
  EXPECT_EQ(FindClass("TFixturePart"), TFixturePart::StaticClass());
  EXPECT_THAT([] { FindClass("TNowhere"); }, ThrowsMessage<EClassNotFound>("Class TNowhere not found"));
  // The factory is the virtual constructor.
  TObject* made = FindClass("TTypeFixtureChild")->Factory(nullptr);
  EXPECT_EQ(made->ClassType(), TTypeFixtureChild::StaticClass());
  made->Free();
}

TEST(ClassRegistry, UnregisteringAModuleForgetsExactlyItsClasses) {
  RegisterTypeFixtures();
  const TModuleTag previous = SetRegisteringModule(7);
  RegisterClass(TPackageButton::StaticClass());  // and TPackagePanel with it
  EXPECT_EQ(SetRegisteringModule(previous), 7);
  EXPECT_EQ(FindClass("TPackagePanel"), TPackagePanel::StaticClass());

  UnRegisterModuleClasses(8);
  EXPECT_EQ(FindClass("TPackageButton"), TPackageButton::StaticClass());
  UnRegisterModuleClasses(7);
  for (const char* name : {"TPackageButton", "TPackagePanel"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(GetClass(name), nullptr);
    EXPECT_THAT([&] { FindClass(name); }, ThrowsMessage<EClassNotFound>(std::string("Class ") + name + " not found"));
  }
  EXPECT_EQ(FindClass("TTypeFixture"), TTypeFixture::StaticClass());
  EXPECT_EQ(FindClass("TComponent"), TComponent::StaticClass());
}

TEST(ClassRegistry, RefusesASecondClassOfTheSameName) {
  RegisterClass(TPackagePanel::StaticClass());
  RegisterClass(TPackagePanel::StaticClass());  // the same class again: nothing happens
  TClassInfo impostor{"TPackagePanel", TPersistent::StaticClass(), "Elsewhere", nullptr};
  EXPECT_THAT([&] { RegisterClass(&impostor); },
              ThrowsMessage<EFilerError>("A class named TPackagePanel already exists"));
  EXPECT_EQ(FindClass("TPackagePanel"), TPackagePanel::StaticClass());
  UnRegisterClass(TPackagePanel::StaticClass());
  EXPECT_EQ(GetClass("TPackagePanel"), nullptr);
  EXPECT_EQ(GetClass("TComponent"), TComponent::StaticClass());
}

TEST(ClassRegistry, ARenamedClassIsFoundByItsNewName) {
  RegisterTypeFixtures();
  TClassInfo& info = *TTypeFixtureChild::StaticClass();
  const std::string saved = info.Name;
  info.Name = "TForm1";
  EXPECT_EQ(GetClass("TForm1"), &info);
  EXPECT_EQ(GetClass("TTypeFixtureChild"), nullptr);
  info.Name = saved;
  EXPECT_EQ(GetClass("TTypeFixtureChild"), &info);
}

}  // namespace
