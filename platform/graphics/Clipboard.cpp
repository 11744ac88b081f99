#include "platform/graphics/Clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <utility>
#include <vector>

#include "platform/graphics/PictureExport.h"

namespace {

constexpr const char* kSvgFormat = "image/svg+xml";

QString QName(std::string_view name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

std::string Bytes(const QByteArray& bytes) { return std::string(bytes.constData(), static_cast<size_t>(bytes.size())); }

QByteArray QBytes(std::string_view bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); }

bool IsRtfName(std::string_view name) {
  for (const char* rtf : kClipboardRtfFormats)
    if (name == rtf) return true;
  return false;
}

bool IsEmpty(const ClipboardContent& content) {
  return !content.text && !content.rtf && content.image.isNull() && content.formats.empty();
}

QByteArray PngOf(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png;
}

}  // namespace

// ---- Clipboard ----

bool Clipboard::HasRtf() const {
  for (const char* name : kClipboardRtfFormats)
    if (HasFormat(name)) return true;
  return false;
}

std::optional<std::string> Clipboard::Rtf() const {
  for (const char* name : kClipboardRtfFormats)
    if (auto bytes = Format(name)) return bytes;
  return std::nullopt;
}

int Clipboard::AddChangeListener(ChangeListener listener) {
  const int id = nextListener_++;
  listeners_.emplace(id, std::move(listener));
  return id;
}

void Clipboard::RemoveChangeListener(int id) { listeners_.erase(id); }

void Clipboard::NotifyChanged() {
  // Ids, not iterators: a listener may remove itself or another one.
  std::vector<int> ids;
  for (const auto& [id, listener] : listeners_) ids.push_back(id);
  for (int id : ids) {
    auto found = listeners_.find(id);
    if (found != listeners_.end()) {
      ChangeListener listener = found->second;
      listener();
    }
  }
}

// ---- QtClipboard ----

struct QtClipboard::Watch {
  QMetaObject::Connection connection;
};

QtClipboard::QtClipboard() : watch_(std::make_unique<Watch>()) {
  watch_->connection = QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged,
                                        [this] { NotifyChanged(); });
}

QtClipboard::~QtClipboard() { QObject::disconnect(watch_->connection); }

void QtClipboard::SetPicture(const Picture& picture) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QImage image = PictureToImage(picture);
  if (image.isNull()) {
    clipboard->clear();
    return;
  }
  auto* data = new QMimeData;
  data->setData(kSvgFormat, PictureToSvg(picture));
  data->setData(kClipboardPngFormat, PictureToPng(picture));
  data->setImageData(image);
  clipboard->setMimeData(data);  // the clipboard owns the data
}

void QtClipboard::SetText(std::string_view text) { QGuiApplication::clipboard()->setText(QName(text)); }

void QtClipboard::SetContent(const ClipboardContent& content) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (IsEmpty(content)) {
    clipboard->clear();
    return;
  }
  auto* data = new QMimeData;
  if (content.text) data->setText(QName(*content.text));
  if (content.rtf)
    for (const char* name : kClipboardRtfFormats) data->setData(name, QBytes(*content.rtf));
  if (!content.image.isNull()) {
    data->setData(kClipboardPngFormat, PngOf(content.image));
    data->setImageData(content.image);
  }
  for (const auto& [name, bytes] : content.formats) data->setData(QName(name), QBytes(bytes));
  clipboard->setMimeData(data);
}

bool QtClipboard::HasFormat(std::string_view name) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasFormat(QName(name));
}

bool QtClipboard::HasImage() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasImage();
}

std::string QtClipboard::AsText() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return {};
  return data->text().toStdString();
}

std::optional<std::string> QtClipboard::Format(std::string_view name) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasFormat(QName(name))) return std::nullopt;
  return Bytes(data->data(QName(name)));
}

QImage QtClipboard::Image() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasImage()) return {};
  return qvariant_cast<QImage>(data->imageData());
}

bool QtClipboard::OwnsClipboard() const { return QGuiApplication::clipboard()->ownsClipboard(); }

// ---- TestClipboard ----

void TestClipboard::Replace(Content kind, const ClipboardContent& content, const Picture& picture, bool ours) {
  content_ = kind;
  held_ = content;
  picture_ = picture;
  text_ = content.text.value_or(std::string());
  owned_ = ours && kind != Content::Empty;
  if (ours) ++sets_;
  NotifyChanged();
}

void TestClipboard::SetPicture(const Picture& picture) {
  Replace(picture.IsNull() ? Content::Empty : Content::Picture, ClipboardContent(), picture, true);
}

void TestClipboard::SetText(std::string_view text) {
  ClipboardContent content;
  content.text = std::string(text);
  Replace(Content::Text, content, Picture(), true);
}

void TestClipboard::SetContent(const ClipboardContent& content) {
  Replace(IsEmpty(content) ? Content::Empty : Content::Formats, content, Picture(), true);
}

void TestClipboard::SetFromOtherProgram(const ClipboardContent& content) {
  Replace(IsEmpty(content) ? Content::Empty : Content::Formats, content, Picture(), false);
}

bool TestClipboard::HasFormat(std::string_view name) const {
  if (name == kSvgFormat) return content_ == Content::Picture;
  if (name == kClipboardTextFormat) return held_.text.has_value();
  if (name == kClipboardPngFormat) return HasImage();
  if (IsRtfName(name)) return held_.rtf.has_value();
  return held_.formats.count(std::string(name)) > 0;
}

bool TestClipboard::HasImage() const { return content_ == Content::Picture || !held_.image.isNull(); }

std::string TestClipboard::AsText() const { return held_.text.value_or(std::string()); }

std::optional<std::string> TestClipboard::Format(std::string_view name) const {
  if (!HasFormat(name)) return std::nullopt;
  if (name == kClipboardTextFormat) return held_.text;
  if (name == kSvgFormat) return Bytes(PictureToSvg(picture_));
  if (name == kClipboardPngFormat) return Bytes(PngOf(Image()));
  if (IsRtfName(name)) return held_.rtf;
  return held_.formats.at(std::string(name));
}

// A picture is drawn only when asked for, so that tests which never read it
// back do not pay for the drawing.
QImage TestClipboard::Image() const { return content_ == Content::Picture ? PictureToImage(picture_) : held_.image; }

namespace {
Clipboard* installedClipboard = nullptr;
}  // namespace

Clipboard& ClipboardService() {
  if (installedClipboard) return *installedClipboard;
  // Kept to the end of the process: its watch must not outlive the
  // application's clipboard in a static destructor.
  static QtClipboard* system = new QtClipboard;
  return *system;
}

Clipboard* SetClipboardService(Clipboard* Service) { return std::exchange(installedClipboard, Service); }
