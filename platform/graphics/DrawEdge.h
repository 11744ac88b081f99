#pragma once
// Three-dimensional edges, the standard frame controls and the focus
// rectangle, built from device calls in the system colours (Color.h), one
// pixel per line, so that they are pixel-exact on every device that draws
// without antialiasing.

#include <cstdint>

#include "platform/graphics/DeviceContext.h"

// Edges: an outer and an inner line, each raised or sunken.
inline constexpr std::uint32_t BDR_RAISEDOUTER = 0x0001;
inline constexpr std::uint32_t BDR_SUNKENOUTER = 0x0002;
inline constexpr std::uint32_t BDR_RAISEDINNER = 0x0004;
inline constexpr std::uint32_t BDR_SUNKENINNER = 0x0008;
inline constexpr std::uint32_t EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr std::uint32_t EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr std::uint32_t EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr std::uint32_t EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

inline constexpr std::uint32_t BF_LEFT = 0x0001;
inline constexpr std::uint32_t BF_TOP = 0x0002;
inline constexpr std::uint32_t BF_RIGHT = 0x0004;
inline constexpr std::uint32_t BF_BOTTOM = 0x0008;
inline constexpr std::uint32_t BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr std::uint32_t BF_MIDDLE = 0x0800;
inline constexpr std::uint32_t BF_ADJUST = 0x2000;
inline constexpr std::uint32_t BF_FLAT = 0x4000;
inline constexpr std::uint32_t BF_MONO = 0x8000;

// Draws the lines of `edge` on the sides in `flags`, outer line first, then
// the inner one a pixel further in. Colours, top-left and bottom-right:
// raised outer cl3DLight / cl3DDkShadow, raised inner clBtnHighlight /
// clBtnShadow, sunken outer clBtnShadow / clBtnHighlight, sunken inner
// cl3DDkShadow / cl3DLight; BF_FLAT draws the outer line in clBtnShadow and
// the inner in clBtnFace, BF_MONO the outer in clWindowFrame and the inner
// in clWindow. Top and left lines stop a pixel before the bottom-right
// corner, which belongs to the bottom and right lines. BF_MIDDLE fills what
// is inside in clBtnFace (clWindow with BF_MONO); BF_ADJUST shrinks `rect`
// by the lines drawn. False for an edge of no line.
bool DrawEdge(DeviceContext& dc, Rect& rect, std::uint32_t edge, std::uint32_t flags);

// Frame controls: the kind, then the part and its state.
inline constexpr std::uint32_t DFC_CAPTION = 1;
inline constexpr std::uint32_t DFC_SCROLL = 3;
inline constexpr std::uint32_t DFC_BUTTON = 4;
inline constexpr std::uint32_t DFCS_CAPTIONCLOSE = 0x0000;
inline constexpr std::uint32_t DFCS_SCROLLUP = 0x0000;
inline constexpr std::uint32_t DFCS_SCROLLDOWN = 0x0001;
inline constexpr std::uint32_t DFCS_SCROLLLEFT = 0x0002;
inline constexpr std::uint32_t DFCS_SCROLLRIGHT = 0x0003;
inline constexpr std::uint32_t DFCS_SCROLLSIZEGRIP = 0x0008;
inline constexpr std::uint32_t DFCS_BUTTONCHECK = 0x0000;
inline constexpr std::uint32_t DFCS_BUTTONRADIO = 0x0004;
inline constexpr std::uint32_t DFCS_BUTTON3STATE = 0x0008;
inline constexpr std::uint32_t DFCS_BUTTONPUSH = 0x0010;
inline constexpr std::uint32_t DFCS_INACTIVE = 0x0100;
inline constexpr std::uint32_t DFCS_PUSHED = 0x0200;
inline constexpr std::uint32_t DFCS_CHECKED = 0x0400;
inline constexpr std::uint32_t DFCS_TRANSPARENT = 0x0800;
inline constexpr std::uint32_t DFCS_ADJUSTRECT = 0x2000;
inline constexpr std::uint32_t DFCS_FLAT = 0x4000;

// Draws a frame control filling `rect`:
// - DFCS_BUTTONPUSH: EDGE_RAISED with the middle (EDGE_SUNKEN when pushed or
//   checked; BF_FLAT lines when flat); DFCS_ADJUSTRECT leaves `rect` as the
//   inside.
// - DFCS_BUTTONCHECK and DFCS_BUTTONRADIO: a box (a circle for the radio
//   button) of the rectangle's smaller side at its left, vertically
//   centred: a sunken edge (one clBtnShadow line when flat) around clWindow
//   (clBtnFace when pushed or inactive, nothing with DFCS_TRANSPARENT), and
//   with DFCS_CHECKED a tick (a dot) in clWindowText, clBtnShadow when
//   inactive. DFCS_BUTTON3STATE is a check box whose checked state is
//   grayed: the tick in clBtnShadow on clBtnFace.
// - DFC_SCROLL arrows: a raised edge (one clBtnShadow line when pushed or
//   flat) around clBtnFace and a triangle in clBtnText pointing the way,
//   clBtnShadow with a clBtnHighlight shadow when inactive, a pixel further
//   right and down when pushed. DFCS_SCROLLSIZEGRIP: three pairs of
//   diagonal lines, clBtnHighlight and clBtnShadow, in the bottom-right
//   corner on clBtnFace.
// - DFCS_CAPTIONCLOSE: a raised button with a cross two pixels thick.
// False for a kind or part not listed.
bool DrawFrameControl(DeviceContext& dc, Rect& rect, std::uint32_t kind, std::uint32_t state);

// The dotted outline of `rect` (every other pixel) by inverting, so that
// drawing it again takes it away. Empty rectangles draw nothing.
void DrawFocusRect(DeviceContext& dc, const Rect& rect);
