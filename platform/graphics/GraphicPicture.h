#pragma once
// A picture: holds one graphic of any registered class (or none).
//
// Bitmap() and Icon() give the graphic as that class, replacing another
// graphic by an empty one of the class. Files are read by the class their
// extension names. OnChange runs after each change of the graphic made
// through the picture.
//
// In a component stream a picture's data is the class name as a short
// string (a length byte, then the name) followed by the graphic's own data
// (TGraphic::WriteData); an empty name is a picture without a graphic.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/graphics/Graphic.h"

class TBitmap;
class TIcon;

class TPicture final {
 public:
  TPicture();
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  TBitmap& Bitmap();
  TIcon& Icon();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // Raises Exception(kUnknownPictureExtensionText) for an extension no class
  // reads, Exception for a file that cannot be read, and what the class's
  // loader raises; the picture is unchanged then.
  void LoadFromFile(const std::string& path);
  // Raises Exception when there is no graphic or the file cannot be written.
  void SaveToFile(const std::string& path) const;

  // Component-stream data. ReadData returns the bytes it took; it raises
  // EReadError for data cut short and EClassNotFound for a class no one
  // registered, leaving the picture unchanged.
  std::size_t ReadData(std::span<const std::uint8_t> data);
  void WriteData(std::vector<std::uint8_t>& out) const;

  std::function<void()> OnChange;

 private:
  void Changed();
  template <class T>
  T& As();

  std::unique_ptr<TGraphic> graphic_;
};
