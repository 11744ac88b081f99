// Image list boxes: items, the box's geometry, painting, keys, mouse and
// item dragging.

#include "components/base/ZRImageListBox.h"

#include <algorithm>
#include <vector>

#include "components/base/CodedText.h"
#include "components/base/CommonControls.h"
#include "components/base/DrawRoutines.h"
#include "components/base/zrbaselib.h"
#include "components/base/zrhook.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/ScrollBars.h"
#include "platform/core/AnsiStrings.h"
#include "platform/core/Codecs.h"
#include "platform/core/StrUtils.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/SystemMetrics.h"
#include "platform/ui/Screen.h"

namespace {

constexpr std::uintptr_t kTimerId = 1;
constexpr int kTimerMs = 50;
// Ticks of the timer without typing that end a quick search (about 200 ms).
constexpr int kSearchTicks = 4;
constexpr int kDragThreshold = 2;

}  // namespace

// ---- Class information ----

void DescribeTZRImageListItem(TClassInfo& Info) {
  using P = TZRCustomImageListItem;
  TClassPublisher<P> p(Info);
  p.Property<&P::Caption, &P::SetCaption>("Caption", TypeInfos::String());
  p.Property<&P::ImageIndex, &P::SetImageIndex>("ImageIndex", TypeInfos::Integer()).Default(-1);
}

void DescribeTZRCheckListItem(TClassInfo& Info) {
  using P = TZRCustomCheckListItem;
  TClassPublisher<P> p(Info);
  p.Property<&P::Caption, &P::SetCaption>("Caption", TypeInfos::String());
  p.Property<&P::ImageIndex, &P::SetImageIndex>("ImageIndex", TypeInfos::Integer()).Default(-1);
  p.Property<&P::Checked, &P::SetChecked>("Checked", TypeInfos::Boolean()).Stored(false);
}

void DescribeTZRCustomImageListBox(TClassInfo& Info) {
  AddMessageHandler<&TZRCustomImageListBox::WMNCCalcSize>(Info, WM_NCCALCSIZE);
  AddMessageHandler<&TZRCustomImageListBox::WMSize>(Info, WM_SIZE);
  AddMessageHandler<&TZRCustomImageListBox::WMVScroll>(Info, WM_VSCROLL);
  AddMessageHandler<&TZRCustomImageListBox::WMHScroll>(Info, WM_HSCROLL);
  AddMessageHandler<&TZRCustomImageListBox::WMMouseWheel>(Info, WM_MOUSEWHEEL);
  AddMessageHandler<&TZRCustomImageListBox::WMTimer>(Info, WM_TIMER);
  AddMessageHandler<&TZRCustomImageListBox::WMGetDlgCode>(Info, WM_GETDLGCODE);
  AddMessageHandler<&TZRCustomImageListBox::WMSetFocus>(Info, WM_SETFOCUS);
  AddMessageHandler<&TZRCustomImageListBox::WMKillFocus>(Info, WM_KILLFOCUS);
  AddMessageHandler<&TZRCustomImageListBox::CMFontChanged>(Info, CM_FONTCHANGED);
}

void DescribeTZRBtnImageListBox(TClassInfo& Info) {
  using P = TZRCustomBtnImageListBox;
  TClassPublisher<P> p(Info);
  p.Property<&P::ImageBackgroudColor, &P::SetImageBackgroudColor>("ImageBackgroudColor", TypeInfos::TColor())
      .Default(clBtnFace);
}

void DescribeTZRCheckImageListBox(TClassInfo& Info) {
  using P = TZRCustomCheckImageListBox;
  TClassPublisher<P> p(Info);
  p.Property<&P::ShowCheckBoxes, &P::SetShowCheckBoxes>("ShowCheckBoxes", TypeInfos::Boolean()).Default(true);
  p.Property<&P::Flat, &P::SetFlat>("Flat", TypeInfos::Boolean()).Default(false);
}

KESTOVA_CLASS_INFO(TZRCustomImageListItem, TCollectionItem, "ZRImageListBox", nullptr)
KESTOVA_CLASS_INFO_DESCRIBED(TZRImageListItem, TZRCustomImageListItem, "ZRImageListBox",
                             &MakeCollectionItem<TZRImageListItem>, DescribeTZRImageListItem)
KESTOVA_CLASS_INFO(TZRCustomBtnImageListItem, TZRCustomImageListItem, "ZRImageListBox", nullptr)
KESTOVA_CLASS_INFO_DESCRIBED(TZRBtnImageListItem, TZRCustomBtnImageListItem, "ZRImageListBox",
                             &MakeCollectionItem<TZRBtnImageListItem>, DescribeTZRImageListItem)
KESTOVA_CLASS_INFO(TZRCustomCheckListItem, TZRCustomImageListItem, "ZRImageListBox", nullptr)
KESTOVA_CLASS_INFO_DESCRIBED(TZRCheckListItem, TZRCustomCheckListItem, "ZRImageListBox",
                             &MakeCollectionItem<TZRCheckListItem>, DescribeTZRCheckListItem)
KESTOVA_CLASS_INFO(TZRImageListItems, TCollection, "ZRImageListBox", nullptr)
KESTOVA_CLASS_INFO_DESCRIBED(TZRCustomImageListBox, TCustomControl, "ZRImageListBox", nullptr,
                             DescribeTZRCustomImageListBox)
KESTOVA_CLASS_INFO_DESCRIBED(TZRCustomBtnImageListBox, TZRCustomImageListBox, "ZRImageListBox", nullptr,
                             DescribeTZRBtnImageListBox)
KESTOVA_CLASS_INFO_DESCRIBED(TZRCustomCheckImageListBox, TZRCustomImageListBox, "ZRImageListBox", nullptr,
                             DescribeTZRCheckImageListBox)
KESTOVA_CLASS_INFO(TZRImageListBox, TZRCustomImageListBox, "ZRImageListBox", &MakeComponent<TZRImageListBox>)
KESTOVA_CLASS_INFO(TZRBtnImageListBox, TZRCustomBtnImageListBox, "ZRImageListBox",
                   &MakeComponent<TZRBtnImageListBox>)
KESTOVA_CLASS_INFO(TZRCheckImageListBox, TZRCustomCheckImageListBox, "ZRImageListBox",
                   &MakeComponent<TZRCheckImageListBox>)
KESTOVA_CLASS_INFO(TZRImageListDragObject, TDragControlObject, "ZRImageListBox", nullptr)

// ---- Items ----

TZRCustomImageListItem::TZRCustomImageListItem(TCollection* Collection) : TCollectionItem(Collection) {
  if (TZRCustomImageListBox* box = Box()) box->ResortItem(this);
}

TZRCustomImageListItem::~TZRCustomImageListItem() {
  if (TZRCustomImageListBox* box = Box(); box && !box->destroying_) box->ItemLeaving(Index());
}

TZRCustomImageListBox* TZRCustomImageListItem::Box() const {
  auto* items = dynamic_cast<TZRImageListItems*>(Collection());
  return items ? items->Box() : nullptr;
}

TImageList* TZRCustomImageListItem::GetImageList() const {
  TZRCustomImageListBox* box = Box();
  return box ? box->ImageList() : nullptr;
}

void TZRCustomImageListItem::Assign(const TPersistent* Source) {
  if (const auto* item = dynamic_cast<const TZRCustomImageListItem*>(Source)) {
    SetImageIndex(item->imageIndex_);
    SetCaption(item->caption_);
    data_ = item->data_;
    return;
  }
  TCollectionItem::Assign(Source);
}

void TZRCustomCheckListItem::Assign(const TPersistent* Source) {
  TZRCustomImageListItem::Assign(Source);
  if (const auto* item = dynamic_cast<const TZRCustomCheckListItem*>(Source)) SetState(item->State());
}

std::string TZRCustomImageListItem::DisplayName() const {
  return Trim(caption_).empty() ? TCollectionItem::DisplayName() : caption_;
}

void TZRCustomImageListItem::SetImageIndex(int Value) {
  if (Value == imageIndex_) return;
  imageIndex_ = Value;
  Changed(false);
}

void TZRCustomImageListItem::SetCaption(const std::string& Value) {
  if (Value == caption_) return;
  caption_ = Value;
  CaptionChanged();
}

void TZRCustomImageListItem::CaptionChanged() {
  if (TZRCustomImageListBox* box = Box()) box->ItemCaptionChanged(this);
}

void TZRCustomImageListItem::DrawImage(TCanvas& Canvas, Rect& ARect, TImageList* ImageList) {
  const Rect cell{ARect.left, ARect.top, ARect.left + ImageList->Width() + 2, ARect.bottom};
  if (imageIndex_ >= 0 && imageIndex_ < ImageList->Count()) {
    const Rect inside{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
    const TColor back = ImageList->BkColor();
    ImageList->SetBkColor(back == clNone ? Canvas.Brush()->Color() : back);
    ImageList->DrawStyled(Canvas, static_cast<int>(inside.left),
                          static_cast<int>(inside.top + (inside.Height() - ImageList->Height()) / 2), imageIndex_,
                          dsNormal, itImage);
    ImageList->SetBkColor(back);
    const Rect image{inside.left, inside.top + (inside.Height() - ImageList->Height()) / 2,
                     inside.left + ImageList->Width(),
                     inside.top + (inside.Height() - ImageList->Height()) / 2 + ImageList->Height()};
    FillOutside(Canvas, cell, image);
  } else {
    Canvas.FillRect(cell);
  }
  ARect.left = cell.right;
}

void TZRCustomImageListItem::DrawCaption(TCanvas& Canvas, const Rect& ARect, bool Highlight) {
  const Coord x = ARect.left + 1;
  const Coord y = ARect.top + (ARect.Height() - Canvas.TextHeight("W")) / 2;
  if (Highlight)
    DrawCodedText(Canvas, ARect, x, y, caption_);
  else
    Canvas.TextRect(ARect, x, y, caption_);
}

void TZRCustomImageListItem::Draw(TCanvas& Canvas, Rect ARect, bool Highlight) {
  if (TImageList* images = GetImageList()) DrawImage(Canvas, ARect, images);
  DrawCaption(Canvas, ARect, Highlight);
}

int TZRCustomImageListItem::GetTextWidth(TCanvas& Canvas, bool Highlight) {
  return static_cast<int>(Highlight ? CodedTextWidth(Canvas, caption_) : Canvas.TextWidth(caption_));
}

void TZRCustomBtnImageListItem::DrawImage(TCanvas& Canvas, Rect& ARect, TImageList* ImageList) {
  if (ImageIndex() < 0) return;
  auto* box = dynamic_cast<TZRCustomBtnImageListBox*>(Box());
  const TColor rowBrush = Canvas.Brush()->Color();
  Rect inner{ARect.left + 2, ARect.top + 2, ARect.right - 2, ARect.bottom - 2};
  Canvas.Brush()->SetColor(box ? box->ImageBackgroudColor() : clBtnFace);
  TZRCustomImageListItem::DrawImage(Canvas, inner, ImageList);
  // The face: from the row's left to 2 pixels past the image cell, less 1.
  Rect face{ARect.left + 1, ARect.top + 1, inner.left + 2 - 1, ARect.bottom - 1};
  Canvas.FillRect({face.left + 1, face.top + 1, face.right - 1, inner.top});
  Canvas.FillRect({face.left + 1, inner.bottom, face.right - 1, face.bottom - 1});
  Canvas.FillRect({face.left + 1, inner.top, inner.left - ImageList->Width() - 2, inner.bottom});
  Canvas.FillRect({inner.left, inner.top, face.right - 1, inner.bottom});
  Rect edge = face;
  DrawEdge(Canvas.Handle(), edge, BDR_RAISEDINNER, BF_RECT);
  Canvas.Brush()->SetColor(rowBrush);
  const Rect cell{ARect.left, ARect.top, inner.left + 2, ARect.bottom};
  FillOutside(Canvas, cell, face);
  ARect.left = cell.right;
}

void TZRCustomCheckListItem::SetState(TCheckBoxState Value) {
  if (Value == state_) return;
  state_ = Value;
  auto* box = dynamic_cast<TZRCustomCheckImageListBox*>(Box());
  if (!box || box->Items()->UpdateCount() > 0) return;
  box->Invalidate();
  box->DoCheckStateChanged(this);
}

void TZRCustomCheckListItem::Draw(TCanvas& Canvas, Rect ARect, bool Highlight) {
  auto* box = dynamic_cast<TZRCustomCheckImageListBox*>(Box());
  if (box && box->ShowCheckBoxes()) {
    const int w = GetCheckBoxWidth(), h = GetCheckBoxHeight();
    const Rect cell{ARect.left, ARect.top, ARect.left + w + 4, ARect.bottom};
    const Coord top = ARect.top + (ARect.Height() - h) / 2;
    const Rect check{ARect.left + 2, top, ARect.left + 2 + w, top + h};
    DrawCheckBox(Canvas, check, state_, box->Flat(), false, false);
    FillOutside(Canvas, cell, check);
    ARect.left = cell.right;
  }
  TZRCustomImageListItem::Draw(Canvas, ARect, Highlight);
}

// ---- The collection ----

TZRImageListItems::TZRImageListItems(TZRCustomImageListBox* Box, TClass ItemClass)
    : TCollection(ItemClass), box_(Box) {}

TZRCustomImageListItem* TZRImageListItems::Items(int Index) const {
  return static_cast<TZRCustomImageListItem*>(TCollection::Items(Index));
}

TPersistent* TZRImageListItems::GetOwner() const { return box_; }

void TZRImageListItems::MoveItem(int From, int To) {
  BeginUpdate();
  try {
    if (From != To) {
      Items(From)->SetIndex(To);
      box_->ItemMoved(From, To);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TZRImageListItems::Update(TCollectionItem*) { box_->Recalculate(); }

// ---- The box ----

TZRCustomImageListBox::TZRCustomImageListBox(TComponent* AOwner)
    : TCustomControl(AOwner), items_(std::make_unique<TZRImageListItems>(this, TZRImageListItem::StaticClass())) {
  SetBounds(Left(), Top(), 220, 120);
  SetColor(clWindow);  // its own, not the parent's
  imageLink_.OnChange = [this] { Recalculate(); };
  widthPending_ = true;
}

TZRCustomImageListBox::~TZRCustomImageListBox() {
  destroying_ = true;
  StopTimer();
}

void TZRCustomImageListBox::UseItemClass(TClass ItemClass) {
  items_ = std::make_unique<TZRImageListItems>(this, ItemClass);
}

TClass TZRCustomImageListBox::ItemClass() const { return TZRImageListItem::StaticClass(); }

TZRCustomBtnImageListBox::TZRCustomBtnImageListBox(TComponent* AOwner) : TZRCustomImageListBox(AOwner) {
  UseItemClass(TZRBtnImageListItem::StaticClass());
}
TClass TZRCustomBtnImageListBox::ItemClass() const { return TZRBtnImageListItem::StaticClass(); }

TZRCustomCheckImageListBox::TZRCustomCheckImageListBox(TComponent* AOwner) : TZRCustomImageListBox(AOwner) {
  UseItemClass(TZRCheckListItem::StaticClass());
}
TClass TZRCustomCheckImageListBox::ItemClass() const { return TZRCheckListItem::StaticClass(); }

void TZRCustomImageListBox::SetItems(const TZRImageListItems* Value) { items_->Assign(Value); }

void TZRCustomImageListBox::SetImageList(TImageList* Value) {
  if (TImageList* old = imageLink_.Images()) old->UnRegisterChanges(imageLink_);
  if (Value) Value->RegisterChanges(imageLink_);
  widthPending_ = true;
  Recalculate();
}

void TZRCustomImageListBox::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == borderStyle_) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TZRCustomImageListBox::SetHighlightItems(bool Value) {
  highlightItems_ = Value;
  Invalidate();
}

void TZRCustomImageListBox::SetSorted(bool Value) {
  if (Value == sorted_) return;
  sorted_ = Value;
  if (Value) SortItems();
}

void TZRCustomImageListBox::SetCanDragItems(bool Value) {
  if (!sorted_) canDragItems_ = Value;
}

void TZRCustomImageListBox::SetSelectedColor(TColor Value) {
  selectedColor_ = Value;
  Invalidate();
}

void TZRCustomImageListBox::SetSelectedTextColor(TColor Value) {
  selectedTextColor_ = Value;
  Invalidate();
}

void TZRCustomBtnImageListBox::SetImageBackgroudColor(TColor Value) {
  imageBackgroudColor_ = Value;
  Invalidate();
}

void TZRCustomCheckImageListBox::SetShowCheckBoxes(bool Value) {
  showCheckBoxes_ = Value;
  ContentChanged();
}

void TZRCustomCheckImageListBox::SetFlat(bool Value) {
  flat_ = Value;
  Invalidate();
}

void TZRCustomImageListBox::CreateWnd() {
  TCustomControl::CreateWnd();
  Recalculate();
}

TCanvas& TZRCustomImageListBox::MeasureCanvas() {
  if (!measure_) measure_ = std::make_unique<TBitmap>(1, 1);
  TCanvas& canvas = measure_->Canvas();
  canvas.SetFont(Font());
  return canvas;
}

// ---- Geometry ----

int TZRCustomImageListBox::GetItemHeight() {
  TImageList* images = ImageList();
  return std::max(textHeight_, images ? images->Height() : 0) + 2;
}
int TZRCustomBtnImageListBox::GetItemHeight() { return TZRCustomImageListBox::GetItemHeight() + 4; }

int TZRCustomImageListBox::GetImageColumnWidth() {
  TImageList* images = ImageList();
  return images ? images->Width() + 3 : 0;
}
int TZRCustomBtnImageListBox::GetImageColumnWidth() { return TZRCustomImageListBox::GetImageColumnWidth() + 4; }
int TZRCustomCheckImageListBox::GetImageColumnWidth() {
  return TZRCustomImageListBox::GetImageColumnWidth() + (showCheckBoxes_ ? GetCheckBoxWidth() + 4 : 0);
}

int TZRCustomImageListBox::GetContentWidth(int& WidestIndex) {
  WidestIndex = -1;
  int widest = 0;
  TCanvas& canvas = MeasureCanvas();
  for (int i = 0; i < GetCount(); ++i) {
    // An item joins the collection (and the box recalculates) before its
    // own constructor ran: it has no caption yet.
    auto* item = dynamic_cast<TZRCustomImageListItem*>(items_->TCollection::Items(i));
    if (!item) continue;
    const int w = item->GetTextWidth(canvas, false);
    if (WidestIndex < 0 || w > widest) {
      widest = w;
      WidestIndex = i;
    }
  }
  return widest + GetImageColumnWidth();
}

void TZRCustomImageListBox::GetItemText(int Index, std::string& Text) { Text = items_->Items(Index)->Caption(); }

int TZRCustomImageListBox::RowsThatFit() { return static_cast<int>(ClientRect().bottom) / GetItemHeight(); }

int TZRCustomImageListBox::VisibleRows() const {
  auto* self = const_cast<TZRCustomImageListBox*>(this);
  return std::max(0, std::min(self->RowsThatFit(), GetCount() - topIndex_));
}

int TZRCustomImageListBox::ItemAtY(int Y, bool Exact) const {
  auto* self = const_cast<TZRCustomImageListBox*>(this);
  const int h = self->GetItemHeight();
  const Coord height = ClientRect().bottom;
  for (int i = topIndex_; i < GetCount() && (i - topIndex_) * h < height; ++i)
    if (Y >= (i - topIndex_) * h && Y < (i - topIndex_ + 1) * h) return i;
  return Exact ? -1 : GetCount() - 1;
}

void TZRCustomImageListBox::SetTopIndex(int Value) {
  Value = std::max(0, std::min(Value, GetCount() - RowsThatFit()));
  if (Value == topIndex_) return;
  topIndex_ = Value;
  UpdateScrollBars();
  Invalidate();
}

void TZRCustomImageListBox::SetHorzOffset(int Value) {
  const int client = static_cast<int>(ClientRect().right);
  Value = contentWidth_ > client ? std::clamp(Value, 0, contentWidth_ - client + 1) : 0;
  if (Value == horzOffset_) return;
  horzOffset_ = Value;
  UpdateScrollBars();
  Invalidate();
}

void TZRCustomImageListBox::SetItemIndex(int Value) {
  if (Value >= GetCount()) Value = GetCount() - 1;
  if (Value == itemIndex_) return;
  if (Value >= -1) {
    itemIndex_ = Value;
    const int fit = std::max(RowsThatFit(), 1);
    if (Value < topIndex_)
      SetTopIndex(Value);
    else if (Value > topIndex_ + fit - 1)
      SetTopIndex(Value - fit + 1);
    else if (!Updating())
      Invalidate();
  }
  SelectionChanged();
}

void TZRCustomImageListBox::UpdateScrollBars() {
  if (!HandleAllocated() || destroying_) return;
  TScrollInfo v;
  v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (GetCount() > 0 && GetCount() >= RowsThatFit()) {
    v.nMax = GetCount() - 1;
    v.nPage = static_cast<std::uint32_t>(VisibleRows());
    v.nPos = topIndex_;
  } else {
    v.nPage = static_cast<std::uint32_t>(-1);
  }
  SetScrollInfo(SB_VERT, v, true);
  TScrollInfo h;
  h.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  const int client = static_cast<int>(ClientRect().right);
  if (contentWidth_ > client) {
    h.nMax = contentWidth_;
    h.nPage = static_cast<std::uint32_t>(client);
    h.nPos = horzOffset_;
    SetScrollInfo(SB_HORZ, h, true);
    horzOffset_ = GetScrollPos(SB_HORZ);
  } else {
    h.nPage = static_cast<std::uint32_t>(-1);
    SetScrollInfo(SB_HORZ, h, true);
    horzOffset_ = 0;
  }
}

void TZRCustomImageListBox::Recalculate() {
  if (destroying_) return;
  if (widthPending_) {
    widthPending_ = false;
    contentWidth_ = GetContentWidth(widestItem_);
  }
  textHeight_ = static_cast<int>(MeasureCanvas().TextHeight("Wg"));
  // Fewer items may leave the top index past its last place.
  SetTopIndex(topIndex_);
  UpdateScrollBars();
  if (sortPending_) {
    sortPending_ = false;
    SortItems();
  }
  SetItemIndex(itemIndex_);
  Invalidate();
}

void TZRCustomImageListBox::ItemCaptionChanged(TZRCustomImageListItem* Item) {
  ResortItem(Item);
  if (!Parent()) return;
  if (Updating()) {
    widthPending_ = true;
    return;
  }
  const int w = Item->GetTextWidth(MeasureCanvas(), highlightItems_) + GetImageColumnWidth();
  Invalidate();
  const int index = Item->Index();
  if (index == widestItem_) {
    if (w > contentWidth_)
      contentWidth_ = w;
    else
      contentWidth_ = GetContentWidth(widestItem_);
  } else if (w > contentWidth_) {
    contentWidth_ = w;
    widestItem_ = index;
  }
  UpdateScrollBars();
}

void TZRCustomImageListBox::ItemLeaving(int Index) {
  if (Index < widestItem_)
    --widestItem_;
  else if (Index == widestItem_)
    widthPending_ = true;
}

void TZRCustomImageListBox::DeleteItem(int Index) {
  items_->BeginUpdate();
  delete items_->Items(Index);
  if (Index < itemIndex_) --itemIndex_;
  itemIndex_ = std::clamp(itemIndex_, -1, GetCount() - 1);
  items_->EndUpdate();
  Changed();
}

bool TZRCustomImageListBox::CanMoveItem(int From, int To) {
  bool can = true;
  if (OnCanMoveItem) OnCanMoveItem(this, From, To, can);
  return can;
}

void TZRCustomImageListBox::ItemMoved(int From, int To) {
  if (From == itemIndex_) SetItemIndex(To);
  Changed();
  if (OnItemMoved) OnItemMoved(this, From, To);
}

void TZRCustomImageListBox::Changed() {
  if (OnChanged) OnChanged(this);
}

void TZRCustomImageListBox::SelectionChanged() {
  if (OnSelectionChanged) OnSelectionChanged(this);
}

// ---- Sorting ----

int TZRCustomImageListBox::ExchangeCompare(int I, int J) {
  return AnsiCompareText(items_->Items(I)->Caption(), items_->Items(J)->Caption());
}

void TZRCustomImageListBox::ExchangeItems(int I, int J) {
  // I < J: I moves to J, and the item that slid to J - 1 (J's) takes I.
  items_->Items(I)->SetIndex(J);
  items_->Items(J - 1)->SetIndex(I);
}

void TZRCustomImageListBox::SortItems() {
  if (!sorted_) return;
  if (Updating()) {
    sortPending_ = true;
    return;
  }
  items_->BeginUpdate();
  try {
    IndexQuickSort(0, GetCount() - 1, TIndexExchange([this](int I, int J) { ExchangeItems(I, J); }),
                   TIndexCompare([this](int I, int J) { return ExchangeCompare(I, J); }));
  } catch (...) {
    items_->EndUpdate();
    throw;
  }
  items_->EndUpdate();
}

void TZRCustomImageListBox::ResortItem(TZRCustomImageListItem* Item) {
  if (!sorted_ || resorting_ || GetCount() <= 1) return;
  resorting_ = true;
  const int self = Item->Index();
  // The first place among the others whose caption does not compare lower.
  int lo = 0, hi = GetCount() - 1;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    const int at = mid < self ? mid : mid + 1;
    if (AnsiCompareText(items_->Items(at)->Caption(), Item->Caption()) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  try {
    Item->SetIndex(lo);
  } catch (...) {
    resorting_ = false;
    throw;
  }
  resorting_ = false;
}

// ---- Painting ----

void TZRCustomImageListBox::WMNCCalcSize(TMessage& Message) {
  auto* r = reinterpret_cast<Rect*>(Message.LParam);
  if (borderStyle_ == bsSingle) *r = {r->left + 2, r->top + 2, r->right - 2, r->bottom - 2};
}

void TZRCustomImageListBox::NCPaint(TCanvas& Canvas) {
  TCustomControl::NCPaint(Canvas);
  if (borderStyle_ != bsSingle) return;
  Rect whole{0, 0, Width(), Height()};
  DrawEdge(Canvas.Handle(), whole, EDGE_SUNKEN, BF_RECT);
}

void TZRCustomImageListBox::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
  canvas.SetFont(Font());
  const int h = GetItemHeight();
  const Rect client = ClientRect();
  const Coord rowWidth = std::max<Coord>(contentWidth_ + 1, client.right);
  Coord y = 0;
  for (int i = topIndex_; i < GetCount() && y < client.bottom; ++i, y += h) {
    const bool selected = i == itemIndex_;
    canvas.Brush()->SetColor(selected ? selectedColor_ : Color());
    canvas.Font()->SetColor(selected ? selectedTextColor_ : Font()->Color());
    const Rect row{-horzOffset_, y, -horzOffset_ + rowWidth, y + h};
    canvas.FillRect(row);
    items_->Items(i)->Draw(canvas, row, highlightItems_);
    if (selected && Focused() && dropIndex_ != i) {
      canvas.Font()->SetColor(clWhite);
      canvas.Brush()->SetColor(clBlack);
      DrawFocusRect(canvas.Handle(), {0, y, client.right, y + h});
    }
  }
  canvas.Brush()->SetColor(Color());
  if (y < client.bottom) canvas.FillRect({0, y, client.right, client.bottom});
  if (dropIndex_ >= 0) DrawFocusRect(canvas.Handle(), dropRect_);
}

Rect TZRCustomImageListBox::RowRect(int Index) {
  const int h = GetItemHeight();
  return {0, static_cast<Coord>(Index - topIndex_) * h, ClientRect().right,
          static_cast<Coord>(Index - topIndex_ + 1) * h};
}

void TZRCustomImageListBox::MoveDropRect(int Index) {
  if (Index == dropIndex_) return;
  if (dropIndex_ >= 0) {
    const Rect old = dropRect_;
    DrawOverlay([&](TCanvas& canvas) { DrawFocusRect(canvas.Handle(), old); });
  }
  dropIndex_ = Index;
  if (Index < 0) return;
  dropRect_ = RowRect(Index);
  const Rect now = dropRect_;
  DrawOverlay([&](TCanvas& canvas) { DrawFocusRect(canvas.Handle(), now); });
}

void TZRCustomImageListBox::WMSetFocus(TMessage& Message) {
  Invalidate();
  DefaultHandler(Message);
}

void TZRCustomImageListBox::WMKillFocus(TMessage& Message) {
  Invalidate();
  DefaultHandler(Message);
}

void TZRCustomImageListBox::CMFontChanged(TMessage& Message) {
  widthPending_ = true;
  Recalculate();
  DefaultHandler(Message);
}

void TZRCustomImageListBox::WMSize(TMessage& Message) {
  SetItemIndex(itemIndex_);
  SetTopIndex(topIndex_);
  SetHorzOffset(horzOffset_);
  UpdateScrollBars();
  Invalidate();
  DefaultHandler(Message);
}

// ---- Scrolling ----

void TZRCustomImageListBox::WMVScroll(TMessage& Message) {
  const int rows = VisibleRows();
  const int page = rows >= 2 ? rows - 1 : 1;
  switch (ScrollCode(Message.WParam)) {
    case SB_LINEUP: SetTopIndex(topIndex_ - scrollStepVert_); break;
    case SB_LINEDOWN: SetTopIndex(topIndex_ + scrollStepVert_); break;
    case SB_PAGEUP: SetTopIndex(topIndex_ - page); break;
    case SB_PAGEDOWN: SetTopIndex(topIndex_ + page); break;
    case SB_THUMBTRACK: SetTopIndex(GetScrollTrackPos(this, SB_VERT)); break;
    default: break;  // the thumb's final position: tracking put it there
  }
}

void TZRCustomImageListBox::WMHScroll(TMessage& Message) {
  const int client = static_cast<int>(ClientRect().right);
  switch (ScrollCode(Message.WParam)) {
    case SB_LINELEFT: SetHorzOffset(horzOffset_ - scrollStepHorz_); break;
    case SB_LINERIGHT: SetHorzOffset(horzOffset_ + scrollStepHorz_); break;
    case SB_PAGELEFT: SetHorzOffset(horzOffset_ - client); break;
    case SB_PAGERIGHT: SetHorzOffset(horzOffset_ + client); break;
    case SB_THUMBTRACK: SetHorzOffset(GetScrollTrackPos(this, SB_HORZ)); break;
    default: break;
  }
}

void TZRCustomImageListBox::WMMouseWheel(TMessage& Message) {
  wheelAccumulator_ += WheelDelta(Message.WParam);
  const int notches = wheelAccumulator_ / WHEEL_DELTA;  // toward zero: the rest keeps its sign
  wheelAccumulator_ -= notches * WHEEL_DELTA;
  if (notches != 0) SetTopIndex(topIndex_ - notches * GetWheelScrollLines());
  Message.Result = 1;
}

// ---- Keys ----

void TZRCustomImageListBox::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TZRCustomImageListBox::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Shift.Contains(ssShift) || Shift.Contains(ssAlt) || Shift.Contains(ssCtrl)) return;
  const int rows = VisibleRows();
  switch (Key) {
    case VK_PRIOR: SetItemIndex(std::max(itemIndex_ - rows + 1, 0)); break;
    case VK_NEXT: SetItemIndex(itemIndex_ + rows - 1); break;
    case VK_HOME: SetItemIndex(0); break;
    case VK_END: SetItemIndex(GetCount() - 1); break;
    case VK_UP:
      if (itemIndex_ > 0) SetItemIndex(itemIndex_ - 1);
      break;
    case VK_DOWN: SetItemIndex(itemIndex_ + 1); break;
    case VK_LEFT: SetHorzOffset(horzOffset_ - scrollStepHorz_); break;
    case VK_RIGHT: SetHorzOffset(horzOffset_ + scrollStepHorz_); break;
    default: break;
  }
}

void TZRCustomImageListBox::KeyPress(char32_t& Key) {
  TCustomControl::KeyPress(Key);
  // Only typed characters search: a key's code would turn arrows, Home or
  // the keypad's digits into letters.
  if (!quickSearch_ || Key < 32 || Key == 127) return;
  searching_ = true;
  searchTicks_ = 0;
  StartTimer();
  searchText_ += Utf32ToUtf8(std::u32string(1, Key));
  const std::string wanted = AnsiLowerCase(searchText_);
  for (int i = 0; i < GetCount(); ++i)
    if (AnsiLowerCase(items_->Items(i)->Caption()).starts_with(wanted)) {
      SetItemIndex(i);
      break;
    }
}

void TZRCustomCheckImageListBox::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  if (Key == VK_SPACE && ItemIndex() >= 0) {
    auto* item = static_cast<TZRCustomCheckListItem*>(Items()->Items(ItemIndex()));
    item->SetChecked(!item->Checked());
    Key = 0;
    return;
  }
  TZRCustomImageListBox::KeyDown(Key, Shift);
}

void TZRCustomCheckImageListBox::DoCheckStateChanged(TZRCustomCheckListItem* Item) {
  if (OnCheckStateChanged) OnCheckStateChanged(this, Item);
}

// ---- Mouse and timer ----

void TZRCustomImageListBox::StartTimer() {
  if (timer_ != 0) return;
  timer_ = kTimerId;
  SetTimer(kTimerId, kTimerMs);
}

void TZRCustomImageListBox::StopTimer() {
  if (timer_ == 0) return;
  timer_ = 0;
  KillTimer(kTimerId);
}

void TZRCustomImageListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (!ComponentState().Contains(csDesigning)) SetFocus();
  const int item = ItemAtY(Y, true);
  SetItemIndex(item);
  if (canDragItems_ && item >= 0) {
    dragOrigin_ = item;
    dropIndex_ = item;
    dropRect_ = RowRect(item);
    BeginDrag(false, kDragThreshold);
  } else {
    SetMouseCapture(true);
  }
}

void TZRCustomCheckImageListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TZRCustomImageListBox::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !ShowCheckBoxes()) return;
  const int index = ItemAtY(Y, true);
  if (index < 0 || X + HorzOffset() >= GetCheckBoxWidth() + 4) return;
  auto* item = static_cast<TZRCustomCheckListItem*>(Items()->Items(index));
  item->SetChecked(!item->Checked());
}

void TZRCustomImageListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!MouseCapture() || Dragging()) return;
  const Rect client = ClientRect();
  if (X >= 0 && Y >= 0 && X < client.right && Y < client.bottom) {
    SetItemIndex(ItemAtY(Y, false));
    if (!searching_) StopTimer();
  } else {
    StartTimer();
  }
}

void TZRCustomImageListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (MouseCapture() && !Dragging()) SetMouseCapture(false);
  if (!searching_) StopTimer();
}

void TZRCustomImageListBox::WMTimer(TMessage& Message) {
  if (Message.WParam != kTimerId) return;
  if (searching_ && ++searchTicks_ >= kSearchTicks) {
    searching_ = false;
    searchText_.clear();
  }
  if (MouseCapture() && !Dragging()) {
    const Point s = Screen->CursorPos();
    const QPoint p = ControlScreenToClient(this, QPoint(static_cast<int>(s.x), static_cast<int>(s.y)));
    const Rect client = ClientRect();
    if (p.y() < 0) {
      if (itemIndex_ > 0) SetItemIndex(itemIndex_ - 1);
    } else if (p.y() >= client.bottom) {
      SetItemIndex(itemIndex_ + 1);
    } else if (p.x() < 0) {
      SetHorzOffset(horzOffset_ - scrollStepHorz_);
    } else if (p.x() >= client.right) {
      SetHorzOffset(horzOffset_ + scrollStepHorz_);
    } else if (!searching_) {
      StopTimer();
    }
    return;
  }
  if (!searching_) StopTimer();
}

// ---- Dragging ----

void TZRCustomImageListBox::DoStartDrag(TDragObject*& DragObject) {
  TCustomControl::DoStartDrag(DragObject);
  if (DragObject) return;
  dragObject_ = std::make_unique<TZRImageListDragObject>(this);
  DragObject = dragObject_.get();
}

void TZRCustomImageListBox::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  if (dragOrigin_ >= 0 && Source == this) {
    const int row = ItemAtY(Y, true);
    Accept = row >= 0 && row != itemIndex_ && CanMoveItem(dragOrigin_, row);
    MoveDropRect(row);
    return;
  }
  TCustomControl::DragOver(Source, X, Y, State, Accept);
  auto* box = dynamic_cast<TZRCustomImageListBox*>(Source);
  TZRImageListDragObject* object = box && box->Dragging() ? box->dragObject_.get() : nullptr;
  if (!showRectWhenAcceptDrag_ || !object) return;
  MoveDropRect(ItemAtY(Y, true));
  if (dropIndex_ >= 0) object->SetTarget(this);
}

void TZRCustomImageListBox::DragDrop(TObject* Source, int X, int Y) {
  if (dragOrigin_ >= 0 && Source == this) return;  // the item drag ends in DoEndDrag
  TCustomControl::DragDrop(Source, X, Y);
}

void TZRCustomImageListBox::DoEndDrag(TObject* Target, int X, int Y) {
  if (dragOrigin_ >= 0) {
    const int origin = dragOrigin_, drop = dropIndex_;
    MoveDropRect(-1);
    if (drop >= 0 && drop != origin && CanMoveItem(origin, drop)) items_->MoveItem(origin, drop);
    dragOrigin_ = -1;
    dropIndex_ = -1;
    Invalidate();
  }
  TCustomControl::DoEndDrag(Target, X, Y);
}

TZRImageListDragObject::~TZRImageListDragObject() { SetTarget(nullptr); }

void TZRImageListDragObject::SetTarget(TZRCustomImageListBox* Value) {
  if (Value == target_) return;
  const auto forget = TFreeNotifyEvent::Of<&TZRImageListDragObject::TargetFreed>(*this);
  if (target_) RemoveFreeNotifier(target_, forget);
  target_ = Value;
  if (target_) AddFreeNotifier(target_, forget);
}

TCursorValue TZRImageListDragObject::GetDragCursor(bool Accepted, int X, int Y) {
  const TCursorValue cursor = TDragControlObject::GetDragCursor(Accepted, X, Y);
  auto* source = static_cast<TZRCustomImageListBox*>(Control());
  for (TZRCustomImageListBox* box : {source, target_}) {
    if (!box || box->dropIndex_ < 0) continue;
    const QPoint p = ControlScreenToClient(box, DragPos());
    const Rect client = box->ClientRect();
    if (p.x() >= 0 && p.y() >= 0 && p.x() < client.right && p.y() < client.bottom) continue;
    box->MoveDropRect(-1);
    if (box == target_) SetTarget(nullptr);
  }
  return cursor;
}

void TZRImageListDragObject::Finished(TObject*, int, int, bool) {
  if (target_) target_->MoveDropRect(-1);
  SetTarget(nullptr);
}
