#pragma once
// Image list boxes: a self-drawn list of items, each an image of an image
// list and a caption.
//
// TZRCustomImageListBox paints every row itself and keeps its own scroll
// bars (ScrollBars.h): rows vertically, pixels horizontally. Geometry, in
// client coordinates: rows are GetItemHeight() high; row i lies at
// y = (i - TopIndex) * height and spans x = 0 .. max(content width + 1,
// client width), shifted left by the horizontal offset. TopIndex stays in
// 0 .. count - (client height div row height); the offset in
// 0 .. content width - client width + 1, and is 0 when the content fits.
//
// Scroll bars follow every change of size, count, content width, top index
// or offset: the vertical one has range 0 .. count - 1 and page = the
// visible rows once the count reaches the rows that fit (otherwise none),
// the horizontal one range 0 .. content width and page = the client width
// while the content is wider. Line steps are ScrollStepVert rows and
// ScrollStepHorz pixels, page steps the visible rows less one (at least 1)
// and the client width; dragging the thumb scrolls, its final position
// message is ignored. The wheel's turns add up; each whole notch (120)
// scrolls the wheel scroll lines (GetWheelScrollLines), upwards for a turn
// away from the user, and the rest is kept for the next turn.
//
// Sorted keeps the items in the order of their captions (AnsiCompareText):
// a sort request is a quicksort (IndexQuickSort), and an added or renamed
// item goes to the first place whose caption does not compare lower.
// Measuring the content width and sorting wait while the items are being
// updated and run at the end of the update.
//
// Keys: with QuickSearch, each typed printable character extends the search
// text and selects the first item whose caption begins with it (without
// case); 200 ms (four ticks of timer 1) without typing start a new search.
// Other keys (arrows, Home, End, function and keypad keys) never add to the
// search. Page Up, Page Down, Home, End, Up and Down move the selection;
// Left and Right scroll.
//
// Mouse: a left press focuses the box and selects the item under it. With
// CanDragItems (never while Sorted) it starts an item drag once the mouse
// moved 2 pixels: the row under the mouse shows an inverting drop
// rectangle, and the drop moves the item there (MoveItem) when CanMoveItem
// allows it. Holding the button outside the rows runs timer 1 (50 ms),
// which selects or scrolls towards the mouse.
//
// TZRCustomBtnImageListBox draws each image on a raised button face in
// ImageBackgroudColor (so spelled); TZRCustomCheckImageListBox puts a check
// box before each item, toggled by Space and by a click on it, firing
// OnCheckStateChanged once for each change.

#include <cstdint>
#include <string>

#include "platform/classes/Collection.h"
#include "platform/controls/CustomControl.h"
#include "platform/controls/DragManager.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"

class TZRCustomImageListBox;
class TZRImageListItems;
class TZRImageListDragObject;

using TZRCanMoveItemEvent =
    TMethodPointer<void(TObject* ASender, int AOriginIndex, int ADestIndex, bool& ACanMove)>;
using TZRItemMovedEvent = TMethodPointer<void(TObject* ASender, int AOriginIndex, int ADestIndex)>;

class TZRCustomImageListItem : public TCollectionItem {
  KESTOVA_CLASS(TZRCustomImageListItem)
 public:
  // ImageIndex -1. In a sorted box the new item goes to its sorted place.
  explicit TZRCustomImageListItem(TCollection* Collection);
  // Tells the box the item leaves (unless the box is being destroyed).
  ~TZRCustomImageListItem() override;

  // Copies ImageIndex, Caption and Data.
  void Assign(const TPersistent* Source) override;
  // The caption when it is not blank, else the class's name.
  std::string DisplayName() const override;

  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value);
  void* Data() const { return data_; }
  void SetData(void* Value) { data_ = Value; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);

  // The box's image list; nullptr without a box or list.
  TImageList* GetImageList() const;
  TZRCustomImageListBox* Box() const;

  // Draws the image cell at the left of ARect with the canvas brush and
  // moves ARect's left edge past it.
  virtual void DrawImage(TCanvas& Canvas, Rect& ARect, TImageList* ImageList);
  // Tells the box this item's caption changed.
  virtual void CaptionChanged();
  // Draws the image and the caption into ARect (already filled by the box).
  virtual void Draw(TCanvas& Canvas, Rect ARect, bool Highlight);
  // The caption's width: CodedTextWidth with Highlight, else TextWidth.
  virtual int GetTextWidth(TCanvas& Canvas, bool Highlight);

 protected:
  // Draws the caption from ARect's left edge, centred on the height of "W".
  void DrawCaption(TCanvas& Canvas, const Rect& ARect, bool Highlight);

 private:
  int imageIndex_ = -1;
  void* data_ = nullptr;
  std::string caption_;
};

class TZRImageListItem : public TZRCustomImageListItem {
  KESTOVA_CLASS(TZRImageListItem)
 public:
  using TZRCustomImageListItem::TZRCustomImageListItem;
};

class TZRCustomBtnImageListItem : public TZRCustomImageListItem {
  KESTOVA_CLASS(TZRCustomBtnImageListItem)
 public:
  using TZRCustomImageListItem::TZRCustomImageListItem;
  // A raised button face round the image; nothing for ImageIndex < 0.
  void DrawImage(TCanvas& Canvas, Rect& ARect, TImageList* ImageList) override;
};

class TZRBtnImageListItem : public TZRCustomBtnImageListItem {
  KESTOVA_CLASS(TZRBtnImageListItem)
 public:
  using TZRCustomBtnImageListItem::TZRCustomBtnImageListItem;
};

class TZRCustomCheckListItem : public TZRCustomImageListItem {
  KESTOVA_CLASS(TZRCustomCheckListItem)
 public:
  using TZRCustomImageListItem::TZRCustomImageListItem;
  TCheckBoxState State() const { return state_; }
  // A change repaints the box and fires its OnCheckStateChanged, except
  // while the items are being updated.
  void SetState(TCheckBoxState Value);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  void Assign(const TPersistent* Source) override;
  // The check box first when the box shows them.
  void Draw(TCanvas& Canvas, Rect ARect, bool Highlight) override;

 private:
  TCheckBoxState state_ = cbUnchecked;
};

class TZRCheckListItem : public TZRCustomCheckListItem {
  KESTOVA_CLASS(TZRCheckListItem)
 public:
  using TZRCustomCheckListItem::TZRCustomCheckListItem;
};

class TZRImageListItems : public TCollection {
  KESTOVA_CLASS(TZRImageListItems)
 public:
  TZRImageListItems(TZRCustomImageListBox* Box, TClass ItemClass);
  TZRCustomImageListBox* Box() const { return box_; }
  TZRCustomImageListItem* Items(int Index) const;
  TZRCustomImageListItem* Add() { return static_cast<TZRCustomImageListItem*>(TCollection::Add()); }
  // Gives item From the index To and tells the box (ItemMoved), inside an
  // update; nothing when they are equal.
  void MoveItem(int From, int To);
  TPersistent* GetOwner() const override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TZRCustomImageListBox* box_;
};

class TZRCustomImageListBox : public TCustomControl {
  KESTOVA_CLASS(TZRCustomImageListBox)
 public:
  // 220 x 120, TabStop, clWindow (not the parent's), a single border.
  explicit TZRCustomImageListBox(TComponent* AOwner);
  ~TZRCustomImageListBox() override;

  TZRImageListItems* Items() const { return items_.get(); }
  void SetItems(const TZRImageListItems* Value);
  int GetCount() const { return items_->Count(); }
  TImageList* ImageList() const { return imageLink_.Images(); }
  void SetImageList(TImageList* Value);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  // A change re-creates the window.
  void SetBorderStyle(TFormBorderStyle Value);
  bool QuickSearch() const { return quickSearch_; }
  void SetQuickSearch(bool Value) { quickSearch_ = Value; }
  // Captions with the inline style codes of CodedText.h.
  bool HighlightItems() const { return highlightItems_; }
  void SetHighlightItems(bool Value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  bool CanDragItems() const { return canDragItems_; }
  // Ignored while Sorted.
  void SetCanDragItems(bool Value);
  bool ShowRectWhenAcceptDrag() const { return showRectWhenAcceptDrag_; }
  void SetShowRectWhenAcceptDrag(bool Value) { showRectWhenAcceptDrag_ = Value; }
  TColor SelectedColor() const { return selectedColor_; }
  void SetSelectedColor(TColor Value);
  TColor SelectedTextColor() const { return selectedTextColor_; }
  void SetSelectedTextColor(TColor Value);
  int ScrollStepHorz() const { return scrollStepHorz_; }
  void SetScrollStepHorz(int Value) { scrollStepHorz_ = Value; }
  int ScrollStepVert() const { return scrollStepVert_; }
  void SetScrollStepVert(int Value) { scrollStepVert_ = Value; }

  int ItemIndex() const { return itemIndex_; }
  // Past the end selects the last item; -1 (or less) selects none. A
  // change keeps the item in view and fires OnSelectionChanged.
  void SetItemIndex(int Value);
  int TopIndex() const { return topIndex_; }
  int HorzOffset() const { return horzOffset_; }
  // The item whose row holds Y; when none, -1 with Exact, else the last.
  int ItemAtY(int Y, bool Exact) const;
  // Rows that start inside the client area, from TopIndex.
  int VisibleRows() const;
  int DropIndex() const { return dropIndex_; }
  int DragOrigin() const { return dragOrigin_; }
  // Moves the drop rectangle (an inverting outline of the row across the
  // client width, drawn on the overlay) to row Index; -1 takes it away.
  void MoveDropRect(int Index);

  // Frees item Index; the selection stays on the same item where it can.
  virtual void DeleteItem(int Index);
  virtual bool CanMoveItem(int From, int To);
  virtual void ItemMoved(int From, int To);
  virtual int GetItemHeight();
  virtual int GetImageColumnWidth();
  // The widest caption (not highlighted) plus the image column.
  virtual int GetContentWidth(int& WidestIndex);
  virtual TClass ItemClass() const;
  virtual void GetItemText(int Index, std::string& Text);
  virtual void SortItems();

  TNotifyEvent OnChanged;
  TNotifyEvent OnSelectionChanged;
  TZRCanMoveItemEvent OnCanMoveItem;
  TZRItemMovedEvent OnItemMoved;

 protected:
  void CreateWnd() override;
  // The content width is measured again, and the rest follows.
  void ContentChanged() {
    widthPending_ = true;
    Recalculate();
  }
  // The items are made of this class from now on (the variants' constructors).
  void UseItemClass(TClass ItemClass);
  void Paint() override;
  void NCPaint(TCanvas& Canvas) override;
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, int X, int Y) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, int X, int Y) override;
  virtual void Changed();
  virtual void SelectionChanged();

 private:
  friend class TZRCustomImageListItem;
  friend class TZRImageListItems;
  friend class TZRImageListDragObject;
  friend void DescribeTZRCustomImageListBox(TClassInfo& Info);
  void WMNCCalcSize(TMessage& Message);
  void WMSize(TMessage& Message);
  void WMVScroll(TMessage& Message);
  void WMHScroll(TMessage& Message);
  void WMMouseWheel(TMessage& Message);
  void WMTimer(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void CMFontChanged(TMessage& Message);

  TCanvas& MeasureCanvas();
  int RowsThatFit();
  void Recalculate();
  void UpdateScrollBars();
  void SetTopIndex(int Value);
  void SetHorzOffset(int Value);
  void ItemCaptionChanged(TZRCustomImageListItem* Item);
  void ItemLeaving(int Index);
  // Puts Item at its sorted place (binary search among the others).
  void ResortItem(TZRCustomImageListItem* Item);
  // Row Index across the client width, in client coordinates.
  Rect RowRect(int Index);
  void StartTimer();
  void StopTimer();
  bool Updating() const { return items_->UpdateCount() > 0; }
  int ExchangeCompare(int I, int J);
  void ExchangeItems(int I, int J);

  std::unique_ptr<TZRImageListItems> items_;
  TChangeLink imageLink_;
  TFormBorderStyle borderStyle_ = bsSingle;
  bool quickSearch_ = false;
  bool highlightItems_ = false;
  bool sorted_ = false;
  bool sortPending_ = false;
  int textHeight_ = 0;
  bool canDragItems_ = false;
  bool showRectWhenAcceptDrag_ = false;
  int dragOrigin_ = -1;
  int dropIndex_ = -1;
  Rect dropRect_;
  std::unique_ptr<TZRImageListDragObject> dragObject_;
  int topIndex_ = 0;
  int itemIndex_ = -1;
  int horzOffset_ = 0;
  bool widthPending_ = false;
  int contentWidth_ = 0;
  int widestItem_ = -1;
  bool resorting_ = false;
  std::uintptr_t timer_ = 0;
  bool searching_ = false;
  int searchTicks_ = 0;
  std::string searchText_;
  TColor selectedColor_ = clHighlight;
  TColor selectedTextColor_ = clHighlightText;
  int wheelAccumulator_ = 0;
  int scrollStepHorz_ = 1;
  int scrollStepVert_ = 1;
  bool destroying_ = false;
  std::unique_ptr<TBitmap> measure_;
};

class TZRCustomBtnImageListBox : public TZRCustomImageListBox {
  KESTOVA_CLASS(TZRCustomBtnImageListBox)
 public:
  explicit TZRCustomBtnImageListBox(TComponent* AOwner);
  TColor ImageBackgroudColor() const { return imageBackgroudColor_; }
  void SetImageBackgroudColor(TColor Value);
  int GetItemHeight() override;
  int GetImageColumnWidth() override;
  TClass ItemClass() const override;

 private:
  TColor imageBackgroudColor_ = clBtnFace;
};

using TZROnCheckStateChanged = TMethodPointer<void(TObject* AObject, TObject* ASender)>;

class TZRCustomCheckImageListBox : public TZRCustomImageListBox {
  KESTOVA_CLASS(TZRCustomCheckImageListBox)
 public:
  explicit TZRCustomCheckImageListBox(TComponent* AOwner);
  bool ShowCheckBoxes() const { return showCheckBoxes_; }
  void SetShowCheckBoxes(bool Value);
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  int GetImageColumnWidth() override;
  TClass ItemClass() const override;
  virtual void DoCheckStateChanged(TZRCustomCheckListItem* Item);
  TZROnCheckStateChanged OnCheckStateChanged;

 protected:
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  bool showCheckBoxes_ = true;
  bool flat_ = false;
};

class TZRImageListBox : public TZRCustomImageListBox {
  KESTOVA_CLASS(TZRImageListBox)
 public:
  using TZRCustomImageListBox::TZRCustomImageListBox;
};

class TZRBtnImageListBox : public TZRCustomBtnImageListBox {
  KESTOVA_CLASS(TZRBtnImageListBox)
 public:
  using TZRCustomBtnImageListBox::TZRCustomBtnImageListBox;
};

class TZRCheckImageListBox : public TZRCustomCheckImageListBox {
  KESTOVA_CLASS(TZRCheckImageListBox)
 public:
  using TZRCustomCheckImageListBox::TZRCustomCheckImageListBox;
};

// The drag object of an image list box: it remembers the box that shows a
// drop rectangle for it and takes that rectangle away when the mouse leaves
// the box and when the drag ends.
class TZRImageListDragObject : public TDragControlObject {
  KESTOVA_CLASS(TZRImageListDragObject)
 public:
  explicit TZRImageListDragObject(TZRCustomImageListBox* ABox) : TDragControlObject(ABox) {}
  ~TZRImageListDragObject() override;
  // The box that shows the drop rectangle; a box freed meanwhile is
  // forgotten (free notifier).
  TZRCustomImageListBox* Target() const { return target_; }
  void SetTarget(TZRCustomImageListBox* Value);
  TCursorValue GetDragCursor(bool Accepted, int X, int Y) override;
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;

 private:
  void TargetFreed(const void*) { target_ = nullptr; }
  TZRCustomImageListBox* target_ = nullptr;
};
