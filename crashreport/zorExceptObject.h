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
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "crashreport/zorExceptFields.h"
#include "crashreport/zorExceptSettingsObject.h"

namespace zor {

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
  virtual const void* FaultAddress() const = 0;
  virtual uint32_t FaultThreadId() const = 0;
  // Call-stack checksum 0, 1 or 2; 0 for any other index.
  virtual uint32_t StackChecksum(int index) const = 0;
  virtual uint8_t OriginKind() const = 0;
  virtual const void* ContextObject() const = 0;
  virtual uint32_t PackageHandle() const = 0;
  virtual std::shared_ptr<IZEFields> HeaderFields() = 0;
  virtual std::shared_ptr<IZEFields> SectionFields() = 0;
  // A batch of changes: the report-changed notice waits for the last close.
  virtual void BeginChange() = 0;
  virtual void EndChange() = 0;
  // Something in the report changed: told now, or at the end of the batch.
  virtual void ReportChanged() = 0;
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
  const void* faultAddress = nullptr;
  uint32_t faultThreadId = 0;  // 0: the creating thread
  std::array<uint32_t, 3> stackChecksums{};
  uint8_t originKind = 0;
  const void* contextObject = nullptr;
  uint32_t packageHandle = 0;
};

class TIZEException : public TIZESettings, public IZEException, public IZEExceptionEx {
 public:
  // `from`: the settings of the module that raised the event.
  TIZEException(std::shared_ptr<TIZESettings> from, const ExceptionFacts& facts);
  ~TIZEException() override;

  uint8_t Phase() const override { return phase_.load(); }
  bool ContinueAllowed() const override { return continueAllowed_; }
  void SetContinueAllowed(bool allowed) override { continueAllowed_ = allowed && facts_.continuable; }
  uint8_t ReportKind() const override { return facts_.reportKind; }
  const void* FaultAddress() const override { return facts_.faultAddress; }
  uint32_t FaultThreadId() const override { return facts_.faultThreadId; }
  uint32_t StackChecksum(int index) const override;
  uint8_t OriginKind() const override { return facts_.originKind; }
  const void* ContextObject() const override { return facts_.contextObject; }
  uint32_t PackageHandle() const override { return facts_.packageHandle; }
  std::shared_ptr<IZEFields> HeaderFields() override { return header_; }
  std::shared_ptr<IZEFields> SectionFields() override { return sections_; }
  void BeginChange() override;
  void EndChange() override;
  void ReportChanged() override;
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

  void EnterPhase(uint8_t value) override;
  bool ReportSent() const override { return reportSent_; }
  void SetReportSent(bool v) override { reportSent_ = v; }
  bool ReportSaved() const override { return reportSaved_; }
  void SetReportSaved(bool v) override { reportSaved_ = v; }
  bool ClaimCompletion() override { return completionClaims_.fetch_add(1) + 1 == 0; }
  bool ClaimAutoSave() override { return autoSaveClaims_.fetch_add(1) + 1 == 0; }

  // Set by the report building once the report is whole.
  void SetReportComplete() { reportComplete_ = true; }
  bool ReportComplete() const { return reportComplete_; }
  // How many report-changed notices were delivered.
  uint32_t ChangeNotices() const { return changeNotices_.load(); }

  std::optional<TZESettingValue> LookupValue(std::string_view name, bool useDefaults) override;

 protected:
  bool StoreValue(const TZESettingValue& value) override;
  std::shared_ptr<IZEException> AsException() override;

 private:
  std::shared_ptr<TIZESettings> from_;
  ExceptionFacts facts_;
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
  std::atomic<int32_t> changeDepth_{0};
  std::atomic<bool> changePending_{false};
  std::atomic<uint32_t> changeNotices_{0};
  std::shared_ptr<TIZEFields> header_, sections_;
};

// The exception box, installed by the box's module; without one nothing is
// shown.
using ExceptionBoxHook = std::function<void(TIZEException&)>;
ExceptionBoxHook SetExceptionBoxHook(ExceptionBoxHook hook);

}  // namespace zor
