#pragma once
// The stack walker: it turns the raw stack of one thread into the list of
// calls that led to its current location, one line per call with code
// address, module, unit, line and function.
//
// Every 8-byte slot of the stack is a candidate when the bytes in front of
// its value form a call instruction; a candidate is kept when that call lies
// in a known function and the call sites tie the kept items into a chain
// between anchors (frame-pointer slots and the current location). The work
// is split in two: PrepareStackScan copies the candidates at once, while the
// stack still holds what it held at the event; WalkStack analyses the copy
// later, on the section thread.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorDisAsmFunction.h"
#include "crashreport/zorExceptContext.h"
#include "crashreport/zorNVPrgrAlert.h"

namespace zor {

// A prepared item: the on-frame flag (1 when the slot is the return slot of a
// frame-pointer frame) and the candidate address, packed as 9 bytes. The
// first element of a prepared list is a header whose address holds the count
// of the items behind it; the C++ throw trailer stores the same layout.
#pragma pack(push, 1)
struct TPreStackItem {
  uint8_t onFrame = 0;
  uint64_t address = 0;
};
#pragma pack(pop)
static_assert(sizeof(TPreStackItem) == 9);
using TDAPreStackItem = std::vector<TPreStackItem>;

// True when a call encoding ends exactly at `address`: E8 rel32 at -5, or
// FF with a ModRM of reg 2 or 3 at -2, -3, -4, -6 or -7 (REX stands in front
// of the FF, so the offsets hold in long mode). A failed read gives false.
bool FollowsCallInstruction(uintptr_t address);

// The readable mapping of /proc/self/maps that holds `address`, as
// [begin, end); {0, 0} when none does. The requesting side asks this; no
// signal handler does.
struct StackRegion {
  uintptr_t begin = 0;
  uintptr_t end = 0;
};
StackRegion StackRegionOf(uintptr_t address);

// The scan itself, without allocating, so that a signal handler can run it
// on its own thread: the return slots of the frame-pointer chain go into
// `frames` (newest first, at most `frameCapacity`), the stack between the
// 8-aligned `stackBottom` and `stackTop` is read in chunks from the top down,
// and each candidate goes to `emit`, oldest first, marked when it lies in a
// frame slot. It stops at a failed read, and on the fault thread at
// `currentLocation`.
using StackCandidateSink = void (*)(void* context, uint8_t onFrame, uintptr_t address);
void ScanStackCandidates(uintptr_t framePointer, uintptr_t stackTop, uintptr_t stackBottom, bool isFaultThread,
                         uintptr_t currentLocation, uintptr_t* frames, size_t frameCapacity, StackCandidateSink emit,
                         void* context);

// Copies the candidate return addresses of the stack between `stackBottom`
// and `stackTop` (0: the end of the mapping that holds the bottom) into
// `items` behind their header element, and answers their count (0 when the
// range is not readable). `stackBottom` 0 means the caller's stack pointer.
// The header element's address is left for the caller to set to the count.
size_t PrepareStackScan(uintptr_t framePointer, uintptr_t stackTop, uintptr_t stackBottom, TDAPreStackItem& items,
                        bool isFaultThread, uintptr_t currentLocation);

struct WalkOptions {
  bool hideUglyItems = true;           // "HideUglyItems"
  bool showRelativeAddresses = false;  // "ShowRelAddrs"
  bool showRelativeLines = false;      // "ShowRelLines"
  bool suppressTopItem = false;
  bool cppTermination = false;
  bool external = false;
  bool isFaultThread = false;
  uintptr_t framePointer = 0;
  uintptr_t creatorAddress = 0;
  uintptr_t stackTop = 0;
  uintptr_t stackBottom = 0;
  uintptr_t currentLocation = 0;
  // With a list (header first), the walk runs on it instead of a raw scan.
  const TDAPreStackItem* prepared = nullptr;
  const std::atomic<bool>* abort = nullptr;
  // Shown per mille of the thread's area: 0-25 collecting, 25-650 checking
  // the items, 650-1000 choosing the chains.
  IProgressAlert* progress = nullptr;
};

struct WalkResult {
  std::string text;
  uint32_t checksum1 = 0;  // of the newest printed line
  uint32_t checksum2 = 0;  // chained over every printed line
  bool hasLines = false;
  uintptr_t functionEntry = 0;  // for the disassembly section
  uintptr_t functionCodeAddress = 0;
  uintptr_t codeAddress = 0;              // of the newest visible item
  std::vector<std::string> minDebugInfo;  // "module|text" of the modules met
};

// Walks one stack. A failure inside a phase sets the text to the internal
// error text of that phase (for the fault thread followed by the original
// location); a set abort flag ends the walk with the text built so far.
WalkResult WalkStack(const WalkOptions& options);

// One-line description of an address: 16 hexadecimal digits, then module,
// unit, line and routine, or " ???" without debug information.
std::string LocationLine(uintptr_t address, bool showRelativeAddress, bool showRelativeLine);
// ">> internal error in " and `name`; while an exception is being handled
// on this thread (a HandledExceptionScope lives), ":", CRLF and the location
// line of its address.
std::string InternalErrorText(const std::string& name);

// Marks, for its lifetime, the exception this thread is handling and where
// it was raised. Scopes nest; an address of 0 names no location.
class HandledExceptionScope {
 public:
  explicit HandledExceptionScope(uintptr_t address);
  ~HandledExceptionScope();
  HandledExceptionScope(const HandledExceptionScope&) = delete;
  HandledExceptionScope& operator=(const HandledExceptionScope&) = delete;

 private:
  uintptr_t previous_;
};
// The address of the innermost live scope on this thread; 0 without one.
uintptr_t HandledExceptionAddress();

// A failure the reporter raises itself: it carries the address of the call
// that raised it, so that the internal-error text can name the location.
struct ReporterFailure {
  uintptr_t address = 0;
};
[[noreturn]] void RaiseReporterFailure();

// The address the reporter's signal handler starts at; the frames from it to
// the interrupted code are the system's dispatching frames and are hidden.
void SetReporterSignalHandler(uintptr_t entry);
// Whether the bytes at `address` are the signal-return trampoline
// (mov rax, 15; syscall).
bool IsSignalTrampoline(uintptr_t address);

// Empties the module and function caches (at shut-down).
void ClearStackTraceCaches();

// The "cpu registers" and "stack dump" sections of a saved context. A stack
// page that cannot be read gives the internal-error text of "GetStackDump"
// with the location of the failure.
std::string GetCpuRegisters(const TZEContext& context);
std::string GetStackDump(const TZEContext& context);

// Fills `text` with the disassembly of the function at `functionEntry`,
// marking `codeAddress`; `info` comes in empty. "FormatDisAsm" and
// "LimitDisAsm" shape the text as the hook sees fit.
using DisassemblyHook = void (*)(uintptr_t functionEntry, std::string& text, uintptr_t codeAddress,
                                 TFunctionInfo& info, bool formatDisAsm, int32_t limitDisAsm);
// Process-wide; null (the default) means reports carry no disassembly.
void SetDisassemblyHook(DisassemblyHook hook);
DisassemblyHook CurrentDisassemblyHook();
// The "disassembling" section: empty for a null entry or without a hook,
// else the hook's text. A failure in the hook gives the internal-error text
// of "GetCleartextDisAsm".
std::string GetCleartextDisAsm(uintptr_t functionEntry, uintptr_t codeAddress, bool formatDisAsm,
                               int32_t limitDisAsm);

// For tests: a phase whose name is given here fails once it is entered.
void SetFailingWalkPhase(const std::string& phase);

}  // namespace zor
