#pragma once
// The contents of a registry: a tree of keys, each with named values and
// sub-keys, both kept in the order they were added. Names compare without
// case and keep the case they were given first.
//
// A value holds its bytes as the original platform's registry holds them,
// typed with that platform's numbers, so that sizes and type checks answer
// as there:
//   REG_SZ, REG_EXPAND_SZ  the UTF-8 text and a closing NUL;
//   REG_DWORD              four bytes, little-endian;
//   REG_BINARY             the bytes;
//   REG_MULTI_SZ           each text with a closing NUL, then one more NUL
//                          (the texts are not empty: an empty one would end
//                          the list).
// Only well-formed values of these five types enter a tree (IsWellFormed).
//
// Limits, as the original platform sets them (in bytes of UTF-8 here): a key
// name is 1 to 255 bytes of valid UTF-8 without "\" or control characters; a
// key lies at most 512 keys deep; a value name is at most 16383 bytes.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;
inline constexpr uint32_t REG_MULTI_SZ = 7;

inline constexpr size_t kMaxKeyNameSize = 255;
inline constexpr size_t kMaxKeyDepth = 512;
inline constexpr size_t kMaxValueNameSize = 16383;

struct TRegValue {
  std::string Name;
  uint32_t Type = REG_BINARY;
  std::string Data;
  friend bool operator==(const TRegValue&, const TRegValue&) = default;
};

// The data of each type from its content.
std::string StringData(std::string_view Text);
std::string DwordData(uint32_t Value);
// Texts end at a NUL, as a reader would see them; empty ones are left out.
std::string MultiStringData(const std::vector<std::string>& Texts);
// The content again: the text before the first NUL; the number; the texts.
std::string DataText(std::string_view Data);
uint32_t DataDword(std::string_view Data);
std::vector<std::string> DataTexts(std::string_view Data);

bool IsWellFormed(const TRegValue& Value);
bool IsValidKeyName(std::string_view Name);
bool IsValidValueName(std::string_view Name);

// Splits a key path at "\" into names: "" gives no names, one "\" at the end
// is allowed ("Software\" is Software). False when a name is empty or
// invalid, or the path is deeper than kMaxKeyDepth.
bool SplitKeyPath(std::string_view Path, std::vector<std::string>& Names);
std::string JoinKeyPath(const std::vector<std::string>& Names);

class TRegKeyNode {
 public:
  explicit TRegKeyNode(std::string Name = {});
  TRegKeyNode(const TRegKeyNode&) = delete;
  TRegKeyNode& operator=(const TRegKeyNode&) = delete;

  const std::string& Name() const { return name_; }
  const std::vector<std::unique_ptr<TRegKeyNode>>& SubKeys() const { return subKeys_; }
  const std::vector<TRegValue>& Values() const { return values_; }

  const TRegKeyNode* FindSubKey(std::string_view Name) const;
  TRegKeyNode* FindSubKey(std::string_view Name);
  // The sub-key of that name, added at the end when missing.
  TRegKeyNode& SubKey(std::string_view Name);
  // Removes the sub-key with all below it; false when there is none.
  bool RemoveSubKey(std::string_view Name);

  // The key at the end of Names below this one, or nullptr.
  const TRegKeyNode* Find(const std::vector<std::string>& Names) const;
  TRegKeyNode* Find(const std::vector<std::string>& Names);
  // The same, adding the missing keys.
  TRegKeyNode& FindOrAdd(const std::vector<std::string>& Names);

  const TRegValue* FindValue(std::string_view Name) const;
  // Replaces the value of that name where it stands (keeping the stored
  // spelling of the name), or adds it at the end.
  void SetValue(TRegValue Value);
  bool RemoveValue(std::string_view Name);

  // Empties the key: no values, no sub-keys.
  void Clear();
  // Same names (exact case), values and sub-keys in the same order.
  bool SameAs(const TRegKeyNode& Other) const;

 private:
  using TIndex = std::unordered_map<std::string, size_t>;  // folded name -> position
  static int Lookup(const TIndex& Index, std::string_view Name);
  static void Unindex(TIndex& Index, size_t Position);

  std::string name_;
  std::vector<TRegValue> values_;
  std::vector<std::unique_ptr<TRegKeyNode>> subKeys_;
  // Look-ups stay quick in keys with many entries (a file may hold any number).
  TIndex valueIndex_;
  TIndex subKeyIndex_;
};
