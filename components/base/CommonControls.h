#pragma once
// The family's speed button and the base of its ActiveX host control, and
// helpers its controls share: the sunken border of their window parameters,
// scroll bars, font measures and the dither bitmaps of pressed buttons.

#include <cstdint>
#include <string>

#include "platform/classes/Variant.h"
#include "platform/controls/CreateParams.h"
#include "platform/controls/CustomControl.h"
#include "platform/controls/ScrollBars.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/core/Events.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/TextMeasurer.h"

// The family's speed button; the base of the buttons that stand for
// non-visual components on a designed form. (Its glyph keeps its pixels in
// memory, as every bitmap here does, so there is no image to release after
// a glyph change.)
class TZRSpeedButton : public TSpeedButton {
  KESTOVA_CLASS(TZRSpeedButton)
 public:
  explicit TZRSpeedButton(TComponent* AOwner);
};

// An ActiveX event handed on by handler name: Args holds ArgCount
// arguments, Result the answer for the control.
using TOleEventHandler = TMethodPointer<void(TObject* Sender, const std::string& HandlerName, int ArgCount,
                                             TVariant& Result, TVariant* Args)>;

// Base of the form designer's ActiveX host control, which implements the
// four operations and fires OnOleEvent for the events of the hosted control.
class TCustomZROleControl : public TCustomControl {
  KESTOVA_CLASS(TCustomZROleControl)
 public:
  explicit TCustomZROleControl(TComponent* AOwner);
  // The hosted control's class, as text.
  virtual std::string GetClassText() = 0;
  // The hosted control's automation object.
  virtual TVariant GetOleObject() = 0;
  // The handler name bound to the event DispId ("" unbinds).
  virtual void SetEventHandler(std::int32_t DispId, const std::string& Name) = 0;
  virtual std::string GetEventHandler(std::int32_t DispId) = 0;

  TOleEventHandler OnOleEvent;
};

// For a single border: with the new control look and Ctl3D the style loses
// WS_BORDER and the extended style gains WS_EX_CLIENTEDGE; otherwise the
// style gains WS_BORDER. Other borders leave Params as they are.
void UpdateSunkenBorderParams(TCreateParams& Params, TFormBorderStyle BorderStyle, bool Ctl3D);

// Scroll bars of Window; Bar is SB_HORZ or SB_VERT. The track position is
// where the user drags the thumb to, the position itself while nobody does.
int GetScrollTrackPos(TWinControl* Window, int Bar);
// Sets the position only when it differs from the bar's.
void SetScrollPosIfChanged(TWinControl* Window, int Bar, int Pos);
// Sets range and page together (the position is clamped to them).
void SetScrollRangePage(TWinControl* Window, int Bar, int Min, int Max, int Page);

// Font measures, taken on the screen unless another measurer is given:
// the average character width, whether every character is equally wide,
// and the heights of "Wg" and of "x".
int GetFontAveCharWidth(const TFont& Font, const TextMeasurer& Measurer = ScreenTextMeasurer());
bool IsFixedPitchFont(const TFont& Font, const TextMeasurer& Measurer = ScreenTextMeasurer());
int GetFontTextHeight(const TFont& Font, const TextMeasurer& Measurer = ScreenTextMeasurer());
int GetFontXHeight(const TFont& Font, const TextMeasurer& Measurer = ScreenTextMeasurer());

// Makes Bitmap 8 x 8 pixels of Color1 with Color2 on the pixels whose row
// and column are both even or both odd.
void MakeDitherBitmap(TBitmap& Bitmap, TColor Color1, TColor Color2);
// The same with the button face and button highlight colours.
void MakeButtonDitherBitmap(TBitmap& Bitmap);
