// The exception object's report: change batches, the cached text and its
// version, listeners, and the section thread a caller may wait for.
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "crashreport/zorExceptHelpers.h"
#include "crashreport/zorExceptObject.h"
#include "crashreport/zorExceptReport.h"
#include "crashreport/zorExceptThreads.h"

namespace zor {

namespace {

// Guards the listener lists of every exception object.
std::mutex& ListenerLock() {
  static std::mutex lock;
  return lock;
}

// Best effort: a process without the privilege keeps the thread's priority.
void RaisePriority(uint32_t threadId) {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, threadId);
  if (errno == 0) setpriority(PRIO_PROCESS, threadId, std::max(nice - 2, -20));
}

}  // namespace

void TIZEException::BeginChange() { changeDepth_.fetch_add(1); }

void TIZEException::EndChange() {
  if (changeDepth_.fetch_sub(1) == 1 && changePending_.load()) MarkModified();
}

void TIZEException::MarkModified() {
  if (changeDepth_.load() > 0) {
    changePending_ = true;
    return;
  }
  changePending_ = false;
  {
    std::lock_guard lock(textLock_);
    ++reportVersion_;
    cachedText_.clear();
  }
  NotifyListeners();
}

uint64_t TIZEException::ReportVersion() {
  std::lock_guard lock(textLock_);
  return reportVersion_;
}

void TIZEException::SetReportText(std::string_view text) {
  {
    std::lock_guard lock(textLock_);
    cachedText_.assign(text);
  }
  NotifyListeners();
}

std::string TIZEException::ReportText(bool mustBeComplete) {
  std::string cached;
  uint64_t version = 0;
  {
    std::lock_guard lock(textLock_);
    cached = cachedText_;
    version = reportVersion_;
  }
  if (!wantReport_) return cached;
  if (!cached.empty() && (!mustBeComplete || reportComplete_)) return cached;
  HeaderFields();
  SectionFields();
  if (mustBeComplete && !ProcessIsBlocked(250)) WaitForSections();
  std::string text = RenderReportText(*header_, *sections_);
  // A text built while the lists changed is answered but not kept.
  std::lock_guard lock(textLock_);
  if (reportVersion_ == version) cachedText_ = text;
  return text;
}

void TIZEException::WaitForSections() {
  std::shared_ptr<IProgressAlert> window;
  {
    std::lock_guard lock(sectionThreadLock_);
    // The section thread itself (a listener asking for the whole text)
    // would wait for its own end.
    if (!sectionThread_.joinable() || sectionThread_.get_id() == std::this_thread::get_id()) return;
    window = progressWindow_;
  }
  SectionThreadState& state = *sectionState_;
  const auto ended = [&state] { return !state.running; };
  std::unique_lock lock(state.lock);
  if (ended()) return;  // no window for a report that is whole already
  lock.unlock();
  const bool shown = window && PlWaitBox() && window->Display(nullptr, true);
  if (shown) RaisePriority(builderThreadId_.load());
  lock.lock();
  if (!shown) {
    state.changed.wait(lock, ended);
    return;
  }
  while (!state.changed.wait_for(lock, std::chrono::milliseconds(50), ended)) {
    lock.unlock();
    window->PumpMessages();
    lock.lock();
  }
  lock.unlock();
  window->PumpMessages();
}

bool TIZEException::StartSectionThread(std::function<void(TIZEException&)> calculate) {
  std::lock_guard lock(sectionThreadLock_);
  if (sectionThread_.joinable() || abortCalculation_) return false;
  const std::shared_ptr<SectionThreadState> state = sectionState_;
  {
    std::lock_guard running(state->lock);
    state->running = true;
  }
  std::mutex started;
  std::condition_variable idKnown;
  try {
    sectionThread_ = std::thread([this, state, calculate = std::move(calculate), &started, &idKnown] {
      {
        // Told under the lock: the starter's locals live until it is left.
        std::lock_guard lock(started);
        builderThreadId_ = CurrentThreadId();
        idKnown.notify_all();
      }
      try {
        calculate(*this);
      } catch (...) {
      }
      // From here on only the shared state: the object may be gone.
      std::lock_guard lock(state->lock);
      state->running = false;
      state->changed.notify_all();
    });
  } catch (const std::system_error&) {
    std::lock_guard running(state->lock);
    state->running = false;
    return false;
  }
  std::unique_lock wait(started);
  idKnown.wait(wait, [this] { return builderThreadId_.load() != 0; });
  return true;
}

void TIZEException::SetProgressWindow(std::shared_ptr<IProgressAlert> window) {
  std::lock_guard lock(sectionThreadLock_);
  progressWindow_ = std::move(window);
}

std::shared_ptr<IProgressAlert> TIZEException::ProgressWindow() {
  std::lock_guard lock(sectionThreadLock_);
  return progressWindow_;
}

// --- Listeners ---------------------------------------------------------------------

void TIZEException::AddReportListener(ReportListener listener, bool critical) {
  if (listener) AddListener({listener, nullptr, nullptr, critical});
}

void TIZEException::AddReportListenerMethod(ReportListenerMethod code, void* data, bool critical) {
  if (code) AddListener({nullptr, code, data, critical});
}

void TIZEException::RemoveReportListener(ReportListener listener) { RemoveListener({listener, nullptr, nullptr}); }

void TIZEException::RemoveReportListenerMethod(ReportListenerMethod code, void* data) {
  RemoveListener({nullptr, code, data});
}

bool TIZEException::HasCriticalListener() {
  std::lock_guard lock(ListenerLock());
  for (const ListenerEntry& e : listeners_)
    if (e.critical) return true;
  return false;
}

void TIZEException::AddListener(const ListenerEntry& entry) {
  {
    std::lock_guard lock(ListenerLock());
    for (ListenerEntry& e : listeners_)
      if (e.procedure == entry.procedure && e.code == entry.code && e.data == entry.data) {
        e.critical = entry.critical;
        return;
      }
    listeners_.push_back(entry);
  }
  const std::string text = ReportText(false);
  if (entry.procedure)
    entry.procedure(reportComplete_, text, *this);
  else
    entry.code(entry.data, reportComplete_, text, *this);
}

void TIZEException::RemoveListener(const ListenerEntry& entry) {
  std::lock_guard lock(ListenerLock());
  for (auto i = listeners_.begin(); i != listeners_.end(); ++i)
    if (i->procedure == entry.procedure && i->code == entry.code && i->data == entry.data) {
      listeners_.erase(i);
      return;
    }
}

void TIZEException::NotifyListeners() {
  std::vector<ListenerEntry> listeners;
  {
    std::lock_guard lock(ListenerLock());
    listeners = listeners_;
  }
  if (listeners.empty()) return;
  const std::string text = ReportText(false);
  const bool complete = reportComplete_;
  // Procedures first, then methods, each in the order they came.
  for (const ListenerEntry& e : listeners)
    if (e.procedure) e.procedure(complete, text, *this);
  for (const ListenerEntry& e : listeners)
    if (e.code) e.code(e.data, complete, text, *this);
}

}  // namespace zor
