// Thread ids from /proc and the process-wide thread-information list.
#include "crashreport/zorExceptThreads.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <list>
#include <mutex>

#include "crashreport/zorStrings.h"

namespace zor {

std::vector<uint32_t> ProcessThreadIds() {
  std::vector<uint32_t> ids;
  if (DIR* dir = opendir("/proc/self/task")) {
    while (const dirent* entry = readdir(dir)) {
      char* end = nullptr;
      const unsigned long id = std::strtoul(entry->d_name, &end, 10);
      if (end != entry->d_name && *end == '\0') ids.push_back(static_cast<uint32_t>(id));
    }
    closedir(dir);
  }
  std::sort(ids.begin(), ids.end());
  const auto main = std::find(ids.begin(), ids.end(), static_cast<uint32_t>(getpid()));
  if (main != ids.end()) std::rotate(ids.begin(), main, main + 1);
  return ids;
}

uint32_t CurrentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

bool ThreadRuns(uint32_t threadId) {
  if (threadId == 0) return false;
  struct stat st {};
  return stat(("/proc/self/task/" + std::to_string(threadId)).c_str(), &st) == 0;
}

namespace {

struct ThreadInfo {
  uint32_t id = 0;
  std::string name;
  std::string className;
  const void* creatorAddress = nullptr;
  uint32_t creatorThreadId = 0;
};

struct InfoList {
  std::timed_mutex lock;
  int references = 0;
  std::list<ThreadInfo> nodes;  // newest first
};

InfoList& List() {
  static InfoList* list = new InfoList;  // outlives every module's shut-down
  return *list;
}

}  // namespace

bool JoinThreadInfoList() {
  std::lock_guard guard(List().lock);
  return ++List().references == 1;
}

void LeaveThreadInfoList() {
  InfoList& list = List();
  std::lock_guard guard(list.lock);
  if (list.references == 0) return;
  if (--list.references == 0) list.nodes.clear();
}

bool HaveThreadInfoList() {
  std::lock_guard guard(List().lock);
  return List().references > 0;
}

void RecordThreadInfo(uint32_t threadId, const std::string& name, uint32_t creatorThreadId, const void* creatorAddress,
                      const std::string& className) {
  InfoList& list = List();
  std::lock_guard guard(list.lock);
  if (list.references == 0) return;
  const bool keep = !name.empty() || creatorAddress;
  ThreadInfo info{threadId, name, className, creatorAddress, creatorThreadId};
  const auto old = std::find_if(list.nodes.begin(), list.nodes.end(), [&](auto& n) { return n.id == threadId; });
  if (old != list.nodes.end()) {
    if (info.name.empty()) info.name = old->name;
    if (info.className.empty()) info.className = old->className;
    if (!info.creatorAddress) {
      info.creatorAddress = old->creatorAddress;
      info.creatorThreadId = old->creatorThreadId;
    }
    list.nodes.erase(old);
  }
  if (keep && ThreadRuns(threadId)) list.nodes.push_front(info);
  const auto ended = std::find_if(list.nodes.begin(), list.nodes.end(), [](auto& n) { return !ThreadRuns(n.id); });
  if (ended != list.nodes.end()) list.nodes.erase(ended);
}

void SetThreadName(uint32_t threadId, const std::string& name) { RecordThreadInfo(threadId, name, 0, nullptr, {}); }

uint32_t OldestThreadInfoId() {
  InfoList& list = List();
  std::lock_guard guard(list.lock);
  return list.nodes.empty() ? 0 : list.nodes.back().id;
}

ThreadDisplay ThreadDisplayName(uint32_t threadId, bool force) {
  const std::string hex = "$" + HexText(threadId);
  InfoList& list = List();
  std::unique_lock guard(list.lock, std::defer_lock);
  if (!guard.try_lock_for(std::chrono::milliseconds(50)) || list.references == 0) return {"thread " + hex};
  ThreadDisplay result;
  std::string name, className;
  for (const ThreadInfo& n : list.nodes)
    if (n.id == threadId) {
      name = n.name;
      className = n.className;
      result.creatorAddress = n.creatorAddress;
      result.creatorThreadId = n.creatorThreadId;
      break;
    }
  if (!force && name == "-")
    result.text.clear();
  else if (!name.empty() && name != "-")
    result.text = name + " (" + hex + ")";
  else
    result.text = "thread " + hex + (className.empty() ? "" : " (" + className + ")");
  return result;
}

}  // namespace zor
