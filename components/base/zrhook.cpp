#include "components/base/zrhook.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

KESTOVA_CLASS_INFO(TFreeNotifier, TObject, "zrhook", nullptr)
KESTOVA_CLASS_INFO(TFreeNotifierInfo, TObject, "zrhook", nullptr)
KESTOVA_CLASS_INFO(TFreeNotifiersList, TCustomSortedList, "zrhook", nullptr)
KESTOVA_CLASS_INFO(TNotifierStorage, TComponent, "zrhook", nullptr)
KESTOVA_CLASS_INFO(TCustomActiveNotifier, TComponent, "zrhook", nullptr)

namespace {

TFreeNotifiersList* freeNotifiers = nullptr;
TNotifierStorage* notifierStorage = nullptr;

bool OnGuiThread() {
  static const std::thread::id gui = std::this_thread::get_id();
  return std::this_thread::get_id() == gui;
}

int CompareAddresses(const void* A, const void* B) {
  return std::less<const void*>()(A, B) ? -1 : std::less<const void*>()(B, A) ? 1 : 0;
}

// Hangs on the object model's delete seam while FreeNotifiers holds an
// address; passes every release on to the observer it found there first.
class ReleaseWrapper final : public TObjectFreedObserver {
 public:
  void ObjectFreed(const void* Address) override {
    if (previous_) previous_->ObjectFreed(Address);
    NotifyObjectReleased(Address);
  }

  void Update() {
    const bool wanted = freeNotifiers && freeNotifiers->Count() > 0;
    if (wanted && !installed_) {
      previous_ = SetObjectFreedObserver(this);
      installed_ = true;
    } else if (!wanted && installed_) {
      TObjectFreedObserver* current = SetObjectFreedObserver(previous_);
      // Someone hung on the seam after us and will put us back: stay until
      // the next change.
      if (current != this) {
        SetObjectFreedObserver(current);
        return;
      }
      previous_ = nullptr;
      installed_ = false;
    }
  }

 private:
  TObjectFreedObserver* previous_ = nullptr;
  bool installed_ = false;
};

ReleaseWrapper& Wrapper() {
  static ReleaseWrapper wrapper;
  return wrapper;
}

}  // namespace

// ---- Lists of registrations ----

TFreeNotifierInfo::~TFreeNotifierInfo() {
  Destroying = true;
  for (int i = 0; i < Notifiers.Count(); ++i) delete Notifier(i);
  Notifiers.Clear();
}

int TFreeNotifiersList::CompareKey(void* Item, TSortKey Key) {
  return CompareAddresses(static_cast<TFreeNotifierInfo*>(Item)->Instance, reinterpret_cast<const void*>(Key));
}

int TFreeNotifiersList::CompareItems(void* Item1, void* Item2) {
  return CompareAddresses(static_cast<TFreeNotifierInfo*>(Item1)->Instance,
                          static_cast<TFreeNotifierInfo*>(Item2)->Instance);
}

TFreeNotifierInfo* TFreeNotifiersList::FindInfo(const void* Instance) {
  if (Count() == 0) return nullptr;
  return static_cast<TFreeNotifierInfo*>(FindKey(reinterpret_cast<TSortKey>(Instance)));
}

bool TFreeNotifiersList::AddNotifier(const void* Instance, const TFreeNotifyEvent& Method) {
  TFreeNotifierInfo* info = FindInfo(Instance);
  const bool made = !info;
  if (made) {
    info = new TFreeNotifierInfo(Instance);
    Add(info);
  }
  info->Notifiers.Add(new TFreeNotifier(Method));
  return made;
}

bool TFreeNotifiersList::RemoveNotifier(const void* Instance, const TFreeNotifyEvent& Method) {
  TFreeNotifierInfo* info = FindInfo(Instance);
  if (!info || info->Destroying) return false;
  for (int i = info->Notifiers.Count() - 1; i >= 0; --i) {
    TFreeNotifier* notifier = info->Notifier(i);
    if (notifier && notifier->Proc == Method) {
      info->Notifiers.Delete(i);
      delete notifier;
    }
  }
  if (info->Notifiers.Count() > 0) return false;
  Remove(info);
  delete info;
  return true;
}

void TFreeNotifiersList::NotifyAndRemove(const void* Instance) {
  TFreeNotifierInfo* info = FindInfo(Instance);
  if (!info) return;
  Remove(info);
  int i = 0;
  while (i < info->Notifiers.Count()) {
    TFreeNotifier* notifier = info->Notifier(i);
    if (notifier) notifier->Proc(info->Instance);
    if (i < info->Notifiers.Count() && info->Notifier(i) == notifier) ++i;
  }
  delete info;
}

// ---- Components ----

TNotifierStorage::TNotifierStorage() : TComponent(nullptr), list_(new TFreeNotifiersList) {}

TNotifierStorage::~TNotifierStorage() {
  if (notifierStorage == this) notifierStorage = nullptr;
  FreeSortedList(list_);
}

void TNotifierStorage::AddNotifier(TComponent* Component, const TFreeNotifyEvent& Method) {
  if (list_->AddNotifier(Component, Method)) Component->FreeNotification(this);
}

bool TNotifierStorage::RemoveNotifier(const void* Component, const TFreeNotifyEvent& Method) {
  if (!list_->RemoveNotifier(Component, Method)) return false;
  // Only components are watched here, and a watched one is alive.
  RemoveFreeNotification(static_cast<TComponent*>(const_cast<void*>(Component)));
  FreeIfEmpty();
  return true;
}

void TNotifierStorage::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && list_->FindInfo(AComponent)) InstanceFreed(AComponent);
}

void TNotifierStorage::InstanceFreed(TComponent* AComponent) {
  RemoveFreeNotification(AComponent);
  list_->NotifyAndRemove(AComponent);
  // A notifier may have shut the storage down meanwhile.
  if (notifierStorage == this) FreeIfEmpty();
}

void TNotifierStorage::FreeIfEmpty() {
  if (list_->Count() == 0) Free();
}

// ---- The module's entry points ----

void AddFreeNotifier(TObject* Instance, const TFreeNotifyEvent& Method) {
  assert(OnGuiThread());
  if (!Instance) return;
  // The delete seam reports the allocation's address.
  assert(dynamic_cast<const void*>(Instance) == Instance);
  if (auto* component = dynamic_cast<TComponent*>(Instance)) {
    if (!notifierStorage) notifierStorage = new TNotifierStorage;
    notifierStorage->AddNotifier(component, Method);
    return;
  }
  if (!freeNotifiers) freeNotifiers = new TFreeNotifiersList;
  freeNotifiers->AddNotifier(Instance, Method);
  Wrapper().Update();
}

void RemoveFreeNotifier(const TObject* Instance, const TFreeNotifyEvent& Method) {
  assert(OnGuiThread());
  if (notifierStorage && notifierStorage->RemoveNotifier(Instance, Method)) return;
  if (!freeNotifiers) return;
  freeNotifiers->RemoveNotifier(Instance, Method);
  Wrapper().Update();
}

TFreeNotifiersList* FreeNotifiers() { return freeNotifiers; }

TNotifierStorage* NotifierStorage() { return notifierStorage; }

void NotifyObjectReleased(const void* Address) {
  if (!freeNotifiers) return;
  assert(OnGuiThread());
  freeNotifiers->NotifyAndRemove(Address);
  Wrapper().Update();
}

void FreeFreeNotifiers() {
  // Detached first: freeing the infos releases TObjects, which must not
  // find the list half gone.
  TFreeNotifiersList* list = freeNotifiers;
  freeNotifiers = nullptr;
  Wrapper().Update();
  FreeSortedList(list);
  TNotifierStorage* storage = notifierStorage;
  notifierStorage = nullptr;
  if (storage) storage->Free();
}

// ---- Active notifiers ----

namespace {

// Each registration has a serial number of its own, so that a walk does not
// take a notifier made at the address of one freed meanwhile for that one.
struct ActiveRegistration {
  TCustomActiveNotifier* notifier;
  std::uint64_t serial;
  friend bool operator==(const ActiveRegistration&, const ActiveRegistration&) = default;
};

std::vector<ActiveRegistration>& ActiveNotifiers() {
  static std::vector<ActiveRegistration> notifiers;
  return notifiers;
}

std::uint64_t nextActiveSerial = 0;

bool activeHookInstalled = false;

void ActiveHookProc(const TFocusChange& Change) {
  const std::vector<ActiveRegistration> snapshot = ActiveNotifiers();
  for (const ActiveRegistration& registration : snapshot) {
    const auto& current = ActiveNotifiers();
    if (std::find(current.begin(), current.end(), registration) != current.end())
      registration.notifier->DoActiveChanged(Change);
  }
}

// One hook value, so that removing it finds the one added.
const TFocusChangedHook& ActiveHook() {
  static const TFocusChangedHook hook = &ActiveHookProc;
  return hook;
}

}  // namespace

TCustomActiveNotifier::TCustomActiveNotifier(TComponent* AOwner) : TComponent(AOwner) {
  auto& notifiers = ActiveNotifiers();
  if (notifiers.empty()) {
    AddFocusChangedHook(ActiveHook());
    activeHookInstalled = true;
  }
  notifiers.push_back({this, nextActiveSerial++});
}

TCustomActiveNotifier::~TCustomActiveNotifier() {
  auto& notifiers = ActiveNotifiers();
  std::erase_if(notifiers, [this](const ActiveRegistration& r) { return r.notifier == this; });
  if (notifiers.empty() && activeHookInstalled) {
    RemoveFocusChangedHook(ActiveHook());
    activeHookInstalled = false;
  }
}

void TCustomActiveNotifier::DoActiveChanged(const TFocusChange& Change) {
  if (OnActiveChanged) OnActiveChanged(this);
}

bool ActiveHookInstalled() { return activeHookInstalled; }

void RemoveActiveNotifierHook() {
  ActiveNotifiers().clear();
  if (!activeHookInstalled) return;
  RemoveFocusChangedHook(ActiveHook());
  activeHookInstalled = false;
}
