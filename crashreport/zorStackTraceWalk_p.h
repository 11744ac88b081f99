#pragma once
// One walk's state: its items in stack order (index 0 the outermost caller,
// the last the newest frame), the links between them and the phases that
// work on them.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "crashreport/zorStackTrace.h"

namespace zor {

struct AbortWalk {};

// A call from one item's function into another item's function. In the list
// towards older items the function is the item's own (the one the call
// returns into) and `codeAddress` its call site; in the list towards newer
// items the function is the call's target and `codeAddress` the call.
struct Link {
  int other = -1;             // the linked item; -1 for the item's own call site
  uintptr_t codeAddress = 0;  // the call (or, for a top item, the instruction)
  bool targetKnown = false;
  uintptr_t target = 0;
  int function = -1;  // index into the function cache; -1 unknown
  uint64_t score = 0;  // 0 until computed
};

enum LinkDirection { kTowardsNewer = 0, kTowardsOlder = 1 };

struct LinkList {
  std::vector<Link> links;
  int best = -1;  // index into links, -1 none
};

struct Item {
  uintptr_t address = 0;
  bool approved = false;  // an anchor: top item, frame slot, forced
  bool top = false, creator = false, hidden = false;
  int module = -1;
  LinkList lists[2];  // indexed by LinkDirection
  int8_t hasLine = -1;  // whether the return address has a line; -1 not yet looked up
  // Results.
  uintptr_t codeAddress = 0, entry = 0;
  std::string moduleName, unitName, functionName;
  int32_t line = 0, absoluteLine = 0;

  std::vector<Link>& Older() { return lists[kTowardsOlder].links; }
  std::vector<Link>& Newer() { return lists[kTowardsNewer].links; }
};

// Score values of a chain: bit 62 marks a chain that reaches its other
// anchor, bit 61 one that reaches it through known functions only; a chain
// that ends before scores kDeadEnd plus its bonus bits.
inline constexpr uint64_t kReachedKnown = 0x7000000000000000;
inline constexpr uint64_t kReachedUnknown = 0x5000000000000000;
inline constexpr uint64_t kReachedBit = 0x4000000000000000;
inline constexpr uint64_t kKnownBit = 0x2000000000000000;
inline constexpr uint64_t kDeadEnd = 0x1000000000000000;

class Walker {
 public:
  Walker(const WalkOptions& o, const TDATryRead* s) : options(o), snapshot(s) {}

  void Phase(const char* name, void (Walker::*step)());
  void Collect();
  void CollapseFull() { CollapseRepeats(true); }
  void DeepChecks();
  void ChooseChains();
  void CollapseMarking() { CollapseRepeats(false); }
  void FillFinalOutput();
  void Compose();
  // Appends the items and links to the file KESTOVA_STACKWALK_DUMP names.
  void Dump(const char* stage) const;

  // The chain between two anchors; open for tests that build items by hand.
  uint64_t ScoreChain(bool directlyConnected, int first, int last);
  void ChooseChain(int lo, int hi);
  void DeepCheckItem(int index);
  void LinkCallees(bool targetKnown, uintptr_t callAddress, uintptr_t target, bool approve, int caller);
  bool FindCallSite(int function, const Item& item, Link& link) const;
  // FindCallSite in the function, else in the routines its jumps out of it
  // reach (a tail call leaves no frame of its own), at most `hops` deep.
  bool FindCallSiteBehindJumps(int function, const Item& item, Link& link, bool approve, int hops);
  // Whether the function, or a routine its jumps reach (at most `hops`
  // deep), calls or jumps through a register or memory.
  bool LeavesThroughUnknownTarget(int function, bool approve, int hops);

  std::vector<Item> items;
  WalkResult result;

 private:
  bool Aborted() const { return options.abort && options.abort->load(); }
  void CheckAbort() const {
    if (Aborted()) throw AbortWalk{};
  }
  void Progress(int perMille) const {
    if (options.progress) options.progress->SetProgressPosition(perMille);
  }
  void AcceptCandidate(uintptr_t address, bool force, bool forcedApproved, bool creator);
  // The call site of `item` in the code blocks that the function's calls
  // into its own symbol start (named like the function with ".@label").
  bool FindCallSiteInLabels(int function, const std::string& name, uintptr_t symbol, const Item& item,
                            Link& link);
  bool Usable(int function) const;  // approved and not rejected by this walk
  void CollapseRepeats(bool full);
  void HideItem(int index);
  bool ReturnHasLine(Item& item);

  const WalkOptions& options;
  const TDATryRead* snapshot;
  bool addedTop = false;
  // Functions proven wrong for this stack. Kept per walk: the same function
  // may well be right on the next stack.
  std::set<int> rejected;
};

}  // namespace zor
