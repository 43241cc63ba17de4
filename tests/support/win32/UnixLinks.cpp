#include "tests/support/win32/UnixLinks.h"

#include <windows.h>

#include <stdexcept>

namespace kelvorin::testing {

namespace {

std::string UnixName(const std::wstring& path) {
    using Convert = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!convert) throw std::runtime_error("not running under Wine");
    char* name = convert(path.c_str());
    if (!name) throw std::runtime_error("no Unix name for a path");
    std::string result(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// The Unix name of a path whose last part need not exist (ASCII names only).
std::string UnixNameOfLink(const std::wstring& link) {
    const std::size_t slash = link.rfind(L'\\');
    std::string leaf;
    for (wchar_t c : link.substr(slash + 1))
        leaf += static_cast<char>(c);
    return UnixName(link.substr(0, slash)) + "/" + leaf;
}

// Wine starts a host program without a process handle: wait for its effect.
template <typename Done> void RunHostCommand(const std::string& command, Done done) {
    std::wstring line(command.begin(), command.end());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        throw std::runtime_error("cannot start " + command);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    for (int i = 0; i < 250 && !done(); ++i)
        Sleep(20);
    if (!done()) throw std::runtime_error("no effect of " + command);
}

// Where Wine keeps its drive letters, as links to folders.
std::string DriveLink(wchar_t letter) {
    std::string c = UnixName(L"C:\\");
    c.resize(c.rfind("/c:"));
    return c + "/" + static_cast<char>(letter | 0x20) + ":";
}

} // namespace

void MakeUnixLink(const std::wstring& link, const std::wstring& target) {
    RunHostCommand("/bin/ln -s \"" + UnixName(target) + "\" \"" + UnixNameOfLink(link) + "\"",
                   [&] { return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

void RemoveUnixLink(const std::wstring& link) {
    RunHostCommand("/bin/rm -f \"" + UnixNameOfLink(link) + "\"",
                   [&] { return GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

void MapDriveLetter(wchar_t letter, const std::wstring& folder) {
    const std::wstring root = std::wstring(1, letter) + L":\\";
    RunHostCommand("/bin/ln -sfn \"" + UnixName(folder) + "\" \"" + DriveLink(letter) + "\"",
                   [&] { return GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

void UnmapDriveLetter(wchar_t letter) {
    const std::wstring root = std::wstring(1, letter) + L":\\";
    RunHostCommand("/bin/rm -f \"" + DriveLink(letter) + "\"",
                   [&] { return GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

} // namespace kelvorin::testing
