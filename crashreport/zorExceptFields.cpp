// Field lists and attachment lists.
#include "crashreport/zorExceptFields.h"

#include <algorithm>

#include "crashreport/zorExceptObject.h"
#include "crashreport/zorExcept_p.h"
#include "crashreport/zorStrings.h"

namespace zor {

namespace {

// The text form of a list: each item's text, joined by "|".
template <class Items, class ItemText>
std::string JoinedItems(const Items& items, ItemText text) {
  std::string joined;
  for (const auto& item : items) joined += "|" + text(item);
  return joined.empty() ? joined : joined.substr(1);
}

}  // namespace

// --- Field lists -----------------------------------------------------------------

std::shared_ptr<TIZEFields> TIZEFields::NewEnabled() {
  auto fields = std::make_shared<TIZEFields>();
  fields->EnableInput();
  return fields;
}

template <class Call>
void TIZEFields::CallExceptionOwner(Call call) {
  TIZEException* owner = nullptr;
  {
    std::lock_guard calls(ownerCallsLock_);
    owner = exceptionOwner_.load();
    if (!owner) return;
    ownerCallers_.push_back(std::this_thread::get_id());
  }
  struct Leave {
    TIZEFields& list;
    ~Leave() {
      {
        std::lock_guard calls(list.ownerCallsLock_);
        auto& callers = list.ownerCallers_;
        callers.erase(std::find(callers.begin(), callers.end(), std::this_thread::get_id()));
      }
      list.ownerCallsDone_.notify_all();
    }
  } leave{*this};
  call(*owner);
}

void TIZEFields::BeginAccess() {
  // The exception's batch opens before the lock, so the notice of a change
  // made under the lock waits for EndAccess, and is given without it.
  CallExceptionOwner([](TIZEException& o) { o.BeginChange(); });
  lock_.lock();
}

void TIZEFields::EndAccess() {
  lock_.unlock();
  CallExceptionOwner([](TIZEException& o) { o.EndChange(); });
}

std::string TIZEFields::NameAt(int32_t index) {
  Access access(*this);
  return index >= 0 && index < Count() ? items_[index].name : std::string();
}

void TIZEFields::SetNameAt(int32_t index, std::string_view name) {
  Access access(*this);
  if (index < 0 || index >= Count() || items_[index].name == name) return;
  items_[index].name.assign(name);
  WriteBack();
}

int32_t TIZEFields::IndexOfName(std::string_view name) {
  Access access(*this);
  for (int32_t i = 0; i < Count(); ++i)
    if (EqualNoCase(items_[i].name, name)) return i;
  return -1;
}

std::string TIZEFields::ValueOf(std::string_view name) {
  Access access(*this);
  const int32_t i = IndexOfName(name);
  return i < 0 ? std::string() : items_[i].value;
}

void TIZEFields::SetValue(std::string_view name, std::string_view value) {
  if (!inputEnabled_) return;
  Access access(*this);
  const std::string trimmed = TrimmedCopy(value);
  if (trimmed.empty()) {
    RemoveName(name);
    return;
  }
  const int32_t i = IndexOfName(name);
  if (i < 0) {
    InsertAt(insertPoint_ > 0 ? insertPoint_ : Count(), name, trimmed);
    return;
  }
  if (items_[i].name == name && items_[i].value == trimmed) return;
  items_[i] = {std::string(name), trimmed};
  WriteBack();
}

void TIZEFields::InsertAt(int32_t index, std::string_view name, std::string_view value) {
  const std::string trimmed = TrimmedCopy(value);
  if (trimmed.empty() || !inputEnabled_) return;
  Access access(*this);
  index = std::clamp(index, 0, Count());
  const int32_t j = IndexOfName(name);
  if (j >= 0) {
    if (j == index && items_[j].value == trimmed) return;
    RemoveAt(j);
    if (j < index) --index;
  }
  if (items_.size() == items_.capacity()) Grow();
  items_.insert(items_.begin() + index, Item{std::string(name), trimmed});
  count_.store(static_cast<int32_t>(items_.size()), std::memory_order_release);
  if (insertPoint_ > 0 && insertPoint_ >= index) ++insertPoint_;
  WriteBack();
}

void TIZEFields::RemoveAt(int32_t index) {
  Access access(*this);
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  count_.store(static_cast<int32_t>(items_.size()), std::memory_order_release);
  if (insertPoint_ > 0 && index < insertPoint_) --insertPoint_;
  WriteBack();
}

std::shared_ptr<IZEFields> TIZEFields::Copy() {
  Access access(*this);
  auto copy = NewEnabled();
  copy->items_.reserve(items_.capacity());
  copy->items_ = items_;
  copy->count_.store(static_cast<int32_t>(items_.size()));
  return copy;
}

void TIZEFields::DetachException() {
  // Waits for a change in flight on another thread, then for the owner's
  // calls on other threads, never holding both locks: the owner is going
  // away. Its own thread may be inside one of them (a listener dropping the
  // last reference) and is not waited for.
  {
    std::lock_guard lock(lock_);
    exceptionOwner_ = nullptr;
  }
  std::unique_lock calls(ownerCallsLock_);
  ownerCallsDone_.wait(calls, [this] {
    return std::all_of(ownerCallers_.begin(), ownerCallers_.end(),
                       [](std::thread::id id) { return id == std::this_thread::get_id(); });
  });
}

void TIZEFields::DetachSettings() {
  std::lock_guard lock(lock_);
  settingsOwner_ = nullptr;
}

void TIZEFields::SetInsertPoint(int32_t index) {
  std::lock_guard lock(lock_);
  insertPoint_ = index;
}

void TIZEFields::SetSettingsOwner(TIZESettings* owner) {
  std::lock_guard lock(lock_);
  settingsOwner_ = owner;
}

void TIZEFields::SetExceptionOwner(TIZEException* owner) {
  std::lock_guard lock(lock_);
  exceptionOwner_ = owner;
}

std::string TIZEFields::TextForm() {
  std::lock_guard lock(lock_);
  return JoinedItems(items_, [](const Item& i) { return i.name + "=" + i.value; });
}

size_t TIZEFields::Capacity() {
  std::lock_guard lock(lock_);
  return items_.capacity();
}

void TIZEFields::Grow() { items_.reserve(items_.empty() ? 16 : items_.size() * 3 / 2); }

void TIZEFields::WriteBack() {
  if (settingsOwner_) settingsOwner_->WriteText("AddFields", TextForm());
  if (TIZEException* o = exceptionOwner_.load()) o->MarkModified();
}

// --- Attachment lists --------------------------------------------------------------

bool TIZEAttachments::ItemAt(int32_t index, std::string& sourceFile, std::string& sendAs, std::string& archive,
                             std::string& field) {
  Access access(*this);
  if (index < 0 || index >= Count()) return false;
  const Item& item = items_[index];
  sourceFile = item.source;
  sendAs = item.sendAs;
  archive = item.archive;
  field = item.field;
  return true;
}

void TIZEAttachments::AppendFile(std::string_view sourceFile, std::string_view sendAs, std::string_view archive,
                                 std::string_view field) {
  if (sourceFile.empty()) return;
  Item item{std::string(sourceFile), std::string(sendAs), std::string(archive), std::string(field)};
  if (item.sendAs.empty()) item.sendAs = item.source.substr(item.source.rfind('/') + 1);
  if (item.field.empty()) item.field = item.sendAs.substr(0, item.sendAs.rfind('.'));
  Access access(*this);
  items_.push_back(std::move(item));
  count_.store(static_cast<int32_t>(items_.size()), std::memory_order_release);
  WriteBack();
}

bool TIZEAttachments::RemoveFile(std::string_view sourceFile) {
  Access access(*this);
  const auto found =
      std::find_if(items_.begin(), items_.end(), [&](const Item& i) { return EqualNoCase(i.source, sourceFile); });
  if (found == items_.end()) return false;
  items_.erase(found);
  count_.store(static_cast<int32_t>(items_.size()), std::memory_order_release);
  WriteBack();
  return true;
}

void TIZEAttachments::RemoveAll() {
  Access access(*this);
  if (items_.empty()) return;
  items_.clear();
  count_.store(0, std::memory_order_release);
  WriteBack();
}

std::shared_ptr<IZEAttachments> TIZEAttachments::Copy() {
  Access access(*this);
  auto copy = std::make_shared<TIZEAttachments>();
  copy->items_ = items_;
  copy->count_.store(static_cast<int32_t>(items_.size()));
  return copy;
}

void TIZEAttachments::DetachSettings() {
  std::lock_guard lock(lock_);
  settingsOwner_ = nullptr;
}

void TIZEAttachments::SetSettingsOwner(TIZESettings* owner) {
  std::lock_guard lock(lock_);
  settingsOwner_ = owner;
}

std::string TIZEAttachments::TextForm() {
  std::lock_guard lock(lock_);
  return JoinedItems(items_, [](const Item& i) { return i.source + ">" + i.sendAs + ">" + i.archive + ">" + i.field; });
}

void TIZEAttachments::WriteBack() {
  if (settingsOwner_) settingsOwner_->WriteText("AddAttachs", TextForm());
}

std::shared_ptr<IZEAttachments> NewAttachmentList() { return std::make_shared<TIZEAttachments>(); }

int32_t CountMailAddresses(std::string& list) {
  std::replace(list.begin(), list.end(), ';', ',');
  NormalizeList(list, ',');
  return static_cast<int32_t>(ItemCount(list, ','));
}

}  // namespace zor
