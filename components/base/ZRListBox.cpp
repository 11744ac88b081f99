#include "components/base/ZRListBox.h"

#include <algorithm>
#include <cmath>

#include "components/base/ZREdit.h"
#include "platform/controls/ControlWindow.h"
#include "platform/core/NumberFormat.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/TextMeasurer.h"
#include "platform/ui/Hooks.h"
#include "platform/ui/PopupWindow.h"
#include "platform/ui/Screen.h"

namespace {

TObject* MakeColumn(TObject* Owner) { return new TZRListBoxColumn(static_cast<TCollection*>(Owner)); }

// The text cell height of a font: the window system's tmHeight.
int FontTextHeight(const TFont& Font) { return ScreenTextMeasurer().TextHeight(Font.Data(), ""); }

}  // namespace

KESTOVA_CLASS_INFO(TZRListBoxColumn, TCollectionItem, "zrlistbox", MakeColumn)
KESTOVA_CLASS_INFO(TZRListBox, TCustomListBox, "zrlistbox", MakeComponent<TZRListBox>)

// ---- TZRListBox ----

TZRListBox::TZRListBox(TComponent* AOwner)
    : TCustomListBox(AOwner), bold_(std::make_unique<TFont>()), columnDefs_(std::make_unique<TCollection>(
                                                                     TZRListBoxColumn::StaticClass())) {
  RenewBold();
}

TZRListBox::~TZRListBox() = default;

TZRListBoxColumn* TZRListBox::AddColumn(TLeftRightAlign Alignment, int Size) {
  auto* column = static_cast<TZRListBoxColumn*>(columnDefs_->Add());
  column->Alignment = Alignment;
  column->ColumnSize = Size;
  return column;
}

void TZRListBox::SetColumnDraw(bool Value) {
  columnDraw_ = Value;
  RenewBold();
  MeasureColumns();
  Invalidate();
}

void TZRListBox::RenewBold() {
  bold_->Assign(Font());
  TFontStyles styles = bold_->Style();
  styles.Include(TFontStyle::fsBold);
  bold_->SetStyle(styles);
}

int TZRListBox::MeasureField(const std::string& Field) {
  // Measured as the screen draws it.
  TBitmap bitmap(1, 1);
  Size size;
  MeasureStyledText(bitmap.Canvas(), *Font(), *bold_, size, Field + " ");
  return static_cast<int>(size.cx);
}

void TZRListBox::MeasureColumns() {
  if (!columnDraw_ || redrawLocks_ > 0) return;
  for (int item = 0; item < Items()->GetCount(); ++item) {
    const std::string text = Items()->Get(item);
    int pos = 1;
    std::string field;
    for (std::size_t i = 0; pos <= static_cast<int>(text.size()); ++i) {
      NextField(text, pos, field);
      if (i == columnWidths_.size()) columnWidths_.push_back(0);
      columnWidths_[i] = std::max(columnWidths_[i], MeasureField(field));
    }
  }
}

int TZRListBox::ColumnWidth(int Index) const {
  if (Index < columnDefs_->Count()) {
    const int size = static_cast<TZRListBoxColumn*>(columnDefs_->Items(Index))->ColumnSize;
    if (size != 0) return size;
  }
  if (Index < static_cast<int>(columnWidths_.size())) return columnWidths_[static_cast<std::size_t>(Index)];
  return 0;
}

std::vector<TColumnCell> TZRListBox::ColumnCells(const std::string& Item, Rect ARect) const {
  std::vector<TColumnCell> cells;
  int pos = 1;
  for (int i = 0; pos <= static_cast<int>(Item.size()); ++i) {
    TColumnCell cell;
    NextField(Item, pos, cell.Field);
    if (i < columnDefs_->Count()) cell.Alignment = static_cast<TZRListBoxColumn*>(columnDefs_->Items(i))->Alignment;
    const int width = ColumnWidth(i);
    cell.Cell = {ARect.left, ARect.top, ARect.left + width, ARect.bottom};
    if (cell.Alignment == TLeftRightAlign::lrRightJustify) --cell.Cell.right;
    cells.push_back(cell);
    ARect.left += width;
  }
  return cells;
}

void TZRListBox::DrawItem(int Index, Rect ARect, TOwnerDrawState State) {
  if (!columnDraw_) {
    TCustomListBox::DrawItem(Index, ARect, State);
    return;
  }
  TCanvas& canvas = Canvas();
  canvas.FillRect(ARect);
  if (Index >= Items()->GetCount()) return;
  ARect.left += 2;
  ARect.right -= 2;
  for (const TColumnCell& cell : ColumnCells(Items()->Get(Index), ARect)) {
    int start = 0, len = 0;
    std::string plain;
    ParseStyleMarkers(cell.Field, start, len, plain);
    DrawStyledLine(canvas, *canvas.Font(), *bold_, cell.Alignment, len, start, plain, cell.Cell);
  }
}

void TZRListBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETREDRAW:
      redrawLocks_ += Message.WParam ? -1 : 1;
      [[fallthrough]];
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
      TCustomListBox::WndProc(Message);
      MeasureColumns();
      return;
    case CM_FONTCHANGED:
      TCustomListBox::WndProc(Message);
      RenewBold();
      return;
    default:
      TCustomListBox::WndProc(Message);
  }
}

// ---- TPopupListBox ----

void DescribeTPopupListBox(TClassInfo& Info) {
  AddMessageHandler<&TPopupListBox::WMLButtonDown>(Info, WM_LBUTTONDOWN);
  AddMessageHandler<&TPopupListBox::WMMouseMove>(Info, WM_MOUSEMOVE);
  AddMessageHandler<&TPopupListBox::CMWantSpecialKey>(Info, CM_WANTSPECIALKEY);
  AddMessageHandler<&TPopupListBox::WMGetText>(Info, WM_GETTEXT);
  AddMessageHandler<&TPopupListBox::WMSetText>(Info, WM_SETTEXT);
  AddMessageHandler<&TPopupListBox::CNCommand>(Info, CN_COMMAND);
  AddMessageHandler<&TPopupListBox::CMFontChanged>(Info, CM_FONTCHANGED);
}
KESTOVA_CLASS_INFO_DESCRIBED(TPopupListBox, TZRListBox, "zrlistbox", MakeComponent<TPopupListBox>,
                             DescribeTPopupListBox)

TPopupListBox::TPopupListBox(TComponent* AOwner) : TZRListBox(AOwner) {
  SetVisible(false);
  SetCtl3D(false);  // a plain 1-pixel border
}

TControlWindowBase* TPopupListBox::CreateWindowWidget(QWidget*) {
  // A window of its own on the desktop; it never takes the focus.
  return new TControlWindow<TPopupWindow>(this, nullptr);
}

void TPopupListBox::CreateWnd() {
  TZRListBox::CreateWnd();
  FillItems();
}

void TPopupListBox::Detach() {
  if (!HandleAllocated()) return;
  DetachPopupWindow(*Handle(), QRect(Left(), Top(), Width(), Height()));
}

void TPopupListBox::SetParent(TWinControl* AParent) {
  TZRListBox::SetParent(AParent);
  Detach();
}

void TPopupListBox::CloseUp(bool Accept) {
  if (auto* edit = dynamic_cast<TCustomZREdit*>(Owner())) edit->CloseUp(Accept);
}

void TPopupListBox::AdjustHeight() {
  const int rows = std::clamp(Items()->GetCount(), 1, 7);
  SetClientHeight(rows * ItemHeight());
}

void TPopupListBox::SetDisplayNames(bool Value) {
  if (Value == displayNames_) return;
  displayNames_ = Value;
  Invalidate();
}

void TPopupListBox::WMLButtonDown(TMessage& Message) {
  const int b = BorderWidth();
  const int index = ItemAtPos({LParamX(Message.LParam) - b, LParamY(Message.LParam) - b}, true);
  if (index >= 0) Perform(LB_SETCURSEL, static_cast<std::uintptr_t>(index), 0);
}

void TPopupListBox::WMMouseMove(TMessage& Message) {
  if ((Message.WParam & MK_LBUTTON) == 0) return;
  const int b = BorderWidth();
  const int x = LParamX(Message.LParam) - b, y = LParamY(Message.LParam) - b;
  int index = ItemAtPos({x, y}, true);
  const int current = ItemIndex();
  if (index < 0) {
    index = current;
    if (y >= ClientHeight() && current + 1 < Items()->GetCount())
      index = current + 1;
    else if (y < 0 && current > 0)
      index = current - 1;
  }
  if (index != current) Perform(LB_SETCURSEL, static_cast<std::uintptr_t>(index), 0);
}

void TPopupListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TZRListBox::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft) CloseUp(X >= 0 && Y >= 0 && X < Width() && Y < Height());
}

void TPopupListBox::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && Shift.Bits() == 0) {
    const bool accept = Key == VK_RETURN;
    Key = 0;
    CloseUp(accept);
    return;
  }
  TZRListBox::KeyDown(Key, Shift);
}

void TPopupListBox::CMWantSpecialKey(TMessage& Message) {
  DefaultHandler(Message);
  if (Message.WParam == VK_ESCAPE) Message.Result = 1;
}

void TPopupListBox::WMGetText(TMessage& Message) {
  auto* text = reinterpret_cast<std::string*>(Message.LParam);
  text->clear();
  if (ItemIndex() >= 0) Perform(LB_GETTEXT, static_cast<std::uintptr_t>(ItemIndex()), Message.LParam);
  Message.Result = static_cast<std::intptr_t>(text->size());
}

void TPopupListBox::WMSetText(TMessage& Message) {
  const std::intptr_t found = Perform(LB_FINDSTRINGEXACT, static_cast<std::uintptr_t>(-1), Message.LParam);
  Perform(LB_SETCURSEL, static_cast<std::uintptr_t>(found), 0);
  AdjustHeight();
  Message.Result = 1;
}

void TPopupListBox::CNCommand(TMessage& Message) {
  if ((Message.WParam >> 16) == LBN_SELCHANGE)
    if (auto* edit = dynamic_cast<TCustomZREdit*>(Owner())) edit->Change();
}

void TPopupListBox::CMFontChanged(TMessage& Message) {
  InheritedMessage(TPopupListBox::StaticClass(), Message);
  SetItemHeight(std::max(FontTextHeight(*Font()) + 1, 9));
  RecreateWnd();
}

// ---- TZRPopupListBox ----

KESTOVA_CLASS_INFO(TZRPopupListBox, TPopupListBox, "zrlistbox", MakeComponent<TZRPopupListBox>)

TZRPopupListBox::TZRPopupListBox(TComponent* AOwner) : TPopupListBox(AOwner) { SetColumnDraw(true); }

TZRPopupListBox::~TZRPopupListBox() {
  RestoreParentProc();
  RemoveActivationHook(TActivationHook::Of<&TZRPopupListBox::ActivationChanged>(*this));
  DeactivatePopup(this);
}

void TZRPopupListBox::ParentWndProc(TMessage& Message) {
  const bool key = Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST;
  if (key) {
    Message.Result = Perform(Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  // The list answers the keys it takes before the form sees them as dialog
  // keys.
  if (Message.Msg == CN_KEYDOWN || Message.Msg == CN_SYSKEYDOWN) {
    Message.Result = 0;
    return;
  }
  TWndMethod old = oldParentProc_;
  old(Message);
  if (Message.Msg == WM_GETDLGCODE) Message.Result |= DLGC_WANTALLKEYS | DLGC_WANTARROWS;
}

void TZRPopupListBox::RestoreParentProc() {
  if (!hookedParent_) return;
  // Only our own procedure is replaced: a later hook keeps its place.
  if (hookedParent_->WindowProc == TWndMethod::Of<&TZRPopupListBox::ParentWndProc>(*this))
    hookedParent_->WindowProc = oldParentProc_;
  hookedParent_ = nullptr;
  oldParentProc_ = nullptr;
}

void TZRPopupListBox::ActivationChanged(bool Active) {
  if (!Active) CloseUp(false);
}

void TZRPopupListBox::DestroyWnd() {
  RestoreParentProc();
  KillTimer(1);
  TPopupListBox::DestroyWnd();
}

void TZRPopupListBox::CloseUp(bool Accept) {
  RestoreParentProc();
  RemoveActivationHook(TActivationHook::Of<&TZRPopupListBox::ActivationChanged>(*this));
  if (MouseCapture()) SetMouseCapture(false);
  DeactivatePopup(this);
  if (HandleAllocated()) KillTimer(1);
  const int index = Accept ? ItemIndex() : -1;
  SetVisible(false);
  if (OnSelect) OnSelect(this, index);
}

int ScaleColumnWidths(std::vector<int>& Widths, int Limit, int Total) {
  int sum = 0;
  for (int& w : Widths) {
    // The product wraps in 32 bits as the original arithmetic does.
    const auto product = static_cast<std::int32_t>(static_cast<std::int64_t>(w) * Limit);
    w = static_cast<int>(RoundHalfEven(static_cast<double>(product) / Total));
    sum += w;
  }
  return sum == 0 ? 0 : sum + 1;
}

void TZRPopupListBox::ShowAt(int X, int Y) {
  std::vector<int>& widths = MutableColumnWidths();
  int total = 8;
  for (int w : widths) total += w;
  if (WidthLimit > 0 && WidthLimit < total) total = ScaleColumnWidths(widths, WidthLimit, total);
  SetClientWidth(std::max(ClientWidth(), total));
  if (Screen->Height() < Y + Height()) Y -= Height();
  if (Screen->Width() < X + Width()) X -= Width();
  if (Items()->GetCount() > 0) SetItemIndex(0);
  SetBounds(X, Y, Width(), Height());
  SetVisible(true);
  ActivatePopup(this, nullptr);
  AddActivationHook(TActivationHook::Of<&TZRPopupListBox::ActivationChanged>(*this));
  if (TControl* parent = Parent(); parent && !hookedParent_) {
    hookedParent_ = parent;
    oldParentProc_ = parent->WindowProc;
    parent->WindowProc = TWndMethod::Of<&TZRPopupListBox::ParentWndProc>(*this);
  }
}

TZRPopupListBox* ShowPopupList(TControl* Control, const TStrings& Items, int X, int Y,
                               std::span<const TLeftRightAlign> Alignments, const TFont* Font,
                               TPopupSelectEvent OnSelect, int MaxWidth) {
  auto* list = Construct<TZRPopupListBox>(nullptr);
  list->WidthLimit = MaxWidth;
  Point p{X, Y};
  if (auto* win = dynamic_cast<TWinControl*>(Control)) p = win->ClientToScreen(p);
  for (TLeftRightAlign a : Alignments) list->AddColumn(a);
  list->SetParent(dynamic_cast<TWinControl*>(Control));
  if (Font) {
    list->SetFont(Font);
  } else {
    TFont font;
    font.SetName("MS Sans Serif");
    font.SetSize(8);
    list->SetFont(&font);
  }
  list->OnSelect = OnSelect;
  list->Items()->Assign(&Items);
  list->ShowAt(static_cast<int>(p.x), static_cast<int>(p.y));
  return list;
}
