#pragma once
// The exception object: one reported event (an exception, a frozen main
// thread, a snapshot of the process), seen through its settings interface
// applied to this one event and the event's own facts.
//
// Settings read through an exception object look in its own private list,
// then in the list of the settings it was made from, then in the defaults;
// a key missing from all three falls back to the main settings as any
// settings object's would. Writes always go into the own list: they change
// this event only, and an exception object is valid from its creation.
//
// The report: a header of short items, built once on first use, and
// sections, prepared on first use and then computed, normally by a section
// thread that replaces each placeholder when it is done. Every change of
// either list moves the report version on and empties the cached text;
// listeners hear of each change (once per batch of changes) with the text as
// it then stands.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "crashreport/zorExceptContext.h"
#include "crashreport/zorExceptFields.h"
#include "crashreport/zorExceptSettingsObject.h"
#include "crashreport/zorNVBitmap.h"
#include "crashreport/zorNVPrgrAlert.h"

namespace zor {

class IZEException;

// Told of every change of a report: whether it is complete, its text now,
// and the event. Called on the thread that made the change, outside every
// lock of the reporter; the same listener may be called from two threads.
using ReportListener = void (*)(bool complete, const std::string& text, IZEException& exception);
using ReportListenerMethod = void (*)(void* data, bool complete, const std::string& text, IZEException& exception);

class IZEException : public virtual IZESettings {
 public:
  // 0 new, 1 made, 2 after the first round of handlers, 3 before it is shown
  // or acted on, 4 in place of 3 when the report was already complete.
  virtual uint8_t Phase() const = 0;
  virtual bool ContinueAllowed() const = 0;
  // False is always stored; true only for an event raised as continuable.
  virtual void SetContinueAllowed(bool allowed) = 0;
  // 0 an exception, 1 a frozen main thread or process snapshot, 2 the
  // dispatcher's own kind.
  virtual uint8_t ReportKind() const = 0;
  // The raised object (null for kind 1), its class name and its message
  // with a sentence end, both computed once.
  virtual const void* RaisedObject() const = 0;
  virtual std::string RaisedClassName() = 0;
  virtual std::string RaisedMessage() = 0;
  virtual const void* FaultAddress() const = 0;
  virtual uint32_t FaultThreadId() const = 0;
  // Call-stack checksum 0, 1 or 2; 0 for any other index.
  virtual uint32_t StackChecksum(int index) const = 0;
  // The registers at the event; null when none were given.
  virtual const TZEContext* ThreadContext() const = 0;
  virtual uint8_t OriginKind() const = 0;
  virtual const void* ContextObject() const = 0;
  virtual uint32_t PackageHandle() const = 0;
  virtual std::shared_ptr<IZEFields> HeaderFields() = 0;
  virtual std::shared_ptr<IZEFields> SectionFields() = 0;
  // ReportText(true).
  virtual std::string FullReportText() = 0;
  // Replaces the cached text and tells the listeners.
  virtual void SetReportText(std::string_view text) = 0;
  // The rendered report; with `mustBeComplete`, waits for the sections
  // first. Empty when no report is wanted and none was set.
  virtual std::string ReportText(bool mustBeComplete) = 0;
  // The screenshot, taken on first use when one is wanted; null without.
  virtual INVBitmapPtr ScreenPicture() = 0;
  virtual void SetScreenPicture(INVBitmapPtr picture) = 0;
  // A batch of changes: the listeners hear of it when the last one closes.
  virtual void BeginChange() = 0;
  virtual void EndChange() = 0;
  // A listener registered again keeps its place and takes the new critical
  // flag; a new one is called at once with the report as it stands.
  virtual void AddReportListener(ReportListener listener, bool critical) = 0;
  virtual void AddReportListenerMethod(ReportListenerMethod code, void* data, bool critical) = 0;
  // Removes the first entry that matches.
  virtual void RemoveReportListener(ReportListener listener) = 0;
  virtual void RemoveReportListenerMethod(ReportListenerMethod code, void* data) = 0;
  virtual bool WantReport() const = 0;
  virtual void SetWantReport(bool v) = 0;
  virtual bool WantScreenPicture() const = 0;
  virtual void SetWantScreenPicture(bool v) = 0;
  virtual bool RunHandlers() const = 0;
  virtual void SetRunHandlers(bool v) = 0;
  virtual bool AttachScreenPicture() const = 0;
  virtual void SetAttachScreenPicture(bool v) = 0;
  // 0 the full box ... 4 nothing.
  virtual uint8_t ShowCfg() const = 0;
  virtual void SetShowCfg(uint8_t v) = 0;
  virtual std::string AssistantName() const = 0;
  virtual void SetAssistantName(std::string_view v) = 0;
  // Shows the exception box through the installed hook; nothing without one.
  virtual void ShowExceptionBox() = 0;
};

class IZEExceptionEx : public virtual IZEInterface {
 public:
  // A listener was registered as critical.
  virtual bool HasCriticalListener() = 0;
  // The section thread's id; 0 when none was started.
  virtual uint32_t BuilderThreadId() const = 0;
  // Phase := value, except that 3 becomes 4 when the report is complete.
  virtual void EnterPhase(uint8_t value) = 0;
  virtual bool ReportSent() const = 0;
  virtual void SetReportSent(bool v) = 0;
  virtual bool ReportSaved() const = 0;
  virtual void SetReportSaved(bool v) = 0;
  // True for the first caller only, from any thread.
  virtual bool ClaimCompletion() = 0;
  virtual bool ClaimAutoSave() = 0;
};

// What the event brings with it.
struct ExceptionFacts {
  uint8_t reportKind = 0;
  bool continuable = false;
  const void* raisedObject = nullptr;
  const void* faultAddress = nullptr;
  uint32_t faultThreadId = 0;  // 0: the creating thread
  std::array<uint32_t, 3> stackChecksums{};
  uintptr_t stackPointer = 0, framePointer = 0;  // at the fault, when known
  std::optional<TZEContext> context;
  const void* preparedStack = nullptr;  // recorded when a C++ exception was thrown
  uint8_t originKind = 0;
  const void* contextObject = nullptr;
  uint32_t packageHandle = 0;
};

class TIZEException : public TIZESettings, public IZEException, public IZEExceptionEx {
 public:
  // `from`: the settings of the module that raised the event.
  TIZEException(std::shared_ptr<TIZESettings> from, const ExceptionFacts& facts);
  // Stops the section calculation and waits for its thread.
  ~TIZEException() override;

  uint8_t Phase() const override { return phase_.load(); }
  bool ContinueAllowed() const override { return continueAllowed_; }
  void SetContinueAllowed(bool allowed) override { continueAllowed_ = allowed && facts_.continuable; }
  uint8_t ReportKind() const override { return facts_.reportKind; }
  const void* RaisedObject() const override { return facts_.raisedObject; }
  std::string RaisedClassName() override;
  std::string RaisedMessage() override;
  const void* FaultAddress() const override { return faultAddress_.load(); }
  uint32_t FaultThreadId() const override { return facts_.faultThreadId; }
  uint32_t StackChecksum(int index) const override;
  const TZEContext* ThreadContext() const override { return facts_.context ? &*facts_.context : nullptr; }
  uint8_t OriginKind() const override { return facts_.originKind; }
  const void* ContextObject() const override { return facts_.contextObject; }
  uint32_t PackageHandle() const override { return facts_.packageHandle; }
  std::shared_ptr<IZEFields> HeaderFields() override;
  std::shared_ptr<IZEFields> SectionFields() override;
  std::string FullReportText() override { return ReportText(true); }
  void SetReportText(std::string_view text) override;
  std::string ReportText(bool mustBeComplete) override;
  INVBitmapPtr ScreenPicture() override;
  void SetScreenPicture(INVBitmapPtr picture) override;
  void BeginChange() override;
  void EndChange() override;
  void AddReportListener(ReportListener listener, bool critical) override;
  void AddReportListenerMethod(ReportListenerMethod code, void* data, bool critical) override;
  void RemoveReportListener(ReportListener listener) override;
  void RemoveReportListenerMethod(ReportListenerMethod code, void* data) override;
  bool WantReport() const override { return wantReport_; }
  void SetWantReport(bool v) override { wantReport_ = v; }
  bool WantScreenPicture() const override { return wantScreenPicture_; }
  void SetWantScreenPicture(bool v) override { wantScreenPicture_ = v; }
  bool RunHandlers() const override { return runHandlers_; }
  void SetRunHandlers(bool v) override { runHandlers_ = v; }
  bool AttachScreenPicture() const override { return attachScreenPicture_; }
  void SetAttachScreenPicture(bool v) override { attachScreenPicture_ = v; }
  uint8_t ShowCfg() const override { return showCfg_; }
  void SetShowCfg(uint8_t v) override { showCfg_ = v; }
  std::string AssistantName() const override;
  void SetAssistantName(std::string_view v) override;
  void ShowExceptionBox() override;

  bool HasCriticalListener() override;
  uint32_t BuilderThreadId() const override { return builderThreadId_.load(); }
  void EnterPhase(uint8_t value) override;
  bool ReportSent() const override { return reportSent_; }
  void SetReportSent(bool v) override { reportSent_ = v; }
  bool ReportSaved() const override { return reportSaved_; }
  void SetReportSaved(bool v) override { reportSaved_ = v; }
  bool ClaimCompletion() override { return completionClaims_.fetch_add(1) + 1 == 0; }
  bool ClaimAutoSave() override { return autoSaveClaims_.fetch_add(1) + 1 == 0; }

  // The version text of the module the event came from.
  std::string VersionVar() override { return from_ ? from_->VersionVar() : std::string(); }

  // What the event came with.
  const ExceptionFacts& Facts() const { return facts_; }
  // Set by the section calculation once the last section is stored.
  void SetReportComplete() { reportComplete_ = true; }
  // The section calculation's results: the walk's code address of the
  // newest visible item, and the three call-stack checksums.
  void SetFaultAddress(const void* address) { faultAddress_ = address; }
  void SetStackChecksum(int index, uint32_t value);
  bool ReportComplete() const { return reportComplete_; }
  // Moves on with every change of the report.
  uint64_t ReportVersion();
  // A list item changed: inside a batch only remembered; otherwise the
  // version moves on, the cached text goes and the listeners are told.
  void MarkModified();

  // Starts the section thread, at most once per object; false when one was
  // started before or cannot be. `calculate` runs on it and should return
  // soon after AbortCalculation becomes true.
  bool StartSectionThread(std::function<void(TIZEException&)> calculate);
  // Set when the object goes away.
  bool AbortCalculation() const { return abortCalculation_.load(); }
  const std::atomic<bool>& AbortFlag() const { return abortCalculation_; }
  // The please-wait window a caller of ReportText(true) shows; none until
  // the dispatcher gives one.
  void SetProgressWindow(std::shared_ptr<IProgressAlert> window);
  std::shared_ptr<IProgressAlert> ProgressWindow();

  std::optional<TZESettingValue> LookupValue(std::string_view name, bool useDefaults) override;

 protected:
  bool StoreValue(const TZESettingValue& value) override;
  std::shared_ptr<IZEException> AsException() override;

 private:
  struct ListenerEntry {
    ReportListener procedure = nullptr;
    ReportListenerMethod code = nullptr;
    void* data = nullptr;
    bool critical = false;
  };
  void AddListener(const ListenerEntry& entry);
  void RemoveListener(const ListenerEntry& entry);
  void NotifyListeners();
  void WaitForSections();

  std::shared_ptr<TIZESettings> from_;
  ExceptionFacts facts_;
  std::atomic<const void*> faultAddress_{nullptr};
  std::array<std::atomic<uint32_t>, 3> stackChecksums_{};
  std::mutex ownLock_;
  SettingArray own_;
  std::atomic<uint8_t> phase_{0};
  std::atomic<bool> reportComplete_{false};
  bool continueAllowed_ = false;
  bool wantReport_ = true, wantScreenPicture_ = false, runHandlers_ = true, attachScreenPicture_ = false;
  uint8_t showCfg_ = 0;
  mutable std::mutex nameLock_;
  std::string assistantName_;
  std::atomic<bool> reportSent_{false}, reportSaved_{false};
  std::atomic<int32_t> completionClaims_{-1}, autoSaveClaims_{-1};
  std::once_flag raisedTextsOnce_;
  std::string raisedClassName_, raisedMessage_;

  // The two lists, and their one-time building.
  std::shared_ptr<TIZEFields> header_, sections_;
  std::recursive_mutex headerBuild_, sectionPreparation_;
  bool headerBuilt_ = false, sectionsPrepared_ = false;

  // Change batches and the cached text.
  std::atomic<int32_t> changeDepth_{0};
  std::atomic<bool> changePending_{false};
  std::mutex textLock_;
  std::string cachedText_;
  uint64_t reportVersion_ = 0;

  // Listeners; both lists share one process-wide lock.
  std::vector<ListenerEntry> listeners_;

  // The section thread. Its end is told through a state it shares, so the
  // thread never touches an object destroyed on it.
  struct SectionThreadState {
    std::mutex lock;
    std::condition_variable changed;
    bool running = false;
  };
  std::shared_ptr<SectionThreadState> sectionState_ = std::make_shared<SectionThreadState>();
  std::mutex sectionThreadLock_;
  std::thread sectionThread_;
  std::atomic<uint32_t> builderThreadId_{0};
  std::atomic<bool> abortCalculation_{false};
  std::shared_ptr<IProgressAlert> progressWindow_;

  std::mutex pictureLock_;
  INVBitmapPtr screenPicture_;
};

// The exception box, installed by the box's module; without one nothing is
// shown.
using ExceptionBoxHook = std::function<void(TIZEException&)>;
ExceptionBoxHook SetExceptionBoxHook(ExceptionBoxHook hook);

// Prepares an event's sections on the first call of SectionFields (the list
// has input enabled then): enters each section with a placeholder and starts
// their calculation. Without one a report has no sections. Returns the one
// it replaces.
using SectionPreparer = std::function<void(TIZEException&)>;
SectionPreparer SetSectionPreparer(SectionPreparer preparer);
// Installs the preparer unless one is installed.
void SetDefaultSectionPreparer(SectionPreparer preparer);

}  // namespace zor
