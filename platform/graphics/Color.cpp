#include "platform/graphics/Color.h"

#include <QColor>
#include <QPalette>
#include <array>

namespace {

constexpr std::array<TColor, kSystemColorCount> kClassicScheme = {
    RGB(200, 200, 200),  // scroll bar
    RGB(0, 128, 128),    // desktop
    RGB(0, 0, 128),      // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(240, 240, 240),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(0, 120, 215),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(240, 240, 240),  // button face
    RGB(160, 160, 160),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(192, 192, 192),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(105, 105, 105),  // 3-D dark shadow
    RGB(227, 227, 227),  // 3-D light
    RGB(0, 0, 0),        // tooltip text
    RGB(255, 255, 225),  // tooltip background
    RGB(0, 0, 0),        // (unused)
    RGB(0, 102, 204),    // hot-tracked item
};

std::array<TColor, kSystemColorCount> g_systemColors = kClassicScheme;

TColor FromQColor(const QColor& c) {
  return RGB(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
             static_cast<std::uint8_t>(c.blue()));
}

}  // namespace

bool IsSystemColor(TColor color) {
  const std::uint32_t high = static_cast<std::uint32_t>(color) >> 24;
  return high == 0xFF || high == 0x80;
}

TColor ColorToRGB(TColor color) {
  if (IsSystemColor(color)) return GetSysColor(color & 0xFF);
  if (color == clNone) return clWhite;
  if (color == clDefault) return clBlack;
  return color & 0xFFFFFF;
}

TColor GetSysColor(int index) {
  if (index < 0 || index >= kSystemColorCount) return clBlack;
  return g_systemColors[static_cast<std::size_t>(index)];
}

void SetSysColor(int index, TColor rgb) {
  if (index < 0 || index >= kSystemColorCount) return;
  g_systemColors[static_cast<std::size_t>(index)] = rgb & 0xFFFFFF;
}

void ResetSystemColors() { g_systemColors = kClassicScheme; }

void LoadSystemColors(const QPalette& palette) {
  struct Role {
    TColor color;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
  };
  const Role roles[] = {
      {clMenu, QPalette::Active, QPalette::Window},
      {clWindow, QPalette::Active, QPalette::Base},
      {clMenuText, QPalette::Active, QPalette::WindowText},
      {clWindowText, QPalette::Active, QPalette::Text},
      {clHighlight, QPalette::Active, QPalette::Highlight},
      {clHighlightText, QPalette::Active, QPalette::HighlightedText},
      {clBtnFace, QPalette::Active, QPalette::Button},
      {clBtnShadow, QPalette::Active, QPalette::Dark},
      {clGrayText, QPalette::Disabled, QPalette::Text},
      {clBtnText, QPalette::Active, QPalette::ButtonText},
      {clBtnHighlight, QPalette::Active, QPalette::Light},
      {cl3DDkShadow, QPalette::Active, QPalette::Shadow},
      {cl3DLight, QPalette::Active, QPalette::Midlight},
      {clInfoText, QPalette::Active, QPalette::ToolTipText},
      {clInfoBk, QPalette::Active, QPalette::ToolTipBase},
      {clHotLight, QPalette::Active, QPalette::Link},
  };
  for (const Role& r : roles) SetSysColor(r.color & 0xFF, FromQColor(palette.color(r.group, r.role)));
}
