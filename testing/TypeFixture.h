#pragma once
// Components that publish a property of every kind, for the tests of type
// information, component streams and property editors.
//
// TTypeFixture publishes, after TComponent's Name and Tag, in this order:
//   Count       Integer         field                default 0
//   Letter      Char            field                default 'A'
//   Shape       TFixtureShape   field                default shCircle
//   Ratio       Double          field
//   Code        ShortString     field
//   Options     TFixtureOptions field                default [foBold, foFramed] (bits 0 and 2)
//   Part        TFixturePart    owned; writing copies into it
//   OnClick     TNotifyEvent    field
//   Initial     WideChar        field                default 'K'
//   Caption     TCaption        field
//   Title       WideString      field                stored false
//   Big         Int64           field
//   ParentColor Boolean         field                default True
//   Color       TColor          GetColor / SetColor  default clWindow, stored while not ParentColor
//   Cursor      TCursor, TabOrder TTabOrder (default -1), ModalResult TModalResult,
//   ShortCut    TShortCut, Stamp TDateTime, Day TDate, Hour TTime, FontName TFontName,
//   Charset     TFontCharset (default 1), Flag16 WordBool, Flag32 LongBool (default True),
//   Price       Currency
//   Buddy       TComponent      a reference, not owned
//   Left, Top   Integer         GetSide / SetSide with index 0 and 1
//   OnValue     TFixtureValueEvent  procedure(Sender: TObject; var Value: Integer; const Text: string)
//   Datum       Variant         field                Unassigned (Empty) is left out of streams
// and the published methods HandleClick and HandleValue.
//
// TTypeFixtureChild declares Count again (default 5, stored while it is not
// 5), adds Extra (Integer) and the read-only Extras (Integer), and publishes
// HandleExtra, which counts in Extras.
//
// Both classes are registered in the class registry with the program's tag
// by RegisterTypeFixtures().

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/TypInfo.h"
#include "platform/classes/Variant.h"
#include "platform/core/Currency.h"
#include "platform/core/Events.h"
#include "platform/core/Set.h"

enum class TFixtureShape : std::uint8_t { shNone, shCircle, shSquare, shTriangle };
enum TFixtureOption : std::uint8_t { foBold, foItalic, foFramed, foShaded, foHidden };
using TFixtureOptions = TSet<TFixtureOption>;
using TFixtureValueEvent = TMethodPointer<void(TObject* Sender, std::int32_t& Value, const std::string& Text)>;

namespace TypeInfos {
const TTypeInfo* TFixtureShape();
const TTypeInfo* TFixtureOption();
const TTypeInfo* TFixtureOptions();
const TTypeInfo* TFixtureValueEvent();
}  // namespace TypeInfos

inline constexpr std::int32_t kFixtureClWindow = static_cast<std::int32_t>(0xFF000005u);

class TFixturePart : public TPersistent {
  KESTOVA_CLASS(TFixturePart)
 public:
  std::int32_t Width = 10;
  std::string Label;
  void Assign(const TPersistent* Source) override;
};

class TTypeFixture : public TComponent {
  KESTOVA_CLASS(TTypeFixture)
 public:
  explicit TTypeFixture(TComponent* AOwner = nullptr);

  std::int32_t Count = 0;
  char Letter = 'A';
  TFixtureShape Shape = TFixtureShape::shCircle;
  double Ratio = 0;
  std::string Code;
  TFixtureOptions Options{foBold, foFramed};
  TNotifyEvent OnClick;
  char16_t Initial = u'K';
  std::string Caption;
  std::string Title;
  std::int64_t Big = 0;
  bool ParentColor = true;
  std::int16_t Cursor = 0;
  std::int32_t TabOrder = -1;
  std::int32_t ModalResult = 0;
  std::uint16_t ShortCut = 0;
  double Stamp = 0, Day = 0, Hour = 0;
  std::string FontName = "Arial";
  std::uint8_t Charset = 1;
  bool Flag16 = false;
  bool Flag32 = true;
  Currency Price;
  TComponent* Buddy = nullptr;
  TFixtureValueEvent OnValue;
  TVariant Datum;

  std::int32_t GetColor() const { return color_; }
  // A colour of its own ends taking the parent's.
  void SetColor(std::int32_t Value);
  bool IsColorStored() const { return !ParentColor; }
  TFixturePart* Part() const { return part_.get(); }
  void SetPart(TFixturePart* Value) { part_->Assign(Value); }
  std::int32_t GetSide(std::int32_t Index) const { return sides_[Index]; }
  void SetSide(std::int32_t Index, std::int32_t Value) { sides_[Index] = Value; }

  // Published handlers: HandleClick counts and remembers its sender;
  // HandleValue doubles Value and remembers Text.
  void HandleClick(TObject* Sender);
  void HandleValue(TObject* Sender, std::int32_t& Value, const std::string& Text);
  int Clicks = 0;
  TObject* LastSender = nullptr;
  std::string LastText;

 private:
  std::int32_t color_ = kFixtureClWindow;
  std::unique_ptr<TFixturePart> part_;
  std::int32_t sides_[2] = {0, 0};
};

class TTypeFixtureChild : public TTypeFixture {
  KESTOVA_CLASS(TTypeFixtureChild)
 public:
  explicit TTypeFixtureChild(TComponent* AOwner = nullptr);
  std::int32_t Extra = 0;
  bool IsCountStored() const { return Count != 5; }
  void HandleExtra(TObject* Sender) { ++Extras; }
  int Extras = 0;
};

void RegisterTypeFixtures();
