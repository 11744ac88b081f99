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

bool Walker::FindCallSite(int function, Item& item, Link& link) const {
  if (function < 0) return false;
  const CachedFunction& f = FunctionAt(function);
  if (f.rejected) return false;
  link = Link{function};
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

void Walker::AcceptCandidate(uintptr_t address, bool force, bool forcedApproved, bool creator) {
  CheckAbort();
  Item item;
  item.address = address;
  item.creator = creator;
  item.top = force || creator || (options.isFaultThread && address == options.currentLocation);
  const uintptr_t probe = item.top ? address : address - 1;
  if (address <= 7) return;
  const bool readable = IsReadableAddress(*snapshot, probe);
  if (readable && (item.top || FollowsCallInstruction(address))) {
    item.module = ModuleIndexOf(probe);
    Link link;
    bool found = false;
    if (item.module >= 0) {
      const CachedModule& m = ModuleAt(item.module);
      const bool inCode = probe >= m.codeBegin && probe <= m.codeEnd;
      const bool inData = probe >= m.dataBegin && probe <= m.dataEnd;
      if (!inCode && !inData && !item.top && !forcedApproved) return;
      if (inCode && m.debug) {
        const TMfPublic& p = m.debug->PublicAt(probe);
        if (p.valid) found = FindCallSite(CacheFunction(p.address, p.name, item.module, true), item, link);
      } else if (inCode && !m.executable) {
        uintptr_t symbol = 0;
        const std::string name = ExportNameAt(probe, &symbol);
        if (!name.empty()) found = FindCallSite(CacheFunction(symbol, name, item.module, true), item, link);
      }
    }
    if (!found && item.top && (!options.isFaultThread || options.external || creator)) {
      uint8_t byte = 0;
      link = Link{};
      link.codeAddress = address;
      if (!SafeRead(reinterpret_cast<const void*>(address), &byte, 1))
        link.function = CacheFunction(address, {}, item.module, true, true);
      found = true;
    }
    if (found) {
      item.older.push_back(link);
      item.callSite = true;
    }
  } else if (!item.top && !forcedApproved) {
    return;
  }
  if (!item.top && !item.callSite && !forcedApproved) return;
  item.approved = item.top || forcedApproved;
  if (creator) item.top = false;
  items.push_back(std::move(item));
}

void Walker::Phase(const char* name, void (Walker::*step)()) {
  if (Aborted()) throw AbortWalk{};
  try {
    if (FailingPhase() == name) throw std::runtime_error("injected");
    (this->*step)();
  } catch (const AbortWalk&) {
    throw;
  } catch (...) {
    result.text = InternalErrorText(name);
    if (options.isFaultThread)
      result.text += "\r\n>> original exception location: \r\n" +
                     LocationLine(options.currentLocation, options.showRelativeAddresses, options.showRelativeLines);
    throw AbortWalk{};
  }
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
  bool topAdded = false;
  for (size_t i = 1; i < list->size() && !topAdded; ++i) {
    const TPreStackItem entry = (*list)[i];
    AcceptCandidate(entry.address, false, entry.onFrame != 0, false);
    topAdded = !items.empty() && items.back().top;
  }
  const bool hasTop = std::any_of(items.begin(), items.end(), [](const Item& it) { return it.top; });
  if (!options.suppressTopItem && !hasTop && options.currentLocation != 0) {
    AcceptCandidate(options.currentLocation, true, true, false);
    addedTop = true;
  }
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
  } catch (const AbortWalk&) {
  }
  FreeReadableRegions(snapshot);
  return walker.result;
}

void SetFailingWalkPhase(const std::string& phase) { FailingPhase() = phase; }

}  // namespace zor
