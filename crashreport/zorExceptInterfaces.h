#pragma once
// The reporter's interfaces: abstract classes held by std::shared_ptr, asked
// for one another with QueryInterface (a dynamic_cast). An owner that must
// not keep a list alive holds a plain pointer and detaches itself in its
// destructor.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "crashreport/zorExceptSettings.h"

namespace zor {

class IZEInterface {
 public:
  virtual ~IZEInterface() = default;
};

// The interface `I` of the object behind `p`, or nullptr.
template <class I, class From>
std::shared_ptr<I> QueryInterface(const std::shared_ptr<From>& p) {
  return std::dynamic_pointer_cast<I>(p);
}

class TIZESettings;
class TIZEException;
class INVWizard;

// An ordered list of named texts. Names compare through the reporter's case
// table; indices count from 0. Safe to use from any thread; a series of
// operations between BeginAccess and EndAccess is seen whole by others.
class IZEFields : public virtual IZEInterface {
 public:
  virtual void BeginAccess() = 0;
  virtual void EndAccess() = 0;
  virtual int32_t Count() const = 0;
  // Empty outside 0..Count()-1.
  virtual std::string NameAt(int32_t index) = 0;
  // Renames a valid index (an exact comparison decides whether it changed).
  virtual void SetNameAt(int32_t index, std::string_view name) = 0;
  // The first index of the name ignoring case, or -1.
  virtual int32_t IndexOfName(std::string_view name) = 0;
  virtual std::string ValueOf(std::string_view name) = 0;
  // Sets, adds or (for a value of blanks only) removes the name's item.
  virtual void SetValue(std::string_view name, std::string_view value) = 0;
  virtual void Append(std::string_view name, std::string_view value) = 0;
  virtual void InsertAt(int32_t index, std::string_view name, std::string_view value) = 0;
  virtual void RemoveAt(int32_t index) = 0;
  virtual void RemoveName(std::string_view name) = 0;
  // A new list without owners, input enabled, with the same items.
  virtual std::shared_ptr<IZEFields> Copy() = 0;
};

class IZEFieldsEx : public virtual IZEInterface {
 public:
  virtual void DetachException() = 0;
  virtual void DetachSettings() = 0;
  virtual void SetInsertPoint(int32_t index) = 0;
  virtual void EnableInput() = 0;
};

// An ordered list of files to send: source file, the name the receiver sees,
// a ZIP archive to pack it into (empty: none) and the field that carries it.
class IZEAttachments : public virtual IZEInterface {
 public:
  virtual void BeginAccess() = 0;
  virtual void EndAccess() = 0;
  virtual int32_t Count() const = 0;
  // False, outputs untouched, outside 0..Count()-1.
  virtual bool ItemAt(int32_t index, std::string& sourceFile, std::string& sendAs, std::string& archive,
                      std::string& field) = 0;
  virtual void AppendFile(std::string_view sourceFile, std::string_view sendAs, std::string_view archive,
                          std::string_view field) = 0;
  // Removes the first item of that source file, ignoring case.
  virtual bool RemoveFile(std::string_view sourceFile) = 0;
  virtual void RemoveAll() = 0;
  virtual std::shared_ptr<IZEAttachments> Copy() = 0;
};

class IZEAttachmentsOwner : public virtual IZEInterface {
 public:
  virtual void DetachSettings() = 0;
};

}  // namespace zor
