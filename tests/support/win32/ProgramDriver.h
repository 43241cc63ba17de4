#pragma once
// Drives a real program from outside its process, as a person at the desk or a
// screen reader would: starts it, finds its windows, types on the keyboard and
// reads its controls. Nothing is posted to the program: keys go through the
// system's input, so they take the way real keys take.
// Header only and free of GoogleTest, so that the benchmark's driver shares it.
#include "tests/support/win32/HostSide.h"
#include "tests/support/win32/Keyboard.h"
#include "win32/Handles.h"

#include <windows.h>

#include <commctrl.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kelvorin::testing::remote {

// Polls until the condition holds; false when the time ran out first.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// A program started as its own process. One that still runs when the object
// goes (a failed test) is ended, so that it cannot take the next test's keys.
class Program {
public:
    Program(const std::wstring& exe, const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + exe + L"\"";
        if (!arguments.empty()) commandLine += L" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process))
            throw std::runtime_error("the program did not start");
        const UniqueKernelObject thread(process.hThread);
        process_.reset(process.hProcess);
        id_ = process.dwProcessId;
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() {
        if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.get(), 99);
            WaitForSingleObject(process_.get(), 5000);
        }
    }

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }

    // The exit code; nothing while the program still runs after the wait.
    std::optional<DWORD> WaitForExit(DWORD milliseconds) const {
        if (WaitForSingleObject(process_.get(), milliseconds) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return code;
    }

    // The most memory the program has held so far, in bytes; 0 when unknown.
    std::size_t PeakWorkingSet() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        return K32GetProcessMemoryInfo(process_.get(), &counters, sizeof(counters))
                   ? counters.PeakWorkingSetSize
                   : 0;
    }

private:
    UniqueKernelObject process_;
    DWORD id_ = 0;
};

inline std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// The window's text, asked across processes with a time limit: a program in
// the middle of a run answers only when it next handles its messages.
inline std::wstring TextOf(HWND window, DWORD milliseconds = 5000) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, milliseconds,
                             &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, milliseconds, &got))
        return {};
    text.resize(got);
    return text;
}

// The process's visible top-level window of the class, and of the title when
// one is given (a dialog box is class "#32770", told apart by its title).
inline HWND FindWindowOf(DWORD processId, const std::wstring& className,
                         const std::wstring& title = {}) {
    struct Search {
        DWORD processId;
        const std::wstring& className;
        const std::wstring& title;
        HWND found;
    } search{processId, className, title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s.processId || !IsWindowVisible(window) || ClassOf(window) != s.className)
                return TRUE;
            if (!s.title.empty() && TextOf(window) != s.title) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND WaitForWindowOf(DWORD processId, const std::wstring& className,
                            DWORD milliseconds = 15000, const std::wstring& title = {}) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(processId, className, title)) != nullptr; },
              milliseconds);
    return found;
}

// The first control anywhere below the window (inside group boxes too) that matches.
inline HWND FindControlWhere(HWND window, const std::function<bool(HWND)>& matches) {
    struct Search {
        const std::function<bool(HWND)>& matches;
        HWND found;
    } search{matches, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            if (!s.matches(child)) return TRUE;
            s.found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND FindControl(HWND window, int id) {
    return FindControlWhere(window, [id](HWND child) { return GetDlgCtrlID(child) == id; });
}

// By its text, such as "&Sichern".
inline HWND FindControlByText(HWND window, const std::wstring& text) {
    return FindControlWhere(window, [&](HWND child) { return TextOf(child) == text; });
}

// Makes the window the one that gets the keyboard; false when it did not
// become the foreground window in time.
inline bool BringToFront(HWND window, DWORD milliseconds = 3000) {
    return WaitUntil(
        [&] {
            if (GetForegroundWindow() == window) return true;
            SetForegroundWindow(window);
            return false;
        },
        milliseconds);
}

// Keys as the keyboard gives them to the foreground window: pressed in order
// and released in reverse, so {VK_MENU, 'S'} is Alt+S. False when the window
// could not be brought to the front.
inline bool PressKeys(HWND window, std::initializer_list<WORD> keys) {
    return BringToFront(window) && SendKeys(keys);
}

// The items of a list box in another process, read as a screen reader reads
// them; nothing when the program did not answer in time.
inline std::optional<std::vector<std::wstring>> ListItems(HWND list, DWORD milliseconds = 5000) {
    auto ask = [&](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(list, message, wParam, lParam, SMTO_ABORTIFHUNG, milliseconds,
                                 &result))
            return std::nullopt;
        return static_cast<LRESULT>(result);
    };
    const auto count = ask(LB_GETCOUNT, 0, 0);
    if (!count || *count < 0) return std::nullopt;
    std::vector<std::wstring> items;
    for (LRESULT i = 0; i < *count; ++i) {
        const auto length = ask(LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (!length || *length < 0) return std::nullopt;
        std::wstring text(static_cast<std::size_t>(*length) + 1, L'\0');
        const auto got =
            ask(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        if (!got || *got < 0) return std::nullopt;
        text.resize(static_cast<std::size_t>(*got));
        items.push_back(std::move(text));
    }
    return items;
}

// The lines of a list view in another process: it answers into memory of its
// own, which is lent to it here and read back.
inline std::optional<std::vector<std::wstring>> ListViewItems(HWND view,
                                                              DWORD milliseconds = 5000) {
    DWORD processId = 0;
    GetWindowThreadProcessId(view, &processId);
    const UniqueKernelObject owner(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!owner) return std::nullopt;
    const HANDLE process = owner.get();
    constexpr int kTextMax = 1024;
    const std::size_t size = sizeof(LVITEMW) + kTextMax * sizeof(wchar_t);
    auto* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::optional<std::vector<std::wstring>> items;
    DWORD_PTR count = 0;
    if (remote &&
        SendMessageTimeoutW(view, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, milliseconds, &count)) {
        items.emplace();
        for (DWORD_PTR i = 0; i < count && items; ++i) {
            LVITEMW item{};
            item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
            item.cchTextMax = kTextMax;
            DWORD_PTR length = 0;
            wchar_t text[kTextMax] = {};
            if (!WriteProcessMemory(process, remote, &item, sizeof(item), nullptr) ||
                !SendMessageTimeoutW(view, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(remote),
                                     SMTO_ABORTIFHUNG, milliseconds, &length) ||
                !ReadProcessMemory(process, remote + sizeof(LVITEMW), text,
                                   (std::min<std::size_t>(length, kTextMax - 1)) * sizeof(wchar_t),
                                   nullptr))
                items.reset();
            else
                items->emplace_back(text, std::min<std::size_t>(length, kTextMax - 1));
        }
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return items;
}

// The file's bytes as they are now, read beside a writer that still holds it.
inline std::optional<std::string> ReadFileNow(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

// A run's log is complete once it holds the status line and the date line
// after it: both end with CR LF, and the date comes last.
inline bool RunLogWritten(const std::wstring& path) {
    const auto bytes = ReadFileNow(path);
    if (!bytes || bytes->size() < 4 || !bytes->ends_with("\r\n")) return false;
    const std::size_t lastLine = bytes->rfind("\r\n", bytes->size() - 3);
    return lastLine != std::string::npos && lastLine + 2 < bytes->size() &&
           (*bytes)[lastLine + 2] >= '0' && (*bytes)[lastLine + 2] <= '9';
}

} // namespace kelvorin::testing::remote
