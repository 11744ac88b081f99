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

int GetScrollTrackPos(TWinControl* Window, int Bar) {
  TScrollInfo info;
  info.fMask = SIF_TRACKPOS;
  Window->GetScrollInfo(Bar, info);
  return info.nTrackPos;
}

void SetScrollPosIfChanged(TWinControl* Window, int Bar, int Pos) {
  if (Window->GetScrollPos(Bar) == Pos) return;
  TScrollInfo info;
  info.fMask = SIF_POS;
  info.nPos = Pos;
  Window->SetScrollInfo(Bar, info, true);
}

void SetScrollRangePage(TWinControl* Window, int Bar, int Min, int Max, int Page) {
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_PAGE;
  info.nMin = Min;
  info.nMax = Max;
  info.nPage = static_cast<std::uint32_t>(Page);
  Window->SetScrollInfo(Bar, info, true);
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
