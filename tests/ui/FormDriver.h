#pragma once
// Drives real windows of this thread from a test: pumps messages through the
// same keyboard handling as the program's loops, clicks, keys and readers.
#include "tests/support/win32/Keyboard.h"
#include "ui/FormWindow.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <richedit.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// RECT lives in the global namespace, so its comparison and printing do too.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right - r.left << " x "
               << r.bottom - r.top << ")";
}

namespace kelvorin::testing {

// Handles every pending message, as the program's message loop does. A quit
// message is dropped: it is left over from a window that an earlier test closed.
inline void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        if (ui::PreTranslateFormMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A left click in the middle of the control, as the mouse would send it.
inline void PostClick(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    const LPARAM at = MAKELPARAM(client.right / 2, client.bottom / 2);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(control, WM_LBUTTONUP, 0, at);
}

inline void Click(HWND control) {
    PostClick(control);
    PumpMessages();
}

// A key pressed and released while the focus is on the window.
inline void PostKey(HWND focus, UINT key) {
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
}

inline void PressKey(HWND focus, UINT key) {
    PostKey(focus, key);
    PumpMessages();
}

// F1 through the system's keyboard input, so that Windows itself makes the help
// request; the window must be in the foreground for the key to reach it.
inline void PressF1(HWND window) {
    SetForegroundWindow(window);
    PumpMessages();
    ASSERT_EQ(GetForegroundWindow(), window) << "the window must have the keyboard";
    ASSERT_TRUE(SendKeys({VK_F1}));
    for (int i = 0; i < 10; ++i) {
        Sleep(10);
        PumpMessages();
    }
}

inline std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The text of a rich-text box, one entry per line (paragraph).
inline std::vector<std::wstring> RichEditLines(HWND box) {
    GETTEXTLENGTHEX length{GTL_USECRLF | GTL_NUMCHARS, 1200};
    const auto count = SendMessageW(box, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::wstring text(static_cast<std::size_t>(count) + 1, L'\0');
    GETTEXTEX get{};
    get.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    get.flags = GT_USECRLF;
    get.codepage = 1200;
    text.resize(static_cast<std::size_t>(SendMessageW(
        box, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()))));
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// A control's rectangle in its window's client area.
inline RECT ClientRectOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline RECT Rect(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

// The control that the user sees at the middle of the given control's rectangle.
inline HWND VisibleAtMiddleOf(HWND control) {
    const RECT rect = ClientRectOf(control);
    const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return ChildWindowFromPointEx(GetParent(control), middle, CWP_SKIPINVISIBLE);
}

// A plain top-level window that can take the activation away.
class OtherWindow {
public:
    OtherWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KelvorinTestOtherWindow";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"Andere",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
        Activate();
    }
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;
    ~OtherWindow() { DestroyWindow(window_); }

    HWND Handle() const { return window_; }
    void Activate() const {
        SetForegroundWindow(window_);
        SetActiveWindow(window_);
        PumpMessages();
    }

private:
    HWND window_;
};

// Ends a modal loop that a test failed to end: posts WM_QUIT every few seconds,
// so ShowModal returns 0. The quit message is dropped again afterwards.
class ModalWatchdog {
public:
    explicit ModalWatchdog(UINT milliseconds = 5000)
        : timer_(SetTimer(nullptr, 0, milliseconds, Fire)) {}
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;
    ~ModalWatchdog() {
        KillTimer(nullptr, timer_);
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

private:
    static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }
    UINT_PTR timer_;
};

// Runs test code inside whatever modal loop runs, once it has handled what is
// pending: a thread timer fires only when the queue is empty. Once: on the
// first tick. Every: on each tick, for as long as the object lives.
class DuringModal {
public:
    enum class Ticks { Once, Every };
    explicit DuringModal(std::function<void()> action, UINT milliseconds = 50,
                         Ticks ticks = Ticks::Once)
        : timer_(SetTimer(nullptr, 0, milliseconds, Fire)) {
        Running()[timer_] = {std::move(action), ticks, this};
    }
    DuringModal(const DuringModal&) = delete;
    DuringModal& operator=(const DuringModal&) = delete;
    ~DuringModal() {
        // A timer that fired once is gone, and its id may be another's by now.
        const auto found = Running().find(timer_);
        if (found == Running().end() || found->second.owner != this) return;
        KillTimer(nullptr, timer_);
        Running().erase(found);
    }

private:
    struct Entry {
        std::function<void()> action;
        Ticks ticks;
        const DuringModal* owner;
    };
    static std::map<UINT_PTR, Entry>& Running() {
        static std::map<UINT_PTR, Entry> running;
        return running;
    }
    static void CALLBACK Fire(HWND, UINT, UINT_PTR timer, DWORD) {
        const auto found = Running().find(timer);
        if (found == Running().end()) return;
        if (found->second.ticks == Ticks::Every) {
            const auto action = found->second.action; // the action may end its driver
            action();
            return;
        }
        // Gone before it runs: the action's own modal loop must not run it again.
        KillTimer(nullptr, timer);
        const auto action = std::move(found->second.action);
        Running().erase(found);
        if (action) action();
    }
    UINT_PTR timer_;
};

// Presses OK on every message box of this thread and keeps its text.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() {
        instance_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    ~MessageBoxAnswerer() {
        UnhookWindowsHookEx(hook_);
        instance_ = nullptr;
    }
    std::vector<std::wstring> texts;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
        if (code == HCBT_ACTIVATE && instance_) {
            const HWND box = reinterpret_cast<HWND>(wp);
            wchar_t cls[32] = {};
            GetClassNameW(box, cls, 32);
            if (std::wstring(cls) == L"#32770") {
                wchar_t text[512] = {};
                GetDlgItemTextW(box, 65535, text, 512);
                instance_->texts.push_back(text);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline MessageBoxAnswerer* instance_ = nullptr;
    HHOOK hook_;
};

// How many pixels of the window, as the screen shows it now, have the colour.
inline int CountPixels(HWND window, COLORREF colour) {
    UpdateWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right;
    const int height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    int count = 0;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    const std::uint32_t wanted =
        (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int i = 0; bits && i < width * height; ++i)
        if ((pixels[i] & 0xFFFFFF) == wanted) ++count;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return count;
}

} // namespace kelvorin::testing
