// The walk's phases: collect the candidates, find their call sites, keep
// the chain between anchors, drop repeats, fill and compose the lines.
#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "crashreport/zorStackTrace.h"
#include "crashreport/zorStackTraceWalk_p.h"
#include "crashreport/zorStackTrace_p.h"

namespace zor {
using namespace stacktrace;

namespace {

std::string& FailingPhase() {
  static std::string phase;
  return phase;
}

bool ContainsIgnoringCase(const std::string& text, const char* part) {
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char ch) { return std::tolower(ch); });
  return lower.find(part) != std::string::npos;
}

// A call whose target is the C++ runtime's throw, or a routine named after
// an error, raises: its own line is where the raise happened.
bool RaisesAt(uintptr_t target) {
  const std::string name = ExportNameAt(ResolvedTarget(target));
  return name.find("__cxa_throw") != std::string::npos || name.find("__cxa_rethrow") != std::string::npos ||
         ContainsIgnoringCase(name, "error");
}

}  // namespace

bool Walker::Usable(int function) const {
  return function >= 0 && FunctionAt(function).approved && !rejected.contains(function);
}

bool Walker::FindCallSite(int function, const Item& item, Link& link) const {
  if (function < 0 || rejected.contains(function)) return false;
  const CachedFunction& f = FunctionAt(function);
  link = Link{};
  link.function = function;
  if (!item.top) {
    for (const TZEUnknownTarget& u : f.info.unknownTargets)
      if (u.call && u.next == item.address) return link.codeAddress = u.address, true;
    for (const TZEFarCall& far : f.info.farCalls)
      if (far.call && far.next == item.address) {
        link.codeAddress = far.address;
        link.target = far.target;
        link.targetKnown = far.target != 0;
        return true;
      }
    return false;
  }
  if (f.info.codeLength == 0) return f.info.entryPoint == item.address && (link.codeAddress = item.address, true);
  if (!options.external)
    for (const TZEFarCall& far : f.info.farCalls)
      if (far.call && far.next == item.address && RaisesAt(far.target)) return link.codeAddress = far.address, true;
  // The instruction at the location must be one the analysis reaches.
  for (const TZECodeArea& area : f.info.codeAreas) {
    if (area.caseTable || item.address < area.begin || item.address > area.end) continue;
    for (uintptr_t at = area.begin; at <= item.address && at <= area.end;) {
      if (at == item.address) return link.codeAddress = at, true;
      const TZECodeInfo code = DecodeInstruction(reinterpret_cast<const void*>(at), snapshot);
      if (!code.valid || code.next <= at) break;
      at = code.next;
    }
  }
  return false;
}

bool Walker::FindCallSiteInLabels(int function, const std::string& name, uintptr_t symbol, const Item& item,
                                  Link& link) {
  if (function < 0) return false;
  const CachedFunction& f = FunctionAt(function);
  const TFunctionInfo info = f.info;  // the cache may grow below
  const int module = f.module;
  for (const TZEFarCall& far : info.farCalls) {
    const uintptr_t target = far.target;
    if (target <= info.entryPoint) continue;
    bool inside = target >= info.codeBegin && target < info.codeBegin + info.codeLength;
    if (!inside && module >= 0 && ModuleAt(module).debug) {
      const TMfPublic& p = ModuleAt(module).debug->PublicAt(target);
      inside = p.valid && p.address == symbol;
    }
    if (inside && FindCallSite(CacheFunction(target, name + ".@label", module, true), item, link)) return true;
  }
  return false;
}

void Walker::AcceptCandidate(uintptr_t address, bool force, bool forcedApproved, bool creator) {
  CheckAbort();
  if (address <= 7) return;
  Item item;
  item.address = address;
  item.creator = creator;
  const bool top = force || creator || (options.isFaultThread && address == options.currentLocation);
  item.top = top;
  const uintptr_t probe = top ? address : address - 1;
  bool accepted = IsReadableAddress(*snapshot, probe) && (top || FollowsCallInstruction(address));
  bool inCode = false;
  if (accepted) {
    item.module = ModuleIndexOf(probe);
    if (item.module >= 0) {
      const CachedModule& m = ModuleAt(item.module);
      inCode = probe >= m.codeBegin && probe <= m.codeEnd;
      accepted = inCode || (probe >= m.dataBegin && probe <= m.dataEnd);
    }
  }
  Link own;
  bool found = false;
  if (accepted && inCode) {
    const CachedModule& m = ModuleAt(item.module);
    if (m.debug) {
      const TMfPublic p = m.debug->PublicAt(probe);
      if (p.valid) {
        const int function = CacheFunction(p.address, p.name, item.module, true);
        found = FindCallSite(function, item, own) || FindCallSiteInLabels(function, p.name, p.address, item, own);
      }
    } else if (!m.executable) {
      // Without debug information the nearest export names the routine,
      // when its code really holds the address.
      uintptr_t symbol = 0;
      const std::string name = ExportNameAt(probe, &symbol);
      const int function = name.empty() ? -1 : CacheFunction(symbol, name, item.module, true);
      if (function >= 0)
        for (const TZECodeArea& area : FunctionAt(function).info.codeAreas)
          if (!area.caseTable && probe >= area.begin && probe <= area.end) {
            found = FindCallSite(function, item, own);
            break;
          }
    }
  }
  if (!found && top) {
    own = Link{};
    own.codeAddress = address;
    uint8_t byte = 0;
    if (!options.isFaultThread || options.external || creator) {
      found = true;
    } else if (!SafeRead(reinterpret_cast<const void*>(address), &byte, 1)) {
      // A jump into nowhere: the location is a routine of no bytes.
      own.function = CacheFunction(address, {}, item.module, true, true);
      found = true;
    }
  }
  if (!top && !(accepted && found) && !forcedApproved) return;
  if (found) {
    own.other = -1;
    item.Older().push_back(own);
  }
  item.approved = top || forcedApproved;
  if (creator) item.top = false;
  items.push_back(std::move(item));
}

void Walker::Phase(const char* name, void (Walker::*step)()) {
  if (Aborted()) throw AbortWalk{};
  uintptr_t failure = 0;
  try {
    if (FailingPhase() == name) RaiseReporterFailure();
    (this->*step)();
    return;
  } catch (const AbortWalk&) {
    throw;
  } catch (const ReporterFailure& f) {
    failure = f.address;
  } catch (...) {
  }
  const HandledExceptionScope handled(failure);
  result.text = InternalErrorText(name);
  if (options.isFaultThread)
    result.text += "\r\n>> original exception location: \r\n" +
                   LocationLine(options.currentLocation, options.showRelativeAddresses, options.showRelativeLines);
  throw AbortWalk{};
}

void Walker::Collect() {
  if (options.creatorAddress != 0) AcceptCandidate(options.creatorAddress, true, true, true);
  TDAPreStackItem scanned;
  const TDAPreStackItem* list = options.prepared;
  if (list == nullptr) {
    PrepareStackScan(options.framePointer, options.stackTop, options.stackBottom, scanned, options.isFaultThread,
                     options.currentLocation);
    list = &scanned;
  }
  Progress(0);
  bool topAdded = false;
  const size_t count = list->size();
  for (size_t i = 1; i < count && !topAdded; ++i) {
    const TPreStackItem entry = (*list)[i];
    AcceptCandidate(entry.address, false, entry.onFrame != 0, false);
    topAdded = !items.empty() && items.back().top;
    if (i % 64 == 0) Progress(int(25 * i / count));
  }
  const bool hasTop = std::any_of(items.begin(), items.end(), [](const Item& it) { return it.top; });
  if (!options.suppressTopItem && !hasTop && options.currentLocation != 0) {
    AcceptCandidate(options.currentLocation, true, true, false);
    addedTop = true;
  }
  Progress(25);
}

WalkResult WalkStack(const WalkOptions& given) {
  WalkOptions options = given;
  if (options.currentLocation == 0 && !options.isFaultThread)
    options.currentLocation = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  if (options.stackBottom == 0 && options.prepared == nullptr)
    options.stackBottom = reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) + 16;
  if (options.framePointer == 0 && options.prepared == nullptr && !options.isFaultThread) {
    // The caller's frame: the frame pointer saved in this one.
    uint64_t saved = 0;
    if (SafeRead(__builtin_frame_address(0), &saved, sizeof saved)) options.framePointer = saved;
  }
  std::lock_guard lock(CacheLock());
  TDATryRead snapshot = SnapshotReadableRegions();
  Walker walker(options, &snapshot);
  try {
    walker.Phase("CollectPossibleStackItems", &Walker::Collect);
    walker.Phase("RemoveRecursiveStackAreas", &Walker::CollapseFull);
    walker.Phase("InDeepChecks", &Walker::DeepChecks);
    walker.Phase("RealizeOptimalLinkChains", &Walker::ChooseChains);
    walker.Phase("RemoveRecursiveAreas", &Walker::CollapseMarking);
    walker.Phase("FillFinalOutput", &Walker::FillFinalOutput);
    walker.Phase("ComposeResult", &Walker::Compose);
    walker.Dump("composed");
  } catch (const AbortWalk&) {
  }
  FreeReadableRegions(snapshot);
  return walker.result;
}

void SetFailingWalkPhase(const std::string& phase) { FailingPhase() = phase; }

}  // namespace zor
