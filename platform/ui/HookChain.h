#pragma once
// A chain of hooks of one channel: newest first, each run through the
// application's error display. A hook may add or remove hooks while the chain
// is walked: the walk visits the hooks there when it began and passes over
// those removed meanwhile (an equal hook added again meanwhile is a new one
// and is not visited). GUI thread only.

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/ui/Application.h"

template <class Hook>
class THookChain {
 public:
  // Adds Hook at the front; false when an equal hook (code and data) is there.
  bool Add(const Hook& H) {
    for (const auto& hook : hooks_)
      if (*hook == H) return false;
    hooks_.push_back(std::make_shared<const Hook>(H));
    return true;
  }
  // Removes the hook equal to H; false when there is none.
  bool Remove(const Hook& H) {
    const auto it = std::find_if(hooks_.begin(), hooks_.end(), [&](const auto& hook) { return *hook == H; });
    if (it == hooks_.end()) return false;
    hooks_.erase(it);
    return true;
  }
  bool Empty() const { return hooks_.empty(); }

  // Calls Call(hook) for each hook, newest first, each through RunGuarded.
  // Call answers true to stop the walk (a hook that swallowed the event); a
  // hook that raised does not stop it. Answers true when stopped.
  template <class F>
  bool Walk(F&& Call) const {
    const auto snapshot = hooks_;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
      if (std::find(hooks_.begin(), hooks_.end(), *it) == hooks_.end()) continue;
      bool stop = false;
      RunGuarded([&] { stop = Call(**it); });
      if (stop) return true;
    }
    return false;
  }

 private:
  // Oldest first; shared_ptr identity tells a listed hook from an equal one
  // added again.
  std::vector<std::shared_ptr<const Hook>> hooks_;
};
