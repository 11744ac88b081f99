#pragma once
// The scroll bars of a window control, with the classic scroll-info rules.
//
// A window control has a horizontal and a vertical bar in its non-client
// area (TWinControl::SetScrollInfo and friends, Controls.h). Each bar keeps
// a range nMin..nMax, a page (the part of the range one screen shows) and a
// position:
// - the page is clamped to 0 .. nMax - nMin + 1 (a "page -1" therefore
//   covers the whole range);
// - the position to nMin .. nMax - max(page - 1, 0);
// - a bar shows while its page does not cover the range (nMin < nMax and
//   page <= nMax - nMin); otherwise it is hidden, or shown disabled when
//   SIF_DISABLENOSCROLL was given. ShowScrollBar shows or hides it outright
//   until the next SetScrollInfo decides again.
// A bar that shows takes its width (SM_CXVSCROLL) or height (SM_CYHSCROLL)
// from the client area, inside the control's border.
//
// The user's actions on a bar reach the control as WM_VSCROLL / WM_HSCROLL
// with the code in the low word of WParam and, for SB_THUMBTRACK and
// SB_THUMBPOSITION, the position in the high word (LParam 0). The bar itself
// never moves: its thumb shows the position the control set, except while
// the user drags it (the track position, GetScrollInfo with SIF_TRACKPOS).
// Releasing the thumb sends SB_THUMBPOSITION, then SB_ENDSCROLL.

#include <cstdint>

inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_BOTH = 3;

// Scroll codes (low word of WParam).
inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINELEFT = 0;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_LINERIGHT = 1;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGELEFT = 2;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_PAGERIGHT = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_TOP = 6;
inline constexpr int SB_LEFT = 6;
inline constexpr int SB_BOTTOM = 7;
inline constexpr int SB_RIGHT = 7;
inline constexpr int SB_ENDSCROLL = 8;

// Which fields of a TScrollInfo are given or asked for.
inline constexpr std::uint32_t SIF_RANGE = 0x01;
inline constexpr std::uint32_t SIF_PAGE = 0x02;
inline constexpr std::uint32_t SIF_POS = 0x04;
inline constexpr std::uint32_t SIF_DISABLENOSCROLL = 0x08;
inline constexpr std::uint32_t SIF_TRACKPOS = 0x10;
inline constexpr std::uint32_t SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct TScrollInfo {
  std::uint32_t cbSize = sizeof(TScrollInfo);
  std::uint32_t fMask = 0;
  int nMin = 0;
  int nMax = 0;
  std::uint32_t nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// The state of one bar. Apply takes the fields Info's mask gives, clamps as
// the header says and answers the new position.
struct TScrollBarState {
  int Min = 0;
  int Max = 0;
  std::uint32_t Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  bool Tracking = false;     // the user is dragging the thumb
  bool Shown = false;        // the bar takes room from the client area
  bool Enabled = true;       // false: shown disabled (SIF_DISABLENOSCROLL)
  int Apply(const TScrollInfo& Info);
  // The page does not cover the range.
  bool Scrollable() const;
  // The highest position the clamps allow.
  int MaxPos() const;
};

// The parts of a WM_HSCROLL / WM_VSCROLL WParam.
inline std::uintptr_t ScrollWParam(int Code, int Pos) {
  return (static_cast<std::uintptr_t>(static_cast<std::uint16_t>(Pos)) << 16) | static_cast<std::uint16_t>(Code);
}
inline int ScrollCode(std::uintptr_t WParam) { return static_cast<int>(WParam & 0xFFFF); }
inline int ScrollPos(std::uintptr_t WParam) { return static_cast<std::int16_t>((WParam >> 16) & 0xFFFF); }
