#pragma once
// The newest-first walk shared by the message broadcast, the notifier lists
// and the registry enumeration.
//
// The items a walk visits are those the list held when it began, newest
// (last) first. A visited item may free itself or other items, add items
// or broadcast again; an item that has left the list when its turn comes is
// passed over, an item that joined meanwhile is not visited, and no item is
// visited twice. Re-clamping a running index to the current count alone
// does not give that: a receiver that drops an older one would be visited
// again.

#include <vector>

// Count() gives the list's current length, At(i) its item at i (a pointer,
// compared by address), and Visit(item) returns false to end the walk.
template <class Item, class CountFn, class AtFn, class VisitFn>
void WalkNewestFirst(const CountFn& Count, const AtFn& At, const VisitFn& Visit) {
  std::vector<Item> snapshot;
  const int count = Count();
  snapshot.reserve(count);
  for (int i = 0; i < count; ++i) snapshot.push_back(At(i));
  auto stillListed = [&](Item item) {
    for (int i = Count() - 1; i >= 0; --i)
      if (At(i) == item) return true;
    return false;
  };
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    if (!stillListed(*it)) continue;
    if (!Visit(*it)) return;
  }
}
