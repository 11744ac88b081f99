#include "platform/classes/StdTypeInfo.h"

#include <cassert>
#include <utility>

TTypeInfo MakeOrdinalType(TTypeKind Kind, std::string Name, TOrdType OrdType, std::int64_t MinValue,
                          std::int64_t MaxValue) {
  TTypeData data;
  data.OrdType = OrdType;
  data.MinValue = MinValue;
  data.MaxValue = MaxValue;
  return TTypeInfo(Kind, std::move(Name), std::move(data));
}

TTypeInfo MakeEnumType(std::string Name, std::vector<std::string> Names, std::string UnitName) {
  assert(!Names.empty());
  TTypeData data;
  data.OrdType = Names.size() <= 256 ? otUByte : otUWord;
  data.MaxValue = static_cast<std::int64_t>(Names.size()) - 1;
  data.NameList = std::move(Names);
  data.EnumUnitName = std::move(UnitName);
  return TTypeInfo(tkEnumeration, std::move(Name), std::move(data));
}

TTypeInfo MakeSetType(std::string Name, const TTypeInfo* ElementType) {
  assert(ElementType && ElementType->Data.MaxValue < 64);
  TTypeData data;
  data.CompType = ElementType;
  return TTypeInfo(tkSet, std::move(Name), std::move(data));
}

TTypeInfo MakeFloatType(std::string Name, TFloatType FloatType) {
  TTypeData data;
  data.FloatType = FloatType;
  return TTypeInfo(tkFloat, std::move(Name), std::move(data));
}

TTypeInfo MakeStringType(TTypeKind Kind, std::string Name) {
  assert(tkStrings.Contains(Kind));
  return TTypeInfo(Kind, std::move(Name));
}

TTypeInfo MakeMethodType(std::string Name, TMethodKind MethodKind, std::vector<TParamData> Params,
                         std::string ResultType) {
  TTypeData data;
  data.MethodKind = MethodKind;
  data.Params = std::move(Params);
  data.ResultType = std::move(ResultType);
  return TTypeInfo(tkMethod, std::move(Name), std::move(data));
}

namespace {
// False and True in a value of the given size.
TTypeInfo MakeBooleanType(std::string Name, TOrdType OrdType) {
  TTypeData data;
  data.OrdType = OrdType;
  data.MaxValue = 1;
  data.NameList = {"False", "True"};
  data.EnumUnitName = "System";
  return TTypeInfo(tkEnumeration, std::move(Name), std::move(data));
}
}  // namespace

KESTOVA_TYPE_INFO(Integer, MakeOrdinalType(tkInteger, "Integer", otSLong, INT32_MIN, INT32_MAX))
KESTOVA_TYPE_INFO(Int64, MakeOrdinalType(tkInt64, "Int64", otSLong, INT64_MIN, INT64_MAX))
KESTOVA_TYPE_INFO(Boolean, MakeBooleanType("Boolean", otUByte))
KESTOVA_TYPE_INFO(Char, MakeOrdinalType(tkChar, "Char", otUByte, 0, 255))
KESTOVA_TYPE_INFO(WideChar, MakeOrdinalType(tkWChar, "WideChar", otUWord, 0, 65535))
KESTOVA_TYPE_INFO(Double, MakeFloatType("Double", ftDouble))
KESTOVA_TYPE_INFO(Currency, MakeFloatType("Currency", ftCurr))
KESTOVA_TYPE_INFO(ShortString, MakeStringType(tkString, "ShortString"))
KESTOVA_TYPE_INFO(String, MakeStringType(tkLString, "string"))
KESTOVA_TYPE_INFO(WideString, MakeStringType(tkWString, "WideString"))
KESTOVA_TYPE_INFO(Variant, TTypeInfo(tkVariant, "Variant"))
KESTOVA_TYPE_INFO(WordBool, MakeBooleanType("WordBool", otUWord))
KESTOVA_TYPE_INFO(LongBool, MakeBooleanType("LongBool", otSLong))

KESTOVA_TYPE_INFO(TColor, MakeOrdinalType(tkInteger, "TColor", otSLong, INT32_MIN, INT32_MAX))
KESTOVA_TYPE_INFO(TCursor, MakeOrdinalType(tkInteger, "TCursor", otSWord, -32768, 32767))
KESTOVA_TYPE_INFO(TCaption, MakeStringType(tkLString, "TCaption"))
KESTOVA_TYPE_INFO(TTabOrder, MakeOrdinalType(tkInteger, "TTabOrder", otSWord, -1, 32767))
KESTOVA_TYPE_INFO(TModalResult, MakeOrdinalType(tkInteger, "TModalResult", otSLong, INT32_MIN, INT32_MAX))
KESTOVA_TYPE_INFO(TShortCut, MakeOrdinalType(tkInteger, "TShortCut", otUWord, 0, 65535))
KESTOVA_TYPE_INFO(TDateTime, MakeFloatType("TDateTime", ftDouble))
KESTOVA_TYPE_INFO(TDate, MakeFloatType("TDate", ftDouble))
KESTOVA_TYPE_INFO(TTime, MakeFloatType("TTime", ftDouble))
KESTOVA_TYPE_INFO(TFontName, MakeStringType(tkLString, "TFontName"))
KESTOVA_TYPE_INFO(TFontCharset, MakeOrdinalType(tkInteger, "TFontCharset", otUByte, 0, 255))
KESTOVA_TYPE_INFO(TComponentName, MakeStringType(tkLString, "TComponentName"))
KESTOVA_TYPE_INFO(TNotifyEvent, MakeMethodType("TNotifyEvent", mkProcedure, {{{}, "Sender", "TObject"}}))
KESTOVA_TYPE_INFO(TTypeKind, MakeEnumType("TTypeKind",
                                          {"tkUnknown", "tkInteger", "tkChar", "tkEnumeration", "tkFloat", "tkString",
                                           "tkSet", "tkClass", "tkMethod", "tkWChar", "tkLString", "tkWString",
                                           "tkVariant", "tkArray", "tkRecord", "tkInterface", "tkInt64", "tkDynArray"},
                                          "TypInfo"))
