#include "platform/core/Object.h"

#include <atomic>
#include <cstdint>

#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

namespace {
std::atomic<TObjectFreedObserver *> freedObserver{nullptr};

// The address travels as a number: after the release it names no memory, only
// the object that was there.
void ReportFreed(std::uintptr_t address) {
  if (TObjectFreedObserver *observer = freedObserver.load(std::memory_order_acquire))
    observer->ObjectFreed(reinterpret_cast<const void *>(address));
}
}  // namespace

bool TClassInfo::InheritsFrom(const TClassInfo *Ancestor) const {
  for (const TClassInfo *c = this; c; c = c->Parent)
    if (c == Ancestor) return true;
  return false;
}

TMessageHandler TClassInfo::FindMessageHandler(std::uint32_t Msg) const {
  for (const TMessageEntry &entry : MessageHandlers)
    if (entry.Msg == Msg) return entry.Handler;
  return nullptr;
}

TClass TObject::StaticClass() {
  static TClassInfo info{"TObject", nullptr, "System", &MakeObject<TObject>};
  return &info;
}

bool TObject::ClassNameIs(std::string_view Name) const { return SameText(ClassType()->Name, Name); }

namespace {
void DispatchFrom(TObject *Self, const TClassInfo *Start, TMessage &Message) {
  for (const TClassInfo *c = Start; c; c = c->Parent)
    if (TMessageHandler handler = c->FindMessageHandler(Message.Msg)) {
      handler(Self, Message);
      return;
    }
  Self->DefaultHandler(Message);
}
}  // namespace

void TObject::Dispatch(TMessage &Message) { DispatchFrom(this, ClassType(), Message); }

void TObject::InheritedMessage(const TClassInfo *Class, TMessage &Message) {
  DispatchFrom(this, Class ? Class->Parent : nullptr, Message);
}

void TObject::Free() {
  BeforeDestruction();
  delete this;
}

void TObject::operator delete(void *Address, std::size_t Size) noexcept {
  const auto address = reinterpret_cast<std::uintptr_t>(Address);
  ::operator delete(Address);
  ReportFreed(address);
}

void TObject::operator delete(void *Address, std::size_t Size, std::align_val_t Alignment) noexcept {
  const auto address = reinterpret_cast<std::uintptr_t>(Address);
  ::operator delete(Address, Alignment);
  ReportFreed(address);
}

TObjectFreedObserver *SetObjectFreedObserver(TObjectFreedObserver *Observer) {
  return freedObserver.exchange(Observer, std::memory_order_acq_rel);
}

KESTOVA_CLASS_INFO(TPersistent, TObject, "Classes", &MakeObject<TPersistent>)

void TPersistent::Assign(const TPersistent *Source) {
  if (!Source) AssignError(nullptr);
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent *Dest) const { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent *Source) const {
  const std::string sourceName = Source ? Source->ClassName() : "nil";
  throw EConvertError(Format(kAssignErrorText, {sourceName, ClassName()}));
}

std::string TPersistent::GetNamePath() const {
  std::string path = ClassName();
  if (const TPersistent *owner = GetOwner()) {
    const std::string ownerPath = owner->GetNamePath();
    if (!ownerPath.empty()) path = ownerPath + "." + path;
  }
  return path;
}
