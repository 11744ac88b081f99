#pragma once
// Timing and memory figures for the timed benchmark commands.

#include <sys/resource.h>

#include <chrono>

using BenchClock = std::chrono::steady_clock;

inline double Millis(BenchClock::time_point since) {
  return std::chrono::duration<double, std::milli>(BenchClock::now() - since).count();
}

inline double Seconds(BenchClock::time_point since) {
  return std::chrono::duration<double>(BenchClock::now() - since).count();
}

// Peak resident memory of the process so far, in MiB (Linux reports KiB).
inline double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}
