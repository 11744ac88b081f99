// The exception object's own part: its private settings, phase, flags,
// claims and change batches.
#include "crashreport/zorExceptObject.h"

#include <sys/syscall.h>
#include <unistd.h>

#include "crashreport/zorExcept_p.h"

namespace zor {

namespace {

ReplaceableFunction<ExceptionBoxHook>& BoxHook() {
  static ReplaceableFunction<ExceptionBoxHook> hook;
  return hook;
}

std::shared_ptr<TIZEFields> OwnedFields(TIZEException* owner) {
  auto fields = TIZEFields::NewEnabled();
  fields->SetExceptionOwner(owner);
  return fields;
}

}  // namespace

ExceptionBoxHook SetExceptionBoxHook(ExceptionBoxHook hook) { return BoxHook().Replace(std::move(hook)); }

TIZEException::TIZEException(std::shared_ptr<TIZESettings> from, const ExceptionFacts& facts)
    : TIZESettings(from ? from->ModuleHandle() : ZorModule{}, false), from_(std::move(from)), facts_(facts) {
  valid_ = true;
  if (facts_.faultThreadId == 0) facts_.faultThreadId = static_cast<uint32_t>(syscall(SYS_gettid));
  header_ = OwnedFields(this);
  sections_ = OwnedFields(this);
}

TIZEException::~TIZEException() {
  header_->DetachException();
  sections_->DetachException();
  DetachExtras();
}

uint32_t TIZEException::StackChecksum(int index) const {
  return index >= 0 && index < static_cast<int>(facts_.stackChecksums.size()) ? facts_.stackChecksums[index] : 0;
}

void TIZEException::BeginChange() { changeDepth_.fetch_add(1); }

void TIZEException::EndChange() {
  if (changeDepth_.fetch_sub(1) == 1 && changePending_.exchange(false)) changeNotices_.fetch_add(1);
}

void TIZEException::ReportChanged() {
  changePending_ = true;
  // Outside a batch the notice goes at once; a batch closing meanwhile has
  // taken the pending mark and delivered it.
  if (changeDepth_.load() == 0 && changePending_.exchange(false)) changeNotices_.fetch_add(1);
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
