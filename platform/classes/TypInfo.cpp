#include "platform/classes/TypInfo.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include "platform/classes/TypInfoPublish.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"

const TTypeInfo* ClassTypeInfo(TClass Class) {
  if (!Class) return nullptr;
  static std::mutex mutex;
  static std::map<TClass, std::unique_ptr<TTypeInfo>> records;
  std::lock_guard lock(mutex);
  std::unique_ptr<TTypeInfo>& record = records[Class];
  if (!record) {
    TTypeData data;
    data.ClassType = Class;
    record = std::make_unique<TTypeInfo>(tkClass, Class->Name, std::move(data));
  }
  return record.get();
}

std::vector<const TPropInfo*> GetPropInfos(TClass Class) {
  std::vector<const TPropInfo*> list;
  // Newest class first, so that a property declared again keeps the
  // descendant's record at the ancestor's position.
  for (TClass c = Class; c; c = c->Parent)
    for (const auto& prop : c->Properties) {
      const auto slot = static_cast<std::size_t>(prop->NameIndex);
      if (slot >= list.size()) list.resize(slot + 1, nullptr);
      if (!list[slot]) list[slot] = prop.get();
    }
  return list;
}

std::vector<const TPropInfo*> GetPropList(TClass Class, TTypeKinds Kinds) {
  std::vector<const TPropInfo*> list;
  for (const TPropInfo* prop : GetPropInfos(Class))
    if (Kinds.Contains(prop->PropType->Kind)) list.push_back(prop);
  std::stable_sort(list.begin(), list.end(),
                   [](const TPropInfo* a, const TPropInfo* b) { return CompareText(a->Name, b->Name) < 0; });
  return list;
}

const TPropInfo* GetPropInfo(TClass Class, std::string_view Name, TTypeKinds Kinds) {
  for (TClass c = Class; c; c = c->Parent)
    for (const auto& prop : c->Properties)
      if (SameText(prop->Name, Name)) return Kinds.Contains(prop->PropType->Kind) ? prop.get() : nullptr;
  return nullptr;
}

void detail::AddPublishedProperty(TClassInfo& Info, std::shared_ptr<TPropInfo> Prop) {
  Prop->DeclaringClass = &Info;
  if (const TPropInfo* inherited = GetPropInfo(Info.Parent, Prop->Name))
    Prop->NameIndex = inherited->NameIndex;
  else
    Prop->NameIndex = static_cast<std::int32_t>(GetPropInfos(&Info).size());
  Info.Properties.push_back(std::move(Prop));
}

const std::string& ClassUnitName(TClass Class) { return Class->UnitName; }

namespace {

// Checks the property's kind and that it has the accessor; returns it.
template <class Accessor>
Accessor Checked(const TPropInfo* PropInfo, TTypeKinds Kinds, Accessor TPropAccess::*Field, const char* MissingText) {
  if (!Kinds.Contains(PropInfo->PropType->Kind))
    throw EPropertyError(Format(kInvalidPropertyTypeText, {PropInfo->Name}));
  Accessor accessor = PropInfo->Access.*Field;
  if (!accessor) throw EPropertyError(Format(MissingText, {PropInfo->Name}));
  return accessor;
}

template <class Accessor>
Accessor Reader(const TPropInfo* PropInfo, TTypeKinds Kinds, Accessor TPropAccess::*Field) {
  return Checked(PropInfo, Kinds, Field, kPropertyNotReadableText);
}

template <class Accessor>
Accessor Writer(const TPropInfo* PropInfo, TTypeKinds Kinds, Accessor TPropAccess::*Field) {
  return Checked(PropInfo, Kinds, Field, kReadOnlyPropertyText);
}

}  // namespace

std::int64_t GetOrdProp(const TObject* Instance, const TPropInfo* PropInfo) {
  return Reader(PropInfo, tkOrdinal, &TPropAccess::GetOrd)(*Instance, *PropInfo);
}

void SetOrdProp(TObject* Instance, const TPropInfo* PropInfo, std::int64_t Value) {
  Writer(PropInfo, tkOrdinal, &TPropAccess::SetOrd)(*Instance, *PropInfo, Value);
}

TObject* GetObjectProp(const TObject* Instance, const TPropInfo* PropInfo) {
  const auto value = Reader(PropInfo, TTypeKinds{tkClass}, &TPropAccess::GetOrd)(*Instance, *PropInfo);
  return reinterpret_cast<TObject*>(static_cast<std::intptr_t>(value));
}

void SetObjectProp(TObject* Instance, const TPropInfo* PropInfo, TObject* Value) {
  const auto setter = Writer(PropInfo, TTypeKinds{tkClass}, &TPropAccess::SetOrd);
  setter(*Instance, *PropInfo, static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(Value)));
}

long double GetFloatProp(const TObject* Instance, const TPropInfo* PropInfo) {
  return Reader(PropInfo, tkFloats, &TPropAccess::GetFloat)(*Instance, *PropInfo);
}

void SetFloatProp(TObject* Instance, const TPropInfo* PropInfo, long double Value) {
  Writer(PropInfo, tkFloats, &TPropAccess::SetFloat)(*Instance, *PropInfo, Value);
}

std::string GetStrProp(const TObject* Instance, const TPropInfo* PropInfo) {
  return Reader(PropInfo, tkStrings, &TPropAccess::GetStr)(*Instance, *PropInfo);
}

void SetStrProp(TObject* Instance, const TPropInfo* PropInfo, const std::string& Value) {
  Writer(PropInfo, tkStrings, &TPropAccess::SetStr)(*Instance, *PropInfo, Value);
}

void GetVariantProp(const TObject* Instance, const TPropInfo* PropInfo, TVariant& Value) {
  Reader(PropInfo, TTypeKinds{tkVariant}, &TPropAccess::GetVariant)(*Instance, *PropInfo, Value);
}

void SetVariantProp(TObject* Instance, const TPropInfo* PropInfo, const TVariant& Value) {
  Writer(PropInfo, TTypeKinds{tkVariant}, &TPropAccess::SetVariant)(*Instance, *PropInfo, Value);
}

TMethod GetMethodProp(const TObject* Instance, const TPropInfo* PropInfo) {
  return Reader(PropInfo, tkMethods, &TPropAccess::GetMethod)(*Instance, *PropInfo);
}

void SetMethodProp(TObject* Instance, const TPropInfo* PropInfo, const TMethod& Value) {
  Writer(PropInfo, tkMethods, &TPropAccess::SetMethod)(*Instance, *PropInfo, Value);
}

std::int64_t GetInt64Prop(const TObject* Instance, const TPropInfo* PropInfo) {
  return Reader(PropInfo, TTypeKinds{tkInt64}, &TPropAccess::GetOrd)(*Instance, *PropInfo);
}

void SetInt64Prop(TObject* Instance, const TPropInfo* PropInfo, std::int64_t Value) {
  Writer(PropInfo, TTypeKinds{tkInt64}, &TPropAccess::SetOrd)(*Instance, *PropInfo, Value);
}

bool IsStoredProp(const TObject* Instance, const TPropInfo* PropInfo) {
  return PropInfo->StoredProc ? PropInfo->StoredProc(*Instance) : PropInfo->StoredConst;
}

std::string GetEnumName(const TTypeInfo* TypeInfo, std::int64_t Value) {
  const TTypeData& data = TypeInfo->Data;
  if (TypeInfo->Kind != tkEnumeration) return IntToStr(Value);
  if (Value < data.MinValue || Value > data.MaxValue) return {};
  const auto i = static_cast<std::size_t>(Value - data.MinValue);
  return i < data.NameList.size() ? data.NameList[i] : std::string();
}

std::int64_t GetEnumValue(const TTypeInfo* TypeInfo, std::string_view Name) {
  if (TypeInfo->Kind != tkEnumeration) return -1;
  const std::vector<std::string>& names = TypeInfo->Data.NameList;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (SameText(names[i], Name)) return TypeInfo->Data.MinValue + static_cast<std::int64_t>(i);
  return -1;
}
