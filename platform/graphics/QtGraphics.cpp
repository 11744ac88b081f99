#include "platform/graphics/QtGraphics.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "platform/core/NumberFormat.h"

namespace {

constexpr double kDefaultEm = 12.0;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

QFont BaseFont(const LogFont& font) {
  QFont f;
  f.setFamilies({FontFamilyFor(font.FaceName)});
  f.setWeight(static_cast<QFont::Weight>(std::clamp(font.Weight, 100, 900)));
  f.setItalic(font.Italic);
  f.setUnderline(font.Underline);
  f.setStrikeOut(font.StrikeOut);
  if (font.Pitch == FIXED_PITCH) {
    f.setFixedPitch(true);
    f.setStyleHint(QFont::TypeWriter);
  }
  f.setKerning(false);  // widths add up character by character, as measured
  return f;
}

}  // namespace

DeviceInfo DeviceInfoOf(const QPaintDevice& device) {
  const int dpiX = device.logicalDpiX() > 0 ? device.logicalDpiX() : kDefaultPixelsPerInch;
  const int dpiY = device.logicalDpiY() > 0 ? device.logicalDpiY() : kDefaultPixelsPerInch;
  DeviceInfo info;
  info.HorzRes = device.width();
  info.VertRes = device.height();
  info.LogPixelsX = dpiX;
  info.LogPixelsY = dpiY;
  info.HorzSize = device.widthMM() > 0 ? device.widthMM() : MulDiv(info.HorzRes, 254, dpiX * 10);
  info.VertSize = device.heightMM() > 0 ? device.heightMM() : MulDiv(info.VertRes, 254, dpiY * 10);
  return info;
}

DeviceInfo ScreenDeviceInfo() {
  const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                              ? QGuiApplication::primaryScreen()
                              : nullptr;
  if (!screen) return DeviceInfoFromPixels(1920, 1080, kDefaultPixelsPerInch);
  const double dpi = screen->logicalDotsPerInch();
  return DeviceInfoFromPixels(screen->size().width(), screen->size().height(),
                              dpi > 0 ? static_cast<std::int32_t>(std::lround(dpi)) : kDefaultPixelsPerInch);
}

QString FontFamilyFor(std::string_view faceName) {
  const std::string name = Lower(faceName);
  if (name.empty() || name == "ms sans serif" || name == "system") return QStringLiteral("sans-serif");
  if (name == "fixedsys" || name == "terminal") return QStringLiteral("monospace");
  // The Japanese Gothic faces, in their romanised and Japanese spellings.
  if (name.find("gothic") != std::string::npos || faceName.find("\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF") != std::string_view::npos)
    return QStringLiteral("sans-serif");
  return QString::fromUtf8(faceName.data(), static_cast<qsizetype>(faceName.size()));
}

double EmOfLogFontHeight(const LogFont& font) {
  if (font.Height < 0) return -static_cast<double>(font.Height);
  if (font.Height == 0) return kDefaultEm;
  QFont probe = BaseFont(font);
  probe.setPixelSize(100);
  const QFontMetricsF metrics(probe);
  const double cell = metrics.ascent() + metrics.descent();
  return cell > 0 ? font.Height * 100.0 / cell : font.Height;
}

QFont QFontOfLogFont(const LogFont& font, double emPixels) {
  QFont f = BaseFont(font);
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(emPixels))));
  return f;
}

QFont QFontOf(const TFontData& font) {
  const LogFont logical = LogFontOf(font);
  return QFontOfLogFont(logical, EmOfLogFontHeight(logical));
}

QColor QColorOf(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}
