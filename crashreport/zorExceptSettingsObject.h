#pragma once
// Settings objects: the one way the reporter reads and writes its settings.
//
// A settings object belongs to a module and shares that module's list in the
// store (zorExceptSettings.h). A read looks in the module's own list; when
// the key is not there it asks the main settings (MainSettings), unless this
// object is of the main module (or there are none), in which case the
// built-in default answers, and a key without default reads false, 0 or
// empty. Texts come back with their placeholders expanded for this object's
// module; "%exceptMsg%" and "%bugReport%" stay as they are. A write creates
// the key in the module's list when absent and fails, changing nothing, when
// the object has no list or the stored key is of another kind; writes last
// until RereadResource or the end of the process and every object of the
// module sees them.
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "crashreport/zorExceptInterfaces.h"
#include "crashreport/zorExceptKeys.h"
#include "crashreport/zorExceptSettingsKeys.h"

namespace zor {

class IZEException;
class TIZEFields;
class TIZEAttachments;

class IZESettings : public virtual IZEInterface {
 public:
  virtual ZorModule ModuleHandle() const = 0;

  // Typed access by key name; integers read as signed or as unsigned 32 bits.
  virtual bool ReadBool(std::string_view name) = 0;
  virtual int32_t ReadInt(std::string_view name) = 0;
  virtual std::string ReadText(std::string_view name) = 0;
  uint32_t ReadDword(std::string_view name) { return static_cast<uint32_t>(ReadInt(name)); }
  virtual bool WriteBool(std::string_view name, bool value) = 0;
  virtual bool WriteInt(std::string_view name, int32_t value) = 0;
  virtual bool WriteText(std::string_view name, std::string_view value) = 0;
  bool WriteDword(std::string_view name, uint32_t value) { return WriteInt(name, static_cast<int32_t>(value)); }

  // The "AddFields" list, built on the first call; later changes to it are
  // written back into "AddFields". The same object on every call.
  virtual std::shared_ptr<IZEFields> AddFields() = 0;
  // The "AddAttachs" list, the same way.
  virtual std::shared_ptr<IZEAttachments> AddAttachs() = 0;
  // Whether the name is one of the "|"-separated items of "Plugins",
  // ignoring case; switching adds it at the end or removes every item of it.
  virtual bool PluginEnabled(std::string_view name) = 0;
  virtual void SetPluginEnabled(std::string_view name, bool on) = 0;
  // The application's version text that "VersionVar" points to; empty when
  // none or unreadable.
  virtual std::string VersionVar() = 0;
  // The assistant of that name (the first "Assistant" + n whose first item
  // equals it ignoring case; the search stops at the first empty key), with
  // remembered form values put back; nullptr when none.
  virtual std::shared_ptr<INVWizard> CreateAssistant(std::string_view name) = 0;

#define ZOR_BOOL_ACCESSORS(Key)         \
  bool Key() { return ReadBool(#Key); } \
  bool Set##Key(bool v) { return WriteBool(#Key, v); }
#define ZOR_DWORD_ACCESSORS(Key)             \
  uint32_t Key() { return ReadDword(#Key); } \
  bool Set##Key(uint32_t v) { return WriteDword(#Key, v); }
#define ZOR_INT_ACCESSORS(Key)            \
  int32_t Key() { return ReadInt(#Key); } \
  bool Set##Key(int32_t v) { return WriteInt(#Key, v); }
#define ZOR_TEXT_ACCESSORS(Key)                \
  std::string Key() { return ReadText(#Key); } \
  bool Set##Key(std::string_view v) { return WriteText(#Key, v); }
  ZOR_BOOL_KEYS(ZOR_BOOL_ACCESSORS)
  ZOR_DWORD_KEYS(ZOR_DWORD_ACCESSORS)
  ZOR_INT_KEYS(ZOR_INT_ACCESSORS)
  ZOR_TEXT_KEYS(ZOR_TEXT_ACCESSORS)
  uint32_t FocusedBtn() { return ReadDword("FocusedBtn"); }
  bool SetFocusedBtn(uint8_t v) { return WriteDword("FocusedBtn", v); }
};

class IZEModuleSettings : public virtual IZESettings {
 public:
  // A settings list was found for the module.
  virtual bool HasSettings() const = 0;
  // The module's minimum debug information is named ("MinDebugInfo" not empty).
  bool MinDebugInfo() { return !ReadText(kMinDebugInfoKey).empty(); }
#define ZOR_BOOL_READER(Key) \
  bool Key() { return ReadBool(#Key); }
#define ZOR_DWORD_READER(Key) \
  uint32_t Key() { return ReadDword(#Key); }
  ZOR_MODULE_BOOL_READ_KEYS(ZOR_BOOL_READER)
  ZOR_MODULE_DWORD_READ_KEYS(ZOR_DWORD_READER)
  ZOR_MODULE_BOOL_KEYS(ZOR_BOOL_ACCESSORS)
  ZOR_MODULE_DWORD_KEYS(ZOR_DWORD_ACCESSORS)
  ZOR_MODULE_TEXT_KEYS(ZOR_TEXT_ACCESSORS)
#undef ZOR_BOOL_READER
#undef ZOR_DWORD_READER
  // Parses the module's resource again: writes since are lost.
  virtual void RereadResource() = 0;
};
#undef ZOR_BOOL_ACCESSORS
#undef ZOR_DWORD_ACCESSORS
#undef ZOR_INT_ACCESSORS
#undef ZOR_TEXT_ACCESSORS

// Used inside the reporter only.
class IZEPropertyAccess : public virtual IZEInterface {
 public:
  // Remembers what was typed into the edits and check boxes of every form
  // left with "Next >" (a check box as "+" or "-"; an empty edit forgets
  // its name).
  virtual void StoreFormValues(INVWizard& assistant) = 0;
  // Puts remembered values back; a form whose edits and check boxes all had
  // a value opens with the focus on its enabled continue button.
  virtual void RestoreFormValues(INVWizard& assistant) = 0;
  virtual TIZESettings* SettingsObject() = 0;
};

class TIZESettings : public IZEModuleSettings,
                     public IZEPropertyAccess,
                     public std::enable_shared_from_this<TIZESettings> {
 public:
  // With `load`, takes the module's list from the store and reads the
  // version text; without, acquires nothing (an exception object fills its
  // own fields).
  TIZESettings(const ZorModule& module, bool load);
  ~TIZESettings() override;
  TIZESettings(const TIZESettings&) = delete;
  TIZESettings& operator=(const TIZESettings&) = delete;

  ZorModule ModuleHandle() const override { return module_; }
  bool HasSettings() const override { return valid_; }
  bool ReadBool(std::string_view name) override;
  int32_t ReadInt(std::string_view name) override;
  std::string ReadText(std::string_view name) override;
  bool WriteBool(std::string_view name, bool value) override;
  bool WriteInt(std::string_view name, int32_t value) override;
  bool WriteText(std::string_view name, std::string_view value) override;

  std::shared_ptr<IZEFields> AddFields() override;
  std::shared_ptr<IZEAttachments> AddAttachs() override;
  bool PluginEnabled(std::string_view name) override;
  void SetPluginEnabled(std::string_view name, bool on) override;
  std::string VersionVar() override { return versionText_; }
  std::shared_ptr<INVWizard> CreateAssistant(std::string_view name) override;
  void RereadResource() override;

  void StoreFormValues(INVWizard& assistant) override;
  void RestoreFormValues(INVWizard& assistant) override;
  TIZESettings* SettingsObject() override { return this; }

  // The value of the name in this object's lists, then, with `useDefaults`,
  // in the defaults; a copy.
  virtual std::optional<TZESettingValue> LookupValue(std::string_view name, bool useDefaults);

 protected:
  // Writes the value, creating its key when absent; false on a kind mismatch.
  virtual bool StoreValue(const TZESettingValue& value);
  // The exception object this is, or nullptr.
  virtual std::shared_ptr<IZEException> AsException() { return nullptr; }
  // Cuts the write-back links of the lists built from "AddFields" and
  // "AddAttachs"; a derived object calls it first in its own destructor, so
  // that no write-back reaches a half-destroyed object.
  void DetachExtras();

  bool valid_ = false;
  ZorModule module_;

 private:
  template <class Reader>
  auto Read(std::string_view name, Reader reader);

  TZEModuleSettingList* list_ = nullptr;
  std::string versionText_;
  std::mutex extrasMutex_;
  std::shared_ptr<TIZEFields> extraFields_;
  std::shared_ptr<TIZEAttachments> extraAttachs_;
  std::shared_ptr<TIZEFields> formCache_;
};

// The version text: the pointer stored at the module's load base + offset,
// and the zero-terminated text it points to, read up to 4 KiB with SafeRead;
// empty for offset 0 or on any fault.
std::string ReadVersionText(const ZorModule& module, uint32_t offset);

// The main settings, which every other module's settings fall back to; null
// until the reporter's start-up sets them.
std::shared_ptr<IZEModuleSettings> MainSettings();
void SetMainSettings(std::shared_ptr<IZEModuleSettings> settings);

// The settings of the reporter's module, or when it has none or they say
// "NoSettings", of the first loaded module whose settings do not (nullptr
// when no module carries settings).
std::shared_ptr<IZEModuleSettings> FindProcessSettings();
// The module's settings; valid settings that say "NoSettings" give way to
// FindProcessSettings when that finds usable ones.
std::shared_ptr<IZEModuleSettings> SettingsForModule(const ZorModule& module);
// The settings of the module holding the address (other than the reporter's
// own), else FindProcessSettings, else the reporter module's (invalid)
// settings. Never null.
std::shared_ptr<IZESettings> SettingsForAddress(const void* address);
// SettingsForAddress of the code that called this function, or of the code
// `level` frames above it.
std::shared_ptr<IZESettings> SettingsForCaller();
std::shared_ptr<IZESettings> SettingsForCallerLevel(int level);

}  // namespace zor
