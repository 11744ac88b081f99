#pragma once
// TCustomListBox: a list of strings painted by the control itself, one item
// a row, with an optional vertical scroll bar.
//
// Items are kept by the control, so they survive RecreateWnd. Every change
// of Items goes through the list box messages (LB_ADDSTRING,
// LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT; text as std::string,
// see Messages.h), so a class that handles them sees each change. A
// BeginUpdate/EndUpdate bracket of Items is WM_SETREDRAW False/True.
//
// Geometry (client coordinates, inside the border): row i of the visible
// rows starts at y = the summed heights of the items from TopIndex to i - 1;
// every item is ItemHeight high except with lbOwnerDrawVariable, where
// OnMeasureItem may give each its own height when it is added. The rows are
// as wide as the client area less the scroll bar, which shows (16 pixels
// wide) while not every item fits.
//
// Drawing: each visible item is drawn by DrawItem with the canvas's brush
// and font colour set to clHighlight / clHighlightText for the selected
// item, Color / the font's colour otherwise. The standard style draws the
// text 2 pixels from the left; the owner-drawn styles call OnDrawItem (the
// base fills the rectangle when there is none).
//
// Mouse and keys: a left press selects the item under it and focuses the
// control; Up, Down, Page Up, Page Down, Home and End move the selection.
// A change of the selection by the user sends CN_COMMAND with LBN_SELCHANGE
// in the high word of WParam to the control, then fires OnClick.

#include <QPointer>
#include <QScrollBar>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/CustomControl.h"
#include "platform/controls/Forms.h"
#include "platform/core/StringList.h"

struct TTypeInfo;

enum TListBoxStyle : std::uint8_t { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

namespace TypeInfos {
const TTypeInfo* TListBoxStyle();
}

// Owner-draw state flags.
using TOwnerDrawState = std::uint32_t;
inline constexpr TOwnerDrawState odSelected = 0x01;
inline constexpr TOwnerDrawState odDisabled = 0x04;
inline constexpr TOwnerDrawState odFocused = 0x10;

using TDrawItemEvent = TMethodPointer<void(TWinControl* Control, int Index, Rect ARect, TOwnerDrawState State)>;
using TMeasureItemEvent = TMethodPointer<void(TWinControl* Control, int Index, int& Height)>;

class TCustomListBox : public TCustomControl {
  KESTOVA_CLASS(TCustomListBox)
 public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  TStrings* Items() const;
  void SetItems(TStrings* Value);
  // -1: none. Another value out of range selects nothing.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int Value);
  // The first item shown; clamped to 0 .. the last top from which the
  // remaining items fill the client area.
  int TopIndex() const { return topIndex_; }
  void SetTopIndex(int Value);
  // Height of a row; at least 1 (default 13).
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int Value);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle Value);
  // Added items go to their sorted place (case-insensitive); setting it
  // sorts the present ones.
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  // bsSingle: a sunken 2-pixel edge with Ctl3D, a 1-pixel black frame
  // without; bsNone: no border.
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle Value);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool Value);

  // The client area: the control less its border on each side.
  int BorderWidth() const;
  int ClientWidth() const { return Width() - 2 * BorderWidth(); }
  int ClientHeight() const { return Height() - 2 * BorderWidth(); }
  void SetClientWidth(int Value) { SetWidth(Value + 2 * BorderWidth()); }
  void SetClientHeight(int Value) { SetHeight(Value + 2 * BorderWidth()); }

  // The item whose row holds Pos (client coordinates). Below the last
  // item or the client area: -1 when Existing, else the item count. Above
  // the rows or beside them: -1.
  int ItemAtPos(Point Pos, bool Existing) const;
  // The row of Index in client coordinates; empty for an item above
  // TopIndex or out of range (rows below the client area are still given).
  Rect ItemRect(int Index) const;
  // Items whose rows fit wholly into the client area from TopIndex, at least 1.
  int VisibleRows() const;

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TNotifyEvent OnClick;

 protected:
  // Draws item Index into ARect (see the header).
  virtual void DrawItem(int Index, Rect ARect, TOwnerDrawState State);
  // Items are drawn by DrawItem's owner-draw path.
  bool OwnerDrawn() const { return style_ != lbStandard; }
  // The user changed the selection: CN_COMMAND (LBN_SELCHANGE), Click.
  void SelectionChangedByUser();
  // Fires OnClick.
  virtual void Click();
  void Paint() override;
  void CreateWnd() override;
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  friend void DescribeTCustomListBox(TClassInfo& Info);
  class TListBoxStrings;
  void LBAddString(TMessage& Message);
  void LBInsertString(TMessage& Message);
  void LBDeleteString(TMessage& Message);
  void LBResetContent(TMessage& Message);
  void LBSetCurSel(TMessage& Message);
  void LBGetCurSel(TMessage& Message);
  void LBGetText(TMessage& Message);
  void LBGetCount(TMessage& Message);
  void LBFindStringExact(TMessage& Message);
  void WMSetRedraw(TMessage& Message);
  void WMSize(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void InsertItem(int Index, const std::string& S);
  int RowHeight(int Index) const;
  int MaxTopIndex() const;
  int RowsWidth() const;
  bool ScrollBarNeeded() const;
  void UpdateScrollBar();
  // Moves the selection by the user and keeps it in view.
  void MoveSelection(int Index);

  std::unique_ptr<TListBoxStrings> items_;
  TStringList store_;
  std::vector<int> heights_;  // lbOwnerDrawVariable: per item
  int itemIndex_ = -1;
  int topIndex_ = 0;
  int itemHeight_ = 13;
  int redrawLocks_ = 0;
  TListBoxStyle style_ = lbStandard;
  bool sorted_ = false;
  TFormBorderStyle borderStyle_ = bsSingle;
  bool ctl3D_ = true;
  QPointer<QScrollBar> scrollBar_;  // child of the window, gone with it
};
