#pragma once
// Threads for the section and trace tests: each blocks in a known call chain
// (OuterCall -> InnerCall -> read) until the object ends, after an optional
// setup step of its own (a name, a nice value, a blocked signal).
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <thread>

#include "crashreport/zorExceptThreadState.h"
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

// A thread that blocks the capture signal until Unblock; then it notes
// whether the signal was pending for it and unblocks it.
class SignalBlockingThread {
 public:
  SignalBlockingThread() {
    thread_ = std::thread([this] {
      sigset_t set;
      sigemptyset(&set);
      sigaddset(&set, zor::ThreadCaptureSignal());
      pthread_sigmask(SIG_BLOCK, &set, nullptr);
      id_ = zor::CurrentThreadId();
      while (!unblock_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      sigset_t pending;
      sigpending(&pending);
      pendingLeft_ = sigismember(&pending, zor::ThreadCaptureSignal()) == 1;
      // A signal still pending now meets the disposition in force.
      pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
      survived_ = true;
    });
    while (id_ == 0) std::this_thread::yield();
  }
  ~SignalBlockingThread() { Unblock(); }
  SignalBlockingThread(const SignalBlockingThread&) = delete;
  SignalBlockingThread& operator=(const SignalBlockingThread&) = delete;
  uint32_t Id() const { return id_; }
  void Unblock() {
    unblock_ = true;
    if (thread_.joinable()) thread_.join();
  }
  bool PendingLeft() const { return pendingLeft_; }
  bool Survived() const { return survived_; }

 private:
  std::atomic<bool> unblock_{false}, pendingLeft_{false}, survived_{false};
  std::atomic<uint32_t> id_{0};
  std::thread thread_;
};

}  // namespace zortest
