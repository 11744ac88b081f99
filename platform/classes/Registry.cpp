#include "platform/classes/Registry.h"

#include <algorithm>
#include <atomic>

#include "platform/classes/RegistryStore.h"
#include "platform/classes/RegistryTree.h"
#include "platform/classes/Registry_p.h"
#include "platform/core/Exceptions.h"

KESTOVA_CLASS_INFO(TRegistry, TObject, "Registry", &MakeObject<TRegistry>)

namespace {
// The hives other than the current user's: empty, and never written.
const TRegKeyNode& EmptyHive() {
  static const TRegKeyNode* hive = new TRegKeyNode;
  return *hive;
}

HKEY NewHandle() {
  static std::atomic<HKEY> next{1};
  return next++;
}
}  // namespace

TRegistry::TRegistry() = default;

void TRegistry::SetRootKey(HKEY Value) {
  if (rootKey_ == Value) return;
  rootKey_ = Value;
  CloseKey();
}

bool TRegistry::ResolveKey(const std::string& Key, std::vector<std::string>& Names, bool& Relative) const {
  Relative = Key.empty() || Key[0] != '\\';
  std::vector<std::string> names;
  if (!SplitKeyPath(Relative ? std::string_view(Key) : std::string_view(Key).substr(1), names)) return false;
  Names = Relative && key_.Handle ? key_.Names : std::vector<std::string>{};
  if (Names.size() + names.size() > kMaxKeyDepth) return false;
  Names.insert(Names.end(), names.begin(), names.end());
  return true;
}

bool TRegistry::ReadTree(const std::function<void(const TRegKeyNode&)>& Visit) const {
  if (rootKey_ != HKEY_CURRENT_USER) {
    Visit(EmptyHive());
    return false;
  }
  CurrentUserRegistry().Read(Visit);
  return true;
}

bool TRegistry::ChangeTree(const std::function<bool(TRegKeyNode&)>& Edit) {
  return rootKey_ == HKEY_CURRENT_USER && CurrentUserRegistry().Change(Edit);
}

bool TRegistry::EnsureKey(const std::vector<std::string>& Names, bool Relative, bool CanCreate) {
  bool exists = false;
  ReadTree([&](const TRegKeyNode& root) { exists = root.Find(Names) != nullptr; });
  // Adding a key needs a writable key to add it to.
  if (exists || !CanCreate || (Relative && key_.Handle && key_.ReadOnly)) return exists;
  try {
    ChangeTree([&](TRegKeyNode& root) {
      if (root.Find(Names)) return false;
      root.FindOrAdd(Names);
      return true;
    });
  } catch (const EInOutError&) {
    return false;
  }
  ReadTree([&](const TRegKeyNode& root) { exists = root.Find(Names) != nullptr; });
  return exists;
}

bool TRegistry::ChangeKey(const std::string& Key, bool CanCreate, bool ReadOnly) {
  std::vector<std::string> names;
  bool relative = false;
  if (!ResolveKey(Key, names, relative) || !EnsureKey(names, relative, CanCreate)) return false;
  std::string pathText = relative ? Key : Key.substr(1);
  if (relative && key_.Handle) pathText = Key.empty() ? key_.PathText : key_.PathText + "\\" + Key;
  key_ = TKeyState{NewHandle(), std::move(names), std::move(pathText), ReadOnly};
  return true;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) { return ChangeKey(Key, CanCreate, false); }

bool TRegistry::OpenKeyReadOnly(const std::string& Key) { return ChangeKey(Key, false, true); }

void TRegistry::CloseKey() { key_ = TKeyState{}; }

bool TRegistry::CreateKey(const std::string& Key) {
  std::vector<std::string> names;
  bool relative = false;
  if (!ResolveKey(Key, names, relative) || !EnsureKey(names, relative, true))
    RaiseRegistryError(kRegCreateFailedText, Key);
  return true;
}

bool TRegistry::DeleteKey(const std::string& Key) {
  std::vector<std::string> names;
  bool relative = false;
  if (Key.empty() || !ResolveKey(Key, names, relative) || names.empty()) return false;
  if (relative && key_.Handle && key_.ReadOnly) return false;
  const std::string last = names.back();
  names.pop_back();
  try {
    return ChangeTree([&](TRegKeyNode& root) {
      TRegKeyNode* parent = root.Find(names);
      return parent && parent->RemoveSubKey(last);
    });
  } catch (const EInOutError&) {
    return false;
  }
}

bool TRegistry::DeleteValue(const std::string& Name) {
  if (!key_.Handle || key_.ReadOnly) return false;
  try {
    return ChangeTree([&](TRegKeyNode& root) {
      TRegKeyNode* key = root.Find(key_.Names);
      return key && key->RemoveValue(Name);
    });
  } catch (const EInOutError&) {
    return false;
  }
}

bool TRegistry::KeyExists(const std::string& Key) {
  std::vector<std::string> names;
  bool relative = false;
  bool exists = false;
  if (ResolveKey(Key, names, relative))
    ReadTree([&](const TRegKeyNode& root) { exists = root.Find(names) != nullptr; });
  return exists;
}

bool TRegistry::Fetch(const std::string& Name, TRegValue& Value) const {
  bool found = false;
  if (key_.Handle)
    ReadTree([&](const TRegKeyNode& root) {
      const TRegKeyNode* key = root.Find(key_.Names);
      const TRegValue* value = key ? key->FindValue(Name) : nullptr;
      if ((found = value != nullptr)) Value = *value;
    });
  return found;
}

bool TRegistry::ValueExists(const std::string& Name) {
  TRegValue value;
  return Fetch(Name, value);
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& Value) {
  Value = {};
  bool found = false;
  if (key_.Handle)
    ReadTree([&](const TRegKeyNode& root) {
      const TRegKeyNode* key = root.Find(key_.Names);
      if (!(found = key != nullptr)) return;
      Value.NumSubKeys = static_cast<int>(key->SubKeys().size());
      Value.NumValues = static_cast<int>(key->Values().size());
      for (const auto& sub : key->SubKeys())
        Value.MaxSubKeyLen = std::max(Value.MaxSubKeyLen, static_cast<int>(sub->Name().size()));
      for (const TRegValue& value : key->Values()) {
        Value.MaxValueLen = std::max(Value.MaxValueLen, static_cast<int>(value.Name.size()));
        Value.MaxDataLen = std::max(Value.MaxDataLen, static_cast<int>(value.Data.size()));
      }
    });
  return found;
}

bool TRegistry::HasSubKeys() {
  TRegKeyInfo info;
  return GetKeyInfo(info) && info.NumSubKeys > 0;
}

bool TRegistry::GetDataInfo(const std::string& ValueName, TRegDataInfo& Value) {
  TRegValue value;
  Value = {};
  if (!Fetch(ValueName, value)) return false;
  Value = {DataTypeOf(value.Type), static_cast<int>(value.Data.size())};
  return true;
}

TRegDataType TRegistry::GetDataType(const std::string& ValueName) {
  TRegDataInfo info;
  return GetDataInfo(ValueName, info) ? info.RegData : rdUnknown;
}

int TRegistry::GetDataSize(const std::string& ValueName) {
  TRegDataInfo info;
  return GetDataInfo(ValueName, info) ? info.DataSize : -1;
}
