// Reading another thread's registers and stack through a real-time signal,
// and the stop state and priority from the system.
#include "crashreport/zorExceptThreadState.h"

#include <semaphore.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorDisAsm_p.h"
#include "crashreport/zorExceptThreads.h"

namespace zor {

namespace {

// Candidates kept per thread; a deeper stack keeps its newest ones.
constexpr size_t kCapacity = 32768;
// Frame-pointer slots followed per thread.
constexpr size_t kFrameSlots = 512;
constexpr int kWaitMilliseconds = 250;
// How long a handler that has begun is waited for.
constexpr int kLateSeconds = 2;

enum CaptureState : int { kRequested = 1, kRunning = 2, kDone = 3, kCancelled = 4 };

// Everything the handler touches, allocated by the requester beforehand.
struct CaptureRequest {
  std::atomic<int> state{kRequested};
  pid_t threadId = 0;
  sem_t done;
  ThreadScanStart start;
  const Mapping* regions = nullptr;
  size_t regionCount = 0;
  // Results.
  bool ok = false;
  uintptr_t rip = 0, rsp = 0, rbp = 0, bottom = 0, top = 0;
  std::unique_ptr<TPreStackItem[]> ring{new TPreStackItem[kCapacity]};
  size_t first = 0, count = 0;  // the items in the ring, oldest first
};

std::atomic<CaptureRequest*> gRequest{nullptr};
// Handlers between their entry and their end: a request is freed only when
// none can still be looking at it.
std::atomic<int> gHandlersInside{0};

// One capture at a time: the handler and the request are process-wide.
std::mutex& CaptureLock() {
  static std::mutex lock;
  return lock;
}

pid_t OwnThreadId() { return static_cast<pid_t>(syscall(SYS_gettid)); }

// PrepareStackScan's scan over [bottom, top), without allocating: the items
// go into the request's ring (a full ring drops its oldest item).
void ScanIntoRing(CaptureRequest& r, uintptr_t framePointer, uintptr_t bottom, uintptr_t top) {
  uintptr_t frames[kFrameSlots];
  ScanStackCandidates(
      framePointer, top, bottom, r.start.isFaultThread, r.start.location, frames, kFrameSlots,
      [](void* context, uint8_t onFrame, uintptr_t address) {
        auto& q = *static_cast<CaptureRequest*>(context);
        const size_t at = (q.first + q.count) % kCapacity;
        q.ring[at].onFrame = onFrame;
        q.ring[at].address = address;
        if (q.count < kCapacity)
          ++q.count;
        else
          q.first = (q.first + 1) % kCapacity;
      },
      &r);
}

void Capture(CaptureRequest& r, uintptr_t rip, uintptr_t rsp, uintptr_t rbp) {
  r.rip = rip;
  r.rsp = rsp;
  r.rbp = rbp;
  r.bottom = (r.start.stackBottom != 0 ? r.start.stackBottom : rsp) & ~uintptr_t{7};
  const uintptr_t framePointer = r.start.noFramePointer ? 0 : r.start.framePointer != 0 ? r.start.framePointer : rbp;
  for (size_t i = 0; i < r.regionCount; ++i)
    if (r.regions[i].read && r.regions[i].begin <= r.bottom && r.bottom < r.regions[i].end) r.top = r.regions[i].end;
  if (r.top <= r.bottom) return;
  ScanIntoRing(r, framePointer, r.bottom, r.top);
  r.ok = true;
}

void OnCaptureSignal(int, siginfo_t*, void* context) {
  const int savedErrno = errno;
  gHandlersInside.fetch_add(1);
  CaptureRequest* r = gRequest.load();
  int expected = kRequested;
  if (r && r->threadId == OwnThreadId() && r->state.compare_exchange_strong(expected, kRunning)) {
    const auto* uc = static_cast<const ucontext_t*>(context);
    Capture(*r, uintptr_t(uc->uc_mcontext.gregs[REG_RIP]), uintptr_t(uc->uc_mcontext.gregs[REG_RSP]),
            uintptr_t(uc->uc_mcontext.gregs[REG_RBP]));
    r->state.store(kDone);
    sem_post(&r->done);
  }
  gHandlersInside.fetch_sub(1);
  errno = savedErrno;
}

// Waits for the semaphore until the monotonic deadline; false on time-out.
bool WaitUntil(sem_t& semaphore, const timespec& deadline) {
  for (;;) {
    if (sem_clockwait(&semaphore, CLOCK_MONOTONIC, &deadline) == 0) return true;
    if (errno != EINTR) return false;
  }
}

// Installs the handler while it lives; then ignores the signal and puts the
// previous disposition back.
class InstalledHandler {
 public:
  InstalledHandler() {
    struct sigaction action {};
    action.sa_sigaction = OnCaptureSignal;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    installed_ = sigaction(ThreadCaptureSignal(), &action, &previous_) == 0;
  }
  ~InstalledHandler() {
    if (!installed_) return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(ThreadCaptureSignal(), &ignore, nullptr);
    sigaction(ThreadCaptureSignal(), &previous_, nullptr);
  }
  InstalledHandler(const InstalledHandler&) = delete;
  InstalledHandler& operator=(const InstalledHandler&) = delete;
  bool Installed() const { return installed_; }

 private:
  struct sigaction previous_ {};
  bool installed_ = false;
};

// Waits until no handler is inside any more, at most kLateSeconds.
bool HandlersLeft() {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(kLateSeconds);
  while (gHandlersInside.load() != 0) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

ThreadState QueryOwnThread(const ThreadScanStart& start) {
  ThreadState s;
  const auto sp = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  s.framePointer = start.noFramePointer ? 0 : start.framePointer != 0 ? start.framePointer : sp;
  s.stackBottom = start.stackBottom != 0 ? start.stackBottom : sp;
  s.instructionPointer = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  s.stackTop = StackRegionOf(s.stackBottom).end;
  if (s.stackTop == 0) return s;
  const size_t n = PrepareStackScan(s.framePointer, s.stackTop, s.stackBottom, s.prepared, start.isFaultThread,
                                    start.isFaultThread ? start.location : 0);
  s.prepared[0].address = n;
  s.ok = true;
  return s;
}

ThreadState QueryOtherThread(uint32_t threadId, const ThreadScanStart& start) {
  ThreadState s;
  std::lock_guard capture(CaptureLock());
  const std::vector<Mapping> regions = ProcessMappings();
  auto request = std::make_unique<CaptureRequest>();
  request->threadId = static_cast<pid_t>(threadId);
  request->start = start;
  request->regions = regions.data();
  request->regionCount = regions.size();
  if (sem_init(&request->done, 0, 0) != 0) return s;
  // The guarded reads resolve their system call on first use; not inside
  // the handler.
  FollowsCallInstruction(reinterpret_cast<uintptr_t>(&QueryOtherThread));
  bool answered = false;
  {
    InstalledHandler handler;
    if (handler.Installed()) {
      gRequest.store(request.get());
      timespec deadline{};
      clock_gettime(CLOCK_MONOTONIC, &deadline);
      deadline.tv_nsec += long(kWaitMilliseconds) * 1000000L;
      deadline.tv_sec += deadline.tv_nsec / 1000000000L;
      deadline.tv_nsec %= 1000000000L;
      if (syscall(SYS_tgkill, getpid(), request->threadId, ThreadCaptureSignal()) == 0) {
        answered = WaitUntil(request->done, deadline);
        if (!answered) {
          int expected = kRequested;
          // A handler that has begun finishes before the buffer goes.
          if (!request->state.compare_exchange_strong(expected, kCancelled)) {
            deadline.tv_sec += kLateSeconds;
            answered = WaitUntil(request->done, deadline);
          }
        }
      }
      gRequest.store(nullptr);
    }
  }
  if (!HandlersLeft()) {
    // A handler stopped inside (a stopped thread) may still write to the
    // request: it is left to it.
    request.release();
    return s;
  }
  sem_destroy(&request->done);
  if (!answered || !request->ok) return s;
  s.ok = true;
  s.stackBottom = request->bottom;
  s.stackTop = request->top;
  s.framePointer = start.noFramePointer ? 0 : start.framePointer != 0 ? start.framePointer : request->rbp;
  s.instructionPointer = request->rip;
  s.prepared.reserve(request->count + 1);
  s.prepared.push_back({0, request->count});
  for (size_t i = 0; i < request->count; ++i) s.prepared.push_back(request->ring[(request->first + i) % kCapacity]);
  return s;
}

}  // namespace

int ThreadCaptureSignal() { return SIGRTMIN + 4; }

bool ThreadIsStopped(uint32_t threadId) {
  std::ifstream stat("/proc/self/task/" + std::to_string(threadId) + "/stat");
  std::string line;
  return std::getline(stat, line) && StatLineIsStopped(line);
}

bool StatLineIsStopped(std::string_view line) {
  // The name in parentheses may hold blanks and parentheses itself.
  const size_t close = line.rfind(')');
  if (close == std::string::npos || close + 2 >= line.size()) return false;
  const char state = line[close + 2];
  return state == 'T' || state == 't';
}

int ThreadPriority(uint32_t threadId) {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, threadId);
  return errno == 0 ? -nice : 0;
}

ThreadState QueryThreadState(uint32_t threadId, const ThreadScanStart& start) {
  const bool own = threadId == CurrentThreadId();
  ThreadState s = own ? QueryOwnThread(start) : QueryOtherThread(threadId, start);
  s.priority = ThreadPriority(threadId);
  s.suspended = !own && ThreadIsStopped(threadId);
  return s;
}

}  // namespace zor
