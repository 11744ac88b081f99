#pragma once
// TImage: a windowless control that shows a picture (any registered
// graphic class), at its top-left corner, centred (Center), or stretched
// over the whole control (Stretch, which wins over Center). A change of the
// picture repaints it.
//
// In a component stream the picture is the binary defined property
// "Picture.Data" (TPicture::WriteData), written when the image has a
// picture that differs from its ancestor's.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/controls/CustomControl.h"
#include "platform/core/Streams.h"
#include "platform/graphics/GraphicPicture.h"

// The body of a binary defined property that holds a graphic's (or a
// picture's) component-stream data: ReadData of the bytes left in Stream,
// WriteData into it, and whether two of them have the same data.
template <class T>
void ReadGraphicData(TStream& Stream, T& Target) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(Stream.Remaining()));
  Stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  Target.ReadData(std::span<const std::uint8_t>(bytes));
}
template <class T>
void WriteGraphicData(TStream& Stream, const T& Source) {
  std::vector<std::uint8_t> bytes;
  Source.WriteData(bytes);
  Stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}
template <class T>
bool SameGraphicData(const T& A, const T& B) {
  std::vector<std::uint8_t> a, b;
  A.WriteData(a);
  B.WriteData(b);
  return a == b;
}

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
  void DefineProperties(TFiler* Filer) override;

 protected:
  void Paint() override;

 private:
  void ReadPicture(TStream& Stream) { ReadGraphicData(Stream, picture_); }
  void WritePicture(TStream& Stream) { WriteGraphicData(Stream, picture_); }

  TPicture picture_;
  bool center_ = false;
  bool stretch_ = false;
};
