#include "components/base/PropFileSystem.h"

#include <charconv>
#include <cstdio>

#include "components/base/ClassItems.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StringList.h"

namespace {

void DescribeTPropFileSystem(TClassInfo& Info) {
  using F = TPropFileSystem;
  TClassPublisher<F> p(Info);
  p.Property<&F::ComponentPtr, &F::SetComponentPtr>("ComponentPtr", TypeInfos::String());
  p.Property<&F::PropName, &F::SetPropName>("PropName", TypeInfos::String());
}

TDesignerModifiedHook& DesignerModifiedHook() {
  static TDesignerModifiedHook hook;
  return hook;
}

// The property's record and, for an object property, its string list.
struct PropTarget {
  const TPropInfo* Info = nullptr;
  TStrings* Strings = nullptr;
};

std::optional<PropTarget> FindTarget(TComponent* Component, const std::string& PropName) {
  if (!Component || PropName.empty()) return std::nullopt;
  const TPropInfo* info = GetPropInfo(Component->ClassType(), PropName);
  if (!info || !info->PropType) return std::nullopt;
  if (tkStrings.Contains(info->PropType->Kind)) return PropTarget{info, nullptr};
  if (info->PropType->Kind == tkClass) {
    if (auto* strings = dynamic_cast<TStrings*>(GetObjectProp(Component, info))) return PropTarget{info, strings};
  }
  return std::nullopt;
}

PropTarget TargetOrError(TComponent* Component, const std::string& PropName) {
  const auto target = FindTarget(Component, PropName);
  if (!target) throw Exception(kPropertyStreamErrorText);
  return *target;
}

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TPropFileSystem, TFileSystem, "zrcommon", &MakeComponent<TPropFileSystem>,
                             DescribeTPropFileSystem)

bool PropertyIsFile(TComponent* Component, const std::string& PropName) {
  return FindTarget(Component, PropName).has_value();
}

std::string ReadPropertyText(TComponent* Component, const std::string& PropName) {
  const PropTarget target = TargetOrError(Component, PropName);
  if (!target.Strings) return GetStrProp(Component, target.Info);
  std::string text;
  for (int i = 0; i < target.Strings->Count(); ++i) text += target.Strings->Get(i) + "\r\n";
  return text;
}

void WritePropertyText(TComponent* Component, const std::string& PropName, const std::string& Text) {
  const PropTarget target = TargetOrError(Component, PropName);
  if (target.Strings)
    target.Strings->SetText(Text);
  else
    SetStrProp(Component, target.Info, Text);
}

void SetDesignerModifiedHook(const TDesignerModifiedHook& Hook) { DesignerModifiedHook() = Hook; }

void NotifyDesignerModified(TComponent* Component) {
  if (DesignerModifiedHook()) DesignerModifiedHook()(Component);
}

void RegisterPropFileSystemClass() {
  const TClass classes[] = {TPropFileSystem::StaticClass()};
  RegisterClassesOnce(classes);
}

// ---- TPropFileSystem ----

TPropFileSystem::~TPropFileSystem() { SetComponent(nullptr); }

std::string TPropFileSystem::ComponentPtr() const {
  if (!component_) return "";
  char text[2 + 2 * sizeof(void*) + 1];
  std::snprintf(text, sizeof text, "$%0*zX", static_cast<int>(2 * sizeof(void*)),
                static_cast<size_t>(reinterpret_cast<std::uintptr_t>(component_)));
  return text;
}

void TPropFileSystem::SetComponentPtr(const std::string& Value) {
  std::uintptr_t address = 0;
  const char* first = Value.data() + 1;
  const char* last = Value.data() + Value.size();
  const bool parsed = Value.size() > 1 && Value[0] == '$' &&
                      std::from_chars(first, last, address, 16) == std::from_chars_result{last, std::errc()};
  SetComponent(parsed ? FindLiveComponent(address) : nullptr);
}

void TPropFileSystem::SetComponent(TComponent* Value) {
  if (Value == component_) return;
  if (component_) component_->RemoveFreeNotification(this);
  component_ = Value;
  if (component_) component_->FreeNotification(this);
}

void TPropFileSystem::Notification(TComponent* AComponent, TOperation Operation) {
  TFileSystem::Notification(AComponent, Operation);
  if (Operation != opRemove || AComponent != component_) return;
  component_ = nullptr;
  // May free this file system: nothing of it is touched afterwards.
  ReleaseFileSystem(this);
}

bool TPropFileSystem::FileExists(const std::string& Name) { return PropertyIsFile(component_, propName_); }

std::unique_ptr<TStream> TPropFileSystem::CreateStream(const std::string& Name, uint16_t Mode) {
  if (!component_) throw Exception(kComponentDoesntExistText);
  return std::make_unique<TPropStream>(component_, Mode, propName_);
}

// ---- TPropStream ----

TPropStream::TPropStream(TComponent* Component, uint16_t Mode, std::string PropName)
    : component_(Component), propName_(std::move(PropName)), mode_(static_cast<uint8_t>(Mode & 3)) {
  TargetOrError(component_, propName_);
  if (mode_ == 0 || mode_ == 2) {
    const std::string text = ReadPropertyText(component_, propName_);
    WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    SetPosition(0);
  }
}

TPropStream::~TPropStream() { FinishOnFree(); }

void TPropStream::WriteBack() {
  if (mode_ == 0) return;
  // The stream holds no notice link; a component freed meanwhile is not
  // written to.
  if (!FindLiveComponent(reinterpret_cast<std::uintptr_t>(component_))) throw Exception(kPropertyStreamErrorText);
  const auto& bytes = Bytes();
  WritePropertyText(component_, propName_, std::string(bytes.begin(), bytes.end()));
  NotifyDesignerModified(component_);
}
