#include "platform/core/StringList.h"

#include <algorithm>
#include <numeric>

#include "platform/core/AnsiStrings.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"
#include "platform/core/Streams.h"

KESTOVA_CLASS_INFO(TStrings, TPersistent, "Classes", nullptr)
KESTOVA_CLASS_INFO(TStringList, TStrings, "Classes", &MakeObject<TStringList>)

// ---- TStrings ----

void TStrings::IndexError(int Index) const { throw EListError(Format(kListIndexErrorText, {Index})); }

void TStrings::Put(int Index, const std::string& S) {
  TObject* object = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, object);
}

std::string TStrings::GetTextStr() const {
  std::string out;
  for (int i = 0; i < GetCount(); ++i) {
    out += Get(i);
    out += lineBreak_;
  }
  return out;
}

void TStrings::SetTextStr(std::string_view Text) {
  BeginUpdate();
  try {
    Clear();
    size_t start = 0;
    while (start < Text.size()) {
      size_t end = Text.find_first_of("\r\n", start);
      if (end == std::string_view::npos) end = Text.size();
      Add(std::string(Text.substr(start, end - start)));
      if (end < Text.size() && Text[end] == '\r' && end + 1 < Text.size() && Text[end + 1] == '\n') ++end;
      start = end + 1;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TStrings::CompareStrings(std::string_view S1, std::string_view S2) const { return AnsiCompareText(S1, S2); }

int TStrings::Add(const std::string& S) {
  const int index = GetCount();
  Insert(index, S);
  return index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
  const int index = Add(S);
  PutObject(index, AObject);
  return index;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::AddStrings(const TStrings& Strings) {
  BeginUpdate();
  try {
    const int count = Strings.GetCount();
    for (int i = 0; i < count; ++i) AddObject(Strings.Get(i), Strings.GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TStrings::IndexOf(std::string_view S) const {
  for (int i = 0; i < GetCount(); ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const {
  for (int i = 0; i < GetCount(); ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

void TStrings::Exchange(int Index1, int Index2) {
  const std::string s1 = Get(Index1), s2 = Get(Index2);
  TObject* const o1 = GetObject(Index1);
  TObject* const o2 = GetObject(Index2);
  BeginUpdate();
  try {
    Put(Index1, s2);
    PutObject(Index1, o2);
    Put(Index2, s1);
    PutObject(Index2, o1);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
  // Both indices are checked first: a bad destination must not cost the line.
  const int count = GetCount();
  if (CurIndex < 0 || CurIndex >= count) IndexError(CurIndex);
  if (NewIndex < 0 || NewIndex >= count) IndexError(NewIndex);
  if (CurIndex == NewIndex) return;
  const std::string s = Get(CurIndex);
  TObject* const object = GetObject(CurIndex);
  BeginUpdate();
  try {
    Delete(CurIndex);
    InsertObject(NewIndex, s, object);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

bool TStrings::Equals(const TStrings& Strings) const {
  if (GetCount() != Strings.GetCount()) return false;
  for (int i = 0; i < GetCount(); ++i)
    if (Get(i) != Strings.Get(i)) return false;
  return true;
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

void TStrings::Assign(const TPersistent* Source) {
  const auto* source = dynamic_cast<const TStrings*>(Source);
  if (!source) return TPersistent::Assign(Source);
  if (source == this) return;
  BeginUpdate();
  try {
    Clear();
    AddStrings(*source);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStrings::DelimitedText(char Delimiter, char Quote) const {
  const int count = GetCount();
  if (count == 1 && Get(0).empty()) return std::string(2, Quote);
  std::string out;
  for (int i = 0; i < count; ++i) {
    const std::string s = Get(i);
    bool needsQuote = s.empty();
    for (char c : s)
      if (static_cast<unsigned char>(c) <= ' ' || c == Delimiter || c == Quote) needsQuote = true;
    if (i > 0) out += Delimiter;
    if (!needsQuote) {
      out += s;
      continue;
    }
    out += Quote;
    for (char c : s) {
      if (c == Quote) out += Quote;
      out += c;
    }
    out += Quote;
  }
  return out;
}

void TStrings::SetDelimitedText(std::string_view Text, char Delimiter, char Quote) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::vector<std::string> items;
  size_t i = 0;
  while (i < Text.size() && blank(Text[i])) ++i;
  while (i < Text.size()) {
    std::string item;
    if (Text[i] == Quote) {
      ++i;
      while (i < Text.size()) {
        if (Text[i] == Quote) {
          if (i + 1 < Text.size() && Text[i + 1] == Quote) {
            item += Quote;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += Text[i++];
      }
    } else {
      while (i < Text.size() && !blank(Text[i]) && Text[i] != Delimiter) item += Text[i++];
    }
    items.push_back(std::move(item));
    while (i < Text.size() && blank(Text[i])) ++i;
    if (i < Text.size() && Text[i] == Delimiter) {
      ++i;
      // A delimiter at the very end stands before one more, empty item.
      if (i == Text.size()) items.emplace_back();
      while (i < Text.size() && blank(Text[i])) ++i;
    }
  }
  BeginUpdate();
  try {
    Clear();
    for (const std::string& item : items) Add(item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStrings::Names(int Index) const {
  const std::string s = Get(Index);
  const size_t p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::ValueFromIndex(int Index) const {
  const std::string s = Get(Index);
  const size_t p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(p + 1);
}

int TStrings::IndexOfName(std::string_view Name) const {
  for (int i = 0; i < GetCount(); ++i) {
    const std::string s = Get(i);
    const size_t p = s.find('=');
    if (p != std::string::npos && CompareStrings(std::string_view(s).substr(0, p), Name) == 0) return i;
  }
  return -1;
}

std::string TStrings::Values(std::string_view Name) const {
  const int i = IndexOfName(Name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValue(std::string_view Name, std::string_view Value) {
  const int i = IndexOfName(Name);
  if (Value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  const std::string line = std::string(Name) + "=" + std::string(Value);
  if (i < 0)
    Add(line);
  else
    Put(i, line);
}

void TStrings::LoadFromStream(TStream& Stream) {
  const int64_t size = std::max<int64_t>(Stream.Size() - Stream.Position(), 0);
  std::string bytes(static_cast<size_t>(size), '\0');
  Stream.ReadBuffer(bytes.data(), size);
  SetTextStr(bytes);
}

void TStrings::SaveToStream(TStream& Stream) const {
  const std::string text = GetTextStr();
  Stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, TFileMode::fmOpenRead | TFileMode::fmShareDenyWrite);
  LoadFromStream(stream);
}

void TStrings::SaveToFile(const std::string& FileName) const {
  TFileStream stream(FileName, TFileMode::fmCreate);
  SaveToStream(stream);
}

// ---- TStringList ----

TStringList::TStringList(std::initializer_list<std::string> Lines) : lines_(Lines), objects_(lines_.size()) {}

TStringList::TStringList(const TStringList& other) : TStrings(other), lines_(other.lines_), objects_(other.objects_) {
  CopySettings(other);
}

TStringList::TStringList(TStringList&& other) noexcept
    : TStrings(other), lines_(std::move(other.lines_)), objects_(std::move(other.objects_)) {
  CopySettings(other);
  other.lines_.clear();
  other.objects_.clear();
}

TStringList& TStringList::operator=(const TStringList& other) {
  if (this == &other) return *this;
  TStrings::operator=(other);
  Changing();
  lines_ = other.lines_;
  objects_ = other.objects_;
  CopySettings(other);
  Changed();
  return *this;
}

TStringList& TStringList::operator=(TStringList&& other) {
  if (this == &other) return *this;
  TStrings::operator=(other);
  Changing();
  lines_ = std::move(other.lines_);
  objects_ = std::move(other.objects_);
  other.lines_.clear();
  other.objects_.clear();
  CopySettings(other);
  Changed();
  return *this;
}

void TStringList::CopySettings(const TStringList& other) {
  sorted_ = other.sorted_;
  duplicates_ = other.duplicates_;
  caseSensitive_ = other.caseSensitive_;
}

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= GetCount()) IndexError(Index);
}

void TStringList::CheckUnsorted() const {
  if (sorted_) throw EStringListError(kSortedListErrorText);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

const std::string& TStringList::Strings(int Index) const {
  CheckIndex(Index);
  return lines_[Index];
}

void TStringList::InsertItem(int Index, std::string S, TObject* AObject) {
  Changing();
  lines_.insert(lines_.begin() + Index, std::move(S));
  objects_.insert(objects_.begin() + Index, AObject);
  Changed();
}

void TStringList::Insert(int Index, const std::string& S) {
  CheckUnsorted();
  if (Index < 0 || Index > GetCount()) IndexError(Index);
  InsertItem(Index, S, nullptr);
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  lines_.erase(lines_.begin() + Index);
  objects_.erase(objects_.begin() + Index);
  Changed();
}

void TStringList::Clear() {
  if (lines_.empty()) return;
  Changing();
  lines_.clear();
  objects_.clear();
  Changed();
}

void TStringList::Put(int Index, const std::string& S) {
  CheckUnsorted();
  CheckIndex(Index);
  Changing();
  lines_[Index] = S;
  Changed();
}

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return objects_[Index];
}

void TStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  objects_[Index] = AObject;
  Changed();
}

int TStringList::CompareStrings(std::string_view S1, std::string_view S2) const {
  return caseSensitive_ ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

int TStringList::Add(const std::string& S) {
  int index = GetCount();
  if (sorted_ && Find(S, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError(kDuplicateStringText);
  }
  InsertItem(index, S, nullptr);
  return index;
}

int TStringList::IndexOf(std::string_view S) const {
  if (!sorted_) return TStrings::IndexOf(S);
  int index;
  return Find(S, index) ? index : -1;
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckUnsorted();
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(lines_[Index1], lines_[Index2]);
  std::swap(objects_[Index1], objects_[Index2]);
  Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
  CheckUnsorted();
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  if (CurIndex == NewIndex) return;
  Changing();
  auto move = [&](auto& v) {
    if (CurIndex < NewIndex)
      std::rotate(v.begin() + CurIndex, v.begin() + CurIndex + 1, v.begin() + NewIndex + 1);
    else
      std::rotate(v.begin() + NewIndex, v.begin() + CurIndex, v.begin() + CurIndex + 1);
  };
  move(lines_);
  move(objects_);
  Changed();
}

bool TStringList::Find(std::string_view S, int& Index) const {
  return SortedSearch(
      GetCount(), duplicates_, [&](int i) { return CompareStrings(lines_[i], S); }, Index);
}

void TStringList::Sort() {
  CustomSort([](const TStringList& list, int a, int b) { return list.CompareStrings(list.lines_[a], list.lines_[b]); });
}

void TStringList::CustomSort(TStringListSortCompare Compare) {
  if (GetCount() < 2) return;
  std::vector<int> order(lines_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(*this, a, b) < 0; });
  Changing();
  std::vector<std::string> lines;
  std::vector<TObject*> objects;
  lines.reserve(order.size());
  objects.reserve(order.size());
  for (int i : order) {
    lines.push_back(std::move(lines_[i]));
    objects.push_back(objects_[i]);
  }
  lines_ = std::move(lines);
  objects_ = std::move(objects);
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (Value == sorted_) return;
  if (Value) Sort();
  sorted_ = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (Value == caseSensitive_) return;
  caseSensitive_ = Value;
  if (sorted_) Sort();
}
