#include "platform/core/StringList.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

void TStringList::Check(int index, int limit) const {
  if (index < 0 || index > limit) throw EListError(Format(kListIndexErrorText, {index}));
}

const std::string& TStringList::Strings(int index) const {
  Check(index, Count() - 1);
  return items_[index];
}

void TStringList::Put(int index, std::string value) {
  Check(index, Count() - 1);
  items_[index] = std::move(value);
}

int TStringList::Add(std::string value) {
  items_.push_back(std::move(value));
  return Count() - 1;
}

void TStringList::Insert(int index, std::string value) {
  Check(index, Count());
  items_.insert(items_.begin() + index, std::move(value));
}

void TStringList::Delete(int index) {
  Check(index, Count() - 1);
  items_.erase(items_.begin() + index);
}

void TStringList::Append(const TStringList& other) {
  items_.insert(items_.end(), other.items_.begin(), other.items_.end());
}

int TStringList::IndexOf(std::string_view value) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i] == value) return i;
  return -1;
}

std::string TStringList::Text() const {
  std::string out;
  for (const auto& s : items_) {
    out += s;
    out += '\n';
  }
  return out;
}

void TStringList::SetText(std::string_view text) {
  items_.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    items_.emplace_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r') {
      ++end;
      if (end < text.size() && text[end] == '\n') ++end;
    } else if (end < text.size()) {
      ++end;
    }
    start = end;
  }
}

std::string TStringList::DelimitedText(char delimiter, char quote) const {
  if (items_.size() == 1 && items_[0].empty()) return std::string(2, quote);
  std::string out;
  for (size_t i = 0; i < items_.size(); ++i) {
    const std::string& s = items_[i];
    bool needsQuote = s.empty();
    for (char c : s)
      if (static_cast<unsigned char>(c) <= ' ' || c == delimiter || c == quote) needsQuote = true;
    if (i > 0) out += delimiter;
    if (!needsQuote) {
      out += s;
      continue;
    }
    out += quote;
    for (char c : s) {
      if (c == quote) out += quote;
      out += c;
    }
    out += quote;
  }
  return out;
}

void TStringList::SetDelimitedText(std::string_view text, char delimiter, char quote) {
  items_.clear();
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  size_t i = 0;
  while (i < text.size() && blank(text[i])) ++i;
  while (i < text.size()) {
    std::string item;
    if (text[i] == quote) {
      ++i;
      while (i < text.size()) {
        if (text[i] == quote) {
          if (i + 1 < text.size() && text[i + 1] == quote) {
            item += quote;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      while (i < text.size() && !blank(text[i]) && text[i] != delimiter) item += text[i++];
    }
    items_.push_back(std::move(item));
    while (i < text.size() && blank(text[i])) ++i;
    if (i < text.size() && text[i] == delimiter) {
      ++i;
      // A delimiter at the very end stands before one more, empty item.
      if (i == text.size()) items_.emplace_back();
      while (i < text.size() && blank(text[i])) ++i;
    }
  }
}

std::string TStringList::CommaText() const { return DelimitedText(',', '"'); }
void TStringList::SetCommaText(std::string_view text) { SetDelimitedText(text, ',', '"'); }

std::string TStringList::Names(int index) const {
  const std::string& s = Strings(index);
  size_t p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStringList::ValueFromIndex(int index) const {
  const std::string& s = Strings(index);
  size_t p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(p + 1);
}

int TStringList::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    size_t p = items_[i].find('=');
    if (p != std::string::npos && SameText(std::string_view(items_[i]).substr(0, p), name)) return i;
  }
  return -1;
}

std::string TStringList::Values(std::string_view name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStringList::SetValue(std::string_view name, std::string_view value) {
  int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  std::string line = std::string(name) + "=" + std::string(value);
  if (i < 0)
    Add(std::move(line));
  else
    items_[i] = std::move(line);
}

void TStringList::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EInOutError("Cannot open file \"" + path + "\". " + std::strerror(errno));
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) throw EInOutError("Cannot read file \"" + path + "\"");
  SetText(buffer.str());
}

void TStringList::SaveToFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EInOutError("Cannot create file \"" + path + "\". " + std::strerror(errno));
  std::string text = Text();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) throw EInOutError(std::string(kWriteErrorText) + " \"" + path + "\"");
}
