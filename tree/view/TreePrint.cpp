#include "tree/view/TreePrint.h"

#include <QLineEdit>
#include <QPrinter>
#include <algorithm>

#include "platform/core/NumberFormat.h"
#include "platform/graphics/Clipboard.h"
#include "platform/ui/Application.h"
#include "platform/ui/DialogService.h"
#include "tree/view/TreeCustomControl.h"

Rect PrintTargetRect(const DeviceInfo& reference, int pictureWidth, int pictureHeight, const DeviceInfo& page) {
  const std::int32_t refX = MulDiv(reference.HorzRes, 400, reference.HorzSize);
  const std::int32_t refY = MulDiv(reference.VertRes, 400, reference.VertSize);
  const std::int32_t prnX = MulDiv(page.HorzRes, 100, page.HorzSize);
  const std::int32_t prnY = MulDiv(page.VertRes, 100, page.VertSize);
  if (refX <= 0 || refY <= 0 || prnX <= 0 || prnY <= 0) return {};
  const std::int32_t wp = MulDiv(4 * pictureWidth, prnX, refX);
  const std::int32_t hp = MulDiv(4 * pictureHeight, prnY, refY);
  if (wp <= 0 || hp <= 0) return {};
  const Coord pageWidth = page.HorzRes, pageHeight = page.VertRes;
  const double usableWidth = static_cast<double>(pageWidth - 300), usableHeight = static_cast<double>(pageHeight - 300);
  const double sx = wp > usableWidth ? usableWidth / wp : 1.0;
  const double sy = hp > usableHeight ? usableHeight / hp : 1.0;
  const double s = std::min(sx, sy);
  if (s <= 0) return {};
  const Coord w = RoundHalfEven(wp * s), h = RoundHalfEven(hp * s);
  const Coord left = (pageWidth - w) / 2, top = (pageHeight - h) / 2;
  return {left, top, left + w, top + h};
}

void PrintPicture(Printer& printer, const Picture& picture, int pictureWidth, int pictureHeight,
                  const std::string& title) {
  if (picture.IsNull()) return;
  const Rect target = PrintTargetRect(picture.Reference(), pictureWidth, pictureHeight, printer.Capabilities());
  if (target.Width() <= 0 || target.Height() <= 0) return;
  try {
    printer.BeginDoc(title);
    printer.DrawPicture(picture, target);
    printer.EndDoc();
  } catch (...) {
    // A failing driver must not leave a job half open, and the user gets no
    // message: the page simply does not come out.
    try {
      printer.Abort();
    } catch (...) {
    }
  }
}

// ---- The control's print and copy commands ----

void TTreeCustomControl::PrintTree() {
  if (treePicture_.IsNull()) return;
  QPrinter printer(QPrinter::HighResolution);
  if (!Dialogs().Print(printer)) return;
  QtPrinter device(printer);
  PrintTreeOn(device);
}

void TTreeCustomControl::PrintTreeOn(Printer& printer) {
  PrintPicture(printer, treePicture_, display_.PictureWidth, display_.PictureHeight, Application->Title());
}

void TTreeCustomControl::CopyImageToClipboard() {
  QtClipboard clipboard;
  CopyImageTo(clipboard);
}

void TTreeCustomControl::CopyImageTo(Clipboard& clipboard) {
  if (nameEditor_->isVisible() && nameEditor_->hasFocus()) {
    // As the edit box's own copy: its selection, and nothing without one.
    if (nameEditor_->hasSelectedText()) clipboard.SetText(nameEditor_->selectedText().toStdString());
    return;
  }
  // Without a picture the clipboard keeps what it holds.
  if (!treePicture_.IsNull()) clipboard.SetPicture(treePicture_);
}
