#pragma once
// The background of a custom control: a picture stretched, centred or
// tiled, or a horizontal or vertical two-colour gradient. It is rendered
// into a buffer bitmap of the control's client size whenever a setting
// changes (and when the owner calls UpdateBuffer after a resize); the
// control copies the buffer when it paints, after asking HasBackground.
//
// Nothing is rendered while the control has no window: its background
// rectangle is then empty and HasBackground false.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/classes/TypInfo.h"
#include "platform/core/Object.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/GraphicsTypes.h"

class TCustomControl;

enum TBkgndOption : std::uint8_t { boNone, boStretch, boCenter, boTile, boHorzGradient, boVertGradient };
namespace TypeInfos {
const TTypeInfo* TBkgndOption();  // boNone .. boVertGradient
}

// b div a, plus 1 when b mod a is not 0: how many pieces a wide cover b.
// `a` must not be 0.
Coord CeilDiv(Coord a, Coord b);

// Fills (0, 0, width, height) with bands of solid colour from `beginColor`
// to `endColor` (system colours resolved), left to right or, when vertical,
// top to bottom. With n the largest difference of a colour component
// there are n + 1 bands of size s = total div (n + 1) + 1 (total: the width,
// or the height when vertical); band i has each component begin +
// i * s * difference div total (rounded toward zero) and starts at i * s.
// Bands are drawn while they start at most at total, so the last may start
// at total itself. Nothing for a side of 0 or less. The brush colour is
// kept.
void FillGradient(TCanvas& canvas, Coord width, Coord height, TColor beginColor, TColor endColor, bool vertical);

// Where boCenter puts a picture in `rect` of a buffer of that size
// (divisions rounding toward zero), and the places boTile draws it: one
// column and one row more than cover the buffer, the extra ones clipped.
Point CenteredPicturePosition(const Rect& rect, Coord pictureWidth, Coord pictureHeight);
std::vector<Point> TilePositions(const Rect& rect, Coord pictureWidth, Coord pictureHeight);

// Published: BkgndOption (default boNone), GradientBeginColor (default
// clBlue) and GradientEndColor (default clBlack).
class TControlBackground : public TPersistent {
  KESTOVA_CLASS(TControlBackground)
 public:
  // `control` (not owned) must outlive the background.
  explicit TControlBackground(TCustomControl* control);
  ~TControlBackground() override;

  TCustomControl* Control() const { return control_; }

  // From another background: picture, option and colours through the
  // setters; any other source raises the class library's assignment error.
  void Assign(const TPersistent* Source) override;

  // The control's client rectangle while it has a window, else empty.
  virtual Rect GetBackgroundRect() const;
  // The brush around a centred picture: solid, in the control's colour.
  virtual TBrushData GetBrush() const;
  // Renders the background into Buffer and invalidates the control;
  // nothing unless HasBackground.
  virtual void UpdateBuffer();

  // False without a background rectangle and for boNone; true for the
  // gradients; for the picture options true when the picture is not empty.
  bool HasBackground() const;
  // UpdateBuffer when HasBackground.
  void Changed();

  // The picture; the setter takes a copy and calls Changed.
  const TBitmap& Background() const { return background_; }
  void SetBackground(const TBitmap& value);
  // Default boNone. A change calls Changed and always invalidates the
  // control, also when nothing is rendered.
  TBkgndOption BkgndOption() const { return option_; }
  void SetBkgndOption(TBkgndOption value);
  // Defaults clBlue and clBlack; a change calls Changed.
  TColor GradientBeginColor() const { return beginColor_; }
  void SetGradientBeginColor(TColor value);
  TColor GradientEndColor() const { return endColor_; }
  void SetGradientEndColor(TColor value);

  // The rendered background.
  TBitmap& Buffer() { return buffer_; }

 private:
  TCustomControl* control_;
  TBitmap background_;
  TBkgndOption option_ = boNone;
  TColor beginColor_ = clBlue;
  TColor endColor_ = clBlack;
  TBitmap buffer_;
};
