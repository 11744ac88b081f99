#include "components/base/ZRValueEdits.h"

#include <cstdint>

#include "components/base/ZREdit.h"
#include "platform/classes/Messages.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/DrawText.h"
#include "platform/graphics/GraphicsTypeInfo.h"
#include "platform/graphics/TextMeasurer.h"

namespace {

constexpr int kSwatchRight = 24;  // swatch right edge beside a name
constexpr int kNameLeft = 28;     // where names start
constexpr int kBaseWidth = 42;    // a pop-up's width without names

// Values travel through the list's item objects as integers.
TObject* AsObject(std::intptr_t Value) { return reinterpret_cast<TObject*>(Value); }
std::intptr_t FromObject(const TObject* Object) { return reinterpret_cast<std::intptr_t>(Object); }

Rect Inset(Rect R, Coord By) { return {R.left + By, R.top + By, R.right - By, R.bottom - By}; }

// Text in the canvas's font and Color, single line, vertically centred in
// R, without prefixes; the ground is left as it is.
void DrawName(TCanvas& Canvas, const std::string& Text, Rect R, TColor Color) {
  Canvas.RequireFont();
  DeviceContext& dc = Canvas.Handle();
  const BkMode mode = dc.SetBkMode(TRANSPARENT);
  const TColor text = dc.SetTextColor(Color);
  DrawText(dc, Text, R, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  dc.SetTextColor(text);
  dc.SetBkMode(mode);
}

// Makes Brush the swatch of Style: black hatches (or solid black) for every
// style but bsClear, which shows as solid clInfoBk.
void SetSwatchBrush(TBrush& Brush, TBrushStyle Style) {
  if (Style == TBrushStyle::bsClear) {
    Brush.SetColor(clInfoBk);
    Brush.SetStyle(TBrushStyle::bsSolid);
  } else {
    Brush.SetColor(clBlack);
    Brush.SetStyle(Style);
  }
}

// A value name of an enumeration type, or -1.
int EnumIndex(const TTypeInfo* Type, const std::string& Text) {
  return static_cast<int>(GetEnumValue(Type, Text));
}

}  // namespace

const std::array<const char*, 8>& BrushStyleNames() {
  static const std::array<const char*, 8> names = {"Solid",     "Clear",     "Horizontal", "Vertical",
                                                   "FDiagonal", "BDiagonal", "Cross",      "DiagCross"};
  return names;
}

std::span<const TIdentMapEntry> PopupColors() {
  // The colour name table less clDefault, which is no colour to choose.
  return ColorIdents().first(42);
}

// ---- Pop-ups ----

void DescribeTValuePopupBox(TClassInfo& Info) {
  AddMessageHandler<&TValuePopupBox::WMGetText>(Info, WM_GETTEXT);
  AddMessageHandler<&TValuePopupBox::WMSetText>(Info, WM_SETTEXT);
}
KESTOVA_CLASS_INFO_DESCRIBED(TValuePopupBox, TPopupListBox, "zrgraphedits", nullptr, DescribeTValuePopupBox)

TValuePopupBox::TValuePopupBox(TComponent* AOwner) : TPopupListBox(AOwner) { SetStyle(lbOwnerDrawFixed); }

TCustomZREdit* TValuePopupBox::OwnerEdit() const { return dynamic_cast<TCustomZREdit*>(Owner()); }

Rect TValuePopupBox::SwatchRect(Rect ARect) const {
  return {ARect.left + 2, ARect.top + 2, DisplayNames() ? ARect.left + kSwatchRight : ARect.right - 3,
          ARect.bottom - 2};
}

void TValuePopupBox::DrawItem(int Index, Rect ARect, TOwnerDrawState) { DrawItemTo(Canvas(), Index, ARect); }

void TValuePopupBox::DrawItemTo(TCanvas& Canvas, int Index, Rect ARect) {
  Canvas.FillRect(ARect);
  Canvas.Pen()->SetColor(clBlack);
  if (Index < 0 || Index >= Items()->GetCount()) return;
  DrawSwatch(Canvas, Index, SwatchRect(ARect));
  if (DisplayNames())
    DrawName(Canvas, ItemName(Index), {ARect.left + kNameLeft, ARect.top, ARect.right, ARect.bottom},
             Canvas.Font()->Color());
}

void TValuePopupBox::WMGetText(TMessage& Message) {
  auto* text = reinterpret_cast<std::string*>(Message.LParam);
  text->clear();
  if (ItemIndex() >= 0 && ItemIndex() < Items()->GetCount()) *text = TakeValue(ItemIndex());
  Message.Result = static_cast<std::intptr_t>(text->size());
}

void TValuePopupBox::WMSetText(TMessage& Message) {
  int width = kBaseWidth;
  if (DisplayNames()) {
    const TextMeasurer& measurer = measurer_ ? *measurer_ : ScreenTextMeasurer();
    width += measurer.TextWidth(Font()->Data(), WidestName());
  }
  SetWidth(width);
  SelectCurrent();
  // The edit's own text decides, not the message's.
  if (TCustomZREdit* edit = OwnerEdit()) SelectText(edit->EditText());
  // The list opens with its selection in sight.
  if (const int index = ItemIndex(); index >= 0 && (index < TopIndex() || index >= TopIndex() + VisibleRows()))
    SetTopIndex(index);
  Message.Result = 1;
}

// ---- Colours ----

KESTOVA_CLASS_INFO(TPopupColorBox, TValuePopupBox, "zrgraphedits", MakeComponent<TPopupColorBox>)

TPopupColorBox::TPopupColorBox(TComponent* AOwner) : TValuePopupBox(AOwner) { SetDisplayNames(true); }

void TPopupColorBox::FillItems() {
  Items()->Clear();
  for (const TIdentMapEntry& entry : PopupColors()) Items()->AddObject(entry.Name, AsObject(entry.Value));
}

TColor TPopupColorBox::ItemColor(int Index) const {
  return static_cast<TColor>(FromObject(Items()->Objects(Index)));
}

void TPopupColorBox::SelectColor(TColor Color) {
  if (ItemIndex() >= 0 && Color == CurrentColor) return;
  for (int i = 0; i < Items()->GetCount(); ++i) {
    if (ItemColor(i) != Color) continue;
    if (ItemIndex() != i) SetItemIndex(i);
    CurrentColor = Color;
    return;
  }
}

void TPopupColorBox::SelectText(const std::string& Text) {
  // A colour that is no item (a number) keeps the selection.
  for (int i = 0; i < Items()->GetCount(); ++i)
    if (Items()->Get(i) == Text) {
      SetItemIndex(i);
      return;
    }
}

std::string TPopupColorBox::TakeValue(int Index) {
  CurrentColor = ItemColor(Index);
  return Items()->Get(Index);
}

std::string TPopupColorBox::ItemName(int Index) const { return Items()->Get(Index); }

void TPopupColorBox::DrawSwatch(TCanvas& Canvas, int Index, Rect Swatch) {
  Canvas.Rectangle(Swatch.left, Swatch.top, Swatch.right, Swatch.bottom);
  const TColor ground = Canvas.Brush()->Color();
  Canvas.Brush()->SetColor(ItemColor(Index));
  Canvas.FillRect(Inset(Swatch, 1));
  Canvas.Brush()->SetColor(ground);
}

void TPopupColorBox::Click() {
  if (ItemIndex() >= 0) {
    CurrentColor = ItemColor(ItemIndex());
    // The owner's parent hears of the change.
    if (TCustomZREdit* edit = OwnerEdit(); edit && edit->Parent())
      edit->Parent()->Perform(CM_CHANGED, 0, reinterpret_cast<std::intptr_t>(edit));
  }
  TValuePopupBox::Click();
}

// ---- Pen styles ----

KESTOVA_CLASS_INFO(TPopupPenBox, TValuePopupBox, "zrgraphedits", MakeComponent<TPopupPenBox>)

TPopupPenBox::TPopupPenBox(TComponent* AOwner) : TValuePopupBox(AOwner) {}

void TPopupPenBox::FillItems() {
  Items()->Clear();
  const TTypeInfo* type = TypeInfos::TPenStyle();
  const TTypeData* data = GetTypeData(type);
  for (std::int64_t v = data->MinValue; v <= data->MaxValue; ++v)
    Items()->AddObject(GetEnumName(type, v), AsObject(static_cast<std::intptr_t>(v)));
}

void TPopupPenBox::SelectPen(TPenStyle Style) {
  if (ItemIndex() >= 0 && Style == CurrentPenStyle) return;
  CurrentPenStyle = Style;
  SetItemIndex(static_cast<int>(Style));
}

void TPopupPenBox::SelectText(const std::string& Text) {
  SetItemIndex(EnumIndex(TypeInfos::TPenStyle(), Text));
}

std::string TPopupPenBox::TakeValue(int Index) {
  CurrentPenStyle = static_cast<TPenStyle>(Index);
  return GetEnumName(TypeInfos::TPenStyle(), Index);
}

std::string TPopupPenBox::ItemName(int Index) const { return GetEnumName(TypeInfos::TPenStyle(), Index); }

void TPopupPenBox::DrawSwatch(TCanvas& Canvas, int Index, Rect Swatch) {
  Canvas.Pen()->SetStyle(static_cast<TPenStyle>(Index));
  const Coord y = (Swatch.top + Swatch.bottom) / 2;
  Canvas.MoveTo(Swatch.left, y);
  Canvas.LineTo(Swatch.right, y);
  Canvas.Pen()->SetStyle(TPenStyle::psSolid);
}

void TPopupPenBox::Click() {
  if (ItemIndex() >= 0) CurrentPenStyle = static_cast<TPenStyle>(ItemIndex());
  TValuePopupBox::Click();
}

// ---- Brush styles ----

KESTOVA_CLASS_INFO(TPopupBrushBox, TValuePopupBox, "zrgraphedits", MakeComponent<TPopupBrushBox>)

TPopupBrushBox::TPopupBrushBox(TComponent* AOwner)
    : TValuePopupBox(AOwner), swatchBrush_(std::make_unique<TBrush>()) {
  SetDisplayNames(true);
}

TPopupBrushBox::~TPopupBrushBox() = default;

void TPopupBrushBox::FillItems() {
  Items()->Clear();
  for (const char* name : BrushStyleNames()) Items()->Add(name);
}

void TPopupBrushBox::SelectBrush(TBrushStyle Style) {
  if (ItemIndex() >= 0 && Style == CurrentBrushStyle) return;
  CurrentBrushStyle = Style;
  SetItemIndex(static_cast<int>(Style));
}

void TPopupBrushBox::SelectText(const std::string& Text) {
  for (int i = 0; i < Items()->GetCount(); ++i)
    if ("bs" + Items()->Get(i) == Text) {
      SetItemIndex(i);
      return;
    }
}

std::string TPopupBrushBox::TakeValue(int Index) {
  CurrentBrushStyle = static_cast<TBrushStyle>(Index);
  return "bs" + Items()->Get(Index);
}

std::string TPopupBrushBox::ItemName(int Index) const { return Items()->Get(Index); }

void TPopupBrushBox::DrawSwatch(TCanvas& Canvas, int Index, Rect Swatch) {
  Canvas.Rectangle(Swatch.left, Swatch.top, Swatch.right, Swatch.bottom);
  // Hatches show on clInfoBk.
  const TColor ground = Canvas.Handle().SetBkColor(clInfoBk);
  SetSwatchBrush(*swatchBrush_, static_cast<TBrushStyle>(Index));
  TBrush keep;
  keep.Assign(Canvas.Brush());
  Canvas.SetBrush(swatchBrush_.get());
  Canvas.FillRect(Inset(Swatch, 1));
  Canvas.SetBrush(&keep);
  Canvas.Handle().SetBkColor(ground);
}

void TPopupBrushBox::Click() {
  if (ItemIndex() >= 0) CurrentBrushStyle = static_cast<TBrushStyle>(ItemIndex());
  TValuePopupBox::Click();
}

// ---- Graphic edits ----

void DescribeTGraphicEdit(TClassInfo& Info) {
  AddMessageHandler<&TGraphicEdit::WMSetText>(Info, WM_SETTEXT);
  AddMessageHandler<&TGraphicEdit::WMGetText>(Info, WM_GETTEXT);
  AddMessageHandler<&TGraphicEdit::WMGetTextLength>(Info, WM_GETTEXTLENGTH);
  AddMessageHandler<&TGraphicEdit::CMEnabledChanged>(Info, CM_ENABLEDCHANGED);
  AddMessageHandler<&TGraphicEdit::ZRMPaintTo>(Info, ZRM_PAINTTO);
}
KESTOVA_CLASS_INFO_DESCRIBED(TGraphicEdit, TCustomControl, "zrgraphedits", nullptr, DescribeTGraphicEdit)

TGraphicEdit::TGraphicEdit(TComponent* AOwner) : TCustomControl(AOwner) {}

void TGraphicEdit::SetValue(const std::string& Text) { value_ = Text; }

void TGraphicEdit::Paint() { PaintTo(Canvas(), 0, 0); }

bool TGraphicEdit::FocusShown() const {
  auto* edit = dynamic_cast<TCustomZREdit*>(Owner());
  return edit && edit->ShowFocusState && edit->Focused();
}

void TGraphicEdit::WMSetText(TMessage& Message) {
  SetValue(*reinterpret_cast<const std::string*>(Message.LParam));
  if (auto* edit = dynamic_cast<TCustomZREdit*>(Owner())) edit->Change();
  Invalidate();
  Message.Result = 1;
}

void TGraphicEdit::WMGetText(TMessage& Message) {
  auto* text = reinterpret_cast<std::string*>(Message.LParam);
  GetValue(*text);
  Message.Result = static_cast<std::intptr_t>(text->size());
}

void TGraphicEdit::WMGetTextLength(TMessage& Message) {
  std::string text;
  GetValue(text);
  Message.Result = static_cast<std::intptr_t>(text.size());
}

void TGraphicEdit::CMEnabledChanged(TMessage& Message) {
  InheritedMessage(TGraphicEdit::StaticClass(), Message);
  Invalidate();
}

void TGraphicEdit::ZRMPaintTo(TMessage& Message) {
  // WParam is pointer-sized: the canvas's address arrives whole.
  if (auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam))
    PaintTo(*canvas, static_cast<std::int16_t>(Message.LParam & 0xFFFF),
            static_cast<std::int16_t>((Message.LParam >> 16) & 0xFFFF));
  Message.Result = 1;
}

// ---- Colour edit ----

KESTOVA_CLASS_INFO(TColorEdit, TGraphicEdit, "zrgraphedits", MakeComponent<TColorEdit>)

TColorEdit::TColorEdit(TComponent* AOwner) : TGraphicEdit(AOwner) { TGraphicEdit::SetValue("clBlack"); }

void TColorEdit::SetValue(const std::string& Text) {
  StringToColor(Text);  // raises before anything is stored
  TGraphicEdit::SetValue(Text);
}

void TColorEdit::PaintTo(TCanvas& Target, int X, int Y) {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  // Drawn off-screen first, so the edit never flickers.
  TBitmap bitmap(w, h);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush()->SetColor(Color());
  canvas.FillRect({0, 0, w, h});
  canvas.Pen()->SetColor(clBlack);
  canvas.Brush()->SetColor(StringToColor(Value()));
  canvas.Rectangle(2, 2, kSwatchRight, h - 2);
  canvas.SetFont(Font());
  canvas.Font()->SetColor(Enabled() ? Target.Font()->Color() : clBtnShadow);
  canvas.Brush()->SetStyle(TBrushStyle::bsClear);
  const std::string name = NamePart();
  canvas.TextRect({0, 0, w, h}, kNameLeft, (h - canvas.TextHeight(name)) / 2, name);
  if (FocusShown()) DrawFocusRect(canvas.Handle(), {0, 0, w, h});
  Target.CopyRect({X, Y, X + w, Y + h}, canvas, {0, 0, w, h});
}

// ---- Pen-style edit ----

KESTOVA_CLASS_INFO(TPenStyleEdit, TGraphicEdit, "zrgraphedits", MakeComponent<TPenStyleEdit>)

TPenStyleEdit::TPenStyleEdit(TComponent* AOwner) : TGraphicEdit(AOwner) { SetValue("psSolid"); }

void TPenStyleEdit::PaintTo(TCanvas& Canvas, int X, int Y) {
  const Rect r{X, Y, X + Width(), Y + Height()};
  Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
  Canvas.Brush()->SetColor(Color());
  Canvas.FillRect(r);
  // A text that names no pen style has no line to draw.
  if (const int style = EnumIndex(TypeInfos::TPenStyle(), Value()); style >= 0) {
    Canvas.Pen()->SetColor(clBlack);
    Canvas.Pen()->SetWidth(1);
    Canvas.Pen()->SetStyle(static_cast<TPenStyle>(style));
    const Coord y = r.top + Height() / 2;
    Canvas.MoveTo(r.left + 2, y);
    Canvas.LineTo(r.right - 2, y);
    Canvas.Pen()->SetStyle(TPenStyle::psSolid);
  }
  if (FocusShown()) DrawFocusRect(Canvas.Handle(), r);
}

// ---- Brush-style edit ----

KESTOVA_CLASS_INFO(TBrushStyleEdit, TGraphicEdit, "zrgraphedits", MakeComponent<TBrushStyleEdit>)

TBrushStyleEdit::TBrushStyleEdit(TComponent* AOwner)
    : TGraphicEdit(AOwner), swatchBrush_(std::make_unique<TBrush>()) {
  swatchBrush_->SetColor(clBlack);
  SetValue("bsSolid");
}

TBrushStyleEdit::~TBrushStyleEdit() = default;

void TBrushStyleEdit::PaintTo(TCanvas& Canvas, int X, int Y) {
  const Rect r{X, Y, X + Width(), Y + Height()};
  const TColor text = Canvas.Font()->Color();
  Canvas.SetFont(Font());
  Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
  Canvas.Brush()->SetColor(Color());
  Canvas.FillRect(r);
  // A text that names no brush style has no swatch to draw.
  if (const int style = EnumIndex(TypeInfos::TBrushStyle(), Value()); style >= 0) {
    SetSwatchBrush(*swatchBrush_, static_cast<TBrushStyle>(style));
    TBrush ground;
    ground.Assign(Canvas.Brush());
    Canvas.Pen()->SetColor(clBlack);
    Canvas.Pen()->SetStyle(TPenStyle::psSolid);
    Canvas.SetBrush(swatchBrush_.get());
    const TColor back = Canvas.Handle().SetBkColor(clInfoBk);
    Canvas.Rectangle(r.left + 2, r.top + 2, r.left + kSwatchRight, r.bottom - 2);
    Canvas.Handle().SetBkColor(back);
    Canvas.SetBrush(&ground);
  }
  DrawName(Canvas, NamePart(), {r.left + kNameLeft, r.top, r.right, r.bottom}, Enabled() ? text : clBtnShadow);
  if (FocusShown()) DrawFocusRect(Canvas.Handle(), r);
}
