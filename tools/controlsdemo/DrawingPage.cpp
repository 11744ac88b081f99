// The "drawing" page: the five backgrounds of a custom control (each
// rendered again when its control is resized, which it reports on standard
// output), check-box pictures in every state and frame, flat scroll arrows,
// expand buttons, coded and shortened texts, overlay images and the image
// list's draw styles.

#include <QWidget>
#include <cstdio>
#include <memory>
#include <string>

#include "components/base/CodedText.h"
#include "components/base/ControlBackground.h"
#include "components/base/DrawRoutines.h"
#include "platform/classes/Messages.h"
#include "platform/controls/CustomControl.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "tools/controlsdemo/Pages.h"

namespace {

constexpr const char* kOptionNames[] = {"none", "stretch", "center", "tile", "horizontal", "vertical"};

// A small picture for the backgrounds: a diamond on a light ground.
void MakeTile(TBitmap& tile) {
  tile.SetSize(20, 14);
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool inside = std::abs(x - 10) * 7 + std::abs(y - 7) * 10 < 70;
      tile.SetPixel(x, y, inside ? RGB(200, 40, 40) : RGB(240, 230, 200));
    }
}

class TBackgroundDemo : public TCustomControl {
  KESTOVA_CLASS(TBackgroundDemo)
 public:
  using TCustomControl::TCustomControl;

  void Setup(TBkgndOption option) {
    SetColor(RGB(200, 220, 240));  // the ground around a centred picture
    background_ = std::make_unique<TControlBackground>(this);
    TBitmap tile;
    MakeTile(tile);
    background_->SetBackground(tile);
    background_->SetGradientBeginColor(option == boVertGradient ? clMaroon : clNavy);
    background_->SetGradientEndColor(option == boVertGradient ? clYellow : clAqua);
    background_->SetBkgndOption(option);
  }

 protected:
  void WndProc(TMessage& Message) override {
    TCustomControl::WndProc(Message);
    if (Message.Msg != WM_SIZE || !background_) return;
    background_->UpdateBuffer();
    std::printf("rendered: %s %dx%d\n", kOptionNames[background_->BkgndOption()], background_->Buffer().Width(),
                background_->Buffer().Height());
    std::fflush(stdout);
  }

  void Paint() override {
    TCanvas& canvas = Canvas();
    if (background_ && background_->HasBackground()) {
      canvas.Draw(0, 0, background_->Buffer());
    } else {
      canvas.Brush()->SetColor(clBtnFace);
      canvas.FillRect(ClientRect());
    }
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    canvas.Font()->SetColor(clWhite);
    canvas.TextOut(5, 3, background_ ? kOptionNames[background_->BkgndOption()] : "");
    canvas.Font()->SetColor(clBlack);
    canvas.TextOut(4, 2, background_ ? kOptionNames[background_->BkgndOption()] : "");
  }

 private:
  std::unique_ptr<TControlBackground> background_;
};
KESTOVA_CLASS_INFO(TBackgroundDemo, TCustomControl, "ControlsDemo", nullptr)

// Images of the list: a red disc, a green square with a transparent
// corner, a blue mark (the overlay).
void FillImages(TImageList& images) {
  TBitmap strip(48, 16);
  TCanvas& canvas = strip.Canvas();
  canvas.Brush()->SetColor(clFuchsia);
  canvas.FillRect({0, 0, 48, 16});
  canvas.Pen()->SetColor(clMaroon);
  canvas.Brush()->SetColor(clRed);
  canvas.Ellipse(1, 1, 15, 15);
  canvas.Pen()->SetColor(clGreen);
  canvas.Brush()->SetColor(clLime);
  canvas.Polygon(std::initializer_list<Point>{{17, 1}, {31, 1}, {31, 15}, {22, 15}, {17, 10}});
  canvas.Pen()->SetColor(clNavy);
  canvas.Brush()->SetColor(clBlue);
  canvas.Rectangle(40, 8, 47, 15);
  images.AddMasked(strip, clFuchsia);
  images.Overlay(2, 1);
}

class TDrawingSheet : public TCustomControl {
  KESTOVA_CLASS(TDrawingSheet)
 public:
  explicit TDrawingSheet(TComponent* AOwner) : TCustomControl(AOwner) { FillImages(images_); }

 protected:
  void Paint() override {
    TCanvas& canvas = Canvas();
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(ClientRect());
    PaintCheckBoxes(canvas, 8, 4);
    PaintButtons(canvas, 8, 96);
    PaintTexts(canvas, 8, 150);
    PaintImages(canvas, 8, 236);
  }

 private:
  static void Caption(TCanvas& canvas, Coord x, Coord y, const std::string& text) {
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    canvas.Font()->SetStyle({TFontStyle::fsBold});
    canvas.TextOut(x, y, text);
    canvas.Font()->SetStyle({});
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(clBtnFace);
  }

  void PaintCheckBoxes(TCanvas& canvas, Coord x, Coord y) {
    Caption(canvas, x, y, "Check boxes: unchecked, checked, grayed in 3D, thin and no frame; transparent on yellow");
    const char* frames[] = {"3D", "thin", "none"};
    for (int frame = 0; frame < 3; ++frame) {
      const Coord left = x + frame * 120;
      canvas.TextOut(left, y + 22, frames[frame]);
      for (int state = 0; state < 3; ++state)
        DrawCheckBox(canvas, {left + 36 + state * 22, y + 22, left + 52 + state * 22, y + 38}, state, frame == 1,
                     frame == 2, false);
    }
    canvas.Brush()->SetColor(clYellow);
    canvas.FillRect({x + 360, y + 18, x + 440, y + 42});
    for (int state = 0; state < 3; ++state)
      DrawCheckBox(canvas, {x + 366 + state * 24, y + 22, x + 382 + state * 24, y + 38}, state, true, false, true);
    canvas.Brush()->SetColor(clBtnFace);
    // Larger pictures: one size from the smaller side.
    for (int state = 0; state < 3; ++state)
      DrawCheckBox(canvas, {x + state * 30, y + 48, x + state * 30 + 40, y + 72}, state, false, false, false);
    canvas.TextOut(x + 100, y + 52, "from 40 x 24 rectangles: 24 x 24 pictures");
  }

  void PaintButtons(TCanvas& canvas, Coord x, Coord y) {
    Caption(canvas, x, y, "Scroll arrows (left, right; enabled, disabled) and expand buttons");
    int at = 0;
    for (bool enabled : {true, false})
      for (bool left : {true, false}) {
        const Coord l = x + at++ * 24;
        canvas.Brush()->SetColor(clBtnFace);
        DrawScrollArrow(canvas, left, {l, y + 20, l + 18, y + 38}, enabled);
      }
    Coord bx = x + 120;
    for (Coord size : {9, 11, 15})
      for (bool expanded : {false, true}) {
        DrawExpandButton(canvas, bx, y + 22, size, 0, expanded);
        bx += size + 8;
      }
    canvas.Pen()->SetColor(clBtnShadow);
    DrawRectOutline(canvas, {x + 260, y + 20, x + 300, y + 40});
    DrawEdgeStyle(canvas.Handle(), {x + 310, y + 20, x + 350, y + 40}, 0);
    DrawEdgeStyle(canvas.Handle(), {x + 360, y + 20, x + 400, y + 40}, 1);
  }

  void PaintTexts(TCanvas& canvas, Coord x, Coord y) {
    Caption(canvas, x, y, "Coded text and shortened text");
    const std::string coded = "plain \1bold\1 \2italic\2 \3underlined\3 \4struck\4 \1\2both\2\1\tafter a tab";
    canvas.Brush()->SetColor(clWindow);
    DrawCodedText(canvas, {x, y + 20, x + 520, y + 40}, x + 4, y + 22, coded);
    const Coord width = CodedTextWidth(canvas, coded);
    canvas.Brush()->SetColor(clBtnFace);
    canvas.TextOut(x + 530, y + 22, std::to_string(width) + " px");
    const std::string text = "A caption too long for its column";
    Coord left = x;
    for (Coord room : {60, 110, 170, 230}) {
      canvas.Brush()->SetColor(clWindow);
      DrawTextEllipsis(canvas, {left, y + 48, left + room, y + 66}, left + 2, y + 49, text);
      left += room + 10;
    }
  }

  void PaintImages(TCanvas& canvas, Coord x, Coord y) {
    Caption(canvas, x, y, "Image list: normal, transparent, focus, selected, mask; with overlay; BkColor; disabled");
    struct Style {
      TDrawingStyle style;
      TImageType type;
    } styles[] = {
        {dsNormal, itImage}, {dsTransparent, itImage}, {dsFocus, itImage}, {dsSelected, itImage}, {dsNormal, itMask}};
    Coord left = x;
    for (const Style& s : styles) {
      for (int index = 0; index < 2; ++index)
        images_.DrawStyled(canvas, left + index * 18, y + 22, index, s.style, s.type);
      left += 48;
    }
    DrawOverlayImage(canvas, images_, 2, 0, left + 10, y + 22);
    images_.DrawStyled(canvas, left + 30, y + 22, 1, dsNormal, itImage, 1);
    images_.SetBkColor(clAqua);
    images_.Draw(canvas, left + 60, y + 22, 1);
    images_.SetBkColor(clNone);
    for (int index = 0; index < 2; ++index) images_.Draw(canvas, left + 90 + index * 18, y + 22, index, false);
  }

  TImageList images_{16, 16};
};
KESTOVA_CLASS_INFO(TDrawingSheet, TCustomControl, "ControlsDemo", nullptr)

class TDrawingPage : public TWinControl {
  KESTOVA_CLASS(TDrawingPage)
 public:
  explicit TDrawingPage(TComponent* AOwner) : TWinControl(AOwner) {
    for (int i = 0; i < 5; ++i) {
      backgrounds_[i] = Construct<TBackgroundDemo>(this);
      backgrounds_[i]->SetParent(this);
      backgrounds_[i]->Setup(static_cast<TBkgndOption>(boStretch + i));
    }
    sheet_ = Construct<TDrawingSheet>(this);
    sheet_->SetParent(this);
  }

 protected:
  // The backgrounds share the width; the sheet takes the rest.
  void WndProc(TMessage& Message) override {
    TWinControl::WndProc(Message);
    if (Message.Msg != WM_SIZE) return;
    const int gap = 8, width = (Width() - 6 * gap) / 5;
    for (int i = 0; i < 5; ++i) backgrounds_[i]->SetBounds(gap + i * (width + gap), gap, width, 80);
    sheet_->SetBounds(0, 96, Width(), Height() - 96);
  }

 private:
  TBackgroundDemo* backgrounds_[5] = {};
  TDrawingSheet* sheet_ = nullptr;
};
KESTOVA_CLASS_INFO(TDrawingPage, TWinControl, "ControlsDemo", nullptr)

}  // namespace

TWinControl* MakeDrawingPage() {
  auto* page = Construct<TDrawingPage>(nullptr);
  page->SetBounds(40, 40, 640, 420);
  page->Handle()->setWindowTitle("controlsdemo: drawing");
  page->Show();
  return page;
}
