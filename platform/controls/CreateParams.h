#pragma once
// The window parameters of a control in the class library's terms: the
// style and extended style bits a control asks for when its window is made.
// Our windows are Qt widgets, which know no such bits; a control that draws
// its frame from them reads them itself (see the list box's border).

#include <cstdint>

struct TCreateParams {
  std::uint32_t Style = 0;
  std::uint32_t ExStyle = 0;
};

// A one-pixel frame.
inline constexpr std::uint32_t WS_BORDER = 0x00800000;
// The sunken two-pixel edge around the client area.
inline constexpr std::uint32_t WS_EX_CLIENTEDGE = 0x00000200;

// Controls have the newer look, with sunken client edges instead of plain
// frames where Ctl3D asks for them.
inline constexpr bool NewStyleControls = true;
