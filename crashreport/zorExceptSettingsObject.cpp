// Settings objects: reads with their fallbacks, writes, the extra fields and
// attachments, plug-ins and the version text.
#include "crashreport/zorExceptSettingsObject.h"

#include <unistd.h>

#include <cstring>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorExceptFields.h"
#include "crashreport/zorExceptModules.h"
#include "crashreport/zorStrings.h"

namespace zor {

namespace {

std::mutex& MainMutex() {
  static std::mutex m;
  return m;
}
std::shared_ptr<IZEModuleSettings>& MainSlot() {
  static std::shared_ptr<IZEModuleSettings> main;
  return main;
}

constexpr size_t kMaxVersionText = 4096;

TZESettingValue ValueOfKind(std::string_view name, SettingKind kind) {
  TZESettingValue v;
  v.name.assign(name);
  v.kind = kind;
  return v;
}

}  // namespace

std::string ReadVersionText(const ZorModule& module, uint32_t offset) {
  if (offset == 0) return {};
  const std::optional<uintptr_t> base = ModuleLoadBase(module);
  if (!base) return {};
  const char* text = nullptr;
  if (!SafeRead(reinterpret_cast<const void*>(*base + offset), &text, sizeof text)) return {};
  // Read page by page, so that a text ending just before unmapped memory is
  // still read whole.
  static const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  std::string result;
  while (result.size() < kMaxVersionText) {
    const uintptr_t at = reinterpret_cast<uintptr_t>(text) + result.size();
    const size_t chunk = std::min(page - at % page, kMaxVersionText - result.size());
    char buffer[kMaxVersionText];
    if (!SafeRead(reinterpret_cast<const void*>(at), buffer, chunk)) return {};
    const void* end = std::memchr(buffer, 0, chunk);
    if (end) return result.append(buffer, static_cast<const char*>(end) - buffer);
    result.append(buffer, chunk);
  }
  return result;
}

TIZESettings::TIZESettings(const ZorModule& module, bool load) : module_(module) {
  if (!load) return;
  list_ = AcquireModuleSettingList(module);
  valid_ = list_ != nullptr;
  // The offset is relative to this module, so only the module's own list
  // may give it: another module's offset added to this base would read
  // whatever lies there.
  if (!valid_) return;
  const std::optional<TZESettingValue> offset = LookupValue("VersionVar", false);
  if (offset && offset->kind == skInteger)
    versionText_ = ReadVersionText(module_, static_cast<uint32_t>(offset->integer));
}

TIZESettings::~TIZESettings() {
  DetachExtras();
  if (list_) ReleaseModuleSettingList(list_);
}

void TIZESettings::DetachExtras() {
  std::lock_guard lock(extrasMutex_);
  if (extraFields_) extraFields_->DetachSettings();
  if (extraAttachs_) extraAttachs_->DetachSettings();
}

std::optional<TZESettingValue> TIZESettings::LookupValue(std::string_view name, bool useDefaults) {
  if (list_)
    if (std::optional<TZESettingValue> v = ReadListValue(list_, name)) return v;
  if (useDefaults)
    if (const SettingDefault* row = FindSettingDefault(name)) return DefaultValue(*row);
  return std::nullopt;
}

bool TIZESettings::StoreValue(const TZESettingValue& value) { return valid_ && WriteListValueOfKind(list_, value); }

template <class Reader>
auto TIZESettings::Read(std::string_view name, Reader reader) {
  const std::shared_ptr<IZEModuleSettings> main = MainSettings();
  const bool isMain = !main || SameModule(main->ModuleHandle(), module_);
  if (const std::optional<TZESettingValue> v = LookupValue(name, isMain)) return reader(&*v, nullptr);
  return reader(nullptr, isMain ? nullptr : main.get());
}

bool TIZESettings::ReadBool(std::string_view name) {
  return Read(name, [&](const TZESettingValue* v, IZESettings* main) {
    return v ? v->boolean : main ? main->ReadBool(name) : false;
  });
}

int32_t TIZESettings::ReadInt(std::string_view name) {
  return Read(name, [&](const TZESettingValue* v, IZESettings* main) {
    return v ? v->integer : main ? main->ReadInt(name) : 0;
  });
}

std::string TIZESettings::ReadText(std::string_view name) {
  std::string text = Read(name, [&](const TZESettingValue* v, IZESettings* main) {
    return v ? v->text : main ? main->ReadText(name) : std::string();
  });
  ExpandPlaceholders(module_, text, "%exceptMsg%", "%bugReport%");
  return text;
}

bool TIZESettings::WriteBool(std::string_view name, bool value) {
  TZESettingValue v = ValueOfKind(name, skBoolean);
  v.boolean = value;
  return StoreValue(v);
}

bool TIZESettings::WriteInt(std::string_view name, int32_t value) {
  TZESettingValue v = ValueOfKind(name, skInteger);
  v.integer = value;
  return StoreValue(v);
}

bool TIZESettings::WriteText(std::string_view name, std::string_view value) {
  TZESettingValue v = ValueOfKind(name, skText);
  StoreSettingText(v, value);
  return StoreValue(v);
}

std::shared_ptr<IZEFields> TIZESettings::AddFields() {
  std::lock_guard lock(extrasMutex_);
  if (!extraFields_) {
    auto fields = TIZEFields::NewEnabled();
    const std::string text = ReadText("AddFields");
    for (size_t i = 1; i <= ItemCount(text, '|'); ++i) {
      const std::string item = ItemOf(text, i, '|');
      // A second "=" ends the value.
      fields->SetValue(ItemOf(item, 1, '='), ItemOf(ItemOf(item, 2, '='), 1, '='));
    }
    // Linked only now, so that building the list writes nothing back.
    fields->SetSettingsOwner(this);
    extraFields_ = std::move(fields);
  }
  return extraFields_;
}

std::shared_ptr<IZEAttachments> TIZESettings::AddAttachs() {
  std::lock_guard lock(extrasMutex_);
  if (!extraAttachs_) {
    auto attachs = std::make_shared<TIZEAttachments>();
    const std::string text = ReadText("AddAttachs");
    for (size_t i = 1; i <= ItemCount(text, '|'); ++i) {
      const std::string item = ItemOf(text, i, '|');
      attachs->AppendFile(ItemOf(item, 1, '>'), ItemOf(item, 2, '>'), ItemOf(item, 3, '>'), ItemOf(item, 4, '>'));
    }
    attachs->SetSettingsOwner(this);
    extraAttachs_ = std::move(attachs);
  }
  return extraAttachs_;
}

bool TIZESettings::PluginEnabled(std::string_view name) { return HasItemNoCase(ReadText("Plugins"), name, '|'); }

void TIZESettings::SetPluginEnabled(std::string_view name, bool on) {
  if (PluginEnabled(name) == on) return;
  std::string plugins = ReadText("Plugins");
  if (on) {
    plugins = plugins.empty() ? std::string(name) : plugins + "|" + std::string(name);
  } else {
    // With rescan, so that a name listed twice in a row goes too: the "|"
    // left by one replacement starts the next match.
    plugins = "|" + plugins + "|";
    ReplaceNoCase(plugins, "|" + std::string(name) + "|", "|", true);
    plugins = plugins.substr(1, plugins.size() - 2);
  }
  WriteText("Plugins", plugins);
}

void TIZESettings::RereadResource() {
  if (list_) ReloadModuleSettingList(module_, list_);
}

std::shared_ptr<IZEModuleSettings> MainSettings() {
  std::lock_guard lock(MainMutex());
  return MainSlot();
}

void SetMainSettings(std::shared_ptr<IZEModuleSettings> settings) {
  {
    std::lock_guard lock(MainMutex());
    MainSlot().swap(settings);
  }
  // The settings replaced are released here, without the lock.
}

}  // namespace zor
