#pragma once
// One walk's state: its items in stack order (index 0 the outermost caller,
// the last the newest frame) and the phases that work on them.
#include <string>
#include <vector>

#include "crashreport/zorStackTrace.h"

namespace zor {

struct AbortWalk {};

struct Link {
  int function = -1;
  uintptr_t codeAddress = 0;  // the call (or, for a top item, the instruction)
  bool targetKnown = false;
  uintptr_t target = 0;
};

struct Item {
  uintptr_t address = 0;
  bool approved = false, top = false, creator = false, hidden = false;
  bool callSite = false;
  int module = -1;
  std::vector<Link> older;  // the item's own call site first
  // Results.
  uintptr_t codeAddress = 0, entry = 0;
  std::string moduleName, unitName, functionName;
  int32_t line = 0, absoluteLine = 0;
};

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

  WalkResult result;

 private:
  bool Aborted() const { return options.abort && options.abort->load(); }
  void CheckAbort() const {
    if (Aborted()) throw AbortWalk{};
  }
  void AcceptCandidate(uintptr_t address, bool force, bool forcedApproved, bool creator);
  bool FindCallSite(int function, Item& item, Link& link) const;
  void CollapseRepeats(bool full);
  // Whether a call to `target` can return through the function of `item`.
  bool CallReaches(const Link& call, const Item& item) const;

  const WalkOptions& options;
  const TDATryRead* snapshot;
  std::vector<Item> items;
  bool addedTop = false;
};

}  // namespace zor
