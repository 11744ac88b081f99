#pragma once
// Internals shared by the reporter's files.
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
  // Installs `f` only when none is installed; true when it did.
  bool InstallIfEmpty(Function f) {
    std::lock_guard lock(mutex_);
    if (function_) return false;
    function_ = std::move(f);
    return true;
  }
  Function Get() const {
    std::lock_guard lock(mutex_);
    return function_;
  }

 private:
  mutable std::mutex mutex_;
  Function function_;
};

// Calls Open when made and Close when gone ("do this, and undo it whatever
// happens").
template <class T, void (T::*Open)(), void (T::*Close)()>
class ScopedPair {
 public:
  explicit ScopedPair(T& t) : t_(t) { (t_.*Open)(); }
  ~ScopedPair() { (t_.*Close)(); }
  ScopedPair(const ScopedPair&) = delete;
  ScopedPair& operator=(const ScopedPair&) = delete;

 private:
  T& t_;
};

// Holds a list between BeginAccess and EndAccess.
template <class List>
class Access : public ScopedPair<List, &List::BeginAccess, &List::EndAccess> {
 public:
  explicit Access(List& list) : ScopedPair<List, &List::BeginAccess, &List::EndAccess>(list) {}
};

}  // namespace zor
