#pragma once
// TRecordList: a growable array of fixed-size records in one contiguous
// block (the text store's undo list and the designer's per-instance property
// lists derive from it).
//
// Records are plain bytes: the list never initialises, copies or releases
// anything inside a record other than by the byte moves below, so a
// descendant whose records hold references releases them itself before it
// deletes a record. Record i lies at Data() + i * RecordSize().
//
// Growth: the block grows only when it is full, to the largest of the count
// asked for, twice the capacity and 32 records (the first record reserves
// room for 32). Nothing shrinks it but Clear and SetCapacity.
//
// Invariant: 0 <= Count <= Capacity; Data is nullptr while Capacity is 0.
//
// Index errors raise the general exception (Exception) with "List index
// out of bounds (%d)" and the offending number, and change nothing; so do a
// capacity below Count and a negative count. A block that cannot be had
// raises EOutOfMemory and keeps the old block and counts.
//
// The list is reference counted (TInterfacedObject): handed out through an
// interface it is freed with its last reference; otherwise its user frees it.

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/classes/Interfaces.h"

class TRecordList : public TInterfacedObject {
  KESTOVA_CLASS(TRecordList)
 public:
  // RecordSize >= 0 bytes; Count 0, Capacity 0, Data nullptr.
  explicit TRecordList(std::int32_t ARecordSize);
  ~TRecordList() override;
  TRecordList(const TRecordList&) = delete;
  TRecordList& operator=(const TRecordList&) = delete;

  std::int32_t RecordSize() const { return recordSize_; }
  std::int32_t Count() const { return count_; }
  std::int32_t Capacity() const { return capacity_; }
  std::uint8_t* Data() const { return data_.get(); }

  // Appends a copy of RecordSize bytes from Record, or a zero-filled record
  // for nullptr; returns its index (the old Count). Record may be one of
  // this list's own records, also when the block has to grow.
  std::int32_t Add(const void* Record);
  // Record Index; Index == Count gives the address just after the last
  // record. Outside 0..Count: the index error.
  std::uint8_t* GetItemPtr(std::int32_t Index) const;
  // Removes record Index, moving the following ones down by one. Outside
  // 0..Count-1: the index error.
  void Delete(std::int32_t Index);
  // Releases the block: Capacity and Count 0, Data nullptr.
  void Clear();

  // Reallocates the block to N records, keeping the first ones. Below Count:
  // the index error with N.
  void SetCapacity(std::int32_t N);
  // When N >= Capacity: SetCapacity(max(N, 2 * Capacity, 32)).
  void Grow(std::int32_t N);
  // Grow(N), then Count = N; records between the old and the new count are
  // not initialised. Negative N: the index error.
  void SetCount(std::int32_t N);

 private:
  struct FreeBlock {
    void operator()(std::uint8_t* Block) const { std::free(Block); }
  };
  std::int32_t recordSize_;
  std::int32_t count_ = 0;
  std::int32_t capacity_ = 0;
  std::unique_ptr<std::uint8_t, FreeBlock> data_;
};

// Raises the index error for Index.
[[noreturn]] void RecordListIndexError(std::int32_t Index);
