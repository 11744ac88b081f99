#include "platform/controls/Image.h"

#include "platform/classes/Filer.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/graphics/Canvas.h"

void DescribeTImage(TClassInfo& Info) {
  TClassPublisher<TImage> p(Info);
  p.Property<&TImage::Center, &TImage::SetCenter>("Center", TypeInfos::Boolean()).Default(false);
  p.Property<&TImage::Stretch, &TImage::SetStretch>("Stretch", TypeInfos::Boolean()).Default(false);
}
KESTOVA_CLASS_INFO_DESCRIBED(TImage, TGraphicControl, "ExtCtrls", MakeComponent<TImage>, DescribeTImage)

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 105, 105);
  picture_.OnChange = [this] { Invalidate(); };
}

void TImage::DefineProperties(TFiler* Filer) {
  TGraphicControl::DefineProperties(Filer);
  const auto* ancestor = dynamic_cast<TImage*>(Filer->Ancestor());
  const bool hasData = picture_.Graphic() &&
                       !(ancestor && ancestor->picture_.Graphic() && SameGraphicData(picture_, ancestor->picture_));
  Filer->DefineBinaryProperty("Picture.Data", TStreamProc::Of<&TImage::ReadPicture>(*this),
                              TStreamProc::Of<&TImage::WritePicture>(*this), hasData);
}

void TImage::SetCenter(bool Value) {
  center_ = Value;
  Invalidate();
}

void TImage::SetStretch(bool Value) {
  stretch_ = Value;
  Invalidate();
}

Rect TImage::DestRect() const {
  if (stretch_) return ClientRect();
  const int w = picture_.Width(), h = picture_.Height();
  if (!center_) return {0, 0, w, h};
  const int left = (Width() - w) / 2, top = (Height() - h) / 2;
  return {left, top, left + w, top + h};
}

void TImage::Paint() {
  if (const TGraphic* graphic = picture_.Graphic()) Canvas().StretchDraw(DestRect(), *graphic);
}
