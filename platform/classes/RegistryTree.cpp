#include "platform/classes/RegistryTree.h"

#include <algorithm>

#include "platform/classes/StoreFiles_p.h"
#include "platform/core/Codecs.h"

std::string StringData(std::string_view Text) { return std::string(Text) + '\0'; }

std::string DwordData(uint32_t Value) {
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((Value >> (8 * i)) & 0xFF);
  return data;
}

std::string MultiStringData(const std::vector<std::string>& Texts) {
  std::string data;
  for (const std::string& text : Texts) {
    const std::string_view cut = std::string_view(text).substr(0, text.find('\0'));
    if (!cut.empty()) data.append(cut).push_back('\0');
  }
  return data + '\0';
}

std::string DataText(std::string_view Data) { return std::string(Data.substr(0, Data.find('\0'))); }

uint32_t DataDword(std::string_view Data) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4 && i < Data.size(); ++i) value |= uint32_t(static_cast<unsigned char>(Data[i])) << (8 * i);
  return value;
}

std::vector<std::string> DataTexts(std::string_view Data) {
  std::vector<std::string> texts;
  while (!Data.empty() && Data[0] != '\0') {
    const size_t end = Data.find('\0');
    texts.emplace_back(Data.substr(0, end));
    Data.remove_prefix(end == std::string_view::npos ? Data.size() : end + 1);
  }
  return texts;
}

bool IsWellFormed(const TRegValue& Value) {
  const std::string_view data = Value.Data;
  switch (Value.Type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      return !data.empty() && data.back() == '\0';
    case REG_DWORD:
      return data.size() == 4;
    case REG_BINARY:
      return true;
    case REG_MULTI_SZ:
      // Non-empty texts, each closed by NUL, then the closing NUL: the only
      // "\0\0" stands at the end, or the data is the closing NUL alone.
      if (data == std::string_view("\0", 1)) return true;
      return data.size() >= 3 && data.front() != '\0' && data.find(std::string_view("\0\0", 2)) == data.size() - 2;
    default:
      return false;
  }
}

bool IsValidKeyName(std::string_view Name) {
  if (Name.empty() || Name.size() > kMaxKeyNameSize || !IsValidUtf8(Name)) return false;
  return std::none_of(Name.begin(), Name.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return c == '\\' || b < 0x20 || b == 0x7F;
  });
}

bool IsValidValueName(std::string_view Name) { return Name.size() <= kMaxValueNameSize; }

bool SplitKeyPath(std::string_view Path, std::vector<std::string>& Names) {
  Names.clear();
  if (!Path.empty() && Path.back() == '\\') Path.remove_suffix(1);
  if (Path.empty()) return true;
  while (true) {
    const size_t slash = Path.find('\\');
    const std::string_view name = Path.substr(0, slash);
    if (!IsValidKeyName(name) || Names.size() == kMaxKeyDepth) return false;
    Names.emplace_back(name);
    if (slash == std::string_view::npos) return true;
    Path.remove_prefix(slash + 1);
  }
}

std::string JoinKeyPath(const std::vector<std::string>& Names) {
  std::string path;
  for (const std::string& name : Names) path += (path.empty() ? "" : "\\") + name;
  return path;
}

TRegKeyNode::TRegKeyNode(std::string Name) : name_(std::move(Name)) {}

int TRegKeyNode::Lookup(const TIndex& Index, std::string_view Name) {
  const auto it = Index.find(FoldName(Name));
  return it == Index.end() ? -1 : static_cast<int>(it->second);
}

// Removes the entry at Position; the entries after it move up one place.
void TRegKeyNode::Unindex(TIndex& Index, size_t Position) {
  for (auto it = Index.begin(); it != Index.end();) {
    if (it->second == Position) {
      it = Index.erase(it);
    } else {
      if (it->second > Position) --it->second;
      ++it;
    }
  }
}

const TRegKeyNode* TRegKeyNode::FindSubKey(std::string_view Name) const {
  const int i = Lookup(subKeyIndex_, Name);
  return i < 0 ? nullptr : subKeys_[i].get();
}

TRegKeyNode* TRegKeyNode::FindSubKey(std::string_view Name) {
  return const_cast<TRegKeyNode*>(static_cast<const TRegKeyNode*>(this)->FindSubKey(Name));
}

TRegKeyNode& TRegKeyNode::SubKey(std::string_view Name) {
  const auto [it, added] = subKeyIndex_.try_emplace(FoldName(Name), subKeys_.size());
  if (added) subKeys_.push_back(std::make_unique<TRegKeyNode>(std::string(Name)));
  return *subKeys_[it->second];
}

bool TRegKeyNode::RemoveSubKey(std::string_view Name) {
  const int i = Lookup(subKeyIndex_, Name);
  if (i < 0) return false;
  subKeys_.erase(subKeys_.begin() + i);
  Unindex(subKeyIndex_, static_cast<size_t>(i));
  return true;
}

const TRegKeyNode* TRegKeyNode::Find(const std::vector<std::string>& Names) const {
  const TRegKeyNode* key = this;
  for (const std::string& name : Names)
    if (!(key = key->FindSubKey(name))) return nullptr;
  return key;
}

TRegKeyNode* TRegKeyNode::Find(const std::vector<std::string>& Names) {
  return const_cast<TRegKeyNode*>(static_cast<const TRegKeyNode*>(this)->Find(Names));
}

TRegKeyNode& TRegKeyNode::FindOrAdd(const std::vector<std::string>& Names) {
  TRegKeyNode* key = this;
  for (const std::string& name : Names) key = &key->SubKey(name);
  return *key;
}

const TRegValue* TRegKeyNode::FindValue(std::string_view Name) const {
  const int i = Lookup(valueIndex_, Name);
  return i < 0 ? nullptr : &values_[i];
}

void TRegKeyNode::SetValue(TRegValue Value) {
  const auto [it, added] = valueIndex_.try_emplace(FoldName(Value.Name), values_.size());
  if (added) {
    values_.push_back(std::move(Value));
  } else {
    Value.Name = values_[it->second].Name;
    values_[it->second] = std::move(Value);
  }
}

bool TRegKeyNode::RemoveValue(std::string_view Name) {
  const int i = Lookup(valueIndex_, Name);
  if (i < 0) return false;
  values_.erase(values_.begin() + i);
  Unindex(valueIndex_, static_cast<size_t>(i));
  return true;
}

void TRegKeyNode::Clear() {
  values_.clear();
  subKeys_.clear();
  valueIndex_.clear();
  subKeyIndex_.clear();
}

bool TRegKeyNode::SameAs(const TRegKeyNode& Other) const {
  if (name_ != Other.name_ || values_ != Other.values_ || subKeys_.size() != Other.subKeys_.size()) return false;
  for (size_t i = 0; i < subKeys_.size(); ++i)
    if (!subKeys_[i]->SameAs(*Other.subKeys_[i])) return false;
  return true;
}
