#include "tests/support/win32/HostSide.h"
#include "win32/Handles.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <stdexcept>

namespace kelvorin::testing {
namespace {

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

void WaitFor(const std::function<bool()>& done, const char* what) {
    for (int i = 0; i < 200; ++i) {
        if (done()) return;
        Sleep(25);
    }
    throw std::runtime_error(std::string("the host did not ") + what);
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) throw std::runtime_error(std::string(name) + " is not set");
    return value;
}

} // namespace

std::string HostPath(const std::wstring& windowsPath) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) throw std::runtime_error("not running under Wine");
    char* path = toUnix(windowsPath.c_str());
    if (!path) throw std::runtime_error("no host path for a Windows path");
    std::string result = path;
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}

std::wstring WinePathOfHostFile(std::string_view hostPath) {
    std::wstring path(hostPath.size(), L'\0');
    if (!hostPath.empty()) {
        const int length =
            MultiByteToWideChar(CP_UTF8, 0, hostPath.data(), static_cast<int>(hostPath.size()),
                                path.data(), static_cast<int>(path.size()));
        path.resize(static_cast<std::size_t>(length));
    }
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"Z:" + path;
}

void StartHostShell(const std::string& command) {
    std::wstring line = L"/bin/sh -c \"";
    line.append(command.begin(), command.end());
    line += L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        throw std::runtime_error("cannot start the host shell");
    // Nothing waits for the shell: its result is polled for.
    const UniqueKernelObject started(process.hProcess), thread(process.hThread);
}

HostLink::HostLink(std::wstring link, const std::wstring& target) : link_(std::move(link)) {
    StartHostShell("ln -sfn " + Quoted(HostPath(target)) + " " + Quoted(HostPath(link_)));
    WaitFor([&] { return GetFileAttributesW(link_.c_str()) != INVALID_FILE_ATTRIBUTES; },
            "make a link");
}

HostLink::~HostLink() {
    try {
        StartHostShell("rm -f " + Quoted(HostPath(link_)));
        WaitFor([&] { return GetFileAttributesW(link_.c_str()) == INVALID_FILE_ATTRIBUTES; },
                "remove a link");
    } catch (const std::exception&) {
    }
}

ExtraDrive::ExtraDrive(wchar_t letter) : letter_(letter) {
    const char lower = static_cast<char>(letter | 0x20);
    folder_ = Environment("KELVORIN_DRIVES_DIR") + "/extra-" + lower;
    link_ = Environment("WINEPREFIX") + "/dosdevices/" + lower + ":";
    const std::wstring marker = Path(L"plugged");
    StartHostShell("rm -rf " + Quoted(folder_) + " && mkdir -p " + Quoted(folder_) + " && touch " +
                   Quoted(folder_ + "/plugged") + " && ln -sfn " + Quoted(folder_) + " " +
                   Quoted(link_));
    WaitFor([&] { return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; },
            "map a drive");
    DeleteFileW(marker.c_str());
}

ExtraDrive::~ExtraDrive() {
    const std::wstring root = Path(L"");
    try {
        StartHostShell("rm -f " + Quoted(link_) + " && rm -rf " + Quoted(folder_));
        WaitFor([&] { return GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES; },
                "unmap a drive");
    } catch (const std::exception&) {
    }
}

std::wstring ExtraDrive::Path(const std::wstring& relative) const {
    return std::wstring(1, letter_) + L":\\" + relative;
}

void ExtraDrive::Unplug() {
    StartHostShell("rm -f " + Quoted(link_));
    const std::wstring root = Path(L"");
    WaitFor([&] { return GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES; },
            "unmap a drive");
}

} // namespace kelvorin::testing
