// A program whose threads block in known call chains, for comparing the
// walker with a debugger and for checksums across load addresses.
//   program walk     walks its own chain and prints checksums and lines
//   program threads  walks its three threads, prints their sections and
//                    "ready", then stays blocked until stdin closes
//   program bench N  starts N blocked threads and prints the time to walk all
#include <link.h>
#include <pthread.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "crashreport/zorMapFile.h"
#include "crashreport/zorStackTrace.h"

namespace {

int blocker[2];  // nothing is ever written: the threads stay in read()

struct ThreadSlot {
  std::atomic<bool> blocked{false};
  std::atomic<bool> prepared{false};
  uintptr_t stackLocal = 0;
  uintptr_t stackTop = 0;
  uintptr_t location = 0;
  zor::TDAPreStackItem items;
};
ThreadSlot* requested = nullptr;

// Runs on the thread itself: copies its stack's candidates as they are.
void OnRequest(int, siginfo_t*, void* context) {
  const auto* uc = static_cast<const ucontext_t*>(context);
  ThreadSlot& slot = *requested;
  slot.location = uintptr_t(uc->uc_mcontext.gregs[REG_RIP]);
  const uintptr_t sp = uintptr_t(uc->uc_mcontext.gregs[REG_RSP]);
  zor::PrepareStackScan(uintptr_t(uc->uc_mcontext.gregs[REG_RBP]), slot.stackTop, sp, slot.items, false, slot.location);
  slot.items[0].address = slot.items.size() - 1;
  slot.prepared = true;
}

__attribute__((noinline)) void BlockHere(ThreadSlot& slot) {
  volatile char local = 0;
  slot.stackLocal = reinterpret_cast<uintptr_t>(&local);
  slot.blocked = true;
  char byte;
  while (read(blocker[0], &byte, 1) != 0) {
  }
  asm volatile("");
}
__attribute__((noinline)) void ChainC(ThreadSlot& slot) {
  BlockHere(slot);
  asm volatile("");
}
__attribute__((noinline)) void ChainB(ThreadSlot& slot) {
  ChainC(slot);
  asm volatile("");
}
__attribute__((noinline)) void ChainA(ThreadSlot& slot) {
  ChainB(slot);
  asm volatile("");
}
__attribute__((noinline)) void ChainE(ThreadSlot& slot) {
  BlockHere(slot);
  asm volatile("");
}
__attribute__((noinline)) void ChainD(ThreadSlot& slot) {
  ChainE(slot);
  asm volatile("");
}

// The requesting side: the stack's end from the maps, then the signal.
void PrepareThread(pthread_t thread, ThreadSlot& slot) {
  while (!slot.blocked) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // inside read()
  slot.stackTop = zor::StackRegionOf(slot.stackLocal).end;
  requested = &slot;
  pthread_kill(thread, SIGUSR1);
  while (!slot.prepared) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::string WalkThread(ThreadSlot& slot) {
  zor::WalkOptions options;
  options.prepared = &slot.items;
  options.currentLocation = slot.location;
  return zor::WalkStack(options).text;
}

zor::WalkResult ownWalk;
__attribute__((noinline)) void WalkC() {
  ownWalk = zor::WalkStack(zor::WalkOptions{});
  asm volatile("");
}
__attribute__((noinline)) void WalkB() {
  WalkC();
  asm volatile("");
}
__attribute__((noinline)) void WalkA() {
  WalkB();
  asm volatile("");
}

// The main thread's event loop: it waits for input until stdin closes.
__attribute__((noinline)) void MainLoop(ThreadSlot& slot) {
  volatile char local = 0;
  slot.stackLocal = reinterpret_cast<uintptr_t>(&local);
  slot.blocked = true;
  char byte;
  while (read(0, &byte, 1) > 0) {
  }
  asm volatile("");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "walk") {
    WalkA();
    std::printf("load %p\nchecksums %08x %08x\n%s\n", reinterpret_cast<void*>(&WalkA), ownWalk.checksum1,
                ownWalk.checksum2, ownWalk.text.c_str());
    return 0;
  }
  if (pipe(blocker) != 0) return 1;
  struct sigaction action {};
  action.sa_sigaction = OnRequest;
  action.sa_flags = SA_SIGINFO | SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGUSR1, &action, nullptr);
  if (mode == "threads") {
    ThreadSlot first, second, mainSlot;
    std::thread t1([&] { ChainA(first); });
    std::thread t2([&] { ChainD(second); });
    // The reporting side runs beside the three blocked threads.
    std::thread reporter([&, mainThread = pthread_self()] {
      PrepareThread(t1.native_handle(), first);
      PrepareThread(t2.native_handle(), second);
      PrepareThread(mainThread, mainSlot);
      std::printf("thread abc\n%s\n", WalkThread(first).c_str());
      std::printf("thread de\n%s\n", WalkThread(second).c_str());
      std::printf("thread main\n%s\nready %d\n", WalkThread(mainSlot).c_str(), int(getpid()));
      std::fflush(stdout);
    });
    MainLoop(mainSlot);
    reporter.join();
    close(blocker[1]);
    t1.join();
    t2.join();
    return 0;
  }
  if (mode == "bench") {
    const int n = argc > 2 ? std::atoi(argv[2]) : 10;
    std::vector<ThreadSlot> slots(static_cast<size_t>(n));
    std::vector<std::thread> threads;
    for (int i = 0; i < n; ++i)
      threads.emplace_back([&, i] { i % 2 ? ChainA(slots[size_t(i)]) : ChainD(slots[size_t(i)]); });
    for (int i = 0; i < n; ++i) PrepareThread(threads[size_t(i)].native_handle(), slots[size_t(i)]);
    // The debug information of every module is loaded before the clock
    // starts; the walks then pay for analysing their functions.
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
          for (int i = 0; i < info->dlpi_phnum; ++i)
            if (info->dlpi_phdr[i].p_type == PT_LOAD) {
              zor::DebugInfoForAddress(reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr));
              break;
            }
          return 0;
        },
        nullptr);
    WalkA();
    // Wall time, and the walking thread's own processor time, which other
    // work on the machine does not stretch.
    timespec cpuStart{}, cpuEnd{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
    const auto start = std::chrono::steady_clock::now();
    size_t lines = 0;
    for (int i = 0; i < n; ++i) {
      const std::string text = WalkThread(slots[size_t(i)]);
      lines += size_t(std::count(text.begin(), text.end(), '\n')) + 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
    const double cpu = double(cpuEnd.tv_sec - cpuStart.tv_sec) + double(cpuEnd.tv_nsec - cpuStart.tv_nsec) / 1e9;
    std::printf("threads %d lines %zu seconds %.3f cpu %.3f\n", n, lines, seconds, cpu);
    close(blocker[1]);
    for (auto& t : threads) t.join();
    return 0;
  }
  return 2;
}
