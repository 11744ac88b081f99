#pragma once
// One string property of a component as a file, so that a script held in a
// property can be edited like a document.
//
// A property is usable as a file when it is a string property (any string
// kind) or an object property holding a string list; a string list is read
// and written as its lines, each followed by CR LF.

#include <cstdint>
#include <memory>
#include <string>

#include "components/base/FileSystems.h"
#include "platform/core/Events.h"

inline constexpr const char* kComponentDoesntExistText = "Component doesn't exist";
inline constexpr const char* kPropertyStreamErrorText = "Error in property stream";

// A file system holding one file: property PropName of the attached
// component. Published: ComponentPtr and PropName.
//
// ComponentPtr reads "$" and the component's address in hexadecimal, the
// full pointer width ("" without a component). Writing it attaches the live
// component (FindLiveComponent) at that address; text that is not "$" and
// hexadecimal digits, or an address where no component lives (a descriptor
// kept from an earlier run), attaches nothing.
//
// When the attached component is freed, the file system detaches it and
// gives up one shared use of itself (ReleaseFileSystem).
class TPropFileSystem : public TFileSystem {
  KESTOVA_CLASS(TPropFileSystem)
 public:
  explicit TPropFileSystem(TComponent* AOwner) : TFileSystem(AOwner) {}
  ~TPropFileSystem() override;

  std::string ComponentPtr() const;
  void SetComponentPtr(const std::string& Value);
  const std::string& PropName() const { return propName_; }
  void SetPropName(const std::string& Value) { propName_ = Value; }
  TComponent* Component() const { return component_; }
  void SetComponent(TComponent* Value);

  // True when a component and PropName are set and the property is usable as
  // a file; the name is not looked at.
  bool FileExists(const std::string& Name) override;
  // A TPropStream; kComponentDoesntExistText without a component.
  std::unique_ptr<TStream> CreateStream(const std::string& Name, uint16_t Mode) override;
  uint8_t IsVirtual() override { return 1; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TComponent* component_ = nullptr;
  std::string propName_;
};

// A property's text as a stream. Opened for reading or read-write (the low
// two bits of Mode 0 or 2) it starts with the property's text, positioned at
// 0. Finish (TWriteBackStream) sets the property to the whole content when
// the low bits are not 0, once, and tells the component's designer
// (NotifyDesignerModified). A missing component or property, or one of
// another kind, raises kPropertyStreamErrorText.
class TPropStream : public TWriteBackStream {
 public:
  TPropStream(TComponent* Component, uint16_t Mode, std::string PropName);
  ~TPropStream() override;

 protected:
  void WriteBack() override;

 private:
  TComponent* component_;
  std::string propName_;
  uint8_t mode_;
};

// The property's text (kPropertyStreamErrorText when it is not usable).
std::string ReadPropertyText(TComponent* Component, const std::string& PropName);
void WritePropertyText(TComponent* Component, const std::string& PropName, const std::string& Text);
bool PropertyIsFile(TComponent* Component, const std::string& PropName);

// Tells the designer of Component's form that the form changed, through the
// hook the form designer installs (nothing without one).
using TDesignerModifiedHook = TMethodPointer<void(TComponent* Component)>;
void SetDesignerModifiedHook(const TDesignerModifiedHook& Hook);
void NotifyDesignerModified(TComponent* Component);

// Registers TPropFileSystem with the class registry (start-up).
void RegisterPropFileSystemClass();
