#pragma once
// The clipboard as drawing code uses it. A picture goes there as SVG
// ("image/svg+xml", vector, the frame's size) and as a PNG image of the
// frame's size in pixels, since there is no enhanced-metafile format here;
// text goes there as plain UTF-8 text. The clipboard keeps its own copy: the
// caller's picture is untouched.

#include <string>
#include <string_view>

#include "platform/graphics/Picture.h"

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // A null picture clears the clipboard.
  virtual void SetPicture(const Picture& picture) = 0;
  virtual void SetText(std::string_view text) = 0;
};

// The system clipboard; needs a QGuiApplication.
class QtClipboard final : public Clipboard {
 public:
  void SetPicture(const Picture& picture) override;
  void SetText(std::string_view text) override;
};

// Holds what was put there last.
class TestClipboard final : public Clipboard {
 public:
  enum class Content { Empty, Picture, Text };
  void SetPicture(const Picture& picture) override;
  void SetText(std::string_view text) override;
  Content Holds() const { return content_; }
  const Picture& HeldPicture() const { return picture_; }
  const std::string& HeldText() const { return text_; }
  int SetCount() const { return sets_; }

 private:
  Content content_ = Content::Empty;
  Picture picture_;
  std::string text_;
  int sets_ = 0;
};
