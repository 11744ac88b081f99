#pragma once
// Font, pen and brush as objects that others hold and watch: a canvas, a
// control's published Font. Each holds one value (GraphicsTypes.h) and tells
// OnChange once for every change of it: one property set, one SetData or one
// Assign is one notice; setting a property to the value it has is none.
//
// Handle() names the object's description for the whole process: equal
// descriptions share one handle, whoever made them, so comparing handles
// compares fonts (pens, brushes). Handles are never 0 and never reused.
// What a handle describes does not include what the device takes from
// elsewhere: a font's colour is the text colour, a pen's mode the raster
// operation, so fonts that differ only in colour share a handle.
//
// Published (streamed by name): TFont Charset, Color, Height, Name, Pitch
// (default fpDefault), Size (not stored: Height is), Style; TPen Color
// (default clBlack), Mode (pmCopy), Style (psSolid), Width (1); TBrush Color
// (clWhite), Style (bsSolid).

#include <cstdint>
#include <string>

#include "platform/core/Events.h"
#include "platform/core/Object.h"
#include "platform/graphics/GraphicsTypes.h"

using TGraphicsHandle = std::uint32_t;

// The description behind a handle from TFont/TPen/TBrush::Handle() (its
// kind must match); a handle of another kind or none raises EInvalidOperation.
LogFont FontOfHandle(TGraphicsHandle handle);
LogPen PenOfHandle(TGraphicsHandle handle);
LogBrush BrushOfHandle(TGraphicsHandle handle);

// The shared part: the change notice.
class TGraphicsObject : public TPersistent {
  KESTOVA_CLASS(TGraphicsObject)
 public:
  TNotifyEvent OnChange;

 protected:
  // Calls OnChange with this object as Sender, when assigned.
  virtual void Changed();
  // Sets one field and tells the change once, when the value differs.
  template <class Field, class Value>
  void Update(Field& field, const Value& value) {
    if (field == value) return;
    field = value;
    Changed();
  }
};

class TFont final : public TGraphicsObject {
  KESTOVA_CLASS(TFont)
 public:
  const TFontData& Data() const { return data_; }
  void SetData(const TFontData& data);
  // A TFont source copies its whole value; other sources raise as
  // TPersistent::Assign does.
  void Assign(const TPersistent* Source) override;
  TGraphicsHandle Handle() const;

  TColor Color() const { return data_.Color; }
  void SetColor(TColor value);
  std::int32_t Height() const { return data_.Height; }
  void SetHeight(std::int32_t value);
  // Points at PixelsPerInch (see TFontData::Size).
  std::int32_t Size() const { return data_.Size(); }
  void SetSize(std::int32_t points);
  const std::string& Name() const { return data_.Name; }
  void SetName(const std::string& value);
  TFontStyles Style() const { return data_.Style; }
  void SetStyle(TFontStyles value);
  TFontPitch Pitch() const { return data_.Pitch; }
  void SetPitch(TFontPitch value);
  std::uint8_t Charset() const { return data_.Charset; }
  void SetCharset(std::uint8_t value);
  std::int32_t PixelsPerInch() const { return data_.PixelsPerInch; }
  void SetPixelsPerInch(std::int32_t value);

 private:
  TFontData data_;
};

class TPen final : public TGraphicsObject {
  KESTOVA_CLASS(TPen)
 public:
  const TPenData& Data() const { return data_; }
  void SetData(const TPenData& data);
  void Assign(const TPersistent* Source) override;
  TGraphicsHandle Handle() const;

  TColor Color() const { return data_.Color; }
  void SetColor(TColor value);
  TPenMode Mode() const { return data_.Mode; }
  void SetMode(TPenMode value);
  TPenStyle Style() const { return data_.Style; }
  void SetStyle(TPenStyle value);
  std::int32_t Width() const { return data_.Width; }
  void SetWidth(std::int32_t value);

 private:
  TPenData data_;
};

class TBrush final : public TGraphicsObject {
  KESTOVA_CLASS(TBrush)
 public:
  const TBrushData& Data() const { return data_; }
  void SetData(const TBrushData& data);
  void Assign(const TPersistent* Source) override;
  TGraphicsHandle Handle() const;

  TColor Color() const { return data_.Color; }
  void SetColor(TColor value);
  TBrushStyle Style() const { return data_.Style; }
  void SetStyle(TBrushStyle value);

 private:
  TBrushData data_;
};
