// The report's sections: reading the threads at once, entering the
// placeholders, and computing the texts, in the background when the
// dispatch thread reports.
#include "crashreport/zorExceptSections.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "crashreport/zorExceptDispatch.h"
#include "crashreport/zorExceptHelpers.h"
#include "crashreport/zorExceptObject.h"
#include "crashreport/zorExceptReport.h"
#include "crashreport/zorExceptThreadState.h"
#include "crashreport/zorExceptThreads.h"
#include "crashreport/zorStackTrace.h"
#include "crashreport/zorStrings.h"
#include "crashreport/zorZip.h"

namespace zor {

namespace {

// One thread whose section is computed.
struct ThreadStack {
  std::string name;
  uintptr_t location = 0;
  bool isFaultThread = false, external = false, cppTermination = false;
  bool suppressTop = false;  // a debugger's call: no current location to start from
  uintptr_t stackBottom = 0, stackTop = 0;
  uintptr_t creatorAddress = 0;
  uint32_t creatorThreadId = 0;
  uintptr_t framePointer = 0;
  TDAPreStackItem prepared;  // header first; freed after the walk
  // The walk's input: the own items, or for the fault thread without any,
  // the prepared stack the exception came with.
  enum class Input { None, Own, Given } input = Input::None;
};

// What the preparation hands to the calculation.
struct SectionWork {
  std::vector<ThreadStack> threads;
  std::vector<ReportPlugin> plugins;
  bool cpuRegisters = false, stackDump = false;
  // The prepared stack the exception came with, as a list.
  TDAPreStackItem givenStack;
  // Working state of the calculation.
  int pending = 0;
  std::vector<std::string> minDebugInfo;
};

using Pair = std::pair<std::string, std::string>;

std::string Location(TIZEException& e, uintptr_t address) {
  return LocationLine(address, e.ShowRelAddrs(), e.ShowRelLines());
}

// The list a C++ throw recorded: a count, then that many 9-byte items.
TDAPreStackItem GivenStack(const void* prepared) {
  TDAPreStackItem items;
  TPreStackItem header;
  if (!prepared || !SafeRead(prepared, &header, sizeof header) || header.address == 0 || header.address > 1u << 20)
    return items;
  items.resize(size_t(header.address) + 1);
  if (!SafeRead(prepared, items.data(), items.size() * sizeof(TPreStackItem))) items.clear();
  return items;
}

void GetThreadStack(TIZEException& e, SectionWork& work, std::vector<Pair>& pairs, uint32_t threadId, bool external,
                    bool cppTermination, bool isFaultThread, uintptr_t location) {
  std::string name;
  try {
    name = ThreadDisplayName(threadId, isFaultThread).text;
  } catch (...) {
  }
  if (name.empty()) return;  // a hidden thread
  name += ":";
  std::string text;
  try {
    text = kNotAccessibleText;
    if (isFaultThread) text += ", exception location: \r\n" + Location(e, location);
    ThreadScanStart start;
    start.isFaultThread = isFaultThread;
    uintptr_t startAddress = 0;
    if (isFaultThread) {
      if (const TZEContext* context = e.ThreadContext()) {
        start.stackBottom = context->rsp;
        start.framePointer = context->rbp;
      } else {
        start.stackBottom = e.Facts().stackPointer;
        start.framePointer = e.Facts().framePointer;
        startAddress = location;
      }
      start.location = startAddress;
    }
    const TraceOrigin* origin = CurrentTraceOrigin();
    if (origin && origin->threadId != threadId) origin = nullptr;
    if (origin && !isFaultThread) {
      start.stackBottom = origin->stackBottom;
      start.framePointer = origin->framePointer;
    }
    ThreadState state = QueryThreadState(threadId, start);
    if (state.ok) {
      if (state.suspended) name += " <suspended>";
      if (state.priority != 0) name += " <priority:" + DecimalText(state.priority) + ">";
      if (!isFaultThread) startAddress = location = origin ? origin->returnAddress : state.instructionPointer;
      if (const auto window = e.ProgressWindow())
        window->AppendArea(e.PlWaitText(), int64_t(state.stackTop - state.stackBottom) * 100);
      ThreadStack record;
      record.name = name;
      record.location = location;
      record.isFaultThread = isFaultThread;
      record.external = external;
      record.cppTermination = cppTermination;
      record.suppressTop = origin && !isFaultThread && origin->debuggerCall;
      record.stackBottom = state.stackBottom;
      record.stackTop = state.stackTop;
      record.framePointer = state.framePointer;
      const ThreadDisplay display = ThreadDisplayName(threadId, false);
      record.creatorAddress = reinterpret_cast<uintptr_t>(display.creatorAddress);
      record.creatorThreadId = display.creatorThreadId;
      record.prepared = std::move(state.prepared);
      if (record.prepared.size() > 1)
        record.input = ThreadStack::Input::Own;
      else if (isFaultThread && work.givenStack.size() > 1)
        record.input = ThreadStack::Input::Given;
      work.threads.push_back(std::move(record));
      text = Location(e, location) + "\r\n" + kStackSoonText;
    }
  } catch (...) {
    text = InternalErrorText("GetThreadStack");
  }
  pairs.emplace_back(name, text);
}

bool HasClass(const void* object, const char* name) { return object && HasClassName(object, name); }

void CollectThreadStacks(TIZEException& e, SectionWork& work, std::vector<Pair>& pairs) {
  try {
    const bool listThreads = e.ListThreads();
    std::vector<uint32_t> ids;
    if (listThreads) ids = ProcessThreadIds();
    const uint32_t mainThread = static_cast<uint32_t>(getpid());
    const uint32_t faultThread = e.FaultThreadId();
    const bool snapshot = e.ReportKind() == 1;
    if (snapshot) {
      GetThreadStack(e, work, pairs, mainThread, false, false, false, 0);
    } else {
      const void* raised = e.RaisedObject();
      GetThreadStack(e, work, pairs, faultThread, HasClass(raised, "EExternal"), HasClass(raised, "BcbTermination"),
                     true, reinterpret_cast<uintptr_t>(e.FaultAddress()));
      if (faultThread != mainThread) GetThreadStack(e, work, pairs, mainThread, false, false, false, 0);
    }
    if (!listThreads) return;
    const bool tracing = TracingProcess();
    for (const uint32_t id : ids) {
      if ((id == faultThread && !snapshot) || id == mainThread) continue;
      if (!tracing && id != 0 && (id == FreezeWatchThreadId() || id == DispatchThreadId())) continue;
      GetThreadStack(e, work, pairs, id, false, false, false, 0);
    }
  } catch (...) {
  }
}

WalkResult GetThreadReport(TIZEException& e, SectionWork& work, ThreadStack& t) {
  WalkResult r;
  try {
    WalkOptions o;
    o.hideUglyItems = e.HideUglyItems();
    o.showRelativeAddresses = e.ShowRelAddrs();
    o.showRelativeLines = e.ShowRelLines();
    o.cppTermination = t.cppTermination;
    o.external = t.external;
    o.isFaultThread = t.isFaultThread;
    o.framePointer = t.framePointer;
    o.creatorAddress = t.creatorAddress;
    o.stackTop = t.stackTop;
    o.stackBottom = t.stackBottom;
    o.currentLocation = t.location;
    o.suppressTopItem = t.suppressTop;
    o.abort = &e.AbortFlag();
    // Without a prepared list the walk would scan the stack as it is now,
    // which is not the thread's any more.
    TDAPreStackItem none(1);
    o.prepared = t.input == ThreadStack::Input::Own     ? &t.prepared
                 : t.input == ThreadStack::Input::Given ? &work.givenStack
                                                        : &none;
    r = WalkStack(o);
    for (const std::string& item : r.minDebugInfo) {
      bool known = false;
      for (const std::string& have : work.minDebugInfo) known = known || EqualNoCase(have, item);
      if (!known) work.minDebugInfo.push_back(item);
    }
    if (const auto window = e.ProgressWindow()) window->FinishArea();
    t.prepared = TDAPreStackItem();
    if (t.creatorAddress != 0 && !e.AbortCalculation() && !r.text.empty() && r.text[0] != '>') {
      const size_t lastCr = r.text.rfind('\r');
      const std::string line = "\r\n>> created by " + ThreadDisplayName(t.creatorThreadId, true).text + " at:";
      r.text.insert(lastCr == std::string::npos ? r.text.size() : lastCr, line);
    }
  } catch (...) {
    r.text = InternalErrorText("GetThreadReport");
  }
  return r;
}

std::string ChecksumText(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%08x", value);
  return buffer;
}

void Complete(TIZEException& e, SectionWork& work) {
  const auto header = e.HeaderFields();
  for (const std::string& item : work.minDebugInfo) {
    const size_t bar = item.find('|');
    if (bar == std::string::npos) continue;
    header->SetValue(FileNamePart(item.substr(0, bar)) + ".zor", item.substr(bar + 1));
  }
  header->SetValue("callstack crc", ChecksumText(e.StackChecksum(0)) + ", " + ChecksumText(e.StackChecksum(1)) +
                                        ", " + ChecksumText(e.StackChecksum(2)));
  e.SetReportComplete();
}

void StoreSection(TIZEException& e, SectionWork& work, const std::string& name, const std::string& text) {
  if (e.AbortCalculation()) return;
  e.BeginChange();
  try {
    e.SectionFields()->SetValue(name, text);
    if (--work.pending == 0) Complete(e, work);
  } catch (...) {
  }
  e.EndChange();
}

void CalculateSections(TIZEException& e, SectionWork& work) {
  try {
    work.pending = int(work.threads.size()) + int(work.cpuRegisters) + int(work.stackDump) + int(work.plugins.size());
    if (work.pending == 0) {
      // Nothing to compute: the report is whole as it is.
      e.BeginChange();
      Complete(e, work);
      e.EndChange();
    }
    if (!e.AbortCalculation() && !work.threads.empty()) {
      ThreadStack& first = work.threads[0];
      const WalkResult r = GetThreadReport(e, work, first);
      e.SetStackChecksum(0, r.checksum1);
      e.SetStackChecksum(1, r.checksum2);
      e.SetStackChecksum(2, r.checksum2);
      if (r.codeAddress != 0) e.SetFaultAddress(reinterpret_cast<const void*>(r.codeAddress));
      StoreSection(e, work, first.name, r.text);
    }
    if (!e.AbortCalculation()) {
      if (const TZEContext* context = e.ThreadContext()) {
        if (work.cpuRegisters) {
          std::string text;
          try {
            text = GetCpuRegisters(*context);
          } catch (...) {
            text = InternalErrorText("GetCpuRegisters");
          }
          StoreSection(e, work, "cpu registers", text);
        }
        if (work.stackDump) StoreSection(e, work, "stack dump", GetStackDump(*context));
      }
    }
    for (const ReportPlugin& plugin : work.plugins) {
      if (e.AbortCalculation()) break;
      std::string text;
      try {
        if (plugin.text) text = plugin.text(e);
      } catch (...) {
        text = InternalErrorText("plugin");
      }
      StoreSection(e, work, plugin.name, text);
    }
    for (size_t i = 1; i < work.threads.size(); ++i) {
      if (e.AbortCalculation()) break;
      const WalkResult r = GetThreadReport(e, work, work.threads[i]);
      if (r.hasLines) {
        const uint32_t v = r.checksum2;
        const uint8_t bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        e.SetStackChecksum(2, Crc32Update(e.StackChecksum(2), bytes, sizeof bytes));
      }
      StoreSection(e, work, work.threads[i].name, r.text);
    }
  } catch (...) {
  }
  if (const auto window = e.ProgressWindow()) window->Dismiss();
  if (!e.AbortCalculation() && e.Phase() == 3) {
    e.EnterPhase(4);
    FireExceptionHandlers(e, 0, 0);
  }
}

// Best effort: without the privilege the thread keeps its priority.
void RaiseOwnPriority() {
  const uint32_t id = CurrentThreadId();
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, id);
  if (errno == 0 && nice > -20) setpriority(PRIO_PROCESS, id, nice - 1);
}

}  // namespace

void PrepareReportSections(TIZEException& e) {
  const auto fields = e.SectionFields();
  auto work = std::make_shared<SectionWork>();
  work->givenStack = GivenStack(e.Facts().preparedStack);
  std::vector<Pair> pairs;
  CollectThreadStacks(e, *work, pairs);
  const std::string plugins = e.ReadText("Plugins");
  for (size_t i = 1; i <= ItemCount(plugins, '|'); ++i) {
    try {
      const std::optional<ReportPlugin> plugin = FindReportPlugin(ItemOf(plugins, i, '|'));
      if (plugin && plugin->ownSection) {
        pairs.emplace_back(plugin->name, kSoonText);
        work->plugins.push_back(*plugin);
      }
    } catch (...) {
    }
  }
  const bool context = e.ThreadContext() != nullptr;
  work->cpuRegisters = context && e.CpuRegs();
  work->stackDump = context && e.StackDump();
  if (work->cpuRegisters) pairs.emplace_back("cpu registers", kSoonText);
  if (work->stackDump) pairs.emplace_back("stack dump", kSoonText);
  // No disassembly text producer exists, so there is no "disassembling".

  fields->BeginAccess();
  try {
    for (const auto& [name, text] : pairs) fields->SetValue(name, text);
  } catch (...) {
  }
  fields->EndAccess();

  if (DispatchThreadId() != 0 && CurrentThreadId() == DispatchThreadId() && !ProcessIsBlocked(250) &&
      e.StartSectionThread([work](TIZEException& e) {
        RaiseOwnPriority();
        CalculateSections(e, *work);
      }))
    return;
  if (e.PlWaitBox())
    if (const auto window = e.ProgressWindow()) window->Display(nullptr, true);
  CalculateSections(e, *work);
}

void InstallReportSections() { SetDefaultSectionPreparer(PrepareReportSections); }

}  // namespace zor
