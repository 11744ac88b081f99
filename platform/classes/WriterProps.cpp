// TWriter: property values, sub-objects, collections, defined properties.
#include <cmath>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Filer_p.h"
#include "platform/classes/MethodTable.h"
#include "platform/classes/TypInfo.h"
#include "platform/classes/Variant.h"
#include "platform/classes/Writer.h"
#include "platform/core/Codecs.h"
#include "platform/core/StrUtils.h"

namespace {

// The ancestor's value is comparable only when it has the property.
const TPersistent* AncestorWith(const TPersistent* Ancestor, const TPropInfo* Prop) {
  return Ancestor && Ancestor->ClassType()->InheritsFrom(Prop->DeclaringClass) ? Ancestor : nullptr;
}

bool IsDateType(const TTypeInfo* Type) {
  return Type->Name == "TDateTime" || Type->Name == "TDate" || Type->Name == "TTime";
}

std::int64_t OrdValue(const TPersistent* Instance, const TPropInfo* Prop) {
  return Prop->PropType->Kind == tkInt64 ? GetInt64Prop(Instance, Prop) : GetOrdProp(Instance, Prop);
}

TVariant AncestorVariant(const TPersistent* Ancestor, const TPropInfo* Prop) {
  TVariant value;
  GetVariantProp(Ancestor, Prop, value);
  return value;
}

// Equal kind and value: 12 and "12" differ here, and a string never meets a
// number it cannot be read as.
bool SameVariant(const TVariant& A, const TVariant& B) { return VarType(A) == VarType(B) && A == B; }

bool CollectionsEqual(const TCollection* A, const TCollection* B) {
  if (!A || !B) return A == B;
  TMemoryStream a, b;
  TWriter wa(a), wb(b);
  wa.WriteCollection(A);
  wb.WriteCollection(B);
  return a.Bytes() == b.Bytes();
}

}  // namespace

void TWriter::WritePropName(const std::string& Name) { WriteStr(prefix_ + Name); }

void TWriter::WriteProperties(const TPersistent* Instance) {
  for (const TPropInfo* prop : GetPropInfos(Instance->ClassType())) WriteProperty(Instance, prop);
  filer::DefineProperties(const_cast<TPersistent*>(Instance), this);
}

std::string TWriter::ReferenceName(const TComponent* Component) const {
  if (Component == LookupRoot() || Component->Owner() == LookupRoot() || !Component->Owner()) return Component->Name();
  if (Component->Owner()->Name().empty()) return Component->Name();
  return Component->Owner()->Name() + "." + Component->Name();
}

namespace {
// The name a named integer type (a colour, a cursor) gives Value, if any.
bool IntegerIdent(const TTypeInfo* Type, std::int64_t Value, std::string& Ident) {
  TIdentToIntProc toInt = nullptr;
  TIntToIdentProc toIdent = nullptr;
  FindIntegerConsts(Type, toInt, toIdent);
  return toIdent && toIdent(static_cast<std::int32_t>(Value), Ident);
}
}  // namespace

void TWriter::WriteProperty(const TPersistent* Instance, const TPropInfo* Prop) {
  const TPropAccess& a = Prop->Access;
  const bool readable = a.GetOrd || a.GetFloat || a.GetStr || a.GetMethod || a.GetVariant;
  const bool writable = a.SetOrd || a.SetFloat || a.SetStr || a.SetMethod || a.SetVariant;
  if (!readable || (!writable && Prop->PropType->Kind != tkClass)) return;
  bool stored = IsStoredProp(Instance, Prop);
  if (OnStoredProperty) OnStoredProperty(this, Instance, Prop, stored);
  if (!stored) return;
  WritePropValue(Instance, Prop, Prop->Name);
}

bool TWriter::WritePropValue(const TPersistent* Instance, const TPropInfo* Prop, const std::string& Name) {
  const TPersistent* ancestor = AncestorWith(Ancestor(), Prop);
  const TTypeInfo* type = Prop->PropType;
  switch (type->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
    case tkInt64: {
      const std::int64_t value = OrdValue(Instance, Prop);
      // An int64 without a default is left out at 0; other ordinals are then always written.
      const bool isDefault = Prop->Default ? value == *Prop->Default : type->Kind == tkInt64 && value == 0;
      if (ancestor ? value == OrdValue(ancestor, Prop) : isDefault) return false;
      WritePropName(Name);
      if (type->Kind == tkEnumeration) {
        WriteIdent(GetEnumName(type, value));
      } else if (type->Kind == tkSet) {
        WriteValue(vaSet);
        for (int bit = 0; bit < 64; ++bit)
          if (value & (std::int64_t{1} << bit)) WriteStr(GetEnumName(type->Data.CompType, bit));
        WriteStr({});
      } else if (type->Kind == tkChar) {
        // A character, as the class library writes it: a one-character string.
        WriteString(Windows1252ToUtf8(std::string(1, static_cast<char>(value))));
      } else if (std::string ident; type->Kind == tkInteger && IntegerIdent(type, value, ident)) {
        WriteIdent(ident);
      } else {
        WriteInteger(value);
      }
      return true;
    }
    case tkFloat: {
      const long double value = GetFloatProp(Instance, Prop);
      if (ancestor ? value == GetFloatProp(ancestor, Prop) : value == 0) return false;
      WritePropName(Name);
      if (type->Data.FloatType == ftCurr)
        WriteCurrency(Currency::FromRaw(std::llround(static_cast<double>(value * Currency::kScale))));
      else if (type->Data.FloatType == ftSingle)
        WriteSingle(static_cast<float>(value));
      else if (IsDateType(type))
        WriteDate(static_cast<double>(value));
      else
        WriteFloat(value);
      return true;
    }
    case tkString:
    case tkLString:
    case tkWString: {
      const std::string value = GetStrProp(Instance, Prop);
      if (ancestor ? value == GetStrProp(ancestor, Prop) : value.empty()) return false;
      WritePropName(Name);
      WriteString(value);
      return true;
    }
    case tkMethod: {
      const TMethod method = GetMethodProp(Instance, Prop);
      std::string name;
      if (method.Assigned()) {
        name = LookupRoot() ? MethodName(LookupRoot()->ClassType(), method) : std::string();
        if (OnMethodName) OnMethodName(this, method, name);
      }
      std::string ancestorName;
      if (ancestor) {
        const TMethod other = GetMethodProp(ancestor, Prop);
        TComponent* ancestorRoot = rootAncestor_ ? rootAncestor_ : LookupRoot();
        if (other.Assigned() && ancestorRoot) ancestorName = MethodName(ancestorRoot->ClassType(), other);
      }
      return WriteNameValue(Name, name, ancestorName);
    }
    case tkClass:
      return WriteClassValue(Instance, Prop, ancestor, Name);
    case tkVariant: {
      TVariant value;
      GetVariantProp(Instance, Prop, value);
      if (ancestor ? SameVariant(value, AncestorVariant(ancestor, Prop)) : value.IsEmpty()) return false;
      filer::CheckStreamableVariant(value);  // before the name: no half-written property
      WritePropName(Name);
      WriteVariant(value);
      return true;
    }
    default:
      return false;
  }
}

bool TWriter::WriteNameValue(const std::string& PropName, const std::string& Value, const std::string& AncestorValue) {
  if (Value == AncestorValue) return false;
  WritePropName(PropName);
  if (Value.empty())
    WriteValue(vaNil);
  else
    WriteIdent(Value);
  return true;
}

bool TWriter::WriteClassValue(const TPersistent* Instance, const TPropInfo* Prop, const TPersistent* Ancestor,
                              const std::string& Name) {
  TObject* value = GetObjectProp(Instance, Prop);
  TObject* ancestorValue = Ancestor ? GetObjectProp(Ancestor, Prop) : nullptr;
  auto* component = dynamic_cast<TComponent*>(value);
  if (component && !component->ComponentStyle().Contains(csSubComponent)) {
    const std::string name = component->Name().empty() ? std::string() : ReferenceName(component);
    std::string ancestorName;
    if (auto* other = dynamic_cast<TComponent*>(ancestorValue))
      ancestorName = other == rootAncestor_ && LookupRoot() ? LookupRoot()->Name() : other->Name();
    return WriteNameValue(Name, name, ancestorName);
  }
  if (auto* collection = dynamic_cast<TCollection*>(value)) {
    auto* other = dynamic_cast<TCollection*>(ancestorValue);
    if (Ancestor ? CollectionsEqual(collection, other) : collection->Count() == 0) return false;
    WritePropName(Name);
    WriteValue(vaCollection);
    WriteCollectionItems(collection);
    return true;
  }
  if (auto* object = dynamic_cast<TPersistent*>(value)) {
    WriteObjectProps(object, dynamic_cast<TPersistent*>(ancestorValue), prefix_ + Name + ".");
    return true;
  }
  if (!value && ancestorValue) {
    WritePropName(Name);
    WriteValue(vaNil);
    return true;
  }
  return false;
}

void TWriter::WriteObjectProps(const TPersistent* Object, const TPersistent* AAncestor, const std::string& Prefix) {
  if (depth_ >= kMaxFilerDepth) throw EWriteError(kTooDeepText);
  ++depth_;
  const std::string outerPrefix = prefix_;
  TPersistent* const outerAncestor = Ancestor();
  prefix_ = Prefix;
  SetAncestor(const_cast<TPersistent*>(AAncestor));
  try {
    WriteProperties(Object);
  } catch (...) {
    prefix_ = outerPrefix;
    SetAncestor(outerAncestor);
    --depth_;
    throw;
  }
  prefix_ = outerPrefix;
  SetAncestor(outerAncestor);
  --depth_;
}

void TWriter::WriteCollection(const TCollection* Collection) {
  WriteValue(vaCollection);
  WriteCollectionItems(Collection);
}

void TWriter::WriteCollectionItems(const TCollection* Collection) {
  const std::string outerPrefix = prefix_;
  TPersistent* const outerAncestor = Ancestor();
  prefix_.clear();
  SetAncestor(nullptr);
  try {
    for (int i = 0; i < Collection->Count(); ++i) {
      WriteListBegin();
      WriteProperties(Collection->Items(i));
      WriteListEnd();
    }
    WriteListEnd();
  } catch (...) {
    prefix_ = outerPrefix;
    SetAncestor(outerAncestor);
    throw;
  }
  prefix_ = outerPrefix;
  SetAncestor(outerAncestor);
}

void TWriter::DefineProperty(const std::string& Name, TReaderProc, TWriterProc WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  WritePropName(Name);
  WriteData(*this);
}

void TWriter::DefineBinaryProperty(const std::string& Name, TStreamProc, TStreamProc WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  TMemoryStream data;
  WriteData(data);
  if (data.Size() > kMaxFilerLength) throw EWriteError();
  WritePropName(Name);
  WriteValue(vaBinary);
  const auto size = static_cast<std::int32_t>(data.Size());
  Write(&size, 4);
  Write(data.Bytes().data(), size);
}
