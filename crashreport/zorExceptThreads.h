#pragma once
// The process's threads and the thread-information list: names, creators and
// classes of threads for reports.
//
// The list is process-wide (every module of the process that carries the
// reporter shares it) and exists only while some module with settings has
// joined it. It is changed under its lock without time limit; readers of
// display names wait at most 50 ms. A thread has ended when its entry under
// /proc/self/task is gone; ended threads leave the list one per change.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zor {

// The ids of the process's threads, the main thread first.
std::vector<uint32_t> ProcessThreadIds();
// The calling thread's id.
uint32_t CurrentThreadId();
// Whether the thread of this id still runs in this process.
bool ThreadRuns(uint32_t threadId);

// Joining and leaving the list: the first join creates it (true), later ones
// only count; the last leave removes the calling thread's entry and frees it.
bool JoinThreadInfoList();
void LeaveThreadInfoList();
bool HaveThreadInfoList();

// Records, replaces or (without name and creator address) removes a thread's
// entry; a missing name, class and creator are kept from the old entry. A
// thread that does not run is not recorded. Nothing without the list.
void RecordThreadInfo(uint32_t threadId, const std::string& name, uint32_t creatorThreadId, const void* creatorAddress,
                      const std::string& className);
void SetThreadName(uint32_t threadId, const std::string& name);
// The id of the oldest entry; 0 when the list is empty or absent.
uint32_t OldestThreadInfoId();

struct ThreadDisplay {
  std::string text;  // empty: the thread is hidden
  const void* creatorAddress = nullptr;
  uint32_t creatorThreadId = 0;
};
// "name ($1a4)"; "thread $1a4", with " (Class)" when a class is known; the
// reporter's own threads (named "-") are hidden unless `force` is set.
ThreadDisplay ThreadDisplayName(uint32_t threadId, bool force);

}  // namespace zor
