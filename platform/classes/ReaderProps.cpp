// TReader: property values.
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Filer_p.h"
#include "platform/classes/Reader.h"
#include "platform/classes/TypInfo.h"
#include "platform/classes/Variant.h"
#include "platform/core/Codecs.h"
#include "platform/core/StrUtils.h"

template <class F>
void TReader::Apply(F&& Set) {
  try {
    Set();
  } catch (const EReadError&) {
    throw;
  } catch (const Exception& e) {
    Error(e.Message());
  }
}

void TReader::FixupReferences() {
  std::vector<TFixup> fixups;
  fixups.swap(fixups_);
  for (TFixup& f : fixups) {
    if (OnReferenceName) OnReferenceName(this, f.Name);
    TComponent* target = filer::ResolveReference(Root(), f.Name);
    if (!target) {
      filer::AddGlobalFixup(f.Holder, f.Instance, f.Prop, f.Name);
      continue;
    }
    Apply([&] { SetObjectProp(f.Instance, f.Prop, target); });
  }
}

void TReader::ReadProperty(TPersistent* Instance) {
  propName_ = ReadStr();
  ReadPropPath(Instance, propName_);
}

void TReader::ReadPropPath(TPersistent* Instance, const std::string& Path) {
  TPersistent* object = Instance;
  std::string_view rest = Path;
  for (auto dot = rest.find('.'); dot != std::string_view::npos; dot = rest.find('.')) {
    const TPropInfo* prop = GetPropInfo(object->ClassType(), rest.substr(0, dot), TTypeKinds{tkClass});
    auto* sub = prop && prop->Access.GetOrd ? dynamic_cast<TPersistent*>(GetObjectProp(object, prop)) : nullptr;
    // Without such a property the rest may be one defined property with a
    // dotted name ("Picture.Data" of an object that keeps the picture
    // itself).
    if (!sub) break;
    object = sub;
    rest = rest.substr(dot + 1);
  }
  if (rest.find('.') == std::string_view::npos)
    if (const TPropInfo* prop = GetPropInfo(object->ClassType(), rest)) {
      ReadPropValue(object, prop);
      return;
    }
  definedName_ = std::string(rest);
  definedFound_ = false;
  filer::DefineProperties(object, this);
  const bool found = definedFound_;
  definedName_.clear();
  definedFound_ = false;
  if (!found && Error(Format(kPropertyDoesNotExistText, {Path}))) SkipValue();
}

void TReader::DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc, bool) {
  if (definedFound_ || definedName_.empty() || !SameText(Name, definedName_)) return;
  definedFound_ = true;
  definedName_.clear();
  if (ReadData)
    ReadData(*this);
  else
    SkipValue();
}

void TReader::DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc, bool) {
  if (definedFound_ || definedName_.empty() || !SameText(Name, definedName_)) return;
  definedFound_ = true;
  definedName_.clear();
  if (ReadValue() != vaBinary) throw EReadError(kInvalidBinaryText);
  std::int32_t size = 0;
  Read(&size, 4);
  if (size < 0 || size > kMaxFilerLength || size > Stream().Remaining()) throw EReadError();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  Read(bytes.data(), size);
  TMemoryStream data(std::move(bytes));
  if (ReadData) ReadData(data);
}

void TReader::ReadSetValue(TPersistent* Instance, const TPropInfo* Prop) {
  if (ReadValue() != vaSet) throw EReadError(kInvalidPropertyValueText);
  const TTypeInfo* element = Prop->PropType->Data.CompType;
  std::int64_t bits = 0;
  bool bad = false;
  for (std::string name = ReadStr(); !name.empty(); name = ReadStr()) {
    const std::int64_t value = element ? GetEnumValue(element, name) : -1;
    if (value < 0 || value > 63)
      bad = true;
    else
      bits |= std::int64_t{1} << value;
  }
  if (bad && Error(kInvalidPropertyValueText)) return;
  Apply([&] { SetOrdProp(Instance, Prop, bits); });
}

void TReader::ReadClassValue(TPersistent* Instance, const TPropInfo* Prop) {
  switch (NextValue()) {
    case vaNil:
      ReadValue();
      Apply([&] { SetObjectProp(Instance, Prop, nullptr); });
      return;
    case vaCollection: {
      ReadValue();
      auto* collection = Prop->Access.GetOrd ? dynamic_cast<TCollection*>(GetObjectProp(Instance, Prop)) : nullptr;
      if (!collection) throw EReadError(kInvalidPropertyValueText);
      ReadCollection(collection);
      return;
    }
    default:
      fixups_.push_back({current_, Instance, Prop, ReadIdent()});
  }
}

void TReader::ReadCollection(TCollection* Collection) {
  const TReaderDepth depth(*this);
  Collection->BeginUpdate();
  try {
    Collection->Clear();
    while (!EndOfList()) {
      const TValueType first = NextValue();
      if (first == vaInt8 || first == vaInt16 || first == vaInt32) ReadInteger();
      ReadListBegin();
      TCollectionItem* item = Collection->Add();
      while (!EndOfList()) ReadProperty(item);
      ReadListEnd();
    }
    ReadListEnd();
  } catch (...) {
    Collection->EndUpdate();
    throw;
  }
  Collection->EndUpdate();
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo* Prop) {
  const TTypeInfo* type = Prop->PropType;
  switch (type->Kind) {
    case tkChar:
      if (const TValueType next = NextValue(); next == vaString || next == vaLString || next == vaWString) {
        const std::string text = Utf8ToWindows1252(ReadString());
        if (text.size() != 1) {
          Error(kInvalidPropertyValueText);
          return;
        }
        return Apply([&] { SetOrdProp(Instance, Prop, static_cast<unsigned char>(text[0])); });
      }
      [[fallthrough]];
    case tkInteger:
    case tkWChar: {
      if (type->Kind == tkInteger && NextValue() == vaIdent) {
        TIdentToIntProc toInt = nullptr;
        TIntToIdentProc toIdent = nullptr;
        FindIntegerConsts(type, toInt, toIdent);
        std::int32_t named = 0;
        if (!toInt || !toInt(ReadIdent(), named)) {
          Error(kInvalidPropertyValueText);
          return;
        }
        return Apply([&] { SetOrdProp(Instance, Prop, named); });
      }
      const std::int32_t value = ReadInteger();
      return Apply([&] { SetOrdProp(Instance, Prop, value); });
    }
    case tkEnumeration: {
      const std::string ident = ReadIdent();
      const std::int64_t value = GetEnumValue(type, ident);
      if (value < 0) {
        Error(kInvalidPropertyValueText);
        return;
      }
      return Apply([&] { SetOrdProp(Instance, Prop, value); });
    }
    case tkSet:
      return ReadSetValue(Instance, Prop);
    case tkInt64: {
      const std::int64_t value = ReadInt64();
      return Apply([&] { SetInt64Prop(Instance, Prop, value); });
    }
    case tkFloat: {
      const long double value = type->Data.FloatType == ftCurr
                                    ? static_cast<long double>(ReadCurrency().Raw()) / Currency::kScale
                                    : ReadFloat();
      return Apply([&] { SetFloatProp(Instance, Prop, value); });
    }
    case tkString:
    case tkLString:
    case tkWString: {
      const std::string value = ReadString();
      return Apply([&] { SetStrProp(Instance, Prop, value); });
    }
    case tkMethod: {
      TMethod method;
      if (NextValue() == vaNil)
        ReadValue();
      else
        method = FindMethod(Root(), ReadIdent());
      return Apply([&] { SetMethodProp(Instance, Prop, method); });
    }
    case tkClass:
      return ReadClassValue(Instance, Prop);
    case tkVariant: {
      const TVariant value = ReadVariant();
      return Apply([&] { SetVariantProp(Instance, Prop, value); });
    }
    default:
      if (Error(Format(kUnknownPropertyTypeText, {type->Name}))) SkipValue();
  }
}
