#pragma once
// TReader: reads a component stream (format in Filer.h) into components.
//
// ReadRootComponent reads the signature and the root; with Root nullptr it
// makes the root from its class name (registered classes, see
// ClassRegistry.h). Children are made with the owner the root's
// GetChildOwner names (the root by default), found by name when they exist
// already (an inherited child), else made from their class. Properties are
// set through type information; "Part.Width" sets Width of the object in
// class property Part. Events name a published method of the root; class
// properties name a component: "Button1" (in the root), "Form2.Button1"
// (another root, found through FindGlobalComponent, or later by
// GlobalFixupReferences). Each component read is told Loaded once, after
// every reference of the read was resolved (or, inside a global-loading
// bracket, by NotifyGlobalLoading).
//
// Errors raise EReadError; an OnError hook that sets Handled skips the
// offending property value instead. When reading fails, the components made
// by the read are freed again; the root passed in stays.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Filer.h"
#include "platform/core/Currency.h"
#include "platform/core/MethodEntry.h"

class TCollection;
class TVariant;
struct TPropInfo;

using TFindMethodEvent =
    TMethodPointer<void(TReader* Reader, const std::string& MethodName, TMethod& Method, bool& Error)>;
using TSetNameEvent = TMethodPointer<void(TReader* Reader, TComponent* Component, std::string& Name)>;
using TReferenceNameEvent = TMethodPointer<void(TReader* Reader, std::string& Name)>;
using TFindComponentClassEvent =
    TMethodPointer<void(TReader* Reader, const std::string& ClassName, TClass& ComponentClass)>;
using TCreateComponentEvent = TMethodPointer<void(TReader* Reader, TClass ComponentClass, TComponent*& Component)>;
using TReaderErrorEvent = TMethodPointer<void(TReader* Reader, const std::string& Message, bool& Handled)>;

class TReader : public TFiler {
  KESTOVA_CLASS(TReader)
 public:
  explicit TReader(TStream& AStream);
  ~TReader() override;

  // Reads signature and root. Root nullptr: made from the stream's class
  // (FindClass; the class's factory). Returns the root.
  TComponent* ReadRootComponent(TComponent* Root);
  // Reads one component (prefix, class, name, properties, children) into
  // Component, or into a new one of the stream's class owned by Owner().
  TComponent* ReadComponent(TComponent* Component);
  void ReadSignature();
  void ReadPrefix(TFilerFlags& Flags, std::int32_t& ChildPos);
  // One property of Instance (name and value).
  void ReadProperty(TPersistent* Instance);
  void ReadCollection(TCollection* Collection);

  // Owner and parent given to components made while reading children.
  TComponent* Owner() const { return owner_; }
  void SetOwner(TComponent* Value) { owner_ = Value; }
  TComponent* Parent() const { return parent_; }
  void SetParent(TComponent* Value) { parent_ = Value; }

  // Values. Each raises EReadError when the next value has another type.
  TValueType ReadValue();
  TValueType NextValue();
  bool EndOfList();
  void ReadListBegin();
  void ReadListEnd();
  std::int32_t ReadInteger();
  std::int64_t ReadInt64();  // any integer type
  bool ReadBoolean();
  long double ReadFloat();  // vaExtended, vaSingle, vaDate or an integer
  float ReadSingle();
  Currency ReadCurrency();
  double ReadDate();
  std::string ReadString();  // vaString, vaLString, vaWString
  std::string ReadIdent();   // vaIdent, vaFalse, vaTrue, vaNil, vaNull
  // A value of a Variant property (kinds as in Filer.h); lists, identifiers,
  // sets, binary data and collections raise EReadError with
  // kInvalidPropertyValueText, as does an extended float beyond Double.
  TVariant ReadVariant();
  // A short string without a type byte (length byte and bytes).
  std::string ReadStr();
  void SkipValue();
  // Raw bytes; raises EReadError ("Stream read error") on a short read.
  void Read(void* Buffer, std::int64_t Count);

  void DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

  // Resolves the references to components read so far (done at the end of
  // ReadRootComponent and of a top-level ReadComponent).
  void FixupReferences();

  TFindMethodEvent OnFindMethod;
  TSetNameEvent OnSetName;
  TReferenceNameEvent OnReferenceName;
  TFindComponentClassEvent OnFindComponentClass;
  TCreateComponentEvent OnCreateComponent;
  TReaderErrorEvent OnError;

 protected:
  // Raises EReadError with Message unless OnError handles it.
  bool Error(const std::string& Message);
  TMethod FindMethod(TComponent* Root, const std::string& MethodName);
  TClass FindComponentClass(const std::string& ClassName);

 private:
  friend class TReaderDepth;
  struct TFixup {
    TComponent* Holder;  // the component whose property (or sub-object's) it is
    TPersistent* Instance;
    const TPropInfo* Prop;
    std::string Name;  // the name path as read
  };
  void ReadPropValue(TPersistent* Instance, const TPropInfo* Prop);
  void ReadPropPath(TPersistent* Instance, const std::string& Path);
  void ReadClassValue(TPersistent* Instance, const TPropInfo* Prop);
  void ReadSetValue(TPersistent* Instance, const TPropInfo* Prop);
  // Sets a value already read; a failing setter goes to Error.
  template <class F>
  void Apply(F&& Set);
  TComponent* MakeComponent(const std::string& ClassName);
  void ReadChildren(TComponent* Component);
  void NotifyLoaded();
  void AbandonRead();

  TComponent* owner_ = nullptr;
  TComponent* parent_ = nullptr;
  TComponent* current_ = nullptr;  // the component whose data is being read
  std::string propName_;           // the property being read, for OnError
  std::string definedName_;        // the name DefineProperty is asked about
  bool definedFound_ = false;
  int depth_ = 0;
  std::vector<TFixup> fixups_;
  std::vector<TComponent*> loaded_;  // in reading order
};
