#include "tree/view/AttribImage.h"

#include <QFile>

#include "platform/core/Exceptions.h"
#include "tree/view/NodeAttrib.h"

bool LoadAttribImage(TNodeAttrib& attrib, const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray data = file.readAll();
  std::vector<std::uint8_t> bytes(data.begin(), data.end());
  const int kind = IsJPEGStream(bytes) ? 1 : 0;
  try {
    SetAttribImage(attrib, std::move(bytes), kind);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

void SetAttribImage(TNodeAttrib& attrib, std::vector<std::uint8_t> bytes, int kind, TImageBudget* budget) {
  Bitmap24 bitmap = DecodeImage(bytes, budget);
  attrib.Bitmap = std::move(bitmap);
  if (kind == 1) {
    attrib.JPEGImage = std::move(bytes);
    attrib.ImageKind = 1;
  } else {
    attrib.JPEGImage.clear();
    attrib.ImageKind = 0;
  }
}

void ClearAttribImage(TNodeAttrib& attrib) {
  attrib.Bitmap = {};
  attrib.JPEGImage.clear();
  attrib.ImageKind = 0;
}
