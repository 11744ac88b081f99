#pragma once
// Pictures: drawing recorded once and played back many times (painting,
// printing, the clipboard), in the logical units it was recorded in.
//
// A Picture is immutable and cheap to copy; copies share the recorded calls,
// and nothing done to one (assigning another picture, destroying it) touches
// the others. A default-constructed Picture is none (IsNull).
//
// A PictureRecorder is a device context that keeps every accepted call. Its
// device capabilities are those of the reference device it was given.
// Close() turns the calls into a Picture exactly once. A recorder that is
// destroyed without Close() - for example while an exception unwinds out of
// the drawing code - leaves no picture behind.

#include <cstddef>
#include <memory>

#include "platform/graphics/DeviceContext.h"

struct PictureData;

class Picture {
 public:
  Picture() = default;

  bool IsNull() const { return data_ == nullptr; }
  // The frame in hundredths of a millimetre (empty for none).
  Rect Frame() const;
  // The reference device: its size in pixels (HorzRes, VertRes) and
  // millimetres (HorzSize, VertSize) and its resolution.
  DeviceInfo Reference() const;
  // The frame in reference pixels: each edge times HorzRes / (HorzSize x 100)
  // (VertRes / (VertSize x 100) for top and bottom), rounded half to even. A
  // frame made with PictureFrameFromPixels gives the pixel size back.
  Rect FramePixels() const;
  // Calls recorded (state changes and object calls included).
  std::size_t RecordCount() const;

  // Plays every recorded call on `target`, in order, with the handles of
  // `target`. Afterwards the objects created by the replay are deleted and
  // the state of `target` (modes, extents, colours, alignment, position,
  // brush origin and selected objects) is what it was before. No frame
  // mapping happens here: PlayPicture (PicturePlayer.h) maps the frame onto
  // a destination.
  void Replay(DeviceContext& target) const;

 private:
  friend class PictureRecorder;
  explicit Picture(std::shared_ptr<const PictureData> data) : data_(std::move(data)) {}
  std::shared_ptr<const PictureData> data_;
};

// The frame of a picture of width x height reference pixels:
// (0, 0, MulDiv(width, HorzSize x 100, HorzRes), MulDiv(height, VertSize x 100, VertRes)).
Rect PictureFrameFromPixels(std::int32_t width, std::int32_t height, const DeviceInfo& reference);

class PictureRecorder final : public DeviceContext {
 public:
  // Text is measured with the installed fonts (ScreenTextMeasurer) when a
  // QGuiApplication exists, otherwise with the FixedTextMeasurer.
  // frame in hundredths of a millimetre. A reference without pixel sizes is
  // taken as a 1920 x 1080 screen, one without millimetre sizes gets them
  // from its resolution (96 pixels per inch when it has none).
  PictureRecorder(const Rect& frame, const DeviceInfo& reference);
  ~PictureRecorder() override;

  // The recorded picture. Once only: afterwards the recorder records nothing
  // and Close() returns none.
  Picture Close();

 protected:
  void Apply(const Command& command) override;

 private:
  std::shared_ptr<PictureData> data_;
};
