#pragma once
// The text store's undo and redo lists: one fixed-size record per
// elementary change, kept in one contiguous block (TRecordList).

#include <cstdint>
#include <string>

#include "components/base/RecordList.h"

enum TUndoKind : std::uint8_t {
  ukCaretMoved = 0,    // A line delta, B char delta; A = B = 0 closes an undo block
  ukTextInserted = 1,  // A characters inserted at the caret
  ukLineBreakInserted = 2,
  ukLineBreakDeleted = 3,
  ukTextDeleted = 4,   // Text and Colors hold what was deleted
  ukColorReplaced = 5  // line A from 1-based column B had the bytes Colors
};

// Text and Colors are owned by the record (nullptr for none): the block is
// moved byte-wise, so the record holds the strings through pointers.
struct TUndoRecord {
  TUndoKind Kind;
  std::int32_t A;
  std::int32_t B;
  std::u32string* Text;
  std::string* Colors;
  bool FirstOfUpdate;
  std::uint8_t Code;
  bool InUndoBlock;

  const std::u32string& TextOr() const;
  const std::string& ColorsOr() const;
  void SetText(std::u32string Value);
  void SetColors(std::string Value);
};

class TUndoList : public TRecordList {
  KESTOVA_CLASS(TUndoList)
 public:
  TUndoList();
  ~TUndoList() override;

  TUndoRecord& Record(std::int32_t Index) const { return *reinterpret_cast<TUndoRecord*>(GetItemPtr(Index)); }
  TUndoRecord& Last() const { return Record(Count() - 1); }
  // Appends a zero-filled record and returns it.
  TUndoRecord& AddRecord();
  // Releases the last record's strings and removes it; halves the capacity
  // when a quarter of it is used.
  void DeleteLast();
  // Removes the first N + 1 records in one move.
  void DeleteFirst(std::int32_t N);
  // Releases every record's strings; capacity 0.
  void ClearRecords();

 private:
  static void Release(TUndoRecord& R);
};
