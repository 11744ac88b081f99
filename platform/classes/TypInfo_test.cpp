#include "platform/classes/TypInfo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/Variant.h"
#include "platform/core/Exceptions.h"
#include "testing/TypeFixture.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

std::string Names(const std::vector<const TPropInfo*>& list) {
  std::string text;
  for (const TPropInfo* p : list) text += (text.empty() ? "" : " ") + p->Name;
  return text;
}

const TPropInfo* Prop(const char* name, TClass cls = TTypeFixture::StaticClass()) {
  const TPropInfo* prop = GetPropInfo(cls, name);
  EXPECT_NE(prop, nullptr) << name;
  return prop;
}

TEST(TypInfo, KindsKeepTheClassLibrarysNumbers) {
  const std::pair<TTypeKind, int> kinds[] = {
      {tkUnknown, 0}, {tkInteger, 1}, {tkChar, 2},  {tkEnumeration, 3}, {tkFloat, 4},    {tkString, 5},   {tkSet, 6},
      {tkClass, 7},   {tkMethod, 8},  {tkWChar, 9}, {tkLString, 10},    {tkWString, 11}, {tkVariant, 12}, {tkInt64, 16},
  };
  for (auto [kind, number] : kinds) {
    EXPECT_EQ(static_cast<int>(kind), number);
    EXPECT_EQ(GetEnumValue(TypeInfos::TTypeKind(), GetEnumName(TypeInfos::TTypeKind(), kind)), number);
  }
}

TEST(TypInfo, ListsPropertiesInDeclarationOrderAncestorsFirstOrSortedByName) {
  const TClass fixture = TTypeFixture::StaticClass();
  EXPECT_EQ(Names(GetPropInfos(fixture)),
            "Name Tag Count Letter Shape Ratio Code Options Part OnClick Initial Caption Title Big ParentColor Color "
            "Cursor TabOrder ModalResult ShortCut Stamp Day Hour FontName Charset Flag16 Flag32 Price Buddy Left Top "
            "OnValue Datum");
  EXPECT_EQ(
      Names(GetPropList(fixture)),
      "Big Buddy Caption Charset Code Color Count Cursor Datum Day Flag16 Flag32 FontName Hour Initial Left "
      "Letter ModalResult Name OnClick OnValue Options ParentColor Part Price Ratio Shape ShortCut Stamp TabOrder "
      "Tag Title Top");
  EXPECT_EQ(Names(GetPropList(fixture, tkMethods)), "OnClick OnValue");
  EXPECT_EQ(Names(GetPropList(fixture, TTypeKinds{tkSet, tkClass})), "Buddy Options Part");
  EXPECT_EQ(Names(GetPropInfos(TFixturePart::StaticClass())), "Width Label");
  EXPECT_TRUE(GetPropInfos(TPersistent::StaticClass()).empty());
  EXPECT_TRUE(GetPropInfos(nullptr).empty());

  // Count declared again keeps its place; the child's record answers.
  const TClass child = TTypeFixtureChild::StaticClass();
  const std::vector<const TPropInfo*> infos = GetPropInfos(child);
  EXPECT_EQ(Names(infos).substr(0, 20), "Name Tag Count Lette");
  EXPECT_THAT(Names(infos), ::testing::EndsWith("Left Top OnValue Datum Extra Extras"));
  EXPECT_EQ(infos[2]->DeclaringClass, child);
  EXPECT_EQ(infos[2]->Default, 5);
  EXPECT_EQ(Prop("Count")->Default, 0);
  for (std::size_t i = 0; i < infos.size(); ++i) EXPECT_EQ(infos[i]->NameIndex, static_cast<int>(i));
}

TEST(TypInfo, NamedTypesAreDistinctRecordsOfTheirKind) {
  namespace T = TypeInfos;
  struct Row {
    const char* prop;
    const TTypeInfo* type;
    TTypeKind kind;
    const char* typeName;
  } rows[] = {
      {"Count", T::Integer(), tkInteger, "Integer"},
      {"Color", T::TColor(), tkInteger, "TColor"},
      {"Cursor", T::TCursor(), tkInteger, "TCursor"},
      {"TabOrder", T::TTabOrder(), tkInteger, "TTabOrder"},
      {"ModalResult", T::TModalResult(), tkInteger, "TModalResult"},
      {"ShortCut", T::TShortCut(), tkInteger, "TShortCut"},
      {"Charset", T::TFontCharset(), tkInteger, "TFontCharset"},
      {"Letter", T::Char(), tkChar, "Char"},
      {"Shape", T::TFixtureShape(), tkEnumeration, "TFixtureShape"},
      {"ParentColor", T::Boolean(), tkEnumeration, "Boolean"},
      {"Flag16", T::WordBool(), tkEnumeration, "WordBool"},
      {"Flag32", T::LongBool(), tkEnumeration, "LongBool"},
      {"Ratio", T::Double(), tkFloat, "Double"},
      {"Stamp", T::TDateTime(), tkFloat, "TDateTime"},
      {"Day", T::TDate(), tkFloat, "TDate"},
      {"Hour", T::TTime(), tkFloat, "TTime"},
      {"Price", T::Currency(), tkFloat, "Currency"},
      {"Code", T::ShortString(), tkString, "ShortString"},
      {"Options", T::TFixtureOptions(), tkSet, "TFixtureOptions"},
      {"Part", ClassTypeInfo(TFixturePart::StaticClass()), tkClass, "TFixturePart"},
      {"OnClick", T::TNotifyEvent(), tkMethod, "TNotifyEvent"},
      {"Initial", T::WideChar(), tkWChar, "WideChar"},
      {"Caption", T::TCaption(), tkLString, "TCaption"},
      {"FontName", T::TFontName(), tkLString, "TFontName"},
      {"Name", T::TComponentName(), tkLString, "TComponentName"},
      {"Title", T::WideString(), tkWString, "WideString"},
      {"Big", T::Int64(), tkInt64, "Int64"},
      {"Datum", T::Variant(), tkVariant, "Variant"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.prop);
    const TPropInfo* prop = Prop(r.prop);
    EXPECT_EQ(prop->PropType, r.type);
    EXPECT_EQ(prop->PropType->Kind, r.kind);
    EXPECT_EQ(prop->PropType->Name, r.typeName);
  }
  EXPECT_NE(T::TColor(), T::Integer());
  EXPECT_NE(T::TDate(), T::TDateTime());
  EXPECT_NE(T::TCaption(), T::String());
  EXPECT_EQ(GetTypeData(T::TFixtureOptions())->CompType, T::TFixtureOption());
  EXPECT_EQ(GetTypeData(T::Currency())->FloatType, ftCurr);
  EXPECT_EQ(GetTypeData(Prop("Part")->PropType)->ClassType, TFixturePart::StaticClass());
  EXPECT_EQ(ClassUnitName(TTypeFixture::StaticClass()), "TypeFixture");
  EXPECT_EQ(ClassUnitName(TComponent::StaticClass()), "Classes");
}

TEST(TypInfo, MethodTypesCarryParameterFlagsAndTypeNames) {
  const TTypeData* data = GetTypeData(TypeInfos::TFixtureValueEvent());
  EXPECT_EQ(data->MethodKind, mkProcedure);
  const std::vector<TParamData> expected = {
      {{}, "Sender", "TObject"}, {{pfVar}, "Value", "Integer"}, {{pfConst}, "Text", "string"}};
  EXPECT_EQ(data->Params, expected);
  EXPECT_EQ(data->Params[1].Flags.Bits(), 1u);  // var
  EXPECT_EQ(data->Params[2].Flags.Bits(), 2u);  // const
  EXPECT_EQ(TParamFlags{pfOut}.Bits(), 32u);
}

TEST(TypInfo, EnumerationNamesRoundTrip) {
  const TTypeInfo* shape = TypeInfos::TFixtureShape();
  for (int v = 0; v <= 3; ++v) EXPECT_EQ(GetEnumValue(shape, GetEnumName(shape, v)), v);
  EXPECT_EQ(GetEnumName(shape, static_cast<int>(TFixtureShape::shSquare)), "shSquare");
  struct Row {
    const TTypeInfo* type;
    const char* name;
    std::int64_t value;
  } rows[] = {
      {shape, "SHTRIANGLE", 3},
      {shape, "shHexagon", -1},
      {shape, "", -1},
      {TypeInfos::Boolean(), "true", 1},
      {TypeInfos::LongBool(), "False", 0},
      {TypeInfos::Integer(), "shNone", -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(GetEnumValue(r.type, r.name), r.value);
  }
  EXPECT_EQ(GetEnumName(shape, 4), "");
  EXPECT_EQ(GetEnumName(shape, -1), "");
  EXPECT_EQ(GetEnumName(TypeInfos::TColor(), 255), "255");
}

TEST(TypInfo, SetsAreBitMasksWithElementNAtBitN) {
  TTypeFixture f;
  const TPropInfo* options = Prop("Options");
  EXPECT_EQ(GetOrdProp(&f, options), 0b101);  // foBold (0), foFramed (2)
  EXPECT_EQ(options->Default, 0b101);
  SetOrdProp(&f, options, (1 << foItalic) | (1 << foHidden));
  EXPECT_EQ(f.Options, (TFixtureOptions{foItalic, foHidden}));
  EXPECT_EQ(f.Options.Bits(), 0b10010u);
}

TEST(TypInfo, OrdinalAccessorsReachTheirFields) {
  TTypeFixture f;
  struct Row {
    const char* prop;
    std::int64_t before, after;
  } rows[] = {
      {"Count", 0, -7},        {"Letter", 'A', 'z'}, {"Shape", 1, 3},     {"Initial", u'K', 0x263A},
      {"ParentColor", 1, 0},   {"Cursor", 0, -21},   {"TabOrder", -1, 4}, {"ModalResult", 0, 2},
      {"ShortCut", 0, 0x4041}, {"Charset", 1, 204},  {"Flag16", 0, 1},    {"Flag32", 1, 0},
      {"Left", 0, 11},         {"Top", 0, -12},      {"Tag", 0, 99},      {"Color", kFixtureClWindow, 0x0000FF},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.prop);
    EXPECT_EQ(GetOrdProp(&f, Prop(r.prop)), r.before);
    SetOrdProp(&f, Prop(r.prop), r.after);
    EXPECT_EQ(GetOrdProp(&f, Prop(r.prop)), r.after);
  }
  EXPECT_EQ(f.Shape, TFixtureShape::shTriangle);
  EXPECT_EQ(f.Initial, u'\u263A');
  EXPECT_EQ(f.GetSide(0), 11);
  EXPECT_EQ(f.GetSide(1), -12);
  EXPECT_EQ(f.Tag, 99);
  EXPECT_EQ(f.GetColor(), 0x0000FF);

  SetInt64Prop(&f, Prop("Big"), INT64_C(0x123456789A));
  EXPECT_EQ(f.Big, INT64_C(0x123456789A));
  EXPECT_EQ(GetInt64Prop(&f, Prop("Big")), INT64_C(0x123456789A));
}

TEST(TypInfo, FloatStringAndClassAccessors) {
  TTypeFixture f;
  SetFloatProp(&f, Prop("Ratio"), 0.25L);
  SetFloatProp(&f, Prop("Stamp"), 36526.5L);
  SetFloatProp(&f, Prop("Price"), 12.3456L);
  EXPECT_EQ(f.Ratio, 0.25);
  EXPECT_EQ(f.Stamp, 36526.5);
  EXPECT_EQ(f.Price.Raw(), 123456);
  EXPECT_EQ(GetFloatProp(&f, Prop("Price")), 12.3456L);

  for (const char* name : {"Code", "Caption", "Title", "FontName"}) {
    SCOPED_TRACE(name);
    SetStrProp(&f, Prop(name), std::string("Grün ") + name);
    EXPECT_EQ(GetStrProp(&f, Prop(name)), std::string("Grün ") + name);
  }
  EXPECT_EQ(f.Caption, "Grün Caption");
  // The name goes through the component's own setter and its checks.
  SetStrProp(&f, Prop("Name"), "Button1");
  EXPECT_EQ(f.Name(), "Button1");
  EXPECT_THROW(SetStrProp(&f, Prop("Name"), "1st"), EComponentError);
  EXPECT_EQ(f.Name(), "Button1");

  // An owned part takes a copy; a reference is kept as it is.
  TFixturePart source;
  source.Width = 42;
  SetObjectProp(&f, Prop("Part"), &source);
  EXPECT_NE(f.Part(), &source);
  EXPECT_EQ(f.Part()->Width, 42);
  EXPECT_EQ(GetObjectProp(&f, Prop("Part")), f.Part());
  TTypeFixture other;
  SetObjectProp(&f, Prop("Buddy"), &other);
  EXPECT_EQ(f.Buddy, &other);
  EXPECT_EQ(GetOrdProp(&f, Prop("Buddy")), reinterpret_cast<std::intptr_t>(static_cast<TObject*>(&other)));
  EXPECT_THAT([&] { SetObjectProp(&f, Prop("Buddy"), &source); },
              ThrowsMessage<EInvalidCast>("Invalid class typecast"));
  EXPECT_EQ(f.Buddy, &other);
  SetObjectProp(&f, Prop("Buddy"), nullptr);
  EXPECT_EQ(f.Buddy, nullptr);
}

void NoProcedure() {}

TEST(TypInfo, VariantAccessorsKeepKindAndValue) {
  TTypeFixture f;
  const TPropInfo* datum = Prop("Datum");
  TVariant read = std::int32_t{99};
  GetVariantProp(&f, datum, read);
  EXPECT_TRUE(read.IsEmpty());  // a new object holds Unassigned
  // Far above 4 GiB on 64 bits: a pointer kind must come back whole.
  auto* farObject = reinterpret_cast<TObject*>(std::uintptr_t{0x7ABCDEF012345678});
  const TVariant values[] = {
      Null(),
      std::int16_t{-7},
      std::int32_t{1} << 30,
      std::int64_t{1} << 40,
      std::uint8_t{200},
      1.5f,
      0.1,
      Currency::FromRaw(-123456),
      TVarDate{45000.25},
      TVarOleStr{"Gr\xC3\xBCn"},
      std::string("12"),
      true,
      TVariant(&NoProcedure),
      TVariant(TTypeFixture::StaticClass()),
      TVariant(farObject),
      Unassigned(),
  };
  for (const TVariant& value : values) {
    SCOPED_TRACE(VarType(value));
    SetVariantProp(&f, datum, value);
    EXPECT_EQ(VarType(f.Datum), VarType(value));
    GetVariantProp(&f, datum, read);
    EXPECT_EQ(VarType(read), VarType(value));
    EXPECT_TRUE(read == value);
  }
  EXPECT_EQ(GetPropList(TTypeFixture::StaticClass(), TTypeKinds{tkVariant}).size(), 1u);
  EXPECT_FALSE(datum->Default.has_value());
  EXPECT_TRUE(IsStoredProp(&f, datum));
  EXPECT_THAT([&] { GetOrdProp(&f, datum); }, ThrowsMessage<EPropertyError>("Invalid property type: Datum"));
  EXPECT_THAT([&] { SetStrProp(&f, datum, "x"); }, ThrowsMessage<EPropertyError>("Invalid property type: Datum"));
  EXPECT_THAT([&] { GetVariantProp(&f, Prop("Count"), read); },
              ThrowsMessage<EPropertyError>("Invalid property type: Count"));
  EXPECT_THAT([&] { SetVariantProp(&f, Prop("Caption"), TVariant("x")); },
              ThrowsMessage<EPropertyError>("Invalid property type: Caption"));
}

TEST(TypInfo, AccessorsOfAnotherGroupOrDirectionRaise) {
  TTypeFixtureChild f;
  const TClass child = TTypeFixtureChild::StaticClass();
  EXPECT_THAT([&] { GetOrdProp(&f, Prop("Ratio")); }, ThrowsMessage<EPropertyError>("Invalid property type: Ratio"));
  EXPECT_THAT([&] { GetInt64Prop(&f, Prop("Count")); }, ThrowsMessage<EPropertyError>("Invalid property type: Count"));
  EXPECT_THAT([&] { SetStrProp(&f, Prop("Big"), "1"); }, ThrowsMessage<EPropertyError>("Invalid property type: Big"));
  EXPECT_THAT([&] { GetObjectProp(&f, Prop("Count")); }, ThrowsMessage<EPropertyError>(HasSubstr("Count")));
  EXPECT_THAT([&] { SetOrdProp(&f, Prop("Extras", child), 3); },
              ThrowsMessage<EPropertyError>("Property Extras is read-only"));
  EXPECT_EQ(GetPropInfo(child, "extras", tkStrings), nullptr);
  EXPECT_EQ(GetPropInfo(child, "EXTRAS", TTypeKinds{tkInteger}), Prop("Extras", child));
  EXPECT_EQ(GetPropInfo(child, "Missing"), nullptr);
}

TEST(TypInfo, StoredTestsFollowTheObject) {
  TTypeFixture a, b;
  TTypeFixtureChild c;
  const TClass child = TTypeFixtureChild::StaticClass();
  SetOrdProp(&b, Prop("Color"), 0x00FF00);  // a colour of its own
  c.Count = 6;
  struct Row {
    const TObject* object;
    const TPropInfo* prop;
    bool stored;
  } rows[] = {
      {&a, Prop("Color"), false},         {&b, Prop("Color"), true},       {&a, Prop("Title"), false},
      {&a, Prop("Name"), false},          {&a, Prop("Count"), true},       {&c, Prop("Count", child), true},
      {&a, Prop("Extras", child), false}, {&a, Prop("ParentColor"), true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.prop->Name);
    EXPECT_EQ(IsStoredProp(r.object, r.prop), r.stored);
  }
  c.Count = 5;
  EXPECT_FALSE(IsStoredProp(&c, Prop("Count", child)));
  b.ParentColor = true;
  EXPECT_FALSE(IsStoredProp(&b, Prop("Color")));
}

}  // namespace
