#include "platform/controls/ExtCtrls.h"

#include <QWidget>
#include <algorithm>

#include "platform/classes/Filer.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/Image.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawEdge.h"

KESTOVA_TYPE_INFO(TBevelCut, MakeEnumType("TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}, "ExtCtrls"))

void DescribeTPanel(TClassInfo& Info) {
  TClassPublisher<TPanel> p(Info);
  p.Property<&TPanel::Alignment, &TPanel::SetAlignment>("Alignment", TypeInfos::TAlignment()).Default(taCenter);
  p.Property<&TPanel::BevelInner, &TPanel::SetBevelInner>("BevelInner", TypeInfos::TBevelCut()).Default(bvNone);
  p.Property<&TPanel::BevelOuter, &TPanel::SetBevelOuter>("BevelOuter", TypeInfos::TBevelCut()).Default(bvRaised);
  p.Property<&TPanel::BevelWidth, &TPanel::SetBevelWidth>("BevelWidth", TypeInfos::Integer()).Default(1);
  p.Property<&TPanel::BorderWidth, &TPanel::SetBorderWidth>("BorderWidth", TypeInfos::Integer()).Default(0);
  p.Property<&TPanel::Caption, &TPanel::SetCaption>("Caption", TypeInfos::TCaption());
}
KESTOVA_CLASS_INFO_DESCRIBED(TPanel, TCustomControl, "ExtCtrls", MakeComponent<TPanel>, DescribeTPanel)

void DescribeTSpeedButton(TClassInfo& Info) {
  TClassPublisher<TSpeedButton> p(Info);
  p.Property<&TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp>("AllowAllUp", TypeInfos::Boolean())
      .Default(false);
  p.Property<&TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex>("GroupIndex", TypeInfos::Integer()).Default(0);
  p.Property<&TSpeedButton::Down, &TSpeedButton::SetDown>("Down", TypeInfos::Boolean()).Default(false);
  p.Property<&TSpeedButton::Caption, &TSpeedButton::SetCaption>("Caption", TypeInfos::TCaption());
  p.Property<&TSpeedButton::Flat, &TSpeedButton::SetFlat>("Flat", TypeInfos::Boolean()).Default(false);
  p.Property<&TSpeedButton::OnClick, &TSpeedButton::OnClick>("OnClick", TypeInfos::TNotifyEvent());
}
KESTOVA_CLASS_INFO_DESCRIBED(TSpeedButton, TGraphicControl, "Buttons", MakeComponent<TSpeedButton>,
                             DescribeTSpeedButton)

// ---- Panel ----

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TPanel::CreateWnd() {
  TCustomControl::CreateWnd();
  Handle()->setFocusPolicy(Qt::NoFocus);
}

void TPanel::SetCaption(const std::string& Value) {
  caption_ = Value;
  Invalidate();
}

void TPanel::SetAlignment(TAlignment Value) {
  alignment_ = Value;
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut Value) {
  bevelInner_ = Value;
  Invalidate();
  Realign();
}

void TPanel::SetBevelOuter(TBevelCut Value) {
  bevelOuter_ = Value;
  Invalidate();
  Realign();
}

void TPanel::SetBevelWidth(int Value) {
  bevelWidth_ = std::max(Value, 1);
  Invalidate();
  Realign();
}

void TPanel::SetBorderWidth(int Value) {
  borderWidth_ = std::max(Value, 0);
  Invalidate();
  Realign();
}

void TPanel::AdjustClientRect(Rect& ARect) { ARect = InnerRect(); }

Rect TPanel::InnerRect() const {
  int inset = borderWidth_;
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  return {inset, inset, Width() - inset, Height() - inset};
}

namespace {

// Draws Width rings of one bevel at the edge of R and moves R inside them.
void DrawBevel(TCanvas& Canvas, Rect& R, TBevelCut Cut, int Width) {
  if (Cut == bvNone) return;
  for (int i = 0; i < Width; ++i) {
    if (Cut == bvSpace) {
      R = {R.left + 1, R.top + 1, R.right - 1, R.bottom - 1};
      continue;
    }
    Rect ring = R;
    DrawEdge(Canvas.Handle(), ring, Cut == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    R = {R.left + 1, R.top + 1, R.right - 1, R.bottom - 1};
  }
}

}  // namespace

void TPanel::Paint() {
  Canvas().Brush()->SetColor(Color());
  Canvas().Brush()->SetStyle(TBrushStyle::bsSolid);
  Canvas().FillRect(ClientRect());
  Rect r = ClientRect();
  DrawBevel(Canvas(), r, bevelOuter_, bevelWidth_);
  r = {r.left + borderWidth_, r.top + borderWidth_, r.right - borderWidth_, r.bottom - borderWidth_};
  DrawBevel(Canvas(), r, bevelInner_, bevelWidth_);
  DrawControlCaption(Canvas(), caption_, r, alignment_, Font()->Color(), Enabled());
}

// ---- Speed button ----

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), glyph_(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGlyph(const TBitmap* Value) {
  if (Value)
    glyph_->Assign(*Value);
  else
    glyph_ = std::make_unique<TBitmap>();
  Invalidate();
}

void TSpeedButton::DefineProperties(TFiler* Filer) {
  TGraphicControl::DefineProperties(Filer);
  const auto* ancestor = dynamic_cast<TSpeedButton*>(Filer->Ancestor());
  const bool hasData =
      !glyph_->Empty() && !(ancestor && !ancestor->glyph_->Empty() && SameGraphicData(*glyph_, *ancestor->glyph_));
  Filer->DefineBinaryProperty("Glyph.Data", TStreamProc::Of<&TSpeedButton::ReadGlyph>(*this),
                              TStreamProc::Of<&TSpeedButton::WriteGlyph>(*this), hasData);
}

void TSpeedButton::ReadGlyph(TStream& Stream) {
  ReadGraphicData(Stream, *glyph_);
  Invalidate();
}

void TSpeedButton::WriteGlyph(TStream& Stream) { WriteGraphicData(Stream, *glyph_); }

void TSpeedButton::SetCaption(const std::string& Value) {
  caption_ = Value;
  Invalidate();
}

void TSpeedButton::SetDown(bool Value) {
  if (groupIndex_ == 0) Value = false;
  if (Value == down_) return;
  down_ = Value;
  if (Value && Parent())
    for (int i = 0; i < Parent()->ControlCount(); ++i)
      if (auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
          other && other != this && other->groupIndex_ == groupIndex_)
        other->SetDown(false);
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int Value) {
  groupIndex_ = Value;
  if (Value == 0) SetDown(false);
}

void TSpeedButton::SetFlat(bool Value) {
  flat_ = Value;
  Invalidate();
}

void TSpeedButton::Click() {
  if (OnClick) OnClick(this);
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  held_ = true;
  Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !held_) return;
  held_ = false;
  Invalidate();
  if (X < 0 || Y < 0 || X >= Width() || Y >= Height()) return;
  if (groupIndex_ != 0) {
    if (!down_)
      SetDown(true);
    else if (allowAllUp_)
      SetDown(false);
  }
  Click();
}

void TSpeedButton::Paint() {
  Rect r = ClientRect();
  std::uint32_t state = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
  if (Pressed()) state |= DFCS_PUSHED;
  if (flat_) state |= DFCS_FLAT;
  if (!Enabled()) state |= DFCS_INACTIVE;
  DrawFrameControl(Canvas().Handle(), r, DFC_BUTTON, state);
  if (Pressed()) r = {r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
  if (!glyph_->Empty()) {
    const int w = glyph_->Width(), h = glyph_->Height();
    const Coord left = caption_.empty() ? r.left + (r.Width() - w) / 2 : r.left + 2;
    const Coord top = r.top + (r.Height() - h) / 2;
    glyph_->SetTransparent(true);
    glyph_->Draw(Canvas(), {left, top, left + w, top + h});
    if (!caption_.empty()) r.left = left + w;
  }
  DrawControlCaption(Canvas(), caption_, r, taCenter, clBtnText, Enabled());
}
