#include "components/base/MessageBroadcast.h"

#include <algorithm>
#include <vector>

#include "components/base/ReverseWalk_p.h"
#include "platform/classes/Component.h"
#include "platform/controls/Controls.h"

KESTOVA_CLASS_INFO(TMessageAnswer, TObject, "MessageBroadcast", nullptr)
KESTOVA_CLASS_INFO(TNotifierListItem, TCollectionItem, "MessageBroadcast", MakeCollectionItem<TNotifierListItem>)
KESTOVA_CLASS_INFO(TNotifierList, TObject, "MessageBroadcast", nullptr)

namespace {

// The list itself, without creating it: leaving must not bring back a list
// that shut-down freed.
TList*& AnswerList() {
  static TList* list = nullptr;
  return list;
}

bool DispatchToList(TMessageNumber Msg, std::uintptr_t WParam, std::intptr_t LParam, bool StopOnAnswer) {
  TList* list = AnswerList();
  if (!list) return true;
  TMessage message;
  message.Msg = Msg;
  message.WParam = WParam;
  message.LParam = LParam;
  bool outcome = true;
  // The list may be freed and made anew inside a handler (shut-down), so it
  // is read afresh at every step.
  WalkNewestFirst<void*>([] { return AnswerList() ? AnswerList()->Count() : 0; },
                         [](int Index) { return AnswerList()->Get(Index); },
                         [&](void* Receiver) {
                           static_cast<TObject*>(Receiver)->Dispatch(message);
                           if (StopOnAnswer && message.Result != 0) {
                             outcome = false;
                             return false;
                           }
                           return true;
                         });
  return outcome;
}

}  // namespace

TList* GetMessageAnswerList() {
  TList*& list = AnswerList();
  if (!list) list = new TList();
  return list;
}

void FreeMessageAnswerList() { FreeAndNil(AnswerList()); }

void AddMessageAnswer(TObject* Obj) {
  if (!Obj) return;
  TList* list = GetMessageAnswerList();
  list->Remove(Obj);
  list->Add(Obj);
}

void RemoveMessageAnswer(TObject* Obj) {
  if (TList* list = AnswerList()) list->Remove(Obj);
}

TMessageAnswer::TMessageAnswer() { AddMessageAnswer(this); }

TMessageAnswer::~TMessageAnswer() { RemoveMessageAnswer(this); }

bool BroadcastMessage(TObject* /*Sender*/, TMessageNumber Msg, std::uintptr_t WParam, std::intptr_t LParam) {
  DispatchToList(Msg, WParam, LParam, false);
  return true;
}

bool BroadcastCommand(TMessageNumber Msg) { return BroadcastMessage(nullptr, Msg, 0, 0); }

bool BroadcastUntilAnswered(TObject* /*Sender*/, TMessageNumber Msg, std::uintptr_t WParam, std::intptr_t LParam) {
  return DispatchToList(Msg, WParam, LParam, true);
}

void BroadcastDesignerState(bool Value) { BroadcastMessage(nullptr, ZRM_DESIGNERSTATE, Value ? 1 : 0, 0); }

void BroadcastDesignerStateOn() { BroadcastDesignerState(true); }

void BroadcastDesignerStateRestored() { BroadcastCommand(ZRM_DESIGNERSTATERESTORED); }

void BroadcastObjectsDeleted(TList* List) {
  if (List) BroadcastMessage(nullptr, ZRM_OBJECTSDELETED, 0, reinterpret_cast<std::intptr_t>(List));
}

void BroadcastObjectDeleted(TObject* Obj) {
  if (Obj) BroadcastMessage(Obj, ZRM_OBJECTSDELETED, reinterpret_cast<std::uintptr_t>(Obj), 0);
}

void CommitChildEdits(TWinControl* Form) {
  if (!Form) return;
  std::vector<TControl*> children;
  for (int i = 0; i < Form->ControlCount(); ++i) children.push_back(Form->Controls(i));
  for (TControl* child : children) {
    bool held = false;  // compared by address only: a freed child is not touched
    for (int i = 0; i < Form->ControlCount() && !held; ++i) held = Form->Controls(i) == child;
    if (held) child->Perform(ZRM_COMMITEDIT, 0, 0);
  }
}

bool FormAcceptsFrontQuery(TObject* Form) {
  if (!Form) return true;
  TMessage message;
  message.Msg = ZRM_QUERYSKIPFRONTFORM;
  Form->Dispatch(message);
  return message.Result == 0;
}

// ---- TNotifierList ----

TNotifierList::TNotifierList() : items_(std::make_unique<TCollection>(TNotifierListItem::StaticClass())) {}

TNotifierList::~TNotifierList() = default;

TNotifierListItem* TNotifierList::Item(int Index) const {
  return static_cast<TNotifierListItem*>(items_->Items(Index));
}

TNotifierListItem* TNotifierList::AddNotifier(const TNotifierMethod& Method) {
  RemoveNotifier(Method);
  auto* item = static_cast<TNotifierListItem*>(items_->Add());
  item->Method = Method;
  return item;
}

void TNotifierList::RemoveNotifier(const TNotifierMethod& Method) {
  for (int i = 0; i < Count(); ++i)
    if (Item(i)->Method == Method) {
      items_->Delete(i);
      return;
    }
}

void TNotifierList::RemoveNotifiersOf(const TObject* Obj) {
  for (int i = Count() - 1; i >= 0; --i)
    if (Item(i)->Method.DataPart() == static_cast<const void*>(Obj)) items_->Delete(i);
}

void TNotifierList::Notify(TComponent* Sender, void* List, std::int32_t Param) {
  WalkNewestFirst<TCollectionItem*>([this] { return Count(); }, [this](int Index) { return items_->Items(Index); },
                                    [&](TCollectionItem* Item) {
                                      // A copy: the listener may free its own item.
                                      const TNotifierMethod method = static_cast<TNotifierListItem*>(Item)->Method;
                                      if (method) method(Sender, List, Param);
                                      return true;
                                    });
}

void NotifyListenersOfRemoval(TComponent* Sender, TNotifierList* List) {
  if (!List) return;
  // By index, brought back within the list after every call: a listener may
  // drop listeners while it is told.
  for (int i = List->Count() - 1; i >= 0; --i) {
    if (auto* listener = dynamic_cast<TComponent*>(List->Item(i)->Method.Object()))
      listener->Notification(Sender, opRemove);
    i = std::min(i, List->Count());
  }
}
