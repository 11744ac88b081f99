#include "platform/graphics/SystemMetrics.h"

#include <atomic>

namespace {

std::atomic<std::int32_t> screenWidth{1024};
std::atomic<std::int32_t> screenHeight{768};

}  // namespace

void SetSystemScreen(std::int32_t width, std::int32_t height) {
  screenWidth = width;
  screenHeight = height;
}

std::int32_t GetSystemMetrics(std::int32_t index) {
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CXFULLSCREEN: return screenWidth;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return screenHeight;
    case SM_CYFULLSCREEN: return screenHeight - 19;  // less the caption
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_MOUSEPRESENT:
    case SM_CMONITORS: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 19;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_CXFRAME:
    case SM_CYFRAME:
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    default: return 0;  // SM_XVIRTUALSCREEN, SM_SWAPBUTTON, SM_TABLETPC, ...
  }
}

std::int32_t GetWheelScrollLines() { return 3; }
