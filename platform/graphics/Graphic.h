#pragma once
// Graphics that a picture can hold, and the registry of their classes.
//
// A graphic class has a name ("TBitmap"), the file extensions it reads
// (without the dot, compared case-insensitively), a description for file
// filters and a factory. Files are read by extension; component streams
// name the class (see TPicture).
//
// Each graphic stores itself in two forms: its file (SaveToBytes, the bytes
// of a .bmp or .ico file) and its data in a component stream (WriteData;
// by default the file itself, a bitmap puts the file's size in front).

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/Geometry.h"

class TCanvas;

class TGraphic {
 public:
  virtual ~TGraphic() = default;
  virtual std::string ClassName() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;
  // Raises Exception (ERangeError for a picture too large) and leaves
  // the graphic unchanged when the bytes are not a picture of its kind.
  virtual void LoadFromBytes(std::span<const std::uint8_t> bytes) = 0;
  virtual std::vector<std::uint8_t> SaveToBytes() const = 0;
  // The data in a component stream. ReadData takes the bytes of its data
  // from the front of `data` and returns how many it took.
  virtual std::size_t ReadData(std::span<const std::uint8_t> data);
  virtual void WriteData(std::vector<std::uint8_t>& out) const;
  // Draws the graphic stretched into `rect` of the canvas's device; the
  // base, and every graphic for an empty rectangle, draws nothing.
  virtual void Draw(TCanvas& canvas, const Rect& rect) const;
};

struct TGraphicClass {
  std::string Name;
  std::vector<std::string> Extensions;
  std::string Description;
  std::function<std::unique_ptr<TGraphic>()> Create;
};

inline constexpr const char* kUnknownPictureExtensionText = "Unknown picture file extension (.%s)";

// Adds a class, or replaces the one of the same name (case-insensitive).
void RegisterGraphicClass(TGraphicClass graphicClass);
// Removes a class; unknown names are ignored.
void UnregisterGraphicClass(std::string_view name);
// The class of that name or of that extension (with or without the dot);
// nullptr when there is none. Always registered: TBitmap (bmp), TIcon
// (ico), TPngImage (png), TJPEGImage (jpg, jpeg) and TMetafile (emf, wmf).
const TGraphicClass* FindGraphicClass(std::string_view name);
const TGraphicClass* GraphicClassOfExtension(std::string_view extension);
// "All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|..." in registration
// order.
std::string GraphicFilter();
