// TImage: where the picture lands.

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "platform/controls/Image.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

namespace {

TEST(TImage, DrawsThePictureAtTheCornerCentredOrStretched) {
  struct Row {
    bool center, stretch;
    Rect dest;
  };
  // A 10 x 6 bitmap in a 40 x 30 image.
  const Row rows[] = {{false, false, {0, 0, 10, 6}}, {true, false, {15, 12, 25, 18}}, {true, true, {0, 0, 40, 30}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.center) + std::to_string(row.stretch));
    TWinControl form(nullptr);
    form.SetBounds(0, 0, 60, 50);
    form.Show();
    auto* image = new TImage(&form);
    image->SetParent(&form);
    image->SetBounds(5, 5, 40, 30);
    image->SetCenter(row.center);
    image->SetStretch(row.stretch);
    TBitmap& bitmap = image->Picture().Bitmap();
    bitmap.SetSize(10, 6);
    bitmap.Canvas().Brush()->SetColor(RGB(255, 0, 0));
    bitmap.Canvas().FillRect({0, 0, 10, 6});
    EXPECT_EQ(image->DestRect(), row.dest);
    const QImage shot = form.Handle()->grab().toImage();
    const auto red = [&](int x, int y) { return QColor(shot.pixel(5 + x, 5 + y)) == QColor(255, 0, 0); };
    EXPECT_TRUE(red(row.dest.left, row.dest.top));
    EXPECT_TRUE(red(row.dest.right - 1, row.dest.bottom - 1));
    if (row.dest.left > 0) EXPECT_FALSE(red(row.dest.left - 1, row.dest.top));
    if (row.dest.right < 40) EXPECT_FALSE(red(row.dest.right, row.dest.bottom - 1));
  }
}

}  // namespace
