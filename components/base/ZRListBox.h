#pragma once
// Column list boxes and the pop-up lists of the edit with buttons.
//
// TZRListBox: items may hold several "|"-separated columns with one bold run
// each ("~" markers, zrcontrols.h); with ColumnDraw they are drawn in
// columns whose widths follow the widest entry (measured widths only grow).
//
// TPopupListBox: the drop-down list of a TCustomZREdit, a top-level pop-up
// window (TPopupWindow) that selects with the mouse while the button is
// held, closes on Enter, Esc or a release, and reports its text back to
// the edit. It shows 1 to 7 rows.
//
// TZRPopupListBox: a pick list any control can open at a point with
// ShowPopupList. While it is open it takes the key messages of the control
// that opened it (through that control's WindowProc) and reports the chosen
// index, or -1, through OnSelect when it closes. Its creator frees it.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "components/base/zrcontrols.h"
#include "platform/classes/Collection.h"
#include "platform/controls/ListBox.h"

class TZRListBoxColumn : public TCollectionItem {
  KESTOVA_CLASS(TZRListBoxColumn)
 public:
  explicit TZRListBoxColumn(TCollection* Collection) : TCollectionItem(Collection) {}
  // 0: the measured width.
  int ColumnSize = 0;
  TLeftRightAlign Alignment = TLeftRightAlign::lrLeftJustify;
};

// One cell of an item drawn in columns: the field's text (markers still
// in), its alignment and its rectangle.
struct TColumnCell {
  std::string Field;
  TLeftRightAlign Alignment = TLeftRightAlign::lrLeftJustify;
  Rect Cell;
  bool operator==(const TColumnCell&) const = default;
};

class TZRListBox : public TCustomListBox {
  KESTOVA_CLASS(TZRListBox)
 public:
  explicit TZRListBox(TComponent* AOwner);
  ~TZRListBox() override;

  TCollection* ColumnDefs() const { return columnDefs_.get(); }
  TZRListBoxColumn* AddColumn(TLeftRightAlign Alignment, int Size = 0);
  bool ColumnDraw() const { return columnDraw_; }
  void SetColumnDraw(bool Value);
  // Measured widths (index = column).
  const std::vector<int>& ColumnWidths() const { return columnWidths_; }
  std::vector<int>& MutableColumnWidths() { return columnWidths_; }
  // ColumnDefs[i].ColumnSize when set, else the measured width, else 0.
  int ColumnWidth(int Index) const;
  // The cells of Item drawn into ARect (already narrowed by 2 on each side).
  std::vector<TColumnCell> ColumnCells(const std::string& Item, Rect ARect) const;
  // Measures every item's columns (with ColumnDraw, unless redraw is off).
  void MeasureColumns();
  const TFont* BoldVariant() const { return bold_.get(); }

 protected:
  void DrawItem(int Index, Rect ARect, TOwnerDrawState State) override;
  // The width of a field followed by one blank; the base measures with the
  // fonts on a screen canvas.
  virtual int MeasureField(const std::string& Field);
  void WndProc(TMessage& Message) override;

 private:
  void RenewBold();
  std::unique_ptr<TFont> bold_;
  std::unique_ptr<TCollection> columnDefs_;
  std::vector<int> columnWidths_;
  int redrawLocks_ = 0;
  bool columnDraw_ = false;
};

class TPopupListBox : public TZRListBox {
  KESTOVA_CLASS(TPopupListBox)
 public:
  explicit TPopupListBox(TComponent* AOwner);

  // Tells the owning edit (a TCustomZREdit) to close.
  virtual void CloseUp(bool Accept);
  // Called right after the window is made; fills nothing here.
  virtual void FillItems() {}
  // ClientHeight := rows x ItemHeight, rows = the item count within 1..7.
  void AdjustHeight();
  bool DisplayNames() const { return displayNames_; }
  void SetDisplayNames(bool Value);

  void SetParent(TWinControl* AParent) override;

 protected:
  TControlWindowBase* CreateWindowWidget(QWidget* Parent) override;
  void CreateWnd() override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;

 private:
  friend void DescribeTPopupListBox(TClassInfo& Info);
  void Detach();
  void WMLButtonDown(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void CMWantSpecialKey(TMessage& Message);
  void WMGetText(TMessage& Message);
  void WMSetText(TMessage& Message);
  void CNCommand(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  bool displayNames_ = false;
};

using TPopupSelectEvent = TMethodPointer<void(TObject* Sender, int Index)>;

class TZRPopupListBox : public TPopupListBox {
  KESTOVA_CLASS(TZRPopupListBox)
 public:
  explicit TZRPopupListBox(TComponent* AOwner);
  ~TZRPopupListBox() override;

  int WidthLimit = 0;
  TPopupSelectEvent OnSelect;

  void CloseUp(bool Accept) override;
  // Opens the list at the screen point (see ShowPopupList).
  void ShowAt(int X, int Y);

 protected:
  void DestroyWnd() override;

 private:
  void ParentWndProc(TMessage& Message);
  void RestoreParentProc();
  void ActivationChanged(bool Active);
  TWndMethod oldParentProc_;
  TControl* hookedParent_ = nullptr;
};

// Opens a pick list for Control at its client point (X, Y): one column per
// Alignments entry, Font (or the sans face at 8 points), a copy of Items,
// OnSelect, MaxWidth as WidthLimit. The caller frees the list.
TZRPopupListBox* ShowPopupList(TControl* Control, const TStrings& Items, int X, int Y,
                               std::span<const TLeftRightAlign> Alignments, const TFont* Font,
                               TPopupSelectEvent OnSelect, int MaxWidth);

// Scales Widths to fit Limit as ShowAt does: each w := w x Limit / Total
// (product in 32 bits, quotient in floating point, halves to even); answers
// the new total: their sum + 1, or 0 when all are 0.
int ScaleColumnWidths(std::vector<int>& Widths, int Limit, int Total);
