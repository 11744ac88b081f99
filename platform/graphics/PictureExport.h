#pragma once
// A picture as an image or a document: PNG and SVG for the clipboard, and
// files for developer tools. Every form shows the whole frame; PNG at the
// frame's size in reference pixels on white, SVG with that size in pixels
// and the physical size of the frame, PDF on one page of exactly the frame's
// size in millimetres. A null picture or an empty frame gives an empty image
// and empty data.

#include <QByteArray>
#include <QImage>
#include <string>

#include "platform/graphics/Picture.h"

QImage PictureToImage(const Picture& picture);
QByteArray PictureToPng(const Picture& picture);
QByteArray PictureToSvg(const Picture& picture);

// Write the picture to a file; a file that cannot be written, or a picture
// with nothing to show, raises EInOutError "Cannot create file \"<path>\"".
void SavePicturePng(const Picture& picture, const std::string& path);
void SavePictureSvg(const Picture& picture, const std::string& path);
void SavePicturePdf(const Picture& picture, const std::string& path);
