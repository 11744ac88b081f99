#include "components/base/ZRInnerEdits.h"

#include <algorithm>

#include "components/base/CanvasUtils.h"
#include "components/base/ZREdit.h"
#include "components/base/ZRInnerEdit_p.h"
#include "platform/controls/ControlWindow.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawText.h"
#include "platform/ui/Screen.h"

// ---- Mask edit ----

void DescribeTZRMaskEdit(TClassInfo& Info) {
  AddMessageHandler<&TZRMaskEdit::WMGetText>(Info, WM_GETTEXT);
  AddMessageHandler<&TZRMaskEdit::WMGetTextLength>(Info, WM_GETTEXTLENGTH);
  AddMessageHandler<&TZRMaskEdit::WMSetText>(Info, WM_SETTEXT);
  AddMessageHandler<&TZRMaskEdit::EMSetSel>(Info, EM_SETSEL);
  AddMessageHandler<&TZRMaskEdit::EMGetModify>(Info, EM_GETMODIFY);
  AddMessageHandler<&TZRMaskEdit::EMSetModify>(Info, EM_SETMODIFY);
  AddMessageHandler<&TZRMaskEdit::EMSetReadOnly>(Info, EM_SETREADONLY);
  AddMessageHandler<&TZRMaskEdit::EMSetRectNP>(Info, EM_SETRECTNP);
  AddMessageHandler<&TZRMaskEdit::CMEnter>(Info, CM_ENTER);
}
KESTOVA_CLASS_INFO_DESCRIBED(TZRMaskEdit, TCustomMaskEdit, "zredit", MakeComponent<TZRMaskEdit>, DescribeTZRMaskEdit)

TZRMaskEdit::TZRMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}

TControlWindowBase* TZRMaskEdit::CreateWindowWidget(QWidget* Parent) {
  TControlWindowBase* window = TCustomMaskEdit::CreateWindowWidget(Parent);
  ZRInnerEdit::MakeFrameless(window);
  return window;
}

void TZRMaskEdit::WMGetText(TMessage& Message) {
  auto* text = reinterpret_cast<std::string*>(Message.LParam);
  *text = Text();
  Message.Result = static_cast<std::intptr_t>(text->size());
}

void TZRMaskEdit::WMGetTextLength(TMessage& Message) { Message.Result = static_cast<std::intptr_t>(Text().size()); }

void TZRMaskEdit::WMSetText(TMessage& Message) {
  SetText(*reinterpret_cast<const std::string*>(Message.LParam));
  SetModified(false);
  Message.Result = 1;
}

void TZRMaskEdit::EMSetSel(TMessage& Message) { ZRInnerEdit::SetSel(*this, Message); }
void TZRMaskEdit::EMGetModify(TMessage& Message) { ZRInnerEdit::GetModify(*this, Message); }
void TZRMaskEdit::EMSetModify(TMessage& Message) { ZRInnerEdit::SetModify(*this, Message); }
void TZRMaskEdit::EMSetReadOnly(TMessage& Message) { ZRInnerEdit::SetReadOnly(*this, Message); }
void TZRMaskEdit::EMSetRectNP(TMessage& Message) { ZRInnerEdit::SetRectNP(*this, Message); }

void TZRMaskEdit::WndProc(TMessage& Message) {
  ZRInnerEdit::TrackLeftButton(Message, leftButtonDown_);
  TCustomMaskEdit::WndProc(Message);
}

void TZRMaskEdit::CMEnter(TMessage& Message) {
  ZRInnerEdit::SelectAllUnlessClicked(*this, leftButtonDown_);
  InheritedMessage(TZRMaskEdit::StaticClass(), Message);
}

// ---- Check edit ----

void DescribeTCheckEdit(TClassInfo& Info) {
  AddMessageHandler<&TCheckEdit::WMSetText>(Info, WM_SETTEXT);
  AddMessageHandler<&TCheckEdit::WMGetText>(Info, WM_GETTEXT);
  AddMessageHandler<&TCheckEdit::WMGetTextLength>(Info, WM_GETTEXTLENGTH);
  AddMessageHandler<&TCheckEdit::EMGetModify>(Info, EM_GETMODIFY);
  AddMessageHandler<&TCheckEdit::ZRMPaintTo>(Info, ZRM_PAINTTO);
}
KESTOVA_CLASS_INFO_DESCRIBED(TCheckEdit, TCustomControl, "zredit", MakeComponent<TCheckEdit>, DescribeTCheckEdit)

TCheckEdit::TCheckEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  SetParentColor(false);
  SetColor(clWindow);
}

std::string TCheckEdit::ValueText() const { return IsChecked != Inverted ? "True" : "False"; }

void TCheckEdit::WMSetText(TMessage& Message) {
  const auto& text = *reinterpret_cast<const std::string*>(Message.LParam);
  const char first = text.empty() ? '\0' : text.front();
  const bool value = first == 'T' || first == 't' || first == 'Y' || first == 'y';
  if (value != (IsChecked != Inverted)) {
    IsChecked = !IsChecked;
    Invalidate();
  }
  ChangedByUser = false;
  Message.Result = 1;
}

void TCheckEdit::WMGetText(TMessage& Message) {
  auto* text = reinterpret_cast<std::string*>(Message.LParam);
  *text = ValueText();
  Message.Result = static_cast<std::intptr_t>(text->size());
}

void TCheckEdit::WMGetTextLength(TMessage& Message) { Message.Result = static_cast<std::intptr_t>(ValueText().size()); }

void TCheckEdit::EMGetModify(TMessage& Message) { Message.Result = ChangedByUser ? 1 : 0; }

void TCheckEdit::ZRMPaintTo(TMessage& Message) {
  if (auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam))
    PaintTo(*canvas, static_cast<std::int16_t>(Message.LParam & 0xFFFF),
            static_cast<std::int16_t>((Message.LParam >> 16) & 0xFFFF));
  Message.Result = 1;
}

void TCheckEdit::Toggle() {
  auto* owner = dynamic_cast<TCustomZREdit*>(Owner());
  if (owner && owner->GetReadOnly()) return;
  IsChecked = !IsChecked;
  if (owner) owner->Change();
  Invalidate();
  ChangedByUser = true;
  if (owner) owner->ApplyText();
}

void TCheckEdit::SetFocus() {
  TCustomControl::SetFocus();
  Invalidate();
}

void TCheckEdit::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  if (Key == VK_SPACE) Toggle();
  TCustomControl::KeyDown(Key, Shift);
}

void TCheckEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft && X >= 0 && Y >= 0 && X < Width() && Y < Height()) ClickAt({X, Y});
}

void TCheckEdit::Click() {
  const Point cursor = Screen->CursorPos();
  const Point origin = ClientToScreen({0, 0});
  ClickAt({cursor.x - origin.x, cursor.y - origin.y});
}

void TCheckEdit::ClickAt(Point P) {
  if (HandleAllocated() && Showing() && Enabled()) SetFocus();
  const Coord side = Height() + 2;
  if (WholeAreaClicks || (P.x >= 0 && P.y >= 0 && P.x < side && P.y < side)) Toggle();
  if (OnClick) OnClick(this);
}

void TCheckEdit::Paint() {
  Canvas().Brush()->SetColor(Color());
  PaintTo(Canvas(), 0, 0);
}

void TCheckEdit::PaintTo(TCanvas& Target, int X, int Y) {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  std::uint32_t flags = CheckStyleFlags();
  if (IsChecked) flags |= DFCS_CHECKED;
  if (!Enabled()) flags |= DFCS_INACTIVE;
  if (FlatBox) flags |= DFCS_FLAT;

  TBitmap bitmap(w, h);
  TCanvas& canvas = bitmap.Canvas();
  canvas.SetBrush(Target.Brush());
  canvas.RequireBrush();
  canvas.Handle().SetBkColor(Color());
  canvas.FillRect({0, 0, w, h});

  const int side = FullHeightBox ? h : std::min(h, static_cast<int>(GetCheckBoxHeight()));
  const int top = FullHeightBox ? 0 : (h - side) / 2;
  auto* owner = dynamic_cast<TCustomZREdit*>(Owner());
  const std::string text = owner ? owner->OwnText() : std::string();
  const int left = owner ? owner->CheckIndent : 2;
  Rect box{left, top, left + side, top + side};
  DrawFrameControl(canvas.Handle(), box, DFC_BUTTON, flags);

  if (!text.empty()) {
    canvas.SetFont(Font());
    canvas.RequireFont();
    DeviceContext& dc = canvas.Handle();
    const Coord textHeight = canvas.TextHeight(text);
    Rect r{side + 7, (h - textHeight) / 2, w, h};
    DrawText(dc, text, r, DT_CALCRECT);
    if (Enabled()) {
      dc.SetTextColor(Font()->Color());
      dc.SetBkColor(Color());
      Rect at = r;
      DrawText(dc, text, at, DT_NOCLIP);
    } else {
      dc.SetBkMode(TRANSPARENT);
      Rect light{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
      dc.SetTextColor(clBtnHighlight);
      DrawText(dc, text, light, DT_NOCLIP);
      Rect at = r;
      dc.SetTextColor(clBtnShadow);
      DrawText(dc, text, at, DT_NOCLIP);
    }
    if (owner && owner->ShowFocusState && owner->Focused())
      DrawFocusRect(dc, {r.left - 2, r.top - 2, r.right + 2, r.bottom + 2});
  }
  Target.CopyRect({X, Y, X + w, Y + h}, canvas, {0, 0, w, h});
}

void RegisterMaskAndCheckEditClasses() {
  // Their rows sit among the others of the start-up table, in its order.
  RegisterZREditClasses();
}
