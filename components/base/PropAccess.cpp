#include "components/base/PropAccess.h"

#include <cstdint>
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/Filer.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/PersHolder.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "platform/core/Codecs.h"
#include "platform/core/NumberFormat.h"

namespace {

enum class TPropGroup { Ignored, Ordinal, Object, Float, String, WideChar, Variant };

TPropGroup GroupOf(const TPropInfo* PropInfo) {
  if (!PropInfo || !PropInfo->PropType) return TPropGroup::Ignored;
  switch (PropInfo->PropType->Kind) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet:
      return TPropGroup::Ordinal;
    case tkClass:
      return TPropGroup::Object;
    case tkFloat:
      return TPropGroup::Float;
    case tkString:
    case tkLString:
    case tkWString:
      return TPropGroup::String;
    case tkWChar:
      return TPropGroup::WideChar;
    case tkVariant:
      return TPropGroup::Variant;
    default:
      return TPropGroup::Ignored;
  }
}

// A wide character travels as a one-character string (empty for 0).
std::string WideCharText(const TObject* Instance, const TPropInfo* PropInfo) {
  const auto code = static_cast<char16_t>(GetOrdProp(Instance, PropInfo));
  return code ? Utf16ToUtf8(std::u16string_view(&code, 1)) : std::string();
}

void SetWideCharText(TObject* Instance, const TPropInfo* PropInfo, const std::string& Text) {
  const std::u16string wide = Utf8ToUtf16(Text);
  SetOrdProp(Instance, PropInfo, wide.empty() ? 0 : wide.front());
}

bool CanWrite(const TPropInfo* PropInfo, TPropGroup Group) {
  const TPropAccess& access = PropInfo->Access;
  switch (Group) {
    case TPropGroup::Ordinal:
    case TPropGroup::Object:
    case TPropGroup::WideChar:
      return access.SetOrd != nullptr;
    case TPropGroup::Float:
      return access.SetFloat != nullptr;
    case TPropGroup::String:
      return access.SetStr != nullptr;
    case TPropGroup::Variant:
      return access.SetVariant != nullptr;
    case TPropGroup::Ignored:
      break;
  }
  return false;
}

}  // namespace

const TTypeInfo* PropTypeOf(const TPropInfo* PropInfo) { return PropInfo ? PropInfo->PropType : nullptr; }

TPersistent* GetOwnerOf(const TObject* Object) {
  const auto* persistent = dynamic_cast<const TPersistent*>(Object);
  return persistent ? persistent->GetOwner() : nullptr;
}

void CopyPropValue(const TObject* Source, TObject* Dest, const TPropInfo* SourceProp, const TPropInfo* DestProp) {
  if (!Source || !Dest || !SourceProp || !DestProp) return;
  const TPropGroup group = GroupOf(SourceProp);
  // A property of another group cannot take the value without corrupting it.
  if (group == TPropGroup::Ignored || GroupOf(DestProp) != group || !CanWrite(DestProp, group)) return;
  switch (group) {
    case TPropGroup::Ordinal:
      SetOrdProp(Dest, DestProp, static_cast<std::int32_t>(GetOrdProp(Source, SourceProp)));
      break;
    case TPropGroup::Object:
      SetObjectProp(Dest, DestProp, GetObjectProp(Source, SourceProp));
      break;
    case TPropGroup::Float:
      SetFloatProp(Dest, DestProp, GetFloatProp(Source, SourceProp));
      break;
    case TPropGroup::String:
      SetStrProp(Dest, DestProp, GetStrProp(Source, SourceProp));
      break;
    case TPropGroup::WideChar:
      SetOrdProp(Dest, DestProp, GetOrdProp(Source, SourceProp));
      break;
    case TPropGroup::Variant: {
      TVariant value;
      GetVariantProp(Source, SourceProp, value);
      SetVariantProp(Dest, DestProp, value);
      break;
    }
    case TPropGroup::Ignored:
      break;
  }
}

void CopyPropByName(const TObject* Source, TObject* Dest, std::string_view Name) {
  if (!Source || !Dest) return;
  CopyPropValue(Source, Dest, GetPropInfo(Source->ClassType(), Name), GetPropInfo(Dest->ClassType(), Name));
}

void CopyProps(const TObject* Source, TObject* Dest) {
  if (!Source || !Dest || Source == Dest) return;
  for (const TPropInfo* prop : GetPropInfos(Source->ClassType())) CopyPropByName(Source, Dest, prop->Name);
}

TVariant GetPropAsVariant(const TObject* Instance, const TPropInfo* PropInfo) {
  switch (GroupOf(PropInfo)) {
    case TPropGroup::Ordinal:
      return static_cast<std::int32_t>(GetOrdProp(Instance, PropInfo));
    case TPropGroup::Object:
      return GetObjectProp(Instance, PropInfo);
    case TPropGroup::Float:
      return static_cast<double>(GetFloatProp(Instance, PropInfo));
    case TPropGroup::String:
      return GetStrProp(Instance, PropInfo);
    case TPropGroup::WideChar:
      return WideCharText(Instance, PropInfo);
    case TPropGroup::Variant: {
      TVariant value;
      GetVariantProp(Instance, PropInfo, value);
      return value;
    }
    case TPropGroup::Ignored:
      break;
  }
  return TVariant();
}

void SetPropFromVariant(TObject* Instance, const TPropInfo* PropInfo, const TVariant& Value) {
  switch (GroupOf(PropInfo)) {
    case TPropGroup::Ordinal: {
      std::int32_t ordinal = 0;
      if (VarIsStr(Value))
        ordinal = StrToInt(Value.AsString());
      else if (VarType(Value) == varBoolean)
        ordinal = Value.AsBoolean() ? 1 : 0;  // not -1: a Boolean property stores 1
      else
        ordinal = Value.AsInteger();
      SetOrdProp(Instance, PropInfo, ordinal);
      break;
    }
    case TPropGroup::Object:
      SetObjectProp(Instance, PropInfo, Value.AsObject());
      break;
    case TPropGroup::Float:
      SetFloatProp(Instance, PropInfo, Value.AsDouble());
      break;
    case TPropGroup::String:
      SetStrProp(Instance, PropInfo, Value.AsString());
      break;
    case TPropGroup::WideChar:
      SetWideCharText(Instance, PropInfo, Value.AsString());
      break;
    case TPropGroup::Variant:
      SetVariantProp(Instance, PropInfo, Value);
      break;
    case TPropGroup::Ignored:
      break;
  }
}

void ForEachPublishedProp(TObject* Instance, TTypeKinds Kinds, bool OnlyStored, void* Data, TPublishedPropProc Proc) {
  if (!Instance || !Proc) return;
  for (const TPropInfo* prop : GetPropList(Instance->ClassType(), Kinds)) {
    if (OnlyStored && !IsStoredProp(Instance, prop)) continue;
    Proc(Instance, prop, Data);
  }
}

void ForEachStoredProp(TObject* Instance, bool OnlyStored, void* Data, TPublishedPropProc Proc) {
  ForEachPublishedProp(Instance, tkAny, OnlyStored, Data, Proc);
}

namespace {

// Closes the global-loading bracket on every path.
class TGlobalLoading {
 public:
  TGlobalLoading() { BeginGlobalLoading(); }
  ~TGlobalLoading() { EndGlobalLoading(); }
  TGlobalLoading(const TGlobalLoading&) = delete;
  TGlobalLoading& operator=(const TGlobalLoading&) = delete;
};

}  // namespace

void WriteObjectBinary(TStream& Stream, TPersistent* Object) {
  if (auto* component = dynamic_cast<TComponent*>(Object)) {
    WriteComponentToStream(Stream, component);
    return;
  }
  TPersHolder holder;
  holder.P = Object;
  WriteComponentToStream(Stream, &holder);
}

void ReadObjectBinary(TStream& Stream, TPersistent* Object) {
  TGlobalLoading bracket;
  if (auto* component = dynamic_cast<TComponent*>(Object)) {
    ReadComponentFromStream(Stream, component);
    NotifyGlobalLoading();
    return;
  }
  TPersHolder holder;
  holder.P = Object;
  ReadComponentFromStream(Stream, &holder);
}

void WriteObjectText(TStream& Stream, TPersistent* Object) {
  TMemoryStream binary;
  WriteObjectBinary(binary, Object);
  binary.SetPosition(0);
  ObjectBinaryToText(binary, Stream);
}

void ReadObjectText(TStream& Stream, TPersistent* Object) {
  TMemoryStream binary;
  ObjectTextToBinary(Stream, binary);
  binary.SetPosition(0);
  ReadObjectBinary(binary, Object);
}

void SaveObjectToFile(TPersistent* Object, const std::string& FileName) {
  TFileStream file(FileName, TFileMode::fmCreate);
  WriteObjectText(file, Object);
}

void LoadObjectFromFile(TPersistent* Object, const std::string& FileName) {
  TFileStream file(FileName, TFileMode::fmOpenRead | TFileMode::fmShareDenyWrite);
  ReadObjectText(file, Object);
}
