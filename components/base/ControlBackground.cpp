#include "components/base/ControlBackground.h"

#include <algorithm>
#include <cstdlib>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/CustomControl.h"

KESTOVA_TYPE_INFO(TBkgndOption,
                  MakeEnumType("TBkgndOption",
                               {"boNone", "boStretch", "boCenter", "boTile", "boHorzGradient", "boVertGradient"},
                               "ControlBackground"))

namespace {
void DescribeTControlBackground(TClassInfo& Info) {
  TClassPublisher<TControlBackground> p(Info);
  p.Property<&TControlBackground::BkgndOption, &TControlBackground::SetBkgndOption>("BkgndOption",
                                                                                    TypeInfos::TBkgndOption())
      .Default(boNone);
  p.Property<&TControlBackground::GradientBeginColor, &TControlBackground::SetGradientBeginColor>("GradientBeginColor",
                                                                                                  TypeInfos::TColor())
      .Default(clBlue);
  p.Property<&TControlBackground::GradientEndColor, &TControlBackground::SetGradientEndColor>("GradientEndColor",
                                                                                              TypeInfos::TColor())
      .Default(clBlack);
}
}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TControlBackground, TPersistent, "ControlBackground", nullptr, DescribeTControlBackground)

Coord CeilDiv(Coord a, Coord b) { return b / a + (b % a != 0 ? 1 : 0); }

void FillGradient(TCanvas& canvas, Coord width, Coord height, TColor beginColor, TColor endColor, bool vertical) {
  if (width <= 0 || height <= 0) return;
  const TColor from = ColorToRGB(beginColor), to = ColorToRGB(endColor);
  const Coord begin[3] = {GetRValue(from), GetGValue(from), GetBValue(from)};
  const Coord delta[3] = {GetRValue(to) - begin[0], GetGValue(to) - begin[1], GetBValue(to) - begin[2]};
  const Coord n = std::max({std::abs(delta[0]), std::abs(delta[1]), std::abs(delta[2])});
  const Coord total = vertical ? height : width;
  const Coord s = total / (n + 1) + 1;
  Rect band = vertical ? Rect{0, 0, width, s} : Rect{0, 0, s, height};
  const TColor saved = canvas.Brush()->Color();
  for (Coord i = 0; i <= n; ++i) {
    Coord c[3];
    for (int k = 0; k < 3; ++k) c[k] = begin[k] + i * s * delta[k] / total;
    canvas.Brush()->SetColor(
        RGB(static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]), static_cast<std::uint8_t>(c[2])));
    canvas.FillRect(band);
    if (vertical) {
      band.top += s;
      band.bottom += s;
    } else {
      band.left += s;
      band.right += s;
    }
    if ((vertical ? band.top : band.left) > total) break;
  }
  canvas.Brush()->SetColor(saved);
}

Point CenteredPicturePosition(const Rect& rect, Coord pictureWidth, Coord pictureHeight) {
  const Coord width = rect.right - rect.left, height = rect.bottom - rect.top;
  return {rect.left + (width - rect.left - pictureWidth) / 2, rect.top + (height - pictureHeight) / 2};
}

std::vector<Point> TilePositions(const Rect& rect, Coord pictureWidth, Coord pictureHeight) {
  std::vector<Point> places;
  if (pictureWidth < 1 || pictureHeight < 1) return places;
  const Coord width = rect.right - rect.left, height = rect.bottom - rect.top;
  const Coord columns = CeilDiv(pictureWidth, width - rect.left);
  const Coord rows = CeilDiv(pictureHeight, height);
  for (Coord i = 0; i <= columns; ++i)
    for (Coord j = 0; j <= rows; ++j) places.push_back({rect.left + i * pictureWidth, j * pictureHeight});
  return places;
}

TControlBackground::TControlBackground(TCustomControl* control) : control_(control) {}

TControlBackground::~TControlBackground() = default;

void TControlBackground::Assign(const TPersistent* Source) {
  const auto* other = dynamic_cast<const TControlBackground*>(Source);
  if (!other) return TPersistent::Assign(Source);
  SetBackground(other->background_);
  SetBkgndOption(other->option_);
  SetGradientBeginColor(other->beginColor_);
  SetGradientEndColor(other->endColor_);
}

Rect TControlBackground::GetBackgroundRect() const {
  if (!control_ || !control_->HandleAllocated()) return {};
  return control_->ClientRect();
}

TBrushData TControlBackground::GetBrush() const {
  TBrushData brush;
  brush.Style = TBrushStyle::bsSolid;
  if (control_) brush.Color = control_->Color();
  return brush;
}

bool TControlBackground::HasBackground() const {
  const Rect r = GetBackgroundRect();
  if (r.right <= r.left || r.bottom <= r.top) return false;
  switch (option_) {
    case boNone:
      return false;
    case boHorzGradient:
    case boVertGradient:
      return true;
    default:
      return background_.Width() > 0 && background_.Height() > 0;
  }
}

void TControlBackground::Changed() {
  if (HasBackground()) UpdateBuffer();
}

void TControlBackground::UpdateBuffer() {
  if (!HasBackground()) return;
  const Rect r = GetBackgroundRect();
  buffer_.SetSize(static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top));
  TCanvas& canvas = buffer_.Canvas();
  const Coord pictureWidth = background_.Width(), pictureHeight = background_.Height();
  switch (option_) {
    case boStretch:
      canvas.StretchDraw(r, background_);
      break;
    case boCenter: {
      TBrushData brush = GetBrush();
      if (control_) brush.Color = control_->Color();
      canvas.Brush()->SetData(brush);
      canvas.FillRect(r);
      const Point at = CenteredPicturePosition(r, pictureWidth, pictureHeight);
      canvas.Draw(at.x, at.y, background_);
      break;
    }
    case boTile:
      for (const Point& at : TilePositions(r, pictureWidth, pictureHeight)) canvas.Draw(at.x, at.y, background_);
      break;
    case boHorzGradient:
    case boVertGradient:
      FillGradient(canvas, buffer_.Width(), buffer_.Height(), beginColor_, endColor_, option_ == boVertGradient);
      break;
    case boNone:
      break;
  }
  if (control_) control_->Invalidate();
}

void TControlBackground::SetBackground(const TBitmap& value) {
  background_.Assign(value);
  Changed();
}

void TControlBackground::SetBkgndOption(TBkgndOption value) {
  if (value == option_) return;
  option_ = value;
  Changed();
  if (control_) control_->Invalidate();
}

void TControlBackground::SetGradientBeginColor(TColor value) {
  if (value == beginColor_) return;
  beginColor_ = value;
  Changed();
}

void TControlBackground::SetGradientEndColor(TColor value) {
  if (value == endColor_) return;
  endColor_ = value;
  Changed();
}
