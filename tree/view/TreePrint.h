#pragma once
// Printing the tree picture on one page.
//
// The picture prints at the physical size it has on its reference screen
// (its natural size), shrunk - never enlarged - to fit the page less 300
// printer pixels in each direction, with one scale for both axes, and centred
// on the page.

#include <string>

#include "platform/graphics/Picture.h"
#include "platform/graphics/Printer.h"

// The printer-pixel rectangle a picture of pictureWidth x pictureHeight
// pixels (4 logical units a pixel) of the `reference` screen takes on a page
// of `page`:
//   RefX = MulDiv(ref HorzRes, 400, ref HorzSize), RefY likewise (logical
//   units per 100 mm); PrnX = MulDiv(page HorzRes, 100, page HorzSize), PrnY
//   likewise (printer pixels per 100 mm); natural size Wp = MulDiv(4 x
//   pictureWidth, PrnX, RefX), Hp likewise; s = the smaller of
//   (width - 300) / Wp and (height - 300) / Hp where the natural size exceeds
//   them, else 1; the rectangle of Round(Wp x s) x Round(Hp x s) centred with
//   div 2. Rounding is half to even. An empty rectangle when a size or
//   resolution is not positive.
Rect PrintTargetRect(const DeviceInfo& reference, int pictureWidth, int pictureHeight, const DeviceInfo& page);

// Prints `picture` (pictureWidth x pictureHeight pixels of its reference
// screen) as a one-page job titled `title` into PrintTargetRect. Any failure
// while the job runs (starting it included) aborts the job and is swallowed:
// nothing is shown and nothing raised. A null picture or an empty target
// prints nothing and starts no job.
void PrintPicture(Printer& printer, const Picture& picture, int pictureWidth, int pictureHeight,
                  const std::string& title);
