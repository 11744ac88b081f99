#include "components/base/PropAccess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/Exceptions.h"
#include "testing/TypeFixture.h"

namespace {

// Two unrelated classes sharing some property names.
class TCopyFrom : public TPersistent {
  KESTOVA_CLASS(TCopyFrom)
 public:
  std::int32_t Width = 0;
  std::string Label;
  double Ratio = 0;
  TFixturePart* Shared = nullptr;
  std::int64_t Big = 0;
  TNotifyEvent OnChange;
  std::int32_t Fixed = 0;
  std::int32_t OnlyHere = 0;
  TVariant Value;
};

class TCopyTo : public TPersistent {
  KESTOVA_CLASS(TCopyTo)
 public:
  std::int32_t OnlyThere = 0;
  std::string Label;
  std::int32_t Width = 0;
  double Ratio = 0;
  TFixturePart* Shared = nullptr;
  std::int64_t Big = 0;
  TNotifyEvent OnChange;
  std::int32_t fixed = 3;
  std::int32_t GetFixed() const { return fixed; }
  TVariant Value;
};

void DescribeTCopyFrom(TClassInfo& Info) {
  using C = TCopyFrom;
  namespace T = TypeInfos;
  TClassPublisher<C> p(Info);
  p.Property<&C::Width, &C::Width>("Width", T::Integer());
  p.Property<&C::Label, &C::Label>("Label", T::String());
  p.Property<&C::Ratio, &C::Ratio>("Ratio", T::Double());
  p.Property<&C::Shared, &C::Shared>("Shared", ClassTypeInfo(TFixturePart::StaticClass()));
  p.Property<&C::Big, &C::Big>("Big", T::Int64());
  p.Property<&C::OnChange, &C::OnChange>("OnChange", T::TNotifyEvent());
  p.Property<&C::Fixed, &C::Fixed>("Fixed", T::Integer());
  p.Property<&C::OnlyHere, &C::OnlyHere>("OnlyHere", T::Integer());
  p.Property<&C::Value, &C::Value>("Value", T::Variant());
}

void DescribeTCopyTo(TClassInfo& Info) {
  using C = TCopyTo;
  namespace T = TypeInfos;
  TClassPublisher<C> p(Info);
  p.Property<&C::OnlyThere, &C::OnlyThere>("OnlyThere", T::Integer());
  p.Property<&C::Label, &C::Label>("LABEL", T::String());
  p.Property<&C::Width, &C::Width>("Width", T::Integer());
  p.Property<&C::Ratio, &C::Ratio>("Ratio", T::Double());
  p.Property<&C::Shared, &C::Shared>("Shared", ClassTypeInfo(TFixturePart::StaticClass()));
  p.Property<&C::Big, &C::Big>("Big", T::Int64());
  p.Property<&C::OnChange, &C::OnChange>("OnChange", T::TNotifyEvent());
  p.Property<&C::GetFixed>("Fixed", T::Integer());
  p.Property<&C::Value, &C::Value>("value", T::Variant());
}

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TCopyFrom, TPersistent, "test", &MakeObject<TCopyFrom>, DescribeTCopyFrom)
KESTOVA_CLASS_INFO_DESCRIBED(TCopyTo, TPersistent, "test", &MakeObject<TCopyTo>, DescribeTCopyTo)

namespace {

const TPropInfo* Prop(const TObject& Object, const char* Name) {
  const TPropInfo* info = GetPropInfo(Object.ClassType(), Name);
  EXPECT_NE(info, nullptr) << Name;
  return info;
}

TEST(CopyProps, CopiesSharedNamesOnlyAndSharesClassPropertiesByReference) {
  TFixturePart part;
  TTypeFixture sender;
  TCopyFrom from;
  from.Width = 7;
  from.Label = "left";
  from.Ratio = 2.5;
  from.Shared = &part;
  from.Big = std::int64_t{1} << 40;
  from.OnChange = TNotifyEvent::Of<&TTypeFixture::HandleClick>(sender);
  from.Fixed = 9;
  from.OnlyHere = 4;
  from.Value = Currency::FromRaw(25000);
  TCopyTo to;
  to.OnlyThere = 1;

  CopyProps(&from, &to);
  EXPECT_EQ(to.Width, 7);
  EXPECT_EQ(to.Label, "left");  // names match without regard to case
  EXPECT_EQ(to.Ratio, 2.5);
  EXPECT_EQ(to.Shared, &part);  // the same object, whole on 64 bits
  EXPECT_EQ(to.Big, 0);         // 64-bit integers and events are not copied
  EXPECT_FALSE(to.OnChange.Assigned());
  EXPECT_EQ(to.fixed, 3);  // read-only in the destination: passed over
  EXPECT_EQ(to.OnlyThere, 1);
  EXPECT_EQ(VarType(to.Value), varCurrency);  // a variant goes as it is
  EXPECT_EQ(to.Value.AsCurrency().Raw(), 25000);

  to.Width = 0;
  CopyProps(&from, &from);
  CopyProps(nullptr, &to);
  CopyProps(&from, nullptr);
  EXPECT_EQ(to.Width, 0);
  EXPECT_EQ(from.Width, 7);
}

TEST(CopyProps, CopyPropValueNeedsBothPropertiesOfOneGroup) {
  TCopyFrom from;
  from.Width = 5;
  TCopyTo to;
  CopyPropValue(&from, &to, Prop(from, "Width"), nullptr);
  CopyPropValue(&from, &to, Prop(from, "Width"), Prop(to, "Label"));  // a string cannot take an integer
  CopyPropValue(&from, &to, Prop(from, "Width"), Prop(to, "Value"));  // nor a variant
  CopyPropValue(&from, &to, Prop(from, "Value"), Prop(to, "Width"));
  EXPECT_EQ(to.Width, 0);
  EXPECT_EQ(to.Label, "");
  EXPECT_TRUE(to.Value.IsEmpty());
  from.Value = Null();
  CopyPropByName(&from, &to, "VALUE");
  EXPECT_TRUE(to.Value.IsNull());
  CopyPropByName(&from, &to, "OnlyHere");
  CopyPropByName(&from, &to, "width");
  EXPECT_EQ(to.Width, 5);
}

struct TSetCase {
  const char* Name;
  TVariant Value;
  TVariant Expected;  // read back with GetPropAsVariant
};

TEST(SetPropFromVariant, ConvertsByTheGroupOfThePropertyKind) {
  TTypeFixture f;
  TTypeFixture other;
  const std::vector<TSetCase> cases = {
      {"Count", "42", std::int32_t{42}},
      {"Count", "$1F", std::int32_t{31}},
      {"Count", " -8 ", std::int32_t{-8}},
      {"Count", 17.0, std::int32_t{17}},
      {"ParentColor", true, std::int32_t{1}},
      {"Flag32", false, std::int32_t{0}},
      {"Count", true, std::int32_t{1}},
      {"Shape", "2", std::int32_t{2}},
      {"Options", std::int32_t{0b11010}, std::int32_t{0b11010}},
      {"Letter", std::int32_t{'z'}, std::int32_t{'z'}},
      {"Top", std::int16_t{12}, std::int32_t{12}},
      {"Ratio", std::int32_t{3}, 3.0},
      {"Caption", std::int32_t{12}, "12"},
      {"Title", "Zürich", "Zürich"},
      {"Initial", "Ж", "Ж"},
      {"Buddy", static_cast<TObject*>(&other), static_cast<TObject*>(&other)},
      {"Buddy", TVariant(), static_cast<TObject*>(nullptr)},
      // A variant property takes the value as it is: no conversion, Null and Empty kept apart.
      {"Datum", "12", "12"},
      {"Datum", Null(), Null()},
      {"Datum", std::uint8_t{200}, std::uint8_t{200}},
      {"Datum", TVarDate{45000.5}, TVarDate{45000.5}},
      {"Datum", static_cast<TObject*>(&other), static_cast<TObject*>(&other)},
      {"Datum", TVariant(), TVariant()},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const TSetCase& c = cases[i];
    SCOPED_TRACE("row " + std::to_string(i) + ": " + c.Name);
    SetPropFromVariant(&f, Prop(f, c.Name), c.Value);
    const TVariant back = GetPropAsVariant(&f, Prop(f, c.Name));
    EXPECT_EQ(VarType(back), VarType(c.Expected));
    EXPECT_TRUE(back == c.Expected);
  }
  EXPECT_TRUE(f.ParentColor);
  EXPECT_EQ(f.Initial, u'Ж');

  // Ignored kinds neither read nor write; nil property information reads Empty.
  SetPropFromVariant(&f, Prop(f, "Big"), std::int32_t{5});
  EXPECT_EQ(f.Big, 0);
  EXPECT_TRUE(GetPropAsVariant(&f, Prop(f, "Big")).IsEmpty());
  EXPECT_TRUE(GetPropAsVariant(&f, Prop(f, "OnClick")).IsEmpty());
  EXPECT_TRUE(GetPropAsVariant(&f, nullptr).IsEmpty());
  SetPropFromVariant(&f, nullptr, std::int32_t{5});

  EXPECT_THROW(SetPropFromVariant(&f, Prop(f, "Count"), "twelve"), EConvertError);
  EXPECT_THROW(SetPropFromVariant(&f, Prop(f, "Count"), std::int64_t{1} << 40), EVariantError);
  EXPECT_EQ(f.Count, 1);
}

void CollectName(TObject*, const TPropInfo* PropInfo, void* Data) {
  auto& names = *static_cast<std::string*>(Data);
  names += (names.empty() ? "" : " ") + PropInfo->Name;
}

TEST(ForEachPublishedProp, VisitsInNameOrderAndSkipsWhatIsNotStoredForThisObject) {
  TTypeFixture f;  // ParentColor: Color is not stored; Name and Title never are
  std::string all, stored;
  ForEachStoredProp(&f, false, &all, &CollectName);
  ForEachStoredProp(&f, true, &stored, &CollectName);
  EXPECT_EQ(
      all,
      "Big Buddy Caption Charset Code Color Count Cursor Datum Day Flag16 Flag32 FontName Hour Initial Left "
      "Letter ModalResult Name OnClick OnValue Options ParentColor Part Price Ratio Shape ShortCut Stamp TabOrder "
      "Tag Title Top");
  EXPECT_EQ(stored,
            "Big Buddy Caption Charset Code Count Cursor Datum Day Flag16 Flag32 FontName Hour Initial Left Letter "
            "ModalResult OnClick OnValue Options ParentColor Part Price Ratio Shape ShortCut Stamp TabOrder Tag Top");

  f.ParentColor = false;
  std::string some;
  ForEachPublishedProp(&f, TTypeKinds{tkInteger, tkWString}, true, &some, &CollectName);
  EXPECT_EQ(some, "Charset Color Count Cursor Left ModalResult ShortCut TabOrder Tag Top");
  some.clear();
  ForEachPublishedProp(&f, TTypeKinds{tkVariant}, true, &some, &CollectName);
  EXPECT_EQ(some, "Datum");

  TTypeFixtureChild child;  // Count is stored while it is not 5
  std::string counts;
  ForEachPublishedProp(&child, TTypeKinds{tkInteger}, true, &counts, &CollectName);
  EXPECT_THAT(counts, ::testing::Not(::testing::HasSubstr("Count")));
  child.Count = 6;
  counts.clear();
  ForEachPublishedProp(&child, TTypeKinds{tkInteger}, true, &counts, &CollectName);
  EXPECT_THAT(counts, ::testing::HasSubstr("Count Cursor"));

  ForEachPublishedProp(&f, tkAny, false, &some, nullptr);
  ForEachPublishedProp(nullptr, tkAny, false, &some, &CollectName);
}

}  // namespace
