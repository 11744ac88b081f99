#pragma once
// The clipboard: what is put there and what can be taken from it.
//
// Formats are named by MIME type. Text is UTF-8 text ("text/plain"). RTF is
// passed as bytes; it is put there under all three names programs use for it
// and read from the first of them the clipboard offers ("text/rtf",
// "text/richtext", "application/rtf"). An image goes there as "image/png"
// among the platform's other image types, and any image type can be read.
// Other formats are bytes under a name of the caller's choosing.
//
// A picture goes there as SVG ("image/svg+xml", vector, the frame's size) and
// as a PNG image of the frame's size in pixels, since there is no
// enhanced-metafile format here. The clipboard keeps its own copy of
// everything: the caller's data is untouched.
//
// Change listeners are called after every change of the content, whether
// this program or another one made it.

#include <QImage>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/graphics/Picture.h"

inline constexpr const char* kClipboardTextFormat = "text/plain";
inline constexpr const char* kClipboardRtfFormats[] = {"text/rtf", "text/richtext", "application/rtf"};
inline constexpr const char* kClipboardPngFormat = "image/png";

// What a program puts on the clipboard at once, in several formats.
struct ClipboardContent {
  std::optional<std::string> text;
  std::optional<std::string> rtf;
  QImage image;                                 // none when null
  std::map<std::string, std::string> formats;   // custom formats: name -> bytes
};

class Clipboard {
 public:
  using ChangeListener = std::function<void()>;
  virtual ~Clipboard() = default;

  // ---- Putting things there (each replaces the whole content) ----
  // A null picture clears the clipboard.
  virtual void SetPicture(const Picture& picture) = 0;
  virtual void SetText(std::string_view text) = 0;
  // An empty content clears the clipboard.
  virtual void SetContent(const ClipboardContent& content) = 0;

  // ---- Taking things from it ----
  virtual bool HasFormat(std::string_view name) const = 0;
  bool HasText() const { return HasFormat(kClipboardTextFormat); }
  bool HasRtf() const;
  virtual bool HasImage() const = 0;
  // "" when the clipboard holds no text.
  virtual std::string AsText() const = 0;
  // The bytes under `name`; nothing when the clipboard does not offer it.
  virtual std::optional<std::string> Format(std::string_view name) const = 0;
  // The RTF bytes; nothing when none of the RTF names is offered.
  std::optional<std::string> Rtf() const;
  // A null image when the clipboard holds none.
  virtual QImage Image() const = 0;
  // True while the content is the one this program put there last.
  virtual bool OwnsClipboard() const = 0;

  // ---- Change notices ----
  // Returns an id for RemoveChangeListener. A listener may remove itself.
  int AddChangeListener(ChangeListener listener);
  void RemoveChangeListener(int id);

 protected:
  void NotifyChanged();

 private:
  std::map<int, ChangeListener> listeners_;
  int nextListener_ = 1;
};

// The system clipboard; needs a QGuiApplication. Change notices arrive
// through the event loop.
class QtClipboard final : public Clipboard {
 public:
  QtClipboard();
  ~QtClipboard() override;
  QtClipboard(const QtClipboard&) = delete;
  QtClipboard& operator=(const QtClipboard&) = delete;

  void SetPicture(const Picture& picture) override;
  void SetText(std::string_view text) override;
  void SetContent(const ClipboardContent& content) override;
  bool HasFormat(std::string_view name) const override;
  bool HasImage() const override;
  std::string AsText() const override;
  std::optional<std::string> Format(std::string_view name) const override;
  QImage Image() const override;
  bool OwnsClipboard() const override;

 private:
  struct Watch;
  std::unique_ptr<Watch> watch_;
};

// Holds what was put there last; another program's content is put there
// with SetFromOtherProgram. Every change notifies at once.
class TestClipboard final : public Clipboard {
 public:
  enum class Content { Empty, Picture, Text, Formats };
  void SetPicture(const Picture& picture) override;
  void SetText(std::string_view text) override;
  void SetContent(const ClipboardContent& content) override;
  // Replaces the content as another program would: this one no longer owns it.
  void SetFromOtherProgram(const ClipboardContent& content);

  bool HasFormat(std::string_view name) const override;
  bool HasImage() const override;
  std::string AsText() const override;
  std::optional<std::string> Format(std::string_view name) const override;
  QImage Image() const override;
  bool OwnsClipboard() const override { return owned_; }

  Content Holds() const { return content_; }
  const Picture& HeldPicture() const { return picture_; }
  const std::string& HeldText() const { return text_; }
  // How often this program put something there.
  int SetCount() const { return sets_; }

 private:
  void Replace(Content kind, const ClipboardContent& content, const Picture& picture, bool ours);

  Content content_ = Content::Empty;
  Picture picture_;
  std::string text_;
  ClipboardContent held_;
  bool owned_ = false;
  int sets_ = 0;
};

// The process-wide clipboard service that components use: an installed
// double, or else the system clipboard (made on first use; needs a
// QGuiApplication). SetClipboardService installs Service (nullptr: back to
// the system clipboard) and answers the one installed before.
Clipboard& ClipboardService();
Clipboard* SetClipboardService(Clipboard* Service);
