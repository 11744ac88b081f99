#pragma once
// Family-wide message broadcast and notifier lists.
//
// Parts of the component family talk to each other without knowing each
// other: an object that wants to hear family-wide events joins one
// process-wide receiver list and handles the family's message numbers
// (platform/classes/Messages.h) with message handlers of its class, reached
// through its Dispatch. A sender builds one TMessage and hands it to every
// receiver, newest first; the stopping form ends at the first receiver that
// answers with a non-zero Result.
//
// The walk visits the receivers listed when it began. A receiver may free
// itself or others, join or leave, or broadcast again from its handler: a
// receiver that has left when its turn comes is passed over, one that joined
// meanwhile is not called, and none is called twice.
//
// Single GUI thread; nothing is locked.

#include <cstdint>
#include <memory>

#include "platform/classes/Collection.h"
#include "platform/classes/Messages.h"
#include "platform/core/Events.h"
#include "platform/core/List.h"
#include "platform/core/Object.h"

class TComponent;
class TWinControl;

// ---- Receivers ----

// The process-wide receiver list: the last item is the newest receiver. It
// holds no ownership. Created on first use.
TList* GetMessageAnswerList();
// Frees the receiver list at module shut-down; the receivers are untouched.
// A later join starts a new list.
void FreeMessageAnswerList();

// Makes Obj the newest receiver: an object already listed moves to the end,
// so it is never listed twice. Nothing for nullptr.
void AddMessageAnswer(TObject* Obj);
// Takes Obj off the list; nothing when it is not there (or there is no list).
// An object that joined must leave before it is freed.
void RemoveMessageAnswer(TObject* Obj);

// A receiver for exactly its lifetime: joins in the constructor, leaves in
// the destructor. Other classes join with AddMessageAnswer themselves.
class TMessageAnswer : public TObject {
  KESTOVA_CLASS(TMessageAnswer)
 public:
  TMessageAnswer();
  ~TMessageAnswer() override;
  TMessageAnswer(const TMessageAnswer&) = delete;
  TMessageAnswer& operator=(const TMessageAnswer&) = delete;
};

// ---- Broadcasts ----

// Dispatches {Msg, WParam, LParam, Result 0} to every receiver, newest first.
// Every receiver sees the one record, so an older receiver reads the Result
// a newer one left. Answers true. Sender is not used by the delivery.
bool BroadcastMessage(TObject* Sender, TMessageNumber Msg, std::uintptr_t WParam, std::intptr_t LParam);
// BroadcastMessage(nullptr, Msg, 0, 0).
bool BroadcastCommand(TMessageNumber Msg);
// Stops after the first receiver that leaves Result non-zero (older receivers
// are not called) and answers false; true when no receiver answered.
bool BroadcastUntilAnswered(TObject* Sender, TMessageNumber Msg, std::uintptr_t WParam, std::intptr_t LParam);

// ZRM_DESIGNERSTATE with WParam 0 or 1; ...On sends 1.
void BroadcastDesignerState(bool Value);
void BroadcastDesignerStateOn();
// ZRM_DESIGNERSTATERESTORED.
void BroadcastDesignerStateRestored();
// ZRM_OBJECTSDELETED with LParam = List (WParam 0); nothing for nullptr.
void BroadcastObjectsDeleted(TList* List);
// ZRM_OBJECTSDELETED with WParam = Obj (LParam 0), Obj as the sender; nothing
// for nullptr.
void BroadcastObjectDeleted(TObject* Obj);
// Sends ZRM_COMMITEDIT (Perform) to every control Form holds directly, in
// their order, so that edits take over their pending text. A control that a
// handler frees or moves away meanwhile is passed over; one that comes is not
// sent to. Nothing for nullptr.
void CommitChildEdits(TWinControl* Form);
// Dispatches ZRM_QUERYSKIPFRONTFORM to Form alone: true when its Result
// stays 0 (also for nullptr: nothing refuses).
bool FormAcceptsFrontQuery(TObject* Form);

// ---- Notifier lists ----

// A listener: Sender is the notifying component, List the notice's data (a
// pointer list, or what the notifier documents) and Param its code.
using TNotifierMethod = TMethodPointer<void(TComponent* Sender, void* List, std::int32_t Param)>;

class TNotifierListItem : public TCollectionItem {
  KESTOVA_CLASS(TNotifierListItem)
 public:
  explicit TNotifierListItem(TCollection* Collection) : TCollectionItem(Collection) {}

  TNotifierMethod Method;
};

// The listeners one object notifies, in order of subscription. Two method
// pointers are equal when they have the same code and the same object.
class TNotifierList : public TObject {
  KESTOVA_CLASS(TNotifierList)
 public:
  TNotifierList();
  ~TNotifierList() override;
  TNotifierList(const TNotifierList&) = delete;
  TNotifierList& operator=(const TNotifierList&) = delete;

  // The items, oldest first; owned.
  TCollection* Items() const { return items_.get(); }
  int Count() const { return items_->Count(); }
  TNotifierListItem* Item(int Index) const;

  // Removes an equal listener first, then appends Method as the newest item
  // and returns it.
  TNotifierListItem* AddNotifier(const TNotifierMethod& Method);
  // Frees the oldest item equal to Method; nothing when there is none.
  void RemoveNotifier(const TNotifierMethod& Method);
  // Frees every item whose method runs on Obj.
  void RemoveNotifiersOf(const TObject* Obj);
  // Calls every listener with (Sender, List, Param), the last added first;
  // a listener may subscribe or unsubscribe itself or others meanwhile, as
  // the receivers of a broadcast may.
  void Notify(TComponent* Sender, void* List, std::int32_t Param);

 private:
  std::unique_ptr<TCollection> items_;
};

// Tells every listener of List whose method runs on a component, newest
// first, that Sender goes away: Notification(Sender, opRemove). A listener
// may drop listeners while it is told. Nothing for nullptr.
void NotifyListenersOfRemoval(TComponent* Sender, TNotifierList* List);
