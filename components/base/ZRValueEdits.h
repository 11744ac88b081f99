#pragma once
// Editors of three drawing values for the edit with buttons (ZREdit.h):
// colours (TColor), pen styles (TPenStyle) and brush styles (TBrushStyle).
// For each there is a pop-up list that shows a swatch and optionally the
// value's name, and a graphic inner edit that paints the current value
// instead of showing editable text.
//
// Values travel as text: colours as ColorToString gives them ("clBlack"),
// pen styles as their enumeration names ("psSolid" .. "psInsideFrame"),
// brush styles as "bs" and a brush name ("bsSolid" .. "bsDiagCross"). The
// edit reads a pop-up's choice with WM_GETTEXT and tells it the current
// value with WM_SETTEXT; a graphic edit answers the same two messages.
//
// GUI thread only.

#include <array>
#include <memory>
#include <span>
#include <string>

#include "components/base/ZRListBox.h"
#include "platform/controls/CustomControl.h"
#include "platform/graphics/GraphicsNames.h"
#include "platform/graphics/GraphicsObjects.h"

class TCanvas;
class TCustomZREdit;
class TextMeasurer;

// The brush names, indexed by TBrushStyle: "Solid" .. "DiagCross".
const std::array<const char*, 8>& BrushStyleNames();
// The 42 colours of the colour pop-up, in its order: the 16 basic colours,
// the 25 system colours by number, clNone.
std::span<const TIdentMapEntry> PopupColors();

// What the three pop-ups share: owner-drawn rows of a swatch and, with
// DisplayNames, the value's name from x = 28; sizing on WM_SETTEXT.
//
// WM_SETTEXT does not use its text: Width becomes 42, plus the widest name
// of the type in the list's font with DisplayNames; the stored current
// value is selected, then the item matching the owning edit's current text.
// The height stays as it is. WM_GETTEXT answers the selected item's value
// text (empty without a selection) and stores it as the current value.
class TValuePopupBox : public TPopupListBox {
  KESTOVA_CLASS(TValuePopupBox)
 public:
  explicit TValuePopupBox(TComponent* AOwner);

  // Draws row Index into ARect: fills it with Canvas's brush, draws the
  // swatch and, with DisplayNames, the name (single line, vertically
  // centred, no prefix processing). The pen becomes black.
  void DrawItemTo(TCanvas& Canvas, int Index, Rect ARect);
  // The swatch of a row: (left + 2, top + 2) to (left + 24 with names, else
  // right - 3, bottom - 2).
  Rect SwatchRect(Rect ARect) const;
  // Measures the names for the width; nullptr (the default) measures as the
  // screen draws.
  void SetTextMeasurer(const TextMeasurer* Measurer) { measurer_ = Measurer; }

 protected:
  void DrawItem(int Index, Rect ARect, TOwnerDrawState State) override;
  virtual void DrawSwatch(TCanvas& Canvas, int Index, Rect Swatch) = 0;
  // The name drawn beside the swatch.
  virtual std::string ItemName(int Index) const = 0;
  // The widest name of the type, for the width.
  virtual const char* WidestName() const = 0;
  // Selects the stored current value.
  virtual void SelectCurrent() = 0;
  // Selects the item whose value text is Text (the edit's own text).
  virtual void SelectText(const std::string& Text) = 0;
  // The value text of item Index; stores it as the current value.
  virtual std::string TakeValue(int Index) = 0;
  // The owning edit with buttons, or nullptr.
  TCustomZREdit* OwnerEdit() const;

 private:
  friend void DescribeTValuePopupBox(TClassInfo& Info);
  void WMGetText(TMessage& Message);
  void WMSetText(TMessage& Message);
  const TextMeasurer* measurer_ = nullptr;
};

class TPopupColorBox : public TValuePopupBox {
  KESTOVA_CLASS(TPopupColorBox)
 public:
  explicit TPopupColorBox(TComponent* AOwner);
  TColor CurrentColor = clBlack;
  // Nothing when an item is selected and Color is CurrentColor; otherwise
  // the first item of that colour is selected and Color stored. A colour
  // that is no item changes nothing.
  void SelectColor(TColor Color);
  void FillItems() override;

 protected:
  void Click() override;
  void DrawSwatch(TCanvas& Canvas, int Index, Rect Swatch) override;
  std::string ItemName(int Index) const override;
  const char* WidestName() const override { return "clInactiveCaptionText"; }
  void SelectCurrent() override { SelectColor(CurrentColor); }
  void SelectText(const std::string& Text) override;
  std::string TakeValue(int Index) override;

 private:
  TColor ItemColor(int Index) const;
};

class TPopupPenBox : public TValuePopupBox {
  KESTOVA_CLASS(TPopupPenBox)
 public:
  explicit TPopupPenBox(TComponent* AOwner);
  TPenStyle CurrentPenStyle = TPenStyle::psSolid;
  // Stores Style and selects its item when nothing is selected or it
  // differs from the stored one.
  void SelectPen(TPenStyle Style);
  void FillItems() override;

 protected:
  void Click() override;
  void DrawSwatch(TCanvas& Canvas, int Index, Rect Swatch) override;
  std::string ItemName(int Index) const override;
  const char* WidestName() const override { return "InsideFrame"; }
  void SelectCurrent() override { SelectPen(CurrentPenStyle); }
  void SelectText(const std::string& Text) override;
  std::string TakeValue(int Index) override;
};

class TPopupBrushBox : public TValuePopupBox {
  KESTOVA_CLASS(TPopupBrushBox)
 public:
  explicit TPopupBrushBox(TComponent* AOwner);
  ~TPopupBrushBox() override;
  TBrushStyle CurrentBrushStyle = TBrushStyle::bsSolid;
  // The brush the swatches are filled with.
  TBrush* SwatchBrush() const { return swatchBrush_.get(); }
  // Stores Style and selects its item when nothing is selected or it
  // differs from the stored one.
  void SelectBrush(TBrushStyle Style);
  void FillItems() override;

 protected:
  void Click() override;
  void DrawSwatch(TCanvas& Canvas, int Index, Rect Swatch) override;
  std::string ItemName(int Index) const override;
  const char* WidestName() const override { return "Horizontal"; }
  void SelectCurrent() override { SelectBrush(CurrentBrushStyle); }
  void SelectText(const std::string& Text) override;
  std::string TakeValue(int Index) override;

 private:
  std::unique_ptr<TBrush> swatchBrush_;
};

// An inner edit that paints its value instead of showing editable text.
// WM_SETTEXT stores the text through SetValue (the owning edit with buttons
// then hears Change) and repaints; WM_GETTEXT and WM_GETTEXTLENGTH answer
// the value; ZRM_PAINTTO paints into the canvas in WParam at the point in
// LParam.
class TGraphicEdit : public TCustomControl {
  KESTOVA_CLASS(TGraphicEdit)
 public:
  explicit TGraphicEdit(TComponent* AOwner);

  // Paints the value into Canvas with the control's top-left corner at
  // (X, Y).
  virtual void PaintTo(TCanvas& Canvas, int X, int Y) = 0;
  virtual void SetValue(const std::string& Text);
  virtual void GetValue(std::string& Text) const { Text = value_; }
  const std::string& Value() const { return value_; }

 protected:
  void Paint() override;
  // The owning edit with buttons shows the focus and has it.
  bool FocusShown() const;
  // The name part of the value: the value without its first two characters.
  std::string NamePart() const { return value_.size() > 2 ? value_.substr(2) : std::string(); }

 private:
  friend void DescribeTGraphicEdit(TClassInfo& Info);
  void WMSetText(TMessage& Message);
  void WMGetText(TMessage& Message);
  void WMGetTextLength(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void ZRMPaintTo(TMessage& Message);
  std::string value_;
};

// Paints off-screen and copies the picture: ground in Color, the swatch
// (2, 2)-(24, height - 2) outlined in black and filled with the colour, the
// name ("WindowText" for "clWindowText") from x = 28 in the control's font.
class TColorEdit : public TGraphicEdit {
  KESTOVA_CLASS(TColorEdit)
 public:
  explicit TColorEdit(TComponent* AOwner);
  void PaintTo(TCanvas& Canvas, int X, int Y) override;
  // A text that is no colour raises StringToColor's EConvertError and the
  // value stays.
  void SetValue(const std::string& Text) override;
};

// A black line in the value's style across the middle, no name. A value
// that is no pen-style name draws the ground only.
class TPenStyleEdit : public TGraphicEdit {
  KESTOVA_CLASS(TPenStyleEdit)
 public:
  explicit TPenStyleEdit(TComponent* AOwner);
  void PaintTo(TCanvas& Canvas, int X, int Y) override;
};

// A swatch in the value's style (black on clInfoBk; "bsClear" solid
// clInfoBk) and the name from x = 28. A value that is no brush-style name
// draws the ground and the name, no swatch.
class TBrushStyleEdit : public TGraphicEdit {
  KESTOVA_CLASS(TBrushStyleEdit)
 public:
  explicit TBrushStyleEdit(TComponent* AOwner);
  ~TBrushStyleEdit() override;
  TBrush* SwatchBrush() const { return swatchBrush_.get(); }
  void PaintTo(TCanvas& Canvas, int X, int Y) override;

 private:
  std::unique_ptr<TBrush> swatchBrush_;
};
