// Holds a file as a virus scanner or the search indexer does for a moment:
// opened with no sharing, for the given milliseconds.
//   file_locker.exe PATH MILLISECONDS
#include "win32/Handles.h"

#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const kelvorin::UniqueFile file(CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 1;
    Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    return 0;
}
