#pragma once
// Making exception objects, and the process-wide facts about the reporter's
// own threads that the report's sections need.
//
// CreateExceptionObject is the one way an exception object comes into being:
// it picks the settings, records the event, gives the object its please-wait
// window and applies the class filters of the settings.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "crashreport/zorExceptContext.h"
#include "crashreport/zorExceptObject.h"
#include "crashreport/zorExceptSettingsObject.h"

namespace zor {

struct ExceptionRequest {
  uint8_t reportKind = 0;  // 0 exception, 1 frozen main thread or snapshot, 2 hidden
  const void* raisedObject = nullptr;
  const void* faultAddress = nullptr;
  bool continuable = false;
  uint32_t threadId = 0;                         // 0: the calling thread
  uintptr_t stackPointer = 0, framePointer = 0;  // 0: the calling thread's
  const TZEContext* context = nullptr;
  std::shared_ptr<IZESettings> settings;  // null: the settings of the caller
  uint8_t originKind = 0;
  const void* contextObject = nullptr;
  uint32_t packageHandle = 0;
  const void* preparedStack = nullptr;
};

std::shared_ptr<TIZEException> CreateExceptionObject(const ExceptionRequest& request);

// Whether the object or one of its base classes has one of the names of the
// comma-separated list, exactly.
bool ClassListMatches(const void* object, const std::string& list);

// The please-wait window an exception object gets: made by the window's
// module when it is there (title, module); none without. Returns the
// factory it replaces.
using ProgressWindowFactory = std::function<std::shared_ptr<IProgressAlert>(const std::string& title, ZorModule module)>;
ProgressWindowFactory SetProgressWindowFactory(ProgressWindowFactory factory);

// The handlers of a phase: called with the event (0 exception), the action
// and a handled flag; installed by the handler chain. Returns the one it
// replaces.
using ExceptionHandlers = std::function<void(IZEException& exception, uint8_t event, uint8_t action, bool& handled)>;
ExceptionHandlers SetExceptionHandlers(ExceptionHandlers handlers);
// Calls the installed handlers; false for handled when there are none.
bool FireExceptionHandlers(IZEException& exception, uint8_t event, uint8_t action);

// The reporter's own threads (0 while they do not exist).
uint32_t DispatchThreadId();
void SetDispatchThreadId(uint32_t threadId);
uint32_t FreezeWatchThreadId();
void SetFreezeWatchThreadId(uint32_t threadId);

// True while zorTraceProcess builds its report: the reporter's own threads
// are then reported as well.
bool TracingProcess();

// Where the thread that calls zorTraceProcess stood when it called: its
// section shows the caller's stack, not the reporter's frames above it. A
// return address that follows no call instruction is a debugger's call;
// the frame pointer then is whatever the interrupted code left.
struct TraceOrigin {
  uint32_t threadId = 0;
  uintptr_t stackBottom = 0, framePointer = 0, returnAddress = 0;
  bool debuggerCall = false;
};
// The origin while this thread builds a trace; null otherwise.
const TraceOrigin* CurrentTraceOrigin();

// The complete report of the whole process as the settings see it, without
// a window; empty when no report can be made.
std::string BuildProcessReport(std::shared_ptr<IZESettings> settings);

// Would show a call-stack line in a running development environment; there
// is none to send it to, so it does nothing.
void JumpToCallStackItem(const std::string& item);

}  // namespace zor

// Writes a report of the whole process into the shared memory object
// "/zorTraceProcessMap" (at most size - 1 bytes and a zero byte), or with a
// size below 1 onto the clipboard. Always 0. Exported by name, so that a
// debugger or code inside the process can call it.
extern "C" int zorTraceProcess(int size);
