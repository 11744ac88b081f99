#pragma once
// The platform the class library reports (its Win32Platform). The program
// always runs as the NT platform; tests switch to the older consumer platform
// to exercise the code that still has a branch for it (long registry values
// written in pieces, for one).

inline constexpr int VER_PLATFORM_WIN32s = 0;
inline constexpr int VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr int VER_PLATFORM_WIN32_NT = 2;

// VER_PLATFORM_WIN32_NT unless SetWin32Platform chose another; process-wide.
int Win32Platform();
void SetWin32Platform(int PlatformId);
