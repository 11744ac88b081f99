#pragma once
// The Qt edge of the drawing layer: device sizes of Qt paint devices, font
// substitution, and Qt forms of colours and fonts for code that paints
// widgets directly.

#include <QColor>
#include <QFont>
#include <QString>
#include <string_view>

#include "platform/graphics/DeviceTypes.h"
#include "platform/graphics/GraphicsTypes.h"

class QPaintDevice;

// Pixel size, millimetre size and resolution of a paint device (an image, a
// printer page, an SVG or PDF generator). A resolution the device does not
// report is taken as 96 pixels per inch, and millimetres it does not report
// are worked out from the resolution.
DeviceInfo DeviceInfoOf(const QPaintDevice& device);

// The screen as windows see it: its size in pixels, its logical resolution
// (96 pixels per inch where the platform reports none) and millimetre sizes
// worked out from that resolution, so that a picture prints at the size it
// has on a screen of that resolution. Without a screen: 1920 x 1080 at 96.
DeviceInfo ScreenDeviceInfo();

// The family that draws a face name: "FixedSys" a monospace face, the
// Japanese Gothic faces and "MS Sans Serif" the default sans face, an empty
// name the default sans face; every other name is handed to the font
// configuration as it is (which maps Arial to a metric-compatible face and
// unknown names to the default sans face).
QString FontFamilyFor(std::string_view faceName);

// A Qt font for the logical font at a character height (em) of `emPixels`
// device pixels (at least 1).
QFont QFontOfLogFont(const LogFont& font, double emPixels);

// The character height (em) that a logical font height asks for, in the same
// units: -height for a negative height, the em of a cell of that height for a
// positive one, 12 for 0.
double EmOfLogFontHeight(const LogFont& font);

// A Qt font for a font value at its own pixel height.
QFont QFontOf(const TFontData& font);

// The resolved RGB colour of a colour value.
QColor QColorOf(TColor color);
