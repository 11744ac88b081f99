#pragma once
// System metrics: the sizes of the classic desktop's parts (scroll bars 16
// pixels, borders 1, dialog frames 3, ...), fixed so that layouts are the
// same on every desktop. The screen's size is what SetSystemScreen last set
// (1024 x 768 until then); one monitor, the virtual screen is the screen.

#include <cstdint>

enum SystemMetric : std::int32_t {
  SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4,
  SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CYVTHUMB = 9,
  SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14,
  SM_CYMENU = 15, SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17, SM_MOUSEPRESENT = 19,
  SM_CYVSCROLL = 20, SM_CXHSCROLL = 21, SM_SWAPBUTTON = 23, SM_CXMIN = 28, SM_CYMIN = 29,
  SM_CXSIZE = 30, SM_CYSIZE = 31, SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXDOUBLECLK = 36,
  SM_CYDOUBLECLK = 37, SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72,
  SM_XVIRTUALSCREEN = 76, SM_YVIRTUALSCREEN = 77, SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79,
  SM_CMONITORS = 80, SM_TABLETPC = 86, SM_MEDIACENTER = 87, SM_STARTER = 88, SM_REMOTESESSION = 0x1000,
};

// The classic desktop's check-box bitmap: its glyphs (unchecked, checked,
// pushed, ... for check boxes and radio buttons) four across, three down.
inline constexpr std::int32_t kCheckBoxesBitmapWidth = 52;
inline constexpr std::int32_t kCheckBoxesBitmapHeight = 39;

// The metric's value; 0 for an index not in the table.
std::int32_t GetSystemMetrics(std::int32_t index);

// One notch of the mouse wheel, in the units of the wheel messages' delta.
inline constexpr std::int32_t WHEEL_DELTA = 120;
// The lines a notch of the wheel scrolls: 3, the classic desktop's setting,
// fixed like the sizes above.
std::int32_t GetWheelScrollLines();

// The screen's size in pixels, for the screen metrics.
void SetSystemScreen(std::int32_t width, std::int32_t height);
