#pragma once
// TStringList: an ordered list of text lines, with the class library's text
// forms (Text, CommaText, Name=Value pairs) and file loading and saving.

#include <string>
#include <string_view>
#include <vector>

class TStringList {
 public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> lines) : items_(lines) {}

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  // Raise EListError "List index out of bounds (i)" outside 0..Count-1.
  const std::string& Strings(int index) const;
  const std::string& operator[](int index) const { return Strings(index); }
  void Put(int index, std::string value);

  int Add(std::string value);
  void Insert(int index, std::string value);  // index 0..Count
  void Delete(int index);
  void Clear() { items_.clear(); }
  void Assign(const TStringList& other) { items_ = other.items_; }
  void Append(const TStringList& other);
  // First index of an exact (case-sensitive) match, -1 when absent.
  int IndexOf(std::string_view value) const;

  // Lines joined, each followed by the platform line break (LF).
  std::string Text() const;
  // Splits on CR, LF and CR LF; a final line break does not add an empty line.
  void SetText(std::string_view text);

  // Items separated by commas; an empty item, or one holding a blank, a
  // control character, a comma or a double quote, is enclosed in double quotes
  // with inner quotes doubled.
  std::string CommaText() const;
  // Reads that notation: items end at a comma or at a blank when unquoted;
  // quoted items may hold anything, "" standing for one quote.
  void SetCommaText(std::string_view text);
  std::string DelimitedText(char delimiter, char quote = '"') const;
  void SetDelimitedText(std::string_view text, char delimiter, char quote = '"');

  // Name=Value pairs. Names compare case-insensitively.
  std::string Names(int index) const;
  std::string ValueFromIndex(int index) const;
  int IndexOfName(std::string_view name) const;
  std::string Values(std::string_view name) const;  // "" when absent
  // Sets the value of `name`, adding the pair when absent; an empty value
  // removes the pair.
  void SetValue(std::string_view name, std::string_view value);

  // Raise EInOutError naming the file when it cannot be read or written.
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

  const std::vector<std::string>& Lines() const { return items_; }
  std::vector<std::string>::const_iterator begin() const { return items_.begin(); }
  std::vector<std::string>::const_iterator end() const { return items_.end(); }
  bool operator==(const TStringList&) const = default;

 private:
  void Check(int index, int limit) const;
  std::vector<std::string> items_;
};
