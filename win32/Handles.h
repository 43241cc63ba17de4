#pragma once
// Owners of Win32 handles, one set for the file services, the windows and the
// tests: every file, folder listing, kernel object, registry key, window, menu,
// GDI object, icon, image list, accelerator table, theme, loaded library,
// device context and COM interface is released by its owner.
//
// Each kind knows the value that its making call returns on failure: CreateFileW
// and FindFirstFileW give INVALID_HANDLE_VALUE, everything else gives null. An
// owner holding that value is empty and releases nothing.
#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

#include <utility>

namespace kelvorin {

// The owner of one handle of a kind: releases it when it goes or is reset, and
// hands it on when moved, leaving itself empty. The interface follows
// std::unique_ptr's.
template <typename Kind> class UniqueHandle {
public:
    using Handle = typename Kind::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Kind::Empty(); }
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Kind::Empty()); }
    void reset(Handle handle = Kind::Empty()) noexcept {
        const Handle previous = std::exchange(handle_, handle);
        if (previous != Kind::Empty()) Kind::Release(previous);
    }

private:
    Handle handle_ = Kind::Empty();
};

namespace handle_kinds {

template <typename H> struct EmptyIsNull {
    using Handle = H;
    static Handle Empty() noexcept { return nullptr; }
};
template <typename H> struct EmptyIsInvalid {
    using Handle = H;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
};

struct File : EmptyIsInvalid<HANDLE> {
    static void Release(HANDLE file) noexcept { CloseHandle(file); }
};
struct FolderListing : EmptyIsInvalid<HANDLE> {
    static void Release(HANDLE find) noexcept { FindClose(find); }
};
// Processes, threads, events, mutexes: their making calls give null on failure.
struct KernelObject : EmptyIsNull<HANDLE> {
    static void Release(HANDLE object) noexcept { CloseHandle(object); }
};
struct RegistryKey : EmptyIsNull<HKEY> {
    static void Release(HKEY key) noexcept { RegCloseKey(key); }
};
template <typename H> struct GdiObject : EmptyIsNull<H> {
    static void Release(H object) noexcept { DeleteObject(object); }
};
struct Icon : EmptyIsNull<HICON> {
    static void Release(HICON icon) noexcept { DestroyIcon(icon); }
};
struct Window : EmptyIsNull<HWND> {
    static void Release(HWND window) noexcept { DestroyWindow(window); }
};
struct Menu : EmptyIsNull<HMENU> {
    static void Release(HMENU menu) noexcept { DestroyMenu(menu); }
};
struct ImageList : EmptyIsNull<HIMAGELIST> {
    static void Release(HIMAGELIST list) noexcept { ImageList_Destroy(list); }
};
struct Accelerators : EmptyIsNull<HACCEL> {
    static void Release(HACCEL table) noexcept { DestroyAcceleratorTable(table); }
};
struct Theme : EmptyIsNull<HTHEME> {
    static void Release(HTHEME theme) noexcept { CloseThemeData(theme); }
};
struct Module : EmptyIsNull<HMODULE> {
    static void Release(HMODULE module) noexcept { FreeLibrary(module); }
};
template <typename Interface> struct ComInterface : EmptyIsNull<Interface*> {
    static void Release(Interface* object) noexcept { object->Release(); }
};

} // namespace handle_kinds

using UniqueFile = UniqueHandle<handle_kinds::File>;                   // CreateFileW
using UniqueFolderListing = UniqueHandle<handle_kinds::FolderListing>; // FindFirstFileW
using UniqueKernelObject = UniqueHandle<handle_kinds::KernelObject>;
using UniqueRegistryKey = UniqueHandle<handle_kinds::RegistryKey>;
using UniqueFont = UniqueHandle<handle_kinds::GdiObject<HFONT>>;
using UniqueBitmap = UniqueHandle<handle_kinds::GdiObject<HBITMAP>>;
using UniqueIcon = UniqueHandle<handle_kinds::Icon>;
using UniqueWindow = UniqueHandle<handle_kinds::Window>;
using UniqueMenu = UniqueHandle<handle_kinds::Menu>;
using UniqueImageList = UniqueHandle<handle_kinds::ImageList>;
using UniqueAccelerators = UniqueHandle<handle_kinds::Accelerators>;
using UniqueTheme = UniqueHandle<handle_kinds::Theme>;
using UniqueModule = UniqueHandle<handle_kinds::Module>;
template <typename Interface>
using UniqueCom = UniqueHandle<handle_kinds::ComInterface<Interface>>; // CoCreateInstance

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

} // namespace kelvorin
