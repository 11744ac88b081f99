// The walk's middle phases: the links from each call to the items it can
// return through, the best-scoring chain between two anchors, and repeats.
#include <algorithm>

#include "crashreport/zorStackTrace.h"
#include "crashreport/zorStackTraceWalk_p.h"
#include "crashreport/zorStackTrace_p.h"

namespace zor {
using namespace stacktrace;

void Walker::DeepChecks() {
  const size_t first = options.creatorAddress != 0 ? 1 : 0;
  const size_t count = items.size();
  for (size_t k = first; k < count; ++k) {
    CheckAbort();
    if (!items[k].hidden) DeepCheckItem(int(k));
    Progress(25 + int(625 * (k + 1) / count));
  }
  Progress(650);
}

void Walker::DeepCheckItem(int index) {
  Item& item = items[size_t(index)];
  auto approvedLink = [&] {
    const std::vector<Link>& older = item.Older();
    for (size_t i = 0; i < older.size(); ++i)
      if (Usable(older[i].function)) return int(i);
    return -1;
  };
  int b = approvedLink();
  if (b < 0) {
    // A known function whose code holds the address must have its call
    // site there; an address inside it anywhere else is stale.
    for (size_t f = 0; f < FunctionCount(); ++f) {
      const int function = int(f);
      if (!Usable(function)) continue;
      const std::vector<TZECodeArea>& areas = FunctionAt(function).info.codeAreas;
      if (std::none_of(areas.begin(), areas.end(), [&](const TZECodeArea& a) {
            return !a.caseTable && a.begin < item.address && item.address <= a.end + 1;
          }))
        continue;
      Link link;
      if (!FindCallSite(function, item, link)) {
        item.hidden = true;
        return;
      }
      item.Older().push_back(link);
      b = int(item.Older().size() - 1);
      break;
    }
  }
  if (b >= 0) {
    const Link chosen = item.Older()[size_t(b)];
    for (const Link& link : item.Older())
      if (Usable(link.function) && link.codeAddress != chosen.codeAddress) rejected.insert(link.function);
    LinkCallees(chosen.targetKnown, chosen.codeAddress, chosen.target, true, index);
    return;
  }
  // No function at all: a call that ends right at the address, found by
  // decoding the bytes in front of it at every start.
  uintptr_t base = 0;
  for (const TDATryReadRecord& r : snapshot->records)
    if (r.start <= item.address - 1 && item.address - 1 < r.end) base = r.start;
  for (uintptr_t at = std::max(item.address - 7, base); at <= item.address - 2; ++at) {
    CheckAbort();
    const TZECodeInfo code = DecodeInstruction(reinterpret_cast<const void*>(at), snapshot);
    if (code.valid && code.call && code.next == item.address)
      LinkCallees(code.target != 0, at, code.target, false, index);
  }
}

void Walker::LinkCallees(bool targetKnown, uintptr_t callAddress, uintptr_t target, bool approve, int caller) {
  int function = -1;
  if (targetKnown) {
    target = ResolvedTarget(target);
    function = CacheFunction(target, {}, -1, approve);
    // A callee that calls, or jumps on, through registers may be where the
    // newer items return into from routines no link names.
    if (LeavesThroughUnknownTarget(function, approve, 3)) LinkCallees(false, callAddress, 0, approve, caller);
  } else {
    const std::vector<Link>& newer = items[size_t(caller)].Newer();
    if (std::any_of(newer.begin(), newer.end(), [](const Link& l) { return l.function < 0; })) return;
  }
  for (size_t j = size_t(caller) + 1; j < items.size(); ++j) {
    CheckAbort();
    Item& item = items[j];
    if (item.hidden) continue;
    Link found;
    const bool qualifies = !targetKnown || FindCallSiteBehindJumps(function, item, found, approve, 3);
    bool competing = false;
    if (qualifies && !approve)
      for (const Link& l : item.Older())
        competing = competing || (Usable(l.function) && l.codeAddress != found.codeAddress);
    if (qualifies && !competing) {
      found.other = caller;
      item.Older().push_back(found);
      Link call;
      call.other = int(j);
      call.codeAddress = callAddress;
      call.targetKnown = targetKnown;
      call.target = target;
      call.function = function;
      items[size_t(caller)].Newer().push_back(call);
    }
    if (item.approved) break;
  }
}

bool Walker::FindCallSiteBehindJumps(int function, const Item& item, Link& link, bool approve, int hops) {
  if (FindCallSite(function, item, link)) return true;
  if (function < 0 || hops == 0 || rejected.contains(function)) return false;
  const std::vector<TZEFarCall> jumps = FunctionAt(function).info.farCalls;  // the cache may grow below
  for (const TZEFarCall& far : jumps) {
    if (far.call || far.target == 0) continue;
    const int reached = CacheFunction(ResolvedTarget(far.target), {}, -1, approve);
    if (reached >= 0 && reached != function && FindCallSiteBehindJumps(reached, item, link, approve, hops - 1))
      return true;
  }
  return false;
}

bool Walker::LeavesThroughUnknownTarget(int function, bool approve, int hops) {
  if (function < 0) return false;
  const TFunctionInfo info = FunctionAt(function).info;  // the cache may grow below
  if (!info.unknownTargets.empty()) return true;
  if (hops == 0) return false;
  for (const TZEFarCall& far : info.farCalls) {
    if (far.call || far.target == 0) continue;
    const int reached = CacheFunction(ResolvedTarget(far.target), {}, -1, approve);
    if (reached >= 0 && reached != function && LeavesThroughUnknownTarget(reached, approve, hops - 1)) return true;
  }
  return false;
}

bool Walker::ReturnHasLine(Item& item) {
  if (item.hasLine < 0) {
    item.hasLine = 0;
    if (item.module >= 0 && ModuleAt(item.module).debug) {
      uintptr_t next = 0;
      item.hasLine = ModuleAt(item.module).debug->LineAt(item.top ? item.address : item.address - 1, next) > 0;
    }
  }
  return item.hasLine > 0;
}

uint64_t Walker::ScoreChain(bool directlyConnected, int first, int last) {
  if (Aborted()) return kDeadEnd;
  const bool upwards = last > first;
  LinkList& list = items[size_t(first)].lists[upwards ? kTowardsNewer : kTowardsOlder];
  uint64_t best = kDeadEnd;
  list.best = -1;
  for (size_t i = 0; i < list.links.size(); ++i) {
    const int other = list.links[i].other;
    // Links beyond the other anchor or into hidden items lead nowhere.
    if (other < 0 || items[size_t(other)].hidden || (upwards ? other > last : other < last)) continue;
    if (list.links[i].score == 0) {
      const int function = list.links[i].function;
      const bool known = function >= 0;
      uint64_t score = other == last ? (known ? kReachedKnown : kReachedUnknown)
                                     : ScoreChain(directlyConnected && known, other, last);
      int bit = 0;
      if (!known) {
        score &= ~kKnownBit;
      } else {
        bit = directlyConnected || (score & kKnownBit) ? 28 : 14;
        if (Usable(function)) bit += 14;
        Item& from = items[size_t(first)];
        Item& to = items[size_t(other)];
        if (from.module >= 0 && to.module >= 0 && ModuleAt(from.module).debug)
          bit += !ReturnHasLine(from) ? 3 : ReturnHasLine(to) ? 9 : 6;
      }
      list.links[i].score = score + (uint64_t{1} << bit);
    }
    if (list.links[i].score > best) {
      best = list.links[i].score;
      list.best = int(i);
    }
  }
  return best;
}

void Walker::ChooseChain(int lo, int hi) {
  if (hi - lo < 2) return;
  const uint64_t up = lo < 0 ? 0 : ScoreChain(true, lo, hi);
  const uint64_t down = up & kReachedBit ? 0 : ScoreChain(true, hi, lo);
  for (int k = lo + 1; k < hi; ++k) items[size_t(k)].hidden = true;
  const bool upwards = up > down;
  for (int k = upwards ? lo : hi;;) {
    const LinkList& list = items[size_t(k)].lists[upwards ? kTowardsNewer : kTowardsOlder];
    if (list.best < 0) break;
    k = list.links[size_t(list.best)].other;
    if (k <= lo || k >= hi) break;
    items[size_t(k)].hidden = false;
  }
}

void Walker::ChooseChains() {
  if (items.empty()) return;
  const int newest = int(items.size() - 1);
  int c = newest;
  for (int i = newest - 1; i >= 0; --i) {
    CheckAbort();
    if (items[size_t(i)].approved && !items[size_t(i)].hidden) {
      ChooseChain(i, c);
      c = i;
    }
    Progress(650 + 350 * (newest - i) / std::max(newest, 1));
  }
  ChooseChain(-1, c);
  Progress(1000);
}

void Walker::HideItem(int index) {
  Item& item = items[size_t(index)];
  item.hidden = true;
  for (LinkList& list : item.lists) {
    list.links.clear();
    list.best = -1;
  }
  for (Item& other : items)
    for (LinkList& list : other.lists)
      std::erase_if(list.links, [&](const Link& l) { return l.other == index; });
}

void Walker::CollapseRepeats(bool full) {
  for (bool removed = true; removed;) {
    CheckAbort();
    removed = false;
    std::vector<size_t> visible;
    for (size_t i = 0; i < items.size(); ++i)
      if (!items[i].hidden) visible.push_back(i);
    for (size_t v = visible.size(); v-- > 1 && !removed;) {
      for (size_t u = v; u-- > 0;) {
        if (items[visible[u]].address != items[visible[v]].address) continue;
        const size_t j = v - u - 1;
        bool equal = u >= j;
        for (size_t t = 1; equal && t <= j; ++t) equal = items[visible[u - t]].address == items[visible[v - t]].address;
        if (equal) {
          for (size_t t = v - j; t <= v; ++t) {
            items[visible[t]].approved = false;
            if (full)
              HideItem(int(visible[t]));
            else
              items[visible[t]].hidden = true;
          }
          removed = true;
        }
        break;
      }
    }
  }
}

}  // namespace zor
