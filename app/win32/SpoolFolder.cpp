#include "app/win32/SpoolFolder.h"

#include <windows.h>

namespace kelvorin {

std::u16string SpoolFolder() {
    // The environment tells it without loading the shell's libraries, which
    // under Wine cost a scheduled run more than its whole walk.
    wchar_t path[MAX_PATH + 1];
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", path, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return {};
    return std::u16string(path, path + n) + u"\\Kelvorin\\";
}

} // namespace kelvorin
