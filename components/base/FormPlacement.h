#pragma once
// A window's placement in the registry settings (RegistrySettings.h), below
// "Forms\<Name>\": binary value "WinPos", the 44-byte placement record, and
// integer value "WindowState" (0 normal, 1 minimised, 2 maximised).
//
// The record, little-endian 32-bit fields in this order: length (44), flags
// (0), show command (1 normal, 2 minimised, 3 maximised), minimised position
// x, y and maximised position x, y (-1: not set), and the normal rectangle
// left, top, right, bottom: the window's frame rectangle when it is neither
// minimised nor maximised (so saving and loading again and again leaves the
// window where it is).
//
// A form here is any top-level QWidget.

#include <array>
#include <cstdint>
#include <string>

class QWidget;

inline constexpr int kWindowPlacementSize = 44;

struct TWindowPlacement {
  std::int32_t Length = kWindowPlacementSize;
  std::int32_t Flags = 0;
  std::int32_t ShowCmd = 1;
  std::int32_t MinX = -1, MinY = -1;
  std::int32_t MaxX = -1, MaxY = -1;
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;

  std::array<std::uint8_t, kWindowPlacementSize> ToBytes() const;
  static TWindowPlacement FromBytes(const std::array<std::uint8_t, kWindowPlacementSize>& Bytes);
  friend bool operator==(const TWindowPlacement&, const TWindowPlacement&) = default;
};

// The placement of the window now.
TWindowPlacement GetWindowPlacement(const QWidget& Form);

// Nothing for nullptr or a window that was not created yet (no window
// handle). Writes "WinPos" and "WindowState".
void SaveFormPlacement(QWidget* Form, const std::string& Name);
// Nothing for nullptr, or when no whole 44-byte "WinPos" is stored. Sets the
// frame rectangle to left = normal.left, top = normal.top, width =
// normal.right - normal.left, height = normal.bottom - normal.top (not when
// the width or the height is below 0), then the window state from
// "WindowState" (0 when missing; another number leaves the state). A window
// that was not shown yet has no frame, so its client area gets that size.
void LoadFormPlacement(QWidget* Form, const std::string& Name);
