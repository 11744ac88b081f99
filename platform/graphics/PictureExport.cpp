#include "platform/graphics/PictureExport.h"

#include <QBuffer>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "platform/core/Exceptions.h"
#include "platform/graphics/PicturePlayer.h"

namespace {

QSize FrameSize(const Picture& picture) {
  const Rect frame = picture.FramePixels();
  if (picture.IsNull() || frame.Width() <= 0 || frame.Height() <= 0) return {};
  return QSize(static_cast<int>(frame.Width()), static_cast<int>(frame.Height()));
}

[[noreturn]] void CannotCreate(const std::string& path) {
  throw EInOutError("Cannot create file \"" + path + "\"");
}

void WriteFile(const QByteArray& data, const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size()) CannotCreate(path);
}

}  // namespace

QImage PictureToImage(const Picture& picture) {
  const QSize size = FrameSize(picture);
  if (size.isEmpty()) return {};
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PlayPicture(picture, painter, {0, 0, size.width(), size.height()});
  return image;
}

QByteArray PictureToPng(const Picture& picture) {
  const QImage image = PictureToImage(picture);
  if (image.isNull()) return {};
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return data;
}

QByteArray PictureToSvg(const Picture& picture) {
  const QSize size = FrameSize(picture);
  if (size.isEmpty()) return {};
  QByteArray data;
  QBuffer buffer(&data);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  generator.setResolution(picture.Reference().LogPixelsX);
  {
    QPainter painter(&generator);
    PlayPicture(picture, painter, {0, 0, size.width(), size.height()});
  }
  return data;
}

void SavePicturePng(const Picture& picture, const std::string& path) {
  if (FrameSize(picture).isEmpty()) CannotCreate(path);
  WriteFile(PictureToPng(picture), path);
}

void SavePictureSvg(const Picture& picture, const std::string& path) {
  if (FrameSize(picture).isEmpty()) CannotCreate(path);
  WriteFile(PictureToSvg(picture), path);
}

void SavePicturePdf(const Picture& picture, const std::string& path) {
  const Rect frame = picture.Frame();
  if (FrameSize(picture).isEmpty()) CannotCreate(path);
  QPdfWriter writer(QString::fromStdString(path));
  writer.setPageSize(QPageSize(QSizeF(frame.Width() / 100.0, frame.Height() / 100.0), QPageSize::Millimeter));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter;
  if (!painter.begin(&writer)) CannotCreate(path);
  PlayPicture(picture, painter, {0, 0, writer.width(), writer.height()});
  painter.end();
}
