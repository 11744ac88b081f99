// The edit's looks: the shared glyphs, its buttons and their parameters,
// its border, and the frameless inner edit.

#include <QGuiApplication>
#include <QLineEdit>
#include <span>

#include "components/base/ZREdit.h"
#include "components/base/ZRInnerEdit_p.h"
#include "platform/classes/Filer.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/Image.h"
#include "platform/controls/ControlWindow.h"
#include "platform/core/ResourceStore.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/SystemMetrics.h"

static void InitZREditResources() { Q_INIT_RESOURCE(zredit); }

namespace {

std::unique_ptr<TBitmap>& GlyphSlot(int Which) {
  static std::unique_ptr<TBitmap> glyphs[2];
  return glyphs[Which];
}

const TBitmap& LoadGlyph(int Which, const char* Name) {
  std::unique_ptr<TBitmap>& slot = GlyphSlot(Which);
  if (!slot) {
    InitZREditResources();
    slot = std::make_unique<TBitmap>();
    if (const auto bytes = ResourceStore::Instance().Find("zrbase", "BITMAP", Name))
      slot->LoadFromBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
    slot->SetTransparentMode(tmFixed);
    slot->SetTransparentColor(clFuchsia);
    slot->SetTransparent(true);
  }
  return *slot;
}

}  // namespace

const TBitmap& DropDownGlyph() { return LoadGlyph(0, "ZREDIT_DROPDOWN"); }
const TBitmap& DotsGlyph() { return LoadGlyph(1, "ZREDIT_DOTS"); }
void FreeZREditGlyphs() {
  GlyphSlot(0).reset();
  GlyphSlot(1).reset();
}

// ---- Buttons ----

KESTOVA_CLASS_INFO(TEditButton, TSpeedButton, "zredit", nullptr)
KESTOVA_TYPE_INFO(TButtonKind, MakeEnumType("TButtonKind", {"bkCustom", "bkDropDown", "bkDots"}, "zredit"))

void DescribeTButtonParams(TClassInfo& Info) {
  using P = TButtonParams;
  namespace T = TypeInfos;
  TClassPublisher<P> p(Info);
  p.Property<&P::Width, &P::SetWidth>("Width", T::Integer()).Default(0);
  p.Property<&P::Cursor, &P::SetCursor>("Cursor", T::TCursor()).Default(crDefault);
  p.Property<&P::Kind, &P::SetKind>("Kind", T::TButtonKind());
  p.Property<&P::Hint, &P::SetHint>("Hint", T::String());
  p.Property<&P::NumGlyphs, &P::SetNumGlyphs>("NumGlyphs", T::Integer()).Default(1);
  p.Property<&P::ParentShowHint, &P::SetParentShowHint>("ParentShowHint", T::Boolean()).Default(true);
  // Setting ShowHint clears ParentShowHint: stored only when it is not the
  // parent's, so that a stored ParentShowHint survives reading.
  p.Property<&P::ShowHint, &P::SetShowHint>("ShowHint", T::Boolean()).Default(false).Stored<&P::ShowHintStored>();
  p.Property<&P::Visible, &P::SetVisible>("Visible", T::Boolean());
}
KESTOVA_CLASS_INFO_DESCRIBED(TButtonParams, TPersistent, "zredit", nullptr, DescribeTButtonParams)

TEditButton::TEditButton(TComponent* AOwner) : TSpeedButton(AOwner), glyph_(std::make_unique<TBitmap>()) {
  SetWidth(GetSystemMetrics(SM_CXHTHUMB));
  SetVisible(true);
  SetParent(dynamic_cast<TWinControl*>(AOwner));
}

void TEditButton::SetNumGlyphs(int Value) {
  numGlyphs_ = std::max(Value, 1);
  Invalidate();
}

void TEditButton::Click() {
  auto* edit = dynamic_cast<TCustomZREdit*>(Owner());
  const bool ownHandler = static_cast<bool>(OnClick);
  if (edit) edit->SetFocus();
  TSpeedButton::Click();
  if (edit && !ownHandler) edit->SetPopupOpen(!edit->PopupOpen());
}

void TEditButton::GlyphChange(TObject*) {
  if (OnGlyphChanged) OnGlyphChanged(this);
}

void TEditButton::Paint() {
  TSpeedButton::Paint();
  PaintGlyph();
  if (auto* edit = dynamic_cast<TCustomZREdit*>(Owner())) PaintEdges(*edit);
}

void TEditButton::PaintGlyph() {
  if (glyph_->Empty()) return;
  // The first of NumGlyphs images, centred; one pixel down and right while
  // pressed.
  const int w = glyph_->Width() / std::max(numGlyphs_, 1);
  const int h = glyph_->Height();
  const int shift = Pressed() ? 1 : 0;
  const int x = (Width() - w) / 2 + shift, y = (Height() - h) / 2 + shift;
  TBitmap image(w, h);
  image.Canvas().CopyRect({0, 0, w, h}, glyph_->Canvas(), {0, 0, w, h});
  image.SetTransparentMode(tmFixed);
  image.SetTransparentColor(clFuchsia);
  image.SetTransparent(true);
  image.Draw(Canvas(), {x, y, x + w, y + h});
}

void TEditButton::PaintEdges(const TCustomZREdit& Edit) {
  // The button's edges blend into the edit's border: flat, they vanish into
  // the edit's ground; otherwise they join its frame.
  TCanvas& canvas = Canvas();
  const Coord w = Width(), h = Height();
  auto line = [&](TColor c, Coord x1, Coord y1, Coord x2, Coord y2) {
    canvas.Pen()->SetColor(c);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
  };
  auto frame = [&](TColor c, const Rect& r) {
    canvas.Brush()->SetColor(c);
    canvas.FrameRect(r);
  };
  if (Edit.FlatNow()) {
    if (Edit.EdgeBorder()) {
      frame(Edit.Color(), {0, 0, w, h});
      frame(clBtnFace, {1, 1, w - 1, h - 1});
      line(clBtnHighlight, 1, 0, 1, h);
    } else {
      frame(Edit.Color(), {1, 1, w - 1, h - 1});
      line(clBtnFace, 0, 0, w, 0);
      line(clBtnFace, w - 1, 0, w - 1, h);
      line(clBtnFace, 0, h - 1, w, h - 1);
    }
    return;
  }
  line(clBtnFace, 0, 0, 0, h);
  line(clBtnFace, 0, 0, w, 0);
  line(clBtnFace, w - 1, 0, w - 1, 2);
  line(clBtnHighlight, 1, 1, w - 1, 1);
  line(clBtnHighlight, 1, 1, 1, h - 1);
  if ((!Edit.FlatLook && !Edit.AlternateBorder) || Edit.EdgeBorder()) {
    canvas.Brush()->SetColor(clBlack);
    canvas.FillRect({w - 1, 0, w, 1});
  } else {
    frame(clBtnFace, {0, 0, w, h});
    if (Edit.LineBorder()) line(Edit.LineColorA(), 0, h - 1, w, h - 1);
  }
}

TButtonParams::TButtonParams(TEditButton* ATarget) : target_(ATarget) {
  target_->OnGlyphChanged = TNotifyEvent::Of<&TButtonParams::GlyphChanged>(*this);
}

void TButtonParams::DefineProperties(TFiler* Filer) {
  TPersistent::DefineProperties(Filer);
  // The shared glyphs of the other kinds come with the kind.
  Filer->DefineBinaryProperty("Glyph.Data", TStreamProc::Of<&TButtonParams::ReadGlyph>(*this),
                              TStreamProc::Of<&TButtonParams::WriteGlyph>(*this),
                              kind_ == bkCustom && !Glyph()->Empty());
}

void TButtonParams::ReadGlyph(TStream& Stream) {
  TBitmap glyph;
  ReadGraphicData(Stream, glyph);
  SetGlyph(&glyph);
}

void TButtonParams::WriteGlyph(TStream& Stream) { WriteGraphicData(Stream, *Glyph()); }

void TButtonParams::SetKind(TButtonKind Value) {
  if (Value == kind_) return;
  kind_ = Value;
  if (Value == bkDropDown) target_->Glyph()->Assign(DropDownGlyph());
  if (Value == bkDots) target_->Glyph()->Assign(DotsGlyph());
  SetNumGlyphs(NumGlyphs());
  target_->Invalidate();
}

void TButtonParams::SetGlyph(const TBitmap* Value) {
  kind_ = bkCustom;
  if (Value)
    target_->Glyph()->Assign(*Value);
  else
    target_->Glyph()->SetSize(0, 0);
  GlyphChanged(target_);
}

void TButtonParams::GlyphChanged(TObject*) {
  if (kind_ == bkCustom && width_ == 0) {
    target_->SetWidth(target_->Glyph()->Width() + 4);
    if (OnChanged) OnChanged(this);
  } else {
    target_->Invalidate();
  }
}

void TButtonParams::SetNumGlyphs(int Value) { target_->SetNumGlyphs(kind_ == bkCustom ? Value : 1); }

void TButtonParams::SetWidth(int Value) {
  if (Value == target_->Width()) return;
  if (Value > 0)
    target_->SetWidth(Value);
  else if (Value == 0 && kind_ != bkCustom)
    target_->SetWidth(GetSystemMetrics(SM_CXHTHUMB));
  width_ = Value;
  if (OnChanged) OnChanged(this);
}

void TButtonParams::SetVisible(bool Value) {
  target_->SetVisible(Value);
  if (OnChanged) OnChanged(this);
}

// ---- The edit's border ----

bool TCustomZREdit::FlatNow() const {
  return FlatLook && mouseOutside_ && !Focused() && !ComponentState().Contains(csDesigning);
}

TColor TCustomZREdit::LineColorA() const {
  return BorderKind == 1 || BorderKind == 3 ? clBtnHighlight : clBtnShadow;
}

void TCustomZREdit::UpdateFlatState() {
  const int now = FlatNow() ? 1 : 0;
  if (now == flatShown_) return;
  flatShown_ = now;
  Invalidate();
  firstButton_->Invalidate();
  secondButton_->Invalidate();
}

void TCustomZREdit::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Brush()->SetColor(Color());
  canvas.FillRect({0, 0, Width(), Height()});
  if (BorderWidth() == 2) {
    Rect r{0, 0, Width(), Height()};
    DrawEdge(canvas.Handle(), r, EDGE_SUNKEN, BF_RECT);
  }
  PaintBorder();
}

void TCustomZREdit::PaintBorder() {
  if (!FlatLook && !AlternateBorder) return;
  TCanvas& canvas = Canvas();
  const Coord w = Width() - 1, h = Height() - 1;
  const TColor a = LineColorA();
  const TColor b = a == clBtnHighlight ? clBtnShadow : clBtnHighlight;
  canvas.Brush()->SetColor(clBtnFace);
  canvas.FrameRect({0, 0, w, h});
  canvas.FrameRect({1, 1, w + 1, h + 1});
  // The two corners the frames leave out.
  canvas.FillRect({0, h, 1, h + 1});
  canvas.FillRect({w, 0, w + 1, 1});
  if (FlatNow()) return;
  auto line = [&](TColor c, Coord x1, Coord y1, Coord x2, Coord y2) {
    canvas.Pen()->SetColor(c);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
  };
  if (LineBorder()) {
    line(a, 0, h - 1, w + 1, h - 1);
    line(b, 0, h, w + 1, h);
  } else if (EdgeBorder()) {
    Rect r{0, 0, Width(), Height()};
    DrawEdge(canvas.Handle(), r, BorderKind == 6 ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  } else if (AlternateBorder && (BorderKind == 4 || BorderKind == 5)) {
    line(UnderlineColor, 0, h, w + 1, h);
    if (BorderKind == 5) line(UnderlineColor, w, 0, w, h + 1);
  } else if (BorderKind != 8) {
    line(a, 0, h, 0, 0);
    line(a, 0, 0, w, 0);
    line(b, w, 0, w, h);
    line(b, w, h, -1, h);
  }
}

// ---- Simple edit ----

void DescribeTZRSimpleEdit(TClassInfo& Info) {
  AddMessageHandler<&TZRSimpleEdit::WMGetText>(Info, WM_GETTEXT);
  AddMessageHandler<&TZRSimpleEdit::WMGetTextLength>(Info, WM_GETTEXTLENGTH);
  AddMessageHandler<&TZRSimpleEdit::WMSetText>(Info, WM_SETTEXT);
  AddMessageHandler<&TZRSimpleEdit::EMSetSel>(Info, EM_SETSEL);
  AddMessageHandler<&TZRSimpleEdit::EMGetModify>(Info, EM_GETMODIFY);
  AddMessageHandler<&TZRSimpleEdit::EMSetModify>(Info, EM_SETMODIFY);
  AddMessageHandler<&TZRSimpleEdit::EMSetReadOnly>(Info, EM_SETREADONLY);
  AddMessageHandler<&TZRSimpleEdit::EMSetRectNP>(Info, EM_SETRECTNP);
  AddMessageHandler<&TZRSimpleEdit::CMEnter>(Info, CM_ENTER);
}
KESTOVA_CLASS_INFO_DESCRIBED(TZRSimpleEdit, TCustomEdit, "zredit", MakeComponent<TZRSimpleEdit>,
                             DescribeTZRSimpleEdit)

namespace {
QLineEdit* LineOf(TWinControl& Edit) { return dynamic_cast<QLineEdit*>(Edit.Handle()); }
}  // namespace

void ZRInnerEdit::MakeFrameless(TControlWindowBase* Window) {
  if (auto* line = dynamic_cast<QLineEdit*>(Window->Widget())) line->setFrame(false);
}

void ZRInnerEdit::SetSel(TCustomEdit& Edit, TMessage& Message) {
  if (!Edit.HandleAllocated()) return;
  QLineEdit* line = LineOf(Edit);
  const int length = static_cast<int>(line->text().size());
  int start = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
  int end = static_cast<int>(Message.LParam);
  if (start < 0) {
    line->deselect();
    return;
  }
  if (end < 0 || end > length) end = length;
  start = std::min(start, length);
  line->setSelection(start, end - start);
}

void ZRInnerEdit::GetModify(TCustomEdit& Edit, TMessage& Message) {
  Message.Result = Edit.HandleAllocated() && LineOf(Edit)->isModified() ? 1 : 0;
}

void ZRInnerEdit::SetModify(TCustomEdit& Edit, TMessage& Message) {
  if (Edit.HandleAllocated()) LineOf(Edit)->setModified(Message.WParam != 0);
}

void ZRInnerEdit::SetReadOnly(TCustomEdit& Edit, TMessage& Message) {
  Edit.SetReadOnly(Message.WParam != 0);
  Message.Result = 1;
}

void ZRInnerEdit::SetRectNP(TCustomEdit& Edit, TMessage& Message) {
  // The text starts at the rectangle's left edge.
  if (!Edit.HandleAllocated() || !Message.LParam) return;
  const auto& r = *reinterpret_cast<const Rect*>(Message.LParam);
  LineOf(Edit)->setTextMargins(static_cast<int>(r.left), 0, 0, 0);
}

void ZRInnerEdit::TrackLeftButton(const TMessage& Message, bool& LeftButtonDown) {
  if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) LeftButtonDown = true;
  if (Message.Msg == WM_LBUTTONUP) LeftButtonDown = false;
}

void ZRInnerEdit::SelectAllUnlessClicked(TCustomEdit& Edit, bool LeftButtonDown) {
  const bool byMouse = LeftButtonDown || (QGuiApplication::mouseButtons() & Qt::LeftButton);
  if (!byMouse && Edit.HandleAllocated()) LineOf(Edit)->selectAll();
}

TZRSimpleEdit::TZRSimpleEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

TControlWindowBase* TZRSimpleEdit::CreateWindowWidget(QWidget* Parent) {
  TControlWindowBase* window = TCustomEdit::CreateWindowWidget(Parent);
  ZRInnerEdit::MakeFrameless(window);
  return window;
}

std::string TZRSimpleEdit::SelText() const {
  if (!HandleAllocated()) return {};
  return LineOf(const_cast<TZRSimpleEdit&>(*this))->selectedText().toStdString();
}

void TZRSimpleEdit::WMGetText(TMessage& Message) {
  auto* text = reinterpret_cast<std::string*>(Message.LParam);
  *text = Text();
  Message.Result = static_cast<std::intptr_t>(text->size());
}

void TZRSimpleEdit::WMGetTextLength(TMessage& Message) { Message.Result = static_cast<std::intptr_t>(Text().size()); }

void TZRSimpleEdit::WMSetText(TMessage& Message) {
  SetText(*reinterpret_cast<const std::string*>(Message.LParam));
  if (HandleAllocated()) LineOf(*this)->setModified(false);
  Message.Result = 1;
}

void TZRSimpleEdit::EMSetSel(TMessage& Message) { ZRInnerEdit::SetSel(*this, Message); }
void TZRSimpleEdit::EMGetModify(TMessage& Message) { ZRInnerEdit::GetModify(*this, Message); }
void TZRSimpleEdit::EMSetModify(TMessage& Message) { ZRInnerEdit::SetModify(*this, Message); }
void TZRSimpleEdit::EMSetReadOnly(TMessage& Message) { ZRInnerEdit::SetReadOnly(*this, Message); }
void TZRSimpleEdit::EMSetRectNP(TMessage& Message) { ZRInnerEdit::SetRectNP(*this, Message); }

void TZRSimpleEdit::WndProc(TMessage& Message) {
  ZRInnerEdit::TrackLeftButton(Message, leftButtonDown_);
  TCustomEdit::WndProc(Message);
}

void TZRSimpleEdit::CMEnter(TMessage& Message) {
  ZRInnerEdit::SelectAllUnlessClicked(*this, leftButtonDown_);
  DefaultHandler(Message);
}
