// The exception object's own part: its private settings, phase, flags,
// claims, raised-object texts, its two lists and the screenshot.
#include "crashreport/zorExceptObject.h"

#include <sys/syscall.h>
#include <unistd.h>

#include "crashreport/zorExceptHelpers.h"
#include "crashreport/zorExceptReport.h"
#include "crashreport/zorExceptSysInfo.h"
#include "crashreport/zorExcept_p.h"

namespace zor {

namespace {

ReplaceableFunction<ExceptionBoxHook>& BoxHook() {
  static ReplaceableFunction<ExceptionBoxHook> hook;
  return hook;
}

ReplaceableFunction<SectionPreparer>& Preparer() {
  static ReplaceableFunction<SectionPreparer> preparer;
  return preparer;
}

// Input stays off until the report is built, so a report that is not wanted
// keeps empty lists.
std::shared_ptr<TIZEFields> OwnedFields(TIZEException* owner) {
  auto fields = std::make_shared<TIZEFields>();
  fields->SetExceptionOwner(owner);
  return fields;
}

// Listeners hear of a build once, after its lock is left: a listener that
// asks for the report from another thread must not wait for it.
using ChangeBatch = ScopedPair<TIZEException, &TIZEException::BeginChange, &TIZEException::EndChange>;

}  // namespace

ExceptionBoxHook SetExceptionBoxHook(ExceptionBoxHook hook) { return BoxHook().Replace(std::move(hook)); }

SectionPreparer SetSectionPreparer(SectionPreparer preparer) { return Preparer().Replace(std::move(preparer)); }

void SetDefaultSectionPreparer(SectionPreparer preparer) { Preparer().InstallIfEmpty(std::move(preparer)); }

TIZEException::TIZEException(std::shared_ptr<TIZESettings> from, const ExceptionFacts& facts)
    : TIZESettings(from ? from->ModuleHandle() : ZorModule{}, false), from_(std::move(from)), facts_(facts) {
  valid_ = true;
  if (facts_.faultThreadId == 0) facts_.faultThreadId = static_cast<uint32_t>(syscall(SYS_gettid));
  faultAddress_ = facts_.faultAddress;
  for (size_t i = 0; i < stackChecksums_.size(); ++i) stackChecksums_[i] = facts_.stackChecksums[i];
  header_ = OwnedFields(this);
  sections_ = OwnedFields(this);
}

TIZEException::~TIZEException() {
  abortCalculation_ = true;
  std::thread thread;
  {
    std::lock_guard lock(sectionThreadLock_);
    thread.swap(sectionThread_);
  }
  // Destroyed on the section thread itself: the thread cannot wait for its
  // own end; it no longer touches this object once its calculation returns.
  if (thread.joinable()) {
    if (thread.get_id() == std::this_thread::get_id())
      thread.detach();
    else
      thread.join();
  }
  header_->DetachException();
  sections_->DetachException();
  DetachExtras();
}

std::string TIZEException::RaisedClassName() {
  std::call_once(raisedTextsOnce_, [this] {
    raisedClassName_ = ExceptionClassName(facts_.raisedObject);
    raisedMessage_ = SentenceEnd(ExceptionMessageText(facts_.raisedObject));
  });
  return raisedClassName_;
}

std::string TIZEException::RaisedMessage() {
  RaisedClassName();
  return raisedMessage_;
}

std::shared_ptr<IZEFields> TIZEException::HeaderFields() {
  {
    std::optional<ChangeBatch> batch;  // closed after the lock is left
    std::lock_guard build(headerBuild_);
    if (headerBuilt_ || !wantReport_ || header_->Count() != 0) return header_;
    batch.emplace(*this);
    headerBuilt_ = true;
    header_->EnableInput();
    const HeaderEvent event{
        ReportKind(), RaisedClassName(), RaisedMessage(), FrozenMsg(), VersionVar(), ReadText("Plugins"), this};
    const HeaderItems items = BuildHeaderItems(*CurrentSystemInfo(), CurrentLocalTime(), event);
    header_->BeginAccess();
    for (const auto& [name, value] : items) header_->SetValue(name, value);
    // Items added later stand before the checksum, which comes last.
    header_->SetInsertPoint(header_->IndexOfName("callstack crc"));
    header_->EndAccess();
  }
  return header_;
}

std::shared_ptr<IZEFields> TIZEException::SectionFields() {
  {
    std::optional<ChangeBatch> batch;
    std::lock_guard prepare(sectionPreparation_);
    if (sectionsPrepared_ || !wantReport_ || sections_->Count() != 0) return sections_;
    batch.emplace(*this);
    sectionsPrepared_ = true;
    sections_->EnableInput();
    if (const SectionPreparer preparer = Preparer().Get()) preparer(*this);
  }
  return sections_;
}

INVBitmapPtr TIZEException::ScreenPicture() {
  std::lock_guard lock(pictureLock_);
  if (!screenPicture_ && wantScreenPicture_) {
    screenPicture_ = TakeScreenshot(ScrShotAppOnly());
    if (!screenPicture_) wantScreenPicture_ = false;
  }
  return screenPicture_;
}

void TIZEException::SetScreenPicture(INVBitmapPtr picture) {
  std::lock_guard lock(pictureLock_);
  screenPicture_ = std::move(picture);
}

uint32_t TIZEException::StackChecksum(int index) const {
  return index >= 0 && index < static_cast<int>(stackChecksums_.size()) ? stackChecksums_[size_t(index)].load() : 0;
}

void TIZEException::SetStackChecksum(int index, uint32_t value) {
  if (index >= 0 && index < static_cast<int>(stackChecksums_.size())) stackChecksums_[size_t(index)] = value;
}

std::string TIZEException::AssistantName() const {
  std::lock_guard lock(nameLock_);
  return assistantName_;
}

void TIZEException::SetAssistantName(std::string_view v) {
  std::lock_guard lock(nameLock_);
  assistantName_.assign(v);
}

void TIZEException::ShowExceptionBox() {
  if (const ExceptionBoxHook hook = BoxHook().Get()) hook(*this);
}

void TIZEException::EnterPhase(uint8_t value) { phase_ = value == 3 && reportComplete_ ? 4 : value; }

std::optional<TZESettingValue> TIZEException::LookupValue(std::string_view name, bool) {
  {
    std::lock_guard lock(ownLock_);
    const int32_t i = IndexOfSetting(own_, name);
    if (i >= 0) return own_.values[i];
  }
  if (from_)
    if (std::optional<TZESettingValue> v = from_->LookupValue(name, false)) return v;
  // The defaults answer whatever the caller asked, so that an event's
  // settings never depend on whether its module is the main one.
  if (const SettingDefault* row = FindSettingDefault(name)) return DefaultValue(*row);
  return std::nullopt;
}

bool TIZEException::StoreValue(const TZESettingValue& value) {
  std::lock_guard lock(ownLock_);
  return StoreSettingOfKind(own_, value);
}

std::shared_ptr<IZEException> TIZEException::AsException() {
  // Empty for an object not owned by a shared pointer.
  return std::dynamic_pointer_cast<IZEException>(weak_from_this().lock());
}

}  // namespace zor
