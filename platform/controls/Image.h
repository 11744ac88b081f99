#pragma once
// TImage: a windowless control that shows a picture (any registered
// graphic class), at its top-left corner, centred (Center), or stretched
// over the whole control (Stretch, which wins over Center). A change of the
// picture repaints it.

#include "platform/controls/CustomControl.h"
#include "platform/graphics/GraphicPicture.h"

class TImage : public TGraphicControl {
  KESTOVA_CLASS(TImage)
 public:
  explicit TImage(TComponent* AOwner);
  TPicture& Picture() { return picture_; }
  bool Center() const { return center_; }
  void SetCenter(bool Value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool Value);
  // Where the picture is drawn, in client coordinates.
  Rect DestRect() const;

 protected:
  void Paint() override;

 private:
  TPicture picture_;
  bool center_ = false;
  bool stretch_ = false;
};
