#pragma once
// Owners for the window-system handles that the windows use: every font, bitmap,
// icon, window, device context and loaded library is released by its owner.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace kelvorin::ui {

namespace detail {
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
struct ModuleDeleter {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
} // namespace detail

template <typename Handle, typename Deleter>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, Deleter>;

using UniqueFont = UniqueHandle<HFONT, detail::GdiObjectDeleter>;
using UniqueBitmap = UniqueHandle<HBITMAP, detail::GdiObjectDeleter>;
using UniqueIcon = UniqueHandle<HICON, detail::IconDeleter>;
using UniqueWindow = UniqueHandle<HWND, detail::WindowDeleter>;
using UniqueModule = UniqueHandle<HMODULE, detail::ModuleDeleter>;

// A window's device context from GetDC, released with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace kelvorin::ui
