#include "app/win32/Win32StartUpServices.h"

#include "app/win32/RegistryText.h"

#include <windows.h>

namespace kelvorin {

std::optional<std::u16string> Win32StartUpServices::PersonalFolder() {
    return ReadRegistryText(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        L"Personal");
}

std::u16string Win32StartUpServices::CommandLine() {
    const wchar_t* line = GetCommandLineW();
    return line ? std::u16string(line, line + wcslen(line)) : std::u16string();
}

} // namespace kelvorin
