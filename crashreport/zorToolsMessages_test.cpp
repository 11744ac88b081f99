#include "crashreport/zorToolsMessages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "crashreport/zorExceptThreads.h"

namespace zor {
namespace {

void Ignore(uint32_t, uintptr_t, intptr_t, intptr_t&) {}

TEST(ZorMessageReceivers, FreeNumbersStartAt1024) {
  int a = 0, b = 0, c = 0;
  struct Row {
    const void* key;
    bool unregister;
    uint32_t message;
    uint32_t expected;
  };
  const Row rows[] = {
      {&a, false, 0, 1024},     // the first free number
      {&b, false, 0, 1025},     // 1024 is taken
      {&a, false, 1024, 0},     // the same registration again
      {&b, false, 1024, 1024},  // another key may share a number
      {&a, true, 0, 0},         // a goes from every number
      {&c, false, 0, 1026},     // 1024 and 1025 are still b's
  };
  for (const Row& row : rows) {
    if (row.unregister)
      UnregisterMessageHandler(row.key, row.message);
    else
      EXPECT_EQ(RegisterMessageHandler(row.key, Ignore, row.message), row.expected);
  }
  QObject* receiver = MessageReceiver(0, false);
  ASSERT_NE(receiver, nullptr);
  UnregisterMessageHandler(&b, 1024);
  EXPECT_EQ(MessageReceiver(0, false), receiver);
  UnregisterMessageHandler(&b, 0);
  UnregisterMessageHandler(&c, 0);
  EXPECT_EQ(MessageReceiver(0, false), nullptr);
  EXPECT_FALSE(PostReceiverMessage(0, 1024, 0, 0));
}

TEST(ZorMessageReceivers, MessagesAreQueuedAndHandledInOrder) {
  int a = 0, b = 0;
  std::vector<std::string> seen;
  const uint32_t m = RegisterMessageHandler(
      &a,
      [&](uint32_t, uintptr_t w, intptr_t l, intptr_t& result) {
        seen.push_back("a " + std::to_string(w) + " " + std::to_string(l));
        result = 5;
      },
      0);
  RegisterMessageHandler(
      &b,
      [&](uint32_t, uintptr_t, intptr_t, intptr_t& result) {
        seen.push_back("b");
        result += 1;
      },
      m);
  const uint32_t mainId = CurrentThreadId();
  std::thread([&] { EXPECT_TRUE(PostReceiverMessage(mainId, m, 7, -2)); }).join();
  EXPECT_TRUE(seen.empty());  // queued, not delivered on the poster's thread
  QCoreApplication::processEvents();
  EXPECT_EQ(seen, (std::vector<std::string>{"a 7 -2", "b"}));
  EXPECT_EQ(DeliverReceiverMessage(m, 1, 1), 6);
  EXPECT_EQ(DeliverReceiverMessage(m + 1, 1, 1), 0);
  UnregisterMessageHandler(&a, 0);
  UnregisterMessageHandler(&b, 0);
}

TEST(ZorMessageReceivers, EachThreadHasItsOwnReceiver) {
  int key = 0;
  std::atomic<uint32_t> worker{0};
  std::atomic<uint32_t> handledOn{0};
  std::atomic<QObject*> workerReceiver{nullptr};
  std::thread t([&] {
    QEventLoop loop;
    RegisterMessageHandler(
        &key,
        [&](uint32_t, uintptr_t, intptr_t, intptr_t&) {
          handledOn = CurrentThreadId();
          loop.quit();
        },
        0);
    workerReceiver = MessageReceiver(0, false);
    worker = CurrentThreadId();
    loop.exec();
    UnregisterMessageHandler(&key, 0);
  });
  while (!worker) std::this_thread::yield();
  EXPECT_EQ(MessageReceiver(worker, true), workerReceiver.load());
  EXPECT_EQ(MessageReceiver(0, false), nullptr);               // the main thread has none
  EXPECT_EQ(MessageReceiver(worker + 100000, true), nullptr);  // made only for the caller
  EXPECT_EQ(RegisterMessageHandler(&key, Ignore, 0, worker), 1025u);
  UnregisterMessageHandler(&key, 1025, worker);
  EXPECT_TRUE(PostReceiverMessage(worker, 1024, 0, 0));
  t.join();
  EXPECT_EQ(handledOn.load(), worker.load());
  EXPECT_EQ(MessageReceiver(worker, false), nullptr);
}

}  // namespace
}  // namespace zor
