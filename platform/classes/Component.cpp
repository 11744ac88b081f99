#include "platform/classes/Component.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

namespace {
// The name is published for editing only: a stream writes it apart from the
// properties.
void DescribeTComponent(TClassInfo& Info) {
  TClassPublisher<TComponent> p(Info);
  p.Property<&TComponent::Name, &TComponent::SetName>("Name", TypeInfos::TComponentName()).Stored(false);
  p.Property<&TComponent::Tag, &TComponent::Tag>("Tag", TypeInfos::Integer()).Default(0);
}
}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TComponent, TPersistent, "Classes", &MakeComponent<TComponent>, DescribeTComponent)

namespace {
bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

struct LiveComponents {
  std::mutex Lock;
  std::unordered_set<std::uintptr_t> Addresses;
};
LiveComponents& Live() {
  static auto* live = new LiveComponents;  // outlives every static component
  return *live;
}
void SetLive(const TComponent* Component, bool Value) {
  LiveComponents& live = Live();
  std::lock_guard<std::mutex> guard(live.Lock);
  const auto address = reinterpret_cast<std::uintptr_t>(Component);
  if (Value)
    live.Addresses.insert(address);
  else
    live.Addresses.erase(address);
}

void Erase(std::vector<TComponent*>& list, TComponent* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
}  // namespace

bool IsValidIdent(std::string_view Name) {
  if (Name.empty() || !IsIdentStart(Name[0])) return false;
  return std::all_of(Name.begin() + 1, Name.end(), [](char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); });
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
  SetLive(this, true);
}

TComponent::~TComponent() {
  SendRemovalNotices();
  DestroyComponents();
  SetLive(this, false);
}

TComponent* FindLiveComponent(std::uintptr_t Address) {
  LiveComponents& live = Live();
  std::lock_guard<std::mutex> guard(live.Lock);
  return live.Addresses.count(Address) ? reinterpret_cast<TComponent*>(Address) : nullptr;
}

void TComponent::BeforeDestruction() {
  TPersistent::BeforeDestruction();
  SendRemovalNotices();
}

void TComponent::SendRemovalNotices() {
  if (removalNoticesSent_) return;
  removalNoticesSent_ = true;
  Destroying();
  // Newest link first; each partner forgets the link before it is told, so a
  // partner that frees something in its Notification cannot be told twice.
  while (!freeNotifies_.empty()) {
    TComponent* partner = freeNotifies_.back();
    freeNotifies_.pop_back();
    Erase(partner->freeNotifies_, this);
    partner->Notification(this, opRemove);
  }
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError(Format(kListIndexErrorText, {Index}));
  return components_[Index];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  const auto& siblings = owner_->components_;
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void TComponent::SetComponentIndex(int Value) {
  if (!owner_) return;
  auto& siblings = owner_->components_;
  const int from = ComponentIndex();
  const int to = std::clamp(Value, 0, static_cast<int>(siblings.size()) - 1);
  if (to == from) return;
  siblings.erase(siblings.begin() + from);
  siblings.insert(siblings.begin() + to, this);
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, AName)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent->owner_ == this) return;
  ValidateRename(AComponent, "", AComponent->name_);
  if (AComponent->owner_) AComponent->owner_->RemoveComponent(AComponent);
  components_.push_back(AComponent);
  AComponent->owner_ = this;
  if (state_.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (AComponent->owner_ != this) return;
  Notification(AComponent, opRemove);
  Erase(components_, AComponent);
  AComponent->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    // While the owner dies, its other components hear of a removal only when
    // someone asked to be told about this one.
    if (last->state_.Contains(csFreeNotification)) {
      RemoveComponent(last);
    } else {
      components_.pop_back();
      last->owner_ = nullptr;
    }
    last->Free();
  }
}

void TComponent::SetName(const std::string& NewName) {
  if (NewName == name_) return;
  if (!NewName.empty() && !IsValidIdent(NewName)) throw EComponentError(Format(kInvalidNameText, {NewName}));
  if (owner_)
    owner_->ValidateRename(this, name_, NewName);
  else
    ValidateRename(nullptr, name_, NewName);
  ChangeName(NewName);
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) {
  if (!AComponent || NewName.empty() || SameText(CurName, NewName)) return;
  if (TComponent* other = FindComponent(NewName); other && other != AComponent)
    throw EComponentError(Format(kDuplicateNameText, {NewName}));
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value)
    state_.Include(csDesigning);
  else
    state_.Exclude(csDesigning);
  if (SetChildren)
    for (TComponent* c : components_) c->SetDesigning(Value);
}

void TComponent::SetSubComponent(bool Value) {
  if (Value)
    style_.Include(csSubComponent);
  else
    style_.Exclude(csSubComponent);
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  // The owner already tells its components about one another.
  if (!owner_ || AComponent->owner_ != owner_) {
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end()) {
      freeNotifies_.push_back(AComponent);
      AComponent->freeNotifies_.push_back(this);
      AComponent->state_.Include(csFreeNotification);
    }
  }
  state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  Erase(freeNotifies_, AComponent);
  Erase(AComponent->freeNotifies_, this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // By index: a component told here may free or add others.
  for (size_t i = 0; i < components_.size(); ++i) components_[i]->Notification(AComponent, Operation);
}

void TComponent::Loaded() { state_.Exclude(csLoading); }
