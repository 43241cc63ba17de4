#include "ui/Dpi.h"

#include "win32/Handles.h"

namespace kelvorin::ui {

namespace {

// Functions that user32 has only since Windows 10 (1607).
struct PerMonitorFunctions {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

    GetDpiForWindowFn getDpiForWindow = nullptr;
    AdjustWindowRectExForDpiFn adjustWindowRectExForDpi = nullptr;
    GetSystemMetricsForDpiFn getSystemMetricsForDpi = nullptr;

    PerMonitorFunctions() {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (!user32) return;
        getDpiForWindow = Lookup<GetDpiForWindowFn>(user32, "GetDpiForWindow");
        adjustWindowRectExForDpi =
            Lookup<AdjustWindowRectExForDpiFn>(user32, "AdjustWindowRectExForDpi");
        getSystemMetricsForDpi = Lookup<GetSystemMetricsForDpiFn>(user32, "GetSystemMetricsForDpi");
    }

    template <typename Fn> static Fn Lookup(HMODULE module, const char* name) {
        // GetProcAddress returns a generic function pointer; the cast names the real type.
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
};

const PerMonitorFunctions& Functions() {
    static const PerMonitorFunctions functions;
    return functions;
}

UINT SystemDpi() {
    WindowDc screen(nullptr);
    const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kLayoutDpi;
}

} // namespace

UINT DpiOfWindow(HWND window) {
    if (Functions().getDpiForWindow && window) {
        const UINT dpi = Functions().getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    return SystemDpi();
}

RECT WindowRectForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle,
                         bool hasMenu, UINT dpi) {
    RECT rect{0, 0, Scale(clientWidth, dpi), Scale(clientHeight, dpi)};
    if (Functions().adjustWindowRectExForDpi)
        Functions().adjustWindowRectExForDpi(&rect, style, hasMenu, exStyle, dpi);
    else
        AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
    return rect;
}

int SystemMetricForDpi(int index, UINT dpi) {
    if (Functions().getSystemMetricsForDpi) return Functions().getSystemMetricsForDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

} // namespace kelvorin::ui
