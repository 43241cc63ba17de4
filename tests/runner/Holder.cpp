// Keeps one Wine process (and so the desktop) alive while the tests run, so
// that each test process starts in milliseconds. Ends on WM_CLOSE or quit.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    HWND window = CreateWindowExW(0, L"STATIC", L"KelvorinTestHolder", 0, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    MSG msg;
    while (window && GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
