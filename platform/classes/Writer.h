#pragma once
// TWriter: writes components as a component stream (format in Filer.h).
//
// A property is written unless its stored test fails, or its value equals
// the ancestor's (the same property of Ancestor(), when there is one) or,
// without an ancestor, its default (ordinal and set properties with a
// default; a string property's default is "", a float's 0, an event's and a
// class's none, a Variant's Unassigned). A Variant equals the ancestor's only
// with the same kind and value (12 and "12" differ). Class properties that
// refer to a persistent object of their own are written as its properties
// with a "Name." prefix (a TStrings as its lines, "Name.Strings", see
// Filer.h); those that refer to a component write its name path: "Button1"
// within the root, "Form2.Button1" for a component of another root. Events
// are written as the published method's name. Integers take the smallest
// integer type that holds them.
//
// WriteDescendent writes Root against Ancestor (a component of the root's
// ancestor class, or another instance): only the values that differ are
// written; children the ancestor has are marked inherited.

#include <cstdint>
#include <string>

#include "platform/classes/Filer.h"
#include "platform/core/Currency.h"
#include "platform/core/MethodEntry.h"

class TCollection;
class TVariant;
struct TPropInfo;

using TFindAncestorEvent = TMethodPointer<void(TWriter* Writer, TComponent* Component, const std::string& Name,
                                               TComponent*& Ancestor, TComponent*& RootAncestor)>;
using TWriterStoredEvent =
    TMethodPointer<void(TWriter* Writer, const TPersistent* Instance, const TPropInfo* Prop, bool& Stored)>;
using TWriterMethodNameEvent = TMethodPointer<void(TWriter* Writer, const TMethod& Method, std::string& Name)>;
using TRootClassNameEvent = TMethodPointer<void(TWriter* Writer, TComponent* Root, std::string& ClassName)>;

class TWriter : public TFiler {
  KESTOVA_CLASS(TWriter)
 public:
  explicit TWriter(TStream& AStream) : TFiler(AStream) {}

  // Signature and Root with its children.
  void WriteRootComponent(TComponent* Root);
  // Root written against Ancestor (nullptr: against the defaults).
  void WriteDescendent(TComponent* Root, TComponent* AAncestor);
  // One component of the root being written (prefix, class, name,
  // properties, children).
  void WriteComponent(TComponent* Component);
  void WriteSignature();
  void WritePrefix(TFilerFlags Flags, std::int32_t ChildPos);
  // The stored published and defined properties of Instance that differ
  // from the ancestor or the defaults.
  void WriteProperties(const TPersistent* Instance);
  void WriteCollection(const TCollection* Collection);

  void WriteValue(TValueType Value);
  void WriteListBegin() { WriteValue(vaList); }
  void WriteListEnd() { WriteValue(vaNull); }
  void WriteInteger(std::int64_t Value);  // smallest integer type
  void WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }
  void WriteFloat(long double Value);
  void WriteSingle(float Value);
  void WriteCurrency(Currency Value);
  void WriteDate(double Value);
  // vaString, vaLString or, for text with non-ASCII bytes, vaWString.
  void WriteString(const std::string& Value);
  // vaIdent, or vaFalse/vaTrue/vaNil/vaNull for those words.
  void WriteIdent(const std::string& Ident);
  // Value by its kind (see Filer.h); raises EWriteError with
  // kVariantNotStreamableText, before writing anything, for the pointer kinds.
  void WriteVariant(const TVariant& Value);
  // A short string without a type byte; raises EWriteError above 255 bytes.
  void WriteStr(const std::string& Value);
  void Write(const void* Buffer, std::int64_t Count);

  void DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

  // May name another ancestor for a child (default: the ancestor root's
  // component of the same name).
  TFindAncestorEvent OnFindAncestor;
  // May veto or force a property after the stored test.
  TWriterStoredEvent OnStoredProperty;
  // The name written for an event (default: the published method's name).
  TWriterMethodNameEvent OnMethodName;
  // The class name written for the root (default: its class's name).
  TRootClassNameEvent OnRootClassName;

 private:
  void WriteProperty(const TPersistent* Instance, const TPropInfo* Prop);
  bool WritePropValue(const TPersistent* Instance, const TPropInfo* Prop, const std::string& Name);
  // An event or a reference by name: nil when Value is empty; nothing when
  // it equals the ancestor's.
  bool WriteNameValue(const std::string& PropName, const std::string& Value, const std::string& AncestorValue);
  bool WriteClassValue(const TPersistent* Instance, const TPropInfo* Prop, const TPersistent* Ancestor,
                       const std::string& Name);
  void WriteObjectProps(const TPersistent* Object, const TPersistent* Ancestor, const std::string& Prefix);
  void WriteCollectionItems(const TCollection* Collection);
  void WriteChildren(TComponent* Component);
  void WritePropName(const std::string& Name);
  std::string ReferenceName(const TComponent* Component) const;

  TComponent* rootAncestor_ = nullptr;
  std::string prefix_;  // "Part." while writing a sub-object's properties
  int depth_ = 0;
};

// Convenience: one root component to or from a stream.
void WriteComponentToStream(TStream& Stream, TComponent* Root);
void WriteDescendentToStream(TStream& Stream, TComponent* Root, TComponent* Ancestor);
// Reads into Instance (nullptr: a new root of the stream's class).
TComponent* ReadComponentFromStream(TStream& Stream, TComponent* Instance);
