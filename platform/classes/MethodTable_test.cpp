#include "platform/classes/MethodTable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/classes/TypInfo.h"
#include "platform/core/Events.h"
#include "platform/core/Exceptions.h"
#include "testing/TypeFixture.h"

namespace {

using ::testing::ThrowsMessage;

TNotifyEvent Published(TTypeFixture& object, const char* name) {
  return TNotifyEvent::FromMethod(MethodAddress(&object, name));
}

TNotifyEvent Designed(TObject& object, const char* name, std::intptr_t number) {
  return TNotifyEvent::FromMethod(MethodOfEntry(MakeDesignMethodEntry(name, number), &object));
}

TEST(MethodTable, PublishedMethodsResolveByNameThroughAncestors) {
  const TClass fixture = TTypeFixture::StaticClass();
  const TClass child = TTypeFixtureChild::StaticClass();
  struct Row {
    TClass cls;
    const char* name;
    const char* found;  // nullptr: none found
  } rows[] = {
      {fixture, "HandleClick", "HandleClick"},
      {fixture, "handlecLICK", "HandleClick"},
      {child, "HandleClick", "HandleClick"},
      {child, "HandleExtra", "HandleExtra"},
      {child, "HandleValue", "HandleValue"},
      {fixture, "HandleExtra", nullptr},
      {fixture, "Handle", nullptr},
      {TComponent::StaticClass(), "HandleClick", nullptr},
      {nullptr, "HandleClick", nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const auto entry = FindMethodEntry(r.cls, r.name);
    EXPECT_EQ(entry ? entry->Name : std::string("(none)"), r.found ? r.found : "(none)");
  }
}

TEST(MethodTable, AMethodFromTheTableRunsOnItsObjectAndEqualsTheDirectOne) {
  TTypeFixture a, b;
  TObject sender;
  const TNotifyEvent click = Published(a, "handleclick");
  ASSERT_TRUE(click);
  click(&sender);
  EXPECT_EQ(a.Clicks, 1);
  EXPECT_EQ(a.LastSender, &sender);
  EXPECT_EQ(b.Clicks, 0);
  ASSERT_NE(click.Entry(), nullptr);
  EXPECT_EQ(click.Entry()->Name, "HandleClick");
  EXPECT_TRUE(click == TNotifyEvent::Of<&TTypeFixture::HandleClick>(a));

  // Through a derived object, found in the ancestor's table.
  TTypeFixtureChild c;
  EXPECT_TRUE(Published(c, "HandleClick") == TNotifyEvent::Of<&TTypeFixture::HandleClick>(c));
  EXPECT_TRUE(Published(c, "HandleExtra") == TNotifyEvent::Of<&TTypeFixtureChild::HandleExtra>(c));

  EXPECT_FALSE(MethodAddress(&a, "Nothing").Assigned());
  EXPECT_FALSE(MethodAddress(nullptr, "HandleClick").Assigned());
}

TEST(MethodTable, EqualityAndSameCodeWithEntries) {
  TTypeFixtureChild a, b;
  const TNotifyEvent lambda = [](TObject*) {};
  struct Row {
    const char* what;
    TNotifyEvent x, y;
    bool sameCode, equal;
  } rows[] = {
      {"entry and direct, same object", Published(a, "HandleClick"), TNotifyEvent::Of<&TTypeFixture::HandleClick>(a),
       true, true},
      {"one entry, two objects", Published(a, "HandleClick"), Published(b, "HandleClick"), true, false},
      {"two entries, one object", Published(a, "HandleClick"), Published(a, "HandleExtra"), false, false},
      {"entry and lambda", Published(a, "HandleClick"), lambda, false, false},
      {"design entries of one number", Designed(a, "Button1Click", 1), Designed(a, "Button1Click", 1), true, true},
      {"design entries of two numbers", Designed(a, "Button1Click", 1), Designed(a, "Button2Click", 2), false, false},
      {"one design number, two objects", Designed(a, "Button1Click", 1), Designed(b, "Button1Click", 1), true, false},
      {"design entry and empty", Designed(a, "Button1Click", 1), TNotifyEvent(), false, false},
      {"design entry and code", Designed(a, "HandleClick", 1), Published(a, "HandleClick"), false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(r.x.SameCode(r.y), r.sameCode);
    EXPECT_EQ(r.y.SameCode(r.x), r.sameCode);
    EXPECT_EQ(r.x == r.y, r.equal);
    EXPECT_EQ(r.x.ToMethod() == r.y.ToMethod(), r.equal);
  }
}

TEST(MethodTable, ADesignTimeEntryWithoutCodeIsAssignedButCannotBeCalled) {
  TTypeFixture form;
  const TNotifyEvent designed = Designed(form, "Button1Click", 7);
  EXPECT_FALSE(designed);
  EXPECT_TRUE(designed.Assigned());
  EXPECT_THAT([&] { designed(&form); }, ThrowsMessage<EInvalidOperation>("Method Button1Click has no code"));
  EXPECT_THAT([&] { TNotifyEvent()(&form); }, ThrowsMessage<EInvalidOperation>("Method (none) has no code"));

  // Through the property: kept with its name, still not callable.
  const TPropInfo* onClick = GetPropInfo(TTypeFixture::StaticClass(), "OnClick");
  SetMethodProp(&form, onClick, designed.ToMethod());
  EXPECT_TRUE(form.OnClick.Assigned());
  EXPECT_THROW(form.OnClick(&form), EInvalidOperation);
  EXPECT_EQ(form.Clicks, 0);
  const TMethod read = GetMethodProp(&form, onClick);
  EXPECT_TRUE(read.Assigned());
  EXPECT_EQ(read.DesignCode(), 7);
  EXPECT_EQ(MethodName(TTypeFixture::StaticClass(), read), "Button1Click");
}

TEST(MethodTable, MethodPropertiesTakeTableMethodsOfTheirSignatureOnly) {
  TTypeFixture f;
  const TClass cls = TTypeFixture::StaticClass();
  const TPropInfo* onClick = GetPropInfo(cls, "OnClick");
  const TPropInfo* onValue = GetPropInfo(cls, "OnValue");
  SetMethodProp(&f, onClick, MethodAddress(&f, "HandleClick"));
  SetMethodProp(&f, onValue, MethodAddress(&f, "HandleValue"));
  f.OnClick(nullptr);
  std::int32_t value = 21;
  f.OnValue(&f, value, "twice");
  EXPECT_EQ(f.Clicks, 1);
  EXPECT_EQ(value, 42);
  EXPECT_EQ(f.LastText, "twice");

  EXPECT_EQ(MethodName(cls, GetMethodProp(&f, onValue)), "HandleValue");
  // A method set in code, without an entry, is named by its code.
  f.OnClick = TNotifyEvent::Of<&TTypeFixture::HandleClick>(f);
  EXPECT_EQ(f.OnClick.Entry(), nullptr);
  EXPECT_EQ(MethodName(cls, GetMethodProp(&f, onClick)), "HandleClick");
  f.OnClick = [](TObject*) {};
  EXPECT_EQ(MethodName(cls, GetMethodProp(&f, onClick)), "");

  EXPECT_THROW(SetMethodProp(&f, onClick, MethodAddress(&f, "HandleValue")), EInvalidCast);
  EXPECT_FALSE(GetMethodProp(&f, onValue) == TMethod());
  SetMethodProp(&f, onValue, TMethod());
  EXPECT_FALSE(f.OnValue.Assigned());
}

TEST(MethodTable, ADesignerSwapsTheTableAndTheNameAndPutsThemBack) {
  TClassInfo& info = *TTypeFixture::StaticClass();
  const std::shared_ptr<const TMethodTable> saved = info.Methods;
  const std::string savedName = info.Name;
  auto generated = std::make_shared<TMethodTable>();
  generated->Entries.push_back(MakeDesignMethodEntry("Button1Click", 1));
  generated->Entries.insert(generated->Entries.end(), saved->Entries.begin(), saved->Entries.end());
  info.Methods = generated;
  info.Name = "TForm1";

  TTypeFixture form;
  EXPECT_EQ(form.ClassName(), "TForm1");
  EXPECT_FALSE(MethodAddress(&form, "Button1Click").Code);
  EXPECT_TRUE(MethodAddress(&form, "Button1Click").Assigned());
  EXPECT_TRUE(MethodAddress(&form, "HandleClick").Code);

  info.Methods = saved;
  info.Name = savedName;
  EXPECT_EQ(form.ClassName(), "TTypeFixture");
  EXPECT_FALSE(MethodAddress(&form, "Button1Click").Assigned());
  EXPECT_TRUE(MethodAddress(&form, "HandleClick").Assigned());
}

}  // namespace
