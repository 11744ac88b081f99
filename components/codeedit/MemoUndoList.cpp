#include <algorithm>
#include <cstring>

#include "components/codeedit/MemoUndo.h"

KESTOVA_CLASS_INFO(TUndoList, TRecordList, "zrstring", nullptr)

namespace {
const std::u32string kNoText;
const std::string kNoColors;
}  // namespace

const std::u32string& TUndoRecord::TextOr() const { return Text ? *Text : kNoText; }
const std::string& TUndoRecord::ColorsOr() const { return Colors ? *Colors : kNoColors; }

void TUndoRecord::SetText(std::u32string Value) {
  delete Text;
  Text = new std::u32string(std::move(Value));
}

void TUndoRecord::SetColors(std::string Value) {
  delete Colors;
  Colors = new std::string(std::move(Value));
}

TUndoList::TUndoList() : TRecordList(static_cast<std::int32_t>(sizeof(TUndoRecord))) {}

TUndoList::~TUndoList() { ClearRecords(); }

void TUndoList::Release(TUndoRecord& R) {
  delete R.Text;
  delete R.Colors;
  R.Text = nullptr;
  R.Colors = nullptr;
}

TUndoRecord& TUndoList::AddRecord() { return Record(Add(nullptr)); }

void TUndoList::DeleteLast() {
  if (Count() == 0) return;
  Release(Last());
  SetCount(Count() - 1);
  if (Count() * 4 < Capacity()) SetCapacity(Capacity() / 2);
}

void TUndoList::DeleteFirst(std::int32_t N) {
  const std::int32_t cut = std::min(N + 1, Count());
  if (cut <= 0) return;
  for (std::int32_t i = 0; i < cut; ++i) Release(Record(i));
  std::memmove(Data(), GetItemPtr(cut), static_cast<size_t>(Count() - cut) * sizeof(TUndoRecord));
  SetCount(Count() - cut);
}

void TUndoList::ClearRecords() {
  for (std::int32_t i = 0; i < Count(); ++i) Release(Record(i));
  Clear();
}
