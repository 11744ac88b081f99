#include "components/codeedit/VisibleLines.h"

KESTOVA_CLASS_INFO(TVisibleLinesList, TSortedListEx, "zrstring", nullptr)

namespace {
void* AsItem(std::int32_t Line) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(Line)); }
std::int32_t AsLine(void* Item) { return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(Item)); }
int Sign(std::int64_t Value) { return Value < 0 ? -1 : Value > 0 ? 1 : 0; }
}  // namespace

int TVisibleLinesList::CompareItems(void* Item1, void* Item2) {
  std::int64_t first = AsLine(Item1);
  if (MinusIndex) first -= CompareIndex();
  return Sign(first - AsLine(Item2));
}

std::int32_t TVisibleLinesList::Line(int Index) const { return AsLine(Items(Index)); }

bool TVisibleLinesList::IsHidden(std::int32_t Line) { return IndexOfItem(AsItem(Line)) >= 0; }

bool TVisibleLinesList::Hide(std::int32_t Line) {
  if (IsHidden(Line)) return false;
  Add(AsItem(Line));
  return true;
}

bool TVisibleLinesList::Show(std::int32_t Line) { return Remove(AsItem(Line)) >= 0; }

std::int32_t TVisibleLinesList::RealToVisible(std::int32_t Real) {
  int index = 0;
  const bool found = Search(AsItem(Real), index);
  return Real - (index + (found ? 1 : 0));
}

std::int32_t TVisibleLinesList::VisibleToReal(std::int32_t Visible) {
  MinusIndex = true;
  int index = 0;
  SortedListSearch(this, AsItem(Visible), index);
  MinusIndex = false;
  // The search gives a starting point; count exactly from there.
  while (index < Count() && Line(index) - index <= Visible) ++index;
  while (index > 0 && Line(index - 1) - (index - 1) > Visible) --index;
  return Visible + index;
}
