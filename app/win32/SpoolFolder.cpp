#include "app/win32/SpoolFolder.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cwchar>

namespace kelvorin {

std::u16string SpoolFolder() {
    wchar_t* path = nullptr;
    std::u16string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path)) && path)
        folder.assign(path, path + wcslen(path));
    CoTaskMemFree(path);
    if (!folder.empty()) folder += u"\\Kelvorin\\";
    return folder;
}

} // namespace kelvorin
