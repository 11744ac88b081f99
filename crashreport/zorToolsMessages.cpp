// Per-thread message receivers and their numbered handlers.
#include "crashreport/zorToolsMessages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <algorithm>
#include <mutex>
#include <vector>

#include "crashreport/zorExceptThreads.h"

namespace zor {

namespace {

const QEvent::Type kReceiverEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

struct Entry {
  uint32_t message;
  const void* key;
  MessageHandler handler;
};

class MessageEvent : public QEvent {
 public:
  MessageEvent(uint32_t message, uintptr_t w, intptr_t l) : QEvent(kReceiverEvent), message(message), w(w), l(l) {}
  uint32_t message;
  uintptr_t w;
  intptr_t l;
};

class Receiver;

struct ReceiverList {
  std::mutex lock;
  struct Item {
    uint32_t threadId;
    Receiver* receiver;
    std::vector<Entry> handlers;
  };
  std::vector<Item> items;
  Item* Find(uint32_t threadId) {
    const auto it = std::find_if(items.begin(), items.end(), [&](const Item& i) { return i.threadId == threadId; });
    return it == items.end() ? nullptr : &*it;
  }
};

ReceiverList& List() {
  static ReceiverList* list = new ReceiverList;
  return *list;
}

intptr_t Deliver(uint32_t threadId, uint32_t message, uintptr_t w, intptr_t l) {
  std::vector<Entry> handlers;
  {
    std::lock_guard guard(List().lock);
    if (ReceiverList::Item* item = List().Find(threadId)) handlers = item->handlers;
  }
  intptr_t result = 0;
  for (const Entry& e : handlers)
    if (e.message == message) e.handler(message, w, l, result);
  return result;
}

class Receiver : public QObject {
 public:
  explicit Receiver(uint32_t threadId) : threadId_(threadId) {}
  bool event(QEvent* e) override {
    if (e->type() != kReceiverEvent) return QObject::event(e);
    const auto* m = static_cast<MessageEvent*>(e);
    Deliver(threadId_, m->message, m->w, m->l);
    return true;
  }

 private:
  uint32_t threadId_;
};

uint32_t Resolve(uint32_t threadId) { return threadId ? threadId : CurrentThreadId(); }

}  // namespace

QObject* MessageReceiver(uint32_t threadId, bool create) {
  const uint32_t id = Resolve(threadId);
  std::lock_guard guard(List().lock);
  if (ReceiverList::Item* item = List().Find(id)) return item->receiver;
  if (!create || id != CurrentThreadId()) return nullptr;
  auto* receiver = new Receiver(id);
  List().items.push_back({id, receiver, {}});
  return receiver;
}

uint32_t RegisterMessageHandler(const void* key, MessageHandler handler, uint32_t message, uint32_t threadId) {
  const uint32_t id = Resolve(threadId);
  if (!MessageReceiver(id, true)) return 0;
  std::lock_guard guard(List().lock);
  ReceiverList::Item* item = List().Find(id);
  if (!item) return 0;
  auto& handlers = item->handlers;
  const auto uses = [&](uint32_t m) {
    return std::any_of(handlers.begin(), handlers.end(), [&](const Entry& e) { return e.message == m; });
  };
  if (message == 0) {
    message = kFirstFreeMessage;
    while (uses(message)) ++message;
  } else if (std::any_of(handlers.begin(), handlers.end(),
                         [&](const Entry& e) { return e.message == message && e.key == key; })) {
    return 0;
  }
  handlers.push_back({message, key, std::move(handler)});
  return message;
}

void UnregisterMessageHandler(const void* key, uint32_t message, uint32_t threadId) {
  const uint32_t id = Resolve(threadId);
  Receiver* gone = nullptr;
  {
    std::lock_guard guard(List().lock);
    ReceiverList::Item* item = List().Find(id);
    if (!item) return;
    std::erase_if(item->handlers,
                  [&](const Entry& e) { return e.key == key && (message == 0 || e.message == message); });
    if (!item->handlers.empty()) return;
    gone = item->receiver;
    std::erase_if(List().items, [&](const ReceiverList::Item& i) { return i.threadId == id; });
  }
  // The owning thread frees it at once; another thread leaves that to the
  // owner's event loop.
  if (id == CurrentThreadId())
    delete gone;
  else
    gone->deleteLater();
}

bool PostReceiverMessage(uint32_t threadId, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  std::lock_guard guard(List().lock);
  ReceiverList::Item* item = List().Find(Resolve(threadId));
  if (!item) return false;
  QCoreApplication::postEvent(item->receiver, new MessageEvent(message, wParam, lParam));
  return true;
}

intptr_t DeliverReceiverMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return Deliver(CurrentThreadId(), message, wParam, lParam);
}

void ClearMessageReceivers() {
  std::vector<ReceiverList::Item> items;
  {
    std::lock_guard guard(List().lock);
    items.swap(List().items);
  }
  for (const ReceiverList::Item& item : items)
    if (item.threadId == CurrentThreadId())
      delete item.receiver;
    else
      item.receiver->deleteLater();
}

}  // namespace zor
