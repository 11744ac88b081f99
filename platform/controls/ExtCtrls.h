#pragma once
// TPanel: a window control that groups others, drawn with bevels and a
// centred caption; and TSpeedButton, a windowless button that may stay
// down (Buttons).
//
// Panel drawing, from the edge inwards: the outer bevel (BevelWidth pixels
// of raised or lowered edge), BorderWidth pixels of Color, the inner bevel;
// the caption is drawn, as Alignment says, in what is left.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/controls/StdCtrls.h"

class TBitmap;
class TStream;

enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

namespace TypeInfos {
const TTypeInfo* TBevelCut();
}

class TPanel : public TCustomControl {
  KESTOVA_CLASS(TPanel)
 public:
  explicit TPanel(TComponent* AOwner);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut Value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int Value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int Value);
  // The area inside the bevels and border; aligned controls fill it.
  Rect InnerRect() const;

 protected:
  void Paint() override;
  void AdjustClientRect(Rect& ARect) override;
  // A panel only holds controls: a click on it, or on a speed button it
  // shows, leaves the focus where it was.
  void CreateWnd() override;

 private:
  std::string caption_;
  TAlignment alignment_ = taCenter;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
};

// A button without a window. It shows pressed while the left button is held
// on it, and clicks when released over it. With GroupIndex 0 it pops up
// again; otherwise it stays Down, and the speed buttons of its parent with
// the same GroupIndex go up; clicking a down button lifts it only when
// AllowAllUp.
//
// Glyph is a bitmap drawn left of the caption (centred without one), its
// TransparentColor left out. In a component stream it is the binary defined
// property "Glyph.Data" (TBitmap::WriteData), written when the glyph is not
// empty and differs from the ancestor's.
class TSpeedButton : public TGraphicControl {
  KESTOVA_CLASS(TSpeedButton)
 public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;
  TBitmap* Glyph() const { return glyph_.get(); }
  // Copies Value (nullptr empties the glyph).
  void SetGlyph(const TBitmap* Value);
  void DefineProperties(TFiler* Filer) override;
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  bool Down() const { return down_; }
  // Down outside a group (GroupIndex 0) stays false.
  void SetDown(bool Value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int Value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool Value) { allowAllUp_ = Value; }
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  TNotifyEvent OnClick;
  // Fires OnClick.
  virtual void Click();
  // Shown pressed: held, or Down.
  bool Pressed() const { return held_ || down_; }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  void ReadGlyph(TStream& Stream);
  void WriteGlyph(TStream& Stream);
  std::string caption_;
  std::unique_ptr<TBitmap> glyph_;
  bool down_ = false;
  bool held_ = false;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool flat_ = false;
};
