#include "components/base/CommonControls.h"

KESTOVA_CLASS_INFO(TZRSpeedButton, TSpeedButton, "zrcommon", &MakeComponent<TZRSpeedButton>)
KESTOVA_CLASS_INFO(TCustomZROleControl, TCustomControl, "zrcommon", nullptr)

TZRSpeedButton::TZRSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

TCustomZROleControl::TCustomZROleControl(TComponent* AOwner) : TCustomControl(AOwner) {}

void UpdateSunkenBorderParams(TCreateParams& Params, TFormBorderStyle BorderStyle, bool Ctl3D) {
  if (BorderStyle != bsSingle) return;
  if (NewStyleControls && Ctl3D) {
    Params.Style &= ~WS_BORDER;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  } else {
    Params.Style |= WS_BORDER;
  }
}

int GetFontAveCharWidth(const TFont& Font, const TextMeasurer& Measurer) {
  return Measurer.TextMetrics(Font.Data()).AveCharWidth;
}

bool IsFixedPitchFont(const TFont& Font, const TextMeasurer& Measurer) {
  return Measurer.TextMetrics(Font.Data()).FixedPitch;
}

int GetFontTextHeight(const TFont& Font, const TextMeasurer& Measurer) { return Measurer.TextHeight(Font.Data(), "Wg"); }

int GetFontXHeight(const TFont& Font, const TextMeasurer& Measurer) { return Measurer.TextHeight(Font.Data(), "x"); }

void MakeDitherBitmap(TBitmap& Bitmap, TColor Color1, TColor Color2) {
  Bitmap.SetSize(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) Bitmap.SetPixel(x, y, x % 2 == y % 2 ? Color2 : Color1);
}

void MakeButtonDitherBitmap(TBitmap& Bitmap) { MakeDitherBitmap(Bitmap, clBtnFace, clBtnHighlight); }
