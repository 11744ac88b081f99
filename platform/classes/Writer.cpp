// TWriter: values, components and children.
#include "platform/classes/Writer.h"

#include <cfloat>
#include <cstring>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/Filer_p.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Variant.h"
#include "platform/core/Codecs.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"

static_assert(LDBL_MANT_DIG == 64, "vaExtended is written straight from an 80-bit long double");

KESTOVA_CLASS_INFO(TWriter, TFiler, "Classes", nullptr)

void TWriter::Write(const void* Buffer, std::int64_t Count) {
  if (Stream().Write(Buffer, Count) != Count) throw EWriteError();
}

void TWriter::WriteValue(TValueType Value) { Write(&Value, 1); }

void TWriter::WriteSignature() { Write(kFilerSignature, 4); }

void TWriter::WritePrefix(TFilerFlags Flags, std::int32_t ChildPos) {
  if (Flags.Bits() == 0) return;
  const auto prefix = static_cast<std::uint8_t>(0xF0 | Flags.Bits());
  Write(&prefix, 1);
  if (Flags.Contains(ffChildPos)) WriteInteger(ChildPos);
}

void TWriter::WriteInteger(std::int64_t Value) {
  if (Value >= INT8_MIN && Value <= INT8_MAX) {
    WriteValue(vaInt8);
    const auto v = static_cast<std::int8_t>(Value);
    Write(&v, 1);
  } else if (Value >= INT16_MIN && Value <= INT16_MAX) {
    WriteValue(vaInt16);
    const auto v = static_cast<std::int16_t>(Value);
    Write(&v, 2);
  } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
    WriteValue(vaInt32);
    const auto v = static_cast<std::int32_t>(Value);
    Write(&v, 4);
  } else {
    WriteValue(vaInt64);
    Write(&Value, 8);
  }
}

void TWriter::WriteFloat(long double Value) {
  WriteValue(vaExtended);
  Write(&Value, 10);
}

void TWriter::WriteSingle(float Value) {
  WriteValue(vaSingle);
  Write(&Value, 4);
}

void TWriter::WriteCurrency(Currency Value) {
  WriteValue(vaCurrency);
  const std::int64_t raw = Value.Raw();
  Write(&raw, 8);
}

void TWriter::WriteDate(double Value) {
  WriteValue(vaDate);
  Write(&Value, 8);
}

void TWriter::WriteStr(const std::string& Value) {
  if (Value.size() > 255) throw EWriteError();
  const auto length = static_cast<std::uint8_t>(Value.size());
  Write(&length, 1);
  Write(Value.data(), length);
}

void TWriter::WriteString(const std::string& Value) {
  if (Value.size() > static_cast<std::size_t>(kMaxFilerLength)) throw EWriteError();
  if (!filer::IsAsciiText(Value)) {
    const std::u16string units = Utf8ToUtf16(Value);
    WriteValue(vaWString);
    const auto count = static_cast<std::int32_t>(units.size());
    Write(&count, 4);
    Write(units.data(), std::int64_t{count} * 2);
  } else if (Value.size() <= 255) {
    WriteValue(vaString);
    WriteStr(Value);
  } else {
    WriteValue(vaLString);
    const auto length = static_cast<std::int32_t>(Value.size());
    Write(&length, 4);
    Write(Value.data(), length);
  }
}

void TWriter::WriteIdent(const std::string& Ident) {
  if (SameText(Ident, "False"))
    WriteValue(vaFalse);
  else if (SameText(Ident, "True"))
    WriteValue(vaTrue);
  else if (SameText(Ident, "nil"))
    WriteValue(vaNil);
  else if (SameText(Ident, "Null"))
    WriteValue(vaNull);
  else {
    WriteValue(vaIdent);
    WriteStr(Ident);
  }
}

void TWriter::WriteVariant(const TVariant& Value) {
  filer::CheckStreamableVariant(Value);
  switch (VarType(Value)) {
    case varEmpty:
      return WriteValue(vaNil);
    case varNull:
      return WriteValue(vaNull);
    case varSmallint:
    case varInteger:
    case varByte:
    case varInt64:
      return WriteInteger(Value.AsInt64());
    case varSingle:
      return WriteSingle(Value.AsSingle());
    case varDouble:
      return WriteFloat(Value.AsDouble());
    case varCurrency:
      return WriteCurrency(Value.AsCurrency());
    case varDate:
      return WriteDate(Value.AsDate());
    case varBoolean:
      return WriteBoolean(Value.AsBoolean());
    default:  // the string kinds
      return WriteString(Value.AsString());
  }
}

void TWriter::WriteRootComponent(TComponent* ARoot) { WriteDescendent(ARoot, nullptr); }

void TWriter::WriteDescendent(TComponent* ARoot, TComponent* AAncestor) {
  rootAncestor_ = AAncestor;
  SetAncestor(AAncestor);
  SetRoot(ARoot);
  lookupRoot_ = ARoot;
  WriteSignature();
  WriteComponent(ARoot);
}

void TWriter::WriteComponent(TComponent* Component) {
  if (depth_ >= kMaxFilerDepth) throw EWriteError(kTooDeepText);
  ++depth_;
  const bool wasWriting = Component->ComponentState().Contains(csWriting);
  Component->State().Include(csWriting);
  try {
    WritePrefix(Ancestor() ? TFilerFlags{ffInherited} : TFilerFlags{}, 0);
    std::string className = Component->ClassName();
    if (Component == Root() && OnRootClassName) OnRootClassName(this, Component, className);
    // A longer length byte would read as a prefix byte (0xF0 and up).
    if (className.size() >= 0xF0) throw EWriteError();
    WriteStr(className);
    WriteStr(Component->Name());
    WriteProperties(Component);
    WriteListEnd();
    WriteChildren(Component);
    WriteListEnd();
  } catch (...) {
    if (!wasWriting) Component->State().Exclude(csWriting);
    --depth_;
    throw;
  }
  if (!wasWriting) Component->State().Exclude(csWriting);
  --depth_;
}

void TWriter::WriteChildren(TComponent* Component) {
  std::vector<TComponent*> children;
  Component->GetChildren([&](TComponent* Child) { children.push_back(Child); }, Root());
  TPersistent* const outer = Ancestor();
  try {
    for (TComponent* child : children) {
      TComponent* ancestor = rootAncestor_ ? rootAncestor_->FindComponent(child->Name()) : nullptr;
      TComponent* rootAncestor = rootAncestor_;
      if (OnFindAncestor) OnFindAncestor(this, child, child->Name(), ancestor, rootAncestor);
      SetAncestor(ancestor);
      WriteComponent(child);
    }
  } catch (...) {
    SetAncestor(outer);
    throw;
  }
  SetAncestor(outer);
}

void WriteComponentToStream(TStream& Stream, TComponent* Root) {
  TWriter writer(Stream);
  writer.WriteRootComponent(Root);
}

void WriteDescendentToStream(TStream& Stream, TComponent* Root, TComponent* Ancestor) {
  TWriter writer(Stream);
  writer.WriteDescendent(Root, Ancestor);
}

TComponent* ReadComponentFromStream(TStream& Stream, TComponent* Instance) {
  TReader reader(Stream);
  return reader.ReadRootComponent(Instance);
}

namespace filer {

void CheckStreamableVariant(const TVariant& Value) {
  switch (const TVarType type = VarType(Value)) {
    case varEmpty:
    case varNull:
    case varSmallint:
    case varInteger:
    case varByte:
    case varInt64:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varBoolean:
    case varOleStr:
    case varString:
      return;
    default:
      throw EWriteError(Format(kVariantNotStreamableText, {IntToHex(type, 4)}));
  }
}

}  // namespace filer
