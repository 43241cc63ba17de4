#pragma once
// Screen density. The layouts are given at 96 dots per inch and scaled to the
// density of the window's monitor. The per-monitor functions of Windows 10 are
// looked up at run time, so the program still starts on older systems.
#include <windows.h>

namespace kelvorin::ui {

inline constexpr UINT kLayoutDpi = 96;

// A length laid out at 96 dots per inch, at the given density.
inline int Scale(int length, UINT dpi) {
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(kLayoutDpi));
}

// The density of the window's monitor; the system density where Windows cannot tell.
UINT DpiOfWindow(HWND window);

// The window rectangle for a client area of the given size at the given density.
RECT WindowRectForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle,
                         bool hasMenu, UINT dpi);

// A system metric (such as SM_CXICON) at the given density.
int SystemMetricForDpi(int index, UINT dpi);

} // namespace kelvorin::ui
