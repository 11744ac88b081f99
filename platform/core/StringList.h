#pragma once
// TStrings: the abstract list of text lines, each with an optional object,
// and its text forms (Text, CommaText, Name=Value pairs, files and streams).
// TStringList: the concrete list, with sorting, a duplicates policy, case
// rules and change events.
//
// A descendant of TStrings provides Get, GetCount, Insert, Delete and Clear
// (and, to keep objects, GetObject and PutObject); every other operation is
// built on those, so an adapter over another store (a text editor's lines)
// gets them all. Index errors raise EListError "List index out of bounds (i)".
// Lines compare without case by default (AnsiCompareText); TStringList's
// CaseSensitive switches to AnsiCompareStr.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Events.h"
#include "platform/core/List.h"
#include "platform/core/Object.h"

class TStream;

class TStrings : public TPersistent {
  KESTOVA_CLASS(TStrings)
 public:
  // ---- What a descendant provides ----
  virtual std::string Get(int Index) const = 0;
  virtual int GetCount() const = 0;
  virtual void Insert(int Index, const std::string& S) = 0;  // Index 0..Count
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;
  // Default: Delete and insert again, keeping the line's object.
  virtual void Put(int Index, const std::string& S);
  virtual TObject* GetObject(int Index) const { return nullptr; }
  virtual void PutObject(int Index, TObject* AObject) {}
  // Told when the outermost BeginUpdate starts and EndUpdate ends.
  virtual void SetUpdateState(bool Updating) {}
  // Every line followed by LineBreak.
  virtual std::string GetTextStr() const;
  // Replaces the lines; a line ends at CR, LF or CR LF, and a break at the
  // very end adds no empty line.
  virtual void SetTextStr(std::string_view Text);
  // AnsiCompareText; < 0, 0, > 0.
  virtual int CompareStrings(std::string_view S1, std::string_view S2) const;

  // ---- Built on them ----
  int Count() const { return GetCount(); }
  bool Empty() const { return GetCount() == 0; }
  std::string Strings(int Index) const { return Get(Index); }
  std::string operator[](int Index) const { return Get(Index); }
  TObject* Objects(int Index) const { return GetObject(Index); }

  virtual int Add(const std::string& S);
  int AddObject(const std::string& S, TObject* AObject);
  void InsertObject(int Index, const std::string& S, TObject* AObject);
  // Adds every line of Strings with its object, in one update bracket.
  void AddStrings(const TStrings& Strings);
  // The first line equal to S by CompareStrings; -1 when none.
  virtual int IndexOf(std::string_view S) const;
  int IndexOfObject(const TObject* AObject) const;
  // Exchange and Move carry the objects with their lines.
  virtual void Exchange(int Index1, int Index2);
  virtual void Move(int CurIndex, int NewIndex);
  // Same lines in the same order (objects are not compared).
  bool Equals(const TStrings& Strings) const;

  // Nested brackets; only the outermost one reaches SetUpdateState.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // From any TStrings: its lines and objects. Other sources go to
  // TPersistent::Assign.
  void Assign(const TPersistent* Source) override;
  void Assign(const TStrings& Source) { Assign(static_cast<const TPersistent*>(&Source)); }

  std::string Text() const { return GetTextStr(); }
  void SetText(std::string_view Text) { SetTextStr(Text); }
  // LF unless set (CR LF where a format asks for it).
  const std::string& LineBreak() const { return lineBreak_; }
  void SetLineBreak(std::string Value) { lineBreak_ = std::move(Value); }

  // Items separated by Delimiter; an empty item, or one holding a blank, a
  // control character, the delimiter or the quote, is quoted, with inner
  // quotes doubled.
  std::string DelimitedText(char Delimiter, char Quote = '"') const;
  // Reads that notation: items end at the delimiter or at a blank when
  // unquoted; quoted items may hold anything, two quotes standing for one.
  void SetDelimitedText(std::string_view Text, char Delimiter, char Quote = '"');
  std::string CommaText() const { return DelimitedText(',', '"'); }
  void SetCommaText(std::string_view Text) { SetDelimitedText(Text, ',', '"'); }

  // Name=Value pairs; names compare without case.
  std::string Names(int Index) const;
  std::string ValueFromIndex(int Index) const;
  int IndexOfName(std::string_view Name) const;
  std::string Values(std::string_view Name) const;  // "" when absent
  // Sets the value of Name, adding the pair when absent; an empty value
  // removes the pair.
  void SetValue(std::string_view Name, std::string_view Value);

  // The bytes from the position to the end, as Text.
  void LoadFromStream(TStream& Stream);
  // Writes Text; an adapter may write another form (line-break formats).
  virtual void SaveToStream(TStream& Stream) const;
  // Raise EInOutError naming the file when it cannot be read or written.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName) const;

 protected:
  TStrings() = default;
  // Copies the settings (the line break), never the update state.
  TStrings(const TStrings& other) : TPersistent(other), lineBreak_(other.lineBreak_) {}
  TStrings& operator=(const TStrings& other) {
    lineBreak_ = other.lineBreak_;
    return *this;
  }
  [[noreturn]] void IndexError(int Index) const;

 private:
  std::string lineBreak_ = "\n";
  int updateCount_ = 0;
};

class TStringList;
// < 0 when line Index1 of List orders before line Index2, 0, > 0.
using TStringListSortCompare = int (*)(const TStringList& List, int Index1, int Index2);

// A list of lines held in memory. While Sorted, lines stay in CompareStrings
// order: Add inserts at its place (with Duplicates deciding about an equal
// line), Insert, Put, Exchange and Move raise EStringListError
// "Operation not allowed on sorted list". OnChanging and OnChange bracket
// each change; inside BeginUpdate/EndUpdate they fire once, around the
// whole bracket. The list never owns its objects.
//
// Copies (and moves) take the lines, objects, line break, Sorted, Duplicates
// and CaseSensitive, never the events or the update state.
class TStringList : public TStrings {
  KESTOVA_CLASS(TStringList)
 public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> Lines);
  TStringList(const TStringList& other);
  TStringList(TStringList&& other) noexcept;
  TStringList& operator=(const TStringList& other);
  TStringList& operator=(TStringList&& other);
  ~TStringList() override = default;

  std::string Get(int Index) const override { return Strings(Index); }
  int GetCount() const override { return static_cast<int>(lines_.size()); }
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;
  void Put(int Index, const std::string& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  void SetUpdateState(bool Updating) override;
  int CompareStrings(std::string_view S1, std::string_view S2) const override;

  // The line itself, without a copy.
  const std::string& Strings(int Index) const;
  const std::string& operator[](int Index) const { return Strings(Index); }

  int Add(const std::string& S) override;
  int IndexOf(std::string_view S) const override;
  void Exchange(int Index1, int Index2) override;
  void Move(int CurIndex, int NewIndex) override;
  // Adds the lines of another list (with their objects).
  void Append(const TStrings& Strings) { AddStrings(Strings); }

  // Binary search of a sorted list: true when S is present, Index at the
  // first equal line (with dupAccept) or at some equal line; otherwise the
  // position where S would go.
  bool Find(std::string_view S, int& Index) const;
  void Sort();
  // Stable: lines that compare equal keep their order. Objects move along.
  virtual void CustomSort(TStringListSortCompare Compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates Value) { duplicates_ = Value; }
  bool CaseSensitive() const { return caseSensitive_; }
  // Re-sorts a sorted list.
  void SetCaseSensitive(bool Value);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  const std::vector<std::string>& Lines() const { return lines_; }
  std::vector<std::string>::const_iterator begin() const { return lines_.begin(); }
  std::vector<std::string>::const_iterator end() const { return lines_.end(); }
  // Same lines; objects and settings are not compared.
  friend bool operator==(const TStringList& a, const TStringList& b) { return a.lines_ == b.lines_; }

 protected:
  virtual void Changed();
  virtual void Changing();

 private:
  void CheckIndex(int Index) const;
  void CheckUnsorted() const;
  void InsertItem(int Index, std::string S, TObject* AObject);
  void CopySettings(const TStringList& other);

  std::vector<std::string> lines_;
  std::vector<TObject*> objects_;  // parallel to lines_
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool caseSensitive_ = false;
};
