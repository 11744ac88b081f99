#include "platform/graphics/GraphicPicture.h"

#include <QFile>

#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Clipboard.h"
#include "platform/graphics/Icon.h"

namespace {
inline constexpr const char* kCannotOpenPictureText = "Cannot open file \"%s\"";
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange) OnChange();
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  Changed();
}

void TPicture::Assign(const TPicture& source) {
  if (&source == this) return;
  std::vector<std::uint8_t> data;
  source.WriteData(data);
  ReadData(data);
}

template <class T>
T& TPicture::As() {
  if (auto* same = dynamic_cast<T*>(graphic_.get())) return *same;
  SetGraphic(std::make_unique<T>());
  return static_cast<T&>(*graphic_);
}

TBitmap& TPicture::Bitmap() { return As<TBitmap>(); }
TIcon& TPicture::Icon() { return As<TIcon>(); }

void TPicture::LoadFromFile(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of('/');
  const std::string extension =
      dot == std::string::npos || (slash != std::string::npos && dot < slash) ? "" : path.substr(dot + 1);
  const TGraphicClass* graphicClass = GraphicClassOfExtension(extension);
  if (!graphicClass) throw Exception(Format(kUnknownPictureExtensionText, {extension}));
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) throw Exception(Format(kCannotOpenPictureText, {path}));
  const QByteArray data = file.readAll();
  std::unique_ptr<TGraphic> graphic = graphicClass->Create();
  graphic->LoadFromBytes(
      std::span(reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<size_t>(data.size())));
  SetGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& path) const {
  if (!graphic_) throw Exception(Format(kCannotOpenPictureText, {path}));
  const std::vector<std::uint8_t> bytes = graphic_->SaveToBytes();
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
          static_cast<qint64>(bytes.size()))
    throw Exception(Format(kCannotOpenPictureText, {path}));
}

std::size_t TPicture::ReadData(std::span<const std::uint8_t> data) {
  if (data.empty() || data[0] + std::size_t{1} > data.size()) throw EReadError();
  const std::string name(reinterpret_cast<const char*>(data.data() + 1), data[0]);
  if (name.empty()) {
    SetGraphic(nullptr);
    return 1;
  }
  const TGraphicClass* graphicClass = FindGraphicClass(name);
  if (!graphicClass) throw EClassNotFound(Format(kClassNotFoundText, {name}));
  std::unique_ptr<TGraphic> graphic = graphicClass->Create();
  const std::size_t taken = graphic->ReadData(data.subspan(1 + name.size()));
  SetGraphic(std::move(graphic));
  return 1 + name.size() + taken;
}

void TPicture::WriteData(std::vector<std::uint8_t>& out) const {
  const std::string name = graphic_ ? graphic_->ClassName() : std::string();
  out.push_back(static_cast<std::uint8_t>(name.size()));
  out.insert(out.end(), name.begin(), name.end());
  if (graphic_) graphic_->WriteData(out);
}

void TPicture::SaveToClipboard(Clipboard& clipboard) const {
  ClipboardContent content;
  if (graphic_) {
    std::vector<std::uint8_t> data;
    WriteData(data);
    content.formats[kPictureClipboardFormat] = std::string(data.begin(), data.end());
    if (!graphic_->Empty() && graphic_->Width() > 0 && graphic_->Height() > 0) {
      TBitmap pixels(graphic_->Width(), graphic_->Height());
      pixels.Canvas().Draw(0, 0, *graphic_);
      content.image = pixels.Image();
    }
  }
  clipboard.SetContent(content);
}

bool TPicture::SupportsClipboardFormat(const Clipboard& clipboard) {
  return clipboard.HasFormat(kPictureClipboardFormat) || clipboard.HasImage();
}

void TPicture::LoadFromClipboard(const Clipboard& clipboard) {
  if (const std::optional<std::string> data = clipboard.Format(kPictureClipboardFormat)) {
    // Read into a picture of its own first: ReadData leaves this one alone
    // on failure, but a read that takes less than the data is refused too.
    TPicture read;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data->data());
    if (read.ReadData(std::span(bytes, data->size())) != data->size()) throw EReadError();
    SetGraphic(std::move(read.graphic_));
    return;
  }
  const QImage image = clipboard.Image();
  if (image.isNull()) throw Exception(kUnknownClipboardFormatText);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetImage(image);
  SetGraphic(std::move(bitmap));
}
