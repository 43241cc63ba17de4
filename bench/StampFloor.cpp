// The floor under a run where nothing changed: the least a Win32 program does
// to learn that every copy is current. The source tree is walked, and each
// file's copy is looked up once; its stamp is compared with the one the walk
// listed. No exclusions, no log, no copying.
//   StampFloor.exe SOURCE_FOLDER BACKUP_FOLDER
// Prints "FILES OUTDATED".
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

struct Totals {
    std::uint64_t files = 0;
    std::uint64_t outdated = 0;
};

void Folder(const std::wstring& source, const std::wstring& backup, Totals& totals) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((source + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != L"." && name != L"..")
                Folder(source + L'\\' + name, backup + L'\\' + name, totals);
            continue;
        }
        ++totals.files;
        WIN32_FILE_ATTRIBUTE_DATA copy;
        if (!GetFileAttributesExW((backup + L'\\' + name).c_str(), GetFileExInfoStandard, &copy) ||
            CompareFileTime(&copy.ftLastWriteTime, &data.ftLastWriteTime) < 0)
            ++totals.outdated;
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: StampFloor.exe SOURCE_FOLDER BACKUP_FOLDER\n", stderr);
        return 2;
    }
    Totals totals;
    Folder(argv[1], argv[2], totals);
    std::printf("%llu %llu\n", static_cast<unsigned long long>(totals.files),
                static_cast<unsigned long long>(totals.outdated));
    return 0;
}
