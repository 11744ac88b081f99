#pragma once
// Free notifiers and active notifiers. (The code-patching primitives of this
// module are in CodePatch.h.)
//
// Free notifiers are callbacks that run when an object, component or not, is
// freed, each with the object's address, once:
//   - Components go through the class library's free notification: the one
//     TNotifierStorage asks each watched component for a FreeNotification,
//     and the component's notifiers run from its removal notice, while the
//     component is still whole.
//   - Any other TObject is watched by address in FreeNotifiers. While that
//     list holds an address, the release of every TObject is reported to it
//     (the object model's delete seam, Object.h) and looked up by binary
//     search; the notifiers run after the memory was released, so they get
//     the address only as an identity and must not touch the object. While
//     nothing is watched the seam is left empty, so a delete costs one branch.
// After its notifiers ran an address is no longer watched: a new object at
// that address triggers nothing. Registrations and notices happen on the GUI
// thread only (asserted), and so must the release of TObjects while an
// address is watched. At shut-down (FreeFreeNotifiers) every registration is
// dropped and no notifier runs.
//
// Active notifiers (TCustomActiveNotifier) are told each time a widget of the
// process has just received the keyboard focus (after its FocusIn): while at
// least one exists they subscribe to the application's focus-changed channel
// (platform/ui/Hooks.h), and each notice calls DoActiveChanged on every
// notifier, in registration order. A notifier made or freed during a notice
// is neither told late nor told after it is gone: the walk goes over a copy
// of the list and passes over notifiers no longer registered.

#include <utility>

#include "components/base/zrbaselib.h"
#include "platform/classes/Component.h"
#include "platform/core/Events.h"
#include "platform/core/List.h"
#include "platform/ui/Hooks.h"

// Told the freed object's address.
using TFreeNotifyEvent = TMethodPointer<void(const void* Instance)>;

// One registration.
class TFreeNotifier : public TObject {
  KESTOVA_CLASS(TFreeNotifier)
 public:
  explicit TFreeNotifier(TFreeNotifyEvent AProc) : Proc(std::move(AProc)) {}
  TFreeNotifyEvent Proc;
};

// Every registration for one watched address. Freeing it sets Destroying and
// frees its notifiers in list order (none runs).
class TFreeNotifierInfo : public TObject {
  KESTOVA_CLASS(TFreeNotifierInfo)
 public:
  explicit TFreeNotifierInfo(const void* AInstance) : Instance(AInstance) {}
  ~TFreeNotifierInfo() override;

  const void* const Instance;
  TList Notifiers;  // of TFreeNotifier, owned; entries may be nullptr
  bool Destroying = false;

  TFreeNotifier* Notifier(int Index) const { return static_cast<TFreeNotifier*>(Notifiers.Get(Index)); }
};

// The infos of watched addresses, ordered by address (compared three-way),
// duplicates ignored. The infos belong to the list's user: whoever removes
// one frees it (FreeSortedList frees them all).
class TFreeNotifiersList : public TCustomSortedList {
  KESTOVA_CLASS(TFreeNotifiersList)
 public:
  // The info for Instance, or nullptr.
  TFreeNotifierInfo* FindInfo(const void* Instance);
  // Appends a registration of Method, making the info when there is none;
  // true when the info was made now.
  bool AddNotifier(const void* Instance, const TFreeNotifyEvent& Method);
  // Removes every registration of Method (equal code and data) for
  // Instance; when none is left, removes and frees the info and answers true.
  // False when the address is not watched (or its info is being freed).
  bool RemoveNotifier(const void* Instance, const TFreeNotifyEvent& Method);
  // Takes Instance's info out of the list first (so that callbacks no longer
  // find it), runs its notifiers in registration order, then frees it. A
  // callback that deletes the entry being run does not make the walk skip
  // the next one.
  void NotifyAndRemove(const void* Instance);

  int CompareKey(void* Item, TSortKey Key) override;
  int CompareItems(void* Item1, void* Item2) override;
};

// The sink of the free notices of every watched component; made by the
// first registration for a component, it frees itself when its last watched
// component is freed or unregistered.
class TNotifierStorage : public TComponent {
  KESTOVA_CLASS(TNotifierStorage)
 public:
  TNotifierStorage();
  // No notifier runs; NotifierStorage() is nullptr from then on.
  ~TNotifierStorage() override;

  // Registers Method; a component watched for the first time is asked for
  // a free notification.
  void AddNotifier(TComponent* Component, const TFreeNotifyEvent& Method);
  // RemoveNotifier on the list; when that dropped the component's last
  // registration, cancels its free notification and frees the storage when
  // it is empty (the storage is then gone).
  bool RemoveNotifier(const void* Component, const TFreeNotifyEvent& Method);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Runs and forgets AComponent's notifiers, then frees the storage when it
  // is empty.
  void InstanceFreed(TComponent* AComponent);
  void FreeIfEmpty();

  TFreeNotifiersList& Notifiers() { return *list_; }

 private:
  TFreeNotifiersList* list_;
};

// Registers Method to run when Instance is freed; nothing for nullptr. A
// method registered twice runs twice. Instance's TObject part must start the
// object (TObject its first base, as in every class of the family), since
// the release is reported for the start of the allocation.
void AddFreeNotifier(TObject* Instance, const TFreeNotifyEvent& Method);
// Removes every registration of Method (equal code and data) for Instance.
void RemoveFreeNotifier(const TObject* Instance, const TFreeNotifyEvent& Method);

// The list of watched non-component addresses, or nullptr before the first
// registration and after shut-down.
TFreeNotifiersList* FreeNotifiers();
// The storage of watched components, or nullptr while none is watched.
TNotifierStorage* NotifierStorage();
// What the delete seam runs for each released TObject while an address is
// watched: the notifiers of Address, if any.
void NotifyObjectReleased(const void* Address);
// Shut-down: drops FreeNotifiers and NotifierStorage with every registration;
// no notifier runs.
void FreeFreeNotifiers();

class TCustomActiveNotifier : public TComponent {
  KESTOVA_CLASS(TCustomActiveNotifier)
 public:
  // Registers the notifier (subscribing to the focus channel for the first).
  explicit TCustomActiveNotifier(TComponent* AOwner);
  // Deregisters it (ending the subscription with the last).
  ~TCustomActiveNotifier() override;

  TNotifyEvent OnActiveChanged;
  // A widget has just received the focus; calls OnActiveChanged(this).
  // Descendants may look at Change.
  virtual void DoActiveChanged(const TFocusChange& Change);
};

// True while the active notifiers are subscribed to the focus channel.
bool ActiveHookInstalled();
// Shut-down: ends the subscription and forgets every registered notifier;
// none is told of a focus change from then on.
void RemoveActiveNotifierHook();
