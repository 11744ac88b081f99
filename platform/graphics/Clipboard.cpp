#include "platform/graphics/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/graphics/PictureExport.h"

void QtClipboard::SetPicture(const Picture& picture) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QImage image = PictureToImage(picture);
  if (image.isNull()) {
    clipboard->clear();
    return;
  }
  auto* data = new QMimeData;
  data->setData(QStringLiteral("image/svg+xml"), PictureToSvg(picture));
  data->setData(QStringLiteral("image/png"), PictureToPng(picture));
  data->setImageData(image);
  clipboard->setMimeData(data);  // the clipboard owns the data
}

void QtClipboard::SetText(std::string_view text) {
  QGuiApplication::clipboard()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TestClipboard::SetPicture(const Picture& picture) {
  content_ = picture.IsNull() ? Content::Empty : Content::Picture;
  picture_ = picture;
  text_.clear();
  ++sets_;
}

void TestClipboard::SetText(std::string_view text) {
  content_ = Content::Text;
  picture_ = Picture();
  text_ = std::string(text);
  ++sets_;
}
