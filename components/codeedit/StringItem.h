#pragma once
// The text store's lines: one item per line holding its text (one code point
// per character), its colour bytes and its per-line state, and the list that
// owns the items.
//
// The list is a TStrings that speaks UTF-8 at its edge: Get answers the
// line's text encoded losslessly (a byte that was not valid UTF-8 when the
// line was put comes back as that byte), Put and Insert decode the same way.
// Indices outside 0..Count-1 are tolerated: reads give "" or nullptr, writes
// are ignored.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/codeedit/MemoTypes.h"
#include "platform/core/Events.h"
#include "platform/core/StringList.h"

class TStringItem {
 public:
  virtual ~TStringItem() = default;

  std::u32string Text;
  // The Objects value of the line; not owned.
  TObject* LineObject = nullptr;
  // One colour byte per character of Text, or empty.
  std::string ColorData;
  std::int32_t EndState = 0;
  std::int32_t StartState = 0;
  std::uint16_t GutterBits = 0;
  std::uint8_t LineFlags = 0;  // lf... bits
  std::uint8_t LineStyle = 0;
  // Filled by the active editor through the store's MeasureLineHook.
  std::int32_t MeasureA = 0, DisplayWidth = 0, MeasureC = 0;

  bool Parsed() const { return (LineFlags & lfParsed) != 0; }
  void SetParsed(bool Value) { LineFlags = Value ? (LineFlags | lfParsed) : (LineFlags & ~lfParsed); }
};

// Makes a new line item; a store may answer a descendant of TStringItem.
using TStringItemClass = std::unique_ptr<TStringItem> (*)();
std::unique_ptr<TStringItem> MakeStringItem();

// Turns a stored line into the line as shown (tab expansion).
using TGetStringHook = TMethodPointer<std::u32string(const std::u32string& Text)>;

class TInternalStrings : public TStrings {
  KESTOVA_CLASS(TInternalStrings)
 public:
  explicit TInternalStrings(TStringItemClass ItemClass);
  ~TInternalStrings() override;

  // The line's text through GetStringHook (unless Raw is set).
  std::string Get(int Index) const override;
  int GetCount() const override { return static_cast<int>(items_.size()); }
  // Sets the text and clears the parsed bit.
  void Put(int Index, const std::string& S) override;
  // Index 0..Count; a new item of the item class.
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  // Frees every item; the capacity becomes 0.
  void Clear() override;
  // Does nothing: lines never trade places through the list.
  void Exchange(int Index1, int Index2) override {}
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  // The lines joined by CR LF, without a break after the last line.
  std::string GetTextStr() const override;

  // The same operations on code points, for the store's own use.
  void InsertText(int Index, std::u32string Text);
  void PutText(int Index, std::u32string Text);
  const std::u32string& TextAt(int Index) const;  // empty outside the range
  std::u32string ShownText(int Index) const;      // through the hook unless Raw

  TStringItem* Item(int Index) const;  // nullptr outside the range
  int Capacity() const { return capacity_; }

  TGetStringHook GetStringHook;
  bool Raw = false;

 private:
  TStringItemClass itemClass_;
  std::vector<std::unique_ptr<TStringItem>> items_;
  // Kept by hand, so that growth follows the store's rule.
  int capacity_ = 0;
};

// Sets the raw flag of a list for a scope.
class TRawScope {
 public:
  explicit TRawScope(TInternalStrings& List) : list_(List), old_(List.Raw) { List.Raw = true; }
  ~TRawScope() { list_.Raw = old_; }
  TRawScope(const TRawScope&) = delete;
  TRawScope& operator=(const TRawScope&) = delete;

 private:
  TInternalStrings& list_;
  bool old_;
};
