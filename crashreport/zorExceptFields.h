#pragma once
// Field lists and attachment lists.
//
// A field list may be tied to a settings object (each change is written back
// into its "AddFields" as "name=value|name=value") and to an exception object
// (each change tells it the report changed, once per outermost access). An
// attachment list may be tied to a settings object and written back into
// "AddAttachs" as "source>send-as>archive>field|...". Owners hold these
// lists by shared pointer and detach themselves when they go; a detached
// list writes back nothing. Both lists take a re-entrant lock around every
// operation; write-backs run under it, so the setting always matches the
// list's last state.
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "crashreport/zorExceptInterfaces.h"

namespace zor {

class TIZEFields : public IZEFields, public IZEFieldsEx {
 public:
  TIZEFields() = default;
  // A list that starts with input enabled.
  static std::shared_ptr<TIZEFields> NewEnabled();

  void BeginAccess() override;
  void EndAccess() override;
  int32_t Count() const override { return count_.load(std::memory_order_acquire); }
  std::string NameAt(int32_t index) override;
  void SetNameAt(int32_t index, std::string_view name) override;
  int32_t IndexOfName(std::string_view name) override;
  std::string ValueOf(std::string_view name) override;
  // Ignored until EnableInput. The value is trimmed of blanks and control
  // bytes at both ends; an empty one removes the name. A present name (any
  // case) takes the new spelling and value in place; a new one goes to the
  // insert point when it is above 0, else at the end.
  void SetValue(std::string_view name, std::string_view value) override;
  void Append(std::string_view name, std::string_view value) override { SetValue(name, value); }
  // Ignored until EnableInput or for a value trimmed to empty. The index is
  // clamped to 0..Count(); an item of the same name elsewhere moves there
  // (so no two items share a name), and an insert before the insert point
  // moves the insert point along with its item.
  void InsertAt(int32_t index, std::string_view name, std::string_view value) override;
  // Nothing outside 0..Count()-1.
  void RemoveAt(int32_t index) override;
  void RemoveName(std::string_view name) override { RemoveAt(IndexOfName(name)); }
  std::shared_ptr<IZEFields> Copy() override;

  void DetachException() override;
  void DetachSettings() override;
  void SetInsertPoint(int32_t index) override;
  void EnableInput() override { inputEnabled_ = true; }

  // Owners; the list does not keep them alive.
  void SetSettingsOwner(TIZESettings* owner);
  void SetExceptionOwner(TIZEException* owner);
  // "name=value|..." of every item.
  std::string TextForm();
  // Items kept: grows to 16 when empty, else to Count() * 3 / 2, when full.
  size_t Capacity();

 private:
  struct Item {
    std::string name, value;
  };
  void Grow();
  void WriteBack();

  // Calls `call` with the exception owner, if any, holding no lock of the
  // list: the owner's listeners may render this list and another one on
  // another thread. DetachException waits for the calls in flight.
  template <class Call>
  void CallExceptionOwner(Call call);

  std::recursive_mutex lock_;
  std::mutex ownerCallsLock_;
  std::condition_variable ownerCallsDone_;
  std::vector<std::thread::id> ownerCallers_;
  std::atomic<TIZEException*> exceptionOwner_{nullptr};
  TIZESettings* settingsOwner_ = nullptr;
  std::atomic<int32_t> count_{0};
  std::vector<Item> items_;
  int32_t insertPoint_ = 0;
  std::atomic<bool> inputEnabled_{false};
};

class TIZEAttachments : public IZEAttachments, public IZEAttachmentsOwner {
 public:
  void BeginAccess() override { lock_.lock(); }
  void EndAccess() override { lock_.unlock(); }
  int32_t Count() const override { return count_.load(std::memory_order_acquire); }
  bool ItemAt(int32_t index, std::string& sourceFile, std::string& sendAs, std::string& archive,
              std::string& field) override;
  // Nothing for an empty source. An empty send-as name becomes the source's
  // file name (after its last "/"); an empty field name the send-as name
  // without its last "." and what follows.
  void AppendFile(std::string_view sourceFile, std::string_view sendAs, std::string_view archive,
                  std::string_view field) override;
  bool RemoveFile(std::string_view sourceFile) override;
  void RemoveAll() override;
  std::shared_ptr<IZEAttachments> Copy() override;
  void DetachSettings() override;

  void SetSettingsOwner(TIZESettings* owner);
  std::string TextForm();

 private:
  struct Item {
    std::string source, sendAs, archive, field;
  };
  void WriteBack();

  std::recursive_mutex lock_;
  TIZESettings* settingsOwner_ = nullptr;
  std::atomic<int32_t> count_{0};
  std::vector<Item> items_;
};

// An empty attachment list without owner.
std::shared_ptr<IZEAttachments> NewAttachmentList();
// Turns every ";" into ",", drops blanks and empty items, and counts the
// addresses left (0 for an empty list).
int32_t CountMailAddresses(std::string& list);

}  // namespace zor
