// TImage: where the picture lands.

#include "platform/controls/Image.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <string>

#include "platform/classes/ObjectText.h"
#include "platform/classes/Writer.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/core/Exceptions.h"
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

// A 3 x 2 bitmap whose pixels all differ.
void Paint3x2(TBitmap& Bitmap, int Seed) {
  Bitmap.SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) Bitmap.SetPixel(x, y, RGB(Seed + 10 * x, 100 + 50 * y, 7 * (x + y)));
}

std::string PixelsOf(const TBitmap& Bitmap) {
  std::string out = std::to_string(Bitmap.Width()) + "x" + std::to_string(Bitmap.Height()) + ":";
  for (int y = 0; y < Bitmap.Height(); ++y)
    for (int x = 0; x < Bitmap.Width(); ++x) out += std::to_string(Bitmap.Pixel(x, y)) + ",";
  return out;
}

// Root written, turned into the text form and back, read into Into; the text.
std::string ThroughText(TComponent* Root, TComponent* Into, TComponent* Ancestor = nullptr) {
  TMemoryStream binary, text, back;
  if (Ancestor)
    WriteDescendentToStream(binary, Root, Ancestor);
  else
    WriteComponentToStream(binary, Root);
  binary.SetPosition(0);
  ObjectBinaryToText(binary, text);
  text.SetPosition(0);
  ObjectTextToBinary(text, back);
  back.SetPosition(0);
  if (Into) ReadComponentFromStream(back, Into);
  return std::string(text.Bytes().begin(), text.Bytes().end());
}

TEST(GraphicProperties, PictureAndGlyphComeBackAsBinaryDefinedProperties) {
  TImage image(nullptr);
  image.SetName("Image1");
  Paint3x2(image.Picture().Bitmap(), 20);
  TImage readImage(nullptr);
  std::string text = ThroughText(&image, &readImage);
  EXPECT_NE(text.find("Picture.Data = {"), std::string::npos) << text;
  ASSERT_NE(readImage.Picture().Graphic(), nullptr) << text;
  EXPECT_EQ(readImage.Picture().Graphic()->ClassName(), "TBitmap");
  EXPECT_EQ(PixelsOf(readImage.Picture().Bitmap()), PixelsOf(image.Picture().Bitmap()));

  TSpeedButton button(nullptr);
  button.SetName("SpeedButton1");
  Paint3x2(*button.Glyph(), 40);
  TSpeedButton readButton(nullptr);
  text = ThroughText(&button, &readButton);
  EXPECT_NE(text.find("Glyph.Data = {"), std::string::npos) << text;
  EXPECT_EQ(PixelsOf(*readButton.Glyph()), PixelsOf(*button.Glyph()));

  // Nothing to keep: no property.
  TImage empty(nullptr);
  TSpeedButton plain(nullptr);
  EXPECT_EQ(ThroughText(&empty, nullptr).find("Picture.Data"), std::string::npos);
  EXPECT_EQ(ThroughText(&plain, nullptr).find("Glyph.Data"), std::string::npos);

  // Against an ancestor only a different picture is written.
  TImage ancestor(nullptr);
  ancestor.SetName("Image1");
  Paint3x2(ancestor.Picture().Bitmap(), 20);
  EXPECT_EQ(ThroughText(&image, nullptr, &ancestor).find("Picture.Data"), std::string::npos);
  Paint3x2(ancestor.Picture().Bitmap(), 21);
  EXPECT_NE(ThroughText(&image, nullptr, &ancestor).find("Picture.Data"), std::string::npos);

  // Data that runs short is a read error.
  std::string cut = ThroughText(&button, nullptr);
  const std::size_t data = cut.find_first_of("0123456789ABCDEF", cut.find('{'));
  cut.replace(data, 8, "");  // the bitmap's size
  TStringStream in(cut), binary;
  ObjectTextToBinary(in, binary);
  binary.SetPosition(0);
  TSpeedButton broken(nullptr);
  EXPECT_THROW(ReadComponentFromStream(binary, &broken), EReadError);
}

TEST(GraphicProperties, TheSpeedButtonDrawsItsGlyph) {
  TWinControl form(nullptr);
  form.SetBounds(0, 0, 60, 50);
  form.Show();
  auto* button = new TSpeedButton(&form);
  button->SetParent(&form);
  button->SetBounds(10, 10, 24, 22);
  TBitmap glyph;
  glyph.SetSize(6, 6);
  glyph.Canvas().Brush()->SetColor(RGB(0, 200, 0));
  glyph.Canvas().FillRect({0, 0, 6, 6});
  glyph.SetPixel(0, 5, RGB(255, 0, 255));  // the transparent colour: bottom-left
  button->SetGlyph(&glyph);
  const QImage shot = form.Handle()->grab().toImage();
  // Centred: (9, 8) .. (15, 14) of the button.
  EXPECT_EQ(QColor(shot.pixel(10 + 12, 10 + 11)), QColor(0, 200, 0));
  EXPECT_NE(QColor(shot.pixel(10 + 9, 10 + 13)), QColor(255, 0, 255));
}

}  // namespace
