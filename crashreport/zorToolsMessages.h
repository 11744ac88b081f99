#pragma once
// Message receivers: one hidden QObject per thread that holds numbered
// message handlers. A message posted to a thread's receiver is delivered on
// that thread by its event loop (queued), to every handler registered for
// its number, in order of registration; handlers may change the result.
//
// Handlers are told apart by their key (the object or routine they belong
// to); a receiver lives while it has handlers.
#include <cstdint>
#include <functional>

class QObject;

namespace zor {

using MessageHandler = std::function<void(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result)>;

// The first number handed out when a handler asks for a free one.
inline constexpr uint32_t kFirstFreeMessage = 1024;

// The receiver of the thread (0: the calling thread); one is created only
// for the calling thread; nullptr otherwise.
QObject* MessageReceiver(uint32_t threadId, bool create);
// Registers `handler` under `key` for `message` on the thread's receiver;
// message 0 takes the first number from 1024 up that no handler of that
// receiver uses. Returns the number, or 0 when the thread has no receiver or
// the key is registered for that number already.
uint32_t RegisterMessageHandler(const void* key, MessageHandler handler, uint32_t message, uint32_t threadId = 0);
// Removes the key's handlers for `message` (every message when 0); a
// receiver left without handlers goes.
void UnregisterMessageHandler(const void* key, uint32_t message, uint32_t threadId = 0);
// Queues the message for the thread's receiver; false when it has none.
bool PostReceiverMessage(uint32_t threadId, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Delivers the message to the receiver's handlers now, on the calling thread
// (which must own the receiver); the result they leave.
intptr_t DeliverReceiverMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
// Frees every receiver of the calling thread and forgets the others.
void ClearMessageReceivers();

}  // namespace zor
