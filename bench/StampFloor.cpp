// The floor under a run where nothing changed: the least a Win32 program does
// to learn that every copy is current. The source tree is walked, and each
// file's copy is looked up once; its stamp is compared with the one the walk
// listed. No exclusions, no log, no copying.
//   StampFloor.exe SOURCE_FOLDER BACKUP_FOLDER
// Prints "FILES OUTDATED".
#include "bench/Floor.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace kelvorin::bench {
namespace {

struct Totals {
    std::uint64_t files = 0;
    std::uint64_t outdated = 0;
};

void Folder(const std::wstring& source, const std::wstring& backup, Totals& totals) {
    ForEachEntry(source, [&](const WIN32_FIND_DATAW& entry) {
        const std::wstring name = entry.cFileName;
        if (IsFolder(entry)) {
            Folder(source + L'\\' + name, backup + L'\\' + name, totals);
            return;
        }
        ++totals.files;
        WIN32_FILE_ATTRIBUTE_DATA copy;
        if (!GetFileAttributesExW((backup + L'\\' + name).c_str(), GetFileExInfoStandard, &copy) ||
            CompareFileTime(&copy.ftLastWriteTime, &entry.ftLastWriteTime) < 0)
            ++totals.outdated;
    });
}

} // namespace
} // namespace kelvorin::bench

int wmain(int argc, wchar_t** argv) {
    using namespace kelvorin::bench;
    if (argc != 3) {
        std::fputs("usage: StampFloor.exe SOURCE_FOLDER BACKUP_FOLDER\n", stderr);
        return 2;
    }
    Totals totals;
    Folder(argv[1], argv[2], totals);
    PrintCounts({totals.files, totals.outdated});
    return 0;
}
