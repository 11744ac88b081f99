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

class Clipboard;
class TBitmap;
class TIcon;

// The clipboard format of a picture's component-stream data.
inline constexpr const char* kPictureClipboardFormat = "application/x-kestova-picture";
inline constexpr const char* kUnknownClipboardFormatText = "Unsupported clipboard format";

class TPicture final {
 public:
  TPicture();
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  // A copy of the graphic of `source` (none when it has none), made through
  // its component-stream data, so it is of the same class. OnChange runs.
  void Assign(const TPicture& source);
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

  // Puts the picture on the clipboard as an image (its pixels; transparent
  // parts white) and as its component-stream data under
  // kPictureClipboardFormat, so that pasting it here gives back the same
  // class. A picture without a graphic clears the clipboard.
  void SaveToClipboard(Clipboard& clipboard) const;
  // Whether the clipboard offers either form.
  static bool SupportsClipboardFormat(const Clipboard& clipboard);
  // The picture from its data when the clipboard offers it (errors as
  // ReadData), otherwise an image as a TBitmap (ERangeError when too
  // large); Exception(kUnknownClipboardFormatText) when it offers neither.
  // The picture is unchanged on every error.
  void LoadFromClipboard(const Clipboard& clipboard);

  std::function<void()> OnChange;

 private:
  void Changed();
  template <class T>
  T& As();

  std::unique_ptr<TGraphic> graphic_;
};
