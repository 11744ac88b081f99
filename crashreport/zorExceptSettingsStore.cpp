// The process-wide chain of module settings lists.
//
// The reporter is linked once into the process, so all its users find the
// chain through one static pointer guarded by a mutex; named kernel objects
// are not needed for that. Lock order: the buffer mutex alone; the chain lock,
// then a list's value lock.
#include <algorithm>
#include <new>

#include "crashreport/zorExceptMessages.h"
#include "crashreport/zorExceptSettings.h"
#include "platform/core/ResourceStore.h"

namespace zor {

class TZEModuleSettingList {
 public:
  int refCount = 0;  // under the chain lock
  ZorModule module;
  std::mutex lock;  // guards array
  SettingArray array;
};

namespace {

struct TZESharedSettingsBuffer {
  int refCount = 0;  // under BufferMutex()
  std::mutex chainLock;
  std::vector<std::unique_ptr<TZEModuleSettingList>> chain;
  // Lists taken out of the chain that still have users.
  std::vector<std::unique_ptr<TZEModuleSettingList>> unlinked;
};

std::mutex& BufferMutex() {
  static std::mutex mutex;
  return mutex;
}
std::unique_ptr<TZESharedSettingsBuffer> gBuffer;  // under BufferMutex()

// One more reference, making the buffer when `create`; nullptr when there is
// none (or it cannot be made).
TZESharedSettingsBuffer* AddBufferReference(bool create) {
  {
    std::lock_guard lock(BufferMutex());
    try {
      if (!gBuffer && create) gBuffer = std::make_unique<TZESharedSettingsBuffer>();
      if (!gBuffer) return nullptr;
      ++gBuffer->refCount;
      return gBuffer.get();
    } catch (const std::bad_alloc&) {
    }
  }
  ShowReporterMessage(kOpeningSettingsBufferText);
  return nullptr;
}

// A reference held for the length of one operation on an existing buffer.
class ExistingBuffer {
 public:
  ExistingBuffer() : buffer_(AddBufferReference(false)) {}
  ~ExistingBuffer() {
    if (buffer_) ReleaseSharedSettingsBuffer();
  }
  ExistingBuffer(const ExistingBuffer&) = delete;
  ExistingBuffer& operator=(const ExistingBuffer&) = delete;
  TZESharedSettingsBuffer* get() const { return buffer_; }

 private:
  TZESharedSettingsBuffer* buffer_;
};

using ListVector = std::vector<std::unique_ptr<TZEModuleSettingList>>;

ListVector::iterator FindModule(ListVector& lists, const ZorModule& module) {
  return std::find_if(lists.begin(), lists.end(), [&](const auto& l) { return SameModule(l->module, module); });
}

ListVector::iterator FindList(ListVector& lists, const TZEModuleSettingList* list) {
  return std::find_if(lists.begin(), lists.end(), [&](const auto& l) { return l.get() == list; });
}

void ShowIfAny(const std::string& message) {
  if (!message.empty()) ShowReporterMessage(message);
}

}  // namespace

std::optional<std::string> FindSettingsResource(const ZorModule& module) {
  return ResourceStore::Instance().Find(module.name, "RCDATA", "TZOREXCEPT");
}

SettingArray ParseSettingsResource(const ZorModule& module) {
  const std::optional<std::string> bytes = FindSettingsResource(module);
  if (!bytes) return {};
  ParsedSettings parsed = ParseSettingsBytes(*bytes);
  if (parsed.badType) ShowReporterMessage(InvalidSettingsResourceText(*parsed.badType));
  return std::move(parsed.array);
}

bool AcquireSharedSettingsBuffer() { return AddBufferReference(true) != nullptr; }

void ReleaseSharedSettingsBuffer() {
  std::lock_guard lock(BufferMutex());
  if (!gBuffer) return;
  if (gBuffer->refCount <= 1)
    gBuffer.reset();
  else
    --gBuffer->refCount;
}

int SharedSettingsBufferReferences() {
  std::lock_guard lock(BufferMutex());
  return gBuffer ? gBuffer->refCount : 0;
}

std::string LoadModuleSettingList(const ZorModule& module, TZEModuleSettingList* list) {
  ParsedSettings parsed;
  if (const std::optional<std::string> bytes = FindSettingsResource(module)) parsed = ParseSettingsBytes(*bytes);
  DecipherStoredPasswords(parsed.array);
  std::lock_guard lock(list->lock);
  list->array = std::move(parsed.array);
  return parsed.badType ? InvalidSettingsResourceText(*parsed.badType) : std::string();
}

void FreeSettingValues(TZEModuleSettingList* list) {
  std::lock_guard lock(list->lock);
  list->array = SettingArray();
}

TZEModuleSettingList* AcquireModuleSettingList(const ZorModule& module) {
  try {
    if (!FindSettingsResource(module)) return nullptr;
    TZESharedSettingsBuffer* buffer = AddBufferReference(true);
    if (!buffer) return nullptr;
    std::string message;
    TZEModuleSettingList* list = nullptr;
    try {
      std::lock_guard lock(buffer->chainLock);
      auto found = FindModule(buffer->chain, module);
      if (found == buffer->chain.end()) {
        auto made = std::make_unique<TZEModuleSettingList>();
        made->module = module;
        message = LoadModuleSettingList(module, made.get());
        buffer->chain.push_back(std::move(made));
        found = buffer->chain.end() - 1;
      }
      list = found->get();
      ++list->refCount;
    } catch (...) {
      ReleaseSharedSettingsBuffer();
      return nullptr;
    }
    ShowIfAny(message);
    return list;
  } catch (...) {
    return nullptr;
  }
}

void ReleaseModuleSettingList(TZEModuleSettingList* list) {
  if (!list) return;
  ExistingBuffer buffer;
  if (!buffer.get()) return;
  bool found = false;
  {
    std::lock_guard lock(buffer.get()->chainLock);
    for (ListVector* lists : {&buffer.get()->chain, &buffer.get()->unlinked}) {
      const auto it = FindList(*lists, list);
      if (it == lists->end()) continue;
      found = true;
      if (list->refCount <= 1)
        lists->erase(it);
      else
        --list->refCount;
      break;
    }
  }
  if (found) ReleaseSharedSettingsBuffer();
}

void ReloadModuleSettingList(const ZorModule& module, TZEModuleSettingList* list) {
  if (!list) return;
  ExistingBuffer buffer;
  if (!buffer.get()) return;
  std::string message;
  try {
    std::lock_guard lock(buffer.get()->chainLock);
    FreeSettingValues(list);
    message = LoadModuleSettingList(module, list);
  } catch (...) {
    return;
  }
  ShowIfAny(message);
}

void UnlinkModuleSettingList(const ZorModule& module) {
  ExistingBuffer buffer;
  if (!buffer.get()) return;
  std::lock_guard lock(buffer.get()->chainLock);
  ListVector& chain = buffer.get()->chain;
  const auto it = FindModule(chain, module);
  if (it == chain.end()) return;
  buffer.get()->unlinked.push_back(std::move(*it));
  chain.erase(it);
}

std::string ReadListText(TZEModuleSettingList* list, std::string_view name) {
  if (!list) return {};
  std::lock_guard lock(list->lock);
  return SettingText(list->array, name);
}

bool WriteListText(TZEModuleSettingList* list, std::string_view name, std::string_view text) {
  if (!list) return false;
  std::lock_guard lock(list->lock);
  const int32_t i = IndexOfSetting(list->array, name);
  if (i < 0) return false;
  StoreSettingText(list->array.values[i], text);
  return true;
}

std::optional<TZESettingValue> ReadListValue(TZEModuleSettingList* list, std::string_view name) {
  if (!list) return std::nullopt;
  std::lock_guard lock(list->lock);
  const int32_t i = IndexOfSetting(list->array, name);
  if (i < 0) return std::nullopt;
  return list->array.values[i];
}

void WriteListValue(TZEModuleSettingList* list, const TZESettingValue& value) {
  if (!list) return;
  std::lock_guard lock(list->lock);
  const int32_t i = IndexOfSetting(list->array, value.name);
  if (i < 0)
    AppendSettingValue(list->array, value);
  else
    list->array.values[i] = value;
}

bool WriteListValueOfKind(TZEModuleSettingList* list, const TZESettingValue& value) {
  if (!list) return false;
  std::lock_guard lock(list->lock);
  return StoreSettingOfKind(list->array, value);
}

SettingArray ListSnapshot(TZEModuleSettingList* list) {
  if (!list) return {};
  std::lock_guard lock(list->lock);
  return list->array;
}

std::vector<std::string> SettingsChainModules() {
  std::vector<std::string> names;
  ExistingBuffer buffer;
  if (!buffer.get()) return names;
  std::lock_guard lock(buffer.get()->chainLock);
  for (const auto& list : buffer.get()->chain) names.push_back(list->module.name);
  return names;
}

int ListReferences(TZEModuleSettingList* list) {
  ExistingBuffer buffer;
  if (!list || !buffer.get()) return 0;
  std::lock_guard lock(buffer.get()->chainLock);
  return list->refCount;
}

}  // namespace zor
