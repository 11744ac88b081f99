// Making exception objects, and the exported report of the whole process.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorExceptDispatch.h"
#include "crashreport/zorExceptHelpers.h"
#include "crashreport/zorExceptSections.h"
#include "crashreport/zorExceptSystem.h"
#include "crashreport/zorExceptThreads.h"
#include "crashreport/zorStackTrace.h"
#include "crashreport/zorExcept_p.h"
#include "crashreport/zorStrings.h"

namespace zor {

namespace {

std::atomic<uint32_t> gDispatchThread{0}, gFreezeWatchThread{0};
std::atomic<bool> gTracing{false};
thread_local const TraceOrigin* gOrigin = nullptr;

ReplaceableFunction<ProgressWindowFactory>& WindowFactory() {
  static ReplaceableFunction<ProgressWindowFactory> factory;
  return factory;
}

ReplaceableFunction<ExceptionHandlers>& Handlers() {
  static ReplaceableFunction<ExceptionHandlers> handlers;
  return handlers;
}

// The settings object behind an interface, shared.
std::shared_ptr<TIZESettings> SettingsObjectOf(const std::shared_ptr<IZESettings>& settings) {
  auto* access = dynamic_cast<IZEPropertyAccess*>(settings.get());
  if (!access || !access->SettingsObject()) return nullptr;
  try {
    return access->SettingsObject()->shared_from_this();
  } catch (const std::bad_weak_ptr&) {
    return nullptr;
  }
}

// The class filters: the first set whose class list names the raised
// object's class, else the general one.
void ApplyExceptionFilter(TIZEException& e) {
  const void* object = e.RaisedObject();
  const char* prefix = "Gn";
  if (ClassListMatches(object, e.F1Classes()))
    prefix = "F1";
  else if (ClassListMatches(object, e.F2Classes()))
    prefix = "F2";
  const auto key = [prefix](const char* name) { return std::string(prefix) + name; };
  e.SetWantReport(!e.ReadBool(key("NoBugRep")));
  e.SetWantScreenPicture(!e.ReadBool(key("NoScrShot")) && e.ScrShotDepth() > 0);
  e.SetPauseThreads(!e.ReadBool(key("NoSuspend")) && e.PauseThreads());
  e.SetRunHandlers(!e.ReadBool(key("NoHandlers")));
  e.SetShowCfg(static_cast<uint8_t>(e.ReadDword(key("ShowCfg"))));
  e.SetAssistantName(e.ReadText(key("Assis")));
}

// Names the reporter's own threads so that a trace shows them; "-" hides
// them again.
void NameReporterThreads(bool tracing) {
  if (const uint32_t id = FreezeWatchThreadId()) SetThreadName(id, tracing ? "AntiFreezeThread" : "-");
  if (const uint32_t id = DispatchThreadId()) SetThreadName(id, tracing ? "HandleExceptionThread" : "-");
}

// Copies at most size - 1 bytes of the report and a zero byte to the start
// of the requester's shared memory object; nothing when there is none. An
// object smaller than the size it was announced with is written only as
// far as it reaches.
void WriteToTraceMap(const std::string& report, int size) {
  const int fd = shm_open("/zorTraceProcessMap", O_RDWR, 0);
  if (fd < 0) return;
  struct stat st {};
  if (fstat(fd, &st) == 0 && st.st_size > 0) {
    const size_t length = std::min<size_t>(size_t(size), size_t(st.st_size));
    void* view = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view != MAP_FAILED) {
      const size_t count = std::min(report.size(), length - 1);
      std::memcpy(view, report.data(), count);
      static_cast<char*>(view)[count] = 0;
      munmap(view, length);
    }
  }
  close(fd);
}

// The newest frame of a frame-pointer chain on the stack between bottom
// and top: the lowest slot f whose saved frame pointer and those after it
// climb the stack, each with a return address behind it, at least three
// frames long; 0 when there is none. A debugger's call leaves the frame
// pointer of the interrupted code, which often belongs to no frame.
uintptr_t FrameChainStart(uintptr_t bottom, uintptr_t top) {
  bottom = (bottom + 7) & ~uintptr_t{7};
  if (top <= bottom + 16) return 0;
  std::vector<uint64_t> words((top - bottom) / 8);
  if (!SafeRead(reinterpret_cast<const void*>(bottom), words.data(), words.size() * 8)) return 0;
  const auto word = [&](uintptr_t at) { return words[(at - bottom) / 8]; };
  const auto isFrame = [&](uintptr_t f) {
    return f >= bottom && f + 16 <= top && (f & 7) == 0 && FollowsCallInstruction(word(f + 8)) &&
           (word(f) == 0 || word(f) > f);
  };
  for (uintptr_t f = bottom; f + 16 <= top; f += 8) {
    int frames = 0;
    for (uintptr_t g = f; frames < 3 && g != 0 && isFrame(g); g = word(g)) ++frames;
    if (frames >= 3) return f;
  }
  return 0;
}

}  // namespace

uint32_t DispatchThreadId() { return gDispatchThread.load(); }
void SetDispatchThreadId(uint32_t threadId) { gDispatchThread = threadId; }
uint32_t FreezeWatchThreadId() { return gFreezeWatchThread.load(); }
void SetFreezeWatchThreadId(uint32_t threadId) { gFreezeWatchThread = threadId; }
bool TracingProcess() { return gTracing.load(); }
const TraceOrigin* CurrentTraceOrigin() { return gOrigin; }

ProgressWindowFactory SetProgressWindowFactory(ProgressWindowFactory factory) {
  return WindowFactory().Replace(std::move(factory));
}

ExceptionHandlers SetExceptionHandlers(ExceptionHandlers handlers) { return Handlers().Replace(std::move(handlers)); }

bool FireExceptionHandlers(IZEException& exception, uint8_t event, uint8_t action) {
  bool handled = false;
  if (const ExceptionHandlers handlers = Handlers().Get()) handlers(exception, event, action, handled);
  return handled;
}

bool ClassListMatches(const void* object, const std::string& list) {
  std::string items = list;
  NormalizeList(items, ',');
  for (size_t i = 1; i <= ItemCount(items, ','); ++i)
    if (HasClassName(object, ItemOf(items, i, ','))) return true;
  return false;
}

__attribute__((noinline)) std::shared_ptr<TIZEException> CreateExceptionObject(const ExceptionRequest& request) {
  InstallReportSections();
  const std::shared_ptr<IZESettings> settings = request.settings ? request.settings : SettingsForCallerLevel(1);
  ExceptionFacts facts;
  facts.reportKind = request.reportKind;
  facts.continuable = request.continuable;
  facts.raisedObject = request.raisedObject;
  facts.faultAddress = request.faultAddress;
  facts.faultThreadId = request.threadId != 0 ? request.threadId : CurrentThreadId();
  facts.stackPointer = request.stackPointer != 0 ? request.stackPointer
                                                 : reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  facts.framePointer = request.framePointer != 0 ? request.framePointer
                                                 : reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  if (request.context) facts.context = *request.context;
  facts.originKind = request.originKind;
  facts.contextObject = request.contextObject;
  facts.packageHandle = request.packageHandle;
  facts.preparedStack = request.preparedStack;
  auto e = std::make_shared<TIZEException>(SettingsObjectOf(settings), facts);
  e->SetContinueAllowed(request.continuable);
  if (const ProgressWindowFactory factory = WindowFactory().Get())
    e->SetProgressWindow(factory(e->PlWaitTitle(), e->ModuleHandle()));
  ApplyExceptionFilter(*e);
  e->SetAttachScreenPicture(e->WantScreenPicture());
  return e;
}

void JumpToCallStackItem(const std::string&) {}

std::string BuildProcessReport(std::shared_ptr<IZESettings> settings) {
  ExceptionRequest request;
  request.reportKind = 1;
  request.continuable = true;
  request.settings = std::move(settings);
  const std::shared_ptr<TIZEException> e = CreateExceptionObject(request);
  e->SetPlWaitBox(false);
  e->SetListThreads(true);
  return e->ReportText(true);
}

}  // namespace zor

extern "C" __attribute__((visibility("default"), used, noinline)) int zorTraceProcess(int size) {
  using namespace zor;
  try {
    // The settings of the module that called.
    const void* caller = __builtin_return_address(0);
    const uint32_t self = CurrentThreadId();
    TraceOrigin origin;
    origin.threadId = self;
    const auto frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    origin.stackBottom = frame + 16;  // above the return slot
    SafeRead(reinterpret_cast<const void*>(frame), &origin.framePointer, sizeof origin.framePointer);
    origin.returnAddress = reinterpret_cast<uintptr_t>(caller);
    origin.debuggerCall = !FollowsCallInstruction(origin.returnAddress);
    if (origin.debuggerCall) {
      // A debugger places its call below the 128 bytes under the interrupted
      // stack pointer that the ABI leaves to the interrupted routine: no
      // live frame's return address lies there, only stale ones.
      origin.stackBottom += 128;
      origin.framePointer = FrameChainStart(origin.stackBottom, StackRegionOf(origin.stackBottom).end);
    }
    SetThreadName(self, "-");
    NameReporterThreads(true);
    gOrigin = &origin;
    gTracing = true;
    std::string report;
    try {
      report = BuildProcessReport(SettingsForAddress(static_cast<const char*>(caller) - 1));
    } catch (...) {
    }
    gTracing = false;
    gOrigin = nullptr;
    NameReporterThreads(false);
    if (!report.empty()) {
      if (size < 1)
        CopyTextToClipboard(report);
      else
        WriteToTraceMap(report, size);
    }
    RecordThreadInfo(self, {}, 0, nullptr, {});
  } catch (...) {
  }
  return 0;
}
