#include "platform/controls/ListBox.h"

#include <QScrollBar>
#include <QWidget>
#include <algorithm>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/AnsiStrings.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/ui/Application.h"

KESTOVA_TYPE_INFO(TListBoxStyle,
                  MakeEnumType("TListBoxStyle",
                               {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual",
                                "lbVirtualOwnerDraw"},
                               "StdCtrls"))

namespace {
inline constexpr int kScrollBarWidth = 16;
}  // namespace

// Items as the list box's messages: a class that handles the messages sees
// every change made through Items.
class TCustomListBox::TListBoxStrings : public TStrings {
 public:
  explicit TListBoxStrings(TCustomListBox& Box) : box_(Box) {}
  std::string Get(int Index) const override { return box_.store_.Strings(Index); }
  int GetCount() const override { return box_.store_.GetCount(); }
  TObject* GetObject(int Index) const override { return box_.store_.GetObject(Index); }
  void PutObject(int Index, TObject* AObject) override { box_.store_.PutObject(Index, AObject); }
  int Add(const std::string& S) override {
    return static_cast<int>(box_.Perform(LB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>(&S)));
  }
  void Insert(int Index, const std::string& S) override {
    box_.Perform(LB_INSERTSTRING, static_cast<std::uintptr_t>(Index), reinterpret_cast<std::intptr_t>(&S));
  }
  void Delete(int Index) override { box_.Perform(LB_DELETESTRING, static_cast<std::uintptr_t>(Index), 0); }
  void Clear() override { box_.Perform(LB_RESETCONTENT, 0, 0); }
  void SetUpdateState(bool Updating) override { box_.Perform(WM_SETREDRAW, Updating ? 0 : 1, 0); }

 private:
  TCustomListBox& box_;
};

void DescribeTCustomListBox(TClassInfo& Info) {
  AddMessageHandler<&TCustomListBox::LBAddString>(Info, LB_ADDSTRING);
  AddMessageHandler<&TCustomListBox::LBInsertString>(Info, LB_INSERTSTRING);
  AddMessageHandler<&TCustomListBox::LBDeleteString>(Info, LB_DELETESTRING);
  AddMessageHandler<&TCustomListBox::LBResetContent>(Info, LB_RESETCONTENT);
  AddMessageHandler<&TCustomListBox::LBSetCurSel>(Info, LB_SETCURSEL);
  AddMessageHandler<&TCustomListBox::LBGetCurSel>(Info, LB_GETCURSEL);
  AddMessageHandler<&TCustomListBox::LBGetText>(Info, LB_GETTEXT);
  AddMessageHandler<&TCustomListBox::LBGetCount>(Info, LB_GETCOUNT);
  AddMessageHandler<&TCustomListBox::LBFindStringExact>(Info, LB_FINDSTRINGEXACT);
  AddMessageHandler<&TCustomListBox::WMSetRedraw>(Info, WM_SETREDRAW);
  AddMessageHandler<&TCustomListBox::WMSize>(Info, WM_SIZE);
  AddMessageHandler<&TCustomListBox::WMGetDlgCode>(Info, WM_GETDLGCODE);
}
KESTOVA_CLASS_INFO_DESCRIBED(TCustomListBox, TCustomControl, "StdCtrls", nullptr, DescribeTCustomListBox)

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TCustomControl(AOwner), items_(std::make_unique<TListBoxStrings>(*this)) {
  SetBounds(0, 0, 121, 97);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() = default;

TStrings* TCustomListBox::Items() const { return items_.get(); }
void TCustomListBox::SetItems(TStrings* Value) { items_->Assign(Value); }

// ---- Messages ----

void TCustomListBox::InsertItem(int Index, const std::string& S) {
  store_.Insert(Index, S);
  int height = itemHeight_;
  if (style_ == lbOwnerDrawVariable && OnMeasureItem) OnMeasureItem(this, Index, height);
  heights_.insert(heights_.begin() + Index, std::max(height, 1));
  if (itemIndex_ >= Index) ++itemIndex_;
  UpdateScrollBar();
  Invalidate();
}

void TCustomListBox::LBAddString(TMessage& Message) {
  const auto& s = *reinterpret_cast<const std::string*>(Message.LParam);
  int index = store_.GetCount();
  if (sorted_) {
    index = 0;
    while (index < store_.GetCount() && AnsiCompareText(store_.Strings(index), s) <= 0) ++index;
  }
  InsertItem(index, s);
  Message.Result = index;
}

void TCustomListBox::LBInsertString(TMessage& Message) {
  const int count = store_.GetCount();
  int index = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
  if (index < 0 || index > count) index = count;
  InsertItem(index, *reinterpret_cast<const std::string*>(Message.LParam));
  Message.Result = index;
}

void TCustomListBox::LBDeleteString(TMessage& Message) {
  const int index = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
  if (index < 0 || index >= store_.GetCount()) {
    Message.Result = -1;
    return;
  }
  store_.Delete(index);
  heights_.erase(heights_.begin() + index);
  if (itemIndex_ == index)
    itemIndex_ = -1;
  else if (itemIndex_ > index)
    --itemIndex_;
  SetTopIndex(topIndex_);
  UpdateScrollBar();
  Invalidate();
  Message.Result = store_.GetCount();
}

void TCustomListBox::LBResetContent(TMessage&) {
  store_.Clear();
  heights_.clear();
  itemIndex_ = -1;
  topIndex_ = 0;
  UpdateScrollBar();
  Invalidate();
}

void TCustomListBox::LBSetCurSel(TMessage& Message) {
  SetItemIndex(static_cast<int>(static_cast<std::intptr_t>(Message.WParam)));
  Message.Result = itemIndex_;
}

void TCustomListBox::LBGetCurSel(TMessage& Message) { Message.Result = itemIndex_; }

void TCustomListBox::LBGetText(TMessage& Message) {
  const int index = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
  if (index < 0 || index >= store_.GetCount()) {
    Message.Result = -1;
    return;
  }
  auto* out = reinterpret_cast<std::string*>(Message.LParam);
  *out = store_.Strings(index);
  Message.Result = static_cast<std::intptr_t>(out->size());
}

void TCustomListBox::LBGetCount(TMessage& Message) { Message.Result = store_.GetCount(); }

void TCustomListBox::LBFindStringExact(TMessage& Message) {
  // From the item after WParam (-1: from the start), wrapping round;
  // without regard to case, as the window system's list compares.
  const auto& s = *reinterpret_cast<const std::string*>(Message.LParam);
  const int count = store_.GetCount();
  const int start = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
  Message.Result = -1;
  for (int n = 0; n < count; ++n) {
    const int i = ((start < 0 || start >= count ? -1 : start) + 1 + n) % count;
    if (AnsiCompareText(store_.Strings(i), s) == 0) {
      Message.Result = i;
      return;
    }
  }
}

void TCustomListBox::WMSetRedraw(TMessage& Message) {
  redrawLocks_ += Message.WParam ? -1 : 1;
  if (redrawLocks_ <= 0) {
    redrawLocks_ = 0;
    Invalidate();
  }
}

void TCustomListBox::WMSize(TMessage& Message) {
  UpdateScrollBar();
  DefaultHandler(Message);
}

void TCustomListBox::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

// ---- Properties ----

void TCustomListBox::SetItemIndex(int Value) {
  if (Value < 0 || Value >= store_.GetCount()) Value = -1;
  if (Value == itemIndex_) return;
  itemIndex_ = Value;
  Invalidate();
}

int TCustomListBox::MaxTopIndex() const {
  // The first item from which the rest fill the client area.
  int top = store_.GetCount(), y = 0;
  while (top > 0 && y + RowHeight(top - 1) <= ClientHeight()) y += RowHeight(--top);
  return std::min(top, std::max(store_.GetCount() - 1, 0));
}

void TCustomListBox::SetTopIndex(int Value) {
  Value = std::clamp(Value, 0, MaxTopIndex());
  if (Value == topIndex_) return;
  topIndex_ = Value;
  if (scrollBar_) scrollBar_->setValue(Value);
  Invalidate();
}

void TCustomListBox::SetItemHeight(int Value) {
  itemHeight_ = std::max(Value, 1);
  if (style_ != lbOwnerDrawVariable) std::fill(heights_.begin(), heights_.end(), itemHeight_);
  UpdateScrollBar();
  Invalidate();
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  style_ = Value;
  Invalidate();
}

void TCustomListBox::SetSorted(bool Value) {
  if (Value == sorted_) return;
  sorted_ = Value;
  if (!Value) return;
  // Re-adding each item puts it in its sorted place.
  const TStringList items(store_);
  Perform(LB_RESETCONTENT, 0, 0);
  for (int i = 0; i < items.GetCount(); ++i) {
    const int at = items_->Add(items.Strings(i));
    store_.PutObject(at, items.GetObject(i));
  }
}

void TCustomListBox::SetBorderStyle(TFormBorderStyle Value) {
  borderStyle_ = Value;
  UpdateScrollBar();
  Invalidate();
}

void TCustomListBox::SetCtl3D(bool Value) {
  ctl3D_ = Value;
  UpdateScrollBar();
  Invalidate();
}

int TCustomListBox::BorderWidth() const { return borderStyle_ == bsNone ? 0 : ctl3D_ ? 2 : 1; }

// ---- Geometry ----

int TCustomListBox::RowHeight(int Index) const {
  return Index >= 0 && Index < static_cast<int>(heights_.size()) ? heights_[static_cast<std::size_t>(Index)]
                                                                 : itemHeight_;
}

bool TCustomListBox::ScrollBarNeeded() const {
  int y = 0;
  for (int i = 0; i < store_.GetCount(); ++i) {
    y += RowHeight(i);
    if (y > ClientHeight()) return true;
  }
  return false;
}

int TCustomListBox::RowsWidth() const { return ClientWidth() - (ScrollBarNeeded() ? kScrollBarWidth : 0); }

int TCustomListBox::ItemAtPos(Point Pos, bool Existing) const {
  if (Pos.x < 0 || Pos.x >= RowsWidth() || Pos.y < 0) return -1;
  if (Pos.y >= ClientHeight()) return Existing ? -1 : store_.GetCount();
  int y = 0;
  for (int i = topIndex_; i < store_.GetCount(); ++i) {
    y += RowHeight(i);
    if (Pos.y < y) return i;
  }
  return Existing ? -1 : store_.GetCount();
}

Rect TCustomListBox::ItemRect(int Index) const {
  if (Index < topIndex_ || Index >= store_.GetCount()) return {};
  int y = 0;
  for (int i = topIndex_; i < Index; ++i) y += RowHeight(i);
  return {0, y, RowsWidth(), y + RowHeight(Index)};
}

int TCustomListBox::VisibleRows() const {
  int rows = 0, y = 0;
  for (int i = topIndex_; i < store_.GetCount(); ++i) {
    y += RowHeight(i);
    if (y > ClientHeight()) break;
    ++rows;
  }
  // Past the items, rows of the standard height.
  if (y <= ClientHeight()) rows += (ClientHeight() - y) / itemHeight_;
  return std::max(rows, 1);
}

void TCustomListBox::UpdateScrollBar() {
  if (!scrollBar_) return;
  const bool needed = ScrollBarNeeded();
  const int b = BorderWidth();
  scrollBar_->setGeometry(b + ClientWidth() - kScrollBarWidth, b, kScrollBarWidth, ClientHeight());
  scrollBar_->setRange(0, MaxTopIndex());
  scrollBar_->setPageStep(VisibleRows());
  scrollBar_->setValue(topIndex_);
  scrollBar_->setVisible(needed);
}

// ---- Window and painting ----

void TCustomListBox::CreateWnd() {
  TCustomControl::CreateWnd();
  scrollBar_ = new QScrollBar(Qt::Vertical, Handle());
  scrollBar_->setFocusPolicy(Qt::NoFocus);
  QObject::connect(scrollBar_, &QScrollBar::valueChanged, scrollBar_,
                   [this](int Value) { RunGuarded([&] { SetTopIndex(Value); }); });
  UpdateScrollBar();
}

void TCustomListBox::Paint() {
  if (redrawLocks_ > 0) return;
  TCanvas& canvas = Canvas();
  Rect whole{0, 0, Width(), Height()};
  if (borderStyle_ == bsSingle) {
    if (ctl3D_) {
      DrawEdge(canvas.Handle(), whole, EDGE_SUNKEN, BF_RECT);
    } else {
      canvas.Brush()->SetColor(clBlack);
      canvas.FrameRect(whole);
    }
  }
  const int b = BorderWidth();
  canvas.Brush()->SetColor(Color());
  canvas.FillRect({b, b, b + ClientWidth(), b + ClientHeight()});
  // Rows are drawn in client coordinates: the canvas origin is the window's,
  // so each rectangle moves by the border.
  for (int i = topIndex_; i < store_.GetCount(); ++i) {
    Rect r = ItemRect(i);
    if (r.top >= ClientHeight()) break;
    r = {r.left + b, r.top + b, r.right + b, r.bottom + b};
    TOwnerDrawState state = 0;
    if (i == itemIndex_) state |= odSelected;
    if (i == itemIndex_ && Focused()) state |= odFocused;
    if (!Enabled()) state |= odDisabled;
    canvas.Brush()->SetColor(state & odSelected ? clHighlight : Color());
    canvas.Font()->SetColor(state & odSelected ? clHighlightText : Font()->Color());
    DrawItem(i, r, state);
  }
}

void TCustomListBox::DrawItem(int Index, Rect ARect, TOwnerDrawState State) {
  if (OwnerDrawn() && OnDrawItem) {
    OnDrawItem(this, Index, ARect, State);
    return;
  }
  TCanvas& canvas = Canvas();
  canvas.FillRect(ARect);
  if (!OwnerDrawn()) canvas.TextRect(ARect, ARect.left + 2, ARect.top, store_.Strings(Index));
}

// ---- Mouse and keys ----

void TCustomListBox::SelectionChangedByUser() {
  Perform(CN_COMMAND, static_cast<std::uintptr_t>(LBN_SELCHANGE) << 16, 0);
  Click();
}

void TCustomListBox::Click() {
  if (OnClick) OnClick(this);
}

void TCustomListBox::MoveSelection(int Index) {
  const int count = store_.GetCount();
  if (count == 0) return;
  Index = std::clamp(Index, 0, count - 1);
  if (Index < topIndex_) SetTopIndex(Index);
  while (Index >= topIndex_ + VisibleRows() && topIndex_ < Index) SetTopIndex(topIndex_ + 1);
  if (Index == itemIndex_) return;
  SetItemIndex(Index);
  SelectionChangedByUser();
}

void TCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (HandleAllocated() && Handle()->focusPolicy() != Qt::NoFocus) SetFocus();
    const int b = BorderWidth();
    const int index = ItemAtPos({X - b, Y - b}, true);
    if (index >= 0) MoveSelection(index);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomListBox::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Shift.Contains(ssAlt)) return;  // Alt+arrows belong to whoever opened a list
  const int page = std::max(VisibleRows() - 1, 1);
  switch (Key) {
    case VK_UP:
      MoveSelection(itemIndex_ < 0 ? 0 : itemIndex_ - 1);
      break;
    case VK_DOWN:
      MoveSelection(itemIndex_ + 1);
      break;
    case VK_PRIOR:
      MoveSelection(itemIndex_ - page);
      break;
    case VK_NEXT:
      MoveSelection(itemIndex_ + page);
      break;
    case VK_HOME:
      MoveSelection(0);
      break;
    case VK_END:
      MoveSelection(store_.GetCount() - 1);
      break;
    default:
      return;
  }
  Key = 0;
}
