#include "components/codeedit/MemoBookmarks.h"

#include "components/codeedit/MemoSource.h"

KESTOVA_CLASS_INFO(TMemoPositionList, TSortedListEx, "zrstring", nullptr)
KESTOVA_CLASS_INFO(TMemoBookMarkList, TMemoPositionList, "zrstring", nullptr)

namespace {
int Cmp(std::int32_t A, std::int32_t B) { return A < B ? -1 : A > B ? 1 : 0; }
TMemoPositionRec& AsRec(void* Item) { return *static_cast<TMemoPositionRec*>(Item); }
}  // namespace

TMemoPositionList::TMemoPositionList() { SetDuplicates(dupAccept); }

TMemoPositionList::~TMemoPositionList() { ClearRecs(); }

int TMemoPositionList::CompareItems(void* Item1, void* Item2) {
  const TMemoPositionRec &a = AsRec(Item1), &b = AsRec(Item2);
  if (int c = Cmp(a.Line, b.Line)) return c;
  return Cmp(a.Char, b.Char);
}

int TMemoBookMarkList::CompareItems(void* Item1, void* Item2) {
  if (int c = TMemoPositionList::CompareItems(Item1, Item2)) return c;
  return Cmp(AsRec(Item1).Key, AsRec(Item2).Key);
}

void TMemoPositionList::Delete(int Index) {
  auto* rec = static_cast<TMemoPositionRec*>(Items(Index));
  TSortedListEx::Delete(Index);
  delete rec;
}

void TMemoPositionList::AddRec(const TMemoPositionRec& R) { Add(new TMemoPositionRec(R)); }

void TMemoPositionList::ClearRecs() {
  while (Count() > 0) Delete(Count() - 1);
}

void TMemoPositionList::Resort() {
  SetSorted(false);
  SetSorted(true);
}

int TMemoBookMarkList::LastIndexOfKey(int Key) const {
  for (int i = Count() - 1; i >= 0; --i)
    if (Rec(i).Key == Key) return i;
  return -1;
}

// ---- The store's bookmarks ----

void TCustomMemoSource::ToggleBookmark(int Key) {
  if (Key == 0) return;
  std::int32_t c = 0, l = 0;
  if (GetBookmark(Key, c, l) && l == caret_.Line)
    ClearBookmark(Key);
  else
    SetBookmark(Key);
}

void TCustomMemoSource::SetBookmark(int Key) {
  TUpdateGuard update(*this, ChangeCode::SetBookmark);
  ClearBookmark(Key);
  const TMemoPositionRec rec{caret_.Char, caret_.Line, Key};
  bool same = false;
  for (int i = 0; i < bookmarks_->Count() && !same; ++i) {
    const TMemoPositionRec& r = bookmarks_->Rec(i);
    same = r.Char == rec.Char && r.Line == rec.Line && r.Key == rec.Key;
  }
  if (!same) bookmarks_->AddRec(rec);
  RepaintLine(caret_.Line);
}

void TCustomMemoSource::ClearBookmark(int Key) {
  const int i = bookmarks_->LastIndexOfKey(Key);
  if (i < 0) return;
  TUpdateGuard update(*this, ChangeCode::ClearBookmark);
  const std::int32_t line = bookmarks_->Rec(i).Line;
  bookmarks_->Delete(i);
  RepaintLine(line);
}

bool TCustomMemoSource::GetBookmark(int Key, std::int32_t& Char, std::int32_t& Line) const {
  const int i = bookmarks_->LastIndexOfKey(Key);
  Char = Line = -1;
  if (i < 0 || Key == 0) return false;
  Char = bookmarks_->Rec(i).Char;
  Line = bookmarks_->Rec(i).Line;
  return true;
}

void TCustomMemoSource::GotoBookmark(int Key) {
  std::int32_t c = 0, l = 0;
  if (!GetBookmark(Key, c, l)) return;
  bookmarkJump_ = true;
  try {
    SetCaret(c, l);
  } catch (...) {
    bookmarkJump_ = false;
    throw;
  }
  bookmarkJump_ = false;
}

int TCustomMemoSource::BookmarkOnLine(std::int32_t Line) const { return BookmarkInSpan(Line, 0, kMaxInt); }

int TCustomMemoSource::BookmarkInSpan(std::int32_t Line, std::int32_t From, std::int32_t To) const {
  std::vector<int> keys;
  BookmarksInSpan(Line, From, To, keys);
  return keys.empty() ? 0 : keys.front();
}

void TCustomMemoSource::BookmarksInSpan(std::int32_t Line, std::int32_t From, std::int32_t To,
                                        std::vector<int>& Keys) const {
  for (int i = 0; i < bookmarks_->Count(); ++i) {
    const TMemoPositionRec& r = bookmarks_->Rec(i);
    if (r.Line == Line && r.Char >= From && r.Char < To) Keys.push_back(r.Key);
  }
}

void TCustomMemoSource::ShiftBookmarkChars(std::int32_t Line, std::int32_t From, std::int32_t Delta) {
  bool moved = false;
  for (int i = 0; i < bookmarks_->Count(); ++i) {
    TMemoPositionRec& r = bookmarks_->Rec(i);
    if (r.Line != Line) continue;
    if ((Delta > 0 && r.Char >= From) || (Delta < 0 && r.Char > From)) {
      r.Char = std::max(r.Char + Delta, 0);
      moved = true;
    }
  }
  if (moved) bookmarks_->Resort();
}

void TCustomMemoSource::ShiftBookmarkLines(std::int32_t Line, std::int32_t From, std::int32_t Delta) {
  bool moved = false;
  for (int i = 0; i < bookmarks_->Count(); ++i) {
    TMemoPositionRec& r = bookmarks_->Rec(i);
    if (r.Line > Line || (r.Line == Line && r.Char >= From)) {
      r.Line = std::max(r.Line + Delta, 0);
      moved = true;
    }
  }
  if (moved) bookmarks_->Resort();
}
