#pragma once
// Threads for the section and trace tests: each blocks in a known call chain
// (OuterCall -> InnerCall -> read) until the object ends, after an optional
// setup step of its own (a name, a nice value, a blocked signal).
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <thread>

#include "crashreport/zorExceptThreads.h"

namespace zortest {

struct ChainState {
  int pipe[2] = {-1, -1};
  std::atomic<uint32_t> id{0};
};

__attribute__((noinline)) inline void InnerCall(ChainState& s) {
  char byte;
  while (read(s.pipe[0], &byte, 1) < 0) {
  }
  asm volatile("");
}

__attribute__((noinline)) inline void OuterCall(ChainState& s) {
  InnerCall(s);
  asm volatile("");
}

class BlockedThread {
 public:
  explicit BlockedThread(std::function<void()> setup = {}) {
    if (::pipe(state_.pipe) != 0) return;
    thread_ = std::thread([this, setup = std::move(setup)] {
      if (setup) setup();
      state_.id = zor::CurrentThreadId();
      OuterCall(state_);
    });
    while (state_.id == 0) std::this_thread::yield();
    // Inside read() by now, most probably; the tests do not depend on it.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ~BlockedThread() {
    if (state_.pipe[1] >= 0) {
      close(state_.pipe[1]);
      thread_.join();
      close(state_.pipe[0]);
    }
  }
  BlockedThread(const BlockedThread&) = delete;
  BlockedThread& operator=(const BlockedThread&) = delete;
  uint32_t Id() const { return state_.id; }

 private:
  ChainState state_;
  std::thread thread_;
};

}  // namespace zortest
