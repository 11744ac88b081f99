#include "components/codeedit/StringItem.h"

#include <algorithm>

#include "platform/core/Codecs.h"

KESTOVA_CLASS_INFO(TInternalStrings, TStrings, "zrstring", nullptr)

std::unique_ptr<TStringItem> MakeStringItem() { return std::make_unique<TStringItem>(); }

TInternalStrings::TInternalStrings(TStringItemClass ItemClass) : itemClass_(ItemClass ? ItemClass : MakeStringItem) {
  SetLineBreak("\r\n");
}

TInternalStrings::~TInternalStrings() = default;

TStringItem* TInternalStrings::Item(int Index) const {
  return Index >= 0 && Index < GetCount() ? items_[Index].get() : nullptr;
}

const std::u32string& TInternalStrings::TextAt(int Index) const {
  static const std::u32string empty;
  const TStringItem* item = Item(Index);
  return item ? item->Text : empty;
}

std::u32string TInternalStrings::ShownText(int Index) const {
  const TStringItem* item = Item(Index);
  if (!item) return {};
  return Raw || !GetStringHook ? item->Text : GetStringHook(item->Text);
}

std::string TInternalStrings::Get(int Index) const { return Utf32ToUtf8Lossless(ShownText(Index)); }

void TInternalStrings::Put(int Index, const std::string& S) { PutText(Index, Utf8ToUtf32Lossless(S)); }

void TInternalStrings::PutText(int Index, std::u32string Text) {
  TStringItem* item = Item(Index);
  if (!item) return;
  item->Text = std::move(Text);
  item->SetParsed(false);
}

void TInternalStrings::Insert(int Index, const std::string& S) { InsertText(Index, Utf8ToUtf32Lossless(S)); }

void TInternalStrings::InsertText(int Index, std::u32string Text) {
  if (Index < 0 || Index > GetCount()) return;
  if (GetCount() == capacity_) {
    capacity_ += std::max(capacity_ / 2, 64);
    items_.reserve(static_cast<size_t>(capacity_));
  }
  std::unique_ptr<TStringItem> item = itemClass_();
  item->Text = std::move(Text);
  items_.insert(items_.begin() + Index, std::move(item));
}

void TInternalStrings::Delete(int Index) {
  if (Index >= 0 && Index < GetCount()) items_.erase(items_.begin() + Index);
}

void TInternalStrings::Clear() {
  items_.clear();
  items_.shrink_to_fit();
  capacity_ = 0;
}

TObject* TInternalStrings::GetObject(int Index) const {
  const TStringItem* item = Item(Index);
  return item ? item->LineObject : nullptr;
}

void TInternalStrings::PutObject(int Index, TObject* AObject) {
  if (TStringItem* item = Item(Index)) item->LineObject = AObject;
}

std::string TInternalStrings::GetTextStr() const {
  std::string text = TStrings::GetTextStr();
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}
