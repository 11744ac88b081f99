#pragma once
// Internals shared by the reporter's settings files.
#include <mutex>
#include <utility>

namespace zor {

// A process-wide function that tests may replace (a message sink, a clock).
// Callers take a copy and call it without the lock, so a slow function never
// holds up a replacement on another thread.
template <class Function>
class ReplaceableFunction {
 public:
  // Installs `f` and returns the one it replaces.
  Function Replace(Function f) {
    std::lock_guard lock(mutex_);
    std::swap(function_, f);
    return f;
  }
  Function Get() const {
    std::lock_guard lock(mutex_);
    return function_;
  }

 private:
  mutable std::mutex mutex_;
  Function function_;
};

}  // namespace zor
