#pragma once
// The state of one thread of the process for its report section: stack
// bounds, registers, whether it is stopped, its priority, and the candidates
// of its stack copied at once.
//
// The calling thread reads itself. Any other thread is asked through a
// real-time signal sent to it alone: its handler copies its registers and
// scans its own stack into a buffer the requester allocated, then posts a
// semaphore. The handler allocates nothing and takes no lock. The handler
// is installed for one capture only; afterwards the signal is ignored (which
// drops one still pending in a thread that blocks it) and then its previous
// disposition is restored.
#include <cstdint>
#include <string_view>

#include "crashreport/zorStackTrace.h"

namespace zor {

// Where the scan of a thread starts; zero fields take the thread's own
// registers.
struct ThreadScanStart {
  bool isFaultThread = false;
  uintptr_t stackBottom = 0;
  uintptr_t framePointer = 0;
  bool noFramePointer = false;  // the scan follows no frame-pointer chain
  uintptr_t location = 0;       // the fault thread's scan stops at this value
};

struct ThreadState {
  bool ok = false;
  uintptr_t stackBottom = 0, stackTop = 0;
  uintptr_t framePointer = 0, instructionPointer = 0;
  bool suspended = false;  // state T or t
  int priority = 0;        // the negated nice value
  // The prepared candidates, header first (its address holds the count).
  TDAPreStackItem prepared;
};

// Fails (ok false) when the thread does not answer within 250 ms, for
// instance because it blocks the signal, or when its stack cannot be found.
ThreadState QueryThreadState(uint32_t threadId, const ThreadScanStart& start = {});

// The signal the capture sends (a real-time signal).
int ThreadCaptureSignal();

// "T" or "t" as the state in /proc/self/task/<id>/stat.
bool ThreadIsStopped(uint32_t threadId);
// The same for one line of such a file.
bool StatLineIsStopped(std::string_view line);
// The negated nice value of the thread; 0 when it cannot be read.
int ThreadPriority(uint32_t threadId);

}  // namespace zor
